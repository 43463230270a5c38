#pragma once

#include <functional>

namespace taktirio::data {

// Told after each step of a long operation that step `step` of `total` is
// done, so that a window can move its progress bar or the command-line tool
// print a line. An empty function reports nothing.
using StepProgress = std::function<void(int step, int total)>;

}  // namespace taktirio::data
