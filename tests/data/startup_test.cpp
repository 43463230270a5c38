// Start-up and login without windows: the directory check, what the login
// window offers, registration and login.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <vector>

#include "data/database/errors.h"
#include "data/entry/validation.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

TEST(StartUp, DirectoryCheckCreatesSolutionsAndLeavesNoProbeBehind) {
    QTemporaryDir dir;
    // Probe names that are links to a file of the user's: never written through.
    const QString precious = dir.filePath(QStringLiteral("precious.txt"));
    QFile file(precious);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the user's own text");
    file.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("SOLUTIONS")));
    QFile::link(precious, dir.filePath(QStringLiteral("checkper.txt")));
    QFile::link(precious, dir.filePath(QStringLiteral("SOLUTIONS/checkper.txt")));

    EXPECT_EQ(ProgramDirectoryProblem(dir.path()), QString());
    EXPECT_TRUE(CheckProgramDirectory(dir.path()));
    EXPECT_EQ(FileBytes(precious), QByteArray("the user's own text"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("SOLUTIONS")))
                  .entryList(QDir::Files | QDir::System)
                  .size(),
              1);

    QTemporaryDir fresh;
    EXPECT_TRUE(CheckProgramDirectory(fresh.path()));
    EXPECT_TRUE(QFileInfo(fresh.filePath(QStringLiteral("SOLUTIONS"))).isDir());
}

TEST(StartUp, EachDirectoryProblemNamesItsCauseAndPath) {
    struct Case {
        const char* name;
        std::function<QString(const QDir& root)> make;  // returns the program directory
        std::vector<const char*> message_parts;
    };
    const std::vector<Case> cases = {
        {"missing directory",
         [](const QDir& root) { return root.filePath(QStringLiteral("nowhere")); },
         {"δεν υπάρχει", "/nowhere"}},
        {"a file given as the directory",
         [](const QDir& root) {
             const QString path = root.filePath(QStringLiteral("plain.txt"));
             QFile f(path);
             EXPECT_TRUE(f.open(QIODevice::WriteOnly));
             return path;
         },
         {"δεν είναι directory", "/plain.txt"}},
        {"a file where SOLUTIONS should be",
         [](const QDir& root) {
             QFile f(root.filePath(QStringLiteral("SOLUTIONS")));
             EXPECT_TRUE(f.open(QIODevice::WriteOnly));
             return root.path();
         },
         {"Τα δικαιώματα NTFS", "/SOLUTIONS είναι αρχείο"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QString directory = c.make(QDir(root.path()));
        const QString message = ProgramDirectoryProblem(directory);
        for (const char* part : c.message_parts) {
            EXPECT_TRUE(message.contains(U(part))) << message.toStdString();
        }
        EXPECT_FALSE(CheckProgramDirectory(directory));
    }
}

TEST(StartUp, AnUnwritableDirectoryGetsThePermissionsMessageAndItsCause) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes to read-only directories";
    }
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString message = ProgramDirectoryProblem(dir.path());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(message.startsWith(PermissionsMessage(dir.path())));
    EXPECT_TRUE(message.contains(U("Δεν μπορούν να δημιουργηθούν αρχεία")));
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

// Sound databases without a school, as an import stopped before its end
// leaves them: the login says so, naming the database, and how to register
// or import one.
TEST(StartUp, LoginWithoutASchoolSaysHowToRegisterOne) {
    QTemporaryDir dir;
    const QString path = PathsFor(dir.path()).entry_database;
    Database db = Database::Open(path);
    try {
        Login(db.connection());
        ADD_FAILURE() << "logged in without a school";
    } catch (const NoSchoolError& error) {
        const QString message = error.message();
        EXPECT_TRUE(message.contains(U("δεν έχει καταχωρημένο σχολείο"))) << message.toStdString();
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("init"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("import"))) << message.toStdString();
        EXPECT_FALSE(message.contains(U(kDatabaseProblemMessage))) << message.toStdString();
    }
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
        {U("Γυμνάσιο <Α>"), U("Υπεύθυνος")},
        {U("Γυμνάσιο"), U("Γ. Παπα<δόπουλος")},
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
