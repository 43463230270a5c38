// The exact search against the verifier, which judges every timetable: on
// generated schools under every option set, its timetables pass the finished
// reading, the search's own and the generator's timetables are models, and
// a timetable edited at random is a model exactly when the verifier passes
// it. Small schools built without a timetable are proven impossible, with
// the rule each breaks named.
#include "core/exact/exact_search.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>
#include <string>

#include "core/common/narrow.h"
#include "core/generator/school_generator.h"
#include "core/solver/findsolution.h"
#include "core/solver/random_stream.h"
#include "core/solver/slots.h"
#include "core/verify/timetable_verifier.h"
#include "support/option_sets.h"
#include "support/solve_by_attempts.h"

namespace taktirio::exact {
namespace {

using testing::OptionSets;

const ExactLimits kBudget{200000, {}};

std::string Listing(const std::vector<Violation>& violations) {
    std::string text;
    for (const Violation& v : violations) {
        text += "\n  " + std::string(RuleName(v.rule)) + " c" + std::to_string(v.class_section) +
                " t" + std::to_string(v.teacher) + " s" + std::to_string(v.slot) + " " + v.detail;
    }
    return text;
}

bool PassesFinished(const GeneratedSchool& school, const RunOptions& options,
                    const ByteMatrix& timetable, std::string* why = nullptr) {
    const std::vector<Violation> found =
        VerifyTimetable(school.inputs, options, school.rules, timetable, VerifyMode::kFinished);
    if (why != nullptr) {
        *why = Listing(found);
    }
    return found.empty();
}

// One cell of a free position changed: to another teacher of the class
// section, or exchanged with another cell of the same class section. Never
// the timetable itself, which the search has blocked once found.
ByteMatrix Edited(const GeneratedSchool& school, const ByteMatrix& original, RandomStream& random) {
    ByteMatrix timetable = original;
    const int classes = school.inputs.number_of_classes;
    for (;;) {
        const int c = 1 + static_cast<int>(random.Below(AsByte(classes)));
        const int s = 1 + static_cast<int>(random.Below(kSlots));
        if (school.inputs.pinned_lessons(AsIndex(c), AsIndex(s)) != 0 ||
            timetable(AsIndex(c), AsIndex(s)) == 0) {
            continue;
        }
        if (random.Below(2) == 0) {
            const int other = 1 + static_cast<int>(random.Below(kSlots));
            if (school.inputs.pinned_lessons(AsIndex(c), AsIndex(other)) != 0 ||
                timetable(AsIndex(c), AsIndex(other)) == 0) {
                continue;
            }
            std::swap(timetable(AsIndex(c), AsIndex(s)), timetable(AsIndex(c), AsIndex(other)));
        } else {
            const int count = school.inputs.class_teacher_count[AsIndex(c)];
            const int pick = 1 + static_cast<int>(random.Below(AsByte(count)));
            timetable(AsIndex(c), AsIndex(s)) =
                school.inputs.class_teachers(AsIndex(c), AsIndex(pick));
        }
        if (timetable == original) {
            continue;
        }
        return timetable;
    }
}

struct Case {
    int classes;
    std::uint64_t seed;
    testing::OptionSet options;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (const testing::OptionSet& options : OptionSets()) {
        cases.push_back({6, 3, options});
        cases.push_back({9, 11, options});
    }
    return cases;
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.classes << " classes, " << c.options.name << ", school " << c.seed;
}

class ExactOnGeneratedSchools : public ::testing::TestWithParam<Case> {};

TEST_P(ExactOnGeneratedSchools, AgreesWithTheVerifier) {
    const Case& param = GetParam();
    SchoolSettings settings = TypicalSchool(param.classes, param.seed);
    settings.options = param.options.options;
    const GeneratedSchool school = GenerateSchool(settings);
    const RunOptions& options = school.options;
    const RuleIndex index = PrepareSearch(school.inputs, school.rules, options);
    ExactSearch exact(school.inputs, school.rules, options, index, param.seed);

    // Not stricter than the rules: the generator's timetable and one the
    // randomised search finds are models.
    EXPECT_TRUE(exact.Allows(school.witness, kBudget)) << "the generator's timetable";
    RunContext context;
    context.options = options;
    context.rules = school.rules;
    if (const auto found = testing::SolveByAttempts(school.inputs, context, param.seed, 300)) {
        EXPECT_TRUE(exact.Allows(*found, kBudget)) << "a timetable of the randomised search";
    }

    // Not looser: successive timetables, all different, all pass.
    std::set<std::vector<std::uint8_t>> seen;
    ByteMatrix timetable;
    for (int n = 0; n < 3; ++n) {
        ASSERT_EQ(exact.Next(kBudget, timetable), ExactOutcome::kTimetable) << "timetable " << n;
        std::string why;
        EXPECT_TRUE(PassesFinished(school, options, timetable, &why)) << "timetable " << n << why;
        std::vector<std::uint8_t> cells;
        for (std::size_t c = 1; c < timetable.rows(); ++c) {
            cells.insert(cells.end(), timetable.row(c), timetable.row(c) + timetable.cols());
        }
        EXPECT_TRUE(seen.insert(cells).second) << "timetable " << n << " repeats one before";
    }

    // Edited timetables: a model exactly when the verifier passes them.
    RandomStream random(param.seed);
    int refused = 0;
    for (int edit = 0; edit < 40; ++edit) {
        const ByteMatrix edited = Edited(school, timetable, random);
        std::string why;
        const bool passes = PassesFinished(school, options, edited, &why);
        refused += passes ? 0 : 1;
        EXPECT_EQ(exact.Allows(edited, kBudget), passes) << "edit " << edit << why;
    }
    EXPECT_GT(refused, 0) << "no edit broke a rule";
}

INSTANTIATE_TEST_SUITE_P(OptionSets, ExactOnGeneratedSchools, ::testing::ValuesIn(Cases()));

TEST(ExactSearch, TheSameSeedGivesTheSameTimetable) {
    const GeneratedSchool school = GenerateSchool(TypicalSchool(9, 5));
    const RuleIndex index = PrepareSearch(school.inputs, school.rules, school.options);
    ByteMatrix first;
    ByteMatrix second;
    ExactSearch a(school.inputs, school.rules, school.options, index, 42);
    ExactSearch b(school.inputs, school.rules, school.options, index, 42);
    ASSERT_EQ(a.Next(kBudget, first), ExactOutcome::kTimetable);
    ASSERT_EQ(b.Next(kBudget, second), ExactOutcome::kTimetable);
    EXPECT_TRUE(first == second);
}

// ---- small schools without a timetable -------------------------------------

struct TinySchool {
    TinySchool(int classes, int teachers) : in(SolverInputs::Sized(classes, teachers)) {
        rules.teacher_class_hours_all = ByteMatrix(AsIndex(teachers) + 1, AsIndex(classes) + 1);
        for (int c = 1; c <= classes; ++c) {
            in.class_names[AsIndex(c)] = "Τ" + std::to_string(c);
        }
        for (int t = 1; t <= teachers; ++t) {
            in.teacher_names[AsIndex(t)] = "ΔΙΔ" + std::to_string(t);
        }
    }
    TinySchool& Teach(int c, int t, int hours) {
        in.class_hours[AsIndex(c)] = AsByte(in.class_hours[AsIndex(c)] + hours);
        in.class_week_hours[AsIndex(c)] = AsByte(in.class_week_hours[AsIndex(c)] + hours);
        in.class_teacher_count[AsIndex(c)] = AsByte(in.class_teacher_count[AsIndex(c)] + 1);
        in.class_teachers(AsIndex(c), in.class_teacher_count[AsIndex(c)]) = AsByte(t);
        in.teacher_class_hours(AsIndex(t), AsIndex(c)) = AsByte(hours);
        rules.teacher_class_hours_all(AsIndex(t), AsIndex(c)) = AsByte(hours);
        return *this;
    }

    TinySchool& Pin(int c, int s, int t) {
        in.pinned_lessons(AsIndex(c), AsIndex(s)) = AsByte(t);
        in.teacher_class_hours(AsIndex(t), AsIndex(c)) =
            AsByte(in.teacher_class_hours(AsIndex(t), AsIndex(c)) - 1);
        return *this;
    }

    ImpossibilityReasons Prove() const {
        const RuleIndex index = PrepareSearch(in, rules, options);
        ExactSearch exact(in, rules, options, index, 1);
        ByteMatrix timetable;
        EXPECT_EQ(exact.Next(kBudget, timetable), ExactOutcome::kNone);
        return exact.Explain(kBudget);
    }

    SolverInputs in;
    RuleTables rules;
    RunOptions options;
};

bool Names(const std::vector<RuleGroup>& groups, RuleGroup::Kind kind) {
    return std::any_of(groups.begin(), groups.end(),
                       [kind](const RuleGroup& g) { return g.kind == kind; });
}

TEST(ExactProof, EachSchoolIsProvenImpossibleWithTheRuleItBreaks) {
    using Kind = RuleGroup::Kind;
    struct Impossible {
        const char* name;
        std::function<void(TinySchool&)> build;
        Kind rule;
        const char* words;
    };
    const std::vector<Impossible> cases = {
        {"two last hours under a limit of one",
         [](TinySchool& s) {
             s.Teach(1, 1, 2);
             s.options.last_hours_limit_on = true;
             s.options.last_hours_limit = 1;
         },
         Kind::kLastHours, "όριο 1 τοποθέτησης"},
        {"a teacher free at every slot of the week's only hour",
         [](TinySchool& s) {
             s.Teach(1, 1, 5);
             for (int d = 1; d <= kDays; ++d) {
                 s.rules.AddDeniedSlot(1, AsByte(SlotOf(d, 1)));
             }
         },
         Kind::kFreeHours, "ελεύθερες ώρες του διδάσκοντα ΔΙΔ1"},
        {"two teachers kept apart who must both teach at the first hour",
         [](TinySchool& s) {
             s.Teach(1, 1, 5).Teach(2, 2, 5);
             s.rules.AddSameHourPair(1, 2);
         },
         Kind::kApart, "ΔΙΔ1 και ΔΙΔ2 να μη διδάσκουν την ίδια ώρα"},
        {"a split lesson that needs more days than the week",
         [](TinySchool& s) {
             s.Teach(1, 1, 3).Teach(1, 2, 3);
             s.rules.AddSplitLesson(1, 1, 2);
         },
         Kind::kSplit, "χωρισμός μαθήματος στο Τ1"},
        // A pinned lesson is a one-hour lesson: the hour before it is closed
        // to its teacher, and ΔΙΔ1's other hour has no other place.
        {"a one-hour lesson with room only right before its teacher's pinned hour",
         [](TinySchool& s) {
             s.Teach(1, 1, 2).Teach(1, 2, 4).Pin(1, SlotOf(1, 2), 1);
             s.in.class_hours[1] = 6;
             s.rules.AddDeniedDays(1, 4);
             for (int d = 2; d <= kDays; ++d) {
                 s.rules.AddDeniedSlot(1, AsByte(SlotOf(d, 1)));
             }
             s.options.no_single_hour_runs = true;
         },
         Kind::kSingleRuns, "όχι μονόωρα μαθήματα σε συνεχόμενες ώρες"},
    };
    for (const Impossible& c : cases) {
        TinySchool school(2, 2);
        c.build(school);
        const ImpossibilityReasons reasons = school.Prove();
        EXPECT_TRUE(Names(reasons.together, c.rule)) << c.name << "\n" << reasons.message;
        EXPECT_TRUE(Names(reasons.allowing_when_dropped, c.rule)) << c.name << "\n"
                                                                  << reasons.message;
        EXPECT_NE(reasons.message.find(c.words), std::string::npos) << c.name << "\n"
                                                                    << reasons.message;
        EXPECT_EQ(reasons.message.rfind(kProvenImpossibleMessage, 0), 0u) << c.name;
    }
}

// A last-hour limit too low for a school of 9 class sections is a count
// that clause learning alone takes minutes over; the encoding counts it, so
// the proof comes within a handful of conflicts and names the limit alone.
TEST(ExactProof, ALastHourLimitTooLowForTheSchoolIsProvenByCounting) {
    GeneratedSchool school = GenerateSchool(TypicalSchool(9, 5));
    school.options.last_hours_limit_on = true;
    school.options.last_hours_limit = 1;
    const RuleIndex index = PrepareSearch(school.inputs, school.rules, school.options);
    ExactSearch exact(school.inputs, school.rules, school.options, index, 1);
    const ExactLimits kFewConflicts{100, {}};
    ByteMatrix timetable;
    ASSERT_EQ(exact.Next(kFewConflicts, timetable), ExactOutcome::kNone);
    const ImpossibilityReasons reasons = exact.Explain(kFewConflicts);
    ASSERT_EQ(reasons.together.size(), 1u) << reasons.message;
    EXPECT_EQ(reasons.together[0].kind, RuleGroup::Kind::kLastHours) << reasons.message;
}

// What a proof says of rules the school states through other entries: a
// pair kept apart from its member is the pair, a pair's absent day is its
// member's, and an absence that raised a teacher's hours a day in a class
// section is never said to leave a timetable when the school without it,
// its allowance back at two, has none.
TEST(ExactProof, RulesAreWordedAndDroppedAsTheUserEnteredThem) {
    struct Worded {
        const char* name;
        std::function<void(TinySchool&)> build;
        const char* words;    // in the message
        const char* dropped;  // the group of a "without it" line; nullptr: no such line
    };
    const auto pair_school = [](TinySchool& s) {
        s.in.teacher_names[1] = "ΑΛΦΑ";
        s.in.teacher_names[2] = "ΒΗΤΑ";
        s.in.teacher_names[3] = "ΑΛΦΑ+ΒΗΤΑ";
    };
    const auto refuse_day = [](TinySchool& s, int t, int d) {
        for (int h = 1; h <= kMaxHoursPerDay; ++h) {
            s.rules.AddDeniedSlot(AsByte(t), AsByte(SlotOf(d, h)));
        }
    };
    const std::vector<Worded> cases = {
        {"a member and the pair at the only hour of each day",
         [&](TinySchool& s) {
             pair_school(s);
             s.Teach(1, 2, 5).Teach(2, 3, 5);
             s.rules.AddSameHourPair(2, 3);
         },
         "ο διδάσκων ΒΗΤΑ να μη διδάσκει την ίδια ώρα μόνος του και με το ζεύγος ΑΛΦΑ+ΒΗΤΑ",
         nullptr},
        {"a pair absent through its member on a day it must teach",
         [&](TinySchool& s) {
             pair_school(s);
             s.Teach(1, 3, 5).Teach(2, 2, 5);
             for (const int t : {1, 3}) {
                 refuse_day(s, t, 1);
                 s.rules.AddDeniedDays(AsByte(t), 1);
             }
         },
         "οι ημέρες απουσίας του διδάσκοντα ΑΛΦΑ", "οι ημέρες απουσίας του διδάσκοντα ΑΛΦΑ"},
        {"an absence whose three hours a day the school without it loses",
         [&](TinySchool& s) {
             // ΔΙΔ1: 9 hours in Τ1, absent on Monday (three a day allowed
             // then), free hours leaving 3, 3, 1 and 1 hours on the other
             // days: 8 places. Without the absence, two a day: 2 on Monday
             // and 2, 2, 1, 1 after it, 8 again.
             s.Teach(1, 1, 9).Teach(1, 2, 6).Teach(1, 3, 6).Teach(1, 4, 6).Teach(1, 5, 6);
             s.options.max_class_hours_per_day = 2;
             refuse_day(s, 1, 1);
             s.rules.AddDeniedDays(1, 1);
             const std::array<int, kDays + 1> open = {0, 0, 3, 3, 1, 1};
             for (int d = 2; d <= kDays; ++d) {
                 for (int h = open[AsIndex(d)] + 1; h <= kMaxHoursPerDay; ++h) {
                     s.rules.AddDeniedSlot(1, AsByte(SlotOf(d, h)));
                 }
             }
         },
         "οι ημέρες απουσίας του διδάσκοντα ΔΙΔ1", "οι ελεύθερες ώρες του διδάσκοντα ΔΙΔ1"},
    };
    for (const Worded& c : cases) {
        TinySchool school(2, 5);
        c.build(school);
        const ImpossibilityReasons reasons = school.Prove();
        const std::string& message = reasons.message;
        EXPECT_NE(message.find(c.words), std::string::npos) << c.name << "\n" << message;
        EXPECT_TRUE(reasons.minimal) << c.name << "\n" << message;
        const std::string without = "Χωρίς τον περιορισμό «";
        if (c.dropped == nullptr) {
            EXPECT_EQ(message.find(without), std::string::npos) << c.name << "\n" << message;
        } else {
            EXPECT_NE(message.find(without + c.dropped + "»"), std::string::npos) << c.name << "\n"
                                                                                  << message;
        }
        EXPECT_EQ(message.find(without + "οι ημέρες απουσίας του διδάσκοντα ΔΙΔ1»"),
                  std::string::npos)
            << c.name << "\n"
            << message;
    }
}

}  // namespace
}  // namespace taktirio::exact
