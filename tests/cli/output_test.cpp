#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_output.h"

namespace {

struct Streams {
    std::ostringstream out;
    std::ostringstream err;
};

TEST(CliOutput, OffATerminalALineTakenBackByTheLogIsNeverPrinted) {
    Streams s;
    CliOutput output(s.out, s.err, {});
    Log log;
    StatusLine status;
    output.follow(log, status);
    log.append("Основное приложение стерто");
    log.append("Программирование...");
    status.setText("Программирование 50%");
    log.deleteLast();
    log.append("Программирование завершено");
    output.finish();
    EXPECT_EQ(s.out.str(), "Основное приложение стерто\nПрограммирование завершено\n");
    EXPECT_EQ(s.err.str(), "");  // no progress off a terminal
}

TEST(CliSummary, TextAndJsonShowTheSameFacts) {
    Summary summary;
    summary.operation = "program";
    summary.result = "failed";
    summary.port = "ttyUSB0";
    summary.serialNumber = "0001\t\"2\"";
    summary.firmwareVersion = 15;
    summary.file = "чип.txt";
    summary.crc = 0x1A2B3C;
    summary.seconds = 2.5;
    summary.good = 2;
    summary.failed = 1;
    EXPECT_EQ(summaryText(summary),
              "program: 2 good, 1 failed; port ttyUSB0, serial number 0001\t\"2\", firmware "
              "version 15, file чип.txt, CRC-32 001A2B3C, 2.500 s");
    EXPECT_EQ(summaryJson(summary),
              "{\"operation\":\"program\",\"port\":\"ttyUSB0\","
              "\"serial_number\":\"0001\\u0009\\\"2\\\"\",\"firmware_version\":15,"
              "\"file\":\"чип.txt\",\"crc32\":\"001A2B3C\",\"result\":\"failed\",\"good\":2,"
              "\"failed\":1,\"seconds\":2.500}");
}

}  // namespace
