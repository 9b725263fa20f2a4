#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "Moneda.h"

namespace orvo {

class Conexion;

// El cierre de un ejercicio: crea el ejercicio siguiente y su asiento de apertura. La
// regularización y el cierre del ejercicio cerrado no se guardan (AsientosFinales).
namespace Cierre {

struct Resultado {
    long siguiente = 0;         // la empresa del ejercicio nuevo
    QString ejercicio;          // su año
    qint64 lineasApertura = 0;  // apuntes del asiento de apertura
    Moneda resultado;           // del ejercicio cerrado, en euros; positivo, beneficio
    QString texto() const;      // una línea para quien cierra
};

// En una transacción: la empresa del ejercicio siguiente (nombre, abreviatura, NIF, cifras de
// las subcuentas, cuadro de cuentas y epígrafes copiados; fechas un año después; la cerrada
// como anterior), las subcuentas que la apertura necesita y falten (la 129, las del subgrupo
// 13) y el asiento de apertura con el saldo de cierre de cada cuenta de balance, pasado por la
// rutina de asientos. Lanza ErrorOrvo, sin cambiar nada, si el ejercicio ya está cerrado.
Resultado cerrar(Conexion& con, long empresa);

// cerrar() para quien solo quiere la empresa nueva (la importación de varios ejercicios).
inline long abrirSiguiente(Conexion& con, long empresa) {
    return cerrar(con, empresa).siguiente;
}

// Borra el ejercicio siguiente que hizo cerrar(), con lo que el ejercicio vuelve a estar
// abierto; lanza ErrorOrvo, sin cambiar nada, si no está cerrado o si el siguiente tiene algo
// más que su asiento de apertura (otros asientos o un ejercicio que lo sigue). Devuelve la
// empresa borrada.
long deshacer(Conexion& con, long empresa);

// Orden "orvo-informes cerrar --contabilidad F --empresa N [--deshacer]": 0 hecho, 1 rechazado,
// 2 uso incorrecto.
int orden(const QStringList& argumentos, QTextStream& err);

}  // namespace Cierre

}  // namespace orvo
