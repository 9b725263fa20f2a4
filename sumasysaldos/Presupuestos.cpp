#include "Presupuestos.h"

#include <array>

#include "Auxiliares.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

namespace {

constexpr int kMeses = 12;
const std::array<const char*, kMeses> kNombresMes = {
    "Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
    "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};

QString posicion(int p) {
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

QString insercion(const QString& tabla, const QStringList& cols) {
    QStringList marcas;
    for (qsizetype i = 0; i < cols.size(); ++i) marcas << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(tabla, cols.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", ")));
}

// Porcentaje del presupuesto alcanzado por el saldo; vacío si no hay presupuesto.
QString porcentaje(Moneda saldo, Moneda presupuesto) {
    if (presupuesto.esCero()) return {};
    return formatearPorcentaje(porcentajeDe(saldo, presupuesto));
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

FormulasInforme construirPresupuesto(ContextoInforme& ctx, const OpcionesPresupuesto& op) {
    const bool anual = op.origen != cCOrigen::Presupuesto;
    const QString s = op.euros ? QStringLiteral("Euros") : QString();
    Parametros parametros{static_cast<qlonglong>(op.empresa)};
    const QString niveles = condicionNiveles(op.niveles, parametros);
    parametros << op.subcuentaDesde << op.subcuentaHasta;
    const Ejercicio ejercicio = leerEjercicio(ctx.contabilidad, op.empresa);
    const qsizetype n = ejercicio.meses.size();

    // Cada mes del ejercicio se lee con el alias de su posición: Presupuesto07 AS Presupuesto01
    // en un ejercicio que empieza en julio.
    QStringList seleccion{QStringLiteral("Codigo"), QStringLiteral("Descripcion"),
                          QStringLiteral("PresupuestoTotal%1 AS PresupuestoAnual").arg(s)};
    if (anual) {
        seleccion
            << QStringLiteral("(CCur(DebeTotal%1) - CCur(HaberTotal%1)) AS SaldoTotal").arg(s);
        for (qsizetype i = 0; i < n; ++i)
            seleccion << QStringLiteral("(CCur(Debe%1%2) - CCur(Haber%1%2)) AS Saldo%3")
                             .arg(ejercicio.meses[i], s, posicion(i + 1));
    }
    for (qsizetype i = 0; i < n; ++i)
        seleccion << QStringLiteral("Presupuesto%1%2 AS Presupuesto%3")
                         .arg(ejercicio.meses[i], s, posicion(i + 1));
    // El filtro mira siempre la columna en pesetas, guardada como texto: quedan fuera las
    // cuentas sin presupuesto anual.
    Recordset rs = ctx.contabilidad.Execute(
        QStringLiteral("SELECT ") + seleccion.join(QStringLiteral(", ")) +
            QStringLiteral(" FROM Cuenta WHERE CodEmpresa = ? AND ") + niveles +
            QStringLiteral(" AND Codigo >= ? AND Codigo <= ? AND PresupuestoTotal <> '0' "
                           "ORDER BY Codigo"),
        parametros);

    QStringList cols{QStringLiteral("Codigo"), QStringLiteral("Descripcion")};
    cols << columnas(QStringLiteral("Presupuesto"), true);
    if (anual)
        cols << columnas(QStringLiteral("Media"), true) << columnas(QStringLiteral("Saldo"), false)
             << columnas(QStringLiteral("Diferencia"), false);
    Instruccion insertar = ctx.informes.preparar(insercion(tablaPresupuesto(op.origen), cols));
    auto formatear = [&](Moneda m) { return cGeneral::FormatearCurrency(m, op.euros); };

    const qint64 filas = rs.RecordCount();
    if (filas > 0) ctx.progreso.Iniciar(filas, QStringLiteral("Procesando ..."), 3);
    qint64 leidas = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        // Total y meses del ejercicio; las posiciones que el ejercicio no tiene quedan vacías.
        QStringList presupuestos{
            cGeneral::QuitarNulo(rs.Fields(QStringLiteral("PresupuestoAnual")))};
        for (qsizetype i = 0; i < kMeses; ++i)
            presupuestos << (i < n ? cGeneral::QuitarNulo(
                                         rs.Fields(QStringLiteral("Presupuesto") + posicion(i + 1)))
                                   : QString());
        Parametros valores{cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Codigo"))),
                           cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Descripcion")))};
        for (const QString& p : presupuestos) valores << p;
        if (anual) {
            QStringList medias, saldos, diferencias;
            for (qsizetype i = 0; i <= kMeses; ++i) {
                if (i > n) {
                    medias << QString();
                    saldos << QString();
                    diferencias << QString();
                    continue;
                }
                const Moneda saldo = Moneda::deCCur(rs.Fields(
                    i == 0 ? QStringLiteral("SaldoTotal") : QStringLiteral("Saldo") + posicion(i)));
                const Moneda presupuesto = Moneda::deColumna(presupuestos[i]);
                medias << porcentaje(saldo, presupuesto);
                saldos << formatear(saldo);
                diferencias << formatear(presupuesto - saldo);
            }
            for (const QStringList* grupo : {&medias, &saldos, &diferencias})
                for (const QString& v : *grupo) valores << v;
        }
        insertar.ejecutar(valores);
        ctx.progreso.setValor(++leidas);
    }
    ctx.progreso.Terminar();
    rs.Close();

    FormulasInforme f;
    for (qsizetype i = 0; i < n; ++i)
        f[static_cast<int>(i) + 1] =
            QStringLiteral("TituloMes%1= \"%2\"")
                .arg(posicion(static_cast<int>(i) + 1),
                     Regional::abreviaturaMes(ejercicio.meses[i].toInt()).toUpper());
    f[13] = formulaEmpresa(ctx.contabilidad, op.empresa);
    f[14] = formulaPeriodo(Regional::mesBarraAno(ejercicio.inicio),
                           Regional::mesBarraAno(ejercicio.fin));
    return f;
}

}  // namespace orvo
