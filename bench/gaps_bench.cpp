// Teacher gaps before and after the rework toward fewer gaps, and the time it
// takes, on generated schools of 9, 15 and 30 class sections with a typical
// amount of every rule, under the options each school was generated with.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "gap_rework_loop.h"
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

// The arguments are the class sections, the moves tried per class section and
// the rounds: 0 is the run's default, the larger budget in one round shows
// what more time buys.
void BM_FewerGaps(benchmark::State& state) {
    SchoolWithTimetables& prepared = SchoolOfSize(static_cast<int>(state.range(0)));
    const GeneratedSchool& school = prepared.school;
    GapImprover improver(school.inputs, school.options, school.rules, prepared.people, 11);
    ReworkLoop(state, improver, prepared.timetables, 1);
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
