#!/usr/bin/env bash
# Checks scripts/make-release.sh on fake build folders: the update folder's
# checksums and system-bound signatures, the two packages' contents and
# signatures, and the older call whose one build folder holds both programs.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "make-release-test: FAILED: $*" >&2
    failures=$((failures + 1))
}

bash scripts/release-key.sh "$work/key" >/dev/null || exit 1
mkdir "$work/linux" "$work/windows" "$work/both"
for program in Telvarn telvarn-cli telvarn-get; do
    echo "linux $program" >"$work/linux/$program"
    echo "windows $program" >"$work/windows/$program.exe"
done
cp "$work/linux/Telvarn" "$work/windows/Telvarn.exe" "$work/both/"
head -c 4096 /dev/urandom >"$work/firmware.cbin"

release() {
    bash scripts/make-release.sh --key "$work/key/telvarn.key" "$@" >"$work/log" 2>&1 ||
        { cat "$work/log" >&2; fail "make-release.sh $*"; }
}

# signed FILE COMMENT: FILE's signature verifies, with COMMENT as its trusted comment.
signed() {
    local comment
    if ! comment=$(minisign -VQ -p "$work/key/telvarn.pub" -m "$1" 2>&1); then
        fail "${1#"$work"/}: the signature does not verify: $comment"
    elif [[ $comment != "$2" ]]; then
        fail "${1#"$work"/}: signed for \"$comment\", not \"$2\""
    fi
}

# updates FOLDER: each version file's CRC-32 line is its download's, and each
# download is signed for its product, version and system.
updates() {
    local version_file download comment
    while read -r version_file download comment; do
        python3 - "$1/$version_file" "$1/$download" 2>/dev/null <<'PYTHON' ||
import sys, zlib
version_file, download = sys.argv[1:]
crc = zlib.crc32(open(download, "rb").read()) & 0xFFFFFFFF
sys.exit(open(version_file, "rb").read().split(b"\r\n")[2] != b"%08X" % crc)
PYTHON
            fail "$version_file: its CRC-32 line is not that of $download"
        signed "$1/$download" "$comment"
    done <<'TABLE'
version_linux Telvarn             Telvarn 15 linux-x86_64
version       Telvarn.exe         Telvarn 15 windows-x86_64
version_cbin  Telvarn-1_APPL.cbin Telvarn-1_APPL 16
TABLE
}

# listing ARCHIVE: its members, sorted, with their modes in a tar.
listing() {
    python3 - "$1" <<'PYTHON'
import sys, tarfile, zipfile
path = sys.argv[1]
if path.endswith(".zip"):
    members = zipfile.ZipFile(path).namelist()
else:
    members = ["%s %o" % (m.name, m.mode) for m in tarfile.open(path)]
print(" ".join(sorted(members)))
PYTHON
}

release --windows "$work/windows" "$work/new" 15 "$work/firmware.cbin" 16 "Notes" "$work/linux"
updates "$work/new/products/Telvarn"
linux=Telvarn-15-linux-x86_64
while read -r system suffix members; do
    package=$work/new/Telvarn-15-$system$suffix
    [[ $(listing "$package") == "$members" ]] ||
        fail "${package##*/} holds $(listing "$package"), not $members"
    signed "$package" "Telvarn 15 $system package"
done <<TABLE
windows-x86_64 .zip    README.txt Telvarn.exe telvarn-cli.exe telvarn-get.exe
linux-x86_64   .tar.gz $linux/README.txt 644 $linux/Telvarn 755 $linux/telvarn-cli 755 $linux/telvarn-get 755 $linux/telvarn.desktop 644 $linux/telvarn.png 644 $linux/telvarn.svg 644
TABLE
# Windows users get the README without its Linux part, with CR LF line ends.
python3 -c 'import sys, zipfile
text = zipfile.ZipFile(sys.argv[1]).read("README.txt")
sys.exit(b"Linux ====" in text or b"\n" in text.replace(b"\r\n", b""))' \
    "$work/new/Telvarn-15-windows-x86_64.zip" || fail "the zip's README.txt is not the Windows one"

# The older call: one build folder holding both programs, no command-line ones.
release "$work/old" 15 "$work/firmware.cbin" 16 "Notes" "$work/both"
updates "$work/old/products/Telvarn"

[[ $failures -eq 0 ]] || exit 1
echo "make-release-test: passed"
