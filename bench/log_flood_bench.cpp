// What a flood of log lines costs. First the model's memory: a data file of
// 1,048,576 invalid lines leaves one log line each, all kept. Then how long
// the window is held up when a command logs a flood: the model takes every
// line at once, the view gets them in one batch afterwards.
#include <malloc.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "chip/buffer_load.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"
#include "ui/main_window_view.h"

namespace {

constexpr std::size_t kInvalidLines = 1048576;

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Bytes the C library has handed out, large blocks included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

double mebibytes(std::size_t bytes) {
    return static_cast<double>(bytes) / 1048576.0;
}

void measureModel(const TempFolder& folder) {
    const std::string path = folder.file("invalid.txt");
    {
        std::ofstream out(path, std::ios::binary);
        for (std::size_t n = 0; n < kInvalidLines; ++n) out << "bad" << n % 10 << "\r\n";
    }
    ChipBuffer buffer;
    Log log;
    StatusLine status;
    OperatorReport report(log, status);
    const std::size_t before = heapInUse();
    loadDataFileIntoBuffer(path, buffer, report);
    const std::size_t model = heapInUse() - before;

    std::size_t text = 0;
    for (const std::string_view line : log.lines()) text += line.size();
    // The same lines as a string each, for comparison.
    const std::size_t beforeStrings = heapInUse();
    std::vector<std::string> strings(log.lines().begin(), log.lines().end());
    const std::size_t asStrings = heapInUse() - beforeStrings;

    const double lines = static_cast<double>(log.lines().size());
    std::printf("Log model after loading %zu invalid data-file lines (%zu log lines):\n",
                kInvalidLines, log.lines().size());
    std::printf("  text of the lines   %8.1f MiB (%5.1f bytes per line)\n", mebibytes(text),
                static_cast<double>(text) / lines);
    std::printf("  the model           %8.1f MiB (%5.1f bytes per line, %.2f times its text)\n",
                mebibytes(model), static_cast<double>(model) / lines,
                static_cast<double>(model) / static_cast<double>(text));
    std::printf("  a string per line   %8.1f MiB (%5.1f bytes per line), for comparison\n",
                mebibytes(asStrings), static_cast<double>(asStrings) / lines);
    std::fflush(stdout);
}

void measureFlood(MainWindow& model, MainWindowView& view) {
    std::printf("Flood of log lines into the window:\n");
    for (int lines : {1000, 10000, 100000}) {
        model.log.clear();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 1; i <= lines; ++i) {
            model.log.append("Ошибка в строке " + std::to_string(i) +
                             " : недопустимое значение abc");
        }
        const double logged = millisecondsSince(start);
        view.logView().flush();
        QApplication::processEvents();
        const double shown = millisecondsSince(start);
        std::printf(
            "  %7d lines: logged in %8.1f ms, shown in the window after %8.1f ms (%d rows)\n",
            lines, logged, shown, view.logView().model()->rowCount());
    }
}

}  // namespace

int main(int argc, char** argv) {
    TempFolder folder;
    measureModel(folder);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PortlessDesktop fakes;
    fakes.system.exePath = folder.file("Telvarn");
    MainWindow model(fakes.desktop, {});
    MainWindowView view(model);
    view.show();
    measureFlood(model, view);
    return 0;
}
