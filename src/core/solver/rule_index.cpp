// The rule index: every value the search, the checks before a search and the
// rework toward fewer gaps derive from the rule tables and the run's options,
// derived here once per run. The rule tables must have passed the checks of
// PrepareSearch: their numbers are used as indices unchecked.
#include "core/solver/rule_index.h"

#include <algorithm>
#include <vector>

#include "core/common/narrow.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"

namespace taktirio {

namespace {

using Lists = std::vector<std::vector<std::uint8_t>>;

std::vector<std::uint8_t> PositionSlots(const RuleTables& rules) {
    std::vector<std::uint8_t> slots(kSlotColumns, 0);
    for (int k = 1; k <= kSlots; ++k) {
        slots[AsIndex(k)] = static_cast<std::uint8_t>(PositionSlotOf(rules, k));
    }
    return slots;
}

std::vector<std::uint8_t> AvailableDays(const RuleTables& rules, int T) {
    std::vector<std::uint8_t> days(AsIndex(T) + 1, kDays);
    for (const AbsentDays& entry : rules.AbsentDaysOfTeachers()) {
        days[entry.teacher] = static_cast<std::uint8_t>(kDays - entry.days);
    }
    return days;
}

std::vector<std::uint8_t> DeniedSlots(const RuleTables& rules, int T) {
    std::vector<std::uint8_t> denied((AsIndex(T) + 1) * kSlotColumns, 0);
    for (const DeniedSlot& entry : rules.DeniedSlots()) {
        denied[entry.teacher * std::size_t{kSlotColumns} + entry.slot] = 1;
    }
    return denied;
}

// Each teacher's same-hour partners, both ways, sorted and without repeats.
Lists SameHourPartners(const RuleTables& rules, int T) {
    Lists partners(AsIndex(T) + 1);
    for (const SameHourPair& pair : rules.SameHourPairs()) {
        partners[pair.first].push_back(pair.second);
        partners[pair.second].push_back(pair.first);
    }
    for (auto& list : partners) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return partners;
}

Lists SplitPartners(const RuleTables& rules, int C) {
    Lists splits(AsIndex(C) + 1);
    for (const SplitLesson& split : rules.Splits()) {
        auto& list = splits[split.class_section];
        list.push_back(split.first);
        list.push_back(split.second);
    }
    return splits;
}

// Each joint entry under both of its class sections, in entry order.
Lists JointEntries(const RuleTables& rules, int C) {
    Lists joints(AsIndex(C) + 1);
    for (const JointLesson& joint : rules.JointLessons()) {
        for (const std::uint8_t c : {joint.class1, joint.class2}) {
            joints[c].insert(joints[c].end(), {joint.class1, joint.class2, joint.teacher});
        }
    }
    return joints;
}

// The hours a day of each teacher in each class section, and whether its
// one-hour lessons there spread over the days, under the run's option.
void DeriveClassDays(const RuleTables& rules, const RunOptions& options, RuleIndex& index) {
    const int C = index.classes;
    const int T = index.teachers;
    const std::size_t pairs = (AsIndex(T) + 1) * (AsIndex(C) + 1);
    index.max_class_hours_per_day = options.max_class_hours_per_day;
    index.class_day_allowance.assign(pairs, options.max_class_hours_per_day);
    index.spread_over_days.assign(pairs, 0);
    for (int t = 1; t <= T; ++t) {
        const int available = index.available_days[AsIndex(t)];
        for (int c = 1; c <= C; ++c) {
            const int weekly = rules.teacher_class_hours_all(AsIndex(t), AsIndex(c));
            const std::size_t at = AsIndex(t) * (AsIndex(C) + 1) + AsIndex(c);
            index.class_day_allowance[at] = static_cast<std::uint8_t>(
                ClassDayAllowance(options.max_class_hours_per_day, weekly, available));
            index.spread_over_days[at] = weekly <= available ? 1 : 0;
        }
    }
}

// The last-hours limit has always counted the slots numbered like the class
// section's last five hour positions, not the slots those positions fall on;
// with eighth hours the two differ, and every reader must count the same.
void DeriveLastHours(const SolverInputs& in, RuleIndex& index) {
    const std::size_t rows = AsIndex(index.classes) + 1;
    index.last_hours_first.assign(rows, 1);
    index.last_hours_last.assign(rows, 0);
    for (int c = 1; c <= index.classes; ++c) {
        const int last = in.class_hours[AsIndex(c)];
        index.last_hours_first[AsIndex(c)] = static_cast<std::uint8_t>(std::max(1, last - 4));
        index.last_hours_last[AsIndex(c)] = static_cast<std::uint8_t>(last);
    }
}

// Each person's rows, from the rows' people.
Lists RowsOfPeople(const TeacherPeople& people, int T) {
    Lists rows(AsIndex(people.count()) + 1);
    for (int t = 1; t <= T; ++t) {
        for (const std::uint16_t p : people.of_teacher[AsIndex(t)]) {
            if (p != 0) {
                rows[p].push_back(static_cast<std::uint8_t>(t));
            }
        }
    }
    return rows;
}

}  // namespace

int PositionSlotOf(const RuleTables& rules, int k) {
    const std::span<const std::uint8_t> eighth = rules.EighthHourSlots();
    if (!eighth.empty() && k >= kFirstEighthHourPosition && k <= kLastEighthHourPosition) {
        const auto entry = AsIndex(k - kFirstEighthHourPosition);
        return entry < eighth.size() ? eighth[entry] : 0;
    }
    return k;
}

bool RuleIndex::BuiltFor(int class_sections, int teacher_count, const RunOptions& options) const {
    return classes == class_sections && teachers == teacher_count &&
           max_class_hours_per_day == options.max_class_hours_per_day;
}

RuleIndex BuildRuleIndex(const SolverInputs& in, const RuleTables& rules,
                         const RunOptions& options) {
    RuleIndex index;
    index.classes = in.number_of_classes;
    index.teachers = in.number_of_teachers;
    index.position_slot = PositionSlots(rules);
    index.second_hour_limit = rules.HasEighthHours() ? kSevenHourWeekSlots : kSlots;
    index.available_days = AvailableDays(rules, index.teachers);
    index.slot_denied = DeniedSlots(rules, index.teachers);
    index.same_hour_partners.Assign(AsIndex(index.teachers) + 1,
                                    SameHourPartners(rules, index.teachers));
    index.split_partners.Assign(AsIndex(index.classes) + 1, SplitPartners(rules, index.classes));
    index.joint_entries.Assign(AsIndex(index.classes) + 1, JointEntries(rules, index.classes));
    DeriveClassDays(rules, options, index);
    DeriveLastHours(in, index);
    index.people = PeopleOfTeachers(in.teacher_names, index.teachers);
    index.rows_of_person.Assign(AsIndex(index.people.count()) + 1,
                                RowsOfPeople(index.people, index.teachers));
    return index;
}

void BuildRuleIndex(const SolverInputs& inputs, RunContext& context) {
    context.index = BuildRuleIndex(inputs, context.rules, context.options);
}

void ByteLists::Assign(std::size_t rows, const std::vector<std::vector<std::uint8_t>>& lists) {
    offsets_.assign(rows + 1, 0);
    values_.clear();
    for (std::size_t r = 0; r < rows; ++r) {
        offsets_[r] = static_cast<std::uint32_t>(values_.size());
        if (r < lists.size()) {
            values_.insert(values_.end(), lists[r].begin(), lists[r].end());
        }
    }
    offsets_[rows] = static_cast<std::uint32_t>(values_.size());
}

}  // namespace taktirio
