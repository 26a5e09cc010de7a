#include "app/restart_step.h"

#include <filesystem>
#include <system_error>

#include "startup/program_files.h"
#include "base/file_path.h"

namespace fs = std::filesystem;

namespace {

// A missing or empty "version" (a start with "PAUSE" by hand, a download that
// never came) is no program.
bool isDownload(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && fs::file_size(file, error) > 0 && !error;
}

// One rename that replaces the target, so that there is no moment without a
// program file. A downloaded file carries no execute permission; it gets one
// first, so that the program in place can always start.
void replaceProgram(const fs::path& download, const fs::path& program) {
    std::error_code ignored;
    fs::permissions(download,
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ignored);
    fs::rename(download, program, ignored);
}

}  // namespace

void runRestartStep(MessagePump& pump, SystemServices& system, const std::string& folder) {
    waitPumping(pump, 5000);
    const fs::path program = pathFromUtf8(inFolder(folder, kProgramFileName));
    const fs::path download = pathFromUtf8(inFolder(folder, kVersionFileName));
    if (isDownload(download)) replaceProgram(download, program);
    system.startProcess(utf8Of(program), {}, true);
    system.requestQuit();
}
