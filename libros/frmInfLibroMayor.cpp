#include "frmInfLibroMayor.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace orvo {

frmInfLibroMayor::frmInfLibroMayor(Componente& componente, QWidget* padre)
    : frmInfLibroMayor(componente, QStringLiteral("frmInfLibroMayor"), QStringLiteral("ACEPTAR"),
                       padre) {
    setWindowTitle(QStringLiteral("Informe de libro Mayor"));
}

frmInfLibroMayor::frmInfLibroMayor(Componente& componente, const QString& modulo,
                                   const QString& aceptar, QWidget* padre)
    : FormularioLibro(componente, modulo, padre) {
    const QString raiz = QStringLiteral("LibroMayor");
    ControlesComunes c;
    QBoxLayout* empresa = filaEmpresa(raiz, c);
    QGroupBox* fraPeriodo = periodo(raiz, QStringLiteral("MMMM  /       yyyy"), c);
    fraSubcuentas_ = subcuentas(raiz, c);
    QBoxLayout* filaEuros = euros(raiz, c);
    chkAcumulados_ = new QCheckBox(QStringLiteral("Mostrar saldo anterior acum."), this);
    chkAcumulados_->setObjectName(QStringLiteral("chkAcumulados"));
    chkCuentaPorHoja_ = new QCheckBox(QStringLiteral("Imprimir una cuenta por hoja"), this);
    chkCuentaPorHoja_->setObjectName(QStringLiteral("chkCuentaPorHoja"));

    capa_ = new QVBoxLayout(this);
    capa_->addLayout(empresa);
    capa_->addWidget(fraPeriodo);
    capa_->addWidget(fraSubcuentas_);
    capa_->addLayout(filaEuros);
    capa_->addWidget(chkAcumulados_);
    capa_->addWidget(chkCuentaPorHoja_);
    capa_->addWidget(barra(QStringLiteral("abpInformes"), c));
    capa_->addLayout(botones(raiz, aceptar, c));
    capa_->setSizeConstraint(QLayout::SetFixedSize);
    registrarComunes(c);
}

bool frmInfLibroMayor::comprobarPropio() {
    if (!cGeneral::PeriodoFechaCorrecto(comunes().fechas[0], comunes().fechas[1])) {
        // Este aviso lleva el icono de información, no el de exclamación.
        general().mensaje(mensajes().Mensaje05(), Icono::Informacion);
        comunes().fechas[0]->setFocus();
        return false;
    }
    return true;
}

OpcionesLibroMayor frmInfLibroMayor::opciones() const {
    OpcionesLibroMayor o;
    o.empresa = empresa();
    o.euros = eurosMarcado();
    o.subcuentaDesde = comunes().subcuentas[0]->text();
    o.subcuentaHasta = comunes().subcuentas[1]->text();
    o.desde = comunes().fechas[0]->date();
    o.hasta = comunes().fechas[1]->date();
    o.inicioEjercicio = comunes().fechas[0]->minimumDate();
    o.saldoAnterior = chkAcumulados_->isChecked();
    return o;
}

bool frmInfLibroMayor::RellenarInforme() {
    return construirEnTransaccion(
        QStringLiteral("Libro_Mayor"), QStringLiteral("Asiento"),
        [this](ContextoInforme& contexto) {
            OpcionesLibroMayor o = opciones();
            o.textoEmpresa = textoEmpresa();
            return construirLibroMayor(contexto, o);
        },
        QStringLiteral("RellenarInforme"), QStringLiteral("OrvoInfContabilidad"));
}

QString frmInfLibroMayor::nombrePlantilla() const {
    return chkCuentaPorHoja_->isChecked() ? QStringLiteral("infCONT_LibroMayor_2.rpt")
                                          : QStringLiteral("infCONT_LibroMayor.rpt");
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
    capa_->insertWidget(2, rotulo);
    capa_->insertWidget(3, lstInfSubCuentas_);
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
