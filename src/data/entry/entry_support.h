#pragma once

// Helpers shared by the data-entry operations; not part of the layer's API.

#include <QString>
#include <QVariantList>

#include "data/entry/session.h"

namespace taktirio::data::detail {

// Throws EntryRefusedError with the windows' refusal text and `why`.
[[noreturn]] void Refuse(const QString& why);

// Runs an entry statement; a refusal by the database becomes EntryRefusedError.
// Returns the number of rows changed.
int RunEntry(const Session& session, const QString& sql, const QVariantList& values);

// A school's identifiers by name (first match); 0 when there is none.
int TeacherIdByName(const Session& session, const QString& name);
int ClassIdByName(const Session& session, const QString& name);

// Whether an identifier is offered by the pick lists: a class section of the
// school; a single teacher; a single teacher or a pair as shown.
bool IsClass(const Session& session, int class_id);
bool IsSingleTeacher(const Session& session, int teacher_id);
bool IsTeacherOrPair(const Session& session, int teacher_id);

// Refuses a day name that is not one of the five, and an hour text that is
// not 1 to 10; returns the day-and-hour text.
QString CheckedDayHour(const QString& day, const QString& hour);
QString CheckedDay(const QString& day);

}  // namespace taktirio::data::detail
