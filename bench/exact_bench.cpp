// The exact search beside the randomised one on generated schools of 9, 15
// and 30 class sections under three strict option sets: the time to write
// the clauses, the time to the first timetable (or to a proof that none
// exists) of each engine alone. The schools are generated under the default
// options; the strict options are then imposed, as a school's user would.
//
//   build/bench/exact_bench --benchmark_filter=First
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <utility>

#include "core/exact/exact_search.h"
#include "core/generator/school_generator.h"
#include "core/solver/findsolution.h"
#include "strict_options.h"

namespace taktirio {
namespace {

struct StrictSchool {
    GeneratedSchool school;
    RunOptions options;
    RuleIndex index;
};

const StrictSchool& SchoolOf(int classes, int set) {
    static std::map<std::pair<int, int>, std::unique_ptr<StrictSchool>> cache;
    auto& entry = cache[{classes, set}];
    if (!entry) {
        entry = std::make_unique<StrictSchool>();
        entry->school = GenerateSchool(TypicalSchool(classes, 2026));
        entry->options = StrictOptions(set);
        entry->index = PrepareSearch(entry->school.inputs, entry->school.rules, entry->options);
    }
    return *entry;
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (const int classes : {9, 15, 30}) {
        for (const int set : {0, 1, 2}) {
            b->Args({classes, set});
        }
    }
}

// The first timetable's time has a long tail from seed to seed: sixteen seeds
// at 9 and 15 class sections, three at 30.
void SmallSizes(benchmark::internal::Benchmark* b) {
    for (const int classes : {9, 15}) {
        for (const int set : {0, 1, 2}) {
            b->Args({classes, set});
        }
    }
    b->Iterations(16);
}
void LargeSizes(benchmark::internal::Benchmark* b) {
    for (const int set : {0, 1, 2}) {
        b->Args({30, set});
    }
    b->Iterations(3);
}

void BM_ExactEncode(benchmark::State& state) {
    const StrictSchool& s =
        SchoolOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::int64_t clauses = 0;
    for (auto _ : state) {
        exact::ExactSearch search(s.school.inputs, s.school.rules, s.options, s.index, 1);
        clauses = search.clauses();
    }
    state.counters["clauses"] = static_cast<double>(clauses);
}
BENCHMARK(BM_ExactEncode)->Apply(Sizes)->Unit(benchmark::kMillisecond);

// outcome: 1 a timetable, 0 proven none, -1 unknown within a million conflicts.
int FirstOutcome(exact::ExactSearch& search) {
    ByteMatrix timetable;
    const exact::ExactOutcome result = search.Next({1000000, {}}, timetable);
    return result == exact::ExactOutcome::kTimetable ? 1
           : result == exact::ExactOutcome::kNone    ? 0
                                                     : -1;
}

void BM_ExactFirst(benchmark::State& state) {
    const StrictSchool& s =
        SchoolOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int outcome = -1;
    std::uint64_t seed = 1;
    for (auto _ : state) {
        exact::ExactSearch search(s.school.inputs, s.school.rules, s.options, s.index, seed++);
        outcome = FirstOutcome(search);
    }
    state.counters["outcome"] = outcome;
}
BENCHMARK(BM_ExactFirst)->Apply(SmallSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactFirst)->Apply(LargeSizes)->Unit(benchmark::kMillisecond);

// The first timetable as a run's exact worker reaches it: started from the
// furthest partial timetable of a few attempts of the randomised search,
// whose time is counted. guided: the cells it set.
void BM_ExactFirstGuided(benchmark::State& state) {
    const StrictSchool& s =
        SchoolOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int outcome = -1;
    std::uint64_t seed = 1;
    double guided = 0;
    std::int64_t runs = 0;
    for (auto _ : state) {
        exact::ExactSearch search(s.school.inputs, s.school.rules, s.options, s.index, seed);
        guided += search.StartFrom(FurthestPartialTimetable(
            s.school.inputs, s.school.rules, s.options, s.index, seed, exact::kGuideAttempts));
        ++seed;
        ++runs;
        outcome = FirstOutcome(search);
    }
    state.counters["outcome"] = outcome;
    state.counters["guided"] = guided / static_cast<double>(runs);
}
BENCHMARK(BM_ExactFirstGuided)->Apply(SmallSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactFirstGuided)->Apply(LargeSizes)->Unit(benchmark::kMillisecond);

// The guide alone: the few randomised attempts whose furthest partial
// timetable the exact search starts from. guided: the cells it holds.
void BM_Guide(benchmark::State& state) {
    const StrictSchool& s =
        SchoolOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::uint64_t seed = 1;
    double cells = 0;
    std::int64_t runs = 0;
    for (auto _ : state) {
        const ByteMatrix partial = FurthestPartialTimetable(
            s.school.inputs, s.school.rules, s.options, s.index, seed++, exact::kGuideAttempts);
        for (std::size_t c = 1; c < partial.rows(); ++c) {
            for (std::size_t slot = 1; slot < partial.cols(); ++slot) {
                cells += partial(c, slot) != 0 ? 1 : 0;
            }
        }
        ++runs;
    }
    state.counters["guided"] = cells / static_cast<double>(runs);
}
BENCHMARK(BM_Guide)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Twenty timetables of one exact search, each blocked as it is found, as a
// run's exact worker asks for them. found: how many within a million
// conflicts each.
void BM_ExactTwenty(benchmark::State& state) {
    const StrictSchool& s =
        SchoolOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::uint64_t seed = 1;
    int found = 0;
    double changed = 0;  // cells that differ from the timetable before, on average
    for (auto _ : state) {
        exact::ExactSearch search(s.school.inputs, s.school.rules, s.options, s.index, seed++);
        found = 0;
        ByteMatrix timetable;
        ByteMatrix before;
        std::int64_t differing = 0;
        while (found < 20 &&
               search.Next({1000000, {}}, timetable) == exact::ExactOutcome::kTimetable) {
            for (std::size_t c = 0; found > 0 && c < timetable.rows(); ++c) {
                for (std::size_t slot = 0; slot < timetable.cols(); ++slot) {
                    differing += timetable(c, slot) != before(c, slot) ? 1 : 0;
                }
            }
            before = timetable;
            ++found;
        }
        changed = found > 1 ? static_cast<double>(differing) / (found - 1) : 0;
    }
    state.counters["found"] = found;
    state.counters["changed_cells"] = changed;
}
BENCHMARK(BM_ExactTwenty)
    ->Args({15, 0})
    ->Args({15, 1})
    ->Args({15, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// found: the share of repetitions in which the randomised search completed a
// timetable within 3000 attempts.
void BM_RandomFirst(benchmark::State& state) {
    const StrictSchool& s =
        SchoolOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    RunContext context;
    context.options = s.options;
    context.rules = s.school.rules;
    context.index = s.index;
    std::uint64_t seed = 1;
    int found = 0;
    int runs = 0;
    for (auto _ : state) {
        RandomStream random(seed++);
        for (int attempt = 0; attempt < 3000; ++attempt) {
            Tfindsolution solver(context, random, s.school.inputs);
            if (solver.Search()) {
                ++found;
                break;
            }
        }
        ++runs;
    }
    state.counters["found"] = static_cast<double>(found) / runs;
}
BENCHMARK(BM_RandomFirst)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
