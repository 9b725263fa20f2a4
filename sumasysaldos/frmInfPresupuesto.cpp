#include "frmInfPresupuesto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvo {

frmInfPresupuesto::frmInfPresupuesto(Componente& componente, QWidget* padre)
    : FormularioNiveles(componente, QStringLiteral("frmInfPresupuesto"),
                        TextosNiveles{QStringLiteral("Presupuesto"),
                                      {QStringLiteral("AGREGAR>"), QStringLiteral("TODOS>>"),
                                       QStringLiteral("<<TODOS"), QStringLiteral("<QUITAR")},
                                      QStringLiteral("DISPONIBLES:"),
                                      QStringLiteral("SELECCIONADOS:")},
                        padre) {
    empresa_ = new QComboBox;
    empresa_->setObjectName(QStringLiteral("cboPresupuesto"));

    auto* fraSubcuentas = new QGroupBox(QStringLiteral("SUBCUENTAS"));
    auto* formSubcuentas = new QFormLayout(fraSubcuentas);
    const QStringList rotulos{QStringLiteral("Subcuenta inicial:"),
                              QStringLiteral("Subcuenta final:")};
    for (int i = 0; i < 2; ++i) {
        subcuentas_[i] = cajaSubcuenta(QStringLiteral("Presupuesto"), i, fraSubcuentas);
        formSubcuentas->addRow(rotulos[i], subcuentas_[i]);
    }
    euros_ = new QCheckBox(QStringLiteral("Importes en euros"));
    euros_->setObjectName(QStringLiteral("chkPresupuesto"));
    auto* lblEuro = new QLabel(QStringLiteral("€"));
    lblEuro->setObjectName(QStringLiteral("lblEuro"));

    auto* general = new QVBoxLayout(marco(0));
    auto* formEmpresa = new QFormLayout;
    formEmpresa->addRow(QStringLiteral("EMPRESA:"), empresa_);
    general->addLayout(formEmpresa);
    general->addWidget(fraSubcuentas);
    auto* filaEuro = new QHBoxLayout;
    filaEuro->addWidget(euros_);
    filaEuro->addWidget(lblEuro);
    filaEuro->addStretch();
    general->addLayout(filaEuro);
    general->addStretch();

    ControlesComunes c;
    QWidget* progreso = barra(QStringLiteral("abpInformes"), c);
    completarDisposicion(progreso,
                         botones(QStringLiteral("Presupuesto"), QStringLiteral("ACEPTAR"), c));
    c.empresa = empresa_;
    c.subcuentas[0] = subcuentas_[0];
    c.subcuentas[1] = subcuentas_[1];
    c.euros = euros_;
    registrarComunes(c);
}

void frmInfPresupuesto::cargarPropio() {
    // El código de origen llega antes que la empresa: ya se sabe qué informe es.
    setWindowTitle(esPresupuesto() ? mensajes().Mensaje20() : mensajes().Mensaje21());
    FormularioNiveles::cargarPropio();
}

OpcionesPresupuesto frmInfPresupuesto::opciones() const {
    OpcionesPresupuesto op;
    op.empresa = empresa();
    op.origen = origen();
    op.subcuentaInicial = subcuentas_[0]->text();
    op.subcuentaFinal = subcuentas_[1]->text();
    op.euros = euros_->isChecked();
    op.niveles = nivelesSeleccionados();
    return op;
}

bool frmInfPresupuesto::RellenarInforme() {
    deshabilitarBotonesListas();
    const OpcionesPresupuesto op = opciones();
    return construirEnTransaccion(
        tablaPresupuesto(op.origen), QStringLiteral("Codigo"),
        [&op](ContextoInforme& contexto) { return construirPresupuesto(contexto, op); },
        QStringLiteral("RellenarInforme"), QStringLiteral("OrvoContabilidad"));
}

QString frmInfPresupuesto::nombrePlantilla() const {
    return esPresupuesto() ? QStringLiteral("infCONT_Presupuesto.rpt")
                           : QStringLiteral("infCONT_PresupuestoAnual.rpt");
}

QString frmInfPresupuesto::tituloInforme() const {
    return esPresupuesto() ? QStringLiteral("Informe de presupuesto")
                           : QStringLiteral("Informe de presupuesto anual");
}

}  // namespace orvo
