#!/usr/bin/env bash
# Several workers at once on one book, each saving entries mixed with sessions and chart edits: every
# reported entry stored once, numbers 1..N of the year without a gap, every entry whole and balanced,
# every session number given once, and no worker told of a failure (a locked database included).
#
#   concurrencia.sh <obrero> [obreros] [asientos]   (FALLOS_OBREROS, FALLOS_ASIENTOS override)
set -u
obrero=$1
obreros=${FALLOS_OBREROS:-${2:-4}}
asientos=${FALLOS_ASIENTOS:-${3:-200}}
dir=$(mktemp -d "${TMPDIR:-/tmp}/concurrencia.XXXXXX")
programa=$dir/programa
mkdir "$programa"
[ -n "${FALLOS_INI:-}" ] && cat "$FALLOS_INI" >"$programa/Partidex.ini"

"$obrero" "$programa" preparo >"$dir/preparo.log" 2>&1 || {
    cat "$dir/preparo.log"
    exit 1
}
fallas=0
pids=()
for ((k = 1; k <= obreros; k++)); do
    "$obrero" "$programa" mezcla "$asientos" "$k" >"$dir/o$k.log" 2>"$dir/o$k.err" &
    pids+=($!)
done
for ((k = 1; k <= obreros; k++)); do
    wait "${pids[k - 1]}"
    rc=$?
    if [ "$rc" -ne 0 ] || [ "$(tail -n 1 "$dir/o$k.log")" != fin ]; then
        echo "FALLA: el obrero $k terminó con $rc: $(grep -m 3 '^error' "$dir/o$k.log")"
        fallas=$((fallas + 1))
    fi
done
if [ -f "$programa/Partidex.MDB" ]; then
    r=$(sqlite3 "$programa/Partidex.MDB" "PRAGMA integrity_check; PRAGMA foreign_key_check;" 2>&1)
    [ "$r" = ok ] || {
        echo "FALLA: $r"
        fallas=$((fallas + 1))
    }
fi
if ! "$obrero" "$programa" verifico --sin-huecos "$dir/preparo.log" "$dir"/o*.log >"$dir/verifico.log" 2>&1; then
    fallas=$((fallas + 1))
fi
cat "$dir/verifico.log"
echo "$obreros obreros x $asientos asientos"
if ((fallas > 0)); then
    echo "$fallas fallas; la carpeta queda en $dir"
    exit 1
fi
rm -rf "$dir"
