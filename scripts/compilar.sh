#!/usr/bin/env bash
# Compila en build/ (o en la carpeta y con las opciones que se pasen).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"; shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
