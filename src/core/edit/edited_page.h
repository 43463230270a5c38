#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"
#include "core/verify/page_verdict.h"

namespace taktirio {

// A solution page changed by hand: the page written again with the edited
// timetable, in the same format, and read back whole and judged as `verify`
// judges a page before a single byte of it reaches a file. Returns the
// page's bytes; std::invalid_argument, worded for the user, when the page it
// makes would not pass (the reasons, one per line). `solution` gives its
// number and count lines (EditedPageSolution).
std::string VerifiedEditedPage(const WholePage& page, const std::string& school_name,
                               const SolverInputs& inputs, const RunOptions& options,
                               const RuleTables& rules, const ByteMatrix& timetable,
                               const SolutionHeader& solution);

// The solution's lines of an edited page to be written at `path`: a page
// named SOLUTION<n>.htm is solution n, any other name keeps the number of the
// page it was edited from (the page's "File Name" line holds a solution's
// name only); the count is the larger of the opened page's, n and the
// highest SOLUTION<k>.htm already in the folder, so that no page of the
// folder numbers past it. The time is the opened page's.
SolutionHeader EditedPageSolution(const SolutionHeader& opened, const std::filesystem::path& path);

// The number of the page an edited timetable is saved as in a solutions
// folder: one after the highest SOLUTION<n>.htm there, or the first number
// free when that would pass the most pages a folder holds; nothing when
// every number is taken.
std::optional<int> NextFreeSolutionNumber(const std::filesystem::path& folder);

}  // namespace taktirio
