// Teacher gaps of the demo school before and after the rework toward fewer
// gaps, under the default options, and the rework's time on one core.
#include <QTemporaryDir>
#include <atomic>
#include <vector>

#include "core/gaps/gap_improver.h"
#include "core/gaps/teacher_gaps.h"
#include "core/solver/findsolution.h"
#include "data/database/database.h"
#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/load/problem_loader.h"
#include "data/prepare/working_copy.h"
#include "data/shell/startup.h"
#include "gap_rework_loop.h"
#include "qt_benchmark_main.h"

namespace {

using namespace taktirio;
using namespace taktirio::data;

// The demo school as a run loads it, and a few timetables of the search.
struct DemoTimetables {
    LoadedProblem problem;
    TeacherPeople people;
    std::vector<ByteMatrix> timetables;
};

const DemoTimetables& Demo() {
    static const DemoTimetables demo = [] {
        QTemporaryDir dir;
        Database entry = Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite")));
        Database working = Database::Open(dir.filePath(QStringLiteral("DATA.sqlite")));
        RegisterSchool(entry.connection(), QStringLiteral("School"), QStringLiteral("Responsible"));
        const Session session{entry.connection(), Login(entry.connection())};
        ImportSchool(session, ParseSchoolDocument(ReadSchoolFile(
                                  QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"))));
        PrepareWorkingCopy(session, working.connection());
        DemoTimetables d;
        d.problem = LoadProblem(working.connection(), session.school);
        d.people =
            PeopleOfTeachers(d.problem.inputs.teacher_names, d.problem.inputs.number_of_teachers);
        RunContext context;
        context.rules = d.problem.rules;
        PrepareSearch(d.problem.inputs, context);
        RandomStream random(5);
        while (d.timetables.size() < 40) {
            Tfindsolution solver(context, random, d.problem.inputs);
            if (solver.Search()) {
                d.timetables.push_back(solver.timetable());
            }
        }
        return d;
    }();
    return demo;
}

// The arguments are the moves tried per class section and the rounds: 0 is
// the run's default, the larger budget in one round shows what more time buys.
void BM_DemoSchoolFewerGaps(benchmark::State& state) {
    const DemoTimetables& demo = Demo();
    const RunOptions options;
    GapImprover improver(demo.problem.inputs, options, demo.problem.rules, demo.people, 3);
    ReworkLoop(state, improver, demo.timetables, 0);
}
BENCHMARK(BM_DemoSchoolFewerGaps)
    ->Args({0, 0})
    ->Args({160000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

}  // namespace

TAKTIRIO_QT_BENCHMARK_MAIN()
