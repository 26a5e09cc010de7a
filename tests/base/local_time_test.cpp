#include "base/local_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifndef _WIN32
TEST(LocalTime, CarriesTheZonesOffsetFromUtc) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    const std::time_t when = 1796785803;  // 2026-12-09 03:10:03 UTC
    const char* cases[][2] = {
        {"UTC0", "2026-12-09T03:10:03+00:00"},
        {"CET-1", "2026-12-09T04:10:03+01:00"},
        {"<+0545>-5:45", "2026-12-09T08:55:03+05:45"},
        {"<-0330>3:30", "2026-12-08T23:40:03-03:30"},
    };
    for (const auto& [zone, text] : cases) {
        setenv("TZ", zone, 1);
        tzset();
        EXPECT_EQ(localTimeText(when), text) << zone;
    }
    saved ? setenv("TZ", previous.c_str(), 1) : unsetenv("TZ");
    tzset();
}
#endif
