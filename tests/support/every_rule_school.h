#pragma once

#include <algorithm>
#include <cstdint>

#include "core/generator/school_generator.h"

namespace taktirio::testing {

// A typical school's settings with at least some of every kind of rule the
// generator can draw, so that each rule has something to refuse.
inline SchoolSettings EveryRuleSettings(int classes, std::uint64_t seed,
                                        const RunOptions& options) {
    SchoolSettings settings = TypicalSchool(classes, seed);
    settings.options = options;
    settings.pairs = std::max(settings.pairs, 2);
    settings.joint = std::max(settings.joint, 1);
    settings.split = std::max(settings.split, 1);
    settings.apart = std::max(settings.apart, 2);
    settings.pinned = std::max(settings.pinned, 3);
    settings.free_hours = std::max(settings.free_hours, 4);
    settings.absences = std::max(settings.absences, 2);
    return settings;
}

}  // namespace taktirio::testing
