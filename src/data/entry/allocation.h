#pragma once

#include <QString>

#include "entry/session.h"

namespace taktirio::data {

// A class section's weekly total: the sum of single hours plus twice the
// double hours over its allocation rows; 0 without rows.
int ClassTotal(const Session& session, int class_id);

// `singles` single-hour and `doubles` double-hour lessons a week of a teacher
// or pair in a class section. Refused: singles outside 0..15, doubles outside
// 0..10, both 0, a class total that would pass 50, a teacher or class that the
// pick lists do not offer, a second row for the same teacher and class.
void InsertAllocation(const Session& session, int class_id, int teacher_id, int singles,
                      int doubles);

// Removes the class's row of the named teacher with those hours.
int DeleteAllocation(const Session& session, int class_id, const QString& teacher_name, int singles,
                     int doubles);

}  // namespace taktirio::data
