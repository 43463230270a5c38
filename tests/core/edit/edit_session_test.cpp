// The edit session on the timetables of generated schools: undo and redo give
// back exactly the timetables they passed through, a refused move changes
// nothing, and a proposal never outlives the options it was judged under.
#include "core/edit/edit_session.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/common/narrow.h"
#include "core/generator/school_generator.h"
#include "core/solver/slots.h"
#include "core/verify/page_verdict.h"
#include "support/every_rule_school.h"

namespace taktirio {
namespace {

GeneratedSchool SchoolUnder(const RunOptions& options, std::uint64_t seed) {
    return GenerateSchool(testing::EveryRuleSettings(8, seed, options));
}

// Moves of a lesson to another lesson's slot of its class section that
// `editor` answers as asked (keeping every rule or not) and `also` accepts:
// the first of each class section, up to `most`, so that each class section
// gives one.
template <typename Also>
std::vector<MoveRequest> Requests(const GeneratedSchool& school, const ByteMatrix& timetable,
                                  const TimetableEditor& editor, bool keeps_rules, Also also,
                                  std::size_t most) {
    const auto fits = [&](const MoveRequest& request) {
        return timetable(AsIndex(request.class_section), AsIndex(request.to_slot)) != 0 &&
               !RequestProblem(school.inputs, timetable, request) &&
               editor.Propose(timetable, request).keeps_rules == keeps_rules && also(request);
    };
    std::vector<MoveRequest> found;
    for (int c = 1; c <= school.inputs.number_of_classes && found.size() < most; ++c) {
        std::optional<MoveRequest> first;
        for (int from = 1; from <= kSlots && !first; ++from) {
            for (int to = 1; to <= kSlots && !first; ++to) {
                if (fits(MoveRequest{c, from, to})) {
                    first = MoveRequest{c, from, to};
                }
            }
        }
        if (first) {
            found.push_back(*first);
        }
    }
    return found;
}

std::vector<std::string> Lines(const std::vector<Violation>& violations) {
    std::vector<std::string> lines;
    for (const Violation& v : violations) {
        lines.push_back(Describe(v));
    }
    return lines;
}

const auto kAny = [](const MoveRequest&) { return true; };

TEST(EditSession, UndoAndRedoGiveBackExactlyTheTimetablesTheyPassedThrough) {
    const GeneratedSchool school = SchoolUnder(RunOptions{}, 11);
    EditSession session(school.inputs, school.rules, school.witness, school.options);
    ASSERT_TRUE(session.RulesHold());
    std::vector<ByteMatrix> passed{session.timetable()};
    std::vector<EditStep> steps;
    for (const MoveRequest& request :
         Requests(school, school.witness, session.editor(), true, kAny, 4)) {
        // Asked of the timetable as the steps before left it.
        if (session.Ask(request) || !session.proposal()->keeps_rules) {
            continue;
        }
        const std::optional<EditStep> step = session.Apply();
        ASSERT_TRUE(step.has_value());
        EXPECT_FALSE(session.proposal().has_value());
        steps.push_back(*step);
        passed.push_back(session.timetable());
    }
    ASSERT_GE(steps.size(), 2u);
    EXPECT_TRUE(session.Changed());

    for (std::size_t k = steps.size(); k > 0; --k) {
        const std::optional<EditStep> undone = session.Undo();
        ASSERT_TRUE(undone.has_value());
        EXPECT_EQ(undone->changes, steps[k - 1].changes);
        EXPECT_EQ(session.timetable(), passed[k - 1]) << "after undoing step " << k;
    }
    EXPECT_FALSE(session.Undo().has_value());
    EXPECT_FALSE(session.Changed());
    for (std::size_t k = 1; k <= steps.size(); ++k) {
        ASSERT_TRUE(session.Redo().has_value());
        EXPECT_EQ(session.timetable(), passed[k]) << "after redoing step " << k;
    }
    EXPECT_FALSE(session.Redo().has_value());

    // Saved after the first step: changed either side of it, and a new step
    // after undoing back past it leaves no way back to the saved timetable.
    while (session.CanUndo()) {
        session.Undo();
    }
    session.Redo();
    session.MarkSaved();
    EXPECT_FALSE(session.Changed());
    session.Redo();
    EXPECT_TRUE(session.Changed());
    session.Undo();
    EXPECT_FALSE(session.Changed());
    session.Undo();
    EXPECT_TRUE(session.Changed());
    ASSERT_EQ(session.timetable(), passed[0]);
    ASSERT_FALSE(session.Ask(steps[0].request));
    ASSERT_TRUE(session.proposal()->keeps_rules);
    ASSERT_TRUE(session.Apply().has_value());
    EXPECT_FALSE(session.CanRedo());
    session.Undo();
    EXPECT_EQ(session.timetable(), passed[0]);
    EXPECT_TRUE(session.Changed());
}

TEST(EditSession, ARefusedMoveOrAClickThatAsksNothingChangesNothing) {
    const GeneratedSchool school = SchoolUnder(RunOptions{}, 12);
    EditSession session(school.inputs, school.rules, school.witness, school.options);
    const std::vector<MoveRequest> refused =
        Requests(school, school.witness, session.editor(), false, kAny, 1);
    ASSERT_EQ(refused.size(), 1u);
    const MoveRequest request = refused.front();

    // Picked, then its cell asked for: refused, and Apply does nothing.
    EXPECT_EQ(session.Click(request.class_section, request.from_slot), PickOutcome::kPicked);
    EXPECT_EQ(session.PickedSlot(), request.from_slot);
    EXPECT_EQ(session.Click(request.class_section, request.to_slot), PickOutcome::kProposed);
    ASSERT_TRUE(session.proposal().has_value());
    EXPECT_FALSE(session.proposal()->keeps_rules);
    EXPECT_FALSE(session.ProposalWording().lines.empty());
    EXPECT_FALSE(session.Apply().has_value());
    EXPECT_EQ(session.timetable(), school.witness);
    EXPECT_FALSE(session.CanUndo());
    EXPECT_FALSE(session.Changed());

    // After an answer a click picks anew; the picked lesson again drops it.
    EXPECT_EQ(session.Click(request.class_section, request.from_slot), PickOutcome::kPicked);
    EXPECT_FALSE(session.proposal().has_value());
    EXPECT_EQ(session.Click(request.class_section, request.from_slot), PickOutcome::kUnpicked);
    EXPECT_FALSE(session.PickedSlot().has_value());

    // A cell without a lesson is no pick; a lesson asked to another hour of
    // its own teacher cannot be asked, worded as RequestProblem words it.
    const int c = request.class_section;
    const auto cell = [&](int s) { return school.witness(AsIndex(c), AsIndex(s)); };
    int free = 1;
    while (free <= kSlots && cell(free) != 0) {
        ++free;
    }
    ASSERT_LE(free, kSlots) << "a week without a free hour";
    EXPECT_EQ(session.Click(c, free), PickOutcome::kNoLesson);
    EXPECT_FALSE(session.PickedSlot().has_value());
    int same = 1;
    while (same <= kSlots && (same == request.from_slot || cell(same) != cell(request.from_slot))) {
        ++same;
    }
    ASSERT_LE(same, kSlots) << "a teacher with one hour in the class section";
    ASSERT_EQ(session.Click(c, request.from_slot), PickOutcome::kPicked);
    EXPECT_EQ(session.Click(c, same), PickOutcome::kNotAskable);
    EXPECT_EQ(session.problem(), RequestProblem(school.inputs, school.witness,
                                                MoveRequest{c, request.from_slot, same}));
    EXPECT_EQ(session.PickedSlot(), request.from_slot);  // still picked
    EXPECT_EQ(session.timetable(), school.witness);
}

// A move that keeps every rule under loose options and breaks one under
// stricter ones: once the options change, the proposal made under the loose
// ones is gone, Apply changes nothing, and asking again gives the strict
// answer.
TEST(EditSession, NewOptionsDropTheProposalAndTheMoveIsJudgedAgain) {
    RunOptions strict;
    strict.no_single_hour_runs = true;
    strict.four_hour_run_limit_on = true;
    strict.last_hours_limit_on = true;
    strict.last_hours_limit = 4;
    RunOptions loose;
    loose.max_class_hours_per_day = 3;
    const GeneratedSchool school = SchoolUnder(strict, 13);
    const TimetableEditor strict_editor(school.inputs, strict, school.rules);
    EditSession session(school.inputs, school.rules, school.witness, loose);
    ASSERT_TRUE(session.RulesHold());
    const std::vector<MoveRequest> found = Requests(
        school, school.witness, session.editor(), true,
        [&](const MoveRequest& r) { return !strict_editor.Propose(school.witness, r).keeps_rules; },
        1);
    ASSERT_EQ(found.size(), 1u) << "no move that only the loose options allow";
    const MoveRequest request = found.front();

    ASSERT_FALSE(session.Ask(request));
    ASSERT_TRUE(session.proposal()->keeps_rules);
    EXPECT_TRUE(session.SetOptions(strict).empty());
    EXPECT_TRUE(session.RulesHold());
    EXPECT_FALSE(session.proposal().has_value());
    EXPECT_FALSE(session.Apply().has_value());
    EXPECT_EQ(session.timetable(), school.witness);

    ASSERT_FALSE(session.Ask(request));
    EXPECT_FALSE(session.proposal()->keeps_rules);
    EXPECT_EQ(Lines(session.proposal()->blocking),
              Lines(strict_editor.Propose(school.witness, request).blocking));
    EXPECT_FALSE(session.Apply().has_value());
    EXPECT_EQ(session.timetable(), school.witness);
}

// Options under which the timetable itself breaks a rule: nothing is picked
// or asked, and the breaches are the two readings' joint verdict.
TEST(EditSession, UnderOptionsTheTimetableBreaksNothingIsEdited) {
    const GeneratedSchool school = SchoolUnder(RunOptions{}, 14);
    RunOptions tight;
    tight.day_hours_limit_on = true;
    tight.day_hours_limit = 5;
    tight.last_hours_limit_on = true;
    tight.last_hours_limit = 1;
    EditSession session(school.inputs, school.rules, school.witness, school.options);
    const std::vector<Violation>& broken = session.SetOptions(tight);
    ASSERT_FALSE(broken.empty()) << "the witness keeps even the tightest options";
    EXPECT_EQ(Lines(broken),
              Lines(BrokenInBothReadings(school.inputs, tight, school.rules, school.witness)));
    EXPECT_FALSE(session.RulesHold());
    for (int s = 1; s <= kSlots; ++s) {
        EXPECT_EQ(session.Click(1, s), PickOutcome::kIgnored);
    }
    EXPECT_TRUE(session.Ask(MoveRequest{1, 1, 2}).has_value());
    EXPECT_FALSE(session.proposal().has_value());
    EXPECT_TRUE(session.SetOptions(school.options).empty());
    EXPECT_TRUE(session.RulesHold());
}

}  // namespace
}  // namespace taktirio
