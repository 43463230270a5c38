#pragma once

#include <QString>

namespace taktirio::data {

// The free-text validator: no apostrophe, double quotation mark, percent sign
// or exclamation mark; and nothing that the windows-1253 solution pages cannot
// hold, nor control characters (a line break in a name would split a line of
// a page). The empty text is valid.
bool is_valid_input(const QString& text);

// True when the text is valid and holds something besides blanks: what makes
// a free-text box's insert button enabled.
bool IsAcceptableName(const QString& text);

// Day texts of the entry database: "Δευτέρα" … "Παρασκευή" for 1 … 5.
QString DayName(int day);
// 1 … 5 for a day name, 0 for anything else.
int DayNumber(const QString& name);
// "Τρίτη Ωρα 3" for day 2, hour 3.
QString DayHourText(int day, int hour);
// Day and hour of a day-and-hour text; false when the text is not one.
bool ParseDayHourText(const QString& text, int& day, int& hour);

}  // namespace taktirio::data
