// Teacher gaps before and after the rework toward fewer gaps, and the time it
// takes, on generated schools of 9, 15 and 30 class sections with a typical
// amount of every rule, under the options each school was generated with.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "gaps/gap_improver.h"
#include "gaps/teacher_gaps.h"
#include "generator/school_generator.h"
#include "solver/findsolution.h"

namespace taktirio {
namespace {

// One school per size with a few timetables of the search, made once.
struct SchoolWithTimetables {
    GeneratedSchool school;
    TeacherPeople people;
    std::vector<ByteMatrix> timetables;
};

SchoolWithTimetables& SchoolOfSize(int classes) {
    static std::map<int, std::unique_ptr<SchoolWithTimetables>> cache;
    auto& entry = cache[classes];
    if (!entry) {
        entry = std::make_unique<SchoolWithTimetables>();
        entry->school = GenerateSchool(TypicalSchool(classes, 2026));
        const GeneratedSchool& school = entry->school;
        entry->people =
            PeopleOfTeachers(school.inputs.teacher_names, school.inputs.number_of_teachers);
        RunContext context;
        context.options = school.options;
        context.rules = school.rules;
        PrepareSearch(school.inputs, context);
        RandomStream random(7);
        while (entry->timetables.size() < 8) {
            Tfindsolution solver(context, random, school.inputs);
            if (solver.Search()) {
                entry->timetables.push_back(solver.timetable());
            }
        }
    }
    return *entry;
}

// One rework per iteration, each of a fresh copy of one of the search's
// timetables, on one core; the counters are means over the iterations. The
// arguments are the class sections, the moves tried per class section and the
// rounds: 0 is the run's default, the larger budget in one round shows what
// more time buys.
void BM_FewerGaps(benchmark::State& state) {
    SchoolWithTimetables& prepared = SchoolOfSize(static_cast<int>(state.range(0)));
    const GeneratedSchool& school = prepared.school;
    GapImprover improver(school.inputs, school.options, school.rules, prepared.people, 11);
    if (state.range(1) > 0) {
        improver.SetMovesPerClass(state.range(1));
    }
    if (state.range(2) > 0) {
        improver.SetRounds(static_cast<int>(state.range(2)));
    }
    const std::atomic<bool> stop{false};
    double before_total = 0;
    double after_total = 0;
    double before_worst = 0;
    double after_worst = 0;
    std::int64_t runs = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        ByteMatrix timetable = prepared.timetables[next++ % prepared.timetables.size()];
        improver.Improve(timetable, stop);
        const ImprovementReport& report = improver.last_report();
        before_total += report.before.total;
        after_total += report.after.total;
        before_worst += report.before.worst;
        after_worst += report.after.worst;
        ++runs;
    }
    const auto mean = [runs](double sum) { return sum / static_cast<double>(runs); };
    state.counters["total_before"] = mean(before_total);
    state.counters["total_after"] = mean(after_total);
    state.counters["worst_before"] = mean(before_worst);
    state.counters["worst_after"] = mean(after_worst);
}
BENCHMARK(BM_FewerGaps)
    ->Args({9, 0, 0})
    ->Args({15, 0, 0})
    ->Args({30, 0, 0})
    ->Args({9, 160000, 1})
    ->Args({15, 160000, 1})
    ->Args({30, 160000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
