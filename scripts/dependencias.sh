#!/usr/bin/env bash
# Instala los paquetes de Debian 12 que el proyecto necesita, solo si faltan.
set -euo pipefail
paquetes=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
          qt6-translations-l10n
          libsqlite3-dev libxlsxwriter-dev zlib1g-dev libqpdf-dev libpq-dev libssl-dev postgresql-15 unzip ccache
          fonts-dejavu-core poppler-utils cups printer-driver-cups-pdf dpkg-dev hledger)
faltan=()
for p in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
done
if ((${#faltan[@]})); then
  echo "Instalando: ${faltan[*]}"
  sudo_=""
  [ "$(id -u)" -ne 0 ] && sudo_="sudo"
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${faltan[@]}"
fi
