// The clause sink's guard scope: a clause written while a scope is open
// holds only under the scope's group, the scope before it returns when it
// ends, and the definitions a totalizer writes stay unguarded so that one
// tree can carry a guarded bound and an unguarded one.
#include "core/exact/cardinality.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace taktirio::exact {
namespace {

class RecordingSink : public ClauseSink {
  public:
    int NewVariable() override { return ++variables; }

    std::vector<std::vector<int>> clauses;
    int variables = 0;

  protected:
    void Write(const std::vector<int>& literals) override { clauses.push_back(literals); }
};

bool Has(const std::vector<int>& clause, int literal) {
    return std::find(clause.begin(), clause.end(), literal) != clause.end();
}

TEST(GuardScope, GuardsTheClausesWrittenWhileItLivesAndRestoresTheOuterScope) {
    RecordingSink sink;
    sink.variables = 10;
    sink.Add({1, 2});
    {
        const GuardScope outer(sink, 7);
        sink.Add({1});
        {
            const GuardScope inner(sink, 8);
            sink.Add({2});
            {
                const GuardScope unguarded(sink, 0);
                sink.Add({3});
            }
            sink.AddClause({});
        }
        sink.Add({4});
    }
    sink.Add({5});
    const std::vector<std::vector<int>> expected{{1, 2}, {1, -7}, {2, -8}, {3}, {-8}, {4, -7}, {5}};
    EXPECT_EQ(sink.clauses, expected);
}

TEST(GuardScope, TotalizerTreeIsUnguardedAndOnlyItsBoundsCarryTheGuard) {
    RecordingSink sink;
    const std::vector<int> inputs{1, 2, 3, 4, 5, 6};
    sink.variables = 6;
    const int group = sink.NewVariable();
    const GuardScope guard(sink, group);
    const Totalizer sum(sink, inputs, 3);
    const std::size_t tree = sink.clauses.size();
    ASSERT_GT(tree, 0U);
    for (std::size_t k = 0; k < tree; ++k) {
        EXPECT_FALSE(Has(sink.clauses[k], -group)) << "tree clause " << k;
    }
    sum.AtMost(sink, 2);
    sum.AtLeastBound(sink, 1);
    ASSERT_EQ(sink.clauses.size(), tree + 2);
    EXPECT_EQ(sink.clauses[tree], (std::vector<int>{-sum.AtLeast(3), -group}));
    EXPECT_EQ(sink.clauses[tree + 1], (std::vector<int>{sum.AtLeast(1), -group}));
}

TEST(GuardScope, AtMostOneLadderIsGuardedThroughout) {
    for (const int count : {3, 8}) {  // by pairs, and by a ladder with its own variables
        RecordingSink sink;
        std::vector<int> literals;
        for (int i = 0; i < count; ++i) {
            literals.push_back(sink.NewVariable());
        }
        const int group = sink.NewVariable();
        {
            const GuardScope guard(sink, group);
            AtMostOne(sink, literals);
        }
        ASSERT_FALSE(sink.clauses.empty());
        for (const auto& clause : sink.clauses) {
            EXPECT_TRUE(Has(clause, -group)) << "at most one of " << count;
        }
    }
}

}  // namespace
}  // namespace taktirio::exact
