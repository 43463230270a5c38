#pragma once

#include <QString>
#include <optional>

#include "core/run/run_engine.h"
#include "core/run/run_settings.h"
#include "data/shell/startup.h"

namespace taktirio::cli {

// Exit codes of `solve`, beside the tool's general ones.
enum SolveExitCode {
    kExitSomeFound = 5,  // stopped (Ctrl-C or time limit) with some solutions found
    kExitNoneFound = 6,  // stopped or out of time before the first solution
};

// What `solve` was asked for on the command line.
struct SolveRequest {
    RunSettings settings;  // solutions_requested is set from the school unless given
    bool solutions_given = false;
    std::optional<std::uint64_t> seed;  // none: drawn from the clock and printed
    int threads = 0;                    // 0: every core
    std::optional<double> time_limit_seconds;
    bool replace = false;                          // consent to delete the previous pages
    bool check_timetable_possible = true;          // false: --no-checks
    SearchEngines engines = SearchEngines::kBoth;  // --search
};

// Checks the school's data, stores the number of solutions, prepares the
// working copy, loads it and runs the search, writing the pages under
// SOLUTIONS/<user>. Returns the exit code.
int Solve(const SolveRequest& request, const data::ProgramPaths& paths);

}  // namespace taktirio::cli
