// taktirio-cli check, after the counts: why the school can have no timetable
// under the chosen options, every reason at once.
#include "check_command.h"

#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "database/database.h"
#include "feasibility/feasibility.h"
#include "load/problem_loader.h"
#include "prepare/working_copy.h"

namespace taktirio::cli {

namespace {

// Program messages use "\r" as a line break; a terminal wants "\n".
void Print(FILE* stream, std::string text) {
    for (char& ch : text) {
        ch = ch == '\r' ? '\n' : ch;
    }
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int CheckTimetablePossible(const data::Session& session, const data::ProgramPaths& paths,
                           const RunSettings& settings) {
    if (!RunSettingsValid(settings)) {
        Print(stderr, kInvalidValuesMessage);
        return kExitUsage;
    }
    data::LoadedProblem problem;
    try {
        data::Database working = data::Database::Open(paths.working_database);
        data::PrepareWorkingCopy(session, working.connection());
        problem = data::LoadProblem(working.connection(), session.school);
    } catch (const data::PreparationError& error) {
        Print(stderr, error.message().toStdString());
        return kExitDataProblem;
    } catch (const data::ProblemLoadError& error) {
        Print(stderr, error.message().toStdString());
        return kExitDataProblem;
    }
    const std::vector<Infeasibility> reasons =
        CheckBeforeSearch(problem.inputs, problem.rules, ToRunOptions(settings));
    if (!reasons.empty()) {
        Print(stderr, InfeasibilityMessage(reasons));
        return kExitDataProblem;
    }
    Print(stdout, "Τα δεδομένα πέρασαν τον έλεγχο.");
    return kExitOk;
}

}  // namespace taktirio::cli
