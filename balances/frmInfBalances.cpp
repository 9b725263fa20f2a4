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
    return o.presupuesto ? BalanceConPresupuesto(o) : BalanceSinPresupuesto(o);
}

bool frmInfBalances::BalanceConPresupuesto(OpcionesBalance o) {
    return construir(std::move(o), QStringLiteral("BalanceConPresupuesto"));
}

bool frmInfBalances::BalanceSinPresupuesto(OpcionesBalance o) {
    return construir(std::move(o), QStringLiteral("BalanceSinPresupuesto"));
}

// Las dos construcciones son la misma; solo cambian las columnas de presupuesto y el nombre
// con que se informan los errores.
bool frmInfBalances::construir(OpcionesBalance o, const QString& procedimiento) {
    o.textoEmpresa = textoEmpresa();
    return construirEnTransaccion(
        QStringLiteral("Balances"), QStringLiteral("IDBalance"),
        [&o](ContextoInforme& contexto) { return construirBalance(contexto, o); }, procedimiento);
}

}  // namespace orvo
