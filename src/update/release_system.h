#pragma once

#include <string_view>

// The system this build's program runs on, as its releases name it in their
// signed comment ("Telvarn 15 linux-x86_64"): a program release is installed
// only on the system it was built for.
#if defined(_WIN32)
#define TELVARN_RELEASE_OS "windows"
#elif defined(__linux__)
#define TELVARN_RELEASE_OS "linux"
#else
#error "no release system is known for this platform"
#endif

#if defined(__x86_64__) || defined(_M_X64)
#define TELVARN_RELEASE_CPU "x86_64"
#elif defined(__aarch64__) || defined(_M_ARM64)
#define TELVARN_RELEASE_CPU "aarch64"
#else
#error "no release system is known for this processor"
#endif

inline constexpr std::string_view kReleaseSystem = TELVARN_RELEASE_OS "-" TELVARN_RELEASE_CPU;

#undef TELVARN_RELEASE_OS
#undef TELVARN_RELEASE_CPU
