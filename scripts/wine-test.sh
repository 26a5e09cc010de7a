#!/usr/bin/env bash
# Runs one Windows test program under Wine for CTest (and for the test
# discovery of the build), as the cross build's emulator:
#   wine-test.sh WINE PROGRAM.exe [ARGUMENTS...]
# Wine now and then fails a program in its own process handling: the program
# never starts (it ends at once, or hangs, without a line of its own), or it
# has printed GoogleTest's passing summary and never ends. Those two, and only
# those, are tried again, three tries in all; every other outcome is the
# program's own and is handed to CTest as it is, a failure at once.
#
# Each try is bounded: WINE_TEST_SECONDS (default 60; 15 for listing the
# tests) in all, and WINE_TEST_GRACE_SECONDS (default 10) to end once the
# passing summary is out.
# Each retry is told on standard error and, when WINE_TEST_RETRY_LOG names a
# file, appended to it as one line: "never-started" or "passed-never-ended",
# then the program and its arguments.
set -uo pipefail
wine=$1
shift
tries=3
limit=${WINE_TEST_SECONDS:-60}
# The build's test discovery lists a program's tests within 60 s, all tries in.
case " $* " in *" --gtest_list_tests "*) limit=15 ;; esac
grace=${WINE_TEST_GRACE_SECONDS:-10}
output=$(mktemp "${TMPDIR:-/tmp}/wine-test.XXXXXX")
pid=""
# An interrupted run (CTest's own time limit) ends the try it started.
finish() {
    [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null
    rm -f "$output"
}
trap finish EXIT
trap 'exit 143' TERM INT

# The program's own lines: Wine's loader and debug channels print lines of
# their own even when the program never ran.
own_lines() {
    grep -Ev '^(wine: |wine client error|[0-9a-f]{4}:(err|fixme|warn|trace):|$)' "$output"
}
passed() {
    grep -q '^\[  PASSED  \] ' "$output" && ! grep -q '^\[  FAILED  \] ' "$output"
}

# Ends the try's process: asked first, then forced.
end_try() {
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
}

retry_note() {
    local reason=$1 try=$2 detail=$3
    echo "wine-test: try $try of $tries: $reason ($detail); trying again" >&2
    if [ -n "${WINE_TEST_RETRY_LOG:-}" ]; then
        printf '%s %s\n' "$reason" "${program_line}" >>"$WINE_TEST_RETRY_LOG"
    fi
}

program_line="${1##*/} ${*:2}"
for try in $(seq "$tries"); do
    : >"$output"
    "$wine" "$@" >"$output" 2>&1 &
    pid=$!
    # Waits for the program's end, bounded by the try's limit, and by the grace
    # once the passing summary is out.
    deadline=$((SECONDS + limit))
    summary_seen=""
    outcome=""
    while kill -0 "$pid" 2>/dev/null; do
        if [ -z "$summary_seen" ] && passed; then
            summary_seen=$SECONDS
            [ $((SECONDS + grace)) -lt "$deadline" ] && deadline=$((SECONDS + grace))
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            outcome=hung
            break
        fi
        sleep 0.1
    done
    if [ "$outcome" = hung ]; then
        end_try
        status=124
    else
        wait "$pid"
        status=$?
        pid=""
    fi
    [ "$status" -eq 0 ] && { cat "$output"; exit 0; }
    if [ -z "$(own_lines)" ]; then
        reason=never-started
        detail="no line of its own, $([ "$outcome" = hung ] && echo "hung for ${limit} s" ||
            echo "exit status $status")"
    elif [ "$outcome" = hung ] && passed; then
        reason=passed-never-ended
        detail="its passing summary out, still running $grace s later"
    else
        # The program's own failure, a time-out of a test included.
        cat "$output"
        [ "$outcome" = hung ] && echo "wine-test: no end within ${limit} s" >&2
        exit "$status"
    fi
    # A try that is not the program's own goes to standard error, where the
    # test discovery does not read it as the program's list.
    cat "$output" >&2
    if [ "$try" -eq "$tries" ]; then
        echo "wine-test: try $try of $tries: $reason ($detail); giving up" >&2
        exit "$status"
    fi
    retry_note "$reason" "$try" "$detail"
done
