#include "chip/chip_operation.h"

#include <algorithm>
#include <array>

#include "base/text.h"

namespace {

constexpr std::uint16_t kBlockSize = kRamBlockSize;

// The option bits that an operation forces into the image it sends.
constexpr std::size_t kProgramOptionByte = 3703;  // bit 29628
constexpr std::uint8_t kProgramOptionMask = 0x10;
constexpr std::size_t kBurnOptionByte = 3839;  // bit 30717, variant "02" only
constexpr std::uint8_t kBurnOptionMask = 0x20;

void forceBit(ChipBuffer& buffer, std::size_t index, std::uint8_t mask, bool toZero) {
    if (toZero) {
        buffer[index] &= static_cast<std::uint8_t>(~mask);
    } else {
        buffer[index] |= mask;
    }
}

std::string kilobytes(std::size_t offset) {
    return decimal(static_cast<long long>(offset / 1024)) + "kB";
}

// Puts the two option bytes back and empties the status text, exactly once:
// where the operation says so, or when an escaping error unwinds it. Never a
// second time, because a handler run during the failure beeps (they process
// window messages) may have loaded a new buffer that must be kept.
class OptionBytesScope {
  public:
    OptionBytesScope(ChipBuffer& buffer, Report& report)
        : buffer_(buffer),
          report_(report),
          burnByte_(buffer[kBurnOptionByte]),
          programByte_(buffer[kProgramOptionByte]) {}
    ~OptionBytesScope() { restore(); }
    OptionBytesScope(const OptionBytesScope&) = delete;
    OptionBytesScope& operator=(const OptionBytesScope&) = delete;

    void restore() {
        if (restored_) return;
        restored_ = true;
        buffer_[kBurnOptionByte] = burnByte_;
        buffer_[kProgramOptionByte] = programByte_;
        report_.progress("");
    }

  private:
    ChipBuffer& buffer_;
    Report& report_;
    std::uint8_t burnByte_;
    std::uint8_t programByte_;
    bool restored_ = false;
};

class ChipOperation {
  public:
    ChipOperation(ChipOperationKind kind, const ChipVariant& variant, const ChipOptions& options,
                  ProgrammerLink& link, ChipBuffer& buffer, Report& report)
        : kind_(kind),
          variant_(variant),
          options_(options),
          link_(link),
          buffer_(buffer),
          report_(report) {}

    ChipPhase run() {
        OptionBytesScope scope(buffer_, report_);
        forceOptionBits();
        if (!loadPhase()) {
            report_.line("Ошибка загрузки данных в программатор");
            scope.restore();
            link_.TripleBeep();
            return ChipPhase::Load;
        }
        report_.line("Загрузка данных в программатор : OK");
        const bool verified = verifyPhase();
        scope.restore();
        if (!verified) {
            report_.line("Ошибка проверки данных программатора");
            link_.TripleBeep();
            return ChipPhase::Verify;
        }
        report_.line("Проверка данных программатора : OK");
        return finish(link_.progmode(variant_.progArgument(kind_)));
    }

  private:
    bool burning() const { return kind_ == ChipOperationKind::Burn; }

    void forceOptionBits() {
        if (burning() && variant_.code == "02") {
            forceBit(buffer_, kBurnOptionByte, kBurnOptionMask, options_.burnFinalStep);
        }
        if (!burning()) {
            forceBit(buffer_, kProgramOptionByte, kProgramOptionMask, options_.programFinalStep);
        }
    }

    // Every block is sent even after a failure; the result is their AND.
    bool loadPhase() {
        bool ok = true;
        for (std::size_t offset = 0; offset < variant_.imageBytes(); offset += kBlockSize) {
            const bool sent = link_.ramwrite(buffer_.bytes(), offset,
                                               static_cast<std::uint32_t>(offset), kBlockSize);
            ok = ok && sent;
            report_.progress("Загрузка данных : " + kilobytes(offset));
        }
        report_.progress("");
        return ok;
    }

    // Compares against the buffer with the forced bits still in it, the bytes
    // past the chip image included.
    bool verifyPhase() {
        bool ok = true;
        std::array<std::uint8_t, kBlockSize> scratch{};
        for (std::size_t offset = 0; offset < variant_.imageBytes(); offset += kBlockSize) {
            const bool read =
                link_.ramread(scratch, static_cast<std::uint32_t>(offset), kBlockSize);
            const auto expected = buffer_.bytes().subspan(offset, kBlockSize);
            const bool same = std::equal(scratch.begin(), scratch.end(), expected.begin());
            ok = ok && read && same;
            report_.progress("Проверка данных : " + kilobytes(offset));
        }
        return ok;
    }

    ChipPhase finish(bool ok) {
        if (ok) {
            report_.line(burning() ? "Прожиг : OK" : "Программирование : OK");
            link_.Beep();
        } else {
            report_.line(burning() ? "Ошибка прожига микросхемы"
                                   : "Ошибка программирования микросхемы");
            link_.TripleBeep();
        }
        return ok ? ChipPhase::Done : ChipPhase::Progmode;
    }

    ChipOperationKind kind_;
    ChipVariant variant_;
    ChipOptions options_;
    ProgrammerLink& link_;
    ChipBuffer& buffer_;
    Report& report_;
};

}  // namespace

ChipPhase runChipOperation(ChipOperationKind kind, const ChipVariant& variant,
                           const ChipOptions& options, ProgrammerLink& link, ChipBuffer& buffer,
                           Report& report) {
    return ChipOperation(kind, variant, options, link, buffer, report).run();
}
