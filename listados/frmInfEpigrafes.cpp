#include "frmInfEpigrafes.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace orvo {

frmInfEpigrafes::frmInfEpigrafes(Componente& componente, QWidget* padre)
    : FormularioInforme(componente, QStringLiteral("frmInfEpigrafes"), QStringLiteral("Epigrafe"),
                        padre) {
    setWindowTitle(QStringLiteral("Informe de Epígrafes"));
    enColumna({filaEmpresa(QStringLiteral("lblSubcuentas0")), documentos()},
              QStringLiteral("abpProgreso"));
}

QGroupBox* frmInfEpigrafes::documentos() {
    auto* frmDocumento = new QGroupBox(QStringLiteral("DOCUMENTOS: "), this);
    frmDocumento->setObjectName(QStringLiteral("frmDocumento"));
    const QString documentos[2] = {QStringLiteral("Balance de situación"),
                                   QStringLiteral("Cuenta de PyG")};
    for (int i = 0; i < 2; ++i)
        chkDocumento_[i] =
            casilla(documentos[i], nombreControl(QStringLiteral("chkDocumento"), i), frmDocumento);
    apilar(new QVBoxLayout(frmDocumento), {chkDocumento_[0], chkDocumento_[1]});
    chkDocumento_[0]->setChecked(true);
    return frmDocumento;
}

OpcionesEpigrafes frmInfEpigrafes::opciones() {
    auto o = opcionesComunes<OpcionesEpigrafes>();
    o.balanceSituacion = chkDocumento_[0]->isChecked();
    o.perdidasYGanancias = chkDocumento_[1]->isChecked();
    return o;
}

bool frmInfEpigrafes::comprobarPropio() {
    if (!chkDocumento_[0]->isChecked() && !chkDocumento_[1]->isChecked()) {
        avisar(mensajes().faltaTipoDocumento(), chkDocumento_[0]);
        return false;
    }
    return true;
}

bool frmInfEpigrafes::RellenarInforme() {
    return construirEnTransaccion(QStringLiteral("Epigrafes"), QStringLiteral("Codigo"),
                                  construirEpigrafes, opciones());
}

}  // namespace orvo
