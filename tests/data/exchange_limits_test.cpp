// Hostile exchange files (keys given twice, half surrogate pairs, names too
// long, a file too large, broken or deeply nested JSON) are refused with the
// item named and the database untouched; the longest names go through an
// export and an import unchanged.
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

#include "data/database/errors.h"
#include "data/entry/validation.h"
#include "data/exchange/exchange.h"
#include "data/exchange/strict_json.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

// The school of the exchange tests in compact JSON, keys in alphabetical order.
QByteArray SmallFile() {
    return QJsonDocument::fromJson(U(R"({
      "format": "taktirio-school", "version": 1,
      "school": {"name": "2ο Γυμνάσιο Πάτρας", "responsible": "Γ. Παπαδόπουλος"},
      "classes": ["Α1", "Α2", "Β1"],
      "teachers": ["ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ"],
      "pairs": [["ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ"]],
      "allocation": [
        {"class": "Α1", "teacher": "ΠΑΠΑΔΟΠΟΥΛΟΣ", "single": 3, "double": 1},
        {"class": "Α1", "teacher": "ΓΕΩΡΓΙΟΥ+ΝΙΚΟΛΑΟΥ", "single": 2, "double": 0},
        {"class": "Β1", "teacher": "ΓΕΩΡΓΙΟΥ", "single": 4, "double": 0}],
      "joint": [{"teacher": "ΠΑΠΑΔΟΠΟΥΛΟΣ", "classes": ["Α1", "Α2"]}],
      "apart": [["ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ"]]
    })")
                                       .toUtf8())
        .toJson(QJsonDocument::Compact);
}

// The file with the first `from` (which must be there) replaced by `to`.
QByteArray Edited(const char* from, const QByteArray& to) {
    QByteArray file = SmallFile();
    const QByteArray needle = QByteArray(from);
    const qsizetype at = file.indexOf(needle);
    EXPECT_GE(at, 0) << from;
    return at < 0 ? file : file.replace(at, needle.size(), to);
}

QByteArray Repeated(const char* utf8, qsizetype times) {
    return QByteArray(utf8).repeated(times);
}

// The last teacher of the list (the list is followed by "version"), and the
// first class section of the list.
constexpr char kLastTeacher[] = "\"ΝΙΚΟΛΑΟΥ\"],\"version\"";
constexpr char kFirstClass[] = "\"classes\":[\"Α1\",";

class ExchangeLimitsTest : public SchoolTest {};

TEST_F(ExchangeLimitsTest, HostileFilesAreRefusedNamingTheItemAndChangeNothing) {
    ImportSchool(session_, ParseSchoolDocument(SmallFile()));
    struct Case {
        const char* name;
        QByteArray file;
        const char* item;
        const char* reason;  // a part of the refusal's text
    };
    const std::vector<Case> cases = {
        // Keys given twice, at every level; the last is no longer the winner.
        {"format twice", Edited("{", "{\"format\":\"other\","), "format", "δεύτερη φορά"},
        {"school twice", Edited("{", "{\"school\":{\"name\":\"Χ\",\"responsible\":\"Υ\"},"),
         "school", "δεύτερη φορά"},
        {"classes twice", Edited("{", "{\"classes\":[],"), "classes", "δεύτερη φορά"},
        {"school.name twice", Edited("\"name\":", "\"name\":\"Χ\",\"name\":"), "school.name",
         "δεύτερη φορά"},
        {"key twice in an allocation item", Edited("{\"class\":", "{\"class\":\"Α1\",\"class\":"),
         "allocation[0].class", "δεύτερη φορά"},
        {"classes twice in a joint lesson",
         Edited("\"classes\":[\"Α1\",\"Α2\"],\"teacher\"",
                "\"classes\":[\"Α1\",\"Α2\"],\"classes\":[\"Α1\",\"Α2\"],\"teacher\""),
         "joint[0].classes", "δεύτερη φορά"},
        {"line and column of a key given twice",
         "{\n  \"format\": \"taktirio-school\",\n  \"format\": \"taktirio-school\"\n}", "format",
         "γραμμή 3, στήλη 3"},
        // Half a surrogate pair in every kind of name.
        {"lone high surrogate in the school's name", Edited("Πάτρας", "\\ud800"), "school.name",
         "\\uD800"},
        {"lone low surrogate in the responsible's name", Edited("Παπαδόπουλος", "\\udc00"),
         "school.responsible", "\\uDC00"},
        {"high surrogate before a letter in a class", Edited("\"Β1\"]", "\"\\ud800\\u0041\"]"),
         "classes[2]", "UTF-16"},
        {"high surrogate before a high one in a teacher",
         Edited(kLastTeacher, "\"ΝΙΚ\\udbff\\ud800\"],\"version\""), "teachers[2]", "UTF-16"},
        {"lone surrogate in a pair member", Edited("[[\"ΓΕΩΡΓΙΟΥ\",", "[[\"\\udfff\","),
         "pairs[0][0]", "UTF-16"},
        {"whole surrogate pair: outside windows-1253",
         Edited(kLastTeacher, "\"\\ud83d\\ude00\"],\"version\""), "teachers[2]", "windows-1253"},
        // Names one character beyond the maximum of their kind.
        {"school name of 101", Edited("2ο Γυμνάσιο Πάτρας", Repeated("Σ", 101)), "school.name",
         "100"},
        {"responsible of 51", Edited("Γ. Παπαδόπουλος", Repeated("Υ", 51)), "school.responsible",
         "50"},
        {"class of 51", Edited("\"Β1\"]", "\"" + Repeated("Β", 51) + "\"]"), "classes[2]", "50"},
        {"teacher of 51", Edited(kLastTeacher, "\"" + Repeated("Ν", 51) + "\"],\"version\""),
         "teachers[2]", "50"},
        {"teacher of a million",
         Edited(kLastTeacher, "\"" + Repeated("Ν", 1000000) + "\"],\"version\""), "teachers[2]",
         "50"},
        {"pair member of 51", Edited("[[\"ΓΕΩΡΓΙΟΥ\",", "[[\"" + Repeated("Γ", 51) + "\","),
         "pairs[0][0]", "άγνωστος"},
        // Size, broken JSON and nesting.
        {"file beyond the maximum",
         Edited("{", "{" + QByteArray(kMaxSchoolFileBytes - SmallFile().size() + 1, ' ')), "JSON",
         "16 MiB"},
        {"cut short", SmallFile().left(40), "allocation[0]", "τελειώνει"},
        {"not an object", "[1, 2]", "JSON", "έγκυρο JSON"},
        {"something after the object", SmallFile() + "{}", "JSON", "έγκυρο JSON"},
        {"trailing comma in a list", Edited("\"Β1\"]", "\"Β1\",]"), "classes[3]", "έγκυρο JSON"},
        {"unknown escape", Edited("Πάτρας", "\\x41"), "school.name", "έγκυρο JSON"},
        {"raw tab in a name", Edited("Πάτρας", "\t"), "school.name", "έγκυρο JSON"},
        {"byte that is not UTF-8", Edited(kFirstClass, "\"classes\":[\"\xff\","), "classes[0]",
         "UTF-8"},
        {"surrogate written as UTF-8 bytes", Edited(kFirstClass, "\"classes\":[\"\xed\xa0\x80\","),
         "classes[0]", "UTF-8"},
        {"overlong UTF-8", Edited(kFirstClass, "\"classes\":[\"\xc0\xaf\","), "classes[0]",
         "UTF-8"},
        {"number with a leading zero", Edited("\"version\":1", "\"version\":01"), "version",
         "έγκυρο JSON"},
        {"single quotes", "{'format': 'taktirio-school'}", "JSON", "έγκυρο JSON"},
        {"seventeen levels", Edited("\"apart\":[", "\"apart\":" + Repeated("[", 17)),
         "apart[0][0][0]", "16 επίπεδα"},
        {"a million levels", "{\"apart\":" + Repeated("[", 1000000), "apart[0]", "16 επίπεδα"},
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
            const QString message = error.message();
            EXPECT_TRUE(message.startsWith(U("Το αρχείο του σχολείου δεν έγινε δεκτό.\r")));
            // The item opens the second line.
            EXPECT_TRUE(message.contains(u'\r' + QLatin1String(c.item))) << message.toStdString();
            EXPECT_TRUE(message.contains(U(c.reason))) << message.toStdString();
            EXPECT_LT(message.size(), 400) << "a refusal repeats the file";
        }
    }
    EXPECT_EQ(FileBytes(path_), before);
}

// A name of `length` characters starting with `stem`, filled with Greek letters.
QString Long(const QString& stem, int length) {
    static const QString letters = U("ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ");
    QString name = stem;
    while (name.size() < length) {
        name += letters[name.size() % letters.size()];
    }
    return name;
}

TEST_F(ExchangeLimitsTest, NamesOfTheLongestLengthSurviveExportAndImport) {
    SchoolDocument d;
    d.name = Long(U("Σχολείο "), kMaxSchoolNameLength);
    d.responsible = Long(U("Υπεύθυνος "), kMaxResponsibleNameLength);
    d.classes = {Long(U("Α1 "), kMaxClassNameLength), Long(U("Α2 "), kMaxClassNameLength)};
    d.teachers = {Long(U("Τ1 "), kMaxTeacherNameLength), Long(U("Τ2 "), kMaxTeacherNameLength)};
    d.pairs = {{d.teachers[0], d.teachers[1]}};
    const QString pair = d.teachers[0] + u'+' + d.teachers[1];
    ASSERT_EQ(pair.size(), kMaxPairNameLength);
    d.allocation = {{d.classes[0], pair, 2, 1}, {d.classes[1], d.teachers[0], 3, 0}};
    d.joint = {{d.teachers[0], d.classes[0], d.classes[1]}};
    d.apart = {{d.teachers[1], d.teachers[0]}};

    ASSERT_EQ(ParseSchoolDocument(WriteSchoolDocument(d)), d);
    ImportSchool(session_, ParseSchoolDocument(WriteSchoolDocument(d)));
    const SchoolDocument exported = ExportSchool(session_);
    EXPECT_EQ(exported, d);
    // The program's own export is accepted again as it stands.
    EXPECT_EQ(ParseSchoolDocument(WriteSchoolDocument(exported)), d);
}

// The densest school the checks allow in the lists that grow with it (255
// class sections of 50 one-hour lessons and 50 pinned hours each, every single
// teacher absent every day and free every hour), with the longest names: its
// export stays within the maximum file size and reads back.
TEST(ExchangeLimits, TheDensestSchoolFitsTheMaximumFileSize) {
    SchoolDocument d;
    d.name = Long(U("Σ"), kMaxSchoolNameLength);
    d.responsible = Long(U("Υ"), kMaxResponsibleNameLength);
    for (int c = 0; c < 255; ++c) {
        d.classes.append(Long(QString::number(c) + u' ', kMaxClassNameLength));
    }
    for (int t = 0; t < 235; ++t) {
        d.teachers.append(Long(QString::number(t) + u' ', kMaxTeacherNameLength));
    }
    QStringList pairs;
    for (int p = 0; p < 20; ++p) {
        d.pairs.append({d.teachers[2 * p], d.teachers[2 * p + 1]});
        pairs.append(d.teachers[2 * p] + u'+' + d.teachers[2 * p + 1]);
    }
    for (int c = 0; c < 255; ++c) {
        for (int k = 0; k < 50; ++k) {
            d.allocation.append(
                {d.classes[c], k < 20 ? pairs[k] : d.teachers[(c + k * 7) % 235], 1, 0});
            d.pinned.append({d.classes[c], pairs[c % 20], 1 + k % 5, 1 + k / 5});
        }
    }
    for (const QString& teacher : d.teachers) {
        for (int k = 0; k < 50; ++k) {
            if (k < 5) {
                d.absent_days.append({teacher, 1 + k});
            }
            d.free_hours.append({teacher, 1 + k % 5, 1 + k / 5});
        }
    }
    const QByteArray file = WriteSchoolDocument(d);
    EXPECT_LT(file.size(), kMaxSchoolFileBytes);
    EXPECT_EQ(ParseSchoolDocument(file), d);
}

// On well-formed JSON the strict reader gives what Qt's parser gives.
TEST(StrictJson, ReadsWhatQtReads) {
    const char* texts[] = {
        "{}",
        " \t\r\n{ } \n",
        "\xef\xbb\xbf{\"a\": 1}",
        R"({"a": [], "b": {}, "c": [[]], "d": [{}, {"e": null}]})",
        R"({"t": true, "f": false, "n": null})",
        R"({"n": [0, -0, 7, -12, 1.5, 2e3, 2E-3, -1.25e+2, 12345678901234567890]})",
        R"({"s": "a\"b\\c\/d\be\ff\ng\rh\ti", "u": "\u00e9\u0391\u03a9\u20ac"})",
        R"({"pair": "\ud83d\ude00", "raw": "Ελληνικά ☃ 😀", "zero": "a\u0000b"})",
        R"({"z": 1, "a": 2, "m": {"y": [1, "x", {"k": "v"}], "b": false}})",
    };
    for (const char* text : texts) {
        const QByteArray json(text);
        QJsonParseError error;
        const QJsonDocument qt = QJsonDocument::fromJson(json, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << text;
        EXPECT_EQ(ReadStrictJsonObject(json), qt.object()) << text;
    }
    const QJsonObject strings = ReadStrictJsonObject(R"({"pair": "\ud83d\ude00"})");
    EXPECT_EQ(strings.value(QStringLiteral("pair")).toString(), U("😀"));
}

}  // namespace
}  // namespace taktirio::data::testing
