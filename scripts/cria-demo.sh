#!/usr/bin/env bash
# Creates a demo installation folder: vornex.conf, a new embedded database and sample data.
#   scripts/cria-demo.sh DIR
set -euo pipefail
cd "$(dirname "$0")/.."
DEMO="${1:-$PWD/demo}"
mkdir -p "$DEMO"
DEMO="$(cd "$DEMO" && pwd)"
BANCO="$DEMO/vornex.fdb"

cat > "$DEMO/vornex.conf" <<CONF
[GERAL]
DATABASE=$BANCO
USUARIO=M4314902
CONSORCIO=CUNE
ATIVARFTP=False
CEP=90010000
PREFEITURA=PREFEITURA MUNICIPAL DE PORTO ALEGRE
CONF
sed -i 's/$/\r/' "$DEMO/vornex.conf"

rm -f "$BANCO"
./build/vornex --pasta "$DEMO" --novo-banco "$BANCO" >/dev/null
isql-fb -q -user SYSDBA -password "${VORNEX_DB_SENHA:-masterkey}" -ch WIN1252 "$BANCO" -i scripts/demo/dados.sql

cp scripts/demo/logoconsorcio.jpg "$DEMO/"
echo "Demo installation created in $DEMO (municipality 4314902 of a CUNE consortium)."
echo "Log in with user demo, password demo123."
