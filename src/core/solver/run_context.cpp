#include "core/solver/run_context.h"

#include <chrono>
#include <ctime>

namespace taktirio {

void RuleTables::AddLastDay(std::uint8_t slot) {
    eighth_hour_slots_.push_back(slot);
}

void RuleTables::AddDeniedSlot(std::uint8_t teacher, std::uint8_t slot) {
    denied_slots_.push_back({teacher, slot});
}

void RuleTables::AddSameHourPair(std::uint8_t first, std::uint8_t second) {
    same_hour_pairs_.push_back({first, second});
}

void RuleTables::AddJointLesson(std::uint8_t class1, std::uint8_t class2, std::uint8_t teacher) {
    joint_lessons_.push_back({class1, class2, teacher});
}

void RuleTables::AddDeniedDays(std::uint8_t teacher, std::uint8_t days) {
    absent_days_.push_back({teacher, days});
}

void RuleTables::AddSplitLesson(std::uint8_t class_section, std::uint8_t first,
                                std::uint8_t second) {
    splits_.push_back({class_section, first, second});
}

double TimeOfDayNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const double day_millis =
        ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec) * 1000.0 +
        static_cast<double>(millis);
    return day_millis / 86400000.0;
}

}  // namespace taktirio
