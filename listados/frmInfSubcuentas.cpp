#include "frmInfSubcuentas.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvo {

frmInfSubcuentas::frmInfSubcuentas(Componente& componente, QWidget* padre)
    : FormularioInforme(componente, QStringLiteral("frmInfSubcuentas"), padre) {
    setWindowTitle(QStringLiteral("Informe de subcuentas"));
    const QString raiz = QStringLiteral("Subcuentas");
    auto rotulo = [&raiz](int indice, const QString& texto, QWidget* padre) {
        auto* l = new QLabel(texto, padre);
        l->setObjectName(nombreControl(QStringLiteral("lbl") + raiz, indice));
        return l;
    };

    ControlesComunes c;
    QBoxLayout* empresa = filaEmpresa(raiz, c, nombreControl(QStringLiteral("lbl") + raiz, 0));

    auto* fraOpciones = new QGroupBox(QStringLiteral("SUBCUENTAS"), this);
    fraOpciones->setObjectName(QStringLiteral("fraOpciones"));
    auto* rejilla = new QGridLayout(fraOpciones);
    const QString rotulos[2] = {QStringLiteral("SUBCUENTA INICIAL:"),
                                QStringLiteral("SUBCUENTA FINAL:")};
    for (int i = 0; i < 2; ++i) {
        c.subcuentas[i] = cajaSubcuenta(raiz, i, fraOpciones);
        c.subcuentas[i]->setMinimumWidth(
            c.subcuentas[i]->fontMetrics().horizontalAdvance(QStringLiteral("00000000000000")));
        QLabel* l = rotulo(i + 1, rotulos[i], fraOpciones);
        l->setBuddy(c.subcuentas[i]);
        rejilla->addWidget(l, i, 0);
        rejilla->addWidget(c.subcuentas[i], i, 1);
    }
    chkSubcuentas_ = new QCheckBox(QStringLiteral("Mostrar todas las cuentas"), fraOpciones);
    chkSubcuentas_->setObjectName(QStringLiteral("chk") + raiz);
    rejilla->addWidget(chkSubcuentas_, 2, 0, 1, 2);
    rejilla->setColumnStretch(2, 1);

    auto* capa = new QVBoxLayout(this);
    capa->addLayout(empresa);
    capa->addWidget(fraOpciones);
    capa->addWidget(barra(QStringLiteral("abpProgreso"), c));
    capa->addLayout(botones(raiz, QStringLiteral("ACEPTAR"), c));
    registrarComunes(c);
}

OpcionesSubcuentas frmInfSubcuentas::opciones() {
    OpcionesSubcuentas o;
    o.empresa = empresa();
    o.desde = comunes().subcuentas[0]->text();
    o.hasta = comunes().subcuentas[1]->text();
    o.todasLasCuentas = chkSubcuentas_->isChecked();
    return o;
}

bool frmInfSubcuentas::RellenarInforme() {
    return construirEnTransaccion(QStringLiteral("SubCuentas"), QStringLiteral("Codigo"),
                                  [this](ContextoInforme& contexto) {
                                      OpcionesSubcuentas o = opciones();
                                      o.textoEmpresa = textoEmpresa();
                                      return construirSubcuentas(contexto, o);
                                  });
}

}  // namespace orvo
