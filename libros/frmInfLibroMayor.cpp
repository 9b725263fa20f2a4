#include "frmInfLibroMayor.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace orvo {

frmInfLibroMayor::frmInfLibroMayor(Componente& componente, QWidget* padre)
    : frmInfLibroMayor(componente, QStringLiteral("frmInfLibroMayor"), QStringLiteral("ACEPTAR"),
                       padre) {
    setWindowTitle(QStringLiteral("Informe de libro Mayor"));
}

frmInfLibroMayor::frmInfLibroMayor(Componente& componente, const QString& modulo,
                                   const QString& aceptar, QWidget* padre)
    : FormularioInforme(componente, modulo, QStringLiteral("LibroMayor"), padre) {
    enColumna({filaEmpresa(), periodo(QStringLiteral("MMMM  /       yyyy")),
               fraSubcuentas_ = subcuentas(), euros(),
               chkAcumulados_ = casilla(QStringLiteral("Mostrar saldo anterior acum."),
                                        QStringLiteral("chkAcumulados")),
               chkCuentaPorHoja_ = casilla(QStringLiteral("Imprimir una cuenta por hoja"),
                                           QStringLiteral("chkCuentaPorHoja"))},
              QStringLiteral("abpInformes"), aceptar);
}

bool frmInfLibroMayor::comprobarPropio() {
    // Este aviso lleva el icono de información, no el de exclamación.
    return periodoCorrecto(nullptr, Icono::Informacion);
}

OpcionesLibroMayor frmInfLibroMayor::opciones() const {
    auto o = opcionesComunes<OpcionesLibroMayor>();
    o.inicioEjercicio = comunes().fechas[0]->minimumDate();
    o.saldoAnterior = chkAcumulados_->isChecked();
    return o;
}

bool frmInfLibroMayor::RellenarInforme() {
    return construirEnTransaccion(
        QStringLiteral("Libro_Mayor"), QStringLiteral("Asiento"), construirLibroMayor, opciones(),
        QStringLiteral("RellenarInforme"), QStringLiteral("OrvoInfContabilidad"));
}

QString frmInfLibroMayor::nombrePlantilla() const {
    return chkCuentaPorHoja_->isChecked() ? QStringLiteral("infCONT_LibroMayor_2.rpt")
                                          : QStringLiteral("infCONT_LibroMayor.rpt");
}

std::optional<Desglose> frmInfLibroMayor::desglosar(const QHash<QString, QString>& fila) {
    const QString asiento = fila.value(QStringLiteral("Asiento"));
    if (asiento.isEmpty()) return std::nullopt;  // el saldo anterior no es de ningún asiento
    const OpcionesLibroMayor o = opciones();
    return diarioDeAsiento(asiento, o.desde, o.hasta, o.divisa);
}

// --- Desglose de subcuenta ------------------------------------------------------------------

frmInfDesgloseSubCuenta::frmInfDesgloseSubCuenta(Componente& componente, QWidget* padre)
    : frmInfLibroMayor(componente, QStringLiteral("frmInfDesgloseSubCuenta"),
                       QStringLiteral("IMPRIMIR"), padre) {
    setWindowTitle(QStringLiteral("Informe desglose de Subcuenta"));
    lstInfSubCuentas_ = new QListWidget(this);
    lstInfSubCuentas_->setObjectName(QStringLiteral("lstInfSubCuentas"));
    lstInfSubCuentas_->setMinimumHeight(160);
    auto* rotulo = new QLabel(QStringLiteral("LISTADO SUBCUENTAS:"), this);
    rotulo->setBuddy(lstInfSubCuentas_);
    auto* capa = static_cast<QBoxLayout*>(layout());
    capa->insertWidget(2, rotulo);
    capa->insertWidget(3, lstInfSubCuentas_);
    // Con el tabulador, la lista va tras el periodo, como se ve, y no tras los botones.
    setTabOrder(comunes().fechas[1], lstInfSubCuentas_);
    // Las cajas de subcuenta siguen comprobándose, pero el usuario no las ve ni las cambia.
    fraSubcuentas_->hide();
    chkCuentaPorHoja_->hide();
}

void frmInfDesgloseSubCuenta::cargarPropio() {
    CargarSubcuentas();
}

void frmInfDesgloseSubCuenta::CargarSubcuentas() {
    Recordset rs = contabilidad().Execute(
        QStringLiteral("SELECT Codigo, Descripcion, IDCuenta FROM Cuenta "
                       "WHERE CodTipo_Cuenta = 2 AND CodEmpresa = ? ORDER BY Codigo"),
        {static_cast<qlonglong>(empresa())});
    for (; !rs.Eof(); rs.MoveNext()) {
        auto* item = new QListWidgetItem(rs.Fields(0).toString(), lstInfSubCuentas_);
        item->setData(Qt::UserRole, rs.Fields(2));
        item->setToolTip(rs.Fields(1).toString());
    }
}

OpcionesLibroMayor frmInfDesgloseSubCuenta::opciones() const {
    OpcionesLibroMayor o = frmInfLibroMayor::opciones();
    // Sin nada elegido se busca el código vacío, que no existe: no se imprime nada.
    const QListWidgetItem* elegido = lstInfSubCuentas_->currentItem();
    o.subcuentaUnica = elegido && elegido->isSelected() ? elegido->text() : QString();
    return o;
}

QString frmInfDesgloseSubCuenta::nombrePlantilla() const {
    return QStringLiteral("infCONT_DesgloseSubCuentas.rpt");
}

}  // namespace orvo
