#pragma once

// Cada informe con su empresa y sus controles, como lo piden sobre los libros de ejemplo la
// ventana del anfitrión y la línea de órdenes.
#include <QList>
#include <QStringList>

namespace orvo::prueba {

struct Peticion {
    const char* operacion;
    int empresa;
    QStringList controles;  // "control=valor", como --control de la orden
};

inline const QList<Peticion>& peticionesEjemplo() {
    static const QList<Peticion> p{
        {"ImprimirEpigrafes", 1, {"chkDocumento(1)=1"}},
        {"ImprimirSubcuentas", 3, {"chkSubcuentas=1"}},
        {"ImprimirLibroDiario", 1, {"dtpLibroDiario(1)=2023-01-31"}},
        {"ImprimirLibroMayor", 2, {"txtLibroMayor(0)=4300001", "txtLibroMayor(1)=4300005"}},
        {"ImprimirDesgloseSubCuenta", 1, {"lstInfSubCuentas=5720001"}},
        {"ImprimirBalanceSituacion", 1, {"chkBalance(1)=1"}},
        {"ImprimirBalanceSituacionComp", 2, {}},
        {"ImprimirFacturasRecibidas", 3, {}},
        {"ImprimirFacturasEmitidas", 1, {"optFacturas(1)=1", "txtFacturas=100"}},
        {"ImprimirBalancePYG", 3, {"chkBalance(4)=1"}},
        {"ImprimirBalancePYGComp", 2, {"chkBalance(5)=1"}},
        {"ImprimirBalanceSumasySaldos",
         1,
         {"lstBalance(0)=3,7", "chkBalance(1)=1", "chkBalance(2)=1"}},
        {"ImprimirPresupuestoAnual", 1, {"lstPresupuesto(0)=3,7"}},
        {"ImprimirPresupuesto", 3, {"txtPresupuesto(0)=6000000", "txtPresupuesto(1)=7999999"}},
        {"ImprimirResumenIVA", 1, {}},
    };
    return p;
}

}  // namespace orvo::prueba
