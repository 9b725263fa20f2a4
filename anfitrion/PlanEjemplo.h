#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace orvo::ejemplo {

// Subcuenta de siete cifras de una empresa.
struct SubcuentaPlan {
    QString codigo;
    QString descripcion;
    QString dniCif;
};

// Las cuentas padre (de una a cuatro cifras) de las subcuentas dadas, código -> nombre, con el
// nombre que les da el cuadro de cuentas del plan de 2007. Lanza std::logic_error si una no
// está en el cuadro: los libros de ejemplo solo usan cuentas del plan.
std::map<QString, QString> cuentasPadre(const std::vector<SubcuentaPlan>& subcuentas);
// Cuentas de tres cifras cuyo detalle por subcuentas se lista en los balances.
const QStringList& cuentasDesglosadas();

}  // namespace orvo::ejemplo
