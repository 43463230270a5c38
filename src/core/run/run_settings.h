#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "solver/run_context.h"

namespace taktirio {

// The message shown when a run's numbers are not acceptable.
inline constexpr const char* kInvalidValuesMessage = "Μη αποδεκτές τιμές.";

// What the user chooses for a run, before it is turned into solver options.
struct RunSettings {
    int attempts_per_class = 2000;    // 1000 to 30000
    int solutions_requested = 1;      // 1 to 254
    int max_class_hours_per_day = 2;  // 2 or 3
    bool last_hours_limit_on = false;
    int last_hours_limit = 4;  // 1 to 4 while on
    bool day_hours_limit_on = false;
    int day_hours_limit = 7;  // 5 to 10 while on
    bool no_single_hour_runs = false;
    bool four_hour_run_limit_on = false;
    bool fewer_gaps = false;  // rework each timetable toward fewer teacher gaps
};

// True when every number lies in its range.
bool RunSettingsValid(const RunSettings& settings);

// The solver's options: a limit that is off is stored as its loosest value
// (5 last hours, 10 hours a day), as the search expects.
RunOptions ToRunOptions(const RunSettings& settings);

// The options of a run as they are kept beside its pages, so that the
// solution editor judges the pages under them: one "name=value" a line, the
// placement options and the fewer-gaps option (not the numbers of the run).
std::string KeptRunSettingsText(const RunSettings& settings);
// The options read back: a name not known is passed over; nothing when a
// value is not a whole number in its range or a line is not "name=value".
std::optional<RunSettings> ParseKeptRunSettings(std::string_view text);

// A whole decimal integer with nothing around it, or nothing.
std::optional<int> ParseWholeNumber(std::string_view text);

}  // namespace taktirio
