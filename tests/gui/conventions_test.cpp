// What every window shares: its name, the sky-blue background, the program's
// Greek-capable font, a fixed size taken from its layout that leaves no text
// clipped, and a place in the middle of the screen.
#include <QAbstractButton>
#include <QFontDatabase>
#include <QScreen>

#include "gui/common/look.h"
#include "gui/shell/about_window.h"
#include "gui/shell/calendar_window.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/registration_window.h"
#include "gui/shell/startup_window.h"
#include "gui_test_support.h"

namespace taktirio::gui::testing {

class ConventionsTest : public QObject {
    Q_OBJECT

  private:
    // Every label and button of the window gets at least the size its text needs.
    static void VerifyNothingClipped(QWidget* window) {
        const QList<QWidget*> controls = window->findChildren<QWidget*>();
        for (QWidget* control : controls) {
            const bool text_control = qobject_cast<QLabel*>(control) != nullptr ||
                                      qobject_cast<QAbstractButton*>(control) != nullptr;
            if (!text_control || !control->isVisibleTo(window)) {
                continue;
            }
            const QSize need = control->sizeHint();
            QVERIFY2(control->width() >= need.width() && control->height() >= need.height(),
                     qPrintable(window->objectName() + u'.' + control->objectName()));
        }
    }

  private slots:
    void dialogWindowsFollowTheConventions_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("start-up") << QStringLiteral("TForm3");
        QTest::newRow("login") << QStringLiteral("TForm5");
        QTest::newRow("registration") << QStringLiteral("TForm6");
        QTest::newRow("about") << QStringLiteral("TForm150");
        QTest::newRow("calendar") << QStringLiteral("TForm22");
    }

    void dialogWindowsFollowTheConventions() {
        QFETCH(QString, name);
        ProgramFolder folder;
        std::unique_ptr<Window> window;
        if (name == QLatin1String("TForm3")) {
            window = std::make_unique<StartupWindow>(&folder.desktop);
        } else if (name == QLatin1String("TForm5")) {
            auto login = std::make_unique<LoginWindow>(&folder.context);
            login->showOffer(data::LoginOffer::kRegister);
            window = std::move(login);
        } else if (name == QLatin1String("TForm6")) {
            window = std::make_unique<RegistrationWindow>(&folder.context);
        } else if (name == QLatin1String("TForm150")) {
            window = std::make_unique<AboutWindow>(&folder.desktop);
        } else {
            window = std::make_unique<CalendarWindow>();
        }
        window->show();
        QCOMPARE(window->objectName(), name);
        QCOMPARE(window->palette().color(QPalette::Window), kSkyBlue);
        QVERIFY(window->autoFillBackground());
        QCOMPARE(window->font().family(), ProgramFontFamily());
        QVERIFY(
            QFontDatabase::writingSystems(window->font().family()).contains(QFontDatabase::Greek));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        VerifyNothingClipped(window.get());
        const QPoint centre = window->screen()->availableGeometry().center();
        QVERIFY(qAbs(window->frameGeometry().center().x() - centre.x()) <= 1);
        QVERIFY(qAbs(window->frameGeometry().center().y() - centre.y()) <= 1);
    }

    // The start-up, login and About windows carry the maker's contact links:
    // dark blue, and a click opens the web page, a mail or a call.
    void contactLinksOfTheShellWindows_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("start-up") << QStringLiteral("TForm3");
        QTest::newRow("login") << QStringLiteral("TForm5");
        QTest::newRow("about") << QStringLiteral("TForm150");
    }

    void contactLinksOfTheShellWindows() {
        QFETCH(QString, name);
        ProgramFolder folder;
        std::unique_ptr<Window> window;
        if (name == QLatin1String("TForm3")) {
            window = std::make_unique<StartupWindow>(&folder.desktop);
        } else if (name == QLatin1String("TForm5")) {
            window = std::make_unique<LoginWindow>(&folder.context);
        } else {
            window = std::make_unique<AboutWindow>(&folder.desktop);
        }
        window->show();
        for (const char* link : {"WebLink", "MailLink", "CallLink"}) {
            auto* label = Child<QLabel>(window.get(), link);
            QVERIFY2(label != nullptr && label->isVisible(), link);
            QCOMPARE(label->palette().color(QPalette::WindowText), kLinkBlue);
            QTest::mouseClick(label, Qt::LeftButton);
        }
        QCOMPARE(folder.desktop.opened.size(), 3);
        QStringList schemes;
        for (const QUrl& url : folder.desktop.opened) {
            schemes.append(url.scheme());
        }
        QCOMPARE(schemes, (QStringList{QStringLiteral("https"), QStringLiteral("mailto"),
                                       QStringLiteral("tel")}));
    }

    void mainWindowPanelShowsItsTextsWhole() {
        ProgramFolder folder;
        MainWindow window(&folder.context);
        window.resize(1024, 768);
        window.show();
        QCOMPARE(window.objectName(), QStringLiteral("TForm7"));
        QWidget* panel = Child(&window, "Panel1");
        QVERIFY(panel != nullptr);
        QVERIFY(panel->width() >= 769 && panel->height() >= 313);
        VerifyNothingClipped(&window);
    }
};

}  // namespace taktirio::gui::testing

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taktirio::gui::ApplyProgramLook(app);
    taktirio::gui::testing::ConventionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "conventions_test.moc"
