#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/pages/page_errors.h"
#include "core/pages/solution_page_reader.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"
#include "core/verify/timetable_verifier.h"

namespace taktirio {

// A solution page judged against a school: its timetable read back in the
// school's numbers, and the verifier's verdict on it. What `verify PAGE`
// prints, and what any tool that takes a page back (an editor of solutions)
// must know before it trusts the page.

// The page's school name and its class sections' timetables, each row named
// by the class section alone (without the "ΤΜΗΜΑ: " of the page), teacher
// names in the cells.
struct PageClassTables {
    std::string school_name;
    std::vector<PageRow> rows;
};

// Reads them with the page readers; PageReadError as the readers throw it
// (line 0: the file itself cannot be read).
PageClassTables ReadPageClassTables(const std::string& path);

// Everything `verify` takes from a page, read with every reader to its end:
// the school and its class sections' timetables, the school year, the
// solution's own lines, and the general plan's rows by name with their grey
// cells. The page itself stays, to be compared line by line.
struct WholePage {
    explicit WholePage(SolutionPageReader page) : reader(std::move(page)) {}
    SolutionPageReader reader;
    PageClassTables classes;
    std::string school_year;
    SolutionHeader solution;
    std::vector<std::string> plan_rows;                   // in the plan's order
    std::vector<std::pair<std::string, int>> grey_cells;  // a plan row's name and column
};

// Reads the page with every reader, as print and free read it, so that a
// page cut short anywhere, even after its last timetable, is refused:
// PageReadError as the readers throw it (line 0: the file cannot be read).
WholePage ReadWholePage(const std::string& path);
// The same for a page already in memory.
WholePage ReadWholePage(SolutionPageReader reader);

// Whether the page is the one its class timetables make: the writer writes
// the page again from them, numbering class sections and teachers as the
// page does, with the school's joint lessons (the page shows them as "A,B"),
// the page's own grey cells and lines, and the two are compared line by
// line, to the end. Nothing when they agree; otherwise what departs, worded
// for the user (a teacher of a class timetable that the general plan lacks,
// or the first line that differs). Meant for a page whose names are the
// school's and whose timetable keeps its rules.
std::optional<std::string> PageDisagreement(const WholePage& page, const SolverInputs& inputs,
                                            const RuleTables& rules);

// The page written again as the writer writes it, its class sections'
// timetables taken from `timetable` [class section][slot] (the school's
// numbers) and everything else kept: the school, the year, the teachers in
// the general plan's order, the grey cells. A
// timetable changed by hand thus gives a page in the same format. The
// solution's lines (its number, the count, the time) are `solution`'s, so
// that a page saved under another name says which solution it is.
// std::invalid_argument, worded for the user, when the page cannot carry it.
std::string PageWithTimetable(const WholePage& page, const SolverInputs& inputs,
                              const RuleTables& rules, const ByteMatrix& timetable,
                              const SolutionHeader& solution);

// The page's timetable [class section][slot] in the school's numbers. Names
// the school does not have, and class sections of the school the page lacks,
// are listed in `unknown`, worded for the user; the timetable is then not to
// be judged.
struct PageTimetable {
    ByteMatrix timetable;
    std::vector<std::string> unknown;
};
PageTimetable TimetableOfPage(const PageClassTables& page, const SolverInputs& inputs);

// The verdict on a timetable of a page. The finished reading decides: it
// judges the final cells whatever order they were filled in, and counts a
// teacher's day and week as the person's, over every row that holds them.
// Pages written before the limits of a teacher's day counted the person may
// keep the rules only as the search placed their lessons, row by row; they
// are told apart, so that the user learns why a page once accepted is not.
// std::invalid_argument as VerifyTimetable.
struct TimetableJudgement {
    std::vector<Violation> finished;  // what the finished reading finds broken
    bool as_searched_holds = false;   // with breaches: the reading as searched finds none
    bool KeepsRules() const { return finished.empty(); }
    bool KeepsRulesOnlyAsSearched() const { return !finished.empty() && as_searched_holds; }
};
TimetableJudgement JudgePageTimetable(const SolverInputs& inputs, const RunOptions& options,
                                      const RuleTables& rules, const ByteMatrix& timetable);

// The two readings' joint verdict, as a timetable changed by hand is judged:
// nothing when either reading finds no breach, else what the finished
// reading finds broken. std::invalid_argument as VerifyTimetable.
std::vector<Violation> BrokenInBothReadings(const SolverInputs& inputs, const RunOptions& options,
                                            const RuleTables& rules, const ByteMatrix& timetable);

// A page judged against the school in the order `verify` judges it: the
// school's name, then the names, then the rules, then whether the rest of the
// page is what its class timetables make. `reasons` are worded for the user:
// the unknown names, one line per broken rule (ViolationLine), or where the
// page departs. With kSound, `timetable` is the page's timetable.
struct PageVerdict {
    enum class Outcome {
        kSound,
        kOtherSchool,
        kUnknownNames,
        kBreaksRules,
        kAltered,
        // Keeps the rules as the search placed its lessons, row by row, but
        // breaks them as a teacher's week counts them: `reasons` say where.
        kKeepsRulesOnlyAsSearched,
    };
    Outcome outcome = Outcome::kSound;
    std::vector<std::string> reasons;
    std::vector<Violation> violations;
    ByteMatrix timetable;
};
PageVerdict JudgePage(const WholePage& page, const std::string& school_name,
                      const SolverInputs& inputs, const RunOptions& options,
                      const RuleTables& rules);

// The first line of what the user is told of a page that keeps the rules
// only as the search placed its lessons.
inline constexpr std::string_view kKeepsRulesOnlyAsSearchedMessage =
    "Η σελίδα τηρεί τους κανόνες όπως η αναζήτηση τοποθέτησε τα μαθήματά της, αλλά τους "
    "παραβιάζει όπως μετρά η εβδομάδα κάθε διδάσκοντα, με όλες τις ώρες του (και τις "
    "καρφωμένες και όσες διδάσκει με ζεύγος):";

// What the user is told of a page that cannot be read back: the file itself
// (line 0), or a page that is not a solution page or was cut or altered,
// with the reader's reason on the next line.
std::string UnreadablePageMessage(const std::string& path, const PageReadError& error);

// What the user is told of a page the school does not take back: another
// school's page, names the school does not have (listed), or a page whose
// plan and teachers' timetables are not those its class timetables make.
// Empty for a sound page and for one that breaks rules, whose reasons are
// its lines as they stand. A page that keeps the rules only as the search
// placed its lessons is told so, its lines following.
std::string PageRefusalMessage(const PageVerdict& verdict, const std::string& path,
                               const std::string& page_school, const std::string& school);

// Whether a rule line ends with the rule's English key in brackets, for
// scripts that read the tool's output ("… [five_in_a_row]").
enum class RuleKeyShown { kNo, kAtEnd };

// One violation with the rule's Greek name and the school's names:
// «πέντε ώρες στη σειρά: τμήμα Γ1, διδάσκων Τ15+Τ16, Τρίτη 4η ώρα (detail)»,
// with ` [five_in_a_row]` after it when the key is asked for. Every line
// that tells the user of a broken rule (verify, move, the solution editor)
// is this one.
std::string ViolationLine(const Violation& violation, const SolverInputs& inputs,
                          RuleKeyShown key = RuleKeyShown::kNo);

}  // namespace taktirio
