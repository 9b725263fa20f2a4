#include "frmInfLibroDiario.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvo {

frmInfLibroDiario::frmInfLibroDiario(Componente& componente, QWidget* padre)
    : FormularioLibro(componente, QStringLiteral("frmInfLibroDiario"), padre) {
    setWindowTitle(QStringLiteral("Informe de libro Diario"));
    const QString raiz = QStringLiteral("LibroDiario");
    ControlesComunes c;
    QBoxLayout* empresa = filaEmpresa(raiz, c);
    QGroupBox* fraPeriodo = periodo(raiz, QStringLiteral("MMMM  /       yyyy"), c);
    QGroupBox* fraSubcuentas = subcuentas(raiz, c);

    auto* fraAsientos = new QGroupBox(QStringLiteral("ASIENTOS"), this);
    auto* rejilla = new QGridLayout(fraAsientos);
    const QString rotulos[2] = {QStringLiteral("De:"), QStringLiteral("a: ")};
    const QString iniciales[2] = {QStringLiteral("0"), QStringLiteral("9999999")};
    for (int i = 0; i < 2; ++i) {
        asientos_[i] = new QLineEdit(iniciales[i], fraAsientos);
        asientos_[i]->setObjectName(nombreControl(QStringLiteral("txt") + raiz, i + 2));
        auto* rotulo = new QLabel(rotulos[i], fraAsientos);
        rotulo->setBuddy(asientos_[i]);
        rejilla->addWidget(rotulo, 0, 2 * i);
        rejilla->addWidget(asientos_[i], 0, 2 * i + 1);
    }

    QBoxLayout* filaEuros = euros(raiz, c);
    chkApuntesOrdenados_ = new QCheckBox(QStringLiteral("Mostrar apuntes ordenados"), this);
    chkApuntesOrdenados_->setObjectName(QStringLiteral("chkApuntesOrdenados"));
    chkTipoDiario_ = new QCheckBox(QStringLiteral("Mostrar suma y sigue"), this);
    chkTipoDiario_->setObjectName(QStringLiteral("chkTipoDiario"));

    auto* capa = new QVBoxLayout(this);
    capa->addLayout(empresa);
    capa->addWidget(fraPeriodo);
    capa->addWidget(fraSubcuentas);
    capa->addWidget(fraAsientos);
    capa->addLayout(filaEuros);
    capa->addWidget(chkApuntesOrdenados_);
    capa->addWidget(chkTipoDiario_);
    capa->addWidget(barra(QStringLiteral("abpInformes"), c));
    capa->addLayout(botones(raiz, QStringLiteral("ACEPTAR"), c));
    capa->setSizeConstraint(QLayout::SetFixedSize);
    registrarComunes(c);
}

void frmInfLibroDiario::ObtenerNumeroMaximo(Conexion& con, long empresa) {
    asientos_[0]->setText(QStringLiteral("0"));
    asientos_[1]->setText(numeroMaximoAsiento(con, empresa));
}

void frmInfLibroDiario::empresaElegidaPropio(long codigo) {
    ObtenerNumeroMaximo(contabilidad(), codigo);
}

bool frmInfLibroDiario::comprobarPropio() {
    if (!cGeneral::PeriodoFechaCorrecto(comunes().fechas[0], comunes().fechas[1])) {
        avisar(mensajes().Mensaje05(), comunes().fechas[0]);
        return false;
    }
    if (asientos_[0]->text().trimmed().isEmpty() || asientos_[1]->text().trimmed().isEmpty()) {
        avisar(mensajes().Mensaje19(), asientos_[0]);
        return false;
    }
    return true;
}

OpcionesLibroDiario frmInfLibroDiario::opciones() const {
    OpcionesLibroDiario o;
    o.empresa = empresa();
    o.euros = eurosMarcado();
    o.subcuentaDesde = comunes().subcuentas[0]->text();
    o.subcuentaHasta = comunes().subcuentas[1]->text();
    o.asientoDesde = asientos_[0]->text();
    o.asientoHasta = asientos_[1]->text();
    o.desde = comunes().fechas[0]->date();
    o.hasta = comunes().fechas[1]->date();
    o.apuntesOrdenados = chkApuntesOrdenados_->isChecked();
    return o;
}

bool frmInfLibroDiario::RellenarInforme() {
    return construirEnTransaccion(
        QStringLiteral("Libro_Diario"), QStringLiteral("Asiento"),
        [this](ContextoInforme& contexto) {
            OpcionesLibroDiario o = opciones();
            o.textoEmpresa = textoEmpresa();
            return construirLibroDiario(contexto, o);
        },
        QStringLiteral("RellenarInforme"), QStringLiteral("OrvoInfContabilidad"));
}

QString frmInfLibroDiario::nombrePlantilla() const {
    return chkTipoDiario_->isChecked() ? QStringLiteral("infCONT_LibroDiario_2.rpt")
                                       : QStringLiteral("infCONT_LibroDiario.rpt");
}

}  // namespace orvo
