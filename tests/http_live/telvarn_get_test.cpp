// The built telvarn-get command against python's file server.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <thread>

#include "live_rig.h"
#include "support/loopback_server.h"

extern char** environ;

namespace {

// How a telvarn-get run ended.
struct Outcome {
    int status = -1;   // the exit status; -1 when a signal ended it or it was killed after 20 s
    int signal = 0;    // the signal that ended it, if one did
    long peakKiB = 0;  // its peak resident memory
};

// Runs telvarn-get with args, its standard error in err and its standard
// output in out, or on the descriptor outFd when that is not -1.
Outcome spawnTelvarnGet(const std::vector<std::string>& args, const std::string& out,
                        const std::string& err, int outFd = -1) {
    std::vector<std::string> argv{TELVARN_GET_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    // telvarn-get opens no serial port; its environment keeps it off the
    // machine's ports all the same, as every run of the tests does.
    std::string ports = "TELVARN_PORTS=", simulator = "TELVARN_SIMULATOR=normal";
    std::vector<char*> environment{ports.data(), simulator.data()};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view name(*variable, std::strcspn(*variable, "="));
        if (name != "TELVARN_PORTS" && name != "TELVARN_SIMULATOR") {
            environment.push_back(*variable);
        }
    }
    environment.push_back(nullptr);
    // Forked, not spawned: an exec keeps the peak of the memory it replaces,
    // which for a spawned child is this test's own, up to the test's highest;
    // a forked child's starts at the test's private pages of the moment.
    const pid_t pid = fork();
    if (pid == 0) {  // nothing but system calls until the exec
        const int target =
            outFd >= 0 ? outFd : open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int error = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (target >= 0 && error >= 0 && dup2(target, 1) == 1 && dup2(error, 2) == 2) {
            execve(pointers[0], pointers.data(), environment.data());
        }
        _exit(127);
    }
    Outcome outcome;
    if (pid < 0) {
        outcome.status = -2;
        return outcome;
    }
    int status = 0;
    rusage usage{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool hung = false;
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (!hung && std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            hung = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    outcome.peakKiB = usage.ru_maxrss;
    if (hung) return outcome;
    if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    return outcome;
}

int runTelvarnGet(const std::vector<std::string>& args, const std::string& out,
                  const std::string& err) {
    return spawnTelvarnGet(args, out, err).status;
}

TEST(TelvarnGetTest, StoresTheBodyAndReportsTheOutcomeInItsExitStatus) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "www/other");
    folder.write("www/version", std::string("14\r\n2841\r\n"));
    folder.write("www/Telvarn.bin", randomBytes(3 * 1000 * 1000, 11));
    folder.write("www/other/path", "");
    const auto server = startPythonFileServer(folder.path() / "www");
    const auto nginx = startNginx(folder.path() / "www", folder.path() / "nginx");
    if (!server || !nginx) GTEST_SKIP() << "python3 or nginx is not installed";

    struct Case {
        std::vector<std::string> args;  // "FILE" stands for the output file
        int status;
        std::string file;  // what FILE holds, or standard output without FILE
        std::string errorText;
    };
    const Case cases[] = {
        {{server->url("/Telvarn.bin"), "FILE"},
         0,
         folder.read("www/Telvarn.bin"),
         "HTTP/1.0 200 OK\nDocName: Telvarn.bin\n"},
        // FILE holds the final document alone, empty included: not the earlier
        // fetch's, nor the page of the relocation that led to it.
        {{nginx->url(kNginxMovedTarget), "FILE"}, 0, "", "HTTP/1.1 200 OK"},
        {{nginx->url("/moved"), "FILE"}, 0, "", "DocName: path"},
        {{server->url("/version")}, 0, "14\r\n2841\r\n", "DocName: version"},
        {{server->url("/missing"), "FILE"}, 1, "", "telvarn-get: File not found (code 404)"},
        {{}, 2, "", "usage: telvarn-get URL [FILE]"},
        {{"a", "b", "c"}, 2, "", "usage: telvarn-get URL [FILE]"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (std::string& arg : args) {
            if (arg == "FILE") arg = folder.file("out");
        }
        SCOPED_TRACE(args.empty() ? "no arguments" : args.front());
        const bool toFile = args.size() == 2;
        const int status = runTelvarnGet(args, folder.file("stdout"), folder.file("stderr"));
        EXPECT_EQ(status, c.status) << folder.read("stderr");
        EXPECT_NE(folder.read("stderr").find(c.errorText), std::string::npos)
            << folder.read("stderr");
        if (c.status == 0) {
            const std::string stored = folder.read(toFile ? "out" : "stdout");
            EXPECT_TRUE(stored == c.file) << stored.size() << " bytes stored";
        }
    }
}

// Answers that once hung the client on a connection the server keeps open (a
// minute; telvarn-get is killed after 20 s), or read far past its buffer.
TEST(TelvarnGetTest, OddAnswersEndWithTheirDocument) {
    const struct {
        const char* path;
        const char* answer;
        const char* body;
    } probes[] = {
        {"/raw/answer",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\n"
         "5\r\nhello\r\n0\r\n\r\n",
         "hello"},
        {"/raw-close/answer",
         "HTTP/1.1 100 Continue\r\nContent-Length: 2\r\n\r\n<html>\n<p>hi</p>\n</html>\n",
         "<html>\n<p>hi</p>\n</html>\n"},
    };
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "www");
    const auto server = startPythonScript(HTTP_LIVE_SCRIPTS "/scripted_http_server.py",
                                          (folder.path() / "www").string(), folder.file("log"));
    if (!server) GTEST_SKIP() << "python3 is not installed";
    for (const auto& probe : probes) {
        SCOPED_TRACE(probe.answer);
        folder.write("www/answer", probe.answer);
        const int status = runTelvarnGet({server->url(probe.path), folder.file("out")},
                                         folder.file("stdout"), folder.file("stderr"));
        EXPECT_EQ(status, 0) << folder.read("stderr");
        EXPECT_EQ(folder.read("out"), probe.body);
    }
}

// A server that sends header lines for ever once grew telvarn-get past 2 GB.
TEST(TelvarnGetTest, AnEndlessHeaderFailsTheRequestWithinBoundedMemory) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "www");
    folder.write("www/tiny", "15\r\n");
    const auto server = startPythonScript(HTTP_LIVE_SCRIPTS "/scripted_http_server.py",
                                          (folder.path() / "www").string(), folder.file("log"));
    if (!server) GTEST_SKIP() << "python3 is not installed";
    const Outcome idle = spawnTelvarnGet({server->url("/chunked/tiny"), folder.file("out")},
                                         folder.file("stdout"), folder.file("stderr"));
    ASSERT_EQ(idle.status, 0) << folder.read("stderr");
    const Outcome endless = spawnTelvarnGet({server->url("/endless-header"), folder.file("out")},
                                            folder.file("stdout"), folder.file("stderr"));
    EXPECT_EQ(endless.status, 1) << folder.read("stderr");
    EXPECT_NE(folder.read("stderr").find("the response header is too long"), std::string::npos)
        << folder.read("stderr");
    std::printf("peak memory: %ld KiB fetching a tiny file, %ld KiB on an endless header\n",
                idle.peakKiB, endless.peakKiB);
    EXPECT_LT(endless.peakKiB, idle.peakKiB + 64 * 1024);
}

// A body that standard output cannot take is a failed fetch, told on standard
// error, not a silent success; a reader that went away is one too, not a death
// by SIGPIPE.
TEST(TelvarnGetTest, AnOutputThatTakesNothingFailsTheFetch) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "www");
    folder.write("www/body", randomBytes(200 * 1000, 5));
    const auto server = startPythonScript(HTTP_LIVE_SCRIPTS "/scripted_http_server.py",
                                          (folder.path() / "www").string(), folder.file("log"));
    if (!server) GTEST_SKIP() << "python3 is not installed";
    const struct {
        const char* output;  // a file to open, or a pipe without one
        int error;
    } outputs[] = {{"/dev/full", ENOSPC}, {nullptr, EPIPE}};
    for (const auto& output : outputs) {
        SCOPED_TRACE(output.output ? output.output : "a pipe whose reader is gone");
        int pipeEnds[2] = {-1, -1};
        if (!output.output) {
            ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
            close(pipeEnds[0]);  // gone before the body comes
        }
        const Outcome outcome =
            spawnTelvarnGet({server->url("/chunked/body")}, output.output ? output.output : "",
                            folder.file("stderr"), pipeEnds[1]);
        if (pipeEnds[1] >= 0) close(pipeEnds[1]);
        const std::string err = folder.read("stderr");
        EXPECT_EQ(outcome.signal, 0) << strsignal(outcome.signal);
        EXPECT_EQ(outcome.status, 1) << err;
        EXPECT_NE(err.find("can't write to standard output"), std::string::npos) << err;
        EXPECT_NE(err.find(std::strerror(output.error)), std::string::npos) << err;
    }
}

}  // namespace
