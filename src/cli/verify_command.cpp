// taktirio-cli verify PAGE: a solution page read back and checked, rule by
// rule, against the school's data by the independent verifier.
#include "verify_command.h"

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "console.h"
#include "core/pages/page_errors.h"
#include "core/solver/errors.h"
#include "core/verify/page_verdict.h"
#include "data/load/page_against_school.h"
#include "data/prepare/working_copy.h"

namespace taktirio::cli {

namespace {

// The school's exit code and message for a page verdict; kExitOk when sound.
// Its rule lines end with the rule's key, for scripts.
int SayVerdict(const PageVerdict& verdict, const SolverInputs& inputs, const std::string& path,
               const std::string& page_school, const std::string& school);

}  // namespace

int CheckPage(const data::Session& session, const QString& page, const RunSettings& settings,
              CheckedPage& checked) {
    if (!RunSettingsValid(settings)) {
        Say(stderr, kInvalidValuesMessage);
        return kExitUsage;
    }
    const std::string path = page.toStdString();
    try {
        checked = data::ReadPageAgainstSchool(session, path, ToRunOptions(settings));
    } catch (const PageReadError& error) {
        Say(stderr, UnreadablePageMessage(path, error));
        if (error.line() == 0) {  // the file itself cannot be read
            return kExitFailure;
        }
        return kExitDamagedPage;
    } catch (const data::PreparationError& error) {
        Say(stderr, error.message().toStdString());
        return kExitDataProblem;
    } catch (const data::ProblemLoadError& error) {
        Say(stderr, error.message().toStdString());
        return kExitDataProblem;
    } catch (const std::invalid_argument& error) {
        Say(stderr, std::string(kContradictoryDataMessage) + "\r" + error.what());
        return kExitDataProblem;
    }
    const PageVerdict& verdict = checked.verdict;
    return SayVerdict(verdict, checked.problem.inputs, path, checked.page->classes.school_name,
                      checked.problem.page_info.school_name);
}

int VerifyPage(const data::Session& session, const QString& page, const RunSettings& settings) {
    CheckedPage checked;
    return CheckPage(session, page, settings, checked);
}

namespace {

// The verdict's reasons with each rule line keyed: one reason per violation
// when the page breaks rules, the other reasons as they are.
PageVerdict KeyedVerdict(const PageVerdict& verdict, const SolverInputs& inputs) {
    PageVerdict keyed;
    keyed.outcome = verdict.outcome;
    if (verdict.violations.empty()) {
        keyed.reasons = verdict.reasons;
        return keyed;
    }
    for (const Violation& violation : verdict.violations) {
        keyed.reasons.push_back(ViolationLine(violation, inputs, RuleKeyShown::kAtEnd));
    }
    return keyed;
}

int SayVerdict(const PageVerdict& judged, const SolverInputs& inputs, const std::string& path,
               const std::string& page_school, const std::string& school) {
    const PageVerdict verdict = KeyedVerdict(judged, inputs);
    const auto refuse = [&](int code) {
        Say(stderr, PageRefusalMessage(verdict, path, page_school, school));
        return code;
    };
    switch (verdict.outcome) {
        case PageVerdict::Outcome::kSound:
            return kExitOk;
        case PageVerdict::Outcome::kBreaksRules:
            for (const std::string& line : verdict.reasons) {
                Say(stdout, line);
            }
            return kExitDataProblem;
        case PageVerdict::Outcome::kOtherSchool:
            return refuse(kExitOtherSchool);
        case PageVerdict::Outcome::kUnknownNames:
            return refuse(kExitUnknownNames);
        case PageVerdict::Outcome::kAltered:
            return refuse(kExitDamagedPage);
        case PageVerdict::Outcome::kKeepsRulesOnlyAsSearched:
            Say(stdout, PageRefusalMessage(verdict, path, page_school, school));
            return kExitKeepsRulesOnlyAsSearched;
    }
    return kExitOk;
}

}  // namespace

}  // namespace taktirio::cli
