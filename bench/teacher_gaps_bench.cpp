// The teacher view's gaps in the solutions: every one of 254 pages of a
// generated 30-class-section school read and one teacher's gaps counted, as
// choosing a teacher does; and the count of one timetable's gaps alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "core/gaps/teacher_gaps.h"
#include "core/run/solution_files.h"
#include "data/checks/teacher_view.h"
#include "school30_page.h"

namespace taktirio {
namespace {

std::filesystem::path BenchFolder() {
    return std::filesystem::temp_directory_path() / "taktirio_teacher_gaps_bench";
}

// 254 copies of the school's page in a folder of their own, written once.
const std::filesystem::path& Folder254() {
    static const std::filesystem::path folder = [] {
        const PageSchool& page = School30();
        std::filesystem::path path = BenchFolder();
        std::filesystem::create_directories(path);
        for (int n = 1; n <= kMostSolutionPages; ++n) {
            SolutionPageWriter::WriteFile((path / SolutionPageName(n)).string(), page.bytes);
        }
        return path;
    }();
    return folder;
}

void BM_GapsInPages(benchmark::State& state) {
    const std::filesystem::path& folder = Folder254();
    const std::string teacher = School30().school.inputs.teacher_names[1];
    std::size_t pages = 0;
    for (auto _ : state) {
        const data::GapsInPages gaps = data::ReadGapsInPages(folder, teacher);
        pages = gaps.people.empty() ? 0 : gaps.people.front().pages.size();
        benchmark::DoNotOptimize(gaps);
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_GapsInPages)->Unit(benchmark::kMillisecond);

void BM_CountGaps(benchmark::State& state) {
    const PageSchool& page = School30();
    const SolverInputs& in = page.school.inputs;
    const TeacherPeople people = PeopleOfTeachers(in.teacher_names, in.number_of_teachers);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountGaps(page.school.witness, in.number_of_classes, people));
    }
}
BENCHMARK(BM_CountGaps)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace taktirio

// The 254 pages (about 100 MB) go once the benchmarks have run.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(taktirio::BenchFolder(), ignored);
    return 0;
}
