#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

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
    kSlotDenied,        // an hour the teacher must be free
    kLastHoursFull,     // the most last-hour lessons a week
    kDayHoursFull,      // the most teaching hours a day
    kSameHourConflict,  // a teacher it may never meet at the same hour
    kTooManyInARow,     // a fifth hour in a row
};
inline constexpr std::size_t kRefusalKinds = 12;

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

    // Notes that class section c was being filled at hour position k (slot s).
    void Reached(int c, int k, int s) {
        if (c > deepest_class || (c == deepest_class && k > deepest_position)) {
            deepest_class = c;
            deepest_position = k;
            deepest_slot = s;
        }
    }
};

}  // namespace taktirio
