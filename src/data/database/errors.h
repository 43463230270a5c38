#pragma once

#include <QString>
#include <stdexcept>

namespace taktirio::data {

// Base of every error the data layer raises. `message()` is the text a window
// or the command-line tool shows the user (Greek, "\r" as line break);
// `what()` carries the technical detail for logs and tests.
class DataError : public std::runtime_error {
  public:
    DataError(const QString& message, const QString& detail)
        : std::runtime_error(detail.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// A database file that exists but cannot be used: not one of ours, damaged,
// or written by a newer design. The file has not been changed.
class FileRefusedError : public DataError {
  public:
    using DataError::DataError;
};

// A statement the database refused, or a database that cannot be opened.
// `cause()` tells apart a file that another task holds at the moment (worth
// trying again later) and a file that SQLite found damaged.
class DatabaseError : public DataError {
  public:
    enum class Cause { kOther, kBusy, kDamaged };
    DatabaseError(const QString& message, const QString& detail, Cause cause = Cause::kOther)
        : DataError(message, detail), cause_(cause) {}
    Cause cause() const { return cause_; }

  private:
    Cause cause_;
};

// A data-entry operation refused by its own checks or by the database; nothing
// was stored. `message()` is the data-entry windows' refusal text.
class EntryRefusedError : public DataError {
  public:
    using DataError::DataError;
};

// A school exchange file refused as a whole; `message()` names the item.
class ImportError : public DataError {
  public:
    using DataError::DataError;
};

}  // namespace taktirio::data
