#include "Listados.h"

#include <functional>

#include "Conexion.h"

namespace orvo {

namespace {

// Recorre las filas de la consulta escribiendo cada una con 'escribir' y lleva la barra de
// progreso, que solo se ve si hay filas. La cuenta de filas es exacta, pero la barra nunca
// pasa de su máximo aunque llegaran más.
void recorrerConProgreso(Recordset& rs, IProgreso& progreso,
                         const std::function<void(const Recordset&)>& escribir) {
    if (rs.Eof()) return;
    const qint64 total = rs.RecordCount();
    progreso.Iniciar(total, QStringLiteral("Procesando ..."), 3);
    qint64 escritas = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        escribir(rs);
        if (escritas < total) ++escritas;
        progreso.setValor(escritas);
    }
    progreso.Terminar();
}

}  // namespace

FormulasInforme construirSubcuentas(ContextoInforme& contexto, const OpcionesSubcuentas& o) {
    // Tipo de cuenta 1: cuenta; 2: subcuenta.
    Recordset rs = contexto.contabilidad.Execute(
        QStringLiteral(
            "SELECT Codigo, Descripcion, Nivel, CodTipo_Cuenta FROM Cuenta "
            "WHERE CodEmpresa = ? AND (CodTipo_Cuenta = 2 OR (? AND CodTipo_Cuenta = 1)) "
            "AND Codigo >= ? AND Codigo <= ? ORDER BY Codigo"),
        {static_cast<qlonglong>(o.empresa), o.todasLasCuentas ? 1 : 0, o.desde, o.hasta});
    enum Columna { kCodigo, kDescripcion, kNivel, kTipo };
    Instruccion insertar = contexto.informes.preparar(
        QStringLiteral("INSERT INTO Subcuentas (Codigo, Descripcion, Nivel) VALUES (?, ?, ?)"));
    // Cada subcuenta cuelga de la última cuenta leída; antes de ninguna, del nivel 0.
    qlonglong nivelCuenta = 0;
    recorrerConProgreso(rs, contexto.progreso, [&](const Recordset& fila) {
        qlonglong nivel = 1;
        if (o.todasLasCuentas) {
            if (fila.Fields(kTipo).toInt() == 2) {
                nivel = nivelCuenta + 1;
            } else {
                nivelCuenta = fila.Fields(kNivel).toLongLong();
                nivel = nivelCuenta;
            }
        }
        insertar.ejecutar(
            {fila.Fields(kCodigo).toString(), fila.Fields(kDescripcion).toString(), nivel});
    });
    rs.Close();
    return {{1, formulaEmpresa(contexto.contabilidad, o.empresa)}};
}

FormulasInforme construirEpigrafes(ContextoInforme& contexto, const OpcionesEpigrafes& o) {
    Recordset rs = contexto.contabilidad.Execute(
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
    Instruccion insertar = contexto.informes.preparar(
        QStringLiteral("INSERT INTO Epigrafes (Codigo, Descripcion, Naturaleza, Formula, Nivel) "
                       "VALUES (?, ?, ?, ?, ?)"));
    recorrerConProgreso(rs, contexto.progreso, [&](const Recordset& fila) {
        insertar.ejecutar({fila.Fields(kCodigo).toString(), fila.Fields(kDescripcion).toString(),
                           fila.Fields(kNaturaleza).toString(), fila.Fields(kFormula).toString(),
                           fila.Fields(kOrden).toLongLong()});
    });
    rs.Close();
    return {{1, formulaEmpresa(contexto.contabilidad, o.empresa)}};
}

}  // namespace orvo
