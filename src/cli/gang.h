#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/message_pump.h"
#include "cli/arguments.h"
#include "link/serial_port.h"
#include "sim/simulated_bench.h"

class Journal;

// What one programmer's thread works on, made in that thread: a message pump
// and a handle on the system's serial ports of its own.
class GangPlatform {
  public:
    virtual ~GangPlatform() = default;
    virtual MessagePump& pump() = 0;
    virtual SerialPort& port() = 0;
};
using GangPlatformFactory = std::function<std::unique_ptr<GangPlatform>()>;

// What a gang works with besides its arguments.
struct GangRun {
    // The ports to search, each by a programmer's thread of its own.
    std::vector<std::string> ports;
    // Named by --port: one without a programmer counts as failed. Otherwise
    // such a port is left out without a word.
    bool portsNamed = false;
    SimulatedBench& simulators;
    GangPlatformFactory platform;
    std::ostream& out;
    std::ostream& err;
    std::istream& input;  // the Enters of --repeat
    std::function<bool()> interrupted;
    Journal* journal = nullptr;
};

// program, burn or selftest on every programmer found among the ports at
// once. Every line goes out after its port's "[NAME] "; each programmer's
// summary comes as it ends, the total last (--json: an object each and the
// total, once all have ended). Returns 0 when every programmer succeeded, 3
// when none was found, 130 after Ctrl+C, 4 for a data file with errors, else 1.
int runGang(const CliArguments& arguments, GangRun run);
