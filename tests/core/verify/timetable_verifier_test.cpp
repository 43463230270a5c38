// The timetable verifier on hand-built schools of two or three class sections
// with short weeks. Slot s is hour (s - 1) / 5 + 1 of day (s - 1) % 5 + 1: in a
// ten-hour week slots 1 to 5 are the first hour of Monday to Friday and slots 6
// to 10 the second. Each table starts from a valid school and lists, per case,
// a change and every violation the verifier must report for it, no more.
#include "core/verify/timetable_verifier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <compare>
#include <functional>
#include <initializer_list>
#include <map>
#include <ostream>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/common/narrow.h"
#include "core/solver/slots.h"

namespace taktirio {
namespace {

// A problem as the loader would deliver it, and a timetable for it.
struct School {
    School(int classes, int teachers)
        : in(SolverInputs::Sized(classes, teachers)),
          timetable(AsIndex(classes) + 1, kSlotColumns) {
        rules.teacher_class_hours_all = ByteMatrix(AsIndex(teachers) + 1, AsIndex(classes) + 1);
    }

    // Teacher t teaches `hours` a week in class c, `two_hour` of them as
    // two-hour lessons.
    School& Teach(int c, int t, int hours, int two_hour = 0) {
        in.class_hours[AsIndex(c)] = AsByte(in.class_hours[AsIndex(c)] + hours);
        in.class_week_hours[AsIndex(c)] = AsByte(in.class_week_hours[AsIndex(c)] + hours);
        in.class_teacher_count[AsIndex(c)] = AsByte(in.class_teacher_count[AsIndex(c)] + 1);
        in.class_teachers(AsIndex(c), in.class_teacher_count[AsIndex(c)]) = AsByte(t);
        in.teacher_class_hours(AsIndex(t), AsIndex(c)) = AsByte(hours);
        rules.teacher_class_hours_all(AsIndex(t), AsIndex(c)) = AsByte(hours);
        in.two_hour_lessons(AsIndex(c), AsIndex(t)) = AsByte(two_hour);
        return *this;
    }

    // Pins t at slot s of class c as the loader does, and puts it in the timetable.
    School& Pin(int c, int s, int t) {
        if (s > in.class_hours[AsIndex(c)]) {
            in.class_hours[AsIndex(c)] = AsByte(in.class_hours[AsIndex(c)] - 1);
        }
        in.pinned_lessons(AsIndex(c), AsIndex(s)) = AsByte(t);
        in.teacher_class_hours(AsIndex(t), AsIndex(c)) =
            AsByte(in.teacher_class_hours(AsIndex(t), AsIndex(c)) - 1);
        return Set(c, s, t);
    }

    // The timetable of class c from slot 1 on.
    School& Row(int c, std::initializer_list<int> teachers) {
        int s = 1;
        for (const int t : teachers) {
            Set(c, s++, t);
        }
        return *this;
    }

    // One day of class c, hour by hour from the first.
    School& Day(int c, int day, std::initializer_list<int> teachers) {
        int s = day;
        for (const int t : teachers) {
            Set(c, s, t);
            s += kDays;
        }
        return *this;
    }

    School& Set(int c, int s, int t) {
        timetable(AsIndex(c), AsIndex(s)) = AsByte(t);
        return *this;
    }

    // The full weekly hours of t in c, as the rules see them.
    School& Hours(int c, int t, int hours) {
        rules.teacher_class_hours_all(AsIndex(t), AsIndex(c)) = AsByte(hours);
        return *this;
    }

    School& TwoHour(int c, int t, int count) {
        in.two_hour_lessons(AsIndex(c), AsIndex(t)) = AsByte(count);
        return *this;
    }

    std::vector<Violation> Verify() const {
        return VerifyTimetable(in, options, rules, timetable, mode);
    }

    VerifyMode mode = VerifyMode::kAsSearched;
    SolverInputs in;
    RunOptions options;
    RuleTables rules;
    ByteMatrix timetable;
};

struct Flag {
    VerifyRule rule;
    int class_section;
    int teacher;
    int slot;
    friend auto operator<=>(const Flag&, const Flag&) = default;
};

void PrintTo(const Flag& flag, std::ostream* os) {
    *os << RuleName(flag.rule) << "(class " << flag.class_section << ", teacher " << flag.teacher
        << ", slot " << flag.slot << ")";
}

std::vector<Flag> Sorted(std::vector<Flag> flags) {
    std::sort(flags.begin(), flags.end());
    return flags;
}

std::vector<Flag> Flags(const std::vector<Violation>& found) {
    std::vector<Flag> flags;
    for (const Violation& v : found) {
        flags.push_back({v.rule, v.class_section, v.teacher, v.slot});
    }
    return Sorted(flags);
}

std::string Lines(const std::vector<Violation>& found) {
    std::string text = "reported:\n";
    for (const Violation& v : found) {
        text += "  " + Describe(v) + "\n";
    }
    return text;
}

struct Case {
    const char* name;
    std::function<void(School&)> change;
    std::vector<Flag> expected;  // empty: the timetable passes
};

void Keep(School&) {}

void RunCases(const std::function<School()>& base, const std::vector<Case>& cases,
              VerifyMode mode = VerifyMode::kAsSearched) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        School school = base();
        school.mode = mode;
        c.change(school);
        const std::vector<Violation> found = school.Verify();
        EXPECT_EQ(Flags(found), Sorted(c.expected)) << Lines(found);
    }
}

using R = VerifyRule;

// Class 1, ten hours: teacher 1 four hours with one two-hour lesson (Monday),
// teachers 2 and 3 three hours each. Class 2, fifteen hours: teacher 2 four
// hours, teacher 4 eleven hours (11 / 5 > 2, so three on Wednesday are allowed).
School Core() {
    School s(2, 5);
    s.Teach(1, 1, 4, 1).Teach(1, 2, 3).Teach(1, 3, 3).Teach(2, 2, 4).Teach(2, 4, 11);
    s.Row(1, {1, 1, 2, 3, 2, 1, 2, 3, 1, 3});
    s.Row(2, {2, 2, 4, 2, 4, 4, 4, 4, 4, 2, 4, 4, 4, 4, 4});
    return s;
}

TEST(TimetableVerifier, HoursPositionsAndPinnedLessons) {
    RunCases(Core, {
                       {"valid timetable", Keep, {}},
                       {"an hour given to another teacher",
                        [](School& s) { s.Set(2, 10, 4); },
                        {{R::kHours, 2, 2, 0}, {R::kHours, 2, 4, 0}}},
                       {"a teacher number beyond the school's teachers",
                        [](School& s) { s.Set(1, 10, 9); },
                        {{R::kHours, 1, 9, 10}, {R::kPositions, 1, 0, 10}, {R::kHours, 1, 3, 0}}},
                       {"an empty hour position",
                        [](School& s) { s.Set(1, 10, 0); },
                        {{R::kPositions, 1, 0, 10}, {R::kHours, 1, 3, 0}}},
                       {"a lesson moved beyond the hour positions",
                        [](School& s) { s.Set(1, 10, 0).Set(1, 11, 3); },
                        {{R::kPositions, 1, 0, 10}, {R::kPositions, 1, 3, 11}}},
                       {"a pinned lesson beyond the hour positions",
                        [](School& s) {
                            s.Hours(1, 3, 4);
                            s.in.class_hours[1] = 11;
                            s.Pin(1, 12, 3);
                        },
                        {}},
                       {"a pinned lesson overwritten",
                        [](School& s) { s.Pin(1, 9, 3).Set(1, 9, 1); },
                        {{R::kPinned, 1, 3, 9}}},
                   });
}

TEST(TimetableVerifier, TeacherClashesAndRefusedSlots) {
    RunCases(Core, {
                       {"a teacher in an earlier class at the same slot",
                        [](School& s) { s.Set(2, 3, 2).Set(2, 4, 4); },
                        {{R::kTeacherClash, 2, 2, 3}}},
                       // The earlier class's lesson was tested against the pinned one.
                       {"a lesson where a later class has the teacher pinned",
                        [](School& s) { s.Set(2, 2, 4).Pin(2, 7, 2); },
                        {{R::kTeacherClash, 1, 2, 7}}},
                       {"the same lesson pinned in both classes",
                        [](School& s) { s.Set(2, 2, 4).Pin(2, 7, 2).Pin(1, 7, 2); },
                        {}},
                       {"a refused slot",
                        [](School& s) { s.rules.AddDeniedSlot(3, 8); },
                        {{R::kDeniedSlot, 1, 3, 8}}},
                       {"the second hour of a two-hour lesson at a refused slot",
                        [](School& s) { s.rules.AddDeniedSlot(1, 6); },
                        {{R::kDeniedSlot, 1, 1, 6}}},
                       {"a pinned lesson at a refused slot",
                        [](School& s) {
                            s.Pin(1, 8, 3);
                            s.rules.AddDeniedSlot(3, 8);
                        },
                        {}},
                   });
}

TEST(TimetableVerifier, TwoHourLessonsAndSpreading) {
    RunCases(Core, {
                       {"a one-hour lesson placed ahead of the two-hour lesson",
                        [](School& s) { s.Set(1, 6, 2).Set(1, 7, 1); },
                        {{R::kTwoHour, 1, 1, 1}, {R::kSpread, 1, 1, 7}}},
                       {"a two-hour lesson owed but all hours single",
                        [](School& s) { s.TwoHour(2, 2, 1); },
                        {{R::kTwoHour, 2, 2, 1}}},
                       // Teacher 1 keeps hours 1 and 2 for nothing else on Monday.
                       {"pinned lessons leave too few hours for the two-hour lesson",
                        [](School& s) { s.Pin(1, 1, 1).Pin(1, 6, 1).Pin(1, 2, 1); },
                        {{R::kTwoHour, 1, 1, 9}}},
                       // Five hours in five days, one of them pinned on Monday's third hour.
                       {"a two-hour lesson on the day of a pinned lesson is not spread",
                        [](School& s) {
                            s.Hours(1, 1, 5);
                            s.in.class_hours[1] = 11;
                            s.Pin(1, 11, 1);
                            s.options.max_class_hours_per_day = 3;
                        },
                        {}},
                       {"two one-hour lessons on one day",
                        [](School& s) { s.Set(1, 7, 3).Set(1, 8, 2); },
                        {{R::kSpread, 1, 2, 8}}},
                       {"two one-hour lessons on one day, three hours in three available days",
                        [](School& s) {
                            s.Set(1, 7, 3).Set(1, 8, 2);
                            s.rules.AddDeniedDays(2, 2);
                        },
                        {{R::kSpread, 1, 2, 8}}},
                       // Three hours in two available days: the rule no longer applies.
                       {"two one-hour lessons on one day with three absent days",
                        [](School& s) {
                            s.Set(1, 7, 3).Set(1, 8, 2);
                            s.rules.AddDeniedDays(2, 3);
                        },
                        {}},
                       {"a one-hour lesson on the day of a pinned one",
                        [](School& s) { s.Set(1, 7, 3).Pin(1, 8, 2); },
                        {{R::kSpread, 1, 2, 3}}},
                       {"two pinned lessons on one day",
                        [](School& s) { s.Set(1, 7, 3).Pin(1, 8, 2).Pin(1, 3, 2); },
                        {}},
                   });
}

TEST(TimetableVerifier, HoursOfATeacherInAClassOnOneDay) {
    RunCases(Core,
             {
                 // Teacher 4 keeps three hours on Wednesday; teacher 5 takes Friday's third.
                 {"ten hours in five days are not above two a day",
                  [](School& s) { s.Hours(2, 4, 10).Hours(2, 5, 1).Set(2, 15, 5); },
                  {{R::kClassDay, 2, 4, 13}}},
                 {"ten hours in four available days are",
                  [](School& s) {
                      s.Hours(2, 4, 10).Hours(2, 5, 1).Set(2, 15, 5);
                      s.rules.AddDeniedDays(4, 1);
                  },
                  {}},
                 {"an allowance of three is not raised but holds three",
                  [](School& s) {
                      s.Hours(2, 4, 10).Hours(2, 5, 1).Set(2, 15, 5);
                      s.options.max_class_hours_per_day = 3;
                  },
                  {}},
                 // Wednesday: the two-hour lesson at slots 3 and 8 and the pinned slot 13.
                 {"a two-hour lesson counts both hours",
                  [](School& s) {
                      s.Hours(2, 4, 10).Hours(2, 5, 1).Set(2, 15, 5).TwoHour(2, 4, 1).Pin(2, 13, 4);
                  },
                  {{R::kClassDay, 2, 4, 3}}},
                 {"a teacher with no available day",
                  [](School& s) { s.rules.AddDeniedDays(3, 5); },
                  {{R::kClassDay, 1, 3, 4}, {R::kClassDay, 1, 3, 8}, {R::kClassDay, 1, 3, 10}}},
             });
}

TEST(TimetableVerifier, SplitLessons) {
    // Class 1: teacher 2 on Wednesday (3), Friday (5), Tuesday (7); teacher 3
    // on Thursday (4), Wednesday (8), Friday (10).
    RunCases(
        Core,
        {
            {"split teachers on the same days",
             [](School& s) { s.rules.AddSplitLesson(1, 2, 3); },
             {{R::kSplit, 1, 3, 8}, {R::kSplit, 1, 3, 10}}},
            {"the entry's teachers in the other order",
             [](School& s) { s.rules.AddSplitLesson(1, 3, 2); },
             {{R::kSplit, 1, 3, 8}, {R::kSplit, 1, 3, 10}}},
            {"an entry of another class", [](School& s) { s.rules.AddSplitLesson(2, 2, 3); }, {}},
            {"a pinned partner is seen by the lesson before it",
             [](School& s) {
                 s.rules.AddSplitLesson(1, 2, 3);
                 s.Pin(1, 8, 3);
             },
             {{R::kSplit, 1, 2, 3}, {R::kSplit, 1, 3, 10}}},
            {"split teachers both pinned on one day",
             [](School& s) {
                 s.rules.AddSplitLesson(1, 2, 3);
                 s.Pin(1, 3, 2).Pin(1, 8, 3).Pin(1, 5, 2).Pin(1, 10, 3);
             },
             {}},
        });
}

TEST(TimetableVerifier, TeachersNeverAtTheSameHour) {
    // Class 1 has teacher 1 at slots 1, 2, 6, 9 and teacher 3 at 4, 8, 10;
    // class 2 has teacher 4 at 6 and 9 and teacher 2 at 4 and 10.
    RunCases(Core, {
                       {"a pair at the same slots",
                        [](School& s) { s.rules.AddSameHourPair(1, 4); },
                        {{R::kSameHour, 2, 4, 6}, {R::kSameHour, 2, 4, 9}}},
                       {"the pair in the other order",
                        [](School& s) { s.rules.AddSameHourPair(4, 1); },
                        {{R::kSameHour, 2, 4, 6}, {R::kSameHour, 2, 4, 9}}},
                       {"the partner pinned in the later class",
                        [](School& s) {
                            s.rules.AddSameHourPair(1, 4);
                            s.Pin(2, 6, 4).Pin(2, 9, 4);
                        },
                        {}},
                       {"the partner pinned in the earlier class",
                        [](School& s) {
                            s.rules.AddSameHourPair(2, 3);
                            s.Pin(1, 4, 3);
                        },
                        {{R::kSameHour, 2, 2, 4}, {R::kSameHour, 2, 2, 10}}},
                   });
}

// One class of fifteen hours, no single-hour runs. Teacher 1: a two-hour lesson
// in Monday's hours 2 and 3, then Tuesday's hour 2 and Wednesday's hour 3.
School ConsecutiveHours() {
    School s(1, 3);
    s.Teach(1, 1, 4, 1).Teach(1, 2, 6).Teach(1, 3, 5);
    s.Day(1, 1, {3, 1, 1}).Day(1, 2, {2, 1, 3}).Day(1, 3, {3, 2, 1});
    s.Day(1, 4, {2, 3, 2}).Day(1, 5, {2, 3, 2});
    s.options.no_single_hour_runs = true;
    return s;
}

TEST(TimetableVerifier, OneHourLessonsInConsecutiveHours) {
    const auto base = ConsecutiveHours;
    // Without its two-hour lesson teacher 1 has one-hour lessons in Monday's
    // hours 2 and 3; two absent days keep the spreading rule out of the way.
    const auto singles = [](School& s) {
        s.TwoHour(1, 1, 0);
        s.rules.AddDeniedDays(1, 2);
    };
    RunCases(base, {
                       {"valid timetable", Keep, {}},
                       {"a one-hour lesson right after the same teacher's",
                        singles,
                        {{R::kSingleRuns, 1, 1, 11}}},
                       {"the same with the option off",
                        [&](School& s) {
                            singles(s);
                            s.options.no_single_hour_runs = false;
                        },
                        {}},
                       {"a pinned hour before the lesson",
                        [&](School& s) {
                            singles(s);
                            s.Pin(1, 6, 1);
                        },
                        {{R::kSingleRuns, 1, 1, 11}}},
                       {"a pinned hour after the lesson",
                        [&](School& s) {
                            singles(s);
                            s.Pin(1, 11, 1);
                        },
                        {}},
                       // Monday's first hour goes from teacher 3 to teacher 1, pinned.
                       {"a two-hour lesson right after the same teacher's pinned hour",
                        [](School& s) {
                            s.Hours(1, 1, 5).Hours(1, 3, 4).Pin(1, 1, 1);
                            s.options.max_class_hours_per_day = 3;
                        },
                        {}},
                   });
}

// Two classes of ten hours; the last five slot numbers, 6 to 10, are the last
// hours. Teacher 1 has last hours at 7 and 9 in class 1 and 6 and 8 in class 2,
// teacher 2 at 6, 8 and 10 in class 1 and 7 in class 2.
School LastHours() {
    School s(2, 3);
    s.Teach(1, 1, 5).Teach(1, 2, 5).Teach(2, 1, 2).Teach(2, 2, 2).Teach(2, 3, 6);
    s.Row(1, {1, 2, 1, 2, 1, 2, 1, 2, 1, 2});
    s.Row(2, {2, 3, 3, 3, 3, 1, 2, 1, 3, 3});
    s.options.last_hours_limit_on = true;
    s.options.last_hours_limit = 4;
    return s;
}

TEST(TimetableVerifier, LastHourLimit) {
    RunCases(LastHours, {
                            {"four last hours with a limit of four", Keep, {}},
                            {"four last hours with a limit of three",
                             [](School& s) { s.options.last_hours_limit = 3; },
                             {{R::kLastHours, 2, 1, 8}, {R::kLastHours, 2, 2, 7}}},
                            {"a limit of one with the option off",
                             [](School& s) {
                                 s.options.last_hours_limit_on = false;
                                 s.options.last_hours_limit = 1;
                             },
                             {}},
                            // The pinned last hours pass themselves but count from the start.
                            {"pinned last hours",
                             [](School& s) {
                                 s.options.last_hours_limit = 3;
                                 s.Pin(2, 8, 1).Pin(2, 7, 2);
                             },
                             {{R::kLastHours, 2, 1, 6}, {R::kLastHours, 1, 2, 10}}},
                        });
}

TEST(TimetableVerifier, LastHourLimitOfATwoHourLesson) {
    // Class 1 (ten hours): teacher 1's two-hour lesson on Friday, 5 and 10.
    // Class 2 (five hours, all of them last hours): teacher 1 pinned at 1 and 2.
    const auto base = [] {
        School s(2, 6);
        s.Teach(1, 1, 2, 1).Teach(1, 2, 4).Teach(1, 3, 2).Teach(1, 4, 2);
        s.Teach(2, 1, 2).Teach(2, 5, 2).Teach(2, 6, 1);
        s.Row(1, {2, 2, 2, 2, 1, 3, 3, 4, 4, 1});
        s.Row(2, {0, 0, 5, 6, 5});
        s.Pin(2, 1, 1).Pin(2, 2, 1);
        s.options.last_hours_limit_on = true;
        s.options.last_hours_limit = 2;
        return s;
    };
    RunCases(base, {
                       {"tested at its second hour, a last hour", Keep, {{R::kLastHours, 1, 1, 5}}},
                       {"with one pinned last hour",
                        [](School& s) {
                            s.in.pinned_lessons(2, 2) = 0;
                            s.Hours(2, 1, 1).Hours(2, 6, 2).Set(2, 2, 6);
                        },
                        {}},
                   });
}

// Teacher 1 teaches classes 1 and 2 at once, three hours a week, at 1, 3 and
// 7: class 1 is filled first and its lessons are copied into class 2.
School Joint() {
    School s(3, 4);
    s.Teach(1, 1, 3).Teach(1, 2, 7).Teach(2, 1, 3).Teach(2, 3, 7).Teach(3, 4, 10);
    s.rules.AddJointLesson(1, 2, 1);
    s.rules.AddJointLesson(2, 1, 1);
    s.Row(1, {1, 2, 1, 2, 2, 2, 1, 2, 2, 2});
    s.Row(2, {1, 3, 1, 3, 3, 3, 1, 3, 3, 3});
    s.Row(3, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4});
    return s;
}

TEST(TimetableVerifier, JointLessons) {
    RunCases(Joint,
             {
                 {"valid timetable", Keep, {}},
                 {"without the joint entries the copies clash",
                  [](School& s) { s.rules.ClearJointLessons(); },
                  {{R::kTeacherClash, 2, 1, 1},
                   {R::kTeacherClash, 2, 1, 3},
                   {R::kTeacherClash, 2, 1, 7}}},
                 {"a joint lesson at different slots",
                  [](School& s) { s.Set(2, 7, 3).Set(2, 2, 1); },
                  {{R::kJoint, 1, 1, 7}, {R::kJoint, 2, 1, 2}}},
                 {"a joint teacher twice on one day",
                  [](School& s) {
                      s.TwoHour(1, 1, 1).TwoHour(2, 1, 1);
                      s.Row(1, {1, 2, 1, 2, 2, 1, 2, 2, 2, 2});
                      s.Row(2, {1, 3, 1, 3, 3, 1, 3, 3, 3, 3});
                  },
                  {{R::kJoint, 1, 1, 6}, {R::kJoint, 2, 1, 6}}},
                 // The copies use up the partner's hours before it starts.
                 {"the partner owes a two-hour lesson", [](School& s) { s.TwoHour(2, 1, 1); }, {}},
                 {"the source of the copies pinned", [](School& s) { s.Pin(1, 1, 1); }, {}},
                 {"the joint lesson pinned only in the later class",
                  [](School& s) { s.Pin(2, 7, 1); },
                  {{R::kTeacherClash, 1, 1, 7}}},
                 {"the joint lesson pinned in both classes",
                  [](School& s) { s.Pin(1, 7, 1).Pin(2, 7, 1); },
                  {}},
                 {"a pinned joint lesson beyond the hour positions",
                  [](School& s) {
                      s.Hours(1, 1, 4);
                      s.in.class_hours[1] = 11;
                      s.Pin(1, 14, 1);
                  },
                  {}},
                 // Class 2 gets a fourth hour of teacher 1 at slot 14, which class 1 never
                 // copied: the search would have found teacher 1 busy there.
                 {"a lesson where the partner's uncopied pinned lesson stands",
                  [](School& s) {
                      s.Hours(1, 1, 4);
                      s.in.class_hours[1] = 11;
                      s.Pin(1, 14, 1);
                      s.Hours(2, 1, 4).Hours(2, 3, 10);
                      s.in.class_hours[2] = 14;
                      s.Set(2, 11, 3).Set(2, 12, 3).Set(2, 13, 3).Set(2, 14, 1);
                  },
                  {{R::kTeacherClash, 2, 1, 14}}},
                 {"the same with eighth hours, where every slot is matched",
                  [](School& s) {
                      s.Hours(1, 1, 4);
                      s.in.class_hours[1] = 11;
                      s.Pin(1, 14, 1);
                      s.rules.AddLastDay(36);
                  },
                  {{R::kJoint, 1, 1, 14}}},
                 {"only the first entry of a class and teacher is matched",
                  [](School& s) { s.rules.AddJointLesson(1, 3, 1); },
                  {}},
                 {"an entry to another class listed first",
                  [](School& s) {
                      s.rules.ClearJointLessons();
                      s.rules.AddJointLesson(1, 3, 1);
                      s.rules.AddJointLesson(1, 2, 1);
                      s.rules.AddJointLesson(2, 1, 1);
                  },
                  {{R::kJoint, 1, 1, 1}, {R::kJoint, 1, 1, 3}, {R::kJoint, 1, 1, 7}}},
             });
}

// Teacher 1 teaches classes 1 and 2 at once at 6 and 7, last hours of both.
// Class 3 has five hours, all of them last hours. The limit is three.
School JointLastHours() {
    School s(3, 5);
    s.Teach(1, 1, 2).Teach(1, 2, 8).Teach(2, 1, 2).Teach(2, 3, 8);
    s.Teach(3, 4, 3).Teach(3, 5, 2);
    s.rules.AddJointLesson(1, 2, 1);
    s.rules.AddJointLesson(2, 1, 1);
    s.Row(1, {2, 2, 2, 2, 2, 1, 1, 2, 2, 2});
    s.Row(2, {3, 3, 3, 3, 3, 1, 1, 3, 3, 3});
    s.Row(3, {4, 4, 4, 5, 5});
    s.options.last_hours_limit_on = true;
    s.options.last_hours_limit = 3;
    return s;
}

TEST(TimetableVerifier, LastHourLimitAndJointCopies) {
    const auto base = JointLastHours;
    RunCases(base, {
                       // Each lesson saw fewer than three; the copies came after them.
                       {"four last hours, two of them copies, with a limit of three", Keep, {}},
                       {"a later class's last hour sees the copies",
                        [](School& s) { s.Hours(3, 1, 1).Hours(3, 4, 2).Set(3, 3, 1); },
                        {{R::kLastHours, 3, 1, 3}}},
                   });
}

// Two classes of twenty-five hours (five a day). On Monday teacher 1 teaches
// hours 1 and 2 in class 1 and hours 3 and 4 in class 2; teacher 1 comes only
// on Monday. Every other lesson goes to a teacher of that class and hour.
School Rows() {
    School s(2, 11);
    s.Teach(1, 1, 2).Teach(2, 1, 2);
    for (int hour = 1; hour <= 5; ++hour) {
        const bool monday = hour <= 2;
        s.Teach(1, 1 + hour, monday ? 4 : 5).Teach(2, 6 + hour, hour == 3 || hour == 4 ? 4 : 5);
    }
    for (int day = 1; day <= kDays; ++day) {
        s.Day(1, day, {2, 3, 4, 5, 6});
        s.Day(2, day, {7, 8, 9, 10, 11});
    }
    s.Day(1, 1, {1, 1, 4, 5, 6});
    s.Day(2, 1, {7, 8, 1, 1, 11});
    s.rules.AddDeniedDays(1, 4);
    s.options.four_hour_run_limit_on = true;
    return s;
}

// Teacher 1 also takes Monday's fifth hour in class 1 from teacher 6.
void FifthHour(School& s) {
    s.Hours(1, 1, 3).Hours(1, 6, 4).Set(1, 21, 1);
}

TEST(TimetableVerifier, FiveHoursInARow) {
    RunCases(Rows,
             {
                 {"four hours in a row", Keep, {}},
                 // Class 1's hours 1, 2 and 5 came first; class 2's hour 4 completes the row.
                 {"five hours in a row", FifthHour, {{R::kFiveInARow, 2, 1, 16}}},
                 {"five hours in a row with the option off",
                  [](School& s) {
                      FifthHour(s);
                      s.options.four_hour_run_limit_on = false;
                  },
                  {}},
                 {"a two-hour lesson counts both hours",
                  [](School& s) {
                      FifthHour(s);
                      s.TwoHour(2, 1, 1);
                  },
                  {{R::kFiveInARow, 2, 1, 11}}},
                 // Pinned in both classes at hour 3: one lesson, counted twice.
                 {"a lesson held in two classes counts twice",
                  [](School& s) { s.Hours(1, 1, 3).Hours(1, 4, 4).Pin(1, 11, 1).Pin(2, 11, 1); },
                  {{R::kFiveInARow, 2, 1, 16}}},
             });
}

TEST(TimetableVerifier, HoursOfATeacherOnOneDay) {
    // A low limit keeps the week short: teacher 1 teaches four hours on Monday.
    const auto base = [] {
        School s = Rows();
        s.options.four_hour_run_limit_on = false;
        s.options.day_hours_limit_on = true;
        s.options.day_hours_limit = 4;
        return s;
    };
    RunCases(base, {
                       {"four hours with a limit of four", Keep, {}},
                       {"four hours with a limit of three",
                        [](School& s) { s.options.day_hours_limit = 3; },
                        {{R::kDayHours, 2, 1, 16}}},
                       {"a limit of one with the option off",
                        [](School& s) {
                            s.options.day_hours_limit_on = false;
                            s.options.day_hours_limit = 1;
                        },
                        {}},
                       {"a pinned hour is not booked",
                        [](School& s) {
                            s.options.day_hours_limit = 3;
                            s.Pin(1, 6, 1);
                        },
                        {}},
                       {"a two-hour lesson books both hours",
                        [](School& s) {
                            s.options.day_hours_limit = 3;
                            s.TwoHour(2, 1, 1);
                        },
                        {{R::kDayHours, 2, 1, 11}}},
                   });
}

// One class of 37 hours with eighth hours on Tuesday and Thursday (slots 37
// and 39): hour positions 1 to 35, then 36 and 37 at those slots. Teacher h
// teaches the h-th hour of every day, teacher 8 the eighth hours.
School EighthHours() {
    School s(1, 8);
    for (int t = 1; t <= 7; ++t) {
        s.Teach(1, t, 5);
    }
    s.Teach(1, 8, 2);
    for (int day = 1; day <= kDays; ++day) {
        s.Day(1, day, {1, 2, 3, 4, 5, 6, 7});
    }
    s.Set(1, 37, 8).Set(1, 39, 8);
    s.rules.AddLastDay(37);
    s.rules.AddLastDay(39);
    return s;
}

TEST(TimetableVerifier, EighthHours) {
    RunCases(EighthHours,
             {
                 {"valid timetable", Keep, {}},
                 {"an eighth hour on a day without one",
                  [](School& s) { s.Set(1, 39, 0).Set(1, 38, 8); },
                  {{R::kPositions, 1, 0, 39}, {R::kPositions, 1, 8, 38}}},
                 {"without eighth-hour days position 36 is slot 36",
                  [](School& s) { s.rules.ClearEighthHours(); },
                  {{R::kPositions, 1, 0, 36}, {R::kPositions, 1, 8, 39}}},
                 {"more positions than eighth-hour days",
                  [](School& s) {
                      s.rules.ClearEighthHours();
                      s.rules.AddLastDay(37);
                  },
                  {{R::kPositions, 1, 0, 0}, {R::kPositions, 1, 8, 39}}},
                 // Monday's eighth hour instead of Tuesday's, given to teacher 7.
                 {"a two-hour lesson into an eighth hour",
                  [](School& s) {
                      s.rules.ClearEighthHours();
                      s.rules.AddLastDay(36);
                      s.rules.AddLastDay(39);
                      s.TwoHour(1, 7, 1).Hours(1, 7, 6).Hours(1, 8, 1).Set(1, 37, 0).Set(1, 36, 7);
                  },
                  {{R::kTwoHour, 1, 7, 31}}},
                 // Teacher 7's first lesson, Monday's seventh hour, would need slot 36.
                 {"no two-hour lesson reaches beyond slot 35",
                  [](School& s) { s.TwoHour(1, 7, 1).Hours(1, 7, 6).Hours(1, 8, 1).Set(1, 37, 7); },
                  {{R::kTwoHour, 1, 7, 31}}},
             });
}

// ---- finished timetables: every rule read on the final cells, in no order ----

constexpr VerifyMode kFinished = VerifyMode::kFinished;

TEST(FinishedTimetable, LessonsOfOneClassSection) {
    RunCases(Core,
             {
                 {"valid timetable", Keep, {}},
                 // Both searched lessons are judged, not only the later one.
                 {"a teacher in two classes at one slot",
                  [](School& s) { s.Set(2, 3, 2).Set(2, 4, 4); },
                  {{R::kTeacherClash, 1, 2, 3}, {R::kTeacherClash, 2, 2, 3}}},
                 {"a refused slot",
                  [](School& s) { s.rules.AddDeniedSlot(3, 8); },
                  {{R::kDeniedSlot, 1, 3, 8}}},
                 {"a pinned lesson at a refused slot",
                  [](School& s) {
                      s.Pin(1, 8, 3);
                      s.rules.AddDeniedSlot(3, 8);
                  },
                  {}},
                 // Teacher 1: Monday's first hour, Tuesday's first two, Thursday's
                 // second. The search places two-hour lessons first; no order here.
                 {"a one-hour lesson ahead of the two-hour lesson",
                  [](School& s) { s.Set(1, 6, 2).Set(1, 7, 1); },
                  {}},
                 {"a two-hour lesson owed but no two consecutive hours",
                  [](School& s) { s.TwoHour(2, 2, 1); },
                  {{R::kTwoHour, 2, 2, 0}}},
                 {"pinned lessons leave one hour for the two-hour lesson",
                  [](School& s) { s.Pin(1, 1, 1).Pin(1, 6, 1).Pin(1, 2, 1); },
                  {{R::kTwoHour, 1, 1, 0}}},
                 {"two one-hour lessons on one day",
                  [](School& s) { s.Set(1, 7, 3).Set(1, 8, 2); },
                  {{R::kSpread, 1, 2, 3}}},
                 {"a one-hour lesson on the day of a pinned one",
                  [](School& s) { s.Set(1, 7, 3).Pin(1, 8, 2); },
                  {{R::kSpread, 1, 2, 3}}},
                 {"two pinned lessons on one day",
                  [](School& s) { s.Set(1, 7, 3).Pin(1, 8, 2).Pin(1, 3, 2); },
                  {}},
                 {"split teachers on the same days",
                  [](School& s) { s.rules.AddSplitLesson(1, 2, 3); },
                  {{R::kSplit, 1, 2, 3},
                   {R::kSplit, 1, 2, 5},
                   {R::kSplit, 1, 3, 8},
                   {R::kSplit, 1, 3, 10}}},
                 {"split teachers both pinned on one day",
                  [](School& s) {
                      s.rules.AddSplitLesson(1, 2, 3);
                      s.Pin(1, 3, 2).Pin(1, 8, 3).Pin(1, 5, 2).Pin(1, 10, 3);
                  },
                  {}},
                 // Teacher 4 keeps three hours on Wednesday (3, 8, 13): reported once.
                 {"three hours of a teacher in a class on one day",
                  [](School& s) { s.Hours(2, 4, 10).Hours(2, 5, 1).Set(2, 15, 5); },
                  {{R::kClassDay, 2, 4, 3}}},
                 {"the same with an allowance of three",
                  [](School& s) {
                      s.Hours(2, 4, 10).Hours(2, 5, 1).Set(2, 15, 5);
                      s.options.max_class_hours_per_day = 3;
                  },
                  {}},
                 {"a lesson moved beyond the hour positions",
                  [](School& s) { s.Set(1, 10, 0).Set(1, 11, 3); },
                  {{R::kPositions, 1, 0, 10}, {R::kPositions, 1, 3, 11}}},
             },
             kFinished);
}

TEST(FinishedTimetable, TeachersNeverAtTheSameHour) {
    // Teacher 1 (class 1) and teacher 4 (class 2) both teach at slots 6 and 9.
    RunCases(Core,
             {
                 {"a pair at the same slots, both lessons judged",
                  [](School& s) { s.rules.AddSameHourPair(1, 4); },
                  {{R::kSameHour, 1, 1, 6},
                   {R::kSameHour, 1, 1, 9},
                   {R::kSameHour, 2, 4, 6},
                   {R::kSameHour, 2, 4, 9}}},
                 // The search never looks at later class sections; here they count.
                 {"the partner pinned in the later class",
                  [](School& s) {
                      s.rules.AddSameHourPair(4, 1);
                      s.Pin(2, 6, 4).Pin(2, 9, 4);
                  },
                  {{R::kSameHour, 1, 1, 6}, {R::kSameHour, 1, 1, 9}}},
                 {"both pinned at one of the slots",
                  [](School& s) {
                      s.rules.AddSameHourPair(1, 4);
                      s.Pin(2, 9, 4).Pin(1, 9, 1);
                  },
                  {{R::kSameHour, 1, 1, 6}, {R::kSameHour, 2, 4, 6}}},
             },
             kFinished);
}

TEST(FinishedTimetable, ReadingHoursAsTwoHourLessons) {
    // Teacher 1 with one two-hour lesson and two absent days (four hours in
    // three days: not spread), allowed three hours a day. On Monday it holds
    // hours 1 to 3: only hours 2 and 3 as the two-hour lesson leave a one-hour
    // lesson that follows no hour of its own. Teacher 3, one absent day, takes
    // Wednesday's third hour instead.
    const auto monday_three = [](School& s) {
        s.Set(1, 1, 1).Set(1, 13, 3);
        s.rules.AddDeniedDays(1, 2);
        s.rules.AddDeniedDays(3, 1);
        s.options.max_class_hours_per_day = 3;
    };
    // No two-hour lesson owed: Monday's hours 2 and 3 are two one-hour lessons.
    const auto singles = [](School& s) {
        s.TwoHour(1, 1, 0);
        s.rules.AddDeniedDays(1, 2);
    };
    RunCases(
        ConsecutiveHours,
        {
            {"valid timetable", Keep, {}},
            {"three hours read with the two-hour lesson second", monday_three, {}},
            {"the same with single-hour runs allowed",
             [&](School& s) {
                 monday_three(s);
                 s.options.no_single_hour_runs = false;
             },
             {}},
            // Two two-hour lessons owed: the hours hold only one.
            {"more two-hour lessons than the hours hold",
             [&](School& s) {
                 monday_three(s);
                 s.TwoHour(1, 1, 2);
             },
             {{R::kTwoHour, 1, 1, 0}}},
            {"two one-hour lessons in consecutive hours", singles, {{R::kSingleRuns, 1, 1, 11}}},
            {"a one-hour lesson after the teacher's pinned hour",
             [&](School& s) {
                 singles(s);
                 s.Pin(1, 6, 1);
             },
             {{R::kSingleRuns, 1, 1, 11}}},
            // A pinned lesson is a one-hour lesson; the reading as searched
            // never looked at the hour after a searched one.
            {"a pinned hour after the lesson",
             [&](School& s) {
                 singles(s);
                 s.Pin(1, 11, 1);
             },
             {{R::kSingleRuns, 1, 1, 11}}},
            {"two pinned hours in a row",
             [&](School& s) {
                 singles(s);
                 s.Pin(1, 6, 1).Pin(1, 11, 1);
             },
             {}},
            // Monday holds hours 1 and 2 as the two-hour lesson, then the pin.
            {"a two-hour lesson right before the teacher's pinned hour",
             [&](School& s) {
                 monday_three(s);
                 s.Pin(1, 11, 1);
             },
             {{R::kSingleRuns, 1, 1, 11}}},
            // Back to five available days, teacher 1's one-hour lesson on Monday
            // is never alone; the first reading names Monday's third hour.
            {"a one-hour lesson beside the two-hour lesson, spread",
             [&](School& s) {
                 monday_three(s);
                 s.rules.ClearAbsentDays();
                 s.rules.AddDeniedDays(3, 1);
             },
             {{R::kSpread, 1, 1, 11}}},
        },
        kFinished);
}

TEST(FinishedTimetable, LastHourLimit) {
    RunCases(LastHours,
             {
                 {"four last hours with a limit of four", Keep, {}},
                 // Reported once per teacher, at its first searched last hour.
                 {"four last hours with a limit of three",
                  [](School& s) { s.options.last_hours_limit = 3; },
                  {{R::kLastHours, 1, 1, 7}, {R::kLastHours, 1, 2, 6}}},
                 {"pinned last hours count too",
                  [](School& s) {
                      s.options.last_hours_limit = 3;
                      s.Pin(2, 8, 1).Pin(2, 7, 2);
                  },
                  {{R::kLastHours, 1, 1, 7}, {R::kLastHours, 1, 2, 6}}},
             },
             kFinished);
    // A joint lesson given to two class sections is one hour of its teacher.
    RunCases(JointLastHours,
             {
                 {"two joint last hours in two classes, with a limit of three", Keep, {}},
                 // Counted per class section, teacher 1 would have four.
                 {"with a limit of two only the teachers of three last hours break it",
                  [](School& s) { s.options.last_hours_limit = 2; },
                  {{R::kLastHours, 1, 2, 8}, {R::kLastHours, 2, 3, 8}, {R::kLastHours, 3, 4, 1}}},
             },
             kFinished);
}

TEST(FinishedTimetable, LimitsOfATeachersDay) {
    RunCases(Rows,
             {
                 {"four hours in a row", Keep, {}},
                 {"five hours in a row, reported once", FifthHour, {{R::kFiveInARow, 1, 1, 1}}},
                 {"five hours in a row with the option off",
                  [](School& s) {
                      FifthHour(s);
                      s.options.four_hour_run_limit_on = false;
                  },
                  {}},
                 // Pinned in both classes at hour 3: one hour of the teacher.
                 {"a lesson held in two classes is one hour of the row",
                  [](School& s) { s.Hours(1, 1, 3).Hours(1, 4, 4).Pin(1, 11, 1).Pin(2, 11, 1); },
                  {}},
             },
             kFinished);
    const auto day_limit = [] {
        School s = Rows();
        s.options.four_hour_run_limit_on = false;
        s.options.day_hours_limit_on = true;
        s.options.day_hours_limit = 4;
        return s;
    };
    RunCases(day_limit,
             {
                 {"four hours with a limit of four", Keep, {}},
                 {"four hours with a limit of three",
                  [](School& s) { s.options.day_hours_limit = 3; },
                  {{R::kDayHours, 1, 1, 1}}},
                 // A teacher's day is every hour they teach, pinned ones too.
                 {"a pinned hour counts",
                  [](School& s) {
                      s.options.day_hours_limit = 3;
                      s.Pin(1, 6, 1);
                  },
                  {{R::kDayHours, 1, 1, 1}}},
             },
             kFinished);
}

// Three class sections of twenty-five hours (five a day). Person A teaches
// through two pairs on Monday: A+B (row 4) hours 1-2 in class 1 (a two-hour
// lesson) and hour 3 in class 3, A+C (row 5) hours 4-5 in class 2 (a
// two-hour lesson); alone (row 1) A teaches Friday's fifth hour in class 3.
// No row has more than three hours a day, one last hour or a run of five;
// the person has five hours on Monday, in a row, two of them last hours.
// Every other cell has a filler: one per class section and hour of the day,
// and one per last hour, so that none of them nears a limit.
School TwoPairsOfOnePerson() {
    constexpr int kClasses = 3;
    std::map<std::pair<int, int>, int> grid;  // (class, slot) = teacher
    for (const auto& [c, day, hour, t] : std::vector<std::array<int, 4>>{
             {1, 1, 1, 4}, {1, 1, 2, 4}, {3, 1, 3, 4}, {2, 1, 4, 5}, {2, 1, 5, 5}, {3, 5, 5, 1}}) {
        grid[{c, SlotOf(day, hour)}] = t;
    }
    std::vector<std::string> names = {"", "A", "B", "C", "A+B", "A+C"};
    std::map<std::pair<int, int>, int> fillers;  // (class, hour or 10 + day) = teacher
    for (int c = 1; c <= kClasses; ++c) {
        for (int s = 1; s <= 25; ++s) {
            const int key = HourOfSlot(s) < 5 ? HourOfSlot(s) : 10 + DayOfSlot(s);
            if (!grid.contains({c, s})) {
                auto [at, added] = fillers.try_emplace({c, key}, static_cast<int>(names.size()));
                if (added) {
                    names.push_back("F" + std::to_string(at->second));
                }
                grid[{c, s}] = at->second;
            }
        }
    }
    School school(kClasses, static_cast<int>(names.size()) - 1);
    school.in.teacher_names = names;
    std::map<std::pair<int, int>, int> hours;  // (class, teacher) = weekly hours
    for (const auto& [cell, t] : grid) {
        school.Set(cell.first, cell.second, t);
        ++hours[{cell.first, t}];
    }
    for (const auto& [key, count] : hours) {
        const auto [c, t] = key;
        school.Teach(c, t, count, (t == 4 && c == 1) || (t == 5 && c == 2) ? 1 : 0);
    }
    return school;
}

// The limits of a teacher's day and week count the person through every row
// that holds them; the reading as searched counts each row alone.
TEST(FinishedTimetable, LimitsOfADayAndWeekCountThePersonThroughEveryPair) {
    struct PersonCase {
        const char* name;
        std::function<void(RunOptions&)> option;
        std::vector<Flag> expected;
    };
    const std::vector<PersonCase> cases = {
        {"five hours in a row through two pairs",
         [](RunOptions& o) { o.four_hour_run_limit_on = true; },
         {{R::kFiveInARow, 1, 4, 1}}},
        {"five hours a day through two pairs, with a limit of four",
         [](RunOptions& o) {
             o.day_hours_limit_on = true;
             o.day_hours_limit = 4;
         },
         {{R::kDayHours, 1, 4, 1}}},
        {"two last hours, one alone and one through a pair, with a limit of one",
         [](RunOptions& o) {
             o.last_hours_limit_on = true;
             o.last_hours_limit = 1;
         },
         {{R::kLastHours, 2, 5, SlotOf(1, 5)}}},
    };
    for (const PersonCase& c : cases) {
        SCOPED_TRACE(c.name);
        School school = TwoPairsOfOnePerson();
        ASSERT_TRUE(school.Verify().empty()) << "without the option" << Lines(school.Verify());
        c.option(school.options);
        EXPECT_TRUE(school.Verify().empty()) << "as searched, row by row" << Lines(school.Verify());
        school.mode = kFinished;
        EXPECT_EQ(Flags(school.Verify()), Sorted(c.expected)) << Lines(school.Verify());
    }
}

TEST(FinishedTimetable, JointLessons) {
    RunCases(Joint,
             {
                 {"valid timetable", Keep, {}},
                 {"without the joint entries both classes clash",
                  [](School& s) { s.rules.ClearJointLessons(); },
                  {{R::kTeacherClash, 1, 1, 1},
                   {R::kTeacherClash, 1, 1, 3},
                   {R::kTeacherClash, 1, 1, 7},
                   {R::kTeacherClash, 2, 1, 1},
                   {R::kTeacherClash, 2, 1, 3},
                   {R::kTeacherClash, 2, 1, 7}}},
                 // The partner's pinned lesson is the same joint lesson, not a clash.
                 {"the joint lesson pinned only in the later class",
                  [](School& s) { s.Pin(2, 7, 1); },
                  {}},
                 {"a joint lesson at different slots",
                  [](School& s) { s.Set(2, 7, 3).Set(2, 2, 1); },
                  {{R::kJoint, 1, 1, 7}, {R::kJoint, 2, 1, 2}}},
                 {"the joint teacher in a third class at a joint slot",
                  [](School& s) { s.Hours(3, 1, 1).Hours(3, 4, 9).Set(3, 3, 1); },
                  {{R::kTeacherClash, 1, 1, 3}, {R::kTeacherClash, 3, 1, 3}}},
             },
             kFinished);
}

TEST(FinishedTimetable, EighthHours) {
    RunCases(EighthHours,
             {
                 {"valid timetable", Keep, {}},
                 // Monday's seventh hour and Tuesday's eighth would be the only pair.
                 {"no two-hour lesson reaches beyond slot 35",
                  [](School& s) { s.TwoHour(1, 7, 1).Hours(1, 7, 6).Hours(1, 8, 1).Set(1, 37, 7); },
                  {{R::kTwoHour, 1, 7, 0}}},
             },
             kFinished);
}

TEST(TimetableVerifier, RefusesMalformedProblems) {
    const std::vector<std::pair<const char*, std::function<void(School&)>>> cases = {
        {"a timetable without slot columns", [](School& s) { s.timetable = ByteMatrix(3, 10); }},
        {"no full weekly hours", [](School& s) { s.rules.teacher_class_hours_all = {}; }},
        {"a joint lesson of an unknown class", [](School& s) { s.rules.AddJointLesson(1, 3, 1); }},
        {"an eighth hour that is no slot", [](School& s) { s.rules.AddLastDay(51); }},
    };
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        School school = Core();
        change(school);
        EXPECT_THROW(school.Verify(), std::invalid_argument);
    }
}

// What `verify` prints in parentheses after a broken rule is said in Greek,
// with the school's names, in both readings of a timetable.
TEST(TimetableVerifier, EveryDetailIsSaidInGreekWithTheSchoolsNames) {
    const std::function<void(School&)> changes[] = {
        [](School& s) { s.Set(2, 3, 2).Set(2, 4, 4); },  // a clash with Α1
        [](School& s) { s.Pin(1, 9, 3).Set(1, 9, 1); },  // a pinned lesson overwritten
        [](School& s) { s.Set(2, 10, 4); },              // hours moved
        [](School& s) { s.Set(1, 10, 9); },              // a teacher the school lacks
        [](School& s) { s.Set(1, 10, 0).Set(1, 11, 3); },
        [](School& s) { s.rules.AddDeniedSlot(3, 8); },
        [](School& s) { s.Set(1, 1, 2).Set(1, 3, 1); },  // a two-hour lesson broken
    };
    const std::regex english("[A-Za-z]{3,}");
    int clashes = 0;
    for (const VerifyMode mode : {VerifyMode::kAsSearched, VerifyMode::kFinished}) {
        for (const auto& change : changes) {
            School school = Core();
            school.in.class_names = {"", "Α1", "Β1"};
            school.in.teacher_names = {"", "ΑΛΦΑ", "ΒΗΤΑ", "ΓΑΜΜΑ", "ΔΕΛΤΑ", "ΕΨΙΛΟΝ"};
            school.mode = mode;
            change(school);
            const std::vector<Violation> found = school.Verify();
            EXPECT_FALSE(found.empty());
            for (const Violation& v : found) {
                EXPECT_FALSE(v.detail.empty()) << Describe(v);
                EXPECT_FALSE(std::regex_search(v.detail, english)) << Describe(v);
                if (v.rule == VerifyRule::kTeacherClash) {
                    ++clashes;
                    const std::string other = v.class_section == 2 ? "τμήμα Α1" : "τμήμα Β1";
                    EXPECT_NE(v.detail.find(other), std::string::npos) << Describe(v);
                }
            }
        }
    }
    EXPECT_GE(clashes, 2) << "a clash in each reading";
}

// The words that go with a count agree with it, one hour as much as many.
TEST(TimetableVerifier, TheWeeksHoursAgreeWithTheirNumber) {
    School one(1, 3);  // each teacher owes one hour; the first holds both slots
    one.Teach(1, 1, 1).Teach(1, 2, 1).Row(1, {1, 1});
    School many = Core();
    many.Set(2, 10, 4);  // teacher 2 holds 3 of 4 hours in Β1, teacher 4 12 of 11
    const std::vector<std::pair<School, std::vector<std::string>>> cases = {
        {one, {"2 ώρες τοποθετημένες, ενώ οφείλεται 1", "0 ώρες τοποθετημένες, ενώ οφείλεται 1"}},
        {many,
         {"3 ώρες τοποθετημένες, ενώ οφείλονται 4", "12 ώρες τοποθετημένες, ενώ οφείλονται 11"}},
    };
    for (VerifyMode mode : {VerifyMode::kAsSearched, VerifyMode::kFinished}) {
        for (auto [school, details] : cases) {
            school.mode = mode;
            std::vector<std::string> found;
            for (const Violation& v : school.Verify()) {
                if (v.rule == VerifyRule::kHours) {
                    found.push_back(v.detail);
                }
            }
            std::sort(found.begin(), found.end());
            std::sort(details.begin(), details.end());
            EXPECT_EQ(found, details);
        }
    }
}

TEST(TimetableVerifier, DescribesAViolationOnOneLine) {
    EXPECT_EQ(Describe({R::kTeacherClash, 2, 3, 8, "also in class 1"}),
              "teacher_clash: class 2, teacher 3, slot 8 (day 3, hour 2): also in class 1");
    EXPECT_EQ(Describe({R::kHours, 1, 2, 0, "3 hours placed, 4 expected"}),
              "hours: class 1, teacher 2: 3 hours placed, 4 expected");
    EXPECT_EQ(Describe({R::kPositions, 1, 0, 0, "hour position 37 has no slot"}),
              "positions: class 1: hour position 37 has no slot");
}

}  // namespace
}  // namespace taktirio
