#include "app/firmware_watch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/scripted_link.h"
#include "support/session_rig.h"
#include "support/temp_folder.h"
#include "support/test_bytes.h"
#include "control/firmware_file.h"

namespace {

using Lines = std::vector<std::string>;

// The watch on a scripted bootloader that answers "OK" to everything, or
// nothing at all (so that the erase fails) while `answers` is off.
struct Watched : SessionRig<ScriptedLink> {
    TempFolder folder;
    std::string file = folder.file(kFirmwareName);
    std::unique_ptr<Timer> timer = pump.createTimer([] {});
    bool answers = true;
    std::function<void()> onPage = [] {};
    std::vector<bool> timerWhenUpdated;  // one entry for each onUpdated
    FirmwareWatch watch{session, *timer, file, [this] { onPage(); },
                        [this] { timerWhenUpdated.push_back(timer->enabled()); }};

    Watched() {
        timer->setEnabled(true);
        link.open();
        port.responder = [this](const Bytes&) { return answers ? bytesOf("OK") : Bytes{}; };
    }

    // One tick of TimerProg; true when it went to the programmer.
    bool tick() {
        const std::size_t calls = port.calls.size();
        watch.TimerProgTimer();
        EXPECT_TRUE(timer->enabled()) << "TimerProg must be on again after every tick";
        return port.calls.size() > calls;
    }
    void write(std::size_t size) const { folder.write(kFirmwareName, patternedBytes(size, 7)); }
    bool present() const { return folder.exists(kFirmwareName); }
};

}  // namespace

TEST(FirmwareWatch, FlashesAFileOnceTheProgrammerTakesItThenDeletesItAndTellsWithTheTimerOn) {
    Watched rig;
    EXPECT_FALSE(rig.tick());
    rig.write(300);
    rig.link.close();
    EXPECT_FALSE(rig.tick());
    EXPECT_EQ(rig.log.lines(), Lines{});

    rig.link.open();
    rig.answers = false;
    EXPECT_TRUE(rig.tick());
    EXPECT_TRUE(rig.tick()) << "a failed flash is tried again: the programmer may answer";
    EXPECT_TRUE(rig.timerWhenUpdated.empty());

    rig.answers = true;
    rig.onPage = [&rig] {
        EXPECT_FALSE(rig.timer->enabled()) << "a tick inside the update would start another";
    };
    EXPECT_TRUE(rig.tick());
    EXPECT_FALSE(rig.present());
    // Told with the timer off, a window that closes there would never turn it on again.
    EXPECT_EQ(rig.timerWhenUpdated, std::vector<bool>{true});
    EXPECT_FALSE(rig.tick());
    EXPECT_EQ(rig.timerWhenUpdated.size(), 1u);
}

TEST(FirmwareWatch, AnUnusableFileIsReportedOnceUntilItChangesOrIsRemoved) {
    // A folder has no stamp: only forgetting the last one lets a new one be reported.
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a folder" : "empty");
        Watched rig;
        const auto make = [&] {
            if (folder) {
                std::filesystem::create_directory(rig.file);
            } else {
                rig.folder.write(kFirmwareName, Bytes{});
            }
        };
        const Lines report = folder ? Lines{"Ошибка чтения файла Telvarn-1_APPL.cbin"}
                                    : Lines{"Файл Telvarn-1_APPL.cbin пустой",
                                            "Загружено 0 байт из файла Telvarn-1_APPL.cbin"};
        make();
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(rig.tick());
        EXPECT_EQ(rig.log.lines(), report);

        rig.log.clear();
        std::filesystem::remove(rig.file);
        EXPECT_FALSE(rig.tick());
        make();
        EXPECT_FALSE(rig.tick());
        EXPECT_FALSE(rig.tick());
        EXPECT_EQ(rig.log.lines(), report);

        // Once the download has filled it, it is flashed.
        std::filesystem::remove(rig.file);
        rig.write(300);
        EXPECT_TRUE(rig.tick());
        EXPECT_FALSE(rig.present());
    }
}

TEST(FirmwareWatch, AFileThatCannotBeDeletedIsReportedAndThenLeftAlone) {
    Watched rig;
    rig.write(100);
    // Whoever runs the tests may remove any file, so while its one page goes
    // the file becomes a folder that is not empty, which cannot be removed.
    rig.onPage = [&rig] {
        std::filesystem::remove(rig.file);
        std::filesystem::create_directories(std::filesystem::path(rig.file) / "inside");
    };
    EXPECT_TRUE(rig.tick());
    EXPECT_EQ(rig.log.lines().back(), "Ошибка удаления файла Telvarn-1_APPL.cbin");
    EXPECT_EQ(rig.timerWhenUpdated.size(), 1u) << "the programmer was updated all the same";
    // Left behind, it would be taken up again every second.
    const Lines logged = rig.log.lines();
    EXPECT_FALSE(rig.tick());
    EXPECT_EQ(rig.log.lines(), logged);
}

TEST(FirmwareWatch, AnErrorThatEscapesLeavesTheTimerOff) {
    // Turned on again, the timer would raise the same error every second, each
    // message box opening inside the one before.
    Watched rig;
    rig.write(300);
    rig.port.failing = {"purge"};
    EXPECT_THROW(rig.watch.TimerProgTimer(), PortError);
    EXPECT_FALSE(rig.timer->enabled());
    EXPECT_TRUE(rig.timerWhenUpdated.empty());
}
