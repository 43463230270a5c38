// taktirio-cli move: a lesson of a solution page moved by hand, with the
// exchange that keeps every rule, printed and optionally saved as a page.
#include "move_command.h"

#include <QFileInfo>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "console.h"
#include "core/edit/edit_session.h"
#include "core/edit/edited_page.h"
#include "core/pages/page_errors.h"
#include "core/pages/solution_page_writer.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"
#include "data/shell/program_files.h"
#include "data/shell/program_lock.h"
#include "verify_command.h"

namespace taktirio::cli {

namespace {

// "D,H" as a slot; nothing when it is not a day 1..5 and an hour 1..10.
std::optional<int> SlotOfText(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2) {
        return std::nullopt;
    }
    bool day_ok = false;
    bool hour_ok = false;
    const int day = parts[0].trimmed().toInt(&day_ok);
    const int hour = parts[1].trimmed().toInt(&hour_ok);
    if (!day_ok || !hour_ok || day < 1 || day > kDays || hour < 1 || hour > kMaxHoursPerDay) {
        return std::nullopt;
    }
    return SlotOf(day, hour);
}

// The editor's answer, as the window shows it, one line each, indented; a
// rule line ends with its key for scripts.
void SayAnswer(const EditSession& edit) {
    const ExchangeWording words = edit.ProposalWording(RuleKeyShown::kAtEnd);
    Say(stdout, words.headline);
    for (const std::string& line : words.lines) {
        Say(stdout, "  " + line);
    }
}

// Why the edited page may not be written at `output`; empty when it may.
QString OutputRefusal(const QString& directory, const QString& page, const QString& output) {
    // A new SOLUTION<n>.htm in the solutions folder is welcome; the
    // databases, their journals, the lock and the pages already there are not.
    if (data::IsProgramFile(directory, output) &&
        (!output.endsWith(QLatin1String(".htm")) || QFileInfo::exists(output))) {
        return QStringLiteral(
                   "Το αρχείο %1 είναι αρχείο του TAKTIRIO (βάση δεδομένων, "
                   "κλείδωμα, υπάρχουσα ή προηγούμενη σελίδα λύσης) και δεν "
                   "αντικαθίσταται.\r"
                   "Δώσε άλλο όνομα αρχείου με την επιλογή -o.")
            .arg(output);
    }
    if (data::IsSpecialFile(output)) {
        return QStringLiteral(
                   "Το %1 δεν είναι κανονικό αρχείο (είναι φάκελος, συσκευή ή "
                   "σωλήνας) και δεν αντικαθίσταται.")
            .arg(output);
    }
    if (data::FileWrittenAt(output) == data::FileWrittenAt(page)) {
        return QStringLiteral(
                   "Το αρχείο %1 είναι η σελίδα που διορθώνεται: η διορθωμένη "
                   "λύση γράφεται σε άλλο αρχείο.")
            .arg(output);
    }
    return {};
}

}  // namespace

int MoveLesson(const data::Session& session, const QString& directory, const MoveLine& line,
               const RunSettings& settings) {
    const std::optional<int> from = SlotOfText(line.from);
    const std::optional<int> to = SlotOfText(line.to);
    if (!from || !to) {
        Say(stderr, std::string(kInvalidValuesMessage) +
                        "\rΗ θέση δίνεται ως ΗΜΕΡΑ,ΩΡΑ: ημέρα 1 (Δευτέρα) έως 5, ώρα 1 έως 10.");
        return kExitUsage;
    }
    std::optional<data::ProgramLock> lock;
    if (!line.output.isEmpty()) {
        if (const QString refusal = OutputRefusal(directory, line.page, line.output);
            !refusal.isEmpty()) {
            Say(stderr, refusal);
            return kExitRefused;
        }
        // A page written where a run writes and sets its pages aside waits
        // for no run: while one holds the lock, ProgramLockError says whose
        // it is; once taken, no run starts until the page is written.
        if (data::IsInProgramDirectory(directory, line.output)) {
            lock.emplace(directory);
            lock->Lock();
        }
    }
    CheckedPage checked;
    if (const int code = CheckPage(session, line.page, settings, checked); code != kExitOk) {
        return code;
    }
    const SolverInputs& inputs = checked.problem.inputs;
    MoveRequest request{0, *from, *to};
    for (int c = 1; c <= inputs.number_of_classes; ++c) {
        if (inputs.class_names[static_cast<std::size_t>(c)] == line.class_name.toStdString()) {
            request.class_section = c;
        }
    }
    if (request.class_section == 0) {
        Say(stderr, "Δεν υπάρχει τμήμα «" + line.class_name.toStdString() + "» στο σχολείο.");
        return kExitUsage;
    }
    const RunOptions options = ToRunOptions(settings);
    EditSession edit(inputs, checked.problem.rules, checked.verdict.timetable, options);
    if (const auto problem = edit.Ask(request)) {
        Say(stderr, *problem);
        return kExitUsage;
    }
    SayAnswer(edit);
    if (!edit.proposal()->keeps_rules) {
        return kExitDataProblem;
    }
    if (line.output.isEmpty()) {
        return kExitOk;
    }
    edit.Apply();
    try {
        const std::string bytes = VerifiedEditedPage(
            *checked.page, checked.problem.page_info.school_name, inputs, options,
            checked.problem.rules, edit.timetable(),
            EditedPageSolution(checked.page->solution,
                               std::filesystem::path(line.output.toStdString())));
        SolutionPageWriter::WriteFile(line.output.toStdString(), bytes);
    } catch (const std::invalid_argument& error) {
        Say(stderr, std::string("Η διορθωμένη σελίδα δεν γράφτηκε: ") + error.what() + ".");
        return kExitFailure;
    } catch (const PageWriteError& error) {
        Say(stderr, "Η διορθωμένη σελίδα δεν γράφτηκε στο " + line.output.toStdString() + ": " +
                        error.reason() + ".");
        return kExitFailure;
    }
    Say(stdout, "Η διορθωμένη λύση γράφτηκε στο " + line.output.toStdString() + ".");
    return kExitOk;
}

}  // namespace taktirio::cli
