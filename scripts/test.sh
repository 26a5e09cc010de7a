#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# a normal build in build/, and an AddressSanitizer + UBSan build in build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The project's own builds treat warnings as errors; a plain cmake build does not.
# The normal build requires signed updates, with a trial key of its own that
# the signed update's end-to-end check signs its release with; the sanitizer
# build holds no key, as a developer's build.
[ -f build/release-key/telvarn.pub ] || bash scripts/release-key.sh build/release-key
bash scripts/build.sh build -DTELVARN_WERROR=ON -DTELVARN_RELEASE_KEY="$PWD/build/release-key/telvarn.pub"
# Without optimisation the sanitizer build compiles much faster; the benchmarks
# are left out of it, they only make sense in the optimised build.
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTELVARN_SANITIZE=ON \
    -DTELVARN_BENCHMARKS=OFF -DTELVARN_WERROR=ON

status=0
echo "== Layering =="
python3 scripts/check-layers.py || status=1
python3 scripts/check-layers-test.py || status=1
echo "== The release folder and packages =="
bash scripts/make-release-test.sh || status=1
# Before the tests, so that their summary stays the last thing printed.
echo "== Fuzzing, 15 s per target =="
bash scripts/fuzz.sh 15 || status=1
# The core built for Windows, its tests run under Wine in build-windows/.
echo "== Tests, Windows build under Wine =="
bash scripts/test-windows.sh || status=1
# An operator's session in both windows on a virtual screen: the logs must match.
echo "== The window on both systems, end to end =="
bash scripts/window-e2e.sh || status=1
echo "== The signed self-update, end to end =="
bash scripts/update-e2e.sh || status=1
echo "== Tests, sanitizer build =="
(cd build-asan && ctest --output-on-failure --timeout 300 -j2) || status=1
echo "== Tests, normal build =="
(cd build && ctest --output-on-failure --timeout 300 -j2) || status=1
exit $status
