#!/usr/bin/env bash
# Refreshes the README's pictures (docs/*.png): builds the capture program and runs it on a freshly
# made demonstration book under a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -d build ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target partidex-capturas -j"$(nproc)" >/dev/null
mkdir -p docs
LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 1280x900x24" ./build/demo/partidex-capturas docs
