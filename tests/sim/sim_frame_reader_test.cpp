#include "sim/sim_frame_reader.h"

#include <gtest/gtest.h>

#include "support/test_bytes.h"

TEST(SimFrameReader, SkipsAMegabyteOfNoiseInOnePieceWithWorkInProportion) {
    // Starts of every command word, each spoiled by its next byte.
    const std::string pattern = "infXramwritXproXvdXmuXtesXidlemodXerasXrunapXioreaX";
    std::string noise;
    while (noise.size() < (std::size_t{1} << 20)) noise += pattern;
    SimFrameReader reader;
    const Bytes fed = bytesOf(noise + "inf");
    EXPECT_TRUE(reader.feed(fed).empty());
    EXPECT_EQ(reader.skipped(), noise.size());
    EXPECT_EQ(reader.pendingSize(), 3u);
    // Shifting the rest forward after every skipped byte would move about
    // half a million bytes per byte fed.
    EXPECT_LE(reader.bytesMoved(), fed.size());
    const auto frames = reader.feed(bytesOf("o"));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes, bytesOf("info"));
}
