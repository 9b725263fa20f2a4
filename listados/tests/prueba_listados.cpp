// Listados de subcuentas y de epígrafes: la construcción sobre libros pequeños hechos en cada
// prueba, los diálogos por el mismo camino que sigue quien los usa, y el ejecutor de órdenes.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "ConfiguracionAnfitrion.h"
#include "DoblesPrueba.h"
#include "Esquemas.h"
#include "InterfazQt.h"
#include "Listados.h"
#include "MotorInformes.h"
#include "OrdenPrueba.h"
#include "cInformes.h"
#include "frmImprimir.h"

using namespace orvo;
using prueba::filasDe;

namespace {

// Anota lo que la construcción hace con la barra de progreso.
class ProgresoGrabador : public IProgreso {
  public:
    void Iniciar(qint64 maximo, const QString& rotulo, int estilo) override {
        inicios << QStringLiteral("%1|%2|%3").arg(maximo).arg(rotulo).arg(estilo);
    }
    void setValor(qint64 valor) override { valores << valor; }
    void Terminar() override { ++terminados; }
    QStringList inicios;
    QList<qint64> valores;
    int terminados = 0;
};

struct Cuenta {
    int tipo;  // 1 cuenta, 2 subcuenta
    const char* codigo;
    const char* descripcion;
    int nivel;
};

// Plan de la empresa 1. "44" se guardó con nivel 2 y su subcuenta debe quedar en el 3, no en
// el 4 de las demás: el nivel sale de la cuenta anterior, no del largo del código.
const Cuenta kPlan[] = {
    {1, "4", "ACREEDORES Y DEUDORES", 1},
    {1, "43", "CLIENTES", 2},
    {1, "430", "Clientes", 3},
    {2, "4300000", "Clientes varios", 0},
    {2, "4300001", "Ferretería \"El Clavo\"", 0},
    {2, "4300002", "L'Hospitalet Suministros", 0},
    {2, "4399999", "Clientes de dudoso cobro", 0},
    {1, "44", "DEUDORES VARIOS", 2},
    {2, "4400000", "Deudores varios", 0},
    {1, "5", "CUENTAS FINANCIERAS", 1},
    {1, "57", "TESORERÍA", 2},
    {1, "572", "Bancos", 3},
    {2, "5720001", "Banco; DROP TABLE Subcuentas; --", 0},
};

struct Epigrafe {
    int documento;
    const char* codigo;
    const char* descripcion;
    int naturaleza;
    int orden;
    const char* formula;
};

// Los códigos de los dos documentos se intercalan para ver la mezcla en orden de código; "2.1"
// está dos veces con los mismos valores.
const Epigrafe kEstructura[] = {
    {1, "1", "ACTIVO", 1, 1, ""},
    {1, "1.1", "Inmovilizado", 1, 2, ""},
    {1, "3", "PASIVO", 2, 1, ""},
    {2, "2", "GASTOS", 3, 1, ""},
    {2, "2.1", "Gastos d'explotación", 3, 2, ""},
    {2, "2.1", "Gastos d'explotación", 3, 2, ""},
    {2, "4", "RESULTADO", 4, 1, "\"INGRESOS\" - 2"},
};

std::shared_ptr<Conexion> librosDeEjemplo(const QString& ruta) {
    auto con = Conexion::abrir(ruta, true);
    con->ejecutarScript(QStringLiteral("PRAGMA synchronous = OFF"));  // libros de usar y tirar
    Transaccion transaccion(*con);
    Esquemas::crearContabilidad(*con);
    const QString empresa = QStringLiteral(
        "INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, FechaIni, FechaFin, "
        "DesgloseSubCuentas) VALUES (?, ?, ?, 2001, '20010101', '20011231', 7)");
    con->Execute(empresa, {1, QStringLiteral("ORV"), QStringLiteral("Orvo Distribuciones, S.L.")});
    con->Execute(empresa, {2, QStringLiteral("OTR"), QStringLiteral("Otra, S.A.")});
    const QString cuenta = QStringLiteral(
        "INSERT INTO Cuenta (CodEmpresa, CodTipo_Cuenta, Codigo, Descripcion, Nivel) "
        "VALUES (?, ?, ?, ?, ?)");
    for (const Cuenta& c : kPlan)
        con->Execute(cuenta, {1, c.tipo, QString::fromUtf8(c.codigo),
                              QString::fromUtf8(c.descripcion), c.nivel});
    // De otra empresa: nunca debe salir.
    con->Execute(cuenta, {2, 2, QStringLiteral("4300005"), QStringLiteral("Ajena"), 0});
    con->Execute(cuenta, {2, 1, QStringLiteral("43"), QStringLiteral("Ajena"), 2});
    con->ejecutarScript(QStringLiteral(
        "INSERT INTO Documento VALUES (1, 'Balance de situación'), (2, 'Pérdidas y Ganancias');"
        "INSERT INTO Naturaleza VALUES (1, 'Activo'), (2, 'Pasivo'), (3, 'Debe'), (4, 'Haber');"));
    const QString epigrafe = QStringLiteral(
        "INSERT INTO Estructura (CodEmpresa, CodDocumento, CodigoEpigrafe, Descripcion, "
        "CodNaturaleza, OrdenEpigrafe, Formula) VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const Epigrafe& e : kEstructura)
        con->Execute(epigrafe,
                     {1, e.documento, QString::fromUtf8(e.codigo), QString::fromUtf8(e.descripcion),
                      e.naturaleza, e.orden, QString::fromUtf8(e.formula)});
    con->Execute(epigrafe, {2, 1, QStringLiteral("1.5"), QStringLiteral("Ajeno"), 1, 2, QString()});
    transaccion.confirmar();
    return con;
}

}  // namespace

class PruebaListados : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<Conexion> conta_, inf_;
    QString rutaLibros_;

    // Para los diálogos: el componente tal como lo llama el anfitrión.
    InterfazGrabadora interfaz_;
    RegistroObjetos registro_;
    ConfiguracionAnfitrion config_;
    MotorInformes motor_{MotorInformes::Opciones::desatendido()};
    QStringList filasVaciadas_;
    bool imprimirMostrado_ = false;

    // Abre el listado con el guion dado para su diálogo; las opciones de impresión, si salen,
    // se cancelan. Devuelve las filas que había en la tabla justo antes de vaciarla.
    void lanzar(const QString& operacion, const QString& columnas,
                const std::function<void(QDialog&)>& guion) {
        cInformes informes(interfaz_, registro_);
        interfaz_.guion = [&](QDialog& d) {
            if (auto* imp = qobject_cast<frmImprimir*>(&d)) {
                imprimirMostrado_ = true;
                imp->boton(1)->click();
            } else {
                guion(d);
            }
        };
        informes.componente().antesDeVaciar = [&](const QString& tabla) {
            filasVaciadas_ = filasDe(*inf_, tabla, columnas);
        };
        QVERIFY(informes.ejecutar(operacion, &motor_, &config_, conta_, inf_, 1));
    }

    // Lanza orvo-informes sobre los libros de la prueba. Sin 'pdf' se cancelan las opciones de
    // impresión; con él, el informe se escribe en ese archivo.
    prueba::Ejecucion ejecutar(const QStringList& argumentos, const QString& pdf = {}) {
        const QStringList salida = pdf.isEmpty()
                                       ? QStringList{"--cancelar-impresion"}
                                       : QStringList{"--destino", "archivo", "--archivo", pdf};
        const QStringList todos =
            argumentos + QStringList{"--contabilidad", rutaLibros_,         "--empresa", "1",
                                     "--ruta",         dir_.filePath("app")} +
            salida;
        return prueba::ejecutarOrden(todos, dir_.filePath(QStringLiteral("volcado.json")));
    }

  private slots:
    void initTestCase() {
        registrarObjetosAnfitrion(registro_);
        config_.appPath = dir_.filePath(QStringLiteral("app"));
        QDir().mkpath(config_.appPath);
    }
    void init() {
        static int n = 0;
        ++n;
        rutaLibros_ = dir_.filePath(QStringLiteral("c%1.db").arg(n));
        conta_ = librosDeEjemplo(rutaLibros_);
        inf_ = prueba::baseInformes(dir_.filePath(QStringLiteral("i%1.db").arg(n)));
        prueba::olvidar(interfaz_);
        filasVaciadas_.clear();
        imprimirMostrado_ = false;
        for (int i = 1; i <= IMotorInformes::kMaxFormulas; ++i) motor_.setFormulas(i, QString());
    }

    // --- Construcciones ---

    void subcuentas_data() {
        // clang-format off
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<bool>("todas");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("grupo 43, límites incluidos") << "4300000" << "4399999" << false
            << QStringList{"4300000|1", "4300001|1", "4300002|1", "4399999|1"};
        QTest::newRow("todo, solo subcuentas") << "0000000"
            << "9999999" << false << QStringList{"4300000|1", "4300001|1", "4300002|1",
                                                 "4399999|1", "4400000|1", "5720001|1"};
        QTest::newRow("todo, con las cuentas") << "0000000" << "9999999" << true
            << QStringList{"4|1",       "43|2",      "430|3",    "4300000|4", "4300001|4",
                           "4300002|4", "4399999|4", "44|2",     "4400000|3", "5|1",
                           "57|2",      "572|3",     "5720001|4"};
        // "430" es menor que "4300000" como texto: el intervalo empieza dentro de la cuenta.
        QTest::newRow("subcuentas antes de cualquier cuenta") << "4300001" << "4400000" << true
            << QStringList{"4300001|1", "4300002|1", "4399999|1", "44|2", "4400000|3"};
        QTest::newRow("desde una cuenta") << "43"
            << "4300000" << true << QStringList{"43|2", "430|3", "4300000|4"};
        QTest::newRow("límite superior excluye lo que sigue") << "4300000"
            << "4399998" << false << QStringList{"4300000|1", "4300001|1", "4300002|1"};
        QTest::newRow("intervalo sin códigos") << "6000000" << "6999999" << true << QStringList{};
        QTest::newRow("intervalo al revés") << "9999999" << "0000000" << true << QStringList{};
        // clang-format on
    }
    void subcuentas() {
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(bool, todas);
        ProgresoGrabador progreso;
        ContextoInforme contexto{*conta_, *inf_, progreso};
        const FormulasInforme formulas = construirSubcuentas(
            contexto, {1, QStringLiteral("<ORV> Orvo Distribuciones, S.L."), desde, hasta, todas});
        QTEST(filasDe(*inf_, QStringLiteral("Subcuentas"), QStringLiteral("Codigo, Nivel")),
              "esperado");
        QCOMPARE(formulas.size(), 1u);
        QCOMPARE(formulas.at(1), QStringLiteral("Empresa= \"<ORV> Orvo Distribuciones, S.L.\""));
    }

    void progresoSoloConFilas() {
        ProgresoGrabador progreso;
        ContextoInforme contexto{*conta_, *inf_, progreso};
        construirSubcuentas(contexto,
                            {1, {}, QStringLiteral("4300000"), QStringLiteral("4300002"), false});
        QCOMPARE(progreso.inicios, QStringList{QStringLiteral("3|Procesando ...|3")});
        QCOMPARE(progreso.valores, (QList<qint64>{1, 2, 3}));
        QCOMPARE(progreso.terminados, 1);

        ProgresoGrabador vacio;
        ContextoInforme sinFilas{*conta_, *inf_, vacio};
        construirEpigrafes(sinFilas, {2, {}, false, true});
        QVERIFY(vacio.inicios.isEmpty());
        QVERIFY(vacio.valores.isEmpty());
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
        QTest::newRow("balance de situación") << true << false << QStringList{a, ai, p};
        QTest::newRow("pérdidas y ganancias, repetido una vez")
            << false << true << QStringList{g, gi, r};
        QTest::newRow("los dos, mezclados por código")
            << true << true << QStringList{a, ai, g, gi, p, r};
        QTest::newRow("ninguno") << false << false << QStringList{};
    }
    void epigrafes() {
        QFETCH(bool, balance);
        QFETCH(bool, pyg);
        ProgresoGrabador progreso;
        ContextoInforme contexto{*conta_, *inf_, progreso};
        construirEpigrafes(contexto, {1, {}, balance, pyg});
        QTEST(filasDe(*inf_, QStringLiteral("Epigrafes"),
                      QStringLiteral("Codigo, Descripcion, Naturaleza, Formula, Nivel")),
              "esperado");
    }

    // --- Diálogos ---

    void subcuentasTecleadasEnElDialogo() {
        lanzar(QStringLiteral("ImprimirSubcuentas"), QStringLiteral("Codigo, Nivel"),
               [](QDialog& d) {
                   auto* desde = d.findChild<QLineEdit*>("txtSubcuentas0");
                   auto* hasta = d.findChild<QLineEdit*>("txtSubcuentas1");
                   desde->selectAll();
                   QTest::keyClicks(desde, QStringLiteral("43."));
                   hasta->selectAll();
                   QTest::keyClicks(hasta, QStringLiteral("4399999"));
                   d.findChild<QCheckBox*>("chkSubcuentas")->setChecked(true);
                   d.findChild<QPushButton*>("cmdSubcuentas0")->click();
               });
        QCOMPARE(filasVaciadas_, (QStringList{"4300000|1", "4300001|1", "4300002|1", "4399999|1"}));
        QVERIFY(imprimirMostrado_);
        QCOMPARE(motor_.Formulas(1),
                 QStringLiteral("Empresa= \"<ORV> Orvo Distribuciones, S.L.\""));
        QVERIFY(interfaz_.mensajes.empty());
        QCOMPARE(interfaz_.pitidos, 0);
    }

    void epigrafesSinDocumentoAvisa() {
        bool abierto = false;
        QString foco;
        lanzar(QStringLiteral("ImprimirEpigrafes"), QStringLiteral("Codigo"), [&](QDialog& d) {
            d.findChild<QCheckBox*>("chkDocumento0")->setChecked(false);
            d.findChild<QPushButton*>("cmdEpigrafe0")->click();
            abierto = d.isVisible() && d.isEnabled();
            foco = d.focusWidget() ? d.focusWidget()->objectName() : QString();
        });
        QCOMPARE(interfaz_.mensajes.size(), 1u);
        QCOMPARE(interfaz_.mensajes[0].texto,
                 QStringLiteral("¡Debe marcar un tipo de documento para imprimir el listado de "
                                "epígrafes!"));
        QCOMPARE(interfaz_.mensajes[0].icono, Icono::Exclamacion);
        QCOMPARE(interfaz_.pitidos, 1);
        QVERIFY(abierto);
        QCOMPARE(foco, QStringLiteral("chkDocumento0"));
        QVERIFY(filasVaciadas_.isEmpty());
        QVERIFY(!imprimirMostrado_);
    }

    // --- Ejecutor de órdenes ---

    // Las opciones de impresión se cancelan, o no se llega a ellas: sale con 1.
    void ordenes_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QStringList>("mensajes");
        QTest::newRow("subcuentas del grupo 43")
            << QStringList{"ImprimirSubcuentas", "--control", "txtSubcuentas(0)=4300000",
                           "--control", "txtSubcuentas(1)=4399999"}
            << "Codigo,Descripcion,Nivel"
            << QStringList{"4300000|Clientes varios|1", "4300001|Ferretería \"El Clavo\"|1",
                           "4300002|L'Hospitalet Suministros|1",
                           "4399999|Clientes de dudoso cobro|1"}
            << QStringList{};
        QTest::newRow("subcuentas con las cuentas, textos tal cual")
            << QStringList{"ImprimirSubcuentas", "--control", "chkSubcuentas=1", "--control",
                           "txtSubcuentas(0)=4300002"}
            << "Codigo,Descripcion,Nivel"
            << QStringList{"4300002|L'Hospitalet Suministros|1",
                           "4399999|Clientes de dudoso cobro|1",
                           "44|DEUDORES VARIOS|2",
                           "4400000|Deudores varios|3",
                           "5|CUENTAS FINANCIERAS|1",
                           "57|TESORERÍA|2",
                           "572|Bancos|3",
                           "5720001|Banco; DROP TABLE Subcuentas; --|4"}
            << QStringList{};
        QTest::newRow("epígrafes de los dos documentos")
            << QStringList{"ImprimirEpigrafes", "--control", "chkDocumento(1)=1"} << "Codigo,Nivel"
            << QStringList{"1|1", "1.1|2", "2|1", "2.1|2", "3|1", "4|1"} << QStringList{};
        QTest::newRow("epígrafes, por omisión solo el balance")
            << QStringList{"ImprimirEpigrafes"} << "Codigo" << QStringList{"1", "1.1", "3"}
            << QStringList{};
        QTest::newRow("epígrafes sin documento")
            << QStringList{"ImprimirEpigrafes", "--control", "chkDocumento(0)=0"} << "Codigo"
            << QStringList{} << QStringList{cCMensajes().Mensaje28()};
    }
    void ordenes() {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, columnas);
        const prueba::Ejecucion e = ejecutar(argumentos);
        QCOMPARE(e.codigo, 1);
        QTEST(e.filas(columnas), "filas");
        QTEST(e.mensajes(), "mensajes");
    }

    void ordenImprimeLosDosListados_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("subcuentas")
            << QStringList{"ImprimirSubcuentas", "--control", "chkSubcuentas=1"}
            << "infCONT_Subcuentas.rpt"
            << "Informe de subcuentas";
        QTest::newRow("epígrafes") << QStringList{"ImprimirEpigrafes"} << "infCONT_Epigrafes.rpt"
                                   << "Informe de epígrafes";
    }
    void ordenImprimeLosDosListados() {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, plantilla);
        QFETCH(QString, titulo);
        const QString pdf = dir_.filePath(QStringLiteral("listado.pdf"));
        QFile::remove(pdf);
        const prueba::Ejecucion e = ejecutar(argumentos, pdf);
        QVERIFY2(e.codigo == 0, qPrintable(e.error));
        QVERIFY(e.plantilla().endsWith(u'/' + plantilla));
        QCOMPARE(e.informe().value("WindowTitle").toString(), titulo);
        QCOMPARE(e.formula(1), QStringLiteral("Empresa= \"<ORV> Orvo Distribuciones, S.L.\""));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
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
