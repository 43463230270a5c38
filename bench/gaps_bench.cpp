// Teacher gaps before and after the rework toward fewer gaps, and the time it
// takes, on generated schools of 9, 15 and 30 class sections with a typical
// amount of every rule, under the options each school was generated with.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "core/exact/exact_search.h"
#include "core/gaps/gap_improver.h"
#include "core/gaps/teacher_gaps.h"
#include "core/generator/school_generator.h"
#include "core/solver/findsolution.h"
#include "gap_rework_loop.h"
#include "strict_options.h"

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

// The same schools under the strict option sets (strict_options.h), with
// timetables of the exact search, which a run under strict options returns
// first: they keep every rule and leave many gaps, the rework's hardest case.
struct StrictTimetables {
    GeneratedSchool school;
    RunOptions options;
    TeacherPeople people;
    std::vector<ByteMatrix> timetables;
};

StrictTimetables& StrictSchoolOf(int classes, int set) {
    static std::map<std::pair<int, int>, std::unique_ptr<StrictTimetables>> cache;
    auto& entry = cache[{classes, set}];
    if (!entry) {
        entry = std::make_unique<StrictTimetables>();
        entry->school = GenerateSchool(TypicalSchool(classes, 2026));
        entry->options = StrictOptions(set);
        const GeneratedSchool& school = entry->school;
        entry->people =
            PeopleOfTeachers(school.inputs.teacher_names, school.inputs.number_of_teachers);
        const RuleIndex index = PrepareSearch(school.inputs, school.rules, entry->options);
        exact::ExactSearch search(school.inputs, school.rules, entry->options, index, 7);
        ByteMatrix timetable;
        while (entry->timetables.size() < 4 &&
               search.Next({-1, {}}, timetable) == exact::ExactOutcome::kTimetable) {
            entry->timetables.push_back(timetable);
        }
    }
    return *entry;
}

// The arguments are the class sections, the option set, the moves tried per
// class section and the rounds (0: the run's default).
void BM_FewerGapsStrict(benchmark::State& state) {
    StrictTimetables& prepared =
        StrictSchoolOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (prepared.timetables.empty()) {
        state.SkipWithError("no timetable under these options");
        return;
    }
    GapImprover improver(prepared.school.inputs, prepared.options, prepared.school.rules,
                         prepared.people, 11);
    ReworkLoop(state, improver, prepared.timetables, 2);
}
BENCHMARK(BM_FewerGapsStrict)
    ->Args({15, 0, 0, 0})
    ->Args({15, 1, 0, 0})
    ->Args({15, 2, 0, 0})
    ->Args({15, 0, 160000, 1})
    ->Args({15, 1, 160000, 1})
    ->Args({15, 2, 160000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
