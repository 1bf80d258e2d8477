#!/usr/bin/env bash
# Builds and runs the benchmarks, printing their figures.
#   scripts/bench.sh [name...]   (names without the bench_ prefix; default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
nomes=("$@")
if [ ${#nomes[@]} -eq 0 ]; then
  for f in build/bench/bench_*; do
    # Skip the build's own folders (bench_*_autogen).
    [ -f "$f" ] && [ -x "$f" ] && nomes+=("$(basename "$f" | sed 's/^bench_//')")
  done
fi
for n in "${nomes[@]}"; do
  echo "== $n"
  "./build/bench/bench_$n"
done
