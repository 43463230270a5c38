#pragma once

#include <array>
#include <string_view>

namespace taktirio {

// The placement rules, one vocabulary for every part of the program that
// speaks of them. The verifier (VerifyRule), the checks before a search
// (FeasibilityRule), the search (Refusal) and the exact search's proofs
// (exact::RuleGroup::Kind) each have kinds of their own, cut to what each
// of them sees; each maps onto this enum through a switch with no default,
// so that a kind added anywhere is a compile error until it names its rule
// (docs/rules.md).
enum class PlacementRule {
    kHours,         // each teacher's weekly hours in each class section, exactly
    kTwoHour,       // two-hour lessons as two consecutive hours of one day
    kTeacherClash,  // a teacher in one place at a time (joint lessons excepted)
    kDeniedSlot,    // absent days and free hours: slots refused to a teacher
    kSpread,        // few hours in a class section: at most once a day
    kSplit,         // the two teachers of a split lesson never on the same day
    kClassDay,      // most hours of a teacher in one class section on one day
    kLastHours,     // most last-hour lessons of a teacher in the week
    kDayHours,      // most hours of a teacher on one day
    kSameHour,      // couples of teachers who never teach at the same hour
    kFiveInARow,    // no teacher teaches five hours in a row
    kSingleRuns,    // no one-hour lesson right after the same teacher's hour
    kJoint,         // joint lessons at the same slots in both class sections, once a day
    kPositions,     // every hour position of a class section filled, nothing outside them
    kPinned,        // pinned lessons kept where they were pinned
};

// Every rule, in the enum's order.
inline constexpr std::array kPlacementRules = {
    PlacementRule::kHours,      PlacementRule::kTwoHour,    PlacementRule::kTeacherClash,
    PlacementRule::kDeniedSlot, PlacementRule::kSpread,     PlacementRule::kSplit,
    PlacementRule::kClassDay,   PlacementRule::kLastHours,  PlacementRule::kDayHours,
    PlacementRule::kSameHour,   PlacementRule::kFiveInARow, PlacementRule::kSingleRuns,
    PlacementRule::kJoint,      PlacementRule::kPositions,  PlacementRule::kPinned,
};

// The rule's Greek name, which begins every line that names a broken rule
// for the user: «πέντε ώρες στη σειρά», «καρφωμένο μάθημα».
std::string_view RuleTitle(PlacementRule rule);

// The rule's fixed English key, such as "five_in_a_row": what the tool adds
// in brackets at the end of its rule lines, for scripts.
std::string_view RuleKey(PlacementRule rule);

}  // namespace taktirio
