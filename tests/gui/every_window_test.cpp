// Every window of the program, as a user on the smallest screen meets it:
// it fits 1024 x 768 with a window manager's frame, its title is exactly its
// caption, it asks for exactly the title-bar buttons it is meant to have, its
// columns show their titles whole, and every text of its controls is Greek
// but for the names the program keeps in Latin letters.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>

#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/run/run_sequence.h"
#include "gui/common/look.h"
#include "gui_test_support.h"
#include "window_catalogue.h"

namespace taktirio::gui::testing {

namespace {

// The smallest screen the windows are made for, and the room a window
// manager's title bar and borders take around a window where the platform
// reports no frame (offscreen).
constexpr QSize kSmallestScreen(1024, 768);
constexpr QSize kFrameRoom(16, 40);

// Latin words the program keeps: its name and maker, the captions, menu
// items and words of its texts that have always been in English, the file
// and report names, and the PDF format. Web, mail and call addresses and
// paths are left out before the words are read.
const QStringList& KeptLatinWords() {
    static const QStringList words = {
        QStringLiteral("TAKTIRIO"),    QStringLiteral("MERIDON"),   QStringLiteral("SOFTWARE"),
        QStringLiteral("DEVELOPMENT"), QStringLiteral("Version"),   QStringLiteral("About"),
        QStringLiteral("Websites"),    QStringLiteral("mail"),      QStringLiteral("OK"),
        QStringLiteral("Click"),       QStringLiteral("to"),        QStringLiteral("Call"),
        QStringLiteral("Windows"),     QStringLiteral("utilities"), QStringLiteral("WordPad"),
        QStringLiteral("Notepad"),     QStringLiteral("Paint"),     QStringLiteral("Calculator"),
        QStringLiteral("Command"),     QStringLiteral("Prompt"),    QStringLiteral("Task"),
        QStringLiteral("Manager"),     QStringLiteral("SOLUTION"),  QStringLiteral("SOLUTIONxxx"),
        QStringLiteral("htm"),         QStringLiteral("PDF"),       QStringLiteral("pdf"),
        QStringLiteral("REPORT1"),     QStringLiteral("NTFS"),      QStringLiteral("directory"),
        QStringLiteral("menu"),        QStringLiteral("SOLUTIONS"), QStringLiteral("HOMEBASE"),
        QStringLiteral("by"),          QStringLiteral("click"),     QStringLiteral("REPORT"),
    };
    return words;
}

QString WithoutAddresses(QString text) {
    static const QRegularExpression address(
        QStringLiteral("\\S+(://|@)\\S+|\\b(tel|mailto):\\S+|/\\S+"));
    return text.remove(address).remove(u'&');
}

// The texts of a window that are the program's and Qt's, not the school's:
// title, labels, buttons, group boxes, tool tips, grid titles and menus.
QStringList TextsOf(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) && qobject_cast<QMenu*>(widget) == nullptr) {
            continue;
        }
        texts.append(widget->toolTip());
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            texts.append(label->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            texts.append(button->text());
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            texts.append(box->title());
        } else if (auto* header = qobject_cast<QHeaderView*>(widget);
                   header != nullptr && header->model() != nullptr) {
            for (int section = 0; section < header->count(); ++section) {
                if (!header->isSectionHidden(section)) {
                    texts.append(
                        header->model()->headerData(section, header->orientation()).toString());
                }
            }
        } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
            texts.append(menu->title());
            for (const QAction* action : menu->actions()) {
                texts.append(action->text());
            }
        }
    }
    return texts;
}

QStringList EnglishWords(QWidget* window) {
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]{2,}"));
    QStringList found;
    for (const QString& text : TextsOf(window)) {
        for (const QRegularExpressionMatch& word : latin.globalMatch(WithoutAddresses(text))) {
            if (!KeptLatinWords().contains(word.captured())) {
                found.append(word.captured() + QStringLiteral(" in \"") + text + u'"');
            }
        }
    }
    found.removeDuplicates();
    return found;
}

// The titles of grid and file list columns that are cut: a column narrower
// than its title.
QStringList CutColumnTitles(QWidget* window) {
    QStringList cut;
    for (QHeaderView* header : window->findChildren<QHeaderView*>()) {
        if (header->orientation() != Qt::Horizontal || !header->isVisibleTo(window) ||
            header->model() == nullptr) {
            continue;
        }
        const int margins =
            2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int section = 0; section < header->count(); ++section) {
            const QString title = header->model()->headerData(section, Qt::Horizontal).toString();
            if (!header->isSectionHidden(section) &&
                header->sectionSize(section) <
                    header->fontMetrics().horizontalAdvance(title) + margins) {
                cut.append(title);
            }
        }
    }
    return cut;
}

// The texts of grid and file list cells that are cut: a column narrower than
// a text it shows (the first rows of each list, icons left aside).
QStringList CutCells(QWidget* window) {
    QStringList cut;
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        QHeaderView* header = nullptr;
        if (auto* table = qobject_cast<QTableView*>(view)) {
            header = table->horizontalHeader();
        } else if (auto* tree = qobject_cast<QTreeView*>(view)) {
            header = tree->header();
        }
        // A month calendar's days are drawn centred in cells of their own.
        const bool month = view->objectName() == QLatin1String("qt_calendar_calendarview");
        if (!view->isVisibleTo(window) || header == nullptr || month || view->model() == nullptr) {
            continue;
        }
        const int margins =
            2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
        const QModelIndex root = view->rootIndex();
        const int rows = std::min(view->model()->rowCount(root), 20);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < view->model()->columnCount(root); ++column) {
                const QModelIndex cell = view->model()->index(row, column, root);
                const QString text = cell.data().toString();
                const bool with_icon = !cell.data(Qt::DecorationRole).isNull();
                if (!header->isSectionHidden(column) && !with_icon &&
                    header->sectionSize(column) <
                        view->fontMetrics().horizontalAdvance(text) + margins) {
                    cut.append(text);
                }
            }
        }
    }
    return cut;
}

// The size the window takes on the screen with its frame. The main window
// maximises itself: what must fit is the least it can be.
QSize SizeOnScreen(QWidget* window) {
    if (window->objectName() == QLatin1String("TForm7")) {
        return window->minimumSizeHint() + kFrameRoom;
    }
    const QSize frame = window->frameGeometry().size();
    return frame != window->size() ? frame : window->size() + kFrameRoom;
}

// The title-bar buttons each window is meant to have: none (the window is left
// by its own buttons), or the system menu with the close box and never a
// minimise or maximise button. Qt's dialogs and the main window are Qt's.
std::optional<bool> CloseBoxOf(const QString& name) {
    static const QStringList without = {
        QStringLiteral("TForm3"),  QStringLiteral("TForm5"),  QStringLiteral("TForm5-register"),
        QStringLiteral("TForm6"),  QStringLiteral("TForm1"),  QStringLiteral("TForm4"),
        QStringLiteral("TForm1A"), QStringLiteral("TForm4A"), QStringLiteral("TForm23")};
    if (without.contains(name)) {
        return false;
    }
    if (name.startsWith(QLatin1String("TForm")) && name != QLatin1String("TForm7")) {
        return true;
    }
    return std::nullopt;
}

QString TitleBarProblem(const QWidget* window, bool close_box) {
    const Qt::WindowFlags flags = window->windowFlags();
    if (flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowContextHelpButtonHint)) {
        return QStringLiteral("asks for a minimise, maximise or help button");
    }
    if (!(flags & (Qt::CustomizeWindowHint | Qt::FramelessWindowHint))) {
        return QStringLiteral("leaves its buttons to the window manager");
    }
    const bool has_close = flags.testFlag(Qt::WindowCloseButtonHint);
    if (has_close != close_box) {
        return has_close ? QStringLiteral("asks for a close box")
                         : QStringLiteral("has no close box");
    }
    return {};
}

QByteArray DemoSchool() {
    return data::ReadSchoolFile(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"));
}

}  // namespace

class EveryWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // The demo school, logged in, with its first solution page.
    void initTestCase() {
        folder_.RegisterSchool();
        folder_.context.school = QString::fromLatin1(data::kAccessCode);
        {
            const data::Database entry = data::Database::Open(folder_.context.paths.entry_database);
            data::ImportSchool({entry.connection(), folder_.context.school},
                               data::ParseSchoolDocument(DemoSchool()));
        }
        data::RunSequence run(folder_.context.paths);
        run.StoreRequestedSolutions(1);
        run.Prepare();
        run.Load();
        data::SearchRequest request;
        request.seed = 7;
        request.threads = 1;
        request.delete_previous = true;
        QCOMPARE(run.Search(request).found, 1);
        catalogue_.emplace(&folder_.context);
        QVERIFY(QFile::exists(catalogue_->page()));
    }

    void titlesGetNothingAdded() {
        // The window system adds a display name, when one is set, to every title.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    }

    // The titles as the window system has them, nothing added to a caption.
    // Runs where the windows are X11 windows: the test gui.every_window_x11,
    // under Xvfb, reads each title back with xdotool.
    void titlesAsTheWindowSystemHasThem() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            QSKIP("the windows are not X11 windows");
        }
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xdotool.isEmpty()) {
            QSKIP("xdotool is not installed");
        }
        for (const CatalogueWindow& entry : catalogue_->windows()) {
            std::unique_ptr<QWidget> window = entry.make();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QProcess title;
            title.start(xdotool,
                        {QStringLiteral("getwindowname"), QString::number(window->winId())});
            QVERIFY(title.waitForFinished(10000));
            QString shown = QString::fromUtf8(title.readAllStandardOutput());
            if (shown.endsWith(u'\n')) {
                shown.chop(1);
            }
            QCOMPARE(shown, entry.caption);
        }
    }

    // The desktop program answers --version and --help without a display:
    // the version is the About window's, and the manual page is made from
    // both at build time.
    void versionAndHelpNeedNoDisplay() {
        const CatalogueWindow* about = catalogue_->find(QStringLiteral("TForm150"));
        QVERIFY(about != nullptr);
        std::unique_ptr<QWidget> window = about->make();
        const QString shown = window->findChild<QLabel*>(QStringLiteral("Label2"))->text();
        QProcessEnvironment no_display = QProcessEnvironment::systemEnvironment();
        no_display.remove(QStringLiteral("DISPLAY"));
        no_display.remove(QStringLiteral("WAYLAND_DISPLAY"));
        no_display.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        struct Case {
            const char* option;
            QString starts;
        };
        for (const Case& c : {Case{"--version", QStringLiteral("taktirio ") + shown + u'\n'},
                              Case{"--help", QStringLiteral("Usage: ")}}) {
            QProcess program;
            program.setProcessEnvironment(no_display);
            program.start(QStringLiteral(TAKTIRIO_APP_PATH), {QString::fromLatin1(c.option)});
            QVERIFY(program.waitForFinished(30000));
            const QString out = QString::fromUtf8(program.readAllStandardOutput());
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
            QVERIFY2(out.startsWith(c.starts), qPrintable(out));
            if (QByteArray(c.option) == "--version") {
                QCOMPARE(out, c.starts);
            } else {
                QVERIFY2(out.contains(QStringLiteral("--dir")) &&
                             out.contains(QStringLiteral("--version")),
                         qPrintable(out));
            }
        }
    }

    void everyWindowAsTheUserMeetsIt_data() {
        QTest::addColumn<QString>("name");
        for (const CatalogueWindow& window : catalogue_->windows()) {
            QTest::newRow(qPrintable(window.name)) << window.name;
        }
    }

    void everyWindowAsTheUserMeetsIt() {
        QFETCH(QString, name);
        const CatalogueWindow* entry = catalogue_->find(name);
        std::unique_ptr<QWidget> window = entry->make();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->windowTitle(), entry->caption);
        const QSize size = SizeOnScreen(window.get());
        QVERIFY2(
            size.width() <= kSmallestScreen.width() && size.height() <= kSmallestScreen.height(),
            qPrintable(
                QStringLiteral("%1 x %2 with its frame").arg(size.width()).arg(size.height())));
        if (const std::optional<bool> close_box = CloseBoxOf(name)) {
            const QString problem = TitleBarProblem(window.get(), *close_box);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        if (name == QLatin1String("FileChoice")) {
            // The school's page, once the dialog's own thread has listed it.
            auto* list = window->findChild<QTreeView*>(QStringLiteral("treeView"));
            QTRY_VERIFY(list->model()->rowCount(list->rootIndex()) > 0);
        }
        if (name == QLatin1String("ReportPreview")) {
            // At the size it opens with on a 1024 x 768 screen, the button
            // that saves the PDF is in sight, not behind the overflow arrow.
            window->resize(kSmallestScreen.width() * 4 / 5, kSmallestScreen.height() * 9 / 10);
            auto* tools = window->findChild<QToolBar*>();
            QVERIFY(tools != nullptr);
            QAction* save = window->findChild<QAction*>(QStringLiteral("SavePdf"));
            QVERIFY(save != nullptr);
            QWidget* button = tools->widgetForAction(save);
            QTRY_VERIFY(button != nullptr && button->isVisible());
            QVERIFY(tools->rect().contains(button->geometry()));
            // Nor is any other: printing stays in sight too.
            for (QAction* action : tools->actions()) {
                QWidget* shown = tools->widgetForAction(action);
                if (!action->isSeparator() && action->isVisible() && shown != nullptr) {
                    QVERIFY2(shown->isVisible(), qPrintable(action->text()));
                }
            }
        }
        QStringList cut = CutColumnTitles(window.get()) + CutCells(window.get());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        const QStringList english = EnglishWords(window.get());
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral("; "))));
    }

  private:
    ProgramFolder folder_;
    std::optional<WindowCatalogue> catalogue_;
};

}  // namespace taktirio::gui::testing

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taktirio::gui::SetUpProgram(app);
    taktirio::gui::testing::EveryWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "every_window_test.moc"
