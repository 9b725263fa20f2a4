#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace orvo {

class Conexion;
class IProgreso;

namespace Comprobacion {

struct Informe {
    QStringList problemas;  // una línea por problema, en español
    QStringList reparados;  // lo que cambió --reparar
    QStringList avisos;     // lo que no impide nada: NIF de subcuentas que no cuadran con su control
    qint64 asientos = 0, apuntes = 0;
    QString resumen() const;
};

// Comprueba los libros de una empresa: asientos que cuadran en euros y en pesetas, columnas
// mensuales de cuentas y epígrafes iguales a los apuntes, pesetas de cada apunte dentro del
// redondeo de sus euros, apuntes en subcuentas de la empresa, asientos dentro del ejercicio,
// números de asiento sin repetir y fórmulas de epígrafes que nombran epígrafes existentes sin
// ciclos; avisa de los NIF de subcuentas que no cuadran con su control. Con 'reparar' rehace las columnas mensuales en una transacción; lo que no se puede
// reparar sigue en 'problemas'.
Informe comprobar(Conexion& con, long empresa, bool reparar, IProgreso& progreso);

// Orden "orvo-informes comprobar --contabilidad FILE --empresa N [--reparar]": 0 sin problemas,
// 1 con problemas, 2 uso incorrecto.
int orden(const QStringList& argumentos, QTextStream& err);

}  // namespace Comprobacion

}  // namespace orvo
