#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/rules/placement_rule.h"
#include "core/solver/slots.h"

namespace taktirio {

// Why a try of a teacher at a slot was refused: the first test of the try that
// said no. After the two-hour try's own first test, the order is the order in
// which a try runs its tests.
enum class Refusal : std::uint8_t {
    kPlaced = 0,        // not refused: the lesson was placed
    kNoRoomForSecond,   // two-hour lesson: the next hour is taken or past the day's end
    kTeacherBusy,       // the teacher is in another class section at that hour
    kSpreadOverDays,    // already teaches the class section that day (hours fit in the days)
    kSplitSameDay,      // the other teacher of a split lesson teaches it that day
    kClassDayFull,      // the most hours a day in one class section
    kSingleHourRun,     // a one-hour lesson right after the same teacher's lesson
    kSlotDenied,        // a slot refused to the teacher: an absent day or a free hour
    kLastHoursFull,     // the most last-hour lessons a week
    kDayHoursFull,      // the most teaching hours a day
    kSameHourConflict,  // a teacher it may never meet at the same hour
    kTooManyInARow,     // a fifth hour in a row
};
inline constexpr std::size_t kRefusalKinds = 12;

// The placement rule a refusal obeys; none for kPlaced, which refuses nothing.
std::optional<PlacementRule> PlacementRuleOf(Refusal refusal);

// What the search saw over one attempt or many: the failures of each class
// section, the deepest point reached, which rules refused candidates and which
// teachers were refused. A solver object fills its own while it searches (plain
// counters, no sharing); a run adds up those of its attempts with Merge.
struct SearchEvidence {
    std::int64_t attempts = 0;  // Search calls counted here
    std::int64_t draws = 0;     // candidates drawn
    // [Refusal] = tries refused by that rule; [kPlaced] is not counted and
    // stays 0 (the lessons placed are draws less refusals).
    std::array<std::int64_t, kRefusalKinds> refusals{};
    std::vector<std::int64_t> teacher_refusals;  // [teacher 1..T] = tries refused
    std::vector<std::int64_t> class_failures;    // [class 1..C] = starts that did not complete
    std::vector<std::int64_t> joint_refusals;    // [class 1..C] = of those, refused by the
                                                 // joint-lesson test once complete
    std::vector<std::int64_t> attempts_ended;    // [class 1..C] = attempts given up there
    // [teacher * 51 + slot] = tries refused by kSlotDenied at that slot. The
    // search sees one list of refused slots; the slot tells which rule the
    // user entered (an absent day or a free hour), which DeniedSlotRules knows.
    std::vector<std::int64_t> denied_slot_refusals;
    // The furthest point any attempt reached: the class section being filled
    // (in filling order) and the hour position that ran out of candidates there
    // or, when the class section was completed, its last position. 0: none.
    int deepest_class = 0;
    int deepest_position = 0;
    int deepest_slot = 0;  // the slot of deepest_position; 0 when it had none

    // Counters for C class sections and T teachers, all 0.
    static SearchEvidence Sized(int classes, int teachers);

    // Adds `other` to this one; the deepest point is the further of the two.
    // An empty side takes the other's sizes.
    void Merge(const SearchEvidence& other);

    // True when nothing was counted.
    bool empty() const { return attempts == 0 && draws == 0 && deepest_class == 0; }

    std::int64_t Refused(Refusal rule) const { return refusals[static_cast<std::size_t>(rule)]; }

    // Notes a kSlotDenied refusal of teacher t at slot s.
    void DeniedAt(int t, int s) {
        ++denied_slot_refusals[static_cast<std::size_t>(t) * kSlotColumns +
                               static_cast<std::size_t>(s)];
    }

    // Notes that class section c was being filled at hour position k (slot s).
    void Reached(int c, int k, int s) {
        if (c > deepest_class || (c == deepest_class && k > deepest_position)) {
            deepest_class = c;
            deepest_position = k;
            deepest_slot = s;
        }
    }
};

// Which of the rules the user entered refuses a teacher each refused slot.
// The search holds absent days and free hours in one list of refused slots;
// the school's data tells them apart, so that a refusal is worded by the rule
// the user entered. A slot that is both counts as the absent day.
struct DeniedSlotRules {
    // [teacher * 51 + slot] = 1 when the slot lies on one of the teacher's
    // absent days. Empty: not known, and the refusals are worded as either.
    std::vector<std::uint8_t> absent_day;

    bool known() const { return !absent_day.empty(); }
    bool OnAbsentDay(int t, int s) const {
        const std::size_t i =
            static_cast<std::size_t>(t) * kSlotColumns + static_cast<std::size_t>(s);
        return i < absent_day.size() && absent_day[i] != 0;
    }
    // Marks every slot of `day` (1 to 5) as an absent day of teacher t, for
    // a school of `teachers` teachers.
    void AddAbsentDay(int teachers, int t, int day);
};

}  // namespace taktirio
