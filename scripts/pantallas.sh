#!/usr/bin/env bash
# Every registered screen opened over the maximized trial balance of the demonstration book, at
# 1366x768 and at twice the scale on a display twice as large; fails naming any control a screen's size
# leaves cut or outside. The pictures stay in the folder given (default: a scratch folder).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/instalo.sh >/dev/null
[ -d build ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target partidex-capturas -j"$(nproc)" >/dev/null
destino=${1:-$(mktemp -d)}
estado=0
for caso in "1 1366x768" "2 2732x1536"; do
  read -r escala pantalla <<<"$caso"
  mkdir -p "$destino/x$escala"
  echo "Pantallas a ${pantalla}, escala ${escala}: $destino/x$escala"
  if ! LC_ALL=C.UTF-8 QT_SCALE_FACTOR=$escala xvfb-run -a -s "-screen 0 ${pantalla}x24" \
    ./build/demo/partidex-capturas --pantallas "$destino/x$escala" >"$destino/x$escala/salida.txt" 2>&1; then
    estado=1
  fi
  grep -v '^Escrita' "$destino/x$escala/salida.txt" || true
done
exit $estado
