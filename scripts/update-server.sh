#!/usr/bin/env bash
# Serves a release folder made by scripts/make-release.sh on this machine only,
# for trials of the version check and the self-update.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: scripts/update-server.sh FOLDER [PORT]   (PORT defaults to 8000)" >&2
    exit 2
fi
folder=$1
port=${2:-8000}
[[ -d $folder/products/Telvarn ]] ||
    { echo "$folder holds no products/Telvarn: make it with scripts/make-release.sh" >&2; exit 2; }

echo "Start Telvarn with TELVARN_UPDATE_SERVER=http://127.0.0.1:$port" >&2
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$folder"
