// telvarn-cli: the window's programmer and chip work from the command line,
// for scripts and production benches. It wires the same core objects as the
// window; what it adds is only argument handling and output.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/arguments.h"
#include "cli/cli_journal.h"
#include "cli/cli_output.h"
#include "cli/cli_ports.h"
#include "cli/cli_session.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/gang.h"

#ifdef _WIN32
#include "platform_win32/win32_console.h"
#include "platform_win32/win32_message_pump.h"
#include "platform_win32/win32_port_list.h"
#include "platform_win32/win32_serial_port.h"
using PlatformPump = Win32MessagePump;
using PlatformSerialPort = Win32SerialPort;
using PlatformPortList = Win32PortEnumerator;
#else
#include <QCoreApplication>
#include <QEventLoop>

#include "platform/qt_desktop_services.h"
#include "platform/qt_message_pump.h"
#include "platform/qt_serial_port.h"
using PlatformPump = QtMessagePump;
using PlatformSerialPort = QtSerialPort;
using PlatformPortList = QtPortEnumerator;
#endif

namespace {

volatile std::sig_atomic_t interruptedBySignal = 0;

extern "C" void onInterrupt(int) {
    interruptedBySignal = 1;
}

// The first Ctrl+C ends the operation at its next port operation; the handler
// then steps aside, so that a second one ends the process at once (a silent
// port keeps a read waiting for ten seconds). Reads of standard input are not
// restarted, so that Ctrl+C also ends the wait for the next chip.
void catchInterrupt() {
#ifdef _WIN32
    std::signal(SIGINT, onInterrupt);
#else
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
#endif
}

// A gang programmer's own pump and serial port, made on its thread.
class ThreadPlatform : public GangPlatform {
  public:
    MessagePump& pump() override { return pump_; }
    SerialPort& port() override { return port_; }

  private:
#ifndef _WIN32
    // A thread Qt did not start has no event dispatcher until an event loop
    // makes one; the pump's timers and the port's notifiers need it.
    QEventLoop dispatcher_;
#endif
    PlatformPump pump_;
    PlatformSerialPort port_;
};

// Every programmer among the named ports, or among all the ports searched
// when none is named, at once.
int runGangOn(const CliArguments& arguments, CliPorts& ports, Journal* journal,
              const std::function<bool()>& interrupted) {
    const bool named = !arguments.ports.empty();
    return runGang(arguments, GangRun{named ? arguments.ports : ports.ports().listPorts(), named,
                                      ports.simulators(),
                                      [] { return std::make_unique<ThreadPlatform>(); },
                                      std::cout, std::cerr, std::cin, interrupted, journal});
}

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

// Everything a run needs, built once the arguments are known to be good.
int run([[maybe_unused]] int argc, [[maybe_unused]] char** argv, const CliArguments& arguments) {
#ifndef _WIN32
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("telvarn-cli");
#endif
    catchInterrupt();
    const auto interrupted = [] { return interruptedBySignal != 0; };
    const auto journal = openCliJournal(arguments.journalFile, std::cerr);
    if (!journal) return kExitBadArguments;

    PlatformPump pump;
    PlatformSerialPort systemPort;
    PlatformPortList systemPorts;
    CliPorts ports(systemPort, systemPorts, arguments, true, interrupted);
    if (arguments.gang) return runGangOn(arguments, ports, journal->get(), interrupted);
    CliSession session({ports.port(), ports.ports(), pump}, arguments.logFile);
    CliOutput output(std::cout, std::cerr, {isTerminal(stdout), isTerminal(stderr)});
    output.follow(session.log, session.status);
    session.session.setJournal(journal->get(), interrupted);
    return runCommand(arguments, CliRun{session, output, std::cin, interrupted});
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    writeConsolesAsUnicode();
    const std::vector<std::string> words = commandLineArguments();
#else
    const std::vector<std::string> words(argv + 1, argv + argc);
#endif
    return runCommandLine(
        words, processEnvironment, std::cout, std::cerr,
        [&](const CliArguments& arguments) { return run(argc, argv, arguments); });
}
