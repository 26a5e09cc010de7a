#!/usr/bin/env bash
# Makes the icon's pictures from its one source, cmake/packaging/telvarn.svg:
#   cmake/packaging/telvarn.png   256 px, for the Linux package's desktop entry
# The pictures are committed; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
packaging=cmake/packaging
svg=$packaging/telvarn.svg

# rsvg-convert comes with Debian's librsvg2-bin.
if ! command -v rsvg-convert >/dev/null 2>&1; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    echo "Installing: librsvg2-bin"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends librsvg2-bin
fi

# png SIZE OUTPUT: the icon as a square PNG of SIZE pixels.
png() {
    rsvg-convert --width "$1" --height "$1" "$svg" --output "$2"
    echo "$2: $1 px"
}

png 256 "$packaging/telvarn.png"
