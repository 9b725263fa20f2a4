#!/usr/bin/env bash
# Comprueba que un PDF impreso lleva las filas de la tabla de trabajo que dejó orvo-informes en
# su volcado: la cuenta y el principio de la descripción de cada una (las largas se acortan).
# Uso: filas_impresas.sh DOCUMENTO.pdf VOLCADO.json. Dice cuántas filas encontró.
set -euo pipefail
export LC_ALL=C.UTF-8
texto="$(pdftotext "$1" - | sed 's/ﬁ/fi/g; s/ﬂ/fl/g')"  # sin ligaduras
valores=0
while IFS= read -r valor; do
  grep -qF -- "${valor:0:30}" <<<"$texto" || { echo "Falta «$valor» en $1" >&2; exit 1; }
  valores=$((valores + 1))
done < <(sed -n 's/^ *"\(Codigo\|Descripcion\)": "\(.*\)",\?$/\2/p' "$2")
[ "$valores" -gt 0 ] || { echo "El volcado $2 no tiene filas" >&2; exit 1; }
echo "$((valores / 2)) filas"
