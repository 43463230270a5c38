#include "data/shell/program_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSysInfo>
#include <cerrno>
#include <ctime>
#include <optional>

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// A lock file is a few short lines; a longer one is not a lock file.
constexpr qint64 kMostLockFileBytes = 4096;
// A lock file is created empty and its holder's lines are written a moment
// later: one younger than this may be another task's, still being written.
constexpr int kUnreadableLockGraceSeconds = 2;

// What a lock file says of its holder: its process, application and host
// (the host's name, and its machine identity when the file records one).
struct Holder {
    qint64 pid = 0;
    QString application;
    QString host;
    QByteArray host_id;
};

// The holder's lines; nothing when they are missing or no holder's (an
// empty file left by a power cut, garbage, a file that cannot be read).
std::optional<Holder> ReadHolder(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    QByteArray bytes(kMostLockFileBytes + 1, '\0');
    qint64 size = 0;
    while (size < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + size, static_cast<size_t>(bytes.size() - size));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        size += n;
    }
    ::close(fd);
    if (size > kMostLockFileBytes) {
        return std::nullopt;
    }
    bytes.truncate(size);
    const QList<QByteArray> lines = bytes.split('\n');
    bool ok = false;
    Holder holder;
    holder.pid = lines.value(0).trimmed().toLongLong(&ok);
    if (!ok || holder.pid <= 0) {
        return std::nullopt;
    }
    holder.application = QString::fromUtf8(lines.value(1));
    holder.host = QString::fromUtf8(lines.value(2));
    holder.host_id = lines.value(3).trimmed();
    return holder;
}

// As the lock file decides it: by the machine's identity when recorded,
// else by the host name.
bool OnThisHost(const Holder& holder) {
    if (!holder.host_id.isEmpty()) {
        return holder.host_id == QSysInfo::machineUniqueId();
    }
    return holder.host.isEmpty() || holder.host == QSysInfo::machineHostName();
}

// Seconds since the file last changed, whichever way the clock was set.
qint64 AgeInSeconds(const struct stat& info) {
    const qint64 age = static_cast<qint64>(std::time(nullptr)) - info.st_mtime;
    return age < 0 ? -age : age;
}

// A holder keeps its lock file open with an exclusive lock on it for as long
// as it holds the lock, whatever the file says.
bool HeldOpen(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

}  // namespace

ProgramLock::ProgramLock(const QString& directory)
    : directory_(QDir(directory).absolutePath()),
      path_(QDir(directory_).absoluteFilePath(QString::fromLatin1(kProgramLockFile))),
      file_(path_) {
    // Staleness by the holder's process only (it no longer runs on this host),
    // never by age.
    file_.setStaleLockTime(0);
}

bool ProgramLock::TryLock() {
    if (file_.isLocked()) {
        return true;
    }
    refusal_.clear();
    // A folder, a pipe or a device in the lock file's place is named before
    // the lock is tried: reading a pipe would wait for a writer for ever.
    struct stat info {};
    if (::lstat(QFile::encodeName(path_).constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
        !S_ISLNK(info.st_mode)) {
        refusal_ = S("Στη θέση του αρχείου κλειδώματος %1 υπάρχει directory ή ειδικό αρχείο.\r"
                     "Μετακίνησέ το ή διάγραψέ το και δοκίμασε ξανά.")
                       .arg(QDir::toNativeSeparators(path_));
        return false;
    }
    if (file_.tryLock(0)) {
        return true;
    }
    if (file_.error() != QLockFile::LockFailedError) {
        return false;
    }
    // A lock whose holder can be read is Qt's to judge, and it has judged:
    // the holder runs, or runs on another host. What remains is a lock file
    // that names no holder.
    return TakeOverUnreadableLock();
}

// An empty or garbled lock file (what a power cut leaves) is stale when no
// process holds it open with its lock: it is removed, as Qt removes a stale
// lock, and the lock taken. So is a link in its place, which no holder ever
// makes (the link goes, not its target). A folder there is named instead:
// what it holds is not the program's to delete.
bool ProgramLock::TakeOverUnreadableLock() {
    const QString shown = QDir::toNativeSeparators(path_);
    const QString when_free = S("\rΑν δεν τρέχει άλλη εργασία του TAKTIRIO σε αυτό το directory, ");
    struct stat info {};
    if (::lstat(QFile::encodeName(path_).constData(), &info) != 0) {
        return file_.tryLock(0);  // gone in the meantime
    }
    if (S_ISLNK(info.st_mode)) {
        // No holder locks through a link: the link goes, never its target.
        if (::unlink(QFile::encodeName(path_).constData()) == 0 || errno == ENOENT) {
            return file_.tryLock(0);
        }
        refusal_ = S("Το αρχείο κλειδώματος %1 είναι σύνδεσμος (symbolic link) και δεν μπορεί "
                     "να αφαιρεθεί.")
                       .arg(shown) +
                   when_free + S("διάγραψε τον σύνδεσμο και δοκίμασε ξανά.");
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        refusal_ = S("Στη θέση του αρχείου κλειδώματος %1 υπάρχει directory ή ειδικό αρχείο.\r"
                     "Μετακίνησέ το ή διάγραψέ το και δοκίμασε ξανά.")
                       .arg(shown);
        return false;
    }
    if (ReadHolder(path_)) {
        return false;  // a holder Qt has judged alive, or on another host
    }
    if (AgeInSeconds(info) < kUnreadableLockGraceSeconds || HeldOpen(path_)) {
        return false;  // another task is writing its lines, or holds it
    }
    if (file_.removeStaleLockFile() && file_.tryLock(0)) {
        return true;
    }
    if (file_.error() == QLockFile::LockFailedError && ReadHolder(path_)) {
        return false;  // another task took the lock in the meantime
    }
    refusal_ = S("Το αρχείο κλειδώματος %1 δεν γράφει ποια εργασία το κρατά (είναι κενό ή "
                 "αλλοιωμένο) και δεν μπορεί να αφαιρεθεί.")
                   .arg(shown) +
               when_free + S("διάγραψέ το και δοκίμασε ξανά.");
    return false;
}

void ProgramLock::Lock() {
    if (!TryLock()) {
        throw ProgramLockError(RefusalMessage(), QStringLiteral("lock %1 not taken (error %2)")
                                                     .arg(path_)
                                                     .arg(static_cast<int>(file_.error())));
    }
}

QString ProgramLock::RefusalMessage() const {
    if (!refusal_.isEmpty()) {
        return refusal_;
    }
    if (file_.error() != QLockFile::LockFailedError) {
        return S("Το αρχείο κλειδώματος %1 δεν μπορεί να δημιουργηθεί.\r"
                 "Έλεγξε τα δικαιώματα και τον ελεύθερο χώρο του directory.")
            .arg(QDir::toNativeSeparators(path_));
    }
    const QString directory = QDir::toNativeSeparators(directory_);
    const QString busy =
        S("Το directory %1 χρησιμοποιείται από άλλη εργασία του TAKTIRIO.\r").arg(directory);
    const QString retry = S("Περίμενε να τελειώσει και δοκίμασε ξανά.");
    const std::optional<Holder> holder = ReadHolder(path_);
    if (!holder) {
        return busy + retry;
    }
    const QString application =
        holder->application.isEmpty() ? S("άγνωστη εφαρμογή") : holder->application;
    const QString host = holder->host.isEmpty() ? S("άγνωστο") : holder->host;
    if (!OnThisHost(*holder)) {
        return S("Το directory %1 το έχει κλειδώσει μια εργασία του TAKTIRIO σε άλλον "
                 "υπολογιστή, τον %2 (διεργασία %3, %4). Από αυτόν τον υπολογιστή δεν φαίνεται "
                 "αν τρέχει ακόμη.\rΑν έχει τελειώσει, διάγραψε το αρχείο %5 και δοκίμασε "
                 "ξανά.")
            .arg(directory, host)
            .arg(holder->pid)
            .arg(application, QDir::toNativeSeparators(path_));
    }
    return busy +
           S("Την κρατά η διεργασία %1 (%2) στον υπολογιστή %3.\r")
               .arg(holder->pid)
               .arg(application, host) +
           retry;
}

}  // namespace taktirio::data
