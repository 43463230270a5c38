#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/rules/placement_rule.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// The necessary conditions a school must meet before a search can succeed.
// Each is a count or a matching that every timetable the search can build
// satisfies, so a condition that fails means no timetable exists under these
// data and options, and searching would only run until the time limit.
enum class FeasibilityRule {
    kInvalidData,      // the inputs break an invariant of the search itself
    kPinnedClash,      // one teacher pinned at one slot in two class sections
    kPinnedDenied,     // a pinned lesson on an absent day or a declared free hour
    kTeacherWeek,      // weekly hours against the hours the teacher can teach
    kTeacherDayHours,  // a person's hours, pinned ones too, against the day-hours limit
    kClassDay,         // hours in one class section against its days, per-day limit
    kSpread,           // few hours in a class section: at most one lesson a day
    kTwoHour,          // two-hour lessons against two free consecutive hours
    kJointDays,        // joint lessons at most once a day in each class section
    kJointTwoHour,     // a joint lesson can never be a two-hour lesson
    kSplit,            // a split lesson's teachers never on the same day
    kLastHours,        // the last-hour limit against the last hours to fill
    kApart,            // teachers who never teach at the same hour
    kSlotCover,        // class sections that must have a lesson at a slot
};

// The placement rule a check counts for; none for kInvalidData, which
// speaks of the data themselves, not of a rule.
std::optional<PlacementRule> PlacementRuleOf(FeasibilityRule rule);

// One reason why no timetable exists. Numbers that do not apply are 0.
struct Infeasibility {
    FeasibilityRule rule = FeasibilityRule::kInvalidData;
    int class_section = 0;
    int teacher = 0;
    int other_teacher = 0;
    int slot = 0;
    int needed = 0;     // what the rule needs (hours, days, lessons)
    int available = 0;  // what the data leave for it
    // The value of the run option at fault that the count would allow; 0 when
    // no option is at fault or no value of it helps.
    int allowing_value = 0;
    std::string message;  // the reason in the program's own words
};

// Every necessary condition that fails, in a fixed order. The inputs must meet
// the invariants PrepareSearch checks; `index` is the run's rule index (from
// PrepareSearch of the same inputs, tables and options), or derived here.
std::vector<Infeasibility> FindInfeasibilities(const SolverInputs& inputs, const RuleTables& rules,
                                               const RunOptions& options, const RuleIndex& index);
std::vector<Infeasibility> FindInfeasibilities(const SolverInputs& inputs, const RuleTables& rules,
                                               const RunOptions& options);

// What every way into a search calls before it starts: the invariants of the
// search (reported as one kInvalidData reason when they fail), then every
// necessary condition. Empty when the search may start.
std::vector<Infeasibility> CheckBeforeSearch(const SolverInputs& inputs, const RuleTables& rules,
                                             const RunOptions& options);

// One message that lists every reason, numbered, lines separated by "\r".
std::string InfeasibilityMessage(const std::vector<Infeasibility>& reasons);

}  // namespace taktirio
