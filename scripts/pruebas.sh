#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/instalo.sh
bash scripts/compilo.sh
cd build
# A hung test is ended by the timeout instead of a debugger printing stacks over and over.
QTEST_DISABLE_STACK_DUMP=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j"$(nproc)"
