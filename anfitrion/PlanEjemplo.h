#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace orvo::ejemplo {

// Cuenta de los niveles 1 a 4 del cuadro de cuentas, común a todas las empresas de ejemplo.
struct CuentaPlan {
    QString codigo;
    QString descripcion;
};

// Subcuenta de siete cifras de una empresa.
struct SubcuentaPlan {
    QString codigo;
    QString descripcion;
    QString dniCif;
};

// Cuentas de uno a cuatro dígitos, del estilo del plan general de contabilidad. Incluye todas
// las cuentas padre de las subcuentas de ejemplo.
const std::vector<CuentaPlan>& cuentasPlan();
// Cuentas de tres cifras cuyo detalle por subcuentas se lista en los balances.
const QStringList& cuentasDesglosadas();

}  // namespace orvo::ejemplo
