// The way from the start of the program to the main window: start-up checks,
// a missing program directory, the login's offer, the login, the
// registration, leaving and ending.
#include <QFileInfo>
#include <QSignalSpy>

#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/program_shell.h"
#include "gui/shell/startup_window.h"
#include "gui_test_support.h"

namespace taktirio::gui::testing {

using Kind = RecordingAsker::Kind;

class ShellFlowTest : public QObject {
    Q_OBJECT

  private:
    const QSize kScreen{1024, 768};

    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Start-up and OK: the login window as it is first offered.
    static LoginWindow* ToLogin(ProgramShell& shell, QSize screen) {
        if (!shell.Start(screen)) {
            return nullptr;
        }
        Child<QPushButton>(shell.startupWindow(), "Button1")->click();
        return shell.loginWindow();
    }

  private slots:
    void cleanup() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            widget->hide();
        }
    }

    void emptySchoolsOfferOnlyRegistration() {
        ProgramFolder folder;
        ProgramShell shell(&folder.context);
        LoginWindow* login = ToLogin(shell, kScreen);
        QVERIFY(login != nullptr);
        QVERIFY(login->isVisible());
        QVERIFY(!shell.startupWindow()->isVisible());
        QVERIFY(Child<QPushButton>(login, "Button2")->isVisibleTo(login));
        QVERIFY(!Child<QPushButton>(login, "Button1")->isVisibleTo(login));
        // Only the start-up notice: a 1024 x 768 screen needs no question.
        QCOMPARE(folder.asker.messages.size(), 1);
        QCOMPARE(folder.asker.messages[0].text, U(kImportantInformationMessage));
    }

    void oneSchoolOffersOnlyLoginAndLogsIn() {
        ProgramFolder folder;
        folder.RegisterSchool();
        ProgramShell shell(&folder.context);
        LoginWindow* login = ToLogin(shell, kScreen);
        QVERIFY(login != nullptr);
        QVERIFY(Child<QPushButton>(login, "Button1")->isVisibleTo(login));
        QVERIFY(!Child<QPushButton>(login, "Button2")->isVisibleTo(login));

        Child<QPushButton>(login, "Button1")->click();
        QVERIFY(shell.mainWindow() != nullptr);
        QVERIFY(shell.mainWindow()->isVisible());
        QVERIFY(!login->isVisible());
        QCOMPARE(folder.context.school, QStringLiteral("HOMEBASE"));
        QCOMPARE(shell.mainWindow()->windowTitle(), U(data::kProgramTitle));
        QVERIFY(folder.asker.Texts(Kind::kError).isEmpty());
    }

    void refusedLoginKeepsTheLoginWindow() {
        ProgramFolder folder;
        folder.RegisterSchool();
        {
            const data::Database entry = data::Database::Open(folder.context.paths.entry_database);
            data::Run(entry.connection(), QStringLiteral("UPDATE SCHOOLS SET KWDIKOS = ''"));
        }
        ProgramShell shell(&folder.context);
        LoginWindow* login = ToLogin(shell, kScreen);
        QVERIFY(login != nullptr);
        Child<QPushButton>(login, "Button1")->click();
        QCOMPARE(folder.asker.Texts(Kind::kError), QStringList{U(data::kDatabaseProblemMessage)});
        QVERIFY(login->isVisible());
        QVERIFY(shell.mainWindow() == nullptr);
        QVERIFY(folder.context.school.isEmpty());
    }

    void registrationThenOffersLogin() {
        ProgramFolder folder;
        ProgramShell shell(&folder.context);
        LoginWindow* login = ToLogin(shell, kScreen);
        QVERIFY(login != nullptr);
        Child<QPushButton>(login, "Button2")->click();
        QWidget* registration = ShownWindow("TForm6");
        QVERIFY(registration != nullptr);
        QVERIFY(registration->isModal());
        QVERIFY(!login->isVisible());
        Type(Child(registration, "Edit1"), U("1ο Γυμνάσιο Κω"));
        Type(Child(registration, "Edit2"), U("Ε. Ιωάννου"));
        Child<QPushButton>(registration, "Button1")->click();

        QCOMPARE(folder.asker.Texts(Kind::kInform).last(), U(data::kRegistrationDoneMessage));
        QVERIFY(ShownWindow("TForm6") == nullptr);
        QVERIFY(login->isVisible());
        QVERIFY(Child<QPushButton>(login, "Button1")->isVisibleTo(login));
        QVERIFY(!Child<QPushButton>(login, "Button2")->isVisibleTo(login));
        const data::Database entry = data::Database::Open(folder.context.paths.entry_database);
        QCOMPARE(data::RegisteredSchoolCount(entry.connection()), 1);
    }

    void leavingTheLoginWithYesShowsStartUpWhoseOkEnds() {
        ProgramFolder folder;
        ProgramShell shell(&folder.context);
        QSignalSpy finished(&shell, &ProgramShell::finished);
        LoginWindow* login = ToLogin(shell, kScreen);
        QVERIFY(login != nullptr);

        folder.asker.answers = {false};
        Child<QPushButton>(login, "Button3")->click();
        QVERIFY(login->isVisible());
        QVERIFY(!shell.startupWindow()->isVisible());

        folder.asker.answers = {true};
        QTest::keyClick(login, Qt::Key_Escape);  // Esc is the exit button
        QCOMPARE(folder.asker.Texts(Kind::kConfirm),
                 QStringList({U(data::kExitQuestion), U(data::kExitQuestion)}));
        QVERIFY(shell.startupWindow()->isVisible());
        QCOMPARE(finished.count(), 0);

        Child<QPushButton>(shell.startupWindow(), "Button1")->click();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(folder.asker.unanswered, 0);
    }

    void exitFromTheMainWindowReturnsToStartUp() {
        ProgramFolder folder;
        folder.RegisterSchool();
        ProgramShell shell(&folder.context);
        LoginWindow* login = ToLogin(shell, kScreen);
        QVERIFY(login != nullptr);
        Child<QPushButton>(login, "Button1")->click();
        QVERIFY(shell.mainWindow() != nullptr);

        folder.asker.answers = {true};
        shell.mainWindow()->close();
        QVERIFY(!shell.mainWindow()->isVisible());
        QVERIFY(shell.startupWindow()->isVisible());
    }

    void smallScreenIsToldAndStartGoesOn() {
        ProgramFolder folder;
        ProgramShell shell(&folder.context);
        QVERIFY(shell.Start(QSize(800, 600)));
        QCOMPARE(folder.asker.Texts(Kind::kInform),
                 QStringList({U(kImportantInformationMessage), U(kSmallScreenMessage)}));
        QVERIFY(shell.startupWindow()->isVisible());
    }

    void unwritableSolutionsEndsWithThePermissionsMessage() {
        ProgramFolder folder;
        // A file where the SOLUTIONS folder belongs cannot take the probe file,
        // whoever runs the test.
        Write(folder.path("SOLUTIONS"), "not a folder");
        ProgramShell shell(&folder.context);
        QVERIFY(!shell.Start(kScreen));
        const QStringList errors = folder.asker.Texts(Kind::kError);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains(folder.dir.path() + QStringLiteral("/SOLUTIONS\r")));
        QVERIFY(!errors[0].contains(u'\\'));
        QVERIFY(errors[0].contains(U("/SOLUTIONS είναι αρχείο")));
        QVERIFY(shell.startupWindow() == nullptr);
    }

    // A program directory that does not exist (two levels of it here) is
    // offered to be created: Yes creates it and the start-up goes on to the
    // login's offer of a registration; No ends the program and creates
    // nothing; one that cannot be created (under a file) is told and ends it.
    void aMissingDirectoryIsOfferedToBeCreated_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("under_a_file");
        QTest::newRow("yes") << true << false;
        QTest::newRow("no") << false << false;
        QTest::newRow("cannot be created") << true << true;
    }

    void aMissingDirectoryIsOfferedToBeCreated() {
        QFETCH(bool, yes);
        QFETCH(bool, under_a_file);
        QTemporaryDir parent;
        if (under_a_file) {
            Write(parent.filePath(QStringLiteral("new")), "a file");
        }
        const QString directory = parent.filePath(QStringLiteral("new/school"));
        RecordingAsker asker;
        FakeDesktop desktop;
        ProgramContext context{data::PathsFor(directory), &asker, &desktop, {}};
        asker.answers = {yes};
        ProgramShell shell(&context);
        const bool goes_on = yes && !under_a_file;
        QCOMPARE(shell.Start(kScreen), goes_on);
        QCOMPARE(asker.Texts(Kind::kConfirm),
                 QStringList{U(kCreateDirectoryQuestion).arg(directory)});
        QCOMPARE(QFileInfo(directory).isDir(), goes_on);
        QCOMPARE(asker.Texts(Kind::kError),
                 under_a_file ? QStringList{U(kDirectoryNotCreatedMessage).arg(directory)}
                              : QStringList());
        if (goes_on) {
            QVERIFY(QFileInfo(directory + QStringLiteral("/SOLUTIONS")).isDir());
            Child<QPushButton>(shell.startupWindow(), "Button1")->click();
            QVERIFY(shell.loginWindow() != nullptr);
            QVERIFY(Child<QPushButton>(shell.loginWindow(), "Button2")
                        ->isVisibleTo(shell.loginWindow()));
        }
    }

    void foreignDatabasesEndTheProgramUntouched_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("starts");
        QTest::newRow("entry") << QStringLiteral("DATA2.sqlite") << true;
        QTest::newRow("working") << QStringLiteral("DATA.sqlite") << false;
    }

    void foreignDatabasesEndTheProgramUntouched() {
        QFETCH(QString, file);
        QFETCH(bool, starts);
        ProgramFolder folder;
        const QString path = folder.dir.filePath(file);
        const QByteArray garbage = QByteArray("SQLite format 3").append('\0').append(200, 'x');
        Write(path, garbage);
        ProgramShell shell(&folder.context);
        QSignalSpy finished(&shell, &ProgramShell::finished);
        QCOMPARE(shell.Start(kScreen), starts);
        if (starts) {
            Child<QPushButton>(shell.startupWindow(), "Button1")->click();
            QCOMPARE(finished.count(), 1);
            QCOMPARE(finished[0][0].toInt(), 1);
            QVERIFY(shell.loginWindow() == nullptr);
        }
        const QStringList errors = folder.asker.Texts(Kind::kError);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].startsWith(U(data::kDatabaseProblemMessage)));
        QVERIFY(errors[0].contains(path));
        QCOMPARE(Bytes(path), garbage);
    }
};

}  // namespace taktirio::gui::testing

QTEST_MAIN(taktirio::gui::testing::ShellFlowTest)
#include "shell_flow_test.moc"
