#include "core/run/solution_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "core/common/system_errors.h"

namespace taktirio {

namespace fs = std::filesystem;

namespace {

// The temporary files of pages start with a dot and the page's name
// (".SOLUTION3.htm.…") and end with ".tmp".
constexpr std::string_view kTemporaryPrefix = ".SOLUTION";
constexpr std::string_view kTemporarySuffix = ".tmp";

bool IsTemporaryPage(const std::string& name) {
    return name.size() > kTemporaryPrefix.size() + kTemporarySuffix.size() &&
           name.compare(0, kTemporaryPrefix.size(), kTemporaryPrefix) == 0 &&
           name.compare(name.size() - kTemporarySuffix.size(), kTemporarySuffix.size(),
                        kTemporarySuffix) == 0;
}

// A name part that no other process or call picks at the same moment.
std::string UniquePart() {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t salt = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
    const auto now =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    char text[64];
    std::snprintf(text, sizeof text, "%d.%llx", static_cast<int>(::getpid()),
                  static_cast<unsigned long long>(salt ^ now ^ (counter.fetch_add(1) << 48)));
    return text;
}

void RemoveLeftoverTemporaryPages(const fs::path& directory) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        if (IsTemporaryPage(it->path().filename().string())) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

}  // namespace

fs::path SolutionsDirectory(const fs::path& program_directory, const std::string& user_name) {
    return program_directory / "SOLUTIONS" / user_name;
}

std::string SolutionPageName(int solution) {
    return "SOLUTION" + std::to_string(solution) + ".htm";
}

bool HasPreviousPages(const fs::path& directory) {
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        std::error_code error;
        if (fs::exists(fs::symlink_status(directory / SolutionPageName(n), error))) {
            return true;
        }
    }
    return false;
}

namespace {

// ".SOLUTION3.htm.previous": a previous page kept aside.
fs::path AsideName(const fs::path& directory, int solution) {
    return directory / ("." + SolutionPageName(solution) + ".previous");
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// The numbers of the pages present, lowest first. A folder of a page's name
// is plainly not a page, and stops everything before any page is touched.
std::vector<int> PagesPresent(const fs::path& directory) {
    std::vector<int> pages;
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        const fs::path page = directory / SolutionPageName(n);
        std::error_code error;
        const fs::file_status status = fs::symlink_status(page, error);
        if (!fs::exists(status)) {
            if (error && error != std::errc::no_such_file_or_directory) {
                throw PageDeleteError(page, SystemErrorText(error));
            }
            continue;
        }
        if (fs::is_directory(status)) {
            throw PageDeleteError(page, "είναι φάκελος");
        }
        pages.push_back(n);
    }
    return pages;
}

// rename(2) itself: it never follows a link and replaces the target name.
std::error_code Rename(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return {errno, std::generic_category()};
    }
    return {};
}

}  // namespace

int MovePreviousPagesAside(const fs::path& directory) {
    if (LinkedFolderProblem(directory)) {
        throw PageDeleteError(directory, "ο φάκελος είναι σύνδεσμος (symbolic link)");
    }
    const std::vector<int> pages = PagesPresent(directory);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const fs::path page = directory / SolutionPageName(pages[i]);
        if (const std::error_code error = Rename(page, AsideName(directory, pages[i]))) {
            RestorePagesKeptAside(directory);
            throw PageDeleteError(page, SystemErrorText(error));
        }
    }
    return static_cast<int>(pages.size());
}

bool HasPagesKeptAside(const fs::path& directory) {
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        if (Exists(AsideName(directory, n))) {
            return true;
        }
    }
    return false;
}

int DeletePagesKeptAside(const fs::path& directory) {
    int deleted = 0;
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        std::error_code error;
        deleted += fs::remove(AsideName(directory, n), error) ? 1 : 0;
    }
    RemoveLeftoverTemporaryPages(directory);
    return deleted;
}

int RestorePagesKeptAside(const fs::path& directory) {
    int restored = 0;
    for (int n = kMostSolutionPages; n >= 1; --n) {
        const fs::path aside = AsideName(directory, n);
        // A page of the same name written since is newer than the one aside.
        if (Exists(aside) && !Exists(directory / SolutionPageName(n)) &&
            !Rename(aside, directory / SolutionPageName(n))) {
            ++restored;
        }
    }
    return restored;
}

int RecoverPagesKeptAside(const fs::path& directory) {
    RemoveLeftoverTemporaryPages(directory);  // half a page is never worth keeping
    if (!HasPagesKeptAside(directory)) {
        return 0;
    }
    if (Exists(directory / SolutionPageName(1))) {
        return 0;  // they stay aside, for the next run that goes ahead to delete
    }
    return RestorePagesKeptAside(directory);
}

int DeletePreviousPages(const fs::path& directory) {
    MovePreviousPagesAside(directory);
    return DeletePagesKeptAside(directory);
}

int CreateUniqueFile(const fs::path& directory, const std::string& prefix, fs::path& path,
                     std::error_code& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = directory / (prefix + "." + UniquePart() + std::string(kTemporarySuffix));
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            error.clear();
            return fd;
        }
        if (errno != EEXIST) {
            error = std::error_code(errno, std::generic_category());
            return -1;
        }
    }
    error = std::make_error_code(std::errc::file_exists);
    return -1;
}

std::optional<std::string> LinkedFolderProblem(const fs::path& directory) {
    for (const fs::path& folder : {directory.parent_path(), directory}) {
        std::error_code error;
        if (fs::is_symlink(fs::symlink_status(folder, error))) {
            return "Ο φάκελος " + folder.string() +
                   " είναι σύνδεσμος (symbolic link) προς άλλο φάκελο. Το TAKTIRIO γράφει και "
                   "διαγράφει λύσεις μόνο σε δικό του φάκελο.\rΒάλε στη θέση του συνδέσμου "
                   "έναν φάκελο. Καμία λύση δεν διαγράφηκε.";
        }
    }
    return std::nullopt;
}

std::optional<std::string> PrepareSolutionsFolder(const fs::path& directory, bool& created) {
    created = false;
    if (auto linked = LinkedFolderProblem(directory)) {
        return linked;
    }
    std::error_code error;
    const fs::file_status status = fs::status(directory, error);
    if (fs::exists(status) && !fs::is_directory(status)) {
        return "Το " + directory.string() +
               " δεν είναι φάκελος· οι λύσεις δεν μπορούν να γραφτούν.";
    }
    if (!fs::exists(status)) {
        created = fs::create_directories(directory, error);
        if (error) {
            return "Ο φάκελος των λύσεων " + directory.string() +
                   " δεν μπορεί να δημιουργηθεί: " + SystemErrorText(error) + ".";
        }
    }
    fs::path probe;
    const int fd = CreateUniqueFile(directory, ".checkper", probe, error);
    if (fd < 0) {
        return "Ο φάκελος των λύσεων " + directory.string() +
               " δεν επιτρέπει εγγραφές: " + SystemErrorText(error) + ".";
    }
    ::close(fd);
    fs::remove(probe, error);
    return std::nullopt;
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
