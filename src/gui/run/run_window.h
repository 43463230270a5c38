#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <memory>

#include "core/run/run_engine.h"
#include "core/run/run_settings.h"
#include "gui/common/window.h"

class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace taktirio::data {
class RunSequence;
struct SearchRequest;
}  // namespace taktirio::data

namespace taktirio::gui {

struct ProgramContext;
class QueuedRunListener;
class RunOptionsBox;

// Shown when an option makes the search slower: a school it leaves without a
// timetable is proven so, or the run ends at its time limit or its stop.
inline constexpr char kSlowOptionMessage[] =
    "Η επιλογή αυτή απαιτεί περισσότερο χρόνο για την εξεύρεση λύσης. Αν δεν υπάρχει λύση με "
    "την επιλογή αυτή, το πρόγραμμα το αποδεικνύει και το λέει· αλλιώς η διαδικασία σταματά "
    "στο χρονικό όριο, όπου έχει δοθεί, ή όταν τη διακόψεις.";
inline constexpr char kRunWindowCaption[] =
    "TAKTIRIO by MERIDON SOFTWARE DEVELOPMENT - Υπολογισμός Λύσεων";

// TForm1: the run's options, the start and stop buttons, the solutions as
// they are found and the summary. Loading and the search run off the window's
// thread (the search on the engine's workers); their news comes as queued
// signals, so the window can be moved, repainted and stopped throughout. It
// never closes while a worker is still at work: closing during a run asks the
// stop question first and closes once the run has ended.
class RunWindow : public Window {
    Q_OBJECT

  public:
    RunWindow(ProgramContext* context, std::shared_ptr<data::RunSequence> sequence,
              QWidget* parent = nullptr);
    ~RunWindow() override;

    bool running() const { return worker_ != nullptr; }

    // Whether a search first runs the checks that can tell why the school has
    // no timetable (on by default). Off lets the search have the last word;
    // tests of a search that never ends turn them off.
    void setCheckTimetablePossible(bool on) { check_timetable_possible_ = on; }
    // The engines of the next run (both unless a test asks otherwise, e.g.
    // the randomised one alone for a search without end).
    void setSearchEngines(SearchEngines engines) { engines_ = engines; }

    // The settings the last search was asked with.
    const RunSettings& lastRunSettings() const { return last_settings_; }

  signals:
    // A run ended and the window is idle again (after its messages).
    void runEnded();

  protected:
    bool confirmClose() override;

  private:
    QWidget* createSchool();
    QWidget* createOptions();
    QWidget* createResults();
    QLayout* createSolutionLists(QWidget* box);
    QLayout* createButtons();
    void showSchool();
    void showPreviousButton();

    void Button1Click();
    void Button3Click();
    void Button4Click();

    std::optional<RunSettings> readSettings() const;
    void setRunning(bool running);
    void showSearchStarted();
    void showSearchProgress(int found, int requested, qint64 attempts);
    void showSolutions(const QStringList& lines, const QList<SolutionGaps>& gaps,
                       int last_solution);
    void finish(std::exception_ptr error, const RunSummary& summary);
    void showEnd(const RunSummary& summary);
    void openFolder();
    void slowOptionMessage();

    ProgramContext* context_;
    std::shared_ptr<data::RunSequence> sequence_;
    QueuedRunListener* listener_;
    QPointer<QThread> worker_;
    bool close_after_run_ = false;
    bool end_shown_ = false;  // the last run's end stays shown until the next starts
    bool check_timetable_possible_ = true;
    SearchEngines engines_ = SearchEngines::kBoth;
    int requested_ = 0;
    RunSettings last_settings_;

    QLabel* school_ = nullptr;
    QLabel* responsible_ = nullptr;
    QLineEdit* solutions_ = nullptr;
    QLabel* attempts_label_ = nullptr;
    QLineEdit* attempts_ = nullptr;
    RunOptionsBox* options_ = nullptr;
    QCheckBox* fewer_gaps_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* exit_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* stop_ = nullptr;
    QListWidget* list_ = nullptr;
    QListWidget* gaps_list_ = nullptr;  // beside list_, row for row
    QLabel* fewest_ = nullptr;
    QLabel* progress_text_ = nullptr;
    QLabel* found_label_ = nullptr;
    QLabel* found_ = nullptr;
    // The search at work: time passed and attempts, also before any solution.
    QLabel* search_progress_ = nullptr;
    QElapsedTimer search_clock_;
    QProgressBar* gauge_ = nullptr;
};

}  // namespace taktirio::gui
