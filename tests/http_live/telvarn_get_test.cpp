// The built telvarn-get command against python's file server.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "live_rig.h"
#include "support/loopback_server.h"

extern char** environ;

namespace {

// Runs telvarn-get with args, its output in out and err; its exit status, or
// -1 when it had to be killed after 20 s.
int runTelvarnGet(const std::vector<std::string>& args, const std::string& out,
                  const std::string& err) {
    std::vector<std::string> argv{TELVARN_GET_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, pointers[0], &files, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (failed != 0) return -2;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

}  // namespace
