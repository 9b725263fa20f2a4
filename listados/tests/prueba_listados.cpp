// Listados de subcuentas y de epígrafes: sus filas sobre libros pequeños hechos en cada prueba,
// los diálogos por el mismo camino que sigue quien los usa, y el ejecutor de órdenes.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "Esquemas.h"
#include "InterfazQt.h"
#include "LibrosPrueba.h"
#include "Listados.h"
#include "OrdenPrueba.h"
#include "frmInfEpigrafes.h"
#include "frmInfSubcuentas.h"

using namespace orvo;

namespace {

// Empresa 1 y, con lo que nunca debe salir, la 2. "44" tiene nivel 2 y su subcuenta debe
// quedar en el 3, no en el 4 de las demás: el nivel sale de la cuenta anterior. El epígrafe
// "2.1" está dos veces con los mismos valores.
void librosDeEjemplo(prueba::LibrosPrueba& l) {
    const long e = l.empresa(), otra = l.empresa();
    l.cuentas(e, {"4 ACREEDORES Y DEUDORES", "43 CLIENTES", "430 Clientes",
                  "4300000 Clientes varios", "4300001 Ferretería \"El Clavo\"",
                  "4300002 L'Hospitalet Suministros", "4399999 Clientes de dudoso cobro",
                  "44 DEUDORES VARIOS", "4400000 Deudores varios", "5 CUENTAS FINANCIERAS",
                  "57 TESORERÍA", "572 Bancos", "5720001 Banco; DROP TABLE Subcuentas; --"});
    l.cuentas(otra, {"4300005 Ajena", "43 Ajena"});
    l.epigrafe(e, 1, "1", "ACTIVO", 1);
    l.epigrafe(e, 1, "1.1", "Inmovilizado", 1, 2);
    l.epigrafe(e, 1, "3", "PASIVO", 2);
    l.epigrafe(e, 2, "2", "GASTOS", 3);
    for (int i = 0; i < 2; ++i) l.epigrafe(e, 2, "2.1", "Gastos d'explotación", 3, 2);
    l.epigrafe(e, 2, "4", "RESULTADO", 4, 1, "\"INGRESOS\" - 2");
    l.epigrafe(otra, 1, "1.5", "Ajeno", 1, 2);
}

}  // namespace

class PruebaListados : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<Conexion> conta_;
    std::unique_ptr<prueba::LibrosPrueba> libros_;

    // Lanza orvo-informes sobre los libros de la prueba; el informe se escribe en 'pdf'.
    prueba::Ejecucion ejecutar(const QStringList& argumentos, const QString& pdf) {
        return prueba::ejecutarOrden(
            argumentos + QStringList{"--contabilidad", libros_->conta().ruta(), "--empresa", "1",
                                     "--ruta", dir_.filePath("app"), "--destino", "archivo",
                                     "--archivo", pdf},
            dir_.filePath(QStringLiteral("volcado.json")));
    }

  private slots:
    void initTestCase() { QDir().mkpath(dir_.filePath(QStringLiteral("app"))); }
    void init() {
        libros_ = std::make_unique<prueba::LibrosPrueba>();
        librosDeEjemplo(*libros_);
        conta_ = libros_->contaCompartida();
    }

    // --- Cálculos ---

    void subcuentas_data() {
        // clang-format off
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<bool>("todas");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("grupo 43, límites incluidos") << "4300000" << "4399999" << false << QStringList{"4300000|1", "4300001|1", "4300002|1", "4399999|1"};
        QTest::newRow("todo, solo subcuentas") << "0000000" << "9999999" << false << QStringList{"4300000|1", "4300001|1", "4300002|1", "4399999|1", "4400000|1", "5720001|1"};
        QTest::newRow("todo, con las cuentas") << "0000000" << "9999999" << true
            << QStringList{"4|1", "43|2", "430|3", "4300000|4", "4300001|4", "4300002|4", "4399999|4", "44|2", "4400000|3", "5|1", "57|2", "572|3", "5720001|4"};
        // "430" es menor que "4300000" como texto: el intervalo empieza dentro de la cuenta.
        QTest::newRow("subcuentas antes de cualquier cuenta") << "4300001" << "4400000" << true << QStringList{"4300001|1", "4300002|1", "4399999|1", "44|2", "4400000|3"};
        QTest::newRow("desde una cuenta") << "43" << "4300000" << true << QStringList{"43|2", "430|3", "4300000|4"};
        QTest::newRow("límite superior excluye lo que sigue") << "4300000" << "4399998" << false << QStringList{"4300000|1", "4300001|1", "4300002|1"};
        QTest::newRow("intervalo sin códigos") << "6000000" << "6999999" << true << QStringList{};
        QTest::newRow("intervalo al revés") << "9999999" << "0000000" << true << QStringList{};
        // clang-format on
    }
    void subcuentas() {
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(bool, todas);
        const ListadoSubcuentas r = calcularSubcuentas(*conta_, {1, desde, hasta, todas});
        QStringList filas;
        for (const FilaSubcuenta& f : r.filas) filas << f.codigo + u'|' + QString::number(f.nivel);
        QTEST(filas, "esperado");
        QCOMPARE(r.empresa, QStringLiteral("<PRU> Pruebas, S.L."));
    }

    void epigrafes_data() {
        QTest::addColumn<bool>("balance");
        QTest::addColumn<bool>("pyg");
        QTest::addColumn<QStringList>("esperado");
        const QString a = QStringLiteral("1|ACTIVO|Activo||1");
        const QString ai = QStringLiteral("1.1|Inmovilizado|Activo||2");
        const QString p = QStringLiteral("3|PASIVO|Pasivo||1");
        const QString g = QStringLiteral("2|GASTOS|Debe||1");
        const QString gi = QStringLiteral("2.1|Gastos d'explotación|Debe||2");
        const QString r = QStringLiteral("4|RESULTADO|Haber|\"INGRESOS\" - 2|1");
        // clang-format off
        QTest::newRow("balance de situación") << true << false << QStringList{a, ai, p};
        QTest::newRow("pérdidas y ganancias, repetido una vez") << false << true << QStringList{g, gi, r};
        QTest::newRow("ninguno") << false << false << QStringList{};
        // clang-format on
    }
    void epigrafes() {
        QFETCH(bool, balance);
        QFETCH(bool, pyg);
        QStringList filas;
        for (const FilaEpigrafe& f : calcularEpigrafes(*conta_, {1, balance, pyg}).filas)
            filas << QStringList{f.codigo, f.descripcion, f.naturaleza, f.formula,
                                 QString::number(f.nivel)}
                         .join(u'|');
        QTEST(filas, "esperado");
    }

    // --- Diálogos ---

    void subcuentasTecleadasEnElDialogo() {
        prueba::Entorno entorno;
        prueba::mostrar<frmInfSubcuentas>(entorno, *libros_, 1, [](frmInfSubcuentas& d) {
            auto* desde = d.findChild<QLineEdit*>("txtSubcuentas0");
            auto* hasta = d.findChild<QLineEdit*>("txtSubcuentas1");
            desde->selectAll();
            QTest::keyClicks(desde, QStringLiteral("43."));
            hasta->selectAll();
            QTest::keyClicks(hasta, QStringLiteral("4399999"));
            d.findChild<QCheckBox*>("chkSubcuentas")->setChecked(true);
            d.findChild<QPushButton*>("cmdSubcuentas0")->click();
        });
        QCOMPARE(libros_->filas("Subcuentas", "Codigo, Nivel"),
                 (QStringList{"4300000|1", "4300001|1", "4300002|1", "4399999|1"}));
        QVERIFY(entorno.seImprimio());
        QVERIFY(entorno.interfaz.mensajes.empty());
        QCOMPARE(entorno.interfaz.pitidos, 0);
    }

    void epigrafesSinDocumentoAvisa() {
        prueba::Entorno entorno;
        bool abierto = false;
        QString foco;
        prueba::mostrar<frmInfEpigrafes>(entorno, *libros_, 1, [&](frmInfEpigrafes& d) {
            d.findChild<QCheckBox*>("chkDocumento0")->setChecked(false);
            d.findChild<QPushButton*>("cmdEpigrafe0")->click();
            abierto = d.isVisible() && d.isEnabled();
            foco = d.focusWidget() ? d.focusWidget()->objectName() : QString();
        });
        QCOMPARE(entorno.textos(), QStringList{cCMensajes().faltaTipoDocumento()});
        QCOMPARE(entorno.interfaz.mensajes[0].icono, Icono::Exclamacion);
        QCOMPARE(entorno.interfaz.pitidos, 1);
        QVERIFY(abierto);
        QCOMPARE(foco, QStringLiteral("chkDocumento0"));
        QVERIFY(libros_->filas("Epigrafes", "Codigo").isEmpty());
        QVERIFY(!entorno.seImprimio());
    }

    // --- Ejecutor de órdenes ---

    // La orden escribe su PDF con su plantilla y su título; sin documento no se llega a imprimir
    // y sale con 1. Las filas de cada intervalo y documento, en los cálculos.
    void ordenes_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QString>("informe");  // "plantilla|título", vacío si no se imprime
        QTest::addColumn<QStringList>("mensajes");
        const QString epigrafes = QStringLiteral("infCONT_Epigrafes.rpt|Informe de epígrafes");
        // clang-format off
        QTest::newRow("epígrafes, por omisión solo el balance") << QStringList{"ImprimirEpigrafes"} << "Codigo" << QStringList{"1", "1.1", "3"} << epigrafes << QStringList{};
        QTest::newRow("epígrafes sin documento") << QStringList{"ImprimirEpigrafes", "--control", "chkDocumento(0)=0"} << "Codigo" << QStringList{} << "" << QStringList{cCMensajes().faltaTipoDocumento()};
        // clang-format on
    }
    void ordenes() {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, columnas);
        QFETCH(QString, informe);
        const QString pdf = dir_.filePath(QStringLiteral("listado.pdf"));
        QFile::remove(pdf);
        const prueba::Ejecucion e = ejecutar(argumentos, pdf);
        QCOMPARE(e.codigo, informe.isEmpty() ? 1 : 0);
        QTEST(e.filas(columnas), "filas");
        QTEST(e.mensajes(), "mensajes");
        QFile f(pdf);
        QCOMPARE(f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-", !informe.isEmpty());
        if (informe.isEmpty()) return;
        QVERIFY(e.plantilla().endsWith(u'/' + informe.section(u'|', 0, 0)));
        QCOMPARE(e.informe().value("WindowTitle").toString(), informe.section(u'|', 1));
    }

    void ordenConErrorNoImprime() {
        const QString informes = dir_.filePath(QStringLiteral("app/Informes.mdb"));
        QFile::remove(informes);
        {
            auto con = Conexion::abrir(informes, true);
            Esquemas::crearInformes(*con);
            con->ejecutarScript(QStringLiteral(
                "CREATE TRIGGER protegida BEFORE INSERT ON Epigrafes WHEN NEW.Codigo = '3' "
                "BEGIN SELECT RAISE(ABORT, 'tabla protegida'); END;"));
        }
        const QString pdf = dir_.filePath(QStringLiteral("error.pdf"));
        const prueba::Ejecucion e = ejecutar({QStringLiteral("ImprimirEpigrafes")}, pdf);
        QFile::remove(informes);
        QCOMPARE(e.codigo, 1);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(e.volcado.value("informe").isNull());
        QVERIFY(e.volcado.value("filas").toArray().isEmpty());
        QCOMPARE(e.mensajes().size(), 1);
        const QString texto = e.mensajes()[0];
        const QChar cr(13);
        QVERIFY2(texto.contains(QStringLiteral("tabla protegida")) &&
                     texto.endsWith(QStringLiteral("Procedimiento: RellenarInforme") + cr +
                                    QStringLiteral("Módulo: frmInfEpigrafes") + cr +
                                    QStringLiteral("Complemento: OrvoContabilidadInf")),
                 qPrintable(texto));
    }
};

QTEST_MAIN(PruebaListados)
#include "prueba_listados.moc"
