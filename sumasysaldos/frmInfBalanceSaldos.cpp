#include "frmInfBalanceSaldos.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvo {

namespace {
const QString kTitulo = QStringLiteral("Informe de balance de Sumas y Saldos");
}

frmInfBalanceSaldos::frmInfBalanceSaldos(Componente& componente, QWidget* padre)
    : FormularioNiveles(componente, QStringLiteral("frmInfBalanceSaldos"),
                        QStringLiteral("Balance"),
                        TextosNiveles{{QStringLiteral("AGREGAR ->"), QStringLiteral("TODOS ->>"),
                                       QStringLiteral("<<- TODOS"), QStringLiteral("<- QUITAR")},
                                      QStringLiteral("DISPONIBLES:"),
                                      QStringLiteral("SELECCIONADAS:")},
                        padre) {
    setWindowTitle(kTitulo);
    enPestanas({filaEmpresa(), subcuentasNiveles(),
                periodo(QString(), {QStringLiteral("Desde:"), QStringLiteral("Hasta:")}),
                marcoOpciones()});
    comunes().nombreBotones = QStringLiteral("cmdBalance_Click");
}

// Marco "OPCIONES": la moneda, las cuentas con saldo cero y el presupuesto.
QGroupBox* frmInfBalanceSaldos::marcoOpciones() {
    auto* fraOpciones = new QGroupBox(QStringLiteral("OPCIONES"), this);
    apilar(new QVBoxLayout(fraOpciones),
           {euros(nombreControl(QStringLiteral("chkBalance"), 0)),
            chkSaldoCero_ = casilla(QStringLiteral("Mostrar cuentas con saldo cero"),
                                    nombreControl(QStringLiteral("chkBalance"), 1)),
            chkPresupuesto_ = casilla(QStringLiteral("Mostrar presupuesto"),
                                      nombreControl(QStringLiteral("chkBalance"), 2))});
    return fraOpciones;
}

OpcionesSumasYSaldos frmInfBalanceSaldos::opciones() const {
    auto op = opcionesComunes<OpcionesSumasYSaldos>();
    op.saldoCero = chkSaldoCero_->isChecked();
    op.presupuesto = conPresupuesto();
    op.niveles = nivelesSeleccionados();
    return op;
}

bool frmInfBalanceSaldos::conPresupuesto() const {
    return chkPresupuesto_->isChecked();
}

bool frmInfBalanceSaldos::comprobarPropio() {
    return periodoCorrecto();
}

bool frmInfBalanceSaldos::RellenarInforme() {
    deshabilitarBotonesListas();
    return construirEnTransaccion(QStringLiteral("BalanceSumasySaldos"), QStringLiteral("Empresa"),
                                  construirSumasYSaldos, opciones(),
                                  conPresupuesto() ? QStringLiteral("SumasYSaldosConPresupuesto")
                                                   : QStringLiteral("SumasYSaldosSinPresupuesto"));
}

QString frmInfBalanceSaldos::nombrePlantilla() const {
    return conPresupuesto() ? QStringLiteral("infCONT_SumasySaldosPresupuesto.rpt")
                            : QStringLiteral("infCONT_SumasySaldos.rpt");
}

QString frmInfBalanceSaldos::tituloInforme() const {
    return conPresupuesto() ? kTitulo + QStringLiteral(" presupuestario") : kTitulo;
}

std::optional<Desglose> frmInfBalanceSaldos::desglosar(const QHash<QString, QString>& fila) {
    const QString codigo = fila.value(QStringLiteral("Codigo"));
    if (codigo.isEmpty()) return std::nullopt;
    const OpcionesSumasYSaldos op = opciones();
    return mayorDeCuenta(codigo, op.desde, op.hasta, op.divisa);
}

}  // namespace orvo
