// taktirio-cli check, after the counts: why the school can have no timetable
// under the chosen options, every reason at once.
#include "check_command.h"

#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "console.h"
#include "database/database.h"
#include "feasibility/feasibility.h"
#include "load/problem_loader.h"
#include "prepare/working_copy.h"

namespace taktirio::cli {

int CheckTimetablePossible(const data::Session& session, const RunSettings& settings) {
    if (!RunSettingsValid(settings)) {
        Say(stderr, kInvalidValuesMessage);
        return kExitUsage;
    }
    data::LoadedProblem problem;
    try {
        // A scratch working copy: a check only reads the program directory,
        // so it never rewrites DATA.sqlite under a run that holds it.
        const QTemporaryDir scratch;
        if (!scratch.isValid()) {
            Say(stderr,
                "Δεν μπορεί να δημιουργηθεί προσωρινός φάκελος για τον έλεγχο "
                "(TMPDIR).");
            return kExitFailure;
        }
        data::Database working =
            data::Database::Open(scratch.filePath(QStringLiteral("DATA.sqlite")));
        data::PrepareWorkingCopy(session, working.connection());
        problem = data::LoadProblem(working.connection(), session.school);
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
