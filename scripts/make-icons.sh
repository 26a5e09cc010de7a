#!/usr/bin/env bash
# Makes the icon's pictures from its one source, cmake/packaging/telvarn.svg:
#   cmake/packaging/telvarn.png   256 px, for the Linux window and the desktop entry
#   cmake/packaging/telvarn.ico   16, 24, 32, 48 and 256 px, for the Windows programs
# The pictures are committed; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
packaging=cmake/packaging
svg=$packaging/telvarn.svg

# rsvg-convert comes with Debian's librsvg2-bin, icotool with icoutils.
# shellcheck source=scripts/e2e-screen.sh
source scripts/e2e-screen.sh
install_missing librsvg2-bin icoutils

# png SIZE OUTPUT: the icon as a square PNG of SIZE pixels.
png() {
    rsvg-convert --width "$1" --height "$1" "$svg" --output "$2"
    echo "$2: $1 px"
}

png 256 "$packaging/telvarn.png"

# The Windows icon: every size the shell and the title bar ask for, the
# largest kept as PNG inside the file, as Windows expects it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 24 32 48; do png "$size" "$work/$size.png" >/dev/null; done
icotool --create --output "$packaging/telvarn.ico" "$work/16.png" "$work/24.png" "$work/32.png" \
    "$work/48.png" --raw "$packaging/telvarn.png"
echo "$packaging/telvarn.ico: 16, 24, 32, 48, 256 px"
