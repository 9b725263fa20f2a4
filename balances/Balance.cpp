#include "Balance.h"

#include "CeldasBalance.h"
#include "Conexion.h"
#include "FormulasBalance.h"
#include "LineasBalance.h"
#include "Progreso.h"
#include "Regional.h"
#include "cBalances.h"
#include "cGeneral.h"

namespace orvo {

QString formulaColumnaCodigo(bool mostrar) {
    return mostrar ? QStringLiteral("MostrarColumnaCodigo = 1")
                   : QStringLiteral("MostrarColumnaCodigo = 0");
}

std::vector<LineaBalance> lineasDelEstado(Conexion& contabilidad, IProgreso& progreso,
                                          PeticionLineas peticion, const QDate& desde,
                                          const QDate& hasta) {
    if (peticion.documento == 1)
        peticion.resultado =
            ResultadoDelPeriodo(contabilidad, peticion.empresa, peticion.divisa, desde, hasta);
    return calcularLineasBalance(contabilidad, progreso, peticion);
}

EstadoBalance calcularBalance(Conexion& contabilidad, IProgreso& progreso,
                              const OpcionesBalance& o) {
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
    for (LineaBalance& l : lineasDelEstado(contabilidad, progreso, peticion, o.desde, o.hasta)) {
        const bool borrada = o.soloEpigrafes && l.codigo == u"-";
        filas.push_back({std::move(l), std::nullopt, borrada});
    }
    CalcularFormulas(filas, true, progreso, QStringLiteral("Calculando fórmulas ..."));

    EstadoBalance r;
    r.divisa = o.divisa;
    r.lineas.reserve(filas.size());
    for (FilaBalance& f : filas)
        if (!f.borrada) r.lineas.push_back(std::move(*f.a));
    r.empresa = cGeneral::ObtenerEmpresa(o.empresa, contabilidad);
    return r;
}

FormulasInforme construirBalance(ContextoInforme& contexto, const OpcionesBalance& o) {
    const EstadoBalance r = calcularBalance(contexto.contabilidad, contexto.progreso, o);
    EscritorTabla escritor(
        contexto.informes, QStringLiteral("Balances"),
        {QStringLiteral("Nivel"), QStringLiteral("Descripcion"), QStringLiteral("Codigo"),
         QStringLiteral("Total"), QStringLiteral("Formula"), QStringLiteral("Presupuesto"),
         QStringLiteral("Media"), QStringLiteral("Naturaleza"), QStringLiteral("Orden")},
        r.divisa);
    for (const LineaBalance& l : r.lineas) {
        const auto [total, presupuesto, media] = celdasImportes(l);
        escritor.escribir({qint64{l.nivel}, l.descripcion, l.codigo, total, l.formula, presupuesto,
                           media, l.naturaleza, l.orden});
    }

    return {{1, formulaEmpresa(r.empresa)},
            {2, formulaPeriodo(Regional::mesBarraAno(o.desde), Regional::mesBarraAno(o.hasta))},
            {3, formulaColumnaCodigo(o.mostrarCodigos)}};
}

}  // namespace orvo
