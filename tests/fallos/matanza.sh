#!/usr/bin/env bash
# Kills the worker with SIGKILL at random moments while it saves entries, pastes charts, closes and
# opens years, backs up, makes new databases, opens sessions and edits the chart, and checks the book after every kill:
# the engine's own checks, whole entries, whole charts, closing entries both or neither, a backup
# sound or absent, and every operation the worker reported still there.
#
#   matanza.sh <obrero> [vueltas]
# FALLOS_VUELTAS overrides vueltas; FALLOS_SEMILLA repeats a run; FALLOS_OPERACIONES="pego cierre"
# kills only those operations.
set -u
obrero=$1
vueltas=${FALLOS_VUELTAS:-${2:-20}}
RANDOM=${FALLOS_SEMILLA:-$$}
dir=$(mktemp -d "${TMPDIR:-/tmp}/matanza.XXXXXX")
programa=$dir/programa
# The workers' scratch folders (a killed one leaves its own behind) go away with the run's folder.
export TMPDIR=$dir/tmp
mkdir -p "$TMPDIR"
mkdir "$programa"
[ -n "${FALLOS_INI:-}" ] && cat "$FALLOS_INI" >"$programa/Partidex.ini"
base=$programa/Partidex.MDB

fallas=0
falla() {
    echo "FALLA (vuelta $i, $op): $*"
    fallas=$((fallas + 1))
}

# The engine's own checks on the file, when the book is an SQLite file.
chequeo_sqlite() {
    [ -f "$base" ] || return 0
    local r
    r=$(sqlite3 "$base" "PRAGMA integrity_check;" 2>&1)
    [ "$r" = ok ] || falla "integrity_check: $r"
    r=$(sqlite3 "$base" "PRAGMA foreign_key_check;" 2>&1)
    [ -z "$r" ] || falla "foreign_key_check: $r"
}

i=0 op=preparo
"$obrero" "$programa" preparo >"$dir/preparo.log" 2>&1 || {
    cat "$dir/preparo.log"
    exit 1
}

read -r -a operaciones <<<"${FALLOS_OPERACIONES:-asientos asientos pego cierre backup creo sesiones cuentas mezcla}"
muertes=0
declare -A porOperacion
for ((i = 1; i <= vueltas; i++)); do
    op=${operaciones[RANDOM % ${#operaciones[@]}]}
    registro=$dir/$(printf 'r%04d' "$i")-$op.log
    : >"$registro" # there even when the kill comes before the worker opens it
    "$obrero" "$programa" "$op" 1000000 "$RANDOM$i" >"$registro" 2>"$dir/stderr.log" &
    pid=$!
    # One kill in five lands in the first 60 ms (start-up, the first statements); the rest up to 1.5 s.
    if ((RANDOM % 5 == 0)); then ms=$((RANDOM % 60)); else ms=$((60 + RANDOM % 1440)); fi
    sleep "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))"
    kill -KILL "$pid" 2>/dev/null && muertes=$((muertes + 1))
    { wait "$pid"; } 2>/dev/null
    rc=$?
    [ "$rc" -eq 137 ] || falla "el obrero terminó con $rc antes de ser matado: $(tail -n 2 "$registro")"
    porOperacion[$op]=$((${porOperacion[$op]:-0} + 1))
    chequeo_sqlite
    "$obrero" "$programa" verifico "$registro" >"$dir/verifico.log" 2>&1 || falla "$(cat "$dir/verifico.log")"
done

# At the end, every operation reported by every run is still there.
i=final op=todas
"$obrero" "$programa" verifico "$dir"/preparo.log "$dir"/r*.log >"$dir/verifico.log" 2>&1 || falla "$(cat "$dir/verifico.log")"
chequeo_sqlite
resumen=$(tail -n 1 "$dir/verifico.log")
restos=$(find "$programa" -name '*.nuevo-*' -o -name '*.nueva-*' | wc -l)
echo "vueltas $vueltas, muertes $muertes, por operación: $(for k in "${!porOperacion[@]}"; do printf '%s=%s ' "$k" "${porOperacion[$k]}"; done)"
echo "$resumen; copias a medio escribir que quedaron con nombre provisorio: $restos; carpetas provisorias que quedaron: $(find "$TMPDIR" -mindepth 1 -maxdepth 1 | wc -l)"
if ((fallas > 0)); then
    echo "$fallas fallas; la carpeta queda en $dir"
    exit 1
fi
rm -rf "$dir"
