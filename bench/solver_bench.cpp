// Speed of the placement search on generated schools of 6, 15 and 30 class
// sections (35 hours a week, about 2.5 teachers per class section, a typical
// amount of every rule), with the run's options off and with every one on.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "core/generator/school_generator.h"
#include "core/solver/findsolution.h"

namespace taktirio {
namespace {

// One generated school per size, prepared once and shared by the benchmarks.
struct PreparedSchool {
    GeneratedSchool school;
    RunContext context;
};

// The typical school, or one with every option of the run on, so that every
// test of a try is reached (the last-hours, day-hours, single-hour-run and
// five-in-a-row tests are skipped while their options are off).
SchoolSettings SettingsOf(int classes, bool every_option) {
    SchoolSettings settings = TypicalSchool(classes, 2026);
    if (every_option) {
        settings.options.last_hours_limit_on = true;
        settings.options.last_hours_limit = 4;
        settings.options.day_hours_limit_on = true;
        settings.options.day_hours_limit = 7;
        settings.options.no_single_hour_runs = true;
        settings.options.four_hour_run_limit_on = true;
    }
    return settings;
}

PreparedSchool& SchoolOfSize(int classes, bool every_option = false) {
    static std::map<std::pair<int, bool>, std::unique_ptr<PreparedSchool>> cache;
    auto& entry = cache[{classes, every_option}];
    if (!entry) {
        entry = std::make_unique<PreparedSchool>();
        entry->school = GenerateSchool(SettingsOf(classes, every_option));
        entry->context.options = entry->school.options;
        entry->context.rules = entry->school.rules;
        PrepareSearch(entry->school.inputs, entry->context);
    }
    return *entry;
}

// Attempts back to back, as a run makes them: draws per second and attempts
// per second on one core. The second argument, when 1, turns every option on.
void BM_SearchAttempts(benchmark::State& state) {
    PreparedSchool& prepared = SchoolOfSize(static_cast<int>(state.range(0)), state.range(1) != 0);
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
BENCHMARK(BM_SearchAttempts)
    ->ArgNames({"classes", "every_option"})
    ->Args({6, 0})
    ->Args({15, 0})
    ->Args({30, 0})
    ->Args({6, 1})
    ->Args({15, 1})
    ->Args({30, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

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
