// The solving run: worker threads making attempts, one claim lock that hands
// each completed timetable its solution number and writes its page, and a
// supervising loop on the caller's thread for progress, stop and time limit.
#include "run/run_engine.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/narrow.h"
#include "common/system_errors.h"
#include "exact/exact_search.h"
#include "gaps/gap_improver.h"
#include "pages/page_errors.h"
#include "run/run_messages.h"
#include "run/solution_files.h"
#include "solver/errors.h"
#include "solver/findsolution.h"
#include "solver/random_stream.h"
#include "verify/timetable_verifier.h"

namespace taktirio {

namespace {

// Timetables compared cell by cell, looked up by a hash of their cells.
class TimetableSet {
  public:
    bool Contains(const ByteMatrix& timetable) const {
        const auto bucket = buckets_.find(Fingerprint(timetable));
        if (bucket == buckets_.end()) {
            return false;
        }
        for (const ByteMatrix& kept : bucket->second) {
            if (kept == timetable) {
                return true;
            }
        }
        return false;
    }
    // False when it was already there.
    bool Insert(const ByteMatrix& timetable) {
        if (Contains(timetable)) {
            return false;
        }
        buckets_[Fingerprint(timetable)].push_back(timetable);
        return true;
    }

  private:
    static std::uint64_t Fingerprint(const ByteMatrix& timetable) {
        std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
        for (std::size_t r = 0; r < timetable.rows(); ++r) {
            const std::uint8_t* row = timetable.row(r);
            for (std::size_t c = 0; c < timetable.cols(); ++c) {
                hash = (hash ^ row[c]) * 1099511628211ULL;
            }
        }
        return hash;
    }

    std::unordered_map<std::uint64_t, std::vector<ByteMatrix>> buckets_;
};

}  // namespace

// State shared by the workers and the supervisor, guarded by `mutex`.
struct RunEngine::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool go = false;  // the workers wait for it before their first attempt
    int next_solution = 1;
    double run_start_time = 0.0;
    double solution_start_time = 0.0;
    bool all_found = false;
    int running_workers = 0;
    struct Delivery {
        int solution = 0;
        std::string line;
        SolutionGaps gaps;
    };
    std::deque<Delivery> undelivered;  // solutions not yet reported
    std::vector<std::string> lines;
    std::vector<SolutionGaps> gaps;
    // Every timetable written: no page repeats an earlier one, whether a
    // search completed it again or a rework landed on it.
    TimetableSet written;
    int refused_reworks = 0;
    int refused_exact = 0;     // exact timetables the verifier refused: a fault, never written
    int refused_searched = 0;  // the same for the randomised search's timetables
    // Every timetable written, so that the exact search never repeats one.
    std::vector<ByteMatrix> timetables;
    bool exhausted = false;     // the exact search proved no further timetable
    std::string impossibility;  // its proof, when nothing was found
    std::exception_ptr error;
    std::exception_ptr page_error;  // a page that could not be written ends the search
    std::atomic<std::int64_t> attempts{0};
};

// One worker: its own context (a copy of the options and rule tables, its own
// stop flag), its own random stream and, per attempt, its own solver object.
// As the context's writer it claims the next solution number for each
// timetable its attempts complete. What its attempts saw is added up in its own
// evidence, which the engine reads only once the thread has been joined.
class RunEngine::Worker : public SolutionWriter {
  public:
    Worker(RunEngine& engine, Shared& shared, const RunContext& prepared, std::uint64_t seed,
           int number)
        : engine_(engine),
          number_(number),
          shared_(shared),
          random_(seed),
          evidence_(SearchEvidence::Sized(engine.inputs_.number_of_classes,
                                          engine.inputs_.number_of_teachers)) {
        context_.options = prepared.options;
        context_.rules = prepared.rules;
        context_.index = prepared.index;
        context_.clock = engine.clock_;
        context_.solutions_requested = engine.parameters_.solutions_requested;
        context_.writer = this;
        if (context_.options.fewer_gaps) {
            // The improver's stream is drawn from the worker's own, so a run
            // with one thread and a given seed stays reproducible.
            improver_ =
                std::make_unique<GapImprover>(engine.inputs_, context_.options, context_.rules,
                                              context_.index, engine.people_, random_.Split());
            context_.improve_timetable = [this](ByteMatrix& timetable) {
                return Rework(timetable);
            };
        }
    }

    void Start(const ThreadStarter& starter) {
        if (starter) {
            thread_ = starter([this] { Loop(); });
        } else {
            thread_ = std::thread([this] { Loop(); });
        }
    }
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    void Stop() { context_.stop_requested.store(true, std::memory_order_relaxed); }
    // Only after Join: the worker's thread writes it without a lock.
    const SearchEvidence& evidence() const { return evidence_; }

    void WriteSolution(const Tfindsolution& solution, const RunContext& /*context*/) override {
        std::lock_guard<std::mutex> lock(shared_.mutex);
        if (shared_.all_found || shared_.page_error) {
            return;  // not needed, or a page before it could not be written
        }
        SolutionGaps gaps;
        gaps.searched = CountGaps(solution.searched_timetable(), engine_.inputs_.number_of_classes,
                                  engine_.people_)
                            .summary;
        if (improver_ != nullptr) {
            KeepDistinct(solution);
        }
        // Every timetable is judged as a finished one before its page is
        // written, whichever engine made it: one the verifier refuses is a
        // fault of that engine, counted and never written.
        if (!VerifyTimetable(engine_.inputs_, context_.options, context_.rules,
                             solution.timetable(), VerifyMode::kFinished)
                 .empty()) {
            ++shared_.refused_searched;
            repeated_ = true;  // an attempt without a timetable
            return;
        }
        if (shared_.written.Contains(solution.timetable())) {
            // Found again: no new solution, and an attempt that failed as far
            // as handing over to the exact search goes.
            repeated_ = true;
            return;
        }
        gaps.written =
            CountGaps(solution.timetable(), engine_.inputs_.number_of_classes, engine_.people_)
                .summary;
        const int n = shared_.next_solution;
        const double now = context_.clock();
        context_.current_solution = n;
        context_.solution_start_time = shared_.solution_start_time;
        context_.solution_time_text = Tfindsolution::ElapsedText(now, shared_.solution_start_time);
        try {
            engine_.writer_.WriteSolution(solution, context_);
        } catch (const PageWriteError&) {
            // The pages so far stay 1 to n - 1: the search ends with its summary.
            shared_.page_error = std::current_exception();
            engine_.StopWorkersLocked();
            shared_.changed.notify_all();
            return;
        }

        const std::string line =
            SolutionLine(n, context_.solution_time_text,
                         Tfindsolution::ElapsedText(now, shared_.run_start_time));
        shared_.written.Insert(solution.timetable());
        shared_.lines.push_back(line);
        shared_.gaps.push_back(gaps);
        if (engine_.parameters_.engines != SearchEngines::kRandom) {
            shared_.timetables.push_back(solution.timetable());
        }
        shared_.undelivered.push_back({n, line, gaps});
        shared_.next_solution = n + 1;
        shared_.solution_start_time = now;
        if (n >= engine_.parameters_.solutions_requested) {
            shared_.all_found = true;
            engine_.StopWorkersLocked();
        }
        shared_.changed.notify_all();
    }

  private:
    // Reworks a completed timetable toward fewer gaps. The verifier judges the
    // result as a finished timetable; one it refuses is a fault of the rework
    // and is dropped, so that the searched timetable is written instead.
    bool Rework(ByteMatrix& timetable) {
        if (keep_searched_) {
            return false;
        }
        if (!improver_->Improve(timetable, context_.stop_requested)) {
            return false;
        }
        if (!VerifyTimetable(engine_.inputs_, context_.options, context_.rules, timetable,
                             VerifyMode::kFinished)
                 .empty()) {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            ++shared_.refused_reworks;
            return false;
        }
        return true;
    }

    // Called with the shared lock held. A reworked timetable identical to one
    // already written gives way to the searched one, so that reworking never
    // turns two solutions into copies of each other.
    void KeepDistinct(const Tfindsolution& solution) {
        if (shared_.written.Contains(solution.timetable()) && current_ != nullptr &&
            &solution == current_) {
            current_->KeepSearchedTimetable();
        }
    }

    void Loop() {
        {
            std::unique_lock<std::mutex> lock(shared_.mutex);
            shared_.changed.wait(lock, [this] { return shared_.go; });
        }
        const SearchEngines engines = engine_.parameters_.engines;
        // With both engines and two threads or more, the last worker runs the
        // exact search from the first moment while the others draw; with one
        // thread the worker hands over to it after failed attempts.
        const int workers = std::max(1, engine_.parameters_.threads);
        const bool exact_from_start = engines == SearchEngines::kBoth && workers >= 2;
        bool exact = (engines == SearchEngines::kExact && number_ == 0) ||
                     (exact_from_start && number_ == workers - 1);
        const bool searches = engines != SearchEngines::kExact || number_ == 0;
        int failed_in_a_row = 0;
        try {
            while (searches && !context_.stop_requested.load(std::memory_order_relaxed)) {
                if (exact) {
                    if (!ExactStep()) {
                        break;
                    }
                    continue;
                }
                Tfindsolution solver(context_, random_, engine_.inputs_);
                current_ = &solver;
                repeated_ = false;
                const bool completed = solver.Search() && !repeated_;
                current_ = nullptr;
                evidence_.Merge(solver.evidence());
                shared_.attempts.fetch_add(1, std::memory_order_relaxed);
                failed_in_a_row = completed ? 0 : failed_in_a_row + 1;
                exact = engines == SearchEngines::kBoth && !exact_from_start && number_ == 0 &&
                        failed_in_a_row >= kRandomAttemptsBeforeExact;
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            if (!shared_.error) {
                shared_.error = std::current_exception();
            }
            engine_.StopWorkersLocked();
        }
        std::lock_guard<std::mutex> lock(shared_.mutex);
        --shared_.running_workers;
        shared_.changed.notify_all();
    }

    // One call of the exact search, within a budget of conflicts so that a
    // stop or the time limit is heard: false when it proved that no further
    // timetable exists, which ends the run.
    bool ExactStep() {
        if (!exact_) {
            try {
                const std::uint64_t seed = random_.Split();
                exact_ = std::make_unique<exact::ExactSearch>(engine_.inputs_, context_.rules,
                                                              context_.options, context_.index,
                                                              seed, &context_.stop_requested);
                exact_->StartFrom(FurthestPartialTimetable(
                    engine_.inputs_, context_.rules, context_.options, context_.index,
                    seed ^ kGuideSeed, exact::kGuideAttempts, &context_.stop_requested));
            } catch (const exact::EncodingStopped&) {
                return true;  // the stop ends the worker's loop
            }
        }
        {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            for (; blocked_ < shared_.timetables.size(); ++blocked_) {
                exact_->Block(shared_.timetables[blocked_]);
            }
        }
        const exact::ExactLimits limits{kExactConflictsPerStep, &context_.stop_requested};
        ByteMatrix timetable;
        switch (exact_->Next(limits, timetable)) {
            case exact::ExactOutcome::kTimetable: {
                // Judged as a finished timetable before its page is written,
                // as a reworked one is; one the verifier refuses is a fault
                // of the encoding, counted and never written.
                if (!VerifyTimetable(engine_.inputs_, context_.options, context_.rules, timetable,
                                     VerifyMode::kFinished)
                         .empty()) {
                    std::lock_guard<std::mutex> lock(shared_.mutex);
                    ++shared_.refused_exact;
                    return true;
                }
                // Next has blocked it; its page may show its rework instead.
                returned_.push_back(timetable);
                Tfindsolution solver(context_, random_, engine_.inputs_);
                current_ = &solver;
                solver.CompleteWith(std::move(timetable));
                current_ = nullptr;
                return true;
            }
            case exact::ExactOutcome::kUnknown:
                return true;
            case exact::ExactOutcome::kNone:
                break;
        }
        if (!WriteReturnedAsTheyAre()) {
            return false;  // all found, stopped, or a page not written: no proof to claim
        }
        bool none_found = false;
        {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            none_found = shared_.lines.empty();
        }
        const std::string proof =
            none_found ? exact_->Explain({exact::kProofConflicts, &context_.stop_requested}).message
                       : std::string();
        std::lock_guard<std::mutex> lock(shared_.mutex);
        shared_.exhausted = true;
        shared_.impossibility =
            proof.empty() && none_found ? std::string(exact::kProvenImpossibleMessage) : proof;
        engine_.StopWorkersLocked();
        shared_.changed.notify_all();
        return false;
    }

    // The proof covers what was written and every timetable the exact search
    // returned, blocked as it was returned. One whose page shows a rework
    // toward fewer gaps is not on any page yet: each such one is written now
    // as it is, so that "none further" holds for the pages themselves. False
    // when they could not all be written (enough solutions, a stop, a page
    // error).
    bool WriteReturnedAsTheyAre() {
        std::vector<ByteMatrix> unwritten;
        {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            for (const ByteMatrix& timetable : returned_) {
                if (!shared_.written.Contains(timetable)) {
                    unwritten.push_back(timetable);
                }
            }
        }
        keep_searched_ = true;
        for (ByteMatrix& timetable : unwritten) {
            if (context_.stop_requested.load(std::memory_order_relaxed)) {
                break;
            }
            Tfindsolution solver(context_, random_, engine_.inputs_);
            current_ = &solver;
            solver.CompleteWith(std::move(timetable));
            current_ = nullptr;
        }
        keep_searched_ = false;
        std::lock_guard<std::mutex> lock(shared_.mutex);
        if (shared_.all_found || shared_.page_error) {
            return false;
        }
        for (const ByteMatrix& timetable : returned_) {
            if (!shared_.written.Contains(timetable)) {
                return false;
            }
        }
        return true;
    }

    // Conflicts of one call: about a tenth of a second of a school of 15
    // class sections, so that a stop is heard between calls as well.
    static constexpr std::int64_t kExactConflictsPerStep = 20000;
    // Draws the attempts the exact search starts from, apart from the
    // worker's own stream.
    static constexpr std::uint64_t kGuideSeed = 0x2545f4914f6cdd1dULL;

    RunEngine& engine_;
    const int number_;  // 0: the worker that may turn to the exact search
    std::unique_ptr<exact::ExactSearch> exact_;
    std::size_t blocked_ = 0;           // timetables of shared_.timetables already blocked
    std::vector<ByteMatrix> returned_;  // every timetable the exact search returned and verified
    bool keep_searched_ = false;        // writing returned timetables without a rework
    Shared& shared_;
    RunContext context_;
    RandomStream random_;
    SearchEvidence evidence_;
    std::unique_ptr<GapImprover> improver_;  // only with fewer gaps
    Tfindsolution* current_ = nullptr;       // the attempt under way, for KeepDistinct
    bool repeated_ = false;  // the attempt under way completed a timetable already written
    std::thread thread_;
};

RunEngine::RunEngine(const SolverInputs& inputs, const RuleTables& rules, RunParameters parameters,
                     SolutionWriter& writer, RunObserver* observer)
    : inputs_(inputs),
      rules_(rules),
      parameters_(std::move(parameters)),
      writer_(writer),
      observer_(observer) {}

RunEngine::~RunEngine() {
    StopWorkersLocked();
    for (auto& worker : workers_) {
        worker->Join();
    }
}

void RunEngine::Stop() {
    stop_requested_.store(true);
    std::lock_guard<std::mutex> lock(workers_mutex_);
    for (auto& worker : workers_) {
        worker->Stop();
    }
}

void RunEngine::StopWorkersLocked() {
    std::lock_guard<std::mutex> lock(workers_mutex_);
    for (auto& worker : workers_) {
        worker->Stop();
    }
}

// Starts every worker; they wait for `shared.go`. A thread the system refuses
// ends the start: the workers already started are stopped and joined.
void RunEngine::StartWorkers(Shared& shared, const RunContext& prepared) {
    const int count = parameters_.threads < 1 ? 1 : parameters_.threads;
    int started = 0;
    std::string failure;
    {
        RandomStream seeds(parameters_.seed);
        std::lock_guard<std::mutex> lock(workers_mutex_);
        try {
            for (int i = 0; i < count; ++i) {
                workers_.push_back(
                    std::make_unique<Worker>(*this, shared, prepared, seeds.Split(), i));
            }
            for (auto& worker : workers_) {
                if (stop_requested_.load()) {
                    worker->Stop();
                }
                worker->Start(thread_starter_);
                ++started;
            }
        } catch (const std::system_error& error) {
            failure = SystemErrorText(error.code());
        } catch (const std::bad_alloc&) {
            failure = SystemErrorText(ENOMEM);
        } catch (const std::exception&) {
            failure = "το σύστημα δεν ξεκίνησε το νήμα";
        }
    }
    if (!failure.empty()) {
        AbandonWorkers(shared);
        throw RunStartError("Δεν ήταν δυνατό να ξεκινήσει η αναζήτηση λύσεων: ξεκίνησαν " +
                            std::to_string(started) + " από τα " + std::to_string(count) +
                            " νήματα εκτέλεσης (" + failure + ").");
    }
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.running_workers = started;
}

// Stops the workers before their first attempt and joins them.
void RunEngine::AbandonWorkers(Shared& shared) {
    StopWorkersLocked();
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.go = true;
    }
    shared.changed.notify_all();
    std::lock_guard<std::mutex> lock(workers_mutex_);
    for (auto& worker : workers_) {
        worker->Join();
    }
    workers_.clear();
}

RunSummary RunEngine::Run() {
    people_ = PeopleOfTeachers(inputs_.teacher_names, inputs_.number_of_teachers);
    RunContext prepared;
    prepared.options = parameters_.options;
    prepared.rules = rules_;
    if (parameters_.prepared_index) {
        // Refused here, before the directory and `before_search`, rather than
        // by the first solver object once the previous pages are gone.
        if (!parameters_.prepared_index->BuiltFor(inputs_.number_of_classes,
                                                  inputs_.number_of_teachers, prepared.options)) {
            throw ProblemError(
                "The prepared rule index was not built for this problem and these "
                "options.");
        }
        prepared.index = *parameters_.prepared_index;
    } else {
        PrepareSearch(inputs_, prepared);
    }
    if (!parameters_.solutions_directory.empty()) {
        std::filesystem::create_directories(parameters_.solutions_directory);
    }

    RunSummary summary;
    summary.requested = parameters_.solutions_requested;

    Shared shared;
    StartWorkers(shared, prepared);
    if (parameters_.before_search) {
        try {
            parameters_.before_search();
        } catch (...) {
            AbandonWorkers(shared);
            throw;
        }
    }
    const double run_start_time = clock_();
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.run_start_time = run_start_time;
        shared.solution_start_time = run_start_time;
        shared.go = true;
    }
    shared.changed.notify_all();
    Supervise(shared, summary);
    SearchEvidence evidence =
        SearchEvidence::Sized(inputs_.number_of_classes, inputs_.number_of_teachers);
    for (auto& worker : workers_) {
        worker->Join();
        evidence.Merge(worker->evidence());
    }
    {
        std::lock_guard<std::mutex> lock(workers_mutex_);
        workers_.clear();
    }
    if (shared.error) {
        std::rethrow_exception(shared.error);
    }

    summary.found = static_cast<int>(shared.lines.size());
    summary.lines = shared.lines;
    summary.gaps = shared.gaps;
    summary.refused_reworks = shared.refused_reworks;
    summary.refused_exact = shared.refused_exact;
    summary.refused_searched = shared.refused_searched;
    for (std::size_t i = 0; i < summary.gaps.size(); ++i) {
        if (summary.fewest_gaps_solution == 0 ||
            FewerGaps(summary.gaps[i].written,
                      summary.gaps[AsIndex(summary.fewest_gaps_solution - 1)].written)) {
            summary.fewest_gaps_solution = static_cast<int>(i) + 1;
        }
    }
    if (shared.page_error) {
        summary.end = RunEnd::kPageNotWritten;
        summary.page_error = shared.page_error;
    }
    summary.attempts = shared.attempts.load();
    summary.total_time_text = Tfindsolution::ElapsedText(clock_(), run_start_time);
    if (summary.found == summary.requested) {
        summary.end = RunEnd::kAllFound;
    } else if (shared.page_error) {
        // A page the disk refused says nothing of the search.
    } else if (shared.exhausted) {
        summary.end = RunEnd::kExhausted;
        summary.impossibility = shared.impossibility;
    } else {
        summary.evidence = std::move(evidence);
    }
    if (summary.found == 0 && !parameters_.solutions_directory.empty()) {
        summary.directory_removed = RemoveDirectoryIfEmpty(parameters_.solutions_directory);
    }
    return summary;
}

void RunEngine::Supervise(Shared& shared, RunSummary& summary) {
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    summary.end = RunEnd::kStopped;
    std::unique_lock<std::mutex> lock(shared.mutex);
    for (;;) {
        shared.changed.wait_for(lock, std::chrono::milliseconds(100));
        while (!shared.undelivered.empty()) {
            const Shared::Delivery delivery = shared.undelivered.front();
            shared.undelivered.pop_front();
            if (observer_ != nullptr) {
                lock.unlock();
                observer_->OnSolution(delivery.solution, delivery.line, delivery.gaps);
                lock.lock();
            }
        }
        if (shared.running_workers == 0) {
            break;
        }
        const bool over_time =
            parameters_.time_limit.has_value() && Clock::now() - started >= *parameters_.time_limit;
        if (over_time && !shared.all_found) {
            summary.end = RunEnd::kTimeLimit;
            StopWorkersLocked();
        }
        if (observer_ != nullptr) {
            const RunProgress progress{shared.attempts.load(),
                                       static_cast<int>(shared.lines.size()),
                                       parameters_.solutions_requested};
            lock.unlock();
            observer_->OnProgress(progress);
            lock.lock();
        }
    }
}

}  // namespace taktirio
