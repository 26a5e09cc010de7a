#!/usr/bin/env bash
# The whole test suite, in stages (.ci/run runs it):
#
#   first      installs what is missing; builds build/, the release build, with
#              a trial release key of its own; checks the layering; runs the
#              tests of build/. It prints its verdict, and when it fails the run
#              ends there.
#   then the slow stages, in three lanes side by side, the stages of a lane
#   one after the other:
#     sanitizers   sanitizers: build-asan/ (AddressSanitizer + UBSan) and its tests
#     windows      windows: the Windows build and its tests under Wine
#                  (scripts/test-windows.sh); windows-e2e: the window on both
#                  systems, end to end (scripts/window-e2e.sh)
#     programs     release: the release folder and packages
#                  (scripts/make-release-test.sh); update: the signed self-update,
#                  end to end (scripts/update-e2e.sh); fuzzing: every fuzz target
#                  built and run for 15 s (scripts/fuzz.sh)
#
# Each stage prints its wall time, and the processor time of its processes,
# as it ends; a lane's output follows once the whole lane has ended. A table
# of all stages follows at the end, and CTest's summary of build/ once more,
# so that it stays the last thing printed. The exit status is 0 only when
# every stage passed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
# install_missing, shared with the end-to-end checks.
# shellcheck source=scripts/e2e-screen.sh
source scripts/e2e-screen.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_begun=$SECONDS
logs=$PWD/build/stage-logs
mkdir -p "$logs"
rm -f "$logs"/*
exec 3>&1  # the terminal, for the stages whose output goes to a log first

# ---- stage bookkeeping --------------------------------------------------------

stage_names=()
stage_walls=()
stage_cpus=()
stage_verdicts=()

minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

# The CPU seconds of a subshell's children, from the `times` it wrote.
cpu_of() {
    awk 'NR == 2 {
        n = split($0, t, " "); total = 0
        for (i = 1; i <= n; i++) { split(t[i], p, "m"); total += p[1] * 60 + p[2] }
        printf "%d", total + 0.5 }' "$1" 2>/dev/null || echo 0
}

record() {
    local name=$1 wall=$2 cpu=$3 status=$4
    stage_names+=("$name")
    stage_walls+=("$wall")
    stage_cpus+=("$cpu")
    if [ "$status" -eq 0 ]; then stage_verdicts+=(PASS); else stage_verdicts+=(FAIL); fi
    echo "=== $name: ${stage_verdicts[-1]} in $(minutes "$wall") (CPU $(minutes "$cpu"))"
}

# A stage in the foreground: stage NAME FUNCTION.
stage() {
    local name=$1 begun=$SECONDS status
    shift
    echo
    echo "=== $name"
    ("$@"; status=$?; times >"$logs/$name.times"; exit $status)
    status=$?
    record "$name" $((SECONDS - begun)) "$(cpu_of "$logs/$name.times")" "$status"
    return "$status"
}

# A lane of stages in the background, its output in logs/LANE.log:
# lane LANE NAME FUNCTION [NAME FUNCTION ...]. The lanes run side by side; each
# stage's end is told on the terminal at once, and the lane's output follows
# when the whole lane has ended (lanes_end).
declare -A lane_of_pid
lane() {
    local lane=$1
    shift
    (
        while [ $# -gt 0 ]; do
            name=$1 function=$2
            shift 2
            begun=$SECONDS
            echo "=== $name"
            ("$function"; status=$?; times >"$logs/$name.times"; exit $status)
            status=$?
            wall=$((SECONDS - begun))
            echo "$name $wall $(cpu_of "$logs/$name.times") $status" >>"$logs/$lane.ended"
            echo "=== $name: $([ $status -eq 0 ] && echo PASS || echo FAIL) in $(minutes $wall)," \
                "in lane $lane (its output follows when the lane ends)" >&3
        done
    ) >"$logs/$lane.log" 2>&1 &
    lane_of_pid[$!]=$lane
}

# Waits for every lane, printing each one's output and times as it ends.
lanes_end() {
    local pid lane name wall cpu status
    while [ ${#lane_of_pid[@]} -gt 0 ]; do
        wait -n -p pid "${!lane_of_pid[@]}"
        lane=${lane_of_pid[$pid]}
        unset "lane_of_pid[$pid]"
        echo
        echo "=== Lane $lane ended; its output:"
        cat "$logs/$lane.log"
        while read -r name wall cpu status; do
            record "$name" "$wall" "$cpu" "$status"
        done <"$logs/$lane.ended"
    done
}

summary() {
    local i status=0
    echo
    echo "=== Stages"
    printf '%-12s %8s %8s  %s\n' stage wall CPU verdict
    for i in "${!stage_names[@]}"; do
        printf '%-12s %8s %8s  %s\n' "${stage_names[$i]}" "$(minutes "${stage_walls[$i]}")" \
            "$(minutes "${stage_cpus[$i]}")" "${stage_verdicts[$i]}"
        [ "${stage_verdicts[$i]}" = PASS ] || status=1
    done
    printf '%-12s %8s\n' total "$(minutes $((SECONDS - run_begun)))"
    echo
    if [ -f "$logs/ctest-build.log" ]; then
        echo "=== CTest, build/ (the first stage):"
        sed -n '/tests passed, /,$p' "$logs/ctest-build.log"
    fi
    return $status
}

# ---- the stages ---------------------------------------------------------------

# What the slow stages install (scripts/fuzz.sh, scripts/test-windows.sh and the
# end-to-end checks install the same for themselves when run alone): installed
# while build/ compiles, since only one installer can run at a time.
slow_stage_packages=(clang g++-mingw-w64-x86-64-posix libz-mingw-w64-dev libgcrypt-mingw-w64-dev
                     googletest wine64 xdotool imagemagick)
install_for_slow_stages() { install_missing "${slow_stage_packages[@]}"; }

# The project's own builds treat warnings as errors; a plain cmake build does not.
# build/ requires signed updates, with a trial key of its own that the signed
# update's end-to-end check signs its release with.
first() {
    local status=0
    bash scripts/install-deps.sh || return 1
    install_for_slow_stages >"$logs/install.log" 2>&1 &
    installer=$!
    if ! { [ -f build/release-key/telvarn.pub ] || bash scripts/release-key.sh build/release-key; } ||
        ! bash scripts/build.sh build -DTELVARN_WERROR=ON \
            -DTELVARN_RELEASE_KEY="$PWD/build/release-key/telvarn.pub"; then
        wait "$installer"
        return 1
    fi
    echo "== Layering"
    python3 scripts/check-layers.py || status=1
    python3 scripts/check-layers-test.py || status=1
    echo "== Tests, build/"
    (cd build && ctest --output-on-failure --timeout 300 -j2) 2>&1 | tee "$logs/ctest-build.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    # The slow stages' scripts install what is still missing themselves.
    wait "$installer" || { cat "$logs/install.log"; echo "The slow stages' packages: not installed"; }
    return $status
}

# Without optimisation the sanitizer build compiles much faster; the benchmarks
# are left out of it, they only make sense in the optimised build. It holds no
# release key, as a developer's build.
sanitizers() {
    nice -n 10 bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTELVARN_SANITIZE=ON \
        -DTELVARN_BENCHMARKS=OFF -DTELVARN_WERROR=ON || return 1
    (cd build-asan && ctest --output-on-failure --timeout 300 -j2)
}
fuzzing() { nice -n 10 bash scripts/fuzz.sh 15; }
release() { bash scripts/make-release-test.sh; }
update() { bash scripts/update-e2e.sh; }
# The Windows build and tests run niced as a whole: under Wine the tests hold
# no bound short enough to feel it.
windows() { nice -n 10 bash scripts/test-windows.sh; }
windows_e2e() { bash scripts/window-e2e.sh; }

# ---- the run ------------------------------------------------------------------

if ! stage first first; then
    echo "=== The first stage failed: the slow stages do not run."
    summary
    exit 1
fi

# Three lanes. Their builds run niced, so that the tests beside them, some of
# which hold time bounds, get the processor whenever they want it, and the
# builds take what the tests leave: most of the tests' time is spent waiting.
lane sanitizers sanitizers sanitizers
lane windows windows windows windows-e2e windows_e2e
lane programs release release update update fuzzing fuzzing
lanes_end

summary
