#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A server process listening on a port of 127.0.0.1 for the length of a
// test. The start helpers return nullptr only when the server program is not
// installed (the test then skips); a server that is there but does not come up
// throws, with the end of its log.
class LoopbackServer {
  public:
    // A server that binds port 0 itself and names the port it got in its log,
    // on a line "Serving HTTP on 127.0.0.1 port N ...": nothing else can take
    // the port between its choice and the server's listening.
    LoopbackServer(std::vector<std::string> command, std::filesystem::path log);

    // A server that can only be given a port (nginx): its command line for a
    // port that was free a moment ago. It holds the port once it has written
    // its pid file; when another process took the port first, the server ends
    // saying so in its log, and it is started again on another free port.
    using Command = std::function<std::vector<std::string>(int port)>;
    LoopbackServer(Command command, std::filesystem::path log, std::filesystem::path pidFile);

    // Ends the server: SIGTERM, then SIGKILL if it lingers.
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" + path.
    std::string url(const std::string& path) const;

  private:
    void spawn(const std::vector<std::string>& argv);
    // The port the log names from offset on, once the server has named it.
    std::optional<int> portNamedInLog(std::size_t offset) const;
    bool holdsPort(const std::filesystem::path& pidFile) const;
    [[noreturn]] void giveUp(const std::string& why);
    void stop();
    std::string logText() const;
    std::string logTail() const;

    std::filesystem::path log_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// The path of an installed program: the system's own first, then PATH's.
std::optional<std::string> findProgram(const std::string& name);

// python3 -m http.server serving folder.
std::unique_ptr<LoopbackServer> startPythonFileServer(const std::filesystem::path& folder);

// python3 script 0 argument; the script must listen on 127.0.0.1, on a free
// port when given port 0, and name it as python's http.server does.
std::unique_ptr<LoopbackServer> startPythonScript(const std::filesystem::path& script,
                                                  const std::string& argument,
                                                  const std::filesystem::path& log);

// nginx with a configuration of its own in work (logs, temporary files)
// serving root, plus these locations:
//   /moved            302 to kNginxMovedTarget, as an absolute address
//   /moved-relative   302 to kNginxMovedTarget, as a bare path
// A missing file gives nginx's own 404 page.
inline constexpr const char* kNginxMovedTarget = "/other/path";
std::unique_ptr<LoopbackServer> startNginx(const std::filesystem::path& root,
                                           const std::filesystem::path& work);
