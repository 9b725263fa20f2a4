#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "Moneda.h"
#include "PlanEjemplo.h"

namespace orvo::ejemplo {

// Un apunte con sus importes en euros y en pesetas. Los datos de factura solo los llevan los
// apuntes de las cuentas de IVA (472 y 477): el libro de IVA los lee de ahí.
struct ApunteEjemplo {
    QString subcuenta;
    QString concepto;
    Moneda debe, haber;  // euros
    Moneda debePts, haberPts;
    QString factura;
    QString contrapartida;
    QString iva = QStringLiteral("0");      // "21", "10", "4"
    QString recargo = QStringLiteral("0");  // "5,2", "1,4", "0,5"
    std::optional<Moneda> base, basePts;
};

struct AsientoEjemplo {
    QDate fecha;
    std::vector<ApunteEjemplo> apuntes;
};

using ImportesMes = std::array<Moneda, 12>;  // índice: mes del calendario - 1

// Un ejercicio de una empresa: datos de Empresa, subcuentas, asientos en orden de fecha (el
// número de asiento es la posición + 1) y presupuesto mensual en euros de sus subcuentas de
// gastos e ingresos.
struct EmpresaEjemplo {
    long id = 0;
    QString abreviatura;
    QString nombre;
    QString nif;
    int ano = 0;
    QDate inicio, fin;
    long anterior = 0;
    std::vector<SubcuentaPlan> subcuentas;
    std::vector<AsientoEjemplo> asientos;
    std::map<QString, ImportesMes> presupuesto;
};

// Las tres empresas de ejemplo: un mayorista en dos ejercicios seguidos (el segundo abre con
// el cierre del primero) y un restaurante con ejercicio de julio a junio que cierra con
// pérdidas. Siempre las mismas.
std::vector<EmpresaEjemplo> empresasEjemplo();

}  // namespace orvo::ejemplo
