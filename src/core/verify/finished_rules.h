#pragma once

// Part of the timetable verifier: the per-lesson rules read on a finished
// timetable, where no placement order is known. Only the verifier uses it.

#include <utility>
#include <vector>

#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"
#include "core/verify/timetable_verifier.h"

namespace taktirio::verify_detail {

// The final table as the verifier has read and classified it.
struct FinalTable {
    const SolverInputs& inputs;
    const RunOptions& options;
    const RuleTables& rules;
    const ByteMatrix& cells;            // [class][slot], teacher numbers within range
    const std::vector<bool>& searched;  // [class * 51 + slot]: neither pinned nor a joint copy
    const std::vector<std::vector<std::pair<int, int>>>& positions;  // [class] = (position, slot)
};

// Appends to `found` every breach of the rules judged lesson by lesson: hour
// positions, two-hour lessons and the one-hour lessons they leave, clashes,
// refused slots, same-hour pairs, split lessons and the day, week and row
// limits. Each searched cell is judged against every cell of the final table.
void JudgeFinishedTable(const FinalTable& table, std::vector<Violation>& found);

}  // namespace taktirio::verify_detail
