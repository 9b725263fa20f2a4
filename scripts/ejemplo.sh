#!/usr/bin/env bash
# Prepara la máquina, compila, crea los libros de ejemplo si faltan y abre el anfitrión con
# ellos. Sin pantalla (ni DISPLAY ni WAYLAND_DISPLAY) escribe en salida/ el balance de
# situación, el de sumas y saldos, el libro diario y los libros de IVA en PDF.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz="$(pwd)"
build="${ORVO_BUILD:-build}"  # carpeta de compilación
scripts/dependencias.sh
echo "Compilando en $build/ (la primera vez tarda unos minutos)..."
scripts/compilar.sh "$build"

salida="$raiz/salida"
libros="$salida/LibrosEjemplo.db"
app="$salida/aplicacion"
mkdir -p "$salida"
if [ ! -f "$libros" ]; then
  "$build"/orvo-informes ejemplo "$libros"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Abriendo el anfitrión con $libros"
  exec "$build"/orvo-contabilidad "$libros" --ruta "$app"
fi

# Sin pantalla: los informes principales de Almacenes Moncayo, 2023, en euros.
informe() {
  local archivo="$1"; shift
  "$build"/orvo-informes "$@" --contabilidad "$libros" --empresa 1 --ruta "$app" \
    --destino archivo --archivo "$salida/$archivo" 2>/dev/null >/dev/null \
    || { echo "No se pudo escribir $archivo" >&2; return 1; }
  echo "  $salida/$archivo"
}
echo "No hay pantalla: se escriben los informes de ejemplo en PDF:"
informe balance_de_situacion.pdf ImprimirBalanceSituacion --control 'chkBalance(5)=1'
informe perdidas_y_ganancias.pdf ImprimirBalancePYG --control 'chkBalance(4)=1'
informe sumas_y_saldos.pdf ImprimirBalanceSumasySaldos
informe libro_diario.pdf ImprimirLibroDiario
informe iva_facturas_emitidas.pdf ImprimirFacturasEmitidas
informe iva_facturas_recibidas.pdf ImprimirFacturasRecibidas
echo "Libros de ejemplo: $libros"
