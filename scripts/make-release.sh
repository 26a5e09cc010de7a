#!/usr/bin/env bash
# Makes a release: the update server's folder and the first-install packages.
#   FOLDER/products/Telvarn/version_linux   program version file (Linux build)
#   FOLDER/products/Telvarn/Telvarn         the Linux program
#   FOLDER/products/Telvarn/version         program version file (Windows build)
#   FOLDER/products/Telvarn/Telvarn.exe     the Windows program
#   FOLDER/products/Telvarn/version_cbin    firmware version file
#   FOLDER/products/Telvarn/Telvarn-1_APPL.cbin
#   FOLDER/Telvarn-VERSION-linux-x86_64.tar.gz   one portable folder: the three
#                                           programs, the icon, a desktop entry, README.txt
#   FOLDER/Telvarn-VERSION-windows-x86_64.zip    the three programs and README.txt
# The Linux files come from BUILD, the Windows ones from --windows DIR, or from
# BUILD when it holds Telvarn.exe too. A package is made when its build holds
# all three programs (telvarn-cli and telvarn-get beside Telvarn); cpack packs
# it by the rules of cmake/packaging.cmake, from a small project of its own, so
# that any folder holding the programs will do. SOURCE_DATE_EPOCH, when set,
# dates the packages' files, and the same programs then give the same bytes.
#
# Each version file holds the product tag, the version, the CRC-32 of its
# download (8 upper-case hexadecimal digits) and the release notes, with CR LF
# line ends. With --key, every download and package gets its signature beside
# it (FILE.minisig), whose trusted comment names the product, the version and,
# for a program, its system: "Telvarn 15 linux-x86_64", "Telvarn 15
# windows-x86_64", "Telvarn-1_APPL 16", "Telvarn 15 linux-x86_64 package". A
# program installs only a release signed for its own system.
set -euo pipefail

usage() {
    cat >&2 <<'TEXT'
usage: scripts/make-release.sh [--key SECRET_KEY_FILE] [--windows WINDOWS_BUILD]
                               FOLDER VERSION FIRMWARE FIRMWARE_VERSION [NOTES] [BUILD]
  SECRET_KEY_FILE   the release key's minisign secret key (scripts/release-key.sh makes a trial one);
                    without it the release is unsigned, for developer builds only
  WINDOWS_BUILD     the Windows build folder (Telvarn.exe, telvarn-cli.exe, telvarn-get.exe);
                    default: BUILD, when it holds Telvarn.exe
  FOLDER            the release folder to create (served by scripts/update-server.sh)
  VERSION           the program's version number, e.g. 15
  FIRMWARE          the programmer's application image (Telvarn-1_APPL.cbin)
  FIRMWARE_VERSION  the firmware's version number
  NOTES             release notes; one line per line of the text (default "Версия VERSION")
  BUILD             the Linux build folder (Telvarn, telvarn-cli, telvarn-get; default build)
TEXT
    exit 2
}

key=""
windows=""
while [[ ${1:-} == --* ]]; do
    [[ $# -ge 2 ]] || usage
    case $1 in
        --key) key=$2 ;;
        --windows) windows=$2 ;;
        *) usage ;;
    esac
    shift 2
done
[[ $# -ge 4 && $# -le 6 ]] || usage
folder=$1
version=$2
firmware=$3
firmware_version=$4
notes=${5:-"Версия $version"}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${6:-"$root/build"}

fail() {
    echo "$*" >&2
    exit 2
}
if [[ -n $key ]]; then
    [[ -f $key ]] || fail "no secret key file $key"
    command -v minisign >/dev/null 2>&1 || fail "minisign is not installed (apt install minisign)"
fi
# The program compares the version line itself with the signed comment, so
# only the plain number makes a release that can verify.
integer='^-?[0-9]+$'
[[ $version =~ $integer ]] || fail "VERSION must be an integer: $version"
[[ $firmware_version =~ $integer ]] || fail "FIRMWARE_VERSION must be an integer: $firmware_version"
[[ -f $firmware ]] || fail "no firmware file $firmware"
[[ -f $build/Telvarn ]] || fail "no program $build/Telvarn: build it first"
if [[ -n $windows ]]; then
    [[ -f $windows/Telvarn.exe ]] || fail "no program $windows/Telvarn.exe: build it first"
elif [[ -f $build/Telvarn.exe ]]; then
    windows=$build
fi
[[ -n $notes ]] || fail "NOTES must not be empty"
command -v cpack >/dev/null 2>&1 || fail "cpack is not installed (apt install cmake)"

products=$folder/products/Telvarn
mkdir -p "$products"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# version_file TAG VERSION DOWNLOAD OUTPUT
version_file() {
    python3 - "$1" "$2" "$3" "$4" "$notes" <<'PYTHON'
import sys, zlib
tag, version, download, output, notes = sys.argv[1:]
with open(download, "rb") as f:
    crc = zlib.crc32(f.read()) & 0xFFFFFFFF
lines = [tag, version, "%08X" % crc] + notes.splitlines()
with open(output, "wb") as f:
    f.write(("\r\n".join(lines) + "\r\n").encode("utf-8"))
print("%-14s %s version %s, CRC-32 %08X" % (output.rsplit("/", 1)[-1], tag, version, crc))
PYTHON
}

# sign FILE TRUSTED_COMMENT
sign() {
    [[ -n $key ]] || return 0
    rm -f "$1.minisig"
    minisign -S -s "$key" -m "$1" -x "$1.minisig" -t "$2" >/dev/null
    echo "${1##*/}.minisig signed for \"$2\""
}

# release TAG VERSION DOWNLOAD VERSION_FILE TRUSTED_COMMENT
release() {
    version_file "$1" "$2" "$3" "$4"
    sign "$3" "$5"
}

# package SYSTEM PROGRAMS_FOLDER EXE_SUFFIX ARCHIVE_SUFFIX
package() {
    local system=$1 programs=$2 exe=$3 name=Telvarn-$version-$1 program missing=()
    for program in Telvarn telvarn-cli telvarn-get; do
        [[ -f $programs/$program$exe ]] || missing+=("$program$exe")
    done
    if [[ ${#missing[@]} -gt 0 ]]; then
        echo "no $system package: $programs holds no ${missing[*]}"
        return 0
    fi
    local project=$work/$system
    mkdir -p "$project"
    # shellcheck disable=SC2016  # ${TELVARN_PACKAGING} is CMake's to expand
    printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(Telvarn LANGUAGES NONE)' \
        'include("${TELVARN_PACKAGING}")' >"$project/CMakeLists.txt"
    if ! (cmake -S "$project" -B "$project/build" -DTELVARN_PACKAGING="$root/cmake/packaging.cmake" \
              -DTELVARN_PACKAGE_SYSTEM="$system" -DTELVARN_PACKAGE_VERSION="$version" \
              -DTELVARN_PACKAGE_PROGRAMS="$(cd "$programs" && pwd)" &&
          cd "$project/build" && cpack -B "$project/out" -D CPACK_PACKAGE_FILE_NAME="$name") \
          >"$project/log" 2>&1; then
        cat "$project/log" >&2
        echo "cpack failed to make $name$4" >&2
        exit 1
    fi
    mv "$project/out/$name$4" "$folder/$name$4"
    echo "$name$4"
    sign "$folder/$name$4" "Telvarn $version $system package"
}

cp "$build/Telvarn" "$products/Telvarn"
release Telvarn "$version" "$products/Telvarn" "$products/version_linux" "Telvarn $version linux-x86_64"
if [[ -n $windows ]]; then
    cp "$windows/Telvarn.exe" "$products/Telvarn.exe"
    release Telvarn "$version" "$products/Telvarn.exe" "$products/version" "Telvarn $version windows-x86_64"
fi
cp "$firmware" "$products/Telvarn-1_APPL.cbin"
release Telvarn-1_APPL "$firmware_version" "$products/Telvarn-1_APPL.cbin" "$products/version_cbin" \
    "Telvarn-1_APPL $firmware_version"
package linux-x86_64 "$build" "" .tar.gz
if [[ -n $windows ]]; then
    package windows-x86_64 "$windows" .exe .zip
fi
echo "Release folder: $folder"
