#!/usr/bin/env bash
# Builds every libFuzzer target under fuzz/ with clang (ASan + UBSan) and runs
# each for SECONDS (default 60) on a copy of its seed corpus:
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
# TARGET names limit the run to those targets (e.g. settings_file_fuzz).
# Findings land in build-fuzz/<target>/ as crash-* files; any makes the run fail.
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

# The sources each target may need besides its own file and the base layer's,
# which every target links. They go into an archive, from which the linker
# takes only what the target uses: a folder's other files may call what the
# target does not link.
sources_of() {
    case "$1" in
        http_response_fuzz)
            echo src/http/*.cpp tests/support/scripted_socket.cpp tests/support/fake_desktop.cpp ;;
        http_parser_fuzz) echo src/http/response_parser.cpp src/http/chunk_decoder.cpp ;;
        data_file_fuzz) echo src/chip/data_file.cpp src/chip/bit_number.cpp ;;
        info_reply_fuzz) echo src/link/info_reply.cpp ;;
        settings_file_fuzz) echo src/startup/settings_file.cpp ;;
        sim_frame_fuzz) echo src/sim/*.cpp src/link/frame_crc.cpp ;;
        version_file_fuzz)
            echo src/update/version_file.cpp src/http/document_file.cpp src/http/file_stream.cpp \
                src/http/receive_stream.cpp ;;
        minisign_fuzz) echo src/update/minisign.cpp ;;
        *) echo "fuzz.sh: no source list for $1" >&2; return 2 ;;
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
    $launcher clang++ "${flags[@]}" -c "$1" -o "$object" || return 1
    echo "$object"
}

build_target() {
    local target=$1 out=build-fuzz/$1 sources source objects=()
    sources=$(sources_of "$target") || return 1
    for source in $sources src/base/*.cpp; do
        objects+=("$(object_of "$source")") || return 1
    done
    rm -f "$out/sources.a"
    ar rcs "$out/sources.a" "${objects[@]}" || return 1
    clang++ -fsanitize=fuzzer,address,undefined "$(object_of "fuzz/$target.cpp")" "$out/sources.a" \
        -lgtest -lz -pthread -o "$out/$target"
}

status=0
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(basename -s .cpp fuzz/*_fuzz.cpp))
for target in "${targets[@]}"; do
    out=build-fuzz/$target
    mkdir -p "$out/corpus"
    echo "== $target: building"
    if ! build_target "$target"; then
        echo "== $target: does not build"
        status=1
        continue
    fi
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
