#include "frmInfBalances.h"

#include <QCheckBox>

#include "cBalances.h"
#include "cCOrigen.h"

namespace orvo {

frmInfBalances::frmInfBalances(Componente& componente, QWidget* padre)
    : FormularioBalance(componente, QStringLiteral("frmInfBalances"), padre) {
    registrar(anadirListaEmpresas(QStringLiteral("cboBalance"), QStringLiteral("EMPRESA:"), 0));
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
    o.empresa = empresa();
    o.documento = origen() == cCOrigen::BALANCEPYG ? 2 : 1;
    o.desde = desde();
    o.hasta = hasta();
    o.euros = opcion(0);
    o.mostrarCodigos = opcion(1);
    o.saldoCero = opcion(2);
    o.soloEpigrafes = opcion(3);
    o.presupuesto = opcion(4);
    o.numerosCuenta = opcion(5);
    return o;
}

bool frmInfBalances::RellenarInforme() {
    if (origen() != cCOrigen::BALANCESITUACION && origen() != cCOrigen::BALANCEPYG) return false;
    OpcionesBalance o = opciones();
    if (o.documento == 1 && !cBalances().ExisteCtaPyG(contabilidad(), o.empresa, general()))
        return false;
    o.textoEmpresa = textoEmpresa();
    return construirEnTransaccion(
        QStringLiteral("Balances"), QStringLiteral("IDBalance"),
        [&o](ContextoInforme& contexto) { return construirBalance(contexto, o); },
        o.presupuesto ? QStringLiteral("BalanceConPresupuesto")
                      : QStringLiteral("BalanceSinPresupuesto"));
}

}  // namespace orvo
