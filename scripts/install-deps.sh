#!/usr/bin/env bash
# Installs the Debian packages Telvarn builds and tests with, skipping those
# already present. nginx serves the tests and the benchmark from configurations
# of their own; the system's nginx service is never left running.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-serialport-dev zlib1g-dev libgcrypt20-dev minisign
          libgtest-dev xvfb xauth openbox python3 nginx curl)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

# Debian starts a service on install unless policy-rc.d says no; say no for the
# length of the install when nothing else already does.
own_policy=""
install_quietly() {
    if [ ! -e /usr/sbin/policy-rc.d ]; then
        own_policy=/usr/sbin/policy-rc.d
        printf '#!/bin/sh\nexit 101\n' | $sudo_cmd tee "$own_policy" >/dev/null
        $sudo_cmd chmod 755 "$own_policy"
        trap '$sudo_cmd rm -f "$own_policy"' EXIT
    fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends "$@"
}

# Stops and disables the system's nginx, with or without systemd.
stop_system_nginx() {
    command -v nginx >/dev/null 2>&1 || return 0
    if [ -d /run/systemd/system ] && command -v systemctl >/dev/null 2>&1; then
        $sudo_cmd systemctl disable --now nginx >/dev/null 2>&1 || true
    else
        command -v update-rc.d >/dev/null 2>&1 &&
            { $sudo_cmd update-rc.d nginx disable >/dev/null 2>&1 || true; }
        command -v service >/dev/null 2>&1 &&
            { $sudo_cmd service nginx stop >/dev/null 2>&1 || true; }
    fi
    if [ -s /run/nginx.pid ]; then
        $sudo_cmd kill "$(cat /run/nginx.pid)" 2>/dev/null || true
    fi
}

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    install_quietly "${missing[@]}"
    # Only the nginx installed here is stopped; one the machine already ran
    # for its own purposes is left alone.
    case " ${missing[*]} " in *" nginx "*) stop_system_nginx ;; esac
fi
