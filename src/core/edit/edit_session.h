#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/edit/exchange_wording.h"
#include "core/edit/timetable_edit.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"
#include "core/verify/timetable_verifier.h"

namespace taktirio {

// What the user is told when the timetable breaks a rule under the options
// set, and so is not edited; the breaches follow it (after a colon).
inline constexpr char kBrokenUnderOptionsMessage[] =
    "Με αυτές τις επιλογές η λύση παραβιάζει κανόνες και δεν διορθώνεται";

// One applied exchange: the request it answered and the cells it changed, as
// undo takes it back and redo makes it again.
struct EditStep {
    MoveRequest request;
    std::vector<CellChange> changes;
};

// What a click on a cell of a class section's week did.
enum class PickOutcome {
    kIgnored,     // the timetable breaks a rule under the options: no edit
    kNoLesson,    // a first click on a cell without a lesson
    kPicked,      // the lesson of the cell is picked, to be moved
    kUnpicked,    // the picked lesson clicked again: the pick is dropped
    kNotAskable,  // the move cannot be asked (RequestProblem, in `problem`)
    kProposed,    // the move was asked: proposal() holds the answer
};

// Hand changes to one timetable, pick by pick: the timetable as edited so
// far, the lesson picked, the exchange proposed for it, and the exchanges
// applied, to be undone and redone. Every proposal is the editor's under the
// options the session holds; new options drop the pick and the proposal, so
// that nothing judged under other options is ever applied. The solution
// editor window shows a session; `move` asks one request of it.
class EditSession {
  public:
    // `inputs` and `rules` are the school's and outlive the session. The
    // timetable is judged under `options` at once (RulesHold).
    // std::invalid_argument as VerifyTimetable.
    EditSession(const SolverInputs& inputs, const RuleTables& rules, ByteMatrix timetable,
                const RunOptions& options);

    const ByteMatrix& timetable() const { return timetable_; }
    const RunOptions& options() const { return editor_->options(); }
    const TimetableEditor& editor() const { return *editor_; }

    // Judges the timetable again under `options` and drops the pick and the
    // proposal. Returns what the timetable breaks under them, read both
    // ways (BrokenInBothReadings); while it breaks anything, nothing is
    // picked or asked. std::invalid_argument as VerifyTimetable, and the
    // timetable is then taken to break the rules.
    const std::vector<Violation>& SetOptions(const RunOptions& options);
    bool RulesHold() const { return rules_hold_; }
    const std::vector<Violation>& Broken() const { return broken_; }

    // A click on a cell: with no lesson picked in that class section, or
    // with a proposal on show, it picks the cell's lesson; on the picked
    // lesson it drops the pick; on any other cell of its class section it
    // asks for the move there.
    PickOutcome Click(int class_section, int slot);
    // The move asked directly: nothing when asked, and proposal() holds the
    // answer; else why it cannot be asked (RequestProblem, or the rules the
    // timetable breaks under the options), and the proposal is dropped.
    std::optional<std::string> Ask(const MoveRequest& request);
    // Why the last click could not ask its move (kNotAskable).
    const std::string& problem() const { return problem_; }

    // The picked lesson's slot, while one waits for the cell it goes to.
    std::optional<int> PickedSlot() const { return picked_slot_; }
    // The last move asked, or the pick as a request to its own slot.
    const std::optional<MoveRequest>& request() const { return request_; }
    const std::optional<MoveProposal>& proposal() const { return proposal_; }
    // The proposal in words (WordExchange); only while there is one.
    ExchangeWording ProposalWording(RuleKeyShown key = RuleKeyShown::kNo) const;

    // Drops the pick (another class section on show); the proposal stays.
    void DropPick() { picked_slot_.reset(); }
    // Drops the pick and the proposal.
    void Cancel();

    // Makes the proposal that keeps every rule and returns it as a step;
    // nothing, and nothing changed, without one. Steps undone are dropped.
    std::optional<EditStep> Apply();
    // Takes the last step back, or makes the last one undone again; returns
    // it, or nothing when there is none. The pick and the proposal drop.
    std::optional<EditStep> Undo();
    std::optional<EditStep> Redo();
    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }

    // Whether the timetable differs from the last one marked saved (at first
    // the one the session began with) by the steps between them.
    bool Changed() const { return !saved_ || *saved_ != done_; }
    void MarkSaved() { saved_ = done_; }

  private:
    const SolverInputs& inputs_;
    const RuleTables& rules_;
    ByteMatrix timetable_;
    std::optional<TimetableEditor> editor_;  // made anew for new options
    bool rules_hold_ = false;
    std::vector<Violation> broken_;
    std::optional<int> picked_slot_;
    std::optional<MoveRequest> request_;
    std::optional<MoveProposal> proposal_;
    std::string problem_;
    std::vector<EditStep> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) are made
    // done_ when last saved; nothing once the steps that led there are gone.
    std::optional<std::size_t> saved_ = 0;
};

}  // namespace taktirio
