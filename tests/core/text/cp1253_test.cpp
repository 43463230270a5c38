#include "text/cp1253.h"

#include <gtest/gtest.h>

namespace taktirio {
namespace {

TEST(Cp1253, GreekRoundTripsByteForByte) {
    const std::string utf8 = "ΩΡΟΛΟΓΙΟ ΠΡΟΓΡΑΜΜΑ Λύση=1/2 Δευτέρα άέήίόύώ ϊϋΐΰ";
    const std::string bytes = Utf8ToCp1253(utf8);
    EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1253("Ω")[0]), 0xD9);
    EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1253("ά")[0]), 0xDC);
    EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1253("€")[0]), 0x80);
    EXPECT_EQ(Cp1253ToUtf8(bytes), utf8);
    EXPECT_EQ(Utf8ToCp1253("plain ascii\r\n"), "plain ascii\r\n");
}

TEST(Cp1253, EveryDefinedByteDecodesAndEncodesBack) {
    int undefined = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        try {
            EXPECT_EQ(Utf8ToCp1253(Cp1253ToUtf8(byte)), byte) << "byte " << b;
        } catch (const EncodingError&) {
            ++undefined;
        }
    }
    // 0x81 0x88 0x8A 0x8C-0x90 0x98 0x9A 0x9C-0x9F 0xAA 0xD2 0xFF have no character.
    EXPECT_EQ(undefined, 17);
}

TEST(Cp1253, RefusesWhatItCannotHoldNamingTheOffset) {
    struct Case {
        const char* text;
        std::size_t offset;
    };
    for (const Case& c : {Case{"ΑΒ中", 4}, Case{"Zoë", 2}, Case{"ok\xC3", 2}, Case{"Ш", 0}}) {
        try {
            Utf8ToCp1253(c.text);
            FAIL() << c.text << " was converted";
        } catch (const EncodingError& e) {
            EXPECT_EQ(e.offset(), c.offset) << c.text;
        }
        EXPECT_FALSE(FitsCp1253(c.text)) << c.text;
    }
    EXPECT_TRUE(FitsCp1253("ΝΙΚΟΛΑΟΥ+ΓΕΩΡΓΙΟΥ"));
    EXPECT_THROW(Cp1253ToUtf8("\xAA"), EncodingError);
}

}  // namespace
}  // namespace taktirio
