// Los libros de ejemplo son unos libros de verdad: asientos cuadrados, columnas mensuales
// iguales a lo que dicen los apuntes, pesetas y euros al cambio, y un balance que cuadra.
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "LibrosEjemplo.h"
#include "Moneda.h"
#include "cGeneral.h"

using namespace orvo;

namespace {

QString mm(int mes) {
    return QStringLiteral("%1").arg(mes, 2, 10, QLatin1Char('0'));
}

// Sufijo de columna de cada moneda.
void monedas() {
    QTest::addColumn<QString>("sufijo");
    QTest::newRow("pesetas") << QString();
    QTest::newRow("euros") << QStringLiteral("Euros");
}

Moneda importe(Conexion& con, const QString& sql, const Parametros& p = {}) {
    return Moneda::deCCur(con.valor(sql, p));
}

}  // namespace

class PruebaLibrosEjemplo : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString ruta_;
    std::shared_ptr<Conexion> con_;

    // Saldo deudor (debe menos haber) de los meses dados de las subcuentas que empiezan por
    // 'prefijo', leído de las columnas mensuales de Cuenta.
    Moneda saldoCuentas(long empresa, const QString& prefijo, const QList<int>& meses,
                        const QString& sufijo) {
        QStringList terminos;
        for (int m : meses)
            terminos << QStringLiteral("CCur(Debe%1%2) - CCur(Haber%1%2)").arg(mm(m), sufijo);
        return importe(*con_,
                       QStringLiteral("SELECT SUM(%1) FROM Cuenta WHERE CodEmpresa = ? AND "
                                      "CodTipo_Cuenta = 2 AND Codigo LIKE ?")
                           .arg(terminos.join(QStringLiteral(" + "))),
                       {qint64(empresa), prefijo + u'%'});
    }
    Moneda totalEpigrafes(long empresa, int naturaleza, const QList<int>& meses,
                          const QString& sufijo) {
        QStringList terminos;
        for (int m : meses) terminos << QStringLiteral("CCur(Total%1%2)").arg(mm(m), sufijo);
        return importe(*con_,
                       QStringLiteral("SELECT SUM(%1) FROM Estructura WHERE CodEmpresa = ? AND "
                                      "CodNaturaleza = ? AND OrdenEpigrafe = 1 AND Formula = ''")
                           .arg(terminos.join(QStringLiteral(" + "))),
                       {qint64(empresa), naturaleza});
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        ruta_ = dir_.filePath(QStringLiteral("ejemplo.db"));
        LibrosEjemplo::crear(ruta_);
        con_ = Conexion::abrir(ruta_);
    }

    void empresasYEjercicios() {
        Recordset rs = con_->Execute(QStringLiteral(
            "SELECT IDEmpresa, Abreviatura, AñoEjercicio, FechaIni, FechaFin, CodEmpresaAnterior, "
            "DesgloseSubCuentas FROM Empresa ORDER BY IDEmpresa"));
        const QStringList esperado{"1 MONCAYO 2023 20230101 20231231 0 7",
                                   "2 MONCAYO 2024 20240101 20241231 1 7",
                                   "3 ALAMEDA 2023 20230701 20240630 0 7"};
        QStringList leido;
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList f;
            for (int c = 0; c < rs.columnas(); ++c) f << rs.Fields(c).toString();
            leido << f.join(u' ');
        }
        QCOMPARE(leido, esperado);
        // Cada ejercicio abre el primer día con el asiento número 1 y no tiene asientos fuera.
        QCOMPARE(
            con_
                ->valor(QStringLiteral(
                    "SELECT COUNT(*) FROM Asiento a JOIN Empresa e ON e.IDEmpresa = a.CodEmpresa "
                    "WHERE a.Fecha < e.FechaIni OR a.Fecha > e.FechaFin"))
                .toInt(),
            0);
        QCOMPARE(
            con_
                ->valor(QStringLiteral(
                    "SELECT COUNT(*) FROM Asiento a JOIN Empresa e ON e.IDEmpresa = a.CodEmpresa "
                    "WHERE a.Numero = 1 AND a.Fecha = e.FechaIni"))
                .toInt(),
            3);
    }

    void cuentasEnNivelesDeCifras() {
        QCOMPARE(
            con_->valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE Nivel <> length(Codigo)"))
                .toInt(),
            0);
        QCOMPARE(con_->valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE "
                                            "(CodTipo_Cuenta = 2) <> (Nivel = 7)"))
                     .toInt(),
                 0);
        // Cada subcuenta tiene sus cuentas padre de una a cuatro cifras.
        QCOMPARE(
            con_
                ->valor(QStringLiteral(
                    "SELECT COUNT(*) FROM Cuenta s, (SELECT 1 AS n UNION SELECT 2 UNION SELECT 3 "
                    "UNION SELECT 4) l WHERE s.CodTipo_Cuenta = 2 AND NOT EXISTS (SELECT 1 FROM "
                    "Cuenta p WHERE p.CodEmpresa = s.CodEmpresa AND p.Codigo = substr(s.Codigo, 1, "
                    "l.n))"))
                .toInt(),
            0);
        QVERIFY(con_->valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE Desglosar <> 0"))
                    .toInt() > 0);
    }

    void asientosCuadrados_data() { monedas(); }
    void asientosCuadrados() {
        QFETCH(QString, sufijo);
        QCOMPARE(con_->valor(QStringLiteral("SELECT COUNT(*) FROM (SELECT CodAsiento FROM Apunte "
                                            "GROUP BY CodAsiento HAVING SUM(CCur(CtdadDebe%1)) <> "
                                            "SUM(CCur(CtdadHaber%1)))")
                                 .arg(sufijo))
                     .toInt(),
                 0);
    }

    void pesetasAlCambio() {
        Recordset rs = con_->Execute(QStringLiteral(
            "SELECT CtdadDebe, CtdadHaber, CtdadDebeEuros, CtdadHaberEuros, BaseImp, BaseImpEuros "
            "FROM Apunte"));
        int lineas = 0;
        const Moneda unaPeseta = Moneda::deEntero(1);
        for (; !rs.Eof(); rs.MoveNext(), ++lineas) {
            for (const auto& [p, e] : {std::pair{"CtdadDebe", "CtdadDebeEuros"},
                                       std::pair{"CtdadHaber", "CtdadHaberEuros"},
                                       std::pair{"BaseImp", "BaseImpEuros"}}) {
                const Moneda pesetas = Moneda::deColumna(rs.Fields(p));
                const Moneda convertido =
                    *Moneda::deTexto(cGeneral::EurosAPesetas(Moneda::deColumna(rs.Fields(e))));
                const Moneda diferencia = pesetas - convertido;
                QVERIFY2(diferencia <= unaPeseta && -diferencia <= unaPeseta,
                         qPrintable(rs.Fields(p).toString() + " / " + rs.Fields(e).toString()));
            }
        }
        QVERIFY(lineas > 3000);
    }

    // La columna de cada mes de una cuenta (subcuenta o cuenta padre) es la suma de los apuntes
    // de ese mes de sus subcuentas, en las dos monedas; y el total, la suma de los meses.
    void columnasMensualesDeCuentas() {
        // (empresa, subcuenta) -> columna ("Debe03Euros") -> suma de los apuntes
        std::map<std::pair<qint64, QString>, std::map<QString, Moneda>> apuntes;
        Recordset rs = con_->Execute(QStringLiteral(
            "SELECT a.CodEmpresa, c.Codigo, substr(a.Fecha, 5, 2) AS Mes, p.CtdadDebe, "
            "p.CtdadHaber, "
            "p.CtdadDebeEuros, p.CtdadHaberEuros FROM Apunte p JOIN Asiento a ON a.IDAsiento = "
            "p.CodAsiento JOIN Cuenta c ON c.IDCuenta = p.CodCuenta"));
        for (; !rs.Eof(); rs.MoveNext()) {
            auto& cols = apuntes[{rs.Fields(0).toLongLong(), rs.Fields(1).toString()}];
            const QString mes = rs.Fields(2).toString();
            for (const QString& lado : {QStringLiteral("Debe"), QStringLiteral("Haber")})
                for (const QString& sufijo : {QString(), QStringLiteral("Euros")}) {
                    const Moneda m =
                        Moneda::deColumna(rs.Fields(QStringLiteral("Ctdad") + lado + sufijo));
                    cols[lado + mes + sufijo] += m;
                    cols[lado + QStringLiteral("Total") + sufijo] += m;
                }
        }
        Recordset cuentas = con_->Execute(QStringLiteral("SELECT * FROM Cuenta"));
        int comprobadas = 0;
        for (; !cuentas.Eof(); cuentas.MoveNext(), ++comprobadas) {
            const qint64 empresa = cuentas.Fields(QStringLiteral("CodEmpresa")).toLongLong();
            const QString codigo = cuentas.Fields(QStringLiteral("Codigo")).toString();
            std::map<QString, Moneda> esperado;
            for (const auto& [clave, cols] : apuntes)
                if (clave.first == empresa && clave.second.startsWith(codigo))
                    for (const auto& [col, m] : cols) esperado[col] += m;
            for (const QString& lado : {QStringLiteral("Debe"), QStringLiteral("Haber")})
                for (const QString& sufijo : {QString(), QStringLiteral("Euros")})
                    for (int m = 0; m <= 12; ++m) {
                        const QString col = lado + (m ? mm(m) : QStringLiteral("Total")) + sufijo;
                        QVERIFY2(Moneda::deColumna(cuentas.Fields(col)) == esperado[col],
                                 qPrintable(QStringLiteral("%1 de %2 (empresa %3): %4")
                                                .arg(col, codigo)
                                                .arg(empresa)
                                                .arg(cuentas.Fields(col).toString())));
                    }
        }
        QVERIFY(comprobadas > 400);
    }

    // Cada epígrafe suma, mes a mes, debe menos haber de sus cuentas y de las de sus hijos.
    void columnasMensualesDeEpigrafes_data() { monedas(); }
    void columnasMensualesDeEpigrafes() {
        QFETCH(QString, sufijo);
        for (int m = 1; m <= 12; ++m) {
            const QString sql =
                QStringLiteral(
                    "SELECT e.CodigoEpigrafe, e.CodEmpresa FROM Estructura e WHERE "
                    "CCur(e.Total%1%2) <> "
                    "(SELECT COALESCE(SUM(CCur(c.Debe%1%2) - CCur(c.Haber%1%2)), 0) FROM "
                    "Estructura h "
                    "JOIN Rel_Estructura_Cuenta r ON r.CodEstructura = h.IDEstructura "
                    "JOIN Cuenta c ON c.IDCuenta = r.CodCuenta "
                    "WHERE h.CodEmpresa = e.CodEmpresa AND (h.CodigoEpigrafe = e.CodigoEpigrafe OR "
                    "h.CodigoEpigrafe LIKE e.CodigoEpigrafe || '.%'))")
                    .arg(mm(m), sufijo);
            Recordset rs = con_->Execute(sql);
            QVERIFY2(rs.Eof(),
                     qPrintable(
                         QStringLiteral("Total%1%2 del epígrafe %3")
                             .arg(mm(m), sufijo, rs.Eof() ? QString() : rs.Fields(0).toString())));
        }
    }

    // Lo que se guarda es texto con el formato de la rutina de asientos.
    void importesComoLosGuardaLaRutina() {
        QCOMPARE(con_->valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE Debe01 LIKE '%,%' "
                                            "OR Debe01Euros NOT LIKE '%,__'"))
                     .toInt(),
                 0);
        QCOMPARE(con_->valor(QStringLiteral(
                                 "SELECT COUNT(*) FROM Estructura WHERE typeof(Total) <> 'text'"))
                     .toInt(),
                 0);
        QCOMPARE(
            con_->valor(QStringLiteral("SELECT DebeTotalEuros FROM Cuenta WHERE CodEmpresa = 1 "
                                       "AND Codigo = '1000000'"))
                .toString(),
            QStringLiteral("0,00"));
        QCOMPARE(
            con_->valor(QStringLiteral("SELECT HaberTotalEuros FROM Cuenta WHERE CodEmpresa = 1 "
                                       "AND Codigo = '1000000'"))
                .toString(),
            QStringLiteral("60.000,00"));
        QCOMPARE(con_->valor(QStringLiteral("SELECT HaberTotal FROM Cuenta WHERE CodEmpresa = 1 "
                                            "AND Codigo = '1000000'"))
                     .toString(),
                 QStringLiteral("9.983.160"));
    }

    // Balance de sumas y saldos: las sumas del debe y del haber de todas las subcuentas son
    // iguales, en el año y en cada mes.
    void sumasYSaldosCuadra_data() { monedas(); }
    void sumasYSaldosCuadra() {
        QFETCH(QString, sufijo);
        for (int empresa = 1; empresa <= 3; ++empresa) {
            const Moneda debe =
                importe(*con_,
                        QStringLiteral("SELECT SUM(CCur(DebeTotal%1)) FROM Cuenta "
                                       "WHERE CodEmpresa = ? AND CodTipo_Cuenta = 2")
                            .arg(sufijo),
                        {empresa});
            const Moneda haber =
                importe(*con_,
                        QStringLiteral("SELECT SUM(CCur(HaberTotal%1)) FROM Cuenta "
                                       "WHERE CodEmpresa = ? AND CodTipo_Cuenta = 2")
                            .arg(sufijo),
                        {empresa});
            QCOMPARE(debe.aTextoExacto(), haber.aTextoExacto());
            QVERIFY(debe > Moneda::deEntero(1000000));
            for (int m = 1; m <= 12; ++m)
                QVERIFY(saldoCuentas(empresa, QString(), {m}, sufijo).esCero());
        }
    }

    // Activo = patrimonio neto y pasivo una vez llevado el resultado a la 129, para el año y
    // para un periodo parcial (la apertura está en el primer mes).
    void balanceDeSituacionCuadra_data() {
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QList<int>>("meses");
        QTest::addColumn<QString>("sufijo");
        const QList<int> ano{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        for (const QString& s : {QString(), QStringLiteral("Euros")}) {
            QTest::addRow("2023 %s", qPrintable(s)) << 1 << ano << s;
            QTest::addRow("2024 %s", qPrintable(s)) << 2 << ano << s;
            QTest::addRow("2024 ene-may %s", qPrintable(s)) << 2 << QList<int>{1, 2, 3, 4, 5} << s;
            QTest::addRow("julio-junio %s", qPrintable(s)) << 3 << ano << s;
            QTest::addRow("julio-octubre %s", qPrintable(s)) << 3 << QList<int>{7, 8, 9, 10} << s;
        }
    }
    void balanceDeSituacionCuadra() {
        QFETCH(int, empresa);
        QFETCH(QList<int>, meses);
        QFETCH(QString, sufijo);
        const Moneda activo = totalEpigrafes(empresa, 1, meses, sufijo);
        const Moneda pasivo = -totalEpigrafes(empresa, 2, meses, sufijo);
        const Moneda resultado = -(saldoCuentas(empresa, QStringLiteral("6"), meses, sufijo) +
                                   saldoCuentas(empresa, QStringLiteral("7"), meses, sufijo));
        QVERIFY(activo > Moneda());
        QCOMPARE(activo.aTextoExacto(), (pasivo + resultado).aTextoExacto());
        // Toda cuenta de balance con saldo está en algún epígrafe del balance de situación.
        QCOMPARE(
            con_->valor(QStringLiteral(
                            "SELECT COUNT(*) FROM Cuenta s WHERE s.CodEmpresa = ? AND "
                            "s.CodTipo_Cuenta = 2 "
                            "AND substr(s.Codigo, 1, 1) BETWEEN '1' AND '5' AND CCur(s.DebeTotal) "
                            "<> 0 AND "
                            "NOT EXISTS (SELECT 1 FROM Rel_Estructura_Cuenta r JOIN Cuenta c ON "
                            "c.IDCuenta = r.CodCuenta WHERE s.Codigo LIKE c.Codigo || '%' AND "
                            "c.CodEmpresa = s.CodEmpresa)"),
                        {empresa})
                .toInt(),
            0);
    }

    void cuentaDePerdidasYGananciasEnElBalance() {
        QCOMPARE(
            con_
                ->valor(QStringLiteral(
                    "SELECT COUNT(DISTINCT e.CodEmpresa) FROM Rel_Estructura_Cuenta r JOIN "
                    "Estructura e ON e.IDEstructura = r.CodEstructura JOIN Cuenta c ON "
                    "c.IDCuenta = r.CodCuenta WHERE e.CodDocumento = 1 AND c.Codigo LIKE '129%'"))
                .toInt(),
            3);
        QCOMPARE(con_->valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE Codigo = '1290000'"))
                     .toInt(),
                 3);
    }

    // El segundo ejercicio abre con el cierre del primero y su resultado ya repartido entre la
    // reserva legal (10 %) y las voluntarias.
    void aperturaDelSegundoEjercicio() {
        const QList<int> ano{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        const QString euros = QStringLiteral("Euros");
        const Moneda resultado2023 = -(saldoCuentas(1, QStringLiteral("6"), ano, euros) +
                                       saldoCuentas(1, QStringLiteral("7"), ano, euros));
        QCOMPARE(resultado2023.aTextoExacto(), QStringLiteral("8151.04"));
        const std::map<QString, Moneda> reparto{{"1120000", -Moneda::deDiezmilesimas(8151000)},
                                                {"1130000", -Moneda::deDiezmilesimas(73359400)}};
        Recordset rs = con_->Execute(QStringLiteral(
            "SELECT c.Codigo, CCur(p.CtdadDebeEuros) - CCur(p.CtdadHaberEuros) AS Saldo FROM "
            "Apunte p JOIN Asiento a ON a.IDAsiento = p.CodAsiento JOIN Cuenta c ON c.IDCuenta = "
            "p.CodCuenta WHERE a.CodEmpresa = 2 AND a.Numero = 1"));
        int lineas = 0;
        for (; !rs.Eof(); rs.MoveNext(), ++lineas) {
            const QString codigo = rs.Fields(QStringLiteral("Codigo")).toString();
            QVERIFY(codigo < QStringLiteral("6"));
            const Moneda saldo = Moneda::deCCur(rs.Fields(QStringLiteral("Saldo")));
            const auto r = reparto.find(codigo);
            const Moneda cierre =
                importe(*con_,
                        QStringLiteral("SELECT CCur(DebeTotalEuros) - CCur(HaberTotalEuros) "
                                       "FROM Cuenta WHERE CodEmpresa = 1 AND Codigo = ?"),
                        {codigo}) +
                (r == reparto.end() ? Moneda() : r->second);
            QVERIFY2(saldo == cierre, qPrintable(codigo));
        }
        QVERIFY(lineas > 20);
        QCOMPARE(con_->valor(QStringLiteral("SELECT COUNT(*) FROM Apunte p JOIN Cuenta c ON "
                                            "c.IDCuenta = p.CodCuenta WHERE c.Codigo = '1290000'"))
                     .toInt(),
                 0);
    }

    // Facturas: los apuntes de IVA llevan factura, contrapartida existente, base y tipos, y la
    // cuota es la base por el tipo.
    void apuntesDeIva_data() {
        QTest::addColumn<QString>("raiz");
        QTest::addColumn<QString>("columna");
        QTest::newRow("emitidas") << "477"
                                  << "CtdadHaberEuros";
        QTest::newRow("recibidas") << "472"
                                   << "CtdadDebeEuros";
    }
    void apuntesDeIva() {
        QFETCH(QString, raiz);
        QFETCH(QString, columna);
        Recordset rs = con_->Execute(
            QStringLiteral(
                "SELECT p.Factura, p.Contrapartida, p.PorcentajeIVA, p.PorcentajeRecargo, "
                "p.BaseImpEuros, p.%1 AS Cuota, a.CodEmpresa, "
                "(SELECT COUNT(*) FROM Cuenta x WHERE x.CodEmpresa = a.CodEmpresa AND "
                "x.Codigo = p.Contrapartida) AS Existe FROM Apunte p JOIN Asiento a ON "
                "a.IDAsiento = p.CodAsiento JOIN Cuenta c ON c.IDCuenta = p.CodCuenta "
                "WHERE c.Codigo LIKE ? AND p.Factura <> ''")
                .arg(columna),
            {raiz + u'%'});
        QSet<QString> tipos, recargos;
        int facturas = 0;
        for (; !rs.Eof(); rs.MoveNext(), ++facturas) {
            QCOMPARE(rs.Fields(QStringLiteral("Existe")).toInt(), 1);
            const QString iva = rs.Fields(QStringLiteral("PorcentajeIVA")).toString();
            tipos << iva;
            recargos << rs.Fields(QStringLiteral("PorcentajeRecargo")).toString();
            const Moneda base = Moneda::deColumna(rs.Fields(QStringLiteral("BaseImpEuros")));
            const Moneda cuota = Moneda::deColumna(rs.Fields(QStringLiteral("Cuota")));
            const Moneda calculada = Moneda::deDouble(base.aDouble() * iva.toInt() / 100.0);
            const Moneda diferencia = cuota - calculada;
            QVERIFY(diferencia <= Moneda::deDiezmilesimas(50) &&
                    -diferencia <= Moneda::deDiezmilesimas(50));
        }
        QVERIFY(facturas > 100);
        QCOMPARE(tipos, (QSet<QString>{"21", "10", "4"}));
        if (raiz == u"477") QCOMPARE(recargos, (QSet<QString>{"0", "5,2", "1,4", "0,5"}));
    }

    // Las facturas emitidas van numeradas por fecha, sin huecos, en una serie por año.
    void facturasEmitidasCorrelativas() {
        Recordset rs = con_->Execute(QStringLiteral(
            "SELECT a.CodEmpresa, p.Factura, MIN(a.Fecha) AS Fecha FROM Apunte p JOIN Asiento a ON "
            "a.IDAsiento = p.CodAsiento JOIN Cuenta c ON c.IDCuenta = p.CodCuenta WHERE c.Codigo "
            "LIKE '477%' AND p.Factura <> '' GROUP BY a.CodEmpresa, p.Factura "
            "ORDER BY a.CodEmpresa, MIN(a.Fecha), MIN(a.IDAsiento)"));
        QString serie;
        int esperado = 0, facturas = 0;
        for (; !rs.Eof(); rs.MoveNext(), ++facturas) {
            const QString factura = rs.Fields(QStringLiteral("Factura")).toString();
            const QString fecha = rs.Fields(QStringLiteral("Fecha")).toString();
            const QString estaSerie = rs.Fields(0).toString() + factura.left(3);
            QCOMPARE(factura.mid(1, 2), fecha.mid(2, 2));
            if (estaSerie != serie) {
                serie = estaSerie;
                esperado = 0;
            }
            QCOMPARE(factura.mid(4).toInt(), ++esperado);
        }
        QVERIFY(facturas > 200);
    }

    // El presupuesto de gastos e ingresos: total = suma de meses, también en las cuentas padre.
    void presupuesto_data() { monedas(); }
    void presupuesto() {
        QFETCH(QString, sufijo);
        QStringList meses;
        for (int m = 1; m <= 12; ++m)
            meses << QStringLiteral("CCur(Presupuesto%1%2)").arg(mm(m), sufijo);
        QCOMPARE(con_->valor(QStringLiteral(
                                 "SELECT COUNT(*) FROM Cuenta WHERE CCur(PresupuestoTotal%1) <> %2")
                                 .arg(sufijo, meses.join(u'+')))
                     .toInt(),
                 0);
        QCOMPARE(con_->valor(QStringLiteral(
                                 "SELECT COUNT(*) FROM Cuenta c WHERE c.CodTipo_Cuenta = 1 AND "
                                 "CCur(c.PresupuestoTotal%1) <> "
                                 "(SELECT SUM(CCur(s.PresupuestoTotal%1)) FROM Cuenta s WHERE "
                                 "s.CodEmpresa = c.CodEmpresa "
                                 "AND s.CodTipo_Cuenta = 2 AND s.Codigo LIKE c.Codigo || '%')")
                                 .arg(sufijo))
                     .toInt(),
                 0);
        QVERIFY(
            con_->valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE CodTipo_Cuenta = 2 AND "
                                       "Codigo LIKE '7%' AND PresupuestoTotal <> '0'"))
                .toInt() >= 3);
        QCOMPARE(con_->valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE Codigo < '6' AND "
                                            "PresupuestoTotal <> '0'"))
                     .toInt(),
                 0);
    }

    void siempreLosMismosLibros() {
        const QString otra = dir_.filePath(QStringLiteral("otra.db"));
        LibrosEjemplo::crear(otra);
        auto huella = [](const QString& ruta) {
            auto con = Conexion::abrir(ruta);
            QCryptographicHash h(QCryptographicHash::Sha256);
            for (const QString& tabla :
                 {QStringLiteral("Empresa"), QStringLiteral("Cuenta"), QStringLiteral("Estructura"),
                  QStringLiteral("Asiento"), QStringLiteral("Apunte")}) {
                Recordset rs =
                    con->Execute(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(tabla));
                for (; !rs.Eof(); rs.MoveNext())
                    for (int c = 0; c < rs.columnas(); ++c)
                        h.addData(rs.Fields(c).toString().toUtf8() + '|');
            }
            return h.result();
        };
        QCOMPARE(huella(otra), huella(ruta_));
    }

    void noSobrescribeNada() {
        const QString ruta = dir_.filePath(QStringLiteral("mio.db"));
        {
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("mis datos");
        }
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, LibrosEjemplo::crear(ruta));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("mis datos"));

        QString texto;
        QTextStream err(&texto);
        QCOMPARE(LibrosEjemplo::orden({}, err), 2);
        QCOMPARE(LibrosEjemplo::orden({ruta}, err), 1);
        QVERIFY(texto.contains(QStringLiteral("ya existe")));
        QCOMPARE(LibrosEjemplo::orden({dir_.filePath(QStringLiteral("no/hay/carpeta.db"))}, err),
                 1);
        QVERIFY(texto.contains(QStringLiteral("No existe la carpeta")));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("no/hay/carpeta.db.parcial"))));
    }
};

QTEST_GUILESS_MAIN(PruebaLibrosEjemplo)
#include "prueba_libros_ejemplo.moc"
