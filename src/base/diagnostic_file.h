#pragma once

#include <fstream>
#include <string>
#include <string_view>

// A file that opt-in diagnostics are appended to (the log's mirror, the port's
// trace). One that cannot be opened says so once on standard error, naming the
// file and the reason, and then takes lines without writing them: diagnostics
// never stop the program, but they do not vanish unannounced either.
class DiagnosticFile {
  public:
    // purpose names the file for the operator, e.g. "trace file".
    DiagnosticFile(const std::string& path, const std::string& purpose);

    bool isOpen() const { return file_.is_open(); }
    // Appends the line and a line end, flushed at once, so that the file is
    // complete up to the moment the program stops.
    void writeLine(std::string_view line);

  private:
    std::ofstream file_;
};
