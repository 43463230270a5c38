// taktirio-cli check, after the counts: why the school can have no timetable
// under the chosen options, every reason at once.
#include "check_command.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "console.h"
#include "core/exact/exact_search.h"
#include "core/feasibility/feasibility.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "data/load/school_reading.h"
#include "data/prepare/working_copy.h"

namespace taktirio::cli {

namespace {

// On a terminal, the tries of the search for the reasons, each line
// rewriting the last; nothing when standard error is a file.
class ReasonsProgress {
  public:
    ReasonsProgress() : live_(isatty(fileno(stderr)) == 1) {}
    ~ReasonsProgress() {
        if (live_ && shown_) {
            std::fprintf(stderr, "\r\033[K");
            std::fflush(stderr);
        }
    }
    ReasonsProgress(const ReasonsProgress&) = delete;
    ReasonsProgress& operator=(const ReasonsProgress&) = delete;

    void operator()(int done, int total) {
        if (!live_) {
            return;
        }
        std::fprintf(stderr, "\rΑναζήτηση των αιτίων: δοκιμή %d από %d\033[K", done, total);
        std::fflush(stderr);
        shown_ = true;
    }

  private:
    bool live_;
    bool shown_ = false;
};

// The exact search's answer for `check`, the proof and its reasons within
// one budget of conflicts (exact::kProofConflicts): a school whose proof is
// out of reach is said to be unknown, not searched without end.
int ProveTimetablePossible(const data::LoadedProblem& problem, const RunOptions& options) {
    const RuleIndex index = PrepareSearch(problem.inputs, problem.rules, options);
    exact::ExactSearch search(problem.inputs, problem.rules, options, index, 1);
    search.StartFrom(FurthestPartialTimetable(problem.inputs, problem.rules, options, index, 1,
                                              exact::kGuideAttempts));
    const exact::ExactLimits limits{exact::kProofConflicts, {}};
    search.CountConflicts();  // the proof and its reasons share one budget
    ByteMatrix timetable;
    switch (search.Next(limits, timetable)) {
        case exact::ExactOutcome::kTimetable:
            Say(stdout,
                "Υπάρχει ωρολόγιο πρόγραμμα: η ακριβής αναζήτηση βρήκε ένα που τηρεί όλους τους "
                "περιορισμούς.");
            return kExitOk;
        case exact::ExactOutcome::kNone: {
            ReasonsProgress progress;
            const exact::ExactLimits rest{
                std::max<std::int64_t>(0, exact::kProofConflicts - search.conflicts()), {}};
            const std::string reasons =
                search.Explain(rest, [&progress](int done, int total) { progress(done, total); })
                    .message;
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
