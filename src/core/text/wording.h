#pragma once

#include <concepts>
#include <string>
#include <string_view>

#include "core/solver/solver_inputs.h"

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

// A count and its noun, the noun agreeing with the number: "1 μάθημα",
// "2 μαθήματα", "0 μαθήματα". Every text built at run time that shows a
// count names it this way.
std::string CountOf(long long count, std::string_view one, std::string_view many);
template <std::integral N>
std::string CountOf(N count, std::string_view one, std::string_view many) {
    return CountOf(static_cast<long long>(count), one, many);
}

}  // namespace taktirio
