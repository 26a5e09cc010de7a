#!/usr/bin/env bash
# Checks scripts/wine-test.sh with a stand-in for Wine that plays each of its
# outcomes: it tries again exactly where Wine failed the program (it never
# started; it passed and never ended), at most three times, and hands every
# other outcome on at once. Run by scripts/test-windows.sh.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The stand-in: "wine PROGRAM ARGS" acts as $PLAY says, on the try counted in
# $work/tries.
cat >"$work/wine" <<'STANDIN'
#!/usr/bin/env bash
tries=$(($(cat "$WORK/tries" 2>/dev/null || echo 0) + 1))
echo "$tries" >"$WORK/tries"
passed() { printf '[==========] Running 1 test from 1 test suite.\n[  PASSED  ] 1 test.\n'; }
case $PLAY in
    silent-once) [ "$tries" -gt 1 ] || exit 1; passed ;;
    wine-lines-once) [ "$tries" -gt 1 ] || { echo "wine: could not load kernel32.dll"; exit 1; }; passed ;;
    silent-hang-once) [ "$tries" -gt 1 ] || sleep 30; passed ;;
    hang-after-pass-twice) passed; [ "$tries" -gt 2 ] || sleep 30 ;;
    hang-after-pass) passed; sleep 30 ;;
    silent) exit 3 ;;
    failed) printf '[ RUN      ] A.B\n[  FAILED  ] A.B\n'; exit 1 ;;
    crashed) printf '[ RUN      ] A.B\n'; exit 5 ;;
    hang-in-test) printf '[ RUN      ] A.B\n'; sleep 30 ;;
    list) printf 'A.\n  B\n' ;;
esac
STANDIN
chmod +x "$work/wine"

# expect PLAY STATUS TRIES RETRY_LOG_LINES [ARGS]: one run, its exit status, the
# tries it made and the reasons it logged.
expect() {
    local play=$1 status=$2 tries=$3 retries=$4 got got_tries got_retries
    shift 4
    rm -f "$work/tries" "$work/retries"
    PLAY=$play WORK=$work WINE_TEST_RETRY_LOG=$work/retries WINE_TEST_SECONDS=3 \
        WINE_TEST_GRACE_SECONDS=1 bash scripts/wine-test.sh "$work/wine" prog.exe "${@:---gtest_filter=A.B}" \
        >"$work/out" 2>"$work/err"
    got=$?
    got_tries=$(cat "$work/tries")
    got_retries=$(cut -d' ' -f1 "$work/retries" 2>/dev/null | paste -sd, -)
    if [ "$got" != "$status" ] || [ "$got_tries" != "$tries" ] || [ "$got_retries" != "$retries" ]; then
        echo "wine-test-test: FAILED: $play: exit $got, $got_tries tries, retries '$got_retries';" \
            "expected exit $status, $tries tries, retries '$retries'" >&2
        sed 's/^/  /' "$work/err" >&2
        failures=$((failures + 1))
    fi
}

expect silent-once 0 2 never-started
expect wine-lines-once 0 2 never-started
expect silent-hang-once 0 2 never-started
expect hang-after-pass-twice 0 3 passed-never-ended,passed-never-ended
expect hang-after-pass 124 3 passed-never-ended,passed-never-ended
expect silent 3 3 never-started,never-started
expect failed 1 1 ""
expect crashed 5 1 ""
expect hang-in-test 124 1 ""
expect list 0 1 "" --gtest_list_tests
# The list reaches standard output as the program wrote it, for the discovery.
[ "$(cat "$work/out")" = "$(printf 'A.\n  B')" ] ||
    { echo "wine-test-test: FAILED: the test list arrived as: $(cat "$work/out")" >&2; failures=$((failures + 1)); }

if [ "$failures" -gt 0 ]; then
    echo "wine-test-test: $failures of 11 checks failed"
    exit 1
fi
echo "wine-test-test: 11 checks passed"
