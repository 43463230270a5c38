// Writes a PNG of every window of the program, offscreen, on a program
// directory that holds a registered school (scripts/screenshots.sh imports
// the demo school): TForm3.png, TForm7.png, the main menu's drop-downs and a
// message box of each kind, and the run's windows before, during and after a
// run, for a person to look at. Each new window adds its
// picture to main() below.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <cstdio>
#include <memory>

#include "common/asker.h"
#include "common/desktop.h"
#include "common/look.h"
#include "common/program_context.h"
#include "database/database.h"
#include "database/errors.h"
#include "forms/entry_window.h"
#include "forms/entry_windows.h"
#include "forms/teacher_view_window.h"
#include "layouts/report_catalog.h"
#include "reports/free_hour_window.h"
#include "reports/plan_window.h"
#include "reports/print_window.h"
#include "reports/report_viewer.h"
#include "reports/solution_choice.h"
#include "reports/summary_window.h"
#include "run/preparation_window.h"
#include "run/queued_run_listener.h"
#include "run/requested_solutions_window.h"
#include "run/run_sequence.h"
#include "run/run_window.h"
#include "shell/about_window.h"
#include "shell/calendar_window.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/program_shell.h"
#include "shell/registration_window.h"
#include "shell/startup_window.h"

namespace {

using namespace taktirio;
using namespace taktirio::gui;

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
    const QString path = out.filePath(name + QStringLiteral(".png"));
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    widget->hide();
    return saved;
}

// The print windows choose the demo school's solved page and show nothing.
class FixedChooser : public SolutionChooser {
  public:
    explicit FixedChooser(QString page) : page_(std::move(page)) {}
    QString Choose(QWidget*, const QString&) override { return page_; }

  private:
    QString page_;
};

class NoViewer : public ReportViewer {
  public:
    void Show(QWidget*, const reports::ReportLayout&) override {}
    QString PdfPath(QWidget*, const QString&) override { return {}; }
};

// The print windows, the free-hour window before and after a reading, and a
// report's preview, over the demo school's first solution page.
bool SavePrintWindows(ProgramContext& context, const QDir& out) {
    const QString page =
        QDir(context.paths.solutions).filePath(context.school + QStringLiteral("/SOLUTION1.htm"));
    if (!QFile::exists(page)) {
        std::fprintf(stderr, "no solution page %s\n", qPrintable(page));
        return false;
    }
    FixedChooser chooser(page);
    NoViewer viewer;
    bool ok = true;
    {
        PrintWindow print(&context, nullptr, &chooser, &viewer);
        ok &= Save(&print, out, QStringLiteral("TForm1A"));
        // Busy: grabbed before the reading's first progress arrives.
        print.show();
        print.findChild<QPushButton*>(QStringLiteral("Button3"))->click();
        QApplication::processEvents();
        const QString path = out.filePath(QStringLiteral("TForm1A-busy.png"));
        ok &= print.grab().save(path);
        std::printf("wrote %s\n", qPrintable(path));
        print.waitForReading();
        QApplication::processEvents();
        print.hide();
    }
    PlanWindow plan(&context, viewer);
    ok &= Save(&plan, out, QStringLiteral("TForm4A"));
    SummaryWindow summary(&context, viewer);
    ok &= Save(&summary, out, QStringLiteral("TForm23"));

    FreeHourWindow free(&context, nullptr, &chooser);
    ok &= Save(&free, out, QStringLiteral("TForm24"));
    free.show();
    QEventLoop reading;
    QObject::connect(&free, &FreeHourWindow::readingEnded, &reading, &QEventLoop::quit);
    free.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    reading.exec();
    free.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
    free.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(2);
    ok &= Save(&free, out, QStringLiteral("TForm24-answer"));

    // The teachers' report in its preview, as the print window shows it.
    try {
        const data::Database db = data::Database::Open(
            data::ReportDatabasePath(context.paths.directory), data::ReportDesign());
        data::ReadIntoWorkTables(db.connection(), page, data::PrintReading::kTeachers);
        const auto layout = reports::MakeReport(
            QStringLiteral("REPORT1"),
            data::LoadPrintTables(db.connection(), data::PrintReading::kTeachers));
        QPrinter printer(QPrinter::HighResolution);
        const auto preview = MakePreview(printer, *layout, nullptr, *context.asker);
        preview->resize(1000, 760);
        ok &= Save(preview.get(), out, QStringLiteral("ReportPreview"));
    } catch (const data::DataError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(DisplayText(error.message())));
        ok = false;
    }
    return ok;
}

bool SaveMessageBox(const QDir& out, const QString& name, QMessageBox::Icon icon,
                    const QString& title, const QString& text,
                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, DisplayText(text), buttons);
    return Save(&box, out, name);
}

bool Grab(QWidget* widget, const QDir& out, const QString& name) {
    const QString path = out.filePath(name + QStringLiteral(".png"));
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// The way into a run: the requested solutions, the preparation at its middle
// step, and the run window before, during and after a run of the school.
bool SaveRunWindows(ProgramContext* context, const QDir& out) {
    bool ok = true;
    auto sequence = std::make_shared<data::RunSequence>(context->paths);
    RequestedSolutionsWindow requested(context, sequence);
    requested.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(12);
    ok &= Save(&requested, out, QStringLiteral("TForm8"));
    PreparationWindow preparation(context, sequence);
    preparation.findChild<QProgressBar*>(QStringLiteral("Gauge1"))->setValue(7);
    ok &= Save(&preparation, out, QStringLiteral("TForm4"));

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
    ok &= Grab(&run, out, QStringLiteral("TForm1-before"));
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
    ApplyProgramLook(app);

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
    StartupWindow startup(&desktop);
    ok &= Save(&startup, out, QStringLiteral("TForm3"));
    LoginWindow login(&context);
    login.showOffer(data::LoginOffer::kLogin);
    ok &= Save(&login, out, QStringLiteral("TForm5"));
    login.showOffer(data::LoginOffer::kRegister);
    ok &= Save(&login, out, QStringLiteral("TForm5-register"));
    RegistrationWindow registration(&context);
    ok &= Save(&registration, out, QStringLiteral("TForm6"));
    AboutWindow about(&desktop);
    ok &= Save(&about, out, QStringLiteral("TForm150"));
    CalendarWindow calendar;
    ok &= Save(&calendar, out, QStringLiteral("TForm22"));

    // The main window at the smallest screen it is made for; shown, it would
    // take the offscreen screen's size.
    MainWindow main_window(&context);
    main_window.resize(1024, 768);
    main_window.setAttribute(Qt::WA_DontShowOnScreen);
    ok &= Save(&main_window, out, QStringLiteral("TForm7"));
    for (QMenu* menu : main_window.findChildren<QMenu*>()) {
        if (!menu->objectName().isEmpty()) {
            menu->adjustSize();
            ok &= Save(menu, out, QStringLiteral("TForm7-") + menu->objectName());
        }
    }

    ok &= SaveRunWindows(&context, out);
    // The eleven data-entry windows; the allocation window with its first
    // class chosen, the teacher view with its first teacher.
    const char* const entry_forms[] = {"TForm10", "TForm11", "TForm12", "TForm13",
                                       "TForm14", "TForm15", "TForm16", "TForm17",
                                       "TForm18", "TForm19", "TForm20"};
    for (int w = 0; w <= static_cast<int>(data::EntryWindow::kApart); ++w) {
        const auto which = static_cast<data::EntryWindow>(w);
        std::unique_ptr<DataEntryWindow> window(MakeEntryWindow(which, &context));
        if (auto* classes = window->findChild<QComboBox*>(QStringLiteral("ClassList"));
            classes != nullptr && which == data::EntryWindow::kAllocation) {
            classes->setCurrentIndex(0);
        }
        ok &= Save(window.get(), out, QString::fromLatin1(entry_forms[w]));
    }
    TeacherViewWindow teacher_view(&context);
    teacher_view.findChild<QComboBox*>(QStringLiteral("DBLookupComboBox1"))->setCurrentIndex(0);
    // Its gaps in the run's pages, once they are read.
    while (teacher_view.readingGaps()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ok &= Save(&teacher_view, out, QStringLiteral("TForm25"));
    ok &= SavePrintWindows(context, out);

    ok &= SaveMessageBox(out, QStringLiteral("message-information"), QMessageBox::Information,
                         QStringLiteral("Information"), U(kNoPreviousSolutionsMessage),
                         QMessageBox::Ok);
    ok &= SaveMessageBox(out, QStringLiteral("message-confirmation"), QMessageBox::Question,
                         QStringLiteral("Confirm"), U(data::kExitQuestion),
                         QMessageBox::Yes | QMessageBox::No);
    ok &= SaveMessageBox(out, QStringLiteral("message-error"), QMessageBox::Critical,
                         QStringLiteral("Error"), data::PermissionsMessage(context.paths.directory),
                         QMessageBox::Ok);
    ok &= SaveMessageBox(out, QStringLiteral("message-startup"), QMessageBox::Information,
                         QStringLiteral("Information"), U(kImportantInformationMessage),
                         QMessageBox::Ok);
    return ok ? 0 : 1;
}
