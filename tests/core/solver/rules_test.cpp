// The placement rules, each tested on a hand-made state of the timetable.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"
#include "test_school.h"

namespace taktirio {
namespace {

using testing::TestSchool;

constexpr int kMon = 1;
constexpr int kTue = 2;

struct Solver {
    explicit Solver(TestSchool& school) : random(1), solver(Make(school, random)) {}
    static Tfindsolution Make(TestSchool& school, RandomStream& random) {
        school.Index();
        return Tfindsolution(school.ctx, random, school.in);
    }
    RandomStream random;
    Tfindsolution solver;
};

struct SpreadCase {
    int hours;
    int absent_days;
    bool applies;
};

void PrintTo(const SpreadCase& c, std::ostream* os) {
    *os << c.hours << " hours, " << c.absent_days << " absent days";
}

class SpreadOverDaysTest : public ::testing::TestWithParam<SpreadCase> {};

TEST_P(SpreadOverDaysTest, AppliesOnlyWhenHoursFitTheAvailableDays) {
    const SpreadCase& param = GetParam();
    TestSchool school(1, 1);
    school.Teach(1, 1, param.hours).Cell(1, SlotOf(kMon, 1), 1);
    if (param.absent_days > 0) {
        school.ctx.rules.AddDeniedDays(1, static_cast<std::uint8_t>(param.absent_days));
    }
    Solver s(school);
    EXPECT_EQ(s.solver.SpreadOverDays(1, SlotOf(kMon, 2), 1), param.applies);
    EXPECT_FALSE(s.solver.SpreadOverDays(1, SlotOf(kTue, 2), 1)) << "another day is always free";
}

INSTANTIATE_TEST_SUITE_P(Cases, SpreadOverDaysTest,
                         ::testing::Values(SpreadCase{5, 0, true}, SpreadCase{6, 0, false},
                                           SpreadCase{3, 2, true}, SpreadCase{4, 2, false}));

struct DayFullCase {
    int max_per_day;
    int weekly_hours;
    int absent_days;
    int held;
    int adding;
    bool refused;
};

void PrintTo(const DayFullCase& c, std::ostream* os) {
    *os << "max " << c.max_per_day << ", " << c.weekly_hours << " hours, " << c.absent_days
        << " absent, " << c.held << " held + " << c.adding;
}

class ClassDayFullTest : public ::testing::TestWithParam<DayFullCase> {};

TEST_P(ClassDayFullTest, AllowanceRaisedOnlyFromTwoToThreeWhenHoursDoNotFit) {
    const DayFullCase& param = GetParam();
    TestSchool school(1, 1);
    school.Teach(1, 1, param.weekly_hours);
    school.ctx.options.max_class_hours_per_day = static_cast<std::uint8_t>(param.max_per_day);
    if (param.absent_days > 0) {
        school.ctx.rules.AddDeniedDays(1, static_cast<std::uint8_t>(param.absent_days));
    }
    for (int h = 1; h <= param.held; ++h) {
        school.Cell(1, SlotOf(kMon, h), 1);
    }
    Solver s(school);
    EXPECT_EQ(s.solver.ClassDayFull(SlotOf(kMon, 6), 1, 1, param.adding), param.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClassDayFullTest,
    ::testing::Values(DayFullCase{2, 11, 0, 2, 1, false},  // 11 / 5 = 2.2 > 2: three a day
                      DayFullCase{2, 10, 0, 2, 1, true},   // 10 / 5 = 2.0: two a day
                      DayFullCase{2, 11, 0, 2, 2, true},   // a two-hour lesson would make four
                      DayFullCase{2, 11, 0, 1, 2, false},  // one held plus two new is three
                      DayFullCase{2, 5, 3, 2, 1, false},   // 5 / 2 days = 2.5 > 2: three a day
                      DayFullCase{3, 15, 0, 3, 1, true},   // three is never raised to four
                      DayFullCase{3, 15, 0, 2, 1, false}));

TEST(ClassDayFull, TeacherWithoutAvailableDaysIsContradictoryData) {
    TestSchool school(1, 1);
    school.Teach(1, 1, 2);
    school.ctx.rules.AddDeniedDays(1, 5);
    Solver s(school);
    EXPECT_THROW(s.solver.ClassDayFull(1, 1, 1, 1), ContradictoryDataError);
}

TEST(SplitSameDay, TheTwoTeachersNeverShareADayOfTheirClass) {
    TestSchool school(2, 3);
    school.Teach(1, 1, 2).Teach(1, 2, 2).Teach(2, 1, 2);
    school.ctx.rules.AddSplitLesson(1, 1, 2);
    school.Cell(1, SlotOf(kMon, 1), 2).Cell(2, SlotOf(kTue, 1), 2);
    Solver s(school);
    EXPECT_TRUE(s.solver.SplitSameDay(1, SlotOf(kMon, 3), 1)) << "second teacher holds Monday";
    EXPECT_FALSE(s.solver.SplitSameDay(1, SlotOf(kTue, 3), 1)) << "other class does not count";
    EXPECT_FALSE(s.solver.SplitSameDay(2, SlotOf(kTue, 3), 1)) << "no split entry for class 2";
    EXPECT_FALSE(s.solver.SplitSameDay(1, SlotOf(kMon, 3), 3)) << "teacher not in the entry";

    school.Cell(1, SlotOf(kTue, 2), 1);
    Solver t(school);
    EXPECT_TRUE(t.solver.SplitSameDay(1, SlotOf(kTue, 4), 2)) << "symmetric: first teacher holds";
}

TEST(SlotDenied, OnlyTheListedSlotOfTheListedTeacher) {
    TestSchool school(1, 2);
    school.Teach(1, 1, 1);
    school.ctx.rules.AddDeniedSlot(1, 7);
    Solver s(school);
    EXPECT_TRUE(s.solver.SlotDenied(7, 1));
    EXPECT_FALSE(s.solver.SlotDenied(8, 1));
    EXPECT_FALSE(s.solver.SlotDenied(7, 2));
}

TEST(TeacherBusy, AnyClassSectionCountsIncludingPinnedCells) {
    TestSchool school(3, 2);
    school.Cell(3, 12, 1);
    Solver s(school);
    EXPECT_TRUE(s.solver.TeacherBusy(1, 12));
    EXPECT_FALSE(s.solver.TeacherBusy(1, 13));
    EXPECT_FALSE(s.solver.TeacherBusy(2, 12));
}

TEST(LastHoursFull, CountsEachClassSectionsLastFivePositions) {
    TestSchool school(2, 2);
    school.Teach(1, 1, 20).Teach(1, 2, 15).Teach(2, 1, 20).Teach(2, 2, 15);  // 35 hours each
    school.ctx.options.last_hours_limit_on = true;
    school.ctx.options.last_hours_limit = 4;
    school.Cell(1, 31, 1).Cell(1, 33, 1).Cell(2, 35, 1).Cell(2, 30,
                                                             1);  // slot 30 is not a last hour
    {
        Solver s(school);
        EXPECT_FALSE(s.solver.LastHoursFull(1)) << "three last hours held";
    }
    school.Cell(2, 32, 1);
    Solver s(school);
    EXPECT_TRUE(s.solver.LastHoursFull(1)) << "a fifth would exceed the limit of four";
    EXPECT_FALSE(s.solver.LastHoursFull(2));
}

struct BookCase {
    int booked;
    int adding;
    bool refused;
};

void PrintTo(const BookCase& c, std::ostream* os) {
    *os << c.booked << " booked + " << c.adding;
}

class BookDayHoursTest : public ::testing::TestWithParam<BookCase> {};

TEST_P(BookDayHoursTest, BooksUpToTheLimitAndNothingWhenRefused) {
    const BookCase& param = GetParam();
    TestSchool school(1, 1);
    school.ctx.options.day_hours_limit_on = true;
    school.ctx.options.day_hours_limit = 7;
    Solver s(school);
    for (int i = 0; i < param.booked; ++i) {
        ASSERT_FALSE(s.solver.BookDayHours(1, SlotOf(kMon, 1), 1));
    }
    EXPECT_EQ(s.solver.BookDayHours(1, SlotOf(kMon, 9), param.adding), param.refused);
    const int expected = param.booked + (param.refused ? 0 : param.adding);
    EXPECT_EQ(s.solver.day_load()(1, kMon), expected);
    EXPECT_EQ(s.solver.day_load()(1, kTue), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, BookDayHoursTest,
                         ::testing::Values(BookCase{5, 2, false}, BookCase{6, 2, true},
                                           BookCase{6, 1, false}, BookCase{7, 1, true}));

TEST(SameHourConflict, LooksOnlyAtClassSectionsBeforeTheOneBeingFilled) {
    TestSchool school(3, 3);
    school.ctx.rules.AddSameHourPair(1, 2);
    school.Cell(2, 4, 2);
    Solver s(school);
    EXPECT_FALSE(s.solver.SameHourConflict(1, 4, 1)) << "teacher 2 is pinned in a later class";
    EXPECT_TRUE(s.solver.SameHourConflict(1, 4, 2));
    EXPECT_FALSE(s.solver.SameHourConflict(1, 5, 2)) << "another slot";
    EXPECT_FALSE(s.solver.SameHourConflict(3, 4, 2)) << "teacher 3 has no pair";
    EXPECT_FALSE(s.solver.SameHourConflict(2, 4, 3)) << "the pair's own teacher is not its partner";
}

struct RunCase {
    const char* name;
    std::vector<std::pair<int, int>> held;  // (class section, hour of Monday)
    int hour;
    int hours;  // 1 or 2
    bool refused;
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class TooManyInARowTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(TooManyInARowTest, FiveConsecutiveHoursAreRefused) {
    const RunCase& param = GetParam();
    TestSchool school(2, 2);
    for (const auto& [c, hour] : param.held) {
        school.Cell(c, SlotOf(kMon, hour), 1);
    }
    Solver s(school);
    EXPECT_EQ(s.solver.TooManyInARow(1, param.hours, SlotOf(kMon, param.hour)), param.refused)
        << param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TooManyInARowTest,
    ::testing::Values(
        RunCase{"first four hours, fifth refused", {{1, 1}, {1, 2}, {2, 3}, {2, 4}}, 5, 1, true},
        RunCase{"hours 1 2 3 5, fourth refused", {{1, 1}, {1, 2}, {1, 3}, {1, 5}}, 4, 1, true},
        RunCase{"three held, fourth accepted", {{1, 1}, {1, 2}, {1, 3}}, 4, 1, false},
        RunCase{"a gap of one hour breaks the run", {{1, 1}, {1, 2}, {1, 3}}, 5, 1, false},
        RunCase{"a lesson held in two classes is one hour",
                {{1, 1}, {2, 1}, {1, 2}, {2, 2}},
                3,
                1,
                false},
        RunCase{"two new hours count in every window", {{1, 1}, {1, 2}, {1, 3}}, 4, 2, true},
        RunCase{"two new hours after two held", {{1, 1}, {1, 2}}, 3, 2, false},
        RunCase{"late hours of the day", {{1, 6}, {1, 7}, {1, 8}, {1, 9}}, 10, 1, true}));

// Rows 1 "A", 2 "B", 3 "A+B", 4 "A+C": person A is in rows 1, 3 and 4, B in
// 2 and 3, C (no row of their own) in 4. The limits of a teacher's day and
// week count the person over every row that holds them.
void TwoPairsOfA(TestSchool& school) {
    school.in.teacher_names = {"", "A", "B", "A+B", "A+C"};
    for (int c = 1; c <= 3; ++c) {
        school.Teach(c, 1, 5).Teach(c, 2, 5).Teach(c, 3, 5).Teach(c, 4, 5);  // 20 hours each
    }
}

TEST(PersonLimits, ATeachersDayAndWeekCountEveryPairTheyAreIn) {
    struct Case {
        const char* name;
        std::function<void(TestSchool&)> set_up;
        std::function<bool(Tfindsolution&)> refused;
        bool expected;
    };
    const int mon = kMon;
    const std::vector<Case> cases = {
        {"A's fifth hour in a row after three through A+B and one through A+C",
         [&](TestSchool& s) {
             s.ctx.options.four_hour_run_limit_on = true;
             s.Cell(1, SlotOf(mon, 1), 3).Cell(1, SlotOf(mon, 2), 3).Cell(2, SlotOf(mon, 3), 3);
             s.Cell(3, SlotOf(mon, 4), 4);
         },
         [&](Tfindsolution& f) { return f.TooManyInARow(1, 1, SlotOf(mon, 5)); }, true},
        {"B's fifth hour: B has only the three through A+B",
         [&](TestSchool& s) {
             s.ctx.options.four_hour_run_limit_on = true;
             s.Cell(1, SlotOf(mon, 1), 3).Cell(1, SlotOf(mon, 2), 3).Cell(2, SlotOf(mon, 3), 3);
             s.Cell(3, SlotOf(mon, 4), 4);
         },
         [&](Tfindsolution& f) { return f.TooManyInARow(2, 1, SlotOf(mon, 5)); }, false},
        {"A+C's hour after A's four, alone and through A+B",
         [&](TestSchool& s) {
             s.ctx.options.four_hour_run_limit_on = true;
             s.Cell(1, SlotOf(mon, 1), 1).Cell(1, SlotOf(mon, 2), 1).Cell(2, SlotOf(mon, 3), 3);
             s.Cell(2, SlotOf(mon, 4), 3);
         },
         [&](Tfindsolution& f) { return f.TooManyInARow(4, 1, SlotOf(mon, 5)); }, true},
        {"two last hours of A through two pairs, with a limit of two",
         [&](TestSchool& s) {
             s.ctx.options.last_hours_limit_on = true;
             s.ctx.options.last_hours_limit = 2;
             s.Cell(1, 16, 3).Cell(2, 17, 4);  // slots 16 to 20 are the last five hours
         },
         [&](Tfindsolution& f) { return f.LastHoursFull(1); }, true},
        {"B has one of those last hours",
         [&](TestSchool& s) {
             s.ctx.options.last_hours_limit_on = true;
             s.ctx.options.last_hours_limit = 2;
             s.Cell(1, 16, 3).Cell(2, 17, 4);
         },
         [&](Tfindsolution& f) { return f.LastHoursFull(2); }, false},
        {"a lesson of A+B held in two class sections is one last hour",
         [&](TestSchool& s) {
             s.ctx.options.last_hours_limit_on = true;
             s.ctx.options.last_hours_limit = 2;
             s.Cell(1, 16, 3).Cell(2, 16, 3);
         },
         [&](Tfindsolution& f) { return f.LastHoursFull(1); }, false},
        {"pinned hours of A+B count on A's day, with a limit of two",
         [&](TestSchool& s) {
             s.ctx.options.day_hours_limit_on = true;
             s.ctx.options.day_hours_limit = 2;
             s.Cell(1, SlotOf(mon, 1), 3).Cell(2, SlotOf(mon, 3), 4);
         },
         [&](Tfindsolution& f) { return f.BookDayHours(1, SlotOf(mon, 5), 1); }, true},
        {"A+B's hour books A and B: B then has no room for a second",
         [&](TestSchool& s) {
             s.ctx.options.day_hours_limit_on = true;
             s.ctx.options.day_hours_limit = 1;
         },
         [&](Tfindsolution& f) {
             return !f.BookDayHours(3, SlotOf(mon, 1), 1) && f.BookDayHours(2, SlotOf(mon, 2), 1);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSchool school(3, 4);
        TwoPairsOfA(school);
        c.set_up(school);
        Solver s(school);
        EXPECT_EQ(c.refused(s.solver), c.expected);
    }
}

// A copy of a joint lesson stands at its lesson's slot, so it adds no hour
// to a day; it can add a last hour, when the slot is among the partner's
// last hours only. The class section is then refused, its partner untouched.
TEST(JointLessons, ACopyIntoThePartnersLastHoursIsTestedAgainstTheLimit) {
    TestSchool school(2, 3);
    school.Teach(1, 1, 2).Teach(1, 2, 8).Teach(2, 1, 2).Teach(2, 3, 3);  // 10 and 5 hours
    school.ctx.rules.AddJointLesson(1, 2, 1);
    school.ctx.options.last_hours_limit_on = true;
    school.ctx.options.last_hours_limit = 1;
    // Teacher 1 in class 1 at slots 2 and 5: class 2's last hours are 1 to 5,
    // class 1's are 6 to 10, so both copies are last hours of the partner only.
    school.Cell(1, 2, 1).Cell(1, 5, 1);
    Solver s(school);
    EXPECT_TRUE(s.solver.JointLessons(1));
    EXPECT_EQ(s.solver.timetable()(2, 2), 0) << "nothing copied when refused";
    EXPECT_EQ(s.solver.timetable()(2, 5), 0);

    school.ctx.options.last_hours_limit = 2;
    Solver looser(school);
    EXPECT_FALSE(looser.solver.JointLessons(1));
    EXPECT_EQ(looser.solver.timetable()(2, 2), 1);
    EXPECT_EQ(looser.solver.timetable()(2, 5), 1);
}

TEST(JointLessons, RefusesTwoSlotsOfOneDayEvenWhenOneIsAnOrdinaryLesson) {
    TestSchool school(2, 2);
    school.Teach(1, 1, 2).Teach(2, 1, 2);
    school.ctx.rules.AddJointLesson(1, 2, 1);
    school.Cell(1, SlotOf(kMon, 1), 1).Cell(1, SlotOf(kMon, 2), 1);
    Solver s(school);
    EXPECT_TRUE(s.solver.JointLessons(1));
    EXPECT_EQ(s.solver.timetable()(2, SlotOf(kMon, 1)), 0) << "nothing copied when refused";
}

TEST(JointLessons, RefusesWhenThePartnerSlotHoldsAnotherTeacher) {
    TestSchool school(2, 2);
    school.Teach(1, 1, 1).Teach(2, 1, 1).Teach(2, 2, 1);
    school.ctx.rules.AddJointLesson(2, 1, 1);
    school.Cell(1, 1, 1).Cell(2, 1, 2);
    Solver s(school);
    EXPECT_TRUE(s.solver.JointLessons(1));
}

TEST(JointLessons, CopiesIntoThePartnerAsAFixedLesson) {
    TestSchool school(2, 2);
    school.Teach(1, 1, 2).Teach(2, 1, 2).Teach(2, 2, 1);
    school.ctx.rules.AddJointLesson(1, 2, 1);
    school.Cell(1, 1, 1).Cell(1, 2, 1).Cell(2, 2, 1);  // slot 2 already agrees
    Solver s(school);
    EXPECT_FALSE(s.solver.JointLessons(1));
    EXPECT_EQ(s.solver.timetable()(2, 1), 1);
    EXPECT_EQ(s.solver.timetable_start()(2, 1), 1) << "survives a restart of class 2";
    EXPECT_EQ(s.solver.hours_left()(1, 2), 1) << "only the new copy is counted";
    EXPECT_EQ(s.solver.hours_start()(1, 2), 1);
    s.solver.RestartClass(2);
    EXPECT_EQ(s.solver.timetable()(2, 1), 1);
}

TEST(JointLessons, CopyBelowZeroHoursIsContradictoryData) {
    TestSchool school(2, 2);
    school.Teach(1, 1, 1).Teach(2, 2, 1);  // teacher 1 owes class 2 nothing
    school.ctx.rules.AddJointLesson(1, 2, 1);
    school.Cell(1, 1, 1);
    Solver s(school);
    EXPECT_THROW(s.solver.JointLessons(1), ContradictoryDataError);
}

}  // namespace
}  // namespace taktirio
