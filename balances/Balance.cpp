#include "Balance.h"

#include "BarraProgreso.h"
#include "Conexion.h"
#include "FormulasBalance.h"
#include "LineasBalance.h"
#include "Regional.h"
#include "cBalances.h"

namespace orvo {

QString textoPeriodo(const QDate& desde, const QDate& hasta) {
    const auto mes = [](const QDate& d) {
        return Regional::nombreMes(d.month()) + u'/' + QString::number(d.year());
    };
    return mes(desde) + QStringLiteral(" ~ ") + mes(hasta);
}

QString formulaColumnaCodigo(bool mostrar) {
    return mostrar ? QStringLiteral("MostrarColumnaCodigo = 1")
                   : QStringLiteral("MostrarColumnaCodigo = 0");
}

std::vector<LineaBalance> lineasDelEstado(ContextoInforme& contexto, PeticionLineas peticion,
                                          const QDate& desde, const QDate& hasta) {
    if (peticion.documento == 1)
        peticion.resultado = ResultadoDelPeriodo(contexto.contabilidad, peticion.empresa,
                                                 peticion.euros, desde, hasta);
    return calcularLineasBalance(contexto.contabilidad, contexto.progreso, peticion);
}

FormulasInforme construirBalance(ContextoInforme& contexto, const OpcionesBalance& o) {
    PeticionLineas peticion;
    peticion.empresa = o.empresa;
    peticion.documento = o.documento;
    peticion.meses = mesesDelPeriodo(o.desde, o.hasta);
    peticion.euros = o.euros;
    peticion.saldoCero = o.saldoCero;
    peticion.numerosCuenta = o.numerosCuenta;
    peticion.presupuesto = o.presupuesto;

    const std::vector<LineaBalance> lineas = lineasDelEstado(contexto, peticion, o.desde, o.hasta);

    Instruccion insertar = contexto.informes.preparar(QStringLiteral(
        "INSERT INTO Balances (Nivel, Descripcion, Codigo, Total, Formula, Presupuesto, Media, "
        "Naturaleza, Orden) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const LineaBalance& l : lineas)
        insertar.ejecutar({l.nivel, l.descripcion, l.codigo, l.total, l.formula, l.presupuesto,
                           l.media, l.naturaleza, l.orden});
    if (o.soloEpigrafes)
        contexto.informes.Execute(QStringLiteral("DELETE FROM Balances WHERE Codigo = '-'"));
    CalcularFormulas(contexto.informes, contexto.progreso, o.euros, ColumnasFormulas::balance());

    return {{1, formulaEmpresa(o.textoEmpresa)},
            {2, QStringLiteral("Periodo= \"Periodo:  ") + textoPeriodo(o.desde, o.hasta) + u'"'},
            {3, formulaColumnaCodigo(o.mostrarCodigos)}};
}

}  // namespace orvo
