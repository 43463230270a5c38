// Problems that break the search's invariants are refused before the search,
// with a message naming what is at fault.
#include <gtest/gtest.h>

#include <functional>

#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "test_school.h"

namespace taktirio {
namespace {

using testing::TestSchool;

// Two class sections of ten hours, three teachers.
struct ValidSchool : TestSchool {
    ValidSchool() : TestSchool(2, 3) {
        Teach(1, 1, 4, 1).Teach(1, 2, 6).Teach(2, 2, 5).Teach(2, 3, 5);
    }
};

struct BadCase {
    const char* name;
    std::function<void(TestSchool&)> spoil;
    const char* named;  // a piece of the message
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class PrepareSearchTest : public ::testing::TestWithParam<BadCase> {};

TEST(PrepareSearch, AcceptsAValidProblemAndIndexesIt) {
    ValidSchool school;
    school.ctx.rules.AddDeniedSlot(2, 7);
    school.ctx.rules.AddSameHourPair(1, 3);
    EXPECT_NO_THROW(school.Prepare());
    EXPECT_EQ(school.ctx.index.teachers, 3);
    EXPECT_EQ(school.ctx.index.slot_denied[2 * 51 + 7], 1);
}

// The values the search, the checks before a search and the rework read from
// the index, each derived once from the tables and the run's options.
TEST(BuildRuleIndex, DerivesTheDayAllowanceTheSpreadAndTheSecondHourLimit) {
    struct Case {
        const char* name;
        int option;     // hours a day in one class section
        int weekly;     // the teacher's hours in the class section
        int absent;     // the teacher's absent days
        int allowance;  // expected
        bool spread;    // expected: one a day over the available days
    };
    const Case cases[] = {
        {"two a day fit", 2, 4, 3, 2, false},
        {"more than two a day on the days left", 2, 5, 3, 3, false},
        {"three a day by the option", 3, 4, 3, 3, false},
        {"one a day fits", 2, 2, 3, 2, true},
        {"every day free", 2, 5, 0, 2, true},
    };
    for (const Case& c : cases) {
        TestSchool school(1, 1);
        school.Teach(1, 1, c.weekly);
        if (c.absent > 0) {
            school.ctx.rules.AddDeniedDays(1, static_cast<std::uint8_t>(c.absent));
        }
        RunOptions options;
        options.max_class_hours_per_day = static_cast<std::uint8_t>(c.option);
        const RuleIndex index = BuildRuleIndex(school.in, school.ctx.rules, options);
        EXPECT_EQ(index.DayAllowance(1, 1), c.allowance) << c.name;
        EXPECT_EQ(index.DayAllowance(1, 1), ClassDayAllowance(c.option, c.weekly, kDays - c.absent))
            << c.name;
        EXPECT_EQ(index.SpreadsOverDays(1, 1), c.spread) << c.name;
        EXPECT_EQ(index.second_hour_limit, kSlots) << c.name;
    }
    // With eighth hours no two-hour lesson reaches them, and the eighth-hour
    // positions take their slots in order.
    TestSchool school(1, 1);
    school.Teach(1, 1, 36);
    school.ctx.rules.AddLastDay(38);
    const RuleIndex index = BuildRuleIndex(school.in, school.ctx.rules, RunOptions{});
    EXPECT_EQ(index.second_hour_limit, kSevenHourWeekSlots);
    EXPECT_EQ(index.position_slot[kFirstEighthHourPosition], 38);
    EXPECT_EQ(index.position_slot[kFirstEighthHourPosition + 1], 0);
}

// The last-hours limit counts the slots numbered like the last five hour
// positions, not the slots those positions fall on: with an eighth hour on
// Wednesday, position 36 is slot 38, but slot 36 is the one counted.
TEST(BuildRuleIndex, LastHoursAreTheLastFivePositionNumbersReadAsSlots) {
    TestSchool school(3, 3);
    school.Teach(1, 1, 36).Teach(2, 2, 3).Teach(3, 3, 20);
    school.ctx.rules.AddLastDay(38);
    const RuleIndex index = BuildRuleIndex(school.in, school.ctx.rules, RunOptions{});
    const struct {
        int class_section;
        int first;
        int last;
    } expected[] = {{1, 32, 36}, {2, 1, 3}, {3, 16, 20}};
    for (const auto& e : expected) {
        for (int s = 1; s <= kSlots; ++s) {
            EXPECT_EQ(index.InLastHours(e.class_section, s), s >= e.first && s <= e.last)
                << "class " << e.class_section << ", slot " << s;
        }
    }
}

// An index answers only for the school and the hours-a-day option it was
// built for; the others are refused rather than read.
TEST(BuildRuleIndex, BuiltForItsCountsAndItsHoursADayOption) {
    TestSchool school(2, 3);
    school.Teach(1, 1, 5).Teach(2, 2, 5).Teach(2, 3, 5);
    RunOptions two_a_day;
    RunOptions three_a_day;
    three_a_day.max_class_hours_per_day = 3;
    RunOptions other_limits = two_a_day;
    other_limits.last_hours_limit_on = true;
    other_limits.last_hours_limit = 2;
    const RuleIndex index = BuildRuleIndex(school.in, school.ctx.rules, two_a_day);
    EXPECT_TRUE(index.BuiltFor(2, 3, two_a_day));
    EXPECT_TRUE(index.BuiltFor(2, 3, other_limits)) << "read from the options, not the index";
    EXPECT_FALSE(index.BuiltFor(2, 3, three_a_day));
    EXPECT_FALSE(index.BuiltFor(3, 3, two_a_day));
    EXPECT_FALSE(index.BuiltFor(2, 4, two_a_day));
    EXPECT_FALSE(RuleIndex{}.BuiltFor(0, 0, two_a_day)) << "an index never built";

    school.ctx.options = three_a_day;
    school.ctx.index = index;
    RandomStream random(1);
    EXPECT_THROW(Tfindsolution(school.ctx, random, school.in), ProblemError);
}

TEST_P(PrepareSearchTest, RefusesNamingTheFault) {
    const BadCase& param = GetParam();
    ValidSchool school;
    param.spoil(school);
    try {
        school.Prepare();
        FAIL() << param.name << ": accepted";
    } catch (const ProblemError& e) {
        EXPECT_NE(std::string(e.what()).find(param.named), std::string::npos)
            << param.name << ": " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrepareSearchTest,
    ::testing::Values(
        BadCase{"hours do not fill the positions", [](TestSchool& s) { s.in.class_hours[2] = 11; },
                "C2"},
        BadCase{"more pinned cells than hours", [](TestSchool& s) { s.Cell(1, 3, 2); }, "C1"},
        BadCase{"teacher with hours missing from the class list",
                [](TestSchool& s) { s.in.class_teachers(1, 2) = 0; }, "T2"},
        BadCase{"more two-hour lessons than hours",
                [](TestSchool& s) { s.in.two_hour_lessons(2, 3) = 3; }, "T3"},
        BadCase{"class list names a teacher beyond the count",
                [](TestSchool& s) { s.in.class_teachers(1, 2) = 9; }, "9"},
        BadCase{"pinned teacher beyond the count",
                [](TestSchool& s) { s.in.pinned_lessons(2, 44) = 4; }, "44"},
        BadCase{"class with more than fifty hours", [](TestSchool& s) { s.in.class_hours[1] = 51; },
                "51"},
        BadCase{"refused slot outside the week",
                [](TestSchool& s) { s.ctx.rules.AddDeniedSlot(1, 51); }, "51"},
        BadCase{"refused slot for teacher zero",
                [](TestSchool& s) { s.ctx.rules.AddDeniedSlot(0, 5); }, "deny_list"},
        BadCase{"joint lesson with a class beyond the count",
                [](TestSchool& s) { s.ctx.rules.AddJointLesson(1, 7, 2); }, "7"},
        BadCase{"joint lesson of a class with itself",
                [](TestSchool& s) { s.ctx.rules.AddJointLesson(2, 2, 2); }, "C2"},
        BadCase{"split lesson with a teacher beyond the count",
                [](TestSchool& s) { s.ctx.rules.AddSplitLesson(1, 1, 8); }, "8"},
        BadCase{"same-hour pair with a teacher beyond the count",
                [](TestSchool& s) { s.ctx.rules.AddSameHourPair(4, 1); }, "same_hour_pairs"},
        BadCase{"eighth hour that is not one", [](TestSchool& s) { s.ctx.rules.AddLastDay(35); },
                "35"},
        BadCase{"eighth hours out of order",
                [](TestSchool& s) {
                    s.ctx.rules.AddLastDay(38);
                    s.ctx.rules.AddLastDay(37);
                },
                "37"},
        BadCase{"an hour position without its eighth-hour day",
                [](TestSchool& s) {
                    s.ctx.rules.AddLastDay(36);
                    s.in.class_hours[1] = 37;
                },
                "37"},
        BadCase{"teacher absent all week with hours",
                [](TestSchool& s) { s.ctx.rules.AddDeniedDays(2, 5); }, "T2"},
        BadCase{"teacher listed twice among absences",
                [](TestSchool& s) {
                    s.ctx.rules.AddDeniedDays(1, 1);
                    s.ctx.rules.AddDeniedDays(1, 2);
                },
                "T1"},
        BadCase{"name list too short", [](TestSchool& s) { s.in.class_names.resize(2); },
                "class_names"},
        BadCase{"full-hours table too small",
                [](TestSchool& s) { s.ctx.rules.teacher_class_hours_all = ByteMatrix(3, 3); },
                "teacher_class_hours_all"},
        BadCase{"no attempt allowed", [](TestSchool& s) { s.ctx.options.attempts_per_class = 0; },
                "1"}),
    [](const ::testing::TestParamInfo<BadCase>& case_info) {
        std::string name = case_info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

TEST(PrepareSearch, SolverRefusesAContextPreparedForAnotherProblem) {
    ValidSchool school;
    school.Prepare();
    TestSchool other(3, 3);
    RandomStream random(1);
    EXPECT_THROW(Tfindsolution(school.ctx, random, other.in), ProblemError);
    SolverInputs shorter = school.in;
    shorter.class_week_hours.resize(2);
    EXPECT_THROW(Tfindsolution(school.ctx, random, shorter), ProblemError);
}

}  // namespace
}  // namespace taktirio
