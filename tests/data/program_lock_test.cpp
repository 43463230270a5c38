// One writer at a time in a program directory: a second holder is refused with
// the holder named, and a lock left by a process that has ended is taken over.
#include "shell/program_lock.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QSysInfo>

#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

TEST(ProgramLock, ASecondHolderIsRefusedWithTheHolderNamed) {
    QTemporaryDir dir;
    ProgramLock first(dir.path());
    ASSERT_TRUE(first.TryLock());
    EXPECT_TRUE(QFile::exists(dir.filePath(QString::fromLatin1(kProgramLockFile))));

    ProgramLock second(dir.path());
    EXPECT_FALSE(second.TryLock());
    const QString message = second.RefusalMessage();
    EXPECT_TRUE(message.contains(U("χρησιμοποιείται από άλλη εργασία"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::number(QCoreApplication::applicationPid())))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QSysInfo::machineHostName())) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("data_tests"))) << message.toStdString();
    try {
        second.Lock();
        ADD_FAILURE() << "a second holder took the lock";
    } catch (const ProgramLockError& error) {
        EXPECT_EQ(error.message(), message);
    }

    first.Unlock();
    EXPECT_TRUE(second.TryLock()) << "free once the first lets go";
}

// A lock file whose process is gone is stale at once, however young; one whose
// process still runs is never stale, however old.
TEST(ProgramLock, ALockLeftByAnEndedProcessIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kProgramLockFile));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(child) + "\ntaktirio-cli\n" +
                   QSysInfo::machineHostName().toUtf8() + "\n");
    }
    ProgramLock lock(dir.path());
    EXPECT_TRUE(lock.TryLock()) << lock.RefusalMessage().toStdString();

    // An old lock held by a live process stays held.
    QTemporaryDir other;
    ProgramLock held(other.path());
    ASSERT_TRUE(held.TryLock());
    QFile held_file(held.path());
    ASSERT_TRUE(held_file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(held_file.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                      QFileDevice::FileModificationTime));
    held_file.close();
    ProgramLock late(other.path());
    EXPECT_FALSE(late.TryLock());
}

TEST(ProgramLock, ALockFileThatCannotBeCreatedIsSaid) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/dir"));
    ProgramLock lock(missing);
    EXPECT_FALSE(lock.TryLock());
    EXPECT_TRUE(lock.RefusalMessage().contains(QString::fromLatin1(kProgramLockFile)))
        << lock.RefusalMessage().toStdString();
    EXPECT_THROW(lock.Lock(), ProgramLockError);
}

}  // namespace
}  // namespace taktirio::data::testing
