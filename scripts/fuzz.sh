#!/usr/bin/env bash
# Builds every libFuzzer target under fuzz/ with clang (ASan + UBSan) and runs
# each for SECONDS (default 60) on a copy of its seed corpus:
#   bash scripts/fuzz.sh [SECONDS]
# Findings land in build-fuzz/<target>/ as crash-* files; any makes the run fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
for package in clang zlib1g-dev; do
    if ! dpkg -s "$package" >/dev/null 2>&1; then
        sudo_cmd=""
        [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
        $sudo_cmd apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends clang zlib1g-dev
        break
    fi
done

# The sources each target needs besides its own file.
sources_of() {
    case "$1" in
        http_response_fuzz)
            echo src/http/*.cpp src/base/text.cpp src/base/message_pump.cpp src/base/file_path.cpp \
                tests/support/scripted_socket.cpp tests/support/fake_desktop.cpp ;;
        *) echo "fuzz.sh: no source list for $1" >&2; exit 2 ;;
    esac
}

status=0
for target_source in fuzz/*_fuzz.cpp; do
    target=$(basename "$target_source" .cpp)
    out=build-fuzz/$target
    mkdir -p "$out/corpus"
    echo "== $target: building"
    # shellcheck disable=SC2046
    clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -Isrc -Itests "$target_source" $(sources_of "$target") -lgtest -lz -pthread -o "$out/$target"
    cp -n fuzz/corpus/"${target%_fuzz}"/* "$out/corpus/" 2>/dev/null || true
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
