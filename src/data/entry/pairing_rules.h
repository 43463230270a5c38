#pragma once

#include <QString>

#include "data/entry/session.h"

namespace taktirio::data {

// Rules about two class sections or two teachers. Each is stored as two rows,
// one in each order, in one transaction, and deleted as both. Inserts throw
// EntryRefusedError: the two members equal or missing, a teacher or class the
// pick lists do not offer, or a rule already held in either order.

// A teacher or pair who teaches two class sections at the same hours.
void InsertJoint(const Session& session, int class1_id, int teacher_id, int class2_id);
int DeleteJoint(const Session& session, int teacher_id, int class1_id, int class2_id);

// A lesson of one class section split between two teachers (or pairs).
void InsertSplit(const Session& session, int class_id, int teacher1_id, int teacher2_id);
int DeleteSplit(const Session& session, int class_id, int teacher1_id, int teacher2_id);

// Two teachers (or pairs) who never teach at the same hour.
void InsertApart(const Session& session, int teacher1_id, int teacher2_id);
int DeleteApart(const Session& session, int teacher1_id, int teacher2_id);

}  // namespace taktirio::data
