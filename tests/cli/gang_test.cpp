#include "cli/gang.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "support/fake_desktop.h"
#include "support/fake_gang_platform.h"
#include "support/stepped_clock.h"
#include "support/temp_folder.h"

namespace {

using Behaviours = std::vector<SimBehaviour>;
using Words = std::vector<std::string>;
constexpr auto Normal = SimBehaviour::Normal;
constexpr auto Silent = SimBehaviour::Silent;
constexpr auto Unplug = SimBehaviour::Unplug;

// A gang on simulated programmers without wire time, its output in strings.
struct Gang : ::testing::Test {
    TempFolder folder;
    SteppedClock clock;
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream input;

    int run(const Behaviours& behaviours, Words words, bool named = true) {
        SimulatedBench bench(behaviours, false, clock);
        std::vector<std::string> ports;
        for (std::size_t i = 0; i < bench.size(); ++i) ports.push_back(bench.name(i));
        folder.write("chip.txt", "0\n7\n30000\n");
        if (words.front() == "program") words.insert(words.begin() + 1, folder.file("chip.txt"));
        words.push_back("--gang");
        const auto parsed = parseCommandLine(words);
        EXPECT_TRUE(parsed.arguments) << parsed.error;
        const CliArguments arguments = parsed.arguments.value_or(CliArguments{});
        return runGang(arguments,
                       GangRun{ports, named, bench,
                               [] { return std::make_unique<FakeGangPlatform<ManualPump>>(); }, out,
                               err, input, nullptr});
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> all;
        std::istringstream text(out.str());
        for (std::string line; std::getline(text, line);) all.push_back(line);
        return all;
    }
    // Whether a line of the port holds the text.
    bool has(const std::string& port, const std::string& text) const {
        const auto all = lines();
        return std::any_of(all.begin(), all.end(), [&](const std::string& line) {
            return line.starts_with("[" + port + "] ") && line.find(text) != std::string::npos;
        });
    }
};

struct Case {
    Behaviours behaviours;
    bool named;
    int status;
    std::vector<std::string> verified;  // ports whose chip was programmed
    std::vector<std::string> notFound;  // named ports that held no programmer
    std::string total;
};

// A failure, a silent port or a pulled cable on one programmer never stops
// the others; the exit status sums them all up.
TEST_F(Gang, EveryProgrammerEndsOnItsOwnAndTheStatusSumsThemUp) {
    const std::vector<Case> cases = {
        {{Normal, Silent, Unplug, Normal},
         true,
         kExitFailed,
         {"SIM1", "SIM4"},
         {"SIM2"},
         "program: 2 good, 2 failed; 4 programmers"},
        {{Normal, Normal, Normal, Normal},
         true,
         kExitDone,
         {"SIM1", "SIM2", "SIM3", "SIM4"},
         {},
         "program: 4 good, 0 failed; 4 programmers"},
        // Unnamed ports without a programmer are left out without a word.
        {{Silent, Normal},
         false,
         kExitDone,
         {"SIM2"},
         {},
         "program: 1 good, 0 failed; 1 programmers"},
        {{Silent, Silent},
         true,
         kExitNotFound,
         {},
         {"SIM1", "SIM2"},
         "program: 0 good, 2 failed; 2 programmers"},
        {{Normal}, true, kExitDone, {"SIM"}, {}, "program: 1 good, 0 failed; 1 programmers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.total);
        out.str("");
        EXPECT_EQ(run(c.behaviours, {"program"}, c.named), c.status);
        const auto all = lines();
        ASSERT_FALSE(all.empty());
        EXPECT_TRUE(all.back().starts_with(c.total)) << all.back();
        // Every line but the total belongs to exactly one programmer.
        for (std::size_t i = 0; i + 1 < all.size(); ++i) {
            EXPECT_TRUE(all[i].starts_with("[SIM")) << all[i];
            EXPECT_EQ(all[i].find("[SIM", 1), std::string::npos) << all[i];
        }
        for (const auto& port : c.verified) {
            EXPECT_TRUE(has(port, "Программирование : OK")) << port;
        }
        for (const auto& port : c.notFound) {
            EXPECT_TRUE(has(port, "program: not found; port " + port)) << port;
        }
        if (!c.named) {
            EXPECT_FALSE(has("SIM1", ""));
        }
    }
}

TEST_F(Gang, RepeatProgramsEverySocketAtEachEnter) {
    input.str("\n\n");
    EXPECT_EQ(run({Normal, Normal, Normal}, {"program", "--repeat"}), kExitDone);
    for (const char* port : {"SIM1", "SIM2", "SIM3"}) {
        EXPECT_TRUE(has(port, "program: 2 good, 0 failed; port " + std::string(port))) << port;
    }
    EXPECT_TRUE(lines().back().starts_with("program: 6 good, 0 failed; 3 programmers"));
    // Asked once per Enter and once for the end, not once per programmer.
    std::size_t prompts = 0;
    for (std::size_t at = 0; (at = err.str().find("press Enter", at)) != std::string::npos; ++at) {
        ++prompts;
    }
    EXPECT_EQ(prompts, 3u);
}

TEST_F(Gang, JsonGivesAnObjectForEachProgrammerAndTheTotal) {
    EXPECT_EQ(run({Normal, Silent}, {"selftest", "--json"}), kExitFailed);
    const auto all = lines();
    ASSERT_GE(all.size(), 3u);
    const std::vector<std::string> objects(all.end() - 3, all.end());
    EXPECT_NE(objects[0].find("\"port\":\"SIM1\""), std::string::npos) << objects[0];
    EXPECT_NE(objects[0].find("\"result\":\"ok\""), std::string::npos) << objects[0];
    EXPECT_NE(objects[1].find("\"result\":\"not found\""), std::string::npos) << objects[1];
    EXPECT_NE(objects[2].find("\"good\":1,\"failed\":1,\"programmers\":2"), std::string::npos)
        << objects[2];
}

}  // namespace
