// What a data file full of errors costs the window: 1,048,576 invalid lines
// leave one log line each, and the window shows every one. Prints the
// memory the window process holds for them against their text, and how long
// the window takes to show them and to scroll back to the first.
#include <malloc.h>

#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/main_window.h"
#include "chip/buffer_load.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"
#include "ui/main_window_view.h"

namespace {

constexpr std::size_t kInvalidLines = 1048576;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double mebibytes(double bytes) {
    return bytes / 1048576.0;
}

// Bytes the C library has handed out, large blocks included.
double heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// A field of /proc/self/status in bytes, such as "VmRSS" or "VmHWM".
double processStatus(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    double kibibytes = 0;
    while (status >> name) {
        if (name == field + ":" && status >> kibibytes) return kibibytes * 1024.0;
        status.ignore(4096, '\n');
    }
    return 0;
}

struct Memory {
    double heap = heapInUse();
    double resident = processStatus("VmRSS");
    double peak = processStatus("VmHWM");
};

std::string invalidDataFile(const TempFolder& folder) {
    const std::string path = folder.file("invalid.txt");
    std::ofstream out(path, std::ios::binary);
    for (std::size_t n = 0; n < kInvalidLines; ++n) out << "bad" << n % 10 << "\r\n";
    return path;
}

// Runs the loop until the log has painted what it was handed.
void paint(MainWindowView& view) {
    QApplication::processEvents();
    view.logView().viewport()->repaint();
}

void printMemory(const char* what, double bytes, double text) {
    std::printf("  %-40s %8.1f MiB (%.2f times the text)\n", what, mebibytes(bytes), bytes / text);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TempFolder folder;
    const std::string path = invalidDataFile(folder);
    PortlessDesktop fakes;
    fakes.system.exePath = folder.file("Telvarn");
    MainWindow model(fakes.desktop, {});
    MainWindowView view(model);
    view.show();
    paint(view);
    malloc_trim(0);

    const Memory before;
    auto start = Clock::now();
    loadDataFileIntoBuffer(path, model.chipBuffer, model.report);
    const double logged = millisecondsSince(start);
    malloc_trim(0);
    const Memory inTheLog;
    start = Clock::now();
    view.logView().flush();
    paint(view);
    const double shown = millisecondsSince(start);
    start = Clock::now();
    view.logView().verticalScrollBar()->setValue(0);
    paint(view);
    const double scrolled = millisecondsSince(start);
    malloc_trim(0);
    const Memory after;

    double text = 0;
    for (const std::string_view line : model.log.lines()) text += static_cast<double>(line.size());
    std::printf(
        "The window after loading %zu invalid data-file lines (%zu log lines, %.1f MiB "
        "of text):\n",
        kInvalidLines, model.log.lines().size(), mebibytes(text));
    printMemory("heap held for them", after.heap - before.heap, text);
    printMemory("  of which before the window shows them", inTheLog.heap - before.heap, text);
    printMemory("resident memory grown by", after.resident - before.resident, text);
    printMemory("peak resident memory grown by", after.peak - before.peak, text);
    std::printf(
        "  into the log %.0f ms, shown in the window %.0f ms, scrolled to the first "
        "line %.1f ms\n",
        logged, shown, scrolled);
    return 0;
}
