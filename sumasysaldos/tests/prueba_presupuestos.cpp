// Informes de presupuestos: columnas por posición en el ejercicio, porcentajes y diferencias.
#include <QTemporaryDir>
#include <QtTest>

#include "BarraProgreso.h"
#include "ErrorOrvo.h"
#include "LibroPrueba.h"
#include "Presupuestos.h"

using namespace orvo;
using orvo::prueba::LibroPrueba;

class PruebaPresupuestos : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    ProgresoNulo progreso_;

    FormulasInforme construir(LibroPrueba& l, std::uint8_t origen, bool euros = false,
                              std::vector<int> niveles = {4}) {
        OpcionesPresupuesto op;
        op.empresa = LibroPrueba::kEmpresa;
        op.origen = origen;
        op.subcuentaInicial = QStringLiteral("0000");
        op.subcuentaFinal = QStringLiteral("9999");
        op.euros = euros;
        op.niveles = std::move(niveles);
        ContextoInforme ctx{*l.conta, *l.inf, progreso_};
        return construirPresupuesto(ctx, op);
    }

    // 6000: presupuesto anual 1.000 (enero 100, febrero 0), saldo del año 250 (enero 40,
    // febrero 10). 7000: presupuesto 500 y saldo acreedor de 100. 6001: presupuesto '0'.
    static void libroAnual(LibroPrueba& l) {
        l.cuenta("6000", {{"PresupuestoTotal", "1000"},
                          {"Presupuesto01", "100"},
                          {"Presupuesto02", "0"},
                          {"DebeTotal", "250"},
                          {"Debe01", "40"},
                          {"Debe02", "10"},
                          {"Debe03", "200"}});
        l.cuenta("7000", {{"PresupuestoTotal", "500"}, {"HaberTotal", "100"}, {"Haber03", "100"}});
        l.cuenta("6001", {{"PresupuestoTotal", "0"}, {"Presupuesto01", "7"}, {"DebeTotal", "5"}});
        l.cuenta("6", {{"PresupuestoTotal", "1000"}, {"DebeTotal", "250"}});  // otro nivel
    }

  private slots:
    void presupuestoAnualPorMeses() {
        LibroPrueba l(dir_.path(), 4);
        libroAnual(l);
        const auto f = construir(l, cCOrigen::PRESUPUESTOANUAL);
        const auto filas = l.filas("PresupuestoAnual");
        QCOMPARE(l.columna("PresupuestoAnual", "Codigo"), (QStringList{"6000", "7000"}));
        const auto& a = filas[0];
        QCOMPARE(a.value("PresupuestoTotal"), QStringLiteral("1000"));  // tal como se guarda
        QCOMPARE(a.value("PresupuestoEnero"), QStringLiteral("100"));
        QCOMPARE(a.value("SaldoTotal"), QStringLiteral("250"));
        QCOMPARE(a.value("MediaTotal"), QStringLiteral("25,00 %"));
        QCOMPARE(a.value("DiferenciaTotal"), QStringLiteral("750"));
        QCOMPARE(a.value("Saldo01"), QStringLiteral("40"));
        QCOMPARE(a.value("MediaEnero"), QStringLiteral("40,00 %"));
        QCOMPARE(a.value("Diferencia01"), QStringLiteral("60"));
        // Mes sin presupuesto: porcentaje vacío y diferencia = -saldo.
        QCOMPARE(a.value("MediaFebrero"), QString());
        QCOMPARE(a.value("Diferencia02"), QStringLiteral("-10"));
        QCOMPARE(a.value("Saldo03"), QStringLiteral("200"));
        QCOMPARE(a.value("Saldo12"), QStringLiteral("0"));
        QCOMPARE(a.value("MediaDiciembre"), QString());
        const auto& b = filas[1];
        QCOMPARE(b.value("SaldoTotal"), QStringLiteral("-100"));
        QCOMPARE(b.value("MediaTotal"), QStringLiteral("-20,00 %"));
        QCOMPARE(b.value("DiferenciaTotal"), QStringLiteral("600"));
        QCOMPARE(b.value("Saldo03"), QStringLiteral("-100"));
        QCOMPARE(f.at(1), QStringLiteral("TituloMes01= \"ENE\""));
        QCOMPARE(f.at(9), QStringLiteral("TituloMes09= \"SEP\""));
        QCOMPARE(f.at(12), QStringLiteral("TituloMes12= \"DIC\""));
        QCOMPARE(f.at(13), QStringLiteral("Empresa= \"<ORV> Orvo Pruebas, S.L.\""));
        QCOMPARE(f.at(14), QStringLiteral("Periodo= \"Periodo:  enero/2001 ~ diciembre/2001\""));
        QCOMPARE(f.size(), size_t(14));
    }

    void presupuestoSoloLeePresupuestos() {
        LibroPrueba l(dir_.path(), 4);
        libroAnual(l);
        // Un importe ilegible en el debe no importa: el informe de presupuestos no lo lee.
        l.conta->Execute("UPDATE Cuenta SET Debe01 = 'x', DebeTotal = 'x'");
        construir(l, cCOrigen::Presupuesto);
        const auto filas = l.filas("Presupuesto");
        QCOMPARE(filas.size(), 2);
        QCOMPARE(filas[0].value("PresupuestoTotal"), QStringLiteral("1000"));
        QCOMPARE(filas[0].value("PresupuestoEnero"), QStringLiteral("100"));
        QCOMPARE(filas[0].value("PresupuestoFebrero"), QStringLiteral("0"));
        QVERIFY(l.filas("PresupuestoAnual").isEmpty());
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
                          {"Presupuesto06", "60"},
                          {"Presupuesto01", "10"},
                          {"Debe07", "35"},
                          {"Haber07", "5"},
                          {"DebeTotal", "30"}});
        const auto f = construir(l, std::uint8_t(origen));
        const QString tabla = tablaPresupuesto(std::uint8_t(origen));
        const auto fila = l.filas(tabla).value(0);
        QCOMPARE(fila.value("PresupuestoEnero"), QStringLiteral("70"));      // julio
        QCOMPARE(fila.value("PresupuestoJulio"), QStringLiteral("10"));      // enero
        QCOMPARE(fila.value("PresupuestoDiciembre"), QStringLiteral("60"));  // junio
        if (origen == cCOrigen::PRESUPUESTOANUAL) {
            QCOMPARE(fila.value("Saldo01"), QStringLiteral("30"));
            QCOMPARE(fila.value("MediaEnero"), QStringLiteral("42,86 %"));  // 30 de 70
        }
        QCOMPARE(f.at(1), QStringLiteral("TituloMes01= \"JUL\""));
        QCOMPARE(f.at(7), QStringLiteral("TituloMes07= \"ENE\""));
        QCOMPARE(f.at(12), QStringLiteral("TituloMes12= \"JUN\""));
        QCOMPARE(f.at(14), QStringLiteral("Periodo= \"Periodo:  julio/2001 ~ junio/2002\""));
    }

    void eurosFiltranPorPesetas() {
        LibroPrueba l(dir_.path(), 4);
        l.cuenta("6000", {{"PresupuestoTotal", "1000"},
                          {"PresupuestoTotalEuros", "6,01"},
                          {"Presupuesto01Euros", "0,5"},
                          {"DebeTotalEuros", "1,5"},
                          {"Debe01Euros", "0,25"}});
        // Con presupuesto en euros pero '0' en pesetas, no sale.
        l.cuenta("6001", {{"PresupuestoTotal", "0"}, {"PresupuestoTotalEuros", "6,01"}});
        construir(l, cCOrigen::PRESUPUESTOANUAL, true);
        const auto filas = l.filas("PresupuestoAnual");
        QCOMPARE(filas.size(), 1);
        QCOMPARE(filas[0].value("PresupuestoTotal"), QStringLiteral("6,01"));
        QCOMPARE(filas[0].value("PresupuestoEnero"), QStringLiteral("0,5"));
        QCOMPARE(filas[0].value("SaldoTotal"), QStringLiteral("1,50"));
        QCOMPARE(filas[0].value("Saldo01"), QStringLiteral("0,25"));
        QCOMPARE(filas[0].value("Diferencia01"), QStringLiteral("0,25"));
        QCOMPARE(filas[0].value("MediaEnero"), QStringLiteral("50,00 %"));
        QCOMPARE(filas[0].value("DiferenciaTotal"), QStringLiteral("4,51"));
    }

    void nivelesYRango() {
        LibroPrueba l(dir_.path(), 4);
        libroAnual(l);
        construir(l, cCOrigen::Presupuesto, false, {1, 4});
        QCOMPARE(l.columna("Presupuesto", "Codigo"), (QStringList{"6", "6000", "7000"}));
    }

    void primerEjercicioMasCorto() {
        // Empresa constituida en abril: nueve meses; las tres últimas columnas quedan vacías.
        LibroPrueba l(dir_.path(), 4, "20010401", "20011231");
        l.cuenta("6000", {{"PresupuestoTotal", "900"},
                          {"Presupuesto04", "100"},
                          {"Presupuesto12", "100"},
                          {"Debe12", "50"},
                          {"DebeTotal", "50"}});
        const auto f = construir(l, cCOrigen::PRESUPUESTOANUAL);
        const auto fila = l.filas("PresupuestoAnual").value(0);
        QCOMPARE(fila.value("PresupuestoEnero"), QStringLiteral("100"));
        QCOMPARE(fila.value("PresupuestoSeptiembre"), QStringLiteral("100"));
        QCOMPARE(fila.value("Saldo09"), QStringLiteral("50"));
        QCOMPARE(fila.value("PresupuestoOctubre"), QString());
        QCOMPARE(fila.value("Saldo10"), QString());
        QCOMPARE(fila.value("Diferencia12"), QString());
        QCOMPARE(f.at(9), QStringLiteral("TituloMes09= \"DIC\""));
        QVERIFY(!f.count(10));
    }

    void errores() {
        LibroPrueba largo(dir_.path(), 4, "20010101", "20020331");
        largo.cuenta("6000", {{"PresupuestoTotal", "1"}});
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, construir(largo, cCOrigen::Presupuesto));
        LibroPrueba l(dir_.path(), 4);
        l.cuenta("6000", {{"PresupuestoTotal", "mucho"}});
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, construir(l, cCOrigen::PRESUPUESTOANUAL));
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, construir(l, cCOrigen::Presupuesto, false, {}));
    }
};

QTEST_MAIN(PruebaPresupuestos)
#include "prueba_presupuestos.moc"
