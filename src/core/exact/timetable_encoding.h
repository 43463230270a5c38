#pragma once

#include <string>
#include <vector>

#include "core/exact/cardinality.h"
#include "core/rules/placement_rule.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/rule_index.h"
#include "core/solver/run_context.h"
#include "core/solver/slots.h"
#include "core/solver/solver_inputs.h"

namespace taktirio::exact {

// A group of the school's rules or of the run's options that a proof of no
// timetable can name: every clause of the group is conditional on its
// assumption literal, so the group holds only while that literal is assumed.
struct RuleGroup {
    enum class Kind {
        kDayAllowance,  // the option of at most 2 hours a day in one class section
        kLastHours,     // the option's limit of last-hour lessons a week
        kDayHours,      // the option's limit of hours a day
        kSingleRuns,    // the option of no one-hour lessons in consecutive hours
        kFiveInARow,    // the option of no five hours in a row
        kAbsentDays,    // one teacher's absent days
        kFreeHours,     // one teacher's free hours
        kApart,         // one couple of teachers never at the same hour
        kJoint,         // one joint lesson (entry)
        kSplit,         // one split lesson (entry)
    };
    Kind kind = Kind::kDayAllowance;
    int literal = 0;
    int teacher = 0;
    int other_teacher = 0;
    int class_section = 0;
    int other_class = 0;
};

// The placement rule a group states.
PlacementRule PlacementRuleOf(RuleGroup::Kind kind);

// The school and the run's options as clauses over one variable per cell and
// teacher: x(c, s, t) is true when class section c has teacher t at slot s.
// The clauses are the rules the verifier's finished reading judges, read
// rule by rule (see the .cpp): a model is a timetable that reading passes,
// and a timetable it passes is a model, but in the few corners named there.
class TimetableEncoding {
  public:
    TimetableEncoding(const SolverInputs& inputs, const RuleTables& rules,
                      const RunOptions& options, const RuleIndex& index);

    // Writes every variable and clause into `sink`. Call once.
    void Encode(ClauseSink& sink);

    // The groups' assumption literals, assumed all together for a timetable
    // under every rule.
    const std::vector<RuleGroup>& groups() const { return groups_; }

    // The cells' literals: 0 for a teacher who can never hold the cell.
    int CellLiteral(int c, int s, int t) const;
    // The literals of a cell (those that exist), for blocking clauses and
    // phases; pinned cells have none.
    const std::vector<std::pair<int, int>>& Candidates(int c, int s) const;  // (teacher, literal)

    // The timetable of a model: `value(literal)` true when the literal holds.
    template <typename Value>
    ByteMatrix Decode(Value value) const;

    // Literals that fix `timetable` (its free cells): for tests and for
    // checking a found timetable against the clauses. False when a cell holds
    // a teacher the encoding never allows there.
    bool FixingLiterals(const ByteMatrix& timetable, std::vector<int>& literals) const;

    // Words a group for a message: "οι απουσίες του διδάσκοντα Χ", …
    std::string Describe(const RuleGroup& group) const;

    // False for a couple kept apart only because one person is in both rows
    // (a pair and its member, two pairs sharing one): the user entered the
    // pair, not the couple, and cannot drop it alone.
    bool EnteredByTheUser(const RuleGroup& group) const;

  private:
    class Writer;

    int SharedPerson(int a, int b) const;  // a person in both rows; 0 when none
    std::string DescribePairClash(int a, int b, int person) const;

    const SolverInputs& in_;
    const RuleTables& rules_;
    const RunOptions& options_;
    const RuleIndex& index_;
    std::vector<std::vector<std::pair<int, int>>> cells_;  // [c * 51 + s] = (teacher, literal)
    std::vector<RuleGroup> groups_;
};

template <typename Value>
ByteMatrix TimetableEncoding::Decode(Value value) const {
    const int classes = in_.number_of_classes;
    ByteMatrix timetable(static_cast<std::size_t>(classes) + 1, kSlotColumns);
    for (int c = 1; c <= classes; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            const auto at =
                static_cast<std::size_t>(c) * kSlotColumns + static_cast<std::size_t>(s);
            int held = in_.pinned_lessons(static_cast<std::size_t>(c), static_cast<std::size_t>(s));
            for (const auto& [teacher, literal] : cells_[at]) {
                if (value(literal)) {
                    held = teacher;
                }
            }
            timetable(static_cast<std::size_t>(c), static_cast<std::size_t>(s)) =
                static_cast<std::uint8_t>(held);
        }
    }
    return timetable;
}

}  // namespace taktirio::exact
