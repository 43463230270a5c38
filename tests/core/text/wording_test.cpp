// A count and its noun: the noun agrees with the number, one alone taking the
// singular, for every integer type a message counts in.
#include "core/text/wording.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace taktirio {
namespace {

struct CountCase {
    long long count;
    const char* one;
    const char* many;
    const char* expected;
};

TEST(CountOf, TheNounAgreesWithTheNumber) {
    const CountCase cases[] = {
        {1, "μάθημα", "μαθήματα", "1 μάθημα"},
        {2, "μάθημα", "μαθήματα", "2 μαθήματα"},
        {0, "δίωρο", "δίωρα", "0 δίωρα"},
        {1, "τμήμα", "τμήματα", "1 τμήμα"},
        {11, "τμήμα", "τμήματα", "11 τμήματα"},
        {1, "σελίδα", "σελίδες", "1 σελίδα"},
        {21, "σελίδα", "σελίδες", "21 σελίδες"},
        {1, "μάθημα τελευταίας ώρας", "μαθήματα τελευταίας ώρας", "1 μάθημα τελευταίας ώρας"},
    };
    for (const CountCase& c : cases) {
        EXPECT_EQ(CountOf(c.count, c.one, c.many), c.expected) << c.count << " " << c.many;
    }
    // The same from the integer types the messages hold their counts in.
    EXPECT_EQ(CountOf(std::size_t{1}, "λύση", "λύσεις"), "1 λύση");
    EXPECT_EQ(CountOf(std::size_t{254}, "λύση", "λύσεις"), "254 λύσεις");
    EXPECT_EQ(CountOf(1, "ώρα", "ώρες"), "1 ώρα");
    EXPECT_EQ(CountOf(static_cast<unsigned char>(1), "ώρα", "ώρες"), "1 ώρα");
}

}  // namespace
}  // namespace taktirio
