// Balance de sumas y saldos: la construcción sobre libros pequeños con cifras hechas a mano.
#include <QTemporaryDir>
#include <QtTest>

#include "Auxiliares.h"
#include "BarraProgreso.h"
#include "ErrorOrvo.h"
#include "LibroPrueba.h"
#include "SumasYSaldos.h"

using namespace orvo;
using orvo::prueba::LibroPrueba;

namespace {

// Importes de cada mes distintos y potencias de dos: la suma dice qué meses se han leído.
QMap<QString, QString> debePorMes() {
    QMap<QString, QString> m;
    for (int mes = 1; mes <= 12; ++mes)
        m[QStringLiteral("Debe%1").arg(mes, 2, 10, QChar(u'0'))] = QString::number(1 << (mes - 1));
    return m;
}

// Plan de cuatro cifras con apertura el 1 de enero:
//   asiento 1 (01/01, apertura): 5700 Caja debe 1.000 / 1000 Capital haber 1.000
//   asiento 2 (15/01): 5700 debe 500 / 7000 Ventas haber 500
//   asiento 3 (20/01): 6000 Compras debe 200 / 5700 haber 200
//   asiento 4 (10/02): 6000 debe 50 / 5700 haber 50
// Las cuentas de nivel 1 llevan las sumas de sus subcuentas, como en el plan de verdad.
void libroConApertura(LibroPrueba& l, const QString& fechaApertura = "20010101") {
    using M = QMap<QString, QString>;
    l.cuenta("1", {{"Haber01", "1000"}});
    const qint64 capital = l.cuenta("1000", {{"Haber01", "1000"}});
    l.cuenta("5", {{"Debe01", "1500"}, {"Haber01", "200"}, {"Haber02", "50"}});
    const qint64 caja =
        l.cuenta("5700", {{"Debe01", "1500"}, {"Haber01", "200"}, {"Haber02", "50"}});
    l.cuenta("6", M{{"Debe01", "200"}, {"Debe02", "50"}});
    const qint64 compras = l.cuenta("6000", M{{"Debe01", "200"}, {"Debe02", "50"}});
    l.cuenta("7", {{"Haber01", "500"}});
    const qint64 ventas = l.cuenta("7000", {{"Haber01", "500"}});
    const qint64 a1 = l.asiento(1, fechaApertura);
    l.apunte(a1, caja, "1000", "0");
    l.apunte(a1, capital, "0", "1000");
    const qint64 a2 = l.asiento(2, "20010115");
    l.apunte(a2, caja, "500", "0");
    l.apunte(a2, ventas, "0", "500");
    const qint64 a3 = l.asiento(3, "20010120");
    l.apunte(a3, compras, "200", "0");
    l.apunte(a3, caja, "0", "200");
    const qint64 a4 = l.asiento(4, "20010210");
    l.apunte(a4, compras, "50", "0");
    l.apunte(a4, caja, "0", "50");
}

}  // namespace

class PruebaSumasYSaldos : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    ProgresoNulo progreso_;

    OpcionesSumasYSaldos opciones(QDate desde, QDate hasta, std::vector<int> niveles) {
        OpcionesSumasYSaldos op;
        op.empresa = LibroPrueba::kEmpresa;
        op.subcuentaInicial = QStringLiteral("0000000");
        op.subcuentaFinal = QStringLiteral("9999999");
        op.desde = desde;
        op.hasta = hasta;
        op.niveles = std::move(niveles);
        return op;
    }
    FormulasInforme construir(LibroPrueba& l, const OpcionesSumasYSaldos& op) {
        ContextoInforme ctx{*l.conta, *l.inf, progreso_};
        return construirSumasYSaldos(ctx, op);
    }

  private slots:
    void mesesDelPeriodo_data() {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("ejercicioIni");
        QTest::addColumn<QString>("ejercicioFin");
        QTest::addColumn<QString>("debe");
        // Los días no acotan: del 1 de marzo al 20 de mayo son marzo, abril y mayo enteros.
        QTest::newRow("marzo a 20 de mayo") << QDate(2001, 3, 1) << QDate(2001, 5, 20) << "20010101"
                                            << "20011231"
                                            << "28";  // 4+8+16
        QTest::newRow("noviembre a febrero")
            << QDate(2001, 11, 1) << QDate(2002, 2, 28) << "20010701"
            << "20020630"
            << "3.075";  // 1024+2048+1+2
        QTest::newRow("un solo día") << QDate(2001, 12, 31) << QDate(2001, 12, 31) << "20010101"
                                     << "20011231"
                                     << "2.048";
    }
    void mesesDelPeriodo() {
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(QString, ejercicioIni);
        QFETCH(QString, ejercicioFin);
        QFETCH(QString, debe);
        LibroPrueba l(dir_.path(), 7, ejercicioIni, ejercicioFin);
        l.cuenta("4300001", debePorMes());
        construir(l, opciones(desde, hasta, {7}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Debe"), QStringList{debe});
        QCOMPARE(l.columna("BalanceSumasySaldos", "SaldoApertura"), QStringList{"0"});
    }

    void aperturaDesdeElPrimerDia() {
        LibroPrueba l(dir_.path(), 4);
        libroConApertura(l);
        const auto f = construir(l, opciones({2001, 1, 1}, {2001, 12, 31}, {1, 4}));
        const auto filas = l.filas("BalanceSumasySaldos");
        // Orden numérico: primero los códigos cortos.
        QCOMPARE(l.columna("BalanceSumasySaldos", "Codigo"),
                 (QStringList{"1", "5", "6", "7", "1000", "5700", "6000", "7000"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Debe"),
                 (QStringList{"0", "500", "250", "0", "0", "500", "250", "0"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Haber"),
                 (QStringList{"0", "250", "0", "500", "0", "250", "0", "500"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Saldo"),
                 (QStringList{"-1.000", "1.250", "250", "-500", "-1.000", "1.250", "250", "-500"}));
        // La cuenta 5 recibe la apertura de su subcuenta 5700 (prefijo).
        QCOMPARE(l.columna("BalanceSumasySaldos", "SaldoApertura"),
                 (QStringList{"-1.000", "1.000", "0", "0", "-1.000", "1.000", "0", "0"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Nivel"),
                 (QStringList{"1", "1", "1", "1", "4", "4", "4", "4"}));
        for (const auto& r : filas) {
            const auto importe = [&](const char* c) { return *Moneda::deTexto(r.value(c)); };
            QCOMPARE(importe("Saldo"),
                     importe("SaldoApertura") + importe("Debe") - importe("Haber"));
        }
        // Totales solo del nivel 4.
        QCOMPARE(f.at(4), QStringLiteral("TotalDebe = '750'"));
        QCOMPARE(f.at(5), QStringLiteral("TotalHaber = '750'"));
        QCOMPARE(f.at(6), QStringLiteral("TotalSaldo = '0'"));
        QCOMPARE(f.at(7), QStringLiteral("TotalSaldoApe = '0'"));
        QCOMPARE(f.at(1), QStringLiteral("Empresa= \"<ORV> Orvo Pruebas, S.L.\""));
        QCOMPARE(f.at(2), QStringLiteral("Periodo= \"Periodo:  enero/2001 ~ diciembre/2001\""));
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '1'"));
    }

    void sinAperturaDesdeFebrero() {
        LibroPrueba l(dir_.path(), 4);
        libroConApertura(l);
        const auto f = construir(l, opciones({2001, 2, 1}, {2001, 12, 31}, {1, 4}));
        // Sin movimiento en el periodo, 1 y 7 no salen.
        QCOMPARE(l.columna("BalanceSumasySaldos", "Codigo"),
                 (QStringList{"5", "6", "5700", "6000"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Debe"), (QStringList{"0", "50", "0", "50"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Haber"), (QStringList{"50", "0", "50", "0"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "SaldoApertura"),
                 (QStringList{"0", "0", "0", "0"}));
        QCOMPARE(f.at(7), QStringLiteral("TotalSaldoApe = '0'"));
    }

    void aperturaEjercicioDeJulioDesdeMarzo() {
        // "0301" no es mayor que "0701": la apertura se aparta aunque julio no esté en el periodo.
        LibroPrueba l(dir_.path(), 4, "20010701", "20020630");
        const qint64 caja = l.cuenta("5700", {{"Debe07", "1000"}, {"Debe03", "300"}});
        const qint64 capital = l.cuenta("1000", {{"Haber07", "1000"}});
        const qint64 a = l.asiento(1, "20010701");
        l.apunte(a, caja, "1000", "0");
        l.apunte(a, capital, "0", "1000");
        construir(l, opciones({2002, 3, 1}, {2002, 6, 30}, {4}));
        const auto filas = l.filas("BalanceSumasySaldos");
        QCOMPARE(filas.size(), 1);
        QCOMPARE(filas[0].value("Codigo"), QStringLiteral("5700"));
        QCOMPARE(filas[0].value("Debe"), QStringLiteral("-700"));
        QCOMPARE(filas[0].value("Saldo"), QStringLiteral("300"));
        QCOMPARE(filas[0].value("SaldoApertura"), QStringLiteral("1.000"));
    }

    void aperturaConVariosAsientosEseDia() {
        // El de número más bajo (por valor, no por texto) es la apertura.
        LibroPrueba l(dir_.path(), 4);
        const qint64 caja = l.cuenta("5700", {{"Debe01", "1100"}});
        const qint64 otro = l.asiento(10, "20010101");
        l.apunte(otro, caja, "1000", "0");
        const qint64 apertura = l.asiento(9, "20010101");
        l.apunte(apertura, caja, "100", "0");
        construir(l, opciones({2001, 1, 1}, {2001, 1, 31}, {4}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "SaldoApertura"), QStringList{"100"});
        QCOMPARE(l.columna("BalanceSumasySaldos", "Debe"), QStringList{"1.000"});
    }

    void nivelesTresYSiete() {
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4", {{"Debe03", "300"}});
        l.cuenta("43", {{"Debe03", "300"}});
        l.cuenta("430", {{"Debe03", "300"}});
        l.cuenta("4300001", {{"Debe03", "100"}});
        l.cuenta("4300002", {{"Debe03", "200"}});
        const auto f = construir(l, opciones({2001, 1, 1}, {2001, 12, 31}, {3, 7}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Codigo"),
                 (QStringList{"430", "4300001", "4300002"}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Nivel"), (QStringList{"1", "5", "5"}));
        QCOMPARE(f.at(4), QStringLiteral("TotalDebe = '300'"));
        QCOMPARE(f.at(6), QStringLiteral("TotalSaldo = '300'"));
    }

    void ordenDeCodigos_data() {
        QTest::addColumn<bool>("presupuesto");
        QTest::addColumn<QStringList>("orden");
        QTest::newRow("sin presupuesto, numérico") << false << QStringList{"1", "2", "10", "100"};
        QTest::newRow("con presupuesto, texto") << true << QStringList{"1", "10", "100", "2"};
    }
    void ordenDeCodigos() {
        QFETCH(bool, presupuesto);
        QFETCH(QStringList, orden);
        LibroPrueba l(dir_.path(), 3);
        for (const char* c : {"100", "2", "10", "1"}) l.cuenta(c, {{"Debe03", "1"}});
        auto op = opciones({2001, 1, 1}, {2001, 12, 31}, {1, 2, 3});
        op.presupuesto = presupuesto;
        construir(l, op);
        QCOMPARE(l.columna("BalanceSumasySaldos", "Codigo"), orden);
    }

    void saldoCero_data() {
        QTest::addColumn<bool>("saldoCero");
        QTest::addColumn<QStringList>("codigos");
        QTest::newRow("sin marcar") << false << QStringList{"4300003"};
        QTest::newRow("marcada") << true << QStringList{"4300002", "4300003"};
    }
    void saldoCero() {
        QFETCH(bool, saldoCero);
        QFETCH(QStringList, codigos);
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4300001");                                           // sin movimiento: nunca
        l.cuenta("4300002", {{"Debe04", "100"}, {"Haber05", "100"}});  // movimiento, saldo 0
        l.cuenta("4300003", {{"Haber04", "1,5"}});
        auto op = opciones({2001, 1, 1}, {2001, 12, 31}, {7});
        op.saldoCero = saldoCero;
        construir(l, op);
        QCOMPARE(l.columna("BalanceSumasySaldos", "Codigo"), codigos);
    }

    void rangoDeSubcuentas() {
        LibroPrueba l(dir_.path(), 7);
        for (const char* c : {"4299999", "4300000", "4309999", "4310000"})
            l.cuenta(c, {{"Debe01", "1"}});
        auto op = opciones({2001, 1, 1}, {2001, 12, 31}, {7});
        op.subcuentaInicial = QStringLiteral("4300000");
        op.subcuentaFinal = QStringLiteral("4309999");
        construir(l, op);
        QCOMPARE(l.columna("BalanceSumasySaldos", "Codigo"), (QStringList{"4300000", "4309999"}));
    }

    void presupuestoYPorcentaje_data() {
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("presupuesto");
        QTest::addColumn<QString>("media");
        QTest::newRow("50 de 200") << "50"
                                   << "200"
                                   << "25,00 %";
        QTest::newRow("sin presupuesto") << "50"
                                         << "0"
                                         << "0,00 %";
        QTest::newRow("saldo acreedor") << "-30"
                                        << "200"
                                        << "-15,00 %";
        QTest::newRow("un tercio") << "1"
                                   << "3"
                                   << "33,33 %";
    }
    void presupuestoYPorcentaje() {
        QFETCH(QString, debe);
        QFETCH(QString, presupuesto);
        QFETCH(QString, media);
        LibroPrueba l(dir_.path(), 7);
        // El importe negativo va al haber para que el saldo sea acreedor.
        const bool acreedor = debe.startsWith(u'-');
        l.cuenta("6000001", {{acreedor ? "Haber03Euros" : "Debe03Euros", debe.remove(u'-')},
                             {"Presupuesto03Euros", presupuesto},
                             {"Presupuesto04Euros", "1000"}});  // fuera del periodo
        auto op = opciones({2001, 3, 1}, {2001, 3, 31}, {7});
        op.presupuesto = true;
        op.euros = true;
        const auto f = construir(l, op);
        const auto filas = l.filas("BalanceSumasySaldos");
        QCOMPARE(filas.size(), 1);
        QCOMPARE(filas[0].value("Media"), media);
        QCOMPARE(filas[0].value("Presupuesto"), Moneda::deTexto(presupuesto)->formatear(true));
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '0'"));
        QCOMPARE(f.at(4),
                 QStringLiteral("TotalPresupuesto = '%1'").arg(filas[0].value("Presupuesto")));
        QCOMPARE(f.at(5), QStringLiteral("TotalMedia = '%1'").arg(media));
        QCOMPARE(f.at(6), QStringLiteral("TotalSaldo = '%1'").arg(filas[0].value("Saldo")));
    }

    void mediaTotalDeLosTotalesFormateados() {
        // En pesetas los totales se redondean a unidades antes de dividir: 0,6 / 2,4 serían
        // 25 %, pero "1" / "2" dan 50 %.
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("6000001", {{"Debe01", "0,6"}, {"Presupuesto01", "2,4"}});
        auto op = opciones({2001, 1, 1}, {2001, 1, 31}, {7});
        op.presupuesto = true;
        const auto f = construir(l, op);
        QCOMPARE(l.columna("BalanceSumasySaldos", "Media"), QStringList{"25,00 %"});
        QCOMPARE(f.at(5), QStringLiteral("TotalMedia = '50,00 %'"));
    }

    void eurosConDecimales() {
        LibroPrueba l(dir_.path(), 4);
        libroConApertura(l);
        l.conta->Execute(
            "UPDATE Cuenta SET Debe02Euros = '0,30', Haber02Euros = '0,30' "
            "WHERE Codigo IN ('5', '5700')");
        auto op = opciones({2001, 2, 1}, {2001, 2, 28}, {4});
        op.euros = true;
        op.saldoCero = true;
        const auto f = construir(l, op);
        QCOMPARE(l.columna("BalanceSumasySaldos", "Debe"), QStringList{"0,30"});
        QCOMPARE(f.at(4), QStringLiteral("TotalDebe = '0,30'"));
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '0'"));
    }

    void comillasEnLosDatos() {
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4300001", {{"Debe01", "1"}}, QStringLiteral("Cliente \"O'Donnell\""));
        construir(l, opciones({2001, 1, 1}, {2001, 1, 31}, {7}));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Descripcion"),
                 QStringList{"Cliente \"O'Donnell\""});
    }

    void errores() {
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4300001", {{"Debe01", "mil"}});
        QVERIFY_THROWS_EXCEPTION(ErrorBD, construir(l, opciones({2001, 1, 1}, {2001, 1, 31}, {7})));
        auto op = opciones({2001, 1, 1}, {2001, 1, 31}, {7});
        op.empresa = 99;
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, construir(l, op));
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo,
                                 construir(l, opciones({2001, 1, 1}, {2001, 1, 31}, {})));
    }

    void saldosAperturaPorPrefijo_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("haber");
        QTest::newRow("grupo") << "5"
                               << "111"
                               << "1.000";
        QTest::newRow("subgrupo") << "57"
                                  << "11"
                                  << "0";
        QTest::newRow("cuenta") << "570"
                                << "1"
                                << "0";
        QTest::newRow("subcuenta") << "5710001"
                                   << "10"
                                   << "0";
        QTest::newRow("sin líneas") << "6"
                                    << "0"
                                    << "0";
        QTest::newRow("después de todas") << "9"
                                          << "0"
                                          << "0";
        QTest::newRow("antes de todas") << "0"
                                        << "0"
                                        << "0";
        QTest::newRow("prefijo más largo que los códigos") << "57000011"
                                                           << "0"
                                                           << "0";
    }
    void saldosAperturaPorPrefijo() {
        QFETCH(QString, codigo);
        QFETCH(QString, debe);
        QFETCH(QString, haber);
        LibroPrueba l(dir_.path(), 7);
        const qint64 a = l.asiento(1, "20010101");
        l.apunte(a, l.cuenta("5700001"), "1", "0");
        l.apunte(a, l.cuenta("5710001"), "10", "0");
        l.apunte(a, l.cuenta("5200001"), "100", "1000");
        const auto s = SaldosApertura::leer(*l.conta, a, QString());
        QCOMPARE(s.dePrefijo(codigo).debe.formatear(false), debe);
        QCOMPARE(s.dePrefijo(codigo).haber.formatear(false), haber);
    }

    void textoDeNiveles() {
        QCOMPARE(textoNivel(3), QStringLiteral("Desglose nivel 3"));
        QCOMPARE(nivelDeTexto(QStringLiteral("Desglose nivel 3")), 3);
        QCOMPARE(nivelDeTexto(QStringLiteral("Desglose nivel 12")), 12);
        QCOMPARE(mesesPeriodo({2001, 12, 31}, {2003, 1, 1}).size(), 14);  // repite meses
        QVERIFY(mesesPeriodo({2001, 3, 1}, {2001, 2, 28}).isEmpty());
    }
};

QTEST_MAIN(PruebaSumasYSaldos)
#include "prueba_sumasysaldos.moc"
