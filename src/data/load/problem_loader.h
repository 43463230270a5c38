#pragma once

#include <QSqlDatabase>
#include <QString>

#include "core/pages/solution_page_writer.h"
#include "core/solver/run_context.h"
#include "core/solver/search_evidence.h"
#include "core/solver/solver_inputs.h"
#include "data/database/errors.h"
#include "data/prepare/step_progress.h"

namespace taktirio::data {

// The steps LoadProblem reports through its progress function.
inline constexpr int kLoadingSteps = 17;

// A working copy that the solver cannot be given. `message()` is the run's
// "contradictory data" text followed by a line naming the item at fault.
class ProblemLoadError : public DataError {
  public:
    using DataError::DataError;
};

// One school's problem as a run needs it: the solver's inputs, the rule tables
// of the run context and what the page writer reads. Every array starts
// zeroed, so an entry no row writes is 0.
struct LoadedProblem {
    SolverInputs inputs;
    RuleTables rules;
    // school_name, user_name, single teachers, max_class_week_hours and the
    // deny hours are filled; program_directory is the caller's to set.
    SolutionPageInfo page_info;
    int solutions_requested = 1;  // the working copy's SCHOOLS row, 1..254
    // Which refused slots are absent days (the rest are free hours), so that
    // what the search saw names the rule the user entered.
    DeniedSlotRules denied_slots;
};

// Reads the school's working copy (built by PrepareWorkingCopy) from the
// working database, with bound values only. Throws ProblemLoadError before
// any search when the copy is missing or would put an index or counter out of
// its range: more than 255 class sections or teachers, identifiers that are
// not 1..count, a class section without allocation rows or above 50 weekly
// hours, an allocation row outside 0..50 hours, a slot outside 1..50, a
// second lesson pinned at one slot, more pinned lessons of a teacher in a
// class section than hours there, more than 255 joint or split entries, more
// than five absent days, an eighth-hour slot outside 36..40. DatabaseError
// when a statement fails. The result is meant for PrepareSearch, which checks
// the rest (hour balance, two-hour lessons, …).
LoadedProblem LoadProblem(const QSqlDatabase& working, const QString& school,
                          const StepProgress& progress = {});

}  // namespace taktirio::data
