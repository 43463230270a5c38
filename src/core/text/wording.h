#pragma once

#include <string>

#include "solver/solver_inputs.h"

namespace taktirio {

// How the program's messages name a slot, a class section and a teacher: the
// checks before a search, the run's messages and the page verdict all say
// them the same way.

// "Τρίτη 3η ώρα".
std::string SlotName(int slot);

// The class section's name, or "τμήμα N" for a number the inputs do not name.
std::string ClassName(const SolverInputs& inputs, int class_section);

// The teacher's name, or "διδάσκων N" for a number the inputs do not name.
std::string TeacherName(const SolverInputs& inputs, int teacher);

}  // namespace taktirio
