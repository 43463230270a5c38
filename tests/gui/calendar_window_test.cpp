// The church calendar window driven through its controls.
#include "shell/calendar_window.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>

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
        Child<QDateEdit>(&window, "DateTimePicker1")->setDate(from);
        Child<QDateEdit>(&window, "DateTimePicker2")->setDate(to);
        QCOMPARE(result->text(), shown);
        QCOMPARE(Child<QLineEdit>(&window, "Edit1")->text(),
                 QLocale().toString(from, QLocale::ShortFormat));
        QCOMPARE(Child<QLineEdit>(&window, "Edit2")->text(),
                 QLocale().toString(to, QLocale::ShortFormat));
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

QTEST_MAIN(taktirio::gui::testing::CalendarWindowTest)
#include "calendar_window_test.moc"
