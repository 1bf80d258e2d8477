#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test VORNEX.
# Idempotent: does nothing when everything is present.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
  libcurl4-openssl-dev curl zlib1g-dev libxlsxwriter-dev libzint-dev
  python3 python3-pyftpdlib python3-aiosmtpd openssl poppler-utils xvfb xauth
  fonts-dejavu-core fonts-liberation qt6-translations-l10n
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  SUDO=(sudo -E)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
