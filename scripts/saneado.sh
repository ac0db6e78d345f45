#!/usr/bin/env bash
# Checked build: builds Partidex with clang, AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer
# coverage in build-saneado/, runs the whole test suite under it (leaks checked), then runs each fuzz
# target for a bounded time (PARTIDEX_FUZZ_SEGUNDOS, 30 s by default) from a fixed random seed
# (PARTIDEX_FUZZ_SEMILLA, 1 by default, so that CI repeats its inputs; another seed explores further) on a
# copy of its seed inputs, so that the repository's corpus does not grow. Any finding fails the script; a fuzz input that fails is
# kept in build-saneado/fuzz/hallazgos/.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$PWD
inicio=$SECONDS
bash scripts/instalo.sh --saneado
cmake -S . -B build-saneado -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPARTIDEX_FUZZ=ON \
  -DPARTIDEX_ESTRICTO="${PARTIDEX_ESTRICTO:-OFF}" \
  >/dev/null
cmake --build build-saneado -j"$(nproc)"

# Findings inside Qt or a system library are listed, each with its reason, in scripts/saneado.supp.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$raiz/scripts/saneado.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(
  cd build-saneado
  # The fault runs (label fallos) kill and race whole processes: they are run by the plain suite.
  QTEST_DISABLE_STACK_DUMP=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200 -LE fallos -j"$(nproc)"
)

segundos=${PARTIDEX_FUZZ_SEGUNDOS:-30}
trabajo=$(mktemp -d)
trap 'rm -rf "$trabajo"' EXIT
memoria=/dev/shm
[ -d "$memoria" ] && [ -w "$memoria" ] || memoria=${TMPDIR:-/tmp}
hallazgos=$raiz/build-saneado/fuzz/hallazgos
mkdir -p "$hallazgos"
for ruta in fuzz/corpus/*/; do
  objetivo=$(basename "$ruta")
  mkdir -p "$trabajo/$objetivo"
  cp "$ruta"* "$trabajo/$objetivo/"
  echo "== $objetivo: ${segundos} s"
  # The targets' scratch files go to memory: writing settings files to disk would slow them down.
  TMPDIR=$memoria "build-saneado/fuzz/$objetivo" -max_total_time="$segundos" -seed="${PARTIDEX_FUZZ_SEMILLA:-1}" -print_final_stats=1 \
    -artifact_prefix="$hallazgos/$objetivo-" "$trabajo/$objetivo" 2>&1 | grep -v -E '^#[0-9]+|NEW_FUNC' || {
    echo "$objetivo falló: la entrada quedó en $hallazgos" >&2
    exit 1
  }
done
echo "saneado: $((SECONDS - inicio)) s"
