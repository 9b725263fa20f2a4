// Construcciones del balance de sumas y saldos y de los presupuestos sobre libros pequeños, con
// las cifras hechas a mano.
#include <QTemporaryDir>
#include <QtTest>

#include "BarraProgreso.h"
#include "ErrorOrvo.h"
#include "LibroPrueba.h"
#include "Presupuestos.h"
#include "SumasYSaldos.h"

using namespace orvo;
using namespace orvo::prueba;

class PruebaSumasYSaldos : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    ProgresoNulo progreso_;
    const QString tabla_ = QStringLiteral("BalanceSumasySaldos");

    FormulasInforme sumas(LibroPrueba& l, QDate desde, QDate hasta, std::vector<int> niveles,
                          bool presupuesto = false, bool euros = false, bool saldoCero = false) {
        ContextoInforme ctx{*l.conta, *l.inf, progreso_};
        return construirSumasYSaldos(
            ctx, {LibroPrueba::kEmpresa, "0000000", "9999999", desde, hasta, euros, saldoCero,
                  presupuesto, std::move(niveles)});
    }
    FormulasInforme presupuesto(LibroPrueba& l, std::uint8_t origen, bool euros = false,
                                std::vector<int> niveles = {4}) {
        ContextoInforme ctx{*l.conta, *l.inf, progreso_};
        return construirPresupuesto(
            ctx, {LibroPrueba::kEmpresa, origen, "0000", "9999", euros, std::move(niveles)});
    }

  private slots:
    void periodoDeMesesEnteros_data() {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("debe");
        // Debe del mes m = 2^(m-1): la suma dice qué meses se han leído.
        QTest::newRow("1 de marzo a 20 de mayo")
            << QDate(2001, 3, 1) << QDate(2001, 5, 20) << "20010101"
            << "28";  // 4+8+16
        QTest::newRow("noviembre a febrero")
            << QDate(2001, 11, 1) << QDate(2002, 2, 28) << "20010701"
            << "3.075";  // 1024+2048+1+2
    }
    void periodoDeMesesEnteros() {
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(QString, inicio);
        QFETCH(QString, debe);
        LibroPrueba l(dir_.path(), 7, inicio, "20020630");
        Importes debePorMes;
        for (int m = 1; m <= 12; ++m)
            debePorMes[QString("Debe%1").arg(m, 2, 10, QChar(u'0'))] =
                QString::number(1 << (m - 1));
        l.cuenta("4300001", debePorMes);
        sumas(l, desde, hasta, {7});
        QCOMPARE(l.columna(tabla_, "Debe"), QStringList{debe});
    }

    // Apertura el 1/1 (5700 Caja a 1000 Capital, 1.000), compras el 20/1 (6000 a 5700, 200) y
    // el 10/2 (6000 a 5700, 50). Las cuentas de grupo llevan las sumas de sus subcuentas.
    void apertura_data() {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QStringList>("codigos");
        QTest::addColumn<QStringList>("debe");
        QTest::addColumn<QStringList>("apertura");
        QTest::addColumn<QString>("totalDebe");
        QTest::newRow("desde el inicio del ejercicio")
            << QDate(2001, 1, 1) << QStringList{"1", "5", "6", "1000", "5700", "6000"}
            << QStringList{"0", "0", "250", "0", "0", "250"}
            << QStringList{"-1.000", "1.000", "0", "-1.000", "1.000", "0"} << "250";
        QTest::newRow("desde febrero no hay apertura")
            << QDate(2001, 2, 1) << QStringList{"5", "6", "5700", "6000"}
            << QStringList{"0", "50", "0", "50"} << QStringList{"0", "0", "0", "0"} << "50";
    }
    void apertura() {
        QFETCH(QDate, desde);
        QFETCH(QStringList, codigos);
        QFETCH(QStringList, debe);
        QFETCH(QStringList, apertura);
        QFETCH(QString, totalDebe);
        LibroPrueba l(dir_.path(), 4);
        l.cuenta("1", {{"Haber01", "1000"}});
        const qint64 capital = l.cuenta("1000", {{"Haber01", "1000"}});
        const Importes caja{{"Debe01", "1000"}, {"Haber01", "200"}, {"Haber02", "50"}};
        l.cuenta("5", caja);
        const qint64 c5700 = l.cuenta("5700", caja);
        l.cuenta("6", {{"Debe01", "200"}, {"Debe02", "50"}});
        const qint64 c6000 = l.cuenta("6000", {{"Debe01", "200"}, {"Debe02", "50"}});
        const qint64 a = l.asiento(1, "20010101");
        l.apunte(a, c5700, "1000", "0");
        l.apunte(a, capital, "0", "1000");
        for (auto [n, fecha, importe] : {std::tuple{2, "20010120", "200"}, {3, "20010210", "50"}}) {
            const qint64 b = l.asiento(n, fecha);
            l.apunte(b, c6000, importe, "0");
            l.apunte(b, c5700, "0", importe);
        }
        const auto f = sumas(l, desde, {2001, 12, 31}, {1, 4});
        QCOMPARE(l.columna(tabla_, "Codigo"), codigos);  // los códigos cortos primero
        QCOMPARE(l.columna(tabla_, "Debe"), debe);
        QCOMPARE(l.columna(tabla_, "SaldoApertura"), apertura);  // la cuenta 5 recibe la de 5700
        for (const auto& r : l.filas(tabla_)) {
            const auto importe = [&](const char* c) { return *Moneda::deTexto(r.value(c)); };
            QCOMPARE(importe("Saldo"),
                     importe("SaldoApertura") + importe("Debe") - importe("Haber"));
        }
        QCOMPARE(f.at(4), "TotalDebe = '" + totalDebe + "'");  // solo el nivel 4
        QCOMPARE(f.at(7), QStringLiteral("TotalSaldoApe = '0'"));
        const QString mes = desde.month() == 1 ? "enero" : "febrero";
        QCOMPARE(f.at(2), "Periodo= \"Periodo:  " + mes + "/2001 ~ diciembre/2001\"");
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '1'"));
    }

    void aperturaEnEjercicioDeJulioDesdeMarzo() {
        // "0301" no es mayor que "0701": la apertura se aparta aunque julio quede fuera.
        LibroPrueba l(dir_.path(), 4, "20010701", "20020630");
        const qint64 caja = l.cuenta("5700", {{"Debe07", "1000"}, {"Debe03", "300"}});
        const qint64 a = l.asiento(1, "20010701");
        l.apunte(a, caja, "1000", "0");
        sumas(l, {2002, 3, 1}, {2002, 6, 30}, {4});
        const auto fila = l.filas(tabla_).value(0);
        QCOMPARE(fila.value("Debe"), QStringLiteral("-700"));
        QCOMPARE(fila.value("Saldo"), QStringLiteral("300"));
        QCOMPARE(fila.value("SaldoApertura"), QStringLiteral("1.000"));
    }

    void nivelesTresYSiete() {
        LibroPrueba l(dir_.path(), 7);
        for (const char* c : {"4", "430"}) l.cuenta(c, {{"Debe03", "300"}});
        l.cuenta("4300001", {{"Debe03", "100"}}, "Clientes \"O'Donnell\"");  // comillas: sin daño
        l.cuenta("4300002", {{"Debe03", "200"}});
        const auto f = sumas(l, {2001, 1, 1}, {2001, 12, 31}, {3, 7});
        QCOMPARE(l.columna(tabla_, "Codigo"), (QStringList{"430", "4300001", "4300002"}));
        QCOMPARE(l.columna(tabla_, "Nivel"), (QStringList{"1", "5", "5"}));
        QCOMPARE(l.columna(tabla_, "Descripcion")[1], QStringLiteral("Clientes \"O'Donnell\""));
        QCOMPARE(f.at(4), QStringLiteral("TotalDebe = '300'"));
    }

    void ordenDeCodigos_data() {
        QTest::addColumn<bool>("conPresupuesto");
        QTest::addColumn<QStringList>("orden");
        QTest::newRow("sin presupuesto, numérico") << false << QStringList{"1", "2", "10", "100"};
        QTest::newRow("con presupuesto, texto") << true << QStringList{"1", "10", "100", "2"};
    }
    void ordenDeCodigos() {
        QFETCH(bool, conPresupuesto);
        QFETCH(QStringList, orden);
        LibroPrueba l(dir_.path(), 3);
        for (const char* c : {"100", "2", "10", "1"}) l.cuenta(c, {{"Debe03", "1"}});
        sumas(l, {2001, 1, 1}, {2001, 12, 31}, {1, 2, 3}, conPresupuesto);
        QCOMPARE(l.columna(tabla_, "Codigo"), orden);
    }

    void saldoCero_data() {
        QTest::addColumn<bool>("saldoCero");
        QTest::addColumn<QStringList>("codigos");
        QTest::newRow("sin marcar") << false << QStringList{"4300003"};
        QTest::newRow("marcada: las de saldo 0 con movimiento")
            << true << QStringList{"4300002", "4300003"};
    }
    void saldoCero() {
        QFETCH(bool, saldoCero);
        QFETCH(QStringList, codigos);
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4300001");
        l.cuenta("4300002", {{"Debe04", "100"}, {"Haber05", "100"}});
        l.cuenta("4300003", {{"Haber04", "1,5"}});
        sumas(l, {2001, 1, 1}, {2001, 12, 31}, {7}, false, false, saldoCero);
        QCOMPARE(l.columna(tabla_, "Codigo"), codigos);
    }

    void porcentajeDelPresupuesto_data() {
        // clang-format off
        QTest::addColumn<QString>("importes");  // debe, haber y presupuesto de marzo en euros
        QTest::addColumn<QString>("media");
        QTest::addColumn<QString>("totalMedia");
        QTest::newRow("50 de 200") << "50;0;200" << "25,00 %" << "25,00 %";
        QTest::newRow("sin presupuesto") << "50;0;0" << "0,00 %" << "0,00 %";
        QTest::newRow("saldo acreedor") << "0;30;200" << "-15,00 %" << "-15,00 %";
        // clang-format on
    }
    void porcentajeDelPresupuesto() {
        QFETCH(QString, importes);
        QFETCH(QString, media);
        QFETCH(QString, totalMedia);
        const QStringList i = importes.split(u';');
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("6000001", {{"Debe03Euros", i[0]},
                             {"Haber03Euros", i[1]},
                             {"Presupuesto03Euros", i[2]},
                             {"Presupuesto04Euros", "1000"}});
        const auto f = sumas(l, {2001, 3, 1}, {2001, 3, 31}, {7}, true, true);
        QCOMPARE(l.columna(tabla_, "Media"), QStringList{media});
        QCOMPARE(l.columna(tabla_, "Presupuesto"), QStringList{i[2] + ",00"});  // solo marzo
        QCOMPARE(f.at(5), "TotalMedia = '" + totalMedia + "'");
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '0'"));
    }

    void porcentajeTotalDeLosTotalesFormateados() {
        // En pesetas los totales se redondean antes de dividir: 0,6 de 2,4 es un 25 %, pero
        // el total dice "1" de "2".
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("6000001", {{"Debe01", "0,6"}, {"Presupuesto01", "2,4"}});
        const auto f = sumas(l, {2001, 1, 1}, {2001, 1, 31}, {7}, true);
        QCOMPARE(l.columna(tabla_, "Media"), QStringList{"25,00 %"});
        QCOMPARE(f.at(5), QStringLiteral("TotalMedia = '50,00 %'"));
    }

    void aperturaPorPrefijo_data() {
        // clang-format off
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("debe");
        QTest::newRow("grupo") << "5" << "111";
        QTest::newRow("subgrupo") << "57" << "11";
        QTest::newRow("cuenta") << "570" << "1";
        QTest::newRow("sin líneas") << "6" << "0";
        QTest::newRow("tras la última") << "9" << "0";
        QTest::newRow("más largo que los códigos") << "57000011" << "0";
        // clang-format on
    }
    void aperturaPorPrefijo() {
        QFETCH(QString, codigo);
        QFETCH(QString, debe);
        LibroPrueba l(dir_.path(), 7);
        const qint64 a = l.asiento(1, "20010101");
        l.apunte(a, l.cuenta("5700001"), "1", "0");
        l.apunte(a, l.cuenta("5710001"), "10", "0");
        l.apunte(a, l.cuenta("5200001"), "100", "0");
        QCOMPARE(SaldosApertura::leer(*l.conta, a, {}).dePrefijo(codigo).debe.formatear(false),
                 debe);
    }

    void erroresDeLosLibros() {
        LibroPrueba l(dir_.path(), 4, "20010101", "20020331");  // ejercicio de quince meses
        l.cuenta("6000", {{"Debe01", "mil"}, {"PresupuestoTotal", "1"}});
        QVERIFY_THROWS_EXCEPTION(ErrorBD, sumas(l, {2001, 1, 1}, {2001, 1, 31}, {4}));
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, presupuesto(l, cCOrigen::Presupuesto));
        l.conta->Execute("DELETE FROM Empresa");
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, sumas(l, {2001, 2, 1}, {2001, 2, 28}, {4}));
    }

    // 6000: presupuesto 1.000 (enero 100, febrero 0), saldo 250 (enero 40, febrero 10).
    // 7000: presupuesto 500, saldo acreedor de 100. 6001: presupuesto '0', fuera.
    void presupuestoAnual() {
        LibroPrueba l(dir_.path(), 4);
        l.cuenta("6000", {{"PresupuestoTotal", "1000"},
                          {"Presupuesto01", "100"},
                          {"DebeTotal", "250"},
                          {"Debe01", "40"},
                          {"Debe02", "10"}});
        l.cuenta("7000", {{"PresupuestoTotal", "500"}, {"HaberTotal", "100"}, {"Haber03", "100"}});
        l.cuenta("6001", {{"PresupuestoTotal", "0"}, {"DebeTotal", "5"}});
        const auto f = presupuesto(l, cCOrigen::PRESUPUESTOANUAL);
        const auto filas = l.filas("PresupuestoAnual");
        QCOMPARE(l.columna("PresupuestoAnual", "Codigo"), (QStringList{"6000", "7000"}));
        const QStringList columnas{"MediaTotal",   "DiferenciaTotal", "Saldo01",     "MediaEnero",
                                   "Diferencia01", "MediaFebrero",    "Diferencia02"};
        QStringList valores;
        for (const QString& c : columnas) valores << filas[0].value(c);
        QCOMPARE(valores, (QStringList{"25,00 %", "750", "40", "40,00 %", "60", "", "-10"}));
        QCOMPARE(filas[1].value("MediaTotal"), QStringLiteral("-20,00 %"));
        QCOMPARE(filas[1].value("Diferencia03"), QStringLiteral("100"));
        QCOMPARE(f.at(12), QStringLiteral("TituloMes12= \"DIC\""));
        QCOMPARE(f.at(13), QStringLiteral("Empresa= \"<ORV> Orvo Pruebas, S.L.\""));
        QCOMPARE(f.at(14), QStringLiteral("Periodo= \"Periodo:  enero/2001 ~ diciembre/2001\""));
    }

    void ejercicioDeJulio_data() {
        QTest::addColumn<int>("origen");
        QTest::newRow("presupuesto") << int(cCOrigen::Presupuesto);
        QTest::newRow("anual") << int(cCOrigen::PRESUPUESTOANUAL);
    }
    void ejercicioDeJulio() {
        QFETCH(int, origen);
        LibroPrueba l(dir_.path(), 4, "20010701", "20020630");
        l.cuenta("6000", {{"PresupuestoTotal", "1200"},
                          {"Presupuesto07", "70"},
                          {"Presupuesto01", "10"},
                          {"Debe07", "35"},
                          {"Haber07", "5"}});
        const auto f = presupuesto(l, std::uint8_t(origen));
        const auto fila = l.filas(tablaPresupuesto(std::uint8_t(origen))).value(0);
        QCOMPARE(fila.value("PresupuestoEnero"), QStringLiteral("70"));  // julio
        QCOMPARE(fila.value("PresupuestoJulio"), QStringLiteral("10"));  // enero
        QCOMPARE(fila.value("Saldo01"), origen == cCOrigen::Presupuesto ? "" : "30");
        QCOMPARE(f.at(1), QStringLiteral("TituloMes01= \"JUL\""));
        QCOMPARE(f.at(7), QStringLiteral("TituloMes07= \"ENE\""));
    }

    void presupuestoEnEurosFiltraPorPesetas() {
        LibroPrueba l(dir_.path(), 4);
        l.cuenta("6000", {{"PresupuestoTotal", "1000"},
                          {"PresupuestoTotalEuros", "6,01"},
                          {"DebeTotalEuros", "1,5"}});
        l.cuenta("6001", {{"PresupuestoTotal", "0"}, {"PresupuestoTotalEuros", "6,01"}});
        presupuesto(l, cCOrigen::PRESUPUESTOANUAL, true);
        QCOMPARE(l.columna("PresupuestoAnual", "PresupuestoTotal"), QStringList{"6,01"});
        QCOMPARE(l.columna("PresupuestoAnual", "DiferenciaTotal"), QStringList{"4,51"});
    }

    void primerEjercicioMasCorto() {
        // Constituida en abril: nueve meses, y las tres últimas columnas vacías.
        LibroPrueba l(dir_.path(), 4, "20010401", "20011231");
        l.cuenta("6000", {{"PresupuestoTotal", "900"}, {"Presupuesto12", "100"}, {"Debe12", "50"}});
        const auto f = presupuesto(l, cCOrigen::PRESUPUESTOANUAL);
        const auto fila = l.filas("PresupuestoAnual").value(0);
        QCOMPARE(fila.value("PresupuestoSeptiembre"), QStringLiteral("100"));
        QCOMPARE(fila.value("Saldo09"), QStringLiteral("50"));
        QCOMPARE(fila.value("Saldo10") + fila.value("PresupuestoDiciembre"), QString());
        QCOMPARE(f.at(9), QStringLiteral("TituloMes09= \"DIC\""));
        QVERIFY(!f.count(10));
    }
};

QTEST_MAIN(PruebaSumasYSaldos)
#include "prueba_sumasysaldos.moc"
