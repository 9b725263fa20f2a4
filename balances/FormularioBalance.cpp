#include "FormularioBalance.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "Balance.h"
#include "cCOrigen.h"

namespace orvo {

FormularioBalance::FormularioBalance(Componente& componente, const QString& nombreModulo,
                                     QWidget* padre)
    : FormularioInforme(componente, nombreModulo, QStringLiteral("Balance"), padre) {
    cabecera_ = new QGridLayout;
    fraPeriodo_ = periodo();
    fraPeriodo_->setObjectName(QStringLiteral("fraBalance1"));
    fraOpciones_ = marcoOpciones();
}

// Marco "OPCIONES": la moneda, con su símbolo al lado, y las otras cinco en dos columnas.
QGroupBox* FormularioBalance::marcoOpciones() {
    auto* marco = new QGroupBox(QStringLiteral("OPCIONES"), this);
    marco->setObjectName(QStringLiteral("fraBalance0"));
    auto* columnas = new QGridLayout(marco);
    columnas->addLayout(
        euros(nombreControl(QStringLiteral("chkBalance"), 0), QStringLiteral("(€)")), 0, 0);
    opciones_[0] = comunes().euros;
    const QString textos[5] = {
        QStringLiteral("Mostrar códigos de epígrafes"),
        QStringLiteral("Mostrar cuentas con saldo cero"), QStringLiteral("Mostrar sólo epígrafes"),
        QStringLiteral("Mostrar presupuesto"), QStringLiteral("Mostrar números de cuentas")};
    for (int i = 1; i < 6; ++i) {
        opciones_[i] =
            casilla(textos[i - 1], nombreControl(QStringLiteral("chkBalance"), i), marco);
        columnas->addWidget(opciones_[i], i % 3, i / 3);
    }
    return marco;
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
    comunes().empresa = empresa;
    enColumna({cabecera_, fraPeriodo_, fraOpciones_}, QStringLiteral("abpInformes"));
    if (!procedimientoBotones.isEmpty()) comunes().nombreBotones = procedimientoBotones;
}

bool FormularioBalance::opcion(int indice) const {
    return opciones_[indice]->isChecked();
}

void FormularioBalance::leerOpcionesEstado(OpcionesEstado& o) const {
    o.documento = origen() == cCOrigen::BALANCEPYG ? 2 : 1;
    o.desde = comunes().fechas[0]->date();
    o.hasta = comunes().fechas[1]->date();
    o.divisa = divisaMarcada();
    o.mostrarCodigos = opcion(1);
    o.saldoCero = opcion(2);
    o.soloEpigrafes = opcion(3);
    o.numerosCuenta = opcion(5);
}

QString FormularioBalance::plantillaBalance(bool comparativo) const {
    const QString estado = origen() == cCOrigen::BALANCEPYG ? QStringLiteral("PerdidasyGanancias")
                                                            : QStringLiteral("Situacion");
    return QStringLiteral("infCONT_") + estado +
           (comparativo ? QStringLiteral("Comparativo") : QString()) +
           (opcion(4) ? QStringLiteral("Presupuesto") : QString()) + QStringLiteral(".rpt");
}

QString FormularioBalance::tituloBalance(bool comparativo) const {
    QString titulo = origen() == cCOrigen::BALANCEPYG ? mensajes().tituloPerdidasYGanancias()
                                                      : mensajes().tituloBalanceSituacion();
    if (comparativo) titulo += QStringLiteral(" comparativo");
    if (opcion(4)) titulo += QStringLiteral(" presupuestario");
    return titulo;
}

}  // namespace orvo
