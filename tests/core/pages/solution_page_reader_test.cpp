#include "core/pages/solution_page_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "core/pages/page_errors.h"
#include "core/pages/page_fixtures.h"
#include "core/text/cp1253.h"

namespace taktirio {
namespace {

using testing::FixturePath;
using testing::JoinLines;
using testing::ReadBytes;
using testing::Reading;
using testing::ReadPage;
using testing::RecordingSink;
using testing::SplitLines;

using Cells = std::map<int, std::string>;
const std::string kP = "ΠΑΠΑΔΟΠΟΥΛΟΣ";
const std::string kG = "ΓΕΩΡΓΙΟΥ";
const std::string kPair = "ΠΑΠΑΔΟΠΟΥΛΟΣ + ΓΕΩΡΓΙΟΥ";

std::string Golden() {
    return ReadBytes(FixturePath("small_school.htm"));
}

SolutionPageReader GoldenReader() {
    return SolutionPageReader::Open(FixturePath("small_school.htm"));
}

TEST(SolutionPageReader, ClassTablesOfTheGoldenPage) {
    auto reader = GoldenReader();
    const RecordingSink sink = ReadPage(reader, Reading::kClasses);
    ASSERT_EQ(sink.rows.size(), 3u);
    EXPECT_EQ(sink.rows[0].table_name, "ΤΜΗΜΑ: Α1");
    EXPECT_EQ(sink.Cells(0),
              (Cells{{1, kG}, {2, kG}, {3, kP}, {4, kPair}, {5, kP}, {6, kP}, {7, kPair}}));
    EXPECT_EQ(sink.rows[1].table_name, "ΤΜΗΜΑ: Β1");
    EXPECT_EQ(sink.Cells(1), (Cells{{1, kG}, {2, kG}}));
    // A class section without hours: a table head and no rows.
    EXPECT_EQ(sink.rows[2].table_name, "ΤΜΗΜΑ: Γ1");
    EXPECT_TRUE(sink.Cells(2).empty());
    EXPECT_FALSE(sink.rows[0].ordinal.has_value());
    EXPECT_FALSE(sink.rows[0].weekly_hours.has_value());
    EXPECT_EQ(sink.progress, (std::vector<std::string>{"ΤΜΗΜΑ: Α1", "ΤΜΗΜΑ: Β1", "ΤΜΗΜΑ: Γ1"}));
}

TEST(SolutionPageReader, TeacherTablesShowPairAndJointLessons) {
    auto reader = GoldenReader();
    const RecordingSink sink = ReadPage(reader, Reading::kTeachers);
    ASSERT_EQ(sink.rows.size(), 3u);
    EXPECT_EQ(sink.rows[0].table_name, "ΚΑΘΗΓΗΤΗΣ: " + kP);
    EXPECT_EQ(sink.Cells(0), (Cells{{3, "Α1"}, {4, "Α1"}, {5, "Α1"}, {6, "Α1"}, {7, "Α1"}}));
    EXPECT_EQ(sink.rows[1].table_name, "ΚΑΘΗΓΗΤΗΣ: " + kG);
    EXPECT_EQ(sink.Cells(1), (Cells{{1, "Β1,Α1"}, {2, "Β1,Α1"}, {4, "Α1"}, {7, "Α1"}}));
    EXPECT_EQ(sink.rows[2].table_name, "ΚΑΘΗΓΗΤΗΣ: ΝΙΚΟΛΑΟΥ");
    EXPECT_TRUE(sink.Cells(2).empty());
}

TEST(SolutionPageReader, SummaryNumbersTeachersInOrderOfFirstAppearance) {
    auto reader = GoldenReader();
    const RecordingSink sink = ReadPage(reader, Reading::kSummary);
    ASSERT_EQ(sink.rows.size(), 3u);
    EXPECT_EQ(sink.rows[0].table_name, "Α1");
    EXPECT_EQ(sink.rows[2].table_name, "Γ1");
    EXPECT_EQ(sink.Cells(0),
              (Cells{{1, "1"}, {2, "1"}, {3, "2"}, {4, "3"}, {5, "2"}, {6, "2"}, {7, "3"}}));
    // ΓΕΩΡΓΙΟΥ of Β1 keeps the number she got in Α1.
    EXPECT_EQ(sink.Cells(1), (Cells{{1, "1"}, {2, "1"}}));
    EXPECT_EQ(sink.names, (std::vector<std::string>{"", kG, kP, kPair}));
}

TEST(SolutionPageReader, HeaderPlanTeachersAndCommonFreeHours) {
    auto reader = GoldenReader();
    const RecordingSink sink = ReadPage(reader, Reading::kPlan);
    EXPECT_EQ(sink.header.school_name, "2ο ΓΥΜΝΑΣΙΟ ΠΑΤΡΩΝ");
    EXPECT_EQ(sink.header.school_year, "ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2024-2025");
    ASSERT_EQ(sink.rows.size(), 3u);
    const std::pair<std::string, int> expected[] = {{kP, 5}, {kG, 4}, {"ΝΙΚΟΛΑΟΥ", 0}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sink.rows[i].table_name, expected[i].first);
        EXPECT_EQ(sink.rows[i].ordinal, static_cast<int>(i) + 1);
        EXPECT_EQ(sink.rows[i].weekly_hours, expected[i].second);
    }
    EXPECT_EQ(sink.Cells(1), (Cells{{1, "Β1,Α1"}, {2, "Β1,Α1"}, {4, "Α1"}, {7, "Α1"}}));
    // Monday's first hour, and Tuesday's third hour (column 12); the denied
    // hour at slot 3 is taken, so it is no free hour.
    EXPECT_EQ(sink.free_hours,
              (std::vector<std::pair<std::string, int>>{{kP, 1}, {"ΝΙΚΟΛΑΟΥ", 12}}));
    EXPECT_EQ(sink.progress.back(), "ΚΟΙΝΕΣ ΚΕΝΕΣ ΔΙΔΑΣΚΩΝΤΩΝ: ΝΙΚΟΛΑΟΥ");
    EXPECT_EQ(sink.progress[0], "ΔΙΔΑΣΚΩΝ: " + kP);
}

TEST(SolutionPageReader, PlanTeachersNeedTheHeaderReadFirst) {
    auto reader = GoldenReader();
    RecordingSink sink;
    EXPECT_THROW(reader.ReadGeneralPlanTeachers(sink), std::logic_error);
}

TEST(SolutionPageReader, LastHourOfFridayIsColumn50AndAnEmptyCellStaysEmpty) {
    testing::SmallSchool school;
    school.info.max_class_week_hours = 50;
    school.week_hours[1] = 50;
    school.timetable(1, 50) = 1;  // ΠΑΠΑΔΟΠΟΥΛΟΣ, Friday hour 10
    SolutionPageReader reader("h10.htm", RenderSolutionPage(school.info, school.Content()));
    const RecordingSink classes = ReadPage(reader, Reading::kClasses);
    EXPECT_EQ(classes.Cells(0).at(50), kP);
    EXPECT_EQ(classes.Cells(0).count(13), 0u);
    const RecordingSink teachers = ReadPage(reader, Reading::kTeachers);
    EXPECT_EQ(teachers.Cells(0).at(50), "Α1");
    const RecordingSink plan = ReadPage(reader, Reading::kPlan);
    EXPECT_EQ(plan.rows[0].weekly_hours, 6);
}

TEST(SolutionPageReader, PageWithoutClassSectionsGivesNoClassRows) {
    testing::SmallSchool school;
    SolutionPageContent content = school.Content();
    content.number_of_classes = 0;
    school.info.single_teacher_count = 0;
    SolutionPageReader reader("empty.htm", RenderSolutionPage(school.info, content));
    EXPECT_TRUE(ReadPage(reader, Reading::kClasses).rows.empty());
    const RecordingSink summary = ReadPage(reader, Reading::kSummary);
    EXPECT_TRUE(summary.rows.empty());
    EXPECT_EQ(summary.names, std::vector<std::string>{""});
    EXPECT_TRUE(ReadPage(reader, Reading::kTeachers).rows.empty());
}

TEST(SolutionPageReader, BareLineFeedsReadLikeCarriageReturnLineFeeds) {
    std::string bytes = Golden();
    std::string lf;
    for (const char ch : bytes) {
        if (ch != '\r') {
            lf += ch;
        }
    }
    for (const Reading reading :
         {Reading::kClasses, Reading::kTeachers, Reading::kSummary, Reading::kPlan}) {
        SolutionPageReader crlf_reader("crlf.htm", bytes);
        SolutionPageReader lf_reader("lf.htm", lf);
        const RecordingSink a = ReadPage(crlf_reader, reading);
        const RecordingSink b = ReadPage(lf_reader, reading);
        ASSERT_EQ(a.rows.size(), b.rows.size());
        for (std::size_t r = 0; r < a.rows.size(); ++r) {
            EXPECT_EQ(a.rows[r].table_name, b.rows[r].table_name);
            EXPECT_EQ(a.rows[r].cells, b.rows[r].cells);
        }
        EXPECT_EQ(a.free_hours, b.free_hours);
    }
}

}  // namespace
}  // namespace taktirio
