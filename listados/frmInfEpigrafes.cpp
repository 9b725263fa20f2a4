#include "frmInfEpigrafes.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace orvo {

frmInfEpigrafes::frmInfEpigrafes(Componente& componente, QWidget* padre)
    : FormularioInforme(componente, QStringLiteral("frmInfEpigrafes"), padre) {
    setWindowTitle(QStringLiteral("Informe de Epígrafes"));
    const QString raiz = QStringLiteral("Epigrafe");
    ControlesComunes c;
    QBoxLayout* empresa = filaEmpresa(raiz, c, QStringLiteral("lblSubcuentas0"));

    auto* frmDocumento = new QGroupBox(QStringLiteral("DOCUMENTOS: "), this);
    frmDocumento->setObjectName(QStringLiteral("frmDocumento"));
    auto* capaDocumento = new QVBoxLayout(frmDocumento);
    const QString documentos[2] = {QStringLiteral("Balance de situación"),
                                   QStringLiteral("Cuenta de PyG")};
    for (int i = 0; i < 2; ++i) {
        chkDocumento_[i] = new QCheckBox(documentos[i], frmDocumento);
        chkDocumento_[i]->setObjectName(nombreControl(QStringLiteral("chkDocumento"), i));
        capaDocumento->addWidget(chkDocumento_[i]);
    }
    chkDocumento_[0]->setChecked(true);

    auto* capa = new QVBoxLayout(this);
    capa->addLayout(empresa);
    capa->addWidget(frmDocumento);
    capa->addWidget(barra(QStringLiteral("abpProgreso"), c));
    capa->addLayout(botones(raiz, QStringLiteral("ACEPTAR"), c));
    registrarComunes(c);
}

OpcionesEpigrafes frmInfEpigrafes::opciones() {
    OpcionesEpigrafes o;
    o.empresa = empresa();
    o.balanceSituacion = chkDocumento_[0]->isChecked();
    o.perdidasYGanancias = chkDocumento_[1]->isChecked();
    return o;
}

bool frmInfEpigrafes::comprobarPropio() {
    if (!chkDocumento_[0]->isChecked() && !chkDocumento_[1]->isChecked()) {
        avisar(mensajes().Mensaje28(), chkDocumento_[0]);
        return false;
    }
    return true;
}

bool frmInfEpigrafes::RellenarInforme() {
    return construirEnTransaccion(QStringLiteral("Epigrafes"), QStringLiteral("Codigo"),
                                  [this](ContextoInforme& contexto) {
                                      OpcionesEpigrafes o = opciones();
                                      o.textoEmpresa = textoEmpresa();
                                      return construirEpigrafes(contexto, o);
                                  });
}

}  // namespace orvo
