#pragma once

#include <QString>

#include "data/entry/session.h"
#include "data/entry/validation.h"

namespace taktirio::data {

// The allocation window's spin boxes and the class total they are checked
// against: single hours 0 to 15, double hours 0 to 10 a week, and at most 50
// hours a week in a class section (ten on each of five days).
inline constexpr int kMaxSingleHours = 15;
inline constexpr int kMaxDoubleHours = 10;
inline constexpr int kMaxClassWeeklyHours = kMaxHoursPerDay * kDaysPerWeek;

// A class section's weekly total: the sum of single hours plus twice the
// double hours over its allocation rows; 0 without rows.
int ClassTotal(const Session& session, int class_id);

// `singles` single-hour and `doubles` double-hour lessons a week of a teacher
// or pair in a class section. Refused: singles outside 0..15, doubles outside
// 0..10, both 0, a class total that would pass 50, a teacher or class that the
// pick lists do not offer, a second row for the same teacher and class.
void InsertAllocation(const Session& session, int class_id, int teacher_id, int singles,
                      int doubles);

// Removes the class's rows of the teacher (or pair) with those hours.
int DeleteAllocation(const Session& session, int class_id, int teacher_id, int singles,
                     int doubles);

}  // namespace taktirio::data
