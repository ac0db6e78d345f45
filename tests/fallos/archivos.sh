#!/usr/bin/env bash
# File faults: a disk that fills up while entries are saved, while the database is compacted and while
# the backup is written; a program folder and a backup folder that cannot be written. Each must end in
# a clear message with the previous good files intact: the book whole with everything reported saved,
# the previous backup unchanged, nothing made where it should not be.
#
# As root the disks are small tmpfs mounts and the read-only folders read-only bind mounts; otherwise
# the file size limit (ulimit -f) plays the full disk and the folders lose their write permission.
#
#   archivos.sh <obrero>
set -u
obrero=$1
dir=$(mktemp -d "${TMPDIR:-/tmp}/archivos.XXXXXX")
export XDG_CONFIG_HOME=$dir/config # a folder that cannot be written sends the settings here
montajes=()
desmonto() {
    for m in "${montajes[@]}"; do umount "$m" 2>/dev/null; done
    montajes=()
}
trap desmonto EXIT
fallas=0
caso=""
falla() {
    echo "FALLA ($caso): $*"
    fallas=$((fallas + 1))
}
huella() { sha1sum <"$1" | cut -d' ' -f1; }
# A small disk of n KB at the folder, or false when this user cannot mount one.
disco() {
    mkdir -p "$2"
    [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o "size=${1}k" tmpfs "$2" 2>/dev/null && montajes+=("$2")
}
solo_lectura() {
    if [ "$(id -u)" -eq 0 ]; then
        mount --bind "$1" "$1" 2>/dev/null && montajes+=("$1") && mount -o remount,ro,bind "$1" "$1" 2>/dev/null
    else
        chmod a-w "$1"
    fi
}
# The worker's run must end with status 2 and an error line holding the text.
espero_error() {
    local registro=$1 rc=$2 texto=$3
    [ "$rc" -eq 2 ] || falla "terminó con $rc, se esperaba un error: $(tail -n 2 "$registro")"
    grep -q "^error .*$texto" "$registro" || falla "el mensaje no dice \"$texto\": $(grep '^error' "$registro")"
}
# The book is whole and holds what the worker reported (the error line apart).
verifico() {
    grep -v '^error' "$1" >"$1.hecho"
    if [ -f "$2/Partidex.MDB" ]; then
        local r
        r=$(sqlite3 "$2/Partidex.MDB" "PRAGMA integrity_check; PRAGMA foreign_key_check;" 2>&1)
        [ "$r" = ok ] || falla "$r"
    fi
    "$obrero" "$2" verifico "$1.hecho" >"$dir/verifico.log" 2>&1 || falla "$(cat "$dir/verifico.log")"
}

# A book with some entries and a backup, copied into each case.
libro=$dir/libro
mkdir -p "$libro"
"$obrero" "$libro" preparo >"$dir/libro.log" && "$obrero" "$libro" asientos 200 >>"$dir/libro.log" &&
    "$obrero" "$libro" backup 1 >/dev/null || {
    echo "no se pudo preparar el libro"
    exit 1
}
rm -f "$libro/Partidex.AUX" "$libro/Partidex.BAK.1"
kb=$(($(stat -c %s "$libro/Partidex.MDB") / 1024))
bak=$(huella "$libro/Partidex.BAK")

caso="disco lleno al guardar asientos"
p=$dir/lleno
if disco $((kb * 2 + 120)) "$p"; then
    cp "$libro"/* "$p"/
    "$obrero" "$p" asientos 1000000 >"$dir/lleno.log" 2>&1
    espero_error "$dir/lleno.log" $? "el disco está lleno"
else
    mkdir -p "$p" && cp "$libro"/* "$p"/
    (
        ulimit -f $((kb + 60))
        exec "$obrero" "$p" asientos 1000000
    ) >"$dir/lleno.log" 2>&1
    # A write past the limit is refused as a write error, not as a full disk.
    espero_error "$dir/lleno.log" $? "del disco"
fi
n=$(grep -c '^asiento' "$dir/lleno.log")
# Room again before the check: the checker opens a session as the program does, and a disk left
# full to the last page may refuse it that too. The files themselves are as the fault left them.
if [ ${#montajes[@]} -gt 0 ]; then mount -o remount,size=$((kb * 4 + 1024))k "$p"; fi
verifico "$dir/lleno.log" "$p"
[ "$(huella "$p/Partidex.BAK")" = "$bak" ] || falla "la copia de seguridad cambió"
# With room again the same book takes entries as before.
"$obrero" "$p" asientos 5 >"$dir/despues.log" 2>&1 || falla "con espacio libre no se guarda: $(tail -n 1 "$dir/despues.log")"
echo "$caso: $n asientos guardados antes del error"
desmonto

caso="disco lleno al compactar"
p=$dir/compacto
if disco $((kb * 2 + 120)) "$p"; then
    cp "$libro"/* "$p"/
    "$obrero" "$p" backup 1 >"$dir/compacto.log" 2>&1
    espero_error "$dir/compacto.log" $? "el disco está lleno"
    verifico "$dir/compacto.log" "$p"
    [ "$(huella "$p/Partidex.BAK")" = "$bak" ] || falla "la copia de seguridad cambió"
    grep '^error' "$dir/compacto.log"
    desmonto
fi

caso="disco lleno al escribir la copia de seguridad"
p=$dir/copia
mkdir -p "$p"
cp "$libro"/* "$p"/
if disco $((kb + 40)) "$dir/usb"; then
    cp "$libro/Partidex.BAK" "$dir/usb/"
    printf '[Mantenimiento de Base de Datos]\r\nBase Back Up=%s\r\n' "$dir/usb/Partidex.BAK" >"$p/Partidex.ini"
    "$obrero" "$p" backup 1 >"$dir/copia.log" 2>&1
    espero_error "$dir/copia.log" $? "no se pudo escribir"
    verifico "$dir/copia.log" "$p"
    [ "$(huella "$dir/usb/Partidex.BAK")" = "$bak" ] || falla "la copia de seguridad cambió"
    [ -z "$(ls "$dir/usb" | grep -v '^Partidex.BAK$')" ] || falla "quedaron restos: $(ls "$dir/usb")"
    grep '^error' "$dir/copia.log"
    desmonto
fi

caso="carpeta de la copia de solo lectura"
p=$dir/copia2
mkdir -p "$p" "$dir/protegida"
cp "$libro"/* "$p"/
cp "$libro/Partidex.BAK" "$dir/protegida/"
printf '[Mantenimiento de Base de Datos]\r\nBase Back Up=%s\r\n' "$dir/protegida/Partidex.BAK" >"$p/Partidex.ini"
solo_lectura "$dir/protegida"
"$obrero" "$p" backup 1 >"$dir/copia2.log" 2>&1
espero_error "$dir/copia2.log" $? "no se pudo escribir"
verifico "$dir/copia2.log" "$p"
[ "$(huella "$dir/protegida/Partidex.BAK")" = "$bak" ] || falla "la copia de seguridad cambió"
grep '^error' "$dir/copia2.log"
desmonto
chmod -R u+w "$dir/protegida"

caso="recuperación desde una copia de solo lectura"
p=$dir/recupero
mkdir -p "$p"
cp "$libro"/* "$p"/
printf '[Mantenimiento de Base de Datos]\r\nBase Back Up=%s\r\n' "$dir/protegida/Partidex.BAK" >"$p/Partidex.ini"
"$obrero" "$p" asientos 3 >/dev/null
solo_lectura "$dir/protegida"
"$obrero" "$p" recupero >"$dir/recupero.log" 2>&1 || falla "$(cat "$dir/recupero.log")"
desmonto
verifico "$dir/libro.log" "$p"
n=$(sqlite3 "$p/Partidex.MDB" "SELECT COUNT(*) FROM Asientos")
[ "$n" -eq "$(grep -c '^asiento' "$dir/libro.log")" ] || falla "después de recuperar hay $n asientos"
chmod -R u+w "$dir/protegida"

caso="carpeta del programa de solo lectura"
p=$dir/programa
mkdir -p "$p"
cp "$libro"/* "$p"/
mdb=$(huella "$p/Partidex.MDB")
solo_lectura "$p"
"$obrero" "$p" asientos 1 >"$dir/programa.log" 2>&1
espero_error "$dir/programa.log" $? "no permite escribir"
[ -z "$(find "$XDG_CONFIG_HOME" -name 'Partidex.MDB*')" ] || falla "se creó otra base de datos"
[ "$(huella "$p/Partidex.MDB")" = "$mdb" ] || falla "la base de datos cambió"
[ "$(huella "$p/Partidex.BAK")" = "$bak" ] || falla "la copia de seguridad cambió"
grep '^error' "$dir/programa.log"
desmonto
chmod -R u+w "$p"

if ((fallas > 0)); then
    echo "$fallas fallas; la carpeta queda en $dir"
    exit 1
fi
rm -rf "$dir"
