#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

#include "core/exact/timetable_encoding.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/random_stream.h"
#include "core/solver/rule_index.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"

namespace taktirio::exact {

// What one call of the exact search answers.
enum class ExactOutcome {
    kTimetable,  // a timetable under every rule, not one of those blocked
    kNone,       // proven: no (further) timetable exists under every rule
    kUnknown,    // the budget ran out, or a stop was asked
};

// Budgets count conflicts, not seconds, so that a run with a given seed
// repeats itself whatever the machine's load.
struct ExactLimits {
    std::int64_t conflicts = -1;  // per call; -1: no limit
    std::stop_token stop{};       // none given: never asked to stop
};

// Conflicts one answer of "why no timetable" may spend in all, the proof
// itself included: a few seconds to a minute at the size of a real school.
inline constexpr std::int64_t kProofConflicts = 1000000;

// Attempts of the randomised search whose furthest partial timetable the
// first exact search starts from (FurthestPartialTimetable): about as many
// as bring the first strict timetable soonest at 15 class sections.
inline constexpr int kGuideAttempts = 5;

// Told while the reasons of a proof are sought: `done` of `total` tries.
using ProofProgress = std::function<void(int done, int total)>;

// Why no timetable exists: the groups of rules and options that together
// leave none (a minimal set as far as the budget reached), and those of them
// that alone, dropped, let a timetable exist.
struct ImpossibilityReasons {
    std::vector<RuleGroup> together;
    std::vector<RuleGroup> allowing_when_dropped;
    bool minimal = false;  // every member was tried and found needed
    std::string message;   // in the program's words, lines split by "\r"
};

// The clauses were not all written: the stop was asked for meanwhile.
class EncodingStopped : public std::runtime_error {
  public:
    EncodingStopped() : std::runtime_error("the exact search was stopped while it was set up") {}
};

// The exact search of one school under one run's options: the encoding is
// written once into one SAT solver (CaDiCaL), which keeps what it learns
// from one timetable to the next. Each timetable found, by this search or
// given from elsewhere (Block), is excluded from later answers.
class ExactSearch {
  public:
    // `index` from PrepareSearch of the same inputs, tables and options; the
    // seed sets the solver's random choices and the phases of the cells, so
    // that successive timetables differ across the week. Writing the clauses
    // of a large school takes seconds: a stop asked through `stop` meanwhile
    // ends it with EncodingStopped.
    ExactSearch(const SolverInputs& inputs, const RuleTables& rules, const RunOptions& options,
                const RuleIndex& index, std::uint64_t seed, std::stop_token stop = {});
    ~ExactSearch();
    ExactSearch(const ExactSearch&) = delete;
    ExactSearch& operator=(const ExactSearch&) = delete;

    // The next timetable [class][slot], or a proof that none is left, or
    // unknown within the limits.
    ExactOutcome Next(const ExactLimits& limits, ByteMatrix& timetable);

    // The next search starts from the cells `partial` holds (a teacher in a
    // cell: that teacher there, the others not), the rest as they were. A
    // partial timetable of the randomised search, whose rules hold on every
    // cell it filled, brings the first timetable of a strict school several
    // times sooner than random phases (exact_bench, BM_ExactFirstGuided).
    // Returns how many cells it set.
    int StartFrom(const ByteMatrix& partial);

    // Excludes a timetable from later answers (one the other engine found).
    void Block(const ByteMatrix& timetable);

    // After kNone from the first call: which rules and options leave no
    // timetable. `limits.conflicts` is the budget of the whole answer, every
    // solve within it together; what it leaves unproven is said so.
    ImpossibilityReasons Explain(const ExactLimits& limits, const ProofProgress& progress = {});

    // Conflicts the solver has met since counting began, every call
    // together. Counting is off until CountConflicts() (Explain turns it on):
    // the solver's hook for each learned clause takes about a third off the
    // speed of the search for a timetable (exact_bench, BM_ExactFirstGuided).
    void CountConflicts();
    std::int64_t conflicts() const;

    // True when `timetable` satisfies every clause (tests).
    bool Allows(const ByteMatrix& timetable, const ExactLimits& limits);

    const TimetableEncoding& encoding() const { return encoding_; }
    std::int64_t variables() const;
    std::int64_t clauses() const { return clauses_; }

  private:
    class Solver;
    template <typename Work>
    auto Guarded(Work work) -> decltype(work());
    void Start(const SolverInputs& inputs, std::uint64_t seed);
    ExactOutcome NextUnguarded(const ExactLimits& limits, ByteMatrix& timetable);
    void BlockUnguarded(const ByteMatrix& timetable);
    int StartFromUnguarded(const ByteMatrix& partial);
    void ReleasePhases();
    int SolveFromForcedPhases(const ExactLimits& limits);
    void ReleaseCells();
    bool AllowsUnguarded(const ByteMatrix& timetable, const ExactLimits& limits);
    ImpossibilityReasons ExplainUnguarded(const ExactLimits& limits, const ProofProgress& progress);
    // A group the school's user entered, which dropped leaves a timetable:
    // proven on the school without it (see the .cpp).
    int SolveWithout(const RuleGroup& group, const ExactLimits& limits, std::int64_t& elsewhere);
    int SolveWithoutAbsence(int teacher, const ExactLimits& limits, std::int64_t& elsewhere);
    int SolveUnder(const std::vector<int>& assumptions, const ExactLimits& limits);
    // The message of a proof: the rules that together leave no timetable,
    // and which of them, dropped, would allow one.
    std::string Word(const ImpossibilityReasons& reasons) const;
    std::vector<int> AllGroups() const;

    const SolverInputs& inputs_;
    const RuleTables& rules_;
    const RunOptions& options_;
    const RuleIndex& index_;
    std::uint64_t seed_;
    std::stop_token encoding_stop_;
    TimetableEncoding encoding_;
    std::unique_ptr<Solver> solver_;
    std::int64_t clauses_ = 0;
    bool blocked_any_ = false;
    RandomStream phases_;  // draws the phases of each next search
    bool fewer_gaps_ = false;
    bool phases_forced_ = true;  // the next search opens on forced phases
    // Conflicts a search spends on its forced phases before the cells are
    // released to the solver's own (exact_bench: 100 to 500 alike; fewer are
    // not enough to set the saved phases, more waste the opening).
    static constexpr std::int64_t kOpeningConflicts = 300;
    std::array<int, 2> redrawn_{0, 0};  // the class sections whose phases were drawn again
};

// The first line of every proof's message: said so, since it is not the
// search giving up.
inline constexpr char kProvenImpossibleMessage[] =
    "Αποδείχθηκε ότι δεν υπάρχει ωρολόγιο πρόγραμμα που να τηρεί όλους τους περιορισμούς "
    "του σχολείου και τις ρυθμίσεις της εκτέλεσης.";

}  // namespace taktirio::exact
