#include "cli/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/main_window.h"
#include "startup/program_files.h"
#include "base/crc32.h"
#include "base/text.h"
#include "cli/cli_rig.h"
#include "link/routed_port.h"
#include "sim/simulated_port.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"

namespace {

using Words = std::vector<std::string>;

// Valid bit numbers in the forms the loader takes, and one empty line.
const std::string kGoodData = "0\n7\n$10\n\n30000\n";
const std::string kBadData = "0\nabc\n-5\n16\n";

struct CliCommands : ::testing::Test {
    TempFolder folder;
    CliRig rig;

    std::string file(const std::string& name, const std::string& content) {
        folder.write(name, content);
        return folder.file(name);
    }

    bool summaryHas(const std::string& text) const {
        return rig.summary().find(text) != std::string::npos;
    }
};

// The window's log for the same work: started with the simulated programmer
// on "SIM", the file loaded through its dialog, then "Прошить".
std::vector<std::string> windowLogFor(const std::string& path) {
    TempFolder folder;
    DesktopFakes fakes;
    FakeSerialPort systemPort;
    FakePortEnumerator systemPorts;
    systemPorts.names = {"SIM"};
    SimulatedProgrammer device;
    SimulatedPort simulatedPort(device, false);
    RoutedPort port(systemPort, simulatedPort, "SIM");
    fakes.system.exePath = folder.file(kProgramFileName);
    Desktop desktop = fakes.desktopOn(port, systemPorts);
    MainWindow window(desktop, {});
    window.FormCreate();
    fakes.dialogs.fileToOpen = path;
    window.menu.MainMenuChipLoadFile.click();
    window.menu.MainMenuChipLoadRam.click();
    EXPECT_TRUE(fakes.dialogs.errors.empty());
    const auto& lines = window.log.lines();
    return std::vector<std::string>(lines.begin(), lines.end());
}

TEST_F(CliCommands, ProgramPrintsTheWindowsLinesAndExitsZero) {
    const std::string path = file("chip.txt", kGoodData);
    EXPECT_EQ(rig.run({"program", path, "--simulator", "normal"}), 0) << rig.err.str();
    const auto window = windowLogFor(path);
    EXPECT_EQ(rig.logLines(), window);
    EXPECT_EQ(window.back(), "Программирование : OK");
    EXPECT_EQ(rig.device().lastProgmode(), "02R");
    EXPECT_TRUE(summaryHas("program: ok"));
}

struct ExitCase {
    const char* name;
    Words words;  // "FILE" stands for the good data file, "BAD" for the bad one
    SimBehaviour behaviour;
    int exit;
    const char* result;
};

TEST_F(CliCommands, ExitStatusesFollowTheOutcome) {
    const std::vector<ExitCase> cases = {
        {"find", {"find"}, SimBehaviour::Normal, 0, "ok"},
        {"find, silent port", {"find", "--port", "SIM"}, SimBehaviour::Silent, 3, "not found"},
        {"find, no application", {"find"}, SimBehaviour::BootOnly, 3, "not found"},
        {"program", {"program", "FILE"}, SimBehaviour::Normal, 0, "ok"},
        {"program, bad RAM", {"program", "FILE"}, SimBehaviour::BadRam, 1, "failed"},
        {"program, silent", {"program", "FILE"}, SimBehaviour::Silent, 3, "not found"},
        {"program, error lines", {"program", "BAD"}, SimBehaviour::Normal, 4, "file errors"},
        {"burn", {"burn", "FILE", "--yes"}, SimBehaviour::Normal, 0, "ok"},
        {"burn, bad RAM", {"burn", "FILE", "--yes"}, SimBehaviour::BadRam, 1, "failed"},
        {"burn, error lines", {"burn", "BAD", "--yes"}, SimBehaviour::Normal, 4, "file errors"},
        {"selftest", {"selftest"}, SimBehaviour::Normal, 0, "ok"},
        {"selftest, bad RAM", {"selftest"}, SimBehaviour::BadRam, 1, "failed"},
        {"selftest, silent", {"selftest"}, SimBehaviour::Silent, 3, "not found"},
        {"load", {"load", "FILE"}, SimBehaviour::Normal, 0, "ok"},
        {"load, error lines", {"load", "BAD"}, SimBehaviour::Normal, 4, "file errors"},
        {"load, no file", {"load", "missing.txt"}, SimBehaviour::Normal, 4, "file errors"},
    };
    const std::string good = file("good.txt", kGoodData);
    const std::string bad = file("bad.txt", kBadData);
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.name);
        CliRig run;
        Words words = c.words;
        for (std::string& word : words) {
            if (word == "FILE") word = good;
            if (word == "BAD") word = bad;
        }
        words.push_back("--simulator");
        words.push_back(std::string(c.behaviour == SimBehaviour::Normal     ? "normal"
                                    : c.behaviour == SimBehaviour::Silent   ? "silent"
                                    : c.behaviour == SimBehaviour::BootOnly ? "boot-only"
                                                                            : "bad-ram"));
        EXPECT_EQ(run.run(words), c.exit) << run.err.str();
        EXPECT_NE(run.summary().find(std::string(": ") + c.result + ";"), std::string::npos)
            << run.summary();
        // A file with error lines never reaches the programmer's RAM.
        if (c.exit == 4) {
            EXPECT_EQ(run.device().framesReceived("ramwrite"), 0);
        }
    }
}

TEST_F(CliCommands, LoadPrintsTheLoadersLinesWithoutTouchingTheProgrammer) {
    const std::string path = file("bad.txt", kBadData);
    EXPECT_EQ(rig.run({"load", path, "--simulator", "normal"}), 4);
    const auto lines = rig.logLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Буфер очищен");
    EXPECT_EQ(lines[1].rfind("Загружено 4 строк из файла " + path, 0), 0u);
    EXPECT_EQ(lines[2], "Ошибка в строке 2 : недопустимое значение abc");
    EXPECT_EQ(lines[3], "Ошибка в строке 3 : недопустимое значение -5");
    EXPECT_EQ(rig.device().framesReceived("info"), 0);
}

TEST_F(CliCommands, ErrorLinesStopProgrammingAfterTheLoad) {
    const std::string path = file("bad.txt", kBadData);
    EXPECT_EQ(rig.run({"program", path, "--simulator", "normal"}), 4);
    EXPECT_EQ(rig.logLines().back(), "Ошибка в строке 3 : недопустимое значение -5");
    EXPECT_EQ(rig.device().framesReceived("ramwrite"), 0);
    EXPECT_EQ(rig.device().framesReceived("progmode"), 0);
    EXPECT_NE(rig.err.str().find("nothing was programmed"), std::string::npos);
}

TEST_F(CliCommands, VariantOptionChoosesTheItemTheOperatorWouldClick) {
    const std::string path = file("chip.txt", kGoodData);
    EXPECT_EQ(rig.run({"burn", path, "--yes", "--variant", "1", "--simulator", "normal"}), 0);
    EXPECT_EQ(rig.device().lastIdlemode(), "01R");
    EXPECT_EQ(rig.device().lastProgmode(), "01F");
    const auto lines = rig.logLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Выбрана микросхема : 9912ЛК047_old"),
              lines.end());
    EXPECT_EQ(lines.back(), "Прожиг : OK");
}

TEST_F(CliCommands, RepeatProgramsOneChipPerEnterUntilTheEndOfInput) {
    struct Case {
        const char* behaviour;
        const char* input;
        int exit;
        const char* counted;
        int progmodes;
    };
    const std::string path = file("chip.txt", kGoodData);
    // unplug: the cable comes out in the first chip's RAM load and is back
    // by the next Enter, which finds the programmer again.
    for (const Case& c : {Case{"normal", "\n\n\n", 0, "3 good, 0 failed", 3},
                          Case{"bad-ram", "\n\n", 1, "0 good, 2 failed", 0},
                          Case{"unplug", "\n\n", 1, "1 good, 1 failed", 1},
                          Case{"normal", "", 0, "0 good, 0 failed", 0}}) {
        SCOPED_TRACE(c.counted);
        CliRig run;
        run.input.str(c.input);
        run.interruptWhen = [&run](const CliSession&) {
            if (run.device().unplugged()) run.clock.advance(std::chrono::seconds(3));
            return false;
        };
        EXPECT_EQ(run.run({"program", path, "--repeat", "--simulator", c.behaviour}), c.exit);
        EXPECT_EQ(run.summary().rfind(std::string("program: ") + c.counted + ";", 0), 0u)
            << run.summary();
        EXPECT_EQ(run.device().framesReceived("progmode"), c.progmodes);
    }
}

TEST_F(CliCommands, JsonSummaryCarriesTheRunsFacts) {
#ifdef _WIN32
    // Windows allows no quotation mark in a name; its backslashes need escaping all the same.
    const std::string path = file("chip A.txt", kGoodData);
#else
    const std::string path = file("chip \"A\".txt", kGoodData);
#endif
    EXPECT_EQ(rig.run({"program", path, "--simulator", "normal", "--json"}), 0);
    Crc32 crc;
    crc.update(reinterpret_cast<const std::uint8_t*>(kGoodData.data()), kGoodData.size());
    const std::string json = rig.summary();
    std::string escapedPath;
    for (const char c : path) {
        if (c == '"' || c == '\\') escapedPath += '\\';
        escapedPath += c;
    }
    for (const std::string& field :
         {std::string("{\"operation\":\"program\""), std::string("\"port\":\"SIM\""),
          std::string("\"serial_number\":\"00012345\""), std::string("\"firmware_version\":15"),
          "\"file\":\"" + escapedPath + "\"", "\"crc32\":\"" + hexLong(crc.value()) + "\"",
          std::string("\"result\":\"ok\""), std::string(",\"seconds\":")}) {
        EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
    }
    EXPECT_EQ(json.back(), '}');

    CliRig silent;
    EXPECT_EQ(silent.run({"find", "--simulator", "silent", "--port", "SIM", "--json"}), 3);
    EXPECT_EQ(silent.summary().rfind("{\"operation\":\"find\",\"port\":null,\"serial_number\":null,"
                                     "\"firmware_version\":null,\"file\":null,\"crc32\":null,"
                                     "\"result\":\"not found\",\"seconds\":",
                                     0),
              0u)
        << silent.summary();
}

TEST_F(CliCommands, InterruptionEndsTheOperationAsAPortErrorWould) {
    // Bit 29628 is left set: "Прошить" clears it in the image it sends.
    const std::string path = file("chip.txt", "30717\n1\n");
    rig.interruptWhen = [](const CliSession& session) {
        return session.status.text() == "Загрузка данных : 1kB";
    };
    EXPECT_EQ(rig.run({"program", path, "--simulator", "normal"}), 130);
    EXPECT_TRUE(summaryHas("program: interrupted;"));
    EXPECT_FALSE(rig.session->link.isOpen());
    EXPECT_EQ(rig.device().framesReceived("ramwrite"), 2);
    EXPECT_EQ(rig.device().framesReceived("progmode"), 0);
    // The option bytes are back as the file left them, the status line empty.
    EXPECT_EQ(rig.session->session.buffer()[3703], 0xFF);
    EXPECT_EQ(rig.session->session.buffer()[3839], 0xDF);
    EXPECT_EQ(rig.session->session.buffer()[0], 0xFD);
    EXPECT_EQ(rig.session->status.text(), "");
}

TEST_F(CliCommands, FlashUpdatesTheFirmwareAndKeepsTheOperatorsFile) {
    const std::string path = folder.file("fw.cbin");
    folder.write("fw.cbin", Bytes(1000, 0x5A));
    EXPECT_EQ(rig.run({"flash", path, "--simulator", "normal"}), 0) << rig.err.str();
    EXPECT_TRUE(folder.exists("fw.cbin"));
    EXPECT_EQ(rig.device().flash()[999], 0x5A);
    EXPECT_EQ(rig.device().pagesProgrammed(), 4);
    const auto lines = rig.logLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Программирование..."), 0);
    EXPECT_EQ(lines.back(), "Запуск основного приложения : OK");

    // A programmer found only in its bootloader is what the update is for.
    CliRig bootOnly;
    EXPECT_EQ(bootOnly.run({"flash", path, "--simulator", "boot-only", "--port", "SIM"}), 0);
    EXPECT_EQ(bootOnly.device().flash()[999], 0x5A);

    CliRig missing;
    EXPECT_EQ(missing.run({"flash", folder.file("none.cbin"), "--simulator", "normal"}), 1);
    EXPECT_EQ(missing.device().framesReceived("info"), 0);
}

}  // namespace
