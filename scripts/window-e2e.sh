#!/usr/bin/env bash
# End-to-end check of the two window programs, driven as an operator drives
# them, on a virtual screen: build/Telvarn (Qt, Linux) and Telvarn.exe (Win32,
# under Wine in a prefix of this run's own). Each starts with the simulated
# programmer and no system port, finds it, loads a data file through its file
# dialog (F2), enters service mode (Ctrl+F12), shows the buffer (F3), programs
# the chip (F4) and is closed with Alt+F4. The two logs must be equal line for
# line but for the differences named in allowed_differences below; the
# settings files written on close likewise. Then the restart step of the
# self-update runs under Wine on its own ("Telvarn_V14.exe PAUSE").
#
# With E2E_SCREENSHOT=1 it writes docs/screenshot-windows.png (the Wine window
# after programming); a test run leaves the tracked file alone.
# Exit status 0 only when everything matches. Set E2E_WINDOWS_EXE to check a
# given Telvarn.exe instead of the one the script picks.
# shellcheck disable=SC2317  # functions run from the traps and from wait_until
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
begun=$(date +%s)
# shellcheck source=scripts/e2e-screen.sh
source scripts/e2e-screen.sh

# --- tools --------------------------------------------------------------------

# openbox: the operator's Alt+F4 is the window manager's, and activation goes
# through it; the same manager serves both programs.
install_missing xvfb xauth openbox xdotool imagemagick wine64
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
cc_windows=x86_64-w64-mingw32-gcc-posix

# --- the run's own folder, screen and Wine; everything ends with the script ----

work=$(mktemp -d /tmp/telvarn-e2e.XXXXXX)
export WINEPREFIX=$work/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
xvfb_pid=""
openbox_pid=""
program_pid=""
build_pid=""
wine_started=""
verdict=1

cleanup() {
    local status=$?
    set +e
    if [ -n "$build_pid" ]; then
        kill -- "-$build_pid" 2>/dev/null
        wait "$build_pid" 2>/dev/null
        WINEPREFIX=$repo/build-win-e2e/wine timeout 30 "$wineserver" -k >/dev/null 2>&1
    fi
    stop "$program_pid"
    [ -n "$wine_started" ] && timeout 30 "$wineserver" -k >/dev/null 2>&1
    stop "$openbox_pid"
    stop "$xvfb_pid"
    # The prefix is some hundreds of megabytes; the logs are kept for a failure.
    rm -rf "$WINEPREFIX"
    keep_failed_run window-e2e "$work" "$status" "$verdict"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "window-e2e: FAILED: $*" >&2
    exit 1
}

# build-win-e2e, with a Wine prefix of its own for the test programs its build
# lists, made as scripts/test-windows.sh makes one (the COM links removed).
# shellcheck disable=SC2153  # WINE and WINESERVER come from the caller
build_windows_program() {
    set -euo pipefail
    export WINEPREFIX=$PWD/build-win-e2e/wine
    mkdir -p build-win-e2e
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        (unset DISPLAY && "$WINE" wineboot -i >/dev/null 2>&1)
        "$WINESERVER" -w
    fi
    "$WINESERVER" -p >/dev/null 2>&1 || true
    trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
    trap 'exit 143' INT TERM
    (unset DISPLAY && "$WINE" wineboot >/dev/null 2>&1) || true
    rm -f "$WINEPREFIX"/dosdevices/com*
    # Only Telvarn.exe is checked here: a test program that does not build
    # (one being worked on) does not stop the check, Telvarn.exe does.
    bash scripts/build.sh build-win-e2e -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DTELVARN_WERROR=ON -DTELVARN_CORE_ONLY=OFF ||
        echo "window-e2e: the whole build failed; building Telvarn.exe alone"
    cmake --build build-win-e2e -j2 --target Telvarn
}

# --- the programs under test --------------------------------------------------

# Newer than the program: a source it is built from changed since.
newer_sources() {
    local program=$1
    shift
    find src CMakeLists.txt cmake -newer "$program" -type f "$@" -print -quit
}

linux_program=build/Telvarn
if [ ! -x "$linux_program" ]; then
    echo "window-e2e: $linux_program is missing; build it first (bash scripts/run.sh)" >&2
    exit 1
fi
changed=$(newer_sources "$linux_program" -not -path 'src/platform_win32/*' \
    -not -path 'src/ui_win32/*' -not -path 'src/cli/*' -not -name 'telvarn_*.cpp')
[ -z "$changed" ] || say "warning: $linux_program is older than $changed; checking it as it is"

if [ -n "${E2E_WINDOWS_EXE:-}" ]; then
    windows_program=$E2E_WINDOWS_EXE
else
    windows_program=build-windows/Telvarn.exe
    changed=""
    if [ -f "$windows_program" ]; then
        changed=$(newer_sources "$windows_program" -not -path 'src/platform/*' \
            -not -path 'src/ui/*' -not -path 'src/cli/*' -not -name 'telvarn_*.cpp')
    fi
    if [ ! -f "$windows_program" ] || [ -n "$changed" ]; then
        say "build-windows/Telvarn.exe is missing or older than ${changed:-nothing}; building build-win-e2e"
        # A session of its own, so that an interrupted run ends the whole
        # build (its compilers and Wine) by the one group id.
        WINE=$wine WINESERVER=$wineserver \
            setsid bash -c "$(declare -f build_windows_program); build_windows_program" \
            >"$work/build.log" 2>&1 &
        build_pid=$!
        wait "$build_pid" || fail "the Windows build failed; see $work/build.log"
        build_pid=""
        windows_program=build-win-e2e/Telvarn.exe
    fi
fi
[ -f "$windows_program" ] || { echo "window-e2e: $windows_program is missing" >&2; exit 1; }
windows_program=$(realpath "$windows_program")
say "Linux program:   $linux_program"
say "Windows program: ${windows_program#"$repo"/}"

start_screen "$work"

# --- the operator's session -----------------------------------------------------

# The data file: bit numbers at the start, inside and near the end of the
# chip's buffer (each one clears a bit the dump shows), and one invalid line,
# which the log must name and which does not stop the programming.
data_file=$work/data.txt
printf '0\n7\n100\n29627\nabc\n' >"$data_file"
data_file_windows="Z:${data_file//\//\\}"  # Wine's drive Z: is /

# Drives one running program through the session. `path_typed` is the data
# file as its dialog takes it; `after_programming` runs before the close.
operate() {
    local system=$1 log=$2 path_typed=$3 after_programming=$4
    local window dialog before from
    await_line "$system" "$log" 0 '^Найдено устройство' 60 "the start (discovery)"
    await_line "$system" "$log" 0 '^Выбрана микросхема' 30 "discovery (the chip's line)"
    # The update checks come 3 s and 5 s after the start and fail at once on
    # the closed port; waited for, so that no operator's line lands between.
    await_line "$system" "$log" 0 '^Ошибка чтения номера новой версии программы$' 30 \
        "the start (the program's update check)"
    await_line "$system" "$log" 0 '^Ошибка чтения номера новой версии программы прошивки$' 30 \
        "the start (the firmware's update check)"
    wait_until 30 has_main_window || fail "$system: no window titled Telvarn on the screen"
    window=$(main_window)

    say "$system: F2, the data file through the dialog"
    before=$(visible_windows)
    from=$(line_count "$log")
    activate "$window"
    xdotool key F2
    wait_until 30 has_new_window "$before" || fail "$system: F2 opened no dialog"
    dialog=$(new_window "$before")
    activate "$dialog"
    xdotool type --delay 20 "$path_typed"
    xdotool key Return
    await_line "$system" "$log" "$from" '^Ошибка в строке 5 : недопустимое значение abc$' 30 \
        "F2 and the file's path"

    say "$system: Ctrl+F12 (service mode), F3 (the buffer)"
    from=$(line_count "$log")
    activate "$window"
    xdotool key ctrl+F12
    xdotool key F3
    # Without service mode the buffer's item is disabled and F3 shows nothing.
    await_line "$system" "$log" "$from" '^000EE0: ' 30 "Ctrl+F12 and F3"

    say "$system: F4 (programming)"
    from=$(line_count "$log")
    activate "$window"
    xdotool key F4
    await_line "$system" "$log" "$from" \
        '^(Программирование : OK|Ошибка (загрузки|проверки|программирования))' 60 "F4"
    new_line_in "$log" "$from" '^Программирование : OK$' ||
        fail "$system: programming failed; its log:
$(cat "$log")"

    "$after_programming" "$window"

    say "$system: Alt+F4"
    activate "$window"
    xdotool key alt+F4
    wait_until 30 program_ended || fail "$system: Alt+F4 did not end the program"
    local status=0
    wait "$program_pid" || status=$?
    program_pid=""
    [ "$status" -eq 0 ] || fail "$system: the program ended with status $status"
}

nothing_more() { :; }

# The Wine window as the operator sees it, the manager's frame included.
take_screenshot() {
    local window=$1 shot=$work/screenshot-windows.png
    sleep 0.5  # the last line painted
    import -silent -frame -window "$window" "$shot" 2>/dev/null ||
        import -silent -window "$window" "$shot"
    [ "${E2E_SCREENSHOT:-}" = 1 ] || return 0
    cp "$shot" "$repo/docs/screenshot-windows.png"
    say "docs/screenshot-windows.png written ($(identify -format '%wx%h' "$shot"))"
}

# --- Linux ----------------------------------------------------------------------

mkdir "$work/linux"
cp "$linux_program" "$work/linux/Telvarn"
linux_log=$work/linux.log
say "Linux: starting Telvarn"
(
    cd "$work/linux"
    # On the screen, not offscreen as the test command's other tests run it.
    exec env -u QT_QPA_PLATFORM TELVARN_SIMULATOR=normal TELVARN_PORTS= \
        TELVARN_LOG="$linux_log" TELVARN_UPDATE_SERVER=http://127.0.0.1:9 ./Telvarn \
        >"$work/linux.out" 2>&1
) &
program_pid=$!
operate Linux "$linux_log" "$data_file" nothing_more

# --- Windows --------------------------------------------------------------------

# A fresh prefix, booted on this screen; one server for the rest of the run.
say "Windows: a fresh Wine prefix"
wine_started=1
timeout 180 "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot -i failed or hung"
timeout 60 "$wineserver" -w || fail "the prefix's server did not end after its boot"
"$wineserver" -p >/dev/null 2>&1 || true
timeout 120 "$wine" wineboot >/dev/null 2>&1 || fail "wineboot failed or hung"
# Wine maps COM1.. to this machine's own serial devices; nothing here may reach one.
rm -f "$WINEPREFIX"/dosdevices/com*

mkdir "$work/windows"
cp "$windows_program" "$work/windows/Telvarn.exe"
windows_log=$work/windows.log
say "Windows: starting Telvarn.exe"
(
    cd "$work/windows"
    exec env TELVARN_SIMULATOR=normal TELVARN_PORTS= TELVARN_LOG="Z:${windows_log//\//\\}" \
        TELVARN_UPDATE_SERVER=http://127.0.0.1:9 "$wine" ./Telvarn.exe >"$work/windows.out" 2>&1
) &
program_pid=$!
operate Windows "$windows_log" "$data_file_windows" take_screenshot

# --- the comparison -------------------------------------------------------------

# What differs between the two by design, each replaced by a mark in both logs
# before they are compared: "text on Linux|text on Windows|mark|reason".
allowed_differences=(
    "$data_file|$data_file_windows|<the data file>|the log names the file as the dialog returned it: a path of the system's own, Wine's drive Z: standing for /"
)

mask() {
    local file=$1 side=$2 entry text linux_text windows_text mark
    cp "$file" "$file.masked"
    for entry in "${allowed_differences[@]}"; do
        IFS='|' read -r linux_text windows_text mark _ <<<"$entry"
        [ "$side" = linux ] && text=$linux_text || text=$windows_text
        # Literal text, not a pattern: paths hold dots and backslashes.
        TEXT=$text MARK=$mark awk '{
            out = ""
            while ((i = index($0, ENVIRON["TEXT"])) > 0) {
                out = out substr($0, 1, i - 1) ENVIRON["MARK"]
                $0 = substr($0, i + length(ENVIRON["TEXT"]))
            }
            print out $0
        }' "$file.masked" >"$file.tmp"
        mv "$file.tmp" "$file.masked"
    done
}

echo
echo "----- Linux log ($(line_count "$linux_log") lines) -----"
cat "$linux_log"
echo "----- Windows log ($(line_count "$windows_log") lines) -----"
cat "$windows_log"
echo "-----"
echo "Differences allowed by design:"
for entry in "${allowed_differences[@]}"; do
    IFS='|' read -r linux_text windows_text mark reason <<<"$entry"
    echo "  $mark: '$linux_text' on Linux, '$windows_text' on Windows ($reason)"
done
echo "  Telvarn.ini line ends: LF on Linux, CR LF on Windows (each system's own text files)"

mask "$linux_log" linux
mask "$windows_log" windows
problems=()
if ! diff -u --label Linux --label Windows "$linux_log.masked" "$windows_log.masked" \
    >"$work/log.diff"; then
    problems+=("the logs differ:
$(cat "$work/log.diff")")
fi
[ "$(line_count "$linux_log")" -gt 100 ] || problems+=("the logs are shorter than a session")
# The settings written on close: the window's place and the chip's variant.
tr -d '\r' <"$work/windows/Telvarn.ini" >"$work/windows-ini.lf"
if ! diff -u --label Linux --label Windows "$work/linux/Telvarn.ini" "$work/windows-ini.lf" \
    >"$work/ini.diff"; then
    problems+=("the settings files differ:
$(cat "$work/ini.diff")")
fi
grep -q '^TYPE=02' "$work/linux/Telvarn.ini" || problems+=("Telvarn.ini holds no chip variant")
grep -q $'\r$' "$work/windows/Telvarn.ini" || problems+=("the Windows Telvarn.ini has no CR LF")

# --- the restart step of the self-update, under Wine ------------------------------

# The new program is a small one of our own making: started, it appends its own
# path and its whole command line to started.txt beside itself. That shows it
# ran, from where, how often and with which arguments, with no console or
# window in between (a console program's output would go to a console of
# Wine's, not here).
say "Windows: the restart step (Telvarn_V14.exe PAUSE)"
cat >"$work/marker.c" <<'MARKER'
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(void) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(NULL, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char record[MAX_PATH + 16];
    strcpy(record, self);
    char* slash = strrchr(record, '\\');
    if (slash == NULL) return 1;
    strcpy(slash + 1, "started.txt");
    FILE* out = fopen(record, "ab");
    if (out == NULL) return 1;
    fprintf(out, "path=%s\ncommand line=%s\n", self, GetCommandLineA());
    return fclose(out) == 0 ? 0 : 1;
}
MARKER
"$cc_windows" -O2 -mwindows -static -o "$work/marker.exe" "$work/marker.c" ||
    fail "the marker program did not compile"
restart=$work/restart
mkdir "$restart"
cp "$windows_program" "$restart/Telvarn.exe"
cp "$windows_program" "$restart/Telvarn_V14.exe"
cp "$work/marker.exe" "$restart/version"
(
    cd "$restart"
    exec env TELVARN_PORTS= TELVARN_UPDATE_SERVER=http://127.0.0.1:9 \
        "$wine" ./Telvarn_V14.exe PAUSE >"$work/restart.out" 2>&1
) &
program_pid=$!
# The step waits 5 s for the old instance to end before it replaces anything.
wait_until 60 program_ended || fail "the restart step did not end"
restart_status=0
wait "$program_pid" || restart_status=$?
program_pid=""
[ "$restart_status" -eq 0 ] || problems+=("the restart step ended with status $restart_status")
wait_until 30 grep -q '^command line=' "$restart/started.txt" 2>/dev/null ||
    problems+=("the new program was never started (no started.txt)")
sleep 1  # a second start, were there one, would show in the record
restart_folder_windows="Z:${restart//\//\\}"
expected_start="path=$restart_folder_windows\\Telvarn.exe
command line=\"$restart_folder_windows\\Telvarn.exe\""
if [ -f "$restart/started.txt" ] && [ "$(cat "$restart/started.txt")" != "$expected_start" ]; then
    problems+=("the new program's start is not the one expected:
expected: $expected_start
recorded: $(cat "$restart/started.txt")")
fi
cmp -s "$restart/Telvarn.exe" "$work/marker.exe" ||
    problems+=("Telvarn.exe is not the downloaded version after the restart step")
[ ! -e "$restart/version" ] || problems+=("the download \"version\" is still there")
cmp -s "$restart/Telvarn_V14.exe" "$windows_program" ||
    problems+=("Telvarn_V14.exe was not kept as it was")
echo "Restart step: status $restart_status; folder now: $(cd "$restart" && echo *)"
[ -f "$restart/started.txt" ] && sed 's/^/  started.txt: /' "$restart/started.txt"

# --- verdict --------------------------------------------------------------------

echo
echo "Run took $(($(date +%s) - begun)) s."
end_with_verdict "the two logs match line for line (but for the differences above), the settings files match, and the restart step put the download in place and started it."
