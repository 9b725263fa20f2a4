// Los libros de ejemplo son unos libros de verdad: asientos cuadrados, columnas mensuales
// iguales a lo que dicen los apuntes, pesetas y euros al cambio, y un balance que cuadra.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "BarraProgreso.h"
#include "Comprobar.h"
#include "Conexion.h"
#include "ErrorOrvo.h"
#include "LibrosEjemplo.h"
#include "PeticionesEjemplo.h"
#include "cGeneral.h"

using namespace orvo;

class PruebaLibrosEjemplo : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString ruta_;
    std::shared_ptr<Conexion> con_;

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
        // El segundo ejercicio abre con el cierre del primero (resultado, 8.151,04) ya repartido
        // entre la reserva legal (10 %) y las voluntarias, y nada en la 1290000.
        fila("resultado de 2023",
             "SELECT SUM(CCur(HaberTotalEuros) - CCur(DebeTotalEuros)) FROM Cuenta WHERE "
             "CodEmpresa = 1 AND CodTipo_Cuenta = 2 AND substr(Codigo, 1, 1) IN ('6', '7')",
             "81510400");
        fila("apertura de 2024: líneas, de balance, iguales al cierre",
             "SELECT (COUNT(*) > 20) || ' ' || SUM(c.Codigo >= '6') || ' ' || SUM(CCur("
             "p.CtdadDebeEuros) - CCur(p.CtdadHaberEuros) <> COALESCE(CCur(c1.DebeTotalEuros) - "
             "CCur(c1.HaberTotalEuros), 0) + CASE c.Codigo WHEN '1120000' THEN -8151000 WHEN "
             "'1130000' THEN -73359400 ELSE 0 END) FROM Apunte p JOIN Asiento a ON a.IDAsiento = "
             "p.CodAsiento JOIN Cuenta c ON c.IDCuenta = p.CodCuenta LEFT JOIN Cuenta c1 ON "
             "c1.CodEmpresa = 1 AND c1.Codigo = c.Codigo WHERE a.CodEmpresa = 2 AND a.Numero = 1",
             "1 0 0");
        fila("nada en la 1290000",
             "SELECT COUNT(*) FROM Apunte p JOIN Cuenta c ON c.IDCuenta = p.CodCuenta WHERE "
             "c.Codigo = '1290000'");
        // Los apuntes de IVA llevan factura y contrapartida existente; la cuota es la base por el
        // tipo. Se ven: más de cien facturas, las que incumplen, los tipos y los recargos.
        const auto iva = [&](const char* nombre, const char* raiz, const char* cuota,
                             const char* esperado) {
            fila(nombre,
                 QStringLiteral(
                     "WITH f AS (SELECT p.PorcentajeIVA AS Iva, p.PorcentajeRecargo AS Recargo, "
                     "CCur(p.%1) - CCur(p.BaseImpEuros) * CAST(p.PorcentajeIVA AS INTEGER) / 100 "
                     "AS Diferencia, (SELECT COUNT(*) FROM Cuenta x WHERE x.CodEmpresa = "
                     "a.CodEmpresa AND x.Codigo = p.Contrapartida) AS Existe FROM Apunte p JOIN "
                     "Asiento a ON a.IDAsiento = p.CodAsiento JOIN Cuenta c ON c.IDCuenta = "
                     "p.CodCuenta WHERE c.Codigo LIKE '%2%' AND p.Factura <> '') SELECT (SELECT "
                     "COUNT(*) > 100 FROM f) || ' ' || (SELECT COUNT(*) FROM f WHERE Existe <> 1 "
                     "OR abs(Diferencia) > 50) || ' ' || (SELECT group_concat(Iva, '/') FROM "
                     "(SELECT DISTINCT Iva FROM f ORDER BY 1)) || ' ' || (SELECT "
                     "group_concat(Recargo, '/') FROM (SELECT DISTINCT Recargo FROM f ORDER BY 1))")
                     .arg(QLatin1String(cuota), QLatin1String(raiz)),
                 esperado);
        };
        iva("facturas emitidas", "477", "CtdadHaberEuros", "1 0 10/21/4 0/0,5/1,4/5,2");
        iva("facturas recibidas", "472", "CtdadDebeEuros", "1 0 10/21/4 0");
        // Las emitidas van numeradas por fecha, sin huecos, en una serie por año.
        fila("facturas emitidas correlativas",
             "SELECT (COUNT(*) > 200) || ' ' || SUM(CAST(substr(Factura, 5) AS INTEGER) <> n OR "
             "substr(Factura, 2, 2) <> substr(Fecha, 3, 2)) FROM (SELECT *, row_number() OVER "
             "(PARTITION BY CodEmpresa, substr(Factura, 1, 3) ORDER BY Fecha, Primero) AS n FROM "
             "(SELECT a.CodEmpresa, p.Factura, MIN(a.Fecha) AS Fecha, MIN(a.IDAsiento) AS Primero "
             "FROM Apunte p JOIN Asiento a ON a.IDAsiento = p.CodAsiento JOIN Cuenta c ON "
             "c.IDCuenta = p.CodCuenta WHERE c.Codigo LIKE '477%' AND p.Factura <> '' "
             "GROUP BY a.CodEmpresa, p.Factura))",
             "1 0");
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

    void siempreLosMismosLibros() {
        const QString otra = dir_.filePath(QStringLiteral("otra.db"));
        LibrosEjemplo::crear(otra);
        const QStringList tablas{"Empresa", "Cuenta", "Estructura", "Asiento", "Apunte"};
        QCOMPARE(prueba::huella(otra, tablas), prueba::huella(ruta_, tablas));
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
        QCOMPARE(LibrosEjemplo::orden({dir_.filePath(QStringLiteral("no/hay/carpeta.db"))}, err),
                 1);
        QVERIFY(texto.contains(QStringLiteral("No existe la carpeta")));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("no/hay/carpeta.db.parcial"))));
    }
};

QTEST_GUILESS_MAIN(PruebaLibrosEjemplo)
#include "prueba_libros_ejemplo.moc"
