#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace taktirio {

// The most solutions a run can ask for, and so the highest page number.
inline constexpr int kMostSolutionPages = 254;

// Where a school's solution pages live: <program directory>/SOLUTIONS/<user name>.
std::filesystem::path SolutionsDirectory(const std::filesystem::path& program_directory,
                                         const std::string& user_name);

// "SOLUTION" + n + ".htm"
std::string SolutionPageName(int solution);

// True when the directory holds at least one page SOLUTION1.htm to
// SOLUTION254.htm. An empty folder, or one holding only other files, holds no
// previous solutions.
bool HasPreviousPages(const std::filesystem::path& directory);

// A previous page that could not be deleted: the run must not start.
class PageDeleteError : public std::runtime_error {
  public:
    PageDeleteError(const std::filesystem::path& path, const std::string& reason)
        : std::runtime_error("cannot delete the previous page " + path.string() + ": " + reason),
          path_(path),
          reason_(reason) {}
    const std::filesystem::path& path() const { return path_; }
    // Why, in Greek.
    const std::string& reason() const { return reason_; }

  private:
    std::filesystem::path path_;
    std::string reason_;
};

// Deletes every page SOLUTION1.htm to SOLUTION254.htm present in the
// directory, whatever numbers are missing, and the temporary files of pages a
// killed run left half written. A page name that is a link is deleted as a
// link; its target is left alone. A folder of a page's name is found before
// anything is deleted; a page the system refuses to delete stops the deletion
// there. Either throws PageDeleteError naming the page. Returns how many pages
// were deleted.
int DeletePreviousPages(const std::filesystem::path& directory);

// Makes sure the directory exists (creating it and its parents when missing,
// `created` then set) and that a new file can be created in it: a uniquely
// named probe file is created and removed, so no existing file is ever opened.
// Returns the reason, in Greek and naming the path, when it cannot be used.
std::optional<std::string> PrepareSolutionsFolder(const std::filesystem::path& directory,
                                                  bool& created);

// Creates a new, empty file with a unique name in `directory`, beginning with
// `prefix` and ending with ".tmp", opened for writing with the usual
// permissions. Never opens an existing file or follows a link. Returns the
// descriptor and sets `path`; -1 with `error` set when it cannot.
int CreateUniqueFile(const std::filesystem::path& directory, const std::string& prefix,
                     std::filesystem::path& path, std::error_code& error);

// Removes the directory when it is empty. A directory that still holds files
// (pages of earlier runs that were not deleted, or the user's own files) is
// left as it is: nothing the user did not agree to delete is lost.
// Returns true when the directory no longer exists.
bool RemoveDirectoryIfEmpty(const std::filesystem::path& directory);

}  // namespace taktirio
