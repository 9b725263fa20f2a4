#!/usr/bin/env bash
# El paquete de Debian, como lo hace scripts/paquete.sh: se desempaqueta con dpkg -x en una raíz
# temporal y su orvo-informes imprime un informe con su biblioteca y sus plantillas, no con las
# de la compilación. Uso: prueba_paquete.sh CARPETA_DE_COMPILACION
set -euo pipefail
build="$(realpath "$1")"
scripts="$(dirname "$(realpath "$0")")/../../scripts"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fallo() { echo "FALLO: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/paquete" >/dev/null
deb=("$tmp"/paquete/*.deb)
dpkg -x "${deb[0]}" "$tmp/raiz"
usr="$tmp/raiz/usr"
for f in bin/orvo-contabilidad share/applications/orvo-contabilidad.desktop \
         share/doc/orvo-informes/manual/index.html share/doc/orvo-informes/manual/imagenes/anfitrion.png \
         share/icons/hicolor/scalable/apps/orvo-contabilidad.svg; do
  [ -f "$usr/$f" ] || fallo "el paquete no trae $f"
done

informes="$usr/bin/orvo-informes"
"$informes" ejemplo "$tmp/libros.db" >/dev/null
"$informes" ImprimirBalanceSumasySaldos --contabilidad "$tmp/libros.db" --empresa 1 \
  --ruta "$tmp/app" --destino archivo --archivo "$tmp/sumas.pdf" --volcado "$tmp/volcado.json" \
  >/dev/null || fallo "el orvo-informes del paquete no imprime"
"$scripts/filas_impresas.sh" "$tmp/sumas.pdf" "$tmp/volcado.json" >/dev/null \
  || fallo "el informe impreso desde el paquete no lleva sus filas"

# Sin una plantilla en el paquete, el informe no se imprime: las plantillas son las suyas.
rm "$usr/share/orvo-informes/plantillas/infCONT_Subcuentas.rpt"
if error="$("$informes" ImprimirSubcuentas --contabilidad "$tmp/libros.db" --empresa 1 \
             --ruta "$tmp/app2" --destino archivo --archivo "$tmp/subcuentas.pdf" 2>&1)" \
   || ! grep -q "No se encuentra la plantilla" <<<"$error"; then
  fallo "orvo-informes no usa las plantillas del paquete: $error"
fi
echo "Paquete $(basename "${deb[0]}") desempaquetado: el informe lleva sus filas"
