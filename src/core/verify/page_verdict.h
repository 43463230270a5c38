#pragma once

#include <string>
#include <vector>

#include "pages/solution_page_reader.h"
#include "solver/byte_matrix.h"
#include "solver/run_context.h"
#include "solver/solver_inputs.h"
#include "verify/timetable_verifier.h"

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

// The page's timetable [class section][slot] in the school's numbers. Names
// the school does not have, and class sections of the school the page lacks,
// are listed in `unknown`, worded for the user; the timetable is then not to
// be judged.
struct PageTimetable {
    ByteMatrix timetable;
    std::vector<std::string> unknown;
};
PageTimetable TimetableOfPage(const PageClassTables& page, const SolverInputs& inputs);

// The verdict on a timetable of a page, which does not say whether it was
// reworked toward fewer gaps: none when it keeps every rule read as the
// search built it, or read as a finished timetable; otherwise what the
// search's reading finds broken. std::invalid_argument as VerifyTimetable.
std::vector<Violation> JudgePageTimetable(const SolverInputs& inputs, const RunOptions& options,
                                          const RuleTables& rules, const ByteMatrix& timetable);

// One violation with the school's names: "rule: τμήμα X, διδάσκων Y, Τρίτη
// 3η ώρα (detail)".
std::string ViolationLine(const Violation& violation, const SolverInputs& inputs);

}  // namespace taktirio
