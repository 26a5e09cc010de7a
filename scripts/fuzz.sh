#!/usr/bin/env bash
# Builds every libFuzzer target under fuzz/ from CMake (TELVARN_FUZZ: clang,
# ASan + UBSan) and runs each for SECONDS (default 60) on a copy of its seed
# corpus:
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
# TARGET names limit the run to those targets (e.g. settings_file_fuzz).
# Findings land in build-fuzz/<target>/ as crash-* files; any makes the run fail.
# The targets are built in FUZZ_BUILD (default build-fuzz/cmake, a core-only
# build configured here; another folder must be configured with clang).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
for package in clang zlib1g-dev; do
    if ! dpkg -s "$package" >/dev/null 2>&1; then
        sudo_cmd=""
        [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
        $sudo_cmd apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends clang zlib1g-dev
        break
    fi
done

targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < <(basename -s .cpp fuzz/*_fuzz.cpp)

# A build folder of its own holds the core alone, optimised a little for the
# runs' speed; a folder configured already keeps its own settings.
build=${FUZZ_BUILD:-build-fuzz/cmake}
options=(-DTELVARN_FUZZ=ON)
if [ ! -f "$build/CMakeCache.txt" ]; then
    options+=(-DCMAKE_CXX_COMPILER=clang++ -DTELVARN_CORE_ONLY=ON -DCMAKE_BUILD_TYPE=Debug
              -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g")
    command -v ccache >/dev/null 2>&1 && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Paths inside the checkout count relative to it, as in scripts/build.sh.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
echo "== building ${targets[*]} in $build"
cmake -S . -B "$build" "${options[@]}" >/dev/null
# All at once; after a failure each on its own, so that a target that does
# not build stops no other.
built=()
if cmake --build "$build" -j2 --target "${targets[@]}" >"$build/fuzz-build.log" 2>&1; then
    built=("${targets[@]}")
else
    for target in "${targets[@]}"; do
        if cmake --build "$build" -j2 --target "$target" >"$build/fuzz-build.log" 2>&1; then
            built+=("$target")
        else
            tail -n 40 "$build/fuzz-build.log"
        fi
    done
fi

status=0
for target in "${targets[@]}"; do
    out=build-fuzz/$target
    mkdir -p "$out/corpus"
    if [[ " ${built[*]} " != *" $target "* ]]; then
        echo "== $target: does not build"
        status=1
        continue
    fi
    cp "$build/fuzz/$target" "$out/$target"
    cp -n fuzz/corpus/"${target%_fuzz}"/* "$out/corpus/" 2>/dev/null || true
    # An earlier run's finding that no longer fails has been mended: drop it.
    for finding in "$out"/crash-* "$out"/timeout-*; do
        [ -e "$finding" ] || continue
        if (cd "$out" && "./$target" -timeout=10 "${finding##*/}" >/dev/null 2>&1); then
            rm "$finding"
        fi
    done
    echo "== $target: running for $seconds s"
    if ! (cd "$out" && UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            "./$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 corpus 2>&1 | tail -n 25); then
        status=1
    fi
    if compgen -G "$out/crash-*" >/dev/null || compgen -G "$out/timeout-*" >/dev/null; then
        echo "== $target: findings in $out"
        status=1
    fi
done
exit $status
