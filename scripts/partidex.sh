#!/usr/bin/env bash
# Installs what is missing, builds and starts Partidex on its embedded SQLite database
# (build/Partidex.MDB, created on first start).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/instalo.sh
bash scripts/compilo.sh
exec ./build/Partidex
