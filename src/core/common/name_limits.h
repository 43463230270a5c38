#pragma once

namespace taktirio {

// Longest names, in characters (every accepted character is one windows-1253
// byte and one QChar, so QLineEdit::setMaxLength takes these as they are).
// The widest text a timetable cell shows is a teacher pair "A+B" in a class's
// timetable, or two class sections "A,B" of a joint lesson in a teacher's: a
// printed cell (one of five day columns across a landscape page, 8-point type)
// holds three lines of about 34 characters, so a cell's text is kept to 101
// characters, which makes 50 for a teacher and for a class section. The school
// name heads every page and printed table on one line of 100 characters; the
// person responsible is a person's name, like a teacher's.
//
// Every way in (the entry windows, registration, the import) refuses longer
// names, and the page readers refuse a page that holds one.
inline constexpr int kMaxCellTextLength = 101;
inline constexpr int kMaxTeacherNameLength = (kMaxCellTextLength - 1) / 2;
inline constexpr int kMaxClassNameLength = (kMaxCellTextLength - 1) / 2;
inline constexpr int kMaxPairNameLength = 2 * kMaxTeacherNameLength + 1;
inline constexpr int kMaxSchoolNameLength = 100;
inline constexpr int kMaxResponsibleNameLength = kMaxTeacherNameLength;

}  // namespace taktirio
