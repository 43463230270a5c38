// The school exchange file: refusals name the item and leave the database
// file byte for byte as it was.
#include "data/exchange/exchange.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "cli_support.h"
#include "data/checks/teacher_view.h"
#include "data/database/errors.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/validation.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

QJsonObject Small() {
    return QJsonDocument::fromJson(QByteArrayLiteral(R"({
      "format": "taktirio-school", "version": 1,
      "school": {"name": "2ο Γυμνάσιο Πάτρας", "responsible": "Γ. Παπαδόπουλος",
                 "solutions_requested": 2},
      "classes": ["Α1", "Α2", "Β1"],
      "teachers": ["ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ"],
      "pairs": [["ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ"]],
      "allocation": [
        {"class": "Α1", "teacher": "ΠΑΠΑΔΟΠΟΥΛΟΣ", "single": 3, "double": 1},
        {"class": "Α2", "teacher": "ΠΑΠΑΔΟΠΟΥΛΟΣ", "single": 3, "double": 1},
        {"class": "Α1", "teacher": "ΓΕΩΡΓΙΟΥ+ΝΙΚΟΛΑΟΥ", "single": 2, "double": 0},
        {"class": "Β1", "teacher": "ΓΕΩΡΓΙΟΥ", "single": 4, "double": 0},
        {"class": "Β1", "teacher": "ΝΙΚΟΛΑΟΥ", "single": 4, "double": 0}],
      "eighth_hour_days": [1, 4],
      "pinned": [{"class": "Α1", "teacher": "ΠΑΠΑΔΟΠΟΥΛΟΣ", "day": 2, "hour": 3}],
      "absent_days": [{"teacher": "ΓΕΩΡΓΙΟΥ", "day": 3}],
      "free_hours": [{"teacher": "ΝΙΚΟΛΑΟΥ", "day": 5, "hour": 1}],
      "joint": [{"teacher": "ΠΑΠΑΔΟΠΟΥΛΟΣ", "classes": ["Α1", "Α2"]}],
      "split": [{"class": "Β1", "teachers": ["ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ"]}],
      "apart": [["ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ"]]
    })"))
        .object();
}

QByteArray Json(const QJsonObject& object) {
    return QJsonDocument(object).toJson();
}

// Sets root[key] (or an element of a list under it) to a value.
QJsonObject With(QJsonObject root, const char* key, const QJsonValue& value) {
    root.insert(QLatin1String(key), value);
    return root;
}

QJsonObject WithItem(QJsonObject root, const char* key, qsizetype index, const QJsonValue& value) {
    QJsonArray list = root.value(QLatin1String(key)).toArray();
    if (index < list.size()) {
        list[index] = value;
    } else {
        list.append(value);
    }
    root.insert(QLatin1String(key), list);
    return root;
}

class ExchangeTest : public SchoolTest {};

TEST_F(ExchangeTest, ImportThenExportGivesTheSameDocument) {
    const SchoolDocument document = ParseSchoolDocument(Json(Small()));
    ImportSchool(session_, document);
    const SchoolDocument exported = ExportSchool(session_);
    EXPECT_EQ(exported, document);
    EXPECT_EQ(QJsonDocument::fromJson(WriteSchoolDocument(exported)).object(), Small());
    // A second import replaces the data rather than adding to it.
    ImportSchool(session_, document);
    EXPECT_EQ(ExportSchool(session_), document);
    EXPECT_EQ(ScalarInt(session_.db, QStringLiteral("SELECT COUNT(*) FROM TEACHERS")), 5);
}

TEST_F(ExchangeTest, ABrokenFileIsRefusedNamingTheItemAndChangesNothing) {
    ImportSchool(session_, ParseSchoolDocument(Json(Small())));
    const QJsonObject base = Small();
    const QJsonObject pe{{QStringLiteral("class"), QStringLiteral("Α1")},
                         {QStringLiteral("teacher"), QStringLiteral("ΝΙΚΟΛΑΟΥ")},
                         {QStringLiteral("single"), 15},
                         {QStringLiteral("double"), 10}};
    struct Case {
        const char* name;
        QByteArray file;
        const char* item;
    };
    const std::vector<Case> cases = {
        {"not JSON", QByteArrayLiteral("{\"format\": "), "JSON"},
        {"wrong format", Json(With(base, "format", QStringLiteral("other"))), "format"},
        {"wrong version", Json(With(base, "version", 2)), "version"},
        {"unknown key", Json(With(base, "absent_day", QJsonArray())), "absent_day"},
        {"missing classes", Json([&] {
             QJsonObject o = base;
             o.remove(QStringLiteral("classes"));
             return o;
         }()),
         "classes"},
        {"duplicate class", Json(WithItem(base, "classes", 2, QStringLiteral("Α1"))), "classes[2]"},
        {"quote in a class", Json(WithItem(base, "classes", 3, QStringLiteral("Γ'1"))),
         "classes[3]"},
        {"percent in a teacher", Json(WithItem(base, "teachers", 3, QStringLiteral("50%"))),
         "teachers[3]"},
        {"exclamation mark", Json(WithItem(base, "teachers", 3, QStringLiteral("Γεια!"))),
         "teachers[3]"},
        {"injection",
         Json(WithItem(base, "classes", 3, QStringLiteral("'; DROP TABLE CLASSES; --"))),
         "classes[3]"},
        {"outside windows-1253", Json(WithItem(base, "teachers", 3, U("Ελένη ☃"))), "teachers[3]"},
        {"< in a class", Json(WithItem(base, "classes", 3, U("Α<1"))), "classes[3]"},
        {"< in a teacher", Json(WithItem(base, "teachers", 3, U("ΠΑΠΑ<Σ"))), "teachers[3]"},
        {"< in the school's name",
         Json(With(base, "school",
                   [&] {
                       QJsonObject school = base.value(QStringLiteral("school")).toObject();
                       school.insert(QStringLiteral("name"), U("Γυμνάσιο <b>"));
                       return school;
                   }())),
         "school.name"},
        {"the prints' common free hour as a class",
         Json(WithItem(base, "classes", 3, QStringLiteral("K.KENH"))), "classes[3]"},
        {"plus in a teacher", Json(WithItem(base, "teachers", 3, QStringLiteral("Α+Β"))),
         "teachers[3]"},
        {"blank school name",
         Json(With(base, "school",
                   QJsonObject{{QStringLiteral("name"), QStringLiteral(" ")},
                               {QStringLiteral("responsible"), QStringLiteral("Χ")}})),
         "school.name"},
        {"solutions 255",
         Json(With(base, "school",
                   QJsonObject{{QStringLiteral("name"), QStringLiteral("Σ")},
                               {QStringLiteral("responsible"), QStringLiteral("Χ")},
                               {QStringLiteral("solutions_requested"), 255}})),
         "school.solutions_requested"},
        {"pair of an unknown teacher",
         Json(WithItem(base, "pairs", 1,
                       QJsonArray{QStringLiteral("ΓΕΩΡΓΙΟΥ"), QStringLiteral("Χ")})),
         "pairs[1][1]"},
        {"pair again reversed",
         Json(WithItem(base, "pairs", 1,
                       QJsonArray{QStringLiteral("ΝΙΚΟΛΑΟΥ"), QStringLiteral("ΓΕΩΡΓΙΟΥ")})),
         "pairs[1]"},
        {"class total 51",
         Json(WithItem(WithItem(base, "allocation", 5, pe), "allocation", 6,
                       QJsonObject{{QStringLiteral("class"), QStringLiteral("Α1")},
                                   {QStringLiteral("teacher"), QStringLiteral("ΓΕΩΡΓΙΟΥ")},
                                   {QStringLiteral("single"), 9},
                                   {QStringLiteral("double"), 0}})),
         "allocation[6]"},
        {"unknown class in the allocation",
         Json(WithItem(base, "allocation", 0,
                       QJsonObject{{QStringLiteral("class"), QStringLiteral("Ω9")},
                                   {QStringLiteral("teacher"), QStringLiteral("ΝΙΚΟΛΑΟΥ")},
                                   {QStringLiteral("single"), 1},
                                   {QStringLiteral("double"), 0}})),
         "allocation[0].class"},
        {"no hours",
         Json(WithItem(base, "allocation", 0,
                       QJsonObject{{QStringLiteral("class"), QStringLiteral("Α1")},
                                   {QStringLiteral("teacher"), QStringLiteral("ΠΑΠΑΔΟΠΟΥΛΟΣ")},
                                   {QStringLiteral("single"), 0},
                                   {QStringLiteral("double"), 0}})),
         "allocation[0]"},
        {"day 6", Json(WithItem(base, "eighth_hour_days", 2, 6)), "eighth_hour_days[2]"},
        {"hour 11",
         Json(WithItem(base, "pinned", 0,
                       QJsonObject{{QStringLiteral("class"), QStringLiteral("Α1")},
                                   {QStringLiteral("teacher"), QStringLiteral("ΠΑΠΑΔΟΠΟΥΛΟΣ")},
                                   {QStringLiteral("day"), 2},
                                   {QStringLiteral("hour"), 11}})),
         "pinned[0].hour"},
        {"pair absent",
         Json(WithItem(base, "absent_days", 1,
                       QJsonObject{{QStringLiteral("teacher"), QStringLiteral("ΝΙΚΟΛΑΟΥ+ΓΕΩΡΓΙΟΥ")},
                                   {QStringLiteral("day"), 1}})),
         "absent_days[1].teacher"},
        {"joint in one class",
         Json(WithItem(base, "joint", 0,
                       QJsonObject{{QStringLiteral("teacher"), QStringLiteral("ΠΑΠΑΔΟΠΟΥΛΟΣ")},
                                   {QStringLiteral("classes"),
                                    QJsonArray{QStringLiteral("Α1"), QStringLiteral("Α1")}}})),
         "joint[0]"},
        {"apart twice",
         Json(WithItem(base, "apart", 1,
                       QJsonArray{QStringLiteral("ΓΕΩΡΓΙΟΥ"), QStringLiteral("ΠΑΠΑΔΟΠΟΥΛΟΣ")})),
         "apart[1]"},
    };
    session_ = {};
    db_.reset();  // compare the file with no connection holding it
    const QByteArray before = FileBytes(path_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Database db = Database::Open(path_);
        const Session session{db.connection(), QStringLiteral("HOMEBASE")};
        try {
            ImportSchool(session, ParseSchoolDocument(c.file));
            ADD_FAILURE() << "imported";
        } catch (const ImportError& error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(c.item)))
                << error.message().toStdString();
        }
    }
    EXPECT_EQ(FileBytes(path_), before);
}

TEST_F(ExchangeTest, ARefusalByTheEntryChecksRollsBackTheWholeImport) {
    ImportSchool(session_, ParseSchoolDocument(Json(Small())));
    const SchoolDocument before = ExportSchool(session_);
    SchoolDocument broken = ParseSchoolDocument(Json(Small()));
    broken.classes.append(QStringLiteral("Γ'1"));  // past the file checks, caught at entry
    try {
        ImportSchool(session_, broken);
        ADD_FAILURE() << "imported";
    } catch (const ImportError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("classes[3]")));
    }
    EXPECT_EQ(ExportSchool(session_), before);
}

// Another connection, on a thread of its own, that commits changes in turn,
// each in one transaction, until it goes.
class WritesInTurn {
  public:
    using Write = std::function<void(const Session&)>;
    WritesInTurn(const QString& path, std::vector<Write> writes)
        : thread_([this, path, writes = std::move(writes)] {
              try {
                  const Database entry = Database::Open(path);
                  const Session session{entry.connection(), Login(entry.connection())};
                  for (std::size_t i = 0; !stop_.load(); ++i) {
                      Transaction transaction(session.db);
                      writes[i % writes.size()](session);
                      transaction.Commit();
                      commits_.fetch_add(1);
                      // A breath between commits, as a person or a command
                      // leaves, so that a reader waiting for the file gets it.
                      std::this_thread::sleep_for(std::chrono::milliseconds(5));
                  }
              } catch (...) {
                  error_ = std::current_exception();
              }
          }) {}
    WritesInTurn(const WritesInTurn&) = delete;
    WritesInTurn& operator=(const WritesInTurn&) = delete;
    ~WritesInTurn() { Finish(); }

    int commits() const { return commits_.load(); }
    // Stops and joins the thread; rethrows what stopped it early.
    void Finish() {
        stop_.store(true);
        if (thread_.joinable()) {
            thread_.join();
        }
        if (error_) {
            std::rethrow_exception(std::exchange(error_, nullptr));
        }
    }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<int> commits_{0};
    std::exception_ptr error_;
    std::thread thread_;
};

// Reads with `read` while `writer` commits, until both have done `rounds`;
// every reading must be one of `states`.
template <typename Reading>
void ReadWhileWriting(WritesInTurn& writer, const std::function<Reading()>& read,
                      const std::vector<Reading>& states, int rounds) {
    int readings = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((writer.commits() < rounds || readings < rounds) &&
           std::chrono::steady_clock::now() < until) {
        const Reading reading = read();
        ++readings;
        bool known = false;
        for (const Reading& state : states) {
            known = known || reading == state;
        }
        EXPECT_TRUE(known) << "reading " << readings << " mixes two states";
    }
    writer.Finish();
    EXPECT_GE(writer.commits(), rounds);
    EXPECT_GE(readings, rounds);
}

// The teacher view's sections as texts, to be compared whole.
std::vector<QStringList> Sections(const TeacherDetails& details) {
    std::vector<QStringList> sections;
    for (const TeacherSection& section : details) {
        QStringList texts{section.result};
        for (const QStringList& row : section.rows) {
            texts.append(row.join(u'|'));
        }
        sections.push_back(texts);
    }
    return sections;
}

// A reader of several tables reads them in one read transaction: while
// another connection commits changes to several tables at once, every
// reading is the state before a commit or after it, never tables of both.
TEST_F(ExchangeTest, AnExportDuringImportsIsOneOfTheSchools) {
    const std::vector<SchoolDocument> schools = {
        ParseSchoolDocument(Json(Small())), ParseSchoolDocument(ReadSchoolFile(kDemoSchoolFile))};
    ImportSchool(session_, schools[0]);
    WritesInTurn importer(path_, {[&schools](const Session& s) { ImportSchool(s, schools[0]); },
                                  [&schools](const Session& s) { ImportSchool(s, schools[1]); }});
    ReadWhileWriting<SchoolDocument>(
        importer, [this] { return ExportSchool(session_); }, schools, 40);
}

TEST_F(ExchangeTest, TheTeacherViewDuringChangesIsOneStateOfTheSchool) {
    ImportSchool(session_, ParseSchoolDocument(Json(Small())));
    const int teacher = static_cast<int>(
        ScalarInt(session_.db, QStringLiteral("SELECT TEACHER_ID FROM TEACHERS WHERE TEACHER = ?"),
                  {U("ΠΑΠΑΔΟΠΟΥΛΟΣ")}));
    // The first section (allocation) and the third (absent days) change
    // together, and back.
    const auto change = [teacher](int hours, bool absent) {
        return [teacher, hours, absent](const Session& s) {
            data::Run(s.db,
                      QStringLiteral("UPDATE TEACHERS_OF_CLASS SET MONOWRA = MONOWRA + ? "
                                     "WHERE TEACHER_ID = ?"),
                      {hours, teacher});
            if (absent) {
                InsertAbsentDay(s, teacher, DayName(4));
            } else {
                data::Run(s.db,
                          QStringLiteral("DELETE FROM DENY_TEACHERS_DAYS WHERE TEACHER_ID = ?"),
                          {teacher});
            }
        };
    };
    const auto read = [this, teacher] { return Sections(ReadTeacherDetails(session_, teacher)); };
    std::vector<std::vector<QStringList>> states{read()};
    change(1, true)(session_);
    states.push_back(read());
    change(-1, false)(session_);
    ASSERT_NE(states[0], states[1]);
    ASSERT_EQ(read(), states[0]);

    WritesInTurn writer(path_, {change(1, true), change(-1, false)});
    ReadWhileWriting<std::vector<QStringList>>(writer, read, states, 200);
}

}  // namespace
}  // namespace taktirio::data::testing
