// The demo gymnasium of examples/: it passes the checks before a run, survives
// the database unchanged, and has timetables that the verifier accepts.

#include "core/solver/findsolution.h"
#include "core/verify/timetable_verifier.h"
#include "data/checks/presolve.h"
#include "data/exchange/exchange.h"
#include "data_test_support.h"
#include "document_to_solver.h"
#include "support/solve_by_attempts.h"

namespace taktirio::data::testing {
namespace {

SchoolDocument DemoSchool() {
    return ParseSchoolDocument(
        FileBytes(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json")));
}

class DemoSchoolTest : public SchoolTest {};

TEST_F(DemoSchoolTest, ImportsPassesTheChecksAndExportsTheSameDocument) {
    const SchoolDocument demo = DemoSchool();
    EXPECT_EQ(demo.classes.size(), 9);
    EXPECT_GE(demo.teachers.size(), 25);
    EXPECT_LE(demo.teachers.size(), 30);
    ImportSchool(session_, demo);
    EXPECT_EQ(CheckBeforeSolving(session_), DataProblem::kNone);
    EXPECT_EQ(ExportSchool(session_), demo);
}

TEST(DemoSchool, HasATimetableThatTheVerifierAccepts) {
    const SolverProblem problem = ToSolverProblem(DemoSchool());
    RunContext context;
    context.rules = problem.rules;
    const std::optional<ByteMatrix> timetable =
        taktirio::testing::SolveByAttempts(problem.inputs, context, 20240901, 5000);
    ASSERT_TRUE(timetable) << "no timetable in 5000 attempts";
    const auto violations =
        VerifyTimetable(problem.inputs, context.options, context.rules, *timetable);
    for (const Violation& v : violations) {
        ADD_FAILURE() << Describe(v);
    }
    // Every class is taught its 35 hours and the pinned lessons stay put.
    for (std::size_t c = 1; c <= problem.inputs.number_of_classes; ++c) {
        int taught = 0;
        for (std::size_t s = 1; s <= kSlots; ++s) {
            taught += (*timetable)(c, s) != 0 ? 1 : 0;
        }
        EXPECT_EQ(taught, 35) << problem.inputs.class_names[c];
    }
    EXPECT_EQ((*timetable)(1, static_cast<std::size_t>(SlotOf(1, 1))),
              problem.inputs.pinned_lessons(1, static_cast<std::size_t>(SlotOf(1, 1))));
}

}  // namespace
}  // namespace taktirio::data::testing
