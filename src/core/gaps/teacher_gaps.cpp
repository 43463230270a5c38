#include "core/gaps/teacher_gaps.h"

#include <string_view>
#include <unordered_map>

#include "core/common/narrow.h"
#include "core/text/trim.h"

namespace taktirio {

namespace {

std::string TrimmedCopy(std::string_view text) {
    return std::string(TrimBlanksAndControls(text));
}

}  // namespace

TeacherPeople PeopleOfTeachers(std::span<const std::string> teacher_names, int teacher_count) {
    TeacherPeople people;
    people.of_teacher.assign(static_cast<std::size_t>(teacher_count) + 1, {0, 0});
    std::unordered_map<std::string, std::uint16_t> by_name;
    const auto person_named = [&](const std::string& name) {
        const auto found = by_name.find(name);
        if (found != by_name.end()) {
            return found->second;
        }
        people.names.push_back(name);
        const auto number = static_cast<std::uint16_t>(people.count());
        by_name.emplace(name, number);
        return number;
    };
    // Single teachers first, so that they keep the order of their numbers.
    // Each row of a single teacher is a person of its own, even unnamed (or
    // without a name at all) or named like another row; a pair's member is
    // the first single so named.
    for (int t = 1; t <= teacher_count; ++t) {
        const std::string name =
            AsIndex(t) < teacher_names.size() ? teacher_names[AsIndex(t)] : std::string();
        if (name.find('+') == std::string::npos) {
            people.names.push_back(TrimmedCopy(name));
            const auto number = static_cast<std::uint16_t>(people.count());
            by_name.emplace(people.names.back(), number);
            people.of_teacher[AsIndex(t)][0] = number;
        }
    }
    for (int t = 1; t <= teacher_count && AsIndex(t) < teacher_names.size(); ++t) {
        const std::string& name = teacher_names[AsIndex(t)];
        const std::size_t plus = name.find('+');
        if (plus == std::string::npos) {
            continue;
        }
        const std::uint16_t first =
            person_named(TrimmedCopy(std::string_view(name).substr(0, plus)));
        const std::uint16_t second =
            person_named(TrimmedCopy(std::string_view(name).substr(plus + 1)));
        people.of_teacher[AsIndex(t)] = {first, second == first ? std::uint16_t{0} : second};
    }
    return people;
}

bool FewerGaps(const GapSummary& a, const GapSummary& b) {
    return a.worst != b.worst ? a.worst < b.worst : a.total < b.total;
}

GapCount CountGaps(const ByteMatrix& timetable, int classes, const TeacherPeople& people) {
    const std::size_t persons = static_cast<std::size_t>(people.count()) + 1;
    std::vector<std::array<std::uint32_t, kDays + 1>> busy(persons,
                                                           std::array<std::uint32_t, kDays + 1>{});
    for (int c = 1; c <= classes; ++c) {
        const std::uint8_t* row = timetable.row(AsIndex(c));
        for (int s = 1; s <= kSlots; ++s) {
            const int t = row[s];
            if (t == 0 || AsIndex(t) >= people.of_teacher.size()) {
                continue;
            }
            const std::uint32_t bit = 1U << (HourOfSlot(s) - 1);
            for (const std::uint16_t person : people.of_teacher[AsIndex(t)]) {
                if (person != 0) {
                    busy[person][AsIndex(DayOfSlot(s))] |= bit;
                }
            }
        }
    }
    GapCount count;
    count.per_day.assign(persons, std::array<int, kDays + 1>{});
    count.per_week.assign(persons, 0);
    for (std::size_t p = 1; p < persons; ++p) {
        for (int d = 1; d <= kDays; ++d) {
            const int gaps = GapsOfDay(busy[p][AsIndex(d)]);
            count.per_day[p][AsIndex(d)] = gaps;
            count.per_week[p] += gaps;
        }
        count.summary.total += count.per_week[p];
        if (count.per_week[p] > count.summary.worst) {
            count.summary.worst = count.per_week[p];
            count.summary.worst_person = static_cast<int>(p);
        }
    }
    return count;
}

}  // namespace taktirio
