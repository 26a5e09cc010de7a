#!/usr/bin/env bash
# Configures and builds one build folder: build.sh <folder> [extra cmake options].
set -euo pipefail
folder=$1
shift
# ccache, where the machine has it, spares compiling again what has not changed.
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths inside the checkout count relative to it, so that another clone
    # (CI's) finds the objects this one compiled.
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@" >/dev/null
cmake --build "$folder" -j2
