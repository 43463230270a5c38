// The placement rules the search tests while it tries a teacher at a slot.
// Each answers true when the try must be refused.
#include <bit>
#include <string>
#include <utility>
#include <vector>

#include "core/common/narrow.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"

namespace taktirio {

int Tfindsolution::CountOnDay(int c, int day, int t) const {
    const std::uint8_t* row = timetable_.row(AsIndex(c));
    int count = 0;
    for (int p = day; p <= kSlots; p += kDays) {
        count += row[p] == t ? 1 : 0;
    }
    return count;
}

bool Tfindsolution::TeacherBusy(int t, int s) const {
    const std::uint8_t* cell = timetable_.row(1) + s;
    for (int i = 1; i <= number_of_classes_; ++i, cell += kSlotColumns) {
        if (*cell == t) {
            return true;
        }
    }
    return false;
}

bool Tfindsolution::SpreadOverDays(int t, int s, int c) const {
    if (!context_.index.SpreadsOverDays(t, c)) {
        return false;
    }
    return CountOnDay(c, DayOfSlot(s), t) > 0;
}

bool Tfindsolution::SplitSameDay(int c, int s, int t) const {
    const ByteLists& splits = context_.index.split_partners;
    const int day = DayOfSlot(s);
    for (const std::uint8_t* e = splits.begin(AsIndex(c)); e != splits.end(AsIndex(c)); e += 2) {
        if (e[0] == t) {
            if (CountOnDay(c, day, e[1]) > 0) {
                return true;
            }
        } else if (e[1] == t) {
            if (CountOnDay(c, day, e[0]) > 0) {
                return true;
            }
        }
    }
    return false;
}

bool Tfindsolution::ClassDayFull(int s, int t, int c, int hours) const {
    const int held = CountOnDay(c, DayOfSlot(s), t);
    if (AvailableDays(t) == 0) {
        throw ContradictoryDataError("teacher " + std::to_string(t) + " has no available day");
    }
    return context_.index.DayAllowance(t, c) < held + hours;
}

bool Tfindsolution::SlotDenied(int s, int t) const {
    return context_.index.slot_denied[AsIndex(t) * kSlotColumns + AsIndex(s)] != 0;
}

// A pinned lesson is one of the teacher's one-hour lessons (pinned two-hour
// lessons are entered as one-hour ones), so no hour the search places may come
// right before a pinned hour of the same teacher in the same class section.
// Two pinned hours in a row are the user's own and stay.
bool Tfindsolution::PinnedRightAfter(int c, int s, int t) const {
    return s + kDays <= kSlots && pinned_(AsIndex(c), AsIndex(s + kDays)) == t;
}

// True when row u holds the person (a single teacher, or a pair they are in).
bool Tfindsolution::PersonHolds(int person, int u) const {
    if (u == 0) {
        return false;
    }
    const auto& persons = context_.index.PersonsOf(u);
    return persons[0] == person || persons[1] == person;
}

// The person teaches at slot s in some class section, through any row.
bool Tfindsolution::PersonBusyAt(int person, int s) const {
    const std::uint8_t* cell = timetable_.row(1) + s;
    for (int i = 1; i <= number_of_classes_; ++i, cell += kSlotColumns) {
        if (PersonHolds(person, *cell)) {
            return true;
        }
    }
    return false;
}

// The slots, as bits, at which the person teaches one of a class section's
// last hours; a lesson given to two class sections at once is one slot.
std::uint64_t Tfindsolution::LastHourSlotsOf(int person) const {
    const RuleIndex& index = context_.index;
    std::uint64_t slots = 0;
    for (int i = 1; i <= number_of_classes_; ++i) {
        const std::uint8_t* row = timetable_.row(AsIndex(i));
        for (int p = index.last_hours_first[AsIndex(i)]; p <= index.last_hours_last[AsIndex(i)];
             ++p) {
            if (PersonHolds(person, row[p])) {
                slots |= std::uint64_t{1} << p;
            }
        }
    }
    return slots;
}

// Counted for each person of t: their last-hour lessons through every row.
bool Tfindsolution::LastHoursFull(int t) const {
    const int limit = context_.options.last_hours_limit;
    for (const std::uint16_t person : context_.index.PersonsOf(t)) {
        if (person != 0 && std::popcount(LastHourSlotsOf(person)) >= limit) {
            return true;
        }
    }
    return false;
}

// Booked for each person of t; refused when one of them would pass the limit.
bool Tfindsolution::BookDayHours(int t, int s, int hours) {
    if (day_load_.empty()) {
        throw ContradictoryDataError("day hours booked while the day-hours limit is off");
    }
    const auto day = AsIndex(DayOfSlot(s));
    const auto& persons = context_.index.PersonsOf(t);
    for (const std::uint16_t person : persons) {
        if (person != 0 && day_load_(person, day) + hours > context_.options.day_hours_limit) {
            return true;
        }
    }
    for (const std::uint16_t person : persons) {
        if (person != 0) {
            day_load_(person, day) = static_cast<std::uint8_t>(day_load_(person, day) + hours);
        }
    }
    return false;
}

// A person's day counts every hour they teach, pinned ones included, each
// slot once however many class sections share it.
void Tfindsolution::BookPinnedHours() {
    day_load_ = ByteMatrix(AsIndex(context_.index.PersonCount()) + 1, kDays + 1);
    for (int person = 1; person <= context_.index.PersonCount(); ++person) {
        for (int s = 1; s <= kSlots; ++s) {
            if (PersonBusyAt(person, s)) {
                ++day_load_(AsIndex(person), AsIndex(DayOfSlot(s)));
            }
        }
    }
    day_load_start_ = day_load_;
}

bool Tfindsolution::SameHourConflict(int t, int s, int m) const {
    const ByteLists& partners = context_.index.same_hour_partners;
    for (const std::uint8_t* p = partners.begin(AsIndex(t)); p != partners.end(AsIndex(t)); ++p) {
        const std::uint8_t* cell = timetable_.row(1) + s;
        for (int i = 1; i <= m; ++i, cell += kSlotColumns) {
            if (*cell == *p) {
                return true;
            }
        }
    }
    return false;
}

// Hours a person teaches, through any of their rows: a lesson given to two
// class sections at once is one hour.
bool Tfindsolution::TooManyInARow(int t, int hours, int s) const {
    for (const std::uint16_t person : context_.index.PersonsOf(t)) {
        if (person == 0) {
            continue;
        }
        // held[k] = 1 when the person teaches at slot s + 5 (k - 4).
        int held[9] = {};
        for (int k = 0; k < 9; ++k) {
            const int p = s + kDays * (k - 4);
            held[k] = IsSlot(p) && PersonBusyAt(person, p) ? 1 : 0;
        }
        // The five windows of five consecutive hours that contain s, in the
        // order they are examined; each starts this many hours before s.
        static constexpr int kWindowStarts[5] = {4, 0, 3, 1, 2};
        for (const int before : kWindowStarts) {
            int n = 0;
            for (int k = 4 - before; k < 9 - before; ++k) {
                n += held[k];
            }
            if (n + hours >= 5) {
                return true;
            }
        }
    }
    return false;
}

bool Tfindsolution::JointLessons(int c) {
    const ByteLists& joints = context_.index.joint_entries;
    const std::uint8_t* first = joints.begin(AsIndex(c));
    const std::uint8_t* last = joints.end(AsIndex(c));
    if (first == last) {
        return false;
    }
    const int positions = context_.rules.HasEighthHours() ? kSlots : class_hours_[AsIndex(c)];
    const std::uint8_t* row = timetable_.row(AsIndex(c));

    // Once a day: the joint teacher may not hold two slots of one day here.
    for (const std::uint8_t* e = first; e != last; e += 3) {
        for (int day = 1; day <= kDays; ++day) {
            if (CountOnDay(c, day, e[2]) >= 2) {
                return true;
            }
        }
    }
    // Slots agree: the first entry that applies to a slot decides it.
    for (int p = 1; p <= positions; ++p) {
        for (const std::uint8_t* e = first; e != last; e += 3) {
            if (row[p] != e[2]) {
                continue;
            }
            const int partner = e[0] == c ? e[1] : e[0];
            const std::uint8_t there = timetable_(AsIndex(partner), AsIndex(p));
            if (there != 0 && there != e[2]) {
                return true;
            }
            break;
        }
    }
    // Copy: the lesson takes the same slot in the partner, fixed there for
    // good, as a pinned lesson is. The copies are listed first and tested as
    // a whole, so that a refused class section leaves its partners as they
    // were.
    std::vector<std::pair<int, int>> copies;  // (partner, slot)
    for (int p = 1; p <= positions; ++p) {
        for (const std::uint8_t* e = first; e != last; e += 3) {
            const int partner = e[0] == c ? e[1] : e[0];
            if (row[p] != e[2] || timetable_(AsIndex(partner), AsIndex(p)) != 0) {
                continue;
            }
            copies.emplace_back(partner, p);
            break;
        }
    }
    if (context_.options.last_hours_limit_on && CopiesBreakLastHours(c, copies)) {
        return true;
    }
    for (const auto& [partner, p] : copies) {
        const int j = row[p];
        timetable_(AsIndex(partner), AsIndex(p)) = static_cast<std::uint8_t>(j);
        timetable_start_(AsIndex(partner), AsIndex(p)) = static_cast<std::uint8_t>(j);
        LowerCounter(hours_left_, j, partner, 1, "hours_left");
        LowerCounter(hours_start_, j, partner, 1, "hours_start");
    }
    return false;
}

// A copy stands at the slot of its lesson, where the person already teaches,
// so it adds no hour to their day and no hour to a run of hours; it can add a
// last-hour lesson, when the slot is among the partner's last hours only.
bool Tfindsolution::CopiesBreakLastHours(int c,
                                         const std::vector<std::pair<int, int>>& copies) const {
    const RuleIndex& index = context_.index;
    for (const auto& [partner, p] : copies) {
        if (!index.InLastHours(partner, p)) {
            continue;
        }
        for (const std::uint16_t person : index.PersonsOf(timetable_(AsIndex(c), AsIndex(p)))) {
            if (person == 0) {
                continue;
            }
            std::uint64_t slots = LastHourSlotsOf(person);
            for (const auto& [other, q] : copies) {
                if (index.InLastHours(other, q) &&
                    PersonHolds(person, timetable_(AsIndex(c), AsIndex(q)))) {
                    slots |= std::uint64_t{1} << q;
                }
            }
            if (std::popcount(slots) > context_.options.last_hours_limit) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace taktirio
