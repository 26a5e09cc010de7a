#include "x_display.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "spawn.h"
#include "support/loopback_server.h"
#include "support/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartLimit = std::chrono::seconds(20);

void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

std::unique_ptr<XDisplay> XDisplay::start(Manager manager) {
    const auto server = findProgram("Xvfb");
    const auto openbox = findProgram("openbox");
    if (!server || (manager == Manager::Openbox && !openbox)) return nullptr;
    std::unique_ptr<XDisplay> display(new XDisplay);
    display->startServer(*server);
    if (manager == Manager::Openbox) display->startManager(*openbox);
    return display;
}

// Xvfb picks a free display itself and writes its number to the pipe once it
// takes connections.
void XDisplay::startServer(const std::string& program) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    server_ = spawn({program, "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                     "1280x1024x24", "-nolisten", "tcp"},
                    {}, true);
    close(pipeFds[1]);
    std::string number;
    char c = 0;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    close(pipeFds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start");
    name_ = ":" + number;
}

// openbox runs its start-up command once it manages the screen.
void XDisplay::startManager(const std::string& program) {
    TempFolder folder;
    const std::string ready = folder.file("ready");
    manager_ =
        spawn({program, "--sm-disable", "--startup", "touch " + ready}, {{"DISPLAY", name_}}, true);
    const auto deadline = Clock::now() + kStartLimit;
    struct stat info {};
    while (stat(ready.c_str(), &info) != 0) {
        if (Clock::now() > deadline) throw std::runtime_error("openbox did not start");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

XDisplay::~XDisplay() {
    stop(manager_);
    stop(server_);
}
