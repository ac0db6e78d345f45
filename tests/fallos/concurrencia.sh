#!/usr/bin/env bash
# Several workers at once on one book, each saving entries mixed with sessions and chart edits: every
# reported entry stored once, numbers 1..N of the year without a gap, every entry whole and balanced,
# every session number given once, and no worker told of a failure (a locked database included).
#
# Besides them, one more worker is killed halfway (a workstation that fails while the others go on);
# the others must not notice.
#
# On the PostgreSQL cluster of scripts/pruebas_pg.sh (PARTIDEX_PRUEBA_PG) the book is a fresh database
# there, 8 workers by default; on the file engine, 4. The checks are the worker's own, the same on both.
#
#   concurrencia.sh <obrero> [obreros] [asientos]   (FALLOS_OBREROS, FALLOS_ASIENTOS override;
#   FALLOS_MUERTOS=0 kills none)
set -u
obrero=$1
if [ -n "${PARTIDEX_PRUEBA_PG:-}" ]; then porDefecto=8; else porDefecto=4; fi
obreros=${FALLOS_OBREROS:-${2:-$porDefecto}}
asientos=${FALLOS_ASIENTOS:-${3:-500}}
muertos=${FALLOS_MUERTOS:-1}
dir=$(mktemp -d "${TMPDIR:-/tmp}/concurrencia.XXXXXX")
programa=$dir/programa
# The workers' scratch folders (a killed one leaves its own behind) go away with the run's folder.
export TMPDIR=$dir/tmp
mkdir -p "$TMPDIR"
mkdir "$programa"
source "$(dirname "$0")/servidor.sh"
PreparoServidor "$dir" || exit 1
[ -n "${FALLOS_INI:-}" ] && cat "$FALLOS_INI" >"$programa/Partidex.ini"

"$obrero" "$programa" preparo >"$dir/preparo.log" 2>&1 || {
    cat "$dir/preparo.log"
    exit 1
}
fallas=0
pids=()
inicio=$SECONDS
todos=$((obreros + muertos))
for ((k = 1; k <= todos; k++)); do
    "$obrero" "$programa" mezcla "$asientos" "$k" >"$dir/o$k.log" 2>"$dir/o$k.err" &
    pids+=($!)
done
# The first ones die once they have saved a few entries.
for ((k = 1; k <= muertos; k++)); do
    while [ "$(grep -c '^asiento' "$dir/o$k.log")" -lt $((asientos / 4)) ] && kill -0 "${pids[k - 1]}" 2>/dev/null; do
        sleep 0.05
    done
    kill -KILL "${pids[k - 1]}" 2>/dev/null
done
# Then one more closes the year of the entries and opens the next, and takes both back, again and again,
# while the others save: each save lands before a closing (and is closed with the year) or after it
# (and is refused); the check finds a closed year with a balance otherwise.
# An odd number leaves the year closed at the end, so that the check looks at a closed year.
cierres=${FALLOS_CIERRES:-9}
"$obrero" "$programa" cierre "$cierres" "$((todos + 1))" >"$dir/o-cierre.log" 2>"$dir/o-cierre.err" &
cerrador=$!
for ((k = 1; k <= todos; k++)); do
    { wait "${pids[k - 1]}"; } 2>/dev/null
    rc=$?
    if ((k <= muertos)); then
        [ "$rc" -eq 137 ] || {
            echo "FALLA: el obrero $k terminó con $rc antes de ser matado"
            fallas=$((fallas + 1))
        }
    elif [ "$rc" -ne 0 ] || [ "$(tail -n 1 "$dir/o$k.log")" != fin ]; then
        echo "FALLA: el obrero $k terminó con $rc: $(grep -m 3 '^error' "$dir/o$k.log")"
        fallas=$((fallas + 1))
    fi
done
{ wait "$cerrador"; } 2>/dev/null
rc=$?
if [ "$rc" -ne 0 ] || [ "$(tail -n 1 "$dir/o-cierre.log")" != fin ]; then
    echo "FALLA: el que cierra el ejercicio terminó con $rc: $(grep -m 3 '^error' "$dir/o-cierre.log")"
    fallas=$((fallas + 1))
fi
echo "asientos rechazados por ejercicio cerrado: $(cat "$dir"/o*.log | grep -c '^rechazado cerrado')"
if [ -f "$programa/Partidex.MDB" ]; then
    r=$(sqlite3 "$programa/Partidex.MDB" "PRAGMA integrity_check; PRAGMA foreign_key_check;" 2>&1)
    [ "$r" = ok ] || {
        echo "FALLA: $r"
        fallas=$((fallas + 1))
    }
fi
if ! "$obrero" "$programa" verifico --sin-huecos --muertos "$muertos" "$dir/preparo.log" "$dir"/o*.log >"$dir/verifico.log" 2>&1; then
    fallas=$((fallas + 1))
fi
cat "$dir/verifico.log"
espera=$(cat "$dir"/o*.log | awk '$1 == "espera" && $2 > m { m = $2 } END { print m + 0 }')
echo "el guardado más largo de un asiento: $espera ms"
echo "$obreros obreros x $asientos asientos en $((SECONDS - inicio)) s, y $muertos más matados a mitad de camino"
if ((fallas > 0)); then
    echo "$fallas fallas; la carpeta queda en $dir"
    exit 1
fi
BorroServidor
rm -rf "$dir"
