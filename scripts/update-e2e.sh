#!/usr/bin/env bash
# End-to-end check of the signed self-update, driven as an operator drives it
# on a virtual screen. build/Telvarn, built with a release key, meets an update
# server on loopback that offers version 15 of the program:
#   1. a release whose program was replaced after signing, its version file's
#      checksum fitted to the new bytes (as anyone on the path could do): the
#      download is refused with the signature line of the log, and the old
#      program stays in place and keeps running;
#   2. the signed release itself: the program puts it in place through the
#      restart step, and the new program runs;
#   3. the Windows release of the same version, signed and published beside
#      the Linux one, served at the Linux paths (its version file, Telvarn.exe
#      and its signature), as anyone on the path could do: refused as in 1;
#   4. a hostile server that answers the program's version file with header
#      lines and the firmware's with a body, both without end: both checks
#      fail with their log lines, the program's peak memory stays within
#      64 MiB of an ordinary run's, nothing larger than a version file is left
#      beside it, and it keeps running. No operator acts in this one.
# build/ must be configured with -DTELVARN_RELEASE_KEY=DIR/telvarn.pub and the
# secret key DIR/telvarn.key beside it (scripts/release-key.sh makes a pair).
# Exit status 0 only when all four go as described.
# shellcheck disable=SC2317  # functions run from the traps and from wait_until
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/e2e-screen.sh
source scripts/e2e-screen.sh
install_missing xvfb xauth openbox xdotool python3 minisign

program=build/Telvarn
public_key=$(sed -n 's/^TELVARN_RELEASE_KEY:FILEPATH=//p' build/CMakeCache.txt 2>/dev/null || true)
if [ -z "$public_key" ] || [ ! -x "$program" ]; then
    echo "update-e2e: build/Telvarn is missing or holds no release key; build it with" \
        "-DTELVARN_RELEASE_KEY (see the README)" >&2
    exit 1
fi
secret_key=${public_key%.pub}.key
[ -f "$secret_key" ] || { echo "update-e2e: no secret key $secret_key beside the build's key" >&2; exit 1; }

work=$(mktemp -d /tmp/telvarn-update-e2e.XXXXXX)
unset WAYLAND_DISPLAY
xvfb_pid=""
openbox_pid=""
program_pid=""
server_pid=""
verdict=1

cleanup() {
    local status=$?
    set +e
    stop "$program_pid"
    # The program the restart step started is no child of this script.
    pkill -f "^$work/" 2>/dev/null
    stop "$server_pid"
    stop "$openbox_pid"
    stop "$xvfb_pid"
    keep_failed_run update-e2e "$work" "$status" "$verdict"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "update-e2e: FAILED: $*" >&2
    exit 1
}

# --- the releases ---------------------------------------------------------------

# The new program: the build with bytes of its own after its end, which the
# system's loader ignores; it runs as the build does and is told apart by them.
mkdir "$work/new"
{ cat "$program"; printf 'release 15\n'; } >"$work/new/Telvarn"
chmod +x "$work/new/Telvarn"
head -c 8192 /dev/urandom >"$work/firmware.cbin"
bash scripts/make-release.sh --key "$secret_key" "$work/signed" 15 "$work/firmware.cbin" 16 \
    "Новая версия" "$work/new" >/dev/null

# The same release with another program put in after signing, and the
# version file's checksum line made to fit it.
cp -r "$work/signed" "$work/tampered"
replaced=$work/tampered/products/Telvarn/Telvarn
printf 'not the release\n' >>"$replaced"
python3 - "$replaced" "$work/tampered/products/Telvarn/version_linux" <<'PYTHON'
import sys, zlib
program, version_file = sys.argv[1:]
crc = zlib.crc32(open(program, "rb").read()) & 0xFFFFFFFF
lines = open(version_file, "rb").read().split(b"\r\n")
lines[2] = b"%08X" % crc
open(version_file, "wb").write(b"\r\n".join(lines))
PYTHON

# The Windows release of the same version beside the Linux one, as the server
# publishes both. The Windows programs are stand-ins: only their bytes count.
mkdir "$work/windows"
for name in Telvarn.exe telvarn-cli.exe telvarn-get.exe; do
    printf 'MZ stand-in for %s\n' "$name" >"$work/windows/$name"
done
bash scripts/make-release.sh --key "$secret_key" --windows "$work/windows" "$work/both" 15 \
    "$work/firmware.cbin" 16 "Новая версия" "$work/new" >/dev/null ||
    fail "make-release.sh made no release with the Windows programs"

# Whoever sits on the network answers the Linux paths with the Windows files:
# a version file, a download and a signature that all fit one another.
cp -r "$work/both" "$work/swapped"
swapped=$work/swapped/products/Telvarn
cp "$swapped/version" "$swapped/version_linux"
cp "$swapped/Telvarn.exe" "$swapped/Telvarn"
cp "$swapped/Telvarn.exe.minisig" "$swapped/Telvarn.minisig"

# Starts a server that names its port in its log (after "port"), on a free
# port of the loopback; sets server_port.
serve_with() {
    local log=$1
    shift
    stop "$server_pid"
    PYTHONUNBUFFERED=1 "$@" >"$log" 2>&1 &
    server_pid=$!
    wait_until 20 grep -q 'port [0-9]' "$log" || fail "the update server did not start"
    server_port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$log" | head -n 1)
}

# Serves a release folder.
serve() {
    serve_with "$work/server-${1##*/}.log" \
        python3 -m http.server 0 --bind 127.0.0.1 --directory "$1"
}

# --- the operator ---------------------------------------------------------------

start_screen "$work"

start_program() {
    local folder=$1
    mkdir "$folder"
    cp "$program" "$folder/Telvarn"
    (
        cd "$folder"
        exec env -u QT_QPA_PLATFORM TELVARN_SIMULATOR=normal TELVARN_PORTS= \
            TELVARN_LOG="$folder.log" TELVARN_UPDATE_SERVER="http://127.0.0.1:$server_port" \
            ./Telvarn >"$folder.out" 2>&1
    ) &
    program_pid=$!
}

question_window() { xdotool search --onlyvisible --name '^Загрузка обновления программы:$' 2>/dev/null | head -n 1; }
has_question() { [ -n "$(question_window)" ]; }

# The first check has offered the update, and the window is up.
await_offer() {
    await_line Linux "$1" 0 '^Доступна новая версия программы!$' 60 "the start (the update check)"
    wait_until 30 has_main_window || fail "no window titled Telvarn on the screen"
}

# The program's windows on the screen, its menus among them: a menu is a
# window of its own, of the program's class, with no plain name to search by.
program_windows() { xdotool search --onlyvisible --class '^Telvarn$' 2>/dev/null | sort; }
has_new_program_window() { [ -n "$(comm -13 <(printf '%s\n' "$1") <(program_windows))" ]; }

# "Обновление", "Программы", then Yes to the release notes, from the keyboard:
# Alt alone puts the menu bar in keyboard mode at its first menu, Right moves
# to the next enabled one ("Обновление", enabled once the update is offered),
# Down opens it with its first item ("Программы") selected, and Return takes
# that item once the menu is on the screen.
ask_for_the_program() {
    local log=$1 window before
    await_offer "$log"
    window=$(main_window)
    activate "$window"
    before=$(program_windows)
    xdotool key alt Right Down
    wait_until 30 has_new_program_window "$before" || fail "Alt, Right, Down opened no menu"
    xdotool key Return
    wait_until 30 has_question || fail "\"Программы\" asked nothing; the log:
$(cat "$log")"
    activate "$(question_window)"
    xdotool key Return
}

# The program's peak resident memory so far, in KiB.
peak_kib() { sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB$/\1/p' "/proc/$1/status" 2>/dev/null; }

problems=()

# Asks for the program served by the running server, says Yes, and expects the
# download refused for its signature: nothing installed, nothing left, the
# program running on. Ends the program.
expect_refused() {
    local name=$1 folder=$2 server_log=$3
    ask_for_the_program "$folder.log"
    await_line Linux "$folder.log" 0 '^Ошибка проверки подписи файла обновления программы$' 60 \
        "the download"
    # The refusal's last step, after its line: the download is removed.
    download_gone() { [ ! -e "$folder/version" ]; }
    wait_until 30 download_gone ||
        problems+=("$name: the refused download was left beside the program")
    grep -q 'GET /products/Telvarn/Telvarn.minisig ' "$server_log" ||
        problems+=("$name: the signature was never asked for")
    cmp -s "$folder/Telvarn" "$program" || problems+=("$name: the old program was replaced")
    [ ! -e "$folder/Telvarn_V14" ] || problems+=("$name: a saved copy was made")
    program_ended && problems+=("$name: the program did not keep running")
    has_main_window || problems+=("$name: the window is gone")
    sed 's/^/  log: /' "$folder.log"
    stop "$program_pid"
    program_pid=""
}

# --- 1. the tampered release --------------------------------------------------------

say "1. a release whose program was replaced after signing"
serve "$work/tampered"
folder=$work/tampered-bench
start_program "$folder"
# What an ordinary run holds at its peak once its first check is through:
# scenario 4's yardstick. Taken here, where the server is a plain one, so that
# however late the window comes up no hostile answer can have swelled it.
await_offer "$folder.log"
idle_kib=$(peak_kib "$program_pid")
expect_refused tampered "$folder" "$work/server-tampered.log"

# --- 2. the signed release ------------------------------------------------------------

say "2. the signed release"
serve "$work/signed"
folder=$work/signed-bench
start_program "$folder"
ask_for_the_program "$folder.log"
await_line Linux "$folder.log" 0 '^Загрузка обновления завершена$' 60 "the download"
# The box that says the program restarts has the program's name for its title.
information_window() {
    xdotool search --onlyvisible --name '^Telvarn$' 2>/dev/null | grep -vx "$1" | head -n 1
}
has_information() { [ -n "$(information_window "$1")" ]; }
window=$(main_window)
wait_until 30 has_information "$window" || fail "no box told of the restart"
activate "$(information_window "$window")"
xdotool key Return
wait_until 30 program_ended || fail "the program did not end for its restart"
program_pid=""
new_program_in_place() { cmp -s "$folder/Telvarn" "$work/new/Telvarn"; }
new_program_running() { pgrep -f -x "$folder/Telvarn" >/dev/null; }
# The restart step waits 5 s for the old instance to end before it replaces anything.
wait_until 60 new_program_in_place || problems+=("the signed release was not put in place")
wait_until 30 new_program_running || problems+=("the new program was not started")
cmp -s "$folder/Telvarn_V14" "$program" || problems+=("the old program was not kept as Telvarn_V14")
# The new program's window would stand for the next ones'.
stop "$(pgrep -f -x "$folder/Telvarn" | head -n 1)"

# --- 3. the Windows release at the Linux paths -------------------------------------------

say "3. the Windows release at the Linux paths"
serve "$work/swapped"
folder=$work/swapped-bench
start_program "$folder"
expect_refused "Windows release" "$folder" "$work/server-swapped.log"

# --- 4. a hostile server --------------------------------------------------------------------

say "4. a hostile server: endless header lines, an endless body"
mkdir "$work/hostile"
serve_with "$work/server-hostile.log" python3 tests/http_live/scripted_http_server.py 0 \
    "$work/hostile" /products/Telvarn/version_linux=endless-header \
    /products/Telvarn/version_cbin=endless-body
folder=$work/hostile-bench
start_program "$folder"
await_line Linux "$folder.log" 0 '^Ошибка чтения номера новой версии программы$' 60 \
    "the start (the program's check)"
await_line Linux "$folder.log" 0 '^Ошибка чтения номера новой версии программы прошивки$' 60 \
    "the programmer's discovery (the firmware's check)"
# The server is done with both answers once it has logged them: at once when
# the program let go of the connection, after 20 s when it read on. The peak
# is taken after that, so that whatever the program read is in it.
answered() { grep -q "answered with an endless $1" "$work/server-hostile.log"; }
for answer in header body; do
    wait_until 30 answered "$answer" ||
        problems+=("hostile server: the endless $answer was never asked for, or never ended")
done
peak=$(peak_kib "$program_pid")
say "peak memory: ${idle_kib:-?} KiB after an ordinary check, ${peak:-?} KiB after the hostile ones"
sed 's/^/  server: /' "$work/server-hostile.log"
[ -n "$idle_kib" ] && [ -n "$peak" ] && [ "$peak" -le $((idle_kib + 64 * 1024)) ] ||
    problems+=("hostile server: peak memory ${peak:-?} KiB, more than 64 MiB above ${idle_kib:-?} KiB")
left=$(find "$folder" -type f ! -name Telvarn -size +64k)
[ -z "$left" ] || problems+=("hostile server: left beside the program: $left")
program_ended && problems+=("hostile server: the program did not keep running")
has_main_window || problems+=("hostile server: the window is gone")
sed 's/^/  log: /' "$folder.log"

# --- verdict ---------------------------------------------------------------------------

echo
end_with_verdict "the tampered release was refused and the old program kept running; the signed release was installed and started; the Windows release at the Linux paths was refused and the old program kept running; a hostile server's endless answers failed both checks within bounded memory, and the program kept running."
