// Capturas para revisar a ojo: la ventana del anfitrión con los libros de ejemplo y el diálogo
// de cada informe tal como lo abre el menú. Se guardan en la carpeta de compilación.
#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "ConfiguracionAnfitrion.h"
#include "FormularioInforme.h"
#include "InterfazQt.h"
#include "MotorInformes.h"
#include "VentanaPrincipal.h"
#include "cInformes.h"

using namespace orvo;

class PruebaCapturas : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QDir salida_{QStringLiteral(ORVO_CAPTURAS_DIR)};
    InterfazGrabadora interfaz_;
    MotorInformes motor_{MotorInformes::Opciones{false, QDate(2025, 1, 31)}};
    ConfiguracionAnfitrion config_;
    std::unique_ptr<VentanaPrincipal> ventana_;

    void guardar(QWidget& w, const QString& nombre) {
        const QImage imagen = w.grab().toImage();
        QVERIFY(!imagen.isNull());
        // Pocos colores delatarían una ventana sin pintar.
        QSet<QRgb> colores;
        for (int y = 0; y < imagen.height(); y += 7)
            for (int x = 0; x < imagen.width(); x += 7) colores.insert(imagen.pixel(x, y));
        QVERIFY(colores.size() > 4);
        QVERIFY(imagen.save(salida_.filePath(nombre + QStringLiteral(".png"))));
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(salida_.mkpath(QStringLiteral(".")));
        config_.appPath = dir_.filePath(QStringLiteral("app"));
        ventana_ = std::make_unique<VentanaPrincipal>(interfaz_, motor_, config_);
        QVERIFY(ventana_->crearEjemplo(dir_.filePath(QStringLiteral("ejemplo.db"))));
    }

    void ventanaPrincipal() {
        ventana_->show();
        QVERIFY(QTest::qWaitForWindowExposed(ventana_.get()));
        guardar(*ventana_, QStringLiteral("anfitrion"));
    }

    void dialogosDeInformes_data() {
        QTest::addColumn<QString>("operacion");
        for (const QString& op : cInformes::operaciones()) QTest::newRow(qPrintable(op)) << op;
    }
    void dialogosDeInformes() {
        QFETCH(QString, operacion);
        bool mostrado = false;
        interfaz_.mensajes.clear();
        interfaz_.guion = [&](QDialog& d) {
            auto* f = qobject_cast<FormularioInforme*>(&d);
            if (!f) return;
            mostrado = true;
            guardar(*f, operacion);
            f->botonCancelar()->click();
        };
        ventana_->accionInforme(operacion)->trigger();
        if (!mostrado) QSKIP("Este informe aún no tiene diálogo");
        if (!interfaz_.mensajes.empty()) QFAIL(qPrintable(interfaz_.mensajes.front().texto));
        qInfo("Captura: %s", qPrintable(salida_.filePath(operacion + QStringLiteral(".png"))));
    }
};

QTEST_MAIN(PruebaCapturas)
#include "prueba_capturas.moc"
