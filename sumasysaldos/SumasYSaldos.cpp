#include "SumasYSaldos.h"

#include <algorithm>

#include "Auxiliares.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "EscritorTabla.h"
#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

namespace {

// "(CCur(Debe03Euros) + CCur(Debe04Euros)) AS Debe"
QString columnaMeses(const QString& raiz, const QStringList& meses, Divisa divisa) {
    return sumaMeses(raiz, meses, divisa) + QStringLiteral(" AS ") + raiz;
}

struct DatosEjercicio {
    QString ano;
    QString inicio;  // "mmdd" del primer día del ejercicio
};

DatosEjercicio leerEjercicio(Conexion& con, long empresa) {
    const DatosEmpresa e = DatosEmpresa::existente(con, empresa);
    fechaLibros(e.fechaIni, QStringLiteral("El inicio del ejercicio"));
    return {e.ejercicio.trimmed(), e.fechaIni.trimmed().mid(4, 4)};
}

// El asiento de apertura es el de la fecha de inicio del ejercicio; si hubiera varios, el de
// número más bajo. 0 si no hay ninguno.
qint64 asientoApertura(Conexion& con, long empresa, const DatosEjercicio& ejercicio) {
    const QVariant id =
        con.valor(QStringLiteral("SELECT IDAsiento FROM Asiento WHERE CodEmpresa = ? AND Fecha = ? "
                                 "ORDER BY Val(Numero), IDAsiento"),
                  {static_cast<qlonglong>(empresa), ejercicio.ano + ejercicio.inicio});
    return id.isNull() ? 0 : id.toLongLong();
}

}  // namespace

SaldosApertura SaldosApertura::leer(Conexion& contabilidad, qint64 idAsiento,
                                    const QString& sufijo) {
    SaldosApertura s;
    s.acumulados_.push_back({});
    if (idAsiento == 0) return s;
    Recordset rs = contabilidad.Execute(
        QStringLiteral("SELECT Cuenta.Codigo AS Codigo, SUM(CCur(Apunte.CtdadDebe%1)) AS Debe, "
                       "SUM(CCur(Apunte.CtdadHaber%1)) AS Haber "
                       "FROM Apunte INNER JOIN Cuenta ON Apunte.CodCuenta = Cuenta.IDCuenta "
                       "WHERE Apunte.CodAsiento = ? GROUP BY Cuenta.Codigo ORDER BY Cuenta.Codigo")
            .arg(sufijo),
        {idAsiento});
    std::vector<std::pair<QString, Importes>> lineas;
    for (; !rs.Eof(); rs.MoveNext())
        lineas.push_back({cGeneral::QuitarNulo(rs.Fields(0)),
                          {Moneda::deCCur(rs.Fields(1)), Moneda::deCCur(rs.Fields(2))}});
    // El orden de SQLite y el de QString coinciden para códigos de cifras, pero la búsqueda
    // binaria necesita exactamente el de QString.
    std::sort(lineas.begin(), lineas.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [codigo, importes] : lineas) {
        const Importes& previo = s.acumulados_.back();
        s.codigos_.push_back(codigo);
        s.acumulados_.push_back({previo.debe + importes.debe, previo.haber + importes.haber});
    }
    return s;
}

SaldosApertura::Importes SaldosApertura::dePrefijo(const QString& codigo) const {
    // Los códigos que empiezan por 'codigo' forman un tramo seguido a partir de él.
    const auto desde = std::lower_bound(codigos_.begin(), codigos_.end(), codigo);
    const auto hasta = std::partition_point(desde, codigos_.end(),
                                            [&](const QString& c) { return c.startsWith(codigo); });
    const Importes& a = acumulados_[desde - codigos_.begin()];
    const Importes& b = acumulados_[hasta - codigos_.begin()];
    return {b.debe - a.debe, b.haber - a.haber};
}

SumasYSaldos calcularSumasYSaldos(Conexion& contabilidad, const OpcionesSumasYSaldos& op) {
    Parametros parametros{op.subcuentaDesde, op.subcuentaHasta, static_cast<qlonglong>(op.empresa)};
    const QString niveles = condicionNiveles(op.niveles, parametros);  // no admite ninguno
    const QStringList meses = mesesPeriodo(op.desde, op.hasta);
    if (meses.isEmpty())
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("La fecha inicial es posterior a la final"));
    const QString sufijo = sufijoColumna(op.divisa);
    const int desplazamiento = op.niveles.front() - 1;
    const int nivelMasProfundo = op.niveles.back();

    const DatosEjercicio ejercicio = leerEjercicio(contabilidad, op.empresa);
    // La apertura se aparta cuando el periodo empieza en el primer día del ejercicio o antes,
    // comparando "mmdd" como texto.
    const bool conApertura = op.desde.toString(QStringLiteral("MMdd")) <= ejercicio.inicio;
    const SaldosApertura apertura =
        conApertura
            ? SaldosApertura::leer(contabilidad,
                                   asientoApertura(contabilidad, op.empresa, ejercicio), sufijo)
            : SaldosApertura();

    QString sql = QStringLiteral("SELECT CodEmpresa, Codigo, Nivel, ") +
                  descripcionCuenta(QStringLiteral("Cuenta")) +
                  QStringLiteral(" AS Descripcion, ") +
                  columnaMeses(QStringLiteral("Debe"), meses, op.divisa) + QStringLiteral(", ") +
                  columnaMeses(QStringLiteral("Haber"), meses, op.divisa);
    if (op.presupuesto)
        sql += QStringLiteral(", ") + columnaMeses(QStringLiteral("Presupuesto"), meses, op.divisa);
    sql +=
        QStringLiteral(" FROM Cuenta WHERE Codigo >= ? AND Codigo <= ? AND CodEmpresa = ? AND ") +
        niveles;
    // Sin presupuesto, los códigos se ordenan rellenos a diez cifras (los cortos primero:
    // 1, 2, 10, 100); con presupuesto, como texto (1, 10, 100, 2).
    sql += op.presupuesto
               ? QStringLiteral(" ORDER BY Codigo")
               : QStringLiteral(" ORDER BY \"Right\"('0000000000' || Codigo, 10), Codigo");
    Recordset rs = contabilidad.Execute(sql, parametros);

    SumasYSaldos r;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QVariant debeLeido = rs.Fields(QStringLiteral("Debe"));
        const QVariant haberLeido = rs.Fields(QStringLiteral("Haber"));
        // Un importe nulo no se muestra nunca.
        if (debeLeido.isNull() || haberLeido.isNull()) continue;
        FilaSumasYSaldos f;
        f.debe = Moneda::deCCur(debeLeido);
        f.haber = Moneda::deCCur(haberLeido);
        f.saldo = f.debe - f.haber;
        const bool mostrar =
            !f.saldo.esCero() || (op.saldoCero && (!f.debe.esCero() || !f.haber.esCero()));
        if (!mostrar) continue;

        f.codigo = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Codigo")));
        f.descripcion = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Descripcion")));
        const int nivel = rs.Fields(QStringLiteral("Nivel")).toInt();
        f.nivel = nivel - desplazamiento;
        if (conApertura) {
            const SaldosApertura::Importes a = apertura.dePrefijo(f.codigo);
            f.debe -= a.debe;
            f.haber -= a.haber;
            f.apertura = a.debe - a.haber;
        }
        if (op.presupuesto) {
            f.presupuesto = Moneda::deCCur(rs.Fields(QStringLiteral("Presupuesto")));
            f.media = porcentajeDe(f.saldo, f.presupuesto);
        }
        if (nivel == nivelMasProfundo) {
            r.totalDebe += f.debe;
            r.totalHaber += f.haber;
            r.totalSaldo += f.saldo;
            r.totalApertura += f.apertura;
            r.totalPresupuesto += f.presupuesto;
        }
        r.filas.push_back(std::move(f));
    }
    rs.Close();
    // En pesetas los totales se imprimen redondeados a unidades, y el porcentaje sale de ellos.
    r.totalMedia = porcentajeDe(r.totalSaldo.redondeado(conDecimales(op.divisa)),
                                r.totalPresupuesto.redondeado(conDecimales(op.divisa)));
    r.empresa = cGeneral::ObtenerEmpresa(op.empresa, contabilidad);
    return r;
}

FormulasInforme construirSumasYSaldos(ContextoInforme& ctx, const OpcionesSumasYSaldos& op) {
    const SumasYSaldos r = calcularSumasYSaldos(ctx.contabilidad, op);
    QStringList columnas{QStringLiteral("Codigo"), QStringLiteral("Descripcion"),
                         QStringLiteral("Debe"),   QStringLiteral("Haber"),
                         QStringLiteral("Saldo"),  QStringLiteral("SaldoApertura")};
    if (op.presupuesto) columnas << QStringLiteral("Presupuesto") << QStringLiteral("Media");
    columnas << QStringLiteral("Nivel");
    EscritorTabla::escribirTodas(ctx, QStringLiteral("BalanceSumasySaldos"), columnas, op.divisa,
                                 r.filas, [&](const FilaSumasYSaldos& f) {
                                     std::vector<Celda> c{f.codigo, f.descripcion, f.debe,
                                                          f.haber,  f.saldo,       f.apertura};
                                     if (op.presupuesto) {
                                         c.emplace_back(f.presupuesto);
                                         c.emplace_back(Porcentaje{f.media});
                                     }
                                     c.emplace_back(qint64{f.nivel});
                                     return c;
                                 });

    const auto formula = [&](const QString& nombre, const Celda& valor) {
        return nombre + QStringLiteral(" = '") + textoCelda(valor, op.divisa) + u'\'';
    };
    FormulasInforme f;
    f[1] = formulaEmpresa(r.empresa);
    f[2] = formulaPeriodo(Regional::mesBarraAno(op.desde), Regional::mesBarraAno(op.hasta));
    f[3] = formulaMoneda(op.divisa);
    if (op.presupuesto) {
        f[4] = formula(QStringLiteral("TotalPresupuesto"), r.totalPresupuesto);
        f[5] = formula(QStringLiteral("TotalMedia"), Porcentaje{r.totalMedia});
    } else {
        f[4] = formula(QStringLiteral("TotalDebe"), r.totalDebe);
        f[5] = formula(QStringLiteral("TotalHaber"), r.totalHaber);
    }
    f[6] = formula(QStringLiteral("TotalSaldo"), r.totalSaldo);
    f[7] = formula(QStringLiteral("TotalSaldoApe"), r.totalApertura);
    return f;
}

}  // namespace orvo
