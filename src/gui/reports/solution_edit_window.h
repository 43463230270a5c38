#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "common/window.h"
#include "edit/timetable_edit.h"
#include "load/page_against_school.h"
#include "run/run_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QUndoStack;

namespace taktirio::gui {

struct ProgramContext;
class SolutionChooser;

inline constexpr char kSolutionEditCaption[] = "Διόρθωση λύσης";

// Asks where a changed solution is saved. The window takes one of these so
// that tests answer without a modal file dialog.
class SaveNameChooser {
  public:
    virtual ~SaveNameChooser() = default;
    // The chosen path, starting from `suggested`; empty when cancelled.
    virtual QString ChooseSaveName(QWidget* parent, const QString& suggested) = 0;
};

// The program's save choice: a file dialog showing SOLUTION*.htm pages.
SaveNameChooser& DefaultSaveNameChooser();

// Hand changes to a found solution. The chosen page is read and judged
// against the school off the window's thread, under the run options the user
// gives (the page does not record them); a page of another school, or one
// that breaks a rule, is refused with verify's reasons. Then one class
// section's week shows at a time, days by hours, with the pinned lessons
// marked, and beside it the week and gaps of the teacher of the selected
// cell. A lesson is picked, then the cell it should go to (a click, or Enter
// on the cell): the window shows the exchange that takes it there keeping
// every rule, its cells highlighted in every class section and the gaps
// before and after, or in its own panel why no exchange can. Applied
// exchanges are undone and redone (Ctrl+Z, Ctrl+Y); the changed solution is
// saved as a new page, verified before it is written, never over the page
// it came from without asking.
class SolutionEditWindow : public Window {
    Q_OBJECT

  public:
    // `chooser` and `save_chooser` default to the file dialogs.
    SolutionEditWindow(ProgramContext* context, QWidget* parent = nullptr,
                       SolutionChooser* chooser = nullptr, SaveNameChooser* save_chooser = nullptr);
    ~SolutionEditWindow() override;

    bool busy() const { return reading_; }
    // The timetable as edited so far; null before a page is open (tests).
    const ByteMatrix* timetable() const;
    // The page that was opened; empty before.
    const QString& openedPage() const { return page_path_; }

  signals:
    // A page was read: opened for editing (true) or refused (false).
    void pageRead(bool opened);

  protected:
    bool confirmClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class MoveCommand;

    QWidget* makeOptions(QWidget* parent);
    QWidget* makeClassWeek(QWidget* parent);
    QWidget* makeTeacherWeek(QWidget* parent);
    void startOptions();
    RunSettings chosenSettings() const;
    RunOptions chosenOptions() const;

    void chooseAndOpen();
    void pageReadEnded(std::shared_ptr<data::SchoolPage> read, const QString& path,
                       std::exception_ptr error);
    void optionsChanged();
    bool rulesHoldUnderOptions();
    void showClass();
    void showTeacherOfCurrentCell();
    void cellPicked(int row, int column);
    void propose(int to_slot);
    void clearProposal();
    void applyProposal();
    void refresh();
    void save();
    void saveAs();
    bool writePage(const QString& path);
    void setMessage(const QString& text, bool refusal);
    void showUndoStep(int class_section, const QString& text, bool undone);
    void setPageText(const QString& text);

    ProgramContext* context_;
    SolutionChooser* chooser_;
    SaveNameChooser* save_chooser_;

    QPushButton* choose_ = nullptr;
    QLabel* page_label_ = nullptr;
    QComboBox* max_per_day_ = nullptr;
    QCheckBox* last_hours_on_ = nullptr;
    QSpinBox* last_hours_ = nullptr;
    QCheckBox* day_hours_on_ = nullptr;
    QSpinBox* day_hours_ = nullptr;
    QCheckBox* no_single_runs_ = nullptr;
    QCheckBox* four_in_a_row_ = nullptr;
    QComboBox* class_ = nullptr;
    QTableWidget* week_ = nullptr;
    QLabel* teacher_name_ = nullptr;
    QTableWidget* teacher_week_ = nullptr;
    QLabel* teacher_gaps_ = nullptr;
    QLabel* message_ = nullptr;
    QListWidget* exchange_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* undo_button_ = nullptr;
    QPushButton* redo_button_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* save_as_ = nullptr;
    QPushButton* exit_ = nullptr;
    QUndoStack* undo_ = nullptr;

    bool reading_ = false;
    QString page_path_;
    std::shared_ptr<data::SchoolPage> school_;
    ByteMatrix timetable_;
    RunOptions options_;
    std::unique_ptr<TimetableEditor> editor_;
    bool rules_hold_ = false;
    std::optional<int> source_slot_;
    std::optional<MoveRequest> request_;
    std::optional<MoveProposal> proposal_;
};

}  // namespace taktirio::gui
