#pragma once

#include "core/run/run_engine.h"
#include "core/run/run_settings.h"
#include "data/entry/session.h"
#include "data/shell/startup.h"

namespace taktirio::cli {

// The second half of `check`, after the counts: loads the school as a run
// does (its working copy in memory; DATA.sqlite is left alone), then, under
// the run options of the command line, runs every counting check before a
// search (engines random or both) and the exact search's proof (exact or
// both). Prints every reason found and returns 1; prints that the data
// passed, or that a timetable exists, and returns 0; the proof that does not
// end within its budget says so and returns 0; 2 for option values out of
// range.
int CheckTimetablePossible(const data::Session& session, const RunSettings& settings,
                           SearchEngines engines);

}  // namespace taktirio::cli
