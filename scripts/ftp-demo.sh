#!/usr/bin/env bash
# Starts the demo FTP server (127.0.0.1:2121, folder demo/ftp) in the background unless it is
# already listening, or stops it. Its log goes to demo/ftp.log.
#   scripts/ftp-demo.sh [DIR]          start
#   scripts/ftp-demo.sh stop [DIR]     stop (uploads then fail and wait in arquivosxml/env)
set -euo pipefail
cd "$(dirname "$0")/.."
ACAO=start
if [ "${1:-}" = "stop" ] || [ "${1:-}" = "start" ]; then
  ACAO="$1"
  shift
fi
DEMO="${1:-$PWD/demo}"
PORTA=2121
ouvindo() { (exec 3<>/dev/tcp/127.0.0.1/$PORTA) 2>/dev/null; }

if [ "$ACAO" = "stop" ]; then
  if [ -f "$DEMO/ftp.pid" ]; then
    kill "$(cat "$DEMO/ftp.pid")" 2>/dev/null || true
    rm -f "$DEMO/ftp.pid"
  fi
  pkill -f "scripts/demo/servidor-ftp.py $DEMO/ftp" 2>/dev/null || true
  for _ in $(seq 1 50); do
    if ! ouvindo; then
      echo "demo FTP server stopped"
      exit 0
    fi
    sleep 0.1
  done
  echo "something still listens on 127.0.0.1:$PORTA" >&2
  exit 1
fi

# The update site of the demo installations: a version document naming this program's version.
VERSAO="$(sed -n 's/.*VersaoPrograma = "\([^"]*\)".*/\1/p' src/core/UVariaveis.h)"
mkdir -p "$DEMO/ftp/atualizacao/CUNE"
printf '<versao><cabecalho><versaoAtual>%s</versaoAtual><link></link><mensagemMunic></mensagemMunic><obrigMunic>N</obrigMunic><mensagemEntidade></mensagemEntidade><obrigEntidade>N</obrigEntidade></cabecalho></versao>\n' \
  "$VERSAO" >"$DEMO/ftp/atualizacao/CUNE/versao.xml"

if ouvindo; then
  echo "demo FTP server already listening on 127.0.0.1:$PORTA"
  exit 0
fi
mkdir -p "$DEMO/ftp"
# The consortium's server holds the exchange folders and this month's billing folder (a month no
# provider has sent to yet would stop the consortium's reception at "(FALHOU)").
mkdir -p "$DEMO/ftp/cune/marcacao" "$DEMO/ftp/cune/faturamento/$(date +%Y_%m)"
nohup /usr/bin/python3 scripts/demo/servidor-ftp.py "$DEMO/ftp" "$PORTA" >"$DEMO/ftp.log" 2>&1 &
echo $! >"$DEMO/ftp.pid"
for _ in $(seq 1 50); do
  if ouvindo; then
    echo "demo FTP server started on 127.0.0.1:$PORTA (files in $DEMO/ftp)"
    exit 0
  fi
  sleep 0.1
done
echo "the demo FTP server did not start, see $DEMO/ftp.log" >&2
exit 1
