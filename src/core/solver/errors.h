#pragma once

#include <stdexcept>
#include <string>

namespace taktirio {

// The message a run shows when its data cannot be solved as given.
inline constexpr const char* kContradictoryDataMessage =
    "Τα δεδομένα είναι αντιφατικά.\rΈλεγξε τα δεδομένα και ξαναδοκίμασε.";

// Raised during a search when an index or counter leaves its range: the inputs
// broke an invariant that the checks before the search could not see. Ends the run.
class ContradictoryDataError : public std::runtime_error {
  public:
    explicit ContradictoryDataError(const std::string& detail) : std::runtime_error(detail) {}
};

// Raised before a search starts when the problem's inputs break an invariant;
// the message names the class section, teacher or slot at fault.
class ProblemError : public std::runtime_error {
  public:
    explicit ProblemError(const std::string& detail) : std::runtime_error(detail) {}
};

}  // namespace taktirio
