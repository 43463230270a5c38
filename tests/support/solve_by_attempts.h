#pragma once

#include <cstdint>
#include <optional>

#include "core/solver/findsolution.h"

namespace taktirio::testing {

// Makes attempts as a one-thread run does, all drawing from one random stream,
// until one completes; the completed timetable, or nothing after max_attempts.
// Prepares the context for the inputs first (throws ProblemError as a run would).
inline std::optional<ByteMatrix> SolveByAttempts(const SolverInputs& inputs, RunContext& context,
                                                 std::uint64_t seed, int max_attempts) {
    PrepareSearch(inputs, context);
    RandomStream random(seed);
    for (int attempt = 0; attempt < max_attempts; ++attempt) {
        Tfindsolution solver(context, random, inputs);
        if (solver.Search()) {
            return solver.timetable();
        }
    }
    return std::nullopt;
}

}  // namespace taktirio::testing
