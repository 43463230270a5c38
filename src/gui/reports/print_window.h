#pragma once

#include <QPointer>
#include <array>
#include <memory>
#include <optional>

#include "data/database/database.h"
#include "gui/common/window.h"
#include "gui/reports/page_reading.h"
#include "gui/reports/report_viewer.h"
#include "gui/reports/stored_report.h"

class QLabel;
class QPushButton;

namespace taktirio::gui {

struct ProgramContext;
class SolutionChooser;

inline constexpr char kPleaseWaitText[] =
    "Παρακαλώ περίμενε. Το πρόγραμμα επεξεργάζεται τα δεδομένα";

// The print window TForm1A: four prints of one chosen solution page. Each
// print reads the page into the work tables on a thread of its own, showing
// the readers' progress, then shows its report (classes, teachers) or opens
// the window of its reports (general plan, summary). The window is made
// once and shown again at every opening.
class PrintWindow : public Window {
    Q_OBJECT

  public:
    // `chooser` and `viewer` default to the file dialog and the preview.
    PrintWindow(ProgramContext* context, QWidget* parent = nullptr,
                SolutionChooser* chooser = nullptr, ReportViewer* viewer = nullptr);

    // Shows the window modal to the program without blocking the caller.
    void Open();
    // From the file choice until the report or the sub-window is closed.
    bool busy() const { return busy_; }
    // Waits for a reading under way (tests).
    void waitForReading() { reading_.Wait(); }

  signals:
    // A print has ended and the buttons are enabled again.
    void idle();

  protected:
    void showEvent(QShowEvent* event) override;
    bool confirmClose() override { return !busy_; }

  private:
    void print(data::PrintReading reading, ReportAction action);
    void read(const data::PrintTables& tables);
    void readingFailed(const QString& message);
    void openSubWindow(Window* window);
    void setBusy(bool busy);
    void showProgress(const QString& text);

    ProgramContext* context_;
    SolutionChooser* chooser_;
    ReportViewer* viewer_;
    std::unique_ptr<ReportViewer> own_viewer_;
    std::array<QPushButton*, 5> buttons_{};
    QLabel* wait_ = nullptr;
    QLabel* progress_ = nullptr;
    PageReading reading_;
    data::PrintReading current_ = data::PrintReading::kClasses;
    ReportAction action_ = ReportAction::kPreview;
    bool busy_ = false;
    std::optional<data::Database> db_;
};

// Opens the print window of `parent`, making it at the first opening.
PrintWindow* OpenPrintWindow(ProgramContext* context, QWidget* parent);

}  // namespace taktirio::gui
