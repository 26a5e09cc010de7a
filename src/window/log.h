#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/signal.h"

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kLogStartColour{202, 202, 255};
inline constexpr Rgb kSkyBlue{166, 202, 240};
inline constexpr Rgb kYellow{255, 255, 0};

// The window's log: whole lines, appended at the end.
class Log {
  public:
    void append(const std::string& line);
    void clear();
    // Removes the last line, if any.
    void deleteLast();

    const std::vector<std::string>& lines() const { return lines_; }
    Rgb background() const { return background_; }
    void setBackground(Rgb colour);

    Signal<const std::string&> appended;
    Signal<> cleared;
    Signal<> lastDeleted;
    Signal<Rgb> backgroundChanged;

  private:
    std::vector<std::string> lines_;
    Rgb background_ = kLogStartColour;
};
