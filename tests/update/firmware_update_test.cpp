#include "update/firmware_update.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/scripted_link.h"
#include "support/temp_folder.h"
#include "support/test_bytes.h"
#include "support/window_parts.h"

namespace {

const std::string kFile = "Telvarn-1_APPL.cbin";

std::string textOf(const Bytes& frame, std::size_t length) {
    return std::string(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
}

// A bootloader behind a scripted port: answers "OK" unless told to fail, and
// records what it was sent and what the window saw, in order.
struct FirmwareUpdateTest : ::testing::Test, ScriptedLink, WindowParts {
    TempFolder folder;
    std::unique_ptr<Timer> timer = pump.createTimer([] {});

    bool eraseFails = false;
    bool runappFails = false;
    std::set<unsigned> failingPages;
    std::vector<unsigned> pages;        // page numbers sent
    std::vector<Bytes> pageData;        // their 256 data bytes
    std::vector<std::string> events;    // "paint", "prog", "erase", "runapp", "reset"
    std::vector<std::string> progress;  // status texts
    Connection progressShown;
    int updated = 0;
    bool timerOnDuringUpdate = false;
    std::size_t seenDtr = 0;

    FirmwareUpdate update{FirmwareUpdateContext{link, log, status, *timer, folder.file(kFile),
                                                [this] { events.push_back("paint"); },
                                                [this] { ++updated; }}};

    void SetUp() override {
        timer->setEnabled(true);
        link.open();
        progressShown =
            status.changed.connect([this](const std::string& text) { progress.push_back(text); });
        port.responder = [this](const Bytes& frame) { return answer(frame); };
    }

    // A reset pulse drops no frame of its own; it shows as new DTR levels.
    void noteResets() {
        if (port.dtr.size() > seenDtr) events.push_back("reset");
        seenDtr = port.dtr.size();
    }

    Bytes answer(const Bytes& frame) {
        noteResets();
        timerOnDuringUpdate = timerOnDuringUpdate || timer->enabled();
        const Bytes ok{'O', 'K'};
        if (textOf(frame, 4) == "prog") {
            const unsigned page = frame[4] * 256u + frame[5];
            pages.push_back(page);
            pageData.emplace_back(frame.begin() + 6, frame.begin() + 262);
            events.push_back("prog");
            return failingPages.count(page) ? Bytes{'E', 'R'} : ok;
        }
        if (textOf(frame, 5) == "erase") {
            events.push_back("erase");
            return eraseFails ? Bytes{} : ok;
        }
        if (textOf(frame, 6) == "runapp") {
            events.push_back("runapp");
            return runappFails ? Bytes{'N', 'O'} : ok;
        }
        return {};
    }

    void tick() {
        update.TimerProgTimer();
        noteResets();
        EXPECT_TRUE(timer->enabled()) << "TimerProg must be on again after every tick";
    }

    std::vector<std::string> percentages() const {
        std::vector<std::string> shown;
        for (const auto& text : progress) {
            if (text != "Программирование завершено") shown.push_back(text);
        }
        return shown;
    }

    void clear() {
        pages.clear();
        pageData.clear();
        events.clear();
        progress.clear();
        port.written.clear();
        port.dtr.clear();
        seenDtr = 0;
        log.clear();
    }
};

std::vector<unsigned> range(unsigned count) {
    std::vector<unsigned> numbers(count);
    for (unsigned i = 0; i < count; ++i) numbers[i] = i;
    return numbers;
}

}  // namespace

// ---- Pages and progress ------------------------------------------------------

TEST_F(FirmwareUpdateTest, APartialLastPageIsPaddedWithFF) {
    const Bytes firmware = patternedBytes(300, 7);
    folder.write(kFile, firmware);
    tick();

    ASSERT_EQ(pages, (std::vector<unsigned>{0, 1}));
    EXPECT_EQ(pageData[0], Bytes(firmware.begin(), firmware.begin() + 256));
    Bytes last(firmware.begin() + 256, firmware.end());
    last.resize(256, 0xFF);
    EXPECT_EQ(pageData[1], last);
    EXPECT_EQ(percentages(),
              (std::vector<std::string>{"Программирование 0%", "Программирование 100%"}));
}

TEST_F(FirmwareUpdateTest, ProgressCountsWholePagesOfTheLoadedBytes) {
    folder.write(kFile, patternedBytes(1000, 7));
    tick();
    EXPECT_EQ(pages, range(4));
    EXPECT_EQ(percentages(),
              (std::vector<std::string>{"Программирование 0%", "Программирование 33%",
                                        "Программирование 66%", "Программирование 100%"}));

    clear();
    folder.write(kFile, patternedBytes(1024, 7));
    tick();
    EXPECT_EQ(pages, range(4));
    EXPECT_EQ(percentages(),
              (std::vector<std::string>{"Программирование 0%", "Программирование 25%",
                                        "Программирование 50%", "Программирование 75%"}));
}

TEST_F(FirmwareUpdateTest, AFileIsSentUpToTheLimitAndOnlyALongerOneIsCut) {
    for (const std::size_t size : {122880u, 200000u}) {
        clear();
        const Bytes firmware = patternedBytes(size, 7);
        folder.write(kFile, firmware);
        tick();

        const bool cut = size > 122880;
        EXPECT_EQ(pages, range(480));
        EXPECT_EQ(pageData[479], Bytes(firmware.begin() + 122624, firmware.begin() + 122880));
        ASSERT_GE(log.lines().size(), 2u);
        EXPECT_EQ(log.lines()[0], "Загружено 122880 байт из файла Telvarn-1_APPL.cbin");
        EXPECT_EQ(log.lines()[1] == "Обрезано до 122880 байт", cut) << size;
        EXPECT_EQ(std::count(log.lines().begin(), log.lines().end(), "Обрезано до 122880 байт"),
                  cut ? 1 : 0);
        EXPECT_EQ(percentages().back(), "Программирование 99%");
        EXPECT_FALSE(folder.exists(kFile));
    }
}

TEST_F(FirmwareUpdateTest, TheWindowIsRepaintedBeforeEveryPage) {
    folder.write(kFile, patternedBytes(600, 7));
    tick();
    EXPECT_EQ(events, (std::vector<std::string>{"reset", "erase", "paint", "prog", "paint", "prog",
                                                "paint", "prog", "runapp"}));
}

// ---- Outcomes ----------------------------------------------------------------

TEST_F(FirmwareUpdateTest, ASuccessfulUpdateReportsStartsTheApplicationAndDeletesTheFile) {
    folder.write(kFile, patternedBytes(300, 7));
    tick();

    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"Загружено 300 байт из файла Telvarn-1_APPL.cbin",
                                        "Основное приложение стерто", "Программирование завершено",
                                        "Запуск основного приложения : OK"}));
    EXPECT_EQ(status.text(), "Программирование завершено");
    EXPECT_FALSE(folder.exists(kFile));
    EXPECT_EQ(beeper.beeps, 1);
    EXPECT_EQ(updated, 1);
    EXPECT_FALSE(timerOnDuringUpdate);

    // Nothing left to flash.
    clear();
    tick();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(updated, 1);
}

TEST_F(FirmwareUpdateTest, AFailedStartOfTheApplicationStillCountsAsSuccess) {
    runappFails = true;
    folder.write(kFile, patternedBytes(300, 7));
    tick();

    EXPECT_EQ(log.lines().back(), "Программирование завершено");
    EXPECT_EQ(std::count(log.lines().begin(), log.lines().end(), "Программирование..."), 0);
    EXPECT_FALSE(folder.exists(kFile));
    EXPECT_EQ(beeper.beeps, 1);
    EXPECT_EQ(updated, 1);
}

TEST_F(FirmwareUpdateTest, AFailedPageIsReportedAndTheRestStillSent) {
    failingPages = {5};
    folder.write(kFile, patternedBytes(2560, 7));
    tick();

    EXPECT_EQ(pages, range(10));
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"Загружено 2560 байт из файла Telvarn-1_APPL.cbin",
                                        "Основное приложение стерто", "Программирование...",
                                        "Ошибка записи страницы 5", "Ошибка программирования"}));
    // The failed page shows no progress of its own.
    EXPECT_EQ(std::count(progress.begin(), progress.end(), "Программирование 50%"), 0);
    EXPECT_EQ(status.text(), "Программирование 90%");
    EXPECT_EQ(std::count(events.begin(), events.end(), "runapp"), 0);
    EXPECT_TRUE(folder.exists(kFile));
    EXPECT_EQ(beeper.beeps, 0);
    EXPECT_EQ(updated, 0);

    // The next tick repeats the whole update.
    failingPages.clear();
    clear();
    tick();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "reset");
    EXPECT_EQ(events[1], "erase");
    EXPECT_EQ(pages, range(10));
    EXPECT_FALSE(folder.exists(kFile));
    EXPECT_EQ(updated, 1);
}

TEST_F(FirmwareUpdateTest, AFailedEraseSendsNoPageAndKeepsTheFile) {
    eraseFails = true;
    folder.write(kFile, patternedBytes(300, 7));
    tick();

    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"Загружено 300 байт из файла Telvarn-1_APPL.cbin",
                                        "Ошибка стирания основного приложения"}));
    EXPECT_TRUE(pages.empty());
    EXPECT_TRUE(folder.exists(kFile));
    EXPECT_EQ(updated, 0);

    // An erase failure is retried: the programmer may answer next time.
    clear();
    tick();
    EXPECT_EQ(events, (std::vector<std::string>{"reset", "erase"}));
}

TEST_F(FirmwareUpdateTest, ACommandErrorThatEscapesLeavesTheTimerOff) {
    // Turned on again, the timer would raise the same error every second, each
    // message box opening inside the one before.
    folder.write(kFile, patternedBytes(300, 7));
    timer->setEnabled(true);
    port.failing = {"purge"};
    EXPECT_THROW(update.TimerProgTimer(), PortError);
    EXPECT_FALSE(timer->enabled());
    EXPECT_TRUE(folder.exists(kFile));
    EXPECT_EQ(updated, 0);
}

// ---- When nothing is done --------------------------------------------------------

TEST_F(FirmwareUpdateTest, AClosedPortOrNoFileDoesNothing) {
    const std::size_t calls = port.calls.size();
    tick();
    EXPECT_EQ(port.calls.size(), calls);

    folder.write(kFile, patternedBytes(300, 7));
    link.close();
    tick();
    tick();
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(port.dtr.empty());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(folder.exists(kFile));

    // Flashed on the first tick once the port is open.
    link.open();
    tick();
    EXPECT_FALSE(folder.exists(kFile));
    EXPECT_EQ(updated, 1);
}

TEST_F(FirmwareUpdateTest, AnEmptyFileIsReportedOnceAndNeverErases) {
    folder.write(kFile, std::string());
    for (int i = 0; i < 3; ++i) tick();

    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"Файл Telvarn-1_APPL.cbin пустой",
                                        "Загружено 0 байт из файла Telvarn-1_APPL.cbin"}));
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(port.dtr.empty()) << "no reason to reset the programmer";
    EXPECT_TRUE(folder.exists(kFile));

    // Once the download fills the file it is flashed.
    folder.write(kFile, patternedBytes(300, 7));
    tick();
    EXPECT_EQ(pages, range(2));
    EXPECT_EQ(updated, 1);
}

TEST_F(FirmwareUpdateTest, AnEmptyFileIsReportedAgainAfterItWasRemoved) {
    folder.write(kFile, std::string());
    tick();
    std::filesystem::remove(folder.file(kFile));
    tick();
    folder.write(kFile, std::string());
    tick();
    tick();
    EXPECT_EQ(std::count(log.lines().begin(), log.lines().end(), "Файл Telvarn-1_APPL.cbin пустой"),
              2);
}

TEST_F(FirmwareUpdateTest, AnUnreadableFileIsReportedOnce) {
    // A folder of that name exists but cannot be read as a file.
    std::filesystem::create_directory(folder.file(kFile));
    for (int i = 0; i < 3; ++i) tick();

    EXPECT_EQ(log.lines(), (std::vector<std::string>{"Ошибка чтения файла Telvarn-1_APPL.cbin"}));
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(port.dtr.empty());
    EXPECT_EQ(updated, 0);
}
