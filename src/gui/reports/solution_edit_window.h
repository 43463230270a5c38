#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "core/edit/edit_session.h"
#include "core/run/run_settings.h"
#include "data/load/page_against_school.h"
#include "gui/common/window.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace taktirio::gui {

struct ProgramContext;
class RunOptionsBox;
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
// it came from without asking. The window shows an EditSession, which holds
// the timetable, the pick, the proposal and the steps to undo and redo.
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
    QWidget* makeOptions(QWidget* parent);
    QWidget* makeClassWeek(QWidget* parent);
    QWidget* makeTeacherWeek(QWidget* parent);
    void startOptions();
    // The options as set, when RunSettingsValid takes them.
    std::optional<RunOptions> chosenOptions() const;

    void chooseAndOpen();
    void pageReadEnded(std::shared_ptr<data::SchoolPage> read, std::unique_ptr<EditSession> session,
                       const QString& path, std::exception_ptr error);
    void optionsChanged();
    bool judgeUnderOptions(const RunOptions& options);
    bool editable() const;
    bool changed() const;
    void showClass();
    void showTeacherOfCurrentCell();
    void cellPicked(int row, int column);
    void showProposal();
    void clearExchange();
    void applyProposal();
    void undo();
    void redo();
    void showStep(const EditStep& step, bool undone);
    void refresh();
    void save();
    void saveAs();
    bool writePage(const QString& path);
    void setMessage(const QString& text, bool refusal);
    void setPageText(const QString& text);

    ProgramContext* context_;
    SolutionChooser* chooser_;
    SaveNameChooser* save_chooser_;

    QPushButton* choose_ = nullptr;
    QLabel* page_label_ = nullptr;
    RunOptionsBox* options_ = nullptr;
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

    bool reading_ = false;
    bool options_valid_ = true;
    QString page_path_;
    // The school and page the session edits; the session refers to them.
    std::shared_ptr<data::SchoolPage> school_;
    std::unique_ptr<EditSession> session_;
};

}  // namespace taktirio::gui
