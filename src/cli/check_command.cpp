// taktirio-cli check, after the counts: why the school can have no timetable
// under the chosen options, every reason at once.
#include "check_command.h"

#include <QTemporaryDir>
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

int CheckTimetablePossible(const data::Session& session, const RunSettings& settings) {
    if (!RunSettingsValid(settings)) {
        Print(stderr, kInvalidValuesMessage);
        return kExitUsage;
    }
    data::LoadedProblem problem;
    try {
        // A scratch working copy: a check only reads the program directory,
        // so it never rewrites DATA.sqlite under a run that holds it.
        const QTemporaryDir scratch;
        if (!scratch.isValid()) {
            Print(stderr,
                  "Δεν μπορεί να δημιουργηθεί προσωρινός φάκελος για τον έλεγχο "
                  "(TMPDIR).");
            return kExitFailure;
        }
        data::Database working =
            data::Database::Open(scratch.filePath(QStringLiteral("DATA.sqlite")));
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
