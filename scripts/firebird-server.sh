#!/usr/bin/env bash
# Starts (or stops) the local Firebird 3 server used by the server-mode tests, with the SYSDBA
# password the program uses by default.
#   scripts/firebird-server.sh start|stop
set -euo pipefail

SENHA="${VORNEX_DB_SENHA:-masterkey}"
SECDB=/var/lib/firebird/3.0/system/security3.fdb
SUDO=()
[ "$(id -u)" -ne 0 ] && SUDO=(sudo)

running() { pgrep -x firebird >/dev/null 2>&1; }

# True when the running server accepts the program's SYSDBA password.
accepts() {
  local out
  out=$(echo "quit;" | isql-fb -q -user SYSDBA -password "$SENHA" "127.0.0.1:/nonexistent/vornex-check.fdb" 2>&1 || true)
  ! grep -qi "password\|login" <<<"$out"
}

stop() {
  if [ -x /etc/init.d/firebird3.0 ]; then
    "${SUDO[@]}" /etc/init.d/firebird3.0 stop >/dev/null 2>&1 || true
  fi
  "${SUDO[@]}" pkill -x fbguard 2>/dev/null || true
  "${SUDO[@]}" pkill -x firebird 2>/dev/null || true
  for _ in $(seq 1 50); do
    running || return 0
    sleep 0.1
  done
}

case "${1:-start}" in
start)
  if running && accepts; then
    exit 0
  fi
  # A server started by the package's install has another password: restart it with ours.
  running && stop
  # Set the password through the embedded engine while the server is down.
  "${SUDO[@]}" isql-fb -q -user SYSDBA "$SECDB" >/dev/null <<SQL
create or alter user SYSDBA password '$SENHA' using plugin Srp;
commit;
SQL
  "${SUDO[@]}" mkdir -p /run/firebird3.0
  "${SUDO[@]}" chown firebird:firebird /run/firebird3.0 2>/dev/null || true
  if [ -x /etc/init.d/firebird3.0 ]; then
    "${SUDO[@]}" /etc/init.d/firebird3.0 start >/dev/null 2>&1 || true
  fi
  if ! running; then
    "${SUDO[@]}" /usr/sbin/fbguard -daemon -forever
  fi
  for _ in $(seq 1 50); do
    if (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then
      exit 0
    fi
    sleep 0.2
  done
  echo "Firebird server did not start" >&2
  exit 1
  ;;
stop)
  stop
  ;;
esac
