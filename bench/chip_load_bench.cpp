// Loading data files of a million lines into the chip buffer: time, lines per
// second and peak memory. Each case runs in its own child process so that
// its peak resident size is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/scripted_link.h"
#include "support/session_rig.h"
#include "support/temp_folder.h"

namespace {

constexpr std::uint32_t kLines = 1048576;

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void writeLines(const std::string& path, const std::function<std::string(std::uint32_t)>& line) {
    std::ofstream out(path, std::ios::binary);
    for (std::uint32_t n = 0; n < kLines; ++n) out << line(n) << "\r\n";
}

std::string hexLine(std::uint32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%05X", n);
    return text;
}

void measure(const char* title, const std::string& path) {
    SessionRig<ScriptedLink> rig;

    const long before = peakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    rig.session.load(path);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const long peak = peakKilobytes();

    std::printf("%s\n", title);
    std::printf("  file size        %10.1f MiB\n",
                static_cast<double>(std::filesystem::file_size(path)) / 1048576.0);
    std::printf("  load time        %10.3f s\n", took.count());
    std::printf("  lines per second %10.0f\n", kLines / took.count());
    std::printf("  log lines        %10zu\n", rig.log.lines().size());
    std::printf("  peak memory      %10.1f MiB (%.1f MiB before the load)\n", peak / 1024.0,
                before / 1024.0);
    std::fflush(stdout);
}

void inChild(const char* title, const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        measure(title, path);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

}  // namespace

int main() {
    TempFolder folder;
    const std::string decimalFile = folder.file("decimal.txt");
    const std::string hexFile = folder.file("hex.txt");
    const std::string badFile = folder.file("bad.txt");
    writeLines(decimalFile, [](std::uint32_t n) { return std::to_string(n); });
    writeLines(hexFile, hexLine);
    writeLines(badFile, [](std::uint32_t n) { return "bad" + std::to_string(n % 10); });

    inChild("1048576 decimal lines, every bit", decimalFile);
    inChild("1048576 hexadecimal lines, every bit", hexFile);
    inChild("1048576 invalid lines (one log line each)", badFile);
    return 0;
}
