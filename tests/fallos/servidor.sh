# Sourced by the fault runs: when the suite runs on a PostgreSQL cluster (PARTIDEX_PRUEBA_PG, set by
# scripts/pruebas_pg.sh as "host=... port=... user=..."), the run's book is a fresh database there and
# FALLOS_INI names the settings lines that point the program's folder at it. BorroServidor drops it.
#
#   PreparoServidor <carpeta de la corrida>     (false, with the reason, when it cannot be made)
baseServidor=""

PreparoServidor() {
    [ -n "${PARTIDEX_PRUEBA_PG:-}" ] && [ -z "${FALLOS_INI:-}" ] || return 0
    local host="" port=5432 user="" par
    for par in $PARTIDEX_PRUEBA_PG; do
        case $par in
        host=*) host=${par#host=} ;;
        port=*) port=${par#port=} ;;
        user=*) user=${par#user=} ;;
        esac
    done
    baseServidor="fallos_$(date +%s)_$$_$RANDOM"
    # Byte order of texts, as the file engine compares them; the Spanish order is asked for by name.
    psql "$PARTIDEX_PRUEBA_PG dbname=postgres" -v ON_ERROR_STOP=1 -q \
        -c "CREATE DATABASE $baseServidor TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'" || return 1
    printf '[Base de Datos]\nMotor=PostgreSQL\nServidor=%s\nPuerto=%s\nBase=%s\nUsuario=%s\n' \
        "$host" "$port" "$baseServidor" "$user" >"$1/servidor.ini"
    export FALLOS_INI=$1/servidor.ini
}

BorroServidor() {
    [ -n "$baseServidor" ] || return 0
    psql "$PARTIDEX_PRUEBA_PG dbname=postgres" -q -c "DROP DATABASE IF EXISTS $baseServidor WITH (FORCE)"
}
