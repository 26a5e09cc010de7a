#pragma once

#include <cstdint>
#include <string>

#include "support/temp_folder.h"

// A data file for the benchmarks' chips: every third bit of the image, CR LF
// lines. Returns its path in the folder.
inline std::string writeBenchChipFile(TempFolder& folder) {
    std::string content;
    for (std::uint32_t bit = 0; bit < 30718; bit += 3) content += std::to_string(bit) + "\r\n";
    folder.write("chip.txt", content);
    return folder.file("chip.txt");
}
