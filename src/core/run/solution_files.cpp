#include "run/solution_files.h"

#include <system_error>

namespace taktirio {

namespace fs = std::filesystem;

fs::path SolutionsDirectory(const fs::path& program_directory, const std::string& user_name) {
    return program_directory / "SOLUTIONS" / user_name;
}

std::string SolutionPageName(int solution) {
    return "SOLUTION" + std::to_string(solution) + ".htm";
}

int DeletePreviousPages(const fs::path& directory) {
    constexpr int kMostSolutions = 254;
    int deleted = 0;
    for (int n = 1; n <= kMostSolutions; ++n) {
        std::error_code error;
        if (!fs::remove(directory / SolutionPageName(n), error) || error) {
            break;
        }
        ++deleted;
    }
    return deleted;
}

bool RemoveDirectoryIfEmpty(const fs::path& directory) {
    std::error_code error;
    if (!fs::exists(directory, error)) {
        return true;
    }
    if (!fs::is_empty(directory, error) || error) {
        return false;
    }
    return fs::remove(directory, error) && !error;
}

}  // namespace taktirio
