// El balance de sumas y saldos y los presupuestos sobre libros pequeños, con las cifras hechas a
// mano: las construcciones, y los diálogos con controles de verdad por el camino de quien los
// usa (ACEPTAR, la construcción y el diálogo de impresión).
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <tuple>

#include "ErrorOrvo.h"
#include "InterfazQt.h"
#include "LibrosPrueba.h"
#include "Presupuestos.h"
#include "SumasYSaldos.h"
#include "frmInfBalanceSaldos.h"
#include "frmInfPresupuesto.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

const QString kSumas = QStringLiteral("BalanceSumasySaldos");

// Una empresa con las cuentas 'cuentas' (sin apuntes) y los apuntes y presupuestos de 'lineas'
// (LibrosPrueba::asentar).
struct Libros : LibrosPrueba {
    Libros(int desglose, const QString& cuentas, const QStringList& lineas = {},
           const QString& inicio = QStringLiteral("20010101"),
           const QString& fin = QStringLiteral("20011231")) {
        e = empresa(inicio, fin, desglose);
        for (const QString& c : cuentas.split(u' ', Qt::SkipEmptyParts)) cuenta(e, c);
        asentar(e, lineas);
    }
    OpcionesSumasYSaldos opciones(QDate desde, QDate hasta, std::vector<int> niveles,
                                  bool presupuesto = false, Divisa divisa = Divisa::Pesetas,
                                  bool saldoCero = false) const {
        return {e,         "0000000",   "9999999",         desde, hasta, divisa,
                saldoCero, presupuesto, std::move(niveles)};
    }
    FormulasInforme sumas(QDate desde, QDate hasta, std::vector<int> niveles,
                          bool presupuesto = false, Divisa divisa = Divisa::Pesetas,
                          bool saldoCero = false) {
        return construir(construirSumasYSaldos, opciones(desde, hasta, std::move(niveles),
                                                         presupuesto, divisa, saldoCero));
    }
    // Las cifras, sin tabla de trabajo.
    SumasYSaldos cifras(QDate desde, QDate hasta, std::vector<int> niveles,
                        bool presupuesto = false) {
        return calcularSumasYSaldos(conta(),
                                    opciones(desde, hasta, std::move(niveles), presupuesto));
    }
    FormulasInforme presupuesto(std::uint8_t origen, Divisa divisa = Divisa::Pesetas) {
        return construir(construirPresupuesto, {e, origen, "0000", "9999", divisa, {4}});
    }
    long e = 0;
};

Moneda pts(std::int64_t unidades) {
    return Moneda::deEntero(unidades);
}

// Código, debe y apertura de una fila del balance.
using DebeYApertura = std::tuple<QString, Moneda, Moneda>;

QStringList textos(const QListWidget* lista) {
    QStringList r;
    for (int i = 0; i < lista->count(); ++i) r << lista->item(i)->text();
    return r;
}

QStringList niveles(std::initializer_list<int> n) {
    QStringList r;
    for (int i : n) r << QStringLiteral("Desglose nivel %1").arg(i);
    return r;
}

void marcar(QListWidget* lista, std::initializer_list<int> filas) {
    for (int f : filas) lista->item(f)->setSelected(true);
}

// Cuentas de los niveles 1 a 7 sobre 4300001, con 100 pesetas o 0,60 euros en marzo, y un
// presupuesto de 2,40 euros.
const QString kSieteNiveles = QStringLiteral("4 43 430 4300 43000 430000");
const QStringList kSieteNivelesApuntes{"20010301 4300001 100 0 0,60 0", "P 4300001 3 399 2,40"};

}  // namespace

class PruebaSumasYSaldos : public QObject {
    Q_OBJECT
    Entorno entorno_;

    // Muestra el diálogo, deja que 'acciones' maneje sus controles y pulsa ACEPTAR si se pide;
    // el diálogo de impresión, si llega, se acepta con destino pantalla.
    template <class Dialogo>
    void ejecutar(Libros& l, const std::function<void(Dialogo&)>& acciones, bool aceptar = true,
                  std::uint8_t origen = cCOrigen::Presupuesto) {
        Dialogo d(entorno_.comp);
        d.setBytOrigen(origen);
        entorno_.mostrar<Dialogo>(d, l.contaCompartida(), l.infCompartida(), l.e, [&](Dialogo& f) {
            acciones(f);
            if (aceptar) f.botonAceptar()->click();
        });
    }

  private slots:
    // Apertura el 1/1 (5700 Caja a 1000 Capital, 1.000), compras el 20/1 (6000 a 5700, 200) y
    // el 10/2 (6000 a 5700, 50). Las cuentas de grupo llevan las sumas de sus subcuentas.
    void apertura_data() {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QList<DebeYApertura>>("filas");
        QTest::addColumn<Moneda>("totalDebe");
        // clang-format off
        QTest::newRow("desde el inicio del ejercicio") << QDate(2001, 1, 1)
            << QList<DebeYApertura>{{"1", pts(0), pts(-1000)}, {"5", pts(0), pts(1000)}, {"6", pts(250), pts(0)},
                                    {"1000", pts(0), pts(-1000)}, {"5700", pts(0), pts(1000)}, {"6000", pts(250), pts(0)}}
            << pts(250);
        QTest::newRow("desde febrero no hay apertura") << QDate(2001, 2, 1)
            << QList<DebeYApertura>{{"5", pts(0), pts(0)}, {"6", pts(50), pts(0)}, {"5700", pts(0), pts(0)}, {"6000", pts(50), pts(0)}}
            << pts(50);
        // clang-format on
    }
    void apertura() {
        QFETCH(QDate, desde);
        Libros l(4, "1 5 6",
                 {"20010101 5700 1000 0", "20010101 1000 0 1000", "20010120 6000 200 0",
                  "20010120 5700 0 200", "20010210 6000 50 0", "20010210 5700 0 50"});
        const SumasYSaldos r = l.cifras(desde, {2001, 12, 31}, {1, 4});
        // Los códigos cortos primero; la cuenta 5 recibe la apertura de la 5700.
        QList<DebeYApertura> filas;
        for (const FilaSumasYSaldos& f : r.filas) {
            filas.push_back({f.codigo, f.debe, f.apertura});
            QCOMPARE(f.saldo, f.apertura + f.debe - f.haber);
        }
        QTEST(filas, "filas");
        QTEST(r.totalDebe, "totalDebe");  // solo el nivel 4
        QCOMPARE(r.totalApertura, Moneda());
        const auto f = l.sumas(desde, {2001, 12, 31}, {1, 4});
        const QString mes = desde.month() == 1 ? "enero" : "febrero";
        QCOMPARE(f.at(2), "Periodo= \"Periodo:  " + mes + "/2001 ~ diciembre/2001\"");
    }

    // Casos de una construcción, cada uno con sus libros.
    void sumas_data() {
        QTest::addColumn<int>("desglose");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QStringList>("lineas");
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("opciones");  // niveles y "presupuesto", "euros", "cero"
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("filas");
        const QDate ene(2001, 1, 1), dic(2001, 12, 31);
        // Debe del mes m = 2^(m-1): la suma dice qué meses se han leído.
        QStringList mensual;
        for (int m = 1; m <= 12; ++m)
            mensual << QStringLiteral("2001%1 4300001 %2 0")
                           .arg(m * 100 + 15, 4, 10, QChar(u'0'))
                           .arg(1 << (m - 1));
        const QStringList saldoCero{"20010401 4300002 100 0", "20010501 4300002 0 100",
                                    "20010401 4300003 0 1,5"};
        const QStringList cientos{"20010301 100 1 0", "20010301 200 1 0"};
        const QDate mar(2001, 3, 1), finMar(2001, 3, 31);
        // clang-format off
        QTest::newRow("1 de marzo a 20 de mayo") << 7 << "20010101" << mensual << QDate(2001, 3, 1) << QDate(2001, 5, 20) << "7" << "Debe" << QStringList{"28"};  // 4+8+16
        QTest::newRow("noviembre a febrero") << 7 << "20010701" << mensual << QDate(2001, 11, 1) << QDate(2002, 2, 28) << "7" << "Debe" << QStringList{"3.075"};  // 1024+2048+1+2
        // "0301" no es mayor que "0701": la apertura se aparta aunque julio quede fuera.
        QTest::newRow("apertura en ejercicio de julio, desde marzo") << 4 << "20010701" << QStringList{"20010701 5700 1000 0", "20020315 5700 300 0"} << QDate(2002, 3, 1) << QDate(2002, 6, 30) << "4" << "Debe, Saldo, SaldoApertura" << QStringList{"-700|300|1.000"};
        QTest::newRow("niveles 3 y 7") << 7 << "20010101" << QStringList{"20010301 4300001 100 0", "20010301 4300002 200 0"} << ene << dic << "3 7" << "Codigo, Nivel" << QStringList{"430|1", "4300001|5", "4300002|5"};
        QTest::newRow("sin presupuesto, orden numérico") << 3 << "20010101" << cientos << ene << dic << "1 2 3" << "Codigo" << QStringList{"1", "2", "10", "20", "100", "200"};
        QTest::newRow("con presupuesto, orden de texto") << 3 << "20010101" << cientos << ene << dic << "1 2 3 presupuesto" << "Codigo" << QStringList{"1", "10", "100", "2", "20", "200"};
        QTest::newRow("saldo cero sin marcar") << 7 << "20010101" << saldoCero << ene << dic << "7" << "Codigo" << QStringList{"4300003"};
        QTest::newRow("saldo cero marcado: las de saldo 0 con movimiento") << 7 << "20010101" << saldoCero << ene << dic << "7 cero" << "Codigo" << QStringList{"4300002", "4300003"};
        // El presupuesto y el porcentaje alcanzado, solo de marzo.
        QTest::newRow("50 de 200") << 7 << "20010101" << QStringList{"20010315 6000001 50 0", "P 6000001 3 200", "P 6000001 4 1000"} << mar << finMar << "7 presupuesto euros" << "Presupuesto, Media" << QStringList{"200,00|25,00 %"};
        QTest::newRow("sin presupuesto") << 7 << "20010101" << QStringList{"20010315 6000001 50 0", "P 6000001 4 1000"} << mar << finMar << "7 presupuesto euros" << "Presupuesto, Media" << QStringList{"0,00|0,00 %"};
        QTest::newRow("saldo acreedor") << 7 << "20010101" << QStringList{"20010315 6000001 0 30", "P 6000001 3 200"} << mar << finMar << "7 presupuesto euros" << "Presupuesto, Media" << QStringList{"200,00|-15,00 %"};
        // clang-format on
    }
    void sumas() {
        QFETCH(int, desglose);
        QFETCH(QString, inicio);
        QFETCH(QStringList, lineas);
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(QString, opciones);
        QFETCH(QString, columnas);
        Libros l(desglose,
                 desglose == 3   ? "1 2 10 20"
                 : desglose == 7 ? "4 430"
                                 : "",
                 lineas, inicio, "20020630");
        std::vector<int> niveles;
        for (const QString& n : opciones.split(u' '))
            if (n.toInt()) niveles.push_back(n.toInt());
        const auto f = l.sumas(desde, hasta, niveles, opciones.contains(u"presupuesto"),
                               opciones.contains(u"euros") ? Divisa::Euros : Divisa::Pesetas,
                               opciones.contains(u"cero"));
        QTEST(l.filas(kSumas, columnas), "filas");
        if (opciones.contains(u"euros"))
            QCOMPARE(f.at(5), "TotalMedia = '" + l.filas(kSumas, "Media").value(0) + u'\'');
    }

    void comillasEnLaDescripcion() {
        Libros l(7, {});
        l.cuenta(l.e, "4300001", "Clientes \"O'Donnell\"");
        l.asentar(l.e, {"20010301 4300001 100 0"});
        l.sumas({2001, 1, 1}, {2001, 12, 31}, {7});
        QCOMPARE(l.filas(kSumas, "Descripcion"), QStringList{"Clientes \"O'Donnell\""});
    }

    void porcentajeTotalDeLosTotalesFormateados() {
        // En pesetas los totales se redondean antes de dividir: 0,6 de 2,4 es un 25 %, pero
        // el total dice "1" de "2". Los libros no pasan por los asientos, que redondearían.
        Libros l(7, "6000001");
        l.conta().Execute(
            QStringLiteral("UPDATE Cuenta SET Debe01 = '0,6', Presupuesto01 = '2,4'"));
        const SumasYSaldos r = l.cifras({2001, 1, 1}, {2001, 1, 31}, {7}, true);
        QCOMPARE(r.filas.size(), std::size_t{1});
        QCOMPARE(r.filas[0].media, 25.0);
        QCOMPARE(r.totalMedia, 50.0);
    }

    void aperturaPorPrefijo_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("debe");
        // clang-format off
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
        Libros l(7, {},
                 {"20010101 5700001 1 0", "20010101 5710001 10 0", "20010101 5200001 100 0"});
        QTEST(SaldosApertura::leer(l.conta(), 1, {}).dePrefijo(codigo).debe.formatear(false),
              "debe");
    }

    void erroresDeLosLibros() {
        Libros l(4, "6000", {"P 6000 1 1"}, "20010101", "20020331");  // ejercicio de quince meses
        l.conta().Execute(QStringLiteral("UPDATE Cuenta SET Debe01 = 'mil'"));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, l.sumas({2001, 1, 1}, {2001, 1, 31}, {4}));
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, l.presupuesto(cCOrigen::Presupuesto));
        l.conta().Execute("DELETE FROM Empresa");
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, l.sumas({2001, 2, 1}, {2001, 2, 28}, {4}));
    }

    // 6000: presupuesto 1.000 (enero 100, febrero 0), saldo 250 (enero 40, febrero 10).
    // 7000: presupuesto 500, saldo acreedor de 100 en marzo. 6001: sin presupuesto, fuera.
    void presupuestoAnual() {
        Libros l(
            4, {},
            {"P 6000 1 100", "P 6000 6 900", "20010110 6000 40 0", "20010210 6000 10 0",
             "20010610 6000 200 0", "P 7000 5 500", "20010310 7000 0 100", "20010310 6001 5 0"});
        const Presupuestos r = calcularPresupuesto(
            l.conta(), {l.e, cCOrigen::PRESUPUESTOANUAL, "0000", "9999", Divisa::Pesetas, {4}});
        // "código: saldo|porcentaje|diferencia" del año, enero, febrero y marzo; sin presupuesto
        // no hay porcentaje.
        QStringList columnas;
        for (const FilaPresupuesto& f : r.filas) {
            QCOMPARE(f.columnas.size(), std::size_t{13});
            QStringList c;
            for (std::size_t i = 0; i < 4; ++i) {
                const ColumnaPresupuesto& m = f.columnas[i];
                c << QStringLiteral("%1|%2|%3")
                         .arg(m.saldo.formatear(false), m.media ? QString::number(*m.media) : "-",
                              m.diferencia.formatear(false));
            }
            columnas << f.codigo + QStringLiteral(": ") + c.join(u' ');
        }
        QCOMPARE(columnas, (QStringList{"6000: 250|25|750 40|40|60 10|-|-10 0|-|0",
                                        "7000: -100|-20|600 0|-|0 0|-|0 -100|-|100"}));
        l.presupuesto(cCOrigen::PRESUPUESTOANUAL);
        QCOMPARE(l.filas("PresupuestoAnual", "Codigo, MediaTotal, MediaFebrero, Diferencia02"),
                 QStringList({"6000|25,00 %||-10", "7000|-20,00 %||0"}));
    }

    // El presupuesto anual por meses del ejercicio. De julio: la primera columna es julio
    // (presupuestos, saldos y títulos; el informe entero lo dice el volcado del restaurante de
    // ejemplo, que abre en julio). En euros: la 6001, a cero en pesetas, no sale. Constituida en
    // abril: nueve meses y las tres últimas columnas vacías, sin título.
    void presupuestoAnualPorMeses_data() {
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QStringList>("lineas");
        QTest::addColumn<Divisa>("divisa");
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QStringList>("titulos");  // de los meses 1 a 12 que tiene el ejercicio
        const QStringList doce{"ENE", "FEB", "MAR", "ABR", "MAY", "JUN",
                               "JUL", "AGO", "SEP", "OCT", "NOV", "DIC"};
        // clang-format off
        QTest::newRow("ejercicio de julio") << "20010701" << QStringList{"P 6000 7 70", "P 6000 1 10", "20010715 6000 35 5"} << Divisa::Pesetas << "PresupuestoEnero, PresupuestoJulio, Saldo01" << QStringList{"70|10|30"} << doce.mid(6) + doce.mid(0, 6);
        QTest::newRow("en euros, por las pesetas") << "20010101" << QStringList{"P 6000 1 1000 6,01", "P 6001 1 0 6,01", "20010115 6000 250 0 1,5 0"} << Divisa::Euros << "PresupuestoTotal, DiferenciaTotal" << QStringList{"6,01|4,51"} << doce;
        QTest::newRow("primer ejercicio más corto") << "20010401" << QStringList{"P 6000 12 100", "P 6000 4 800", "20011215 6000 50 0"} << Divisa::Pesetas << "PresupuestoSeptiembre, Saldo09, Saldo10, PresupuestoDiciembre" << QStringList{"100|50||"} << doce.mid(3);
        // clang-format on
    }
    void presupuestoAnualPorMeses() {
        QFETCH(QString, inicio);
        QFETCH(QStringList, lineas);
        QFETCH(Divisa, divisa);
        QFETCH(QString, columnas);
        QFETCH(QStringList, titulos);
        Libros l(4, {}, lineas, inicio, inicio == u"20010701" ? "20020630" : "20011231");
        const auto f = l.presupuesto(cCOrigen::PRESUPUESTOANUAL, divisa);
        QTEST(l.filas("PresupuestoAnual", columnas), "filas");
        QStringList vistos;
        for (int mes = 1; mes <= 12 && f.count(mes); ++mes) vistos << f.at(mes).section(u'"', 1, 1);
        QCOMPARE(vistos, titulos);
    }

    // --- Diálogos ---------------------------------------------------------------------------

    void init() {
        entorno_.olvidar();
        entorno_.config.pesetas = true;
    }

    // La moneda que el diálogo toma del anfitrión y su título los prueban la ventana y los
    // volcados.
    void carga() {
        Libros l(7, {}, {}, "20010701", "20020630");
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                QCOMPARE(d.findChild<QLineEdit*>("txtBalance0")->text(), QStringLiteral("0000000"));
                QCOMPARE(d.findChild<QLineEdit*>("txtBalance1")->text(), QStringLiteral("9999999"));
                QCOMPARE(textos(d.lista(0)), niveles({7}));
                QCOMPARE(textos(d.lista(1)), niveles({1, 2, 3, 4, 5, 6}));
                QCOMPARE(d.findChild<QDateEdit*>("dtpBalance0")->date(), QDate(2001, 7, 1));
                QCOMPARE(d.pestanas()->currentIndex(), 0);
            },
            false);
        QVERIFY(entorno_.interfaz.mensajes.empty());
    }

    void listasEnOrdenDeNivel() {
        // Con doce niveles el orden de texto pondría el 10 tras el 1; se guarda el de nivel, y
        // el último seleccionado sigue siendo el más profundo.
        Libros l(12, "430", {"20010301 4300000001 3 0", "20010301 4300000002 4 0"});
        ejecutar<frmInfBalanceSaldos>(l, [&](frmInfBalanceSaldos& d) {
            d.botonLista(0)->click();  // nada marcado
            QCOMPARE(entorno_.textos(), QStringList{"¡Debe seleccionar algún elemento!"});
            QString error;
            QVERIFY(d.fijarControlPropio("lstBalance0", "10,3", &error) && error.isEmpty());
            QCOMPARE(textos(d.lista(0)), niveles({3, 10}));
            marcar(d.lista(1), {9, 0});  // 12 y 1
            d.botonLista(0)->click();
            QCOMPARE(textos(d.lista(0)), niveles({1, 3, 10, 12}));
            marcar(d.lista(0), {3});
            emit d.lista(0)->itemDoubleClicked(d.lista(0)->item(3));
            marcar(d.lista(0), {0});
            d.botonLista(3)->click();
            QCOMPARE(textos(d.lista(1)), niveles({1, 2, 4, 5, 6, 7, 8, 9, 11, 12}));
            QVERIFY(d.fijarControlPropio("lstBalance0", "3,13", &error));
            QCOMPARE(error, QStringLiteral("lstBalance0: la empresa no tiene el nivel 13"));
        });
        QCOMPARE(l.filas("BalanceSumasySaldos", "Nivel"), (QStringList{"1", "8", "8"}));
        QCOMPARE(entorno_.motor.impresas.value(4), QStringLiteral("TotalDebe = '7'"));
    }

    void construccionFallidaNoDejaNada_data() {
        QTest::addColumn<int>("origen");  // -1: balance de sumas y saldos
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("firma");
        // clang-format off
        QTest::newRow("sumas y saldos") << -1 << "BalanceSumasySaldos" << "Procedimiento: SumasYSaldosSinPresupuesto\nMódulo: frmInfBalanceSaldos\nComplemento: OrvoContabilidadInf";
        QTest::newRow("presupuesto anual") << int(cCOrigen::PRESUPUESTOANUAL) << "PresupuestoAnual" << "Procedimiento: RellenarInforme\nMódulo: frmInfPresupuesto\nComplemento: OrvoContabilidad";
        // clang-format on
    }
    void construccionFallidaNoDejaNada() {
        QFETCH(int, origen);
        QFETCH(QString, tabla);
        QFETCH(QString, firma);
        Libros l(7, {}, {"20010301 6000001 100 0", "P 6000001 3 100", "P 6000002 3 100"});
        l.conta().Execute(QStringLiteral(
            "UPDATE Cuenta SET Debe03 = 'cien', DebeTotal = 'x' WHERE Codigo = '6000002'"));
        if (origen < 0)
            ejecutar<frmInfBalanceSaldos>(l, [](auto&) {});
        else
            ejecutar<frmInfPresupuesto>(
                l, [](auto&) {}, true, std::uint8_t(origen));
        QCOMPARE(entorno_.textos().size(), 1);
        QString texto = entorno_.textos()[0];
        texto.replace("\r\n", "\n").replace(u'\r', u'\n');
        QVERIFY2(texto.endsWith(firma), qPrintable(texto));
        QVERIFY(l.filas(tabla, "*").isEmpty() && !entorno_.seImprimio());
        QCOMPARE(l.inf().nivelTransaccion(), 0);
    }

    // ACEPTAR con todos los niveles y sin presupuesto: su plantilla, su título y su total. Con
    // presupuesto, y los dos informes de presupuestos, lo dicen los volcados de los libros de
    // ejemplo.
    void imprimeTodosLosNiveles() {
        Libros l(7, kSieteNiveles, kSieteNivelesApuntes);
        ejecutar<frmInfBalanceSaldos>(l, [](frmInfBalanceSaldos& d) {
            d.botonLista(1)->click();
            d.findChild<QCheckBox*>("chkBalance2")->setChecked(false);
        });
        QCOMPARE(entorno_.motor.plantilla, QStringLiteral("/orvo/infCONT_SumasySaldos.rpt"));
        QCOMPARE(entorno_.motor.titulo, QStringLiteral("Informe de balance de Sumas y Saldos"));
        QCOMPARE(entorno_.motor.impresas.value(4), QStringLiteral("TotalDebe = '100'"));
        QCOMPARE(l.filas("BalanceSumasySaldos", "Nivel"),
                 (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
    }

    // Lo que los diálogos rechazan, con un solo mensaje y un pitido, sin imprimir nada. Los
    // casos: "fechas" al revés, sin "subcuenta" final, sin niveles en la "lista", "sin empresa"
    // elegida, ir a la "pestaña" de niveles sin empresa, libros "sin movimiento". Origen -1: el
    // balance de sumas y saldos; los avisos, en su orden, dejan el foco en 'foco'.
    void rechazos_data() {
        QTest::addColumn<int>("origen");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("foco");
        const int presupuesto = cCOrigen::Presupuesto;
        // clang-format off
        QTest::newRow("fechas") << -1 << "fechas" << "¡No puede ser mayor la fecha inicial que la fecha final!" << "dtpBalance0";
        QTest::newRow("antes la subcuenta") << -1 << "fechas subcuenta" << "¡Debe introducir subcuenta inicial y subcuenta final!" << "txtBalance1";
        QTest::newRow("antes aún la lista") << -1 << "fechas subcuenta lista" << "¡Debe introducir desgloses de subcuentas!" << "";
        QTest::newRow("pestaña de niveles sin empresa") << -1 << "sin empresa pestaña" << "¡Debe seleccionar una empresa de la lista!" << "";
        QTest::newRow("sin filas") << -1 << "sin movimiento" << "¡No se ha encontrado ningún registro!" << "";
        QTest::newRow("presupuesto: la empresa antes que la lista") << presupuesto << "sin empresa lista" << "¡Debe seleccionar una empresa de la lista!" << "";
        QTest::newRow("presupuesto: lista vacía") << presupuesto << "lista" << "¡Debe introducir desgloses de subcuentas!" << "";
        // clang-format on
    }
    void rechazos() {
        QFETCH(int, origen);
        QFETCH(QString, caso);
        QFETCH(QString, foco);
        const bool sinMovimiento = caso.contains(u"sin movimiento");
        Libros l(7, sinMovimiento ? QStringLiteral("4300001") : kSieteNiveles,
                 sinMovimiento ? QStringList() : kSieteNivelesApuntes);
        bool abierto = false;
        const auto acciones = [&](auto& d) {
            if (caso.contains(u"fechas")) {
                d.template findChild<QDateEdit*>("dtpBalance0")->setDate({2001, 12, 31});
                d.template findChild<QDateEdit*>("dtpBalance1")->setDate({2001, 1, 1});
            }
            if (caso.contains(u"subcuenta"))
                d.template findChild<QLineEdit*>("txtBalance1")->clear();
            if (caso.contains(u"lista")) d.botonLista(2)->click();
            if (caso.contains(u"sin empresa"))
                d.template findChild<QComboBox*>()->setCurrentIndex(-1);
            if (caso.contains(u"pestaña")) {
                d.pestanas()->setCurrentIndex(1);
                QCOMPARE(d.pestanas()->currentIndex(), 0);
            } else {
                d.botonAceptar()->click();
            }
            abierto = d.isVisible();
            if (!foco.isEmpty()) QCOMPARE(d.focusWidget()->objectName(), foco);
        };
        if (origen < 0)
            ejecutar<frmInfBalanceSaldos>(l, acciones, false);
        else
            ejecutar<frmInfPresupuesto>(l, acciones, false, std::uint8_t(origen));
        QTEST(entorno_.textos().value(0), "mensaje");
        QCOMPARE(entorno_.textos().size(), 1);
        QCOMPARE(entorno_.interfaz.pitidos, 1);
        QCOMPARE(abierto, !sinMovimiento);
        QVERIFY(!entorno_.seImprimio());
    }
};

QTEST_MAIN(PruebaSumasYSaldos)
#include "prueba_sumasysaldos.moc"
