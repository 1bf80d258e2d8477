#!/usr/bin/env bash
# Creates the demo installations under DIR: the CUNE consortium (DIR/consorcio) and its member
# municipality Porto Alegre (DIR/municipio), each with its vornex.conf, a new embedded database
# and the sample rows.
#   scripts/cria-demo.sh DIR
set -euo pipefail
cd "$(dirname "$0")/.."
DEMO="${1:-$PWD/demo}"
mkdir -p "$DEMO"
DEMO="$(cd "$DEMO" && pwd)"

# cria PASTA USUARIO [more GERAL lines...]
cria() {
  local pasta="$DEMO/$1" usuario="$2"
  shift 2
  mkdir -p "$pasta"
  {
    echo "[GERAL]"
    echo "DATABASE=$pasta/vornex.fdb"
    echo "USUARIO=$usuario"
    echo "CONSORCIO=CUNE"
    echo "ATIVARFTP=False"
    for l in "$@"; do echo "$l"; done
  } | sed 's/$/\r/' > "$pasta/vornex.conf"
  rm -f "$pasta/vornex.fdb"
  ./build/vornex --pasta "$pasta" --novo-banco "$pasta/vornex.fdb" >/dev/null
  # The sample rows are UTF-8 text; the connection converts them to the database's WIN1252.
  isql-fb -q -user SYSDBA -password "${VORNEX_DB_SENHA:-masterkey}" -ch UTF8 "$pasta/vornex.fdb" \
    -i scripts/demo/dados.sql
  cp scripts/demo/logoconsorcio.jpg "$pasta/"
}

cria consorcio CUNE
cria municipio M4314902 CEP=90010000 "PREFEITURA=PREFEITURA MUNICIPAL DE PORTO ALEGRE"

echo "Demo installations created in $DEMO:"
echo "  $DEMO/consorcio  the CUNE consortium (registries, billing)"
echo "  $DEMO/municipio  municipality 4314902 of the consortium (patients, authorizations)"
echo "Log in with user demo, password demo123."
