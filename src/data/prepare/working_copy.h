#pragma once

#include <QSqlDatabase>
#include <QString>

#include "data/database/errors.h"
#include "data/entry/session.h"
#include "data/prepare/step_progress.h"

namespace taktirio::data {

// The steps PrepareWorkingCopy reports through its progress function.
inline constexpr int kPreparationSteps = 16;

// Entry data that cannot be turned into a working copy. `message()` is the
// run's "contradictory data" text followed by a line naming the item at fault;
// nothing was changed in the working database.
class PreparationError : public DataError {
  public:
    using DataError::DataError;
};

// Rebuilds the logged-in school's working copy in `working` (a database of
// the same design, normally DATA.sqlite) from the entry database of `entry`:
//   - class sections numbered 1..C in entry order, single teachers 1..k by
//     their entry identifier, then the pairs k+1.. in one orientation each;
//   - allocation rows with HOURS = single + 2 x double hours;
//   - pinned lessons and free hours as slot numbers with "ΜΕΡΑ=… ΩΡΑ=…" texts,
//     absent days as the ten slot rows of the day;
//   - a teacher's absent days and free hours also bind every pair whose name,
//     split at its first "+", has the teacher's name as its first or second
//     trimmed part (exact names, never a part of a longer name);
//   - apart rows the user entered (SET_FROM_HUMAN 1), and derived ones
//     (SET_FROM_HUMAN 0): each pair against each of its members, and each
//     unordered couple of pairs sharing a member once, the earlier pair first;
//   - eighth-hour slots 35 + day, only when the busiest class section has 36
//     to 39 weekly hours.
// The entry database is read inside one read transaction, so the copy is one
// consistent state of it. Everything happens in one transaction of the working
// database: on any failure, or an exception from `progress` (a run being
// interrupted), the previous working copy is left exactly as it was. Throws
// PreparationError for more than 255 class sections or teachers, an hour
// total outside 0..255, a reference to a class section or teacher the school
// does not have, an unknown day or day-and-hour text, or a school that is not
// registered; DatabaseError when a statement fails.
void PrepareWorkingCopy(const Session& entry, const QSqlDatabase& working,
                        const StepProgress& progress = {});

// The slot ((hour - 1) x 5 + day) and the working text ("ΜΕΡΑ=ΤΡΙΤΗ ΩΡΑ=3") of
// an entry day-and-hour text ("Τρίτη Ωρα 3"); false when it is not one.
bool SlotOfHourText(const QString& text, int& slot, QString& working_text);

}  // namespace taktirio::data
