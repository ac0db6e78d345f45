#!/usr/bin/env bash
# Installs the built program into a staging folder, checks what the desktop reads (launcher, AppStream
# metainfo), starts the staged program without a display and makes the Debian package in build/.
# Run after scripts/compilo.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz="$PWD/build/raiz"
rm -rf "$raiz"
DESTDIR="$raiz" cmake --install build --prefix /usr >/dev/null
for f in usr/bin/Partidex usr/bin/partidex-informe usr/share/applications/partidex.desktop \
  usr/share/man/man1/Partidex.1.gz usr/share/man/man1/partidex-informe.1.gz usr/share/doc/partidex/copyright \
  usr/share/doc/partidex/changelog.gz \
  usr/share/metainfo/io.github.partidex.partidex.metainfo.xml usr/share/icons/hicolor/48x48/apps/partidex.png \
  usr/share/icons/hicolor/scalable/apps/partidex.svg; do
  [ -e "$raiz/$f" ] || { echo "Falta $f en la instalación" >&2; exit 1; }
done
desktop-file-validate "$raiz/usr/share/applications/partidex.desktop"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$raiz/usr/share/metainfo/io.github.partidex.partidex.metainfo.xml"
fi
# The staged program answers without a display, from a folder it cannot write into.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$raiz/usr/bin/Partidex" --version | grep '^Partidex ' >/dev/null
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$raiz/usr/bin/Partidex" --help | grep '^Uso: Partidex' >/dev/null
(cd build && cpack -G DEB >/dev/null)
paquete=$(ls build/partidex_*.deb | head -1)
dpkg-deb --info "$paquete"
dpkg-deb --contents "$paquete" | grep './usr/bin/Partidex$' >/dev/null
# Debian's own checks of the package: no error and no warning.
if ! salida=$(lintian --fail-on error,warning "$paquete" 2>&1); then
  echo "$salida" >&2
  exit 1
fi
echo "Paquete: $paquete"
