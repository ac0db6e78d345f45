#!/usr/bin/env bash
# The trial balance of each shape of range, whole process from partidex-informe (start, book opened,
# balance written to CSV), beside ledger's balance of the same dates on the journal the shared
# generator wrote with the book. Ours is the median of three runs, ledger's one run (it takes seconds), in seconds.
#
#   bash bench/rangos.sh LIBRO.MDB [partidex-informe]
#
# The book is one bench_informes made (its journal beside it, LIBRO.MDB.journal). With ESTADO=rancio
# a copy of it is first given the planner's figures of an empty book (as a book made by the program
# and then filled has them) and every run starts from that copy again.
set -euo pipefail
libro=$1
informe=${2:-$(cd "$(dirname "$0")/.." && pwd)/build/partidex-informe}
diario=$libro.journal
trabajo=$(mktemp -d)
trap 'rm -rf "$trabajo"' EXIT
mkdir -p "$trabajo/ajustes"
copia=$trabajo/libro.MDB
cp "$libro" "$copia"
rancio() {
    [ "${ESTADO:-}" = rancio ] || return 0
    cp "$libro" "$copia"
    rm -f "$copia-wal" "$copia-shm"
    sqlite3 "$copia" "DELETE FROM sqlite_stat1 WHERE tbl IN ('Asientos','DetAsientos','Cuentas')"
}
mediana() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
segundos() { # the command's wall time, in seconds
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || echo "falló: $*" >&2
    t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc
}
printf '| rango | desde | hasta | partidex-informe s | ledger s | proporción |\n|---|---|---|---:|---:|---:|\n'
while read -r nombre desde hasta; do
    nuestros=() suyos=()
    for i in 1 2 3; do
        rancio
        nuestros+=("$(segundos "$informe" balance "$trabajo/b.csv" --carpeta "$trabajo/ajustes" --base "$copia" \
            --empresa 1 --ejercicio 1 --desde "$desde" --hasta "$hasta")")
        if [ "$i" = 1 ] && command -v ledger >/dev/null && [ -f "$diario" ]; then
            # ledger's end date is the first day left out.
            fin=$(date -d "$(echo "$hasta" | awk -F/ '{print $3"-"$2"-"$1}') + 1 day" +%Y-%m-%d)
            ini=$(echo "$desde" | awk -F/ '{print $3"-"$2"-"$1}')
            suyos+=("$(segundos ledger -f "$diario" bal --flat -b "$ini" -e "$fin")")
        fi
    done
    n=$(printf '%s\n' "${nuestros[@]}" | mediana)
    s=$(printf '%s\n' "${suyos[@]:-0}" | mediana)
    p=$( [ -n "$s" ] && [ "$s" != 0 ] && echo "scale=3; $n / $s" | bc || echo -)
    printf '| %s | %s | %s | %.2f | %.2f | %s |\n' "$nombre" "$desde" "$hasta" "$n" "${s:-0}" "$p"
done <<'RANGOS'
un-día 15/03/2024 15/03/2024
una-semana 11/03/2024 17/03/2024
un-mes 01/03/2024 31/03/2024
un-trimestre 01/04/2024 30/06/2024
once-meses 01/02/2024 31/12/2024
el-año 01/01/2024 31/12/2024
RANGOS
