// The program directory's own files, which no output of the program may
// replace, told apart from everything else, however they are spelled.
#include "data/shell/program_files.h"

#include <QDir>
#include <QFile>

#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

TEST(ProgramFiles, TheDirectorysDatabasesJournalsLockAndPagesAreItsOwn) {
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(program.isValid() && elsewhere.isValid());
    const QDir dir(program.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("SOLUTIONS/HOMEBASE")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("sub")));
    { Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite"))); }
    const QDir other(elsewhere.path());
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("DATA2.sqlite")),
                            other.filePath(QStringLiteral("plan.pdf"))));
    ASSERT_TRUE(QFile::link(program.path(), other.filePath(QStringLiteral("program"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION2.htm")),
                            other.filePath(QStringLiteral("dangling.pdf"))));

    struct Case {
        QString path;
        bool own;
    };
    const Case cases[] = {
        {dir.filePath(QStringLiteral("DATA2.sqlite")), true},
        {dir.filePath(QStringLiteral("DATA2.sqlite-journal")), true},
        {dir.filePath(QStringLiteral("DATA.sqlite")), true},  // not there yet: still its name
        {dir.filePath(QStringLiteral("DATA.sqlite-wal")), true},
        {dir.filePath(QStringLiteral("REPORT.sqlite")), true},
        {dir.filePath(QStringLiteral("REPORT.sqlite-journal")), true},
        {dir.filePath(QStringLiteral("taktirio.lock")), true},
        {dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1.htm")), true},
        {dir.filePath(QStringLiteral("SOLUTIONS/OTHER/SOLUTION254.htm")), true},
        {dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/.SOLUTION3.htm.41.abc.tmp")), true},
        {dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/.SOLUTION3.htm.previous")), true},
        {dir.filePath(QStringLiteral("sub/../DATA2.sqlite")), true},
        {other.filePath(QStringLiteral("program/DATA2.sqlite")), true},  // a linked folder
        {other.filePath(QStringLiteral("plan.pdf")), true},              // a link to the file
        {other.filePath(QStringLiteral("dangling.pdf")), true},          // a link to a page to come
        {dir.filePath(QStringLiteral("plan.pdf")), false},
        {dir.filePath(QStringLiteral("DATA2.sqlite.pdf")), false},
        {dir.filePath(QStringLiteral("sub/DATA2.sqlite")), false},
        {dir.filePath(QStringLiteral("SOLUTION1.htm")), false},  // not under SOLUTIONS
        {dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1-plan.pdf")), false},
        {dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION.htm")), false},
        {other.filePath(QStringLiteral("DATA2.sqlite")), false},
        {other.filePath(QStringLiteral("program/plan.pdf")), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsProgramFile(program.path(), c.path), c.own) << c.path.toStdString();
    }
    // Relative to the current directory, as a command line gives it.
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(program.path()));
    EXPECT_TRUE(IsProgramFile(QStringLiteral("."), QStringLiteral("DATA2.sqlite")));
    EXPECT_TRUE(IsProgramFile(program.path(), QStringLiteral("./taktirio.lock")));
    EXPECT_FALSE(IsProgramFile(QStringLiteral("."), QStringLiteral("DATA2.pdf")));
    ASSERT_TRUE(QDir::setCurrent(current));
    // A directory that does not exist holds no files.
    EXPECT_FALSE(IsProgramFile(dir.filePath(QStringLiteral("none")),
                               dir.filePath(QStringLiteral("none/DATA2.sqlite"))));
}

}  // namespace
}  // namespace taktirio::data::testing
