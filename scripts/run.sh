#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo installations (demo/) when there are none and
# starts the program on one of them.
#   scripts/run.sh [consorcio|municipio|entidade]      (default: consorcio)
set -euo pipefail
cd "$(dirname "$0")/.."

QUAL="${1:-consorcio}"
case "$QUAL" in
  consorcio|municipio|entidade) ;;
  *) echo "usage: $0 [consorcio|municipio|entidade]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target vornex

DEMO="$PWD/demo"
# Only the installations that are missing are created; existing ones keep their rows.
FALTAM=()
for q in consorcio municipio entidade; do
  [ -f "$DEMO/$q/vornex.conf" ] || FALTAM+=("$q")
done
if [ ${#FALTAM[@]} -gt 0 ]; then
  ./scripts/cria-demo.sh "$DEMO" "${FALTAM[@]}"
fi

# Authorizations finalized at the municipality are uploaded to this server.
./scripts/ftp-demo.sh "$DEMO" || true

echo "Whole cycle: scripts/run.sh municipio (authorize, F10 sends) -> scripts/run.sh entidade (type the key,"
echo "Confirma) -> scripts/run.sh consorcio (Administrativo › Recepção de Base de Município/Entidades)."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop display found. The demo installations are ready in $DEMO."
  echo "To run the program on a virtual display:  xvfb-run -a ./build/vornex --pasta demo/$QUAL"
  exit 0
fi
exec ./build/vornex --pasta "$DEMO/$QUAL"
