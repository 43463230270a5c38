// The demo gymnasium end to end through the databases: imported into the
// entry file, prepared into the working file, loaded, and compared with the
// problem the exchange document describes; then solved and verified.
#include <algorithm>
#include <array>
#include <set>

#include "core/pages/solution_page_writer.h"
#include "core/solver/findsolution.h"
#include "core/verify/timetable_verifier.h"
#include "data/exchange/exchange.h"
#include "document_to_solver.h"
#include "support/solve_by_attempts.h"
#include "working_copy_support.h"

namespace taktirio::data::testing {
namespace {

using Pairs = std::set<std::pair<int, int>>;
using Triples = std::multiset<std::array<int, 3>>;

Pairs DeniedPairs(const RuleTables& rules) {
    Pairs pairs;
    for (const DeniedSlot& entry : rules.DeniedSlots()) {
        pairs.insert({entry.teacher, entry.slot});
    }
    return pairs;
}

// Kept-apart couples either way round.
Pairs ApartPairs(const RuleTables& rules) {
    Pairs pairs;
    for (const SameHourPair& pair : rules.SameHourPairs()) {
        pairs.insert({std::min(pair.first, pair.second), std::max(pair.first, pair.second)});
    }
    return pairs;
}

Triples JointTriples(const RuleTables& rules) {
    Triples triples;
    for (const JointLesson& joint : rules.JointLessons()) {
        triples.insert({joint.class1, joint.class2, joint.teacher});
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
    EXPECT_TRUE(std::ranges::equal(a.EighthHourSlots(), b.EighthHourSlots()));
    EXPECT_TRUE(std::ranges::equal(a.AbsentDaysOfTeachers(), b.AbsentDaysOfTeachers()));
    EXPECT_EQ(DeniedPairs(a), DeniedPairs(b));
    EXPECT_EQ(ApartPairs(a), ApartPairs(b));
    EXPECT_EQ(a.SameHourPairs().size(), b.SameHourPairs().size());
    EXPECT_EQ(JointTriples(a), JointTriples(b));
    ASSERT_EQ(a.Splits().size(), b.Splits().size());
    for (std::size_t k = 0; k < a.Splits().size(); ++k) {
        const SplitLesson& x = a.Splits()[k];
        const SplitLesson& y = b.Splits()[k];
        EXPECT_EQ(x.class_section, y.class_section);
        EXPECT_EQ(std::set<int>({x.first, x.second}), std::set<int>({y.first, y.second}));
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
    content.joint_lessons = loaded.rules.JointLessons();
    content.year = 2024;
    EXPECT_FALSE(RenderSolutionPage(loaded.page_info, content).empty());
}

}  // namespace
}  // namespace taktirio::data::testing
