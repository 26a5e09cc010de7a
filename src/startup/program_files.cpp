#include "startup/program_files.h"

std::string savedProgramFileName(int programVersion) {
    return "Telvarn_V" + std::to_string(programVersion) + kExecutableSuffix;
}

std::string inFolder(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}
