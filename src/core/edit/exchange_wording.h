#pragma once

#include <string>
#include <vector>

#include "core/edit/timetable_edit.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/solver_inputs.h"
#include "core/verify/page_verdict.h"

namespace taktirio {

// The editor's answer to a move in words, the same for the tool and the
// solution editor window: a headline, then one line per item.
struct ExchangeWording {
    std::string headline;
    std::vector<std::string> lines;
};

// An exchange that keeps every rule: «Η μετακίνηση γίνεται: αλλάζουν 3
// κελιά σε 2 τμήματα, κενά συνολικά 41 → 40.», then every cell it changes
// («Β1, Τετάρτη 2η ώρα: Χ → Ψ», a free cell «(κενό)») and the weekly gaps of
// every person whose lessons move («Κενά: Χ 3 → 2»). A refusal: «Η
// μετακίνηση δεν γίνεται χωρίς να παραβιαστεί κανόνας:», then what stands in
// the way (TimetableEditor::InTheWay), that the exchange would reach too many
// class sections, and the broken rules (ViolationLine, with `key`).
// `timetable` is the one the move was asked of.
ExchangeWording WordExchange(const TimetableEditor& editor, const SolverInputs& inputs,
                             const ByteMatrix& timetable, const MoveProposal& proposal,
                             RuleKeyShown key = RuleKeyShown::kNo);

// An applied move as undo and redo name it: «Α1: Δευτέρα 1η ώρα → Τρίτη 2η
// ώρα».
std::string MoveText(const SolverInputs& inputs, const MoveRequest& request);

}  // namespace taktirio
