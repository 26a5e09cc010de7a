#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "link/frame_crc.h"
#include "support/scripted_link.h"
#include "support/test_bytes.h"

namespace {

struct Commands : ::testing::Test, ScriptedLink {
    void SetUp() override { link.open(); }

    std::string lastText() const {
        return std::string(port.written.back().begin(), port.written.back().end());
    }
};

}  // namespace

TEST_F(Commands, ProgSendsThePageNumberAndDataFromTheOffset) {
    const Bytes image = patternedBytes(0x20000, 7);
    port.reply("OK");
    ASSERT_TRUE(link.prog(image, 0x012300));
    const Bytes& frame = port.written.back();
    ASSERT_EQ(frame.size(), 266u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 6), (Bytes{'p', 'r', 'o', 'g', 0x01, 0x23}));
    EXPECT_TRUE(std::equal(frame.begin() + 6, frame.begin() + 262, image.begin() + 0x012300));

    port.reply("OK");
    ASSERT_TRUE(link.prog(image, 0x012345));
    const Bytes& odd = port.written.back();
    EXPECT_EQ(odd[4], 0x01);
    EXPECT_EQ(odd[5], 0x23);
    EXPECT_TRUE(std::equal(odd.begin() + 6, odd.begin() + 262, image.begin() + 0x012345));
    const std::uint32_t crc = frameCrc(odd.data(), 262);
    EXPECT_EQ(odd[262], crc >> 24);
    EXPECT_EQ(odd[265], crc & 0xFF);
}

TEST_F(Commands, ProgOfAnErasedPageCarriesTheKnownChecksum) {
    const Bytes image(0x20000, 0xFF);
    port.reply("OK");
    ASSERT_TRUE(link.prog(image, 0));
    const Bytes& frame = port.written.back();
    EXPECT_EQ(Bytes(frame.end() - 4, frame.end()), (Bytes{0xBD, 0xE0, 0xB5, 0xCA}));
    EXPECT_EQ(port.timeouts, (ReadTimeouts{100, 100, 100}));
}

TEST_F(Commands, RamwriteSendsTheHeaderAndTheBlock) {
    const Bytes source = patternedBytes(0x20000, 7);
    port.reply("OK");
    ASSERT_TRUE(link.ramwrite(source, 0x400, 0x000400, 1024));
    const Bytes& frame = port.written.back();
    ASSERT_EQ(frame.size(), 1037u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 13),
              (Bytes{'r', 'a', 'm', 'w', 'r', 'i', 't', 'e', 0x00, 0x04, 0x00, 0x04, 0x00}));
    EXPECT_TRUE(std::equal(frame.begin() + 13, frame.end(), source.begin() + 0x400));
    EXPECT_EQ(port.timeouts, (ReadTimeouts{200, 200, 200}));
}

TEST_F(Commands, RamreadFailsOnAShortReplyButKeepsItsBytes) {
    std::array<std::uint8_t, 1024> destination{};
    port.reply(Bytes(1023, 0x5A));
    EXPECT_FALSE(link.ramread(destination, 0x000C00, 1024));
    EXPECT_EQ(destination[1022], 0x5A);
    EXPECT_EQ(destination[1023], 0x00);
    EXPECT_EQ(port.written.back(),
              (Bytes{'r', 'a', 'm', 'r', 'e', 'a', 'd', 0x00, 0x0C, 0x00, 0x04, 0x00}));

    port.reply(Bytes(1024, 0x33));
    EXPECT_TRUE(link.ramread(destination, 0, 1024));
    EXPECT_EQ(destination[1023], 0x33);
}

TEST_F(Commands, EachOkCommandSendsItsFrameUnderItsOwnTimeOut) {
    using Link = ProgrammerLink;
    struct Case {
        std::function<bool(Link&)> send;
        const char* frame;
        std::uint32_t timeout;
    };
    const Case cases[] = {
        // Only exactly "3" and "5" choose those supplies; anything else is VDDU.
        {[](Link& l) { return l.vdd("3"); }, "vdd3", 50},
        {[](Link& l) { return l.vdd("5"); }, "vdd5", 50},
        {[](Link& l) { return l.vdd("U"); }, "vddu", 50},
        {[](Link& l) { return l.vdd("u"); }, "vddu", 50},
        {[](Link& l) { return l.vdd(""); }, "vddu", 50},
        {[](Link& l) { return l.vdd("35"); }, "vddu", 50},
        // Three-character arguments use the first three.
        {[](Link& l) { return l.mux("1010"); }, "mux101", 10},
        {[](Link& l) { return l.idlemode("02R"); }, "idlemode02R", 50},
        {[](Link& l) { return l.progmode("01F"); }, "progmode01F", 15000},
        {[](Link& l) { return l.vpr(true); }, "vpr1", 10},
        {[](Link& l) { return l.vpr(false); }, "vpr0", 10},
        {[](Link& l) { return l.runapp(); }, "runapp", 10},
        {[](Link& l) { return l.erase(); }, "erase", 15000},
    };
    for (const Case& c : cases) {
        port.reply("OK");
        EXPECT_TRUE(c.send(link)) << c.frame;
        EXPECT_EQ(lastText(), c.frame);
        EXPECT_EQ(port.timeouts, (ReadTimeouts{c.timeout, c.timeout, c.timeout})) << c.frame;
    }
}

TEST_F(Commands, ShortArgumentTextRaisesAfterThePurgeAndWritesNothing) {
    for (auto command :
         {&ProgrammerLink::mux, &ProgrammerLink::idlemode, &ProgrammerLink::progmode}) {
        port.calls.clear();
        EXPECT_THROW((link.*command)("01"), std::out_of_range);
        EXPECT_EQ(port.calls, std::vector<std::string>{"purge"});
    }
    EXPECT_TRUE(port.written.empty());
}

TEST_F(Commands, IoreadNeedsAllThirteenCharacters) {
    std::string status;
    port.reply("0000010100001");
    EXPECT_TRUE(link.ioread(status));
    EXPECT_EQ(status, "0000010100001");
    EXPECT_EQ(lastText(), "ioread");
    port.reply("000001010000");
    EXPECT_FALSE(link.ioread(status));
}
