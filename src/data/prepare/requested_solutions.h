#pragma once

#include "data/entry/session.h"

namespace taktirio::data {

// How many timetables one run may look for.
inline constexpr int kMinSolutionsRequested = 1;
inline constexpr int kMaxSolutionsRequested = 254;

// Stores the number of solutions a run looks for in the school's SCHOOLS row
// of the entry database. Throws EntryRefusedError for a number outside 1..254
// (nothing stored) and DatabaseError when the school has no row or the
// database refuses the update.
void StoreRequestedSolutions(const Session& session, int solutions);

// The number stored in the school's SCHOOLS row; DatabaseError when the
// school has no row.
int StoredRequestedSolutions(const Session& session);

}  // namespace taktirio::data
