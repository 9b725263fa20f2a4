#!/usr/bin/env bash
# Prueba de impresión en una cola de verdad: arranca un planificador CUPS propio (configuración,
# cola y socket en una carpeta temporal, sin tocar el del sistema), pone una cola CUPS-PDF como
# impresora predeterminada, imprime el balance de sumas y saldos de los libros de ejemplo (dos
# páginas) con orvo-informes --destino impresora y comprueba que el trabajo termina, que el PDF
# de la cola tiene las páginas del informe y que el documento que recibió la cola lleva sus filas.
# Uso: cola_impresion.sh RUTA/orvo-informes. Sale con 77 (prueba omitida) si no es root o falta
# CUPS: el controlador CUPS-PDF solo funciona lanzado como root por el planificador.
set -euo pipefail
export LC_ALL=C.UTF-8
informes="$(realpath "$1")"
if [ "$(id -u)" -ne 0 ] || ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ]
then
  echo "Se omite: hace falta ser root con cups y printer-driver-cups-pdf instalados"
  exit 77
fi

dir="$(mktemp -d /tmp/orvo-cups.XXXXXX)"
chmod 755 "$dir"
cola="OrvoPrueba$$"
# CUPS-PDF solo lee su configuración de /etc/cups: una por cola, con el nombre que lleva su
# dirección (cups-pdf:/NOMBRE), que se borra al terminar.
conf_pdf="/etc/cups/cups-pdf-$cola.conf"
pid=""
parar() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -f "$conf_pdf"
  [ -n "${ORVO_CONSERVAR_COLA:-}" ] || rm -rf "$dir"
}
trap parar EXIT
fallo() {
  echo "FALLO: $*" >&2
  echo "--- registro del planificador ---" >&2
  cat "$dir/log/error_log" >&2 2>/dev/null || true
  exit 1
}

mkdir -p "$dir"/{conf/ppd,spool/tmp,cache,state,log,salida,app}
cat >"$dir/conf/cups-files.conf" <<EOF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Printcap $dir/printcap
User lp
Group lp
SystemGroup root
EOF
cat >"$dir/conf/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel info
Browsing No
# Guarda el documento que llega a la cola para poder leerlo después.
PreserveJobFiles Yes
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
printf 'Out %s/salida\nSpool %s/spool-pdf\nLog %s/log\nGrp lp\n' "$dir" "$dir" "$dir" \
  >"$conf_pdf"
chgrp lp "$dir/salida" && chmod 775 "$dir/salida"

cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" &
pid=$!
export CUPS_SERVER="$dir/cups.sock"
en_marcha() { lpstat -r 2>/dev/null | grep -q "is running"; }
for _ in $(seq 50); do en_marcha && break; sleep 0.2; done
en_marcha || fallo "el planificador no arranca"
lpadmin -p "$cola" -E -v "cups-pdf:/$cola" -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
lpadmin -d "$cola"

libros="$dir/app/LibrosEjemplo.db"
"$informes" ejemplo "$libros" >/dev/null
unset LPDEST PRINTER  # que mande la predeterminada del planificador
informe() {
  HOME="$dir/app" "$informes" ImprimirBalanceSumasySaldos --contabilidad "$libros" --empresa 1 \
    --ruta "$dir/app" --control 'lstBalance(1)=3,7' --control 'chkBalance(1)=1' "$@"
}
informe --destino archivo --archivo "$dir/referencia.pdf" >/dev/null
informe --destino impresora --volcado "$dir/volcado.json" >/dev/null \
  || fallo "orvo-informes no imprime en la cola"

for _ in $(seq 150); do
  grep -q "Job completed\|Job stopped\|aborted" "$dir/log/error_log" && break
  sleep 0.2
done
grep -q "\[Job [0-9]*\] Job completed" "$dir/log/error_log" || fallo "el trabajo no termina"

paginas() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }
salida=("$dir"/salida/*.pdf)
[ -f "${salida[0]}" ] || fallo "CUPS-PDF no ha escrito el PDF"
esperadas="$(paginas "$dir/referencia.pdf")"
[ "$(paginas "${salida[0]}")" = "$esperadas" ] \
  || fallo "el PDF de la cola tiene $(paginas "${salida[0]}") páginas y el informe $esperadas"

recibido=("$dir"/spool/d*-001)
[ -f "${recibido[0]}" ] || fallo "la cola no guardó el documento recibido"
filas="$("$(dirname "$0")"/filas_impresas.sh "${recibido[0]}" "$dir/volcado.json")" \
  || fallo "lo que recibió la cola no lleva las filas del informe"
echo "Impreso en la cola $cola: $esperadas páginas, $filas"
