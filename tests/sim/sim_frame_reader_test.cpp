#include "sim/sim_frame_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <vector>

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

TEST(SimFrameReader, MovesALongFrameArrivingInSmallPiecesOnlyOnceItIsComplete) {
    // A ramwrite frame with 4096 bytes of data, then the start of the next frame.
    Bytes frame = bytesOf("ramwrite");
    frame.insert(frame.end(), {0x00, 0x00, 0x00, 0x10, 0x00});
    const Bytes data = patternedBytes(4096, 3);
    frame.insert(frame.end(), data.begin(), data.end());
    const Bytes fed = bytesOf("inf");
    Bytes stream = frame;
    stream.insert(stream.end(), fed.begin(), fed.end());

    SimFrameReader reader;
    std::vector<SimFrame> frames;
    for (std::size_t at = 0; at < stream.size(); at += 7) {
        const auto piece =
            std::span(stream).subspan(at, std::min<std::size_t>(7, stream.size() - at));
        for (SimFrame& cut : reader.feed(piece)) frames.push_back(std::move(cut));
    }
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes, frame);
    EXPECT_EQ(reader.pendingSize(), 3u);
    // Only the bytes after the frame in the piece that completed it.
    EXPECT_LE(reader.bytesMoved(), 7u);
}
