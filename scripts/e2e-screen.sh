# What the window end-to-end checks share: a virtual screen with a window
# manager, the program's log as the operator reads it, and its windows.
# Sourced; the caller defines fail() and keeps xvfb_pid and openbox_pid to end.
# shellcheck shell=bash

say() { printf '==> %s\n' "$*"; }

# Installs those of the named Debian packages that are missing.
install_missing() {
    local package missing=() sudo_cmd=""
    for package in "$@"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    say "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Ends one process this script started, by its id: asked first, then forced.
stop() {
    local pid=$1 tries=0
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 25 ]; do
        sleep 0.2
        tries=$((tries + 1))
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Removes the run's folder after a pass; keeps it, and says where, otherwise.
keep_failed_run() {
    local name=$1 work=$2 status=$3 verdict=$4
    if [ "$status" -eq 0 ] && [ "$verdict" -eq 0 ]; then
        rm -rf "$work"
    else
        echo "$name: the run's files are kept in $work" >&2
    fi
}

# Ends the run with its verdict: PASS and what passed when the array
# `problems` is empty (setting `verdict`, which the caller's cleanup reads),
# FAIL and each problem otherwise.
end_with_verdict() {
    local passed=$1 problem
    if [ ${#problems[@]} -eq 0 ]; then
        verdict=0
        echo "VERDICT: PASS: $passed"
        exit 0
    fi
    echo "VERDICT: FAIL"
    for problem in "${problems[@]}"; do echo "  - $problem"; done
    exit 1
}

# Polls until a command succeeds, at most the given seconds.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# The lines after the first `from` of the log, one of them matching `pattern`.
new_line_in() {
    local log=$1 from=$2 pattern=$3
    # grep reads to the end: a reader that stops early would fail the pipe.
    [ -f "$log" ] && tail -n "+$((from + 1))" "$log" | grep -E "$pattern" >/dev/null
}

# Waits for a line of the log after line `from`; fails naming the step.
await_line() {
    local system=$1 log=$2 from=$3 pattern=$4 seconds=$5 step=$6
    wait_until "$seconds" new_line_in "$log" "$from" "$pattern" ||
        fail "$system: no line matching '$pattern' within ${seconds}s after $step; its log:
$(cat "$log" 2>/dev/null)"
}

line_count() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }

visible_windows() { xdotool search --onlyvisible --name '.' 2>/dev/null | sort; }

# The program's main window, titled "Telvarn" and on the screen.
main_window() {
    xdotool search --onlyvisible --name '^Telvarn$' 2>/dev/null | head -n 1
}

# A visible window that was not there before (a file dialog).
new_window() {
    comm -13 <(printf '%s\n' "$1") <(visible_windows) | head -n 1
}

has_main_window() { [ -n "$(main_window)" ]; }
has_new_window() { [ -n "$(new_window "$1")" ]; }

activate() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    # The window manager's focus change reaches the program through its loop.
    sleep 0.3
}

program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }

# Starts Xvfb and openbox for the run whose files are in $1 and exports DISPLAY.
start_screen() {
    local work=$1
    # Xvfb picks a free display itself and writes its number once it takes
    # connections.
    : >"$work/display"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    wait_until 20 grep -q '^[0-9]' "$work/display" || fail "Xvfb did not start"
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
    openbox --sm-disable --startup "touch $work/openbox-ready" >/dev/null 2>&1 &
    openbox_pid=$!
    wait_until 20 test -e "$work/openbox-ready" || fail "openbox did not start"
    say "screen $DISPLAY with openbox"
}
