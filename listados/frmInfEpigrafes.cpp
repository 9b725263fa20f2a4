#include "frmInfEpigrafes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvo {

frmInfEpigrafes::frmInfEpigrafes(Componente& componente, QWidget* padre)
    : FormularioInforme(componente, QStringLiteral("frmInfEpigrafes"), padre) {
    setWindowTitle(QStringLiteral("Informe de Epígrafes"));
    ControlesComunes c;
    auto* lblEmpresa = new QLabel(QStringLiteral("EMPRESA:"), this);
    lblEmpresa->setObjectName(QStringLiteral("lblSubcuentas0"));
    c.empresa = new QComboBox(this);
    c.empresa->setObjectName(QStringLiteral("cboEpigrafe"));
    c.empresa->setMinimumContentsLength(36);
    lblEmpresa->setBuddy(c.empresa);

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

    c.progreso = new BarraProgreso(this);
    c.progreso->setObjectName(QStringLiteral("abpProgreso"));
    c.nombreBotones = QStringLiteral("cmdEpigrafe");
    const QString textos[2] = {QStringLiteral("ACEPTAR"), QStringLiteral("CANCELAR")};
    auto* filaBotones = new QHBoxLayout;
    filaBotones->addStretch();
    for (int i = 0; i < 2; ++i) {
        c.botones[i] = new QPushButton(textos[i], this);
        c.botones[i]->setObjectName(nombreControl(c.nombreBotones, i));
        filaBotones->addWidget(c.botones[i]);
    }

    auto* filaEmpresa = new QHBoxLayout;
    filaEmpresa->addWidget(lblEmpresa);
    filaEmpresa->addWidget(c.empresa, 1);
    auto* capa = new QVBoxLayout(this);
    capa->addLayout(filaEmpresa);
    capa->addWidget(frmDocumento);
    capa->addWidget(c.progreso);
    capa->addLayout(filaBotones);
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
