#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/gaps/teacher_gaps.h"
#include "core/solver/slots.h"

namespace taktirio {

class RuleTables;
struct RunOptions;
struct SolverInputs;

// Rows of small byte lists kept in one block (compressed row storage).
class ByteLists {
  public:
    void Assign(std::size_t rows, const std::vector<std::vector<std::uint8_t>>& lists);
    const std::uint8_t* begin(std::size_t r) const { return values_.data() + offsets_[r]; }
    const std::uint8_t* end(std::size_t r) const { return values_.data() + offsets_[r + 1]; }
    std::size_t rows() const { return offsets_.empty() ? 0 : offsets_.size() - 1; }

  private:
    std::vector<std::uint32_t> offsets_;
    std::vector<std::uint8_t> values_;
};

// The most hours a teacher may give one class section on one day: the run's
// option (2 or 3), except that a teacher who cannot fit the week's hours in
// the class section into the available days at two a day may have three.
// The one statement of that rule; the checks before a search also ask it
// with an option the run did not choose ("would three help?").
constexpr int ClassDayAllowance(int option, int weekly_hours, int available_days) {
    return option == 2 && weekly_hours > 2 * available_days ? 3 : option;
}

// The slot of hour position k of a class section's week: k itself, except
// that with eighth hours the eighth-hour positions take the eighth-hour slots
// in order (0: a position beyond the school's eighth hours). The rule tables
// must have passed the checks of PrepareSearch.
int PositionSlotOf(const RuleTables& rules, int k);

// Everything the search, the checks before a search, the rework toward fewer
// gaps and the exact search derive from the rule tables and the run's
// options, derived once per run (BuildRuleIndex): the same answers as the
// tables give, looked up per teacher or class section instead of scanned
// entry by entry. The verifier keeps its own reading of the tables on
// purpose. docs/rules.md lists every place a rule lives.
struct RuleIndex {
    int teachers = -1;                         // T the index was built for; -1 = not built
    int classes = -1;                          // C the index was built for
    std::vector<std::uint8_t> available_days;  // [teacher] = 5 - absent days
    std::vector<std::uint8_t> slot_denied;     // [teacher * 51 + slot] = 1 when refused
    ByteLists same_hour_partners;              // [teacher] = teachers it may not meet
    ByteLists split_partners;                  // [class] = (first, second) pairs, in entry order
    ByteLists joint_entries;                  // [class] = (class1, class2, teacher), in entry order
    std::vector<std::uint8_t> position_slot;  // [hour position 1..50] = slot; 0 = none
    // The last slot a two-hour lesson may end in: with eighth hours, no
    // two-hour lesson reaches them.
    int second_hour_limit = kSlots;
    // [teacher * (C + 1) + class] = ClassDayAllowance under the run's option.
    std::vector<std::uint8_t> class_day_allowance;
    // [teacher * (C + 1) + class] = 1 when the teacher's hours in the class
    // section fit one a day into the available days, so that its one-hour
    // lessons there spread over different days.
    std::vector<std::uint8_t> spread_over_days;
    // The run's option the allowances were derived under (hours a day in one
    // class section); 0 = not built.
    int max_class_hours_per_day = 0;
    // [class] = the first and the last slot the last-hours limit counts in
    // the class section: the numbers of its last five hour positions read as
    // slot numbers (class hours - 4 to class hours), whatever slots those
    // positions fall on. Empty (first > last) for a class without hours.
    std::vector<std::uint8_t> last_hours_first;
    std::vector<std::uint8_t> last_hours_last;
    // The people behind the rows of the teacher list: a single teacher is one
    // person, a pair its two members. The rules about a teacher's day and
    // week (hours a day, five hours in a row, last-hour lessons) count a
    // person's hours over every row that holds them, a lesson given to two
    // class sections at once being one hour.
    TeacherPeople people;
    ByteLists rows_of_person;  // [person] = the teacher rows holding the person, ascending

    int PersonCount() const { return people.count(); }
    // The one or two people of row t; an entry 0 is nobody.
    const std::array<std::uint16_t, 2>& PersonsOf(int t) const {
        return people.of_teacher[static_cast<std::size_t>(t)];
    }

    // The row that holds the person alone; 0 when they teach only in pairs.
    int SingleRowOf(int person) const {
        for (auto row = rows_of_person.begin(static_cast<std::size_t>(person));
             row != rows_of_person.end(static_cast<std::size_t>(person)); ++row) {
            if (PersonsOf(*row)[1] == 0) {
                return *row;
            }
        }
        return 0;
    }

    int DayAllowance(int teacher, int class_section) const {
        return class_day_allowance[PairIndex(teacher, class_section)];
    }
    bool SpreadsOverDays(int teacher, int class_section) const {
        return spread_over_days[PairIndex(teacher, class_section)] != 0;
    }
    bool InLastHours(int class_section, int slot) const {
        const auto c = static_cast<std::size_t>(class_section);
        return slot >= last_hours_first[c] && slot <= last_hours_last[c];
    }
    // Built for a school of these counts under these options: a solver, a
    // check or a rework handed an index of another school or of another run's
    // options would read wrong answers without an error.
    bool BuiltFor(int class_sections, int teacher_count, const RunOptions& options) const;

  private:
    std::size_t PairIndex(int teacher, int class_section) const {
        return static_cast<std::size_t>(teacher) * static_cast<std::size_t>(classes + 1) +
               static_cast<std::size_t>(class_section);
    }
};

// Derives the index from the rule tables and the run's options, without the
// checks of PrepareSearch: for inputs already checked, or for tests that set
// up a state by hand.
RuleIndex BuildRuleIndex(const SolverInputs& inputs, const RuleTables& rules,
                         const RunOptions& options);

}  // namespace taktirio
