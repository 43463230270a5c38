// Teacher gaps of small hand-made timetables: who the people behind the
// teacher numbers are, what counts as a gap, and which summary is better.
#include "core/gaps/teacher_gaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/solver/slots.h"

namespace taktirio {
namespace {

struct Lesson {
    int class_section;
    int day;
    int hour;
    int teacher;
};

struct GapCase {
    const char* name;
    std::vector<std::string> teachers;  // [0] unused
    int classes;
    std::vector<Lesson> lessons;
    std::map<std::string, int> weekly;  // by person's name; people not listed have none
    int total;
    int worst;
    std::string worst_person;  // empty: nobody has a gap
};

ByteMatrix TimetableOf(const GapCase& c) {
    ByteMatrix timetable(static_cast<std::size_t>(c.classes) + 1, kSlotColumns);
    for (const Lesson& lesson : c.lessons) {
        timetable(static_cast<std::size_t>(lesson.class_section),
                  static_cast<std::size_t>(SlotOf(lesson.day, lesson.hour))) =
            static_cast<std::uint8_t>(lesson.teacher);
    }
    return timetable;
}

class TeacherGapsTest : public ::testing::TestWithParam<GapCase> {};

TEST_P(TeacherGapsTest, CountsEachPersonsGaps) {
    const GapCase& c = GetParam();
    const TeacherPeople people =
        PeopleOfTeachers(c.teachers, static_cast<int>(c.teachers.size()) - 1);
    const GapCount count = CountGaps(TimetableOf(c), c.classes, people);

    ASSERT_EQ(count.per_week.size(), static_cast<std::size_t>(people.count()) + 1);
    for (int p = 1; p <= people.count(); ++p) {
        const std::string& name = people.names[static_cast<std::size_t>(p)];
        const auto expected = c.weekly.find(name);
        EXPECT_EQ(count.per_week[static_cast<std::size_t>(p)],
                  expected == c.weekly.end() ? 0 : expected->second)
            << name;
        int days = 0;
        for (int d = 1; d <= kDays; ++d) {
            days += count.per_day[static_cast<std::size_t>(p)][static_cast<std::size_t>(d)];
        }
        EXPECT_EQ(days, count.per_week[static_cast<std::size_t>(p)]) << name;
    }
    for (const auto& [name, gaps] : c.weekly) {
        EXPECT_NE(std::find(people.names.begin(), people.names.end(), name), people.names.end())
            << name << " is no person";
    }
    EXPECT_EQ(count.summary.total, c.total);
    EXPECT_EQ(count.summary.worst, c.worst);
    const std::string worst_person =
        count.summary.worst_person == 0
            ? std::string()
            : people.names[static_cast<std::size_t>(count.summary.worst_person)];
    EXPECT_EQ(worst_person, c.worst_person);
}

INSTANTIATE_TEST_SUITE_P(
    HandMade, TeacherGapsTest,
    ::testing::Values(
        GapCase{"EmptyTimetable", {"", "A", "B"}, 2, {}, {}, 0, 0, ""},
        GapCase{"OneLessonADayIsNoGap",
                {"", "A"},
                1,
                {{1, 1, 4, 1}, {1, 2, 1, 1}, {1, 5, 7, 1}},
                {},
                0,
                0,
                ""},
        GapCase{"ConsecutiveHoursAreNoGap",
                {"", "A"},
                1,
                {{1, 3, 2, 1}, {1, 3, 3, 1}, {1, 3, 4, 1}},
                {},
                0,
                0,
                ""},
        // Hour 8 after a free hour 7 is a gap, and so is every free hour
        // between the first and the tenth.
        GapCase{"EighthHourAfterAFreeSeventh",
                {"", "A", "B"},
                2,
                {{1, 1, 6, 1}, {2, 1, 8, 1}, {1, 4, 1, 2}, {2, 4, 10, 2}},
                {{"A", 1}, {"B", 8}},
                9,
                8,
                "B"},
        // A pair's lesson occupies both members: A teaches 1 and (with B) 3,
        // B teaches (with A) 3 and 5; the blanks around the parts are no part
        // of the names.
        GapCase{"PairLessonOccupiesBothMembers",
                {"", "A", "B", " A + B "},
                2,
                {{1, 1, 1, 1}, {1, 1, 3, 3}, {2, 1, 5, 2}},
                {{"A", 1}, {"B", 1}},
                2,
                1,
                "A"},
        // The same pair written the other way round is the same two people.
        GapCase{"PairInEitherOrder",
                {"", "A", "B", "A+B", "B+A"},
                2,
                {{1, 2, 1, 3}, {2, 2, 4, 4}},
                {{"A", 2}, {"B", 2}},
                4,
                2,
                "A"},
        // A pair's lesson fills a member's free hour: no gap for A.
        GapCase{"PairFillsAMembersHole",
                {"", "A", "B", "A+B"},
                2,
                {{1, 1, 1, 1}, {2, 1, 2, 3}, {1, 1, 3, 1}},
                {},
                0,
                0,
                ""},
        // One teacher in two class sections at one slot is busy once: the
        // joint lesson neither adds nor hides an hour.
        GapCase{"JointLessonCountsOnce",
                {"", "A"},
                2,
                {{1, 1, 1, 1}, {2, 1, 1, 1}, {1, 1, 3, 1}, {2, 1, 3, 1}},
                {{"A", 1}},
                1,
                1,
                "A"},
        // Equal worst: the first person is named.
        GapCase{"TiedWorstNamesTheFirst",
                {"", "A", "B", "C"},
                3,
                {{1, 1, 1, 1}, {1, 1, 3, 1}, {2, 1, 1, 2}, {2, 1, 3, 2}, {3, 1, 1, 3}},
                {{"A", 1}, {"B", 1}},
                2,
                1,
                "A"},
        GapCase{
            "WorstIsTheOneWithMostWeeklyGaps",
            {"", "A", "B"},
            2,
            {{1, 1, 1, 1}, {1, 1, 3, 1}, {2, 1, 1, 2}, {2, 1, 3, 2}, {2, 2, 1, 2}, {2, 2, 4, 2}},
            {{"A", 1}, {"B", 3}},
            4,
            3,
            "B"},
        // A pair member who is no single teacher is a person of its own.
        GapCase{"PairMemberWithoutSingleEntry",
                {"", "A", "A+C"},
                2,
                {{1, 5, 1, 2}, {2, 5, 4, 2}, {1, 5, 2, 1}},
                {{"A", 1}, {"C", 2}},
                3,
                2,
                "C"}),
    [](const ::testing::TestParamInfo<GapCase>& param_info) {
        return std::string(param_info.param.name);
    });

TEST(TeacherPeople, PairsAreTheirMembersAndSinglesKeepTheirOrder) {
    const std::vector<std::string> teachers = {"", "B+C", "A", "B", " A + D", "E"};
    const TeacherPeople people = PeopleOfTeachers(teachers, 5);
    // Single teachers first, in their numbers' order, then pair members
    // nobody else names.
    EXPECT_EQ(people.names, (std::vector<std::string>{"", "A", "B", "E", "C", "D"}));
    using Two = std::array<std::uint16_t, 2>;
    EXPECT_EQ(people.of_teacher[1], (Two{2, 4}));
    EXPECT_EQ(people.of_teacher[2], (Two{1, 0}));
    EXPECT_EQ(people.of_teacher[3], (Two{2, 0}));
    EXPECT_EQ(people.of_teacher[4], (Two{1, 5}));
    EXPECT_EQ(people.of_teacher[5], (Two{3, 0}));
}

// Every row is somebody, so that no row escapes the limits that count a
// person's hours: a row beyond the names, or unnamed, is a teacher of its own.
TEST(TeacherPeople, UnnamedTeachersAreEachAPersonOfTheirOwn) {
    const std::vector<std::string> teachers = {"", "A", ""};
    const TeacherPeople people = PeopleOfTeachers(teachers, 4);
    EXPECT_EQ(people.count(), 4);
    ASSERT_EQ(people.of_teacher.size(), 5U);
    using Two = std::array<std::uint16_t, 2>;
    EXPECT_EQ(people.of_teacher[2], (Two{2, 0}));
    EXPECT_EQ(people.of_teacher[3], (Two{3, 0}));
    EXPECT_EQ(people.of_teacher[4], (Two{4, 0}));
    ByteMatrix timetable(2, kSlotColumns);
    timetable(1, SlotOf(1, 1)) = 3;
    timetable(1, SlotOf(1, 4)) = 3;
    EXPECT_EQ(CountGaps(timetable, 1, people).summary.total, 2);
}

TEST(FewerGaps, WorstPersonFirstThenTotal) {
    struct Case {
        GapSummary a;
        GapSummary b;
        bool fewer;
    };
    const Case cases[] = {
        {{30, 1, 1}, {12, 2, 1}, true},   // a smaller worst wins over a larger total
        {{12, 2, 1}, {30, 1, 1}, false},  // and the other way round
        {{20, 2, 1}, {24, 2, 3}, true},   // equal worst: the smaller total
        {{24, 2, 3}, {20, 2, 1}, false},
        {{20, 2, 1}, {20, 2, 4}, false},  // equal: neither is fewer
        {{0, 0, 0}, {1, 1, 1}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FewerGaps(c.a, c.b), c.fewer)
            << c.a.total << "/" << c.a.worst << " vs " << c.b.total << "/" << c.b.worst;
    }
}

}  // namespace
}  // namespace taktirio
