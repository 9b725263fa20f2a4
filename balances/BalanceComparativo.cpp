#include "BalanceComparativo.h"

#include "Balance.h"
#include "CeldasBalance.h"
#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "FormulasBalance.h"
#include "cBalances.h"
#include "cGeneral.h"

namespace orvo {

namespace {

struct Ejercicio {
    QString inicio;  // "yyyymmdd"
    QString fin;
};

Ejercicio leerEjercicio(Conexion& con, long empresa) {
    const auto e = DatosEmpresa::leer(con, empresa);
    if (!e) return {};
    return {e->fechaIni.trimmed(), e->fechaFin.trimmed()};
}

bool mesEnEjercicio(const Ejercicio& e, const QString& mes, const QDate& desde,
                    const QDate& hasta) {
    const QString d1 = cGeneral::DateString(desde);
    const QString d2 = cGeneral::DateString(hasta);
    // El ejercicio de la empresa se lleva a los años del periodo.
    const int ano = d1.left(4).toInt();
    const int anoInicio = ano;
    const int anoFin = ano + e.fin.left(4).toInt() - e.inicio.left(4).toInt();
    const int mesInicio = e.inicio.mid(4, 2).toInt();
    const int mesFin = e.fin.mid(4, 2).toInt();
    const int m = mes.toInt();
    int anoMes = anoInicio - 1;
    if (m >= mesInicio)
        anoMes = anoInicio;
    else if (m <= mesFin)
        anoMes = anoFin;
    const QString candidato = QString::number(anoMes) + mes;
    return candidato >= d1.left(6) && candidato <= d2.left(6);
}

QString textoAbreviado(Conexion& con, long empresa) {
    const auto e = DatosEmpresa::leer(con, empresa);
    if (!e) return QStringLiteral("<->");
    return u'<' + e->abreviatura + u'-' + e->ejercicio + u'>';
}

// Las líneas de una empresa ("A" o "B") con la ruta de sus antepasados.
ColeccionBalance cargarColeccion(Conexion& contabilidad, IProgreso& progreso,
                                 const OpcionesComparativo& o, long empresa, const QString& lado) {
    const Ejercicio ejercicio = leerEjercicio(contabilidad, empresa);
    PeticionLineas peticion;
    peticion.empresa = empresa;
    peticion.documento = o.documento;
    for (const QString& mes : mesesPeriodo(o.desde, o.hasta))
        if (mesEnEjercicio(ejercicio, mes, o.desde, o.hasta)) peticion.meses << mes;
    peticion.divisa = o.divisa;
    peticion.saldoCero = o.saldoCero;
    peticion.numerosCuenta = o.numerosCuenta;
    peticion.presupuesto = true;
    peticion.rotulo = QStringLiteral("Procesando datos empresa %1 ...").arg(lado);

    ColeccionBalance coleccion =
        lineasDelEstado(contabilidad, progreso, peticion, o.desde, o.hasta);
    enProcedimiento(QStringLiteral("GrabarPadresColeccion"),
                    [&] { GrabarPadresColeccion(coleccion); });
    return coleccion;
}

ColeccionBalance CargaColeccionEmpresa(Conexion& contabilidad, IProgreso& progreso,
                                       const OpcionesComparativo& o, long empresa,
                                       const QString& lado) {
    return enProcedimiento(QStringLiteral("CargaColeccionEmpresa"), [&] {
        return cargarColeccion(contabilidad, progreso, o, empresa, lado);
    });
}

}  // namespace

EstadoComparativo calcularComparativo(Conexion& contabilidad, IProgreso& progreso,
                                      const OpcionesComparativo& o) {
    const ColeccionBalance a =
        CargaColeccionEmpresa(contabilidad, progreso, o, o.empresaA, QStringLiteral("A"));
    const ColeccionBalance b =
        CargaColeccionEmpresa(contabilidad, progreso, o, o.empresaB, QStringLiteral("B"));
    std::vector<FilaBalance> filas = cIFusionarCol().FusionarColecciones(a, b);
    if (o.soloEpigrafes)
        for (FilaBalance& f : filas)
            f.borrada = (f.a && f.a->codigo == u"-") || (f.b && f.b->codigo == u"-");
    CalcularFormulas(filas, true, progreso, QStringLiteral("Calculando fórmulas empresa A ..."));
    CalcularFormulas(filas, false, progreso, QStringLiteral("Calculando fórmulas empresa B ..."));

    EstadoComparativo r;
    r.divisa = o.divisa;
    r.filas.reserve(filas.size());
    for (std::size_t i = 0; i < filas.size(); ++i) {
        FilaBalance& f = filas[i];
        if (f.borrada) continue;
        FilaComparativo c;
        c.a = std::move(f.a);
        c.b = std::move(f.b);
        c.orden = static_cast<qint64>(i) + 1;
        r.filas.push_back(std::move(c));
    }
    r.empresaA = textoAbreviado(contabilidad, o.empresaA);
    r.empresaB = textoAbreviado(contabilidad, o.empresaB);
    return r;
}

FormulasInforme construirComparativo(ContextoInforme& contexto, const OpcionesComparativo& o) {
    const EstadoComparativo r = calcularComparativo(contexto.contabilidad, contexto.progreso, o);
    EscritorTabla escritor(
        contexto.informes, QStringLiteral("BalancesComparativo"),
        {QStringLiteral("Naturaleza"), QStringLiteral("Nivel"), QStringLiteral("Descripcion"),
         QStringLiteral("CodigoA"), QStringLiteral("TotalA"), QStringLiteral("PresupuestoA"),
         QStringLiteral("MediaA"), QStringLiteral("FormulaA"), QStringLiteral("CodigoB"),
         QStringLiteral("TotalB"), QStringLiteral("PresupuestoB"), QStringLiteral("MediaB"),
         QStringLiteral("FormulaB"), QStringLiteral("Orden")},
        r.divisa);
    // Orden sigue a lo que ya tenga la tabla.
    const qint64 previas =
        contexto.informes.valor(QStringLiteral("SELECT MAX(Orden) FROM BalancesComparativo"))
            .toLongLong();
    std::vector<Celda> celdas;
    for (const FilaComparativo& f : r.filas) {
        const LineaBalance& comun = f.a ? *f.a : *f.b;
        celdas = {comun.naturaleza, qint64{comun.nivel}, comun.descripcion};
        for (const std::optional<LineaBalance>* lado : {&f.a, &f.b}) {
            if (!*lado) {
                celdas.insert(celdas.end(), 5, Celda());
                continue;
            }
            const LineaBalance& l = **lado;
            const auto [total, presupuesto, media] = celdasImportes(l);
            celdas.insert(celdas.end(), {l.codigo, total, presupuesto, media, l.formula});
        }
        celdas.emplace_back(previas + f.orden);
        escritor.escribir(celdas);
    }

    const auto entreComillas = [](const QString& t) { return u'"' + t + u'"'; };
    return {{1, QStringLiteral("Empresa A= ") + entreComillas(r.empresaA)},
            {2, QStringLiteral("Empresa B= ") + entreComillas(r.empresaB)},
            {3, QStringLiteral("Periodo= ") + entreComillas(QStringLiteral("Periodo contable:  ") +
                                                            textoPeriodo(o.desde, o.hasta))},
            {4, formulaColumnaCodigo(o.mostrarCodigos)}};
}

}  // namespace orvo
