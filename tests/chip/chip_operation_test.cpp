#include <gtest/gtest.h>

#include "base/errors.h"
#include "chip_harness.h"

namespace {

constexpr std::uint8_t kBit29628 = 0x10;  // of byte 3703
constexpr std::uint8_t kBit30717 = 0x20;  // of byte 3839

struct OperationTest : ::testing::Test {
    ChipHarness h;
    ChipBuffer before;

    OperationTest() {
        for (std::size_t i = 0; i < 4096; ++i) h.buffer[i] = static_cast<std::uint8_t>(i * 13);
        h.buffer[3703] = 0xFF;
        h.buffer[3839] = 0xFF;
    }
    ChipPhase run(ChipOperationKind kind) {
        before = h.buffer;
        return h.run(kind);
    }
    void expectBufferUnchanged() {
        for (std::size_t i = 0; i < ChipBuffer::kSize; ++i) {
            ASSERT_EQ(h.buffer[i], before[i]) << "byte " << i;
        }
    }
    // The image the programmer got, with byte i expected as the buffer holds it
    // except where a forced byte is named.
    void expectImage(std::size_t forcedIndex, std::uint8_t forcedValue) {
        const Bytes image = h.imageSent();
        ASSERT_EQ(image.size(), 4096u);
        for (std::size_t i = 0; i < 4096; ++i) {
            ASSERT_EQ(image[i], i == forcedIndex ? forcedValue : before[i]) << "byte " << i;
        }
    }
};

}  // namespace

TEST_F(OperationTest, ProgramSendsFourBlocksWithBit29628Forced) {
        run(ChipOperationKind::Program);
    EXPECT_EQ(h.log.lines(), (std::vector<std::string>{"Загрузка данных в программатор : OK",
                                                       "Проверка данных программатора : OK",
                                                       "Программирование : OK"}));
    expectImage(3703, 0xFF & ~kBit29628);
    const auto writes = h.framesOf("ramwrite");
    ASSERT_EQ(writes.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(writes[k].size(), 1037u);
        EXPECT_EQ(Bytes(writes[k].begin() + 8, writes[k].begin() + 13),
                  (Bytes{0, static_cast<std::uint8_t>(4 * k), 0, 4, 0}));
    }
    EXPECT_EQ(h.framesOf("ramread").size(), 4u);
    EXPECT_EQ(h.device.modes, std::vector<std::string>{"progmode02R"});
    EXPECT_EQ(h.beeper.beeps, 1);
    EXPECT_EQ(h.log.progresses(),
              (std::vector<std::string>{"Загрузка данных : 0kB", "Загрузка данных : 1kB",
                                        "Загрузка данных : 2kB", "Загрузка данных : 3kB", "",
                                        "Проверка данных : 0kB", "Проверка данных : 1kB",
                                        "Проверка данных : 2kB", "Проверка данных : 3kB", ""}));
    expectBufferUnchanged();
}

TEST(ForcedBits, FollowKindVariantAndMark) {
    struct Case {
        bool burn, variant01, marked;
        std::size_t index;  // the byte the operation may force
        std::uint8_t held, sent;
        const char* mode;
    };
    const Case cases[] = {
        {false, false, true, 3703, 0xFF, 0xEF, "progmode02R"},
        {false, true, false, 3703, 0x00, 0x10, "progmode01R"},
        {true, false, true, 3839, 0xFF, 0xDF, "progmode02F"},
        {true, false, false, 3839, 0x00, 0x20, "progmode02F"},
        {true, true, true, 3839, 0x5A, 0x5A, "progmode01F"},
        {true, true, false, 3839, 0x5A, 0x5A, "progmode01F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode + std::string(c.marked ? " marked" : " unmarked"));
        ChipHarness h;
        h.variant = c.variant01 ? kVariant01 : kVariant02;
        h.options = ChipOptions{c.marked, c.marked};
        // The other option byte goes out as held: forcing it would change it.
        const std::size_t other = c.index == 3703 ? 3839 : 3703;
        const std::uint8_t otherHeld = c.marked ? 0xFF : 0x00;
        h.buffer[c.index] = c.held;
        h.buffer[other] = otherHeld;
        h.run(c.burn ? ChipOperationKind::Burn : ChipOperationKind::Program);
        const Bytes image = h.imageSent();
        ASSERT_EQ(image.size(), 4096u);
        EXPECT_EQ(image[c.index], c.sent);
        EXPECT_EQ(image[other], otherHeld);
        EXPECT_EQ(h.device.modes, std::vector<std::string>{c.mode});
        EXPECT_EQ(h.buffer[c.index], c.held);
        EXPECT_EQ(h.buffer[other], otherHeld);
    }
}

TEST_F(OperationTest, ClosedLinkFailsTheLoadPhaseAtOnce) {
        h.link.close();
    run(ChipOperationKind::Program);
    EXPECT_EQ(h.log.lines(), std::vector<std::string>{"Ошибка загрузки данных в программатор"});
    EXPECT_TRUE(h.port.written.empty());
    EXPECT_EQ(h.beeper.beeps, 3);
    EXPECT_EQ(h.log.progress(), "");
    expectBufferUnchanged();
}

TEST_F(OperationTest, LinkClosingMidOperationFailsEveryLaterCommand) {
        int writes = 0;
    h.device.before = [&](const std::string& word) {
        if (word == "ramwrite" && ++writes == 2) h.link.close();
    };
    run(ChipOperationKind::Program);
    EXPECT_EQ(h.framesOf("ramwrite").size(), 2u);
    EXPECT_TRUE(h.framesOf("ramread").empty());
    EXPECT_EQ(h.log.lines(), std::vector<std::string>{"Ошибка загрузки данных в программатор"});
    expectBufferUnchanged();

    // Closing during the verify: no progmode, the buffer as it was.
    ChipHarness second;
    second.variant = kVariant01;
    second.device.before = [&](const std::string& word) {
        if (word == "ramread") second.link.close();
    };
    second.run(ChipOperationKind::Program);
    EXPECT_EQ(second.log.lines().back(), "Ошибка проверки данных программатора");
    EXPECT_TRUE(second.framesOf("progmode").empty());
    EXPECT_EQ(second.buffer[3703], 0xFF);
}

TEST_F(OperationTest, EveryBlockIsTriedAfterAFailure) {
        h.device.refusing = {"ramwrite"};
    run(ChipOperationKind::Program);
    EXPECT_EQ(h.framesOf("ramwrite").size(), 4u);
    EXPECT_TRUE(h.framesOf("ramread").empty());

    ChipHarness reads;
    reads.device.refusing = {"ramread"};
    reads.run(ChipOperationKind::Program);
    EXPECT_EQ(reads.framesOf("ramread").size(), 4u);
    EXPECT_EQ(reads.log.lines().back(), "Ошибка проверки данных программатора");
    EXPECT_EQ(reads.beeper.beeps, 3);
}

TEST_F(OperationTest, DifferenceBeyondTheChipImageFailsTheVerify) {
        h.device.before = [&](const std::string& word) {
        if (word == "ramread") h.device.ram[4095] = before[4095] ^ 0x01;
    };
    run(ChipOperationKind::Program);
    EXPECT_EQ(h.log.lines(), (std::vector<std::string>{"Загрузка данных в программатор : OK",
                                                       "Ошибка проверки данных программатора"}));
    EXPECT_TRUE(h.framesOf("progmode").empty());
    EXPECT_EQ(h.beeper.beeps, 3);
    expectBufferUnchanged();
}

TEST_F(OperationTest, RefusedProgmodeIsReportedPerKind) {
        h.device.refusing = {"progmode"};
    run(ChipOperationKind::Program);
    run(ChipOperationKind::Burn);
    EXPECT_EQ(h.log.lines()[2], "Ошибка программирования микросхемы");
    EXPECT_EQ(h.log.lines()[5], "Ошибка прожига микросхемы");
    EXPECT_EQ(h.beeper.beeps, 6);
}

TEST_F(OperationTest, EscapingErrorStillRestoresTheBuffer) {
        h.device.before = [&](const std::string& word) {
        if (word == "ramread") h.port.failing = {"purge"};
    };
    before = h.buffer;
    EXPECT_THROW(h.run(ChipOperationKind::Program), PortError);
    EXPECT_EQ(h.log.progress(), "");
    expectBufferUnchanged();
}

TEST_F(OperationTest, ChangesMadeDuringTheFailureBeepsSurvive) {
    // The beeps process window messages; a handler run there owns the buffer
    // afterwards, so the operation must not put its old bytes back again.
        h.link.close();
    h.pump.post([&] { h.buffer[3703] = 0x00; });
    h.run(ChipOperationKind::Program);
    EXPECT_EQ(h.beeper.beeps, 3);
    EXPECT_EQ(h.buffer[3703], 0x00);
}
