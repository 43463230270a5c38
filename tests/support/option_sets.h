#pragma once

#include <vector>

#include "core/solver/run_context.h"

namespace taktirio::testing {

// A named set of run options under which generated schools are solved.
struct OptionSet {
    const char* name;
    RunOptions options;
};

// The defaults, each limit on its own, and every limit at once.
inline std::vector<OptionSet> OptionSets() {
    std::vector<OptionSet> sets(6);
    sets[0].name = "defaults";
    sets[1].name = "last_hours_4";
    sets[1].options.last_hours_limit_on = true;
    sets[1].options.last_hours_limit = 4;
    sets[2].name = "day_hours_7";
    sets[2].options.day_hours_limit_on = true;
    sets[2].options.day_hours_limit = 7;
    sets[3].name = "no_single_runs";
    sets[3].options.no_single_hour_runs = true;
    sets[4].name = "five_in_a_row";
    sets[4].options.four_hour_run_limit_on = true;
    sets[5].name = "all_three_a_day";
    sets[5].options.max_class_hours_per_day = 3;
    sets[5].options.last_hours_limit_on = true;
    sets[5].options.last_hours_limit = 4;
    sets[5].options.day_hours_limit_on = true;
    sets[5].options.day_hours_limit = 7;
    sets[5].options.four_hour_run_limit_on = true;
    return sets;
}

}  // namespace taktirio::testing
