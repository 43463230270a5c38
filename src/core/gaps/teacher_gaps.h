#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/solver/byte_matrix.h"
#include "core/solver/slots.h"

namespace taktirio {

// The people behind the timetable's teacher numbers. A single teacher is one
// person (each row its own); a pair ("A+B") is the two people it names, so
// that a pair's lesson occupies both members. A member that no single
// teacher's name matches is a person of its own, named as the pair spells it.
struct TeacherPeople {
    std::vector<std::string> names{std::string()};  // [person 1..P]; entry 0 unused
    // [teacher] = the person or the two people it stands for; 0 = none.
    std::vector<std::array<std::uint16_t, 2>> of_teacher;

    int count() const { return static_cast<int>(names.size()) - 1; }
};

// Teachers 1..teacher_count of `teacher_names` (entry 0 unused; a row beyond
// the names is an unnamed single teacher). A name with a plus sign is a
// pair, split at its first "+" into two trimmed names. Every row has at
// least one person.
TeacherPeople PeopleOfTeachers(std::span<const std::string> teacher_names, int teacher_count);

// How many gaps a timetable leaves: a gap is an hour without a lesson between
// a person's first and last lesson of a day.
struct GapSummary {
    int total = 0;         // over every person and the whole week
    int worst = 0;         // the most weekly gaps of one person
    int worst_person = 0;  // who has them (the first such); 0 when nobody has a gap

    friend bool operator==(const GapSummary&, const GapSummary&) = default;
};

// True when `a` leaves fewer gaps than `b`: a smaller worst person first, then
// a smaller total.
bool FewerGaps(const GapSummary& a, const GapSummary& b);

struct GapCount {
    // [person][day 1..5] gaps of that day; [person][0] unused.
    std::vector<std::array<int, kDays + 1>> per_day;
    std::vector<int> per_week;  // [person]
    GapSummary summary;
};

// The gaps of a timetable [class 1..classes][slot] = teacher, 0 = free. A
// person teaching two class sections at one slot (a joint lesson) is busy
// once at that hour.
GapCount CountGaps(const ByteMatrix& timetable, int classes, const TeacherPeople& people);

// The gaps of one day, given the hours taught as bits (bit h - 1 = hour h).
inline int GapsOfDay(std::uint32_t hours) {
    if (hours == 0) {
        return 0;
    }
    const int first = __builtin_ctz(hours);
    const int last = 31 - __builtin_clz(hours);
    return last - first + 1 - __builtin_popcount(hours);
}

}  // namespace taktirio
