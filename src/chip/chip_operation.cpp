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
    OptionBytesScope(ChipBuffer& buffer, StatusLine& status)
        : buffer_(buffer),
          status_(status),
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
        status_.setText("");
    }

  private:
    ChipBuffer& buffer_;
    StatusLine& status_;
    std::uint8_t burnByte_;
    std::uint8_t programByte_;
    bool restored_ = false;
};

class ChipOperation {
  public:
    ChipOperation(ChipMenuContext& context, ChipOperationKind kind, const ChipVariant& variant)
        : c_(context), kind_(kind), variant_(variant) {}

    bool run() {
        OptionBytesScope scope(c_.buffer, c_.status);
        forceOptionBits();
        if (!loadPhase()) {
            c_.log.append("Ошибка загрузки данных в программатор");
            scope.restore();
            c_.link.TripleBeep();
            return false;
        }
        c_.log.append("Загрузка данных в программатор : OK");
        const bool verified = verifyPhase();
        scope.restore();
        if (!verified) {
            c_.log.append("Ошибка проверки данных программатора");
            c_.link.TripleBeep();
            return false;
        }
        c_.log.append("Проверка данных программатора : OK");
        return finish(c_.link.progmode(variant_.progArgument(kind_)));
    }

  private:
    bool burning() const { return kind_ == ChipOperationKind::Burn; }

    void forceOptionBits() {
        if (burning() && variant_.code == "02") {
            forceBit(c_.buffer, kBurnOptionByte, kBurnOptionMask,
                     c_.menu.MainMenuChipLoadFuseFunal.checked());
        }
        if (!burning()) {
            forceBit(c_.buffer, kProgramOptionByte, kProgramOptionMask,
                     c_.menu.MainMenuChipLoadRamFinal.checked());
        }
    }

    // Every block is sent even after a failure; the result is their AND.
    bool loadPhase() {
        bool ok = true;
        for (std::size_t offset = 0; offset < variant_.imageBytes(); offset += kBlockSize) {
            const bool sent = c_.link.ramwrite(c_.buffer.bytes(), offset,
                                               static_cast<std::uint32_t>(offset), kBlockSize);
            ok = ok && sent;
            c_.status.setText("Загрузка данных : " + kilobytes(offset));
        }
        c_.status.setText("");
        return ok;
    }

    // Compares against the buffer with the forced bits still in it, the bytes
    // past the chip image included.
    bool verifyPhase() {
        bool ok = true;
        std::array<std::uint8_t, kBlockSize> scratch{};
        for (std::size_t offset = 0; offset < variant_.imageBytes(); offset += kBlockSize) {
            const bool read =
                c_.link.ramread(scratch, static_cast<std::uint32_t>(offset), kBlockSize);
            const auto expected = c_.buffer.bytes().subspan(offset, kBlockSize);
            const bool same = std::equal(scratch.begin(), scratch.end(), expected.begin());
            ok = ok && read && same;
            c_.status.setText("Проверка данных : " + kilobytes(offset));
        }
        return ok;
    }

    bool finish(bool ok) {
        if (ok) {
            c_.log.append(burning() ? "Прожиг : OK" : "Программирование : OK");
            c_.link.Beep();
        } else {
            c_.log.append(burning() ? "Ошибка прожига микросхемы"
                                    : "Ошибка программирования микросхемы");
            c_.link.TripleBeep();
        }
        return ok;
    }

    ChipMenuContext& c_;
    ChipOperationKind kind_;
    ChipVariant variant_;
};

}  // namespace

bool RunChipOperation(ChipOperationKind kind, ChipMenuContext& context) {
    if (kind == ChipOperationKind::Burn &&
        !context.dialogs.confirm("Вы уверены?", "Прожиг микросхемы :")) {
        context.log.append("Прожиг микросхемы отменен");
        return false;
    }
    const auto variant = selectedVariant(context.menu);
    if (!variant) {
        context.log.append("Не выбран тип микросхемы");
        return false;
    }
    return ChipOperation(context, kind, *variant).run();
}
