// telvarn-get URL [FILE]: one GET with the client, settings and socket of the
// update checks, so that an operator can check an update server from the field.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http/document_file.h"
#include "http/http_cli.h"

#ifdef _WIN32
#include "platform_win32/win32_console.h"
#include "platform_win32/win32_http_socket.h"
#include "platform_win32/win32_message_pump.h"
using PlatformPump = Win32MessagePump;
using PlatformSocket = Win32HttpSocket;
// The Win32 loop needs no application object.
struct Application {
    Application(int, char**) {}
};
#else
#include <QCoreApplication>

#include "platform/qt_http_socket.h"
#include "platform/qt_message_pump.h"
using PlatformPump = QtMessagePump;
using PlatformSocket = QtHttpSocket;
using Application = QCoreApplication;
#endif

namespace {

constexpr const char* kUsage =
    "usage: telvarn-get URL [FILE]\n"
    "Fetches URL as the update checks do. The body goes to FILE, which after a\n"
    "fetch holds the final document's body alone (empty when it has none); without\n"
    "FILE it goes to standard output. The status line and the document's name go\n"
    "to standard error. Exit status: 0 fetched, 1 failed, 2 bad arguments.\n";

// Where the documents go, as the update checks store them: FILE is made anew at
// each document's begin and closed at its end. The client answers a failure to
// store bytes only by dropping the connection, so the first one is kept here
// for the exit status.
class DocumentSink : public ReceiveStream {
  public:
    explicit DocumentSink(const std::optional<std::string>& path) {
        if (path) file_.emplace(*path);
    }

    void begin() {
        holdsFinal_ = true;
        guarded([&] { document_ = file_ ? &file_->begin() : nullptr; });
    }
    // A relocation is followed: what FILE holds is the relocation's own body.
    void relocated() { holdsFinal_ = false; }
    // At a fetch's end: a final answer without a body (a length of 0, a 304)
    // opened no document, and FILE is emptied for it.
    void finish() {
        if (holdsFinal_ || !file_) return;
        guarded([&] {
            file_->begin();
            file_->end();
        });
    }
    void end() {
        guarded([&] {
            document_ = nullptr;
            if (file_) {
                file_->end();
            } else {
                stdout_.flush();
            }
        });
    }
    void write(const std::uint8_t* data, std::size_t size) override {
        guarded([&] { target().write(data, size); });
    }
    void shrinkBy(std::uint64_t bytes) override {
        guarded([&] { target().shrinkBy(bytes); });
    }
    // At the end of the run: what standard output still buffers goes out.
    void flushOutput() {
        if (!file_) guarded([&] { stdout_.flush(); });
    }
    const std::string& failure() const { return failure_; }

  private:
    ReceiveStream& target() {
        if (document_) return *document_;
        if (file_) throw std::runtime_error("no document is open in " + file_->path());
        return stdout_;
    }
    template <typename Call>
    void guarded(Call call) {
        try {
            call();
        } catch (const std::exception& error) {
            if (failure_.empty()) failure_ = error.what();
            throw;
        }
    }

    std::optional<DocumentFile> file_;
    ReceiveStream* document_ = nullptr;
    StdoutStream stdout_;
    std::string failure_;
    // FILE was made for the document that came last.
    bool holdsFinal_ = false;
};

// What telvarn-get says goes to standard error, as the operator reads it.
void report(const THttpCli& client) {
    if (client.StatusCode() == 0) {
        std::cerr << "no status line received\n";
    } else if (client.ResponseVersion().empty()) {  // the client's own failure
        std::cerr << "status " << client.StatusCode() << ": " << client.ReasonPhrase() << '\n';
    } else {
        std::cerr << "HTTP/" << client.ResponseVersion() << ' ' << client.StatusCode() << ' '
                  << client.ReasonPhrase() << '\n';
    }
    std::cerr << "DocName: " << client.DocName() << '\n';
}

std::vector<std::string> argumentsOf([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
    return commandLineArguments();
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    writeConsolesAsUnicode();
#endif
    const std::vector<std::string> args = argumentsOf(argc, argv);
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::cout << kUsage << std::flush;
        return 0;
    }
    if (args.empty() || args.size() > 2 || args[0].empty() ||
        (args.size() == 2 && args[1].empty())) {
        std::cerr << kUsage;
        return 2;
    }
#ifndef _WIN32
    // A reader that went away is a failed write, reported, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    Application application(argc, argv);
    PlatformPump pump;
    PlatformSocket socket(pump);
    DocumentSink sink(args.size() == 2 ? std::optional<std::string>(args[1]) : std::nullopt);
    THttpCli client("HttpClient", socket, pump);
    client.URL = args[0];
    client.OnDocBegin = [&](THttpCli& cli) {
        sink.begin();
        cli.RcvdStream = &sink;
    };
    client.OnDocEnd = [&](THttpCli& cli) {
        cli.RcvdStream = nullptr;
        sink.end();
    };
    client.OnLocationChange = [&](THttpCli&) { sink.relocated(); };
    try {
        client.Get();
    } catch (const EHttpException& error) {
        report(client);
        std::cerr << "telvarn-get: " << error.what() << " (code "
                  << static_cast<unsigned>(error.code()) << ")\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "telvarn-get: " << error.what() << '\n';
        return 1;
    }
    report(client);
    try {
        sink.finish();
        sink.flushOutput();
    } catch (const std::exception&) {
        // The sink keeps the reason.
    }
    if (!sink.failure().empty()) {
        std::cerr << "telvarn-get: " << sink.failure() << '\n';
        return 1;
    }
    return 0;
}
