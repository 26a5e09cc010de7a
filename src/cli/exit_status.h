#pragma once

// What the command-line front end tells the script that ran it.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,  // a chip, a check or the update failed; an error escaped
    kExitBadArguments = 2,
    kExitNotFound = 3,       // no programmer answered
    kExitFileErrors = 4,     // the data file has error lines or cannot be read
    kExitInterrupted = 130,  // as a shell reports an end by Ctrl+C
};
