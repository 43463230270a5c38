// Teacher gaps of the demo school before and after the rework toward fewer
// gaps, under the default options, and the rework's time on one core.
#include <QTemporaryDir>
#include <atomic>
#include <vector>

#include "database/database.h"
#include "exchange/exchange.h"
#include "exchange/school_document.h"
#include "gaps/gap_improver.h"
#include "gaps/teacher_gaps.h"
#include "load/problem_loader.h"
#include "prepare/working_copy.h"
#include "qt_benchmark_main.h"
#include "shell/startup.h"
#include "solver/findsolution.h"

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

// One rework per iteration, each of a fresh copy of one of the search's
// timetables; the counters are means over the iterations.
void BM_DemoSchoolFewerGaps(benchmark::State& state) {
    const DemoTimetables& demo = Demo();
    const RunOptions options;
    GapImprover improver(demo.problem.inputs, options, demo.problem.rules, demo.people, 3);
    if (state.range(0) > 0) {
        improver.SetMovesPerClass(state.range(0));
    }
    if (state.range(1) > 0) {
        improver.SetRounds(static_cast<int>(state.range(1)));
    }
    const std::atomic<bool> stop{false};
    double sums[4] = {};
    int worst_above_two = 0;
    std::size_t next = 0;
    std::int64_t runs = 0;
    for (auto _ : state) {
        ByteMatrix timetable = demo.timetables[next++ % demo.timetables.size()];
        improver.Improve(timetable, stop);
        const ImprovementReport& report = improver.last_report();
        sums[0] += report.before.total;
        sums[1] += report.after.total;
        sums[2] += report.before.worst;
        sums[3] += report.after.worst;
        worst_above_two += report.after.worst > 2 ? 1 : 0;
        ++runs;
    }
    const auto mean = [runs](double sum) { return sum / static_cast<double>(runs); };
    state.counters["total_before"] = mean(sums[0]);
    state.counters["total_after"] = mean(sums[1]);
    state.counters["worst_before"] = mean(sums[2]);
    state.counters["worst_after"] = mean(sums[3]);
    state.counters["worst_over_2"] = worst_above_two;
}
BENCHMARK(BM_DemoSchoolFewerGaps)
    ->Args({0, 0})
    ->Args({160000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

}  // namespace

TAKTIRIO_QT_BENCHMARK_MAIN()
