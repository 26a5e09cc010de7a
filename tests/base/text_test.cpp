#include "base/text.h"

#include <gtest/gtest.h>

#include "base/crc32.h"
#include "base/message_pump.h"
#include "base/text_encoding.h"
#include "support/fake_desktop.h"

TEST(HexText, PadsAndUsesUpperCase) {
    EXPECT_EQ(hexByte(0x0A), "0A");
    EXPECT_EQ(hexWord(0x1234), "1234");
    EXPECT_EQ(hexWord(0x00AF), "00AF");
    EXPECT_EQ(hexLong(0xCBF43926u), "CBF43926");
    EXPECT_EQ(hexLong(0), "00000000");
}

TEST(DecimalInt32, ReadsExactlyTheSigned32BitRange) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", std::nullopt},
        {"9223372036854775808", std::nullopt},
        {"18446744073709551617", std::nullopt},
        {"-18446744073709551617", std::nullopt},
        {"00000000002147483647", 2147483647},
        {"-0000000000000000015", -15},
        {"  +0015", 15},
        {"-0", 0},
        {"", std::nullopt},
        {" -", std::nullopt},
        {"+-1", std::nullopt},
        {"12a", std::nullopt},
        {"15 ", std::nullopt},
        {"\t15", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseDecimalInt32(c.text), c.value) << c.text;
}

TEST(ProgramDirectory, CutsAtTheLastSeparator) {
    EXPECT_EQ(programDirectoryOf("C:\\A\\B\\Telvarn.exe"), "C:\\A\\B");
    EXPECT_EQ(programDirectoryOf("/opt/telvarn/Telvarn"), "/opt/telvarn");
    EXPECT_EQ(programDirectoryOf("Telvarn"), "");
}

TEST(Crc32, MatchesTheKnownVectorsAcrossPieces) {
    Crc32 whole;
    const std::string digits = "123456789";
    whole.update(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size());
    EXPECT_EQ(whole.value(), 0xCBF43926u);

    Crc32 pieces;
    pieces.update(reinterpret_cast<const std::uint8_t*>(digits.data()), 4);
    pieces.update(reinterpret_cast<const std::uint8_t*>(digits.data()) + 4, 5);
    EXPECT_EQ(pieces.value(), 0xCBF43926u);

    EXPECT_EQ(Crc32().value(), 0u);
}

TEST(WaitPumping, ZeroReturnsAtOnceWithoutDispatching) {
    ManualPump pump;
    bool ran = false;
    pump.post([&] { ran = true; });
    EXPECT_EQ(waitPumping(pump, 0), 0u);
    EXPECT_FALSE(ran);
}

TEST(WaitPumping, DispatchesWhileWaitingAndWaitsTheFullTime) {
    ManualPump pump;
    int calls = 0;
    pump.post([&] { ++calls; });
    EXPECT_GE(waitPumping(pump, 200), 200u);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(pump.now, 200u);
}

TEST(WaitPumping, WaitsTheFullTimeAcrossAWrapOfTheTick) {
    ManualPump pump;
    pump.now = 0xFFFFFF00u;  // 256 ms before the 32-bit tick wraps
    const std::uint32_t elapsed = waitPumping(pump, 1000);
    EXPECT_EQ(elapsed, 1000u);
    EXPECT_EQ(pump.now, 0xFFFFFF00u + 1000u);  // wrapped past zero
}

// A console write may end inside a character; what it writes ends before it.
TEST(Utf8, ACharacterCutAtTheEndWaitsForItsLastBytes) {
    const std::string text = "Ok Прошивка €𝄞";  // characters of one to four bytes
    std::size_t lastStart = 0;
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const bool starts =
            cut == text.size() || (static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80;
        if (starts) lastStart = cut;
        EXPECT_EQ(completeUtf8Length(std::string_view(text).substr(0, cut)), lastStart) << cut;
    }
}
