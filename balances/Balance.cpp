#include "Balance.h"

#include "Conexion.h"
#include "FormulasBalance.h"
#include "LineasBalance.h"
#include "Progreso.h"
#include "Regional.h"
#include "cBalances.h"

namespace orvo {

QString formulaColumnaCodigo(bool mostrar) {
    return mostrar ? QStringLiteral("MostrarColumnaCodigo = 1")
                   : QStringLiteral("MostrarColumnaCodigo = 0");
}

std::vector<LineaBalance> lineasDelEstado(ContextoInforme& contexto, PeticionLineas peticion,
                                          const QDate& desde, const QDate& hasta) {
    if (peticion.documento == 1)
        peticion.resultado = ResultadoDelPeriodo(contexto.contabilidad, peticion.empresa,
                                                 peticion.divisa, desde, hasta);
    return calcularLineasBalance(contexto.contabilidad, contexto.progreso, peticion);
}

FormulasInforme construirBalance(ContextoInforme& contexto, const OpcionesBalance& o) {
    PeticionLineas peticion;
    peticion.empresa = o.empresa;
    peticion.documento = o.documento;
    peticion.meses = mesesPeriodo(o.desde, o.hasta);
    peticion.divisa = o.divisa;
    peticion.saldoCero = o.saldoCero;
    peticion.numerosCuenta = o.numerosCuenta;
    peticion.presupuesto = o.presupuesto;
    peticion.todasLasSubcuentas = o.todasLasSubcuentas;

    std::vector<FilaBalance> filas;
    for (LineaBalance& l : lineasDelEstado(contexto, peticion, o.desde, o.hasta)) {
        const bool borrada = o.soloEpigrafes && l.codigo == u"-";
        filas.push_back({std::move(l), std::nullopt, borrada});
    }
    CalcularFormulas(filas, true, contexto.progreso, QStringLiteral("Calculando fórmulas ..."));

    Instruccion insertar = contexto.informes.preparar(QStringLiteral(
        "INSERT INTO Balances (Nivel, Descripcion, Codigo, Total, Formula, Presupuesto, Media, "
        "Naturaleza, Orden) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const FilaBalance& f : filas) {
        if (f.borrada) continue;
        const LineaBalance& l = *f.a;
        const TextosImportes t = textosImportes(l, o.divisa);
        insertar.ejecutar({l.nivel, l.descripcion, l.codigo, t.total, l.formula, t.presupuesto,
                           t.media, l.naturaleza, l.orden});
    }

    return {{1, formulaEmpresa(contexto.contabilidad, o.empresa)},
            {2, formulaPeriodo(Regional::mesBarraAno(o.desde), Regional::mesBarraAno(o.hasta))},
            {3, formulaColumnaCodigo(o.mostrarCodigos)}};
}

}  // namespace orvo
