#include "frmInfSubcuentas.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace orvo {

frmInfSubcuentas::frmInfSubcuentas(Componente& componente, QWidget* padre)
    : FormularioInforme(componente, QStringLiteral("frmInfSubcuentas"),
                        QStringLiteral("Subcuentas"), padre) {
    setWindowTitle(QStringLiteral("Informe de subcuentas"));
    enColumna({filaEmpresa(QStringLiteral("lblSubcuentas0")), intervalo()},
              QStringLiteral("abpProgreso"));
}

// Marco "SUBCUENTAS": el intervalo, una caja bajo otra con su rótulo, y la casilla de las cuentas.
QGroupBox* frmInfSubcuentas::intervalo() {
    auto* fraOpciones = new QGroupBox(QStringLiteral("SUBCUENTAS"), this);
    fraOpciones->setObjectName(QStringLiteral("fraOpciones"));
    auto* rejilla = new QGridLayout(fraOpciones);
    const QString rotulos[2] = {QStringLiteral("SUBCUENTA INICIAL:"),
                                QStringLiteral("SUBCUENTA FINAL:")};
    for (int i = 0; i < 2; ++i) {
        QLineEdit* caja = comunes().subcuentas[i] = cajaSubcuenta(i, fraOpciones);
        caja->setMinimumWidth(
            caja->fontMetrics().horizontalAdvance(QStringLiteral("00000000000000")));
        auto* rotulo = new QLabel(rotulos[i], fraOpciones);
        rotulo->setObjectName(nombreControl(QStringLiteral("lblSubcuentas"), i + 1));
        rotulo->setBuddy(caja);
        rejilla->addWidget(rotulo, i, 0);
        rejilla->addWidget(caja, i, 1);
    }
    chkSubcuentas_ = casilla(QStringLiteral("Mostrar todas las cuentas"),
                             QStringLiteral("chkSubcuentas"), fraOpciones);
    rejilla->addWidget(chkSubcuentas_, 2, 0, 1, 2);
    rejilla->setColumnStretch(2, 1);
    return fraOpciones;
}

OpcionesSubcuentas frmInfSubcuentas::opciones() {
    auto o = opcionesComunes<OpcionesSubcuentas>();
    o.desde = subcuenta(0);
    o.hasta = subcuenta(1);
    o.todasLasCuentas = chkSubcuentas_->isChecked();
    return o;
}

bool frmInfSubcuentas::RellenarInforme() {
    return construirEnTransaccion(QStringLiteral("SubCuentas"), QStringLiteral("Codigo"),
                                  construirSubcuentas, opciones());
}

}  // namespace orvo
