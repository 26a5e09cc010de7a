#include "platform_win32/win32_console.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <iostream>
#include <memory>
#include <streambuf>
#include <vector>

#include "base/text_encoding.h"
#include "platform_win32/win32_text.h"

namespace {

// A stream's bytes as UTF-16 on a console. A character cut between two writes
// waits for its last bytes.
class ConsoleBuffer : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            pending_.push_back(traits_type::to_char_type(c));
            if (pending_.size() >= kFlushAt) writeComplete();
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        if (pending_.size() >= kFlushAt) writeComplete();
        return count;
    }
    int sync() override { return writeComplete() ? 0 : -1; }

  private:
    static constexpr std::size_t kFlushAt = 4096;

    bool writeComplete() {
        const std::size_t complete = completeUtf8Length(pending_);
        const std::wstring wide = utf8ToWide(std::string_view(pending_).substr(0, complete));
        pending_.erase(0, complete);
        DWORD written = 0;
        return wide.empty() || WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()),
                                             &written, nullptr) != 0;
    }

    HANDLE console_;
    std::string pending_;
};

void writeAsUnicode(std::ostream& stream, DWORD handleId) {
    const HANDLE handle = GetStdHandle(handleId);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        return;  // a pipe or a file: UTF-8 bytes
    }
    // Lives as long as the stream may be written to, to the end of the process.
    static std::vector<std::unique_ptr<ConsoleBuffer>> buffers;
    buffers.push_back(std::make_unique<ConsoleBuffer>(handle));
    stream.flush();
    stream.rdbuf(buffers.back().get());
}

}  // namespace

std::vector<std::string> commandLineArguments() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (argv == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(wideToUtf8(argv[i]));
    LocalFree(argv);
    return arguments;
}

void writeConsolesAsUnicode() {
    writeAsUnicode(std::cout, STD_OUTPUT_HANDLE);
    writeAsUnicode(std::cerr, STD_ERROR_HANDLE);
}
