#!/usr/bin/env bash
# Compila en build/ (o en la carpeta y con las opciones que se pasen).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"; shift || true
# ccache, si la máquina lo tiene, ahorra las recompilaciones de la compilación con sanitizadores
# y de las copias de trabajo que comparten fuentes.
lanzador=()
command -v ccache >/dev/null && lanzador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${lanzador[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
