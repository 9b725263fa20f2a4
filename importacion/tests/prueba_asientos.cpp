// La rutina de asientos frente a sumas hechas a mano, y la comprobación de los libros con cada
// clase de fallo sembrada.
#include "Comprobar.h"
#include "LibrosPrueba.h"
#include "Progreso.h"

using namespace orvo;

namespace {

// Empresa 1 de 2024 con subcuentas de siete cifras. Epígrafes: A (sin cuentas) padre de A.1
// (cuenta 572); B (cuenta 100); T = A+B. Asiento 1 en enero: 5720001 a 1000001 por 100,00 €.
// Asiento 2 en marzo: 5720002 a 5720001 por 50,25 €. Presupuesto de febrero de 5720001: 10 €.
std::unique_ptr<prueba::LibrosPrueba> libro() {
    auto l = std::make_unique<prueba::LibrosPrueba>();
    const long e = l->empresa(QStringLiteral("20240101"), QStringLiteral("20241231"));
    for (const char* c : {"1", "10", "100", "5", "57", "572"}) l->cuenta(e, c);
    l->asentar(e, {"20240115 5720001 16.639 0 100,00 0,00", "20240115 1000001 0 16.639 0,00 100,00",
                   "20240302 5720002 8.361 0 50,25 0,00", "20240302 5720001 0 8.361 0,00 50,25",
                   "P 5720001 2 1.664 10,00"});
    l->epigrafe(e, 1, "A", {}, 1);
    l->epigrafe(e, 1, "A.1", {}, 1, 1, {}, {"572"});
    l->epigrafe(e, 1, "B", {}, 2, 1, {}, {"100"});
    l->epigrafe(e, 1, "T", {}, 1, 1, "A+B");
    return l;
}

QString columna(Conexion& con, const QString& tabla, const QString& codigo,
                const QString& columna) {
    const QString clave = tabla == u"Cuenta" ? QStringLiteral("Codigo")
                                             : QStringLiteral("CodigoEpigrafe");
    return con
        .valor(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(columna, tabla, clave),
               {codigo})
        .toString();
}

}  // namespace

class PruebaAsientos : public QObject {
    Q_OBJECT

  private slots:
    // Cada cuenta o epígrafe con las columnas que se comprueban, "columna=valor" separadas por
    // espacios.
    void columnasComoLasSumas_data() {
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("columnas");
        // clang-format off
        const char* filas[][3] = {
            {"Cuenta", "5720001", "Debe01Euros=100,00 Debe01=16.639 Haber03Euros=50,25 HaberTotal=8.361 Presupuesto02Euros=10,00 PresupuestoTotalEuros=10,00"},
            {"Cuenta", "5720002", "Debe03Euros=50,25 Debe01Euros=0,00"},
            {"Cuenta", "572", "DebeTotalEuros=150,25 Haber03Euros=50,25"},
            {"Cuenta", "5", "DebeTotal=25.000 Presupuesto02=1.664"},
            {"Cuenta", "1", "Haber01Euros=100,00 Debe01Euros=0,00"},
            {"Estructura", "A.1", "Total01Euros=100,00 Total03Euros=0,00 TotalEuros=100,00 Presupuesto02Euros=10,00"},
            {"Estructura", "A", "Total01=16.639 TotalEuros=100,00"},
            {"Estructura", "B", "Total01Euros=-100,00"},
            {"Estructura", "T", "TotalEuros=0,00"},
        };
        // clang-format on
        for (const auto& f : filas) QTest::addRow("%s %s", f[0], f[1]) << f[0] << f[1] << f[2];
    }
    void columnasComoLasSumas() {
        QFETCH(QString, tabla);
        QFETCH(QString, codigo);
        QFETCH(QString, columnas);
        auto l = libro();
        Conexion* con = &l->conta();
        Asientos::asentar(*con, 1);
        for (const QString& c : columnas.split(u' '))
            QCOMPARE(c.section(u'=', 0, 0) + u'=' + ::columna(*con, tabla, codigo, c.section(u'=', 0, 0)), c);
        // Una segunda pasada no encuentra nada que cambiar.
        QVERIFY(Asientos::asentar(*con, 1).empty());
    }

    void comprobarEncuentraCadaFallo_data() {
        QTest::addColumn<QStringList>("siembra");
        QTest::addColumn<QString>("problema");
        QTest::addColumn<bool>("reparable");
        // clang-format off
        QTest::newRow("columna mensual") << QStringList{"UPDATE Cuenta SET Debe01Euros = '99,00' WHERE Codigo = '572'"}
            << "Cuenta 572, debe de enero en euros: guarda 99,00 y debería valer 100,00" << true;
        QTest::newRow("total de epígrafe") << QStringList{"UPDATE Estructura SET Total = '5' WHERE CodigoEpigrafe = 'A'"}
            << "Epígrafe A, saldo del año en pesetas: guarda 5 y debería valer 16.639" << true;
        QTest::newRow("descuadre en euros") << QStringList{"UPDATE Apunte SET CtdadHaberEuros = '90,00' WHERE CodAsiento = 1 AND CtdadHaberEuros <> '0,00'"}
            << "El asiento 1 no cuadra en euros: debe 100,00, haber 90,00" << false;
        QTest::newRow("descuadre en pesetas") << QStringList{"UPDATE Apunte SET CtdadHaber = '16.638' WHERE CodAsiento = 1 AND CtdadHaber <> '0'"}
            << "El asiento 1 no cuadra en pesetas: debe 16.639, haber 16.638" << false;
        QTest::newRow("pesetas lejos de los euros")
            << QStringList{"UPDATE Apunte SET CtdadDebe = '20.000' WHERE CodAsiento = 1 AND CtdadDebe <> '0'",
                           "UPDATE Apunte SET CtdadHaber = '20.000' WHERE CodAsiento = 1 AND CtdadHaber <> '0'"}
            << "El apunte 1 del asiento 1: 20.000 pesetas no corresponden a 100,00 euros" << false;
        QTest::newRow("apunte fuera de subcuenta") << QStringList{"UPDATE Apunte SET CodCuenta = (SELECT IDCuenta FROM Cuenta WHERE Codigo = '572') WHERE CodAsiento = 2"}
            << "El apunte 3 del asiento 2 no está en una subcuenta de la empresa" << false;
        QTest::newRow("fuera del ejercicio") << QStringList{"UPDATE Asiento SET Fecha = '20250102' WHERE Numero = 2"}
            << "El asiento 2 tiene fecha 20250102, fuera del ejercicio" << false;
        QTest::newRow("número repetido") << QStringList{"UPDATE Asiento SET Numero = 1"} << "El número de asiento 1 se repite 2 veces" << false;
        QTest::newRow("fórmula sin epígrafe") << QStringList{"UPDATE Estructura SET Formula = 'A+Z' WHERE CodigoEpigrafe = 'T'"}
            << "La fórmula del epígrafe T (A+Z) nombra el epígrafe Z, que no existe" << false;
        QTest::newRow("ciclo") << QStringList{"UPDATE Estructura SET Formula = 'A-B' WHERE CodigoEpigrafe = 'B'"}
            << "La fórmula del epígrafe B (A-B) depende de sí misma" << false;
        // clang-format on
    }
    void comprobarEncuentraCadaFallo() {
        QFETCH(QStringList, siembra);
        QFETCH(QString, problema);
        QFETCH(bool, reparable);
        auto l = libro();
        Conexion* con = &l->conta();
        Asientos::asentar(*con, 1);
        ProgresoNulo progreso;
        QVERIFY(Comprobacion::comprobar(*con, 1, false, progreso).problemas.isEmpty());
        for (const QString& sql : siembra) con->Execute(sql);
        const Comprobacion::Informe antes = Comprobacion::comprobar(*con, 1, false, progreso);
        QVERIFY2(antes.problemas.filter(problema).size() == 1,
                 qPrintable(antes.problemas.join(u'\n')));
        const Comprobacion::Informe reparado = Comprobacion::comprobar(*con, 1, true, progreso);
        QCOMPARE(reparado.problemas.isEmpty(), reparable);
        if (reparable) QCOMPARE(reparado.reparados.size(), 1);
    }

    // La orden: 1 y la cuenta nombrada; --reparar la arregla y dice qué cambió; después, 0.
    void ordenComprobar() {
        auto l = libro();
        const QString ruta = l->conta().ruta();
        Asientos::asentar(l->conta(), 1);
        l->conta().Execute(QStringLiteral("UPDATE Cuenta SET Haber03 = '1' WHERE Codigo = '57'"));
        const auto correr = [&](QStringList extra) {
            QString texto;
            QTextStream err(&texto);
            const int codigo = Comprobacion::orden(
                QStringList{"--contabilidad", ruta, "--empresa", "1"} + extra, err);
            err.flush();
            return std::pair{codigo, texto};
        };
        auto [codigo, texto] = correr({});
        QCOMPARE(codigo, 1);
        QVERIFY2(
            texto.contains(u"Cuenta 57, haber de marzo en pesetas: guarda 1 y debería valer 8.361"),
            qPrintable(texto));
        std::tie(codigo, texto) = correr({QStringLiteral("--reparar")});
        QCOMPARE(codigo, 0);
        QVERIFY2(texto.contains(u"Reparado: Cuenta 57, haber de marzo"), qPrintable(texto));
        QCOMPARE(correr({}).first, 0);
        QCOMPARE(correr({QStringLiteral("--empresa")}).first, 2);
    }
};

QTEST_GUILESS_MAIN(PruebaAsientos)
#include "prueba_asientos.moc"
