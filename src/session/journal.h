#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// One chip operation, programmer check or firmware flash as the journal keeps
// it, every field as text.
struct JournalRow {
    std::string time;  // local, ISO 8601 with the offset: when it started
    std::string port;
    std::string serial;
    std::string firmware;   // the application's version; empty when not read
    std::string operation;  // program, burn, ram-check, outputs-check, flash
    std::string file;
    std::string crc32;    // of the file, 8 upper-case hex digits
    std::string variant;  // chip operations only
    std::string result;   // ok, failed, cancelled
    std::string phase;    // the step that failed; empty when ok
    std::string seconds;  // to the millisecond

    std::vector<std::string> fields() const;
};

// The column names, the journal's first row.
std::vector<std::string> journalHeader();

// A CSV file every operation appends its row to, for the production's
// records. Rows are only ever appended; each goes out in one write and is
// flushed, so that the rows of programmers working at once on several threads
// never interleave and a crash loses at most the row being written.
class Journal {
  public:
    // Opens the file (path in UTF-8) for appending and writes the header when
    // it is new or empty. Null when it cannot be opened or written; error then
    // names the file and the reason.
    static std::unique_ptr<Journal> open(const std::string& pathUtf8, std::string& error);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Safe from any thread. A write that fails is told once on standard error;
    // the chip work goes on.
    void append(const JournalRow& row);

  private:
    Journal(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}

    std::mutex mutex_;
    std::FILE* file_;
    const std::string path_;
    bool failureTold_ = false;
};
