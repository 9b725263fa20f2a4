#include "frmInfResumenIVA.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace orvo {

namespace {

// Código de un trimestre en la lista: año * 10 + trimestre; 0 son otras fechas.
qlonglong codigoTrimestre(const QDate& d) {
    return d.year() * 10LL + (d.month() + 2) / 3;
}
QDate inicioTrimestre(qlonglong codigo) {
    return QDate(static_cast<int>(codigo / 10), static_cast<int>(codigo % 10) * 3 - 2, 1);
}

}  // namespace

frmInfResumenIVA::frmInfResumenIVA(Componente& componente, QWidget* padre)
    : FormularioLibro(componente, QStringLiteral("frmInfResumenIVA"), padre) {
    setWindowTitle(QStringLiteral("Resumen trimestral de IVA"));
    const QString raiz = QStringLiteral("ResumenIVA");
    ControlesComunes c;
    QBoxLayout* empresa = filaEmpresa(raiz, c);
    auto* filaTrimestre = new QHBoxLayout;
    cboTrimestre_ = new QComboBox(this);
    cboTrimestre_->setObjectName(QStringLiteral("cboTrimestre"));
    auto* rotulo = new QLabel(QStringLiteral("TRIMESTRE:"), this);
    rotulo->setBuddy(cboTrimestre_);
    filaTrimestre->addWidget(rotulo);
    filaTrimestre->addWidget(cboTrimestre_, 1);
    connect(cboTrimestre_, &QComboBox::currentIndexChanged, this, [this] { cboTrimestreClick(); });
    QGroupBox* fraPeriodo = periodo(raiz, QStringLiteral("dd MMMM  yyyy"), c);

    auto* capa = new QVBoxLayout(this);
    capa->addLayout(empresa);
    capa->addLayout(filaTrimestre);
    capa->addWidget(fraPeriodo);
    capa->addLayout(euros(raiz, c));
    capa->addWidget(barra(QStringLiteral("abpProgreso"), c));
    capa->addLayout(botones(raiz, QStringLiteral("ACEPTAR"), c));
    capa->setSizeConstraint(QLayout::SetFixedSize);
    registrarComunes(c);
}

void frmInfResumenIVA::empresaElegidaPropio(long) {
    // Los selectores ya tienen el ejercicio: sus trimestres de calendario, el primero elegido.
    const QDate ini = comunes().fechas[0]->minimumDate(), fin = comunes().fechas[1]->maximumDate();
    const QSignalBlocker bloqueo(cboTrimestre_);
    cboTrimestre_->clear();
    for (qlonglong t = codigoTrimestre(ini); inicioTrimestre(t) <= fin;
         t = codigoTrimestre(inicioTrimestre(t).addMonths(3))) {
        const QDate d = inicioTrimestre(t);
        cboTrimestre_->addItem(QStringLiteral("%1.º trimestre de %2").arg(t % 10).arg(d.year()), t);
    }
    cboTrimestre_->addItem(QStringLiteral("Otras fechas"), qlonglong(0));
    cboTrimestre_->setCurrentIndex(0);
    cboTrimestreClick();
}

void frmInfResumenIVA::cboTrimestreClick() {
    QDateEdit* const* fechas = comunes().fechas;
    const qlonglong t = cboTrimestre_->currentData().toLongLong();
    for (int i = 0; i < 2; ++i) fechas[i]->setEnabled(t == 0);
    if (t == 0) return;
    const QDate ini = inicioTrimestre(t);
    fechas[0]->setDate(std::max(ini, fechas[0]->minimumDate()));
    fechas[1]->setDate(std::min(ini.addMonths(3).addDays(-1), fechas[1]->maximumDate()));
}

bool frmInfResumenIVA::comprobarPropio() {
    if (cGeneral::PeriodoFechaCorrecto(comunes().fechas[0], comunes().fechas[1])) return true;
    avisar(mensajes().Mensaje05(), comunes().fechas[0]->isEnabled()
                                       ? static_cast<QWidget*>(comunes().fechas[0])
                                       : cboTrimestre_);
    return false;
}

OpcionesResumenIVA frmInfResumenIVA::opciones() const {
    OpcionesResumenIVA o;
    o.empresa = empresa();
    o.euros = eurosMarcado();
    o.desde = comunes().fechas[0]->date();
    o.hasta = comunes().fechas[1]->date();
    return o;
}

bool frmInfResumenIVA::RellenarInforme() {
    return construirEnTransaccion(QStringLiteral("ResumenIVA"), QStringLiteral("Seccion"),
                                  [this](ContextoInforme& contexto) {
                                      OpcionesResumenIVA o = opciones();
                                      o.textoEmpresa = textoEmpresa();
                                      return construirResumenIVA(contexto, o);
                                  });
}

QString frmInfResumenIVA::nombrePlantilla() const {
    return QStringLiteral("infCONT_ResumenIVA.rpt");
}

QString frmInfResumenIVA::tituloInforme() const {
    return QStringLiteral("Resumen trimestral de IVA");
}

}  // namespace orvo
