// Runs under strict options on generated schools of 9, 15 and 30 class
// sections (teacher pairs, joint lessons, pinned lessons, absences), through
// the run engine as `solve` drives it: the default search (both engines),
// two worker threads, the pages counted instead of written. The time to the
// first timetable (or to a proof that none exists), and to 20 timetables.
// Option sets: 0 last-hours 2 and no single-hour runs; 1 last-hours 2,
// day-hours 5 and no five hours in a row; 2 all of them.
//
//   build/bench/strict_run_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <utility>

#include "core/generator/school_generator.h"
#include "core/run/run_engine.h"
#include "strict_options.h"

namespace taktirio {
namespace {

const GeneratedSchool& SchoolOf(int classes) {
    static std::map<int, std::unique_ptr<GeneratedSchool>> cache;
    auto& entry = cache[classes];
    if (!entry) {
        entry = std::make_unique<GeneratedSchool>(GenerateSchool(TypicalSchool(classes, 2026)));
    }
    return *entry;
}

// Counts the timetables a run hands over instead of writing their pages.
class CountingWriter : public SolutionWriter {
  public:
    void WriteSolution(const ClaimedSolution& /*solution*/) override { ++written; }
    int written = 0;
};

// outcome: 1 every timetable asked for, 0 proven none (or no more), -1 the
// time limit.
void RunStrict(benchmark::State& state, int solutions) {
    const int classes = static_cast<int>(state.range(0));
    const int set = static_cast<int>(state.range(1));
    const GeneratedSchool& school = SchoolOf(classes);
    const auto directory = std::filesystem::temp_directory_path() / "taktirio_strict_run_bench";
    std::uint64_t seed = 1;
    int outcome = -1;
    for (auto _ : state) {
        CountingWriter writer;
        RunParameters parameters;
        parameters.options = StrictOptions(set);
        parameters.solutions_requested = solutions;
        parameters.threads = 2;
        parameters.seed = seed++;
        parameters.solutions_directory = directory;
        parameters.time_limit = std::chrono::seconds(60);
        RunEngine engine(school.inputs, school.rules, parameters, writer);
        const RunSummary summary = engine.Run();
        outcome = summary.end == RunEnd::kAllFound ? 1 : summary.end == RunEnd::kExhausted ? 0 : -1;
    }
    state.counters["outcome"] = outcome;
}

void BM_StrictFirst(benchmark::State& state) {
    RunStrict(state, 1);
}
BENCHMARK(BM_StrictFirst)
    ->ArgsProduct({{9, 15}, {0, 1, 2}})
    ->ArgNames({"classes", "set"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_StrictFirst)
    ->ArgsProduct({{30}, {0, 1, 2}})
    ->ArgNames({"classes", "set"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

void BM_StrictTwenty(benchmark::State& state) {
    RunStrict(state, 20);
}
BENCHMARK(BM_StrictTwenty)
    ->ArgsProduct({{15}, {0, 1, 2}})
    ->ArgNames({"classes", "set"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
