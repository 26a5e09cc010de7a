#include "app/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "startup/program_files.h"
#include "startup/update_server.h"
#include "base/crc32.h"
#include "base/text.h"
#include "window_rig.h"

namespace {

ScriptedPeer serving(const std::string& body) {
    ScriptedPeer peer;
    peer.responses = {"HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                      "\r\n\r\n" + body};
    return peer;
}

std::string checksumOf(const std::string& bytes) {
    Crc32 crc;
    crc.update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return hexLong(crc.value());
}

std::string requestLine(const ScriptedSocket& socket, std::size_t connection) {
    const std::string& sent = socket.connections.at(connection).sent;
    return sent.substr(0, sent.find("\r\n"));
}

}  // namespace

TEST_F(Window, NormalStartFillsTheBufferDeletesLeftoversAndArmsTheVersionTimers) {
    folder.write("version", "old");
    folder.write("version_cbin", "old");
    MainWindow& w = start();
    EXPECT_FALSE(folder.exists("version"));
    EXPECT_FALSE(folder.exists("version_cbin"));
    EXPECT_EQ(std::count(w.chipBuffer.bytes().begin(), w.chipBuffer.bytes().end(), 0xFF),
              static_cast<long>(ChipBuffer::kSize));
    EXPECT_TRUE(w.TimerHTTPGetVersion->enabled());
    EXPECT_EQ(w.TimerHTTPGetVersion->interval(), 3000u);
    EXPECT_TRUE(w.TimerHTTPGetVersionCbin->enabled());
    EXPECT_EQ(w.TimerHTTPGetVersionCbin->interval(), 5000u);
    EXPECT_FALSE(w.TimerProg->enabled());
    EXPECT_EQ(w.TimerProg->interval(), 1000u);
    EXPECT_EQ(w.session.firmwareVersion(), -1);
    EXPECT_EQ(w.ProgramDirectory(), folder.path().string());
}

TEST_F(Window, OnlyAnExactFirstArgumentPauseRestarts) {
    start({"pause"});
    EXPECT_TRUE(window->TimerHTTPGetVersion->enabled());
    start({"AUTOEXIT", "PAUSE"});
    EXPECT_TRUE(window->TimerHTTPGetVersion->enabled());
    EXPECT_TRUE(system.started.empty());
    EXPECT_FALSE(system.quitRequested);
}

TEST_F(Window, RestartStepPutsTheDownloadInPlaceAndStartsItWithoutOpeningAPort) {
    systemPorts.names = {"ttyUSB0"};
    folder.write(kProgramFileName, "old program");
    folder.write("version", "new program");
    start({"PAUSE"}).FormCreate();
    EXPECT_TRUE(systemPort.opened.empty());
    EXPECT_EQ(folder.read(kProgramFileName), "new program");
    EXPECT_FALSE(folder.exists("version"));
    const auto perms = std::filesystem::status(folder.file(kProgramFileName)).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0].path, folder.file(kProgramFileName));
    EXPECT_TRUE(system.started[0].args.empty());
    EXPECT_TRUE(system.started[0].hidden);
    EXPECT_TRUE(system.quitRequested);
    EXPECT_GE(pump.now, 5000u);  // waited for the old instance to end
    EXPECT_FALSE(window->TimerHTTPGetVersion->enabled());
    EXPECT_FALSE(window->TimerHTTPGetVersionCbin->enabled());
}

TEST_F(Window, RestartStepWithoutADownloadKeepsAndStartsTheOldProgram) {
    for (const bool emptyDownload : {false, true}) {
        SCOPED_TRACE(emptyDownload ? "empty \"version\"" : "no \"version\"");
        system.started.clear();
        folder.write(kProgramFileName, "old program");
        if (emptyDownload) folder.write("version", "");
        start({"PAUSE"});
        EXPECT_EQ(folder.read(kProgramFileName), "old program");
        ASSERT_EQ(system.started.size(), 1u);
        EXPECT_EQ(system.started[0].path, folder.file(kProgramFileName));
        EXPECT_TRUE(system.quitRequested);
        EXPECT_TRUE(dialogs.errors.empty());
    }
}

TEST_F(Window, HelpItemsReportTheVersionAndOpenTheFirmwareAddress) {
    MainWindow& w = start();
    w.menu.MainMenuHelpAbout.click();
    w.menu.MainMenuHelpAbout.click();
    EXPECT_EQ(w.log.lines(), std::vector<std::string>(2, "Версия программы Telvarn : 14"));
    w.menu.MainMenuHelpLoadCbin.click();
    ASSERT_EQ(system.openedUrls.size(), 1u);
    EXPECT_NE(system.openedUrls[0].find("/products/Telvarn/Telvarn-1_APPL.cbin"),
              std::string::npos);
    EXPECT_EQ(w.log.lines().size(), 2u);
}

TEST_F(Window, StartUpWithAProgrammerSelectsTheNewVariant) {
    systemPorts.names = {"SIM"};
    folder.write("Telvarn.ini", "[CHIP]\nTYPE=01\n[VIEW]\nLEFT=40\nWIDTH=100\n");
    MainWindow& w = start();
    w.log.append("left from before");
    w.FormCreate();
    const auto& lines = w.log.lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines.front(), "Найдено устройство Telvarn-1, порт : SIM");
    EXPECT_EQ(lines.back(), "Выбрана микросхема : 9912ЛК047");
    EXPECT_FALSE(logHas("Программатор Telvarn-1 не найден"));
    EXPECT_TRUE(w.menu.MainMenuChipMode02.checked());
    EXPECT_FALSE(w.menu.MainMenuChipMode01.checked());
    EXPECT_EQ(device.lastIdlemode(), "02R");
    EXPECT_TRUE(w.TimerProg->enabled());
    EXPECT_EQ(w.frame.left(), 40);
    EXPECT_EQ(w.frame.top(), 100);
    EXPECT_EQ(w.frame.width(), 500);
    EXPECT_EQ(w.session.firmwareVersion(), 15);
}

TEST_F(Window, StartUpWithoutAProgrammerStillAppliesSettingsAndRunsTheTimer) {
    MainWindow& w = start();
    w.FormCreate();
    EXPECT_EQ(w.log.lines(), std::vector<std::string>{"Программатор Telvarn-1 не найден"});
    EXPECT_FALSE(w.menu.MainMenuChipMode02.checked());
    EXPECT_TRUE(w.TimerProg->enabled());
    EXPECT_EQ(w.frame.width(), 700);
    EXPECT_EQ(w.frame.height(), 300);
}

TEST_F(Window, AnErrorInStartUpIsShownAndEndsItThere) {
    // A bootloader-only programmer on SIM, then a port that cannot be opened:
    // switching to it is outside discovery's per-port catch.
    device.setBehaviour(SimBehaviour::BootOnly);
    systemPorts.names = {"SIM", "ttyX"};
    systemPort.absent = {"ttyX"};
    MainWindow& w = start();
    w.FormCreate();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("Unable to open com port"), std::string::npos);
    EXPECT_FALSE(w.TimerProg->enabled());
}

TEST_F(Window, ClosingWritesTheGeometryAndTheChipTypeThenClosesTheLink) {
    systemPorts.names = {"SIM"};
    MainWindow& w = start();
    w.FormCreate();
    ASSERT_TRUE(w.link.isOpen());
    w.menu.MainMenuChipMode01.click();
    w.frame.updateFromView(10, 20, 640, 480);
    w.FormClose();
    const std::string ini = folder.read("Telvarn.ini");
    for (const char* entry : {"TOP=20", "LEFT=10", "HEIGHT=480", "WIDTH=640", "TYPE=01"}) {
        EXPECT_NE(ini.find(entry), std::string::npos) << entry << " in\n" << ini;
    }
    EXPECT_FALSE(w.link.isOpen());
}

TEST_F(Window, ClosingWithNoVariantKeepsTheStoredType) {
    folder.write("Telvarn.ini", "[CHIP]\nTYPE=02\n");
    MainWindow& w = start();
    w.FormClose();
    EXPECT_NE(folder.read("Telvarn.ini").find("TYPE=02"), std::string::npos);
}

TEST_F(Window, AnErrorEscapingAMenuCommandBecomesAMessageBoxAndTheProgramGoesOn) {
    MainWindow& w = start();
    w.link.open();  // the system's COM1
    systemPort.failing = {"purge"};
    EXPECT_TRUE(w.menu.pressShortcut("F5"));  // "Новая микросхема"
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("(Error: 5)"), std::string::npos);
    systemPort.failing.clear();
    systemPort.reply("OK");
    w.menu.MainMenuChipModeNew.click();
    EXPECT_EQ(w.log.lines().back(), "Выбрана новая микросхема");
}

TEST_F(Window, AutoexitClosesAfterASuccessfulFirmwareUpdateOnly) {
    systemPorts.names = {"SIM"};
    MainWindow& w = start({"AUTOEXIT"});
    int closes = 0;
    const Connection counting = w.closeRequested.connect([&] { ++closes; });
    w.FormCreate();
    auto& tick = static_cast<ManualPump::ManualTimer&>(*w.TimerProg).onTick;
    tick();  // no firmware file: nothing happens
    EXPECT_EQ(closes, 0);

    folder.write(kFirmwareName, Bytes(1000, 0x5A));
    tick();
    EXPECT_EQ(w.log.lines().back(), "Запуск основного приложения : OK");
    EXPECT_FALSE(folder.exists(kFirmwareName));
    EXPECT_EQ(device.flash()[999], 0x5A);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(w.TimerProg->enabled());
}

TEST_F(Window, ProgramUpdateRunsFromTheCheckToTheRestartThroughTheSavedCopy) {
    updateServer = "http://127.0.0.1:8123/";
    folder.write(kProgramFileName, "old program");
    const std::string program = "new program";
    versionSocket.peers = {serving("Telvarn\r\n15\r\n" + checksumOf(program) + "\r\nNotes\r\n"),
                           serving(program)};
    MainWindow& w = start();
    int closes = 0;
    const Connection counting = w.closeRequested.connect([&] { ++closes; });

    tick(*w.TimerHTTPGetVersion);
    EXPECT_EQ(versionSocket.resolved, std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(versionSocket.connections.at(0).port, "8123");
    EXPECT_EQ(requestLine(versionSocket, 0),
              std::string("GET ") + kProgramVersionPath + " HTTP/1.0");
    EXPECT_EQ(w.TimerHTTPGetVersion->interval(), 1800000u);
    EXPECT_EQ(w.log.lines(), std::vector<std::string>{"Доступна новая версия программы!"});
    EXPECT_TRUE(w.menu.MainMenuUpdatePog.enabled());
    EXPECT_TRUE(w.menu.MainMenuUpdate.enabled());
    EXPECT_FALSE(w.menu.MainMenuUpdateCbin.enabled());

    w.menu.MainMenuUpdatePog.click();
    EXPECT_EQ(dialogs.questions.at(0).first, "Notes\n");
    EXPECT_EQ(requestLine(versionSocket, 1),
              std::string("GET ") + kProgramDownloadPath + " HTTP/1.0");
    const std::string savedCopy = savedProgramFileName(MainWindow::ProgramVersion);
    EXPECT_EQ(folder.read(savedCopy), "old program");
    EXPECT_EQ(folder.read("version"), program);
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0].path, folder.file(savedCopy));
    EXPECT_EQ(system.started[0].args, std::vector<std::string>{"PAUSE"});
    EXPECT_TRUE(system.started[0].hidden);
    ASSERT_EQ(dialogs.informs.size(), 1u);
    EXPECT_TRUE(dialogs.informs[0].ends_with("сохранена как " + savedCopy));
    EXPECT_EQ(closes, 1);
}

TEST_F(Window, FirmwareCheckAsksOnceTheProgrammerIsKnownAndHandsTheDownloadOver) {
    const std::string firmware(3000, '\x5A');
    versionCbinSocket.peers = {serving("Telvarn-1_APPL\n16\n" + checksumOf(firmware) + "\nN\n"),
                               serving(firmware)};
    versionSocket.peers = {serving("Telvarn\n15\nC\nN\n")};
    systemPorts.names = {"SIM"};  // firmware version 15 found at start
    MainWindow& w = start();
    w.FormCreate();
    w.log.clear();
    tick(*w.TimerHTTPGetVersion);
    tick(*w.TimerHTTPGetVersionCbin);
    EXPECT_EQ(w.log.lines(), (std::vector<std::string>{"Доступна новая версия программы!",
                                                        "Доступна новая версия прошивки!"}));
    EXPECT_TRUE(w.menu.MainMenuUpdateCbin.enabled());
    w.menu.MainMenuUpdateCbin.click();
    EXPECT_FALSE(w.menu.MainMenuUpdateCbin.enabled());
    EXPECT_TRUE(w.menu.MainMenuUpdate.enabled());  // for "Программы"
    EXPECT_EQ(requestLine(versionCbinSocket, 0),
              std::string("GET ") + kFirmwareVersionPath + " HTTP/1.0");
    EXPECT_EQ(requestLine(versionCbinSocket, 1),
              std::string("GET ") + kFirmwareDownloadPath + " HTTP/1.0");
    EXPECT_EQ(folder.read(kFirmwareName), firmware);
}

TEST_F(Window, TheSettingsFileNamesTheUpdateServerAndKeepsIt) {
    folder.write("Telvarn.ini", "[UPDATE]\nSERVER=http://10.1.2.3:8000\n");
    versionSocket.peers = {serving("Telvarn\n14\nC\nN\n")};
    MainWindow& w = start();
    tick(*w.TimerHTTPGetVersion);
    EXPECT_EQ(versionSocket.resolved, std::vector<std::string>{"10.1.2.3"});
    w.menu.MainMenuHelpLoadCbin.click();
    EXPECT_EQ(system.openedUrls, std::vector<std::string>{std::string("http://10.1.2.3:8000") +
                                                          kFirmwareDownloadPath});
    w.FormClose();
    EXPECT_NE(folder.read("Telvarn.ini").find("SERVER=http://10.1.2.3:8000"), std::string::npos);
}
