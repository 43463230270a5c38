// The solving run: worker threads taking the timetables their engines offer,
// one claim that judges each, refuses a repeat, hands it its solution number
// and writes its page under one lock, one stop heard by every worker and both
// engines, and a supervising loop on the caller's thread for progress, stop
// and time limit.
#include "core/run/run_engine.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <stop_token>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/common/narrow.h"
#include "core/common/system_errors.h"
#include "core/exact/exact_search.h"
#include "core/gaps/gap_improver.h"
#include "core/pages/page_errors.h"
#include "core/run/run_messages.h"
#include "core/run/solution_files.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/random_stream.h"
#include "core/verify/timetable_verifier.h"

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

// The furthest partial timetable the randomised workers of a run reached so
// far: the attempt that placed the most cells, every rule holding on them. An
// exact search made while they draw starts from it instead of drawing
// attempts of its own, so that its guide costs it nothing.
class SharedGuide {
  public:
    void Offer(const ByteMatrix& partial) {
        const int placed = PlacedCells(partial);
        std::lock_guard<std::mutex> lock(mutex_);
        if (placed > placed_) {
            placed_ = placed;
            furthest_ = partial;
        }
    }
    // Empty before the first attempt has ended.
    ByteMatrix Furthest() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return furthest_;
    }

  private:
    mutable std::mutex mutex_;
    ByteMatrix furthest_;
    int placed_ = -1;
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
    SharedGuide guide;  // its own lock
};

namespace {

// What an engine answers a worker's call.
enum class Offer {
    kTimetable,  // a completed timetable
    kNone,       // none this time: a failed attempt, a spent budget or a stop
    kExhausted,  // proven: no further timetable exists
};

// A search that offers completed timetables one call at a time, returning
// soon once the run's stop is asked through the token it was given. What
// becomes of a timetable (its number, its page) is the worker's claim.
class TimetableEngine {
  public:
    virtual ~TimetableEngine() = default;
    virtual Offer Next(ByteMatrix& timetable) = 0;
};

// The randomised search: one attempt per call, a fresh solver object drawing
// from the worker's stream, so that the draws are those of every earlier run.
class RandomisedEngine : public TimetableEngine {
  public:
    RandomisedEngine(const SolverInputs& inputs, RunContext& context, RandomStream& random,
                     SearchEvidence& evidence, std::atomic<std::int64_t>& attempts,
                     SharedGuide* guide)
        : inputs_(inputs),
          context_(context),
          random_(random),
          evidence_(evidence),
          attempts_(attempts),
          guide_(guide) {}

    Offer Next(ByteMatrix& timetable) override {
        Tfindsolution solver(context_, random_, inputs_);
        const bool completed = solver.Search();
        evidence_.Merge(solver.evidence());
        attempts_.fetch_add(1, std::memory_order_relaxed);
        if (!completed) {
            if (guide_ != nullptr) {
                guide_->Offer(solver.timetable());
            }
            return Offer::kNone;
        }
        timetable = solver.timetable();
        return Offer::kTimetable;
    }

  private:
    const SolverInputs& inputs_;
    RunContext& context_;  // its stop is the run's
    RandomStream& random_;
    SearchEvidence& evidence_;
    std::atomic<std::int64_t>& attempts_;
    SharedGuide* guide_;  // null: no exact search runs beside this one
};

// The timetables written so far, which the exact search must not return.
struct WrittenTimetables {
    std::mutex& mutex;  // the run's claim lock
    const std::vector<ByteMatrix>& timetables;
};

// The exact search: one budget of conflicts per call, so that a stop is heard
// between calls as well as inside them. Its clauses are written at the first
// call, with a seed split from the worker's stream at that moment.
class ExactEngine : public TimetableEngine {
  public:
    ExactEngine(const SolverInputs& inputs, const RunContext& context, RandomStream& random,
                std::stop_token stop, WrittenTimetables written, const SharedGuide* guide)
        : inputs_(inputs),
          context_(context),
          random_(random),
          limits_{kConflictsPerCall, std::move(stop)},
          written_(written),
          guide_(guide) {}

    Offer Next(ByteMatrix& timetable) override {
        if (!search_) {
            try {
                const std::uint64_t seed = random_.Split();
                search_ = std::make_unique<exact::ExactSearch>(
                    inputs_, context_.rules, context_.options, context_.index, seed, limits_.stop);
                search_->StartFrom(Guide(seed));
            } catch (const exact::EncodingStopped&) {
                return Offer::kNone;  // stopped while the clauses were written
            }
        }
        BlockWritten();
        switch (search_->Next(limits_, timetable)) {
            case exact::ExactOutcome::kTimetable:
                return Offer::kTimetable;
            case exact::ExactOutcome::kUnknown:
                return Offer::kNone;
            case exact::ExactOutcome::kNone:
                break;
        }
        return Offer::kExhausted;
    }

    // After kExhausted with nothing written: the rules and options that leave
    // no timetable, in the program's words.
    std::string Explain() {
        return search_->Explain({exact::kProofConflicts, limits_.stop}).message;
    }

  private:
    // Where the search starts: the furthest partial timetable of the
    // randomised workers beside it, once one of their attempts has ended
    // (while the clauses were written, as a rule); else a few attempts of its
    // own, drawn apart from the worker's stream.
    ByteMatrix Guide(std::uint64_t seed) const {
        if (guide_ != nullptr) {
            if (ByteMatrix furthest = guide_->Furthest(); !furthest.empty()) {
                return furthest;
            }
        }
        return FurthestPartialTimetable(inputs_, context_.rules, context_.options, context_.index,
                                        seed ^ kGuideSeed, exact::kGuideAttempts, limits_.stop);
    }

    void BlockWritten() {
        std::lock_guard<std::mutex> lock(written_.mutex);
        for (; blocked_ < written_.timetables.size(); ++blocked_) {
            search_->Block(written_.timetables[blocked_]);
        }
    }

    // About a tenth of a second of a school of 15 class sections.
    static constexpr std::int64_t kConflictsPerCall = 20000;
    static constexpr std::uint64_t kGuideSeed = 0x2545f4914f6cdd1dULL;

    const SolverInputs& inputs_;
    const RunContext& context_;
    RandomStream& random_;
    const exact::ExactLimits limits_;
    WrittenTimetables written_;
    const SharedGuide* guide_;  // null: no randomised worker draws beside it
    std::unique_ptr<exact::ExactSearch> search_;
    std::size_t blocked_ = 0;  // timetables of written_ already blocked
};

// What became of a timetable a worker claimed.
enum class Claim {
    kWritten,   // solution n, its page written
    kRefused,   // the verifier refused it: a fault of its engine
    kRepeated,  // a page already holds it
    kClosed,    // no more are wanted, or a page before it could not be written
    kNothingOffered,
};

}  // namespace

// One worker: its own context (a copy of the options, rule tables and index,
// with the run's stop), its own random stream, its engines and its own rework.
// It takes each timetable its engine offers and claims it in one place. What
// its attempts saw is added up in its own evidence, which the engine reads
// only once the thread has been joined.
class RunEngine::Worker {
  public:
    Worker(RunEngine& engine, Shared& shared, const RunContext& prepared, std::uint64_t seed,
           int number)
        : engine_(engine),
          number_(number),
          shared_(shared),
          context_(prepared),
          random_(seed),
          evidence_(SearchEvidence::Sized(engine.inputs_.number_of_classes,
                                          engine.inputs_.number_of_teachers)),
          randomised_(engine.inputs_, context_, random_, evidence_, shared.attempts,
                      GuideOf(engine, shared)) {
        context_.stop = engine.stop_.get_token();
        if (context_.options.fewer_gaps) {
            // The improver's stream is drawn from the worker's own, so a run
            // with one thread and a given seed stays reproducible.
            improver_ =
                std::make_unique<GapImprover>(engine.inputs_, context_.options, context_.rules,
                                              context_.index, engine.people_, random_.Split());
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
    // Only after Join: the worker's thread writes it without a lock.
    const SearchEvidence& evidence() const { return evidence_; }

  private:
    // The guide the workers share, only where randomised and exact workers run
    // side by side: with one thread the run stays reproducible from its seed.
    static SharedGuide* GuideOf(const RunEngine& engine, Shared& shared) {
        const bool side_by_side =
            engine.parameters_.engines == SearchEngines::kBoth && engine.parameters_.threads >= 2;
        return side_by_side ? &shared.guide : nullptr;
    }

    void Loop() {
        {
            std::unique_lock<std::mutex> lock(shared_.mutex);
            shared_.changed.wait(lock, [this] { return shared_.go; });
        }
        try {
            TakeOffers();
        } catch (...) {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            if (!shared_.error) {
                shared_.error = std::current_exception();
            }
            engine_.stop_.request_stop();
        }
        std::lock_guard<std::mutex> lock(shared_.mutex);
        --shared_.running_workers;
        shared_.changed.notify_all();
    }

    // Takes what the worker's engine offers until the run stops. With both
    // engines and two threads or more, the last worker runs the exact search
    // from the first moment while the others draw. The first worker turns to
    // an exact search of its own after failed attempts in a row: with one
    // thread as ever, and beside the exact worker too, where the randomised
    // search is not finding timetables and a second exact search, from
    // another seed, finds the next ones about twice as fast.
    void TakeOffers() {
        const SearchEngines engines = engine_.parameters_.engines;
        const int workers = std::max(1, engine_.parameters_.threads);
        const bool exact_from_start = engines == SearchEngines::kBoth && workers >= 2;
        if (engines == SearchEngines::kExact && number_ != 0) {
            return;  // the exact search alone runs on one worker
        }
        bool exact = (engines == SearchEngines::kExact && number_ == 0) ||
                     (exact_from_start && number_ == workers - 1);
        int failed_in_a_row = 0;
        const std::stop_token stop = context_.stop;
        while (!stop.stop_requested()) {
            TimetableEngine& source = EngineOf(exact);
            ByteMatrix timetable;
            const Offer offer = source.Next(timetable);
            if (offer == Offer::kExhausted) {
                ClaimProof();
                return;
            }
            const Claim claim =
                offer == Offer::kTimetable
                    ? ClaimTimetable(timetable, exact ? kExactSearch : kRandomised, true)
                    : Claim::kNothingOffered;
            if (exact) {
                // The exact search has blocked what it returned; its page may
                // show its rework instead, which the proof must account for.
                if (offer == Offer::kTimetable && claim != Claim::kRefused) {
                    returned_.push_back(std::move(timetable));
                }
                continue;
            }
            // A timetable refused or already written is an attempt without
            // one, as far as handing over to the exact search goes.
            failed_in_a_row = claim == Claim::kWritten ? 0 : failed_in_a_row + 1;
            exact = engines == SearchEngines::kBoth && number_ == 0 &&
                    failed_in_a_row >= kRandomAttemptsBeforeExact;
        }
    }

    // The engine the worker takes from: its randomised search, or its exact
    // search, made at its first call.
    TimetableEngine& EngineOf(bool exact) {
        if (!exact) {
            return randomised_;
        }
        if (!exact_) {
            exact_ = std::make_unique<ExactEngine>(
                engine_.inputs_, context_, random_, context_.stop,
                WrittenTimetables{shared_.mutex, shared_.timetables}, GuideOf(engine_, shared_));
        }
        return *exact_;
    }

    // The exact search proved that no further timetable exists: the run ends
    // with the proof, once every timetable it returned is on a page.
    void ClaimProof() {
        if (!WriteReturnedAsTheyAre()) {
            return;  // all found, stopped, or a page not written: no proof to claim
        }
        bool none_found = false;
        {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            none_found = shared_.lines.empty();
        }
        const std::string proof = none_found ? exact_->Explain() : std::string();
        std::lock_guard<std::mutex> lock(shared_.mutex);
        shared_.exhausted = true;
        shared_.impossibility =
            proof.empty() && none_found ? std::string(exact::kProvenImpossibleMessage) : proof;
        engine_.stop_.request_stop();
        shared_.changed.notify_all();
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
        for (const ByteMatrix& timetable : unwritten) {
            if (context_.stop.stop_requested()) {
                break;
            }
            ClaimTimetable(timetable, kExactSearch, false);
        }
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

    enum Source { kRandomised, kExactSearch };

    // The one road from an engine to a page. A completed timetable is judged
    // as a finished one, whichever engine made it (one the verifier refuses
    // is a fault of that engine, counted and never written); reworked toward
    // fewer gaps when the run asks and `rework` allows; refused when a page
    // already holds it, so that no page repeats another (a rework that lands
    // on a written timetable gives way to the searched one); then numbered,
    // timed and written under the claim lock, one page at a time.
    Claim ClaimTimetable(const ByteMatrix& searched, Source source, bool rework) {
        if (!Verified(searched)) {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            ++(source == kExactSearch ? shared_.refused_exact : shared_.refused_searched);
            return Claim::kRefused;
        }
        ByteMatrix reworked;
        const bool was_reworked = rework && improver_ != nullptr && Rework(searched, reworked);

        std::lock_guard<std::mutex> lock(shared_.mutex);
        if (shared_.all_found || shared_.page_error) {
            return Claim::kClosed;
        }
        const ByteMatrix& timetable =
            was_reworked && !shared_.written.Contains(reworked) ? reworked : searched;
        if (shared_.written.Contains(timetable)) {
            return Claim::kRepeated;
        }
        SolutionGaps gaps;
        gaps.searched = GapsOf(searched);
        gaps.written = GapsOf(timetable);
        const int n = shared_.next_solution;
        const double now = engine_.clock_();
        const std::string time_text = Tfindsolution::ElapsedText(now, shared_.solution_start_time);
        try {
            engine_.writer_.WriteSolution(
                ClaimedSolution{engine_.inputs_, context_.rules.JointLessons(), timetable, n,
                                engine_.parameters_.solutions_requested, time_text});
        } catch (const PageWriteError&) {
            // The pages so far stay 1 to n - 1: the search ends with its summary.
            shared_.page_error = std::current_exception();
            engine_.stop_.request_stop();
            shared_.changed.notify_all();
            return Claim::kClosed;
        }
        Record(n, now, time_text, timetable, gaps);
        return Claim::kWritten;
    }

    // Called with the claim lock held, once solution n's page is written.
    void Record(int n, double now, const std::string& time_text, const ByteMatrix& timetable,
                const SolutionGaps& gaps) {
        const std::string line =
            SolutionLine(n, time_text, Tfindsolution::ElapsedText(now, shared_.run_start_time));
        shared_.written.Insert(timetable);
        shared_.lines.push_back(line);
        shared_.gaps.push_back(gaps);
        if (engine_.parameters_.engines != SearchEngines::kRandom) {
            shared_.timetables.push_back(timetable);
        }
        shared_.undelivered.push_back({n, line, gaps});
        shared_.next_solution = n + 1;
        shared_.solution_start_time = now;
        if (n >= engine_.parameters_.solutions_requested) {
            shared_.all_found = true;
            engine_.stop_.request_stop();
        }
        shared_.changed.notify_all();
    }

    // Reworks a completed timetable toward fewer gaps, without the claim lock,
    // so that several workers may rework at once. The verifier judges the
    // result as a finished timetable; one it refuses is a fault of the rework
    // and is dropped, so that the searched timetable is written instead.
    bool Rework(const ByteMatrix& searched, ByteMatrix& reworked) {
        reworked = searched;
        if (!improver_->Improve(reworked, context_.stop)) {
            return false;
        }
        if (!Verified(reworked)) {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            ++shared_.refused_reworks;
            return false;
        }
        return true;
    }

    bool Verified(const ByteMatrix& timetable) const {
        return VerifyTimetable(engine_.inputs_, context_.options, context_.rules, timetable,
                               VerifyMode::kFinished)
            .empty();
    }

    GapSummary GapsOf(const ByteMatrix& timetable) const {
        return CountGaps(timetable, engine_.inputs_.number_of_classes, engine_.people_).summary;
    }

    RunEngine& engine_;
    const int number_;  // 0: the worker that may turn to the exact search
    Shared& shared_;
    RunContext context_;
    RandomStream random_;
    SearchEvidence evidence_;
    RandomisedEngine randomised_;
    std::unique_ptr<ExactEngine> exact_;  // made at the first exact call
    std::vector<ByteMatrix> returned_;    // every timetable the exact search returned and verified
    std::unique_ptr<GapImprover> improver_;  // only with fewer gaps
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
    stop_.request_stop();
    for (auto& worker : workers_) {
        worker->Join();
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
        try {
            for (int i = 0; i < count; ++i) {
                workers_.push_back(
                    std::make_unique<Worker>(*this, shared, prepared, seeds.Split(), i));
            }
            for (auto& worker : workers_) {
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
    stop_.request_stop();
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.go = true;
    }
    shared.changed.notify_all();
    for (auto& worker : workers_) {
        worker->Join();
    }
    workers_.clear();
}

RunSummary RunEngine::Run() {
    // The caller's stop, whenever it comes, is the run's.
    const std::stop_callback forward(parameters_.stop, [this] { stop_.request_stop(); });
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
    workers_.clear();
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
            stop_.request_stop();
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
