#include "core/solver/solver_inputs.h"

#include "core/solver/slots.h"

namespace taktirio {

SolverInputs SolverInputs::Sized(int classes, int teachers) {
    const auto c = static_cast<std::size_t>(classes) + 1;
    const auto t = static_cast<std::size_t>(teachers) + 1;
    SolverInputs in;
    in.number_of_classes = static_cast<std::uint8_t>(classes);
    in.number_of_teachers = static_cast<std::uint8_t>(teachers);
    in.class_names.assign(c, std::string());
    in.teacher_names.assign(t, std::string());
    in.class_hours.assign(c, 0);
    in.class_teacher_count.assign(c, 0);
    in.class_week_hours.assign(c, 0);
    in.class_teachers = ByteMatrix(c, t);
    in.teacher_class_hours = ByteMatrix(t, c);
    in.pinned_lessons = ByteMatrix(c, kSlotColumns);
    in.two_hour_lessons = ByteMatrix(c, t);
    return in;
}

}  // namespace taktirio
