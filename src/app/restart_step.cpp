#include "app/restart_step.h"

#include <filesystem>
#include <system_error>

#include "app/program_files.h"
#include "base/file_path.h"

namespace fs = std::filesystem;

void runRestartStep(MessagePump& pump, SystemServices& system, const std::string& folder) {
    waitPumping(pump, 5000);
    const fs::path program = pathFromUtf8(inFolder(folder, kProgramFileName));
    std::error_code ignored;
    fs::remove(program, ignored);
    fs::rename(pathFromUtf8(inFolder(folder, kVersionFileName)), program, ignored);
    // A downloaded file carries no execute permission; without it the new program
    // could never start on systems that have one.
    fs::permissions(program, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ignored);
    system.startProcess(utf8Of(program), {}, true);
    system.requestQuit();
}
