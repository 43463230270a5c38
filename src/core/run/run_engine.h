#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "core/gaps/teacher_gaps.h"
#include "core/run/solution_writer.h"
#include "core/solver/run_context.h"
#include "core/solver/search_evidence.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// What a run is asked to do, beyond the loaded problem.
// Which engines search: the randomised one, the exact one, or both. With
// both and two threads or more, the last worker runs the exact search from
// the first moment and the others the randomised one; with one thread the
// randomised search comes first and hands over once it keeps failing.
enum class SearchEngines { kRandom, kExact, kBoth };

// Consecutive attempts of the only worker without a timetable after which,
// with both engines, it turns to the exact search. An attempt on a school of
// 9 to 15 class sections takes about a millisecond; the exact search needs
// 0.15 to 2.5 s there under strict options (exact_bench). Easy runs complete
// a timetable within a few attempts and never reach it, so their pages stay
// those of the randomised search; a count rather than a time keeps a run of
// one thread and a given seed the same on any machine.
inline constexpr int kRandomAttemptsBeforeExact = 50;

struct RunParameters {
    RunOptions options;
    SearchEngines engines = SearchEngines::kBoth;
    int solutions_requested = 1;
    std::uint64_t seed = 0;  // every worker's random stream is drawn from it
    int threads = 1;
    std::optional<std::chrono::milliseconds> time_limit;  // none: until found or stopped
    // Created when missing. When the run finds nothing it is removed, if empty.
    std::filesystem::path solutions_directory;
    // Called on the caller's thread once every worker thread has started and
    // before the first attempt: the place for what must not happen unless the
    // run can go ahead, such as deleting the previous pages. An exception from
    // it ends the run before any attempt and leaves Run with it.
    std::function<void()> before_search;
    // The caller's stop: a stop asked through it ends the run as Stop() does,
    // whenever it comes (none given: only Stop() and the run's own ends).
    std::stop_token stop;
    // The rule index of these inputs and options when the caller has already
    // prepared the search (the checks before a search read it too); none:
    // the run prepares it itself. It must come from PrepareSearch of the
    // same inputs, rule tables and options; Run refuses (ProblemError) an
    // index built for other counts or another hours-a-day option.
    std::shared_ptr<const RuleIndex> prepared_index;
};

// The worker threads of a run could not all be started (the system refused a
// thread or its memory). Nothing was searched and `before_search` was not
// called. The text is the message to show.
class RunStartError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct RunProgress {
    std::int64_t attempts = 0;
    int found = 0;
    int requested = 0;
};

// The teacher gaps of one solution: of the timetable the search completed and
// of the one its page holds (the same without the fewer-gaps option).
struct SolutionGaps {
    GapSummary searched;
    GapSummary written;
};

// Receives a run's progress on the thread that called RunEngine::Run.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    // A few times a second while the search goes on.
    virtual void OnProgress(const RunProgress& /*progress*/) {}
    // Once per solution, in order: its number, its line "Λύση=n Χρόνος=t" and
    // its teacher gaps.
    virtual void OnSolution(int /*solution*/, const std::string& /*line*/,
                            const SolutionGaps& /*gaps*/) {}
};

// kExhausted: the exact search proved that no (further) timetable exists.
// kPageNotWritten: a page could not be written (a full disk, a file-size
// limit); the pages written before it stay and the search stopped there.
enum class RunEnd { kAllFound, kStopped, kTimeLimit, kExhausted, kPageNotWritten };

struct RunSummary {
    RunEnd end = RunEnd::kAllFound;
    int found = 0;
    int requested = 0;
    std::int64_t attempts = 0;
    std::string total_time_text;     // hours:minutes:seconds:milliseconds
    std::vector<std::string> lines;  // one per solution, in the order found
    std::vector<SolutionGaps> gaps;  // one per solution, in the order found
    int fewest_gaps_solution = 0;    // the first solution with the fewest gaps; 0: none found
    // Reworked timetables the verifier refused, whose searched timetable was
    // written instead. Anything but 0 is a fault of the rework.
    int refused_reworks = 0;
    // Timetables of the exact search the verifier refused, never written.
    // Anything but 0 is a fault of its encoding.
    int refused_exact = 0;
    // The same for the randomised search's timetables.
    int refused_searched = 0;
    bool directory_removed = false;  // nothing found and the empty directory removed
    // With kPageNotWritten: the PageWriteError naming the page and the cause.
    std::exception_ptr page_error;
    // Set by the caller that kept the previous pages aside: no page was
    // written, and they are back as they were.
    bool previous_pages_kept = false;
    // What the search saw, summed over every worker and attempt. Filled only
    // when the run ended without all its solutions (stop, time limit); empty
    // otherwise. EvidenceMessage (run_messages.h) words it for the user.
    SearchEvidence evidence;
    // With kExhausted and no solution: the proof's message, the rules and
    // options that together leave no timetable.
    std::string impossibility;
};

// Finds the requested number of solutions of one loaded problem. The search
// runs on worker threads, each with its own engine objects and its own random
// stream drawn from the run's seed. Each worker takes the timetables its engine
// offers and claims them one by one: solution n goes to the first worker that
// claims a new timetable after solution n - 1, and pages are written one at a
// time. With one thread and a given seed a run is reproducible. An engine
// runs once.
class RunEngine {
  public:
    RunEngine(const SolverInputs& inputs, const RuleTables& rules, RunParameters parameters,
              SolutionWriter& writer, RunObserver* observer = nullptr);
    ~RunEngine();
    RunEngine(const RunEngine&) = delete;
    RunEngine& operator=(const RunEngine&) = delete;

    // Checks the problem (ProblemError), creates the solutions directory,
    // starts the workers (RunStartError when one cannot be started), calls
    // `before_search`, and searches until every solution is found, Stop is
    // called or the time limit passes. A page that cannot be written
    // (PageWriteError) ends the search with its summary (kPageNotWritten); no
    // later solution is written, so the pages are 1 to `found`. Any other
    // error of the search or of the writer ends the run and is rethrown here
    // once every worker has stopped; pages already written stay.
    RunSummary Run();

    // Asks the run to stop: each worker returns at its next draw. Safe from any
    // thread, before or during Run.
    void Stop() { stop_.request_stop(); }

    // The clock the run reads (time of day, fraction of a day); for tests.
    void SetClock(std::function<double()> clock) { clock_ = std::move(clock); }

    // How a worker thread is started; for tests that make it fail.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;
    void SetThreadStarter(ThreadStarter starter) { thread_starter_ = std::move(starter); }

  private:
    struct Shared;
    class Worker;

    void StartWorkers(Shared& shared, const RunContext& prepared);
    void AbandonWorkers(Shared& shared);
    void Supervise(Shared& shared, RunSummary& summary);

    const SolverInputs& inputs_;
    const RuleTables& rules_;
    RunParameters parameters_;
    SolutionWriter& writer_;
    RunObserver* observer_;
    std::function<double()> clock_ = TimeOfDayNow;
    ThreadStarter thread_starter_;
    // The run's one stop, heard by every worker and both engines: asked by
    // Stop(), the caller's token, the time limit, the last solution, a page
    // not written, a proof or an error.
    std::stop_source stop_;
    std::vector<std::unique_ptr<Worker>> workers_;  // only the caller's thread touches it
    TeacherPeople people_;                          // whose gaps are counted; set by Run
};

}  // namespace taktirio
