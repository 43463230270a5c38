// taktirio-cli check, after the counts: why the school can have no timetable
// under the chosen options, every reason at once.
#include "check_command.h"

#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "console.h"
#include "exact/exact_search.h"
#include "feasibility/feasibility.h"
#include "load/school_reading.h"
#include "prepare/working_copy.h"
#include "solver/errors.h"
#include "solver/findsolution.h"

namespace taktirio::cli {

namespace {

// Conflicts the proof of `check` may spend: a timetable of 30 class sections
// takes far fewer; a proof by counting (a last-hour limit too low for the
// school, which the counting checks find at once) can take many more, and
// is given up after some seconds.
constexpr std::int64_t kProofConflicts = 300000;

// The exact search's answer for `check`.
int ProveTimetablePossible(const data::LoadedProblem& problem, const RunOptions& options) {
    const RuleIndex index = PrepareSearch(problem.inputs, problem.rules, options);
    exact::ExactSearch search(problem.inputs, problem.rules, options, index, 1);
    const exact::ExactLimits limits{kProofConflicts, {}};
    ByteMatrix timetable;
    switch (search.Next(limits, timetable)) {
        case exact::ExactOutcome::kTimetable:
            Say(stdout,
                "Υπάρχει ωρολόγιο πρόγραμμα: η ακριβής αναζήτηση βρήκε ένα που τηρεί όλους τους "
                "περιορισμούς.");
            return kExitOk;
        case exact::ExactOutcome::kNone: {
            const std::string reasons = search.Explain(limits).message;
            Say(stderr, reasons.empty() ? std::string(exact::kProvenImpossibleMessage) : reasons);
            return kExitDataProblem;
        }
        case exact::ExactOutcome::kUnknown:
            break;
    }
    Say(stdout,
        "Η ακριβής αναζήτηση δεν κατέληξε μέσα στο όριό της: δεν είναι γνωστό αν υπάρχει "
        "ωρολόγιο πρόγραμμα.");
    return kExitOk;
}

}  // namespace

int CheckTimetablePossible(const data::Session& session, const RunSettings& settings,
                           SearchEngines engines) {
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
    const RunOptions options = ToRunOptions(settings);
    if (engines != SearchEngines::kExact) {
        const std::vector<Infeasibility> reasons =
            CheckBeforeSearch(problem.inputs, problem.rules, options);
        if (!reasons.empty()) {
            Say(stderr, InfeasibilityMessage(reasons));
            return kExitDataProblem;
        }
        Say(stdout, "Τα δεδομένα πέρασαν τον έλεγχο.");
    }
    if (engines == SearchEngines::kRandom) {
        return kExitOk;
    }
    try {
        return ProveTimetablePossible(problem, options);
    } catch (const ProblemError& error) {
        Say(stderr, std::string(kContradictoryDataMessage) + "\r" + error.what());
        return kExitDataProblem;
    }
}

}  // namespace taktirio::cli
