#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/solver/run_context.h"

namespace taktirio {

// The message shown when a run's numbers are not acceptable.
inline constexpr const char* kInvalidValuesMessage = "Μη αποδεκτές τιμές.";

// The lowest and highest value a number of the run may take.
struct SettingRange {
    int low;
    int high;
    constexpr bool Holds(int value) const { return value >= low && value <= high; }
};

// The ranges RunSettingsValid checks; the windows' controls take theirs from
// here, so that a control never offers a value the run refuses.
inline constexpr SettingRange kAttemptsPerClassRange{1000, 30000};
inline constexpr SettingRange kSolutionsRequestedRange{1, 254};
inline constexpr SettingRange kClassHoursPerDayRange{2, 3};
inline constexpr SettingRange kLastHoursLimitRange{1, 4};  // while the limit is on
inline constexpr SettingRange kDayHoursLimitRange{5, 10};  // while the limit is on

// A limit that is off, as the search expects it: its loosest value.
inline constexpr int kLastHoursLimitOff = 5;
inline constexpr int kDayHoursLimitOff = 10;

// What the user chooses for a run, before it is turned into solver options.
struct RunSettings {
    int attempts_per_class = 2000;
    int solutions_requested = 1;
    int max_class_hours_per_day = 2;
    bool last_hours_limit_on = false;
    int last_hours_limit = 4;
    bool day_hours_limit_on = false;
    int day_hours_limit = 7;
    bool no_single_hour_runs = false;
    bool four_hour_run_limit_on = false;
    bool fewer_gaps = false;  // rework each timetable toward fewer teacher gaps
};

// True when every number lies in its range.
bool RunSettingsValid(const RunSettings& settings);

// The solver's options: a limit that is off is stored as its loosest value
// (kLastHoursLimitOff, kDayHoursLimitOff), as the search expects.
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
