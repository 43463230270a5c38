// The demo gymnasium end to end through the databases: imported into the
// entry file, prepared into the working file, loaded, and compared with the
// problem the exchange document describes; then solved and verified.
#include <algorithm>
#include <array>
#include <set>

#include "document_to_solver.h"
#include "exchange/exchange.h"
#include "pages/solution_page_writer.h"
#include "solver/findsolution.h"
#include "support/solve_by_attempts.h"
#include "verify/timetable_verifier.h"
#include "working_copy_support.h"

namespace taktirio::data::testing {
namespace {

using Pairs = std::set<std::pair<int, int>>;
using Triples = std::multiset<std::array<int, 3>>;

// Entries 1..count of a rule list `width` bytes wide.
std::vector<std::vector<int>> Entries(const std::vector<std::uint8_t>& list, long long count,
                                      std::size_t width) {
    std::vector<std::vector<int>> entries;
    for (long long k = 1; k <= count; ++k) {
        const auto at = static_cast<std::size_t>(k) * width;
        entries.emplace_back(list.begin() + static_cast<std::ptrdiff_t>(at),
                             list.begin() + static_cast<std::ptrdiff_t>(at + width));
    }
    return entries;
}

Pairs AsPairs(const std::vector<std::uint8_t>& list, long long count, bool unordered) {
    Pairs pairs;
    for (const auto& e : Entries(list, count, 2)) {
        pairs.insert(unordered && e[1] < e[0] ? std::make_pair(e[1], e[0])
                                              : std::make_pair(e[0], e[1]));
    }
    return pairs;
}

Triples AsTriples(const std::vector<std::uint8_t>& list, long long count) {
    Triples triples;
    for (const auto& e : Entries(list, count, 3)) {
        triples.insert({e[0], e[1], e[2]});
    }
    return triples;
}

void ExpectSameInputs(const SolverInputs& a, const SolverInputs& b) {
    EXPECT_EQ(a.number_of_classes, b.number_of_classes);
    EXPECT_EQ(a.number_of_teachers, b.number_of_teachers);
    EXPECT_EQ(a.class_names, b.class_names);
    EXPECT_EQ(a.teacher_names, b.teacher_names);
    EXPECT_EQ(a.class_hours, b.class_hours);
    EXPECT_EQ(a.class_teacher_count, b.class_teacher_count);
    EXPECT_EQ(a.class_week_hours, b.class_week_hours);
    EXPECT_TRUE(a.class_teachers == b.class_teachers);
    EXPECT_TRUE(a.teacher_class_hours == b.teacher_class_hours);
    EXPECT_TRUE(a.pinned_lessons == b.pinned_lessons);
    EXPECT_TRUE(a.two_hour_lessons == b.two_hour_lessons);
}

// The rule lists hold the same rules; their order follows the tables' rows.
void ExpectSameRules(const RuleTables& a, const RuleTables& b) {
    EXPECT_TRUE(a.teacher_class_hours_all == b.teacher_class_hours_all);
    EXPECT_EQ(a.last_days, b.last_days);
    EXPECT_EQ(a.denied_days, b.denied_days);
    EXPECT_EQ(AsPairs(a.deny_list, a.deny_count, false), AsPairs(b.deny_list, b.deny_count, false));
    EXPECT_EQ(AsPairs(a.same_hour_pairs, a.same_hour_count, true),
              AsPairs(b.same_hour_pairs, b.same_hour_count, true));
    EXPECT_EQ(a.same_hour_count, b.same_hour_count);
    EXPECT_EQ(AsTriples(a.joint_lessons, a.joint_count), AsTriples(b.joint_lessons, b.joint_count));
    ASSERT_EQ(a.split_count, b.split_count);
    for (std::size_t k = 1; k <= a.split_count; ++k) {
        const auto* x = &a.split_lessons[3 * k];
        const auto* y = &b.split_lessons[3 * k];
        EXPECT_EQ(x[0], y[0]);
        EXPECT_EQ(std::set<int>({x[1], x[2]}), std::set<int>({y[1], y[2]}));
    }
}

TEST_F(WorkingCopyTest, DemoSchoolIsLoadedAsItsDocumentDescribesAndSolved) {
    const SchoolDocument demo = ParseSchoolDocument(
        FileBytes(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json")));
    ImportSchool(session_, demo);
    Prepare();
    LoadedProblem loaded = Load();
    const SolverProblem expected = ToSolverProblem(demo);
    ExpectSameInputs(loaded.inputs, expected.inputs);
    ExpectSameRules(loaded.rules, expected.rules);
    EXPECT_EQ(loaded.solutions_requested, demo.solutions_requested);
    EXPECT_EQ(loaded.page_info.single_teacher_count, demo.teachers.size());

    RunContext context;
    context.rules = loaded.rules;
    const std::optional<ByteMatrix> timetable =
        taktirio::testing::SolveByAttempts(loaded.inputs, context, 20240917, 5000);
    ASSERT_TRUE(timetable) << "no timetable in 5000 attempts";
    for (const Violation& v :
         VerifyTimetable(loaded.inputs, context.options, context.rules, *timetable)) {
        ADD_FAILURE() << Describe(v);
    }

    // The page writer takes what the loader gathered for it.
    SolutionPageContent content;
    content.number_of_classes = loaded.inputs.number_of_classes;
    content.number_of_teachers = loaded.inputs.number_of_teachers;
    content.class_week_hours = loaded.inputs.class_week_hours;
    content.timetable = &*timetable;
    content.class_names = loaded.inputs.class_names;
    content.teacher_names = loaded.inputs.teacher_names;
    content.solutions_requested = loaded.solutions_requested;
    content.solution_time_text = "0:0:1:0";
    content.joint_count = loaded.rules.joint_count;
    content.joint_lessons = loaded.rules.joint_lessons;
    content.year = 2024;
    EXPECT_FALSE(RenderSolutionPage(loaded.page_info, content).empty());
}

}  // namespace
}  // namespace taktirio::data::testing
