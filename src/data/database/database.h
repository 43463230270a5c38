#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>

#include "data/database/schema.h"

namespace taktirio::data {

// Texts shown when a database cannot be used.
inline constexpr char kDatabaseProblemMessage[] =
    "Παρουσιάστηκε σφάλμα.\rΠιθανό πρόβλημα με την βάση δεδομένων.";

// How long a statement waits for a file that another connection is writing.
inline constexpr int kDatabaseBusyTimeoutMs = 5000;

// One open connection to one database file, owned by the thread that opened
// it. Each object has a connection name of its own, so that two windows (or
// a window and a worker) never close each other's handle. Foreign keys are on
// and the collation GREEK is registered for every connection.
class Database {
  public:
    // Opens the file, creating it with the full design when it does not exist.
    // Throws FileRefusedError for a file that is not ours, is damaged or was
    // written by a newer design (the file is left as it was), DatabaseError
    // when it cannot be opened or created.
    static Database Open(const QString& path);
    // The same for a file of another design (the print work tables).
    static Database Open(const QString& path, const DatabaseDesign& design);
    // An existing school database for a command that only reads it, on one
    // read-only connection: the file is checked as Open checks it (a write
    // cut short is first rolled back), never created and never written.
    // FileRefusedError, DatabaseError as Open.
    static Database OpenForReading(const QString& path);
    // A private database of the school design in memory, gone when the object
    // goes: a scratch working copy for commands that only read.
    static Database OpenInMemory();

    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    const QSqlDatabase& connection() const { return db_; }
    const QString& path() const { return path_; }

  private:
    Database(QSqlDatabase db, QString name, QString path);
    void Close();

    QSqlDatabase db_;
    QString name_;
    QString path_;
};

// Checks that an existing file is a database of our design that this program
// can use, without writing to it. Throws FileRefusedError otherwise.
void CheckDatabaseFile(const QString& path);
void CheckDatabaseFile(const QString& path, const DatabaseDesign& design);

// Runs one statement with positional values ("?") bound in order. Throws
// DatabaseError naming the statement when the database refuses it.
QSqlQuery Run(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
// The same, as a query that can move back as well as forward: what a
// QSqlQueryModel needs to show it.
QSqlQuery RunScrollable(const QSqlDatabase& db, const QString& sql,
                        const QVariantList& values = {});

// The first column of the first row, or nothing for an empty answer.
std::optional<QVariant> FirstValue(const QSqlDatabase& db, const QString& sql,
                                   const QVariantList& values = {});

// The first value as an integer; 0 for an empty answer or a NULL.
qint64 ScalarInt(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// Every row of an answer as texts, in column order.
QList<QStringList> Rows(const QSqlDatabase& db, const QString& sql,
                        const QVariantList& values = {});

// A unit of work: every change made while it lives is kept by Commit() and
// undone when it is destroyed without a Commit. Nests (savepoints), so a data
// function that opens one can run inside a larger one such as an import.
class Transaction {
  public:
    explicit Transaction(const QSqlDatabase& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void Commit();

  private:
    QSqlDatabase db_;
    bool open_ = false;
};

}  // namespace taktirio::data
