#include "base/local_time.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
long long daysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

// The broken-down time counted as seconds, whatever zone it was broken down in.
long long secondsOf(const std::tm& time) {
    const long long days =
        daysFromCivil(time.tm_year + 1900LL, static_cast<unsigned>(time.tm_mon + 1),
                      static_cast<unsigned>(time.tm_mday));
    return days * 86400 + time.tm_hour * 3600LL + time.tm_min * 60LL + time.tm_sec;
}

}  // namespace

// The offset is the difference of the local and the UTC breakdown: %z of
// strftime is not reliable on every runtime the program is built for.
std::string localTimeText(std::time_t when) {
    std::tm local{};
    std::tm utc{};
#ifdef _WIN32
    localtime_s(&local, &when);
    gmtime_s(&utc, &when);
#else
    localtime_r(&when, &local);
    gmtime_r(&when, &utc);
#endif
    const auto offsetMinutes = static_cast<int>((secondsOf(local) - secondsOf(utc)) / 60);
    const int magnitude = std::abs(offsetMinutes);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, offsetMinutes < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
    return text;
}
