#pragma once

#include "common/window.h"

namespace taktirio::gui {

struct ProgramContext;
class ReportViewer;

// The summary window TForm23: the summary table's two parts, each shown (or
// saved as a PDF) over the work tables that the print window has just
// filled.
class SummaryWindow : public Window {
    Q_OBJECT

  public:
    SummaryWindow(ProgramContext* context, ReportViewer& viewer, QWidget* parent = nullptr);

  private:
    void run(const QString& name, bool save_pdf);

    ProgramContext* context_;
    ReportViewer& viewer_;
};

}  // namespace taktirio::gui
