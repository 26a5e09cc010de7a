// The client over the Winsock socket and the Win32 loop against real servers
// on 127.0.0.1: the Linux live tests' table, run under Wine.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <random>

#include "http/file_stream.h"
#include "http/http_cli.h"
#include "platform_win32/win32_http_socket.h"
#include "platform_win32/win32_message_pump.h"
#include "support/temp_folder.h"
#include "wine_helper.h"

namespace {

// A Linux server on a free port of 127.0.0.1 for the length of the test; the
// helper runs it and ends it. (Another process may take the port first: the
// test then fails, and CTest tries it again.)
class LiveServer {
  public:
    using Command = std::function<std::vector<std::string>(const std::string& port)>;
    LiveServer(const Command& command, const std::filesystem::path& log)
        : port_(std::to_string(unusedLoopbackPort())), helper_([&] {
              std::vector<std::string> args{"serve", port_, linuxPath(log)};
              for (const std::string& word : command(port_)) args.push_back(word);
              return args;
          }()) {
        if (helper_.readLine() != "ready")
            throw std::runtime_error("no server; see " + log.string());
    }
    std::string url(const std::string& path, const std::string& host = "127.0.0.1") const {
        return "http://" + host + ":" + port_ + path;
    }

  private:
    std::string port_;
    WineHelper helper_;
};

// nginx with a configuration of its own in work, serving root, plus /moved
// (302 to /other/path as an absolute address) and /moved-relative (as a path).
std::vector<std::string> nginx(const std::string& work, const std::string& root,
                               const std::string& port) {
    std::filesystem::create_directories(work + "/tmp");
    std::ofstream out(work + "/nginx.conf");
    out << "daemon off; master_process off; worker_processes 1; pid " << work << "/pid;\n"
        << "error_log " << work << "/error.log; events { worker_connections 64; }\n"
        << "http { access_log " << work << "/access.log;\n";
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        out << kind << "_temp_path " << work << "/tmp/" << kind << ";\n";
    out << "default_type application/octet-stream;\n"
        << "server { listen 127.0.0.1:" << port << "; root " << root << ";\n"
        << "location = /moved { return 302 /other/path; }\n"
        << "location = /moved-relative { absolute_redirect off; return 302 /other/path; }\n}}\n";
    return {"/usr/sbin/nginx",    "-p", work + "/",         "-c",
            work + "/nginx.conf", "-e", work + "/error.log"};
}

// The update checks' client: each document goes to one file, created anew at
// its begin and closed at its end.
class Win32LiveServerTest : public ::testing::Test {
  protected:
    Win32LiveServerTest() {
        std::filesystem::create_directories(www / "other");
        std::mt19937 random(7);
        for (const auto& [name, size] : {std::pair<std::string, std::size_t>{"one.bin", 1},
                                         {"line.bin", 8190},  // one of the client's reads
                                         {"blocks.bin", 65537},
                                         {"big.bin", 10 * 1000 * 1000}}) {
            std::string bytes(size, '\0');
            for (char& byte : bytes) byte = static_cast<char>(random());  // no repeating block
            folder.write("www/" + name, bytes);
        }
        folder.write("www/other/path", "the target of the relocation\r\n");
        // A body without a length runs to the close: each byte before it must be offered first.
        folder.write("www/raw.http", "HTTP/1.0 200 OK\r\n\r\n" + folder.read("www/big.bin"));
        client.OnDocBegin = [this](THttpCli& cli) {
            events.push_back("begin");
            file_ = std::make_unique<FileStream>(folder.file("document"));
            cli.RcvdStream = file_.get();
        };
        client.OnDocEnd = [this](THttpCli& cli) {
            events.push_back("end");
            cli.RcvdStream = nullptr;
            file_->close();
        };
    }
    void SetUp() override {
        if (root.empty()) GTEST_SKIP() << "the servers run only under Wine";
    }

    // Runs one Get; returns the error it raised, if any.
    std::optional<EHttpException> get(const std::string& url) {
        events.clear();
        client.URL = url;
        try {
            client.Get();
        } catch (const EHttpException& error) {
            events.push_back("raised");
            return error;
        }
        return std::nullopt;
    }

    TempFolder folder;
    const std::filesystem::path www = folder.path() / "www";
    const std::string root = linuxPath(www), work = linuxPath(folder.path());
    const std::string scripted = repositoryFile("tests/http_live/scripted_http_server.py");
    Win32MessagePump pump;
    Win32HttpSocket socket{pump};
    THttpCli client{"HttpClient", socket, pump};
    std::vector<std::string> events;  // "begin", "end" of each document; "raised"
    std::unique_ptr<FileStream> file_;
};

TEST_F(Win32LiveServerTest, EachServerSendsEachFileByteExactOrItsOwnErrorPage) {
    struct Fetch {
        std::string path, file;  // file: what arrives last, from www; "": the server's 404 page
        int documents = 1;
        std::string host = "127.0.0.1";
    };
    const struct {
        const char* kind;
        LiveServer::Command command;
        std::vector<Fetch> fetches;
        const char* notFound;  // nullptr: no files of its own
    } servers[] = {
        {"nginx",
         [&](const std::string& port) { return nginx(work, root, port); },
         {{"/moved", "other/path", 2}, {"/moved-relative", "other/path", 2}},
         "Not Found"},
        {"python http.server",
         [&](const std::string& port) -> std::vector<std::string> {
             return {"/usr/bin/python3", "-m", "http.server", "--bind",
                     "127.0.0.1",        port, "--directory", root};
         },
         {},
         "File not found"},
        // The second target of the 302 answers only on the connection that carried it.
        {"scripted",
         [&](const std::string& port) -> std::vector<std::string> {
             return {"/usr/bin/python3", scripted, port, root};
         },
         {{"/chunked/big.bin", "big.bin"},
          {"/keep-alive-moved/big.bin", "big.bin"},
          {"/raw-close/raw.http", "big.bin"}},
         nullptr},
    };
    for (const auto& server : servers) {
        SCOPED_TRACE(server.kind);
        if (!exists(std::filesystem::path("Z:" + server.command("0")[0]))) {  // its program
            GTEST_SKIP() << server.kind << " is not installed";
        }
        const LiveServer running(server.command, folder.path() / "server.log");
        auto fetches = server.fetches;
        if (server.notFound != nullptr) {
            fetches.push_back({"/one.bin", "one.bin", 1, "localhost"});  // by the resolver thread
            for (const std::string file : {"line.bin", "blocks.bin", "big.bin", "other/path"})
                fetches.push_back({"/" + file, file});
            fetches.push_back({"/missing", ""});
        }
        for (const auto& fetch : fetches) {
            SCOPED_TRACE(fetch.path);
            const auto error = get(running.url(fetch.path, fetch.host));
            const std::string stored = folder.read("document");
            if (fetch.file.empty()) {
                ASSERT_TRUE(error);
                EXPECT_STREQ(error->what(), server.notFound);
                EXPECT_EQ(error->code(), 404);
                EXPECT_EQ(events, (std::vector<std::string>{"begin", "end", "raised"}));
                EXPECT_NE(stored.find("404"), std::string::npos) << stored;
                continue;
            }
            EXPECT_FALSE(error) << error->what();
            EXPECT_EQ(client.StatusCode(), 200);
            EXPECT_EQ(events.size(), 2u * fetch.documents);  // a 302's page is a document too
            EXPECT_TRUE(stored == folder.read("www/" + fetch.file)) << stored.size() << " bytes";
        }
    }
}

// So long a name is refused before any name server is asked.
TEST_F(Win32LiveServerTest, AHostWithoutAnAddressRaisesWinsocksCode) {
    const auto error = get("http://" + std::string(70, 'x') + ".invalid/");
    ASSERT_TRUE(error);
    EXPECT_STREQ(error->what(), "can't resolve hostname to IP address");
    EXPECT_EQ(client.RequestDoneError(), 11001);
    EXPECT_EQ(events, (std::vector<std::string>{"raised"}));
}

}  // namespace
