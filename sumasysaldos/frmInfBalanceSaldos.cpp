#include "frmInfBalanceSaldos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "SelectorFecha.h"

namespace orvo {

namespace {
const QString kTitulo = QStringLiteral("Informe de balance de Sumas y Saldos");
}

frmInfBalanceSaldos::frmInfBalanceSaldos(Componente& componente, QWidget* padre)
    : FormularioNiveles(componente, QStringLiteral("frmInfBalanceSaldos"),
                        TextosNiveles{QStringLiteral("Balance"),
                                      {QStringLiteral("AGREGAR ->"), QStringLiteral("TODOS ->>"),
                                       QStringLiteral("<<- TODOS"), QStringLiteral("<- QUITAR")},
                                      QStringLiteral("DISPONIBLES:"),
                                      QStringLiteral("SELECCIONADAS:")},
                        padre) {
    setWindowTitle(kTitulo);
    empresa_ = new QComboBox;
    empresa_->setObjectName(QStringLiteral("cboBalance"));

    auto* fraSubcuentas = new QGroupBox(QStringLiteral("SUBCUENTAS"));
    auto* formSubcuentas = new QFormLayout(fraSubcuentas);
    const QStringList rotulosSubcuenta{QStringLiteral("Subcuenta inicial:"),
                                       QStringLiteral("Subcuenta final:")};
    auto* fraPeriodo = new QGroupBox(QStringLiteral("PERIODO"));
    auto* formPeriodo = new QFormLayout(fraPeriodo);
    const QStringList rotulosFecha{QStringLiteral("Desde:"), QStringLiteral("Hasta:")};
    for (int i = 0; i < 2; ++i) {
        subcuentas_[i] = cajaSubcuenta(QStringLiteral("Balance"), i, fraSubcuentas);
        formSubcuentas->addRow(rotulosSubcuenta[i], subcuentas_[i]);
        fechas_[i] = new SelectorFecha;
        fechas_[i]->setObjectName(nombreControl(QStringLiteral("dtpBalance"), i));
        formPeriodo->addRow(rotulosFecha[i], fechas_[i]);
    }

    auto* fraOpciones = new QGroupBox(QStringLiteral("OPCIONES"));
    auto* columnaOpciones = new QVBoxLayout(fraOpciones);
    const QStringList rotulosOpcion{QStringLiteral("Importes en euros"),
                                    QStringLiteral("Mostrar cuentas con saldo cero"),
                                    QStringLiteral("Mostrar presupuesto")};
    for (int i = 0; i < 3; ++i) {
        opciones_[i] = new QCheckBox(rotulosOpcion[i]);
        opciones_[i]->setObjectName(nombreControl(QStringLiteral("chkBalance"), i));
        if (i > 0) columnaOpciones->addWidget(opciones_[i]);
    }
    auto* lblEuro = new QLabel(QStringLiteral("€"));
    lblEuro->setObjectName(QStringLiteral("lblEuro"));
    auto* filaEuro = new QHBoxLayout;
    filaEuro->addWidget(opciones_[0]);
    filaEuro->addWidget(lblEuro);
    filaEuro->addStretch();
    columnaOpciones->insertLayout(0, filaEuro);

    auto* general = new QVBoxLayout(marco(0));
    auto* formEmpresa = new QFormLayout;
    formEmpresa->addRow(QStringLiteral("EMPRESA:"), empresa_);
    general->addLayout(formEmpresa);
    auto* fila = new QHBoxLayout;
    fila->addWidget(fraSubcuentas);
    fila->addWidget(fraPeriodo);
    general->addLayout(fila);
    general->addWidget(fraOpciones);
    general->addStretch();

    ControlesComunes c;
    QWidget* progreso = barra(QStringLiteral("abpInformes"), c);
    completarDisposicion(progreso,
                         botones(QStringLiteral("Balance"), QStringLiteral("ACEPTAR"), c));
    c.empresa = empresa_;
    c.subcuentas[0] = subcuentas_[0];
    c.subcuentas[1] = subcuentas_[1];
    c.fechas[0] = fechas_[0];
    c.fechas[1] = fechas_[1];
    c.euros = opciones_[0];
    c.nombreBotones = QStringLiteral("cmdBalance_Click");
    registrarComunes(c);
}

OpcionesSumasYSaldos frmInfBalanceSaldos::opciones() const {
    OpcionesSumasYSaldos op;
    op.empresa = empresa();
    op.subcuentaInicial = subcuentas_[0]->text();
    op.subcuentaFinal = subcuentas_[1]->text();
    op.desde = fechas_[0]->date();
    op.hasta = fechas_[1]->date();
    op.euros = opciones_[0]->isChecked();
    op.saldoCero = opciones_[1]->isChecked();
    op.presupuesto = conPresupuesto();
    op.niveles = nivelesSeleccionados();
    return op;
}

bool frmInfBalanceSaldos::conPresupuesto() const {
    return opciones_[2]->isChecked();
}

bool frmInfBalanceSaldos::comprobarPropio() {
    if (cGeneral::PeriodoFechaCorrecto(fechas_[0], fechas_[1])) return true;
    avisar(mensajes().Mensaje05(), fechas_[0]);
    return false;
}

bool frmInfBalanceSaldos::RellenarInforme() {
    deshabilitarBotonesListas();
    const OpcionesSumasYSaldos op = opciones();
    return construirEnTransaccion(
        QStringLiteral("BalanceSumasySaldos"), QStringLiteral("Empresa"),
        [&op](ContextoInforme& contexto) { return construirSumasYSaldos(contexto, op); },
        op.presupuesto ? QStringLiteral("SumasYSaldosConPresupuesto")
                       : QStringLiteral("SumasYSaldosSinPresupuesto"));
}

QString frmInfBalanceSaldos::nombrePlantilla() const {
    return conPresupuesto() ? QStringLiteral("infCONT_SumasySaldosPresupuesto.rpt")
                            : QStringLiteral("infCONT_SumasySaldos.rpt");
}

QString frmInfBalanceSaldos::tituloInforme() const {
    return conPresupuesto() ? kTitulo + QStringLiteral(" presupuestario") : kTitulo;
}

}  // namespace orvo
