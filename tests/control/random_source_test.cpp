#include "control/random_source.h"

#include <gtest/gtest.h>

#include "control_rig.h"

namespace {

Bytes draw(RandomSource& random, std::size_t count) {
    Bytes out(count);
    for (std::uint8_t& byte : out) byte = random.nextByte();
    return out;
}

Bytes dataOf(const Bytes& ramwriteFrame) {
    return Bytes(ramwriteFrame.begin() + 13, ramwriteFrame.end());
}

TEST(RandomSourceTest, FreshSourceStartsWithTheKnownPattern) {
    RandomSource random;
    EXPECT_EQ(random.state(), 22695478u);
    EXPECT_EQ(draw(random, 8), (Bytes{0x65, 0x9C, 0xFA, 0xB8, 0x38, 0xA3, 0x6C, 0x9E}));
}

TEST(RandomSourceTest, RamChecksDrawTheWholeImageAndContinueTheSequence) {
    ControlRig rig;
    RamModel device;
    device.attach(rig.port);
    rig.open();
    rig.checkRam();
    rig.checkRam();
    const auto writes = rig.framesOf("ramwrite");
    ASSERT_EQ(writes.size(), 768u);

    RandomSource expected;
    Bytes firstImage;
    for (std::size_t block = 256; block < 384; ++block) {
        const Bytes data = dataOf(writes[block]);
        firstImage.insert(firstImage.end(), data.begin(), data.end());
    }
    EXPECT_EQ(firstImage, draw(expected, 0x20000));
    EXPECT_EQ(dataOf(writes[384 + 256]), draw(expected, 1024));
    EXPECT_NE(dataOf(writes[256]), dataOf(writes[384 + 256]));
}

}  // namespace
