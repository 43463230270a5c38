// Speed of the placement search on generated schools of 6, 15 and 30 class
// sections (35 hours a week, about 2.5 teachers per class section, a typical
// amount of every rule).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>

#include "generator/school_generator.h"
#include "solver/findsolution.h"

namespace taktirio {
namespace {

// One generated school per size, prepared once and shared by the benchmarks.
struct PreparedSchool {
    GeneratedSchool school;
    RunContext context;
};

PreparedSchool& SchoolOfSize(int classes) {
    static std::map<int, std::unique_ptr<PreparedSchool>> cache;
    auto& entry = cache[classes];
    if (!entry) {
        entry = std::make_unique<PreparedSchool>();
        entry->school = GenerateSchool(TypicalSchool(classes, 2026));
        entry->context.options = entry->school.options;
        entry->context.rules = entry->school.rules;
        PrepareSearch(entry->school.inputs, entry->context);
    }
    return *entry;
}

// Attempts back to back, as a run makes them: draws per second and attempts
// per second on one core.
void BM_SearchAttempts(benchmark::State& state) {
    PreparedSchool& prepared = SchoolOfSize(static_cast<int>(state.range(0)));
    RandomStream random(42);
    std::uint64_t draws = 0;
    std::int64_t attempts = 0;
    std::int64_t completed = 0;
    for (auto _ : state) {
        Tfindsolution solver(prepared.context, random, prepared.school.inputs);
        completed += solver.Search() ? 1 : 0;
        draws += solver.draws();
        ++attempts;
    }
    state.counters["draws/s"] =
        benchmark::Counter(static_cast<double>(draws), benchmark::Counter::kIsRate);
    state.counters["attempts/s"] =
        benchmark::Counter(static_cast<double>(attempts), benchmark::Counter::kIsRate);
    state.counters["completed"] = static_cast<double>(completed) / static_cast<double>(attempts);
}
BENCHMARK(BM_SearchAttempts)->Arg(6)->Arg(15)->Arg(30)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Time from the first attempt to the first complete timetable, one seed per
// repetition; the median over the repetitions is the figure to read.
void BM_FirstTimetable(benchmark::State& state) {
    PreparedSchool& prepared = SchoolOfSize(static_cast<int>(state.range(0)));
    static std::uint64_t next_seed = 1;
    std::int64_t attempts = 0;
    for (auto _ : state) {
        RandomStream random(next_seed++);
        for (;;) {
            ++attempts;
            Tfindsolution solver(prepared.context, random, prepared.school.inputs);
            if (solver.Search()) {
                break;
            }
        }
    }
    state.counters["attempts"] = static_cast<double>(attempts);
}
BENCHMARK(BM_FirstTimetable)
    ->Arg(6)
    ->Arg(15)
    ->Arg(30)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
