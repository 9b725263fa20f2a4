#include "frmInfLibroDiario.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>

namespace orvo {

frmInfLibroDiario::frmInfLibroDiario(Componente& componente, QWidget* padre)
    : FormularioInforme(componente, QStringLiteral("frmInfLibroDiario"),
                        QStringLiteral("LibroDiario"), padre) {
    setWindowTitle(QStringLiteral("Informe de libro Diario"));
    enColumna({filaEmpresa(), periodo(QStringLiteral("MMMM  /       yyyy")), subcuentas(),
               asientos(), euros(),
               chkApuntesOrdenados_ = casilla(QStringLiteral("Mostrar apuntes ordenados"),
                                              QStringLiteral("chkApuntesOrdenados")),
               chkTipoDiario_ = casilla(QStringLiteral("Mostrar suma y sigue"),
                                        QStringLiteral("chkTipoDiario"))},
              QStringLiteral("abpInformes"));
}

QGroupBox* frmInfLibroDiario::asientos() {
    const QString iniciales[2] = {QStringLiteral("0"), QStringLiteral("9999999")};
    return marcoDeDos(
        QStringLiteral("ASIENTOS"), {QStringLiteral("De:"), QStringLiteral("a: ")},
        [&](int i, QWidget* marco) {
            asientos_[i] = new QLineEdit(iniciales[i], marco);
            asientos_[i]->setObjectName(nombreControl(QStringLiteral("txtLibroDiario"), i + 2));
            return asientos_[i];
        });
}

void frmInfLibroDiario::ObtenerNumeroMaximo(Conexion& con, long empresa) {
    asientos_[0]->setText(QStringLiteral("0"));
    asientos_[1]->setText(numeroMaximoAsiento(con, empresa));
}

void frmInfLibroDiario::empresaElegidaPropio(long codigo) {
    ObtenerNumeroMaximo(contabilidad(), codigo);
}

bool frmInfLibroDiario::comprobarPropio() {
    if (!periodoCorrecto()) return false;
    if (asientos_[0]->text().trimmed().isEmpty() || asientos_[1]->text().trimmed().isEmpty()) {
        avisar(mensajes().faltanAsientos(), asientos_[0]);
        return false;
    }
    return true;
}

OpcionesLibroDiario frmInfLibroDiario::opciones() const {
    auto o = opcionesComunes<OpcionesLibroDiario>();
    o.asientoDesde = asientos_[0]->text();
    o.asientoHasta = asientos_[1]->text();
    o.apuntesOrdenados = chkApuntesOrdenados_->isChecked();
    return o;
}

bool frmInfLibroDiario::RellenarInforme() {
    return construirEnTransaccion(
        QStringLiteral("Libro_Diario"), QStringLiteral("Asiento"), construirLibroDiario, opciones(),
        QStringLiteral("RellenarInforme"), QStringLiteral("OrvoInfContabilidad"));
}

QString frmInfLibroDiario::nombrePlantilla() const {
    return chkTipoDiario_->isChecked() ? QStringLiteral("infCONT_LibroDiario_2.rpt")
                                       : QStringLiteral("infCONT_LibroDiario.rpt");
}

}  // namespace orvo
