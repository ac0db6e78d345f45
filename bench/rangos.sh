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
# The book's initial administrator, unless another user is given.
usuario=${PARTIDEX_USUARIO:-ADMIN}
export PARTIDEX_CONTRASENA=${PARTIDEX_CONTRASENA:-ADMIN}
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
# The command's wall time and its processor time (user and system), in seconds: on a machine shared
# with other work the processor time is the steadier figure.
segundos() {
    /usr/bin/time -f "%e %U %S" -o "$trabajo/tiempo" "$@" >/dev/null 2>&1 || echo "falló: $*" >&2
    awk '{printf "%.2f %.2f\n", $1, $2 + $3}' "$trabajo/tiempo"
}
# Median of the wall times and of the processor times, each on its own.
mediana() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
medianas() { printf '%s\n' "$@" | awk '{print $1}' | mediana; printf '%s\n' "$@" | awk '{print $2}' | mediana; }
printf '| rango | desde | hasta | partidex-informe s (procesador) | ledger s (procesador) | proporción por procesador |\n'
printf '|---|---|---|---:|---:|---:|\n'
while read -r nombre desde hasta; do
    nuestros=() suyos=()
    for i in 1 2 3; do
        rancio
        nuestros+=("$(segundos "$informe" --usuario "$usuario" balance "$trabajo/b.csv" --carpeta "$trabajo/ajustes" --base "$copia" \
            --empresa 1 --ejercicio 1 --desde "$desde" --hasta "$hasta")")
        if [ "$i" = 1 ] && command -v ledger >/dev/null && [ -f "$diario" ]; then
            # ledger's end date is the first day left out.
            fin=$(date -d "$(echo "$hasta" | awk -F/ '{print $3"-"$2"-"$1}') + 1 day" +%Y-%m-%d)
            ini=$(echo "$desde" | awk -F/ '{print $3"-"$2"-"$1}')
            suyos+=("$(segundos ledger -f "$diario" bal --flat -b "$ini" -e "$fin")")
        fi
    done
    read -r nw np < <(medianas "${nuestros[@]}" | paste -sd' ')
    if [ ${#suyos[@]} -gt 0 ]; then read -r sw sp < <(medianas "${suyos[@]}" | paste -sd' '); else sw=0 sp=0; fi
    p=$(awk -v a="$np" -v b="$sp" 'BEGIN {if (b > 0) printf "%.3f", a / b; else print "-"}')
    printf '| %s | %s | %s | %s (%s) | %s (%s) | %s |\n' "$nombre" "$desde" "$hasta" "$nw" "$np" "$sw" "$sp" "$p"
done <<'RANGOS'
un-día 15/03/2024 15/03/2024
una-semana 11/03/2024 17/03/2024
un-mes 01/03/2024 31/03/2024
un-trimestre 01/04/2024 30/06/2024
once-meses 01/02/2024 31/12/2024
el-año 01/01/2024 31/12/2024
RANGOS
