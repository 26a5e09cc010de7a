#!/usr/bin/env bash
# The window's start, from launch to "Выбрана микросхема : 9912ЛК047", with a
# silent simulated programmer SIM1 sorting before a working SIM2: the first
# start searches SIM1 first; the window remembers SIM2 on close, so the
# second start tries it first. Runs on a virtual screen; the program runs from
# a folder of its own, where it keeps its Telvarn.ini.
#   bash bench/startup_bench.sh [BUILD_FOLDER] [RUNS]
# Target: the second start under 2 s.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
[ -x "$build/Telvarn" ] || { echo "no $build/Telvarn: build first" >&2; exit 2; }
# shellcheck source=../scripts/e2e-screen.sh
source scripts/e2e-screen.sh
install_missing xvfb openbox xdotool

work=$(mktemp -d)
xvfb_pid="" openbox_pid="" program_pid=""
cleanup() {
    stop "$program_pid"
    stop "$openbox_pid"
    stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "startup_bench: $*" >&2
    exit 1
}
start_screen "$work"

# Seconds from launch to the chip type line; closes the window with Alt+F4.
start_once() {
    local folder=$1 log="$1/log.txt" started ended
    rm -f "$log"
    started=$(date +%s.%N)
    TELVARN_SIMULATOR=silent,normal TELVARN_PORTS= TELVARN_LOG="$log" "$folder/Telvarn" \
        >/dev/null 2>&1 &
    program_pid=$!
    wait_until 60 new_line_in "$log" 0 '^Выбрана микросхема : 9912ЛК047$' ||
        fail "no chip type line; the log: $(cat "$log" 2>/dev/null)"
    ended=$(date +%s.%N)
    wait_until 20 has_main_window || fail "no window"
    activate "$(main_window)"
    xdotool key alt+F4
    wait_until 30 program_ended || fail "Alt+F4 did not end the program"
    wait "$program_pid" || true
    program_pid=""
    echo "$started $ended" | awk '{ printf "%.2f", $2 - $1 }'
}

for run in $(seq 1 "$runs"); do
    folder="$work/run$run"
    mkdir -p "$folder"
    cp "$build/Telvarn" "$folder/"
    first=$(start_once "$folder")
    last=$(grep -i '^LAST=' "$folder/Telvarn.ini" || echo "no LAST")
    second=$(start_once "$folder")
    echo "run $run: first start $first s, second start $second s ($last)"
done
