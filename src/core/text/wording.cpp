#include "core/text/wording.h"

#include <vector>

#include "core/solver/slots.h"

namespace taktirio {

namespace {

std::string NameOf(const std::vector<std::string>& names, int number, const char* kind) {
    if (number >= 1 && static_cast<std::size_t>(number) < names.size() &&
        !names[static_cast<std::size_t>(number)].empty()) {
        return names[static_cast<std::size_t>(number)];
    }
    return std::string(kind) + " " + std::to_string(number);
}

}  // namespace

std::string SlotName(int slot) {
    return std::string(kDayNames[static_cast<std::size_t>(DayOfSlot(slot))]) + " " +
           std::to_string(HourOfSlot(slot)) + "η ώρα";
}

std::string CountOf(long long count, std::string_view one, std::string_view many) {
    std::string text = std::to_string(count);
    text += ' ';
    text += count == 1 ? one : many;
    return text;
}

std::string ClassName(const SolverInputs& inputs, int class_section) {
    return NameOf(inputs.class_names, class_section, "τμήμα");
}

std::string TeacherName(const SolverInputs& inputs, int teacher) {
    return NameOf(inputs.teacher_names, teacher, "διδάσκων");
}

}  // namespace taktirio
