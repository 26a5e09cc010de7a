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

# The sources each target needs besides its own file: only the reader and what
# it calls, so that a target builds in seconds.
sources_of() {
    case "$1" in
        http_response_fuzz)
            echo src/http/*.cpp src/base/text.cpp src/base/message_pump.cpp src/base/file_path.cpp \
                tests/support/scripted_socket.cpp tests/support/fake_desktop.cpp ;;
        data_file_fuzz)
            echo src/chip/data_file.cpp src/chip/bit_number.cpp src/base/text.cpp \
                src/base/text_encoding.cpp src/base/crc32.cpp src/base/errors.cpp \
                src/base/file_path.cpp ;;
        info_reply_fuzz)
            echo src/link/info_reply.cpp src/base/text.cpp src/base/text_encoding.cpp ;;
        settings_file_fuzz)
            echo src/app/settings_file.cpp src/base/text.cpp src/base/errors.cpp \
                src/base/file_path.cpp ;;
        sim_frame_fuzz)
            echo src/sim/sim_frame_reader.cpp src/sim/simulated_programmer.cpp \
                src/sim/sim_behaviour.cpp src/link/frame_crc.cpp ;;
        version_file_fuzz)
            echo src/update/version_file.cpp src/base/text.cpp src/base/file_path.cpp ;;
        *) echo "fuzz.sh: no source list for $1" >&2; exit 2 ;;
    esac
}

# Each source compiles once into build-fuzz/objects/, through ccache when it is
# there, since several targets share the base sources.
launcher=$(command -v ccache || true)
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -Wall -Wextra -Isrc -Itests -Ifuzz)
object_of() {
    local object=build-fuzz/objects/${1%.cpp}.o
    mkdir -p "$(dirname "$object")"
    $launcher clang++ "${flags[@]}" -c "$1" -o "$object"
    echo "$object"
}

status=0
for target_source in fuzz/*_fuzz.cpp; do
    target=$(basename "$target_source" .cpp)
    out=build-fuzz/$target
    mkdir -p "$out/corpus"
    echo "== $target: building"
    objects=()
    for source in "$target_source" $(sources_of "$target"); do
        objects+=("$(object_of "$source")")
    done
    clang++ -fsanitize=fuzzer,address,undefined "${objects[@]}" -lgtest -lz -pthread -o "$out/$target"
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
