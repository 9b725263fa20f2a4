#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace orvo::LibrosEjemplo {

// Escribe en 'ruta' (un archivo o la URI de una base vacía de un servidor) una base de
// contabilidad nueva con los libros de ejemplo: tres empresas,
// su cuadro de cuentas, los epígrafes de los dos estados, un año de asientos y el presupuesto.
// Las columnas mensuales de Cuenta y Estructura quedan como las deja la rutina de asientos.
// Lanza ErrorOrvo si el archivo ya existe, la base ya tiene libros o no se puede escribir; nunca
// deja nada a medias.
void crear(const QString& ruta);

// Orden "orvo-informes ejemplo FILE": 0 hecho, 1 error al escribir, 2 uso incorrecto.
int orden(const QStringList& argumentos, QTextStream& err);

}  // namespace orvo::LibrosEjemplo
