// taktirio-cli check, after the counts: why the school can have no timetable
// under the chosen options, every reason at once.
#include "check_command.h"

#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "console.h"
#include "feasibility/feasibility.h"
#include "load/school_reading.h"
#include "prepare/working_copy.h"

namespace taktirio::cli {

int CheckTimetablePossible(const data::Session& session, const RunSettings& settings) {
    if (!RunSettingsValid(settings)) {
        Say(stderr, kInvalidValuesMessage);
        return kExitUsage;
    }
    data::LoadedProblem problem;
    try {
        problem = data::LoadSchoolForReading(session);
    } catch (const data::PreparationError& error) {
        Say(stderr, error.message().toStdString());
        return kExitDataProblem;
    } catch (const data::ProblemLoadError& error) {
        Say(stderr, error.message().toStdString());
        return kExitDataProblem;
    }
    const std::vector<Infeasibility> reasons =
        CheckBeforeSearch(problem.inputs, problem.rules, ToRunOptions(settings));
    if (!reasons.empty()) {
        Say(stderr, InfeasibilityMessage(reasons));
        return kExitDataProblem;
    }
    Say(stdout, "Τα δεδομένα πέρασαν τον έλεγχο.");
    return kExitOk;
}

}  // namespace taktirio::cli
