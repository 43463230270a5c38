#include "data/shell/startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/database/schema.h"
#include "data/entry/validation.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Whether files can be created in `directory`: a uniquely named probe file is
// created and removed again. An existing file is never opened for writing,
// so a probe name that happens to be a link to some other file cannot empty
// that file.
bool CanCreateFilesIn(const QString& directory) {
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral("checkper-XXXXXX.txt")));
    probe.setAutoRemove(true);
    return probe.open();
}

QString Cause(const QString& message, const QString& cause) {
    return message + QLatin1Char('\r') + cause;
}

}  // namespace

ProgramPaths PathsFor(const QString& directory) {
    const QDir dir(directory);
    return {dir.absolutePath(), dir.absoluteFilePath(QString::fromLatin1(kEntryDatabaseFile)),
            dir.absoluteFilePath(QString::fromLatin1(kWorkingDatabaseFile)),
            dir.absoluteFilePath(QStringLiteral("SOLUTIONS"))};
}

QString PermissionsMessage(const QString& directory) {
    return S("Τα δικαιώματα NTFS δεν επιτρέπουν καταχωρήσεις στο directory\r") + directory +
           S("/SOLUTIONS\rΕπαναπροσδιόρισε τα δικαιώματα NTFS για το directory.\r"
             "In a multi-user environment or users with operating system MS Windows "
             "Vista(Longhorn) must set NTFS security permissions to full access for the "
             "installation directory of TAKTIRIO.");
}

QString ProgramDirectoryProblem(const QString& directory) {
    const QFileInfo program(directory);
    const QString shown = QDir::fromNativeSeparators(program.absoluteFilePath());
    if (!program.exists()) {
        return S("Το directory %1 δεν υπάρχει.").arg(shown);
    }
    if (!program.isDir()) {
        return S("Το %1 δεν είναι directory αλλά αρχείο.").arg(shown);
    }
    const QString permissions = PermissionsMessage(shown);
    if (!CanCreateFilesIn(program.absoluteFilePath())) {
        return Cause(permissions,
                     S("Δεν μπορούν να δημιουργηθούν αρχεία στο directory %1.").arg(shown));
    }
    const QDir dir(program.absoluteFilePath());
    const QFileInfo solutions(dir.filePath(QStringLiteral("SOLUTIONS")));
    const QString solutions_shown = shown + QStringLiteral("/SOLUTIONS");
    if (solutions.exists() && !solutions.isDir()) {
        return Cause(permissions,
                     S("Το %1 είναι αρχείο, ενώ πρέπει να είναι directory.").arg(solutions_shown));
    }
    if (!solutions.exists() && !dir.mkdir(QStringLiteral("SOLUTIONS"))) {
        return Cause(permissions,
                     S("Το directory %1 δεν μπορεί να δημιουργηθεί.").arg(solutions_shown));
    }
    if (!CanCreateFilesIn(solutions.absoluteFilePath())) {
        return Cause(
            permissions,
            S("Δεν μπορούν να δημιουργηθούν αρχεία στο directory %1.").arg(solutions_shown));
    }
    return {};
}

bool CheckProgramDirectory(const QString& directory) {
    return ProgramDirectoryProblem(directory).isEmpty();
}

int RegisteredSchoolCount(const QSqlDatabase& entry) {
    return static_cast<int>(
        ScalarInt(entry, QStringLiteral("SELECT COUNT(*) AS SYNOLO FROM SCHOOLS")));
}

LoginOffer OfferFor(int registered_schools) {
    if (registered_schools == 0) {
        return LoginOffer::kRegister;
    }
    if (registered_schools == 1 || registered_schools == 2) {
        return LoginOffer::kLogin;
    }
    return LoginOffer::kNothing;
}

void RegisterSchool(const QSqlDatabase& entry, const QString& school_name,
                    const QString& responsible) {
    const QString name = school_name.trimmed();
    const QString person = responsible.trimmed();
    if (name.size() > kMaxSchoolNameLength || person.size() > kMaxResponsibleNameLength) {
        throw EntryRefusedError(S(kRegistrationFailedMessage) +
                                    S("\rΤο όνομα του σχολείου γράφεται με έως %1 χαρακτήρες "
                                      "και του υπευθύνου με έως %2.")
                                        .arg(kMaxSchoolNameLength)
                                        .arg(kMaxResponsibleNameLength),
                                QStringLiteral("names too long"));
    }
    if (!IsAcceptableName(name) || !IsAcceptableName(person)) {
        throw EntryRefusedError(S(kRegistrationFailedMessage),
                                QStringLiteral("invalid or blank names"));
    }
    const QString code = QString::fromLatin1(kAccessCode);
    try {
        Run(entry,
            QStringLiteral("INSERT INTO SCHOOLS(SCHOOL_NAME, ADDRESS, PHONE_1, PHONE_2, FAX, "
                           "EMAIL, PERSON_RESPONSIBLE_TO_INSERT_DATA, USERNAME, KWDIKOS) "
                           "VALUES(?, 'A', 'A', 'A', 'A', 'A', ?, ?, ?)"),
            {name, person, code, code});
    } catch (const DatabaseError& error) {
        throw EntryRefusedError(S(kRegistrationFailedMessage),
                                QString::fromStdString(error.what()));
    }
}

QString Login(const QSqlDatabase& entry) {
    if (RegisteredSchoolCount(entry) == 0) {
        // A sound database that no registration or import has filled yet,
        // such as one left by an import stopped before its end.
        throw NoSchoolError(S(kNoSchoolMessage).arg(QDir::toNativeSeparators(entry.databaseName())),
                            QStringLiteral("no school registered"));
    }
    const QString code = QString::fromLatin1(kAccessCode);
    const auto value = FirstValue(
        entry,
        QStringLiteral("SELECT KWDIKOS AS SYNOLO FROM SCHOOLS WHERE USERNAME = ? AND KWDIKOS = ?"),
        {code, code});
    if (!value || value->toString().trimmed() != code) {
        throw DatabaseError(S(kDatabaseProblemMessage), QStringLiteral("no school row to log in"));
    }
    return code;
}

}  // namespace taktirio::data
