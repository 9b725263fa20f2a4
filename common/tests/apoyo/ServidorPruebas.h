#pragma once

// El servidor PostgreSQL de las pruebas: scripts/pruebas.sh lo arranca y deja su URI en
// ORVO_PRUEBAS_POSTGRESQL. Sin ella (ctest a mano), las pruebas que lo necesitan se saltan.
#include <QUrl>
#include <QtTest>

#include "Conexion.h"

namespace orvo::prueba {

inline QString uriServidorPruebas() {
    return qEnvironmentVariable("ORVO_PRUEBAS_POSTGRESQL");
}

// La misma base 'base' (una URI del servidor de pruebas) en su réplica en espera activa, si
// scripts/servidor_pruebas.sh la ha arrancado (ORVO_PRUEBAS_REPLICA); vacía si no.
inline QString enReplicaPruebas(const QString& base) {
    const QString replica = qEnvironmentVariable("ORVO_PRUEBAS_REPLICA");
    if (replica.isEmpty()) return {};
    QUrl u(replica);
    u.setPath(QUrl(base).path());
    return u.toString();
}

// Una base vacía 'nombre' en el servidor (la de una ejecución anterior se borra); su URI.
inline QString baseNuevaEnServidor(const QString& nombre) {
    auto con = Conexion::abrir(uriServidorPruebas());
    con->Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nombre));
    con->Execute(QStringLiteral("CREATE DATABASE %1").arg(nombre));
    QUrl u(uriServidorPruebas());
    u.setPath(u'/' + nombre);
    return u.toString();
}

}  // namespace orvo::prueba

#define ORVO_SALTAR_SIN_SERVIDOR()                                                    \
    do {                                                                              \
        if (orvo::prueba::uriServidorPruebas().isEmpty())                             \
            QSKIP(                                                                    \
                "Sin servidor PostgreSQL: ORVO_PRUEBAS_POSTGRESQL no está definida " \
                "(scripts/pruebas.sh lo arranca)");                                   \
    } while (false)

#define ORVO_SALTAR_SIN_REPLICA()                                                    \
    do {                                                                             \
        if (qEnvironmentVariableIsEmpty("ORVO_PRUEBAS_REPLICA"))                     \
            QSKIP(                                                                   \
                "Sin réplica del servidor: ORVO_PRUEBAS_REPLICA no está definida " \
                "(scripts/pruebas.sh la arranca)");                                  \
    } while (false)
