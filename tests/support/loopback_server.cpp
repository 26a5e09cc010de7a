#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Starts on another port after a port taken meanwhile; nginx tries a taken
// port for 2.5 s before it gives up.
constexpr int kAttempts = 4;
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStopLimit = std::chrono::seconds(3);
constexpr auto kPollStep = std::chrono::milliseconds(20);

// A port nothing is bound to now, for a server that cannot take port 0 and
// name the port it got. Another process may take it before the server does;
// the server then fails to bind and is started on another one.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("no socket for a free port");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool found = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    if (!found) throw std::runtime_error("no free port on 127.0.0.1");
    return ntohs(address.sin_port);
}

bool exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

bool isProgram(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) && ::access(path.c_str(), X_OK) == 0;
}

std::size_t fileSize(const std::filesystem::path& path) {
    std::error_code missing;
    const auto size = std::filesystem::file_size(path, missing);
    return missing ? 0 : static_cast<std::size_t>(size);
}

}  // namespace

std::optional<std::string> findProgram(const std::string& name) {
    // The system's own programs first, which the set-up installs: a version
    // manager's stand-in on PATH may cost most of a second at every start.
    std::string folders = "/usr/bin:/usr/sbin:/bin:/sbin";
    if (const char* path = std::getenv("PATH")) folders += std::string(":") + path;
    std::istringstream list(folders);
    for (std::string folder; std::getline(list, folder, ':');) {
        if (!folder.empty() && isProgram(std::filesystem::path(folder) / name)) {
            return (std::filesystem::path(folder) / name).string();
        }
    }
    return std::nullopt;
}

LoopbackServer::LoopbackServer(std::vector<std::string> command, std::filesystem::path log)
    : log_(std::move(log)) {
    const std::size_t offset = fileSize(log_);
    spawn(command);
    const auto deadline = Clock::now() + kStartLimit;
    for (;;) {
        if (const auto port = portNamedInLog(offset)) {
            port_ = *port;
            return;
        }
        if (exited(pid_)) {
            pid_ = -1;
            giveUp("the server ended before it named its port");
        }
        if (Clock::now() >= deadline) giveUp("the server named no port within 10 s");
        std::this_thread::sleep_for(kPollStep);
    }
}

LoopbackServer::LoopbackServer(Command command, std::filesystem::path log,
                               std::filesystem::path pidFile)
    : log_(std::move(log)) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int port = freePort();
        std::filesystem::remove(pidFile);
        const std::size_t offset = fileSize(log_);
        spawn(command(port));
        const auto deadline = Clock::now() + kStartLimit;
        while (!holdsPort(pidFile)) {
            if (exited(pid_)) {
                pid_ = -1;
                break;
            }
            if (Clock::now() >= deadline) giveUp("the server took no port within 10 s");
            std::this_thread::sleep_for(kPollStep);
        }
        if (pid_ > 0) {
            port_ = port;
            return;
        }
        // Only a port taken meanwhile is worth another try.
        if (logText().find("Address already in use", offset) == std::string::npos) {
            giveUp("the server ended before it listened");
        }
    }
    giveUp("every port the server was given was taken before it bound it");
}

LoopbackServer::~LoopbackServer() {
    stop();
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackServer::spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, log_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    const int failed = ::posix_spawn(&pid_, args[0], &files, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (failed != 0) {
        pid_ = -1;
        throw std::runtime_error("can't start " + argv[0]);
    }
}

std::optional<int> LoopbackServer::portNamedInLog(std::size_t offset) const {
    const std::string text = logText();
    static constexpr std::string_view kLine = "Serving HTTP on 127.0.0.1 port ";
    const std::size_t at = text.find(kLine, offset);
    if (at == std::string::npos) return std::nullopt;
    const char* first = text.data() + at + kLine.size();
    const char* last = text.data() + text.size();
    int port = 0;
    const auto [end, error] = std::from_chars(first, last, port);
    // Digits up to the end of what was written so far may still go on.
    if (error != std::errc() || end == last || port <= 0 || port > 65535) return std::nullopt;
    return port;
}

bool LoopbackServer::holdsPort(const std::filesystem::path& pidFile) const {
    std::ifstream in(pidFile);
    pid_t written = -1;
    return in >> written && written == pid_;
}

void LoopbackServer::giveUp(const std::string& why) {
    stop();
    throw std::runtime_error(why + "; its log ends with:\n" + logTail());
}

void LoopbackServer::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + kStopLimit;
    while (Clock::now() < deadline) {
        if (exited(pid_)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string LoopbackServer::logText() const {
    std::ifstream in(log_);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string LoopbackServer::logTail() const {
    const std::string text = logText();
    constexpr std::size_t kTail = 2000;
    return text.size() <= kTail ? text : text.substr(text.size() - kTail);
}

std::unique_ptr<LoopbackServer> startPythonScript(const std::filesystem::path& script,
                                                  const std::string& argument,
                                                  const std::filesystem::path& log) {
    const auto python = findProgram("python3");
    if (!python) return nullptr;
    return std::make_unique<LoopbackServer>(
        std::vector<std::string>{*python, "-u", script.string(), "0", argument}, log);
}

std::unique_ptr<LoopbackServer> startPythonFileServer(const std::filesystem::path& folder) {
    const auto python = findProgram("python3");
    if (!python) return nullptr;
    // The log sits beside the folder, so that it is never served. Unbuffered,
    // so that the line naming the port reaches it at once.
    const std::filesystem::path log = folder.string() + ".server.log";
    return std::make_unique<LoopbackServer>(
        std::vector<std::string>{*python, "-u", "-m", "http.server", "--bind", "127.0.0.1", "0",
                                 "--directory", folder.string()},
        log);
}

namespace {

std::string nginxConfig(const std::filesystem::path& root, const std::filesystem::path& work,
                        int port) {
    const std::string w = work.string();
    std::ostringstream c;
    c << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
      << "pid " << w << "/nginx.pid;\nerror_log " << w << "/error.log;\n"
      << "events { worker_connections 64; }\n"
      << "http {\n"
      << "  access_log " << w << "/access.log;\n"
      << "  client_body_temp_path " << w << "/tmp/body;\n"
      << "  proxy_temp_path " << w << "/tmp/proxy;\n"
      << "  fastcgi_temp_path " << w << "/tmp/fastcgi;\n"
      << "  uwsgi_temp_path " << w << "/tmp/uwsgi;\n"
      << "  scgi_temp_path " << w << "/tmp/scgi;\n"
      << "  types { text/html html; text/plain txt; }\n"
      << "  default_type application/octet-stream;\n"
      << "  sendfile on;\n"
      << "  server {\n"
      << "    listen 127.0.0.1:" << port << ";\n"
      << "    root " << root.string() << ";\n"
      << "    location = /moved { return 302 " << kNginxMovedTarget << "; }\n"
      << "    location = /moved-relative { absolute_redirect off; return 302 " << kNginxMovedTarget
      << "; }\n"
      << "  }\n"
      << "}\n";
    return c.str();
}

}  // namespace

std::unique_ptr<LoopbackServer> startNginx(const std::filesystem::path& root,
                                           const std::filesystem::path& work) {
    const auto nginx = findProgram("nginx");
    if (!nginx) return nullptr;
    std::filesystem::create_directories(work / "tmp");
    const std::filesystem::path config = work / "nginx.conf";
    // nginx cannot name a port it was given as 0: it is given a free one, and
    // holds it once its pid file is written.
    return std::make_unique<LoopbackServer>(
        [=](int port) {
            std::ofstream(config) << nginxConfig(root, work, port);
            return std::vector<std::string>{
                *nginx,          "-p", work.string() + "/",          "-c",
                config.string(), "-e", (work / "error.log").string()};
        },
        work / "server.log", work / "nginx.pid");
}
