#!/usr/bin/env bash
# Starts the demo FTP server (127.0.0.1:2121, folder demo/ftp) in the background unless it is
# already listening. Its log goes to demo/ftp.log.
#   scripts/ftp-demo.sh [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
DEMO="${1:-$PWD/demo}"
PORTA=2121
if (exec 3<>/dev/tcp/127.0.0.1/$PORTA) 2>/dev/null; then
  echo "demo FTP server already listening on 127.0.0.1:$PORTA"
  exit 0
fi
mkdir -p "$DEMO/ftp"
nohup python3 scripts/demo/servidor-ftp.py "$DEMO/ftp" "$PORTA" >"$DEMO/ftp.log" 2>&1 &
for _ in $(seq 1 50); do
  if (exec 3<>/dev/tcp/127.0.0.1/$PORTA) 2>/dev/null; then
    echo "demo FTP server started on 127.0.0.1:$PORTA (files in $DEMO/ftp)"
    exit 0
  fi
  sleep 0.1
done
echo "the demo FTP server did not start, see $DEMO/ftp.log" >&2
exit 1
