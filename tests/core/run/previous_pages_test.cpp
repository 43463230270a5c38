// The previous pages of a run are replaced all or nothing: moved aside when
// the run may start, gone once its first page is written, back when it
// writes none or was killed before its first page; and a solutions folder
// that is a symbolic link is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "core/run/solution_files.h"
#include "support/immutable_file.h"

namespace taktirio {
namespace {

namespace fs = std::filesystem;

class PreviousPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("taktirio-previous-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        folder_ = root_ / "SOLUTIONS" / "HOMEBASE";
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(root_); }

    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path Page(int n) const { return folder_ / SolutionPageName(n); }
    fs::path Aside(int n) const { return folder_ / ("." + SolutionPageName(n) + ".previous"); }

    // Every file of the folder and its text.
    std::map<std::string, std::string> Folder() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            files[entry.path().filename().string()] = Read(entry.path());
        }
        return files;
    }

    fs::path root_;
    fs::path folder_;
};

TEST_F(PreviousPagesTest, AsideUntilTheFirstPageIsWrittenThenGone) {
    for (const int n : {1, 2, 4}) {
        Write(Page(n), "old " + std::to_string(n));
    }
    Write(folder_ / "notes.txt", "mine");
    const auto before = Folder();

    EXPECT_EQ(MovePreviousPagesAside(folder_), 3);
    EXPECT_FALSE(HasPreviousPages(folder_));
    EXPECT_TRUE(HasPagesKeptAside(folder_));
    EXPECT_EQ(Read(Aside(4)), "old 4");
    // A run that writes no page puts them back as they were.
    EXPECT_EQ(RestorePagesKeptAside(folder_), 3);
    EXPECT_EQ(Folder(), before);
    EXPECT_FALSE(HasPagesKeptAside(folder_));

    // Once the first new page is written, the previous ones go.
    MovePreviousPagesAside(folder_);
    Write(Page(1), "new 1");
    EXPECT_EQ(DeletePagesKeptAside(folder_), 3);
    EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"SOLUTION1.htm", "new 1"},
                                                            {"notes.txt", "mine"}}));
}

// A run killed at any point leaves its folder in one of these states; the
// next run puts the previous pages back, unless the killed run had written
// its first page, in which case its own pages stay in sight and the previous
// ones stay aside: only a run that goes ahead deletes them.
TEST_F(PreviousPagesTest, WhatAKilledRunLeftAsideIsPutBackOrRemoved) {
    struct Case {
        const char* name;
        std::set<int> aside;     // previous pages under their hidden names
        std::set<int> in_place;  // previous pages still under their own
        std::set<int> written;   // pages of the killed run
        bool back;               // the previous pages come back
    };
    const Case cases[] = {
        {"killed while moving them aside", {1}, {2, 3, 4}, {}, true},
        {"killed before its first page", {1, 2, 3, 4}, {}, {}, true},
        {"killed while putting them back", {1, 2, 3}, {4}, {}, true},
        {"killed after its first page", {1, 2, 3, 4}, {}, {1}, false},
        {"killed after its second page", {2, 3}, {}, {1, 2}, false},
        {"previous pages without a first", {3, 5}, {}, {1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        for (const int n : c.aside) {
            Write(Aside(n), "old " + std::to_string(n));
        }
        for (const int n : c.in_place) {
            Write(Page(n), "old " + std::to_string(n));
        }
        for (const int n : c.written) {
            Write(Page(n), "new " + std::to_string(n));
        }
        Write(folder_ / ".SOLUTION5.htm.77.abc.tmp", "half a page");
        RecoverPagesKeptAside(folder_);
        std::map<std::string, std::string> expected;
        for (const int n : c.written) {
            expected[SolutionPageName(n)] = "new " + std::to_string(n);
        }
        for (const int n : c.aside) {
            const fs::path name = c.back ? Page(n) : Aside(n);
            expected[name.filename().string()] = "old " + std::to_string(n);
        }
        if (c.back) {
            for (const int n : c.in_place) {
                expected[SolutionPageName(n)] = "old " + std::to_string(n);
            }
        }
        EXPECT_EQ(Folder(), expected);
    }
}

TEST_F(PreviousPagesTest, APageTheSystemWillNotLetGoLeavesEveryPage) {
    for (const int n : {1, 2, 3}) {
        Write(Page(n), "old " + std::to_string(n));
    }
    const auto before = Folder();
    const testing::ImmutableFile pinned(Page(2));
    if (!pinned.held()) {
        GTEST_SKIP() << "this file system or user cannot make a file immutable";
    }
    for (const auto& replace : {MovePreviousPagesAside, DeletePreviousPages}) {
        try {
            replace(folder_);
            ADD_FAILURE() << "a page that cannot go was passed over";
        } catch (const PageDeleteError& error) {
            EXPECT_EQ(error.path(), Page(2));
        }
        EXPECT_EQ(Folder(), before) << "every page stays, none aside";
    }
}

TEST_F(PreviousPagesTest, ASolutionsFolderThatIsALinkIsRefusedAndItsTargetKept) {
    const fs::path foreign = root_ / "foreign";
    fs::create_directories(foreign / "HOMEBASE");
    for (const fs::path& page : {foreign / "SOLUTION1.htm", foreign / "SOLUTION200.htm",
                                 foreign / "HOMEBASE" / "SOLUTION1.htm"}) {
        Write(page, "someone else's");
    }
    const fs::path program = root_ / "program";
    struct Case {
        const char* name;
        fs::path link;    // made a link to `target`
        fs::path target;  // a foreign folder
    };
    const Case cases[] = {
        {"the school's folder", program / "SOLUTIONS" / "HOMEBASE", foreign},
        {"SOLUTIONS", program / "SOLUTIONS", foreign},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(program);
        fs::create_directories(c.link.parent_path());
        fs::create_directory_symlink(c.target, c.link);
        const fs::path folder = program / "SOLUTIONS" / "HOMEBASE";
        bool created = false;
        const auto refused = PrepareSolutionsFolder(folder, created);
        ASSERT_TRUE(refused.has_value());
        EXPECT_NE(refused->find(c.link.string()), std::string::npos) << *refused;
        EXPECT_NE(refused->find("symbolic link"), std::string::npos) << *refused;
        EXPECT_THROW(MovePreviousPagesAside(folder), PageDeleteError);
        EXPECT_THROW(DeletePreviousPages(folder), PageDeleteError);
        EXPECT_EQ(Read(foreign / "SOLUTION1.htm"), "someone else's");
        EXPECT_EQ(Read(foreign / "SOLUTION200.htm"), "someone else's");
        EXPECT_EQ(Read(foreign / "HOMEBASE" / "SOLUTION1.htm"), "someone else's");
    }
}

}  // namespace
}  // namespace taktirio
