#include "core/generator/school_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "core/common/narrow.h"
#include "core/solver/findsolution.h"
#include "core/solver/random_stream.h"
#include "core/solver/slots.h"

namespace taktirio {
namespace {

// ---- the schools under test ---------------------------------------------------

struct SchoolCase {
    const char* name;
    SchoolSettings settings;
};

void PrintTo(const SchoolCase& c, std::ostream* os) {
    *os << c.name;
}

SchoolSettings Tripled(SchoolSettings s) {
    s.pairs *= 3;
    s.joint *= 3;
    s.split *= 3;
    s.pinned *= 3;
    s.absences *= 3;
    s.free_hours *= 3;
    s.apart *= 3;
    return s;
}

std::vector<SchoolCase> Cases() {
    std::vector<SchoolCase> cases = {
        {"Small", TypicalSchool(6, 11)},
        {"Medium", TypicalSchool(15, 12)},
        {"Large", TypicalSchool(30, 13)},
        {"BusyTeachers", TypicalSchool(30, 14)},
        {"ManyRules", Tripled(TypicalSchool(15, 15))},
        {"EighthHours", TypicalSchool(15, 16)},
        {"FortyHours", TypicalSchool(6, 17)},
        {"StrictOptions", TypicalSchool(15, 18)},
        {"ThreeADay", TypicalSchool(15, 19)},
        {"NoRules", SchoolSettings{}},
    };
    cases[3].settings.teachers = 60;  // 17.5 hours a teacher on average
    cases[5].settings.week_hours = 37;
    cases[5].settings.eighth_hour_days = 3;
    cases[6].settings.week_hours = 40;
    cases[6].settings.eighth_hour_days = 5;
    RunOptions& strict = cases[7].settings.options;
    strict.last_hours_limit_on = true;
    strict.last_hours_limit = 4;
    strict.day_hours_limit_on = true;
    strict.day_hours_limit = 6;
    strict.no_single_hour_runs = true;
    strict.four_hour_run_limit_on = true;
    cases[8].settings.options.max_class_hours_per_day = 3;
    cases[8].settings.two_hour_percent = 40;
    cases[9].settings.classes = 8;
    cases[9].settings.seed = 20;
    cases[9].settings.two_hour_percent = 0;
    return cases;
}

// Each school is generated once for all the tests that read it.
const GeneratedSchool& School(const SchoolCase& c) {
    static std::map<std::string, GeneratedSchool> schools;
    auto it = schools.find(c.name);
    if (it == schools.end()) {
        it = schools.emplace(c.name, GenerateSchool(c.settings)).first;
    }
    return it->second;
}

class GeneratedSchools : public ::testing::TestWithParam<SchoolCase> {};

std::string CaseName(const ::testing::TestParamInfo<SchoolCase>& info) {
    return info.param.name;
}

// ---- reading the problem back ---------------------------------------------------

// The slot of hour position k, as the search walks it.
int PositionSlot(const RuleTables& rules, int k) {
    if (rules.HasEighthHours() && k >= 36 && k <= 39) {
        return rules.EighthHourSlots()[AsIndex(k - 36)];
    }
    return k;
}

std::set<int> DeniedSlots(const RuleTables& rules, int t) {
    std::set<int> slots;
    for (const DeniedSlot& denied : rules.DeniedSlots()) {
        if (denied.teacher == t) {
            slots.insert(denied.slot);
        }
    }
    return slots;
}

std::set<int> WholeDaysDenied(const RuleTables& rules, int t) {
    const std::set<int> slots = DeniedSlots(rules, t);
    std::set<int> days;
    for (int day = 1; day <= kDays; ++day) {
        bool whole = true;
        for (int s = day; s <= kSlots; s += kDays) {
            whole = whole && slots.contains(s);
        }
        if (whole) {
            days.insert(day);
        }
    }
    return days;
}

int DeniedDaysEntry(const RuleTables& rules, int t) {
    for (const AbsentDays& entry : rules.AbsentDaysOfTeachers()) {
        if (entry.teacher == t) {
            return entry.days;
        }
    }
    return 0;
}

bool IsPair(const SolverInputs& in, int t) {
    return in.teacher_names[AsIndex(t)].find('+') != std::string::npos;
}

// The two single teachers a pair's name is made of.
std::pair<int, int> Members(const SolverInputs& in, int pair) {
    const std::string& name = in.teacher_names[AsIndex(pair)];
    const std::string first = name.substr(0, name.find('+'));
    const std::string second = name.substr(name.find('+') + 1);
    std::pair<int, int> members{0, 0};
    for (int t = 1; t <= in.number_of_teachers; ++t) {
        members.first = in.teacher_names[AsIndex(t)] == first ? t : members.first;
        members.second = in.teacher_names[AsIndex(t)] == second ? t : members.second;
    }
    return members;
}

bool HasSameHourRow(const RuleTables& rules, int a, int b) {
    const auto pairs = rules.SameHourPairs();
    return std::any_of(pairs.begin(), pairs.end(),
                       [&](const SameHourPair& pair) { return pair.PartnerOf(a) == b; });
}

// ---- checking a timetable -------------------------------------------------------

// Every rule of the school that a timetable must meet and that is not one of the
// search's day-by-day allowances (those are the verifier's to check).
void ExpectMeetsRules(const GeneratedSchool& school, const ByteMatrix& tt) {
    const SolverInputs& in = school.inputs;
    const RuleTables& rules = school.rules;
    const int C = in.number_of_classes;
    const int T = in.number_of_teachers;
    ASSERT_EQ(tt.rows(), AsIndex(C) + 1);
    ASSERT_EQ(tt.cols(), AsIndex(kSlotColumns));

    std::set<std::pair<int, int>> joint;  // (class, teacher) of a joint lesson
    for (const JointLesson& entry : rules.JointLessons()) {
        joint.insert({entry.class1, entry.teacher});
    }
    for (int c = 1; c <= C; ++c) {
        std::set<int> walked;
        for (int k = 1; k <= in.class_hours[AsIndex(c)]; ++k) {
            walked.insert(PositionSlot(rules, k));
        }
        std::vector<int> hours(AsIndex(T) + 1, 0);
        for (int s = 1; s <= kSlots; ++s) {
            const int t = tt(AsIndex(c), AsIndex(s));
            const int pinned = in.pinned_lessons(AsIndex(c), AsIndex(s));
            if (pinned != 0) {
                EXPECT_EQ(t, pinned) << "class " << c << " slot " << s;
            } else if (walked.contains(s)) {
                EXPECT_NE(t, 0) << "class " << c << " has an empty hour at slot " << s;
            } else {
                EXPECT_EQ(t, 0) << "class " << c << " taught outside its week at slot " << s;
            }
            ++hours[AsIndex(t)];
        }
        for (int t = 1; t <= T; ++t) {
            EXPECT_EQ(hours[AsIndex(t)], rules.teacher_class_hours_all(AsIndex(t), AsIndex(c)))
                << "class " << c << " teacher " << t;
        }
    }
    for (int s = 1; s <= kSlots; ++s) {
        std::map<int, std::vector<int>> classes_of;
        for (int c = 1; c <= C; ++c) {
            if (tt(AsIndex(c), AsIndex(s)) != 0) {
                classes_of[tt(AsIndex(c), AsIndex(s))].push_back(c);
            }
        }
        for (const auto& [t, classes] : classes_of) {
            const bool joint_pair = classes.size() == 2 && joint.contains({classes[0], t}) &&
                                    joint.contains({classes[1], t});
            EXPECT_TRUE(classes.size() == 1 || joint_pair)
                << "teacher " << t << " in " << classes.size() << " classes at slot " << s;
            EXPECT_FALSE(DeniedSlots(rules, t).contains(s))
                << "teacher " << t << " teaches at refused slot " << s;
        }
        for (const SameHourPair& pair : rules.SameHourPairs()) {
            EXPECT_FALSE(classes_of.contains(pair.first) && classes_of.contains(pair.second))
                << "same-hour couple " << int{pair.first} << "-" << int{pair.second}
                << " broken at slot " << s;
        }
    }
    for (const JointLesson& entry : rules.JointLessons()) {
        const int c1 = entry.class1;
        const int c2 = entry.class2;
        const int t = entry.teacher;
        for (int s = 1; s <= kSlots; ++s) {
            EXPECT_EQ(tt(AsIndex(c1), AsIndex(s)) == t, tt(AsIndex(c2), AsIndex(s)) == t)
                << "joint lesson of teacher " << t << " apart at slot " << s;
        }
    }
    for (const SplitLesson& split : rules.Splits()) {
        const int c = split.class_section;
        for (int day = 1; day <= kDays; ++day) {
            bool first = false;
            bool second = false;
            for (int s = day; s <= kSlots; s += kDays) {
                first = first || tt(AsIndex(c), AsIndex(s)) == split.first;
                second = second || tt(AsIndex(c), AsIndex(s)) == split.second;
            }
            EXPECT_FALSE(first && second) << "split lesson of the " << c << " on one day " << day;
        }
    }
    for (int c = 1; c <= C; ++c) {
        for (int t = 1; t <= T; ++t) {
            int blocks = 0;
            for (int day = 1; day <= kDays; ++day) {
                for (int s = day; s + kDays <= kSlots; s += kDays) {
                    if (tt(AsIndex(c), AsIndex(s)) == t &&
                        tt(AsIndex(c), AsIndex(s + kDays)) == t) {
                        ++blocks;
                        break;
                    }
                }
            }
            EXPECT_GE(blocks, in.two_hour_lessons(AsIndex(c), AsIndex(t)))
                << "two-hour lessons of teacher " << t << " in class " << c;
        }
    }
}

// ---- the tests ------------------------------------------------------------------

TEST_P(GeneratedSchools, HonoursItsSettings) {
    const SchoolSettings& s = GetParam().settings;
    const GeneratedSchool& school = School(GetParam());
    const SolverInputs& in = school.inputs;
    const RuleTables& rules = school.rules;
    const int C = in.number_of_classes;
    const int T = in.number_of_teachers;

    EXPECT_EQ(C, s.classes);
    int pairs = 0;
    for (int t = 1; t <= T; ++t) {
        pairs += IsPair(in, t) ? 1 : 0;
    }
    EXPECT_EQ(pairs, s.pairs);
    if (s.teachers > 0) {
        EXPECT_EQ(T - pairs, s.teachers);
    }
    const auto week =
        std::minmax_element(in.class_week_hours.begin() + 1, in.class_week_hours.end());
    EXPECT_EQ(*week.second, s.week_hours);
    EXPECT_EQ(std::count_if(in.class_week_hours.begin() + 1, in.class_week_hours.end(),
                            [&](int w) { return w < s.week_hours; }),
              s.short_classes);
    EXPECT_EQ(static_cast<int>(rules.EighthHourSlots().size()),
              s.week_hours >= 36 && s.week_hours <= 39 ? s.eighth_hour_days : 0);
    // Both orientations, as the working copy.
    EXPECT_EQ(static_cast<int>(rules.JointLessons().size()), 2 * s.joint);
    EXPECT_EQ(static_cast<int>(rules.Splits().size()), s.split);

    int pinned = 0;
    for (int c = 1; c <= C; ++c) {
        for (int slot = 1; slot <= kSlots; ++slot) {
            pinned += in.pinned_lessons(AsIndex(c), AsIndex(slot)) != 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(pinned, s.pinned);

    int absent_days = 0;
    int free_hours = 0;
    int apart = 0;
    for (int t = 1; t <= T; ++t) {
        if (IsPair(in, t)) {
            continue;
        }
        const std::set<int> days = WholeDaysDenied(rules, t);
        absent_days += static_cast<int>(days.size());
        for (int slot : DeniedSlots(rules, t)) {
            free_hours += days.contains(DayOfSlot(slot)) ? 0 : 1;
        }
    }
    for (const SameHourPair& pair : rules.SameHourPairs()) {
        apart += !IsPair(in, pair.first) && !IsPair(in, pair.second) ? 1 : 0;
    }
    EXPECT_EQ(absent_days, s.absences);
    EXPECT_EQ(free_hours, s.free_hours);
    EXPECT_EQ(apart, s.apart);
    EXPECT_EQ(school.options.max_class_hours_per_day, s.options.max_class_hours_per_day);
    EXPECT_EQ(school.options.day_hours_limit, s.options.day_hours_limit);
    EXPECT_EQ(school.options.last_hours_limit_on, s.options.last_hours_limit_on);
}

TEST_P(GeneratedSchools, InputsMeetTheSolversInvariants) {
    const GeneratedSchool& school = School(GetParam());
    const SolverInputs& in = school.inputs;
    const RuleTables& rules = school.rules;
    const int C = in.number_of_classes;
    const int T = in.number_of_teachers;

    for (int c = 1; c <= C; ++c) {
        int listed = 0;
        int previous = 0;
        for (int k = 1; k <= in.class_teacher_count[AsIndex(c)]; ++k) {
            const int t = in.class_teachers(AsIndex(c), AsIndex(k));
            EXPECT_GT(t, previous) << "class " << c << ": teachers out of order";
            EXPECT_GT(rules.teacher_class_hours_all(AsIndex(t), AsIndex(c)), 0);
            previous = t;
            ++listed;
        }
        int teaching = 0;
        int week = 0;
        int owed = 0;
        for (int t = 1; t <= T; ++t) {
            const int all = rules.teacher_class_hours_all(AsIndex(t), AsIndex(c));
            const int left = in.teacher_class_hours(AsIndex(t), AsIndex(c));
            int pins = 0;
            for (int s = 1; s <= kSlots; ++s) {
                pins += in.pinned_lessons(AsIndex(c), AsIndex(s)) == t ? 1 : 0;
            }
            EXPECT_EQ(all, left + pins) << "class " << c << " teacher " << t;
            EXPECT_LE(2 * in.two_hour_lessons(AsIndex(c), AsIndex(t)), left)
                << "class " << c << " teacher " << t;
            EXPECT_LE(all, 5) << "class " << c << " teacher " << t;
            teaching += all > 0 ? 1 : 0;
            week += all;
            owed += left;
        }
        EXPECT_EQ(listed, teaching) << "class " << c;
        EXPECT_GE(teaching, 7) << "class " << c;
        EXPECT_EQ(week, in.class_week_hours[AsIndex(c)]) << "class " << c;
        int free_positions = 0;
        for (int k = 1; k <= in.class_hours[AsIndex(c)]; ++k) {
            free_positions +=
                in.pinned_lessons(AsIndex(c), AsIndex(PositionSlot(rules, k))) == 0 ? 1 : 0;
        }
        EXPECT_EQ(owed, free_positions) << "class " << c;
    }
    for (int t = 1; t <= T; ++t) {
        EXPECT_EQ(DeniedDaysEntry(rules, t), static_cast<int>(WholeDaysDenied(rules, t).size()))
            << "teacher " << t;
    }
    RunContext context;
    context.options = school.options;
    context.rules = rules;
    EXPECT_NO_THROW(PrepareSearch(in, context));
}

// Teacher pairs carry what the working copy derives for them: rows against each
// member and against pairs sharing a member, and their members' absences.
TEST_P(GeneratedSchools, TeacherPairsCarryTheirMembersRules) {
    const GeneratedSchool& school = School(GetParam());
    const SolverInputs& in = school.inputs;
    const RuleTables& rules = school.rules;
    const int T = in.number_of_teachers;
    for (int p = 1; p <= T; ++p) {
        if (!IsPair(in, p)) {
            continue;
        }
        const auto [a, b] = Members(in, p);
        ASSERT_TRUE(a != 0 && b != 0 && a != b) << in.teacher_names[AsIndex(p)];
        EXPECT_TRUE(HasSameHourRow(rules, p, a));
        EXPECT_TRUE(HasSameHourRow(rules, p, b));
        const std::set<int> pair_denied = DeniedSlots(rules, p);
        for (int member : {a, b}) {
            for (int s : DeniedSlots(rules, member)) {
                EXPECT_TRUE(pair_denied.contains(s))
                    << in.teacher_names[AsIndex(p)] << " slot " << s;
            }
        }
        for (int q = p + 1; q <= T; ++q) {
            if (!IsPair(in, q)) {
                continue;
            }
            const auto [c, d] = Members(in, q);
            const bool share = a == c || a == d || b == c || b == d;
            EXPECT_EQ(HasSameHourRow(rules, p, q), share);
        }
    }
}

// The working copy finds a teacher's pairs by looking for the teacher's name
// inside other names, so no name may hold another one by accident.
TEST_P(GeneratedSchools, NamesAreDistinctAndNoneHoldsAnother) {
    const SolverInputs& in = School(GetParam()).inputs;
    const int T = in.number_of_teachers;
    for (int t = 1; t <= T; ++t) {
        if (IsPair(in, t)) {
            continue;
        }
        for (int u = 1; u <= T; ++u) {
            if (u == t) {
                continue;
            }
            const bool member =
                IsPair(in, u) && (Members(in, u).first == t || Members(in, u).second == t);
            EXPECT_EQ(in.teacher_names[AsIndex(u)].find(in.teacher_names[AsIndex(t)]) !=
                          std::string::npos,
                      member)
                << in.teacher_names[AsIndex(t)] << " / " << in.teacher_names[AsIndex(u)];
        }
    }
    const std::set<std::string> classes(in.class_names.begin() + 1, in.class_names.end());
    EXPECT_EQ(classes.size(), AsIndex(in.number_of_classes));
}

TEST_P(GeneratedSchools, WitnessMeetsEveryRule) {
    const GeneratedSchool& school = School(GetParam());
    ExpectMeetsRules(school, school.witness);
}

TEST_P(GeneratedSchools, SolverFindsATimetableAgain) {
    const GeneratedSchool& school = School(GetParam());
    RunContext context;
    context.options = school.options;
    context.rules = school.rules;
    PrepareSearch(school.inputs, context);
    RandomStream random(20240901);
    constexpr int kAttempts = 200;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        Tfindsolution search(context, random, school.inputs);
        if (search.Search()) {
            ExpectMeetsRules(school, search.timetable());
            return;
        }
    }
    FAIL() << "no timetable within " << kAttempts << " attempts";
}

INSTANTIATE_TEST_SUITE_P(SchoolGenerator, GeneratedSchools, ::testing::ValuesIn(Cases()), CaseName);

// ---- the generator as a whole ------------------------------------------------------

void ExpectSameSchool(const GeneratedSchool& a, const GeneratedSchool& b) {
    EXPECT_EQ(a.inputs.class_names, b.inputs.class_names);
    EXPECT_EQ(a.inputs.teacher_names, b.inputs.teacher_names);
    EXPECT_EQ(a.inputs.class_hours, b.inputs.class_hours);
    EXPECT_EQ(a.inputs.class_teacher_count, b.inputs.class_teacher_count);
    EXPECT_EQ(a.inputs.class_week_hours, b.inputs.class_week_hours);
    EXPECT_EQ(a.inputs.class_teachers, b.inputs.class_teachers);
    EXPECT_EQ(a.inputs.teacher_class_hours, b.inputs.teacher_class_hours);
    EXPECT_EQ(a.inputs.pinned_lessons, b.inputs.pinned_lessons);
    EXPECT_EQ(a.inputs.two_hour_lessons, b.inputs.two_hour_lessons);
    EXPECT_TRUE(std::ranges::equal(a.rules.EighthHourSlots(), b.rules.EighthHourSlots()));
    EXPECT_TRUE(std::ranges::equal(a.rules.DeniedSlots(), b.rules.DeniedSlots()));
    EXPECT_TRUE(std::ranges::equal(a.rules.SameHourPairs(), b.rules.SameHourPairs()));
    EXPECT_TRUE(std::ranges::equal(a.rules.JointLessons(), b.rules.JointLessons()));
    EXPECT_TRUE(std::ranges::equal(a.rules.AbsentDaysOfTeachers(), b.rules.AbsentDaysOfTeachers()));
    EXPECT_TRUE(std::ranges::equal(a.rules.Splits(), b.rules.Splits()));
    EXPECT_EQ(a.rules.teacher_class_hours_all, b.rules.teacher_class_hours_all);
    EXPECT_EQ(a.witness, b.witness);
}

TEST(SchoolGenerator, SameSettingsGiveTheSameSchool) {
    for (const SchoolCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        ExpectSameSchool(GenerateSchool(c.settings), School(c));
    }
}

TEST(SchoolGenerator, OtherSeedsGiveOtherSchools) {
    std::set<std::vector<std::uint8_t>> allocations;
    std::set<std::vector<std::uint8_t>> timetables;
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        const GeneratedSchool school = GenerateSchool(TypicalSchool(6, seed));
        const ByteMatrix& hours = school.rules.teacher_class_hours_all;
        allocations.insert(
            std::vector<std::uint8_t>(hours.row(0), hours.row(0) + hours.rows() * hours.cols()));
        const ByteMatrix& w = school.witness;
        timetables.insert(std::vector<std::uint8_t>(w.row(0), w.row(0) + w.rows() * w.cols()));
    }
    EXPECT_EQ(allocations.size(), 5u);
    EXPECT_EQ(timetables.size(), 5u);
}

// About two and a half teachers a class section, and never more teacher numbers
// than a byte holds once the pairs are counted.
TEST(SchoolGenerator, DefaultTeachersFollowTheSize) {
    struct Size {
        int classes;
        int pairs;
    };
    for (const Size size : {Size{15, 0}, Size{30, 2}, Size{90, 5}, Size{100, 10}}) {
        SchoolSettings s;
        s.classes = size.classes;
        s.pairs = size.pairs;
        const GeneratedSchool school = GenerateSchool(s);
        const int singles = school.inputs.number_of_teachers - size.pairs;
        EXPECT_LE(school.inputs.number_of_teachers, 255) << size.classes << " classes";
        EXPECT_GE(singles, std::min(2 * size.classes + size.classes / 2, 255 - size.pairs))
            << size.classes << " classes";
        EXPECT_LE(singles, 2 * size.classes + (size.classes + 1) / 2) << size.classes << " classes";
    }
}

TEST(SchoolGenerator, RefusesSettingsThatDescribeNoSchool) {
    struct Bad {
        const char* why;
        void (*change)(SchoolSettings&);
    };
    const Bad cases[] = {
        {"no class", [](SchoolSettings& s) { s.classes = 0; }},
        {"256 classes", [](SchoolSettings& s) { s.classes = 256; }},
        {"36 hours without eighth hours", [](SchoolSettings& s) { s.week_hours = 36; }},
        {"38 hours with two eighth hours",
         [](SchoolSettings& s) {
             s.week_hours = 38;
             s.eighth_hour_days = 2;
         }},
        {"eighth hours in a 35-hour week", [](SchoolSettings& s) { s.eighth_hour_days = 1; }},
        {"40 hours with four eighth hours",
         [](SchoolSettings& s) {
             s.week_hours = 40;
             s.eighth_hour_days = 4;
         }},
        {"41 hours", [](SchoolSettings& s) { s.week_hours = 41; }},
        {"too few teachers for the week", [](SchoolSettings& s) { s.teachers = 20; }},
        {"too few teachers for one class",
         [](SchoolSettings& s) {
             s.classes = 1;
             s.teachers = 7;
         }},
        {"more than 255 teachers",
         [](SchoolSettings& s) {
             s.teachers = 250;
             s.pairs = 6;
         }},
        {"joint lessons with one class",
         [](SchoolSettings& s) {
             s.classes = 1;
             s.joint = 1;
         }},
        {"more pins than half the week", [](SchoolSettings& s) { s.pinned = 15 * 35 / 2 + 1; }},
        {"more short classes than classes", [](SchoolSettings& s) { s.short_classes = 16; }},
        {"negative rule count", [](SchoolSettings& s) { s.apart = -1; }},
        {"no draw allowed", [](SchoolSettings& s) { s.draws = 0; }},
    };
    for (const Bad& bad : cases) {
        SchoolSettings s;
        bad.change(s);
        EXPECT_THROW(GenerateSchool(s), SchoolSettingsError) << bad.why;
    }
}

// One last-hour lesson a teacher cannot cover five last hours in each of 30
// class sections with 60 teachers: no draw can be solved.
TEST(SchoolGenerator, GivesUpWhenNoDrawCanBeSolved) {
    SchoolSettings s;
    s.classes = 30;
    s.teachers = 60;
    s.options.last_hours_limit_on = true;
    s.options.last_hours_limit = 1;
    s.options.attempts_per_class = 50;
    s.draws = 2;
    s.attempts_per_draw = 2;
    EXPECT_THROW(GenerateSchool(s), SchoolGenerationError);
}

}  // namespace
}  // namespace taktirio
