#!/usr/bin/env bash
# Installs what is missing, builds the Qt-free core and its test programs for
# 64-bit Windows with the MinGW-w64 cross-compiler in build-windows/, and runs
# them under Wine, without a display. Ends with CTest's summary and the
# retries that Wine's own failures needed (scripts/wine-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

# The posix variant of the compiler: GoogleTest needs std::thread and std::mutex.
packages=(cmake make g++-mingw-w64-x86-64-posix libz-mingw-w64-dev libgcrypt-mingw-w64-dev googletest
          wine64)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# A Wine of our own in the build folder, quiet, and without a display: the
# test programs are console programs. Nothing needs .NET or a browser engine,
# whose installers would otherwise be offered when the prefix is made.
mkdir -p build-windows
export WINEPREFIX="$PWD/build-windows/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# The prefix is written out when the server that made it ends.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
fi
# One server for the whole run: started anew for each of hundreds of short
# test programs, it costs seconds apiece.
"$wineserver" -p >/dev/null 2>&1 || true
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
# Wine's own services start with the first program; they start here, so that
# no test program, listed at build time, waits for them.
"$wine" wineboot >/dev/null 2>&1 || true
# Wine maps COM1.. to this machine's own serial devices; no test may reach one.
rm -f "$WINEPREFIX"/dosdevices/com*

# Each test program runs through scripts/wine-test.sh (the build's emulator, at
# the test discovery of the build too), which tries a program again only where
# Wine failed it: it never started, or it passed and never ended; any other
# failure fails at once. Three tries of at most 60 s each; CTest's own limit
# covers all three. Every retry is a line of this log.
export WINE_TEST_RETRY_LOG=$PWD/build-windows/wine-retries.log
: >"$WINE_TEST_RETRY_LOG"

# No benchmarks or sanitizers here: the core, the Win32 platform and window, the
# three programs and their tests.
bash scripts/build.sh build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DTELVARN_WERROR=ON -DTELVARN_CORE_ONLY=OFF
status=0
# The retries themselves, against a stand-in for Wine.
bash scripts/wine-test-test.sh || status=1
cd build-windows
ctest --output-on-failure --timeout 200 -j2 -E "Win32View|Win32Log" || status=1
# The window's tests need a display: Wine draws on a virtual screen. Wine's
# desktop keeps the display its server first met, none for the tests above:
# their server ends, and one of the virtual screen's own serves the window.
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true
# shellcheck disable=SC2016  # expanded by the inner shell
if ! xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        "$1" -p >/dev/null 2>&1
        ctest --output-on-failure --timeout 200 -R "Win32View|Win32Log"
        status=$?
        "$1" -k >/dev/null 2>&1
        exit $status' _ "$wineserver" 2>&1 | tee window-tests.log; then
    status=1
fi
# A window test skips itself where no window can be made: here that is a fault.
if grep -q '\*\*\*Skipped' window-tests.log; then
    echo "test-windows: the window's tests were skipped: Wine made no window on the virtual screen"
    status=1
fi
# What Wine needed: one line per retry, with its reason.
never_started=$(grep -c '^never-started ' "$WINE_TEST_RETRY_LOG" || true)
never_ended=$(grep -c '^passed-never-ended ' "$WINE_TEST_RETRY_LOG" || true)
echo "Wine retries: $never_started never started, $never_ended passed and never ended"
sed 's/^/  retried: /' "$WINE_TEST_RETRY_LOG"
exit $status
