// taktirio-cli print and free run as a process over a page of the demo school.
#include <gtest/gtest.h>

#include "data/cli_support.h"
#include "reports/pdf_support.h"

namespace taktirio::reports::testing {
namespace {

using data::testing::CliResult;
using data::testing::RunCli;

class PrintCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        page_ = data::testing::WritePage(dir_.filePath(QStringLiteral("SOLUTION1.htm")),
                                         data::testing::DemoPrintedSchool().bytes);
        at_ = {QStringLiteral("--dir"), dir_.path()};
    }

    CliResult Print(const QString& kind, const QString& pdf) {
        return RunCli(QStringList{QStringLiteral("print"), kind, page_, QStringLiteral("-o"), pdf} +
                      at_);
    }

    // Every row of TABLE1, TABLE2 and TABLE3.
    QList<QList<QStringList>> WorkTableRows() const {
        data::Database db =
            data::Database::Open(data::ReportDatabasePath(dir_.path()), data::ReportDesign());
        QList<QList<QStringList>> rows;
        for (const char* table : {"TABLE1", "TABLE2", "TABLE3"}) {
            rows.append(data::Rows(db.connection(),
                                   QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table))));
        }
        return rows;
    }

    QTemporaryDir dir_;
    QString page_;
    QStringList at_;
};

TEST_F(PrintCliTest, PrintsEveryKindAsAPdf) {
    struct Case {
        const char* kind;
        int pages;
    };
    const int teachers = static_cast<int>(
        std::count_if(data::testing::DemoPrintedSchool().inputs.teacher_names.begin() + 1,
                      data::testing::DemoPrintedSchool().inputs.teacher_names.end(),
                      [](const std::string& name) { return name.find('+') == std::string::npos; }));
    const Case cases[] = {{"classes", 9}, {"teachers", teachers}, {"plan", 7}, {"summary", 2}};
    for (const Case& c : cases) {
        const QString kind = QString::fromLatin1(c.kind);
        const QString pdf = dir_.filePath(kind + QStringLiteral(".pdf"));
        const CliResult r = Print(kind, pdf);
        EXPECT_EQ(r.code, 0) << c.kind << r.err.toStdString();
        EXPECT_EQ(PdfPageCount(pdf), c.pages) << c.kind;
        EXPECT_TRUE(r.out.contains(QString::fromUtf8("(%1 σελίδες)").arg(c.pages))) << c.kind;
    }
    EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("REPORT.sqlite"))));
}

TEST_F(PrintCliTest, FreeListsTheTeachersAndTheirCount) {
    CliResult r =
        RunCli(QStringList{QStringLiteral("free"), page_, QStringLiteral("--day"),
                           QStringLiteral("2"), QStringLiteral("--hour"), QStringLiteral("3")} +
               at_);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    const QString count = lines.takeLast();
    EXPECT_EQ(count, QString::fromUtf8("Συνολικός αριθμός=") + QString::number(lines.size()));
    {
        data::Database db =
            data::Database::Open(data::ReportDatabasePath(dir_.path()), data::ReportDesign());
        EXPECT_EQ(lines, data::FreeTeachers(db.connection(), 2, 3));
    }
    // Past the last lesson of the day every teacher is free.
    r = RunCli(QStringList{QStringLiteral("free"), page_, QStringLiteral("--day"),
                           QStringLiteral("5"), QStringLiteral("--hour"), QStringLiteral("10")} +
               at_);
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("Συνολικός αριθμός=27"))) << r.out.toStdString();
}

TEST_F(PrintCliTest, BadInputIsNamedAndChangesNothing) {
    ASSERT_EQ(Print(QStringLiteral("classes"), dir_.filePath(QStringLiteral("a.pdf"))).code, 0);
    const QList<QList<QStringList>> before = WorkTableRows();
    struct Case {
        const char* name;
        QStringList arguments;
        int code;
        const char* message;
    };
    const std::string& bytes = data::testing::DemoPrintedSchool().bytes;
    const QString broken = data::testing::WritePage(dir_.filePath(QStringLiteral("SOLUTION2.htm")),
                                                    bytes.substr(0, bytes.size() / 2));
    const QString missing = dir_.filePath(QStringLiteral("SOLUTION9.htm"));
    const Case cases[] = {
        {"unknown kind", {QStringLiteral("print"), QStringLiteral("rooms"), page_}, 2, "Usage"},
        {"day 6",
         {QStringLiteral("free"), page_, QStringLiteral("--day"), QStringLiteral("6"),
          QStringLiteral("--hour"), QStringLiteral("1")},
         2,
         "Μη αποδεκτές τιμές."},
        {"hour not a number",
         {QStringLiteral("free"), page_, QStringLiteral("--day"), QStringLiteral("1"),
          QStringLiteral("--hour"), QStringLiteral("x")},
         2,
         "Usage"},
        {"missing page",
         {QStringLiteral("print"), QStringLiteral("plan"), missing},
         4,
         "SOLUTION9.htm δεν μπορεί να διαβαστεί"},
        {"page cut short",
         {QStringLiteral("print"), QStringLiteral("teachers"), broken},
         3,
         "SOLUTION2.htm σταμάτησε στη γραμμή"},
    };
    for (const Case& c : cases) {
        const CliResult r = RunCli(c.arguments + at_);
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << c.name << r.err.toStdString();
    }
    EXPECT_EQ(WorkTableRows(), before);

    // A foreign REPORT.sqlite is refused and left as it was.
    QFile::remove(dir_.filePath(QStringLiteral("REPORT.sqlite")));
    QFile::copy(page_, dir_.filePath(QStringLiteral("REPORT.sqlite")));
    const CliResult r = Print(QStringLiteral("plan"), dir_.filePath(QStringLiteral("b.pdf")));
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("δεν είναι βάση δεδομένων του TAKTIRIO")));
    EXPECT_EQ(data::testing::FileBytes(dir_.filePath(QStringLiteral("REPORT.sqlite"))),
              data::testing::FileBytes(page_));
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("b.pdf"))));
}

}  // namespace
}  // namespace taktirio::reports::testing
