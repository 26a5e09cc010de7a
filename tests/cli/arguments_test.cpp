#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "cli/cli_rig.h"

namespace {

using Words = std::vector<std::string>;

struct GoodCase {
    Words words;
    CliCommand command;
    std::string file;
    std::optional<int> variant;
    bool repeat, yes, json;
    Words ports;
};

TEST(CliArguments, GoodCommandLines) {
    const std::vector<GoodCase> cases = {
        {{"find"}, CliCommand::Find, "", {}, false, false, false, {}},
        {{"--port", "SIM", "find", "--port=ttyUSB0"},
         CliCommand::Find,
         "",
         {},
         false,
         false,
         false,
         {"SIM", "ttyUSB0"}},
        {{"load", "a.txt"}, CliCommand::Load, "a.txt", {}, false, false, false, {}},
        {{"program", "a.txt", "--variant", "1", "--repeat"},
         CliCommand::Program,
         "a.txt",
         1,
         true,
         false,
         false,
         {}},
        {{"program", "--variant=2", "чип.txt", "--json"},
         CliCommand::Program,
         "чип.txt",
         2,
         false,
         false,
         true,
         {}},
        {{"burn", "a.txt", "--yes"}, CliCommand::Burn, "a.txt", {}, false, true, false, {}},
        {{"burn", "--yes", "--variant", "2", "a.txt"},
         CliCommand::Burn,
         "a.txt",
         2,
         false,
         true,
         false,
         {}},
        {{"selftest", "--json"}, CliCommand::SelfTest, "", {}, false, false, true, {}},
        {{"flash", "fw.cbin"}, CliCommand::Flash, "fw.cbin", {}, false, false, false, {}},
    };
    for (const GoodCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.words));
        const ParsedCommandLine parsed = parseCommandLine(c.words);
        ASSERT_TRUE(parsed.arguments) << parsed.error;
        const CliArguments& a = *parsed.arguments;
        EXPECT_EQ(a.command, c.command);
        EXPECT_EQ(a.file, c.file);
        EXPECT_EQ(a.variant, c.variant);
        EXPECT_EQ(a.repeat, c.repeat);
        EXPECT_EQ(a.yes, c.yes);
        EXPECT_EQ(a.json, c.json);
        EXPECT_EQ(a.ports, c.ports);
    }
}

TEST(CliArguments, ValuedOptionsKeepTheirValues) {
    const auto parsed = parseCommandLine({"selftest", "--simulator", "silent,bad-ram", "--log",
                                          "l.txt", "--trace=t.txt", "--journal", "j.csv", "--gang"});
    ASSERT_TRUE(parsed.arguments);
    EXPECT_EQ(parsed.arguments->simulators,
              (std::vector<SimBehaviour>{SimBehaviour::Silent, SimBehaviour::BadRam}));
    EXPECT_EQ(parsed.arguments->logFile, "l.txt");
    EXPECT_EQ(parsed.arguments->traceFile, "t.txt");
    EXPECT_EQ(parsed.arguments->journalFile, "j.csv");
    EXPECT_TRUE(parsed.arguments->gang);
}

// Every refusal exits 2 with the usage and its reason, before anything that
// could reach a programmer is built.
TEST(CliArguments, BadCommandLinesExitTwoWithTheUsage) {
    const std::vector<std::pair<Words, std::string>> cases = {
        {{}, "no command"},
        {{"erase"}, "unknown command erase"},
        {{"load"}, "load needs a file"},
        {{"program", ""}, "file name is empty"},
        {{"find", "extra"}, "unexpected argument extra"},
        {{"program", "a.txt", "b.txt"}, "unexpected argument b.txt"},
        {{"program", "a.txt", "--variant", "3"}, "--variant is 1 or 2"},
        {{"program", "a.txt", "--variant"}, "--variant needs a value"},
        {{"program", "a.txt", "--variant", "1", "--variant", "2"}, "given twice"},
        {{"find", "--variant", "1"}, "for program and burn only"},
        {{"burn", "a.txt", "--yes", "--repeat"}, "--repeat is for program only"},
        {{"program", "a.txt", "--yes"}, "--yes is for burn only"},
        {{"burn", "a.txt"}, "burn needs --yes"},
        {{"burn", "a.txt", "--variant", "2"}, "burn needs --yes"},
        {{"find", "--simulator", "broken"}, "unknown simulator behaviour broken"},
        {{"find", "--simulator", "normal,broken"}, "unknown simulator behaviour normal,broken"},
        {{"find", "--simulator", "normal,,silent"}, "unknown simulator behaviour"},
        {{"find", "--gang"}, "--gang is for program, burn and selftest only"},
        {{"flash", "f.cbin", "--gang"}, "--gang is for program, burn and selftest only"},
        {{"find", "--journal"}, "--journal needs a value"},
        {{"find", "--port", ""}, "--port needs a port name"},
        {{"find", "--log"}, "--log needs a value"},
        {{"find", "--json=yes"}, "--json takes no value"},
        {{"find", "--verbose"}, "unknown option --verbose"},
    };
    for (const auto& [words, reason] : cases) {
        SCOPED_TRACE(::testing::PrintToString(words));
        CliRig rig;
        EXPECT_EQ(rig.run(words), 2);
        EXPECT_FALSE(rig.built);
        EXPECT_NE(rig.err.str().find(reason), std::string::npos) << rig.err.str();
        EXPECT_NE(rig.err.str().find("usage: telvarn-cli"), std::string::npos);
        EXPECT_TRUE(rig.out.str().empty());
    }
}

TEST(CliArguments, HelpListsEveryCommandAndOptionOnStandardOutput) {
    CliRig rig;
    EXPECT_EQ(rig.run({"program", "--help"}), 0);
    EXPECT_FALSE(rig.built);
    for (const char* word :
         {"find", "load FILE", "program FILE", "burn FILE --yes", "selftest", "flash FIRMWARE",
          "--port", "--simulator", "--log", "--trace", "--json", "--repeat", "--variant", "--gang",
          "--journal"}) {
        EXPECT_NE(rig.out.str().find(word), std::string::npos) << word;
    }
}

TEST(CliArguments, TheWindowsEnvironmentStandsInForMissingOptions) {
    CliArguments a = *parseCommandLine({"find"}).arguments;
    const auto environment = [](const char* name) -> std::optional<std::string> {
        if (std::string(name) == "TELVARN_SIMULATOR") return "flaky";
        if (std::string(name) == "TELVARN_JOURNAL") return "j.csv";
        if (std::string(name) == "TELVARN_PORTS") return "";
        if (std::string(name) == "TELVARN_LOG") return "";
        return std::nullopt;
    };
    EXPECT_EQ(applyEnvironment(a, environment), "");
    EXPECT_EQ(a.simulators, std::vector<SimBehaviour>{SimBehaviour::Flaky});
    EXPECT_EQ(a.journalFile, "j.csv");
    EXPECT_EQ(a.environmentPorts, "");  // set but empty: no system port
    EXPECT_FALSE(a.logFile);            // empty: off

    CliArguments given =
        *parseCommandLine({"find", "--simulator", "normal", "--port", "X"}).arguments;
    EXPECT_EQ(applyEnvironment(given, environment), "");
    EXPECT_EQ(given.simulators, std::vector<SimBehaviour>{SimBehaviour::Normal});
    EXPECT_FALSE(given.environmentPorts);

    CliRig rig;
    for (const char* list : {"nonsense", "normal,nonsense", "silent,"}) {
        rig.environment = {{"TELVARN_SIMULATOR", list}};
        EXPECT_EQ(rig.run({"find"}), 2);
        EXPECT_FALSE(rig.built);
        EXPECT_NE(rig.err.str().find(std::string("TELVARN_SIMULATOR=") + list), std::string::npos);
    }
}

}  // namespace
