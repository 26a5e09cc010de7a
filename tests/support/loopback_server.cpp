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

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAttempts = 4;
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStopLimit = std::chrono::seconds(3);
constexpr auto kPollStep = std::chrono::milliseconds(20);

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// A port nothing listens on now; the server is told to take it. Another
// process may take it first, which the retries of the start cover.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("no socket for a free port");
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    const bool found = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    if (!found) throw std::runtime_error("no free port on 127.0.0.1");
    return ntohs(address.sin_port);
}

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const sockaddr_in address = loopback(port);
    const bool up = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return up;
}

bool exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

bool isProgram(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) && ::access(path.c_str(), X_OK) == 0;
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

LoopbackServer::LoopbackServer(Command command, std::filesystem::path log) : log_(std::move(log)) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int port = freePort();
        if (tryStart(command(port), port)) {
            port_ = port;
            return;
        }
    }
    throw std::runtime_error("the server did not come up; its log ends with:\n" + logTail());
}

LoopbackServer::~LoopbackServer() {
    stop();
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool LoopbackServer::tryStart(const std::vector<std::string>& argv, int port) {
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

    const auto deadline = Clock::now() + kStartLimit;
    while (Clock::now() < deadline) {
        if (exited(pid_)) {  // most likely another process took the port meanwhile
            pid_ = -1;
            return false;
        }
        if (accepts(port)) return true;
        std::this_thread::sleep_for(kPollStep);
    }
    stop();
    throw std::runtime_error("the server accepted nothing for 10 s; its log ends with:\n" +
                             logTail());
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

std::string LoopbackServer::logTail() const {
    std::ifstream in(log_);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    constexpr std::size_t kTail = 2000;
    return text.size() <= kTail ? text : text.substr(text.size() - kTail);
}

std::unique_ptr<LoopbackServer> startPythonScript(const std::filesystem::path& script,
                                                  const std::string& argument,
                                                  const std::filesystem::path& log) {
    const auto python = findProgram("python3");
    if (!python) return nullptr;
    return std::make_unique<LoopbackServer>(
        [=](int port) {
            return std::vector<std::string>{*python, script.string(), std::to_string(port),
                                            argument};
        },
        log);
}

std::unique_ptr<LoopbackServer> startPythonFileServer(const std::filesystem::path& folder) {
    const auto python = findProgram("python3");
    if (!python) return nullptr;
    // The log sits beside the folder, so that it is never served.
    const std::filesystem::path log = folder.string() + ".server.log";
    return std::make_unique<LoopbackServer>(
        [=](int port) {
            return std::vector<std::string>{*python,       "-m",           "http.server",
                                            "--bind",      "127.0.0.1",    std::to_string(port),
                                            "--directory", folder.string()};
        },
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
    return std::make_unique<LoopbackServer>(
        [=](int port) {
            std::ofstream(config) << nginxConfig(root, work, port);
            return std::vector<std::string>{
                *nginx,          "-p", work.string() + "/",          "-c",
                config.string(), "-e", (work / "error.log").string()};
        },
        work / "server.log");
}
