#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace taktirio::core {

// A day of the proleptic Gregorian calendar.
struct CivilDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    friend auto operator<=>(const CivilDate&, const CivilDate&) = default;
};

// The years for which the church calendar gives an Easter date.
inline constexpr int kFirstEasterYear = 1583;
inline constexpr int kLastEasterYear = 2100;

// The Orthodox Easter Sunday of `year` in the Julian calendar: month and day
// by the Julian computus (paschal full moon from the 19-year lunar cycle,
// then the following Sunday).
CivilDate JulianEaster(int year);

// How many days the Gregorian calendar runs ahead of the Julian one from
// March of `year` on (10 in 1583, 13 from 1900 to 2099, 14 in 2100). Valid
// for years from 1583; the difference grows in each century year that is a
// Julian but not a Gregorian leap year, at the Julian 29 February.
int JulianGregorianDifference(int year);

// The Orthodox Easter Sunday of `year` in the Gregorian calendar, or nothing
// outside kFirstEasterYear..kLastEasterYear.
std::optional<CivilDate> OrthodoxEaster(int year);

// Days since 1 January 1970 of the proleptic Gregorian calendar.
std::int64_t DayNumber(const CivilDate& date);
CivilDate DateFromDayNumber(std::int64_t days);

// Whole days from `from` to `to`; negative when `to` comes first.
std::int64_t DaysBetween(const CivilDate& from, const CivilDate& to);

// The calendar window's texts (UTF-8). The Easter text reads
// "είναι 30 Απριλίου" or "είναι 5 Μαϊου"; empty outside the range.
std::string EasterText(int year);
// "Αριθμός ημερών=302" when `from` comes before `to`; empty otherwise.
std::string DaysBetweenText(const CivilDate& from, const CivilDate& to);

}  // namespace taktirio::core
