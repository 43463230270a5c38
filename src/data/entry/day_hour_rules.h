#pragma once

#include <QString>

#include "data/entry/session.h"

namespace taktirio::data {

// Days with an eighth hour, pinned lessons, absent days and free hours. Days
// are the entry texts "Δευτέρα" … "Παρασκευή", hours the texts "1" … "10", as
// the drop-down lists give them. Inserts throw EntryRefusedError.

// The weekly hours of the busiest class section; 0 without allocation rows.
int BusiestClassHours(const Session& session);
// The eighth-hour window's label: how many days must be declared.
QString RequiredEighthHourDaysText(const Session& session);

void InsertEighthHourDay(const Session& session, const QString& day);
int DeleteEighthHourDay(const Session& session, const QString& day);

// A teacher or pair pinned in a class section at a day and hour; refused when
// any choice is missing or the class already has a lesson pinned there.
void InsertPinned(const Session& session, int class_id, int teacher_id, const QString& day,
                  const QString& hour);
int DeletePinned(const Session& session, int class_id, int teacher_id, const QString& day_hour);

// A single teacher's absent day.
void InsertAbsentDay(const Session& session, int teacher_id, const QString& day);
int DeleteAbsentDay(const Session& session, int teacher_id, const QString& day);

// A single teacher's free hour.
void InsertFreeHour(const Session& session, int teacher_id, const QString& day,
                    const QString& hour);
int DeleteFreeHour(const Session& session, int teacher_id, const QString& day_hour);

}  // namespace taktirio::data
