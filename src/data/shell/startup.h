#pragma once

#include <QSqlDatabase>
#include <QString>

#include "data/database/errors.h"

namespace taktirio::data {

// The program's title, shown by the start-up, login and main windows.
inline constexpr char kProgramTitle[] = "TAKTIRIO by MERIDON SOFTWARE DEVELOPMENT";
// The school's fixed access code: its USERNAME and KWDIKOS.
inline constexpr char kAccessCode[] = "HOMEBASE";

inline constexpr char kRegistrationDoneMessage[] = "Η καταχώρηση έγινε με επιτυχία.";
inline constexpr char kRegistrationFailedMessage[] =
    "Παρουσιάστηκε σφάλμα στην καταχώρηση.\rΗ καταχώρηση δεν έγινε με επιτυχία.\r"
    "Πιθανό λάθος: ελλιπή στοιχεία ή έγινε χρήση μονών ή διπλών εισαγωγικών.";
inline constexpr char kExitQuestion[] = "Έξοδος από το TAKTIRIO;";

// Where the program keeps its files: the program directory (the current
// directory at start, or the CLI's --dir), its two databases and SOLUTIONS.
struct ProgramPaths {
    QString directory;
    QString entry_database;
    QString working_database;
    QString solutions;
};
ProgramPaths PathsFor(const QString& directory);

// The message shown when the program directory or SOLUTIONS cannot be written.
QString PermissionsMessage(const QString& directory);

// Checks that the program directory exists and that files can be created in
// it and in its SOLUTIONS subdirectory, creating SOLUTIONS when missing. The
// probe creates and removes a uniquely named file, so no existing file is
// ever opened for writing. Returns the message to show, empty when all is
// well: a missing directory or a file where a directory should be is named
// as such; a directory that cannot be written gets PermissionsMessage with
// the cause on a line below. The program then ends.
QString ProgramDirectoryProblem(const QString& directory);

// True when ProgramDirectoryProblem finds nothing.
bool CheckProgramDirectory(const QString& directory);

// The number of SCHOOLS rows. Throws DatabaseError (the database message).
int RegisteredSchoolCount(const QSqlDatabase& entry);

// What the login window offers for a registered-school count.
enum class LoginOffer { kRegister, kLogin, kNothing };
LoginOffer OfferFor(int registered_schools);

// Stores the one SCHOOLS row: the trimmed names, "A" in the contact fields and
// the access code as USERNAME and KWDIKOS. Throws EntryRefusedError carrying
// kRegistrationFailedMessage for invalid or blank names, names longer than
// kMaxSchoolNameLength or kMaxResponsibleNameLength, or a refused insert.
void RegisterSchool(const QSqlDatabase& entry, const QString& school_name,
                    const QString& responsible);

// No school is registered in the entry database: the databases are sound
// but empty. `message()` says how to register or import one.
class NoSchoolError : public DatabaseError {
  public:
    NoSchoolError(const QString& message, const QString& detail) : DatabaseError(message, detail) {}
};
inline constexpr char kNoSchoolMessage[] =
    "Η βάση δεδομένων %1 δεν έχει καταχωρημένο σχολείο.\r"
    "Καταχώρησε το σχολείο με την εντολή init (--school ΟΝΟΜΑ --responsible ΟΝΟΜΑ) "
    "ή φόρτωσε τα δεδομένα του από αρχείο με την εντολή import ΑΡΧΕΙΟ.";

// Logs the school in: its row must carry the access code as user name and
// code. Returns the school's user name; throws NoSchoolError when no school
// is registered, DatabaseError for any other row.
QString Login(const QSqlDatabase& entry);

}  // namespace taktirio::data
