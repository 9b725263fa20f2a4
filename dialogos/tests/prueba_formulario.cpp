// Comportamiento común de los diálogos de informe, con controles de verdad: carga, reglas de
// teclado de las cajas de subcuenta, comprobaciones, ACEPTAR/CANCELAR y el marco de construcción.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "DoblesPrueba.h"
#include "ErrorOrvo.h"
#include "FormularioInforme.h"
#include "InterfazQt.h"
#include "frmImprimir.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

// Diálogo con todos los controles comunes. Su construcción escribe los códigos de 'filas' en
// Subcuentas y, si 'fallarTras' no es negativo, lanza un error después de esa fila.
class DialogoPrueba : public FormularioInforme {
  public:
    explicit DialogoPrueba(Componente& comp)
        : FormularioInforme(comp, QStringLiteral("frmPrueba"), QStringLiteral("Prueba")) {
        enColumna({filaEmpresa(), subcuentas(), periodo(), euros()}, QStringLiteral("abpPrueba"));
    }
    using FormularioInforme::comunes;

    QStringList filas;
    int fallarTras = -1;
    int construcciones = 0;
    bool habilitadoAlConstruir = true;
    bool botonesHabilitadosAlConstruir = true;
    int punteroAlConstruir = -1;

  protected:
    bool RellenarInforme() override {
        return construirEnTransaccion(
            QStringLiteral("Subcuentas"), QStringLiteral("Codigo"), [this](ContextoInforme& ctx) {
                ++construcciones;
                habilitadoAlConstruir = isEnabled();
                botonesHabilitadosAlConstruir =
                    comunes().botones[0]->isEnabled() || comunes().botones[1]->isEnabled();
                punteroAlConstruir = componente().interfaz.MousePointer();
                for (int i = 0; i < filas.size(); ++i) {
                    ctx.informes.Execute(
                        QStringLiteral("INSERT INTO Subcuentas (Codigo) VALUES (?)"), {filas[i]});
                    if (i == fallarTras)
                        throw ErrorOrvo(Causa::AccesoAlArchivo, QStringLiteral("Tabla bloqueada"));
                }
                return FormulasInforme{{1, formulaEmpresa(ctx.contabilidad, empresa())}};
            });
    }
    QString nombrePlantilla() const override { return QStringLiteral("infCONT_Prueba.rpt"); }
    QString tituloInforme() const override { return QStringLiteral("Informe de prueba"); }
};

// Escribe en la caja lo que diría el teclado: '⌂' es la tecla Inicio, '⌫' el retroceso, '↵'
// Intro y '⎘' pega (Ctrl+V) el resto del texto.
void teclear(QLineEdit* caja, const QString& teclas) {
    for (qsizetype i = 0; i < teclas.size(); ++i) {
        const QChar c = teclas[i];
        if (c == u'⎘') {
            QGuiApplication::clipboard()->setText(teclas.mid(i + 1));
            QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
            return;
        }
        if (c == u'⌂')
            QTest::keyClick(caja, Qt::Key_Home);
        else if (c == u'⌫')
            QTest::keyClick(caja, Qt::Key_Backspace);
        else if (c == u'↵')
            QTest::keyClick(caja, Qt::Key_Return);
        else if (c.unicode() < 128)
            QTest::keyClick(caja, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, caja, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

}  // namespace

class PruebaFormulario : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    InterfazGrabadora interfaz_;
    RegistroObjetos registro_;
    ConfigPrueba config_;
    Componente comp_{interfaz_, registro_};
    std::shared_ptr<Conexion> conta_, inf_;
    // Lo que vio el guion cuando se mostró el diálogo de opciones de impresión.
    bool imprimirMostrado_ = false;
    bool informeVisibleAlImprimir_ = false;
    int punteroAlImprimir_ = -1;

    void empresa(int id, int desglose, const QString& ini = QStringLiteral("20010101"),
                 const QString& fin = QStringLiteral("20011231")) {
        conta_->Execute(QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, "
                                       "AñoEjercicio, FechaIni, FechaFin, DesgloseSubCuentas) "
                                       "VALUES (?, ?, ?, 2001, ?, ?, ?)"),
                        {id, QStringLiteral("E%1").arg(id), QStringLiteral("Empresa %1").arg(id),
                         ini, fin, desglose});
    }

    // Carga y muestra el diálogo; 'pasos' se ejecuta con él abierto. El diálogo de opciones de
    // impresión, si aparece, se cancela después de anotar cómo estaba todo.
    void abrir(DialogoPrueba& d, long empresaAnfitrion, const std::function<void()>& pasos) {
        d.setConContabilidad(conta_);
        d.setConInformes(inf_);
        d.setLngCodEmpresa(empresaAnfitrion);
        interfaz_.guion = [&](QDialog& dialogo) {
            if (auto* imp = qobject_cast<frmImprimir*>(&dialogo)) {
                imprimirMostrado_ = true;
                informeVisibleAlImprimir_ = d.isVisible();
                punteroAlImprimir_ = interfaz_.MousePointer();
                imp->boton(1)->click();
            } else {
                pasos();
            }
        };
        d.mostrar();
    }

  private slots:
    void initTestCase() {
        registrarContabilidad(registro_);
        config_.titulo = QStringLiteral("Contabilidad");
        config_.carpeta = QStringLiteral("/tmp");
        comp_.config = &config_;
        comp_.tituloAplicacion = config_.AppTitle();
    }
    void init() {
        librosVacios(dir_, conta_, inf_);
        olvidar(interfaz_);
        interfaz_.setMousePointer(kPunteroPredeterminado);
        imprimirMostrado_ = false;
        informeVisibleAlImprimir_ = false;
        punteroAlImprimir_ = -1;
    }

    void cargaFijaLaEmpresaDelAnfitrion() {
        empresa(1, 7);
        empresa(2, 5, QStringLiteral("20010701"), QStringLiteral("20020630"));
        empresa(3, 9);
        DialogoPrueba d(comp_);
        const auto& c = d.comunes();
        abrir(d, 2, [] {});
        QCOMPARE(c.empresa->count(), 3);
        QCOMPARE(c.empresa->currentData().toLongLong(), 2);
        QVERIFY(!c.empresa->isEnabled());
        // Las cajas toman la longitud de la empresa elegida, no las 7 cifras de siempre.
        for (int i = 0; i < 2; ++i) QCOMPARE(c.subcuentas[i]->maxLength(), 5);
        QCOMPARE(c.subcuentas[0]->text(), QStringLiteral("00000"));
        QCOMPARE(c.subcuentas[1]->text(), QStringLiteral("99999"));
        QCOMPARE(c.fechas[0]->date(), QDate(2001, 7, 1));
        QCOMPARE(c.fechas[1]->date(), QDate(2002, 6, 30));
        QCOMPARE(interfaz_.MousePointer(), kPunteroPredeterminado);
        QVERIFY(interfaz_.mensajes.empty());
        QVERIFY(!c.progreso->isVisible());
        QVERIFY(c.euros->isChecked());
    }

    void teclasDeSubcuenta_data() {
        // clang-format off
        QTest::addColumn<int>("largo");
        QTest::addColumn<QString>("inicial");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<int>("cursorFinal");
        QTest::addColumn<int>("pitidos");
        QTest::newRow("43 y punto en caja vacía") << 7 << "" << 0 << "43." << "4300000" << 7 << 0;
        QTest::newRow("1, inicio, 43 y punto") << 7 << "" << 0 << "1⌂43." << "4300001" << 6 << 0;
        QTest::newRow("punto entre cifras") << 7 << "43" << 1 << "." << "4000003" << 6 << 0;
        QTest::newRow("punto en caja llena") << 7 << "4300000" << 3 << "." << "4300000" << 3 << 0;
        QTest::newRow("cifra en caja llena") << 7 << "4300000" << 7 << "5" << "4300000" << 7 << 0;
        QTest::newRow("caja de cinco") << 5 << "" << 0 << "57.1" << "57000" << 5 << 0;
        QTest::newRow("letras pitan") << 7 << "43" << 2 << "ab" << "43" << 2 << 2;
        QTest::newRow("signos pitan") << 7 << "43" << 2 << "-, +" << "43" << 2 << 4;
        QTest::newRow("cifra de otra escritura") << 7 << "43" << 2 << "٤" << "43" << 2 << 1;
        QTest::newRow("retroceso") << 7 << "4300000" << 7 << "⌫⌫" << "43000" << 5 << 0;
        QTest::newRow("retroceso tras pitido") << 7 << "43" << 2 << "x⌫" << "4" << 1 << 1;
        QTest::newRow("Intro pita y no acepta") << 7 << "43" << 2 << "↵" << "43" << 2 << 1;
        QTest::newRow("pegar código") << 7 << "" << 0 << "⎘4300001" << "4300001" << 7 << 0;
        QTest::newRow("pegar código largo se corta") << 7 << "" << 0 << "⎘430000123" << "4300001" << 7 << 0;
        QTest::newRow("pegar con letras") << 7 << "" << 0 << "⎘43a" << "" << 0 << 1;
        QTest::newRow("pegar con punto") << 7 << "" << 0 << "⎘43.1" << "" << 0 << 1;
        QTest::newRow("pegar nada") << 7 << "" << 0 << "⎘" << "" << 0 << 1;
        // clang-format on
    }
    void teclasDeSubcuenta() {
        QFETCH(int, largo);
        QFETCH(QString, inicial);
        QFETCH(int, cursor);
        QFETCH(QString, teclas);
        empresa(1, largo);
        DialogoPrueba d(comp_);
        QLineEdit* caja = d.comunes().subcuentas[0];
        QString texto;
        int posicion = -1;
        abrir(d, 1, [&] {
            caja->setText(inicial);
            caja->setCursorPosition(cursor);
            teclear(caja, teclas);
            texto = caja->text();
            posicion = caja->cursorPosition();
        });
        QTEST(texto, "esperado");
        QTEST(posicion, "cursorFinal");
        QTEST(interfaz_.pitidos, "pitidos");
        QVERIFY(interfaz_.mensajes.empty());
    }

    void elFocoSeleccionaLaCaja() {
        empresa(1, 7);
        DialogoPrueba d(comp_);
        QLineEdit* caja = d.comunes().subcuentas[1];
        QString seleccion;
        abrir(d, 1, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            caja->setCursorPosition(3);
            caja->setFocus(Qt::MouseFocusReason);
            QTRY_VERIFY(caja->hasSelectedText());
            seleccion = caja->selectedText();
        });
        QCOMPARE(seleccion, QStringLiteral("9999999"));
    }

    // ACEPTAR con una caja vacía o sin empresa en la lista: un aviso y el diálogo sigue abierto,
    // con el foco en lo que falta, sin construir nada. La empresa 5 del anfitrión no está.
    void avisosAlAceptar_data() {
        QTest::addColumn<QString>("desde");
        QTest::addColumn<QString>("hasta");
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<int>("foco");  // caja de subcuenta, -1 ninguna
        const QString cajas = cCMensajes().faltanSubcuentas();
        // clang-format off
        QTest::newRow("inicial vacía") << "" << "9999999" << 1 << cajas << 0;
        QTest::newRow("final vacía") << "0000000" << "" << 1 << cajas << 1;
        QTest::newRow("final en blanco") << "0000000" << "   " << 1 << cajas << 1;
        QTest::newRow("las dos vacías") << "" << "" << 1 << cajas << 0;
        QTest::newRow("sin empresa en la lista") << "0000000" << "9999999" << 5 << cCMensajes().faltaEmpresa() << -1;
        // clang-format on
    }
    void avisosAlAceptar() {
        QFETCH(QString, desde);
        QFETCH(QString, hasta);
        QFETCH(int, empresa);
        QFETCH(int, foco);
        this->empresa(1, 7);
        DialogoPrueba d(comp_);
        const auto& c = d.comunes();
        bool abiertoTrasAceptar = false;
        QWidget* focoTrasAceptar = nullptr;
        abrir(d, empresa, [&] {
            c.subcuentas[0]->setText(desde);
            c.subcuentas[1]->setText(hasta);
            d.botonAceptar()->click();
            abiertoTrasAceptar = d.isVisible() && d.isEnabled() && c.botones[0]->isEnabled();
            focoTrasAceptar = d.focusWidget();
        });
        QCOMPARE(interfaz_.mensajes.size(), 1u);
        QTEST(interfaz_.mensajes[0].texto, "mensaje");
        QCOMPARE(interfaz_.mensajes[0].icono, Icono::Exclamacion);
        QCOMPARE(interfaz_.mensajes[0].titulo, QStringLiteral("Contabilidad"));
        QCOMPARE(interfaz_.pitidos, 1);
        QVERIFY(abiertoTrasAceptar);
        if (foco >= 0) QCOMPARE(focoTrasAceptar, c.subcuentas[foco]);
        QCOMPARE(c.empresa->currentIndex(), empresa == 1 ? 0 : -1);
        QCOMPARE(d.construcciones, 0);
        QCOMPARE(interfaz_.MousePointer(), kPunteroPredeterminado);
    }

    // ACEPTAR con datos correctos: la construcción corre con el diálogo bloqueado y el reloj de
    // arena; con filas se pasa a las opciones de impresión con el diálogo ya descargado, sin
    // ellas se avisa, y un error deshace lo escrito. El diálogo se cierra y el puntero vuelve.
    void aceptar_data() {
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<int>("fallarTras");
        QTest::addColumn<int>("escritas");  // filas en la tabla de trabajo al terminar
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<int>("icono");
        const QChar cr(13);
        // clang-format off
        QTest::newRow("con filas") << QStringList{"4300000", "4300001"} << -1 << 2 << "" << int(Icono::Informacion);
        QTest::newRow("sin filas") << QStringList{} << -1 << 0
            << "¡No se ha encontrado ningún registro!" << int(Icono::Informacion);
        QTest::newRow("error tras la segunda fila") << QStringList{"1", "2", "3"} << 1 << 0
            << QString("¡Se ha producido el error 75: Tabla bloqueada!") + cr + cr +
                   "Procedimiento: RellenarInforme" + cr + "Módulo: frmPrueba" + cr +
                   "Complemento: OrvoContabilidadInf"
            << int(Icono::Exclamacion);
        // clang-format on
    }
    void aceptar() {
        QFETCH(QStringList, filas);
        QFETCH(int, fallarTras);
        QFETCH(QString, mensaje);
        empresa(1, 7);
        DialogoPrueba d(comp_);
        d.filas = filas;
        d.fallarTras = fallarTras;
        abrir(d, 1, [&] { d.botonAceptar()->click(); });
        QCOMPARE(d.construcciones, 1);
        QVERIFY(!d.habilitadoAlConstruir);
        QVERIFY(!d.botonesHabilitadosAlConstruir);
        QCOMPARE(d.punteroAlConstruir, kRelojDeArena);
        QTEST(inf_->valor(QStringLiteral("SELECT count(*) FROM Subcuentas")).toInt(), "escritas");
        QCOMPARE(inf_->nivelTransaccion(), 0);
        QVERIFY(!d.isVisible());
        QVERIFY(d.isEnabled());
        QVERIFY(!d.comunes().progreso->isVisible());
        QCOMPARE(interfaz_.MousePointer(), kPunteroPredeterminado);
        QCOMPARE(imprimirMostrado_, mensaje.isEmpty());
        if (mensaje.isEmpty()) {
            QVERIFY(!informeVisibleAlImprimir_);
            QCOMPARE(punteroAlImprimir_, kPunteroPredeterminado);
            QCOMPARE(interfaz_.dialogosMostrados, (QStringList{"frmPrueba", "frmImprimir"}));
            QVERIFY(interfaz_.mensajes.empty());
            return;
        }
        QCOMPARE(interfaz_.mensajes.size(), 1u);
        QCOMPARE(interfaz_.mensajes[0].texto, mensaje);
        QCOMPARE(interfaz_.mensajes[0].titulo, QStringLiteral("Contabilidad"));
        QTEST(int(interfaz_.mensajes[0].icono), "icono");
    }
};

QTEST_MAIN(PruebaFormulario)
#include "prueba_formulario.moc"
