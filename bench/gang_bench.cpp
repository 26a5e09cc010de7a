// telvarn-cli's gang against simulated programmers with wire time modelled:
// four programmers each programming a chip, from the search to the last
// "Программирование : OK", against one programmer doing one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>
#include <vector>

#include "cli/exit_status.h"
#include "cli/gang.h"
#include "support/fake_gang_platform.h"
#include "support/bench_chip_file.h"

namespace {

constexpr int kRuns = 5;

// The command line's pump as the link uses it: sleeps are real, and there
// are no messages to wait for.
class SleepingPump : public MessagePump {
  public:
    void processPending() override {}
    void waitNext(std::uint32_t maxMs) override { sleep(maxMs); }
    std::uint32_t tick() override {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
    void sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

  protected:
    void schedule(std::function<void()> call) override { call(); }
    std::unique_ptr<Timer> makeTimer(std::function<void()>) override { return nullptr; }
};

// Seconds for a gang of `programmers` to program a chip each; negative when
// a chip failed.
double gangSeconds(std::size_t programmers, const std::string& dataFile) {
    SimulatedBench bench(std::vector<SimBehaviour>(programmers, SimBehaviour::Normal), true,
                         wallClock());
    std::vector<std::string> ports;
    for (std::size_t i = 0; i < bench.size(); ++i) ports.push_back(bench.name(i));
    CliArguments arguments;
    arguments.command = CliCommand::Program;
    arguments.file = dataFile;
    arguments.gang = true;
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream input;
    const auto start = std::chrono::steady_clock::now();
    const int status = runGang(
        arguments, GangRun{ports, true, bench,
                           [] { return std::make_unique<FakeGangPlatform<SleepingPump>>(); }, out,
                           err, input, nullptr});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return status == kExitDone ? seconds : -seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    TempFolder folder;
    const std::string chipFile = writeBenchChipFile(folder);

    std::vector<double> one;
    std::vector<double> four;
    for (int i = 0; i < kRuns; ++i) {
        one.push_back(gangSeconds(1, chipFile));
        four.push_back(gangSeconds(4, chipFile));
        std::printf(
            "run %d: one programmer, one chip %.3f s  four programmers, four chips %.3f s"
            "  ratio %.3f%s\n",
            i + 1, one.back(), four.back(), four.back() / one.back(),
            one.back() < 0 || four.back() < 0 ? "  A CHIP FAILED" : "");
    }
    std::printf("median: one %.3f s, four %.3f s, ratio %.3f (target <= 1.20)\n", median(one),
                median(four), median(four) / median(one));
    return 0;
}
