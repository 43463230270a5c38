#include "data/database/database.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

#include "core/common/system_errors.h"
#include "data/database/errors.h"
#include "data/database/greek_collation.h"
#include "data/database/schema.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("taktirio-%1").arg(++counter);
}

// SQLite's primary result codes that call for a message of their own.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteNoMemory = 7;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteIoError = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADatabase = 26;

int PrimaryCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : 0;
}

QString NativePath(const QString& path) {
    return QDir::fromNativeSeparators(path);
}

// The line under the database message that says what went wrong, naming the
// file; empty when SQLite gave no cause a user can act on.
QString CauseLine(const QString& path, const QSqlError& error) {
    switch (PrimaryCode(error)) {
        case kSqliteBusy:
        case kSqliteLocked:
            return S("Το αρχείο %1 χρησιμοποιείται αυτή τη στιγμή από άλλη εργασία του "
                     "TAKTIRIO. Ξαναδοκίμασε όταν τελειώσει.")
                .arg(NativePath(path));
        case kSqliteReadOnly:
            return S("Δεν επιτρέπεται η εγγραφή στο αρχείο %1 ή στο directory του.")
                .arg(NativePath(path));
        case kSqliteFull:
            return S("Ο δίσκος που έχει το αρχείο %1 είναι γεμάτος.").arg(NativePath(path));
        case kSqliteIoError:
            return S("Σφάλμα ανάγνωσης ή εγγραφής στο αρχείο %1 (γεμάτος δίσκος ή όριο μεγέθους "
                     "αρχείου).")
                .arg(NativePath(path));
        case kSqliteCantOpen:
            return S("Το αρχείο %1 δεν μπορεί να ανοίξει: έλεγξε ότι το directory υπάρχει και "
                     "επιτρέπει εγγραφές.")
                .arg(NativePath(path));
        default:
            return {};
    }
}

QString ProblemMessage(const QString& path, const QSqlError& error) {
    const QString cause = CauseLine(path, error);
    return cause.isEmpty() ? S(kDatabaseProblemMessage)
                           : S(kDatabaseProblemMessage) + QLatin1Char('\r') + cause;
}

DatabaseError::Cause CauseOf(const QSqlError& error) {
    switch (PrimaryCode(error)) {
        case kSqliteBusy:
        case kSqliteLocked:
            return DatabaseError::Cause::kBusy;
        case kSqliteCorrupt:
        case kSqliteNotADatabase:
            return DatabaseError::Cause::kDamaged;
        default:
            return DatabaseError::Cause::kOther;
    }
}

// The error of a statement or an opening. SQLite out of memory is the
// program out of memory, said as everywhere else (std::bad_alloc), never a
// file's fault.
DatabaseError Failure(const QString& path, const QSqlError& error, const QString& detail) {
    if (PrimaryCode(error) == kSqliteNoMemory) {
        throw std::bad_alloc();
    }
    return DatabaseError(ProblemMessage(path, error), detail, CauseOf(error));
}

QString Refusal(const char* text, const QString& path) {
    return S(text).arg(path) + S("\rΤο αρχείο δεν άλλαξε.");
}

[[noreturn]] void RefuseNotOurs(const QString& path, const QString& detail) {
    throw FileRefusedError(Refusal("Το αρχείο %1 δεν είναι βάση δεδομένων του TAKTIRIO.", path),
                           detail);
}

[[noreturn]] void RefuseDamaged(const QString& path, const QString& detail) {
    throw FileRefusedError(Refusal("Το αρχείο %1 είναι κατεστραμμένο.", path), detail);
}

// A file of ours whose design holds more or other than ours: a trigger, a
// view or a table of someone else's, a definition changed. A work file in
// that state is built afresh (Database::Open).
class AlteredDesignError : public FileRefusedError {
  public:
    using FileRefusedError::FileRefusedError;
};

sqlite3* HandleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

// Opens a connection under `name`; the caller removes it.
QSqlDatabase Connect(const QString& path, const QString& name, bool read_only) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    // Another task's write holds the file for the length of its commit; small
    // writes such as a data-entry window's insert wait for it rather than fail.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kDatabaseBusyTimeoutMs);
    if (read_only) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    db.setConnectOptions(options);
    if (!db.open()) {
        throw Failure(path, db.lastError(),
                      QStringLiteral("cannot open %1: %2").arg(path, db.lastError().text()));
    }
    // Outside any transaction: SQLite ignores the pragma inside one.
    Run(db, QStringLiteral("PRAGMA foreign_keys = ON"));
    if (!read_only) {
        // The rollback journal stays between transactions with its header
        // cleared, instead of being created (with a sync of the directory)
        // and deleted by each of them. A write cut short still leaves a
        // valid journal, which the next opening rolls back
        // (RecoverInterruptedWrite).
        Run(db, QStringLiteral("PRAGMA journal_mode = PERSIST"));
    }
    sqlite3* handle = HandleOf(db);
    if (handle == nullptr || !RegisterGreekCollation(handle)) {
        throw DatabaseError(S(kDatabaseProblemMessage),
                            QStringLiteral("cannot register the collation on %1").arg(path));
    }
    return db;
}

// Runs `work` on a temporary connection and removes it afterwards.
template <typename Work>
void WithConnection(const QString& path, bool read_only, Work work) {
    const QString name = NewConnectionName();
    {
        QSqlDatabase db = Connect(path, name, read_only);
        try {
            work(db);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// A file cannot be created in a directory that is not there: said of the
// directory, before SQLite says it of a draft file the user never named.
void RefuseMissingDirectory(const QString& path) {
    const QFileInfo directory(QFileInfo(path).absolutePath());
    if (!directory.exists()) {
        throw DatabaseError(
            S(kDatabaseProblemMessage) +
                S("\rΤο directory %1 δεν υπάρχει.").arg(NativePath(directory.filePath())),
            QStringLiteral("no directory for %1").arg(path));
    }
    if (!directory.isDir()) {
        throw DatabaseError(
            S(kDatabaseProblemMessage) +
                S("\rΤο %1 δεν είναι directory αλλά αρχείο.").arg(NativePath(directory.filePath())),
            QStringLiteral("no directory for %1").arg(path));
    }
}

// Builds the design beside the final name and renames it into place, so that
// a failure half-way never leaves a file that later looks damaged. Messages
// name the final file, not the draft.
void CreateDatabaseFile(const QString& path, const DatabaseDesign& design) {
    RefuseMissingDirectory(path);
    const QString draft = path + QStringLiteral(".new");
    QFile::remove(draft);
    try {
        WithConnection(draft, false, [&design](const QSqlDatabase& db) {
            Transaction transaction(db);
            for (const QString& statement : design.statements) {
                Run(db, statement);
            }
            transaction.Commit();
            Run(db, QStringLiteral("PRAGMA application_id = %1").arg(design.application_id));
            Run(db, QStringLiteral("PRAGMA user_version = %1").arg(design.version));
        });
    } catch (const DatabaseError& error) {
        QFile::remove(draft);
        QFile::remove(draft + QStringLiteral("-journal"));
        QString message = error.message();
        message.replace(NativePath(draft), NativePath(path));
        throw DatabaseError(message, QString::fromStdString(error.what()), error.cause());
    } catch (...) {
        QFile::remove(draft);
        QFile::remove(draft + QStringLiteral("-journal"));
        throw;
    }
    QFile::remove(draft + QStringLiteral("-journal"));  // kept by the journal mode
    // Over the name, whatever is there: a work file built afresh replaces
    // the one it was built for.
    if (::rename(QFile::encodeName(draft).constData(), QFile::encodeName(path).constData()) != 0) {
        const int cause = errno;
        QFile::remove(draft);
        throw DatabaseError(
            S(kDatabaseProblemMessage) +
                S("\rΤο αρχείο %1 δεν μπορεί να δημιουργηθεί: %2.")
                    .arg(NativePath(path), QString::fromStdString(SystemErrorText(cause))),
            QStringLiteral("cannot create %1").arg(path));
    }
}

void CheckHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw FileRefusedError(Refusal("Το αρχείο %1 δεν μπορεί να διαβαστεί.", path),
                               file.errorString());
    }
    static const QByteArray kMagic("SQLite format 3\0", 16);
    if (file.read(16) != kMagic) {
        RefuseNotOurs(path, QStringLiteral("no SQLite header"));
    }
}

void RefuseUnlessBusy(const QString& path, const DatabaseError& error);

void CheckDesign(const QString& path, const QSqlDatabase& db, const DatabaseDesign& expected) {
    std::optional<QVariant> id;
    std::optional<QVariant> version;
    try {
        id = FirstValue(db, QStringLiteral("PRAGMA application_id"));
        version = FirstValue(db, QStringLiteral("PRAGMA user_version"));
    } catch (const DatabaseError& error) {
        RefuseUnlessBusy(path, error);
    }
    if (!id || id->toLongLong() != expected.application_id) {
        RefuseNotOurs(path, QStringLiteral("application id %1").arg(id ? id->toLongLong() : 0));
    }
    const qint64 design = version ? version->toLongLong() : 0;
    if (design > expected.version) {
        throw FileRefusedError(
            Refusal("Το αρχείο %1 γράφτηκε από νεότερη έκδοση του TAKTIRIO.", path),
            QStringLiteral("design %1, this program knows up to %2")
                .arg(design)
                .arg(expected.version));
    }
    if (design < 1) {
        RefuseDamaged(path, QStringLiteral("design version %1").arg(design));
    }
}

// Every object of a file's design with its definition, in one order.
QList<QStringList> SchemaOf(const QSqlDatabase& db) {
    return Rows(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                   "ORDER BY type, name"));
}

// The objects a file of `design` holds as this program creates it: the
// design built once in memory and read back, so that the comparison needs
// no second copy of the statements' text.
QList<QStringList> CreatedSchema(const DatabaseDesign& design) {
    static std::mutex mutex;
    static std::map<int, QList<QStringList>> schemas;
    const std::lock_guard<std::mutex> hold(mutex);
    const auto found = schemas.find(design.application_id);
    if (found != schemas.end()) {
        return found->second;
    }
    QList<QStringList> schema;
    WithConnection(QStringLiteral(":memory:"), false, [&design, &schema](const QSqlDatabase& db) {
        for (const QString& statement : design.statements) {
            Run(db, statement);
        }
        schema = SchemaOf(db);
    });
    schemas.emplace(design.application_id, schema);
    return schema;
}

void CheckIntegrity(const QString& path, const QSqlDatabase& db, const DatabaseDesign& expected) {
    try {
        const auto verdict = FirstValue(db, QStringLiteral("PRAGMA quick_check"));
        if (!verdict || verdict->toString() != QStringLiteral("ok")) {
            RefuseDamaged(path, verdict ? verdict->toString() : QStringLiteral("no verdict"));
        }
        QSet<QString> present;
        QSqlQuery names = Run(db, QStringLiteral("SELECT name FROM sqlite_master"));
        while (names.next()) {
            present.insert(names.value(0).toString());
        }
        for (const QString& name : expected.tables + expected.views) {
            if (!present.contains(name)) {
                RefuseDamaged(path, QStringLiteral("missing %1").arg(name));
            }
        }
        // A work file is filled by statements that fire whatever triggers it
        // holds: nothing but its own design may be in it.
        if (expected.work_file && SchemaOf(db) != CreatedSchema(expected)) {
            throw AlteredDesignError(
                Refusal("Το αρχείο %1 έχει αλλοιωθεί: έχει πίνακες, όψεις ή triggers που δεν "
                        "είναι του TAKTIRIO.",
                        path),
                QStringLiteral("schema differs from the design"));
        }
    } catch (const DatabaseError& error) {
        RefuseUnlessBusy(path, error);
    }
}

// A file that another task is writing at this moment is not damaged: its
// error goes on as it is, with the cause under the database message.
// Anything else that SQLite cannot read in a file of ours is damage.
void RefuseUnlessBusy(const QString& path, const DatabaseError& error) {
    if (error.cause() == DatabaseError::Cause::kBusy) {
        throw error;
    }
    RefuseDamaged(path, QString::fromStdString(error.what()));
}

QString JournalPath(const QString& path) {
    return path + QStringLiteral("-journal");
}

// The rollback journal beside a database is SQLite's own file: a link in its
// place would have SQLite write the journal through it into another file, and
// a folder or a device cannot hold one, so the database cannot be opened. It
// is named, with what to do: nothing in it is the user's, since a journal
// that is not a file holds no write of ours.
void RefuseUnusableJournal(const QString& path) {
    const QString journal = JournalPath(path);
    const QFileInfo info(journal);
    const QString advice =
        S("\rΑν δεν τρέχει άλλη εργασία του TAKTIRIO, μετακίνησέ το ή "
          "διάγραψέ το και δοκίμασε ξανά.");
    if (info.isSymLink()) {
        throw FileRefusedError(
            S("Το ημερολόγιο εγγραφών (journal) %1 της βάσης δεδομένων %2 είναι σύνδεσμος "
              "(symbolic link) προς άλλο αρχείο· το TAKTIRIO δεν γράφει μέσα από συνδέσμους.")
                    .arg(NativePath(journal), NativePath(path)) +
                advice,
            QStringLiteral("journal is a symbolic link to %1").arg(info.symLinkTarget()));
    }
    if (info.exists() && !info.isFile()) {
        throw FileRefusedError(
            S("Το ημερολόγιο εγγραφών (journal) %1 της βάσης δεδομένων %2 δεν είναι αρχείο αλλά "
              "directory ή ειδικό αρχείο.")
                    .arg(NativePath(journal), NativePath(path)) +
                advice,
            QStringLiteral("journal is not a regular file"));
    }
    if (info.exists() && !info.isReadable()) {
        throw FileRefusedError(
            S("Το ημερολόγιο εγγραφών (journal) %1 της βάσης δεδομένων %2 δεν μπορεί να "
              "διαβαστεί: έλεγξε τα δικαιώματά του.")
                .arg(NativePath(journal), NativePath(path)),
            QStringLiteral("journal is not readable"));
    }
}

// A database is opened only under its own name: a symbolic link would make
// every write land in whatever file the link points to, and a dangling one
// would create a database there.
void RefuseLinksAndFolders(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        throw FileRefusedError(
            Refusal("Το αρχείο %1 είναι σύνδεσμος (symbolic link) προς άλλο αρχείο. "
                    "Το TAKTIRIO ανοίγει μόνο πραγματικά αρχεία βάσης δεδομένων.",
                    NativePath(path)),
            QStringLiteral("symbolic link to %1").arg(info.symLinkTarget()));
    }
    if (info.exists() && !info.isFile()) {
        throw FileRefusedError(
            Refusal("Το %1 δεν είναι αρχείο βάσης δεδομένων αλλά directory ή ειδικό αρχείο.",
                    NativePath(path)),
            QStringLiteral("not a regular file"));
    }
    RefuseUnusableJournal(path);
}

// A journal kept between transactions has its header cleared. SQLite calls
// a journal whose first byte is not zero "hot": it may belong to a write that
// did not finish, and only a connection that may write can settle it, by
// rolling the write back or, for bytes that are no journal at all (a header
// without the journal's magic number), by clearing it. A read-only
// connection reports an error instead, which must not make a sound file
// look damaged. (A missing or empty file holds nothing.)
bool JournalMayHoldAWrite(const QString& journal_path) {
    QFile journal(journal_path);
    if (!journal.open(QIODevice::ReadOnly)) {
        return false;
    }
    char first = 0;
    return journal.read(&first, 1) == 1 && first != 0;
}

// A write that was cut short (a killed process, a full disk, a file-size
// limit) leaves a rollback journal or a write-ahead log beside the file.
// SQLite puts the file back as it was before that write, but only on a
// connection that may write; a read-only connection reports an error
// instead. So when such a file is present, one read on a writable connection
// lets SQLite recover before anything is checked. A journal that belongs to
// a write still going on in another process is not touched by SQLite.
void RecoverInterruptedWrite(const QString& path) {
    if (!JournalMayHoldAWrite(path + QStringLiteral("-journal")) &&
        QFileInfo(path + QStringLiteral("-wal")).size() == 0) {
        return;
    }
    try {
        WithConnection(path, false, [](const QSqlDatabase& db) {
            Run(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
        });
    } catch (const DatabaseError& error) {
        if (error.cause() == DatabaseError::Cause::kDamaged) {
            RefuseDamaged(path, QString::fromStdString(error.what()));
        }
        throw;
    }
}

// The files this process has checked whole, by device, inode, size and time
// of the last change, and the design they were checked against. A file
// opened again unchanged needs no second full check; any write since, a
// foreign file put in its place, or a journal left by a write cut short
// sends it back to the full check.
class CheckedFiles {
  public:
    static CheckedFiles& Instance() {
        static CheckedFiles files;
        return files;
    }
    void Remember(const QString& path, const DatabaseDesign& design) {
        if (const auto key = KeyOf(path, design)) {
            const std::lock_guard<std::mutex> hold(mutex_);
            keys_.insert(*key);
        }
    }
    bool Knows(const QString& path, const DatabaseDesign& design) {
        const auto key = KeyOf(path, design);
        const std::lock_guard<std::mutex> hold(mutex_);
        return key && keys_.count(*key) != 0;
    }

  private:
    using Key = std::tuple<dev_t, ino_t, off_t, time_t, long, int>;
    static std::optional<Key> KeyOf(const QString& path, const DatabaseDesign& design) {
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
            return std::nullopt;
        }
        return Key{info.st_dev,         info.st_ino,          info.st_size,
                   info.st_mtim.tv_sec, info.st_mtim.tv_nsec, design.application_id};
    }

    std::mutex mutex_;
    std::set<Key> keys_;
};

// The design and the integrity of a file on a connection of its own, in one
// read transaction (one lock, one look for a journal); remembered once it
// passes.
void CheckOpenFile(const QString& path, const QSqlDatabase& db, const DatabaseDesign& design) {
    try {
        Transaction reading(db);
        CheckDesign(path, db, design);
        CheckIntegrity(path, db, design);
    } catch (const FileRefusedError&) {
        throw;
    } catch (const DatabaseError& error) {
        RefuseUnlessBusy(path, error);
    }
    CheckedFiles::Instance().Remember(path, design);
}

bool WriteMayBeUnfinished(const QString& path) {
    return JournalMayHoldAWrite(path + QStringLiteral("-journal")) ||
           QFileInfo(path + QStringLiteral("-wal")).size() != 0;
}

}  // namespace

void CheckDatabaseFile(const QString& path) {
    CheckDatabaseFile(path, SchoolDesign());
}

void CheckDatabaseFile(const QString& path, const DatabaseDesign& design) {
    RefuseLinksAndFolders(path);
    CheckHeader(path);
    RecoverInterruptedWrite(path);
    WithConnection(path, true,
                   [&path, &design](const QSqlDatabase& db) { CheckOpenFile(path, db, design); });
}

Database Database::Open(const QString& path) {
    return Open(path, SchoolDesign());
}

Database Database::Open(const QString& path, const DatabaseDesign& design) {
    RefuseLinksAndFolders(path);
    // An empty work file (what a power cut can leave) holds no reading: it
    // is built as if it were missing, not refused as not ours.
    const bool empty_work_file = design.work_file && QFileInfo(path).size() == 0;
    if (!QFileInfo::exists(path) || empty_work_file) {
        CreateDatabaseFile(path, design);
        CheckedFiles::Instance().Remember(path, design);
    } else if (WriteMayBeUnfinished(path) || !CheckedFiles::Instance().Knows(path, design)) {
        try {
            CheckDatabaseFile(path, design);
        } catch (const AlteredDesignError&) {
            if (!design.work_file) {
                throw;
            }
            // Built afresh under its name: what was in it was only the last
            // reading, and what was added to it must not run.
            CreateDatabaseFile(path, design);
            CheckedFiles::Instance().Remember(path, design);
        }
    }
    const QString name = NewConnectionName();
    try {
        return Database(Connect(path, name, false), name, path);
    } catch (...) {
        QSqlDatabase::removeDatabase(name);
        throw;
    }
}

Database Database::OpenInMemory() {
    const QString name = NewConnectionName();
    const QString path = QStringLiteral(":memory:");
    Database memory = [&name, &path] {
        try {
            return Database(Connect(path, name, false), name, path);
        } catch (...) {
            QSqlDatabase::removeDatabase(name);
            throw;
        }
    }();
    Transaction transaction(memory.connection());
    for (const QString& statement : SchoolDesign().statements) {
        Run(memory.connection(), statement);
    }
    transaction.Commit();
    return memory;
}

Database Database::OpenForReading(const QString& path) {
    RefuseLinksAndFolders(path);
    CheckHeader(path);
    const bool recheck =
        WriteMayBeUnfinished(path) || !CheckedFiles::Instance().Knows(path, SchoolDesign());
    RecoverInterruptedWrite(path);
    const QString name = NewConnectionName();
    Database reader = [&path, &name] {
        try {
            return Database(Connect(path, name, true), name, path);
        } catch (const DatabaseError& error) {
            QSqlDatabase::removeDatabase(name);
            RefuseUnlessBusy(path, error);
            throw;
        }
    }();
    if (recheck) {
        CheckOpenFile(path, reader.connection(), SchoolDesign());
    }
    return reader;
}

Database::Database(QSqlDatabase db, QString name, QString path)
    : db_(std::move(db)), name_(std::move(name)), path_(std::move(path)) {}

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, QSqlDatabase())),
      name_(std::exchange(other.name_, QString())),
      path_(std::move(other.path_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        db_ = std::exchange(other.db_, QSqlDatabase());
        name_ = std::exchange(other.name_, QString());
        path_ = std::move(other.path_);
    }
    return *this;
}

Database::~Database() {
    Close();
}

void Database::Close() {
    if (name_.isEmpty()) {
        return;
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    name_.clear();
}

namespace {

QSqlQuery Execute(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                  bool forward_only) {
    QSqlQuery query(db);
    query.setForwardOnly(forward_only);
    if (!query.prepare(sql)) {
        throw Failure(db.databaseName(), query.lastError(),
                      query.lastError().text() + QStringLiteral(" in: ") + sql);
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        throw Failure(db.databaseName(), query.lastError(),
                      query.lastError().text() + QStringLiteral(" in: ") + sql);
    }
    return query;
}

}  // namespace

QSqlQuery Run(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    return Execute(db, sql, values, true);
}

QSqlQuery RunScrollable(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    return Execute(db, sql, values, false);
}

std::optional<QVariant> FirstValue(const QSqlDatabase& db, const QString& sql,
                                   const QVariantList& values) {
    QSqlQuery query = Run(db, sql, values);
    if (!query.next()) {
        return std::nullopt;
    }
    return query.value(0);
}

qint64 ScalarInt(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    const auto value = FirstValue(db, sql, values);
    return value && !value->isNull() ? value->toLongLong() : 0;
}

QList<QStringList> Rows(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    QSqlQuery query = Run(db, sql, values);
    QList<QStringList> rows;
    while (query.next()) {
        const int columns = query.record().count();
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            row.append(query.value(c).toString());
        }
        rows.append(row);
    }
    return rows;
}

Transaction::Transaction(const QSqlDatabase& db) : db_(db) {
    Run(db_, QStringLiteral("SAVEPOINT taktirio_work"));
    open_ = true;
}

Transaction::~Transaction() {
    if (!open_) {
        return;
    }
    // Undo, then end the savepoint; a destructor must not throw.
    QSqlQuery rollback(db_);
    rollback.exec(QStringLiteral("ROLLBACK TO taktirio_work"));
    QSqlQuery release(db_);
    release.exec(QStringLiteral("RELEASE taktirio_work"));
}

void Transaction::Commit() {
    Run(db_, QStringLiteral("RELEASE taktirio_work"));
    open_ = false;
}

}  // namespace taktirio::data
