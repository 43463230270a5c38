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
#include "load/page_against_school.h"
#include "pages/page_errors.h"
#include "prepare/working_copy.h"
#include "solver/errors.h"
#include "verify/page_verdict.h"

namespace taktirio::cli {

namespace {

// The school's exit code and message for a page verdict; kExitOk when sound.
int SayVerdict(const PageVerdict& verdict, const std::string& path, const std::string& page_school,
               const std::string& school);

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
        if (error.line() == 0) {  // the file itself cannot be read
            Say(stderr, "Το αρχείο " + path + " δεν μπορεί να διαβαστεί.\r" +
                            PageReadErrorText(error) + ".");
            return kExitFailure;
        }
        Say(stderr, "Η σελίδα " + path +
                        " δεν είναι σελίδα λύσης του TAKTIRIO ή έχει αλλοιωθεί.\r" +
                        PageReadErrorText(error) + ".");
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
    return SayVerdict(verdict, path, checked.page->classes.school_name,
                      checked.problem.page_info.school_name);
}

int VerifyPage(const data::Session& session, const QString& page, const RunSettings& settings) {
    CheckedPage checked;
    return CheckPage(session, page, settings, checked);
}

namespace {

int SayVerdict(const PageVerdict& verdict, const std::string& path, const std::string& page_school,
               const std::string& school) {
    switch (verdict.outcome) {
        case PageVerdict::Outcome::kSound:
            break;
        case PageVerdict::Outcome::kOtherSchool:
            Say(stderr, "Η σελίδα " + path + " είναι λύση του σχολείου «" + page_school +
                            "», όχι του «" + school + "».");
            return kExitOtherSchool;
        case PageVerdict::Outcome::kUnknownNames: {
            std::string text = "Η σελίδα " + path +
                               " δεν ταιριάζει με τα δεδομένα του σχολείου: ονόματα που δεν "
                               "υπάρχουν:";
            for (const std::string& item : verdict.reasons) {
                text += "\r  " + item;
            }
            Say(stderr, text);
            return kExitUnknownNames;
        }
        case PageVerdict::Outcome::kBreaksRules:
            for (const std::string& line : verdict.reasons) {
                Say(stdout, line);
            }
            return kExitDataProblem;
        case PageVerdict::Outcome::kAltered:
            // The timetable keeps the rules; the rest of the page is not the
            // one it makes.
            Say(stderr, "Η σελίδα " + path +
                            " έχει αλλοιωθεί: το γενικό πρόγραμμα ή τα προγράμματα των "
                            "καθηγητών δεν είναι αυτά που δίνουν τα προγράμματα των τμημάτων "
                            "της.\r" +
                            verdict.reasons.front());
            return kExitDamagedPage;
    }
    return kExitOk;
}

}  // namespace

}  // namespace taktirio::cli
