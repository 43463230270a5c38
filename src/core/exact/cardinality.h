#pragma once

#include <initializer_list>
#include <vector>

namespace taktirio::exact {

// Where an encoding writes its clauses: literals are non-zero integers in the
// DIMACS way (v true, -v false). The solver is one sink; a test can record.
// While a GuardScope is open on the sink, every clause added carries the
// negation of the scope's group literal: the clause holds only while the
// group is assumed.
class ClauseSink {
  public:
    virtual ~ClauseSink() = default;
    virtual int NewVariable() = 0;

    void AddClause(const std::vector<int>& literals);
    void Add(std::initializer_list<int> literals) { AddClause(std::vector<int>(literals)); }

  protected:
    // Writes a clause as given (the guard already added).
    virtual void Write(const std::vector<int>& literals) = 0;

  private:
    friend class GuardScope;
    int guard_ = 0;
    std::vector<int> guarded_;  // the clause with its guard, reused
};

// Makes every clause added to `sink` while it lives conditional on `group`
// (0: on nothing, for definitions shared by every group); the scope it
// replaces returns when it ends.
class GuardScope {
  public:
    GuardScope(ClauseSink& sink, int group) : sink_(sink), outer_(sink.guard_) {
        sink.guard_ = group;
    }
    ~GuardScope() { sink_.guard_ = outer_; }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;

  private:
    ClauseSink& sink_;
    int outer_;
};

// Sums of literals in unary. The totalizer is used because a single tree
// serves both bounds of an exact count (the weekly hours) and its outputs
// can be capped just above the largest bound asked, which keeps it near
// n x k clauses for the small bounds of a timetable (2 or 3 hours a day, a
// handful of last hours), where sequential counters would need one counter
// per bound direction and cardinality networks would sort far beyond k.
class Totalizer {
  public:
    // Outputs for sums up to `cap` (cap >= 0). The tree's clauses only
    // define its own new outputs, so they are written under no guard: one
    // tree can carry a guarded bound and an unguarded one.
    Totalizer(ClauseSink& sink, const std::vector<int>& inputs, int cap);

    // A literal true exactly when at least k inputs are true (1 <= k <= cap);
    // 0 for k beyond the inputs (never true).
    int AtLeast(int k) const;
    int size() const { return static_cast<int>(inputs_); }

    // Clauses: sum <= k, sum >= k, under the sink's guard scope.
    void AtMost(ClauseSink& sink, int k) const;
    void AtLeastBound(ClauseSink& sink, int k) const;

  private:
    std::vector<int> Build(ClauseSink& sink, const std::vector<int>& inputs, std::size_t from,
                           std::size_t to, int cap);

    std::size_t inputs_ = 0;
    std::vector<int> outputs_;  // [k - 1] = sum >= k
};

// At most one of the literals, by pairs (few literals) or a sequential
// ladder, every clause under the sink's guard scope.
void AtMostOne(ClauseSink& sink, const std::vector<int>& literals);

}  // namespace taktirio::exact
