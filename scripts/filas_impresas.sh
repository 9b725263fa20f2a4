#!/usr/bin/env bash
# Comprueba que un PDF impreso lleva las filas de la tabla de trabajo que dejó orvo-informes en
# su volcado: la cuenta y la descripción entera de cada una (las largas siguen en las líneas de
# debajo; el texto se lee en el orden en que se escribió y sin blancos, así que da igual dónde
# se partan). Uso: filas_impresas.sh DOCUMENTO.pdf VOLCADO.json. Dice cuántas filas encontró.
set -euo pipefail
export LC_ALL=C.UTF-8
sin_blancos() { tr -d '[:space:]'; }
texto="$(pdftotext -raw "$1" - | sed 's/ﬁ/fi/g; s/ﬂ/fl/g' | sin_blancos)"  # sin ligaduras
valores=0
while IFS= read -r valor; do
  grep -qF -- "$(sin_blancos <<<"$valor")" <<<"$texto" || { echo "Falta «$valor» en $1" >&2; exit 1; }
  valores=$((valores + 1))
done < <(sed -n 's/^ *"\(Codigo\|Descripcion\)": "\(.*\)",\?$/\2/p' "$2")
[ "$valores" -gt 0 ] || { echo "El volcado $2 no tiene filas" >&2; exit 1; }
echo "$((valores / 2)) filas"
