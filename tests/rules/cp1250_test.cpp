#include <gtest/gtest.h>

#include <string>

#include "core/cp1250.h"

namespace kelvrin {
namespace {

TEST(Cp1250Test, PolishLettersBothWays) {
    const std::string utf8 = "ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ Kelvrin";
    const std::string bytes =
        "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF Kelvrin";
    EXPECT_EQ(toCp1250(utf8), bytes);
    EXPECT_EQ(fromCp1250(bytes), utf8);
    EXPECT_TRUE(fitsCp1250(utf8));
    EXPECT_EQ(toCp1250(""), std::string());
}

TEST(Cp1250Test, EveryDefinedByteComesBack) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::string utf8 = fromCp1250(one);
        if (byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90 || byte == 0x98) {
            EXPECT_EQ(utf8, "\xEF\xBF\xBD") << "undefined byte " << byte;  // U+FFFD
            EXPECT_FALSE(toCp1250(utf8).has_value());
        } else {
            EXPECT_EQ(toCp1250(utf8), one) << "byte " << byte;
        }
    }
}

TEST(Cp1250Test, CharactersOutsideTheCodePageAreRefused) {
    for (const char* text : {"Bjørn", "Жорж", "漢", "smok🐉", "a\xFFz", "\xC5"}) {
        EXPECT_FALSE(toCp1250(text).has_value()) << text;
        EXPECT_FALSE(fitsCp1250(text)) << text;
    }
    EXPECT_FALSE(cp1250Byte(U'ø').has_value());
    EXPECT_EQ(cp1250Byte(U'€'), 0x80);
}

TEST(Cp1250Test, OrdersByWindows1250Bytes) {
    // Ś is 0x8C and Ó 0xD3 in Windows-1250, the other way round in UTF-8.
    EXPECT_TRUE(cp1250Less("Śmiałość", "Ósemka"));
    EXPECT_FALSE(cp1250Less("Ósemka", "Śmiałość"));
    EXPECT_TRUE(std::string("Ósemka") < std::string("Śmiałość"));
    EXPECT_TRUE(cp1250Less("Zbroja", "Żelazo"));
    EXPECT_TRUE(cp1250Less("Atak", "Atak potężny"));
    EXPECT_FALSE(cp1250Less("Atak potężny", "Atak"));
    EXPECT_FALSE(cp1250Less("Atak", "Atak"));
    EXPECT_TRUE(cp1250Less("Zwinność", "ąb"));  // letters above 0x7F follow ASCII
}

}  // namespace
}  // namespace kelvrin
