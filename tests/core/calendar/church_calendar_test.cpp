#include "core/calendar/church_calendar.h"

#include <gtest/gtest.h>

#include <string>

namespace taktirio::core {
namespace {

struct EasterCase {
    int year;
    CivilDate easter;
};

// Orthodox Easter Sundays in the Gregorian calendar, from church tables and an
// independent implementation, spread over every century of the range.
const EasterCase kEasters[] = {
    {1583, {1583, 4, 10}}, {1600, {1600, 4, 2}},  {1700, {1700, 4, 11}}, {1753, {1753, 4, 22}},
    {1800, {1800, 4, 20}}, {1821, {1821, 4, 22}}, {1899, {1899, 4, 30}}, {1900, {1900, 4, 22}},
    {1941, {1941, 4, 20}}, {2000, {2000, 4, 30}}, {2010, {2010, 4, 4}},  {2024, {2024, 5, 5}},
    {2025, {2025, 4, 20}}, {2026, {2026, 4, 12}}, {2077, {2077, 4, 18}}, {2099, {2099, 4, 12}},
    {2100, {2100, 5, 2}},
};

class OrthodoxEasterTest : public testing::TestWithParam<EasterCase> {};

TEST_P(OrthodoxEasterTest, GivesTheGregorianDateOfTheChurchTables) {
    const EasterCase& c = GetParam();
    const std::optional<CivilDate> easter = OrthodoxEaster(c.year);
    ASSERT_TRUE(easter.has_value());
    EXPECT_EQ(*easter, c.easter);
}

INSTANTIATE_TEST_SUITE_P(Years, OrthodoxEasterTest, testing::ValuesIn(kEasters),
                         [](const testing::TestParamInfo<EasterCase>& param) {
                             return std::to_string(param.param.year);
                         });

// 1 January 1970 was a Thursday, so a day number d is a Sunday when (d + 4) is
// a multiple of 7.
bool IsSunday(const CivilDate& date) {
    return (DayNumber(date) + 4) % 7 == 0;
}

TEST(OrthodoxEaster, IsASundayFromTheFirstOfAprilToTheEighthOfMayEveryYear) {
    for (int year = kFirstEasterYear; year <= kLastEasterYear; ++year) {
        const std::optional<CivilDate> easter = OrthodoxEaster(year);
        ASSERT_TRUE(easter.has_value()) << year;
        EXPECT_TRUE(IsSunday(*easter)) << year;
        EXPECT_GE(*easter, (CivilDate{year, 4, 1})) << year;
        EXPECT_LE(*easter, (CivilDate{year, 5, 8})) << year;
        // The Julian date is a Sunday of the Julian calendar: the Gregorian
        // date lies exactly the calendar difference later.
        EXPECT_EQ(DayNumber(*easter) - DayNumber(JulianEaster(year)),
                  JulianGregorianDifference(year))
            << year;
    }
}

TEST(OrthodoxEaster, HasNoDateOutsideTheRange) {
    for (const int year : {1, 1582, 2101, 3000}) {
        EXPECT_FALSE(OrthodoxEaster(year).has_value()) << year;
        EXPECT_EQ(EasterText(year), "") << year;
    }
}

TEST(JulianGregorianDifference, GrowsInTheCenturyYearsThatAreNotGregorianLeapYears) {
    const std::pair<int, int> cases[] = {{1583, 10}, {1699, 10}, {1700, 11}, {1799, 11},
                                         {1800, 12}, {1899, 12}, {1900, 13}, {2000, 13},
                                         {2099, 13}, {2100, 14}};
    for (const auto& [year, days] : cases) {
        EXPECT_EQ(JulianGregorianDifference(year), days) << year;
    }
}

TEST(EasterText, NamesTheDayAndTheMonthAsTheWindowShowsThem) {
    const std::pair<int, const char*> cases[] = {
        {2000, "είναι 30 Απριλίου"}, {2024, "είναι 5 Μαϊου"},     {2025, "είναι 20 Απριλίου"},
        {2100, "είναι 2 Μαϊου"},     {1583, "είναι 10 Απριλίου"},
    };
    for (const auto& [year, text] : cases) {
        EXPECT_EQ(EasterText(year), text) << year;
    }
}

struct DaysCase {
    const char* name;
    CivilDate from;
    CivilDate to;
    std::int64_t days;
    const char* text;
};

const DaysCase kDays[] = {
    {"SchoolYear2024", {2024, 9, 1}, {2025, 6, 30}, 302, "Αριθμός ημερών=302"},
    {"SchoolYearWithLeapDay", {2023, 9, 1}, {2024, 6, 30}, 303, "Αριθμός ημερών=303"},
    {"OneDay", {2024, 12, 31}, {2025, 1, 1}, 1, "Αριθμός ημερών=1"},
    {"CenturyNotLeap", {1900, 2, 28}, {1900, 3, 1}, 1, "Αριθμός ημερών=1"},
    {"FourHundredLeap", {2000, 2, 28}, {2000, 3, 1}, 2, "Αριθμός ημερών=2"},
    {"BeforeTheEpoch", {1583, 1, 1}, {1970, 1, 1}, 141349, "Αριθμός ημερών=141349"},
    {"EqualDates", {2025, 5, 5}, {2025, 5, 5}, 0, ""},
    {"FromAfterTo", {2025, 6, 30}, {2024, 9, 1}, -302, ""},
};

class DaysBetweenTest : public testing::TestWithParam<DaysCase> {};

TEST_P(DaysBetweenTest, CountsWholeDaysAndShowsOnlyForwardSpans) {
    const DaysCase& c = GetParam();
    EXPECT_EQ(DaysBetween(c.from, c.to), c.days);
    EXPECT_EQ(DaysBetweenText(c.from, c.to), c.text);
}

INSTANTIATE_TEST_SUITE_P(Spans, DaysBetweenTest, testing::ValuesIn(kDays),
                         [](const testing::TestParamInfo<DaysCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(DayNumber, RoundTripsEveryDayOfTheRange) {
    for (std::int64_t d = DayNumber({1583, 1, 1}); d <= DayNumber({2100, 12, 31}); ++d) {
        const CivilDate date = DateFromDayNumber(d);
        ASSERT_EQ(DayNumber(date), d);
        ASSERT_GE(date.day, 1);
        ASSERT_LE(date.day, 31);
    }
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(DateFromDayNumber(-1), (CivilDate{1969, 12, 31}));
}

}  // namespace
}  // namespace taktirio::core
