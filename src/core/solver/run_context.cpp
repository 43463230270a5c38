#include "solver/run_context.h"

#include <chrono>
#include <ctime>

namespace taktirio {

void RuleTables::AddLastDay(std::uint8_t slot) {
    ++last_days_count;
    last_days.resize(last_days_count + 1u);
    last_days[last_days_count] = slot;
}

void RuleTables::AddDeniedSlot(std::uint8_t teacher, std::uint8_t slot) {
    ++deny_count;
    deny_list.push_back(teacher);
    deny_list.push_back(slot);
}

void RuleTables::AddSameHourPair(std::uint8_t first, std::uint8_t second) {
    ++same_hour_count;
    same_hour_pairs.push_back(first);
    same_hour_pairs.push_back(second);
}

void RuleTables::AddJointLesson(std::uint8_t class1, std::uint8_t class2, std::uint8_t teacher) {
    ++joint_count;
    joint_lessons.insert(joint_lessons.end(), {class1, class2, teacher});
}

void RuleTables::AddDeniedDays(std::uint8_t teacher, std::uint8_t days) {
    ++denied_days_count;
    denied_days.push_back(teacher);
    denied_days.push_back(days);
}

void RuleTables::AddSplitLesson(std::uint8_t class_section, std::uint8_t first,
                                std::uint8_t second) {
    ++split_count;
    split_lessons.insert(split_lessons.end(), {class_section, first, second});
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
