// The placement rules the search tests while it tries a teacher at a slot.
// Each answers true when the try must be refused.
#include <string>

#include "common/narrow.h"
#include "solver/errors.h"
#include "solver/findsolution.h"
#include "solver/slots.h"

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

bool Tfindsolution::LastHoursFull(int t) const {
    const int limit = context_.options.last_hours_limit;
    const RuleIndex& index = context_.index;
    int held = 0;
    for (int i = 1; i <= number_of_classes_; ++i) {
        const std::uint8_t* row = timetable_.row(AsIndex(i));
        const int first = index.last_hours_first[AsIndex(i)];
        for (int p = index.last_hours_last[AsIndex(i)]; p >= first; --p) {
            held += row[p] == t ? 1 : 0;
        }
        if (held >= limit) {
            return true;
        }
    }
    return false;
}

bool Tfindsolution::BookDayHours(int t, int s, int hours) {
    if (day_load_.empty()) {
        throw ContradictoryDataError("day hours booked while the day-hours limit is off");
    }
    std::uint8_t& booked = day_load_(AsIndex(t), AsIndex(DayOfSlot(s)));
    if (booked + hours > context_.options.day_hours_limit) {
        return true;
    }
    booked = static_cast<std::uint8_t>(booked + hours);
    return false;
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

bool Tfindsolution::TooManyInARow(int t, int hours, int s) const {
    // held[k] = cells holding t at slot s + 5 (k - 4), one per class section.
    int held[9] = {};
    for (int k = 0; k < 9; ++k) {
        const int p = s + kDays * (k - 4);
        if (!IsSlot(p)) {
            continue;
        }
        const std::uint8_t* cell = timetable_.row(1) + p;
        for (int i = 1; i <= number_of_classes_; ++i, cell += kSlotColumns) {
            held[k] += *cell == t ? 1 : 0;
        }
    }
    // The five windows of five consecutive hours that contain s, in the order
    // they are examined; each starts this many hours before s.
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
    // good, as a pinned lesson is.
    for (int p = 1; p <= positions; ++p) {
        for (const std::uint8_t* e = first; e != last; e += 3) {
            const int j = e[2];
            const int partner = e[0] == c ? e[1] : e[0];
            if (row[p] != j || timetable_(AsIndex(partner), AsIndex(p)) != 0) {
                continue;
            }
            timetable_(AsIndex(partner), AsIndex(p)) = static_cast<std::uint8_t>(j);
            timetable_start_(AsIndex(partner), AsIndex(p)) = static_cast<std::uint8_t>(j);
            LowerCounter(hours_left_, j, partner, 1, "hours_left");
            LowerCounter(hours_start_, j, partner, 1, "hours_start");
            break;
        }
    }
    return false;
}

}  // namespace taktirio
