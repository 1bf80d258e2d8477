#!/usr/bin/env bash
# Builds and runs the benchmarks, printing their figures.
#   scripts/bench.sh [name...]       (names without the bench_ prefix; default: all)
#   scripts/bench.sh --lista [DIR]   (only lists the benchmarks built in DIR, default build)
set -euo pipefail
cd "$(dirname "$0")/.."

# Benchmark programs of a build folder (its bench_*_autogen folders are not programs).
lista() {
  local f
  for f in "$1"/bench/bench_*; do
    if [ -f "$f" ] && [ -x "$f" ]; then
      basename "$f" | sed 's/^bench_//'
    fi
  done
}

if [ "${1:-}" = "--lista" ]; then
  lista "${2:-build}"
  exit 0
fi

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
nomes=("$@")
if [ ${#nomes[@]} -eq 0 ]; then
  mapfile -t nomes < <(lista build)
fi
for n in "${nomes[@]}"; do
  echo "== $n"
  "./build/bench/bench_$n"
done
