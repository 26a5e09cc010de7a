#include "sim/simulated_programmer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "link/frame_crc.h"
#include "link/info_reply.h"
#include "support/sim_rig.h"

namespace {

bool allErased(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; });
}

// A complete `prog` frame for a page, with its checksum.
Bytes progFrame(std::uint16_t page, const Bytes& data) {
    Bytes frame = bytesOf("prog");
    frame.reserve(266);
    frame.push_back(static_cast<std::uint8_t>(page >> 8));
    frame.push_back(static_cast<std::uint8_t>(page));
    for (std::size_t i = 0; i < 256; ++i) frame.push_back(data[i]);
    const std::uint32_t crc = frameCrc(frame.data(), frame.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        frame.push_back(static_cast<std::uint8_t>(crc >> shift));
    }
    return frame;
}

}  // namespace

TEST(SimulatedProgrammer, StartsInBootloaderAndRunsTheApplicationOnRunapp) {
    SimRig rig;
    EXPECT_EQ(rig.link.info(), "Telvarn-1 Mode-BOOT ID-00012345 Version-0102");
    EXPECT_FALSE(rig.device.applicationRunning());
    // Application commands mean nothing to the bootloader.
    EXPECT_FALSE(rig.link.test());
    EXPECT_FALSE(rig.link.vdd("3"));

    EXPECT_TRUE(rig.link.runapp());
    EXPECT_TRUE(rig.device.applicationRunning());
    const InfoReply reply = parseInfoReply(rig.link.info());
    EXPECT_TRUE(reply.isTelvarn);
    EXPECT_TRUE(reply.applicationMode);
    EXPECT_FALSE(reply.bootMode);
    EXPECT_EQ(reply.version, "0015");
    // ...and bootloader commands nothing to the application.
    EXPECT_FALSE(rig.link.erase());
    EXPECT_FALSE(rig.link.runapp());
    EXPECT_TRUE(rig.link.test());
}

TEST(SimulatedProgrammer, ReportsTheIdentityItWasGiven) {
    SimRig rig;
    rig.device.setSerialNumber("98765432");
    rig.device.setBootloaderVersion("0207");
    rig.device.setFirmwareVersion("0031");
    const InfoReply boot = parseInfoReply(rig.link.info());
    EXPECT_EQ(boot.serialNumber, "98765432");
    EXPECT_EQ(boot.version, "0207");
    rig.link.runapp();
    EXPECT_EQ(parseFirmwareVersion(parseInfoReply(rig.link.info()).version), 31);
}

TEST(SimulatedProgrammer, ResetPulseRestartsTheBootloaderWithOutputsOff) {
    SimRig rig;
    rig.link.runapp();
    ASSERT_TRUE(rig.link.vdd("5") && rig.link.vpr(true) && rig.link.mux("110"));

    ASSERT_TRUE(rig.link.ResetPulse());
    EXPECT_EQ(rig.device.resets(), 1);
    EXPECT_FALSE(rig.device.applicationRunning());
    EXPECT_TRUE(parseInfoReply(rig.link.info()).bootMode);
    EXPECT_EQ(rig.device.ioStatus(), "IOST:0000:000");

    // Held in reset by a raised DTR it hears nothing.
    rig.port.setDtr(true);
    EXPECT_EQ(rig.link.info(), "");
    rig.port.setDtr(false);
    EXPECT_TRUE(parseInfoReply(rig.link.info()).bootMode);
}

TEST(SimulatedProgrammer, EraseAndProgramPutPagesIntoFlash) {
    SimRig rig;
    ASSERT_FALSE(allErased(rig.device.flash()));  // the factory application
    ASSERT_TRUE(rig.link.erase());
    EXPECT_TRUE(allErased(rig.device.flash()));

    const Bytes image = patternedBytes(3 * 256, 13);
    for (std::uint32_t offset = 0; offset < image.size(); offset += 256) {
        EXPECT_TRUE(rig.link.prog(image, offset)) << offset;
    }
    const auto flash = rig.device.flash();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
    EXPECT_TRUE(allErased(flash.subspan(image.size())));
    EXPECT_EQ(rig.device.pagesProgrammed(), 3);

    // The last page of the application area, and none beyond it.
    Bytes large(481 * 256, 0x5A);
    EXPECT_TRUE(rig.link.prog(large, 479 * 256));
    EXPECT_EQ(flash[flash.size() - 1], 0x5A);
    EXPECT_FALSE(rig.link.prog(large, 480 * 256));
}

TEST(SimulatedProgrammer, RefusesAPageWithABadChecksumAndKeepsTheFlash) {
    SimRig rig;
    rig.link.erase();
    Bytes frame = progFrame(2, patternedBytes(256, 3));
    frame.back() ^= 0x01;
    Bytes reply;
    EXPECT_FALSE(rig.link.Exchange(frame, 100, 100, 2, reply));
    EXPECT_TRUE(reply.empty());
    EXPECT_TRUE(allErased(rig.device.flash()));
    EXPECT_EQ(rig.device.framesReceived("prog"), 1);
    EXPECT_EQ(rig.device.framesRefused(), 1);

    // A damaged data byte under a checksum of the original data is refused too.
    frame = progFrame(2, patternedBytes(256, 3));
    frame[100] ^= 0x80;
    EXPECT_FALSE(rig.link.Exchange(frame, 100, 100, 2, reply));
    EXPECT_TRUE(allErased(rig.device.flash()));
    EXPECT_TRUE(rig.link.Exchange(progFrame(2, patternedBytes(256, 3)), 100, 100, 2, reply));
}

TEST(SimulatedProgrammer, RamKeepsWhatIsWrittenAcrossItsWholeSize) {
    SimRig rig;
    rig.link.runapp();
    const Bytes image = patternedBytes(SimulatedProgrammer::kRamSize, 29);
    for (std::uint32_t address = 0; address < image.size(); address += 1024) {
        ASSERT_TRUE(rig.link.ramwrite(image, address, address, 1024)) << address;
    }
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.device.ram().begin()));
    Bytes back(1024);
    for (std::uint32_t address : {0u, 0x0400u, 0x1FC00u}) {
        ASSERT_TRUE(rig.link.ramread(back, address, 1024));
        EXPECT_TRUE(std::equal(back.begin(), back.end(), image.begin() + address)) << address;
    }
    // A block that runs past the end of RAM is refused both ways.
    EXPECT_FALSE(rig.link.ramwrite(image, 0, 0x1FE00, 1024));
    EXPECT_FALSE(rig.link.ramread(back, 0x1FE00, 1024));
    EXPECT_EQ(rig.device.ram()[0x1FE00], image[0x1FE00]);
}

TEST(SimulatedProgrammer, IoreadReportsSupplyVprAndChannel) {
    SimRig rig;
    rig.link.runapp();
    std::string status;
    ASSERT_TRUE(rig.link.ioread(status));
    EXPECT_EQ(status.size(), 13u);
    EXPECT_EQ(status.substr(5, 4), "0000");
    EXPECT_EQ(status.substr(10), "000");

    ASSERT_TRUE(rig.link.vdd("5") && rig.link.vpr(true) && rig.link.mux("101"));
    ASSERT_TRUE(rig.link.ioread(status));
    EXPECT_EQ(status[5], '1');
    EXPECT_EQ(status.substr(6, 3), "101");
    EXPECT_EQ(status.substr(10, 3), "010");

    ASSERT_TRUE(rig.link.vdd("U") && rig.link.vpr(false));
    ASSERT_TRUE(rig.link.ioread(status));
    EXPECT_EQ(status[5], '0');
    EXPECT_EQ(status.substr(10, 3), "001");
    ASSERT_TRUE(rig.link.vdd("3"));
    ASSERT_TRUE(rig.link.ioread(status));
    EXPECT_EQ(status.substr(10, 3), "100");
    EXPECT_EQ(rig.device.supply(), SimSupply::Vdd3);
}

TEST(SimulatedProgrammer, ModesAreAcceptedAndRemembered) {
    SimRig rig;
    rig.link.runapp();
    EXPECT_TRUE(rig.link.idlemode("01R"));
    EXPECT_TRUE(rig.link.progmode("02F"));
    EXPECT_EQ(rig.device.lastIdlemode(), "01R");
    EXPECT_EQ(rig.device.lastProgmode(), "02F");
    // `progmode` is not taken for a `prog` frame.
    EXPECT_EQ(rig.device.framesReceived("progmode"), 1);
    EXPECT_EQ(rig.device.framesReceived("prog"), 0);
}

TEST(SimulatedProgrammer, FramesItDoesNotUnderstandGetNoOk) {
    SimRig rig;
    rig.link.runapp();
    for (const char* garbage :
         {"hello", "OK", "vdd7", "vpr2", "mux012", "INFO", "ramwrit", "tes"}) {
        EXPECT_FALSE(rig.exchange(garbage)) << garbage;
    }
    EXPECT_EQ(rig.device.supply(), SimSupply::None);
    EXPECT_EQ(rig.device.mux(), "000");
    EXPECT_GT(rig.device.bytesDiscarded(), 0u);
    // The purge of the next exchange clears the half frames, so the device still listens.
    EXPECT_TRUE(rig.link.test());
}

TEST(SimulatedProgrammer, AssemblesFramesThatArriveInPieces) {
    SimulatedProgrammer device;
    const Bytes frame = progFrame(7, patternedBytes(256, 5));
    EXPECT_TRUE(device.receive(std::span(frame).first(3)).empty());  // "pro"
    EXPECT_TRUE(device.receive(std::span(frame).subspan(3, 100)).empty());
    const auto sent = device.receive(std::span(frame).subspan(103));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, bytesOf("OK"));
    EXPECT_EQ(device.flash()[7 * 256], frame[6]);

    // Noise before a frame is skipped; two frames in one piece get two answers.
    const auto both = device.receive(bytesOf("\x01zinforunapp"));
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].bytes, bytesOf("OK"));
    EXPECT_EQ(device.bytesDiscarded(), 2u);
}

TEST(SimulatedProgrammer, EraseAndProgmodeTakeTime) {
    SimulatedProgrammer device;
    device.setWorkTime("erase", std::chrono::milliseconds(40));
    const auto sent = device.receive(bytesOf("erase"));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].work, std::chrono::milliseconds(40));
    device.receive(bytesOf("runapp"));
    EXPECT_GT(device.receive(bytesOf("progmode01R"))[0].work.count(), 0);
    EXPECT_EQ(device.receive(bytesOf("test"))[0].work.count(), 0);
}

TEST(SimulatedProgrammerBehaviour, BootOnlyNeverLeavesTheBootloader) {
    SimRig rig(SimBehaviour::BootOnly);
    rig.link.runapp();
    EXPECT_FALSE(rig.device.applicationRunning());
    EXPECT_TRUE(parseInfoReply(rig.link.info()).bootMode);
    EXPECT_FALSE(rig.link.test());
    // The bootloader itself still works.
    EXPECT_TRUE(rig.link.erase());
}

TEST(SimulatedProgrammerBehaviour, SilentNeverAnswersButStillHears) {
    SimRig rig(SimBehaviour::Silent);
    EXPECT_EQ(rig.link.info(), "");
    EXPECT_FALSE(rig.link.runapp());
    EXPECT_FALSE(rig.link.test());
    EXPECT_EQ(rig.device.framesReceived("info"), 1);
    EXPECT_EQ(rig.device.framesReceived("runapp"), 1);
}

TEST(SimulatedProgrammerBehaviour, BadRamReadsZerosAfterAcceptedWrites) {
    SimRig rig(SimBehaviour::BadRam);
    rig.link.runapp();
    const Bytes block(1024, 0xA5);
    EXPECT_TRUE(rig.link.ramwrite(block, 0, 0x800, 1024));
    Bytes back(1024, 0x11);
    EXPECT_TRUE(rig.link.ramread(back, 0x800, 1024));
    EXPECT_EQ(back, Bytes(1024, 0x00));
    EXPECT_EQ(rig.device.ram()[0x800], 0x00);
}

TEST(SimulatedProgrammerBehaviour, FlakyDropsBytesNowAndThenTheSameWayEachRun) {
    auto run = [] {
        SimRig rig(SimBehaviour::Flaky);
        std::string outcomes;
        for (int i = 0; i < 60; ++i) outcomes += rig.link.erase() ? '+' : '-';
        return std::make_pair(outcomes, rig.device.bytesDropped());
    };
    const auto [first, dropped] = run();
    const auto failures = std::count(first.begin(), first.end(), '-');
    EXPECT_GT(failures, 3);
    EXPECT_LT(failures, 30);
    EXPECT_EQ(failures, dropped);
    EXPECT_EQ(run().first, first);
}
