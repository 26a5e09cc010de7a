#include "base/file_crc32.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_blocks.h"
#include "support/temp_folder.h"

namespace {

TEST(FileCrc32, CoversEveryByteOfARegularFileReadToItsEnd) {
    TempFolder folder;
    folder.write("digits", std::string("123456789"));
    folder.write("empty", std::string());
    // Two whole blocks and a part: the CRC of the whole, not of the last block.
    folder.write("long", std::string(2 * kFileBlock + 100, 'a'));
    std::filesystem::create_directories(folder.path() / "folder");

    EXPECT_EQ(fileCrc32(folder.file("digits")), 0xCBF43926u);
    EXPECT_EQ(fileCrc32(folder.file("empty")), 0u);
    EXPECT_EQ(fileCrc32(folder.file("long")), 0x96589AB6u);
    EXPECT_EQ(fileCrc32(folder.file("missing")), std::nullopt);
    EXPECT_EQ(fileCrc32(folder.file("folder")), std::nullopt);
#ifndef _WIN32
    // A device may never end: it is refused, not read.
    EXPECT_EQ(fileCrc32("/dev/zero"), std::nullopt);
#endif
}

}  // namespace
