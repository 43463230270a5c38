#include "core/rules/placement_rule.h"

namespace taktirio {

std::string_view RuleTitle(PlacementRule rule) {
    switch (rule) {
        case PlacementRule::kHours:
            return "ώρες της εβδομάδας";
        case PlacementRule::kTwoHour:
            return "δίωρα";
        case PlacementRule::kTeacherClash:
            return "συγκρούσεις διδάσκοντα";
        case PlacementRule::kDeniedSlot:
            return "απαγορευμένη ώρα";
        case PlacementRule::kSpread:
            return "μία ώρα την ημέρα στο τμήμα";
        case PlacementRule::kSplit:
            return "χωρισμός μαθήματος";
        case PlacementRule::kClassDay:
            return "ώρες την ημέρα στο τμήμα";
        case PlacementRule::kLastHours:
            return "τελευταίες ώρες";
        case PlacementRule::kDayHours:
            return "ώρες την ημέρα";
        case PlacementRule::kSameHour:
            return "ποτέ την ίδια ώρα";
        case PlacementRule::kFiveInARow:
            return "πέντε ώρες στη σειρά";
        case PlacementRule::kSingleRuns:
            return "συνεχόμενα μονόωρα";
        case PlacementRule::kJoint:
            return "κοινό μάθημα";
        case PlacementRule::kPositions:
            return "ώρες του τμήματος";
        case PlacementRule::kPinned:
            return "καρφωμένο μάθημα";
    }
    return "κανόνας";
}

std::string_view RuleKey(PlacementRule rule) {
    switch (rule) {
        case PlacementRule::kHours:
            return "hours";
        case PlacementRule::kTwoHour:
            return "two_hour";
        case PlacementRule::kTeacherClash:
            return "teacher_clash";
        case PlacementRule::kDeniedSlot:
            return "denied_slot";
        case PlacementRule::kSpread:
            return "spread";
        case PlacementRule::kSplit:
            return "split";
        case PlacementRule::kClassDay:
            return "class_day";
        case PlacementRule::kLastHours:
            return "last_hours";
        case PlacementRule::kDayHours:
            return "day_hours";
        case PlacementRule::kSameHour:
            return "same_hour";
        case PlacementRule::kFiveInARow:
            return "five_in_a_row";
        case PlacementRule::kSingleRuns:
            return "single_runs";
        case PlacementRule::kJoint:
            return "joint";
        case PlacementRule::kPositions:
            return "positions";
        case PlacementRule::kPinned:
            return "pinned";
    }
    return "unknown";
}

}  // namespace taktirio
