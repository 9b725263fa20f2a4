#include "Listados.h"

#include "Conexion.h"
#include "EscritorTabla.h"
#include "cGeneral.h"

namespace orvo {

namespace {

// Los listados no llevan importes: la moneda del escritor no cuenta.
constexpr Divisa kSinImportes = Divisa::Euros;

}  // namespace

ListadoSubcuentas calcularSubcuentas(Conexion& contabilidad, const OpcionesSubcuentas& o) {
    // Tipo de cuenta 1: cuenta; 2: subcuenta.
    Recordset rs = contabilidad.Execute(
        QStringLiteral(
            "SELECT Codigo, Descripcion, Nivel, CodTipo_Cuenta FROM Cuenta "
            "WHERE CodEmpresa = ? AND (CodTipo_Cuenta = 2 OR (? AND CodTipo_Cuenta = 1)) "
            "AND Codigo >= ? AND Codigo <= ? ORDER BY Codigo"),
        {static_cast<qlonglong>(o.empresa), o.todasLasCuentas ? 1 : 0, o.desde, o.hasta});
    enum Columna { kCodigo, kDescripcion, kNivel, kTipo };
    ListadoSubcuentas r;
    // Cada subcuenta cuelga de la última cuenta leída; antes de ninguna, del nivel 0.
    qint64 nivelCuenta = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        FilaSubcuenta f;
        f.codigo = rs.Fields(kCodigo).toString();
        f.descripcion = rs.Fields(kDescripcion).toString();
        if (o.todasLasCuentas) {
            if (rs.Fields(kTipo).toInt() == 2) {
                f.nivel = nivelCuenta + 1;
            } else {
                nivelCuenta = rs.Fields(kNivel).toLongLong();
                f.nivel = nivelCuenta;
            }
        }
        r.filas.push_back(std::move(f));
    }
    rs.Close();
    r.empresa = cGeneral::ObtenerEmpresa(o.empresa, contabilidad);
    return r;
}

FormulasInforme construirSubcuentas(ContextoInforme& contexto, const OpcionesSubcuentas& o) {
    const ListadoSubcuentas r = calcularSubcuentas(contexto.contabilidad, o);
    EscritorTabla::escribirTodas(
        contexto, QStringLiteral("Subcuentas"),
        {QStringLiteral("Codigo"), QStringLiteral("Descripcion"), QStringLiteral("Nivel")},
        kSinImportes, r.filas, [](const FilaSubcuenta& f) -> std::vector<Celda> {
            return {f.codigo, f.descripcion, f.nivel};
        });
    return {{1, formulaEmpresa(r.empresa)}};
}

ListadoEpigrafes calcularEpigrafes(Conexion& contabilidad, const OpcionesEpigrafes& o) {
    Recordset rs = contabilidad.Execute(
        QStringLiteral(
            "SELECT DISTINCT OrdenEpigrafe, CodigoEpigrafe, Estructura.Descripcion, "
            "Formula, Naturaleza.Descripcion "
            "FROM Estructura, Documento, Naturaleza "
            "WHERE Estructura.CodDocumento = Documento.IDDocumento "
            "AND Estructura.CodNaturaleza = Naturaleza.IDNaturaleza AND CodEmpresa = ? "
            "AND ((? AND Documento.IDDocumento = 1) OR (? AND Documento.IDDocumento = 2)) "
            "ORDER BY CodigoEpigrafe"),
        {static_cast<qlonglong>(o.empresa), o.balanceSituacion ? 1 : 0,
         o.perdidasYGanancias ? 1 : 0});
    enum Columna { kOrden, kCodigo, kDescripcion, kFormula, kNaturaleza };
    ListadoEpigrafes r;
    for (; !rs.Eof(); rs.MoveNext()) {
        FilaEpigrafe f;
        f.codigo = rs.Fields(kCodigo).toString();
        f.descripcion = rs.Fields(kDescripcion).toString();
        f.naturaleza = rs.Fields(kNaturaleza).toString();
        f.formula = rs.Fields(kFormula).toString();
        f.nivel = rs.Fields(kOrden).toLongLong();
        r.filas.push_back(std::move(f));
    }
    rs.Close();
    r.empresa = cGeneral::ObtenerEmpresa(o.empresa, contabilidad);
    return r;
}

FormulasInforme construirEpigrafes(ContextoInforme& contexto, const OpcionesEpigrafes& o) {
    const ListadoEpigrafes r = calcularEpigrafes(contexto.contabilidad, o);
    EscritorTabla::escribirTodas(
        contexto, QStringLiteral("Epigrafes"),
        {QStringLiteral("Codigo"), QStringLiteral("Descripcion"), QStringLiteral("Naturaleza"),
         QStringLiteral("Formula"), QStringLiteral("Nivel")},
        kSinImportes, r.filas, [](const FilaEpigrafe& f) -> std::vector<Celda> {
            return {f.codigo, f.descripcion, f.naturaleza, f.formula, f.nivel};
        });
    return {{1, formulaEmpresa(r.empresa)}};
}

}  // namespace orvo
