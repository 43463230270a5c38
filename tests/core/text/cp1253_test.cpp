#include "core/text/cp1253.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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
    // The converter drops the tag characters (U+E0000 to U+E007F) silently.
    for (const Case& c : {Case{"ΑΒ中", 4}, Case{"Zoë", 2}, Case{"ok\xC3", 2}, Case{"Ш", 0},
                          Case{"Α\xF3\xA0\x81\x81"
                               "1",
                               2},
                          Case{"\xF3\xA0\x80\x81", 0}}) {
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

std::string Utf8Of(char32_t c) {
    std::string text;
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

// What a page holds reads back as it was: a character that fits is one byte
// that decodes to that character and no other (no look-alike such as a
// full-width "<" becomes the page's own "<"), and every other one is refused.
TEST(Cp1253, EveryCharacterThatFitsIsOneByteThatReadsBackAsItself) {
    int fits = 0;
    const auto check = [&fits](char32_t c) {
        const std::string text = Utf8Of(c);
        if (!FitsCp1253(text)) {
            EXPECT_THROW(Utf8ToCp1253(text), EncodingError)
                << std::hex << static_cast<std::uint32_t>(c);
            return;
        }
        ++fits;
        const std::string byte = Utf8ToCp1253(text);
        ASSERT_EQ(byte.size(), 1u) << std::hex << static_cast<std::uint32_t>(c);
        EXPECT_EQ(Cp1253ToUtf8(byte), text) << std::hex << static_cast<std::uint32_t>(c);
    };
    for (char32_t c = 1; c < 0xD800; ++c) {
        check(c);
    }
    for (char32_t c = 0xE000; c < 0x10000; ++c) {
        check(c);
    }
    for (char32_t c = 0xE0000; c < 0xE0100; ++c) {
        check(c);
    }
    EXPECT_EQ(fits, 255 - 17);  // every byte but NUL and the undefined ones
}

}  // namespace
}  // namespace taktirio
