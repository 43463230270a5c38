#include "core/edit/edit_session.h"

#include <utility>

#include "core/common/narrow.h"
#include "core/solver/slots.h"
#include "core/verify/page_verdict.h"

namespace taktirio {

EditSession::EditSession(const SolverInputs& inputs, const RuleTables& rules, ByteMatrix timetable,
                         const RunOptions& options)
    : inputs_(inputs), rules_(rules), timetable_(std::move(timetable)) {
    SetOptions(options);
}

const std::vector<Violation>& EditSession::SetOptions(const RunOptions& options) {
    Cancel();
    editor_.emplace(inputs_, options, rules_);
    rules_hold_ = false;
    broken_.clear();  // a judge that throws leaves nothing of the old options
    broken_ = BrokenInBothReadings(inputs_, options, rules_, timetable_);
    rules_hold_ = broken_.empty();
    return broken_;
}

PickOutcome EditSession::Click(int class_section, int slot) {
    if (!rules_hold_) {
        return PickOutcome::kIgnored;
    }
    const bool picked_here = picked_slot_ && request_ && request_->class_section == class_section;
    if (!picked_here || proposal_) {
        Cancel();
        const bool in_week =
            class_section >= 1 && class_section <= inputs_.number_of_classes && IsSlot(slot);
        if (!in_week || timetable_(AsIndex(class_section), AsIndex(slot)) == 0) {
            return PickOutcome::kNoLesson;
        }
        picked_slot_ = slot;
        request_ = MoveRequest{class_section, slot, slot};
        return PickOutcome::kPicked;
    }
    if (slot == *picked_slot_) {
        picked_slot_.reset();
        request_.reset();
        return PickOutcome::kUnpicked;
    }
    if (auto problem = Ask(MoveRequest{class_section, *picked_slot_, slot})) {
        problem_ = std::move(*problem);
        return PickOutcome::kNotAskable;
    }
    return PickOutcome::kProposed;
}

std::optional<std::string> EditSession::Ask(const MoveRequest& request) {
    proposal_.reset();
    request_ = request;
    if (!rules_hold_) {
        return std::string(kBrokenUnderOptionsMessage) + ".";
    }
    if (auto problem = RequestProblem(inputs_, timetable_, request)) {
        return problem;
    }
    proposal_ = editor_->Propose(timetable_, request);
    return std::nullopt;
}

ExchangeWording EditSession::ProposalWording(RuleKeyShown key) const {
    return WordExchange(*editor_, inputs_, timetable_, proposal_.value(), key);
}

void EditSession::Cancel() {
    picked_slot_.reset();
    proposal_.reset();
}

std::optional<EditStep> EditSession::Apply() {
    if (!proposal_ || !proposal_->keeps_rules || !request_) {
        return std::nullopt;
    }
    EditStep step{*request_, std::move(proposal_->changes)};
    Cancel();
    ApplyChanges(timetable_, step.changes);
    steps_.resize(done_);
    if (saved_ && *saved_ > done_) {
        saved_.reset();
    }
    steps_.push_back(step);
    ++done_;
    return step;
}

std::optional<EditStep> EditSession::Undo() {
    if (!CanUndo()) {
        return std::nullopt;
    }
    Cancel();
    const EditStep& step = steps_[--done_];
    RevertChanges(timetable_, step.changes);
    return step;
}

std::optional<EditStep> EditSession::Redo() {
    if (!CanRedo()) {
        return std::nullopt;
    }
    Cancel();
    const EditStep& step = steps_[done_++];
    ApplyChanges(timetable_, step.changes);
    return step;
}

}  // namespace taktirio
