#include "Presupuestos.h"

#include <array>

#include "Auxiliares.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "EscritorTabla.h"
#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

namespace {

constexpr int kMeses = 12;
const std::array<const char*, kMeses> kNombresMes = {
    "Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
    "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};

QString posicion(qsizetype p) {
    return cGeneral::LlenaIzquierda(QString::number(p), QStringLiteral("0"), 2);
}

// Columnas de la tabla de trabajo: la raíz seguida de "Total" y de cada mes por su nombre
// (PresupuestoEnero) o por su número (Saldo01).
QStringList columnas(const QString& raiz, bool porNombre) {
    QStringList c{raiz + QStringLiteral("Total")};
    for (int p = 1; p <= kMeses; ++p)
        c << raiz + (porNombre ? QString::fromLatin1(kNombresMes[p - 1]) : posicion(p));
    return c;
}

struct Ejercicio {
    QDate inicio;
    QDate fin;
    QStringList meses;  // mes natural de cada posición, "07", "08", …
};

Ejercicio leerEjercicio(Conexion& con, long id) {
    const DatosEmpresa empresa = DatosEmpresa::existente(con, id);
    Ejercicio e;
    e.inicio = fechaLibros(empresa.fechaIni, QStringLiteral("El inicio del ejercicio"));
    e.fin = fechaLibros(empresa.fechaFin, QStringLiteral("El fin del ejercicio"));
    e.meses = mesesPeriodo(e.inicio, e.fin);
    // Un primer ejercicio puede ser más corto (sus últimas columnas quedan vacías); uno más
    // largo no cabe en las doce columnas del informe.
    if (e.meses.isEmpty() || e.meses.size() > kMeses)
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("El ejercicio de la empresa (%1 a %2) no tiene entre uno "
                                       "y doce meses")
                            .arg(Regional::fechaCorta(e.inicio), Regional::fechaCorta(e.fin)));
    return e;
}

}  // namespace

QString tablaPresupuesto(std::uint8_t origen) {
    return origen == cCOrigen::Presupuesto ? QStringLiteral("Presupuesto")
                                           : QStringLiteral("PresupuestoAnual");
}

Presupuestos calcularPresupuesto(Conexion& contabilidad, const OpcionesPresupuesto& op) {
    const bool anual = op.origen != cCOrigen::Presupuesto;
    const QString s = sufijoColumna(op.divisa);
    Parametros parametros{static_cast<qlonglong>(op.empresa)};
    const QString niveles = condicionNiveles(op.niveles, parametros);
    parametros << op.subcuentaDesde << op.subcuentaHasta;
    const Ejercicio ejercicio = leerEjercicio(contabilidad, op.empresa);
    const qsizetype n = ejercicio.meses.size();

    // Cada mes del ejercicio se lee con el alias de su posición: Presupuesto07 AS Presupuesto01
    // en un ejercicio que empieza en julio.
    QStringList seleccion{QStringLiteral("Codigo"), QStringLiteral("Descripcion"),
                          QStringLiteral("PresupuestoTotal%1 AS Presupuesto00").arg(s)};
    if (anual) {
        seleccion << QStringLiteral("(CCur(DebeTotal%1) - CCur(HaberTotal%1)) AS Saldo00").arg(s);
        for (qsizetype i = 0; i < n; ++i)
            seleccion << QStringLiteral("(CCur(Debe%1%2) - CCur(Haber%1%2)) AS Saldo%3")
                             .arg(ejercicio.meses[i], s, posicion(i + 1));
    }
    for (qsizetype i = 0; i < n; ++i)
        seleccion << QStringLiteral("Presupuesto%1%2 AS Presupuesto%3")
                         .arg(ejercicio.meses[i], s, posicion(i + 1));
    // El filtro mira siempre la columna en pesetas, guardada como texto: quedan fuera las
    // cuentas sin presupuesto anual.
    Recordset rs = contabilidad.Execute(
        QStringLiteral("SELECT ") + seleccion.join(QStringLiteral(", ")) +
            QStringLiteral(" FROM Cuenta WHERE CodEmpresa = ? AND ") + niveles +
            QStringLiteral(" AND Codigo >= ? AND Codigo <= ? AND PresupuestoTotal <> '0' "
                           "ORDER BY Codigo"),
        parametros);

    Presupuestos r;
    r.inicio = ejercicio.inicio;
    r.fin = ejercicio.fin;
    for (const QString& mes : ejercicio.meses) r.meses.push_back(mes.toInt());
    for (; !rs.Eof(); rs.MoveNext()) {
        FilaPresupuesto f{cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Codigo"))),
                          cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Descripcion"))),
                          {}};
        for (qsizetype i = 0; i <= n; ++i) {
            ColumnaPresupuesto c;
            c.presupuesto =
                cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Presupuesto") + posicion(i)));
            if (anual) {
                c.saldo = Moneda::deCCur(rs.Fields(QStringLiteral("Saldo") + posicion(i)));
                const Moneda presupuesto = Moneda::deColumna(c.presupuesto);
                c.diferencia = presupuesto - c.saldo;
                if (!presupuesto.esCero()) c.media = porcentajeDe(c.saldo, presupuesto);
            }
            f.columnas.push_back(std::move(c));
        }
        r.filas.push_back(std::move(f));
    }
    rs.Close();
    r.empresa = cGeneral::ObtenerEmpresa(op.empresa, contabilidad);
    return r;
}

FormulasInforme construirPresupuesto(ContextoInforme& ctx, const OpcionesPresupuesto& op) {
    const bool anual = op.origen != cCOrigen::Presupuesto;
    const Presupuestos r = calcularPresupuesto(ctx.contabilidad, op);

    QStringList cols{QStringLiteral("Codigo"), QStringLiteral("Descripcion")};
    cols << columnas(QStringLiteral("Presupuesto"), true);
    if (anual)
        cols << columnas(QStringLiteral("Media"), true) << columnas(QStringLiteral("Saldo"), false)
             << columnas(QStringLiteral("Diferencia"), false);
    // Cada grupo de columnas lleva el año y las doce posiciones; las que el ejercicio no tiene
    // quedan vacías.
    EscritorTabla::escribirTodas(
        ctx, tablaPresupuesto(op.origen), cols, op.divisa, r.filas, [&](const FilaPresupuesto& f) {
            std::vector<Celda> c{f.codigo, f.descripcion};
            const auto grupo = [&](auto valor) {
                for (std::size_t i = 0; i <= kMeses; ++i)
                    c.push_back(i < f.columnas.size() ? valor(f.columnas[i]) : Celda());
            };
            grupo([](const ColumnaPresupuesto& m) -> Celda { return m.presupuesto; });
            if (anual) {
                grupo([](const ColumnaPresupuesto& m) -> Celda {
                    return m.media ? Celda(Porcentaje{*m.media}) : Celda();
                });
                grupo([](const ColumnaPresupuesto& m) -> Celda { return m.saldo; });
                grupo([](const ColumnaPresupuesto& m) -> Celda { return m.diferencia; });
            }
            return c;
        });

    FormulasInforme f;
    for (std::size_t i = 0; i < r.meses.size(); ++i)
        f[static_cast<int>(i) + 1] = QStringLiteral("TituloMes%1= \"%2\"")
                                         .arg(posicion(static_cast<int>(i) + 1),
                                              Regional::abreviaturaMes(r.meses[i]).toUpper());
    f[13] = formulaEmpresa(r.empresa);
    f[14] = formulaPeriodo(Regional::mesBarraAno(r.inicio), Regional::mesBarraAno(r.fin));
    return f;
}

}  // namespace orvo
