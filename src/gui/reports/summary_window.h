#pragma once

#include <optional>

#include "data/reports/work_tables.h"
#include "gui/common/window.h"

namespace taktirio::gui {

struct ProgramContext;
class ReportViewer;

// The summary window TForm23: the summary table's two parts, each shown (or
// saved as a PDF) over the tables that the print window has just read.
class SummaryWindow : public Window {
    Q_OBJECT

  public:
    // Over `tables` when given (the print window's reading), else over the
    // work tables as the last reading left them, loaded at each press.
    SummaryWindow(ProgramContext* context, ReportViewer& viewer, QWidget* parent = nullptr,
                  std::optional<data::PrintTables> tables = std::nullopt);

  private:
    void run(const QString& name, bool save_pdf);

    ProgramContext* context_;
    ReportViewer& viewer_;
    std::optional<data::PrintTables> tables_;
};

}  // namespace taktirio::gui
