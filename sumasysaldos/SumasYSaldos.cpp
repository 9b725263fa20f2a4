#include "SumasYSaldos.h"

#include <algorithm>

#include "Auxiliares.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

namespace {

// "(CCur(Debe03Euros) + CCur(Debe04Euros)) AS Debe"
QString columnaMeses(const QString& raiz, const QStringList& meses, bool euros) {
    return sumaMeses(raiz, meses, euros) + QStringLiteral(" AS ") + raiz;
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

struct Totales {
    Moneda debe, haber, saldo, apertura, presupuesto;
};

QString formula(const QString& nombre, const QString& valor) {
    return nombre + QStringLiteral(" = '") + valor + u'\'';
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

FormulasInforme construirSumasYSaldos(ContextoInforme& ctx, const OpcionesSumasYSaldos& op) {
    Parametros parametros{op.subcuentaDesde, op.subcuentaHasta,
                          static_cast<qlonglong>(op.empresa)};
    const QString niveles = condicionNiveles(op.niveles, parametros);  // no admite ninguno
    const QStringList meses = mesesPeriodo(op.desde, op.hasta);
    if (meses.isEmpty())
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("La fecha inicial es posterior a la final"));
    const QString sufijo = op.euros ? QStringLiteral("Euros") : QString();
    const int desplazamiento = op.niveles.front() - 1;
    const int nivelMasProfundo = op.niveles.back();

    const DatosEjercicio ejercicio = leerEjercicio(ctx.contabilidad, op.empresa);
    // La apertura se aparta cuando el periodo empieza en el primer día del ejercicio o antes,
    // comparando "mmdd" como texto.
    const bool conApertura = op.desde.toString(QStringLiteral("MMdd")) <= ejercicio.inicio;
    const SaldosApertura apertura =
        conApertura
            ? SaldosApertura::leer(ctx.contabilidad,
                                   asientoApertura(ctx.contabilidad, op.empresa, ejercicio), sufijo)
            : SaldosApertura();

    QString sql = QStringLiteral("SELECT CodEmpresa, Codigo, Nivel, ") +
                  descripcionCuenta(QStringLiteral("Cuenta")) +
                  QStringLiteral(" AS Descripcion, ") +
                  columnaMeses(QStringLiteral("Debe"), meses, op.euros) + QStringLiteral(", ") +
                  columnaMeses(QStringLiteral("Haber"), meses, op.euros);
    if (op.presupuesto)
        sql += QStringLiteral(", ") + columnaMeses(QStringLiteral("Presupuesto"), meses, op.euros);
    sql +=
        QStringLiteral(" FROM Cuenta WHERE Codigo >= ? AND Codigo <= ? AND CodEmpresa = ? AND ") +
        niveles;
    // Sin presupuesto, los códigos se ordenan rellenos a diez cifras (los cortos primero:
    // 1, 2, 10, 100); con presupuesto, como texto (1, 10, 100, 2).
    sql += op.presupuesto
               ? QStringLiteral(" ORDER BY Codigo")
               : QStringLiteral(" ORDER BY \"Right\"('0000000000' || Codigo, 10), Codigo");
    Recordset rs = ctx.contabilidad.Execute(sql, parametros);

    Instruccion insertar = ctx.informes.preparar(
        op.presupuesto
            ? QStringLiteral("INSERT INTO BalanceSumasySaldos (Codigo, Descripcion, Debe, Haber, "
                             "Saldo, SaldoApertura, Presupuesto, Media, Nivel) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
            : QStringLiteral("INSERT INTO BalanceSumasySaldos (Codigo, Descripcion, Debe, Haber, "
                             "Saldo, SaldoApertura, Nivel) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    auto formatear = [&](Moneda m) { return cGeneral::FormatearCurrency(m, op.euros); };
    Totales totales;
    const qint64 filas = rs.RecordCount();
    if (filas > 0) {
        ctx.progreso.Iniciar(filas, QStringLiteral("Procesando ..."), 3);
        qint64 leidas = 0;
        for (; !rs.Eof(); rs.MoveNext()) {
            ctx.progreso.setValor(++leidas);
            const QVariant debeLeido = rs.Fields(QStringLiteral("Debe"));
            const QVariant haberLeido = rs.Fields(QStringLiteral("Haber"));
            // Un importe nulo no se muestra nunca.
            if (debeLeido.isNull() || haberLeido.isNull()) continue;
            Moneda debe = Moneda::deCCur(debeLeido);
            Moneda haber = Moneda::deCCur(haberLeido);
            const Moneda saldo = debe - haber;
            const bool mostrar =
                !saldo.esCero() || (op.saldoCero && (!debe.esCero() || !haber.esCero()));
            if (!mostrar) continue;

            const QString codigo = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Codigo")));
            const int nivel = rs.Fields(QStringLiteral("Nivel")).toInt();
            Moneda saldoApertura;
            if (conApertura) {
                const SaldosApertura::Importes a = apertura.dePrefijo(codigo);
                debe -= a.debe;
                haber -= a.haber;
                saldoApertura = a.debe - a.haber;
            }
            Parametros valores{
                codigo,           cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Descripcion"))),
                formatear(debe),  formatear(haber),
                formatear(saldo), formatear(saldoApertura)};
            Moneda presupuesto;
            if (op.presupuesto) {
                presupuesto = Moneda::deCCur(rs.Fields(QStringLiteral("Presupuesto")));
                valores << formatear(presupuesto)
                        << formatearPorcentaje(porcentajeDe(saldo, presupuesto));
            }
            valores << QString::number(nivel - desplazamiento);
            insertar.ejecutar(valores);

            if (nivel == nivelMasProfundo) {
                totales.debe += debe;
                totales.haber += haber;
                totales.saldo += saldo;
                totales.apertura += saldoApertura;
                totales.presupuesto += presupuesto;
            }
        }
    }
    ctx.progreso.Terminar();
    rs.Close();

    FormulasInforme f;
    f[1] = formulaEmpresa(ctx.contabilidad, op.empresa);
    f[2] = formulaPeriodo(Regional::mesBarraAno(op.desde), Regional::mesBarraAno(op.hasta));
    f[3] = formulaMoneda(op.euros);
    const QString saldo = formatear(totales.saldo);
    if (op.presupuesto) {
        // El porcentaje total sale de los totales como se imprimen: en pesetas, redondeados a
        // unidades.
        f[4] = formula(QStringLiteral("TotalPresupuesto"), formatear(totales.presupuesto));
        f[5] = formula(QStringLiteral("TotalMedia"),
                       formatearPorcentaje(porcentajeDe(totales.saldo.redondeado(op.euros),
                                                        totales.presupuesto.redondeado(op.euros))));
    } else {
        f[4] = formula(QStringLiteral("TotalDebe"), formatear(totales.debe));
        f[5] = formula(QStringLiteral("TotalHaber"), formatear(totales.haber));
    }
    f[6] = formula(QStringLiteral("TotalSaldo"), saldo);
    f[7] = formula(QStringLiteral("TotalSaldoApe"), formatear(totales.apertura));
    return f;
}

}  // namespace orvo
