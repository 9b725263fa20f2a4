// De punta a punta con la orden orvo-informes sobre los libros de ejemplo: el diálogo de
// opciones de impresión lleva el informe al archivo, lo cancela o deja ver el error del motor.
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "Apoyo.h"
#include "Moneda.h"
#include "OrdenPrueba.h"

using namespace orvo;
using namespace orvo::prueba;

class PruebaImpresionEjecutor : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString libros_;

    Ejecucion ejecutar(QStringList args) {
        args << "--contabilidad" << libros_ << "--ruta" << dir_.filePath(QStringLiteral("app"));
        return ejecutarOrden(args, dir_.filePath(QStringLiteral("volcado.json")));
    }

  private slots:
    void initTestCase() {
        libros_ = dir_.filePath(QStringLiteral("LibrosEjemplo.db"));
        QCOMPARE(ejecutarOrden({QStringLiteral("ejemplo"), libros_}).codigo, 0);
    }

    void diarioConSumaYSigueEnPdf() {
        const QString pdf = dir_.filePath(QStringLiteral("diario.pdf"));
        const Ejecucion s = ejecutar({"ImprimirLibroDiario", "--empresa", "1", "--control",
                                      "chkTipoDiario=1", "--destino", "archivo", "--archivo", pdf});
        QCOMPARE(s.codigo, 0);
        QVERIFY(s.plantilla().endsWith(QStringLiteral("/infCONT_LibroDiario_2.rpt")));
        QCOMPARE(s.informe().value("Destination").toInt(), 2);
        QCOMPARE(s.informe().value("PrintFileName").toString(), pdf);
        const QStringList paginas = textoPdf(pdf);
        QVERIFY(paginas.size() > 1);
        QVERIFY(paginas.first().contains(QStringLiteral("<MONCAYO> Almacenes Moncayo, S.L.")));
        for (int i = 0; i < paginas.size(); ++i)
            QCOMPARE(paginas[i].contains(QStringLiteral("Suma y sigue")), i + 1 < paginas.size());
        QVERIFY(paginas.last().contains(QStringLiteral("Total del diario")));
    }

    // La base de informes lejos de --ruta: el motor lee la que el componente acaba de escribir,
    // con sus filas y sus totales, y no un Informes.mdb vacío de la carpeta de la aplicación.
    void informesFueraDeLaRuta_data() {
        // clang-format off
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("clave");    // columna de texto que se busca de cada fila
        QTest::addColumn<QString>("importe");  // columna cuya suma es el total impreso
        QTest::addColumn<QString>("total");    // rótulo de la fila del total
        QTest::newRow("diario") << "ImprimirLibroDiario" << "Asiento" << "Debe" << "Total del diario";
        QTest::newRow("sumas y saldos") << "ImprimirBalanceSumasySaldos" << "Codigo" << "Debe" << "Totales";
        QTest::newRow("emitidas") << "ImprimirFacturasEmitidas" << "NumFactura" << "CuotaIVA" << "Totales";
        // clang-format on
    }
    void informesFueraDeLaRuta() {
        QFETCH(QString, operacion);
        QFETCH(QString, clave);
        QFETCH(QString, importe);
        QFETCH(QString, total);
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("propia")));
        const QString pdf = dir_.filePath(QStringLiteral("fuera.pdf"));
        const Ejecucion s = ejecutar({operacion, "--empresa", "1", "--informes",
                                      dir_.filePath(QStringLiteral("propia/informes-ana.db")),
                                      "--destino", "archivo", "--archivo", pdf});
        QCOMPARE(s.codigo, 0);
        const QJsonArray filas = s.volcado.value("filas").toArray();
        QVERIFY(filas.size() > 3);
        const QString texto = textoPdf(pdf).join(u'\n');
        Moneda suma;
        for (const QJsonValue& f : filas) {
            const QString valor = f.toObject().value(clave).toString();
            QVERIFY2(valor.isEmpty() || texto.contains(valor), qPrintable(valor));
            suma += Moneda::deTexto(f.toObject().value(importe).toString()).value_or(Moneda());
        }
        QVERIFY(!suma.esCero());
        const QRegularExpression linea(QRegularExpression::escape(total) + QStringLiteral(".*"));
        QVERIFY2(linea.match(texto).captured().contains(suma.formatear()),
                 qPrintable(suma.formatear()));
    }

    void cancelarLaImpresion() {
        const QString pdf = dir_.filePath(QStringLiteral("cancelado.pdf"));
        const Ejecucion s = ejecutar({"ImprimirSubcuentas", "--empresa", "1", "--destino",
                                      "archivo", "--archivo", pdf, "--cancelar-impresion"});
        QCOMPARE(s.codigo, 1);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(s.volcado.value("informe").isNull());
    }

    void errorDelMotorAlUsuario() {
        const Ejecucion s = ejecutar({"ImprimirSubcuentas", "--empresa", "1", "--destino",
                                      "archivo", "--archivo", "/no/existe/x.pdf"});
        QVERIFY2(!s.error.contains(QStringLiteral("20520")), qPrintable(s.error));
        QVERIFY(
            s.error.contains(QStringLiteral("No se puede escribir el archivo /no/existe/x.pdf")));
        QVERIFY(s.codigo != 0);
    }

    // Una extensión que el motor no escribe es un error de uso: no se construye nada ni se
    // escribe ningún archivo.
    void extensionQueNoSeEscribe_data() {
        QTest::addColumn<QString>("archivo");
        QTest::newRow("texto") << "diario.txt";
        QTest::newRow("sin extensión") << "diario";
    }
    void extensionQueNoSeEscribe() {
        QFETCH(QString, archivo);
        const QString ruta = dir_.filePath(archivo);
        const Ejecucion s = ejecutar({"ImprimirLibroDiario", "--empresa", "1", "--archivo", ruta});
        QCOMPARE(s.codigo, 2);
        QVERIFY2(
            s.error.startsWith(QStringLiteral("No se sabe escribir un informe en %1: el "
                                              "nombre debe acabar en .pdf, .csv, .html o .xlsx")
                                   .arg(ruta)),
            qPrintable(s.error));
        QVERIFY(!QFile::exists(ruta));
    }

    // Una plantilla de la carpeta de la aplicación es de quien la usa: cambiada, se imprime tal
    // como está y sigue así después; rota, la impresión falla con el error del motor.
    void plantillaDeLaCarpetaTalComoEsta_data() {
        QTest::addColumn<QString>("texto");  // lo que se pone en lugar de una línea
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("esperado");  // expresión que buscar en el PDF o en el error
        QTest::newRow("cambiada") << "titulo = Nombre que le doy yo" << 0 << "Nombre que le doy yo";
        QTest::newRow("rota") << "anchura = 3" << 1
                              << "infCONT_Subcuentas.rpt no es válida .*clave "
                                 "desconocida «anchura»";
    }
    void plantillaDeLaCarpetaTalComoEsta() {
        QFETCH(QString, texto);
        QFETCH(int, codigo);
        QFETCH(QString, esperado);
        QTemporaryDir app;
        const QString rpt = app.filePath(QStringLiteral("infCONT_Subcuentas.rpt"));
        QVERIFY(QFile::copy(QStringLiteral(ORVO_PLANTILLAS_DIR "/infCONT_Subcuentas.rpt"), rpt));
        QFile f(rpt);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QByteArray propia = f.readAll().replace("titulo = Descripción", texto.toUtf8());
        QVERIFY(f.resize(0) && f.write(propia) == propia.size());
        f.close();
        const QString pdf = dir_.filePath(QStringLiteral("subcuentas-propia.pdf"));
        const Ejecucion s = ejecutarOrden({"ImprimirSubcuentas", "--empresa", "1", "--contabilidad",
                                           libros_, "--ruta", app.path(), "--archivo", pdf});
        QCOMPARE(s.codigo, codigo);
        const QString salida = codigo == 0 ? textoPdf(pdf).join(u'\n') : s.error;
        QVERIFY2(salida.contains(QRegularExpression(esperado)), qPrintable(salida));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), propia);
    }

    void pantallaSinEsperar() {
        const Ejecucion s = ejecutar({"ImprimirEpigrafes", "--empresa", "1", "--control",
                                      "chkDocumento(1)=1", "--destino", "pantalla"});
        QCOMPARE(s.codigo, 0);
        QCOMPARE(s.informe().value("Destination").toInt(), 0);
    }
};

QTEST_MAIN(PruebaImpresionEjecutor)
#include "prueba_impresion_ejecutor.moc"
