#pragma once

#include <filesystem>
#include <string>

namespace taktirio {

// Where a school's solution pages live: <program directory>/SOLUTIONS/<user name>.
std::filesystem::path SolutionsDirectory(const std::filesystem::path& program_directory,
                                         const std::string& user_name);

// "SOLUTION" + n + ".htm"
std::string SolutionPageName(int solution);

// Deletes the pages SOLUTION1.htm, SOLUTION2.htm, … up to SOLUTION254.htm,
// stopping at the first that does not exist. Returns how many were deleted.
// A page that cannot be deleted is left and ends the deletion.
int DeletePreviousPages(const std::filesystem::path& directory);

// Removes the directory when it is empty. A directory that still holds files
// (pages of earlier runs that were not deleted, or the user's own files) is
// left as it is: nothing the user did not agree to delete is lost.
// Returns true when the directory no longer exists.
bool RemoveDirectoryIfEmpty(const std::filesystem::path& directory);

}  // namespace taktirio
