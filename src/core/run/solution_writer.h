#pragma once

#include <span>
#include <string_view>

#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// One timetable a run has claimed as its next solution, with the school it
// belongs to: all a writer needs for its page, whichever engine completed it.
struct ClaimedSolution {
    const SolverInputs& inputs;                  // names, counts and weekly hours
    std::span<const JointLesson> joint_lessons;  // shown in both class sections
    const ByteMatrix& timetable;                 // [class][slot] = teacher, 0 free
    int number = 1;                              // 1 to `requested`
    int requested = 1;
    std::string_view time_text;  // since the solution before, "h:m:s:ms"
};

// Receives each solution of a run; the solution page writer is one
// implementation, tests and benchmarks use recording stand-ins. Called with
// the run's claim lock held, so solutions are written one at a time and in
// the order of their numbers.
class SolutionWriter {
  public:
    virtual ~SolutionWriter() = default;
    virtual void WriteSolution(const ClaimedSolution& solution) = 0;
};

}  // namespace taktirio
