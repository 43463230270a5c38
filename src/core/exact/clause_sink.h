#pragma once

#include <initializer_list>
#include <vector>

namespace taktirio::exact {

// Where an encoding writes its clauses: literals are non-zero integers in the
// DIMACS way (v true, -v false). The solver is one sink; a test can record.
class ClauseSink {
  public:
    virtual ~ClauseSink() = default;
    virtual int NewVariable() = 0;
    virtual void AddClause(const std::vector<int>& literals) = 0;

    void Add(std::initializer_list<int> literals) { AddClause(std::vector<int>(literals)); }
};

// Sums of literals in unary. The totalizer is used because a single tree
// serves both bounds of an exact count (the weekly hours) and its outputs
// can be capped just above the largest bound asked, which keeps it near
// n x k clauses for the small bounds of a timetable (2 or 3 hours a day, a
// handful of last hours), where sequential counters would need one counter
// per bound direction and cardinality networks would sort far beyond k.
class Totalizer {
  public:
    // Outputs for sums up to `cap` (cap >= 0); `guard`, when not 0, makes
    // every clause conditional on it (an assumption literal).
    Totalizer(ClauseSink& sink, const std::vector<int>& inputs, int cap);

    // A literal true exactly when at least k inputs are true (1 <= k <= cap);
    // 0 for k beyond the inputs (never true).
    int AtLeast(int k) const;
    int size() const { return static_cast<int>(inputs_); }

    // Clauses: sum <= k, sum >= k, each under `guard` when given.
    void AtMost(ClauseSink& sink, int k, int guard = 0) const;
    void AtLeastBound(ClauseSink& sink, int k, int guard = 0) const;

  private:
    std::vector<int> Build(ClauseSink& sink, const std::vector<int>& inputs, std::size_t from,
                           std::size_t to, int cap);

    std::size_t inputs_ = 0;
    std::vector<int> outputs_;  // [k - 1] = sum >= k
};

// At most one of the literals, by pairs (few literals) or a sequential
// ladder; under `guard` when not 0.
void AtMostOne(ClauseSink& sink, const std::vector<int>& literals, int guard = 0);

}  // namespace taktirio::exact
