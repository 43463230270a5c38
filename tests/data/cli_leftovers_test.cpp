// taktirio-cli over what a killed command or a power cut leaves in a program
// directory: databases without a school, a journal of garbage beside a sound
// database, an empty lock file. Each is either used as it is or named with
// what to do; none locks the user out.
#include <QDateTime>
#include <QDir>
#include <random>

#include "cli_support.h"
#include "data/shell/program_lock.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

const QString& kDemo = kDemoSchoolFile;

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The first import killed before its end: both databases are sound and
// empty. Every command that needs the school says that none is registered
// and how to register or import one; the import then works.
TEST(CliLeftovers, DatabasesWithoutASchoolSayHowToRegisterOne) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    { Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite"))); }
    { Database::Open(dir.filePath(QStringLiteral("DATA.sqlite"))); }
    const QString page = dir.filePath(QStringLiteral("SOLUTION1.htm"));
    WriteFile(page, QByteArrayLiteral("<html></html>"));
    for (const QStringList& command :
         {QStringList{QStringLiteral("export")}, QStringList{QStringLiteral("check")},
          QStringList{QStringLiteral("solve"), QStringLiteral("--replace")},
          QStringList{QStringLiteral("verify"), page}}) {
        const CliResult r = RunCli(command + at);
        EXPECT_EQ(r.code, 4) << command.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(U("δεν έχει καταχωρημένο σχολείο")))
            << command.join(u' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("import"))) << r.err.toStdString();
    }
    EXPECT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    EXPECT_EQ(RunCli(QStringList{QStringLiteral("export")} + at).code, 0);
}

// 5000 bytes of garbage as the journal of each database, beside sound files:
// every command goes on as if it were not there.
TEST(CliLeftovers, AGarbageJournalBesideASoundDatabaseIsNoDamage) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    std::mt19937 random(13);
    QByteArray garbage(5000, '\0');
    for (char& byte : garbage) {
        byte = static_cast<char>(random() & 0xff);
    }
    garbage[0] = 'G';
    for (const char* database : {"DATA2.sqlite", "DATA.sqlite"}) {
        WriteFile(dir.filePath(QString::fromLatin1(database) + QStringLiteral("-journal")),
                  garbage);
    }
    for (const QStringList& command :
         {QStringList{QStringLiteral("export")}, QStringList{QStringLiteral("check")},
          QStringList{QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("1"),
                      QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--threads"),
                      QStringLiteral("1"), QStringLiteral("--replace")}}) {
        const CliResult r = RunCli(command + at);
        EXPECT_EQ(r.code, 0) << command.join(u' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(U("κατεστραμμένο"))) << r.err.toStdString();
    }
}

// An empty lock file, as a power cut leaves it, with no task running: the
// commands that lock the directory take it over.
TEST(CliLeftovers, AnEmptyLockFileLeftByAPowerCutIsTakenOver) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    const QString lock = dir.filePath(QString::fromLatin1(kProgramLockFile));
    {
        QFile file(lock);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                                     QFileDevice::FileModificationTime));
    }
    const CliResult r = RunCli(QStringList{QStringLiteral("import"), kDemo} + at);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(lock)) << "the lock goes with the command";
}

}  // namespace
}  // namespace taktirio::data::testing
