#pragma once

#include "entry/session.h"
#include "run/run_settings.h"
#include "shell/startup.h"

namespace taktirio::cli {

// The second half of `check`, after the counts: prepares a scratch working
// copy (DATA.sqlite is left alone) and loads the school as a run does, then runs every check before
// a search under the run options of the command line. Prints every reason found and returns 1, or
// prints that the data passed and returns 0; 2 for option values out of range.
int CheckTimetablePossible(const data::Session& session, const RunSettings& settings);

}  // namespace taktirio::cli
