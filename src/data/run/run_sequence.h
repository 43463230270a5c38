#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "core/gaps/teacher_gaps.h"
#include "core/run/run_engine.h"
#include "core/run/run_settings.h"
#include "data/checks/presolve.h"
#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/load/problem_loader.h"
#include "data/shell/program_lock.h"
#include "data/shell/startup.h"

namespace taktirio::data {

// How far the way into a run has come. The first three values are the ones
// the menu command, the requested-solutions dialog and the preparation window
// share; loading adds the fourth.
enum class RunStage {
    kNothingAccepted = 0,  // nothing stored yet (the checks may have passed)
    kRequestedStored = 1,  // the requested number of solutions is stored
    kPrepared = 2,         // the working copy was rebuilt completely
    kLoaded = 3,           // the problem is loaded and a search may start
};

// The long pieces of work a listener is told about.
enum class RunWork { kPreparation, kLoading, kSearch };

// Hears a run's progress on the thread that does the work. The windows turn
// these calls into queued signals; the command-line tool prints them.
class RunListener {
  public:
    virtual ~RunListener() = default;
    // Step `step` of `total` of `work` is done; in the search, `step`
    // solutions of `total` are found. False asks the run to stop: the
    // preparation and the loading are undone, the search ends with its summary.
    virtual bool Progress(RunWork /*work*/, int /*step*/, int /*total*/) { return true; }
    // Told just before each Progress of the search: the attempts made so far.
    virtual void Attempts(std::int64_t /*attempts*/) {}
    // The worker threads run and the previous pages, if asked, are deleted.
    virtual void SearchStarted(std::uint64_t /*seed*/, int /*threads*/) {}
    // A solution was found and its page written: its number, its line and its
    // teacher gaps.
    virtual void Solution(int /*solution*/, const std::string& /*line*/,
                          const SolutionGaps& /*gaps*/) {}
    // Asked when the solutions folder holds previous pages and the request
    // did not consent to deleting them; the folder is named. Without an
    // answer the pages stay and the search does not start.
    enum class Consent { kGiven, kRefused, kStop };
    virtual Consent ConsentToDeletePrevious(const std::filesystem::path& /*folder*/) {
        return Consent::kRefused;
    }
};

// A stop asked before the search began: the previous working copy is as it
// was and no previous page was deleted.
class RunStoppedError : public DataError {
  public:
    using DataError::DataError;
};

// Numbers of a run that lie outside their ranges: `message()` is
// kInvalidValuesMessage. Raised before anything is changed.
class RunRefusedError : public DataError {
  public:
    using DataError::DataError;
};

// Why a loaded school cannot be searched, found before any page is deleted:
// a name its pages cannot hold, or the reasons the checks before a search
// found under the run's options. `message()` is the text to show.
class SearchRefusedError : public DataError {
  public:
    using DataError::DataError;
};

// The solutions folder cannot take new pages; nothing was deleted.
class SolutionsFolderError : public DataError {
  public:
    using DataError::DataError;
};

// The previous pages were not to be deleted, so the search did not start.
class PreviousPagesKeptError : public DataError {
  public:
    using DataError::DataError;
};

// The message of RunStoppedError.
inline constexpr char kStoppedBeforeSearchMessage[] =
    "Η διαδικασία διακόπηκε πριν την αναζήτηση λύσεων.\r"
    "Τα δεδομένα έμειναν όπως ήταν και οι προηγούμενες λύσεις δεν διαγράφηκαν.";

// The largest values of the numeric options that have no range of their own.
inline constexpr int kMostThreads = 256;
inline constexpr double kMostTimeLimitSeconds = 30.0 * 24.0 * 3600.0;  // 30 days

// What one search is asked for.
struct SearchRequest {
    RunSettings settings;
    std::optional<std::uint64_t> seed;  // none: drawn from the system
    int threads = 0;                    // 0: every core
    std::optional<double> time_limit_seconds;
    bool delete_previous = false;  // consent to delete the previous pages
    // The checks before a search are necessary conditions of a timetable;
    // false searches even when one of them finds a reason (should a check
    // ever be wrong, the search still has the last word).
    bool check_timetable_possible = true;
    // The randomised search, the exact one, or both (the randomised first).
    SearchEngines engines = SearchEngines::kBoth;
};

// True when every number of the request lies in its range.
bool SearchRequestValid(const SearchRequest& request);

// What the run window shows of the school: its working copy's SCHOOLS row.
struct WorkingSchool {
    QString name;
    QString responsible;
    int solutions_requested = 1;
};

// What an error a stage of the run raised means to its user: one text for
// the windows and the tool alike, and what kind of failure it is, which the
// tool turns into its exit code and the run window into staying open.
struct RunFailure {
    enum class Kind {
        kStopped,         // a stop before the search; nothing changed
        kInvalidValues,   // numbers of the run out of their ranges
        kSearchRefused,   // the checks before a search, names the pages cannot hold
        kContradictory,   // data the preparation, the loading or the solver refused
        kPreviousKept,    // the previous pages were not to be deleted
        kPageNotDeleted,  // a previous page that cannot be deleted
        kCannotRun,       // a folder, file, database or thread that cannot be used
    };
    Kind kind = Kind::kCannotRun;
    QString message;     // the text for the user
    std::string detail;  // a technical line the tool prints under it; may be empty
};
RunFailure DescribeRunFailure(std::exception_ptr error);

// The message alone.
QString RunFailureMessage(std::exception_ptr error);

// True when the run's failure left the previous pages and the window may
// offer a new search (a stop, a refusal before the search).
bool LeavesPreviousPages(RunFailure::Kind kind);

// The options of the run whose pages a solutions folder holds, kept by every
// run that writes a page, so that the solution editor starts from them:
// SOLUTIONS/.<user>.run-options, a hidden file beside the folder, which holds
// pages and nothing else. Nothing when there are none or they cannot be read.
std::filesystem::path KeptRunSettingsPath(const std::filesystem::path& folder);
std::optional<RunSettings> KeptRunSettings(const std::filesystem::path& folder);
// Written through a temporary file renamed into place; false when it could
// not be written, which leaves the pages as they are.
bool KeepRunSettings(const std::filesystem::path& folder, const RunSettings& settings);

// The way into a run, for the windows and the command-line tool alike: the
// checks, the requested number, the working copy, the loading and the search,
// in that order, each stage opening its own database connections on the
// thread that calls it. One listener hears every step and may stop any of
// them; Stop() does the same from any thread.
//
// The program directory's lock, once taken by Lock(), is held until the object
// goes, so that no other writer touches the working copy or the solutions
// folder between the preparation and the last page.
class RunSequence {
  public:
    explicit RunSequence(ProgramPaths paths, RunListener* listener = nullptr);
    RunSequence(const RunSequence&) = delete;
    RunSequence& operator=(const RunSequence&) = delete;
    ~RunSequence();

    // The listener hears the stages that start after this call; none: silence.
    void SetListener(RunListener* listener) {
        listener_ = listener != nullptr ? listener : &silent_;
    }

    RunStage stage() const { return stage_.load(); }
    const ProgramPaths& paths() const { return paths_; }
    // The logged-in school's user name, known after Check().
    const QString& school() const { return school_; }

    // Takes the program directory's lock (ProgramLockError when another
    // operation holds it).
    void Lock();
    bool IsLocked() const { return lock_.IsLocked(); }

    // Logs the school in and counts its data; the stage goes back to 0.
    // DatabaseError when the entry database cannot be read.
    DataProblem Check();

    // Stores the requested number of solutions in the entry database (1..254,
    // EntryRefusedError otherwise); stage 1. A stop before the search puts
    // the number stored before back (RunStoppedError says the data stayed as
    // they were); once the search has started, the new number stays.
    void StoreRequestedSolutions(int solutions);

    // Rebuilds the working copy in one transaction; stage 2. A stop or a
    // failure leaves the previous copy (RunStoppedError, PreparationError,
    // DatabaseError).
    void Prepare();

    // Loads the prepared copy; stage 3. RunStoppedError after a stop,
    // ProblemLoadError, DatabaseError.
    void Load();
    const LoadedProblem& problem() const { return problem_; }
    // The people behind the loaded problem's teachers (a pair is its two
    // members), whose gaps a run counts; set by Load().
    const TeacherPeople& people() const { return people_; }

    // The school's row of the working copy (DatabaseError when it is missing).
    WorkingSchool ReadWorkingSchool();

    // SOLUTIONS/<user name> of the program directory.
    std::filesystem::path SolutionsFolder() const;
    bool HasPreviousPages() const;

    // Searches the loaded problem. First, in this order, what would stop a
    // search before any page is deleted: numbers out of range
    // (RunRefusedError); a name the pages cannot hold, or the reasons the
    // checks before a search find under the request's options, unless the
    // request skips them (SearchRefusedError); a folder that cannot take new
    // pages, or that is a symbolic link (SolutionsFolderError; it is created
    // when missing); then the pages a killed run left aside are put back (or
    // removed, when that run had written its first page), and the previous
    // pages, when the request does not consent to deleting them, go only with
    // the listener's consent (PreviousPagesKeptError, or RunStoppedError when
    // it asks to stop). Once every worker thread has started the previous
    // pages are moved aside, all or none (PageDeleteError names a page that
    // cannot go, and every page stays); they are deleted when the first new
    // page is written, and put back when the run writes none
    // (`previous_pages_kept`). A stop before the search raises
    // RunStoppedError; a stop during the search ends it with its summary, and
    // so does a page that cannot be written (RunEnd::kPageNotWritten). The
    // engine's other errors (ProblemError, RunStartError, …) go on as they
    // are.
    RunSummary Search(const SearchRequest& request);

    // Asks the running stage to stop; safe from any thread.
    void Stop();
    bool StopRequested() const { return stop_.stop_requested(); }
    // Forgets an earlier stop, before a new search in the same window: only
    // while no stage runs, since it replaces the stop every stage hears.
    void ClearStop() { stop_ = std::stop_source(); }

  private:
    class EngineObserver;
    RunSummary SearchLoaded(const SearchRequest& request);
    void StopIfAsked() const;
    // After a stop before the search: the requested number as it was before
    // this sequence stored its own. Throws RunStoppedError with a message
    // that says so when it cannot be put back.
    void PutBackRequestedSolutions();
    void RefuseWhatStopsTheSearch(const SearchRequest& request);
    const QString& LoggedInSchool(const QSqlDatabase& entry);
    // The entry or working database for one stage. On the thread that made
    // the sequence, the sequence's own connection, opened (and its file
    // checked) once for every stage; a connection belongs to the thread that
    // opened it, so a stage on another thread opens one of its own in `own`.
    const QSqlDatabase& Entry(std::optional<Database>& own);
    const QSqlDatabase& Working(std::optional<Database>& own);
    const QSqlDatabase& Connection(const QString& path, std::optional<Database>& shared,
                                   std::optional<Database>& own);
    StepProgress StepsOf(RunWork work);

    ProgramPaths paths_;
    std::thread::id home_thread_;
    std::optional<Database> entry_;
    std::optional<Database> working_;
    std::atomic<RunListener*> listener_;
    RunListener silent_;
    ProgramLock lock_;
    QString school_;
    std::optional<int> requested_before_;  // until the search starts
    LoadedProblem problem_;
    TeacherPeople people_;
    std::shared_ptr<const RuleIndex> prepared_index_;  // of the last search's options
    std::atomic<RunStage> stage_{RunStage::kNothingAccepted};
    // The sequence's one stop: each stage asks it, and the search hears it
    // through the engine's token.
    std::stop_source stop_;
};

}  // namespace taktirio::data
