#include "shell/program_lock.h"

#include <QDir>

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
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
    return file_.tryLock(0);
}

void ProgramLock::Lock() {
    if (!TryLock()) {
        throw ProgramLockError(RefusalMessage(), QStringLiteral("lock %1 not taken (error %2)")
                                                     .arg(path_)
                                                     .arg(static_cast<int>(file_.error())));
    }
}

QString ProgramLock::RefusalMessage() const {
    if (file_.error() != QLockFile::LockFailedError) {
        return S("Το αρχείο κλειδώματος %1 δεν μπορεί να δημιουργηθεί.\r"
                 "Έλεγξε τα δικαιώματα και τον ελεύθερο χώρο του directory.")
            .arg(QDir::toNativeSeparators(path_));
    }
    qint64 pid = 0;
    QString host;
    QString application;
    const QString busy = S("Το directory %1 χρησιμοποιείται από άλλη εργασία του TAKTIRIO.\r")
                             .arg(QDir::toNativeSeparators(directory_));
    const QString retry = S("Περίμενε να τελειώσει και δοκίμασε ξανά.");
    if (!file_.getLockInfo(&pid, &host, &application)) {
        return busy + retry;
    }
    return busy +
           S("Την κρατά η διεργασία %1 (%2) στον υπολογιστή %3.\r")
               .arg(pid)
               .arg(application.isEmpty() ? S("άγνωστη εφαρμογή") : application,
                    host.isEmpty() ? S("άγνωστο") : host) +
           retry;
}

}  // namespace taktirio::data
