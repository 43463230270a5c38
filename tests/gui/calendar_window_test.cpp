// The church calendar window driven through its controls.
#include "gui/shell/calendar_window.h"

#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>

#include "gui/common/date_picker.h"
#include "gui/common/look.h"
#include "gui_test_support.h"

namespace taktirio::gui::testing {

class CalendarWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void easterOfTheTypedYear_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2000") << QStringLiteral("2000") << U("είναι 30 Απριλίου");
        QTest::newRow("2024") << QStringLiteral("2024") << U("είναι 5 Μαϊου");
        QTest::newRow("2025") << QStringLiteral("2025") << U("είναι 20 Απριλίου");
        QTest::newRow("2100") << QStringLiteral("2100") << U("είναι 2 Μαϊου");
        QTest::newRow("1583") << QStringLiteral("1583") << U("είναι 10 Απριλίου");
        QTest::newRow("1582") << QStringLiteral("1582") << QString();
        QTest::newRow("2101") << QStringLiteral("2101") << QString();
    }

    void easterOfTheTypedYear() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        CalendarWindow window;
        window.show();
        auto* year = Child<QSpinBox>(&window, "SpinEdit1");
        auto* result = Child<QLabel>(&window, "Label2");
        QVERIFY(!result->text().isEmpty());  // this year's Easter at opening
        auto* edit = year->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QCOMPARE(result->text(), shown);
    }

    void daysBetweenTheTwoPickers_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("shown");
        QTest::newRow("school year")
            << QDate(2024, 9, 1) << QDate(2025, 6, 30) << U("Αριθμός ημερών=302");
        QTest::newRow("leap year")
            << QDate(2023, 9, 1) << QDate(2024, 6, 30) << U("Αριθμός ημερών=303");
        QTest::newRow("equal") << QDate(2025, 1, 1) << QDate(2025, 1, 1) << QString();
        QTest::newRow("from after to") << QDate(2025, 6, 30) << QDate(2024, 9, 1) << QString();
    }

    void daysBetweenTheTwoPickers() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, shown);
        CalendarWindow window;
        window.show();
        auto* result = Child<QLabel>(&window, "Label7");
        QVERIFY(result->text().isEmpty());  // both today at opening
        Child<DatePicker>(&window, "DateTimePicker1")->setDate(from);
        Child<DatePicker>(&window, "DateTimePicker2")->setDate(to);
        QCOMPARE(result->text(), shown);
        QCOMPARE(Child<QLineEdit>(&window, "Edit1")->text(),
                 QLocale().toString(from, QLocale::ShortFormat));
        QCOMPARE(Child<QLineEdit>(&window, "Edit2")->text(),
                 QLocale().toString(to, QLocale::ShortFormat));
    }

    // A date typed whole in the format shown becomes the picker's date, after
    // a click into the text or after selecting it all; a text that is no
    // whole date when Enter is pressed leaves the date as it was.
    void aTypedDateIsThePickersDate_data() {
        QTest::addColumn<bool>("click");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("date");  // invalid: the date stays
        const QDate september(2024, 9, 1);
        QTest::newRow("click, short") << true << QStringLiteral("1/9/24") << september;
        QTest::newRow("click, two digits") << true << QStringLiteral("01/09/24") << september;
        QTest::newRow("select all, short") << false << QStringLiteral("1/9/24") << september;
        QTest::newRow("four-digit year") << true << QStringLiteral("1/9/2024") << september;
        QTest::newRow("dots") << true << QStringLiteral("30.6.25") << QDate(2025, 6, 30);
        QTest::newRow("last century") << true << QStringLiteral("15/3/85") << QDate(1985, 3, 15);
        QTest::newRow("no such day") << true << QStringLiteral("31/2/24") << QDate();
        QTest::newRow("no year") << true << QStringLiteral("1/9") << QDate();
        QTest::newRow("three-digit year") << true << QStringLiteral("1/9/202") << QDate();
        QTest::newRow("letters refused") << true << QStringLiteral("1/9/2x") << QDate();
    }

    void aTypedDateIsThePickersDate() {
        QFETCH(bool, click);
        QFETCH(QString, typed);
        QFETCH(QDate, date);
        CalendarWindow window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* picker = Child<DatePicker>(&window, "DateTimePicker1");
        const QDate before(2023, 12, 24);
        picker->setDate(before);
        QLineEdit* text = picker->lineEdit();
        if (click) {
            QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(4, text->height() / 2));
        } else {
            text->setFocus();
            QTest::keyClick(text, Qt::Key_End);
            QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        }
        QCoreApplication::processEvents();
        QVERIFY(text->hasFocus());
        Type(text, typed);
        // Enter takes it, keeps the window open and shows the date in the
        // picker's format.
        QTest::keyClick(text, Qt::Key_Return);
        QVERIFY(window.isVisible());
        const QDate expected = date.isValid() ? date : before;
        QCOMPARE(picker->date(), expected);
        QCOMPARE(text->text(), QLocale().toString(expected, QLocale::ShortFormat));
        QCOMPARE(Child<QLineEdit>(&window, "Edit1")->text(),
                 QLocale().toString(expected, QLocale::ShortFormat));
    }

    void escapeAndEnterPressTheExitButton() {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            CalendarWindow window;
            window.show();
            QTest::keyClick(&window, key);
            QVERIFY2(!window.isVisible(), key == Qt::Key_Escape ? "Esc" : "Enter");
        }
    }
};

}  // namespace taktirio::gui::testing

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taktirio::gui::ApplyProgramLook(app);  // the Greek short date, as the program has it
    taktirio::gui::testing::CalendarWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "calendar_window_test.moc"
