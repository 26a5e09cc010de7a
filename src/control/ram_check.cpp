#include "control/ram_check.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/text.h"

namespace {

using Image = std::vector<std::uint8_t>;

// Writes the image block by block; true when every block was taken.
bool writePhase(ProgrammerLink& link, Report& report, const Image& image) {
    bool passed = true;
    for (std::uint32_t address = 0; address < kProgrammerRamSize; address += kRamBlockSize) {
        passed = link.ramwrite(image, address, address, kRamBlockSize) && passed;
        report.progress("RAM_WRITE " + decimal(ramCheckPercent(address)) + "%");
        link.WaitPumping(1);
    }
    return passed;
}

// Reads the RAM back block by block; true when every block came whole and
// matched the image.
bool readPhase(ProgrammerLink& link, Report& report, const Image& image) {
    bool passed = true;
    // A short reply leaves earlier bytes in the buffer; the read has failed the
    // phase by then, so whatever the comparison finds cannot make it pass.
    Bytes block(kRamBlockSize);
    for (std::uint32_t address = 0; address < kProgrammerRamSize; address += kRamBlockSize) {
        passed = link.ramread(block, address, kRamBlockSize) && passed;
        report.progress("RAM_READ " + decimal(ramCheckPercent(address)) + "%");
        if (!std::equal(block.begin(), block.end(), image.begin() + address)) passed = false;
        link.WaitPumping(1);
    }
    return passed;
}

std::string verdict(bool passed) {
    return passed ? " : OK" : " : ER";
}

// True when both phases passed.
bool checkPattern(ProgrammerLink& link, Report& report, const Image& image,
                  const std::string& name) {
    const bool written = writePhase(link, report, image);
    report.line("RAM_WRITE " + name + verdict(written));
    const bool read = readPhase(link, report, image);
    report.line("RAM_READ " + name + verdict(read));
    return written && read;
}

}  // namespace

int ramCheckPercent(std::uint32_t address) {
    return static_cast<int>((std::uint64_t{address} + kRamBlockSize) * 100 / kProgrammerRamSize);
}

bool runRamCheck(ProgrammerLink& link, Report& report, RandomSource& random) {
    Image image(kProgrammerRamSize, 0xFF);
    bool passed = checkPattern(link, report, image, "0xFF");
    std::fill(image.begin(), image.end(), std::uint8_t{0x00});
    passed = checkPattern(link, report, image, "0x00") && passed;
    // Drawn only now, so a check nested in the earlier phases draws first.
    for (std::uint8_t& byte : image) byte = random.nextByte();
    passed = checkPattern(link, report, image, "RND") && passed;
    report.progress("");
    return passed;
}
