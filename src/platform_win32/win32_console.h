#pragma once

#include <string>
#include <vector>

// The program's arguments as the system keeps them, in UTF-16, passed on as
// UTF-8, without the program's own name: main's are in the ANSI code page,
// in which a Cyrillic file name is lost.
std::vector<std::string> commandLineArguments();

// Standard output and error write to a console as Unicode, whatever its code
// page; to a pipe or a file they stay UTF-8 bytes.
void writeConsolesAsUnicode();
