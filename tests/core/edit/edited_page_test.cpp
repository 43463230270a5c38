// The number an edited solution is saved under: one after the highest page of
// the folder, the first gap once the highest is the last a folder holds, and
// none when every number is taken.
#include "core/edit/edited_page.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "core/run/solution_files.h"

namespace taktirio {
namespace {

namespace fs = std::filesystem;

struct NumberCase {
    const char* name;
    std::vector<int> present;
    std::optional<int> next;
};

TEST(NextFreeSolutionNumber, FollowsTheHighestPageThenFillsAGap) {
    std::vector<int> all;
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        all.push_back(n);
    }
    std::vector<int> all_but_seven = all;
    all_but_seven.erase(all_but_seven.begin() + 6);
    const NumberCase cases[] = {
        {"empty folder", {}, 1},
        {"pages 1 and 3", {1, 3}, 4},
        {"the last page alone", {kMostSolutionPages}, 1},
        {"every page but 7", all_but_seven, 7},
        {"every page", all, std::nullopt},
    };
    for (const NumberCase& c : cases) {
        const fs::path folder = fs::temp_directory_path() /
                                ("taktirio-next-" + std::to_string(::getpid()) + "-" + c.name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const int n : c.present) {
            std::ofstream(folder / SolutionPageName(n)) << "x";
        }
        EXPECT_EQ(NextFreeSolutionNumber(folder), c.next) << c.name;
        fs::remove_all(folder);
    }
}

}  // namespace
}  // namespace taktirio
