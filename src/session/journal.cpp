#include "session/journal.h"

#include <cerrno>
#include <cstring>

#include "base/csv.h"
#include "base/file_path.h"

namespace {

std::FILE* openForAppending(const std::string& pathUtf8) {
    const std::filesystem::path path = pathFromUtf8(pathUtf8);
#ifdef _WIN32
    return _wfopen(path.c_str(), L"ab");
#else
    return std::fopen(path.c_str(), "ab");
#endif
}

std::string reasonOf(int error) {
    return error != 0 ? std::strerror(error) : "reason unknown";
}

// One write of the whole text, then the flush: the stream is unbuffered, so
// that the text reaches the system in a single call.
bool writeWhole(std::FILE* file, const std::string& text) {
    errno = 0;
    return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

bool isEmpty(std::FILE* file) {
    return std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) == 0;
}

}  // namespace

std::vector<std::string> JournalRow::fields() const {
    return {time, port, serial, firmware, operation, file, crc32, variant, result, phase, seconds};
}

std::vector<std::string> journalHeader() {
    return {"time",  "port",    "serial", "firmware", "operation", "file",
            "crc32", "variant", "result", "phase",    "seconds"};
}

std::unique_ptr<Journal> Journal::open(const std::string& pathUtf8, std::string& error) {
    errno = 0;
    std::FILE* file = openForAppending(pathUtf8);
    if (file == nullptr) {
        error = "cannot open the journal " + pathUtf8 + " (" + reasonOf(errno) + ")";
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    if (!isEmpty(file) || writeWhole(file, csvRow(journalHeader()))) {
        error.clear();
        return std::unique_ptr<Journal>(new Journal(file, pathUtf8));
    }
    error = "cannot write to the journal " + pathUtf8 + " (" + reasonOf(errno) + ")";
    std::fclose(file);
    return nullptr;
}

Journal::~Journal() {
    std::fclose(file_);
}

void Journal::append(const JournalRow& row) {
    const std::string text = csvRow(row.fields());
    const std::lock_guard<std::mutex> lock(mutex_);
    if (writeWhole(file_, text) || failureTold_) return;
    failureTold_ = true;
    std::fprintf(stderr, "Telvarn: cannot write to the journal %s (%s); the work goes on\n",
                 path_.c_str(), reasonOf(errno).c_str());
}
