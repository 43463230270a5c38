#pragma once

#include "data/entry/session.h"
#include "data/load/problem_loader.h"

namespace taktirio::data {

// The logged-in school loaded exactly as a run loads it, for the commands
// that only read (the checks, verify): its working copy is prepared in a
// private database in memory and loaded from there. DATA.sqlite, which a run
// rewrites under the program directory's lock, is never opened, so a reader
// needs no lock and never changes a byte of it. Throws what
// PrepareWorkingCopy and LoadProblem throw (PreparationError,
// ProblemLoadError, DatabaseError).
LoadedProblem LoadSchoolForReading(const Session& entry);

}  // namespace taktirio::data
