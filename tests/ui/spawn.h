#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

// Starts argv[0] (a path) with these environment variables set on top of this
// process's, the output silenced when quiet. Everything is made ready before
// the fork, since a test process may run threads of its own.
pid_t spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
            bool quiet);

// The exit status of a child, or 128 + the signal that ended it.
int waitFor(pid_t child);
