#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "startup/program_files.h"
#include "link/routed_port.h"
#include "link/traced_port.h"
#include "sim/simulated_port.h"
#include "support/desktop_fakes.h"
#include "support/fake_serial_port.h"
#include "support/temp_folder.h"

// A main window on fake desktop services, with the programmer (when present)
// simulated on the port "SIM" and the program living in a temporary folder.
struct Window : ::testing::Test, DesktopFakes {
    TempFolder folder;
    FakeSerialPort systemPort;
    FakePortEnumerator systemPorts;
    SimulatedProgrammer device;
    SimulatedPort simulatedPort{device, false};
    RoutedPort port{systemPort, simulatedPort, "SIM"};
    std::unique_ptr<MainWindow> window;

    void SetUp() override { system.exePath = folder.file(kProgramFileName); }

    // Every frame to and from the programmer goes to the file from now on.
    void traceTo(const std::string& path) { traced_ = std::make_unique<TracedPort>(port, path); }

    MainWindow& start(std::vector<std::string> arguments = {}) {
        SerialPort& line = traced_ ? static_cast<SerialPort&>(*traced_) : port;
        desktop_ = std::make_unique<Desktop>(desktopOn(line, systemPorts));
        window = std::make_unique<MainWindow>(*desktop_, std::move(arguments));
        return *window;
    }

    // Runs a timer's tick as the loop would.
    static void tick(Timer& timer) { static_cast<ManualPump::ManualTimer&>(timer).onTick(); }

    bool logHas(const std::string& line) const {
        const auto& lines = window->log.lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

  private:
    std::unique_ptr<TracedPort> traced_;
    std::unique_ptr<Desktop> desktop_;
};
