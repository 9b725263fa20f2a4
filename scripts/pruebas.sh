#!/usr/bin/env bash
# Prepara la máquina, compila y pasa todas las pruebas: primero la compilación normal y
# después otra con AddressSanitizer y UndefinedBehaviorSanitizer. Las pruebas de libros en un
# servidor usan un PostgreSQL de usar y tirar que se para al salir, pase lo que pase.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/dependencias.sh
export QT_QPA_PLATFORM=offscreen
# Los avisos del compilador son errores aquí: lo que entra en main compila limpio.
scripts/compilar.sh build -DORVO_WERROR=ON -DORVO_PRUEBAS_PAQUETE=ON
source scripts/servidor_pruebas.sh
arrancar_servidor_pruebas
arrancar_replica_pruebas
ctest --test-dir build --output-on-failure -j2
scripts/compilar.sh build-san -DORVO_SANITIZERS=ON -DCMAKE_BUILD_TYPE=Debug -DORVO_WERROR=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-san --output-on-failure -j2 -LE lento
