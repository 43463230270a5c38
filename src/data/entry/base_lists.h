#pragma once

#include <QString>

#include "data/entry/session.h"

namespace taktirio::data {

// Most class sections, and most teachers counting each pair once, that a school
// may hold: the solver numbers them in bytes.
inline constexpr int kMaxClasses = 255;
inline constexpr int kMaxTeachers = 255;

// Classes, teaching staff and teacher pairs. Inserts throw EntryRefusedError
// (nothing stored) when their checks or the database refuse the entry; deletes
// return the number of rows removed.

// A class section named by the trimmed text, an acceptable name of at most
// kMaxClassNameLength characters; unique in the school.
void InsertClass(const Session& session, const QString& text);
// Removes the class section and, in the same transaction, every allocation
// and rule row that refers to it.
int DeleteClass(const Session& session, int class_id);

// A single teacher named by the trimmed text, an acceptable name of at most
// kMaxTeacherNameLength characters; unique, without "+".
void InsertTeacher(const Session& session, const QString& text);
// Removes the single teacher, both stored rows of every pair the teacher
// belongs to (the name split at its first "+", each part trimmed, equal to
// the teacher's), and every allocation and rule row of them, in one
// transaction. An identifier that is not a single teacher removes nothing.
int DeleteTeacher(const Session& session, int teacher_id);

// A pair of two different single teachers, stored as "first+second" and
// "second+first" in one transaction.
void InsertPair(const Session& session, const QString& first, const QString& second);
// Removes both stored orders of the pair whose row `pair_id` is (either one),
// and the rows that refer to either, in one transaction.
int DeletePair(const Session& session, int pair_id);

// The trimmed parts of a pair's name before and after its first "+"; without
// one, the whole trimmed name and an empty second part.
void PairMemberNames(const QString& pair_name, QString& first, QString& second);

}  // namespace taktirio::data
