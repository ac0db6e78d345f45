#!/usr/bin/env bash
# Runs the test suite a second time against PostgreSQL: a throw-away cluster in a temporary folder,
# reached only through a Unix socket there (no TCP, no system service), stopped and removed on exit.
# initdb refuses root, so as root the cluster runs as the unprivileged user postgres.
# Usage: scripts/pruebas_pg.sh [command ...]   (default: ctest in ./build); the command runs with
# PARTIDEX_PRUEBA_PG naming the cluster, so every test makes its own database there.
# PARTIDEX_PG_OPCIONES adds server options ("-c fsync=on -c full_page_writes=on" for benchmarks that
# write; the suite runs without flushing to disk).
set -euo pipefail
cd "$(dirname "$0")/.."
raiz="$(pwd)"
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
[ -x "$bin/initdb" ] || { echo "PostgreSQL no está instalado (scripts/instalo.sh)" >&2; exit 1; }
carpeta="$(mktemp -d /tmp/partidex-pg.XXXXXX)"
chmod 755 "$carpeta"
como=()
usuario="$(id -un)"
if [ "$(id -u)" -eq 0 ]; then
  usuario=postgres
  chown "$usuario" "$carpeta"
  como=(runuser -u "$usuario" --)
fi
detengo() {
  "${como[@]}" "$bin/pg_ctl" -D "$carpeta/datos" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$carpeta"
}
trap detengo EXIT
"${como[@]}" "$bin/initdb" -D "$carpeta/datos" -U "$usuario" -A trust -E UTF8 --locale=C.UTF-8 >/dev/null
"${como[@]}" "$bin/pg_ctl" -D "$carpeta/datos" -l "$carpeta/registro.txt" -w \
  -o "-k $carpeta -c listen_addresses='' -c max_connections=200 -c fsync=off -c full_page_writes=off ${PARTIDEX_PG_OPCIONES:-}" start >/dev/null
export PARTIDEX_PRUEBA_PG="host=$carpeta port=5432 user=$usuario"
if [ $# -gt 0 ]; then
  "$@"
else
  cd "$raiz/build"
  QTEST_DISABLE_STACK_DUMP=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j"$(nproc)"
fi
