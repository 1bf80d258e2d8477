#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo installation (demo/) when there is none and
# starts the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target vornex

DEMO="$PWD/demo"
if [ ! -f "$DEMO/vornex.conf" ]; then
  ./scripts/cria-demo.sh "$DEMO"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop display found. The demo installation is ready in $DEMO."
  echo "To run the program on a virtual display:  xvfb-run -a ./build/vornex --pasta demo"
  exit 0
fi
exec ./build/vornex --pasta "$DEMO"
