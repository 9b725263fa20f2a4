#!/usr/bin/env bash
# Servidor PostgreSQL 15 de usar y tirar para las pruebas que leen libros en un servidor.
#   source scripts/servidor_pruebas.sh && arrancar_servidor_pruebas
# deja en ORVO_PRUEBAS_POSTGRESQL la URI de una base vacía del superusuario y lo para al salir
# el proceso que lo ha cargado, acabe como acabe (trap). Escucha solo en un socket Unix de una
# carpeta temporal: no choca con otros servidores de la máquina.
#   arrancar_replica_pruebas
# añade una réplica en espera activa (hot standby) que sigue al servidor por su socket Unix y deja
# su URI en ORVO_PRUEBAS_REPLICA: los informes se pueden sacar de ella, nadie puede escribir.

bin_postgresql=/usr/lib/postgresql/15/bin

parar_servidor_pruebas() {
  if [ -n "${carpeta_servidor_pruebas:-}" ]; then
    # Se para como el usuario que lo arrancó; con -m fast no espera a los clientes.
    local datos
    for datos in "$carpeta_servidor_pruebas/replica/datos" "$carpeta_servidor_pruebas/datos"; do
      [ -d "$datos" ] && ${ejecutar_como_servidor} "$bin_postgresql/pg_ctl" -D "$datos" \
        -m fast -w stop >/dev/null 2>&1 || true
    done
    rm -rf "$carpeta_servidor_pruebas"
    carpeta_servidor_pruebas=""
  fi
}

arrancar_servidor_pruebas() {
  carpeta_servidor_pruebas="$(mktemp -d /tmp/orvo-postgresql.XXXXXX)"
  trap parar_servidor_pruebas EXIT
  trap 'exit 130' INT TERM
  # PostgreSQL no arranca como root: la integración continua corre como root.
  ejecutar_como_servidor=""
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$carpeta_servidor_pruebas"
    ejecutar_como_servidor="runuser -u postgres --"
  fi
  # Orden de texto por bytes, como SQLite: los informes ordenan igual en los dos motores.
  ${ejecutar_como_servidor} "$bin_postgresql/initdb" -D "$carpeta_servidor_pruebas/datos" \
    -U postgres -A trust -E UTF8 --locale=C.UTF-8 >/dev/null
  # El superusuario entra sin contraseña, también a copiar el servidor para la réplica; los demás
  # usuarios que creen las pruebas, con ella.
  printf 'local all postgres trust\nlocal replication postgres trust\nlocal all all scram-sha-256\n' \
    >"$carpeta_servidor_pruebas/datos/pg_hba.conf"
  ${ejecutar_como_servidor} "$bin_postgresql/pg_ctl" -D "$carpeta_servidor_pruebas/datos" -w \
    -l "$carpeta_servidor_pruebas/servidor.log" \
    -o "-c listen_addresses='' -c unix_socket_directories='$carpeta_servidor_pruebas' -c fsync=off -c max_connections=60" \
    start >/dev/null
  export ORVO_PRUEBAS_POSTGRESQL="postgresql://postgres@/postgres?host=$carpeta_servidor_pruebas"
}

arrancar_replica_pruebas() {
  local replica="$carpeta_servidor_pruebas/replica"
  # -R deja la réplica configurada para seguir al servidor (standby.signal y primary_conninfo con
  # su socket); -X stream copia también lo que se escriba mientras tanto.
  ${ejecutar_como_servidor} "$bin_postgresql/pg_basebackup" -h "$carpeta_servidor_pruebas" \
    -U postgres -D "$replica/datos" -R -X stream
  ${ejecutar_como_servidor} "$bin_postgresql/pg_ctl" -D "$replica/datos" -w \
    -l "$replica/servidor.log" \
    -o "-c listen_addresses='' -c unix_socket_directories='$replica' -c hot_standby=on -c fsync=off -c max_connections=60" \
    start >/dev/null
  export ORVO_PRUEBAS_REPLICA="postgresql://postgres@/postgres?host=$replica"
}
