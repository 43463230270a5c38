// Solving the demo school end to end through the run engine, pages written,
// with one and with two worker threads: the speed-up of the threaded run.
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/pages/solution_page_writer.h"
#include "core/run/run_engine.h"
#include "core/run/solution_files.h"
#include "data/database/database.h"
#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/load/problem_loader.h"
#include "data/prepare/working_copy.h"
#include "data/shell/startup.h"
#include "qt_benchmark_main.h"

namespace {

using namespace taktirio;
using namespace taktirio::data;

constexpr int kSolutions = 20;

// The demo school imported, prepared and loaded once.
struct Demo {
    QTemporaryDir dir;
    LoadedProblem problem;
    Demo() {
        QFile file(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"));
        file.open(QIODevice::ReadOnly);
        const SchoolDocument document = ParseSchoolDocument(file.readAll());
        Database entry = Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite")));
        Database working = Database::Open(dir.filePath(QStringLiteral("DATA.sqlite")));
        RegisterSchool(entry.connection(), document.name, document.responsible);
        const Session session{entry.connection(), Login(entry.connection())};
        ImportSchool(session, document);
        PrepareWorkingCopy(session, working.connection());
        problem = LoadProblem(working.connection(), session.school);
        problem.page_info.program_directory = dir.path().toStdString();
    }
};

Demo& TheDemo() {
    static Demo demo;
    return demo;
}

// Options under which the search, not the page writing, takes most of the time.
RunOptions Options(bool strict) {
    RunOptions options;
    if (strict) {
        options.last_hours_limit_on = true;
        options.last_hours_limit = 4;
        options.four_hour_run_limit_on = true;
        options.no_single_hour_runs = true;
    }
    return options;
}

// Args: threads, strict options (0 or 1). kSolutions solutions per iteration.
void BM_SolveDemo(benchmark::State& state) {
    Demo& demo = TheDemo();
    const auto directory = SolutionsDirectory(demo.problem.page_info.program_directory,
                                              demo.problem.page_info.user_name);
    SolutionPageWriter writer(demo.problem.page_info);
    std::uint64_t seed = 1;
    std::int64_t attempts = 0;
    for (auto _ : state) {
        RunParameters parameters;
        parameters.options = Options(state.range(1) != 0);
        parameters.solutions_requested = kSolutions;
        parameters.threads = static_cast<int>(state.range(0));
        parameters.seed = seed++;
        parameters.solutions_directory = directory;
        parameters.time_limit = std::chrono::seconds(120);
        RunEngine engine(demo.problem.inputs, demo.problem.rules, parameters, writer);
        const RunSummary summary = engine.Run();
        attempts += summary.attempts;
        if (summary.found != kSolutions) {
            state.SkipWithError("not every solution was found");
        }
    }
    state.counters["solutions/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kSolutions), benchmark::Counter::kIsRate);
    state.counters["attempts/solution"] =
        static_cast<double>(attempts) / static_cast<double>(state.iterations() * kSolutions);
}
BENCHMARK(BM_SolveDemo)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"threads", "strict"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

}  // namespace

TAKTIRIO_QT_BENCHMARK_MAIN()
