#include "spawn.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace {

std::vector<std::string> environmentWith(const std::map<std::string, std::string>& env) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (env.count(text.substr(0, text.find('='))) == 0) entries.push_back(text);
    }
    for (const auto& [name, value] : env) entries.push_back(name + "=" + value);
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

pid_t spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
            bool quiet) {
    std::vector<std::string> args = argv;
    std::vector<std::string> entries = environmentWith(env);
    const std::vector<char*> argPointers = pointersTo(args);
    const std::vector<char*> envPointers = pointersTo(entries);
    const int devNull = quiet ? open("/dev/null", O_RDWR | O_CLOEXEC) : -1;
    const pid_t pid = fork();
    if (pid == 0) {
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execve(argPointers[0], argPointers.data(), envPointers.data());
        _exit(127);
    }
    if (devNull >= 0) close(devNull);
    if (pid < 0) throw std::runtime_error("fork failed");
    return pid;
}

int waitFor(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
