#include "control/ram_check.h"

#include <gtest/gtest.h>

#include "control_rig.h"

namespace {

class RamCheck : public ::testing::Test {
  protected:
    RamCheck() { rig.open(); }
    void runCheck() { rig.checkRam(); }
    ControlRig rig;
    RamModel device;
};

TEST_F(RamCheck, SoundRamPassesSixPhasesOfWholeBlocks) {
    device.attach(rig.port);
    runCheck();
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK OK OK OK OK OK"));
    const auto writes = rig.framesOf("ramwrite");
    const auto reads = rig.framesOf("ramread");
    ASSERT_EQ(writes.size(), 384u);
    ASSERT_EQ(reads.size(), 384u);
    // Source index and RAM address are the same; blocks ascend through the RAM.
    Bytes first = bytesOf("ramwrite");
    first.insert(first.end(), {0x00, 0x00, 0x00, 0x04, 0x00});
    first.insert(first.end(), 1024, 0xFF);
    EXPECT_EQ(writes[0], first);
    EXPECT_EQ(Bytes(writes[127].begin(), writes[127].begin() + 13),
              (Bytes{'r', 'a', 'm', 'w', 'r', 'i', 't', 'e', 0x01, 0xFC, 0x00, 0x04, 0x00}));
    EXPECT_EQ(writes[128][13], 0x00);
    EXPECT_EQ(reads[383], (Bytes{'r', 'a', 'm', 'r', 'e', 'a', 'd', 0x01, 0xFC, 0x00, 0x04, 0x00}));
    // One pause of 1 ms after each of the 768 blocks.
    EXPECT_EQ(rig.pump.now, 768u);
}

TEST_F(RamCheck, StatusLineCountsUpEachPhaseAndEndsEmpty) {
    device.attach(rig.port);
    runCheck();
    ASSERT_EQ(rig.log.progresses().size(), 6u * 128u + 1u);
    for (int phase = 0; phase < 6; ++phase) {
        const std::string name = phase % 2 == 0 ? "RAM_WRITE " : "RAM_READ ";
        const auto at = static_cast<std::size_t>(phase) * 128;
        EXPECT_EQ(rig.log.progresses()[at], name + "0%");
        EXPECT_EQ(rig.log.progresses()[at + 49], name + "39%");
        EXPECT_EQ(rig.log.progresses()[at + 127], name + "100%");
    }
    EXPECT_EQ(rig.log.progresses().back(), "");
    EXPECT_EQ(rig.log.progress(), "");
}

TEST_F(RamCheck, OneBadBlockFailsOnlyItsPhaseAndTheWalkGoesOn) {
    device.attach(rig.port);
    int writes = 0;
    // The 0x00 pattern's 10th block is refused; the RND read of block 5 comes short.
    device.onWrite = [&](const Bytes&) { ++writes; };
    rig.port.responder = [&](const Bytes& frame) {
        Bytes reply = device.answer(frame);
        if (RamModel::startsWith(frame, "ramwrite") && writes == 128 + 10) reply = bytesOf("NO");
        return reply;
    };
    int reads = 0;
    device.onRead = [&](std::uint32_t, Bytes& reply) {
        if (++reads == 256 + 5) reply.pop_back();
    };
    runCheck();
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK OK ER OK OK ER"));
    EXPECT_EQ(rig.framesOf("ramwrite").size(), 384u);
    EXPECT_EQ(rig.framesOf("ramread").size(), 384u);
}

TEST_F(RamCheck, ClosedPortWalksEveryBlockAndFailsEveryPhase) {
    rig.link.close();
    runCheck();
    EXPECT_EQ(rig.log.lines(), ramCheckLines("ER ER ER ER ER ER"));
    EXPECT_TRUE(rig.port.written.empty());
    EXPECT_EQ(rig.pump.now, 768u);
    EXPECT_EQ(rig.log.progress(), "");
}

TEST_F(RamCheck, CheckNestedInThePauseRunsWholeAndSpoilsOnlyTheOuterRead) {
    device.attach(rig.port);
    // The first pause of the outer check lets a second check run to its end;
    // it leaves its random pattern in block 0, which the outer wrote with 0xFF.
    rig.pump.post([this] { rig.checkRam(); });
    runCheck();
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK OK OK OK OK OK OK ER OK OK OK OK"));
    EXPECT_EQ(rig.framesOf("ramwrite").size(), 768u);
    EXPECT_EQ(rig.log.progress(), "");
    // The two random patterns follow each other in the one sequence.
    const auto writes = rig.framesOf("ramwrite");
    const Bytes& innerRnd = writes[1 + 256];
    const Bytes& outerRnd = writes[384 + 256];
    EXPECT_NE(Bytes(innerRnd.begin() + 13, innerRnd.end()),
              Bytes(outerRnd.begin() + 13, outerRnd.end()));
}

TEST_F(RamCheck, ProgrammingInThePauseMakesTheNextReadPhaseFail) {
    device.attach(rig.port);
    // Another command writes block 7 between two blocks of the 0x00 read phase.
    int reads = 0;
    device.onRead = [&](std::uint32_t, Bytes&) {
        if (++reads == 128 + 3) {
            rig.pump.post([&] { rig.link.ramwrite(Bytes(1024, 0x5A), 0, 7 * 1024, 1024); });
        }
    };
    runCheck();
    EXPECT_EQ(rig.log.lines(), ramCheckLines("OK OK OK ER OK OK"));
}

}  // namespace
