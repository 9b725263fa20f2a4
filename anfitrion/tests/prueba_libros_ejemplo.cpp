// Los libros de ejemplo son unos libros de verdad: asientos cuadrados, columnas mensuales
// iguales a lo que dicen los apuntes, pesetas y euros al cambio, y un balance que cuadra.
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "BarraProgreso.h"
#include "Comprobar.h"
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
  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        ruta_ = dir_.filePath(QStringLiteral("ejemplo.db"));
        LibrosEjemplo::crear(ruta_);
        con_ = Conexion::abrir(ruta_);
    }

    // Consultas sobre los libros y lo que deben dar: "0" es que ninguna fila incumple la regla.
    void consultas_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("esperado");
        const auto fila = [](const QByteArray& nombre, const QString& sql,
                             const char* esperado = "0") {
            QTest::newRow(nombre.constData()) << sql << QString::fromUtf8(esperado);
        };
        fila("empresas",
             "SELECT group_concat(IDEmpresa || ' ' || Abreviatura || ' ' || AñoEjercicio || ' ' || "
             "FechaIni || ' ' || FechaFin || ' ' || CodEmpresaAnterior || ' ' || "
             "DesgloseSubCuentas, ';') FROM (SELECT * FROM Empresa ORDER BY IDEmpresa)",
             "1 MONCAYO 2023 20230101 20231231 0 7;2 MONCAYO 2024 20240101 20241231 1 7;"
             "3 ALAMEDA 2023 20230701 20240630 0 7");
        fila("cada ejercicio abre el primer día con el asiento 1",
             "SELECT COUNT(*) FROM Asiento a JOIN Empresa e ON e.IDEmpresa = a.CodEmpresa "
             "WHERE a.Numero = 1 AND a.Fecha = e.FechaIni",
             "3");
        fila("nivel = cifras", "SELECT COUNT(*) FROM Cuenta WHERE Nivel <> length(Codigo)");
        fila("subcuentas de 7 cifras",
             "SELECT COUNT(*) FROM Cuenta WHERE (CodTipo_Cuenta = 2) <> (Nivel = 7)");
        fila("cuentas padre de una a cuatro cifras",
             "SELECT COUNT(*) FROM Cuenta s, (SELECT 1 AS n UNION SELECT 2 UNION SELECT 3 UNION "
             "SELECT 4) l WHERE s.CodTipo_Cuenta = 2 AND NOT EXISTS (SELECT 1 FROM Cuenta p WHERE "
             "p.CodEmpresa = s.CodEmpresa AND p.Codigo = substr(s.Codigo, 1, l.n))");
        fila("alguna cuenta desglosada", "SELECT COUNT(*) = 0 FROM Cuenta WHERE Desglosar <> 0");
        fila("la 129 en el balance de cada empresa",
             "SELECT COUNT(DISTINCT e.CodEmpresa) FROM Rel_Estructura_Cuenta r JOIN Estructura e "
             "ON e.IDEstructura = r.CodEstructura JOIN Cuenta c ON c.IDCuenta = r.CodCuenta "
             "WHERE e.CodDocumento = 1 AND c.Codigo LIKE '129%'",
             "3");
        fila("la 1290000 en cada empresa", "SELECT COUNT(*) FROM Cuenta WHERE Codigo = '1290000'",
             "3");
        // Lo que se guarda es texto con el formato de la rutina de asientos.
        fila("importes como los guarda la rutina",
             "SELECT COUNT(*) FROM Cuenta WHERE Debe01 LIKE '%,%' OR Debe01Euros NOT LIKE '%,__'");
        fila("totales como texto", "SELECT COUNT(*) FROM Estructura WHERE typeof(Total) <> 'text'");
        fila("capital",
             "SELECT DebeTotalEuros || ' ' || HaberTotalEuros || ' ' || HaberTotal FROM Cuenta "
             "WHERE CodEmpresa = 1 AND Codigo = '1000000'",
             "0,00 60.000,00 9.983.160");
        fila("presupuesto solo en gastos e ingresos",
             "SELECT COUNT(*) FROM Cuenta WHERE Codigo < '6' AND PresupuestoTotal <> '0'");
        fila("presupuesto de ventas",
             "SELECT COUNT(*) >= 3 FROM Cuenta WHERE CodTipo_Cuenta = 2 AND Codigo LIKE '7%' AND "
             "PresupuestoTotal <> '0'",
             "1");
    }
    void consultas() {
        QFETCH(QString, sql);
        QTEST(con_->valor(sql).toString(), "esperado");
    }

    // La comprobación de los libros: asientos que cuadran en las dos monedas, pesetas al
    // cambio, columnas mensuales de cuentas, epígrafes y presupuestos iguales a los apuntes,
    // asientos dentro del ejercicio.
    void pasanLaComprobacion() {
        ProgresoNulo progreso;
        for (long empresa = 1; empresa <= 3; ++empresa) {
            const Comprobacion::Informe informe =
                Comprobacion::comprobar(*con_, empresa, false, progreso);
            QVERIFY2(informe.problemas.isEmpty(), qPrintable(informe.problemas.join(u'\n')));
            QVERIFY(informe.apuntes > 900);
        }
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
