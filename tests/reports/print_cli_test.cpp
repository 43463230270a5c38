// taktirio-cli print and free run as a process over a page of the demo school.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>

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

// With the school's data in the directory, a teacher whose absent day it is
// cannot stand in: left out of the list and named after the count. The demo
// school has ΚΟΥΤΣΟΥΚΗ ΕΙΡΗΝΗ absent on Fridays and ΧΑΤΖΗΣ ΛΕΩΝΙΔΑΣ on
// Wednesdays.
TEST_F(PrintCliTest, FreeLeavesOutTheTeachersAbsentThatDay) {
    ASSERT_EQ(
        RunCli(QStringList{QStringLiteral("import"), data::testing::kDemoSchoolFile} + at_).code,
        0);
    const QString koutsouki = QString::fromUtf8("ΚΟΥΤΣΟΥΚΗ ΕΙΡΗΝΗ");
    const QString chatzis = QString::fromUtf8("ΧΑΤΖΗΣ ΛΕΩΝΙΔΑΣ");
    struct Case {
        int day;
        int listed;
        QString absent;
    };
    for (const Case& c : {Case{5, 26, koutsouki}, Case{3, 26, chatzis}, Case{1, 27, {}}}) {
        const CliResult r = RunCli(QStringList{QStringLiteral("free"), page_,
                                               QStringLiteral("--day"), QString::number(c.day),
                                               QStringLiteral("--hour"), QStringLiteral("10")} +
                                   at_);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QString left_out;
        if (!c.absent.isEmpty()) {
            left_out = lines.takeLast();
            EXPECT_EQ(
                left_out,
                QString::fromUtf8("Δεν εμφανίζεται, γιατί απουσιάζει την ημέρα αυτή: ") + c.absent)
                << c.day;
        }
        EXPECT_EQ(lines.takeLast(), QString::fromUtf8("Συνολικός αριθμός=%1").arg(c.listed))
            << c.day;
        EXPECT_EQ(lines.size(), c.listed) << c.day;
        EXPECT_EQ(lines.contains(koutsouki), c.day != 5) << c.day;
        EXPECT_EQ(lines.contains(chatzis), c.day != 3) << c.day;
    }
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

// An output that is one of the program directory's own files, or the page
// itself, is refused and the file stays as it was; a PDF beside the pages is
// written.
TEST_F(PrintCliTest, AnOutputThatIsTheProgramsOwnFileIsRefused) {
    const QDir dir(dir_.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("SOLUTIONS/HOMEBASE")));
    const QString page_in_folder = dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1.htm"));
    ASSERT_TRUE(QFile::copy(page_, page_in_folder));
    { data::Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite"))); }
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("DATA2.sqlite")),
                            dir.filePath(QStringLiteral("link.pdf"))));
    struct Case {
        const char* name;
        QString output;
    };
    const Case cases[] = {
        {"school database", QStringLiteral("DATA2.sqlite")},
        {"its journal", QStringLiteral("DATA2.sqlite-journal")},
        {"working database", QStringLiteral("DATA.sqlite")},
        {"work tables", QStringLiteral("REPORT.sqlite")},
        {"lock", QStringLiteral("taktirio.lock")},
        {"a solution page", QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1.htm")},
        {"another spelling", QStringLiteral("SOLUTIONS/../DATA2.sqlite")},
        {"a link to the database", QStringLiteral("link.pdf")},
        {"the page printed", QStringLiteral("SOLUTION1.htm")},
    };
    for (const Case& c : cases) {
        const QString output = dir.filePath(c.output);
        const QByteArray before = data::testing::FileBytes(output);
        const bool existed = QFile::exists(output);
        const CliResult r = Print(QStringLiteral("plan"), output);
        EXPECT_EQ(r.code, 3) << c.name;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8("δεν αντικαθίσταται")))
            << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.output)) << c.name;
        EXPECT_EQ(QFile::exists(output), existed) << c.name;
        EXPECT_EQ(data::testing::FileBytes(output), before) << c.name;
    }
    // A pipe or a folder in the output's place would be replaced by the
    // renamed PDF: refused, and left what it was.
    const QString pipe = dir.filePath(QStringLiteral("pipe.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.pdf"));
    ASSERT_TRUE(dir.mkpath(folder));
    for (const QString& special : {pipe, folder}) {
        const CliResult refused = Print(QStringLiteral("plan"), special);
        EXPECT_EQ(refused.code, 3) << special.toStdString();
        EXPECT_TRUE(refused.err.contains(QString::fromUtf8("δεν είναι κανονικό αρχείο")))
            << refused.err.toStdString();
    }
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(pipe).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    const QString beside = dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1-plan.pdf"));
    const CliResult r = Print(QStringLiteral("plan"), beside);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(PdfPageCount(beside), 7);
}

// A program directory that does not exist is named as such, not by a file
// the program would have made in it.
TEST_F(PrintCliTest, AMissingDirectoryIsNamed) {
    const QString missing = dir_.filePath(QStringLiteral("no-such-dir"));
    for (const QStringList& command :
         {QStringList{QStringLiteral("print"), QStringLiteral("plan"), page_, QStringLiteral("-o"),
                      dir_.filePath(QStringLiteral("x.pdf"))},
          QStringList{QStringLiteral("free"), page_, QStringLiteral("--day"), QStringLiteral("1"),
                      QStringLiteral("--hour"), QStringLiteral("1")}}) {
        const CliResult r = RunCli(command + QStringList{QStringLiteral("--dir"), missing});
        EXPECT_EQ(r.code, 4) << command.front().toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8("Το directory %1 δεν υπάρχει").arg(missing)))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral(".new"))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missing));
}

// Qt's notes on its surroundings never reach the user: a print without
// XDG_RUNTIME_DIR says only what it wrote.
TEST_F(PrintCliTest, APrintSaysNothingButItsOwnMessages) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    const QString pdf = dir_.filePath(QStringLiteral("plan.pdf"));
    process.start(QStringLiteral(TAKTIRIO_CLI_PATH),
                  QStringList{QStringLiteral("print"), QStringLiteral("plan"), page_,
                              QStringLiteral("-o"), pdf} +
                      at_);
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), QString());
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardOutput())
                    .startsWith(QString::fromUtf8("Γράφτηκε το αρχείο")));
}

// A work-tables file with a trigger that feeds TABLE1 from itself (which
// grew one to 34 GB in ten minutes) is built afresh: the answer comes at
// once and the trigger is gone.
TEST_F(PrintCliTest, AWorkTablesFileWithTriggersIsBuiltAfresh) {
    const QString path = data::ReportDatabasePath(dir_.path());
    { data::Database::Open(path, data::ReportDesign()); }
    {
        const QString name = QStringLiteral("hostile");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            ASSERT_TRUE(QSqlQuery(db).exec(
                QStringLiteral("CREATE TRIGGER grow AFTER INSERT ON TABLE1 BEGIN "
                               "INSERT INTO TABLE1 SELECT * FROM TABLE1; END")));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    const CliResult r =
        RunCli(QStringList{QStringLiteral("free"), page_, QStringLiteral("--day"),
                           QStringLiteral("5"), QStringLiteral("--hour"), QStringLiteral("10")} +
                   at_,
               60000);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("Συνολικός αριθμός=27"))) << r.out.toStdString();
    const data::Database db = data::Database::Open(path, data::ReportDesign());
    EXPECT_EQ(data::ScalarInt(db.connection(),
                              QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = ?"),
                              {QStringLiteral("trigger")}),
              0);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Under limits on its address space from too little to start with up to
// enough, a print either draws its PDF or stops with the memory message and
// exit code 7, as every other command does: never an abort or a crash, and
// never a half-written PDF.
TEST_F(PrintCliTest, RunningOutOfMemoryIsAnExitCodeNotAnAbort) {
    const QString pdf = dir_.filePath(QStringLiteral("plan.pdf"));
    int stopped = 0;
    int drawn = 0;
    for (rlim_t megabytes = 64; megabytes <= 160; megabytes += 6) {
        QFile::remove(pdf);
        QProcess process;
        process.setChildProcessModifier([megabytes] {
            const rlimit limit{megabytes << 20, megabytes << 20};
            setrlimit(RLIMIT_AS, &limit);
        });
        process.start(QStringLiteral(TAKTIRIO_CLI_PATH),
                      QStringList{QStringLiteral("print"), QStringLiteral("plan"), page_,
                                  QStringLiteral("-o"), pdf} +
                          at_);
        ASSERT_TRUE(process.waitForFinished(120000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 127) {
            continue;  // too little for the system to load the program at all
        }
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit)
            << megabytes << " MB: " << err.toStdString();
        if (process.exitCode() == 0) {
            ++drawn;
            EXPECT_EQ(PdfPageCount(pdf), 7) << megabytes << " MB";
            continue;
        }
        ++stopped;
        EXPECT_EQ(process.exitCode(), 7) << megabytes << " MB: " << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8("Η μνήμη του υπολογιστή δεν επαρκεί")))
            << megabytes << " MB: " << err.toStdString();
        EXPECT_EQ(QDir(dir_.path()).entryList({QStringLiteral("plan.pdf*")}, QDir::Files),
                  QStringList())
            << megabytes << " MB";
    }
    EXPECT_GT(stopped, 0) << "no limit was low enough to stop a print";
    EXPECT_GT(drawn, 0) << "no limit was high enough to draw";
}
#endif

}  // namespace
}  // namespace taktirio::reports::testing
