#include "core/calendar/church_calendar.h"

namespace taktirio::core {

namespace {

// Floor division for the day-number arithmetic, whose operands may be negative.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return (a >= 0 ? a : a - b + 1) / b;
}

}  // namespace

CivilDate JulianEaster(int year) {
    const int a = year % 4;
    const int b = year % 7;
    const int c = year % 19;
    // Days from 21 March to the paschal full moon, then on to the next Sunday.
    const int d = (19 * c + 15) % 30;
    const int e = (2 * a + 4 * b - d + 34) % 7;
    const int month = (d + e + 114) / 31;
    const int day = (d + e + 114) % 31 + 1;
    return {year, month, day};
}

int JulianGregorianDifference(int year) {
    const int century = year / 100;
    return century - century / 4 - 2;
}

std::optional<CivilDate> OrthodoxEaster(int year) {
    if (year < kFirstEasterYear || year > kLastEasterYear) {
        return std::nullopt;
    }
    // Easter falls between March and May, after the Julian 29 February of a
    // century year, so the difference of that year is the one in force.
    const CivilDate julian = JulianEaster(year);
    const std::int64_t gregorian_day_of_julian_date = DayNumber(julian);
    return DateFromDayNumber(gregorian_day_of_julian_date + JulianGregorianDifference(year));
}

std::int64_t DayNumber(const CivilDate& date) {
    // Years counted from March, so that the leap day ends a year.
    const std::int64_t y = date.month <= 2 ? date.year - 1 : date.year;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t year_of_era = y - era * 400;
    const std::int64_t month_from_march = date.month > 2 ? date.month - 3 : date.month + 9;
    const std::int64_t day_of_year = (153 * month_from_march + 2) / 5 + date.day - 1;
    const std::int64_t day_of_era =
        year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

CivilDate DateFromDayNumber(std::int64_t days) {
    const std::int64_t z = days + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t day_of_era = z - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t month_from_march = (5 * day_of_year + 2) / 153;
    const std::int64_t day = day_of_year - (153 * month_from_march + 2) / 5 + 1;
    const std::int64_t month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;
    const std::int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
    return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

std::int64_t DaysBetween(const CivilDate& from, const CivilDate& to) {
    return DayNumber(to) - DayNumber(from);
}

std::string EasterText(int year) {
    const std::optional<CivilDate> easter = OrthodoxEaster(year);
    if (!easter) {
        return {};
    }
    // Within the range Easter falls from 1 April to 8 May. The month name is
    // written with a diaeresis and no accent, as the program always showed it.
    const char* month = easter->month == 4 ? " Απριλίου" : " Μαϊου";
    return "είναι " + std::to_string(easter->day) + month;
}

std::string DaysBetweenText(const CivilDate& from, const CivilDate& to) {
    if (from >= to) {
        return {};
    }
    return "Αριθμός ημερών=" + std::to_string(DaysBetween(from, to));
}

}  // namespace taktirio::core
