#include "PlanEjemplo.h"

#include <stdexcept>

#include "Plan.h"

namespace orvo::ejemplo {

std::map<QString, QString> cuentasPadre(const std::vector<SubcuentaPlan>& subcuentas) {
    std::map<QString, QString> cuentas;
    for (const SubcuentaPlan& s : subcuentas)
        for (qsizetype cifras = 1; cifras <= 4; ++cifras) {
            const QString codigo = s.codigo.left(cifras);
            if (cuentas.count(codigo)) continue;
            const QString nombre = Plan::nombreCuenta(codigo);
            if (nombre.isEmpty())
                throw std::logic_error("cuenta de ejemplo fuera del cuadro: " +
                                       codigo.toStdString());
            cuentas.emplace(codigo, nombre);
        }
    return cuentas;
}

const QStringList& cuentasDesglosadas() {
    static const QStringList desglosadas{"281", "400", "410", "430", "472", "477", "572"};
    return desglosadas;
}

}  // namespace orvo::ejemplo
