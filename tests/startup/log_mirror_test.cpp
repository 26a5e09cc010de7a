#include "startup/log_mirror.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "support/temp_folder.h"

TEST(LogMirror, AppendsEachLineAsLoggedUntilItGoes) {
    TempFolder folder;
    Log log;
    log.append("before the mirror");
    auto mirror = std::make_unique<LogMirror>(log, folder.file("log.txt"));
    log.append("Буфер очищен");
    log.append("");
    mirror.reset();
    log.append("after the mirror");
    EXPECT_EQ(folder.read("log.txt"), "Буфер очищен\n\n");
}

TEST(LogMirror, AFileThatCannotBeOpenedIsReportedOnce) {
    TempFolder folder;
    const std::string path = folder.file("no such folder/log.txt");
    Log log;
    ::testing::internal::CaptureStderr();
    {
        LogMirror mirror(log, path);
        for (int i = 0; i < 3; ++i) log.append("Программатор Telvarn-1 не найден");
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("cannot open the log file " + path), std::string::npos) << said;
    EXPECT_EQ(log.lines().size(), 3u);
}
