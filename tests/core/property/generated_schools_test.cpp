// Property test: many generated schools of several sizes and option sets are
// solved with a fixed random stream, and every timetable found must pass the
// independent verifier, read both as the search built it and as a finished
// timetable. Deliberately broken timetables show that the
// verifier catches what it claims to.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/common/narrow.h"
#include "core/generator/school_generator.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"
#include "core/verify/timetable_verifier.h"
#include "support/option_sets.h"
#include "support/solve_by_attempts.h"

namespace taktirio {
namespace {

using testing::OptionSet;
using testing::OptionSets;

struct Solved {
    GeneratedSchool school;
    ByteMatrix timetable;
};

// Solves the school with a fixed stream; empty when no attempt of the budget completes.
std::optional<ByteMatrix> Solve(const GeneratedSchool& school, std::uint64_t stream_seed,
                                int attempts) {
    RunContext context;
    context.options = school.options;
    context.rules = school.rules;
    return testing::SolveByAttempts(school.inputs, context, stream_seed, attempts);
}

std::string Listing(const std::vector<Violation>& violations) {
    std::string text;
    for (std::size_t i = 0; i < violations.size() && i < 8; ++i) {
        text += "\n  " + Describe(violations[i]);
    }
    return text;
}

struct PropertyCase {
    int classes;
    OptionSet options;
    std::uint64_t seed;
};

void PrintTo(const PropertyCase& c, std::ostream* os) {
    *os << c.classes << " classes, " << c.options.name << ", school " << c.seed;
}

class SolvedSchools : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(SolvedSchools, EveryTimetableFoundPassesTheVerifier) {
    const PropertyCase& param = GetParam();
    SchoolSettings settings = TypicalSchool(param.classes, param.seed);
    settings.options = param.options.options;
    const GeneratedSchool school = GenerateSchool(settings);

    // The limits of a teacher's day and week count the person, over all their
    // rows; the reading as searched counts each row alone, as the search once
    // did, and is held to only where none of those limits is on.
    const RunOptions& o = school.options;
    const bool person_limits =
        o.last_hours_limit_on || o.day_hours_limit_on || o.four_hour_run_limit_on;
    ASSERT_TRUE(VerifyTimetable(school.inputs, school.options, school.rules, school.witness,
                                person_limits ? VerifyMode::kFinished : VerifyMode::kAsSearched)
                    .empty())
        << "the generator's own timetable";
    for (std::uint64_t stream = 1; stream <= 3; ++stream) {
        const std::optional<ByteMatrix> timetable = Solve(school, stream * 1000 + param.seed, 500);
        ASSERT_TRUE(timetable.has_value()) << "stream " << stream;
        if (!person_limits) {
            const std::vector<Violation> violations =
                VerifyTimetable(school.inputs, school.options, school.rules, *timetable);
            EXPECT_TRUE(violations.empty()) << "stream " << stream << Listing(violations);
        }
        const std::vector<Violation> finished = VerifyTimetable(
            school.inputs, school.options, school.rules, *timetable, VerifyMode::kFinished);
        EXPECT_TRUE(finished.empty()) << "read as finished, stream " << stream << Listing(finished);
    }
}

std::vector<PropertyCase> PropertyCases() {
    std::vector<PropertyCase> cases;
    for (const int classes : {6, 15, 30}) {
        for (const OptionSet& set : OptionSets()) {
            for (const std::uint64_t seed : {101u, 202u, 303u, 404u}) {
                cases.push_back({classes, set, seed + static_cast<std::uint64_t>(classes)});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, SolvedSchools, ::testing::ValuesIn(PropertyCases()),
                         [](const ::testing::TestParamInfo<PropertyCase>& case_info) {
                             return std::to_string(case_info.param.classes) + "_" +
                                    case_info.param.options.name + "_" +
                                    std::to_string(case_info.param.seed);
                         });

// ---- broken timetables -----------------------------------------------------

bool Flags(const std::vector<Violation>& violations, VerifyRule rule) {
    return std::any_of(violations.begin(), violations.end(),
                       [rule](const Violation& v) { return v.rule == rule; });
}

// A solved school with every kind of rule, shared by the mutation tests.
const Solved& SolvedSchool() {
    static const Solved solved = [] {
        SchoolSettings settings = TypicalSchool(15, 77);
        settings.free_hours = 10;
        settings.apart = 3;
        settings.joint = 2;
        settings.split = 2;
        settings.pinned = 6;
        Solved s{GenerateSchool(settings), ByteMatrix()};
        s.timetable = *Solve(s.school, 5, 500);
        return s;
    }();
    return solved;
}

// A broken timetable read both ways: as the search built it and as finished.
struct Readings {
    std::vector<Violation> as_searched;
    std::vector<Violation> finished;
    bool empty() const { return as_searched.empty() && finished.empty(); }
};

Readings VerifyBroken(const ByteMatrix& timetable) {
    const GeneratedSchool& school = SolvedSchool().school;
    return {VerifyTimetable(school.inputs, school.options, school.rules, timetable),
            VerifyTimetable(school.inputs, school.options, school.rules, timetable,
                            VerifyMode::kFinished)};
}

// Both readings report the rule.
bool Flags(const Readings& readings, VerifyRule rule) {
    return Flags(readings.as_searched, rule) && Flags(readings.finished, rule);
}

std::string Listing(const Readings& readings) {
    return "\nas searched:" + Listing(readings.as_searched) +
           "\nas finished:" + Listing(readings.finished);
}

bool IsPinned(int c, int s) {
    return SolvedSchool().school.inputs.pinned_lessons(AsIndex(c), AsIndex(s)) != 0;
}

// The first searched (not pinned) cell of a class section, scanning from slot 1.
int FirstSearchedSlot(const ByteMatrix& timetable, int c) {
    for (int s = 1; s <= kSlots; ++s) {
        if (timetable(AsIndex(c), AsIndex(s)) != 0 && !IsPinned(c, s)) {
            return s;
        }
    }
    return 0;
}

TEST(BrokenTimetables, TheUnbrokenTimetablePasses) {
    const Solved& solved = SolvedSchool();
    EXPECT_TRUE(VerifyBroken(solved.timetable).empty()) << Listing(VerifyBroken(solved.timetable));
}

TEST(BrokenTimetables, AnEmptiedCellMissesHoursAndAPosition) {
    ByteMatrix t = SolvedSchool().timetable;
    t(3, AsIndex(FirstSearchedSlot(t, 3))) = 0;
    const auto violations = VerifyBroken(t);
    EXPECT_TRUE(Flags(violations, VerifyRule::kHours)) << Listing(violations);
    EXPECT_TRUE(Flags(violations, VerifyRule::kPositions)) << Listing(violations);
}

TEST(BrokenTimetables, ATeacherCopiedIntoAnotherClassClashes) {
    ByteMatrix t = SolvedSchool().timetable;
    const int s = FirstSearchedSlot(t, 2);
    t(4, AsIndex(s)) = t(2, AsIndex(s));
    EXPECT_TRUE(Flags(VerifyBroken(t), VerifyRule::kTeacherClash));
}

TEST(BrokenTimetables, ALessonMovedOntoARefusedSlotIsCaught) {
    const Solved& solved = SolvedSchool();
    const RuleTables& rules = solved.school.rules;
    ASSERT_FALSE(rules.DeniedSlots().empty());
    // Swap a refused teacher's lesson into the refused slot of a class section it teaches.
    bool broken = false;
    for (const DeniedSlot& denied : rules.DeniedSlots()) {
        const int teacher = denied.teacher;
        const int slot = denied.slot;
        for (int c = 1; c <= solved.school.inputs.number_of_classes && !broken; ++c) {
            if (solved.timetable(AsIndex(c), AsIndex(slot)) == 0 || IsPinned(c, slot)) {
                continue;
            }
            for (int s = 1; s <= kSlots && !broken; ++s) {
                if (solved.timetable(AsIndex(c), AsIndex(s)) == teacher && !IsPinned(c, s)) {
                    ByteMatrix t = solved.timetable;
                    std::swap(t(AsIndex(c), AsIndex(s)), t(AsIndex(c), AsIndex(slot)));
                    EXPECT_TRUE(Flags(VerifyBroken(t), VerifyRule::kDeniedSlot))
                        << "teacher " << teacher << " class " << c << " slot " << slot;
                    broken = true;
                }
            }
        }
    }
    EXPECT_TRUE(broken) << "no refused slot could be broken in this school";
}

TEST(BrokenTimetables, AJointLessonOutOfStepIsCaught) {
    const Solved& solved = SolvedSchool();
    const RuleTables& rules = solved.school.rules;
    ASSERT_FALSE(rules.JointLessons().empty());
    const int c2 = rules.JointLessons().front().class2;
    const int j = rules.JointLessons().front().teacher;
    ByteMatrix t = solved.timetable;
    for (int s = 1; s <= kSlots; ++s) {
        if (t(AsIndex(c2), AsIndex(s)) == j) {
            // Move the partner's copy to another of its slots.
            for (int other = 1; other <= kSlots; ++other) {
                if (other != s && t(AsIndex(c2), AsIndex(other)) != 0 &&
                    t(AsIndex(c2), AsIndex(other)) != j && !IsPinned(c2, other)) {
                    std::swap(t(AsIndex(c2), AsIndex(s)), t(AsIndex(c2), AsIndex(other)));
                    break;
                }
            }
            break;
        }
    }
    EXPECT_TRUE(Flags(VerifyBroken(t), VerifyRule::kJoint));
}

TEST(BrokenTimetables, TwoLessonsOfAnApartPairAtOneSlotAreCaught) {
    const Solved& solved = SolvedSchool();
    const RuleTables& rules = solved.school.rules;
    ASSERT_FALSE(rules.SameHourPairs().empty());
    const int a = rules.SameHourPairs().front().first;
    const int b = rules.SameHourPairs().front().second;
    const int C = solved.school.inputs.number_of_classes;
    // Put b, in the last class section, at a slot where a teaches an earlier one.
    for (int c = 1; c < C; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            if (solved.timetable(AsIndex(c), AsIndex(s)) == a && !IsPinned(C, s) &&
                solved.timetable(AsIndex(C), AsIndex(s)) != 0) {
                ByteMatrix t = solved.timetable;
                t(AsIndex(C), AsIndex(s)) = static_cast<std::uint8_t>(b);
                EXPECT_TRUE(Flags(VerifyBroken(t), VerifyRule::kSameHour))
                    << "teachers " << a << " and " << b << " at slot " << s;
                return;
            }
        }
    }
    FAIL() << "teacher " << a << " teaches nowhere before the last class section";
}

TEST(BrokenTimetables, ADayOverloadedInOneClassIsCaught) {
    // Move three lessons of one teacher onto one day of a class section.
    const Solved& solved = SolvedSchool();
    ByteMatrix t = solved.timetable;
    const int c = 1;
    const int teacher = t(1, AsIndex(FirstSearchedSlot(t, 1)));
    int moved = 0;
    for (int s = 1; s <= kSlots && moved < 3; ++s) {
        if (DayOfSlot(s) != 1 || t(AsIndex(c), AsIndex(s)) == 0 || IsPinned(c, s)) {
            continue;
        }
        if (t(AsIndex(c), AsIndex(s)) == teacher) {
            ++moved;
            continue;
        }
        for (int other = 1; other <= kSlots; ++other) {
            if (DayOfSlot(other) != 1 && t(AsIndex(c), AsIndex(other)) == teacher &&
                !IsPinned(c, other)) {
                std::swap(t(AsIndex(c), AsIndex(s)), t(AsIndex(c), AsIndex(other)));
                ++moved;
                break;
            }
        }
    }
    ASSERT_EQ(moved, 3);
    const auto violations = VerifyBroken(t);
    EXPECT_TRUE(Flags(violations, VerifyRule::kClassDay) || Flags(violations, VerifyRule::kSpread))
        << Listing(violations);
}

}  // namespace
}  // namespace taktirio
