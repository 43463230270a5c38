#include "core/exact/exact_search.h"

#include <algorithm>
#include <cadical.hpp>
#include <limits>
#include <new>
#include <set>
#include <utility>

#include "core/common/narrow.h"
#include "core/solver/findsolution.h"
#include "core/solver/random_stream.h"
#include "core/solver/slots.h"

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

// Counts the clauses the solver learns, one for each conflict, so that a
// budget can span several calls (the solver's own limit is per call). It
// asks for none of the literals.
class ConflictCount : public CaDiCaL::Learner {
  public:
    bool learning(int /*size*/) override {
        ++count;
        return false;
    }
    void learn(int /*literal*/) override {}

    std::int64_t count = 0;
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

    void CountConflicts() {
        if (!counting) {
            solver.connect_learner(&conflicts);
            counting = true;
        }
    }

    ConflictCount conflicts;  // before the solver, which refers to it
    CaDiCaL::Solver solver;
    int variables = 0;
    std::int64_t clauses = 0;
    bool counting = false;

  protected:
    void Write(const std::vector<int>& literals) override {
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

  private:
    std::stop_token stop_;
};

ExactSearch::ExactSearch(const SolverInputs& inputs, const RuleTables& rules,
                         const RunOptions& options, const RuleIndex& index, std::uint64_t seed,
                         std::stop_token stop)
    : inputs_(inputs),
      rules_(rules),
      options_(options),
      index_(index),
      seed_(seed),
      encoding_stop_(stop),
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

void ExactSearch::CountConflicts() {
    solver_->CountConflicts();
}

std::int64_t ExactSearch::conflicts() const {
    return solver_->conflicts.count;
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
    const int result = SolveFromForcedPhases(limits);
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

// A phase given through the solver's phase() is forced: it decides its cell
// at every decision, over the phase the solver saves as it goes, and saved
// phases are what bring a search for a timetable home. So the forced phases
// (random, the guide's, a class section drawn again) only open a search: after
// its first conflicts the cells are released, and the solver's own phases,
// which start where the forced ones led, take over. That finds the first
// timetable of 15 class sections about twice as soon, and twenty timetables
// too (exact_bench). With the rework toward fewer gaps the phases stay forced,
// so that timetables that would rework into one another stay apart.
int ExactSearch::SolveFromForcedPhases(const ExactLimits& limits) {
    const std::vector<int> all = AllGroups();
    if (!phases_forced_ || fewer_gaps_) {
        return SolveUnder(all, limits);
    }
    phases_forced_ = false;
    const std::int64_t opening =
        limits.conflicts < 0 ? kOpeningConflicts : std::min(limits.conflicts, kOpeningConflicts);
    if (const int opened = SolveUnder(all, {opening, limits.stop}); opened != 0) {
        return opened;
    }
    ReleaseCells();
    ExactLimits rest{limits.conflicts, limits.stop};
    if (rest.conflicts >= 0) {
        rest.conflicts -= opening;
        if (rest.conflicts <= 0) {
            return 0;
        }
    }
    return limits.stop.stop_requested() ? 0 : SolveUnder(all, rest);
}

void ExactSearch::ReleaseCells() {
    CaDiCaL::Solver& solver = solver_->solver;
    for (int c = 1; c <= inputs_.number_of_classes; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            for (const auto& [teacher, literal] : encoding_.Candidates(c, s)) {
                solver.unphase(literal);
            }
        }
    }
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
    ReleaseCells();
    phases_forced_ = true;
    for (int s = 1; s <= kSlots; ++s) {
        for (const auto& [teacher, literal] : encoding_.Candidates(redrawn, s)) {
            solver.phase(phases_.Below(5) == 0 ? literal : -literal);
        }
    }
}

int ExactSearch::StartFrom(const ByteMatrix& partial) {
    return Guarded([&] { return StartFromUnguarded(partial); });
}

int ExactSearch::StartFromUnguarded(const ByteMatrix& partial) {
    int guided = 0;
    for (int c = 1; c <= inputs_.number_of_classes && AsIndex(c) < partial.rows(); ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            const int held = partial(AsIndex(c), AsIndex(s));
            if (held == 0) {
                continue;
            }
            ++guided;
            for (const auto& [teacher, literal] : encoding_.Candidates(c, s)) {
                solver_->solver.phase(teacher == held ? literal : -literal);
            }
        }
    }
    return guided;
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

ImpossibilityReasons ExactSearch::Explain(const ExactLimits& limits,
                                          const ProofProgress& progress) {
    return Guarded([&] { return ExplainUnguarded(limits, progress); });
}

namespace {

// The conflicts an answer may still spend, counted on the solver's own count.
class ConflictBudget {
  public:
    ConflictBudget(std::int64_t total, const ExactSearch& search)
        : total_(total), search_(search), start_(search.conflicts()) {}
    // The limits of the next solve: what is left, or -1 without a budget.
    ExactLimits Next(std::stop_token stop) const {
        return {total_ < 0 ? -1 : std::max<std::int64_t>(0, Left()), std::move(stop)};
    }
    bool Spent() const { return total_ >= 0 && Left() <= 0; }
    void Charge(std::int64_t conflicts) { charged_ += conflicts; }

  private:
    std::int64_t Left() const { return total_ - (search_.conflicts() - start_) - charged_; }

    std::int64_t total_;
    const ExactSearch& search_;
    std::int64_t start_;
    std::int64_t charged_ = 0;  // spent by searches of a changed school
};

}  // namespace

// The reasons of a proof, within one budget for the whole answer:
//   1. the solver's own failed set of the groups;
//   2. a group of it that alone leaves no timetable is the shortest answer;
//   3. else deletion: a member whose removal still leaves no timetable goes
//      and the solver's failed set shrinks the rest. A member found needed
//      stays needed in every smaller set that still leaves none, so the
//      loop goes on from where it stood instead of starting again;
//   4. for each member the user entered, whether the school without it has
//      a timetable.
// The list is minimal only when every member was tried and found needed.
ImpossibilityReasons ExactSearch::ExplainUnguarded(const ExactLimits& limits,
                                                   const ProofProgress& progress) {
    ImpossibilityReasons reasons;
    CaDiCaL::Solver& solver = solver_->solver;
    const std::vector<RuleGroup>& groups = encoding_.groups();
    CountConflicts();
    ConflictBudget budget(limits.conflicts, *this);
    const auto solve = [&](const std::vector<int>& assumptions) {
        return budget.Spent() ? 0 : SolveUnder(assumptions, budget.Next(limits.stop));
    };
    const auto failed_of = [&solver](const std::vector<int>& assumed) {
        std::vector<int> failed;
        for (const int literal : assumed) {
            if (solver.failed(literal)) {
                failed.push_back(literal);
            }
        }
        return failed;
    };
    const std::vector<int> all = AllGroups();
    if (solve(all) != kUnsatisfiable) {
        return reasons;  // not proven within the budget
    }
    std::vector<int> core = failed_of(all);
    int done = 0;
    const auto tell = [&](int remaining) {
        if (progress) {
            ++done;
            progress(done, done + remaining);
        }
    };

    reasons.minimal = true;
    if (core.size() > 1) {
        for (std::size_t i = 0; i < core.size(); ++i) {
            tell(static_cast<int>(2 * core.size() - i - 1));
            if (solve({core[i]}) == kUnsatisfiable) {
                core = {core[i]};
                break;
            }
        }
    }
    for (std::size_t i = 0; core.size() > 1 && i < core.size();) {
        tell(static_cast<int>(2 * core.size() - i - 1));
        std::vector<int> without = core;
        without.erase(without.begin() + static_cast<std::ptrdiff_t>(i));
        const int result = solve(without);
        if (result == kUnsatisfiable) {
            core = failed_of(without);
            continue;
        }
        reasons.minimal = reasons.minimal && result == kSatisfiable;
        ++i;
    }

    for (std::size_t i = 0; i < core.size(); ++i) {
        tell(static_cast<int>(core.size() - i - 1));
        const int literal = core[i];
        const RuleGroup& group =
            *std::find_if(groups.begin(), groups.end(),
                          [literal](const RuleGroup& g) { return g.literal == literal; });
        reasons.together.push_back(group);
        if (!encoding_.EnteredByTheUser(group) || budget.Spent()) {
            continue;
        }
        std::int64_t elsewhere = 0;  // spent by a search of the changed school
        const int result = SolveWithout(group, budget.Next(limits.stop), elsewhere);
        budget.Charge(elsewhere);
        if (result == kSatisfiable) {
            reasons.allowing_when_dropped.push_back(group);
        }
    }
    reasons.message = Word(reasons);
    return reasons;
}

// Dropping a group is the school without that entry, except for an
// absence: the days it takes also raise the teacher's allowance of hours a
// day in a class section (and loosen the spread of one-hour lessons), which
// the school without it no longer grants. So an absence is tried on the
// school stated again without it, every derived value recomputed.
int ExactSearch::SolveWithout(const RuleGroup& group, const ExactLimits& limits,
                              std::int64_t& elsewhere) {
    if (group.kind == RuleGroup::Kind::kAbsentDays) {
        return SolveWithoutAbsence(group.teacher, limits, elsewhere);
    }
    std::vector<int> others = AllGroups();
    std::erase(others, group.literal);
    return SolveUnder(others, limits);
}

namespace {

bool DayRefused(const std::set<std::pair<int, int>>& denied, int t, int d) {
    for (int s = d; s <= kSlots; s += kDays) {
        if (!denied.contains({t, s})) {
            return false;
        }
    }
    return true;
}

// A member of pair `row` other than `person` is absent on day d.
bool OtherMemberAbsent(const std::set<std::pair<int, int>>& denied, const RuleIndex& index, int row,
                       int person, int d) {
    for (const int member : index.PersonsOf(row)) {
        const int single = member == person || member == 0 ? 0 : index.SingleRowOf(member);
        if (single != 0 && DayRefused(denied, single, d)) {
            return true;
        }
    }
    return false;
}

// The rule tables without the absent days of row `teacher`: gone from the
// row, and from each pair the teacher is in, except the days the pair's
// other member is absent too; each row's count of absent days recounted.
RuleTables WithoutAbsence(const RuleTables& rules, const RuleIndex& index, int teacher) {
    std::set<std::pair<int, int>> denied;
    for (const DeniedSlot& entry : rules.DeniedSlots()) {
        denied.insert({entry.teacher, entry.slot});
    }
    std::vector<int> rows{teacher};
    const auto& persons = index.PersonsOf(teacher);
    if (persons[1] == 0 && persons[0] != 0) {
        rows.assign(index.rows_of_person.begin(AsIndex(persons[0])),
                    index.rows_of_person.end(AsIndex(persons[0])));
    }
    std::set<std::pair<int, int>> kept = denied;
    for (int d = 1; d <= kDays; ++d) {
        if (!DayRefused(denied, teacher, d)) {
            continue;
        }
        for (const int row : rows) {
            if (row != teacher && OtherMemberAbsent(denied, index, row, persons[0], d)) {
                continue;
            }
            for (int s = d; s <= kSlots; s += kDays) {
                kept.erase({row, s});
            }
        }
    }
    RuleTables without = rules;
    without.ClearDeniedSlots();
    for (const auto& [t, s] : kept) {
        without.AddDeniedSlot(AsByte(t), AsByte(s));
    }
    without.ClearAbsentDays();
    for (const AbsentDays& entry : rules.AbsentDaysOfTeachers()) {
        int days = entry.days;
        if (std::find(rows.begin(), rows.end(), entry.teacher) != rows.end()) {
            days = 0;
            for (int d = 1; d <= kDays; ++d) {
                days += DayRefused(kept, entry.teacher, d) ? 1 : 0;
            }
        }
        if (days > 0) {
            without.AddDeniedDays(entry.teacher, AsByte(days));
        }
    }
    return without;
}

}  // namespace

int ExactSearch::SolveWithoutAbsence(int teacher, const ExactLimits& limits,
                                     std::int64_t& elsewhere) {
    const RuleTables rules = WithoutAbsence(rules_, index_, teacher);
    const RuleIndex index = PrepareSearch(inputs_, rules, options_);
    ExactSearch without(inputs_, rules, options_, index, seed_, encoding_stop_);
    without.CountConflicts();
    ByteMatrix timetable;
    const ExactOutcome outcome = without.Next(limits, timetable);
    elsewhere = without.conflicts();
    return outcome == ExactOutcome::kTimetable ? kSatisfiable
           : outcome == ExactOutcome::kNone    ? kUnsatisfiable
                                               : 0;
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
    if (!reasons.minimal) {
        text +=
            "\rΟ κατάλογος μπορεί να μην είναι ο μικρότερος: το όριο της απόδειξης εξαντλήθηκε "
            "πριν δοκιμαστεί χωριστά κάθε περιορισμός του.";
    }
    return text;
}

}  // namespace taktirio::exact
