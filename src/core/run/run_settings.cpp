#include "run/run_settings.h"

#include <charconv>

namespace taktirio {

bool RunSettingsValid(const RunSettings& s) {
    const auto within = [](int v, int low, int high) { return v >= low && v <= high; };
    return within(s.attempts_per_class, 1000, 30000) && within(s.solutions_requested, 1, 254) &&
           within(s.max_class_hours_per_day, 2, 3) &&
           (!s.last_hours_limit_on || within(s.last_hours_limit, 1, 4)) &&
           (!s.day_hours_limit_on || within(s.day_hours_limit, 5, 10));
}

RunOptions ToRunOptions(const RunSettings& s) {
    RunOptions options;
    options.attempts_per_class = s.attempts_per_class;
    options.max_class_hours_per_day = static_cast<std::uint8_t>(s.max_class_hours_per_day);
    options.last_hours_limit_on = s.last_hours_limit_on;
    options.last_hours_limit =
        static_cast<std::uint8_t>(s.last_hours_limit_on ? s.last_hours_limit : 5);
    options.day_hours_limit_on = s.day_hours_limit_on;
    options.day_hours_limit =
        static_cast<std::uint8_t>(s.day_hours_limit_on ? s.day_hours_limit : 10);
    options.no_single_hour_runs = s.no_single_hour_runs;
    options.four_hour_run_limit_on = s.four_hour_run_limit_on;
    options.fewer_gaps = s.fewer_gaps;
    return options;
}

std::optional<int> ParseWholeNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace taktirio
