#include "FormularioBalance.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Balance.h"
#include "SelectorFecha.h"
#include "cCOrigen.h"

namespace orvo {

FormularioBalance::FormularioBalance(Componente& componente, const QString& nombreModulo,
                                     QWidget* padre)
    : FormularioInforme(componente, nombreModulo, padre) {
    auto* principal = new QVBoxLayout(this);
    cabecera_ = new QGridLayout;
    principal->addLayout(cabecera_);

    auto* periodo = new QGroupBox(QStringLiteral("PERIODO"), this);
    periodo->setObjectName(QStringLiteral("fraBalance1"));
    auto* rejilla = new QGridLayout(periodo);
    const QString etiquetas[2] = {QStringLiteral("DESDE:"), QStringLiteral("HASTA:")};
    for (int i = 0; i < 2; ++i) {
        fechas_[i] = new SelectorFecha(periodo);
        fechas_[i]->setObjectName(nombreControl(QStringLiteral("dtpBalance"), i));
        rejilla->addWidget(new QLabel(etiquetas[i], periodo), 0, 2 * i);
        rejilla->addWidget(fechas_[i], 0, 2 * i + 1);
    }
    principal->addWidget(periodo);

    auto* marco = new QGroupBox(QStringLiteral("OPCIONES"), this);
    marco->setObjectName(QStringLiteral("fraBalance0"));
    auto* columna = new QGridLayout(marco);
    const QString textos[6] = {QStringLiteral("Importes en euros"),
                               QStringLiteral("Mostrar códigos de epígrafes"),
                               QStringLiteral("Mostrar cuentas con saldo cero"),
                               QStringLiteral("Mostrar sólo epígrafes"),
                               QStringLiteral("Mostrar presupuesto"),
                               QStringLiteral("Mostrar números de cuentas")};
    for (int i = 0; i < 6; ++i) {
        opciones_[i] = new QCheckBox(textos[i], marco);
        opciones_[i]->setObjectName(nombreControl(QStringLiteral("chkBalance"), i));
        if (i > 0) columna->addWidget(opciones_[i], i % 3, i / 3);
    }
    // La moneda, al lado de su casilla.
    auto* euros = new QHBoxLayout;
    auto* euro = new QLabel(QStringLiteral("(€)"), marco);
    euro->setObjectName(QStringLiteral("lblEuro"));
    euros->addWidget(opciones_[0]);
    euros->addWidget(euro);
    euros->addStretch();
    columna->addLayout(euros, 0, 0);
    principal->addWidget(marco);

    principal->addWidget(barra(QStringLiteral("abpInformes"), controles_));
    principal->addLayout(botones(QStringLiteral("Balance"), QStringLiteral("ACEPTAR"), controles_));
}

QComboBox* FormularioBalance::anadirListaEmpresas(const QString& nombre, const QString& etiqueta,
                                                  int fila) {
    auto* lista = new QComboBox(this);
    lista->setObjectName(nombre);
    lista->setMinimumContentsLength(40);
    cabecera_->addWidget(new QLabel(etiqueta, this), fila, 0);
    cabecera_->addWidget(lista, fila, 1);
    return lista;
}

void FormularioBalance::registrar(QComboBox* empresa, const QString& procedimientoBotones) {
    ControlesComunes c = controles_;
    c.empresa = empresa;
    if (!procedimientoBotones.isEmpty()) c.nombreBotones = procedimientoBotones;
    c.fechas[0] = fechas_[0];
    c.fechas[1] = fechas_[1];
    c.euros = opciones_[0];
    registrarComunes(c);
}

bool FormularioBalance::opcion(int indice) const {
    return opciones_[indice]->isChecked();
}
QDate FormularioBalance::desde() const {
    return fechas_[0]->date();
}
QDate FormularioBalance::hasta() const {
    return fechas_[1]->date();
}

void FormularioBalance::leerOpcionesEstado(OpcionesEstado& o) const {
    o.documento = origen() == cCOrigen::BALANCEPYG ? 2 : 1;
    o.desde = desde();
    o.hasta = hasta();
    o.euros = opcion(0);
    o.mostrarCodigos = opcion(1);
    o.saldoCero = opcion(2);
    o.soloEpigrafes = opcion(3);
    o.numerosCuenta = opcion(5);
}

bool FormularioBalance::periodoCorrecto() {
    if (cGeneral::PeriodoFechaCorrecto(fechas_[0], fechas_[1])) return true;
    avisar(mensajes().Mensaje05(), fechas_[0]);
    return false;
}

QString FormularioBalance::plantillaBalance(bool comparativo) const {
    const QString estado = origen() == cCOrigen::BALANCEPYG ? QStringLiteral("PerdidasyGanancias")
                                                            : QStringLiteral("Situacion");
    return QStringLiteral("infCONT_") + estado +
           (comparativo ? QStringLiteral("Comparativo") : QString()) +
           (opcion(4) ? QStringLiteral("Presupuesto") : QString()) + QStringLiteral(".rpt");
}

QString FormularioBalance::tituloBalance(bool comparativo) const {
    QString titulo =
        origen() == cCOrigen::BALANCEPYG ? mensajes().Mensaje18() : mensajes().Mensaje17();
    if (comparativo) titulo += QStringLiteral(" comparativo");
    if (opcion(4)) titulo += QStringLiteral(" presupuestario");
    return titulo;
}

}  // namespace orvo
