#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/gaps/gap_improver.h"

namespace taktirio {

// The loop of a rework benchmark: one rework per iteration, each of a fresh
// copy of one of the search's timetables, on one core. The counters are means
// over the iterations, and how many reworks left somebody above two gaps.
// state.range(first_budget_arg) is the moves per class section and the next
// argument the rounds; 0 keeps the run's default.
inline void ReworkLoop(benchmark::State& state, GapImprover& improver,
                       const std::vector<ByteMatrix>& timetables, std::size_t first_budget_arg) {
    if (state.range(first_budget_arg) > 0) {
        improver.SetMovesPerClass(state.range(first_budget_arg));
    }
    if (state.range(first_budget_arg + 1) > 0) {
        improver.SetRounds(static_cast<int>(state.range(first_budget_arg + 1)));
    }
    double sums[4] = {};
    int worst_above_two = 0;
    std::size_t next = 0;
    std::int64_t runs = 0;
    for (auto _ : state) {
        ByteMatrix timetable = timetables[next++ % timetables.size()];
        improver.Improve(timetable);
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

}  // namespace taktirio
