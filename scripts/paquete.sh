#!/usr/bin/env bash
# Compila (si hace falta) y hace el paquete de Debian en CARPETA/paquete/ (build/ por omisión).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
scripts/compilar.sh "$dir"
cpack -G DEB --config "$dir/CPackConfig.cmake" -B "$dir/paquete" >/dev/null
ls "$dir"/paquete/*.deb
