// Los diálogos del balance de sumas y saldos y de presupuestos, con controles de verdad y por
// el mismo camino que sigue quien los usa: ACEPTAR, la construcción y el diálogo de impresión.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "InterfazQt.h"
#include "LibroPrueba.h"
#include "frmImprimir.h"
#include "frmInfBalanceSaldos.h"
#include "frmInfPresupuesto.h"

using namespace orvo;
using orvo::prueba::LibroPrueba;
using orvo::prueba::MotorAnotador;

namespace {

class ConfiguracionPrueba : public IConfiguracion {
  public:
    QString AppTitle() const override { return QStringLiteral("Orvo"); }
    QString HelpPath() const override { return {}; }
    QString AppPath() const override { return QStringLiteral("/orvo"); }
    QVariant Aplicacion() const override { return 1; }
    QIcon Icono() const override { return {}; }
    bool TrabajarConPesetas() const override { return pesetas; }
    bool pesetas = true;
};

class ContabilidadPrueba : public ICContabilidad {
  public:
    QString ObtenerPasswordInformes(const QVariant&) override { return {}; }
};

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

}  // namespace

class PruebaDialogosSumas : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    InterfazGrabadora interfaz_;
    RegistroObjetos registro_;
    Componente comp_{interfaz_, registro_};
    ConfiguracionPrueba config_;
    MotorAnotador motor_;

    // Muestra el diálogo, deja que 'acciones' maneje sus controles y, si 'aceptar', pulsa
    // ACEPTAR; el diálogo de impresión, si llega, se acepta con destino pantalla.
    template <class Dialogo>
    void ejecutar(LibroPrueba& l, const std::function<void(Dialogo&)>& acciones,
                  bool aceptar = true, std::uint8_t origen = cCOrigen::Presupuesto) {
        Dialogo d(comp_);
        d.setConContabilidad(l.conta);
        d.setConInformes(l.inf);
        d.setBytOrigen(origen);
        d.setLngCodEmpresa(LibroPrueba::kEmpresa);
        interfaz_.guion = [&](QDialog& mostrado) {
            if (&mostrado == &d) {
                acciones(d);
                if (aceptar) d.botonAceptar()->click();
            } else if (auto* imp = qobject_cast<frmImprimir*>(&mostrado)) {
                imp->boton(0)->click();
            }
        };
        d.mostrar();
    }
    QStringList textosMensajes() const {
        QStringList r;
        for (const auto& m : interfaz_.mensajes) r << m.texto;
        return r;
    }
    bool seImprimio() const { return interfaz_.dialogosMostrados.contains(u"frmImprimir"); }

    // Cuentas de todos los niveles del 1 al 7 bajo 4300001, con 100 en el debe de marzo.
    static void libroSieteNiveles(LibroPrueba& l) {
        for (const char* c : {"4", "43", "430", "4300", "43000", "430000", "4300001"})
            l.cuenta(c, {{"Debe03", "100"}, {"Debe03Euros", "0,60"}});
    }

  private slots:
    void initTestCase() {
        registro_.registrar(QStringLiteral("OrvoContabilidad.cContabilidad"),
                            [] { return std::make_unique<ContabilidadPrueba>(); });
        comp_.config = &config_;
        comp_.motor = &motor_;
        comp_.tituloAplicacion = QStringLiteral("Orvo");
    }
    void init() {
        interfaz_.mensajes.clear();
        interfaz_.pitidos = 0;
        interfaz_.dialogosMostrados.clear();
        motor_ = MotorAnotador();
        config_.pesetas = true;
    }

    void cargaConLaEmpresaYSusNiveles_data() {
        QTest::addColumn<bool>("pesetas");
        QTest::newRow("anfitrión en pesetas") << true;
        QTest::newRow("anfitrión en euros") << false;
    }
    void cargaConLaEmpresaYSusNiveles() {
        QFETCH(bool, pesetas);
        config_.pesetas = pesetas;
        LibroPrueba l(dir_.path(), 7, "20010701", "20020630");
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("Informe de balance de Sumas y Saldos"));
                QCOMPARE(d.findChild<QLineEdit*>("txtBalance0")->text(), QStringLiteral("0000000"));
                QCOMPARE(d.findChild<QLineEdit*>("txtBalance1")->text(), QStringLiteral("9999999"));
                QCOMPARE(d.findChild<QLineEdit*>("txtBalance1")->maxLength(), 7);
                QCOMPARE(textos(d.lista(0)), niveles({7}));
                QCOMPARE(textos(d.lista(1)), niveles({1, 2, 3, 4, 5, 6}));
                QCOMPARE(d.findChild<QCheckBox*>("chkBalance0")->isChecked(), !pesetas);
                QCOMPARE(d.findChild<QDateEdit*>("dtpBalance0")->date(), QDate(2001, 7, 1));
                QCOMPARE(d.findChild<QDateEdit*>("dtpBalance1")->date(), QDate(2002, 6, 30));
                QCOMPARE(d.pestanas()->currentIndex(), 0);
                QCOMPARE(d.pestanas()->tabText(1), QStringLiteral("DESGLOSE SUBCUENTAS"));
                QVERIFY(!d.findChild<QComboBox*>("cboBalance")->isEnabled());
                QCOMPARE(d.botonLista(0)->text(), QStringLiteral("AGREGAR ->"));
            },
            false);
        QVERIFY(interfaz_.mensajes.empty());
    }

    void todosYAceptar() {
        LibroPrueba l(dir_.path(), 7);
        libroSieteNiveles(l);
        ejecutar<frmInfBalanceSaldos>(l, [](frmInfBalanceSaldos& d) { d.botonLista(1)->click(); });
        QVERIFY(seImprimio());
        QCOMPARE(l.columna("BalanceSumasySaldos", "Nivel"),
                 (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
        QCOMPARE(motor_.archivo, QStringLiteral("/orvo/infCONT_SumasySaldos.rpt"));
        QCOMPARE(motor_.titulo, QStringLiteral("Informe de balance de Sumas y Saldos"));
        QCOMPARE(motor_.impresas.value(4), QStringLiteral("TotalDebe = '100'"));
        QCOMPARE(motor_.impresas.value(3), QStringLiteral("TrabajarConPts= '1'"));
    }

    void conPresupuestoEnEuros() {
        LibroPrueba l(dir_.path(), 7);
        libroSieteNiveles(l);
        l.conta->Execute("UPDATE Cuenta SET Presupuesto03Euros = '2,40'");
        ejecutar<frmInfBalanceSaldos>(l, [](frmInfBalanceSaldos& d) {
            d.findChild<QCheckBox*>("chkBalance0")->setChecked(true);
            d.findChild<QCheckBox*>("chkBalance2")->setChecked(true);
        });
        QCOMPARE(motor_.archivo, QStringLiteral("/orvo/infCONT_SumasySaldosPresupuesto.rpt"));
        QCOMPARE(motor_.titulo,
                 QStringLiteral("Informe de balance de Sumas y Saldos presupuestario"));
        QCOMPARE(l.columna("BalanceSumasySaldos", "Media"), QStringList{"25,00 %"});
        QCOMPARE(motor_.impresas.value(5), QStringLiteral("TotalMedia = '25,00 %'"));
    }

    void comprobacionesEnSuOrden_data() {
        QTest::addColumn<bool>("listaVacia");
        QTest::addColumn<bool>("subcuentaVacia");
        QTest::addColumn<bool>("fechasAlReves");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("foco");
        QTest::newRow("todo mal: primero la lista")
            << true << true << true << "¡Debe introducir desgloses de subcuentas!"
            << "";
        QTest::newRow("subcuenta y fechas")
            << false << true << true << "¡Debe introducir subcuenta inicial y subcuenta final!"
            << "txtBalance1";
        QTest::newRow("fechas") << false << false << true
                                << "¡No puede ser mayor la fecha inicial que la fecha final!"
                                << "dtpBalance0";
    }
    void comprobacionesEnSuOrden() {
        QFETCH(bool, listaVacia);
        QFETCH(bool, subcuentaVacia);
        QFETCH(bool, fechasAlReves);
        QFETCH(QString, mensaje);
        QFETCH(QString, foco);
        LibroPrueba l(dir_.path(), 7);
        libroSieteNiveles(l);
        bool sigueAbierto = false;
        QString enfocado;
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                if (listaVacia) d.botonLista(2)->click();
                if (subcuentaVacia) d.findChild<QLineEdit*>("txtBalance1")->clear();
                if (fechasAlReves) {
                    d.findChild<QDateEdit*>("dtpBalance0")->setDate({2001, 12, 31});
                    d.findChild<QDateEdit*>("dtpBalance1")->setDate({2001, 1, 1});
                }
                d.botonAceptar()->click();
                sigueAbierto = d.isVisible();
                enfocado = d.focusWidget() ? d.focusWidget()->objectName() : QString();
            },
            false);
        QCOMPARE(textosMensajes(), QStringList{mensaje});
        QCOMPARE(interfaz_.pitidos, 1);
        QVERIFY(sigueAbierto);
        if (!foco.isEmpty()) QCOMPARE(enfocado, foco);
        QVERIFY(!seImprimio());
        QVERIFY(l.filas("BalanceSumasySaldos").isEmpty());
    }

    void botonesDeListas() {
        LibroPrueba l(dir_.path(), 7);
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                // AGREGAR sin nada marcado: aviso y nada cambia.
                d.botonLista(0)->click();
                QCOMPARE(textosMensajes(), QStringList{"¡Debe seleccionar algún elemento!"});
                QCOMPARE(textos(d.lista(0)), niveles({7}));
                d.lista(1)->item(4)->setSelected(true);  // nivel 5
                d.lista(1)->item(1)->setSelected(true);  // nivel 2
                d.botonLista(0)->click();
                QCOMPARE(textos(d.lista(0)), niveles({2, 5, 7}));
                QCOMPARE(textos(d.lista(1)), niveles({1, 3, 4, 6}));
                // Doble clic en la derecha quita; en la izquierda agrega.
                d.lista(0)->item(0)->setSelected(true);
                emit d.lista(0)->itemDoubleClicked(d.lista(0)->item(0));
                QCOMPARE(textos(d.lista(0)), niveles({5, 7}));
                d.lista(1)->item(0)->setSelected(true);
                emit d.lista(1)->itemDoubleClicked(d.lista(1)->item(0));
                QCOMPARE(textos(d.lista(0)), niveles({1, 5, 7}));
                d.botonLista(3)->click();  // QUITAR sin marcar
                QCOMPARE(interfaz_.mensajes.size(), size_t(2));
                d.botonLista(1)->click();
                QCOMPARE(textos(d.lista(0)), niveles({1, 2, 3, 4, 5, 6, 7}));
                QCOMPARE(d.lista(1)->count(), 0);
                d.botonLista(2)->click();
                QCOMPARE(textos(d.lista(1)), niveles({1, 2, 3, 4, 5, 6, 7}));
            },
            false);
    }

    void doceNivelesEnOrdenDeNivel() {
        // Con diez niveles o más, el orden de texto pondría el 10 tras el 1: se guarda el de nivel
        // y el más profundo elegido sigue siendo el último.
        LibroPrueba l(dir_.path(), 12);
        l.cuenta("430", {{"Debe03", "7"}});
        l.cuenta("4300000001", {{"Debe03", "3"}});
        l.cuenta("4300000002", {{"Debe03", "4"}});
        ejecutar<frmInfBalanceSaldos>(l, [](frmInfBalanceSaldos& d) {
            QString error;
            QVERIFY(d.fijarControlPropio("lstBalance0", "10,3", &error));
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(textos(d.lista(0)), niveles({3, 10}));
            QCOMPARE(textos(d.lista(1)), niveles({1, 2, 4, 5, 6, 7, 8, 9, 11, 12}));
            d.lista(1)->item(9)->setSelected(true);  // 12
            d.lista(1)->item(0)->setSelected(true);  // 1
            d.botonLista(0)->click();
            QCOMPARE(textos(d.lista(0)), niveles({1, 3, 10, 12}));
            d.lista(0)->item(0)->setSelected(true);
            d.lista(0)->item(3)->setSelected(true);
            d.botonLista(3)->click();
            QCOMPARE(textos(d.lista(1)), niveles({1, 2, 4, 5, 6, 7, 8, 9, 11, 12}));
        });
        QCOMPARE(l.columna("BalanceSumasySaldos", "Nivel"), (QStringList{"1", "8", "8"}));
        QCOMPARE(motor_.impresas.value(4), QStringLiteral("TotalDebe = '7'"));
    }

    void fijarListaConNivelesQueNoHay() {
        LibroPrueba l(dir_.path(), 7);
        ejecutar<frmInfBalanceSaldos>(
            l,
            [](frmInfBalanceSaldos& d) {
                QString error;
                QVERIFY(d.fijarControlPropio("lstBalance0", "3,9", &error));
                QCOMPARE(error, QStringLiteral("lstBalance0: la empresa no tiene el nivel 9"));
                QVERIFY(d.fijarControlPropio("mstBalance", "2", &error));
                QVERIFY(!d.fijarControlPropio("txtBalance0", "1", &error));
                QVERIFY(d.fijarControlPropio("lstBalance1", "", &error));
                QCOMPARE(d.lista(1)->count(), 0);  // vacía la de disponibles: todo seleccionado
                QCOMPARE(d.lista(0)->count(), 7);
            },
            false);
    }

    void pestanaDeNivelesSinEmpresa() {
        LibroPrueba l(dir_.path(), 7);
        ejecutar<frmInfBalanceSaldos>(
            l,
            [&](frmInfBalanceSaldos& d) {
                d.pestanas()->setCurrentIndex(1);
                QCOMPARE(d.pestanas()->currentIndex(), 1);
                d.pestanas()->setCurrentIndex(0);
                d.findChild<QComboBox*>("cboBalance")->setCurrentIndex(-1);
                d.pestanas()->setCurrentIndex(1);
                QCOMPARE(d.pestanas()->currentIndex(), 0);
            },
            false);
        QCOMPARE(textosMensajes(), QStringList{"¡Debe seleccionar una empresa de la lista!"});
    }

    void errorDeConstruccionDeshaceTodo() {
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4300001", {{"Debe03", "100"}});
        l.cuenta("4300002", {{"Debe03", "cien"}});
        ejecutar<frmInfBalanceSaldos>(l, [](frmInfBalanceSaldos&) {});
        QCOMPARE(interfaz_.mensajes.size(), size_t(1));
        const QString texto = interfaz_.mensajes.front().texto;
        QVERIFY2(texto.contains("Procedimiento: SumasYSaldosSinPresupuesto") &&
                     texto.contains("Módulo: frmInfBalanceSaldos") &&
                     texto.contains("Complemento: OrvoContabilidadInf"),
                 qPrintable(texto));
        QVERIFY(l.filas("BalanceSumasySaldos").isEmpty());
        QVERIFY(!seImprimio());
        QCOMPARE(l.inf->nivelTransaccion(), 0);
    }

    void sinFilasNoImprime() {
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("4300001");  // sin movimiento
        ejecutar<frmInfBalanceSaldos>(l, [](frmInfBalanceSaldos&) {});
        QCOMPARE(textosMensajes(), QStringList{"¡No se ha encontrado ningún registro!"});
        QCOMPARE(interfaz_.mensajes.front().icono, Icono::Informacion);
        QVERIFY(!seImprimio());
    }

    void presupuestosSegunElOrigen_data() {
        QTest::addColumn<int>("origen");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("tituloInforme");
        QTest::addColumn<QString>("tabla");
        QTest::newRow("presupuesto") << int(cCOrigen::Presupuesto) << "Informe de presupuestos"
                                     << "/orvo/infCONT_Presupuesto.rpt"
                                     << "Informe de presupuesto"
                                     << "Presupuesto";
        QTest::newRow("anual") << int(cCOrigen::PRESUPUESTOANUAL) << "Informe de presupuesto anual"
                               << "/orvo/infCONT_PresupuestoAnual.rpt"
                               << "Informe de presupuesto anual"
                               << "PresupuestoAnual";
    }
    void presupuestosSegunElOrigen() {
        QFETCH(int, origen);
        QFETCH(QString, titulo);
        QFETCH(QString, plantilla);
        QFETCH(QString, tituloInforme);
        QFETCH(QString, tabla);
        LibroPrueba l(dir_.path(), 7, "20010701", "20020630");
        l.cuenta("6000001", {{"PresupuestoTotal", "1000"}, {"Presupuesto07", "70"}});
        ejecutar<frmInfPresupuesto>(
            l,
            [&](frmInfPresupuesto& d) {
                QCOMPARE(d.windowTitle(), titulo);
                QCOMPARE(d.findChild<QLineEdit*>("txtPresupuesto0")->text(),
                         QStringLiteral("0000000"));
                QCOMPARE(textos(d.lista(0)), niveles({7}));
                QCOMPARE(d.botonLista(1)->text(), QStringLiteral("TODOS>>"));
                QVERIFY(d.findChild<QCheckBox*>("chkPresupuesto"));
            },
            true, std::uint8_t(origen));
        QCOMPARE(motor_.archivo, plantilla);
        QCOMPARE(motor_.titulo, tituloInforme);
        QCOMPARE(l.columna(tabla, "PresupuestoEnero"), QStringList{"70"});
        QCOMPARE(motor_.impresas.value(1), QStringLiteral("TituloMes01= \"JUL\""));
    }

    void presupuestoComprueba_data() {
        QTest::addColumn<bool>("sinEmpresa");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("empresa antes que la lista")
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
        QCOMPARE(textosMensajes(), QStringList{mensaje});
    }

    void presupuestoConErrorLoDiceYNoImprime() {
        LibroPrueba l(dir_.path(), 7);
        l.cuenta("6000001", {{"PresupuestoTotal", "mil"}});
        ejecutar<frmInfPresupuesto>(
            l, [](frmInfPresupuesto&) {}, true, cCOrigen::PRESUPUESTOANUAL);
        QCOMPARE(interfaz_.mensajes.size(), size_t(1));
        const QString texto = interfaz_.mensajes.front().texto;
        QVERIFY2(texto.contains("Procedimiento: RellenarInforme") &&
                     texto.contains("Módulo: frmInfPresupuesto") &&
                     texto.endsWith("Complemento: OrvoContabilidad"),
                 qPrintable(texto));
        QVERIFY(l.filas("PresupuestoAnual").isEmpty());
        QVERIFY(!seImprimio());
    }

    // De punta a punta con el ejecutor de órdenes, como lo usaría un guion del anfitrión.
    void ejecutorDeOrdenes() {
        LibroPrueba l(dir_.path(), 7);
        libroSieteNiveles(l);
        const QString volcado = dir_.filePath("sumas.json");
        QProcess p;
        p.start(QStringLiteral(ORVO_INFORMES_EXE),
                {"ImprimirBalanceSumasySaldos", "--contabilidad", l.conta->ruta(), "--empresa", "1",
                 "--ruta", dir_.path(), "--pesetas", "--control", "lstBalance(0)=3,7", "--control",
                 "dtpBalance(0)=2001-03-01", "--cancelar-impresion", "--volcado", volcado});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);  // cerrado sin imprimir
        QFile f(volcado);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QJsonObject v = QJsonDocument::fromJson(f.readAll()).object();
        QCOMPARE(v["tabla"].toString(), QStringLiteral("BalanceSumasySaldos"));
        const QJsonArray filas = v["filas"].toArray();
        QCOMPARE(filas.size(), 2);
        QCOMPARE(filas[0].toObject()["Codigo"].toString(), QStringLiteral("430"));
        QCOMPARE(filas[0].toObject()["Nivel"].toString(), QStringLiteral("1"));
        QCOMPARE(filas[1].toObject()["Nivel"].toString(), QStringLiteral("5"));
        QCOMPARE(filas[1].toObject()["Debe"].toString(), QStringLiteral("100"));
    }
};

QTEST_MAIN(PruebaDialogosSumas)
#include "prueba_dialogos_sumas.moc"
