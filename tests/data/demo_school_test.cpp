// The demo gymnasium of examples/: it passes the checks before a run, survives
// the database unchanged, and has timetables that the verifier accepts.
#include <chrono>

#include "checks/presolve.h"
#include "data_test_support.h"
#include "document_to_solver.h"
#include "exchange/exchange.h"
#include "solver/findsolution.h"
#include "verify/timetable_verifier.h"

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
    PrepareSearch(problem.inputs, context);
    RandomStream random(20240901);
    const auto start = std::chrono::steady_clock::now();
    std::optional<ByteMatrix> timetable;
    int attempts = 0;
    while (!timetable && attempts < 5000 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
        ++attempts;
        Tfindsolution solver(context, random, problem.inputs);
        if (solver.Search()) {
            timetable = solver.timetable();
        }
    }
    ASSERT_TRUE(timetable) << "no timetable in " << attempts << " attempts";
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
    std::cout << "demo school solved in " << attempts << " attempt(s), "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count()
              << " ms\n";
}

}  // namespace
}  // namespace taktirio::data::testing
