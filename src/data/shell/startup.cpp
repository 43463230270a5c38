#include "shell/startup.h"

#include <QDir>
#include <QFile>

#include "database/database.h"
#include "database/errors.h"
#include "database/schema.h"
#include "entry/validation.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

bool WriteEmptyFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    file.close();
    return true;
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

bool CheckProgramDirectory(const QString& directory) {
    const QDir dir(directory);
    if (!WriteEmptyFile(dir.filePath(QStringLiteral("checkper.txt")))) {
        return false;
    }
    if (!dir.exists(QStringLiteral("SOLUTIONS")) && !dir.mkdir(QStringLiteral("SOLUTIONS"))) {
        return false;
    }
    return WriteEmptyFile(dir.filePath(QStringLiteral("SOLUTIONS/checkper.txt")));
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
