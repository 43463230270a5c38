#pragma once

#include <QString>

#include "data/entry/session.h"

namespace taktirio::data {

// The six counts that guard the way into a run.
struct PreSolveCounts {
    int classes_in_range = 0;  // classes whose weekly hours lie in 1..50
    int classes = 0;           // CLASSES rows
    int over_pinned = 0;       // (class, teacher) with more pins than single hours
    int unequal_pairs = 0;     // two-class entries whose hours differ between the classes
    int busiest = 0;           // weekly hours of the busiest class, 0 without rows
    int eight_hour_days = 0;   // LAST_DAYS rows
};

// Throws DatabaseError when one of the counts cannot be read; a failing
// busiest count is taken as 0.
PreSolveCounts ReadPreSolveCounts(const Session& session);

enum class DataProblem { kNone, kMessageA, kMessageB };

// The verdict on the counts: the eight-hour rule first, then missing classes,
// over-pinned lessons and unequal two-class hours (A), then classes whose
// hours are missing or above 50 (B).
DataProblem JudgeCounts(const PreSolveCounts& counts);

// The counts and the verdict in one call.
DataProblem CheckBeforeSolving(const Session& session);

// The error text for a problem; empty for kNone.
QString DataProblemMessage(DataProblem problem);

// Whether the window of days with an eighth hour may open: the busiest class
// has 36 to 39 weekly hours. A failing count counts as 0 (not allowed).
bool EightHourDaysAllowed(const Session& session);
inline constexpr char kEightHourDaysUnavailableMessage[] =
    "H ρύθμιση είναι διαθέσιμη αν τουλάχιστο ένα τμήμα έχει\rπερισσότερες από 35 ώρες "
    "διδασκαλίας την εβδομάδα και κανένα\rτμήμα δεν υπερβαίνει τις 39 ώρες διδασκαλίας την "
    "εβδομάδα.";

}  // namespace taktirio::data
