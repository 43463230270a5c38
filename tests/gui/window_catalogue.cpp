#include "window_catalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPrintPreviewDialog>

#include "data/database/database.h"
#include "data/run/run_sequence.h"
#include "gui/common/asker.h"
#include "gui/common/file_dialog.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/forms/entry_window.h"
#include "gui/forms/entry_windows.h"
#include "gui/forms/teacher_view_window.h"
#include "gui/reports/free_hour_window.h"
#include "gui/reports/plan_window.h"
#include "gui/reports/print_window.h"
#include "gui/reports/solution_edit_window.h"
#include "gui/reports/summary_window.h"
#include "gui/run/preparation_window.h"
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
#include "reports/layouts/report_layout.h"

namespace taktirio::gui::testing {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The print windows read the school's first page and show nothing.
class FirstPageChooser : public SolutionChooser {
  public:
    explicit FirstPageChooser(QString page) : page_(std::move(page)) {}
    QString Choose(QWidget*, const QString&) override { return page_; }

  private:
    QString page_;
};

class NoViewer : public ReportViewer {
  public:
    void Show(QWidget*, const reports::ReportLayout&) override {}
    QString PdfPath(QWidget*, const QString&) override { return {}; }
};

template <typename T>
std::unique_ptr<QWidget> Made(T* window) {
    return std::unique_ptr<QWidget>(window);
}

}  // namespace

WindowCatalogue::WindowCatalogue(ProgramContext* context)
    : context_(context), sequence_(std::make_shared<data::RunSequence>(context->paths)) {
    chooser_ = std::make_unique<FirstPageChooser>(page());
    viewer_ = std::make_unique<NoViewer>();
    addShell();
    addEntryWindows();
    addRun();
    addPrints();
    addDialogs();
}

WindowCatalogue::~WindowCatalogue() = default;

QString WindowCatalogue::page() const {
    return QDir(context_->paths.solutions)
        .filePath(context_->school + QStringLiteral("/SOLUTION1.htm"));
}

const CatalogueWindow* WindowCatalogue::find(const QString& name) const {
    for (const CatalogueWindow& window : windows_) {
        if (window.name == name) {
            return &window;
        }
    }
    return nullptr;
}

void WindowCatalogue::addShell() {
    ProgramContext* context = context_;
    const QString title = U("TAKTIRIO by MERIDON SOFTWARE DEVELOPMENT");
    const QString maker = U("MERIDON SOFTWARE DEVELOPMENT");
    windows_.append(
        {U("TForm3"), title, [context] { return Made(new StartupWindow(context->desktop)); }});
    windows_.append({U("TForm5"), maker, [context] {
                         auto* login = new LoginWindow(context);
                         login->showOffer(data::LoginOffer::kLogin);
                         return Made(login);
                     }});
    windows_.append({U("TForm5-register"), maker, [context] {
                         auto* login = new LoginWindow(context);
                         login->showOffer(data::LoginOffer::kRegister);
                         return Made(login);
                     }});
    windows_.append(
        {U("TForm6"), maker, [context] { return Made(new RegistrationWindow(context)); }});
    windows_.append({U("TForm150"), U("About TAKTIRIO"),
                     [context] { return Made(new AboutWindow(context->desktop)); }});
    windows_.append({U("TForm22"), U("Ημερολογιακά"), [] { return Made(new CalendarWindow); }});
    windows_.append({U("TForm7"), title, [context] { return Made(new MainWindow(context)); }});
}

void WindowCatalogue::addEntryWindows() {
    struct Entry {
        const char* name;
        data::EntryWindow kind;
        const char* caption;
    };
    static const Entry kEntries[] = {
        {"TForm10", data::EntryWindow::kClasses, "Καταχώρηση - Παρουσίαση - Διαγραφή τμημάτων"},
        {"TForm11", data::EntryWindow::kTeachers,
         "Καταχώρηση - Παρουσίαση - Διαγραφή διδακτικού προσωπικού"},
        {"TForm12", data::EntryWindow::kPairs,
         "Καταχώρηση - Παρουσίαση - Διαγραφή ζεύγους διδασκόντων"},
        {"TForm13", data::EntryWindow::kAllocation,
         "Kατανομή τμημάτων και ωρών διδασκαλίας στο διδακτικό προσωπικό"},
        {"TForm14", data::EntryWindow::kEighthHourDays, "Μέρες με 8 ωρο"},
        {"TForm15", data::EntryWindow::kPinned,
         "Υποχρεωτική τοποθέτηση διδάσκοντος σε συγκεκριμένο τμήμα και συγκεκριμένη μέρα και "
         "ώρα της εβδομάδας"},
        {"TForm16", data::EntryWindow::kAbsentDays,
         "Διδάσκοντες που δεν έρχονται σε συγκεκριμένες μέρες"},
        {"TForm17", data::EntryWindow::kFreeHours,
         "Υποχρεωτικές κενές ώρες των διδασκόντων (κοινές κενές) και επιθυμητές κενές ώρες "},
        {"TForm18", data::EntryWindow::kJoint,
         "Διδάσκοντες σε δυο τμήματα την ίδια ώρα (πχ Καθηγητές σωματικής αγωγής, κλπ)"},
        {"TForm19", data::EntryWindow::kSplit, "Χωρισμός μαθήματος"},
        {"TForm20", data::EntryWindow::kApart,
         "Ζεύγος διδασκόντων που όταν ο ένας διδάσκει ο άλλος υποχρεωτικά έχει κενή ώρα"},
    };
    ProgramContext* context = context_;
    for (const Entry& entry : kEntries) {
        const data::EntryWindow kind = entry.kind;
        windows_.append(
            {U(entry.name), U(entry.caption), [context, kind] {
                 std::unique_ptr<DataEntryWindow> window(MakeEntryWindow(kind, context));
                 // The allocation window lists the first class.
                 if (auto* classes = window->findChild<QComboBox*>(QStringLiteral("ClassList"))) {
                     classes->setCurrentIndex(0);
                 }
                 return std::unique_ptr<QWidget>(std::move(window));
             }});
    }
    windows_.append(
        {U("TForm25"), U("Αναλυτική εικόνα του διδάσκοντος"), [context] {
             auto* view = new TeacherViewWindow(context);
             view->findChild<QComboBox*>(QStringLiteral("DBLookupComboBox1"))->setCurrentIndex(0);
             // Its gaps in the school's pages, once they are read.
             while (view->readingGaps()) {
                 QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
             }
             return Made(view);
         }});
}

void WindowCatalogue::addRun() {
    ProgramContext* context = context_;
    std::shared_ptr<data::RunSequence> sequence = sequence_;
    windows_.append({U("TForm8"), U("Ζητούμενες λύσεις"), [context, sequence] {
                         return Made(new RequestedSolutionsWindow(context, sequence));
                     }});
    windows_.append({U("TForm4"), U("Παρακαλώ περίμενε"), [context, sequence] {
                         return Made(new PreparationWindow(context, sequence));
                     }});
    windows_.append({U("TForm1"),
                     U("TAKTIRIO by MERIDON SOFTWARE DEVELOPMENT - Υπολογισμός Λύσεων"),
                     [context, sequence] {
                         // Over the school's working copy, as after the preparation.
                         sequence->Prepare();
                         return Made(new RunWindow(context, sequence));
                     }});
}

void WindowCatalogue::addPrints() {
    ProgramContext* context = context_;
    SolutionChooser* chooser = chooser_.get();
    ReportViewer* viewer = viewer_.get();
    windows_.append({U("TForm1A"), U("Εκτυπώσεις"), [context, chooser, viewer] {
                         return Made(new PrintWindow(context, nullptr, chooser, viewer));
                     }});
    windows_.append({U("TForm4A"), U("Παρουσίαση / Εκτύπωση του γενικού πλάνου"),
                     [context, viewer] { return Made(new PlanWindow(context, *viewer)); }});
    windows_.append({U("TForm23"),
                     U("Παρουσίαση / Εκτύπωση Συνοπτικού Πίνακα του Ωρολογίου Προγράμματος "),
                     [context, viewer] { return Made(new SummaryWindow(context, *viewer)); }});
    windows_.append({U("TForm24"), U("Διδάσκοντες που έχουν κενή ώρα"), [context, chooser] {
                         return Made(new FreeHourWindow(context, nullptr, chooser));
                     }});
    windows_.append({U("TFormEdit"), U("Διόρθωση λύσης"), [context, chooser] {
                         return Made(new SolutionEditWindow(context, nullptr, chooser));
                     }});
    windows_.append({U("ReportPreview"), U("REPORT1 - Ωρολόγιο Πρόγραμμα των Διδασκόντων"),
                     [this] { return makePreview(); }});
}

std::unique_ptr<QWidget> WindowCatalogue::makePreview() {
    // The teachers' report of the first page, as the print window shows it.
    const data::Database db = data::Database::Open(
        data::ReportDatabasePath(context_->paths.directory), data::ReportDesign());
    data::ReadIntoWorkTables(db.connection(), page(), data::PrintReading::kTeachers);
    layout_ =
        reports::MakeReport(QStringLiteral("REPORT1"),
                            data::LoadPrintTables(db.connection(), data::PrintReading::kTeachers));
    return MakePreview(printer_, *layout_, nullptr, *context_->asker);
}

void WindowCatalogue::addDialogs() {
    ProgramContext* context = context_;
    windows_.append({U("FileChoice"), U("Επιλογή λύσης για παρουσίαση / εκτύπωση"), [context] {
                         return std::unique_ptr<QWidget>(MakeSolutionDialog(
                             nullptr, SolutionChoiceFolder(context->paths, context->school)));
                     }});
    windows_.append({U("FileSave"), U("Αποθήκευση ως PDF"), [] {
                         return std::unique_ptr<QWidget>(
                             MakePdfDialog(nullptr, QStringLiteral("REPORT1")));
                     }});
    struct Box {
        const char* name;
        MessageKind kind;
        const char* title;
        QString text;
    };
    const Box boxes[] = {
        {"message-error", MessageKind::kError, "Σφάλμα", U(data::kDatabaseProblemMessage)},
        {"message-information", MessageKind::kInform, "Πληροφορία", U(kNoPreviousSolutionsMessage)},
        {"message-question", MessageKind::kConfirm, "Επιβεβαίωση", U(data::kExitQuestion)},
    };
    for (const Box& box : boxes) {
        const MessageKind kind = box.kind;
        const QString text = box.text;
        windows_.append({U(box.name), U(box.title), [kind, text] {
                             return std::unique_ptr<QWidget>(MakeMessageBox(kind, nullptr, text));
                         }});
    }
}

}  // namespace taktirio::gui::testing
