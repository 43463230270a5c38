#include "core/edit/edited_page.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "core/pages/page_errors.h"
#include "core/run/solution_files.h"

namespace taktirio {

std::string VerifiedEditedPage(const WholePage& page, const std::string& school_name,
                               const SolverInputs& inputs, const RunOptions& options,
                               const RuleTables& rules, const ByteMatrix& timetable,
                               const SolutionHeader& solution) {
    std::string bytes = PageWithTimetable(page, inputs, rules, timetable, solution);
    std::optional<WholePage> again;
    try {
        again.emplace(ReadWholePage(SolutionPageReader("", bytes)));
    } catch (const PageReadError& error) {
        throw std::invalid_argument("η νέα σελίδα δεν διαβάζεται πίσω: " +
                                    PageReadErrorText(error));
    }
    const PageVerdict verdict = JudgePage(*again, school_name, inputs, options, rules);
    if (verdict.outcome != PageVerdict::Outcome::kSound || verdict.timetable != timetable ||
        again->solution.solution != solution.solution ||
        again->solution.requested != solution.requested) {
        std::string text = "η νέα σελίδα δεν περνά τον έλεγχο των κανόνων";
        for (const std::string& reason : verdict.reasons) {
            text += "\r" + reason;
        }
        throw std::invalid_argument(text);
    }
    return bytes;
}

namespace {

// Whether a page of that number is in the folder; a name that cannot even be
// looked at counts as taken.
bool NumberTaken(const std::filesystem::path& folder, int n) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(folder / SolutionPageName(n), error);
    return status.type() != std::filesystem::file_type::not_found;
}

// n for a file name "SOLUTION<n>.htm" as the writer names pages (1 to the
// most pages a folder holds, no leading zero); nothing for any other name.
std::optional<int> SolutionNumberOfName(const std::string& name) {
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        if (name == SolutionPageName(n)) {
            return n;
        }
    }
    return std::nullopt;
}

}  // namespace

SolutionHeader EditedPageSolution(const SolutionHeader& opened, const std::filesystem::path& path) {
    SolutionHeader header = opened;
    header.solution = SolutionNumberOfName(path.filename().string()).value_or(opened.solution);
    header.requested = std::max(opened.requested, header.solution);
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    for (int n = kMostSolutionPages; n > header.requested; --n) {
        if (NumberTaken(folder, n)) {
            header.requested = n;
            break;
        }
    }
    return header;
}

std::optional<int> NextFreeSolutionNumber(const std::filesystem::path& folder) {
    const auto taken = [&folder](int n) { return NumberTaken(folder, n); };
    int highest = 0;
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        highest = taken(n) ? n : highest;
    }
    if (highest < kMostSolutionPages) {
        return highest + 1;
    }
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        if (!taken(n)) {
            return n;
        }
    }
    return std::nullopt;
}

}  // namespace taktirio
