#pragma once

#include "core/solver/run_context.h"

namespace taktirio {

// The strict option sets the exact search and the run under strict options
// are measured by: 0 last-hours 2 and no single-hour runs; 1 last-hours 2,
// day-hours 5 and no five hours in a row; 2 all of them.
inline RunOptions StrictOptions(int set) {
    RunOptions options;
    options.last_hours_limit_on = true;
    options.last_hours_limit = 2;
    if (set != 1) {
        options.no_single_hour_runs = true;
    }
    if (set != 0) {
        options.day_hours_limit_on = true;
        options.day_hours_limit = 5;
        options.four_hour_run_limit_on = true;
    }
    return options;
}

}  // namespace taktirio
