#pragma once

#include <QString>

#include "core/common/name_limits.h"

namespace taktirio::data {

// Longest names, in characters: the limits every way in and the page
// readers share (common/name_limits.h).
using taktirio::kMaxCellTextLength;
using taktirio::kMaxClassNameLength;
using taktirio::kMaxPairNameLength;
using taktirio::kMaxResponsibleNameLength;
using taktirio::kMaxSchoolNameLength;
using taktirio::kMaxTeacherNameLength;

// The school week the day and hour drop-down lists offer: days 1 to 5
// ("Δευτέρα" … "Παρασκευή") and hours 1 to 10.
inline constexpr int kDaysPerWeek = 5;
inline constexpr int kMaxHoursPerDay = 10;

// The free-text validator: no apostrophe, double quotation mark, percent sign
// or exclamation mark; and nothing that the solution pages cannot carry back:
// no "<" (the page's readers take a name up to the next one), no character
// that windows-1253 cannot hold or gives back as another, no control
// character (a line break in a name would split a line of a page), nor half
// of a UTF-16 surrogate pair (the database would store it as bytes that are
// not UTF-8). The empty text is valid.
bool is_valid_input(const QString& text);

// True when the text is valid and holds something besides blanks: what makes
// a free-text box's insert button enabled.
bool IsAcceptableName(const QString& text);
// The same, and at most `max_length` characters: what every operation that
// stores a name checks.
bool IsAcceptableName(const QString& text, int max_length);

// Whether a stored name, as it is (already trimmed), is one that entry,
// registration and import accept, and so one that every page and print can
// carry: a class section (not "K.KENH", the mark the prints give a common free
// hour, which would make a lesson of that class section read as a free hour);
// a single teacher (no "+", the mark of a pair); a pair "A+B" of two such
// names; the school and the person responsible.
bool IsAcceptableClassName(const QString& name);
bool IsAcceptableTeacherName(const QString& name);
bool IsAcceptablePairName(const QString& name);
bool IsAcceptableSchoolName(const QString& name);
bool IsAcceptableResponsibleName(const QString& name);

// Day texts of the entry database: "Δευτέρα" … "Παρασκευή" for 1 … 5.
QString DayName(int day);
// 1 … 5 for a day name, 0 for anything else.
int DayNumber(const QString& name);
// "Τρίτη Ωρα 3" for day 2, hour 3.
QString DayHourText(int day, int hour);
// Day and hour of a day-and-hour text; false when the text is not one.
bool ParseDayHourText(const QString& text, int& day, int& hour);

}  // namespace taktirio::data
