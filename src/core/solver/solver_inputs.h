#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/solver/byte_matrix.h"

namespace taktirio {

// The eleven inputs a solver object is created from, as the loader delivers
// them. One-dimensional arrays and the name lists have an unused entry 0.
struct SolverInputs {
    std::uint8_t number_of_classes = 0;
    std::uint8_t number_of_teachers = 0;
    std::vector<std::string> class_names;           // [0..C]
    std::vector<std::string> teacher_names;         // [0..T]
    std::vector<std::uint8_t> class_hours;          // [0..C] hour positions walked
    std::vector<std::uint8_t> class_teacher_count;  // [0..C]
    std::vector<std::uint8_t> class_week_hours;     // [0..C]
    ByteMatrix class_teachers;                      // [C+1][T+1]
    ByteMatrix teacher_class_hours;                 // [T+1][C+1] hours less pinned ones
    ByteMatrix pinned_lessons;                      // [C+1][51]
    ByteMatrix two_hour_lessons;                    // [C+1][T+1]

    // Empty inputs sized for C class sections and T teachers.
    static SolverInputs Sized(int classes, int teachers);
};

}  // namespace taktirio
