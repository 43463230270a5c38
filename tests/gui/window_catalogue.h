#pragma once

#include <QList>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>

#include "gui/reports/report_viewer.h"
#include "gui/reports/solution_choice.h"

class QWidget;

namespace taktirio::data {
class RunSequence;
}
namespace taktirio::reports {
class ReportLayout;
}

namespace taktirio::gui {
struct ProgramContext;
}

namespace taktirio::gui::testing {

// One window of the program as a user meets it, made ready to be shown.
struct CatalogueWindow {
    QString name;     // its objectName, and the name of its picture
    QString caption;  // the title it must carry, exactly
    std::function<std::unique_ptr<QWidget>()> make;
};

// Every window of the program over a program directory whose school is
// logged in and has its first solution page: the start-up, login and
// registration windows, the main window, the eleven entry windows, the
// teacher view, the way into a run, the prints and the preview, the two file
// choices and a message box of each kind. The window tests and the
// screenshot program open them all from here.
class WindowCatalogue {
  public:
    explicit WindowCatalogue(ProgramContext* context);
    ~WindowCatalogue();

    const QList<CatalogueWindow>& windows() const { return windows_; }
    const CatalogueWindow* find(const QString& name) const;
    // The school's first solution page.
    QString page() const;

  private:
    void addShell();
    void addEntryWindows();
    void addRun();
    void addPrints();
    void addDialogs();
    std::unique_ptr<QWidget> makePreview();

    ProgramContext* context_;
    QList<CatalogueWindow> windows_;
    std::shared_ptr<data::RunSequence> sequence_;
    std::unique_ptr<SolutionChooser> chooser_;
    std::unique_ptr<ReportViewer> viewer_;
    std::unique_ptr<reports::ReportLayout> layout_;
    QPrinter printer_;
};

}  // namespace taktirio::gui::testing
