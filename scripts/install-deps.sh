#!/usr/bin/env bash
# Installs the Debian packages Telvarn builds with, skipping those already present.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-serialport-dev zlib1g-dev
          libgtest-dev xvfb xauth)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
