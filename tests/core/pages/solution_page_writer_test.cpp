#include "core/pages/solution_page_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/pages/page_errors.h"
#include "core/pages/page_fixtures.h"
#include "core/solver/errors.h"
#include "core/text/cp1253.h"

namespace taktirio {
namespace {

using testing::FixturePath;
using testing::FreshDirectory;
using testing::ReadBytes;
using testing::SmallSchool;

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(Cp1253ToUtf8(bytes.substr(start, end - start)));
    }
    return lines;
}

TEST(SolutionPageWriter, SmallSchoolMatchesTheGoldenPageByteForByte) {
    const SmallSchool school;
    const std::string page = RenderSolutionPage(school.info, school.Content());
    const std::string golden = ReadBytes(FixturePath("small_school.htm"));
    ASSERT_FALSE(golden.empty());
    if (page != golden) {
        const auto got = Lines(page);
        const auto want = Lines(golden);
        for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i) {
            ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
        }
        FAIL() << "page has " << got.size() << " lines, golden " << want.size();
    }
}

TEST(SolutionPageWriter, HoursPerDayFollowTheLargestWeek) {
    struct Case {
        int week;
        int hours;
        const char* colspan;
    };
    for (const Case c :
         {Case{0, 7, "'42'"}, Case{35, 7, "'42'"}, Case{36, 8, "'47'"}, Case{40, 8, "'47'"},
          Case{41, 9, "'52'"}, Case{46, 10, "'57'"}, Case{50, 10, "'57'"}, Case{51, 7, "'42'"}}) {
        EXPECT_EQ(PageHoursPerDay(c.week), c.hours) << c.week;
        SmallSchool school;
        school.info.max_class_week_hours = static_cast<std::uint8_t>(c.week);
        const auto lines = Lines(RenderSolutionPage(school.info, school.Content()));
        EXPECT_NE(lines[32].find(std::string("colspan=") + c.colspan), std::string::npos) << c.week;
        // Hour heads of the plan, and the rows of each single teacher's table.
        const std::string last_head = "<td nowrap><div align='center'><strong>" +
                                      std::to_string(c.hours) + "</strong></div></td>";
        EXPECT_EQ(std::count(lines.begin(), lines.end(), last_head), 5) << c.week;
        const std::string last_row =
            "<div align='center'><strong>" + std::to_string(c.hours) + "</strong></div></td>";
        EXPECT_EQ(std::count(lines.begin(), lines.end(), last_row), 3) << c.week;
    }
}

TEST(SolutionPageWriter, PairWhoseNamesMatchNoSingleTeacherKeepsItsRowOnly) {
    SmallSchool school;
    school.teachers[4] = "ΑΛΛΟΣ+ΚΑΠΟΙΟΣ";
    const auto lines = Lines(RenderSolutionPage(school.info, school.Content()));
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "<td nowrap><strong>ΑΛΛΟΣ+ΚΑΠΟΙΟΣ</strong></td>"),
        lines.end());
    // Of the pair's two lessons (slots 4 and 7), none reaches a teacher's table:
    // ΠΑΠΑΔΟΠΟΥΛΟΣ keeps his three own lessons, ΓΕΩΡΓΙΟΥ her two joint ones.
    const std::string a1 = "<td nowrap><div align='center'><strong>Α1</strong></td>";
    const std::string joint = "<td nowrap><div align='center'><strong>Β1,Α1</strong></td>";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), a1), 3);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), joint), 2);
}

TEST(SolutionPageWriter, NameWindows1253CannotHoldIsRefusedAndNoFileIsCreated) {
    const auto dir = FreshDirectory("taktirio_page_writer_encoding");
    std::filesystem::create_directories(dir / "SOLUTIONS" / "HOMEBASE");
    SmallSchool school;
    school.info.program_directory = dir.string();
    school.info.user_name = "HOMEBASE";
    school.teachers[3] = "ΝΙΚΟΛΑΟΥ 中";
    try {
        RenderSolutionPage(school.info, school.Content());
        FAIL() << "the page was rendered";
    } catch (const EncodingError& e) {
        EXPECT_NE(std::string(e.what()).find("teacher name 3"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir / "SOLUTIONS" / "HOMEBASE"));
}

TEST(SolutionPageWriter, TimetableThePageCannotShowIsContradictoryData) {
    SmallSchool bad_teacher;
    bad_teacher.timetable(2, 3) = 5;
    EXPECT_THROW(RenderSolutionPage(bad_teacher.info, bad_teacher.Content()),
                 ContradictoryDataError);
    SmallSchool bad_week;
    bad_week.week_hours[3] = 51;
    EXPECT_THROW(RenderSolutionPage(bad_week.info, bad_week.Content()), ContradictoryDataError);
    SmallSchool bad_joint;
    bad_joint.joint[0].class1 = 9;  // Β1 joined to a class section that does not exist
    EXPECT_THROW(RenderSolutionPage(bad_joint.info, bad_joint.Content()), ContradictoryDataError);
}

TEST(SolutionPageWriter, FileGoesUnderTheUsersSolutionsAndReplacesAnOldOne) {
    const auto dir = FreshDirectory("taktirio_page_writer_file");
    const auto folder = dir / "SOLUTIONS" / "HOMEBASE";
    std::filesystem::create_directories(folder);
    SmallSchool school;
    school.info.program_directory = dir.string();
    school.info.user_name = "HOMEBASE";
    EXPECT_EQ(SolutionPagePath(school.info, 12),
              dir.string() + "/SOLUTIONS/HOMEBASE/SOLUTION12.htm");

    const std::string path = SolutionPagePath(school.info, 3);
    std::ofstream(path) << "an older, longer page that the new one must replace entirely\n";
    const std::string page = RenderSolutionPage(school.info, school.Content());
    SolutionPageWriter::WriteFile(path, page);
    EXPECT_EQ(ReadBytes(path), page);
}

TEST(SolutionPageWriter, FileThatCannotBeCreatedOrWrittenNamesThePath) {
    const auto dir = FreshDirectory("taktirio_page_writer_missing");
    const std::string missing = (dir / "SOLUTIONS" / "NOBODY" / "SOLUTION1.htm").string();
    try {
        SolutionPageWriter::WriteFile(missing, "x");
        FAIL() << "wrote into a missing directory";
    } catch (const PageWriteError& e) {
        EXPECT_EQ(e.path(), missing);
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
        EXPECT_EQ(e.reason(), "δεν υπάρχει τέτοιο αρχείο ή φάκελος") << "the cause in Greek";
    }
}

// The page goes to a temporary file beside it, renamed over the name: a link
// of the page's name is replaced, its target untouched, and no temporary file
// stays.
TEST(SolutionPageWriter, APageNameThatIsALinkIsReplacedNotWrittenThrough) {
    const auto dir = FreshDirectory("taktirio_page_writer_link");
    const auto target = dir / "someone_elses.txt";
    std::ofstream(target) << "not a page";
    const auto page = dir / "SOLUTION1.htm";
    std::filesystem::create_symlink(target, page);
    SolutionPageWriter::WriteFile(page.string(), "the page\r\n");
    EXPECT_EQ(ReadBytes(target.string()), "not a page");
    EXPECT_FALSE(std::filesystem::is_symlink(page));
    EXPECT_EQ(ReadBytes(page.string()), "the page\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              2);
}

// A disk that fills up in the middle of a page (here a file-size limit) is an
// error naming the page, and the page written before is still whole.
TEST(SolutionPageWriter, ADiskFullInTheMiddleOfAPageLeavesTheOldPageWhole) {
    const auto dir = FreshDirectory("taktirio_page_writer_full");
    const std::string page = (dir / "SOLUTION1.htm").string();
    const std::string old_page(20000, 'o');
    SolutionPageWriter::WriteFile(page, old_page);

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 8192;
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool refused = false;
    std::string reason;
    try {
        SolutionPageWriter::WriteFile(page, std::string(1 << 16, 'n'));
    } catch (const PageWriteError& e) {
        refused = e.path() == page;
        reason = e.reason();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous_handler);
    EXPECT_TRUE(refused);
    EXPECT_EQ(reason, "το αρχείο ξεπερνά το μέγιστο επιτρεπόμενο μέγεθος");
    EXPECT_EQ(ReadBytes(page), old_page);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file left";
}

TEST(SolutionPageWriter, NamesThePagesCannotHoldAreFoundBeforeARun) {
    const SmallSchool good;
    EXPECT_EQ(UnwritableNameMessage(good.info, good.classes, good.teachers), std::nullopt);

    SmallSchool bad_teacher;
    bad_teacher.teachers[2] = "ΠΑΠΑΣ 中";
    const auto teacher =
        UnwritableNameMessage(bad_teacher.info, bad_teacher.classes, bad_teacher.teachers);
    ASSERT_TRUE(teacher.has_value());
    EXPECT_NE(teacher->find("Ο διδάσκων 2 «ΠΑΠΑΣ 中»"), std::string::npos) << *teacher;

    SmallSchool bad_school;
    bad_school.info.school_name = "Σχολείο 🙂";
    const auto school =
        UnwritableNameMessage(bad_school.info, bad_school.classes, bad_school.teachers);
    ASSERT_TRUE(school.has_value());
    EXPECT_NE(school->find("Το όνομα του σχολείου"), std::string::npos) << *school;
}

}  // namespace
}  // namespace taktirio
