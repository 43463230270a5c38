#include "exact/exact_search.h"

#include <algorithm>
#include <cadical.hpp>
#include <limits>
#include <new>
#include <utility>

#include "common/narrow.h"
#include "solver/random_stream.h"
#include "solver/slots.h"

namespace taktirio::exact {

namespace {

constexpr int kSatisfiable = 10;
constexpr int kUnsatisfiable = 20;

// Asks the solver to give up once the run's stop is asked.
class StopHeard : public CaDiCaL::Terminator {
  public:
    explicit StopHeard(std::stop_token stop) : stop_(std::move(stop)) {}
    bool terminate() override { return stop_.stop_requested(); }

  private:
    std::stop_token stop_;
};

}  // namespace

// CaDiCaL as the encoding's clause sink.
class ExactSearch::Solver : public ClauseSink {
  public:
    Solver(std::uint64_t seed, std::stop_token stop) : stop_(std::move(stop)) {
        // A school that has timetables is the common case: the solver's
        // settings for satisfiable instances (longer runs between restarts,
        // phases kept) reach the first timetable several times sooner on
        // strict options (exact_bench), and a proof of none still comes.
        solver.configure("sat");
        solver.set("seed", static_cast<int>(seed % 1000000007ULL));
        solver.set("quiet", 1);
    }
    int NewVariable() override { return ++variables; }
    void AddClause(const std::vector<int>& literals) override {
        for (const int literal : literals) {
            solver.add(literal);
        }
        solver.add(0);
        // A stop asked for while the clauses are written is heard within a
        // few thousand clauses, not once they are all written.
        if (++clauses % 4096 == 0 && stop_.stop_requested()) {
            throw EncodingStopped();
        }
    }

    CaDiCaL::Solver solver;
    int variables = 0;
    std::int64_t clauses = 0;

  private:
    std::stop_token stop_;
};

ExactSearch::ExactSearch(const SolverInputs& inputs, const RuleTables& rules,
                         const RunOptions& options, const RuleIndex& index, std::uint64_t seed,
                         std::stop_token stop)
    : inputs_(inputs),
      encoding_(inputs, rules, options, index),
      solver_(std::make_unique<Solver>(seed, std::move(stop))),
      phases_(seed ^ 0x5851f42d4c957f2dULL),
      fewer_gaps_(options.fewer_gaps) {
    Guarded([&] { Start(inputs, seed); });
}

void ExactSearch::Start(const SolverInputs& inputs, std::uint64_t seed) {
    encoding_.Encode(*solver_);
    clauses_ = solver_->clauses;
    for (const RuleGroup& group : encoding_.groups()) {
        solver_->solver.freeze(group.literal);
    }
    // Random phases for the cells, so that the first timetables of
    // different seeds differ across the whole week.
    RandomStream random(seed ^ 0x9e3779b97f4a7c15ULL);
    for (int c = 1; c <= inputs.number_of_classes; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            for (const auto& [teacher, literal] : encoding_.Candidates(c, s)) {
                solver_->solver.phase(random.Below(5) == 0 ? literal : -literal);
            }
        }
    }
}

ExactSearch::~ExactSearch() = default;

// The solver is not safe to destroy once an allocation failed inside it: its
// own clean-up then frees what it never held. It is given up instead (the
// memory stays with the process, which is short of memory and about to say
// so), and the failure goes on to the caller.
template <typename Work>
auto ExactSearch::Guarded(Work work) -> decltype(work()) {
    if (!solver_) {
        throw std::bad_alloc();  // given up after an earlier failure
    }
    try {
        return work();
    } catch (const std::bad_alloc&) {
        static_cast<void>(solver_.release());
        throw;
    }
}

std::int64_t ExactSearch::variables() const {
    return solver_->variables;
}

std::vector<int> ExactSearch::AllGroups() const {
    std::vector<int> literals;
    for (const RuleGroup& group : encoding_.groups()) {
        literals.push_back(group.literal);
    }
    return literals;
}

int ExactSearch::SolveUnder(const std::vector<int>& assumptions, const ExactLimits& limits) {
    CaDiCaL::Solver& solver = solver_->solver;
    StopHeard stop(limits.stop);
    solver.connect_terminator(&stop);
    for (const int literal : assumptions) {
        solver.assume(literal);
    }
    if (limits.conflicts >= 0) {
        solver.limit("conflicts", static_cast<int>(std::min<std::int64_t>(
                                      limits.conflicts, std::numeric_limits<int>::max())));
    }
    const int result = solver.solve();
    solver.disconnect_terminator();
    return result;
}

ExactOutcome ExactSearch::Next(const ExactLimits& limits, ByteMatrix& timetable) {
    return Guarded([&] { return NextUnguarded(limits, timetable); });
}

ExactOutcome ExactSearch::NextUnguarded(const ExactLimits& limits, ByteMatrix& timetable) {
    const int result = SolveUnder(AllGroups(), limits);
    if (result == kUnsatisfiable) {
        return ExactOutcome::kNone;
    }
    if (result != kSatisfiable) {
        return ExactOutcome::kUnknown;
    }
    CaDiCaL::Solver& solver = solver_->solver;
    timetable = encoding_.Decode([&solver](int literal) { return solver.val(literal) > 0; });
    Block(timetable);
    if (!fewer_gaps_) {
        ReleasePhases();
    }
    return ExactOutcome::kTimetable;
}

// The random phases placed the first timetable across the week. Started
// again from them, each next timetable costs as much search as the first;
// started from the last one found (the solver's own saved phases) it comes
// many times sooner but differs from it in a swap or two. So each next
// search starts from the last timetable, with random phases again in the
// cells of one class section drawn from the run's seed: successive
// timetables differ there and in whatever those changes pull along, about a
// hundred cells at 15 class sections (exact_bench, BM_ExactTwenty). With the
// rework toward fewer gaps, timetables that close would rework into the
// same one, so each search starts from the random phases as the first did.
void ExactSearch::ReleasePhases() {
    CaDiCaL::Solver& solver = solver_->solver;
    const int classes = inputs_.number_of_classes;
    const int redrawn = 1 + static_cast<int>(phases_.Below(static_cast<std::uint32_t>(classes)));
    for (int c = 1; c <= classes; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            for (const auto& [teacher, literal] : encoding_.Candidates(c, s)) {
                if (c == redrawn) {
                    solver.phase(phases_.Below(5) == 0 ? literal : -literal);
                } else {
                    solver.unphase(literal);
                }
            }
        }
    }
}

void ExactSearch::Block(const ByteMatrix& timetable) {
    Guarded([&] { return BlockUnguarded(timetable); });
}

void ExactSearch::BlockUnguarded(const ByteMatrix& timetable) {
    std::vector<int> clause;
    for (int c = 1; c <= inputs_.number_of_classes; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            const int held = timetable(AsIndex(c), AsIndex(s));
            if (const int literal = encoding_.CellLiteral(c, s, held);
                held != 0 && literal != 0 && !encoding_.Candidates(c, s).empty()) {
                clause.push_back(-literal);
            }
        }
    }
    solver_->AddClause(clause);
    blocked_any_ = true;
}

bool ExactSearch::Allows(const ByteMatrix& timetable, const ExactLimits& limits) {
    return Guarded([&] { return AllowsUnguarded(timetable, limits); });
}

bool ExactSearch::AllowsUnguarded(const ByteMatrix& timetable, const ExactLimits& limits) {
    std::vector<int> assumptions = AllGroups();
    if (!encoding_.FixingLiterals(timetable, assumptions)) {
        return false;
    }
    return SolveUnder(assumptions, limits) == kSatisfiable;
}

ImpossibilityReasons ExactSearch::Explain(const ExactLimits& limits) {
    return Guarded([&] { return ExplainUnguarded(limits); });
}

ImpossibilityReasons ExactSearch::ExplainUnguarded(const ExactLimits& limits) {
    ImpossibilityReasons reasons;
    CaDiCaL::Solver& solver = solver_->solver;
    const std::vector<RuleGroup>& groups = encoding_.groups();
    std::vector<int> all = AllGroups();
    if (SolveUnder(all, limits) != kUnsatisfiable) {
        return reasons;  // not proven within the budget
    }
    std::vector<int> core;
    for (const int literal : all) {
        if (solver.failed(literal)) {
            core.push_back(literal);
        }
    }
    // Deletion: a member whose removal still leaves no timetable goes, and
    // the solver's own failed set shrinks the rest at once.
    reasons.minimal = true;
    for (std::size_t i = 0; i < core.size();) {
        std::vector<int> without = core;
        without.erase(without.begin() + static_cast<std::ptrdiff_t>(i));
        const int result = SolveUnder(without, limits);
        if (result == kUnsatisfiable) {
            std::vector<int> smaller;
            for (const int literal : without) {
                if (solver.failed(literal)) {
                    smaller.push_back(literal);
                }
            }
            core = smaller;
            i = 0;
            continue;
        }
        reasons.minimal = reasons.minimal && result == kSatisfiable;
        ++i;
    }
    for (const int literal : core) {
        const auto group =
            std::find_if(groups.begin(), groups.end(),
                         [literal](const RuleGroup& g) { return g.literal == literal; });
        reasons.together.push_back(*group);
        std::vector<int> others;
        for (const int other : all) {
            if (other != literal) {
                others.push_back(other);
            }
        }
        if (SolveUnder(others, limits) == kSatisfiable) {
            reasons.allowing_when_dropped.push_back(*group);
        }
    }
    reasons.message = Word(reasons);
    return reasons;
}

std::string ExactSearch::Word(const ImpossibilityReasons& reasons) const {
    std::string text = kProvenImpossibleMessage;
    if (reasons.together.empty()) {
        return text +
               "\rΟι ώρες διδασκαλίας και τα κλειδωμένα μαθήματα του σχολείου δεν "
               "επιτρέπουν κανένα πρόγραμμα, όποιες κι αν είναι οι ρυθμίσεις.";
    }
    text += reasons.together.size() == 1 ? "\rΔεν το επιτρέπει ο περιορισμός:"
                                         : "\rΜαζί δεν το επιτρέπουν οι περιορισμοί:";
    int number = 0;
    for (const RuleGroup& group : reasons.together) {
        text += "\r  " + std::to_string(++number) + ") " + encoding_.Describe(group);
    }
    for (const RuleGroup& group : reasons.allowing_when_dropped) {
        text += "\rΧωρίς τον περιορισμό «" + encoding_.Describe(group) + "» υπάρχει πρόγραμμα.";
    }
    return text;
}

}  // namespace taktirio::exact
