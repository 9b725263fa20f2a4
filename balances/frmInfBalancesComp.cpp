#include "frmInfBalancesComp.h"

#include <QCheckBox>
#include <QComboBox>

#include "DatosEmpresa.h"
#include "Regional.h"
#include "cBalances.h"
#include "cCOrigen.h"

namespace orvo {

frmInfBalancesComp::frmInfBalancesComp(Componente& componente, QWidget* padre)
    : FormularioBalance(componente, QStringLiteral("frmInfBalancesComp"), padre) {
    empresas_[0] = anadirListaEmpresas(nombreControl(QStringLiteral("cboBalance"), 0),
                                       QStringLiteral("EMPRESA (A):"), 0);
    empresas_[1] = anadirListaEmpresas(nombreControl(QStringLiteral("cboBalance"), 1),
                                       QStringLiteral("EMPRESA (B):"), 1);
    // Las dos listas son propias: la base validaría la empresa con otro mensaje.
    registrar(nullptr);
    // Con el tabulador, la empresa B va justo tras la A, como se ve.
    setTabOrder(empresas_[0], empresas_[1]);
    connect(empresas_[0], &QComboBox::currentIndexChanged, this, [this] { empresaAElegida(); });
}

// Solo la empresa A fija el periodo; elegir B no lo cambia.
void frmInfBalancesComp::empresaAElegida() {
    if (empresas_[0]->currentText().trimmed().isEmpty()) return;
    try {
        general().PeriodoEjercicioDTP(comunes().fechas[0], comunes().fechas[1], empresaDe(0),
                                      contabilidad());
    } catch (const std::exception& e) {
        verError(e, QStringLiteral("cboBalance_Click(0)"));
    }
}

void frmInfBalancesComp::cargarPropio() {
    setWindowTitle(origen() == cCOrigen::BALANCEPYG
                       ? mensajes().tituloPerdidasYGananciasComparativo()
                       : mensajes().tituloBalanceSituacionComparativo());
    listas().fillEmpresas(contabilidad(), empresas_[0], empresa());
    empresas_[0]->setEnabled(false);
    const auto datos = DatosEmpresa::leer(contabilidad(), empresa());
    listas().fillEmpresas(contabilidad(), empresas_[1], datos ? datos->anterior : 0);
}

bool frmInfBalancesComp::comprobarPropio() {
    if (empresas_[0]->currentText().trimmed().isEmpty()) {
        avisar(mensajes().faltaEmpresaOrigen(), empresas_[0]);
        return false;
    }
    if (empresas_[1]->currentText().trimmed().isEmpty()) {
        avisar(mensajes().faltaEmpresaDestino(), empresas_[1]);
        return false;
    }
    return periodoCorrecto();
}

long frmInfBalancesComp::empresaDe(int lista) const {
    return static_cast<long>(empresas_[lista]->currentData().toLongLong());
}

OpcionesComparativo frmInfBalancesComp::opciones() const {
    OpcionesComparativo o;
    leerOpcionesEstado(o);
    o.empresaA = empresaDe(0);
    o.empresaB = empresaDe(1);
    return o;
}

bool frmInfBalancesComp::RellenarInforme() {
    if (origen() != cCOrigen::BALANCESITUACION && origen() != cCOrigen::BALANCEPYG) return false;
    const OpcionesComparativo o = opciones();
    if (o.documento == 1) {
        cBalances balances;
        if (!balances.ExisteCtaPyG(contabilidad(), o.empresaA, general())) return false;
        if (!balances.ExisteCtaPyG(contabilidad(), o.empresaB, general())) return false;
    }
    return construirEnTransaccion(QStringLiteral("BalancesComparativo"),
                                  QStringLiteral("IDBalanceComp"), construirComparativo, o);
}

}  // namespace orvo
