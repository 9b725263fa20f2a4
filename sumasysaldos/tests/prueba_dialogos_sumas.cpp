// Los diálogos del balance de sumas y saldos y de presupuestos con controles de verdad, por el
// camino de quien los usa: ACEPTAR, la construcción y el diálogo de impresión. La orden
// orvo-informes con sus listas de niveles se prueba sobre los libros de ejemplo.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "DoblesPrueba.h"
#include "InterfazQt.h"
#include "LibroPrueba.h"
#include "frmInfBalanceSaldos.h"
#include "frmInfPresupuesto.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

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

// Cuentas de los niveles 1 a 7 sobre 4300001, con 100 pesetas o 0,60 euros en marzo.
void sieteNiveles(LibroPrueba& l) {
    for (const char* c : {"4", "43", "430", "4300", "43000", "430000", "4300001"})
        l.cuenta(c, {{"Debe03", "100"}, {"Debe03Euros", "0,60"}, {"Presupuesto03Euros", "2,40"}});
}

}  // namespace

class PruebaDialogosSumas : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    Entorno entorno_;

    // Muestra el diálogo, deja que 'acciones' maneje sus controles y pulsa ACEPTAR si se pide;
    // el diálogo de impresión, si llega, se acepta con destino pantalla.
    template <class Dialogo>
    void ejecutar(LibroPrueba& l, const std::function<void(Dialogo&)>& acciones,
                  bool aceptar = true, std::uint8_t origen = cCOrigen::Presupuesto) {
        Dialogo d(entorno_.comp);
        d.setBytOrigen(origen);
        entorno_.mostrar<Dialogo>(d, l.conta, l.inf, LibroPrueba::kEmpresa, [&](Dialogo& f) {
            acciones(f);
            if (aceptar) f.botonAceptar()->click();
        });
    }

  private slots:
    void init() {
        entorno_.olvidar();
        entorno_.config.pesetas = true;
    }

    void carga_data() {
        QTest::addColumn<bool>("pesetas");
        QTest::newRow("anfitrión en pesetas") << true;
        QTest::newRow("anfitrión en euros") << false;
    }
    void carga() {
        QFETCH(bool, pesetas);
        entorno_.config.pesetas = pesetas;
        LibroPrueba l(dir_.path(), 7, "20010701", "20020630");
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("Informe de balance de Sumas y Saldos"));
                QCOMPARE(d.findChild<QLineEdit*>("txtBalance0")->text(), QStringLiteral("0000000"));
                QCOMPARE(d.findChild<QLineEdit*>("txtBalance1")->text(), QStringLiteral("9999999"));
                QCOMPARE(textos(d.lista(0)), niveles({7}));
                QCOMPARE(textos(d.lista(1)), niveles({1, 2, 3, 4, 5, 6}));
                QCOMPARE(d.findChild<QCheckBox*>("chkBalance0")->isChecked(), !pesetas);
                QCOMPARE(d.findChild<QDateEdit*>("dtpBalance0")->date(), QDate(2001, 7, 1));
                QCOMPARE(d.pestanas()->currentIndex(), 0);
            },
            false);
        QVERIFY(entorno_.interfaz.mensajes.empty());
    }

    void todosYAceptar_data() {
        QTest::addColumn<bool>("presupuesto");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("formula4");
        QTest::newRow("sin presupuesto") << false << "/orvo/infCONT_SumasySaldos.rpt"
                                         << "Informe de balance de Sumas y Saldos"
                                         << "TotalDebe = '100'";
        QTest::newRow("con presupuesto, en euros")
            << true << "/orvo/infCONT_SumasySaldosPresupuesto.rpt"
            << "Informe de balance de Sumas y Saldos presupuestario"
            << "TotalPresupuesto = '2,40'";
    }
    void todosYAceptar() {
        QFETCH(bool, presupuesto);
        QFETCH(QString, plantilla);
        QFETCH(QString, titulo);
        QFETCH(QString, formula4);
        LibroPrueba l(dir_.path(), 7);
        sieteNiveles(l);
        ejecutar<frmInfBalanceSaldos>(l, [&](frmInfBalanceSaldos& d) {
            d.botonLista(1)->click();
            d.findChild<QCheckBox*>("chkBalance0")->setChecked(presupuesto);
            d.findChild<QCheckBox*>("chkBalance2")->setChecked(presupuesto);
        });
        QCOMPARE(l.columna("BalanceSumasySaldos", "Nivel"),
                 (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
        QCOMPARE(entorno_.motor.plantilla, plantilla);
        QCOMPARE(entorno_.motor.titulo, titulo);
        QCOMPARE(entorno_.motor.impresas.value(4), formula4);
    }

    void comprobacionesEnSuOrden_data() {
        QTest::addColumn<int>("errores");  // cuántos de: fechas, subcuenta, lista
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("foco");
        QTest::newRow("fechas") << 1 << "¡No puede ser mayor la fecha inicial que la fecha final!"
                                << "dtpBalance0";
        QTest::newRow("antes la subcuenta")
            << 2 << "¡Debe introducir subcuenta inicial y subcuenta final!"
            << "txtBalance1";
        QTest::newRow("antes aún la lista") << 3 << "¡Debe introducir desgloses de subcuentas!"
                                            << "";
    }
    void comprobacionesEnSuOrden() {
        QFETCH(int, errores);
        QFETCH(QString, mensaje);
        QFETCH(QString, foco);
        LibroPrueba l(dir_.path(), 7);
        sieteNiveles(l);
        bool abierto = false;
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                d.findChild<QDateEdit*>("dtpBalance0")->setDate({2001, 12, 31});
                d.findChild<QDateEdit*>("dtpBalance1")->setDate({2001, 1, 1});
                if (errores > 1) d.findChild<QLineEdit*>("txtBalance1")->clear();
                if (errores > 2) d.botonLista(2)->click();
                d.botonAceptar()->click();
                abierto = d.isVisible();
                if (!foco.isEmpty()) QCOMPARE(d.focusWidget()->objectName(), foco);
            },
            false);
        QCOMPARE(entorno_.textos(), QStringList{mensaje});
        QCOMPARE(entorno_.interfaz.pitidos, 1);
        QVERIFY(abierto && !entorno_.seImprimio());
    }

    void listasEnOrdenDeNivel() {
        // Con doce niveles el orden de texto pondría el 10 tras el 1; se guarda el de nivel, y
        // el último seleccionado sigue siendo el más profundo.
        LibroPrueba l(dir_.path(), 12);
        l.cuenta("430", {{"Debe03", "7"}});
        l.cuenta("4300000001", {{"Debe03", "3"}});
        l.cuenta("4300000002", {{"Debe03", "4"}});
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
        QCOMPARE(l.columna("BalanceSumasySaldos", "Nivel"), (QStringList{"1", "8", "8"}));
        QCOMPARE(entorno_.motor.impresas.value(4), QStringLiteral("TotalDebe = '7'"));
    }

    void pestanaDeNivelesSinEmpresa() {
        LibroPrueba l(dir_.path(), 7);
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                d.findChild<QComboBox*>("cboBalance")->setCurrentIndex(-1);
                d.pestanas()->setCurrentIndex(1);
                QCOMPARE(d.pestanas()->currentIndex(), 0);
            },
            false);
        QCOMPARE(entorno_.textos(), QStringList{"¡Debe seleccionar una empresa de la lista!"});
    }

    void construccionFallidaNoDejaNada_data() {
        QTest::addColumn<int>("origen");  // -1: balance de sumas y saldos
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("firma");
        QTest::newRow("sumas y saldos")
            << -1 << "BalanceSumasySaldos"
            << "Procedimiento: SumasYSaldosSinPresupuesto\nMódulo: frmInfBalanceSaldos\n"
               "Complemento: OrvoContabilidadInf";
        QTest::newRow("presupuesto anual")
            << int(cCOrigen::PRESUPUESTOANUAL) << "PresupuestoAnual"
            << "Procedimiento: RellenarInforme\nMódulo: frmInfPresupuesto\n"
               "Complemento: OrvoContabilidad";
    }
    void construccionFallidaNoDejaNada() {
        QFETCH(int, origen);
        QFETCH(QString, tabla);
        QFETCH(QString, firma);
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("6000001", {{"Debe03", "100"}, {"PresupuestoTotal", "100"}});
        l.cuenta("6000002", {{"Debe03", "cien"}, {"PresupuestoTotal", "100"}, {"DebeTotal", "x"}});
        if (origen < 0)
            ejecutar<frmInfBalanceSaldos>(l, [](auto&) {});
        else
            ejecutar<frmInfPresupuesto>(
                l, [](auto&) {}, true, std::uint8_t(origen));
        QCOMPARE(entorno_.textos().size(), 1);
        QString texto = entorno_.textos()[0];
        texto.replace("\r\n", "\n").replace(u'\r', u'\n');
        QVERIFY2(texto.endsWith(firma), qPrintable(texto));
        QVERIFY(l.filas(tabla).isEmpty() && !entorno_.seImprimio());
        QCOMPARE(l.inf->nivelTransaccion(), 0);
    }

    void sinFilasNoImprime() {
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4300001");  // sin movimiento
        ejecutar<frmInfBalanceSaldos>(l, [](auto&) {});
        QCOMPARE(entorno_.textos(), QStringList{"¡No se ha encontrado ningún registro!"});
        QVERIFY(!entorno_.seImprimio());
    }

    void presupuestosSegunElOrigen_data() {
        QTest::addColumn<int>("origen");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("tituloInforme");
        QTest::newRow("presupuesto") << int(cCOrigen::Presupuesto) << "Informe de presupuestos"
                                     << "/orvo/infCONT_Presupuesto.rpt"
                                     << "Informe de presupuesto";
        QTest::newRow("anual") << int(cCOrigen::PRESUPUESTOANUAL) << "Informe de presupuesto anual"
                               << "/orvo/infCONT_PresupuestoAnual.rpt"
                               << "Informe de presupuesto anual";
    }
    void presupuestosSegunElOrigen() {
        QFETCH(int, origen);
        QFETCH(QString, titulo);
        QFETCH(QString, plantilla);
        QFETCH(QString, tituloInforme);
        LibroPrueba l(dir_.path(), 7, "20010701", "20020630");
        l.cuenta("6000001", {{"PresupuestoTotal", "1000"}, {"Presupuesto07", "70"}});
        QString tituloVentana;
        ejecutar<frmInfPresupuesto>(
            l, [&](frmInfPresupuesto& d) { tituloVentana = d.windowTitle(); }, true,
            std::uint8_t(origen));
        QCOMPARE(tituloVentana, titulo);
        QCOMPARE(entorno_.motor.plantilla, plantilla);
        QCOMPARE(entorno_.motor.titulo, tituloInforme);
        QCOMPARE(entorno_.motor.impresas.value(1), QStringLiteral("TituloMes01= \"JUL\""));
    }

    void presupuestoComprueba_data() {
        QTest::addColumn<bool>("sinEmpresa");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("la empresa antes que la lista")
            << true << "¡Debe seleccionar una empresa de la lista!";
        QTest::newRow("lista vacía") << false << "¡Debe introducir desgloses de subcuentas!";
    }
    void presupuestoComprueba() {
        QFETCH(bool, sinEmpresa);
        QFETCH(QString, mensaje);
        LibroPrueba l(dir_.path(), 7);
        ejecutar<frmInfPresupuesto>(
            l,
            [&](frmInfPresupuesto& d) {
                d.botonLista(2)->click();
                if (sinEmpresa) d.findChild<QComboBox*>("cboPresupuesto")->setCurrentIndex(-1);
                d.botonAceptar()->click();
            },
            false);
        QCOMPARE(entorno_.textos(), QStringList{mensaje});
    }
};

QTEST_MAIN(PruebaDialogosSumas)
#include "prueba_dialogos_sumas.moc"
