#include "http/file_stream.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_path.h"
#include "support/temp_folder.h"

namespace {

void write(FileStream& stream, const std::string& bytes) {
    stream.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(FileStreamTest, StartsEmptyEvenOverAnOlderFileAndWritesAtTheEnd) {
    TempFolder folder;
    folder.write("version", std::string("an older and longer document"));
    FileStream stream(folder.file("version"));
    write(stream, "14\r\n");
    write(stream, "2841\r\n");
    stream.close();
    EXPECT_EQ(folder.read("version"), "14\r\n2841\r\n");
}

TEST(FileStreamTest, ShrinkingCutsTheTailAndTheNextBytesFollowTheCut) {
    TempFolder folder;
    FileStream stream(folder.file("body"));
    const std::string head(70000, 'h');
    write(stream, head);
    write(stream, std::string(30000, 'r'));  // still partly in the stream's buffer
    stream.shrinkBy(30000);
    EXPECT_EQ(std::filesystem::file_size(folder.path() / "body"), 70000u);
    write(stream, "tail");
    stream.shrinkBy(1000000);  // more than it holds: empty, not an error
    write(stream, "after");
    stream.close();
    EXPECT_EQ(folder.read("body"), "after");
    EXPECT_EQ(stream.size(), 5u);
}

TEST(FileStreamTest, AUtf8NameIsTheFilesName) {
    TempFolder folder;
    const std::string name = "\xD0\xB2\xD0\xB5\xD1\x80\xD1\x81\xD0\xB8\xD1\x8F";  // "версия"
    FileStream stream(utf8Of(folder.path()) + "/" + name);
    write(stream, "14");
    stream.close();
    EXPECT_TRUE(std::filesystem::exists(folder.path() / pathFromUtf8(name)));
}

TEST(FileStreamTest, FailuresNameTheFileAndTheReason) {
    TempFolder folder;
    try {
        FileStream stream(folder.file("no-such-folder/version"));
        FAIL() << "created a file in a missing folder";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("no-such-folder/version"), std::string::npos);
    }
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to fill";
    FileStream full("/dev/full");
    try {
        for (int i = 0; i < 100; ++i) write(full, std::string(8190, 'x'));
        full.close();
        FAIL() << "a full disk took every byte";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("/dev/full"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("No space"), std::string::npos) << error.what();
    }
}

}  // namespace
