// Opciones de impresión: el orden en que se configura el motor, el archivo cancelado, los
// errores del motor y la limpieza de las fórmulas, con el diálogo de verdad.
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "Apoyo.h"
#include "DoblesPrueba.h"
#include "InterfazQt.h"
#include "frmImprimir.h"

using namespace orvo;
using namespace orvo::prueba;

class PruebaFrmImprimir : public QObject {
    Q_OBJECT
    InterfazGrabadora interfaz_;
    RegistroObjetos registro_;
    ConfigPrueba config_;
    MotorAnotador espia_;
    QVariant aplicacionPedida_;
    int anfitrionesCreados_ = 0;
    std::unique_ptr<Componente> comp_;

    // Muestra el diálogo, elige la opción y pulsa el botón; 'despues' mira el diálogo aún abierto.
    void imprimir(int opcion, int boton, IMotorInformes& motor,
                  const std::function<void(frmImprimir&)>& despues = {}) {
        comp_->motor = &motor;
        frmImprimir f(*comp_, QStringLiteral("/datos/informes-ana.db"));
        f.setNombreInforme(QStringLiteral("infCONT_Subcuentas.rpt"));
        f.setTituloInforme(QStringLiteral("Informe de subcuentas"));
        interfaz_.guion = [&](QDialog&) {
            f.opcion(opcion)->setChecked(true);
            f.boton(boton)->click();
            if (despues) despues(f);
        };
        f.mostrar();
    }

  private slots:
    void init() {
        interfaz_ = InterfazGrabadora();
        registro_ = RegistroObjetos();
        espia_ = MotorAnotador();
        config_.titulo = QStringLiteral("Contabilidad");
        config_.carpeta = QStringLiteral("/opt/orvo");
        config_.aplicacion = 7;
        anfitrionesCreados_ = 0;
        registro_.registrar(QStringLiteral("OrvoContabilidad.cContabilidad"), [this] {
            ++anfitrionesCreados_;
            return std::make_unique<ContabilidadPrueba>(QStringLiteral("s3cr3t"),
                                                        &aplicacionPedida_);
        });
        comp_ = std::make_unique<Componente>(interfaz_, registro_);
        comp_->config = &config_;
        comp_->tituloAplicacion = QStringLiteral("Contabilidad");
    }

    // Lo que se pide al motor y en qué orden según la opción, el botón y el archivo elegido.
    void ordenDeLaConfiguracion_data() {
        QTest::addColumn<int>("opcion");
        QTest::addColumn<int>("boton");
        QTest::addColumn<QStringList>("guardar");  // respuestas al elegir archivo
        QTest::addColumn<QStringList>("destino");  // vacío: no se imprime
        QTest::addColumn<bool>("abierto");
        const QStringList pdf{QStringLiteral("/tmp/salida.pdf")};
        QTest::newRow("pantalla") << 0 << 0 << pdf << QStringList{"Destination=0"} << false;
        QTest::newRow("impresora") << 1 << 0 << pdf << QStringList{"Destination=1"} << false;
        QTest::newRow("archivo") << 2 << 0 << pdf
                                 << QStringList{"PrintFileName=/tmp/salida.pdf", "Destination=2"}
                                 << false;
        QTest::newRow("archivo cancelado") << 2 << 0 << QStringList() << QStringList() << true;
        QTest::newRow("cancelar") << 0 << 1 << pdf << QStringList() << false;
    }
    void ordenDeLaConfiguracion() {
        QFETCH(int, opcion);
        QFETCH(int, boton);
        QFETCH(QStringList, guardar);
        QFETCH(QStringList, destino);
        QFETCH(bool, abierto);
        interfaz_.respuestasGuardar = guardar;
        espia_.formulas[1] = QStringLiteral("Empresa= \"X\"");
        bool visible = false, sigueElegida = false;
        imprimir(opcion, boton, espia_, [&](frmImprimir& f) {
            visible = f.isVisible();
            sigueElegida = f.opcion(opcion)->isChecked();
        });
        QStringList esperado;
        if (boton == 0)
            esperado = {"ReportFileName=/opt/orvo/infCONT_Subcuentas.rpt", "Password=\ns3cr3t",
                        "WindowTitle=Informe de subcuentas", "DataFiles(0)=/datos/informes-ana.db",
                        "WindowState=2"};
        if (!destino.isEmpty()) esperado += destino + QStringList{"PrintReport", "PageZoom=100"};
        QCOMPARE(espia_.registro, esperado);
        QCOMPARE(visible, abierto);
        QVERIFY(sigueElegida);
        QCOMPARE(espia_.formulas.value(1).isEmpty(), !destino.isEmpty());
        QCOMPARE(aplicacionPedida_, QVariant(7));
        QCOMPARE(anfitrionesCreados_, 1);
        QCOMPARE(interfaz_.MousePointer(), kPunteroPredeterminado);
        QVERIFY(interfaz_.mensajes.empty());
    }

    // El nombre tecleado sin extensión lleva la del tipo elegido en el cuadro de guardar; con
    // una, se deja como está (el motor rechaza la que no sabe escribir).
    void extensionDelTipoElegido_data() {
        QTest::addColumn<QString>("tecleado");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("archivo");
        // clang-format off
        QTest::newRow("excel sin extensión") << "/tmp/salida" << "Libro de Excel (*.xlsx)" << "/tmp/salida.xlsx";
        QTest::newRow("pdf sin extensión") << "/tmp/salida" << "Documento PDF (*.pdf)" << "/tmp/salida.pdf";
        QTest::newRow("acabado en punto") << "/tmp/salida." << "Página web (*.html)" << "/tmp/salida.html";
        QTest::newRow("carpeta con punto") << "/tmp/v1.2/salida" << "Valores separados por comas (*.csv)"
            << "/tmp/v1.2/salida.csv";
        QTest::newRow("con la suya") << "/tmp/salida.csv" << "Libro de Excel (*.xlsx)" << "/tmp/salida.csv";
        QTest::newRow("con una que no se escribe") << "/tmp/salida.txt" << "Documento PDF (*.pdf)"
            << "/tmp/salida.txt";
        QTest::newRow("sin tipo elegido") << "/tmp/salida" << "" << "/tmp/salida";
        // clang-format on
    }
    void extensionDelTipoElegido() {
        QFETCH(QString, tecleado);
        QFETCH(QString, tipo);
        QFETCH(QString, archivo);
        interfaz_.respuestasGuardar = {tecleado};
        interfaz_.tipoGuardar = tipo;
        imprimir(2, 0, espia_);
        QVERIFY2(espia_.registro.contains(QStringLiteral("PrintFileName=") + archivo),
                 qPrintable(espia_.registro.join(u'\n')));
    }

    // Se vacían todas las fórmulas, también las que siguen a un hueco.
    void limpiezaDeFormulas_data() {
        QTest::addColumn<int>("errorMotor");
        QTest::newRow("sin error") << 0;
        QTest::newRow("con error del motor") << 20504;
    }
    void limpiezaDeFormulas() {
        QFETCH(int, errorMotor);
        for (int i : {1, 2, 3, 5}) espia_.formulas[i] = QStringLiteral("F%1= 'x'").arg(i);
        espia_.errorAlImprimir = errorMotor;
        imprimir(0, 0, espia_);
        for (int i : {1, 2, 3, 5}) QCOMPARE(espia_.formulas.value(i), QString());
        QCOMPARE(espia_.formulasEscritas, 4);
        if (errorMotor == 0) return;
        QCOMPARE(interfaz_.mensajes.size(), size_t(1));
        const MensajeGrabado& m = interfaz_.mensajes.front();
        // El texto del motor, sin su número.
        QCOMPARE(m.texto, QStringLiteral("Plantilla dañada"));
        QCOMPARE(m.icono, Icono::Exclamacion);
        QCOMPARE(m.titulo, QStringLiteral("Contabilidad"));
        QCOMPARE(interfaz_.pitidos, 1);
        QCOMPARE(espia_.registro.mid(espia_.registro.size() - 2),
                 QStringList({"LastErrorNumber=0", "LastErrorString="}));
    }

    void sinComponenteAnfitrion() {
        RegistroObjetos vacio;
        Componente comp(interfaz_, vacio);
        comp.config = &config_;
        comp.motor = &espia_;
        frmImprimir f(comp, QString());
        QVERIFY(f.opcion(0)->isChecked());  // de entrada, por pantalla
        interfaz_.guion = [&](QDialog&) { f.boton(0)->click(); };
        f.mostrar();
        QVERIFY(espia_.registro.isEmpty());
        QCOMPARE(interfaz_.mensajes.size(), size_t(1));
        const QString& texto = interfaz_.mensajes.front().texto;
        QVERIFY2(texto.contains(QStringLiteral("cmdImprimir_Click(0)")), qPrintable(texto));
        QVERIFY(texto.contains(QStringLiteral("frmImprimir")));
        QVERIFY(texto.contains(QStringLiteral("OrvoContabilidadInf")));
        QCOMPARE(interfaz_.MousePointer(), kPunteroPredeterminado);
    }
};

QTEST_MAIN(PruebaFrmImprimir)
#include "prueba_frmImprimir.moc"
