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
#include "load/school_reading.h"
#include "pages/page_errors.h"
#include "prepare/working_copy.h"
#include "solver/errors.h"
#include "verify/page_verdict.h"

namespace taktirio::cli {

int VerifyPage(const data::Session& session, const QString& page, const RunSettings& settings) {
    if (!RunSettingsValid(settings)) {
        Say(stderr, kInvalidValuesMessage);
        return kExitUsage;
    }
    const std::string path = page.toStdString();
    std::optional<WholePage> whole;
    try {
        whole.emplace(ReadWholePage(path));
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
    const PageClassTables& tables = whole->classes;
    if (tables.school_name != problem.page_info.school_name) {
        Say(stderr, "Η σελίδα " + path + " είναι λύση του σχολείου «" + tables.school_name +
                        "», όχι του «" + problem.page_info.school_name + "».");
        return kExitOtherSchool;
    }
    const PageTimetable read = TimetableOfPage(tables, problem.inputs);
    if (!read.unknown.empty()) {
        std::string text = "Η σελίδα " + path +
                           " δεν ταιριάζει με τα δεδομένα του σχολείου: ονόματα που δεν υπάρχουν:";
        for (const std::string& item : read.unknown) {
            text += "\r  " + item;
        }
        Say(stderr, text);
        return kExitUnknownNames;
    }
    std::vector<Violation> violations;
    try {
        violations = JudgePageTimetable(problem.inputs, ToRunOptions(settings), problem.rules,
                                        read.timetable);
    } catch (const std::invalid_argument& error) {
        Say(stderr, std::string(kContradictoryDataMessage) + "\r" + error.what());
        return kExitDataProblem;
    }
    for (const Violation& violation : violations) {
        Say(stdout, ViolationLine(violation, problem.inputs));
    }
    if (!violations.empty()) {
        return kExitDataProblem;
    }
    // The timetable keeps the rules; the rest of the page must be the one it makes.
    if (const auto departs = PageDisagreement(*whole, problem.inputs, problem.rules)) {
        Say(stderr, "Η σελίδα " + path +
                        " έχει αλλοιωθεί: το γενικό πρόγραμμα ή τα προγράμματα των καθηγητών "
                        "δεν είναι αυτά που δίνουν τα προγράμματα των τμημάτων της.\r" +
                        *departs);
        return kExitDamagedPage;
    }
    return kExitOk;
}

}  // namespace taktirio::cli
