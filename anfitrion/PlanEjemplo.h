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

enum Naturaleza { kActivo = 1, kPasivo = 2, kDebe = 3, kHaber = 4 };
enum Documento { kBalanceSituacion = 1, kCuentaPyG = 2 };

// Epígrafe del balance o de la cuenta de pérdidas y ganancias. Las cuentas (de tres cifras)
// se asignan solo a epígrafes sin hijos, para que la rutina de asientos no sume dos veces.
struct EpigrafePlan {
    Documento documento;
    Naturaleza naturaleza;
    QString codigo;
    QString descripcion;
    int orden;
    QString formula;
    QStringList cuentas;
};

// Cuentas de uno a cuatro dígitos, del estilo del plan general de contabilidad. Incluye todas
// las cuentas padre de las subcuentas de ejemplo.
const std::vector<CuentaPlan>& cuentasPlan();
// Cuentas de tres cifras cuyo detalle por subcuentas se lista en los balances.
const QStringList& cuentasDesglosadas();
// Epígrafes de los dos estados, con sus fórmulas de resultados.
const std::vector<EpigrafePlan>& epigrafesPlan();

}  // namespace orvo::ejemplo
