// The main window: the exit question, the solutions-folder commands, the
// utilities and the guard of the eight-hour days item.
#include "gui/shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QSignalSpy>

#include "data/checks/presolve.h"
#include "gui/common/look.h"
#include "gui/shell/utilities.h"
#include "gui_test_support.h"

namespace taktirio::gui::testing {

using Kind = RecordingAsker::Kind;

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    // A logged-in school's main window, shown.
    struct Fixture {
        Fixture() {
            folder.RegisterSchool();
            folder.context.school = QString::fromLatin1(data::kAccessCode);
            window.emplace(&folder.context);
            window->show();
        }
        void Trigger(const char* action) {
            QAction* item = window->findChild<QAction*>(QString::fromLatin1(action));
            QVERIFY2(item != nullptr, action);
            item->trigger();
        }
        ProgramFolder folder;
        std::optional<MainWindow> window;
    };

  private slots:
    void exitAnsweredNoKeepsTheMainWindow() {
        Fixture f;
        QSignalSpy left(&*f.window, &MainWindow::left);
        f.folder.asker.answers = {false};
        f.Trigger("N1");
        QCOMPARE(f.folder.asker.Texts(Kind::kConfirm), QStringList{U(data::kExitQuestion)});
        QVERIFY(f.window->isVisible());
        QCOMPARE(left.count(), 0);

        f.folder.asker.answers = {true};
        f.window->close();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(left.count(), 1);
    }

    void missingSolutionsFolderGivesTheMessage_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("show") << QStringLiteral("N6");
        QTest::newRow("print") << QStringLiteral("N2");
        QTest::newRow("free hour") << QStringLiteral("N10");
    }

    void missingSolutionsFolderGivesTheMessage() {
        QFETCH(QString, action);
        Fixture f;
        // Another school's folder does not count.
        QVERIFY(QDir(f.folder.context.paths.solutions).mkpath(QStringLiteral("OTHER")));
        f.Trigger(action.toLatin1().constData());
        QCOMPARE(f.folder.asker.Texts(Kind::kInform), QStringList{U(kNoPreviousSolutionsMessage)});
        QVERIFY(f.folder.desktop.opened.isEmpty());
    }

    void previousSolutionsOpenTheSchoolsFolder() {
        Fixture f;
        const QString folder = f.folder.context.paths.solutions + QStringLiteral("/HOMEBASE");
        QVERIFY(QDir().mkpath(folder));  // empty: it counts as existing
        QCOMPARE(f.window->solutionsFolder(), folder);
        f.Trigger("N6");
        QCOMPARE(f.folder.desktop.opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
        QVERIFY(f.folder.asker.messages.isEmpty());

        f.folder.desktop.open_succeeds = false;
        f.Trigger("N6");
        QCOMPARE(f.folder.asker.Texts(Kind::kError),
                 QStringList{U(kSolutionsNotShownMessage) + folder});
    }

    void utilitiesStartTheFirstProgramFound() {
        Fixture f;
        f.folder.desktop.installed = {QStringLiteral("xed"), QStringLiteral("mousepad")};
        f.Trigger("Notepad1");
        QCOMPARE(f.folder.desktop.started.size(), 1);
        QCOMPARE(f.folder.desktop.started[0].first, QStringLiteral("/usr/bin/mousepad"));
        QVERIFY(f.folder.asker.messages.isEmpty());
    }

    void utilityNotFoundGivesTheMessage() {
        Fixture f;
        const QList<UtilityItem> items = UtilityItems();
        QCOMPARE(items.size(), 7);
        for (const UtilityItem& item : items) {
            f.Trigger(item.object_name);
        }
        QCOMPARE(f.folder.asker.Texts(Kind::kError), QStringList(7, U(kUtilityNotFoundMessage)));
        QVERIFY(f.folder.desktop.started.isEmpty());
    }

    void eightHourDaysNeedAClassOfThirtySixToThirtyNineHours() {
        Fixture f;  // no classes: the busiest has 0 hours
        f.Trigger("N5ee81");
        QCOMPARE(f.folder.asker.Texts(Kind::kInform),
                 QStringList{U(data::kEightHourDaysUnavailableMessage)});
    }

    void contactLinksOpenTheirTargetsAndLightUp() {
        Fixture f;
        auto* mail = Child<QLabel>(&*f.window, "Label4");
        QVERIFY(mail != nullptr);
        // Blue on the panel, and blue on yellow under the mouse.
        QCOMPARE(mail->palette().color(QPalette::WindowText), kLinkBlue);
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(f.folder.desktop.opened.size(), 1);
        QCOMPARE(f.folder.desktop.opened[0].scheme(), QStringLiteral("mailto"));
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(mail, &enter);
        QVERIFY(mail->autoFillBackground());
        QCOMPARE(mail->palette().color(QPalette::Window), QColor(Qt::yellow));
        QCOMPARE(mail->palette().color(QPalette::WindowText), kLinkBlue);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(mail, &leave);
        QVERIFY(!mail->autoFillBackground());
        // The two pictures open their targets but keep their background.
        for (const char* picture : {"Image1", "Image7"}) {
            auto* image = Child<QLabel>(&*f.window, picture);
            QApplication::sendEvent(image, &enter);
            QVERIFY2(!image->autoFillBackground(), picture);
        }
    }
};

}  // namespace taktirio::gui::testing

QTEST_MAIN(taktirio::gui::testing::MainWindowTest)
#include "main_window_test.moc"
