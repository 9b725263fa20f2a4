// Balance de situación y cuenta de pérdidas y ganancias de una empresa, sobre libros pequeños
// construidos en cada prueba con cifras calculadas a mano.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "Balance.h"
#include "ConfiguracionAnfitrion.h"
#include "DoblesPrueba.h"
#include "Esquemas.h"
#include "InterfazQt.h"
#include "LibroPrueba.h"
#include "LineasBalance.h"
#include "PruebaBalances.h"
#include "cBalances.h"
#include "cInformes.h"
#include "frmImprimir.h"

using namespace orvo;
using prueba::filasDe;
using prueba::LibroPrueba;
using prueba::MotorAnotador;

class PruebaBalance : public prueba::PruebaBalances {
    Q_OBJECT

    void libroBasico() { prueba::libroBasico(*libro_); }

    OpcionesBalance opciones(int documento, QDate desde = QDate(2001, 1, 1),
                             QDate hasta = QDate(2001, 12, 31)) {
        OpcionesBalance o;
        o.empresa = 1;
        o.textoEmpresa = QStringLiteral("<EJ> Empresa EJ");
        o.documento = documento;
        o.desde = desde;
        o.hasta = hasta;
        return o;
    }

    FormulasInforme construir(const OpcionesBalance& o) {
        Transaccion t(*inf_);
        ContextoInforme c{libro_->con(), *inf_, progreso_};
        FormulasInforme f = construirBalance(c, o);
        t.confirmar();
        return f;
    }

    // Lanza la operación con las casillas dadas y, si sale, imprime en pantalla. Devuelve las
    // filas que tenía Balances justo antes de vaciarse.
    QStringList lanzar(const QString& operacion, const QList<int>& casillas,
                       const std::function<void(QDialog&)>& antes = {}) {
        return lanzarOperacion(operacion, casillas, QStringLiteral("Balances"),
                               QStringLiteral("Nivel, Descripcion, Codigo, Total"), antes);
    }

  private slots:
    void init() { nuevoCaso(); }

    void mesesDelPeriodo_data() {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("meses");
        QTest::newRow("un mes") << QDate(2001, 5, 1) << QDate(2001, 5, 31) << "05";
        QTest::newRow("cruza el fin de año")
            << QDate(2001, 10, 1) << QDate(2002, 3, 31) << "10 11 12 01 02 03";
        QTest::newRow("más de doce meses") << QDate(2001, 1, 15) << QDate(2002, 2, 1)
                                           << "01 02 03 04 05 06 07 08 09 10 11 12 01 02";
        QTest::newRow("fin antes que inicio") << QDate(2001, 5, 1) << QDate(2001, 4, 30) << "";
    }
    void mesesDelPeriodo() {
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(QString, meses);
        QCOMPARE(orvo::mesesPeriodo(desde, hasta).join(u' '), meses);
    }

    void signoYMedia_data() {
        // clang-format off
        QTest::addColumn<QString>("importe");
        QTest::addColumn<QString>("naturaleza");
        QTest::addColumn<bool>("euros");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("activo deudor") << "1234,5" << "Activo" << true << "1.234,50";
        QTest::newRow("pasivo acreedor en positivo") << "-1234,5"
                                                     << " Pasivo " << true << "1.234,50";
        QTest::newRow("haber en pesetas sin decimales") << "-1234,5" << "Haber" << false << "1.235";
        QTest::newRow("debe acreedor en negativo") << "-10" << "Debe" << true << "-10,00";
        // clang-format on
    }
    void signoYMedia() {
        QFETCH(QString, importe);
        QFETCH(QString, naturaleza);
        QFETCH(bool, euros);
        QFETCH(QString, esperado);
        QCOMPARE(AplicarSigno(*Moneda::deTexto(importe), naturaleza).formatear(euros), esperado);
        const auto media = [](int total, int presupuesto) {
            return formatearPorcentaje(
                porcentajeDe(Moneda::deEntero(total), Moneda::deEntero(presupuesto)));
        };
        QCOMPARE(media(3500, 7000), QStringLiteral("50,00 %"));
        QCOMPARE(media(1, 3), QStringLiteral("33,33 %"));
        QCOMPARE(media(0, 7000), QStringLiteral("0,00 %"));
        QCOMPARE(media(3500, 0), QStringLiteral("0,00 %"));
    }

    // El balance de situación del año en euros y en pesetas: el beneficio (1.500) aparece en
    // la 129 (y, desglosada, en la 1290000 que los libros no tienen) sin escribir en los
    // libros, y el banco se muestra solo en el activo.
    void balanceDeSituacion_data() {
        QTest::addColumn<bool>("euros");
        QTest::addColumn<bool>("desglosar");
        QTest::addColumn<QStringList>("esperado");
        const QStringList euros{"1|ACTIVO|A|11.500,00",
                                "2|Inmovilizado|A1|4.000,00",
                                "3|Construcciones|-|4.000,00",
                                "4|Nave|-|4.000,00",
                                "2|Deudores y tesorería|A2|7.500,00",
                                "3|Clientes|-|3.500,00",
                                "3|Bancos|-|4.000,00",
                                "1|PASIVO|P|11.500,00",
                                "2|Fondos propios|P1|11.500,00",
                                "3|Capital|-|10.000,00",
                                "3|Resultados|-|1.500,00"};
        QTest::newRow("euros") << true << false << euros;
        QStringList pesetas;  // las pesetas de estos libros son los euros por cien
        for (const QString& f : euros)
            pesetas << f.section(u'|', 0, 2) + u'|' +
                           (*Moneda::deTexto(f.section(u'|', 3)) * 100).formatear(false);
        QTest::newRow("pesetas") << false << false << pesetas;
        QTest::newRow("129 desglosada")
            << true << true << euros + QStringList{"4|Pérdidas y ganancias|-|1.500,00"};
    }
    void balanceDeSituacion() {
        QFETCH(bool, euros);
        QFETCH(bool, desglosar);
        QFETCH(QStringList, esperado);
        libroBasico();
        if (desglosar)
            libro_->con().Execute(
                QStringLiteral("UPDATE Cuenta SET Desglosar = 1 WHERE Codigo = '129'"));
        // Un informe solo lee: cualquier escritura en los libros haría fallar la construcción.
        libro_->con().Execute(QStringLiteral("PRAGMA query_only = 1"));
        OpcionesBalance o = opciones(1);
        o.euros = euros;
        o.mostrarCodigos = true;
        const FormulasInforme f = construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"),
                         QStringLiteral("Nivel, Descripcion, Codigo, Total")),
                 esperado);
        if (desglosar) return;
        // Orden conserva el número de línea: el epígrafe vacío P2 (12) se ha quitado.
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Orden")).join(u' '),
                 QStringLiteral("1 2 3 4 5 6 7 8 9 10 11"));
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Presupuesto || Media"))
                     .join(QString()),
                 QString());
        QCOMPARE(f.at(1), QStringLiteral("Empresa= \"<EJ> Empresa EJ\""));
        QCOMPARE(f.at(2), QStringLiteral("Periodo= \"Periodo:  enero/2001 ~ diciembre/2001\""));
        QCOMPARE(f.at(3), QStringLiteral("MostrarColumnaCodigo = 1"));
    }

    // Números de cuenta delante de la descripción (que puede llevar comillas de los dos
    // tipos) y, aparte, solo los epígrafes.
    void opcionesDeCuentas() {
        libroBasico();
        libro_->con().Execute(QStringLiteral(
            "UPDATE Cuenta SET Descripcion = 'Nave \"A\" d''Or' WHERE Codigo = '2100001'"));
        OpcionesBalance o = opciones(1);
        o.numerosCuenta = true;
        construir(o);
        QVERIFY(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Descripcion"))
                    .contains(QStringLiteral("2100001  Nave \"A\" d'Or")));
        inf_->Execute(QStringLiteral("DELETE FROM Balances"));
        o.numerosCuenta = false;
        o.soloEpigrafes = true;
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Codigo")).join(u' '),
                 QStringLiteral("A A1 A2 P P1"));
    }

    // Una cuenta con movimientos pero saldo cero solo sale con "Mostrar cuentas con saldo
    // cero"; una sin movimientos no sale nunca.
    void cuentasConSaldoCero() {
        libroBasico();
        libro_->apunte(1, "4300001", 5, QString(), "3.500");
        libro_->apunte(1, "7000001", 6, "3.500", QString());
        OpcionesBalance o = opciones(2, QDate(2001, 3, 1), QDate(2001, 6, 30));
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Descripcion")),
                 QStringList());
        o = opciones(1, QDate(2001, 3, 1), QDate(2001, 5, 31));
        o.saldoCero = true;
        construir(o);
        const QStringList f =
            filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Descripcion, Total"));
        QVERIFY(f.contains(QStringLiteral("Clientes|0,00")));
        QVERIFY(!f.contains(QStringLiteral("Capital|0,00")));  // sin movimientos en el periodo
    }

    // Las pesetas se suman exactas y se redondean una vez, al escribir: dos epígrafes de 0,4
    // pesetas cada uno se imprimen 0 y su suma, 1. Redondeados antes de sumar darían 0.
    void pesetasSumadasExactas() {
        LibroPrueba& l = *libro_;
        l.empresa(1, "EJ", 2001, "20010101", "20011231");
        for (const char* c : {"X", "Y"})
            l.con().Execute("UPDATE Estructura SET Total01 = '-0,4' WHERE IDEstructura = ?",
                            {qlonglong(l.epigrafe(1, 2, c, c, LibroPrueba::Haber, 1))});
        l.epigrafe(1, 2, "R", "Resultado", LibroPrueba::Haber, 1, "X+Y");
        OpcionesBalance o = opciones(2, QDate(2001, 1, 1), QDate(2001, 1, 31));
        o.euros = false;
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Codigo, Total")),
                 (QStringList{"R|1", "X|0", "Y|0"}));
    }

    // Ejercicio de julio a junio: un periodo de octubre a marzo suma noviembre y febrero.
    void periodoQueCruzaElAno() {
        LibroPrueba& l = *libro_;
        l.empresa(1, "EJ", 2001, "20010701", "20020630");
        l.enlazar(l.epigrafe(1, 2, "I", "Ingresos", LibroPrueba::Haber, 1),
                  l.cuenta(1, "700", "Ventas"));
        l.cuenta(1, "7000001", "Ventas tienda", 2);
        l.apunte(1, "7000001", 11, QString(), "100");
        l.apunte(1, "7000001", 2, QString(), "200");
        l.apunte(1, "7000001", 6, QString(), "400");
        construir(opciones(2, QDate(2001, 10, 1), QDate(2002, 3, 31)));
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Descripcion, Total")),
                 (QStringList{"Ingresos|300,00", "Ventas|300,00"}));
    }

    // Una cuenta del activo y del pasivo con saldo acreedor: sale en el pasivo y se descuenta
    // del epígrafe del activo y de su padre.
    void cuentaCompartida() {
        LibroPrueba& l = *libro_;
        l.empresa(1, "EJ", 2001, "20010101", "20011231");
        l.epigrafe(1, 1, "A", "ACTIVO", LibroPrueba::Activo, 1);
        const long a2 = l.epigrafe(1, 1, "A2", "Tesorería y deudores", LibroPrueba::Activo, 2);
        l.epigrafe(1, 1, "P", "PASIVO", LibroPrueba::Pasivo, 1);
        const long p2 = l.epigrafe(1, 1, "P2", "Deudas con bancos", LibroPrueba::Pasivo, 2);
        const long bancos = l.cuenta(1, "572", "Bancos");
        l.enlazar(a2, l.cuenta(1, "430", "Clientes"));
        l.enlazar(a2, bancos);
        l.enlazar(p2, bancos);
        l.cuenta(1, "4300001", "Cliente", 2);
        l.cuenta(1, "5720001", "Banco", 2);
        l.apunte(1, "4300001", 1, "3.000", QString());
        l.apunte(1, "5720001", 1, QString(), "1.000");
        OpcionesBalance o = opciones(1);
        o.presupuesto = true;
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"),
                         QStringLiteral("Nivel, Descripcion, Total, Presupuesto")),
                 (QStringList{"1|ACTIVO|3.000,00|0,00", "2|Tesorería y deudores|3.000,00|0,00",
                              "3|Clientes|3.000,00|0,00", "1|PASIVO|1.000,00|0,00",
                              "2|Deudas con bancos|1.000,00|0,00", "3|Bancos|1.000,00|0,00"}));
    }

    // Epígrafes vacíos: G vale cero aunque sus hijos no (se anulan) y no tiene cuentas: se
    // quita; H vale cero pero tiene debajo una cuenta escrita: se queda.
    void epigrafesVacios() {
        LibroPrueba& l = *libro_;
        l.empresa(1, "EJ", 2001, "20010101", "20011231");
        l.epigrafe(1, 2, "G", "Gastos", LibroPrueba::Debe, 1);
        const long g1 = l.epigrafe(1, 2, "G1", "Compras", LibroPrueba::Debe, 2);
        const long g2 = l.epigrafe(1, 2, "G2", "Devoluciones", LibroPrueba::Debe, 2);
        const long h = l.epigrafe(1, 2, "H", "Varios", LibroPrueba::Debe, 1);
        l.enlazar(h, l.cuenta(1, "6290001", "Otros", 2));
        l.apunte(1, "6290001", 1, "10", "10");
        l.totalEpigrafe(g1, 1, "500");
        l.totalEpigrafe(g2, 1, "-500");
        OpcionesBalance o = opciones(2);
        o.saldoCero = true;
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Codigo, Total")),
                 (QStringList{"G1|500,00", "G2|-500,00", "H|0,00", "-|0,00"}));
    }

    // Fórmulas: una cadena de tres, dos que se citan entre sí, una suma negativa, una a cero
    // con una línea más honda detrás y un epígrafe sin código.
    void formulas() {
        LibroPrueba& l = *libro_;
        libroBasico();
        const auto f = [&](const char* codigo, const char* formula, int orden = 1) {
            return l.epigrafe(1, 2, QString::fromUtf8(codigo), QString::fromUtf8(codigo),
                              LibroPrueba::Haber, orden, QString::fromUtf8(formula));
        };
        f("R1", " R2 ");
        f("R2", "R3");
        f("R3", "I - G");
        f("X1", "X2");
        f("X2", "X1+I");
        f("N", "G-I");
        f("B", "Z9");
        l.totalEpigrafe(f("B1", "", 2), 5, "-50");
        l.totalEpigrafe(f("", ""), 5, "-75");
        construir(opciones(2));
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"),
                         QStringLiteral("Nivel, Codigo, Total, Presupuesto, Media, Formula")),
                 (QStringList{"1|G|2.000,00|||", "2|-|2.000,00|||", "1|-|75,00|||", "1|B||||",
                              "2|B1|50,00|||", "1|I|3.500,00|||", "2|-|3.500,00|||",
                              "1|R1|1.500,00|0,00|0,00 %|", "1|R2|1.500,00|0,00|0,00 %|",
                              "1|R3|1.500,00|0,00|0,00 %|", "1|X1|ERROR|ERROR|ERROR|X2",
                              "1|X2|ERROR|ERROR|ERROR|X1+I"}));
    }

    void presupuesto() {
        libroBasico();
        libro_->presupuesto(1, "7000001", 3, "7.000");
        OpcionesBalance o = opciones(2);
        o.presupuesto = true;
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"),
                         QStringLiteral("Descripcion, Total, Presupuesto, Media")),
                 (QStringList{"Gastos|2.000,00|0,00|0,00 %", "Compras|2.000,00|0,00|0,00 %",
                              "Ingresos|3.500,00|7.000,00|50,00 %",
                              "Ventas|3.500,00|7.000,00|50,00 %"}));
    }

    // Por el camino del usuario: plantilla, título y fórmulas según el informe y el
    // presupuesto.
    void dialogo_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<bool>("presupuesto");
        QTest::addColumn<QString>("ventana");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("titulo");
        const QString s = QStringLiteral("Informe de balance de Situación"),
                      p = QStringLiteral("Informe de balance de Pérdidas y Ganancias");
        // clang-format off
        QTest::newRow("situación") << "ImprimirBalanceSituacion" << false << s << "infCONT_Situacion.rpt" << s;
        QTest::newRow("situación con presupuesto") << "ImprimirBalanceSituacion" << true << s
            << "infCONT_SituacionPresupuesto.rpt" << s + " presupuestario";
        QTest::newRow("pérdidas y ganancias") << "ImprimirBalancePYG" << false << p
            << "infCONT_PerdidasyGanancias.rpt" << p;
        QTest::newRow("pérdidas y ganancias con presupuesto") << "ImprimirBalancePYG" << true << p
            << "infCONT_PerdidasyGananciasPresupuesto.rpt" << p + " presupuestario";
        // clang-format on
    }
    void dialogo() {
        QFETCH(QString, operacion);
        QFETCH(bool, presupuesto);
        QFETCH(QString, ventana);
        QFETCH(QString, plantilla);
        QFETCH(QString, titulo);
        libroBasico();
        const QString antes = libro_->instantanea();
        QString tituloVentana;
        QList<int> casillas{0};
        if (presupuesto) casillas << 4;
        const QStringList vaciadas =
            lanzar(operacion, casillas, [&](QDialog& d) { tituloVentana = d.windowTitle(); });
        QCOMPARE(tituloVentana, ventana);
        QVERIFY(motor_.impreso);
        QCOMPARE(QFileInfo(motor_.plantilla).fileName(), plantilla);
        QCOMPARE(motor_.titulo, titulo);
        QCOMPARE(motor_.impresas.value(3), QStringLiteral("MostrarColumnaCodigo = 0"));
        QVERIFY(!vaciadas.isEmpty());
        QCOMPARE(libro_->instantanea(), antes);
        QCOMPARE(filasDe(*inf_, QStringLiteral("Balances"), QStringLiteral("Codigo")),
                 QStringList());  // la operación la vacía
    }

    void sinCuentaDePerdidasYGanancias() {
        libroBasico();
        libro_->con().Execute(
            QStringLiteral("DELETE FROM Rel_Estructura_Cuenta WHERE CodCuenta IN "
                           "(SELECT IDCuenta FROM Cuenta WHERE Codigo = '129')"));
        const QStringList vaciadas = lanzar(QStringLiteral("ImprimirBalanceSituacion"), {0});
        QCOMPARE(interfaz_.mensajes.size(), std::size_t(1));
        QCOMPARE(
            interfaz_.mensajes[0].texto,
            QStringLiteral("¡La cuenta de pérdidas y ganancias no existe o bien no está asignada a "
                           "ningún epígrafe del balance de situación de la empresa 'EJ-2001'!"));
        QVERIFY(interfaz_.mensajes[0].icono == Icono::Exclamacion);
        QCOMPARE(interfaz_.pitidos, 1);
        QVERIFY(vaciadas.isEmpty());
        QVERIFY(!motor_.impreso);
        // La cuenta de pérdidas y ganancias no hace falta para la de pérdidas y ganancias.
        interfaz_.mensajes.clear();
        QVERIFY(!lanzar(QStringLiteral("ImprimirBalancePYG"), {0}).isEmpty());
        QVERIFY(interfaz_.mensajes.empty());
    }

    // Un importe ilegible hace fallar la construcción: se informa, no se imprime nada y los
    // libros quedan como estaban.
    void errorTrasElAsiento() {
        libroBasico();
        libro_->con().Execute(
            QStringLiteral("UPDATE Cuenta SET Debe05Euros = 'mil' WHERE Codigo = '430'"));
        const QString antes = libro_->instantanea();
        const QStringList vaciadas = lanzar(QStringLiteral("ImprimirBalanceSituacion"), {0});
        QCOMPARE(interfaz_.mensajes.size(), std::size_t(1));
        QVERIFY(interfaz_.mensajes[0].texto.contains(QStringLiteral("BalanceSinPresupuesto")));
        QVERIFY(interfaz_.mensajes[0].texto.contains(QStringLiteral("frmInfBalances")));
        QVERIFY(vaciadas.isEmpty());
        QVERIFY(!motor_.impreso);
        QCOMPARE(libro_->instantanea(), antes);
    }

    void periodoAlReves() {
        libroBasico();
        const QStringList vaciadas =
            lanzar(QStringLiteral("ImprimirBalancePYG"), {0}, [](QDialog& d) {
                d.findChild<QDateEdit*>(QStringLiteral("dtpBalance0"))->setDate(QDate(2001, 6, 1));
                d.findChild<QDateEdit*>(QStringLiteral("dtpBalance1"))->setDate(QDate(2001, 5, 1));
            });
        QCOMPARE(interfaz_.mensajes.size(), std::size_t(1));
        QCOMPARE(interfaz_.mensajes[0].texto,
                 QStringLiteral("¡No puede ser mayor la fecha inicial que la fecha final!"));
        QVERIFY(vaciadas.isEmpty());
        QVERIFY(!motor_.impreso);
    }
};

QTEST_MAIN(PruebaBalance)
#include "prueba_balance.moc"
