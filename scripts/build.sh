#!/usr/bin/env bash
# Configures and builds one build folder: build.sh <folder> [extra cmake options].
set -euo pipefail
folder=$1
shift
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$folder" -j2
