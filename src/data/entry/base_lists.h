#pragma once

#include <QString>

#include "entry/session.h"

namespace taktirio::data {

// Classes, teaching staff and teacher pairs. Inserts throw EntryRefusedError
// (nothing stored) when their checks or the database refuse the entry; deletes
// return the number of rows removed.

// A class section named by the trimmed text, an acceptable name of at most
// kMaxClassNameLength characters; unique in the school.
void InsertClass(const Session& session, const QString& text);
// Removes the class section and, in the same transaction, every allocation
// and rule row that refers to it.
int DeleteClass(const Session& session, const QString& class_name);

// A single teacher named by the trimmed text, an acceptable name of at most
// kMaxTeacherNameLength characters; unique, without "+".
void InsertTeacher(const Session& session, const QString& text);
// Removes the teacher, both stored rows of every pair the teacher belongs to
// (the name split at its first "+", each part trimmed, equal to the teacher's),
// and every allocation and rule row of them, in one transaction.
int DeleteTeacher(const Session& session, const QString& teacher_name);

// A pair of two different single teachers, stored as "first+second" and
// "second+first" in one transaction.
void InsertPair(const Session& session, const QString& first, const QString& second);
// Removes both stored orders of the pair as listed, and the rows that refer to
// either, in one transaction.
int DeletePair(const Session& session, const QString& pair_name);

// The trimmed parts of a pair's name before and after its first "+"; without
// one, the whole trimmed name and an empty second part.
void PairMemberNames(const QString& pair_name, QString& first, QString& second);

}  // namespace taktirio::data
