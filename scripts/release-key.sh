#!/usr/bin/env bash
# Makes a trial key pair for signed releases in DIR, without a password:
#   DIR/telvarn.pub  the public key: build with -DTELVARN_RELEASE_KEY=DIR/telvarn.pub
#   DIR/telvarn.key  the secret key: scripts/make-release.sh --key DIR/telvarn.key
# A real release key is made the same way with a password (minisign -G), and
# its secret key is kept off the update server.
set -euo pipefail
if [[ $# -ne 1 ]]; then
    echo "usage: scripts/release-key.sh DIR" >&2
    exit 2
fi
dir=$1
command -v minisign >/dev/null 2>&1 || { echo "minisign is not installed (apt install minisign)" >&2; exit 2; }
if [[ -e $dir/telvarn.pub || -e $dir/telvarn.key ]]; then
    echo "$dir already holds a key pair; it is left as it is" >&2
    exit 2
fi
mkdir -p "$dir"
minisign -G -W -p "$dir/telvarn.pub" -s "$dir/telvarn.key" >/dev/null
echo "Public key: $dir/telvarn.pub  Secret key: $dir/telvarn.key"
