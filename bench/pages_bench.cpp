// Writing the solution page of a generated 30-class-section school, and
// reading it back with each reader, as the print window does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/pages/solution_page_reader.h"
#include "school30_page.h"

namespace taktirio {
namespace {

// Counts what a reading delivers, so that nothing is optimised away.
struct CountingSink : PageSink {
    void Row(const PageRow& row) override { cells += row.cells[1].size() + 1; }
    void CommonFreeHour(const std::string& /*name*/, int column) override {
        cells += static_cast<std::size_t>(column);
    }
    std::size_t cells = 0;
};

void BM_RenderPage(benchmark::State& state) {
    const PageSchool& page = School30();
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderSolutionPage(page.info, page.content));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.bytes.size()));
    state.counters["page_bytes"] = static_cast<double>(page.bytes.size());
}
BENCHMARK(BM_RenderPage)->Unit(benchmark::kMicrosecond);

// Rendering plus writing the file, as a completed attempt does.
void BM_WritePageFile(benchmark::State& state) {
    const PageSchool& page = School30();
    for (auto _ : state) {
        SolutionPageWriter::WriteFile(page.path, RenderSolutionPage(page.info, page.content));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.bytes.size()));
}
BENCHMARK(BM_WritePageFile)->Unit(benchmark::kMicrosecond);

// Opening the page and one reading of it, as each print does.
void BM_ReadPage(benchmark::State& state) {
    const PageSchool& page = School30();
    std::size_t cells = 0;
    for (auto _ : state) {
        auto reader = SolutionPageReader::Open(page.path);
        CountingSink sink;
        switch (state.range(0)) {
            case 0:
                reader.ReadClassTables(sink);
                break;
            case 1:
                reader.ReadTeacherTables(sink);
                break;
            case 2:
                reader.ReadSummaryTables(sink);
                break;
            case 3:
                reader.ReadSchoolHeader(sink);
                reader.ReadGeneralPlanTeachers(sink);
                break;
            default:
                reader.MarkCommonFreeHours(sink);
                break;
        }
        cells += sink.cells;
    }
    benchmark::DoNotOptimize(cells);
    static const char* const kNames[] = {"classes", "teachers", "summary", "header+plan_teachers",
                                         "common_free_hours"};
    state.SetLabel(kNames[state.range(0)]);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.bytes.size()));
}
BENCHMARK(BM_ReadPage)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
