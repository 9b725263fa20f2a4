#include "BalanceComparativo.h"

#include "Balance.h"
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

ColeccionBalance cargarColeccion(ContextoInforme& contexto, const OpcionesComparativo& o,
                                 long empresa, const QString& lado) {
    const Ejercicio ejercicio = leerEjercicio(contexto.contabilidad, empresa);
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

    ColeccionBalance coleccion = lineasDelEstado(contexto, peticion, o.desde, o.hasta);
    enProcedimiento(QStringLiteral("GrabarPadresColeccion"),
                    [&] { GrabarPadresColeccion(coleccion); });
    return coleccion;
}
}  // namespace

ColeccionBalance CargaColeccionEmpresa(ContextoInforme& contexto, const OpcionesComparativo& o,
                                       long empresa, const QString& lado) {
    return enProcedimiento(QStringLiteral("CargaColeccionEmpresa"),
                           [&] { return cargarColeccion(contexto, o, empresa, lado); });
}

FormulasInforme construirComparativo(ContextoInforme& contexto, const OpcionesComparativo& o) {
    const ColeccionBalance a = CargaColeccionEmpresa(contexto, o, o.empresaA, QStringLiteral("A"));
    const ColeccionBalance b = CargaColeccionEmpresa(contexto, o, o.empresaB, QStringLiteral("B"));
    std::vector<FilaBalance> filas = cIFusionarCol().FusionarColecciones(a, b);
    if (o.soloEpigrafes)
        for (FilaBalance& f : filas)
            f.borrada = (f.a && f.a->codigo == u"-") || (f.b && f.b->codigo == u"-");
    CalcularFormulas(filas, true, contexto.progreso,
                     QStringLiteral("Calculando fórmulas empresa A ..."));
    CalcularFormulas(filas, false, contexto.progreso,
                     QStringLiteral("Calculando fórmulas empresa B ..."));
    GrabarFilasComparativo(filas, o.divisa, contexto.informes);

    const auto entreComillas = [](const QString& t) { return u'"' + t + u'"'; };
    return {{1, QStringLiteral("Empresa A= ") +
                    entreComillas(textoAbreviado(contexto.contabilidad, o.empresaA))},
            {2, QStringLiteral("Empresa B= ") +
                    entreComillas(textoAbreviado(contexto.contabilidad, o.empresaB))},
            {3, QStringLiteral("Periodo= ") + entreComillas(QStringLiteral("Periodo contable:  ") +
                                                            textoPeriodo(o.desde, o.hasta))},
            {4, formulaColumnaCodigo(o.mostrarCodigos)}};
}

}  // namespace orvo
