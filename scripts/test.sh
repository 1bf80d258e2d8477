#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
RAIZ="$PWD"

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

"$RAIZ/scripts/firebird-server.sh" start
trap '"$RAIZ/scripts/firebird-server.sh" stop' EXIT
export VORNEX_TESTE_SERVIDOR=127.0.0.1

cd build
ctest --output-on-failure -j2
