#pragma once

#include <optional>

#include "data/reports/work_tables.h"
#include "gui/common/window.h"

namespace taktirio::gui {

struct ProgramContext;
class ReportViewer;

// The general plan window TForm4A: the plan's seven strips A to H, each
// shown (or saved as a PDF) over the tables that the print window has just
// read, and the instructions for taping the pages together.
class PlanWindow : public Window {
    Q_OBJECT

  public:
    // Over `tables` when given (the print window's reading), else over the
    // work tables as the last reading left them, loaded at each press.
    PlanWindow(ProgramContext* context, ReportViewer& viewer, QWidget* parent = nullptr,
               std::optional<data::PrintTables> tables = std::nullopt);

  private:
    QWidget* createCategories();
    QWidget* createInstructions();
    void run(const QString& name, bool save_pdf);

    ProgramContext* context_;
    ReportViewer& viewer_;
    std::optional<data::PrintTables> tables_;
};

// The drawing of the instructions: seven page columns headed by the
// category letters, each marked "Σελίδες" downwards and "1 … χ".
class PageOrderDrawing : public QWidget {
    Q_OBJECT

  public:
    explicit PageOrderDrawing(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The category letters A, B, Γ, Δ, E, Z, H as typed (Latin A, B, E, Z, H).
QStringList PlanCategoryLetters();

}  // namespace taktirio::gui
