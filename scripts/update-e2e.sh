#!/usr/bin/env bash
# End-to-end check of the signed self-update, driven as an operator drives it
# on a virtual screen. build/Telvarn, built with a release key, meets an update
# server on loopback that offers version 15 of the program:
#   1. a release whose program was replaced after signing, its version file's
#      checksum fitted to the new bytes (as anyone on the path could do): the
#      download is refused with the signature line of the log, and the old
#      program stays in place and keeps running;
#   2. the signed release itself: the program puts it in place through the
#      restart step, and the new program runs.
# build/ must be configured with -DTELVARN_RELEASE_KEY=DIR/telvarn.pub and the
# secret key DIR/telvarn.key beside it (scripts/release-key.sh makes a pair).
# Exit status 0 only when both go as described.
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

# Serves a release folder on a free port of the loopback; sets server_port.
serve() {
    local folder=$1 log=$work/server-${1##*/}.log
    stop "$server_pid"
    PYTHONUNBUFFERED=1 python3 -m http.server 0 --bind 127.0.0.1 --directory "$folder" \
        >"$log" 2>&1 &
    server_pid=$!
    wait_until 20 grep -q 'port [0-9]' "$log" || fail "the update server did not start"
    server_port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$log" | head -n 1)
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

# "Обновление", "Программы", then Yes to the release notes. The menu bar has
# no mnemonics: a click opens its first menu, the arrow key the next one
# ("Обновление"), whose first item ("Программы") is then selected.
ask_for_the_program() {
    local log=$1 window
    await_line Linux "$log" 0 '^Доступна новая версия программы!$' 60 "the start (the update check)"
    wait_until 30 has_main_window || fail "no window titled Telvarn on the screen"
    window=$(main_window)
    activate "$window"
    xdotool mousemove --window "$window" 20 10 click 1
    sleep 0.5
    xdotool key Right
    sleep 0.5
    xdotool key Return
    wait_until 30 has_question || fail "\"Программы\" asked nothing; the log:
$(cat "$log")"
    activate "$(question_window)"
    xdotool key Return
}

# --- 1. the tampered release --------------------------------------------------------

say "1. a release whose program was replaced after signing"
serve "$work/tampered"
folder=$work/tampered-bench
start_program "$folder"
ask_for_the_program "$folder.log"
await_line Linux "$folder.log" 0 '^Ошибка проверки подписи файла обновления программы$' 60 \
    "the download"
problems=()
sleep 2  # anything the refusal might still start would show
grep -q 'GET /products/Telvarn/Telvarn.minisig ' "$work/server-tampered.log" ||
    problems+=("the signature was never asked for")
cmp -s "$folder/Telvarn" "$program" || problems+=("the old program was replaced")
[ ! -e "$folder/Telvarn_V14" ] || problems+=("a saved copy was made")
[ ! -e "$folder/version" ] || problems+=("the refused download was left beside the program")
program_ended && problems+=("the program did not keep running")
has_main_window || problems+=("the window is gone")
sed 's/^/  log: /' "$folder.log"
stop "$program_pid"
program_pid=""

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

# --- verdict ---------------------------------------------------------------------------

echo
end_with_verdict "the tampered release was refused and the old program kept running; the signed release was installed and started."
