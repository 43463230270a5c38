#include "core/solver/search_evidence.h"

#include <algorithm>

#include "core/common/narrow.h"

namespace taktirio {

std::optional<PlacementRule> PlacementRuleOf(Refusal refusal) {
    switch (refusal) {
        case Refusal::kPlaced:
            return std::nullopt;
        case Refusal::kNoRoomForSecond:
            return PlacementRule::kTwoHour;
        case Refusal::kTeacherBusy:
            return PlacementRule::kTeacherClash;
        case Refusal::kSpreadOverDays:
            return PlacementRule::kSpread;
        case Refusal::kSplitSameDay:
            return PlacementRule::kSplit;
        case Refusal::kClassDayFull:
            return PlacementRule::kClassDay;
        case Refusal::kSingleHourRun:
            return PlacementRule::kSingleRuns;
        case Refusal::kSlotDenied:
            return PlacementRule::kDeniedSlot;
        case Refusal::kLastHoursFull:
            return PlacementRule::kLastHours;
        case Refusal::kDayHoursFull:
            return PlacementRule::kDayHours;
        case Refusal::kSameHourConflict:
            return PlacementRule::kSameHour;
        case Refusal::kTooManyInARow:
            return PlacementRule::kFiveInARow;
    }
    return std::nullopt;
}

namespace {

void AddInto(std::vector<std::int64_t>& into, const std::vector<std::int64_t>& from) {
    if (into.size() < from.size()) {
        into.resize(from.size(), 0);
    }
    for (std::size_t i = 0; i < from.size(); ++i) {
        into[i] += from[i];
    }
}

}  // namespace

SearchEvidence SearchEvidence::Sized(int classes, int teachers) {
    SearchEvidence evidence;
    evidence.teacher_refusals.assign(AsIndex(teachers) + 1, 0);
    evidence.class_failures.assign(AsIndex(classes) + 1, 0);
    evidence.joint_refusals.assign(AsIndex(classes) + 1, 0);
    evidence.attempts_ended.assign(AsIndex(classes) + 1, 0);
    evidence.denied_slot_refusals.assign((AsIndex(teachers) + 1) * kSlotColumns, 0);
    return evidence;
}

void SearchEvidence::Merge(const SearchEvidence& other) {
    attempts += other.attempts;
    draws += other.draws;
    for (std::size_t k = 0; k < kRefusalKinds; ++k) {
        refusals[k] += other.refusals[k];
    }
    AddInto(teacher_refusals, other.teacher_refusals);
    AddInto(class_failures, other.class_failures);
    AddInto(joint_refusals, other.joint_refusals);
    AddInto(attempts_ended, other.attempts_ended);
    AddInto(denied_slot_refusals, other.denied_slot_refusals);
    if (other.deepest_class != 0) {
        Reached(other.deepest_class, other.deepest_position, other.deepest_slot);
    }
}

void DeniedSlotRules::AddAbsentDay(int teachers, int t, int day) {
    absent_day.resize((AsIndex(teachers) + 1) * kSlotColumns, 0);
    for (int s = day; s <= kSlots; s += kDays) {
        absent_day[AsIndex(t) * kSlotColumns + AsIndex(s)] = 1;
    }
}

}  // namespace taktirio
