// The registration window: the insert button follows the validator, the
// insert stores the school or refuses with its message, leaving asks first.
#include "gui/shell/registration_window.h"

#include <QLineEdit>
#include <QSignalSpy>

#include "gui_test_support.h"

namespace taktirio::gui::testing {

using Kind = RecordingAsker::Kind;

class RegistrationWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void insertButtonOnlyForValidTexts_data() {
        QTest::addColumn<QString>("school");
        QTest::addColumn<QString>("responsible");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("both valid") << U("1ο Γυμνάσιο Ρόδου") << U("Μ. Νικολάου") << true;
        QTest::newRow("padded") << U("  Λύκειο  ") << U(" Κ ") << true;
        QTest::newRow("school empty") << QString() << U("Μ. Νικολάου") << false;
        QTest::newRow("responsible blank") << U("Λύκειο") << U("   ") << false;
        QTest::newRow("apostrophe") << U("Σχολείο 'Α'") << U("Μ") << false;
        QTest::newRow("double quote") << U("Λύκειο") << U("Μ. \"Ν\"") << false;
        QTest::newRow("percent") << U("Λύκειο 100%") << U("Μ") << false;
        QTest::newRow("exclamation") << U("Λύκειο") << U("Μ!") << false;
        QTest::newRow("not in the page code") << U("Λύκειο") << U("王") << false;
    }

    void insertButtonOnlyForValidTexts() {
        QFETCH(QString, school);
        QFETCH(QString, responsible);
        QFETCH(bool, enabled);
        ProgramFolder folder;
        RegistrationWindow window(&folder.context);
        window.show();
        QVERIFY(!Child<QPushButton>(&window, "Button1")->isEnabled());
        Type(Child(&window, "Edit1"), school);
        Type(Child(&window, "Edit2"), responsible);
        QCOMPARE(Child<QLineEdit>(&window, "Edit1")->text(), school);
        QCOMPARE(Child<QPushButton>(&window, "Button1")->isEnabled(), enabled);
    }

    void schoolNameHasTheFocus() {
        ProgramFolder folder;
        RegistrationWindow window(&folder.context);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), Child(&window, "Edit1"));
    }

    void refusedInsertShowsItsMessageAndStays() {
        ProgramFolder folder;
        folder.RegisterSchool();  // the one SCHOOLS row exists already
        RegistrationWindow window(&folder.context);
        QSignalSpy left(&window, &RegistrationWindow::left);
        window.show();
        Type(Child(&window, "Edit1"), U("Άλλο σχολείο"));
        Type(Child(&window, "Edit2"), U("Χ. Χ."));
        QTest::keyClick(Child(&window, "Edit2"), Qt::Key_Return);  // Enter: the default button
        QCOMPARE(folder.asker.Texts(Kind::kError),
                 QStringList{U(data::kRegistrationFailedMessage)});
        QVERIFY(window.isVisible());
        QCOMPARE(left.count(), 0);
        QCOMPARE(Child<QLineEdit>(&window, "Edit1")->text(), U("Άλλο σχολείο"));
    }

    void exitAsksAndNoKeepsTheTexts() {
        ProgramFolder folder;
        RegistrationWindow window(&folder.context);
        QSignalSpy left(&window, &RegistrationWindow::left);
        window.show();
        Type(Child(&window, "Edit1"), U("Γυμνάσιο"));
        folder.asker.answers = {false};
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(folder.asker.Texts(Kind::kConfirm), QStringList{U(data::kExitQuestion)});
        QVERIFY(window.isVisible());
        QCOMPARE(Child<QLineEdit>(&window, "Edit1")->text(), U("Γυμνάσιο"));

        folder.asker.answers = {true};
        Child<QPushButton>(&window, "Button3")->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(left.count(), 1);
        QCOMPARE(left[0][0].value<RegistrationWindow::Outcome>(),
                 RegistrationWindow::Outcome::kLeftProgram);
        QVERIFY(Child<QLineEdit>(&window, "Edit1")->text().isEmpty());
    }

    void backLeavesWithoutAQuestion() {
        ProgramFolder folder;
        RegistrationWindow window(&folder.context);
        QSignalSpy left(&window, &RegistrationWindow::left);
        window.show();
        Child<QPushButton>(&window, "Button2")->click();
        QVERIFY(!window.isVisible());
        QVERIFY(folder.asker.messages.isEmpty());
        QCOMPARE(left.count(), 1);
        QCOMPARE(left[0][0].value<RegistrationWindow::Outcome>(),
                 RegistrationWindow::Outcome::kBack);
    }
};

}  // namespace taktirio::gui::testing

QTEST_MAIN(taktirio::gui::testing::RegistrationWindowTest)
#include "registration_window_test.moc"
