#!/usr/bin/env bash
# Configures and builds Partidex in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARTIDEX_ESTRICTO="${PARTIDEX_ESTRICTO:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"
