// Writes a PNG of every window of the program, offscreen, on a program
// directory that holds a registered school with a solution page
// (scripts/screenshots.sh imports and solves the demo school), for a person
// to look at: every window of the window catalogue (TForm3.png, TForm7.png,
// FileChoice.png, message-question.png, ...), the main menu's drop-downs,
// the run window during and after a run, the print window busy, the
// free-hour window's answer and the start-up message. A new window joins the
// catalogue (window_catalogue.cpp) and so gets its picture here.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <cstdio>
#include <memory>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/run/run_sequence.h"
#include "gui/common/asker.h"
#include "gui/common/desktop.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/forms/entry_window.h"
#include "gui/forms/entry_windows.h"
#include "gui/forms/teacher_view_window.h"
#include "gui/reports/free_hour_window.h"
#include "gui/reports/plan_window.h"
#include "gui/reports/print_window.h"
#include "gui/reports/report_viewer.h"
#include "gui/reports/solution_choice.h"
#include "gui/reports/solution_edit_window.h"
#include "gui/reports/summary_window.h"
#include "gui/run/preparation_window.h"
#include "gui/run/queued_run_listener.h"
#include "gui/run/requested_solutions_window.h"
#include "gui/run/run_window.h"
#include "gui/shell/about_window.h"
#include "gui/shell/calendar_window.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/program_shell.h"
#include "gui/shell/registration_window.h"
#include "gui/shell/startup_window.h"
#include "reports/layouts/report_catalog.h"
#include "window_catalogue.h"

namespace {

using namespace taktirio;
using namespace taktirio::gui;
using taktirio::gui::testing::CatalogueWindow;
using taktirio::gui::testing::WindowCatalogue;

// Nothing is asked and nothing is opened while the pictures are taken.
// Answers every question with `yes`; shows nothing.
class SilentAsker : public Asker {
  public:
    void Error(QWidget*, const QString&) override {}
    void Inform(QWidget*, const QString&) override {}
    bool Confirm(QWidget*, const QString&) override { return yes; }
    bool yes = false;
};

class InertDesktop : public Desktop {
  public:
    bool OpenUrl(const QUrl&) override { return true; }
    QString FindProgram(const QString&) override { return {}; }
    bool StartProgram(const QString&, const QStringList&) override { return false; }
};

bool Save(QWidget* widget, const QDir& out, const QString& name) {
    widget->show();
    QApplication::processEvents();
    if (qobject_cast<QFileDialog*>(widget) != nullptr) {
        // The folder's files are listed by a thread of the dialog's own.
        QElapsedTimer listing;
        listing.start();
        while (listing.elapsed() < 1000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }
    const QString path = out.filePath(name + QStringLiteral(".png"));
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    widget->hide();
    return saved;
}

bool Grab(QWidget* widget, const QDir& out, const QString& name) {
    const QString path = out.filePath(name + QStringLiteral(".png"));
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// The print window while it reads a page, and the free-hour window's answer.
bool SaveBusyPrints(WindowCatalogue& catalogue, const QDir& out) {
    bool ok = true;
    std::unique_ptr<QWidget> made = catalogue.find(QStringLiteral("TForm1A"))->make();
    auto* print = static_cast<PrintWindow*>(made.get());
    print->show();
    print->findChild<QPushButton*>(QStringLiteral("Button3"))->click();
    QApplication::processEvents();
    // Busy: grabbed before the reading's first progress arrives.
    ok &= Grab(print, out, QStringLiteral("TForm1A-busy"));
    print->waitForReading();
    QApplication::processEvents();
    print->hide();

    made = catalogue.find(QStringLiteral("TForm24"))->make();
    auto* free = static_cast<FreeHourWindow*>(made.get());
    free->show();
    QEventLoop reading;
    QObject::connect(free, &FreeHourWindow::readingEnded, &reading, &QEventLoop::quit);
    free->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    reading.exec();
    // Friday, 3rd hour: a teacher of the demo school is absent on Fridays and
    // is named under the list.
    free->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(4);
    free->findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(2);
    ok &= Save(free, out, QStringLiteral("TForm24-answer"));
    return ok;
}

// The solution editor with the first page open: a lesson picked and the
// exchange that takes it to another hour, highlighted.
bool SaveSolutionEdit(WindowCatalogue& catalogue, const QDir& out) {
    std::unique_ptr<QWidget> made = catalogue.find(QStringLiteral("TFormEdit"))->make();
    auto* edit = static_cast<SolutionEditWindow*>(made.get());
    edit->show();
    QEventLoop reading;
    QObject::connect(edit, &SolutionEditWindow::pageRead, &reading, &QEventLoop::quit);
    edit->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    reading.exec();
    auto* week = edit->findChild<QTableWidget*>(QStringLiteral("GridClass"));
    auto* apply = edit->findChild<QPushButton*>(QStringLiteral("ButtonApply"));
    bool ok = Save(edit, out, QStringLiteral("TFormEdit-open"));
    // The first move of the first class section that keeps every rule.
    for (int from = 0; from < 35 && !apply->isEnabled(); ++from) {
        for (int to = 0; to < 35 && !apply->isEnabled(); ++to) {
            if (from != to) {
                edit->findChild<QPushButton*>(QStringLiteral("ButtonCancel"))->click();
                week->setCurrentCell(from / 5, from % 5);
                emit week->cellClicked(from / 5, from % 5);
                week->setCurrentCell(to / 5, to % 5);
                emit week->cellClicked(to / 5, to % 5);
            }
        }
    }
    ok &= Save(edit, out, QStringLiteral("TFormEdit-exchange"));
    return ok;
}

// The run window during and after a run of 254 solutions of the school.
bool SaveRunWindows(ProgramContext* context, const QDir& out) {
    bool ok = true;
    auto sequence = std::make_shared<data::RunSequence>(context->paths);
    try {
        sequence->StoreRequestedSolutions(254);
        sequence->Prepare();
    } catch (const data::DataError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(DisplayText(error.message())));
        return false;
    }
    RunWindow run(context, sequence);
    run.show();
    QApplication::processEvents();
    // During the run: taken when a delivery of solutions has been shown.
    bool during = false;
    QObject::connect(run.findChild<QueuedRunListener*>(), &QueuedRunListener::solutionsFound, &run,
                     [&](const QStringList&, const QList<SolutionGaps>&, int last) {
                         if (!during && last >= 10) {
                             during = true;
                             ok &= Grab(&run, out, QStringLiteral("TForm1-during"));
                         }
                     });
    // The run reworks its timetables toward fewer gaps, so that the pictures
    // show the option on and the gaps beside the solutions.
    run.findChild<QCheckBox*>(QStringLiteral("CheckBoxFewerGaps"))->setChecked(true);
    // The print windows' page is there already: the run may delete it.
    auto* asker = static_cast<SilentAsker*>(context->asker);
    asker->yes = true;
    run.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    while (run.running()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    asker->yes = false;
    QApplication::processEvents();
    ok &= during;
    ok &= Grab(&run, out, QStringLiteral("TForm1-after"));
    run.hide();
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption dir_option(QStringLiteral("dir"), QStringLiteral("program directory"),
                                        QStringLiteral("DIR"), QDir::currentPath());
    const QCommandLineOption out_option(QStringLiteral("out"), QStringLiteral("picture folder"),
                                        QStringLiteral("OUT"), QStringLiteral("screenshots"));
    parser.addOption(dir_option);
    parser.addOption(out_option);
    parser.process(app);
    SetUpProgram(app);

    SilentAsker asker;
    InertDesktop desktop;
    ProgramContext context{data::PathsFor(parser.value(dir_option)), &asker, &desktop, {}};
    try {
        const data::Database entry = data::Database::Open(context.paths.entry_database);
        context.school = data::Login(entry.connection());
    } catch (const data::DataError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(DisplayText(error.message())));
        return 4;
    }
    QDir out(parser.value(out_option));
    out.mkpath(QStringLiteral("."));

    bool ok = true;
    {
        WindowCatalogue catalogue(&context);
        for (const CatalogueWindow& entry : catalogue.windows()) {
            std::unique_ptr<QWidget> window = entry.make();
            if (entry.name == QLatin1String("TForm7")) {
                // The main window at the smallest screen it is made for;
                // shown, it would take the offscreen screen's size.
                window->resize(1024, 768);
                window->setAttribute(Qt::WA_DontShowOnScreen);
                for (QMenu* menu : window->findChildren<QMenu*>()) {
                    if (!menu->objectName().isEmpty()) {
                        menu->adjustSize();
                        ok &= Save(menu, out, QStringLiteral("TForm7-") + menu->objectName());
                    }
                }
            }
            ok &= Save(window.get(), out, entry.name);
        }
        ok &= SaveBusyPrints(catalogue, out);
        ok &= SaveSolutionEdit(catalogue, out);
    }
    // The run of 254 solutions deletes the page the catalogue's windows read.
    ok &= SaveRunWindows(&context, out);
    ok &= Save(MakeMessageBox(MessageKind::kInform, nullptr, U(kImportantInformationMessage)).get(),
               out, QStringLiteral("message-startup"));
    return ok ? 0 : 1;
}
