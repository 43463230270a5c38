#include "edit/edited_page.h"

#include <stdexcept>
#include <system_error>

#include "pages/page_errors.h"
#include "run/solution_files.h"

namespace taktirio {

std::string VerifiedEditedPage(const WholePage& page, const std::string& school_name,
                               const SolverInputs& inputs, const RunOptions& options,
                               const RuleTables& rules, const ByteMatrix& timetable) {
    std::string bytes = PageWithTimetable(page, inputs, rules, timetable);
    std::optional<WholePage> again;
    try {
        again.emplace(ReadWholePage(SolutionPageReader("", bytes)));
    } catch (const PageReadError& error) {
        throw std::invalid_argument("η νέα σελίδα δεν διαβάζεται πίσω: " +
                                    PageReadErrorText(error));
    }
    const PageVerdict verdict = JudgePage(*again, school_name, inputs, options, rules);
    if (verdict.outcome != PageVerdict::Outcome::kSound || verdict.timetable != timetable) {
        std::string text = "η νέα σελίδα δεν περνά τον έλεγχο των κανόνων";
        for (const std::string& reason : verdict.reasons) {
            text += "\r" + reason;
        }
        throw std::invalid_argument(text);
    }
    return bytes;
}

std::optional<int> NextFreeSolutionNumber(const std::filesystem::path& folder) {
    // A name that cannot even be looked at counts as taken.
    const auto taken = [&folder](int n) {
        std::error_code error;
        const auto status = std::filesystem::symlink_status(folder / SolutionPageName(n), error);
        return status.type() != std::filesystem::file_type::not_found;
    };
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
