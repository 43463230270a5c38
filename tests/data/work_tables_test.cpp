// The print work tables: REPORT.sqlite created and refused like the school
// databases, each reading one transaction, the tables checked against the
// timetable the page was written from, and the free-hour question.
#include "data/reports/work_tables.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "print_support.h"

namespace taktirio::data::testing {
namespace {

std::string Std(const QString& text) {
    return text.toStdString();
}

std::set<std::string> SplitClasses(const QString& cell) {
    std::set<std::string> classes;
    for (const QString& part : cell.split(u',', Qt::SkipEmptyParts)) {
        classes.insert(Std(part));
    }
    return classes;
}

class WorkTablesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        db_.emplace(Database::Open(ReportDatabasePath(dir_.path()), ReportDesign()));
        demo_page_ =
            WritePage(dir_.filePath(QStringLiteral("SOLUTION1.htm")), DemoPrintedSchool().bytes);
        ASSERT_FALSE(demo_page_.isEmpty());
    }

    PrintTables Read(const QString& page, PrintReading reading) {
        ReadIntoWorkTables(db(), page, reading);
        return LoadPrintTables(db(), reading);
    }

    const QSqlDatabase& db() const { return db_->connection(); }

    QTemporaryDir dir_;
    std::optional<Database> db_;
    QString demo_page_;
};

TEST_F(WorkTablesTest, ClassesReadingMatchesTheTimetable) {
    const PrintedSchool& school = DemoPrintedSchool();
    QStringList progress;  // what the print window's progress label shows
    ReadIntoWorkTables(db(), demo_page_, PrintReading::kClasses,
                       [&progress](const QString& text) { progress.append(text); });
    const PrintTables tables = LoadPrintTables(db(), PrintReading::kClasses);
    ASSERT_EQ(progress.size(), school.inputs.number_of_classes);
    EXPECT_EQ(progress.front(), U("ΤΜΗΜΑ: Α1"));
    EXPECT_EQ(progress.back(), U("ΤΜΗΜΑ: Γ3"));
    EXPECT_EQ(tables.school_name, U("3ο ΓΥΜΝΑΣΙΟ ΛΑΡΙΣΑΣ"));
    EXPECT_EQ(tables.school_year, U("ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2025-2026"));
    ASSERT_EQ(tables.rows.size(), school.inputs.number_of_classes);
    for (int c = 1; c <= school.inputs.number_of_classes; ++c) {
        const WorkRow& row = tables.rows[c - 1];
        EXPECT_EQ(Std(row.name), "ΤΜΗΜΑ: " + school.inputs.class_names[Ix(c)]);
        EXPECT_FALSE(row.ordinal.has_value());
        for (int s = 1; s <= kSlots; ++s) {
            const int t = school.timetable(Ix(c), Ix(s));
            EXPECT_EQ(Std(row.cells[Ix(s)]), t == 0 ? "" : school.inputs.teacher_names[Ix(t)])
                << Std(row.name) << " column " << s;
        }
    }
}

TEST_F(WorkTablesTest, TeachersAndGeneralPlanMatchTheTimetable) {
    const PrintedSchool& school = DemoPrintedSchool();
    const PrintTables teachers = Read(demo_page_, PrintReading::kTeachers);
    const PrintTables plan = Read(demo_page_, PrintReading::kGeneralPlan);
    std::vector<int> singles;
    for (int t = 1; t <= school.inputs.number_of_teachers; ++t) {
        if (school.IsSingle(t)) {
            singles.push_back(t);
        }
    }
    ASSERT_EQ(teachers.rows.size(), static_cast<qsizetype>(singles.size()));
    ASSERT_EQ(plan.rows.size(), static_cast<qsizetype>(singles.size()));
    int marks = 0;
    for (std::size_t k = 0; k < singles.size(); ++k) {
        const int t = singles[k];
        const std::string& name = school.inputs.teacher_names[Ix(t)];
        const WorkRow& timetable = teachers.rows[static_cast<qsizetype>(k)];
        const WorkRow& plan_row = plan.rows[static_cast<qsizetype>(k)];
        EXPECT_EQ(Std(timetable.name), "ΚΑΘΗΓΗΤΗΣ: " + name);
        EXPECT_EQ(Std(plan_row.name), name);
        EXPECT_EQ(plan_row.ordinal, static_cast<int>(k) + 1);
        int taught = 0;
        for (int s = 1; s <= kSlots; ++s) {
            const std::set<std::string> classes = school.ClassesOf(t, s);
            taught += classes.empty() ? 0 : 1;
            EXPECT_EQ(SplitClasses(timetable.cells[Ix(s)]), classes) << name << " column " << s;
            // A free hour that the teacher asked for, within the hours the
            // page shows, is the plan's grey cell.
            const bool grey =
                classes.empty() && school.DeniedHour(t, s) && HourOfSlot(s) <= school.HoursPerDay();
            marks += grey ? 1 : 0;
            EXPECT_EQ(Std(plan_row.cells[Ix(s)]),
                      grey ? std::string(kCommonFreeHourMark) : Std(timetable.cells[Ix(s)]))
                << name << " column " << s;
        }
        EXPECT_EQ(plan_row.weekly_hours, taught) << name;
    }
    EXPECT_GT(marks, 0) << "the demo school's page has common free hours";
}

TEST_F(WorkTablesTest, SummaryNumbersTeachersInOrderOfFirstAppearance) {
    const PrintedSchool& school = DemoPrintedSchool();
    const PrintTables tables = Read(demo_page_, PrintReading::kSummary);
    std::map<std::string, int> numbers;
    std::vector<std::string> order;
    ASSERT_EQ(tables.rows.size(), school.inputs.number_of_classes);
    for (int c = 1; c <= school.inputs.number_of_classes; ++c) {
        const WorkRow& row = tables.rows[c - 1];
        EXPECT_EQ(Std(row.name), school.inputs.class_names[Ix(c)]);
        for (int hour = 1; hour <= kMaxHoursPerDay; ++hour) {
            for (int day = 1; day <= kDays; ++day) {
                const int s = SlotOf(day, hour);
                const int t = school.timetable(Ix(c), Ix(s));
                if (t == 0) {
                    EXPECT_TRUE(row.cells[Ix(s)].isEmpty());
                    continue;
                }
                const std::string& name = school.inputs.teacher_names[Ix(t)];
                if (numbers.emplace(name, static_cast<int>(order.size()) + 1).second) {
                    order.push_back(name);
                }
                EXPECT_EQ(row.cells[Ix(s)], QString::number(numbers[name]));
            }
        }
    }
    ASSERT_EQ(tables.names.size(), static_cast<qsizetype>(order.size()));
    for (std::size_t k = 0; k < order.size(); ++k) {
        EXPECT_EQ(tables.names[static_cast<qsizetype>(k)].number, static_cast<int>(k) + 1);
        EXPECT_EQ(Std(tables.names[static_cast<qsizetype>(k)].name), order[k]);
    }
}

// Twelve teacher texts, some in two class sections, two teachers without
// lessons: TABLE3 holds exactly the twelve that appear, numbered 1 to 12.
TEST_F(WorkTablesTest, SummaryOfTwelveTeacherTextsGivesTwelveNames) {
    PrintedSchool school;
    school.inputs = SolverInputs::Sized(3, 14);
    school.inputs.class_names = {"", "Α1", "Α2", "Β1"};
    for (int t = 1; t <= 14; ++t) {
        school.inputs.teacher_names[Ix(t)] = "ΔΙΔΑΣΚΩΝ " + std::to_string(t);
    }
    school.timetable = ByteMatrix(4, kSlotColumns);
    const int lessons[3][6] = {{1, 2, 3, 4, 5, 1}, {6, 7, 8, 2, 9, 10}, {11, 12, 3, 6, 0, 12}};
    for (int c = 1; c <= 3; ++c) {
        for (int s = 1; s <= 6; ++s) {
            school.timetable(Ix(c), Ix(s)) = Byte(lessons[c - 1][s - 1]);
            school.inputs.class_week_hours[Ix(c)] = Byte(s);
        }
    }
    school.school_name = "ΓΥΜΝΑΣΙΟ";
    school.year = 2024;
    school.bytes = RenderPage(school);
    const QString page = WritePage(dir_.filePath(QStringLiteral("SOLUTION2.htm")), school.bytes);

    const PrintTables tables = Read(page, PrintReading::kSummary);
    ASSERT_EQ(tables.names.size(), 12);
    const int first_appearance[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(tables.names[k].number, k + 1);
        EXPECT_EQ(Std(tables.names[k].name), "ΔΙΔΑΣΚΩΝ " + std::to_string(first_appearance[k]));
    }
    EXPECT_EQ(ScalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM TABLE3")), 12);
    // Teacher 2 in Α2 keeps the number it got in Α1.
    EXPECT_EQ(tables.rows[1].cells[4], QStringLiteral("2"));
}

// A page cut short in its teacher section: the teachers reading fails, names
// the file and a line, and TABLE1, TABLE2 and TABLE3 keep the summary rows.
TEST_F(WorkTablesTest, FailedReadingLeavesThePreviousRows) {
    const PrintTables before = Read(demo_page_, PrintReading::kSummary);
    const QList<QStringList> table1 = Rows(db(), QStringLiteral("SELECT * FROM TABLE1"));
    const QList<QStringList> table3 = Rows(db(), QStringLiteral("SELECT * FROM TABLE3"));
    const std::string& bytes = DemoPrintedSchool().bytes;
    const std::size_t cut = bytes.size() - 300;  // inside the last teacher's timetable
    const QString broken =
        WritePage(dir_.filePath(QStringLiteral("SOLUTION3.htm")), bytes.substr(0, cut));
    for (const PrintReading reading : {PrintReading::kTeachers, PrintReading::kGeneralPlan}) {
        try {
            ReadIntoWorkTables(db(), broken, reading);
            ADD_FAILURE() << "a page cut short was read";
        } catch (const PageReadingError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("SOLUTION3.htm")));
            EXPECT_TRUE(error.message().contains(U("στη γραμμή ")));
        }
        EXPECT_EQ(Rows(db(), QStringLiteral("SELECT * FROM TABLE1")), table1);
        EXPECT_EQ(Rows(db(), QStringLiteral("SELECT * FROM TABLE3")), table3);
        EXPECT_EQ(LoadPrintTables(db(), PrintReading::kSummary).school_name, before.school_name);
    }
    // A file that does not exist is named too and changes nothing.
    EXPECT_THROW(
        ReadIntoWorkTables(db(), dir_.filePath(QStringLiteral("NONE.htm")), PrintReading::kClasses),
        PageReadingError);
    EXPECT_EQ(Rows(db(), QStringLiteral("SELECT * FROM TABLE1")), table1);
}

TEST_F(WorkTablesTest, AReadingReplacesTheRowsOfTheLastOne) {
    Read(demo_page_, PrintReading::kClasses);
    const PrintTables teachers = Read(demo_page_, PrintReading::kTeachers);
    EXPECT_EQ(ScalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM TABLE1")), teachers.rows.size());
    EXPECT_EQ(ScalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM TABLE1 WHERE TABLENAME LIKE ?"),
                        {U("ΤΜΗΜΑ%")}),
              0);
    EXPECT_EQ(ScalarInt(db(), QStringLiteral("SELECT COUNT(*) FROM TABLE2")), 1);
}

// The free-hour question over the demo plan: a common free hour is listed, a
// teaching hour is not, and an hour past the last lesson lists everyone.
TEST_F(WorkTablesTest, FreeTeachersAtAnHour) {
    const PrintedSchool& school = DemoPrintedSchool();
    const PrintTables plan = Read(demo_page_, PrintReading::kGeneralPlan);
    int checked_marks = 0;
    for (int day = 1; day <= kDays; ++day) {
        for (int hour = 1; hour <= school.HoursPerDay(); ++hour) {
            const QStringList free = FreeTeachers(db(), day, hour);
            const std::size_t s = Ix(SlotOf(day, hour));
            QStringList expected;
            for (const WorkRow& row : plan.rows) {
                const bool mark = row.cells[s] == QString::fromLatin1(kCommonFreeHourMark);
                checked_marks += mark ? 1 : 0;
                if (row.cells[s].isEmpty() || mark) {
                    expected.append(row.name);
                }
            }
            EXPECT_EQ(free, expected) << "day " << day << " hour " << hour;
            EXPECT_LT(free.size(), plan.rows.size()) << "someone teaches at every hour";
        }
    }
    EXPECT_GT(checked_marks, 0);
    QStringList everyone;
    for (const WorkRow& row : plan.rows) {
        everyone.append(row.name);
    }
    EXPECT_EQ(FreeTeachers(db(), 5, 10), everyone);
    EXPECT_THROW(FreeTeachers(db(), 6, 1), EntryRefusedError);
    EXPECT_THROW(FreeTeachers(db(), 1, 0), EntryRefusedError);
}

// One print holds the work tables from its reading to its last query:
// another print's reading cannot take them in between, and reads once the
// first is done.
TEST_F(WorkTablesTest, AReadingHoldsTheTablesUntilItsLastQuery) {
    Database other = Database::Open(ReportDatabasePath(dir_.path()), ReportDesign());
    const auto another_print = [&other] {
        try {
            const WorkTablesHold second(other.connection(), std::chrono::milliseconds(50));
            return std::string("a second print took the work tables");
        } catch (const DatabaseError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("REPORT.sqlite")))
                << Std(error.message());
            return error.cause() == DatabaseError::Cause::kBusy ? std::string()
                                                                : std::string(error.what());
        }
    };
    const PrintTables plan = Read(demo_page_, PrintReading::kGeneralPlan);
    const QStringList free =
        ReadAndAsk(db(), demo_page_, PrintReading::kGeneralPlan, [this, &another_print] {
            EXPECT_EQ(another_print(), "");
            return FreeTeachers(db(), 2, 3);
        });
    EXPECT_EQ(free, FreeTeachers(plan, 2, 3));
    const PrintTables classes =
        ReadPrintTables(other.connection(), demo_page_, PrintReading::kClasses);
    EXPECT_EQ(classes.rows.size(), DemoPrintedSchool().inputs.number_of_classes);
    EXPECT_EQ(LoadPrintTables(db(), PrintReading::kClasses).rows.size(), classes.rows.size());
}

// Two prints at once on two threads, as two processes would: each waits for
// the other rather than failing, and answers from its own reading.
TEST_F(WorkTablesTest, PrintsAtOnceWaitForEachOtherAndAnswerFromTheirOwnReading) {
    const QStringList expected =
        FreeTeachers(ReadPrintTables(db(), demo_page_, PrintReading::kGeneralPlan), 2, 3);
    ASSERT_FALSE(expected.isEmpty());
    std::atomic<bool> done{false};
    std::atomic<int> other_readings{0};
    std::string other_failure;
    std::thread other([this, &done, &other_readings, &other_failure] {
        try {
            const Database mine = Database::Open(ReportDatabasePath(dir_.path()), ReportDesign());
            do {
                const PrintTables classes =
                    ReadPrintTables(mine.connection(), demo_page_, PrintReading::kClasses);
                if (classes.rows.isEmpty() || !classes.rows.front().name.startsWith(U("ΤΜΗΜΑ"))) {
                    other_failure = "the classes print got other rows";
                }
                ++other_readings;
            } while (!done.load());
        } catch (const DataError& error) {
            other_failure = error.what();
        }
    });
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(FreeTeachers(ReadPrintTables(db(), demo_page_, PrintReading::kGeneralPlan), 2, 3),
                  expected)
            << "reading " << i;
    }
    done.store(true);
    other.join();
    EXPECT_EQ(other_failure, "");
    EXPECT_GT(other_readings.load(), 0);
}

TEST(ReportDatabase, CreatedWithItsDesign) {
    QTemporaryDir dir;
    const QString path = ReportDatabasePath(dir.path());
    {
        Database db = Database::Open(path, ReportDesign());
        for (const char* name : {"TABLE1", "TABLE2", "TABLE3", "Query1"}) {
            EXPECT_EQ(ScalarInt(db.connection(),
                                QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = ?"),
                                {QString::fromLatin1(name)}),
                      1)
                << name;
        }
        EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("PRAGMA application_id")),
                  kReportApplicationId);
    }
    EXPECT_NO_THROW(Database::Open(path, ReportDesign()));
}

// A file that is not the work tables is refused and left byte for byte.
TEST(ReportDatabase, ForeignOrDamagedFilesAreRefusedUntouched) {
    QTemporaryDir dir;
    const QString path = ReportDatabasePath(dir.path());
    const QString school = dir.filePath(QStringLiteral("DATA2.sqlite"));
    { Database::Open(school); }
    const QString work = dir.filePath(QStringLiteral("work.sqlite"));
    {
        Database db = Database::Open(work, ReportDesign());
        data::Run(db.connection(), QStringLiteral("DROP TABLE TABLE3"));
    }
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"text file", QByteArrayLiteral("<html>not a database</html>")},
        {"school database", FileBytes(school)},
        {"work tables without TABLE3", FileBytes(work)},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        }
        EXPECT_THROW(Database::Open(path, ReportDesign()), FileRefusedError) << c.name;
        EXPECT_EQ(FileBytes(path), c.bytes) << c.name;
    }
    // And the other way round: the work tables are not a school database.
    QFile::remove(school);
    QFile::copy(work, school);
    EXPECT_THROW(Database::Open(school), FileRefusedError);
}

// Runs statements on a connection of its own, as another program would.
void Alter(const QString& path, const QStringList& statements) {
    const QString name = QStringLiteral("altering");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QList<QStringList> Schema(const QSqlDatabase& db) {
    return Rows(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                   "ORDER BY type, name"));
}

// A work-tables file of ours that holds more or other than our design (a
// trigger that feeds TABLE1 from itself grew one to 34 GB) is refused by the
// check and built afresh when opened: what it held was only a reading.
TEST(ReportDatabase, AnAlteredDesignIsBuiltAfresh) {
    QTemporaryDir fresh_dir;
    const Database fresh = Database::Open(ReportDatabasePath(fresh_dir.path()), ReportDesign());
    const QList<QStringList> design = Schema(fresh.connection());
    const QString page =
        WritePage(fresh_dir.filePath(QStringLiteral("SOLUTION1.htm")), DemoPrintedSchool().bytes);
    struct Case {
        const char* name;
        QStringList statements;
    };
    const Case cases[] = {
        {"a trigger that grows TABLE1",
         {QStringLiteral("CREATE TRIGGER grow AFTER INSERT ON TABLE1 BEGIN "
                         "INSERT INTO TABLE1 SELECT * FROM TABLE1; END")}},
        {"a table of its own", {QStringLiteral("CREATE TABLE EXTRA (X)")}},
        {"another Query1",
         {QStringLiteral("DROP VIEW Query1"),
          QStringLiteral("CREATE VIEW Query1 AS SELECT rowid AS ROW_ORDER, TABLENAME FROM TABLE1 "
                         "UNION ALL SELECT rowid, TABLENAME FROM TABLE1")}},
        {"an index", {QStringLiteral("CREATE INDEX TABLE2_ETOS ON TABLE2 (ETOS)")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = ReportDatabasePath(dir.path());
        { Database::Open(path, ReportDesign()); }
        Alter(path, c.statements);
        const QByteArray altered = FileBytes(path);
        EXPECT_THROW(CheckDatabaseFile(path, ReportDesign()), FileRefusedError);
        EXPECT_EQ(FileBytes(path), altered);

        const Database db = Database::Open(path, ReportDesign());
        EXPECT_EQ(Schema(db.connection()), design);
        const PrintTables plan = ReadPrintTables(db.connection(), page, PrintReading::kGeneralPlan);
        EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("SELECT COUNT(*) FROM TABLE1")),
                  plan.rows.size());
    }
}

// An empty work-tables file, as a power cut can leave it, is built as if it
// were missing; an empty school database is still refused.
TEST(ReportDatabase, AnEmptyWorkFileIsBuiltAsIfMissing) {
    QTemporaryDir dir;
    const QString path = ReportDatabasePath(dir.path());
    { QFile(path).open(QIODevice::WriteOnly); }
    ASSERT_EQ(QFileInfo(path).size(), 0);
    const Database db = Database::Open(path, ReportDesign());
    QTemporaryDir fresh_dir;
    const Database fresh = Database::Open(ReportDatabasePath(fresh_dir.path()), ReportDesign());
    EXPECT_EQ(Schema(db.connection()), Schema(fresh.connection()));

    const QString school = dir.filePath(QStringLiteral("DATA2.sqlite"));
    { QFile(school).open(QIODevice::WriteOnly); }
    EXPECT_THROW(Database::Open(school), DataError);
    EXPECT_EQ(QFileInfo(school).size(), 0);
}

}  // namespace
}  // namespace taktirio::data::testing
