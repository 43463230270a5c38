// taktirio-cli easter run as a process: the date, and years it refuses.
#include <gtest/gtest.h>

#include "cli_support.h"

namespace taktirio::data::testing {
namespace {

TEST(CliEaster, PrintsTheGregorianDateOfTheOrthodoxEaster) {
    const std::pair<const char*, const char*> cases[] = {
        {"2025", "2025-04-20\n"}, {"1583", "1583-04-10\n"}, {"2100", "2100-05-02\n"}};
    for (const auto& [year, date] : cases) {
        const CliResult r = RunCli({QStringLiteral("easter"), QString::fromLatin1(year)});
        EXPECT_EQ(r.code, 0) << year;
        EXPECT_EQ(r.out, QString::fromLatin1(date)) << year;
    }
}

TEST(CliEaster, RefusesYearsOutsideTheCalendarAndNonNumbers) {
    for (const char* year : {"1582", "2101", "abc"}) {
        const CliResult r = RunCli({QStringLiteral("easter"), QString::fromLatin1(year)});
        EXPECT_EQ(r.code, 2) << year;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8("από 1583 έως 2100"))) << year;
        EXPECT_TRUE(r.out.isEmpty()) << year;
    }
    EXPECT_EQ(RunCli({QStringLiteral("easter")}).code, 2);
}

}  // namespace
}  // namespace taktirio::data::testing
