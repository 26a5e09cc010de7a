#pragma once

#include <winsock2.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Loopback plumbing of the rigs and the socket tests.
SOCKET listenOnLoopback(std::uint16_t& port);
// A port of 127.0.0.1 that was free a moment ago and on which nothing listens.
std::uint16_t unusedLoopbackPort();
bool readable(SOCKET socket, long ms);
void sendAll(SOCKET socket, const std::string& bytes);
// The Linux path of a path of the test, or "" when not under Wine.
std::string linuxPath(const std::filesystem::path& path);
// The Linux path of a file of the repository, found above the test program.
std::string repositoryFile(const std::string& relative);

// wine_helper.py, run by Linux's python3 through Wine, which calls back on a
// loopback connection that carries one-line requests and answers. The
// destructor closes it and waits (5 s at most) until the helper has undone its work.
class WineHelper {
  public:
    explicit WineHelper(const std::vector<std::string>& args);
    ~WineHelper();
    WineHelper(const WineHelper&) = delete;
    WineHelper& operator=(const WineHelper&) = delete;

    // The next line it sends; throws when none comes.
    std::string readLine();
    std::string ask(const std::string& request);

  private:
    SOCKET control_ = INVALID_SOCKET;
};
