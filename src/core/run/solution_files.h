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

// The previous pages of a run are replaced all or nothing. When the run may
// start, every page SOLUTION1.htm to SOLUTION254.htm present is moved aside,
// under a hidden name in the same folder (".SOLUTION3.htm.previous"); a
// rename needs exactly what a deletion needs, so a page that cannot be moved
// could not have been deleted either. The pages stay aside until the run's
// first page is written, and only then go; a run that writes no page (a
// stop, a time limit, a full disk) puts them back.
//
// A run killed on the way leaves them aside. Since a run writes SOLUTION1.htm
// first, and the pages are moved aside lowest number first and put back
// highest first, pages kept aside beside a SOLUTION1.htm belong to a run
// that had written its first page, and are older than its pages: they stay
// aside, and go only with the next run that goes ahead, since a run refused
// on its way never deletes a page. Without a SOLUTION1.htm they come back.

// Moves every page present aside, whatever numbers are missing. A folder of
// a page's name, or a page the system will not let go, stops it: the pages
// already moved are put back and PageDeleteError names the page, so that
// none is lost. A page name that is a link is moved as a link; its target is
// left alone. Returns how many pages were moved.
int MovePreviousPagesAside(const std::filesystem::path& directory);

// True when pages are kept aside in the directory.
bool HasPagesKeptAside(const std::filesystem::path& directory);

// Deletes the pages kept aside, and the temporary files of pages a killed
// run left half written. Returns how many pages were deleted.
int DeletePagesKeptAside(const std::filesystem::path& directory);

// Puts the pages kept aside back under their names, highest number first.
// Returns how many came back.
int RestorePagesKeptAside(const std::filesystem::path& directory);

// What a killed run left: the pages aside put back when no SOLUTION1.htm was
// written after them, left aside otherwise; the temporary files of pages it
// left half written deleted. Returns how many pages came back.
int RecoverPagesKeptAside(const std::filesystem::path& directory);

// Moves the pages aside and deletes them: all of them or, with
// PageDeleteError naming the page that cannot go, none. Returns how many
// pages were deleted.
int DeletePreviousPages(const std::filesystem::path& directory);

// Makes sure the directory exists (creating it and its parents when missing,
// `created` then set) and that a new file can be created in it: a uniquely
// named probe file is created and removed, so no existing file is ever opened.
// The directory and its parent (SOLUTIONS) must be folders of their own, not
// symbolic links: the previous pages of a link's target would be deleted.
// Returns the reason, in Greek and naming the path, when it cannot be used.
std::optional<std::string> PrepareSolutionsFolder(const std::filesystem::path& directory,
                                                  bool& created);

// The reason, in Greek, when the directory or its parent is a symbolic link.
std::optional<std::string> LinkedFolderProblem(const std::filesystem::path& directory);

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
