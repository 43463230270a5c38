// Writing the solution page of a generated 30-class-section school, and
// reading it back with each reader, as the print window does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/narrow.h"
#include "generator/school_generator.h"
#include "pages/solution_page_reader.h"
#include "pages/solution_page_writer.h"

namespace taktirio {
namespace {

// The school, its timetable and its page, built once.
struct PageSchool {
    GeneratedSchool school;
    SolutionPageInfo info;
    SolutionPageContent content;
    std::string path;
    std::string bytes;
};

const PageSchool& School30() {
    static const PageSchool* page = [] {
        auto* p = new PageSchool;
        p->school = GenerateSchool(TypicalSchool(30, 2026));
        const SolverInputs& in = p->school.inputs;
        p->info.school_name = "ΓΕΝΙΚΟ ΛΥΚΕΙΟ ΔΟΚΙΜΩΝ";
        p->info.max_class_week_hours =
            *std::max_element(in.class_week_hours.begin(), in.class_week_hours.end());
        for (int t = 1; t <= in.number_of_teachers; ++t) {
            if (in.teacher_names[AsIndex(t)].find('+') == std::string::npos) {
                p->info.AddSingleTeacher(static_cast<std::uint8_t>(t),
                                         in.teacher_names[AsIndex(t)]);
            }
        }
        const RuleTables& rules = p->school.rules;
        for (int k = 1; k <= rules.deny_count; ++k) {
            p->info.AddDenyHour(rules.deny_list[AsIndex(2 * k)],
                                rules.deny_list[AsIndex(2 * k + 1)]);
        }
        p->content.number_of_classes = in.number_of_classes;
        p->content.number_of_teachers = in.number_of_teachers;
        p->content.class_week_hours = in.class_week_hours;
        p->content.timetable = &p->school.witness;
        p->content.class_names = in.class_names;
        p->content.teacher_names = in.teacher_names;
        p->content.solution_time_text = "0:0:2:125";
        p->content.joint_count = rules.joint_count;
        p->content.joint_lessons = rules.joint_lessons;
        p->content.year = 2026;
        p->bytes = RenderSolutionPage(p->info, p->content);
        p->path = (std::filesystem::temp_directory_path() / "taktirio_pages_bench.htm").string();
        SolutionPageWriter::WriteFile(p->path, p->bytes);
        return p;
    }();
    return *page;
}

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
