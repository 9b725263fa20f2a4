// La ventana del anfitrión con widgets de verdad: abre bases, lista empresas, ofrece los
// informes y se los pide a cInformes con la empresa y la moneda elegidas. Deja una captura de
// la ventana y de cada diálogo en la carpeta de compilación.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "AnfitrionPrueba.h"
#include "Conexion.h"
#include "ConfiguracionAnfitrion.h"
#include "DialogoComprobacion.h"
#include "Ejecutor.h"
#include "Esquemas.h"
#include "FormularioInforme.h"
#include "Idioma.h"
#include "InterfazQt.h"
#include "LibrosEjemplo.h"
#include "MotorInformes.h"
#include "PeticionesEjemplo.h"
#include "VentanaManual.h"
#include "VentanaPrincipal.h"
#include "cInformes.h"
#include "frmImprimir.h"

using namespace orvo;
using prueba::Peticion;

namespace {

// Orden en que cada informe va justo detrás de cada uno (también de sí mismo) una sola vez:
// un circuito euleriano del grafo completo con lazos, n * n + 1 informes.
QList<int> circuito(int n) {
    std::vector<int> siguiente(size_t(n), 0);
    QList<int> pila{0}, camino;
    while (!pila.isEmpty()) {
        const int v = pila.last();
        if (siguiente[size_t(v)] < n)
            pila.append(siguiente[size_t(v)]++);
        else
            camino.prepend(v), pila.removeLast();
    }
    return camino;
}

// Guarda la imagen del widget en la carpeta de capturas. Pocos colores delatarían un widget sin
// pintar.
void captura(QWidget& w, const QString& nombre) {
    const QImage imagen = w.grab().toImage();
    QSet<QRgb> colores;
    for (int y = 0; y < imagen.height(); y += 7)
        for (int x = 0; x < imagen.width(); x += 7) colores.insert(imagen.pixel(x, y));
    QVERIFY2(colores.size() > 4, qPrintable(nombre));
    QVERIFY(QDir().mkpath(QStringLiteral(ORVO_CAPTURAS_DIR)));
    QVERIFY(imagen.save(QStringLiteral(ORVO_CAPTURAS_DIR "/") + nombre + QStringLiteral(".png")));
}

}  // namespace

class PruebaVentana : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString libros_;

    struct Anfitrion : AnfitrionPrueba {
        using AnfitrionPrueba::AnfitrionPrueba;

        // Pide el informe desde el menú con su empresa y sus controles, lo manda a pantalla y
        // devuelve sus filas, sus mensajes y lo que llegó al motor.
        QJsonObject pedir(const Peticion& p) {
            interfaz.mensajes.clear();
            grabador.informe.reset();
            QJsonArray filas;
            ventana->informes().componente().antesDeVaciar = [&](const QString& tabla) {
                auto base = Conexion::abrir(rutaEnAplicacion(config.appPath, "Informes.mdb"));
                filas = leerFilas(*base, tabla);
            };
            QString error;
            interfaz.guion = [&](QDialog& d) {
                if (auto* f = qobject_cast<FormularioInforme*>(&d)) {
                    for (const QString& c : p.controles)
                        if (error.isEmpty())
                            error = fijarControl(*f, c.section(u'=', 0, 0), c.section(u'=', 1));
                    f->botonAceptar()->click();
                } else if (auto* imp = qobject_cast<frmImprimir*>(&d)) {
                    imp->boton(0)->click();
                }
            };
            ventana->seleccionarEmpresa(p.empresa);
            ventana->lanzarInforme(QString::fromLatin1(p.operacion));
            QJsonArray mensajes;
            if (!error.isEmpty()) mensajes.append(error);
            for (const auto& m : interfaz.mensajes) mensajes.append(m.texto);
            return {{"filas", filas},
                    {"mensajes", mensajes},
                    {"informe", grabador.informe ? QJsonValue(*grabador.informe) : QJsonValue()}};
        }
    };

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        libros_ = dir_.filePath(QStringLiteral("ejemplo.db"));
    }

    void creaYAbreLosLibrosDeEjemplo() {
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        QVERIFY(a.ventana->crearEjemplo(libros_));
        QCOMPARE(a.ventana->rutaContabilidad(), libros_);
        auto* lista = a.ventana->findChild<QTableWidget*>(QStringLiteral("lstEmpresas"));
        QVERIFY(lista);
        QCOMPARE(lista->rowCount(), 3);
        // Por nombre y ejercicio; la primera queda elegida.
        QCOMPARE(lista->item(0, 0)->text(), QStringLiteral("MONCAYO"));
        QCOMPARE(lista->item(1, 1)->text(), QStringLiteral("2024"));
        QCOMPARE(lista->item(2, 2)->text(), QStringLiteral("Restaurante La Alameda, S.L."));
        QCOMPARE(lista->item(2, 3)->text(), QStringLiteral("01/07/2023"));
        QCOMPARE(a.ventana->empresaSeleccionada(), 1L);
        QVERIFY(a.ventana->seleccionarEmpresa(3));
        QCOMPARE(a.ventana->empresaSeleccionada(), 3L);
        QVERIFY(!a.ventana->seleccionarEmpresa(99));
        QVERIFY(a.interfaz.mensajes.empty());
        a.ventana->show();
        QVERIFY(QTest::qWaitForWindowExposed(a.ventana.get()));
        captura(*a.ventana, QStringLiteral("anfitrion"));

        // Crear encima de un archivo que existe no toca nada y lo dice.
        QVERIFY(!a.ventana->crearEjemplo(libros_));
        QCOMPARE(a.interfaz.mensajes.size(), size_t(1));
        QVERIFY(a.interfaz.mensajes.back().texto.contains(QStringLiteral("ya existe")));
        QCOMPARE(a.ventana->rutaContabilidad(), libros_);

        // Archivo > NIF de la empresa: uno mal escrito o que no cuadra con su control se
        // rechaza sin tocar nada y el diálogo vuelve con lo tecleado; uno bueno se guarda
        // normalizado, con el epígrafe del IAE.
        QVERIFY(a.ventana->seleccionarEmpresa(3));
        QVERIFY(a.ventana->statusBar()->currentMessage().contains(QStringLiteral("NIF B50987650")));
        QStringList vuelve;
        const QStringList tecleados{"B5", "B50111222", "b-50 111 228"};
        a.interfaz.guion = [&](QDialog& d) {
            auto* nif = d.findChild<QLineEdit*>(QStringLiteral("txtNif"));
            vuelve << nif->text();
            nif->setText(tecleados.value(vuelve.size() - 1));
            d.findChild<QLineEdit*>(QStringLiteral("txtIae"))->setText(QStringLiteral("6423"));
            d.accept();
        };
        a.ventana->editarNif();
        QCOMPARE(vuelve, (QStringList{"B50987650", "B5", "B50111222"}));
        QCOMPARE(a.interfaz.mensajes.size(), size_t(3));
        QVERIFY(a.ventana->statusBar()->currentMessage().contains(QStringLiteral("NIF B50111228")));
    }

    // Archivo > Importar… y Comprobar libros…: el mismo mensaje que la orden, en un cuadro.
    void importaYComprueba() {
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        const QString libros = dir_.filePath(QStringLiteral("importados.db"));
        QVERIFY(a.ventana->crearEjemplo(libros));
        const QString entrada = dir_.filePath(QStringLiteral("nuevo.journal"));
        const QByteArray bueno = "2024-03-01 Venta\n    5700001  10\n    7000001\n";
        const auto importar = [&](const QByteArray& texto) {
            QFile f(entrada);
            if (!f.open(QIODevice::WriteOnly) || f.write(texto) != texto.size()) return false;
            f.close();
            return a.ventana->importar(entrada, 9);
        };
        QVERIFY(!importar(bueno + "\n2024-03-02 Mal\n    5700001  10\n    7000001  -9\n"));
        QCOMPARE(a.interfaz.mensajes.back().texto,
                 entrada + QStringLiteral(", línea 5: el asiento de esta línea no cuadra: debe "
                                          "10,00, haber 9,00"));
        QVERIFY(!a.ventana->seleccionarEmpresa(9));
        QVERIFY(importar(bueno));
        QVERIFY(a.interfaz.mensajes.back().texto.contains(u"1 asiento y 2 apuntes importados"));
        QCOMPARE(a.ventana->empresaSeleccionada(), 9L);
        QVERIFY(a.ventana->comprobarLibros(false));
        QVERIFY(
            a.interfaz.mensajes.back().texto.contains(u"Comprobados 1 asiento y 2 apuntes: "
                                                      u"sin problemas."));
        Conexion::abrir(libros)->Execute(
            QStringLiteral("UPDATE Cuenta SET Debe03Euros = '1,00' WHERE CodEmpresa = 9 AND "
                           "Codigo = '570'"));
        // Con problemas, la ventana de la comprobación los lista con dónde están; cerrarla no
        // cambia nada.
        const auto comprobar = [&](bool reparar, bool confirmar) {
            a.interfaz.dialogosMostrados.clear();
            a.interfaz.guion = [&, reparar, confirmar](QDialog& d) {
                if (auto* c = qobject_cast<DialogoComprobacion*>(&d)) {
                    QCOMPARE(c->lista()->rowCount(), 1);
                    QCOMPARE(c->lista()->item(0, 0)->text(), QStringLiteral("Cuenta 570"));
                    QCOMPARE(c->lista()->item(0, 1)->text(),
                             QStringLiteral("Cuenta 570, debe de marzo en euros: guarda 1,00 y "
                                            "debería valer 10,00"));
                    QVERIFY(c->findChild<QLabel*>(QStringLiteral("lblResumen"))
                                ->text()
                                .endsWith(u"1 problema."));
                    captura(*c, QStringLiteral("comprobacion"));
                    if (reparar) c->botonReparar()->click();
                } else if (auto* m = qobject_cast<QMessageBox*>(&d)) {
                    QCOMPARE(m->objectName(), QStringLiteral("dlgConfirmarReparacion"));
                    m->button(confirmar ? QMessageBox::Yes : QMessageBox::No)->click();
                }
            };
            return a.ventana->comprobarLibros(false);
        };
        QVERIFY(!comprobar(false, false));
        QCOMPARE(a.interfaz.dialogosMostrados, QStringList{"dlgComprobacion"});
        // Reparar pregunta antes; con «No» los libros siguen igual.
        QVERIFY(!comprobar(true, false));
        QCOMPARE(a.interfaz.dialogosMostrados,
                 (QStringList{"dlgComprobacion", "dlgConfirmarReparacion"}));
        QCOMPARE(Conexion::abrir(libros)
                     ->valor(QStringLiteral("SELECT Debe03Euros FROM Cuenta WHERE CodEmpresa = 9 "
                                            "AND Codigo = '570'"))
                     .toString(),
                 QStringLiteral("1,00"));
        QVERIFY(comprobar(true, true));
        QVERIFY2(a.interfaz.mensajes.back().texto.endsWith(u"sin problemas; 1 columna reparada."),
                 qPrintable(a.interfaz.mensajes.back().texto));
        a.interfaz.guion = nullptr;
        QVERIFY(a.ventana->comprobarLibros(false));
    }

    // Los cuadros de Qt (abrir, guardar, botones estándar) en español: las traducciones de Qt se
    // cargan al arrancar.
    void textosDeQtEnEspanol() {
        QVERIFY2(ponerIdiomaEspanol(*QCoreApplication::instance()),
                 "Faltan las traducciones de Qt (qt6-translations-l10n)");
        QDialogButtonBox botones(QDialogButtonBox::Cancel);
        QCOMPARE(botones.button(QDialogButtonBox::Cancel)->text().remove(u'&'),
                 QStringLiteral("Cancelar"));
        QFileDialog dialogo;
        dialogo.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialogo.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text().remove(u'&'),
                 QStringLiteral("Nombre de fichero:"));
    }

    // Ayuda > Manual: el manual en una ventana del programa, con todas sus imágenes; Acerca de
    // dice la versión.
    void manualYVersion() {
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        a.config.helpPath = QStringLiteral(ORVO_MANUAL_DIR "/index.html");
        a.ventana = std::make_unique<VentanaPrincipal>(a.interfaz, a.grabador, a.config);
        QAction* accion = a.ventana->findChild<QAction*>(QStringLiteral("mnuManual"));
        QVERIFY(accion && accion->isEnabled());
        accion->trigger();
        VentanaManual* manual = a.ventana->ventanaManual();
        QVERIFY(manual && manual->isVisible());
        QVERIFY(
            manual->visor()->toPlainText().contains(u"Primeros pasos con los libros de ejemplo"));
        // Cada página enlazada existe y cada imagen que nombra está en el manual.
        QDir carpeta(QStringLiteral(ORVO_MANUAL_DIR));
        const QStringList paginas = carpeta.entryList({QStringLiteral("*.html")});
        QVERIFY(paginas.size() >= 6);
        static const QRegularExpression enlace(
            QStringLiteral("(?:src|href)=\"([^\"#:]+)[#\"]"));
        for (const QString& pagina : paginas) {
            QFile f(carpeta.filePath(pagina));
            QVERIFY(f.open(QIODevice::ReadOnly));
            for (const auto& m : enlace.globalMatch(QString::fromUtf8(f.readAll())))
                QVERIFY2(QFileInfo::exists(carpeta.filePath(m.captured(1))),
                         qPrintable(pagina + QStringLiteral(": ") + m.captured(1)));
        }
        for (const QString& op : cInformes::operaciones())
            if (!op.endsWith(u"Comp") && op != u"ImprimirFacturasRecibidas" &&
                op != u"ImprimirPresupuestoAnual" && op != u"ImprimirEpigrafes")
                QVERIFY2(
                    QFileInfo::exists(carpeta.filePath(QStringLiteral("imagenes/%1.png").arg(op))),
                    qPrintable(op));
        // La misma ventana la segunda vez.
        accion->trigger();
        QCOMPARE(a.ventana->ventanaManual(), manual);

        a.interfaz.mensajes.clear();
        a.ventana->findChild<QAction*>(QStringLiteral("mnuAcercaDe"))->trigger();
        QCOMPARE(a.interfaz.mensajes.size(), size_t(1));
        QVERIFY2(a.interfaz.mensajes.back().texto.startsWith(
                     QStringLiteral("Orvo Contabilidad, versión ") + versionPrograma()),
                 qPrintable(a.interfaz.mensajes.back().texto));
    }

    // Cada informe en un submenú de Informes, que solo se puede pedir con una base abierta
    // (abierta, cada uno abre su diálogo: pasaEmpresaYMonedaAlDialogo).
    void menuConTodosLosInformes() {
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        a.ventana->lanzarInforme(QStringLiteral("ImprimirLibroDiario"));
        QCOMPARE(a.interfaz.mensajes.size(), size_t(1));
        QVERIFY(a.interfaz.mensajes.back().texto.contains(QStringLiteral("Abra antes")));
        QCOMPARE(a.interfaz.mensajes.back().titulo, QStringLiteral("Orvo Contabilidad"));
        for (const QString& op : cInformes::operaciones()) {
            QAction* accion = a.ventana->accionInforme(op);
            QVERIFY2(accion && !accion->isEnabled(), qPrintable(op));
            auto* menu = qobject_cast<QMenu*>(accion->parent());
            QCOMPARE(qobject_cast<QMenu*>(menu->parent())->title(), QStringLiteral("&Informes"));
        }
    }

    void archivosQueNoSonDeContabilidad_data() {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<QString>("texto");
        QTest::newRow("no existe") << QByteArray() << "No existe el archivo";
        QTest::newRow("texto") << QByteArray("hola, no soy una base") << "No se puede abrir";
        QTest::newRow("otra base") << QByteArray("sqlite") << "no es una base de contabilidad";
    }
    void archivosQueNoSonDeContabilidad() {
        QFETCH(QByteArray, contenido);
        QFETCH(QString, texto);
        const QString ruta =
            dir_.filePath(QStringLiteral("malo-%1.db").arg(QTest::currentDataTag()));
        if (contenido == "sqlite") {
            auto con = Conexion::abrir(ruta, true);
            Esquemas::crearInformes(*con);
        } else if (!contenido.isEmpty()) {
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenido);
        }
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        QVERIFY(a.ventana->abrirContabilidad(libros_));
        QVERIFY(!a.ventana->abrirContabilidad(ruta));
        QCOMPARE(a.interfaz.mensajes.size(), size_t(1));
        QVERIFY2(a.interfaz.mensajes.back().texto.contains(texto),
                 qPrintable(a.interfaz.mensajes.back().texto));
        QCOMPARE(a.interfaz.mensajes.back().icono, Icono::Exclamacion);
        QCOMPARE(a.interfaz.pitidos, 1);
        // La que estaba abierta sigue abierta, con sus empresas.
        QCOMPARE(a.ventana->rutaContabilidad(), libros_);
        QCOMPARE(a.ventana->findChild<QTableWidget*>(QStringLiteral("lstEmpresas"))->rowCount(), 3);
    }

    // El diálogo recibe la empresa elegida en la ventana y la moneda de trabajo, y la operación
    // vacía la tabla de trabajo al cerrarse.
    void pasaEmpresaYMonedaAlDialogo_data() {
        QTest::addColumn<bool>("pesetas");
        QTest::newRow("euros") << false;
        QTest::newRow("pesetas") << true;
    }
    void pasaEmpresaYMonedaAlDialogo() {
        QFETCH(bool, pesetas);
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        QVERIFY(a.ventana->abrirContabilidad(libros_));
        QVERIFY(a.ventana->seleccionarEmpresa(2));
        a.ventana->setTrabajarConPesetas(pesetas);
        for (const QString& op : cInformes::operaciones()) {
            long empresa = -1;
            std::optional<bool> euros;
            a.interfaz.guion = [&](QDialog& d) {
                auto* f = qobject_cast<FormularioInforme*>(&d);
                for (QComboBox* c : f->findChildren<QComboBox*>())
                    if (empresa == -1 && c->objectName().startsWith(QStringLiteral("cbo")) &&
                        c->currentData().isValid())
                        empresa = c->currentData().toLongLong();
                for (QCheckBox* c : f->findChildren<QCheckBox*>())
                    if (c->text() == QStringLiteral("Importes en euros")) euros = c->isChecked();
                if (!pesetas) captura(*f, op);
                f->botonCancelar()->click();
            };
            a.ventana->accionInforme(op)->trigger();
            QVERIFY2(empresa == 2, qPrintable(op));
            if (euros) QCOMPARE(*euros, !pesetas);
            if (!a.interfaz.mensajes.empty())
                QFAIL(qPrintable(op + QStringLiteral(": ") + a.interfaz.mensajes.front().texto));
        }
    }

    // El tabulador recorre los diálogos como se leen: la lista de subcuentas del desglose tras
    // su periodo, la empresa B de los comparativos (un solo diálogo para los dos) tras la A.
    void ordenDelTabulador_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("despues");
        // clang-format off
        QTest::newRow("desglose") << "ImprimirDesgloseSubCuenta" << "dtpLibroMayor1" << "lstInfSubCuentas";
        QTest::newRow("situación comparativo") << "ImprimirBalanceSituacionComp" << "cboBalance0" << "cboBalance1";
        // clang-format on
    }
    void ordenDelTabulador() {
        QFETCH(QString, operacion);
        QFETCH(QString, antes);
        QFETCH(QString, despues);
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        QVERIFY(a.ventana->abrirContabilidad(libros_));
        QVERIFY(a.ventana->seleccionarEmpresa(2));
        QStringList cadena;
        a.interfaz.guion = [&](QDialog& d) {
            for (QWidget* w = d.nextInFocusChain(); w != &d; w = w->nextInFocusChain())
                if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() &&
                    !w->objectName().startsWith(u"qt_"))
                    cadena << w->objectName();
            static_cast<FormularioInforme&>(d).botonCancelar()->click();
        };
        a.ventana->lanzarInforme(operacion);
        QVERIFY2(cadena.indexOf(antes) >= 0, qPrintable(cadena.join(u' ')));
        QVERIFY2(cadena.indexOf(despues) == cadena.indexOf(antes) + 1,
                 qPrintable(cadena.join(u' ')));
    }

    // Un informe pedido justo después de cualquier otro, en la misma ventana y con el mismo
    // motor, da las mismas filas, fórmulas y mensajes que pedido solo. El primer ejercicio de
    // seis meses deja huecos en las fórmulas del presupuesto (7 a 12).
    void informeTrasInformeComoSolo() {
        const QString libros = dir_.filePath(QStringLiteral("seguidos.db"));
        LibrosEjemplo::crear(libros);
        Conexion::abrir(libros)->Execute(
            QStringLiteral("UPDATE Empresa SET FechaFin = '20231231' WHERE IDEmpresa = 3"));
        const QList<Peticion>& peticiones = prueba::peticionesEjemplo();
        QCOMPARE(peticiones.size(), cInformes::operaciones().size());
        QList<QJsonObject> solos;
        for (const Peticion& p : peticiones) {
            Anfitrion solo(dir_.filePath(QStringLiteral("app")));
            QVERIFY(solo.ventana->abrirContabilidad(libros));
            solos.append(solo.pedir(p));
            QVERIFY2(solos.last()["filas"].toArray().size() > 1, p.operacion);
            QVERIFY2(solos.last()["mensajes"].toArray().isEmpty(),
                     qPrintable(QJsonDocument(solos.last()["mensajes"].toArray()).toJson()));
        }
        Anfitrion a(dir_.filePath(QStringLiteral("app")));
        QVERIFY(a.ventana->abrirContabilidad(libros));
        int anterior = -1;
        for (const int i : circuito(int(peticiones.size()))) {
            if (a.pedir(peticiones[i]) != solos[i])
                QFAIL(qPrintable(QStringLiteral("%1 tras %2 no es como solo")
                                     .arg(QLatin1String(peticiones[i].operacion),
                                          anterior < 0 ? QStringLiteral("nada")
                                                       : peticiones[anterior].operacion)));
            anterior = i;
        }
    }
};

QTEST_MAIN(PruebaVentana)
#include "prueba_ventana.moc"
