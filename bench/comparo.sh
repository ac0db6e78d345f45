#!/usr/bin/env bash
# The benchmarks of the journal and the reports on both engines, back to back on the same book: the
# shared generator's book as an SQLite file, and the same rows copied into a database on the
# PostgreSQL server of PARTIDEX_PRUEBA_PG; then the figures side by side. The closing runs last, as it
# stores its entries in the book.
#
#   PARTIDEX_PG_OPCIONES="-c fsync=on -c full_page_writes=on" \
#     bash scripts/pruebas_pg.sh bash bench/comparo.sh [asientos] [carpeta]
#
# (pruebas_pg.sh starts a throw-away cluster; the options make it flush to disk as the file engine
# does.) The file book, its journal and the logs stay in carpeta (/tmp/partidex-banco by default).
set -euo pipefail
asientos=${1:-200000}
carpeta=${2:-/tmp/partidex-banco}
bench=$(cd "$(dirname "$0")/.." && pwd)/build/bench
[ -n "${PARTIDEX_PRUEBA_PG:-}" ] || {
    echo "Sin servidor: corra bash scripts/pruebas_pg.sh bash bench/comparo.sh" >&2
    exit 1
}
host="" port=5432 user=""
for par in $PARTIDEX_PRUEBA_PG; do
    case $par in
    host=*) host=${par#host=} ;;
    port=*) port=${par#port=} ;;
    user=*) user=${par#user=} ;;
    esac
done
mkdir -p "$carpeta"
cd "$carpeta"
archivo=$carpeta/libro-$asientos.MDB
servidor="postgresql://$user@:$port/libro_$asientos?host=$host"
# A closed year cannot be closed again: a file book used by an earlier run is made anew.
rm -f "$archivo" "$archivo".journal "$archivo"-wal "$archivo"-shm

for programa in diario informes libros reajustado cierre; do
    for motor in sqlite postgresql; do
        if [ $motor = sqlite ]; then
            libro=(--book "$archivo")
        else
            libro=(--book "$servidor" --from-file "$archivo" --journal "$archivo.journal")
        fi
        echo "== bench_$programa, $motor, carga $(cut -d' ' -f1-3 /proc/loadavg)" | tee "$programa-$motor.log"
        "$bench/bench_$programa" --entries "$asientos" "${libro[@]}" >>"$programa-$motor.log" 2>&1 ||
            echo "bench_$programa falló en $motor (ver $carpeta/$programa-$motor.log)"
    done
done

# One row per figure: the first number after the marker, in each engine's log.
python3 - "$carpeta" <<'EOF'
import re, sys, os
carpeta = sys.argv[1]
def cifra(programa, motor, linea, marca):
    try:
        texto = open(os.path.join(carpeta, f"{programa}-{motor}.log")).read()
    except OSError:
        return "-"
    hallado = [l for l in texto.splitlines() if l.startswith(linea)]
    if not hallado:
        return "-"
    m = re.search(re.escape(marca) + r"\s*([\d.]+)", hallado[-1])
    return m.group(1) if m else "-"
filas = [
    ("Journal save, 10-line entry, median ms", "diario", "Saving a new 10-line entry", "median"),
    ("Journal save, 10-line entry, 99% under ms", "diario", "Saving a new 10-line entry", "99% under"),
    ("Every entry of the year listed, ms", "diario", "Every entry of the year (goal 3000 ms, 400 MB), run 2", "listed in"),
    ("Showing an entry, median ms", "diario", "Showing an entry", "median"),
    ("Trial balance, full year, table ms", "informes", "Full-year trial balance:", "table"),
    ("Trial balance, full year, filled grid ms", "informes", "Full-year trial balance:", "filled grid"),
    ("Trial balance, a quarter, table ms", "informes", "Trial balance 01/04/2024-30/06/2024:", "table"),
    ("Trial balance rows (run 3), ms", "reajustado", "Trial balance, run 3", "rows in"),
    ("Restated trial balance (run 3), ms", "reajustado", "Restated trial balance, run 3", "rows in"),
    ("Ledger, whole chart, table ms", "libros", "Ledger of the whole chart (root ticked):", "table"),
    ("Ledger, whole chart, filled grid ms", "libros", "Ledger of the whole chart (root ticked):", "filled grid"),
    ("Ledger, every account, filled grid ms", "libros", "Ledger of every account (one block each):", "filled grid"),
    ("General journal, table ms", "libros", "General journal of the whole year:", "table"),
    ("General journal, filled grid ms", "libros", "General journal of the whole year:", "filled grid"),
    ("Closing (stored), ms", "cierre", "Closing, run 3", "in"),
    ("Chart pasted into the next year, ms", "cierre", "Chart pasted", "in"),
    ("Opening of the next year, ms", "cierre", "Opening:", "in"),
]
print("| figure | SQLite | PostgreSQL |")
print("|---|---:|---:|")
for nombre, programa, linea, marca in filas:
    print(f"| {nombre} | {cifra(programa, 'sqlite', linea, marca)} | {cifra(programa, 'postgresql', linea, marca)} |")
EOF
