#include "frmInfPresupuesto.h"

#include <QLineEdit>

namespace orvo {

frmInfPresupuesto::frmInfPresupuesto(Componente& componente, QWidget* padre)
    : FormularioNiveles(componente, QStringLiteral("frmInfPresupuesto"),
                        QStringLiteral("Presupuesto"),
                        TextosNiveles{{QStringLiteral("AGREGAR>"), QStringLiteral("TODOS>>"),
                                       QStringLiteral("<<TODOS"), QStringLiteral("<QUITAR")},
                                      QStringLiteral("DISPONIBLES:"),
                                      QStringLiteral("SELECCIONADOS:")},
                        padre) {
    enPestanas({filaEmpresa(), subcuentasNiveles(), euros()});
}

void frmInfPresupuesto::cargarPropio() {
    // El código de origen llega antes que la empresa: ya se sabe qué informe es.
    setWindowTitle(esPresupuesto() ? mensajes().tituloPresupuestos()
                                   : mensajes().tituloPresupuestoAnual());
    FormularioNiveles::cargarPropio();
}

OpcionesPresupuesto frmInfPresupuesto::opciones() const {
    auto op = opcionesComunes<OpcionesPresupuesto>();
    op.origen = origen();
    op.niveles = nivelesSeleccionados();
    return op;
}

bool frmInfPresupuesto::RellenarInforme() {
    deshabilitarBotonesListas();
    return construirEnTransaccion(
        tablaPresupuesto(origen()), QStringLiteral("Codigo"), construirPresupuesto, opciones(),
        QStringLiteral("RellenarInforme"), QStringLiteral("OrvoContabilidad"));
}

QString frmInfPresupuesto::nombrePlantilla() const {
    return esPresupuesto() ? QStringLiteral("infCONT_Presupuesto.rpt")
                           : QStringLiteral("infCONT_PresupuestoAnual.rpt");
}

QString frmInfPresupuesto::tituloInforme() const {
    return esPresupuesto() ? QStringLiteral("Informe de presupuesto")
                           : QStringLiteral("Informe de presupuesto anual");
}

std::optional<Desglose> frmInfPresupuesto::desglosar(const QHash<QString, QString>& fila) {
    const QString codigo = fila.value(QStringLiteral("Codigo"));
    if (codigo.isEmpty()) return std::nullopt;
    return mayorDeCuenta(codigo, QDate(), QDate(), divisaMarcada());
}

}  // namespace orvo
