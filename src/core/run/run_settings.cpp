#include "core/run/run_settings.h"

#include <charconv>

namespace taktirio {

bool RunSettingsValid(const RunSettings& s) {
    return kAttemptsPerClassRange.Holds(s.attempts_per_class) &&
           kSolutionsRequestedRange.Holds(s.solutions_requested) &&
           kClassHoursPerDayRange.Holds(s.max_class_hours_per_day) &&
           (!s.last_hours_limit_on || kLastHoursLimitRange.Holds(s.last_hours_limit)) &&
           (!s.day_hours_limit_on || kDayHoursLimitRange.Holds(s.day_hours_limit));
}

RunOptions ToRunOptions(const RunSettings& s) {
    RunOptions options;
    options.attempts_per_class = s.attempts_per_class;
    options.max_class_hours_per_day = static_cast<std::uint8_t>(s.max_class_hours_per_day);
    options.last_hours_limit_on = s.last_hours_limit_on;
    options.last_hours_limit =
        static_cast<std::uint8_t>(s.last_hours_limit_on ? s.last_hours_limit : kLastHoursLimitOff);
    options.day_hours_limit_on = s.day_hours_limit_on;
    options.day_hours_limit =
        static_cast<std::uint8_t>(s.day_hours_limit_on ? s.day_hours_limit : kDayHoursLimitOff);
    options.no_single_hour_runs = s.no_single_hour_runs;
    options.four_hour_run_limit_on = s.four_hour_run_limit_on;
    options.fewer_gaps = s.fewer_gaps;
    return options;
}

namespace {

// The kept options by name, each read and written through its field.
struct KeptField {
    const char* name;
    int RunSettings::*number;
    bool RunSettings::*flag;
};

constexpr KeptField kKeptFields[] = {
    {"max_class_hours_per_day", &RunSettings::max_class_hours_per_day, nullptr},
    {"last_hours_limit_on", nullptr, &RunSettings::last_hours_limit_on},
    {"last_hours_limit", &RunSettings::last_hours_limit, nullptr},
    {"day_hours_limit_on", nullptr, &RunSettings::day_hours_limit_on},
    {"day_hours_limit", &RunSettings::day_hours_limit, nullptr},
    {"no_single_hour_runs", nullptr, &RunSettings::no_single_hour_runs},
    {"four_hour_run_limit_on", nullptr, &RunSettings::four_hour_run_limit_on},
    {"fewer_gaps", nullptr, &RunSettings::fewer_gaps},
};

}  // namespace

std::string KeptRunSettingsText(const RunSettings& settings) {
    std::string text;
    for (const KeptField& field : kKeptFields) {
        const int value =
            field.number != nullptr ? settings.*field.number : (settings.*field.flag ? 1 : 0);
        text += std::string(field.name) + "=" + std::to_string(value) + "\n";
    }
    return text;
}

std::optional<RunSettings> ParseKeptRunSettings(std::string_view text) {
    RunSettings settings;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty()) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<int> value = ParseWholeNumber(line.substr(equals + 1));
        if (!value) {
            return std::nullopt;
        }
        for (const KeptField& field : kKeptFields) {
            if (line.substr(0, equals) != field.name) {
                continue;
            }
            if (field.number != nullptr) {
                settings.*field.number = *value;
            } else if (*value == 0 || *value == 1) {
                settings.*field.flag = *value == 1;
            } else {
                return std::nullopt;
            }
        }
    }
    if (!RunSettingsValid(settings)) {
        return std::nullopt;
    }
    return settings;
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
