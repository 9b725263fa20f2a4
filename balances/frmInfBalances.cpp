#include "frmInfBalances.h"

#include <QCheckBox>

#include "cBalances.h"
#include "cCOrigen.h"

namespace orvo {

frmInfBalances::frmInfBalances(Componente& componente, QWidget* padre)
    : FormularioBalance(componente, QStringLiteral("frmInfBalances"), padre) {
    registrar(anadirListaEmpresas(QStringLiteral("cboBalance"), QStringLiteral("EMPRESA:"), 0),
              QStringLiteral("cmdBalance_Click"));
}

void frmInfBalances::cargarPropio() {
    setWindowTitle(origen() == cCOrigen::BALANCEPYG ? mensajes().Mensaje18()
                                                    : mensajes().Mensaje17());
}

bool frmInfBalances::comprobarPropio() {
    return periodoCorrecto();
}

OpcionesBalance frmInfBalances::opciones() {
    OpcionesBalance o;
    leerOpcionesEstado(o);
    o.empresa = empresa();
    o.presupuesto = opcion(4);
    return o;
}

bool frmInfBalances::RellenarInforme() {
    if (origen() != cCOrigen::BALANCESITUACION && origen() != cCOrigen::BALANCEPYG) return false;
    const OpcionesBalance o = opciones();
    if (o.documento == 1 && !cBalances().ExisteCtaPyG(contabilidad(), o.empresa, general()))
        return false;
    // Con presupuesto o sin él la construcción es la misma; solo cambian sus columnas y el
    // nombre con que se informan los errores.
    return construirEnTransaccion(QStringLiteral("Balances"), QStringLiteral("IDBalance"),
                                  construirBalance, o,
                                  o.presupuesto ? QStringLiteral("BalanceConPresupuesto")
                                                : QStringLiteral("BalanceSinPresupuesto"));
}

}  // namespace orvo
