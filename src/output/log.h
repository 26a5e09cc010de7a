#pragma once

#include <cstdint>
#include <string_view>

#include "base/signal.h"
#include "output/line_store.h"

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kLogStartColour{202, 202, 255};
inline constexpr Rgb kSkyBlue{166, 202, 240};
inline constexpr Rgb kYellow{255, 255, 0};

// The window's log: whole lines, appended at the end. It keeps every line, so
// a data file full of errors may leave a million of them here.
class Log {
  public:
    void append(std::string_view line);
    void clear();
    // Removes the last line, if any.
    void deleteLast();

    const LineStore& lines() const { return lines_; }
    Rgb background() const { return background_; }
    void setBackground(Rgb colour);

    // The line as the log keeps it; the view lasts until the line is removed.
    Signal<std::string_view> appended;
    Signal<> cleared;
    Signal<> lastDeleted;
    Signal<Rgb> backgroundChanged;

  private:
    LineStore lines_;
    Rgb background_ = kLogStartColour;
};
