// The search as a whole: completion, restarts, bounds, stop and the steps it
// is built from.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <stop_token>
#include <vector>

#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"
#include "test_school.h"

namespace taktirio {
namespace {

using testing::TestSchool;

struct Runner {
    explicit Runner(TestSchool& school, std::uint64_t seed = 7) : random(seed) { school.Prepare(); }
    bool Attempt(TestSchool& school) {
        Tfindsolution solver(school.ctx, random, school.in);
        const bool done = solver.Search();
        draws = solver.draws();
        class_starts = solver.class_starts();
        evidence = solver.evidence();
        if (done) {
            timetables.push_back(solver.timetable());
        }
        return done;
    }
    // Attempts until one completes; false when none of `limit` does.
    bool Solve(TestSchool& school, int limit = 200) {
        for (int i = 0; i < limit; ++i) {
            if (Attempt(school)) {
                return true;
            }
        }
        return false;
    }
    RandomStream random;
    std::vector<ByteMatrix> timetables;  // of the attempts that completed one
    std::uint64_t draws = 0;
    std::int64_t class_starts = 0;
    SearchEvidence evidence;
};

int CountInClass(const ByteMatrix& timetable, int c, int t) {
    int n = 0;
    for (int s = 1; s <= kSlots; ++s) {
        n += timetable(static_cast<std::size_t>(c), static_cast<std::size_t>(s)) == t ? 1 : 0;
    }
    return n;
}

TEST(Create, CopiesTheProblemIntoIndependentObjects) {
    TestSchool school(2, 3);
    school.Teach(1, 1, 4, 1).Teach(1, 2, 6).Teach(2, 3, 5);
    school.Prepare();
    RandomStream random(1);
    Tfindsolution a(school.ctx, random, school.in);
    Tfindsolution b(school.ctx, random, school.in);
    EXPECT_EQ(a.timetable(), b.timetable());
    EXPECT_EQ(a.hours_left(), b.hours_left());

    for (int c = 1; c <= 2; ++c) {
        for (int s = 0; s <= kSlots; ++s) {
            EXPECT_EQ(a.timetable()(static_cast<std::size_t>(c), static_cast<std::size_t>(s)), 0);
        }
    }
    EXPECT_EQ(a.hours_left()(1, 1), 4);
    EXPECT_EQ(a.two_hour_left()(1, 1), 1);
    EXPECT_EQ(a.class_teachers()(1, 2), 2);
    EXPECT_EQ(a.class_names()[2], "C2");
    EXPECT_TRUE(a.day_load().empty()) << "no day-hours limit, no day load";
    EXPECT_TRUE(a.day_load_start().empty());

    ASSERT_TRUE(a.Search());
    EXPECT_EQ(b.timetable(), b.timetable_start()) << "searching one object leaves the other";
    EXPECT_EQ(b.hours_left()(1, 1), 4);
    EXPECT_EQ(school.in.teacher_class_hours(1, 1), 4) << "inputs unchanged";
}

TEST(Create, DayLoadExistsOnlyWithTheDayHoursLimit) {
    TestSchool school(1, 2);
    school.Teach(1, 1, 2);
    school.ctx.options.day_hours_limit_on = true;
    school.Prepare();
    RandomStream random(1);
    Tfindsolution solver(school.ctx, random, school.in);
    EXPECT_EQ(solver.day_load().rows(), 3u);
    EXPECT_EQ(solver.day_load().cols(), 6u);
    EXPECT_EQ(solver.day_load(), ByteMatrix(3, 6));
}

TEST(Search, SolvesASmallSchoolWithEveryHourPlaced) {
    TestSchool school(3, 4);
    school.Teach(1, 1, 4, 1).Teach(1, 2, 3).Teach(1, 3, 3);
    school.Teach(2, 1, 3).Teach(2, 2, 4).Teach(2, 4, 3);
    school.Teach(3, 3, 5).Teach(3, 4, 5);
    Runner run(school);
    ASSERT_TRUE(run.Solve(school));
    const ByteMatrix& timetable = run.timetables.at(0);
    for (int c = 1; c <= 3; ++c) {
        for (int t = 1; t <= 4; ++t) {
            EXPECT_EQ(CountInClass(timetable, c, t),
                      school.ctx.rules.teacher_class_hours_all(static_cast<std::size_t>(t),
                                                               static_cast<std::size_t>(c)))
                << "class " << c << " teacher " << t;
        }
        for (int s = 11; s <= kSlots; ++s) {
            EXPECT_EQ(timetable(static_cast<std::size_t>(c), static_cast<std::size_t>(s)), 0)
                << "nothing beyond the ten positions";
        }
    }
    for (int s = 1; s <= 10; ++s) {
        std::map<int, int> seen;
        for (std::size_t c = 1; c <= 3; ++c) {
            ++seen[timetable(c, static_cast<std::size_t>(s))];
        }
        for (const auto& [t, n] : seen) {
            EXPECT_EQ(n, 1) << "teacher " << t << " twice at slot " << s;
        }
    }
}

TEST(Search, SameSeedSameTimetable) {
    auto solve = [](std::uint64_t seed) {
        TestSchool school(2, 3);
        school.Teach(1, 1, 4).Teach(1, 2, 6).Teach(2, 2, 4).Teach(2, 3, 6);
        Runner run(school, seed);
        EXPECT_TRUE(run.Solve(school));
        return run.timetables.at(0);
    };
    EXPECT_EQ(solve(11), solve(11));
    EXPECT_NE(solve(11), solve(12)) << "another seed draws another timetable";
}

TEST(Search, TwoHourLessonIsPlacedAsABlockThenOneHourLessons) {
    // Teacher 1: four hours in class 1, one of them a two-hour lesson.
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        TestSchool school(1, 2);
        school.Teach(1, 1, 4, 1).Teach(1, 2, 6);
        Runner run(school, seed);
        ASSERT_TRUE(run.Solve(school)) << "seed " << seed;
        const ByteMatrix& timetable = run.timetables.at(0);
        int double_days = 0;
        int single_days = 0;
        for (int day = 1; day <= kDays; ++day) {
            const bool first = timetable(1, static_cast<std::size_t>(SlotOf(day, 1))) == 1;
            const bool second = timetable(1, static_cast<std::size_t>(SlotOf(day, 2))) == 1;
            double_days += first && second ? 1 : 0;
            single_days += first != second ? 1 : 0;
        }
        EXPECT_EQ(double_days, 1) << "seed " << seed;
        EXPECT_EQ(single_days, 2) << "seed " << seed << ": spread over two other days";
    }
}

TEST(Search, ClassSectionFullyPinnedCompletesWithoutADrawEvenWhenStopped) {
    TestSchool school(1, 1);
    school.Teach(1, 1, 2).Pin(1, 1, 1).Pin(1, 2, 1);
    Runner run(school);
    std::stop_source stop;
    stop.request_stop();
    school.ctx.stop = stop.get_token();
    EXPECT_TRUE(run.Attempt(school));
    EXPECT_EQ(run.draws, 0u);
    EXPECT_EQ(run.timetables.size(), 1u) << "its timetable is complete";
}

TEST(Search, StopBeforeSearchReturnsAtTheFirstDrawWithNothingWritten) {
    TestSchool school(1, 1);
    school.Teach(1, 1, 2);
    Runner run(school);
    std::stop_source stop;
    stop.request_stop();
    school.ctx.stop = stop.get_token();
    EXPECT_FALSE(run.Attempt(school));
    EXPECT_EQ(run.draws, 0u);
    EXPECT_TRUE(run.timetables.empty());
}

TEST(Search, GivesUpAfterAttemptsPerClassStarts) {
    // Teacher 1 must teach the first hour of every day but is refused Monday's.
    TestSchool school(1, 1);
    school.Teach(1, 1, 5);
    school.ctx.rules.AddDeniedSlot(1, 1);
    school.ctx.options.attempts_per_class = 1000;
    Runner run(school);
    EXPECT_FALSE(run.Attempt(school));
    EXPECT_EQ(run.class_starts, 1000);

    // Each start drew the teacher once for Monday's first hour and was refused
    // there for the free hour.
    const SearchEvidence& seen = run.evidence;
    EXPECT_EQ(seen.attempts, 1);
    EXPECT_EQ(seen.draws, 1000);
    EXPECT_EQ(seen.Refused(Refusal::kSlotDenied), 1000);
    EXPECT_EQ(seen.teacher_refusals.at(1), 1000);
    EXPECT_EQ(seen.class_failures.at(1), 1000);
    EXPECT_EQ(seen.attempts_ended.at(1), 1);
    EXPECT_EQ(seen.joint_refusals.at(1), 0);
    EXPECT_EQ(seen.deepest_class, 1);
    EXPECT_EQ(seen.deepest_position, 1);
    EXPECT_EQ(seen.deepest_slot, 1);
}

// Each try is counted under the first test that refused it. One small school
// per rule, where only that rule can refuse anyone.
TEST(Search, EvidenceCountsEachRefusalUnderTheRuleThatMadeIt) {
    struct Case {
        const char* name;
        std::function<void(TestSchool&)> set_up;
        int classes;
        Refusal rule;
        int failed_class;
    };
    const std::vector<Case> cases = {
        {"teacher busy", [](TestSchool& s) { s.Teach(1, 1, 5).Teach(2, 1, 5); }, 2,
         Refusal::kTeacherBusy, 2},
        {"free hour",
         [](TestSchool& s) {
             s.Teach(1, 1, 5);
             s.ctx.rules.AddDeniedSlot(1, 4);
         },
         1, Refusal::kSlotDenied, 1},
        {"last hours",
         [](TestSchool& s) {
             s.Teach(1, 1, 5);
             s.ctx.options.last_hours_limit_on = true;
             s.ctx.options.last_hours_limit = 4;
         },
         1, Refusal::kLastHoursFull, 1},
        {"never at the same hour",
         [](TestSchool& s) {
             s.Teach(1, 1, 5).Teach(2, 2, 5);
             s.ctx.rules.AddSameHourPair(1, 2);
         },
         2, Refusal::kSameHourConflict, 2},
    };
    for (const Case& c : cases) {
        TestSchool school(c.classes, 2);
        c.set_up(school);
        school.ctx.options.attempts_per_class = 1000;
        Runner run(school);
        EXPECT_FALSE(run.Attempt(school)) << c.name;
        const SearchEvidence& seen = run.evidence;
        std::int64_t refused = 0;
        for (std::size_t k = 1; k < kRefusalKinds; ++k) {
            refused += seen.refusals[k];
        }
        EXPECT_GT(seen.Refused(c.rule), 0) << c.name;
        EXPECT_EQ(seen.Refused(c.rule), refused) << c.name << ": no other rule refused";
        EXPECT_EQ(seen.Refused(Refusal::kPlaced), 0) << c.name;
        EXPECT_LT(refused, seen.draws) << c.name << ": placements are not refusals";
        EXPECT_EQ(seen.teacher_refusals.at(1) + seen.teacher_refusals.at(2), refused) << c.name;
        EXPECT_EQ(seen.class_failures.at(static_cast<std::size_t>(c.failed_class)), 1000) << c.name;
        EXPECT_EQ(seen.attempts_ended.at(static_cast<std::size_t>(c.failed_class)), 1) << c.name;
        EXPECT_EQ(seen.deepest_class, c.failed_class) << c.name;
    }
}

TEST(Search, JointLessonRefusedAtEveryCompletionEndsTheAttempt) {
    // Six joint hours can never be once a day in five days.
    TestSchool school(2, 2);
    school.Teach(1, 1, 6).Teach(1, 2, 4).Teach(2, 1, 6).Teach(2, 2, 4);
    school.ctx.rules.AddJointLesson(1, 2, 1);
    school.ctx.options.attempts_per_class = 50;
    Runner run(school);
    EXPECT_FALSE(run.Attempt(school));
    EXPECT_EQ(run.class_starts, 50);
    // Some starts run out of candidates first; the others are complete and
    // then refused by the joint-lesson test. Both are failures of the start.
    EXPECT_GT(run.evidence.joint_refusals.at(1), 0);
    EXPECT_LE(run.evidence.joint_refusals.at(1), 50);
    EXPECT_EQ(run.evidence.class_failures.at(1), 50);
    EXPECT_EQ(run.evidence.attempts_ended.at(1), 1);
    EXPECT_EQ(run.evidence.deepest_class, 1);
    EXPECT_EQ(run.evidence.deepest_position, 10) << "the class section was filled to its end";
}

TEST(Search, JointLessonTakesTheSameSlotsInBothClassSections) {
    TestSchool school(2, 3);
    school.Teach(1, 1, 2).Teach(1, 2, 3).Teach(2, 1, 2).Teach(2, 3, 3);
    school.ctx.rules.AddJointLesson(1, 2, 1);
    Runner run(school);
    ASSERT_TRUE(run.Solve(school));
    const ByteMatrix& timetable = run.timetables.at(0);
    for (std::size_t s = 1; s <= kSlots; ++s) {
        EXPECT_EQ(timetable(1, s) == 1, timetable(2, s) == 1) << "slot " << s;
    }
}

TEST(Search, EighthHourPositionsWalkTheListedSlots) {
    TestSchool school(1, 8);
    for (int t = 1; t <= 7; ++t) {
        school.Teach(1, t, 5);
    }
    school.Teach(1, 8, 2);  // 37 hours
    school.ctx.rules.AddLastDay(37);
    school.ctx.rules.AddLastDay(39);
    Runner run(school);
    ASSERT_TRUE(run.Solve(school, 2000));
    const ByteMatrix& timetable = run.timetables.at(0);
    for (int s = 1; s <= kSlots; ++s) {
        const bool walked = s <= 35 || s == 37 || s == 39;
        EXPECT_EQ(timetable(1, static_cast<std::size_t>(s)) != 0, walked) << "slot " << s;
    }
}

TEST(Search, SecondHourBeyondTheWeekMakesTheClassStartAgain) {
    // Seven positions: the first hour of every day, then Monday's and Tuesday's
    // second hours. A two-hour lesson begun on Wednesday would end outside
    // them; completed timetables never hold one.
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        TestSchool school(1, 3);
        school.Teach(1, 1, 2, 1).Teach(1, 2, 3).Teach(1, 3, 2);
        Runner run(school, seed);
        ASSERT_TRUE(run.Solve(school)) << "seed " << seed;
        const ByteMatrix& timetable = run.timetables.at(0);
        for (std::size_t s = 8; s <= kSlots; ++s) {
            EXPECT_EQ(timetable(1, s), 0) << "seed " << seed << " slot " << s;
        }
    }
}

TEST(Search, NoSingleHourRunsKeepsTheHourBeforeAPinnedLessonFree) {
    // Teacher 1 has two hours: one pinned on Monday's second hour, the other
    // allowed only on Monday's first hour. A pinned lesson is a one-hour
    // lesson, so the option leaves no place for the other; without it, that
    // place is taken.
    for (const bool no_runs : {true, false}) {
        SCOPED_TRACE(no_runs ? "no single-hour runs" : "runs allowed");
        TestSchool school(1, 2);
        school.Teach(1, 1, 2).Teach(1, 2, 4).Pin(1, SlotOf(1, 2), 1);
        school.in.class_hours[1] = 6;
        school.ctx.rules.AddDeniedDays(1, 4);  // two hours in one available day: no spreading
        for (int day = 2; day <= kDays; ++day) {
            school.ctx.rules.AddDeniedSlot(1, static_cast<std::uint8_t>(SlotOf(day, 1)));
        }
        school.ctx.options.no_single_hour_runs = no_runs;
        Runner run(school);
        if (no_runs) {
            EXPECT_FALSE(run.Solve(school, 20));
            EXPECT_GT(run.evidence.Refused(Refusal::kSingleHourRun), 0);
        } else {
            ASSERT_TRUE(run.Solve(school, 20));
            EXPECT_EQ(run.timetables.at(0)(1, 1), 1);
        }
    }
}

TEST(Search, NoSingleHourRunsRefusesTheHourAfterATeachersLesson) {
    // Six one-hour lessons on two rows of five days need two in a row once.
    auto solvable = [](bool no_runs) {
        TestSchool school(1, 2);
        school.Teach(1, 1, 6).Teach(1, 2, 4);
        school.ctx.options.no_single_hour_runs = no_runs;
        school.ctx.options.attempts_per_class = 200;
        Runner run(school);
        return run.Solve(school, 5);
    };
    EXPECT_TRUE(solvable(false));
    EXPECT_FALSE(solvable(true));
}

TEST(SearchSteps, ListCandidatesSkipsEmptyEntriesAndTeachersWithNothingLeft) {
    TestSchool school(1, 4);
    school.Teach(1, 1, 2).Teach(1, 3, 2).Teach(1, 4, 1).Pin(1, 1, 4);
    school.in.class_teachers(1, 2) = 0;  // an empty entry between teachers
    school.in.class_teachers(1, 3) = 4;
    school.in.class_teacher_count[1] = 3;
    school.Index();
    RandomStream random(1);
    Tfindsolution solver(school.ctx, random, school.in);
    const teachersforclass list = solver.ListCandidates(1);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.teachers[1], 1) << "teacher 4's only hour is pinned";
}

TEST(SearchSteps, DropCandidateKeepsTheOrderOfTheOthers) {
    teachersforclass list;
    list.count = 4;
    list.teachers[1] = 9;
    list.teachers[2] = 3;
    list.teachers[3] = 7;
    list.teachers[4] = 5;
    Tfindsolution::DropCandidate(list, 2);
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.teachers[1], 9);
    EXPECT_EQ(list.teachers[2], 7);
    EXPECT_EQ(list.teachers[3], 5);
    Tfindsolution::DropCandidate(list, 3);
    Tfindsolution::DropCandidate(list, 1);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.teachers[1], 7);
}

TEST(SearchSteps, PickCandidateDrawsEveryIndexEvenly) {
    TestSchool school(1, 1);
    school.Index();
    RandomStream random(5);
    Tfindsolution solver(school.ctx, random, school.in);
    teachersforclass list;
    list.count = 3;
    int seen[4] = {};
    constexpr int kDraws = 30000;
    for (int i = 0; i < kDraws; ++i) {
        const int r = solver.PickCandidate(list);
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 3);
        ++seen[r];
    }
    for (int r = 1; r <= 3; ++r) {
        EXPECT_NEAR(seen[r], kDraws / 3, 400) << "index " << r;
    }
    EXPECT_EQ(solver.draws(), static_cast<std::uint64_t>(kDraws));
}

TEST(SearchSteps, RestartClassRestoresItsRowAndTheDayLoad) {
    TestSchool school(2, 2);
    school.Teach(1, 1, 5).Teach(2, 2, 5);
    school.ctx.options.day_hours_limit_on = true;
    school.ctx.options.day_hours_limit = 7;
    school.Prepare();
    RandomStream random(1);
    Tfindsolution solver(school.ctx, random, school.in);
    ASSERT_FALSE(solver.BookDayHours(1, 1, 2));
    solver.SaveDayLoad();
    ASSERT_FALSE(solver.BookDayHours(1, 1, 3));
    solver.RestartClass(1);
    EXPECT_EQ(solver.day_load()(1, 1), 2) << "back to the load saved after the last class";
    EXPECT_EQ(solver.hours_left()(1, 1), 5);
}

struct ElapsedCase {
    double now_ms;
    double start_ms;
    const char* text;
};

void PrintTo(const ElapsedCase& c, std::ostream* os) {
    *os << c.text;
}

class ElapsedTextTest : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(ElapsedTextTest, HoursMinutesSecondsMillisecondsWithoutLeadingZeros) {
    constexpr double kDay = 86400000.0;
    const ElapsedCase& param = GetParam();
    EXPECT_EQ(Tfindsolution::ElapsedText(param.now_ms / kDay, param.start_ms / kDay), param.text);
}

constexpr double H = 3600000.0;
INSTANTIATE_TEST_SUITE_P(Cases, ElapsedTextTest,
                         ::testing::Values(ElapsedCase{H + 2 * 60000 + 3000 + 4, 0, "1:2:3:4"},
                                           ElapsedCase{4 * 60000 + 31250, 0, "0:4:31:250"},
                                           ElapsedCase{10 * H, 10 * H, "0:0:0:0"},
                                           ElapsedCase{25 * H, 0, "1:0:0:0"},  // whole days dropped
                                           ElapsedCase{0.5 * H, 23.5 * H,
                                                       "1:0:0:0"},  // across midnight
                                           ElapsedCase{12 * H + 999, 12 * H, "0:0:0:999"}));

}  // namespace
}  // namespace taktirio
