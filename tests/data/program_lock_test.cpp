// One writer at a time in a program directory: a second holder is refused with
// the holder named, and a lock left by a process that has ended is taken over.
#include "data/shell/program_lock.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
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

// Writes a lock file as something other than a running task left it, a few
// seconds old.
void WriteOldLockFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    ASSERT_TRUE(file.flush());
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
}

// A lock file that names no holder (empty, as a power cut leaves it, or
// garbled) is stale when no process holds it open: it is taken over. One that
// a process holds open, or that was created a moment ago, is still busy.
TEST(ProgramLock, ALockFileThatNamesNoHolderIsTakenOverWhenNoneHoldsIt) {
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("\x8f\x01zz\n\xff\xfe not a holder\n")},
        {"no process number", QByteArrayLiteral("\ntaktirio-cli\nhost\n")},
        {"too long", QByteArray(5000, '7')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(kProgramLockFile));
        WriteOldLockFile(path, c.bytes);
        ProgramLock lock(dir.path());
        EXPECT_TRUE(lock.TryLock()) << lock.RefusalMessage().toStdString();
        EXPECT_TRUE(FileBytes(path).startsWith(
            QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kProgramLockFile));
    WriteOldLockFile(path, QByteArray());
    {
        // As a holder keeps it: open, with an exclusive lock.
        QFile held(path);
        ASSERT_TRUE(held.open(QIODevice::ReadOnly));
        ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
        ProgramLock lock(dir.path());
        EXPECT_FALSE(lock.TryLock());
        EXPECT_TRUE(lock.RefusalMessage().contains(U("χρησιμοποιείται από άλλη εργασία")))
            << lock.RefusalMessage().toStdString();
    }
    {
        QFile fresh(path);
        ASSERT_TRUE(fresh.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    ProgramLock early(dir.path());
    EXPECT_FALSE(early.TryLock()) << "a lock file just created may be another task's";
}

// No holder ever locks through a link: a link in the lock file's place goes
// (never its target) and the lock is taken. A folder there is named, with
// what to do, and left where it is.
TEST(ProgramLock, ALinkInPlaceOfTheLockFileGoesAFolderIsNamed) {
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    {
        QFile file(other);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a lock\n");
    }
    for (const QString& target : {dir.filePath(QStringLiteral("none")), other}) {
        QTemporaryDir program;
        const QString path = program.filePath(QString::fromLatin1(kProgramLockFile));
        ASSERT_TRUE(QFile::link(target, path));
        ProgramLock lock(program.path());
        EXPECT_TRUE(lock.TryLock()) << lock.RefusalMessage().toStdString();
        EXPECT_FALSE(QFileInfo(path).isSymLink());
    }
    EXPECT_EQ(FileBytes(other), QByteArrayLiteral("not a lock\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none"))));

    QTemporaryDir program;
    const QString path = program.filePath(QString::fromLatin1(kProgramLockFile));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inside")));
    ProgramLock lock(program.path());
    EXPECT_FALSE(lock.TryLock());
    const QString message = lock.RefusalMessage();
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("directory"))) << message.toStdString();
    EXPECT_FALSE(message.contains(U("Περίμενε να τελειώσει"))) << message.toStdString();
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral("/inside")));

    // A pipe there is named at once: reading it would wait for a writer.
    QTemporaryDir piped;
    const QString pipe = piped.filePath(QString::fromLatin1(kProgramLockFile));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ProgramLock pipe_lock(piped.path());
    EXPECT_FALSE(pipe_lock.TryLock());
    EXPECT_TRUE(pipe_lock.RefusalMessage().contains(U("ειδικό αρχείο")))
        << pipe_lock.RefusalMessage().toStdString();
}

// A lock taken on another computer (a shared folder) cannot be judged from
// here: it gets its own message, naming that computer and the file.
TEST(ProgramLock, ALockFromAnotherHostIsSaidSo) {
    const QByteArray kForms[] = {
        QByteArrayLiteral("4242\ntaktirio-cli\nschool-server\nffffffffffffffffffffffffffffffff\n"
                          "0000\n"),
        QByteArrayLiteral("4242\ntaktirio-cli\nschool-server\n"),
    };
    for (const QByteArray& bytes : kForms) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(kProgramLockFile));
        WriteOldLockFile(path, bytes);
        ProgramLock lock(dir.path());
        EXPECT_FALSE(lock.TryLock());
        const QString message = lock.RefusalMessage();
        EXPECT_TRUE(message.contains(U("σε άλλον υπολογιστή"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("school-server"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("4242"))) << message.toStdString();
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_EQ(FileBytes(path), bytes);
    }
}

}  // namespace
}  // namespace taktirio::data::testing
