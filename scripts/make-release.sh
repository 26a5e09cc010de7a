#!/usr/bin/env bash
# Builds a release folder for a trial update server from the current build:
#   FOLDER/products/Telvarn/version_linux   program version file (Linux build)
#   FOLDER/products/Telvarn/Telvarn         the program
#   FOLDER/products/Telvarn/version_cbin    firmware version file
#   FOLDER/products/Telvarn/Telvarn-1_APPL.cbin
# and, when the build holds a Windows program (Telvarn.exe), "version" and
# "Telvarn.exe" beside them. Each version file holds the product tag, the
# version, the CRC-32 of its download (8 upper-case hexadecimal digits) and
# the release notes, with CR LF line ends. With --key, every download gets its
# signature beside it (DOWNLOAD.minisig), whose trusted comment names the
# product and version ("Telvarn 15", "Telvarn-1_APPL 16").
set -euo pipefail

usage() {
    cat >&2 <<'TEXT'
usage: scripts/make-release.sh [--key SECRET_KEY_FILE] FOLDER VERSION FIRMWARE FIRMWARE_VERSION [NOTES] [BUILD]
  SECRET_KEY_FILE   the release key's minisign secret key (scripts/release-key.sh makes a trial one);
                    without it the release is unsigned, for developer builds only
  FOLDER            the release folder to create (served by scripts/update-server.sh)
  VERSION           the program's version number, e.g. 15
  FIRMWARE          the programmer's application image (Telvarn-1_APPL.cbin)
  FIRMWARE_VERSION  the firmware's version number
  NOTES             release notes; one line per line of the text (default "Версия VERSION")
  BUILD             the build folder holding the program (default build)
TEXT
    exit 2
}

key=""
if [[ ${1:-} == --key ]]; then
    [[ $# -ge 2 ]] || usage
    key=$2
    shift 2
    [[ -f $key ]] || { echo "no secret key file $key" >&2; exit 2; }
    command -v minisign >/dev/null 2>&1 ||
        { echo "minisign is not installed (apt install minisign)" >&2; exit 2; }
fi
[[ $# -ge 4 && $# -le 6 ]] || usage
folder=$1
version=$2
firmware=$3
firmware_version=$4
notes=${5:-"Версия $version"}
build=${6:-"$(dirname "$0")/../build"}

integer='^-?[0-9]+$'
[[ $version =~ $integer ]] || { echo "VERSION must be an integer: $version" >&2; exit 2; }
[[ $firmware_version =~ $integer ]] ||
    { echo "FIRMWARE_VERSION must be an integer: $firmware_version" >&2; exit 2; }
[[ -f $firmware ]] || { echo "no firmware file $firmware" >&2; exit 2; }
[[ -f $build/Telvarn ]] || { echo "no program $build/Telvarn: build it first" >&2; exit 2; }
[[ -n $notes ]] || { echo "NOTES must not be empty" >&2; exit 2; }

products=$folder/products/Telvarn
mkdir -p "$products"

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

# sign TAG VERSION DOWNLOAD
sign() {
    [[ -n $key ]] || return 0
    rm -f "$3.minisig"
    minisign -S -s "$key" -m "$3" -x "$3.minisig" -t "$1 $2" >/dev/null
    echo "${3##*/}.minisig signed for \"$1 $2\""
}

# release TAG VERSION DOWNLOAD VERSION_FILE
release() {
    version_file "$1" "$2" "$3" "$4"
    sign "$1" "$2" "$3"
}

cp "$build/Telvarn" "$products/Telvarn"
release Telvarn "$version" "$products/Telvarn" "$products/version_linux"
if [[ -f $build/Telvarn.exe ]]; then
    cp "$build/Telvarn.exe" "$products/Telvarn.exe"
    release Telvarn "$version" "$products/Telvarn.exe" "$products/version"
fi
cp "$firmware" "$products/Telvarn-1_APPL.cbin"
release Telvarn-1_APPL "$firmware_version" "$products/Telvarn-1_APPL.cbin" "$products/version_cbin"
echo "Release folder: $folder"
