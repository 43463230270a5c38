#include "gui/reports/print_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/database/errors.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/reports/plan_window.h"
#include "gui/reports/report_viewer.h"
#include "gui/reports/solution_choice.h"
#include "gui/reports/summary_window.h"
#include "reports/layouts/report_catalog.h"

namespace taktirio::gui {

namespace {

// A caption's hint: the caption without its accelerator.
QString HintOf(const QString& caption) {
    QString hint = caption;
    return hint.remove(u'&');
}

// Hidden labels keep their place, so that the window never changes size.
QLabel* KeptLabel(QWidget* parent, const char* object_name, const QString& text) {
    QLabel* label = MakeLabel(parent, object_name, text);
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    label->setAlignment(Qt::AlignCenter);
    label->hide();
    return label;
}

}  // namespace

PrintWindow::PrintWindow(ProgramContext* context, QWidget* parent, SolutionChooser* chooser,
                         ReportViewer* viewer)
    : Window("TForm1A", U("Εκτυπώσεις"), parent),
      context_(context),
      chooser_(chooser != nullptr ? chooser : &DefaultSolutionChooser()),
      viewer_(viewer) {
    // Left by its exit button only: no title-bar buttons.
    setTitleBar(TitleBar::kNone);
    if (viewer_ == nullptr) {
        own_viewer_ = std::make_unique<PreviewViewer>(context_->asker);
        viewer_ = own_viewer_.get();
    }
    struct Print {
        const char* name;
        const char* caption;
        data::PrintReading reading;
    };
    static const Print kPrints[] = {
        {"Button1", "Παρουσίαση / Εκτύπωση του προγράμματος των &τμημημάτων",
         data::PrintReading::kClasses},
        {"Button3", "Παρουσίαση / Εκτύπωση του προγράμματος των διδασκό&ντων",
         data::PrintReading::kTeachers},
        {"Button4", "Παρουσίαση / Εκτύπωση του &γενικού πλάνου", data::PrintReading::kGeneralPlan},
        {"Button5", "Παρουσίαση / Εκτύπωση &Συνοπτικού Πίνακα του Ωρολογίου Προγράμματος",
         data::PrintReading::kSummary},
    };
    auto* column = new QVBoxLayout(this);
    column->setSpacing(8);
    column->setContentsMargins(16, 16, 16, 12);
    std::size_t index = 0;
    for (const Print& print : kPrints) {
        const QString caption = U(print.caption);
        QPushButton* button = MakeButton(this, print.name, caption, HintOf(caption));
        button->setMinimumHeight(34);
        const data::PrintReading reading = print.reading;
        connect(button, &QPushButton::clicked, this,
                [this, reading] { this->print(reading, ReportAction::kPreview); });
        // The prints of one report can be saved as a PDF without the preview.
        if (reading == data::PrintReading::kClasses || reading == data::PrintReading::kTeachers) {
            AddSavePdfMenu(button,
                           [this, reading] { this->print(reading, ReportAction::kSavePdf); });
        }
        column->addWidget(button);
        buttons_[index++] = button;
    }
    wait_ = KeptLabel(this, "Label1", U(kPleaseWaitText));
    progress_ = KeptLabel(this, "Label2", {});
    progress_->setMinimumWidth(480);
    column->addSpacing(6);
    column->addWidget(wait_);
    column->addWidget(progress_);
    QPushButton* exit = MakeButton(this, "Button2", U("Έξο&δος"), U("Έξοδος"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    column->addWidget(exit, 0, Qt::AlignRight);
    buttons_[index] = exit;
    setExitButton(exit);

    connect(&reading_, &PageReading::progress, this, &PrintWindow::showProgress);
    connect(&reading_, &PageReading::finished, this, &PrintWindow::read);
    connect(&reading_, &PageReading::failed, this, &PrintWindow::readingFailed);
}

void PrintWindow::Open() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void PrintWindow::showEvent(QShowEvent* event) {
    // A fresh connection at every opening: an unreachable work-table file is
    // told now rather than in the middle of a print.
    db_.reset();
    try {
        db_.emplace(data::Database::Open(data::ReportDatabasePath(context_->paths.directory),
                                         data::ReportDesign()));
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());
    }
    Window::showEvent(event);
}

void PrintWindow::print(data::PrintReading reading, ReportAction action) {
    if (busy_) {
        return;
    }
    setBusy(true);
    const QString page =
        chooser_->Choose(this, SolutionChoiceFolder(context_->paths, context_->school));
    if (page.isEmpty()) {
        context_->asker->Inform(this, U(kNoSolutionChosenMessage));
        setBusy(false);
        return;
    }
    current_ = reading;
    action_ = action;
    progress_->clear();
    wait_->show();
    progress_->show();
    if (!reading_.Start(data::ReportDatabasePath(context_->paths.directory), page, reading)) {
        wait_->hide();
        progress_->hide();
        setBusy(false);
    }
}

void PrintWindow::showProgress(const QString& text) {
    progress_->setText(text);
}

void PrintWindow::read(const data::PrintTables& tables) {
    wait_->hide();
    progress_->hide();
    switch (current_) {
        case data::PrintReading::kClasses:
        case data::PrintReading::kTeachers:
            RunReport(reports::ReportNames(current_).constFirst(), tables, action_, context_,
                      *viewer_, this);
            setBusy(false);
            break;
        case data::PrintReading::kGeneralPlan:
            openSubWindow(new PlanWindow(context_, *viewer_, this, tables));
            break;
        case data::PrintReading::kSummary:
            openSubWindow(new SummaryWindow(context_, *viewer_, this, tables));
            break;
    }
}

void PrintWindow::openSubWindow(Window* window) {
    // The buttons come back when the sub-window has closed.
    connect(window, &QObject::destroyed, this, [this] { setBusy(false); });
    window->OpenModal();
}

void PrintWindow::readingFailed(const QString& message) {
    wait_->hide();
    progress_->hide();
    context_->asker->Error(this, message);
    setBusy(false);
}

void PrintWindow::setBusy(bool busy) {
    busy_ = busy;
    for (QPushButton* button : buttons_) {
        button->setEnabled(!busy);
    }
    if (!busy) {
        emit idle();
    }
}

PrintWindow* OpenPrintWindow(ProgramContext* context, QWidget* parent) {
    auto* window = parent != nullptr ? parent->findChild<PrintWindow*>(QStringLiteral("TForm1A"),
                                                                       Qt::FindDirectChildrenOnly)
                                     : nullptr;
    if (window == nullptr) {
        window = new PrintWindow(context, parent);
    }
    window->Open();
    return window;
}

}  // namespace taktirio::gui
