// One vocabulary of rules: every kind of the verifier, the checks before a
// search, the search and the exact search's proofs names a placement rule,
// and every placement rule has its own Greek name and key.
#include "core/rules/placement_rule.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/exact/timetable_encoding.h"
#include "core/feasibility/feasibility.h"
#include "core/solver/search_evidence.h"
#include "core/verify/timetable_verifier.h"

namespace taktirio::testing {
namespace {

using R = PlacementRule;

// Each table lists every kind of its enum, in the enum's order, with the
// rule it is meant to name; the count of the enum's kinds is checked by its
// last kind, so a kind added at the end without a row fails here.
TEST(PlacementRule, EveryKindOfEveryPartNamesItsRule) {
    const std::vector<std::pair<VerifyRule, R>> verify = {
        {VerifyRule::kHours, R::kHours},
        {VerifyRule::kTwoHour, R::kTwoHour},
        {VerifyRule::kTeacherClash, R::kTeacherClash},
        {VerifyRule::kDeniedSlot, R::kDeniedSlot},
        {VerifyRule::kSpread, R::kSpread},
        {VerifyRule::kSplit, R::kSplit},
        {VerifyRule::kClassDay, R::kClassDay},
        {VerifyRule::kLastHours, R::kLastHours},
        {VerifyRule::kDayHours, R::kDayHours},
        {VerifyRule::kSameHour, R::kSameHour},
        {VerifyRule::kFiveInARow, R::kFiveInARow},
        {VerifyRule::kSingleRuns, R::kSingleRuns},
        {VerifyRule::kJoint, R::kJoint},
        {VerifyRule::kPositions, R::kPositions},
        {VerifyRule::kPinned, R::kPinned},
    };
    ASSERT_EQ(verify.size(), static_cast<std::size_t>(VerifyRule::kPinned) + 1);
    for (std::size_t i = 0; i < verify.size(); ++i) {
        const auto [kind, rule] = verify[i];
        EXPECT_EQ(static_cast<std::size_t>(kind), i);
        EXPECT_EQ(PlacementRuleOf(kind), rule) << RuleName(kind);
        EXPECT_EQ(RuleName(kind), RuleKey(rule));
    }

    // The data's own faults are no rule.
    const std::vector<std::pair<FeasibilityRule, std::optional<R>>> checks = {
        {FeasibilityRule::kInvalidData, std::nullopt},
        {FeasibilityRule::kPinnedClash, R::kTeacherClash},
        {FeasibilityRule::kPinnedDenied, R::kDeniedSlot},
        {FeasibilityRule::kTeacherWeek, R::kHours},
        {FeasibilityRule::kTeacherDayHours, R::kDayHours},
        {FeasibilityRule::kClassDay, R::kClassDay},
        {FeasibilityRule::kSpread, R::kSpread},
        {FeasibilityRule::kTwoHour, R::kTwoHour},
        {FeasibilityRule::kJointDays, R::kJoint},
        {FeasibilityRule::kJointTwoHour, R::kJoint},
        {FeasibilityRule::kSplit, R::kSplit},
        {FeasibilityRule::kLastHours, R::kLastHours},
        {FeasibilityRule::kApart, R::kSameHour},
        {FeasibilityRule::kSlotCover, R::kPositions},
    };
    ASSERT_EQ(checks.size(), static_cast<std::size_t>(FeasibilityRule::kSlotCover) + 1);
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const auto [kind, rule] = checks[i];
        EXPECT_EQ(static_cast<std::size_t>(kind), i);
        EXPECT_EQ(PlacementRuleOf(kind), rule) << "check " << i;
    }

    // A placed lesson refuses nothing.
    const std::vector<std::pair<Refusal, std::optional<R>>> refusals = {
        {Refusal::kPlaced, std::nullopt},           {Refusal::kNoRoomForSecond, R::kTwoHour},
        {Refusal::kTeacherBusy, R::kTeacherClash},  {Refusal::kSpreadOverDays, R::kSpread},
        {Refusal::kSplitSameDay, R::kSplit},        {Refusal::kClassDayFull, R::kClassDay},
        {Refusal::kSingleHourRun, R::kSingleRuns},  {Refusal::kSlotDenied, R::kDeniedSlot},
        {Refusal::kLastHoursFull, R::kLastHours},   {Refusal::kDayHoursFull, R::kDayHours},
        {Refusal::kSameHourConflict, R::kSameHour}, {Refusal::kTooManyInARow, R::kFiveInARow},
    };
    ASSERT_EQ(refusals.size(), kRefusalKinds);
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        const auto [kind, rule] = refusals[i];
        EXPECT_EQ(static_cast<std::size_t>(kind), i);
        EXPECT_EQ(PlacementRuleOf(kind), rule) << "refusal " << i;
    }

    using Kind = exact::RuleGroup::Kind;
    const std::vector<std::pair<Kind, R>> groups = {
        {Kind::kDayAllowance, R::kClassDay}, {Kind::kLastHours, R::kLastHours},
        {Kind::kDayHours, R::kDayHours},     {Kind::kSingleRuns, R::kSingleRuns},
        {Kind::kFiveInARow, R::kFiveInARow}, {Kind::kAbsentDays, R::kDeniedSlot},
        {Kind::kFreeHours, R::kDeniedSlot},  {Kind::kApart, R::kSameHour},
        {Kind::kJoint, R::kJoint},           {Kind::kSplit, R::kSplit},
    };
    ASSERT_EQ(groups.size(), static_cast<std::size_t>(Kind::kSplit) + 1);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const auto [kind, rule] = groups[i];
        EXPECT_EQ(static_cast<std::size_t>(kind), i);
        EXPECT_EQ(exact::PlacementRuleOf(kind), rule) << "group " << i;
    }
}

// The verifier judges every rule the others name, each under a kind of its own.
TEST(PlacementRule, EveryRuleHasItsOwnGreekNameAndKeyAndAVerifierKind) {
    ASSERT_EQ(kPlacementRules.size(), static_cast<std::size_t>(R::kPinned) + 1);
    std::set<std::string> titles;
    std::set<std::string> keys;
    std::set<R> judged;
    for (std::size_t i = 0; i < kPlacementRules.size(); ++i) {
        const R rule = kPlacementRules[i];
        EXPECT_EQ(static_cast<std::size_t>(rule), i);
        const std::string title(RuleTitle(rule));
        const std::string key(RuleKey(rule));
        EXPECT_FALSE(title.empty()) << key;
        EXPECT_FALSE(key.empty()) << title;
        // Greek for the user: no Latin letter; the key is plain lower case.
        EXPECT_EQ(title.find_first_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"),
                  std::string::npos)
            << title;
        EXPECT_EQ(key.find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string::npos) << key;
        titles.insert(title);
        keys.insert(key);
        judged.insert(PlacementRuleOf(static_cast<VerifyRule>(i)));
    }
    EXPECT_EQ(titles.size(), kPlacementRules.size());
    EXPECT_EQ(keys.size(), kPlacementRules.size());
    EXPECT_EQ(judged.size(), kPlacementRules.size());
}

}  // namespace
}  // namespace taktirio::testing
