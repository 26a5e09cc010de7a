#!/usr/bin/env bash
# Compares what the operator and the programmer see in one scripted session
# (tests/app/operator_session_test.cpp: every programmer and chip command once,
# against the simulator) between an earlier revision and this tree: the log
# line for line, and every frame of the trace byte for byte, with the time
# stamps and the test's temporary folder masked.
#   bash scripts/session-compare.sh BASE_REV [BUILD]
# BASE_REV is built in build-compare/ from a worktree there, with this tree's
# session test copied in; BUILD (default build) holds this tree's test programs.
# Exit status 0 when both match.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ $# -ge 1 && $# -le 2 ]] || { echo "usage: scripts/session-compare.sh BASE_REV [BUILD]" >&2; exit 2; }
base=$1
build=${2:-build}
work=$(mktemp -d /tmp/telvarn-compare.XXXXXX)
# The worktree keeps one place, so that its build folder is reused run to run.
tree=$PWD/build-compare/tree
trap 'git worktree remove --force "$tree" >/dev/null 2>&1; rm -rf "$work"' EXIT

git worktree remove --force "$tree" >/dev/null 2>&1 || rm -rf "$tree"
git worktree prune
git worktree add --detach "$tree" "$base" >/dev/null
cp tests/app/operator_session_test.cpp "$tree/tests/app/"
cmake -S "$tree" -B build-compare/build -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER_LAUNCHER="$(command -v ccache || true)" >/dev/null
CCACHE_BASEDIR="$tree" cmake --build build-compare/build -j2 --target telvarn_app_tests >/dev/null

# record NAME PROGRAM: the session's log and trace, masked, in $work/NAME.
record() {
    local out=$work/$1
    mkdir -p "$out"
    QT_QPA_PLATFORM=offscreen TELVARN_SESSION_RECORD=$out "$2" \
        --gtest_filter='OperatorSession.*' >"$out/run.txt" 2>&1 ||
        { cat "$out/run.txt"; echo "session-compare: the session failed in $1" >&2; exit 1; }
    sed -E 's#/tmp/telvarn-test-[0-9]+-[0-9]+/#<folder>/#g' "$out/log.txt" >"$out/log.masked"
    sed -E 's/^[0-9:.]+ //' "$out/trace.txt" >"$out/trace.masked"
}
record base build-compare/build/telvarn_app_tests
record this "$build/telvarn_app_tests"

status=0
for part in log trace; do
    if cmp -s "$work/base/$part.masked" "$work/this/$part.masked"; then
        echo "$part: the same ($(wc -l <"$work/this/$part.masked") lines, $(wc -c <"$work/this/$part.masked") bytes)"
    else
        echo "$part: DIFFERENT"
        diff -u "$work/base/$part.masked" "$work/this/$part.masked" | head -40
        status=1
    fi
done
exit $status
