#!/usr/bin/env bash
# Installs what Partidex needs to build, run and be tested on Debian/Ubuntu (only what is missing).
set -euo pipefail
paquetes=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
  libpq-dev libsqlite3-dev sqlite3 qt6-translations-l10n libsodium-dev xvfb xauth imagemagick libgl-dev
  libxlsxwriter-dev poppler-utils desktop-file-utils appstream lintian)
# The second run of the suite on a throw-away PostgreSQL cluster (server, pg_dump and pg_restore).
paquetes+=(postgresql postgresql-client)
# The reports benchmark also compares its balances with ledger and hledger: `bash scripts/instalo.sh --comparo`.
[ "${1:-}" = "--comparo" ] && paquetes+=(ledger hledger)
# The checked build and the fuzz targets (scripts/saneado.sh): clang, its sanitizer and libFuzzer
# run-time libraries, and the symbolizer that names the lines of a report.
[ "${1:-}" = "--saneado" ] && paquetes+=(clang libclang-rt-14-dev llvm)
faltan=()
for p in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
done
if [ ${#faltan[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${faltan[@]}"
fi
