#pragma once

#include <QLockFile>
#include <QString>

#include "data/database/errors.h"

namespace taktirio::data {

// The lock file in the program directory.
inline constexpr char kProgramLockFile[] = "taktirio.lock";

// The program directory's lock was not taken: another operation holds it,
// or the lock file cannot be created. `message()` says which.
class ProgramLockError : public DataError {
  public:
    using DataError::DataError;
};

// One writer at a time in a program directory: every operation that rewrites a
// whole database or the solutions folder (registering a school, an import, a
// run from its preparation to its last page) holds this lock, and a second one
// is refused at once instead of mixing its writes with the first one's.
//
// The lock is a file recording the holder's process, application and host.
// A file left by a process that no longer runs on this host is taken over, and
// so is one that names no holder (empty or garbled, as a power cut may leave
// it) when no process holds it open, and a link in its place. Its age alone
// never makes it stale: a run may hold it for hours. A lock held on another
// host, or a folder in the lock file's place, is refused with a message of
// its own.
class ProgramLock {
  public:
    explicit ProgramLock(const QString& directory);
    ProgramLock(const ProgramLock&) = delete;
    ProgramLock& operator=(const ProgramLock&) = delete;
    ~ProgramLock() = default;  // the lock file goes with the object

    // Takes the lock without waiting. False when it is held by another
    // operation or the lock file cannot be created; RefusalMessage() then says
    // which.
    bool TryLock();

    // Takes the lock or throws ProgramLockError with RefusalMessage().
    void Lock();

    void Unlock() { file_.unlock(); }
    bool IsLocked() const { return file_.isLocked(); }
    const QString& path() const { return path_; }

    // Why the last TryLock failed, in Greek: the holder's process, host and
    // application; a holder on another host, whom this host cannot see; or
    // the lock file that could not be created or used, named.
    QString RefusalMessage() const;

  private:
    bool TakeOverUnreadableLock();

    QString directory_;
    QString path_;
    QLockFile file_;
    QString refusal_;  // why the lock file itself stops the lock, when it does
};

}  // namespace taktirio::data
