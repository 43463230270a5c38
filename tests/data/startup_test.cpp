// Start-up and login without windows: the directory check, what the login
// window offers, registration and login.
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "data_test_support.h"
#include "database/errors.h"
#include "entry/validation.h"

namespace taktirio::data::testing {
namespace {

TEST(StartUp, DirectoryCheckWritesProbeFilesAndCreatesSolutions) {
    QTemporaryDir dir;
    ASSERT_TRUE(CheckProgramDirectory(dir.path()));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("checkper.txt"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("SOLUTIONS/checkper.txt"))));
    EXPECT_TRUE(CheckProgramDirectory(dir.path()));  // again, over the existing files

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString missing = dir.filePath(QStringLiteral("SOLUTIONS"));
    QDir(missing).removeRecursively();
    const bool writable = CheckProgramDirectory(dir.path());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() != 0) {  // root writes anyway
        EXPECT_FALSE(writable);
    }
    EXPECT_TRUE(PermissionsMessage(dir.path()).contains(dir.path() + QStringLiteral("/SOLUTIONS")));
}

TEST(StartUp, LoginOfferFollowsTheRegisteredSchoolCount) {
    EXPECT_EQ(OfferFor(0), LoginOffer::kRegister);
    EXPECT_EQ(OfferFor(1), LoginOffer::kLogin);
    EXPECT_EQ(OfferFor(2), LoginOffer::kLogin);
    EXPECT_EQ(OfferFor(3), LoginOffer::kNothing);
}

TEST(StartUp, RegistrationThenLogin) {
    QTemporaryDir dir;
    Database db = Database::Open(PathsFor(dir.path()).entry_database);
    EXPECT_EQ(RegisteredSchoolCount(db.connection()), 0);
    EXPECT_THROW(Login(db.connection()), DatabaseError);

    RegisterSchool(db.connection(), U("  3ο Γυμνάσιο Λάρισας "), U(" Ε. Παπαδοπούλου"));
    EXPECT_EQ(RegisteredSchoolCount(db.connection()), 1);
    EXPECT_EQ(Login(db.connection()), QStringLiteral("HOMEBASE"));
    const auto rows = Rows(db.connection(),
                           QStringLiteral("SELECT SCHOOL_NAME, ADDRESS, EMAIL, "
                                          "PERSON_RESPONSIBLE_TO_INSERT_DATA, USERNAME, KWDIKOS, "
                                          "NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (QStringList{U("3ο Γυμνάσιο Λάρισας"), U("A"), U("A"), U("Ε. Παπαδοπούλου"),
                                    U("HOMEBASE"), U("HOMEBASE"), U("1")}));

    // A second registration is refused by the database; the row stays one.
    EXPECT_THROW(RegisterSchool(db.connection(), U("Άλλο"), U("Άλλος")), EntryRefusedError);
    EXPECT_EQ(RegisteredSchoolCount(db.connection()), 1);

    // Without its code the row no longer logs in.
    data::Run(db.connection(), QStringLiteral("UPDATE SCHOOLS SET KWDIKOS = NULL"));
    EXPECT_THROW(Login(db.connection()), DatabaseError);
}

TEST(StartUp, RegistrationRefusesInvalidNames) {
    QTemporaryDir dir;
    Database db = Database::Open(PathsFor(dir.path()).entry_database);
    const std::vector<std::pair<QString, QString>> cases = {
        {U("Γυμνάσιο Αγ. Νικολάου'"), U("Υπεύθυνος")},
        {U("Γυμνάσιο"), U("\"Υπεύθυνος\"")},
        {U("   "), U("Υπεύθυνος")},
        {U("Γυμνάσιο"), QString()},
        {U("Γυμνάσιο 100%"), U("Υπεύθυνος")},
        {U("Γυμνάσιο ☃"), U("Υπεύθυνος")},
    };
    for (const auto& [school, person] : cases) {
        try {
            RegisterSchool(db.connection(), school, person);
            ADD_FAILURE() << "registered " << school.toStdString();
        } catch (const EntryRefusedError& error) {
            EXPECT_EQ(error.message(), U(kRegistrationFailedMessage));
        }
    }
    EXPECT_EQ(RegisteredSchoolCount(db.connection()), 0);
}

TEST(StartUp, RegistrationRefusesNamesBeyondTheirMaximumAndHalfSurrogates) {
    QTemporaryDir dir;
    Database db = Database::Open(PathsFor(dir.path()).entry_database);
    const QString school(kMaxSchoolNameLength, u'Σ');
    const QString person(kMaxResponsibleNameLength, u'Υ');
    const std::vector<std::pair<QString, QString>> cases = {
        {school + u'Σ', person},
        {school, person + u'Υ'},
        {U("Γυμνάσιο ") + QChar(0xD800), person},
        {school, QChar(0xDC00) + U(" Υπεύθυνος")},
    };
    for (const auto& [name, responsible] : cases) {
        try {
            RegisterSchool(db.connection(), name, responsible);
            ADD_FAILURE() << "registered " << name.size() << " and " << responsible.size();
        } catch (const EntryRefusedError& error) {
            EXPECT_TRUE(error.message().startsWith(U(kRegistrationFailedMessage)));
        }
    }
    EXPECT_EQ(RegisteredSchoolCount(db.connection()), 0);
    RegisterSchool(db.connection(), school, person);
    EXPECT_EQ(RegisteredSchoolCount(db.connection()), 1);
}

}  // namespace
}  // namespace taktirio::data::testing
