#!/usr/bin/env bash
# Installs what is missing, builds Telvarn and starts it. Without a programmer
# attached it uses the simulated one (TELVARN_SIMULATOR=normal unless set).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
export TELVARN_SIMULATOR="${TELVARN_SIMULATOR-normal}"
exec build/Telvarn "$@"
