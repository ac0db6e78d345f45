#!/usr/bin/env bash
# A restore from the backup while another instance starts and saves entries: the restore holds the
# books alone from its check that nobody has them open to the end of the replacement, so the other
# instance either waits for it and then works on the restored books, or (started first) makes the
# restore refuse without changing anything. Every entry the other instance reports is in the book
# afterwards, numbered 1..N without a gap or a number given twice.
#
# Each round starts from the backup, restored with nobody else about (which times a restore), then
# starts the restore again and, a random moment within that time later, the instance that saves
# entries.
#
#   recuperacion.sh <obrero> [vueltas]   (FALLOS_VUELTAS overrides; FALLOS_ASIENTOS entries a round,
#   200 by default; FALLOS_SEMILLA repeats a run; FALLOS_INI or the cluster of scripts/pruebas_pg.sh
#   choose another engine)
set -u
obrero=$1
vueltas=${FALLOS_VUELTAS:-${2:-10}}
asientos=${FALLOS_ASIENTOS:-200}
RANDOM=${FALLOS_SEMILLA:-$$}
dir=$(mktemp -d "${TMPDIR:-/tmp}/recuperacion.XXXXXX")
programa=$dir/programa
export TMPDIR=$dir/tmp
mkdir -p "$TMPDIR"
mkdir "$programa"
source "$(dirname "$0")/servidor.sh"
PreparoServidor "$dir" || exit 1
[ -n "${FALLOS_INI:-}" ] && cat "$FALLOS_INI" >"$programa/Partidex.ini"

fallas=0
falla() {
    echo "FALLA (vuelta $i): $*"
    fallas=$((fallas + 1))
}
i=0
# A book large enough that examining the backup takes a while: the window the other instance falls in.
{ "$obrero" "$programa" preparo >"$dir/preparo.log" 2>&1 &&
    "$obrero" "$programa" asientos 2000 1 >"$dir/semilla.log" 2>&1 &&
    "$obrero" "$programa" backup 1 >"$dir/backup.log" 2>&1; } || {
    cat "$dir"/*.log
    exit 1
}
recuperadas=0 rechazadas=0
for ((i = 1; i <= vueltas; i++)); do
    # A server may still count for an instant the connection of a program that has just ended.
    for intento in 1 2 3 4 5; do
        t0=$(date +%s%N)
        "$obrero" "$programa" recupero 1 >"$dir/base.log" 2>&1 && break
        sleep 0.5
    done
    [ "$(tail -n 1 "$dir/base.log")" = fin ] || {
        falla "la recuperación sin nadie más no se hizo: $(cat "$dir/base.log")"
        continue
    }
    demora=$((($(date +%s%N) - t0) / 1000000))
    "$obrero" "$programa" recupero 1 >"$dir/r$i.log" 2>&1 &
    pid=$!
    ms=$((RANDOM % (demora + 1)))
    sleep "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))"
    "$obrero" "$programa" asientos "$asientos" "$i" >"$dir/a$i.log" 2>&1
    rc=$?
    { wait "$pid"; } 2>/dev/null
    rr=$?
    [ "$rc" -eq 0 ] || falla "el que guarda asientos terminó con $rc: $(grep -m 2 '^error' "$dir/a$i.log")"
    if [ "$rr" -eq 0 ]; then
        recuperadas=$((recuperadas + 1))
    elif grep -q 'abierta por otro usuario' "$dir/r$i.log"; then
        rechazadas=$((rechazadas + 1))
    else
        falla "la recuperación terminó con $rr: $(grep -m 2 '^error' "$dir/r$i.log")"
    fi
    "$obrero" "$programa" verifico --sin-huecos "$dir/preparo.log" "$dir/semilla.log" "$dir/a$i.log" \
        >"$dir/verifico.log" 2>&1 || falla "$(grep -v '^verificado' "$dir/verifico.log" | head -n 5)"
done
echo "vueltas $vueltas (una recuperación tarda $demora ms): $recuperadas recuperaciones hechas, $rechazadas rechazadas por estar la base en uso; $asientos asientos por vuelta"
if ((fallas > 0)); then
    echo "$fallas fallas; la carpeta queda en $dir"
    exit 1
fi
BorroServidor
rm -rf "$dir"
