// Archivo > Importar… con widgets de verdad: la muestra de las primeras líneas tal como se leen
// (codificación y columnas reconocidas), una empresa nueva con sus cifras de subcuenta en los
// libros abiertos y unos libros nuevos que quedan abiertos.
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "AnfitrionPrueba.h"
#include "Conexion.h"
#include "ConfiguracionAnfitrion.h"
#include "DialogoImportar.h"
#include "Ejecutor.h"
#include "InterfazQt.h"
#include "MotorInformes.h"
#include "VentanaPrincipal.h"

using namespace orvo;

class PruebaDialogoImportar : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString escribir(const QString& nombre, const QByteArray& contenido) {
        const QString ruta = dir_.filePath(nombre);
        QFile f(ruta);
        if (f.open(QIODevice::WriteOnly)) f.write(contenido);
        return ruta;
    }

  private slots:
    void empresaNuevaEnLosLibrosAbiertos() {
        AnfitrionPrueba a(dir_.filePath(QStringLiteral("app")));
        const QString libros = dir_.filePath(QStringLiteral("abiertos.db"));
        QVERIFY(a.ventana->crearEjemplo(libros));
        const QString csv = escribir(
            QStringLiteral("latin1.csv"),
            "Fecha;N\xBA asiento;Subcuenta;Concepto;Debe;Haber;Descripci\xF3n\n"
            "05/01/2024;1;43000001;Caf\xE9;12,50;;Se\xF1or\n"
            "05/01/2024;1;70000001;Caf\xE9;;12,50;Ventas\n");
        QString muestra, columnas;
        a.interfaz.guion = [&](QDialog& d) {
            auto& dialogo = static_cast<DialogoImportar&>(d);
            QVERIFY(d.findChild<QRadioButton*>(QStringLiteral("optAbiertos"))->isChecked());
            d.findChild<QLineEdit*>(QStringLiteral("txtEntrada"))->setText(csv);
            dialogo.actualizarMuestra();
            columnas = d.findChild<QLabel*>(QStringLiteral("lblMuestra"))->text();
            muestra = d.findChild<QPlainTextEdit*>(QStringLiteral("txtMuestra"))->toPlainText();
            auto* empresa = d.findChild<QComboBox*>(QStringLiteral("cboEmpresa"));
            QVERIFY(empresa->count() > 1);  // la nueva y las de los libros de ejemplo
            empresa->setCurrentIndex(0);
            d.findChild<QSpinBox*>(QStringLiteral("spnEmpresa"))->setValue(40);
            d.findChild<QLineEdit*>(QStringLiteral("txtNombre"))->setText(QStringLiteral("Café Peña"));
            d.findChild<QSpinBox*>(QStringLiteral("spnDigitos"))->setValue(8);
            d.accept();
        };
        a.ventana->elegirArchivoImportar();
        QVERIFY2(columnas.contains(u"Codificación: Windows-1252"), qPrintable(columnas));
        QVERIFY2(columnas.contains(u"Asiento ← Nº asiento, Cuenta ← Subcuenta"), qPrintable(columnas));
        QVERIFY2(muestra.contains(u"05/01/2024;1;43000001;Café;12,50;;Señor"), qPrintable(muestra));
        QVERIFY2(a.interfaz.mensajes.back().texto.contains(
                     u"1 asiento y 2 apuntes importados; 13 cuentas creadas; empresa creada; "
                     u"leído como Windows-1252."),
                 qPrintable(a.interfaz.mensajes.back().texto));
        QCOMPARE(a.ventana->empresaSeleccionada(), 40L);
        auto con = Conexion::abrir(libros);
        QCOMPARE(con->valor(QStringLiteral("SELECT Nombre || '/' || DesgloseSubCuentas FROM "
                                           "Empresa WHERE IDEmpresa = 40"))
                     .toString(),
                 QStringLiteral("Café Peña/8"));
        QCOMPARE(con->valor(QStringLiteral("SELECT Descripcion FROM Cuenta WHERE CodEmpresa = 40 "
                                           "AND Codigo = '43000001'"))
                     .toString(),
                 QStringLiteral("Señor"));
    }

    void librosNuevosQuedanAbiertos() {
        AnfitrionPrueba a(dir_.filePath(QStringLiteral("app")));
        const QString diario = escribir(QStringLiteral("nuevo.journal"),
                                        "2024-03-01 Venta\n    5700001  10\n    7000001\n");
        const QString libros = dir_.filePath(QStringLiteral("nuevos.db"));
        a.interfaz.guion = [&](QDialog& d) {
            d.findChild<QLineEdit*>(QStringLiteral("txtEntrada"))->setText(diario);
            static_cast<DialogoImportar&>(d).actualizarMuestra();
            QVERIFY(d.findChild<QLabel*>(QStringLiteral("lblMuestra"))->text().contains(u"Diario de texto"));
            d.findChild<QRadioButton*>(QStringLiteral("optNuevos"))->setChecked(true);
            d.findChild<QLineEdit*>(QStringLiteral("txtLibros"))->setText(libros);
            QVERIFY(!d.findChild<QComboBox*>(QStringLiteral("cboEmpresa"))->isEnabled());
            d.accept();
        };
        a.ventana->elegirArchivoImportar();
        QVERIFY2(a.interfaz.mensajes.back().texto.contains(u"1 asiento y 2 apuntes importados"),
                 qPrintable(a.interfaz.mensajes.back().texto));
        QCOMPARE(a.ventana->rutaContabilidad(), libros);
        QCOMPARE(a.ventana->empresaSeleccionada(), 1L);
    }
};

QTEST_MAIN(PruebaDialogoImportar)
#include "prueba_dialogo_importar.moc"
