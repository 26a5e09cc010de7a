#include "update/file_checksum.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_blocks.h"
#include "update_rig.h"

namespace {

TEST(FileChecksum, CoversEveryBlockAndOnlyAFileReadToItsEnd) {
    TempFolder folder;
    // Two whole blocks and a part, so that a lost or repeated block shows.
    std::string bytes(2 * kFileBlock + 100, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    folder.write("download", bytes);
    folder.write("empty", "");
    std::filesystem::create_directories(folder.path() / "folder");

    const auto whole = wholeFileCrc32(folder.file("download"));
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(hexLong(*whole), checksumOf(bytes));
    EXPECT_EQ(wholeFileCrc32(folder.file("empty")), 0u);
    EXPECT_EQ(wholeFileCrc32(folder.file("missing")), std::nullopt);
    // Opens, but every read fails.
    EXPECT_EQ(wholeFileCrc32(folder.file("folder")), std::nullopt);
}

}  // namespace
