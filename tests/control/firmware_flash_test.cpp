#include "control/firmware_flash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/recorded_report.h"
#include "support/scripted_link.h"
#include "support/sim_rig.h"
#include "support/temp_folder.h"
#include "support/test_bytes.h"
#include "control/firmware_file.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kDone = "Программирование завершено";

std::string loadedLine(std::size_t bytes) {
    return "Загружено " + std::to_string(bytes) + " байт из файла Telvarn-1_APPL.cbin";
}

Lines percents(const std::vector<int>& values) {
    Lines texts;
    for (const int n : values) texts.push_back("Программирование " + std::to_string(n) + "%");
    return texts;
}

// Every flash begins with a reset and an erase, and paints before each page.
Lines eventsOf(unsigned pageCount, bool runapp) {
    Lines events{"reset", "erase"};
    for (unsigned i = 0; i < pageCount; ++i) events.insert(events.end(), {"paint", "prog"});
    if (runapp) events.push_back("runapp");
    return events;
}

// A bootloader behind a scripted port that answers "OK" except to the command
// in `fault`, and records the page data it was sent and, in order, what happened.
struct Bootloader : ScriptedLink {
    TempFolder folder;
    RecordedReport report;
    std::string fault;  // "erase", "runapp", or "prog" (page 5 only)
    Bytes sent;
    Lines events;

    explicit Bootloader(std::string failing = "") : fault(std::move(failing)) {
        link.open();
        port.calls.clear();
        port.responder = [this](const Bytes& frame) { return answer(frame); };
    }

    Bytes answer(const Bytes& frame) {
        // A reset sends no frame of its own: it shows as DTR levels before the erase.
        if (events.empty() && !port.dtr.empty()) events.push_back("reset");
        const std::string text(frame.begin(), frame.end());
        for (const char* word : {"prog", "erase", "runapp"}) {
            if (text.starts_with(word)) events.push_back(word);
        }
        if (events.back() != "prog") return bytesOf(events.back() == fault ? "ER" : "OK");
        sent.insert(sent.end(), frame.begin() + 6, frame.begin() + 262);
        return bytesOf(fault == "prog" && frame[4] * 256 + frame[5] == 5 ? "ER" : "OK");
    }

    FlashResult flash(const Bytes& firmware) {
        folder.write(kFirmwareName, firmware);
        return flashFirmware(link, report, folder.file(kFirmwareName),
                             [this] { events.push_back("paint"); });
    }
};

}  // namespace

TEST(FirmwareFlash, PagesTheFileUpToTheLimitPaddedWithFFAndStartsTheApplication) {
    struct Row {
        std::size_t size;
        unsigned pages;
        std::vector<int> lastPercents;
    };
    // clang-format off
    const Row rows[] = {
        {300, 2, {0, 100}},
        {1000, 4, {0, 33, 66, 100}},  // progress counts whole pages of the bytes loaded
        {1024, 4, {0, 25, 50, 75}},
        {122880, 480, {99}},
        {200000, 480, {99}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        Bootloader rig;
        const Bytes firmware = patternedBytes(row.size, 7);
        EXPECT_EQ(rig.flash(firmware), FlashResult::Flashed);

        const std::size_t loaded = std::min(row.size, kFirmwareLimit);
        Bytes image(firmware.begin(), firmware.begin() + static_cast<std::ptrdiff_t>(loaded));
        image.resize(row.pages * 256, 0xFF);
        EXPECT_EQ(rig.sent, image);
        EXPECT_EQ(rig.events, eventsOf(row.pages, true));

        Lines log{loadedLine(loaded), "Основное приложение стерто", kDone,
                  "Запуск основного приложения : OK"};
        if (row.size > kFirmwareLimit) log.insert(log.begin() + 1, "Обрезано до 122880 байт");
        EXPECT_EQ(rig.report.lines(), log);

        // One progress text for each page, the last replaced by the end.
        const Lines& shown = rig.report.progresses();
        ASSERT_EQ(shown.size(), row.pages + 1);
        EXPECT_EQ(Lines(shown.end() - 1 - row.lastPercents.size(), shown.end() - 1),
                  percents(row.lastPercents));
        EXPECT_EQ(shown.back(), kDone);
        EXPECT_EQ(rig.beeper.beeps, 1);
        EXPECT_TRUE(rig.folder.exists(kFirmwareName)) << "deleting it is for the caller";
    }
}

TEST(FirmwareFlash, AFailedCommandIsReportedAndOnlyAFailedStartStillCountsAsFlashed) {
    struct Row {
        const char* fault;
        FlashResult result;
        unsigned pagesSent;  // of ten: after a failed page the rest still go
        std::vector<int> percents;
        Lines log;
    };
    // clang-format off
    const Row rows[] = {
        {"erase", FlashResult::Failed, 0, {},
         {loadedLine(2560), "Ошибка стирания основного приложения"}},
        // The failed page shows no progress of its own.
        {"prog", FlashResult::Failed, 10, {0, 10, 20, 30, 40, 60, 70, 80, 90},
         {loadedLine(2560), "Основное приложение стерто", "Программирование...",
          "Ошибка записи страницы 5", "Ошибка программирования"}},
        {"runapp", FlashResult::Flashed, 10, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90},
         {loadedLine(2560), "Основное приложение стерто", kDone}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        Bootloader rig(row.fault);
        const bool flashed = row.result == FlashResult::Flashed;
        EXPECT_EQ(rig.flash(patternedBytes(2560, 7)), row.result);
        EXPECT_EQ(rig.report.lines(), row.log);
        EXPECT_EQ(rig.events, eventsOf(row.pagesSent, flashed));
        Lines progress = percents(row.percents);
        if (flashed) progress.push_back(kDone);
        EXPECT_EQ(rig.report.progresses(), progress);
        EXPECT_EQ(rig.beeper.beeps, flashed ? 1 : 0);
    }
}

TEST(FirmwareFlash, AFileThatCannotBeFlashedLeavesTheProgrammerAlone) {
    // Erasing for it would leave the programmer with no application at all.
    Bootloader rig;
    const std::string file = rig.folder.file(kFirmwareName);
    const auto told = [&rig, &file] {
        EXPECT_EQ(flashFirmware(rig.link, rig.report, file), FlashResult::FileUnusable);
        const Lines lines = rig.report.lines();
        rig.report.clear();
        return lines;
    };
    const Lines unreadable{"Ошибка чтения файла Telvarn-1_APPL.cbin"};
    EXPECT_EQ(told(), unreadable) << "missing";
    std::filesystem::create_directory(file);
    EXPECT_EQ(told(), unreadable) << "a folder";
    std::filesystem::remove(file);
    rig.folder.write(kFirmwareName, Bytes{});
    EXPECT_EQ(told(), (Lines{"Файл Telvarn-1_APPL.cbin пустой", loadedLine(0)}));
    EXPECT_EQ(rig.port.calls, Lines{}) << "not even a reset";
}

// The simulated bootloader checks every page's checksum and keeps what it was
// given in its flash.
TEST(FirmwareFlash, OnTheSimulatorTheFlashHoldsTheFileAndTheRestIsErased) {
    for (const auto& [size, pages] : {std::pair{1000, 4}, std::pair{200000, 480}}) {
        SCOPED_TRACE(size);
        SimRig rig;
        TempFolder folder;
        RecordedReport report;
        const Bytes firmware = patternedBytes(static_cast<std::size_t>(size), 13);
        folder.write(kFirmwareName, firmware);
        EXPECT_EQ(flashFirmware(rig.link, report, folder.file(kFirmwareName)),
                  FlashResult::Flashed);

        Bytes expected = firmware;
        expected.resize(SimulatedProgrammer::kFlashSize, 0xFF);
        EXPECT_EQ(Bytes(rig.device.flash().begin(), rig.device.flash().end()), expected);
        EXPECT_EQ(rig.device.pagesProgrammed(), pages);
        EXPECT_TRUE(rig.device.applicationRunning());
        EXPECT_EQ(report.lines().back(), "Запуск основного приложения : OK");
    }
}
