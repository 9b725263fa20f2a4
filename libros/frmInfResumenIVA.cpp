#include "frmInfResumenIVA.h"

#include <QComboBox>
#include <QDateEdit>
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
    : FormularioInforme(componente, QStringLiteral("frmInfResumenIVA"),
                        QStringLiteral("ResumenIVA"), padre) {
    setWindowTitle(QStringLiteral("Resumen trimestral de IVA"));
    // Las fechas como en los demás diálogos de días sueltos (los balances), que se teclean.
    enColumna({filaEmpresa(), filaTrimestre(), periodo(), euros()}, QStringLiteral("abpProgreso"));
}

QBoxLayout* frmInfResumenIVA::filaTrimestre() {
    cboTrimestre_ = new QComboBox(this);
    cboTrimestre_->setObjectName(QStringLiteral("cboTrimestre"));
    connect(cboTrimestre_, &QComboBox::currentIndexChanged, this, [this] { cboTrimestreClick(); });
    return filaConRotulo(QStringLiteral("TRIMESTRE:"), cboTrimestre_);
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
    return periodoCorrecto(comunes().fechas[0]->isEnabled()
                               ? static_cast<QWidget*>(comunes().fechas[0])
                               : cboTrimestre_);
}

OpcionesResumenIVA frmInfResumenIVA::opciones() const {
    return opcionesComunes<OpcionesResumenIVA>();
}

bool frmInfResumenIVA::RellenarInforme() {
    return construirEnTransaccion(QStringLiteral("ResumenIVA"), QStringLiteral("Seccion"),
                                  construirResumenIVA, opciones());
}

QString frmInfResumenIVA::nombrePlantilla() const {
    return QStringLiteral("infCONT_ResumenIVA.rpt");
}

QString frmInfResumenIVA::tituloInforme() const {
    return QStringLiteral("Resumen trimestral de IVA");
}

}  // namespace orvo
