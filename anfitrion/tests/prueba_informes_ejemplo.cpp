// Los informes sobre los libros de ejemplo, en euros y en pesetas, por el mismo camino
// que la línea de órdenes: orvo-informes ejemplo, y después cada operación hasta el PDF. Con
// los mismos libros en un servidor, cada informe da las mismas filas y fórmulas.
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include "Conexion.h"
#include "Moneda.h"
#include "OrdenPrueba.h"
#include "PeticionesEjemplo.h"
#include "ServidorPruebas.h"

using namespace orvo;
using prueba::formula;

namespace {

Moneda importe(const QString& texto) {
    return Moneda::deTexto(texto).value_or(Moneda());
}

QString totalDeFila(const QJsonObject& volcado, const QString& codigo) {
    for (const QJsonValue& f : volcado[QStringLiteral("filas")].toArray())
        if (f[QStringLiteral("Codigo")].toString() == codigo)
            return f[QStringLiteral("Total")].toString();
    return {};
}

}  // namespace

class PruebaInformesEjemplo : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString libros_;
    QString servidor_;                      // los mismos libros en el servidor, si lo hay
    QHash<QString, QJsonObject> volcados_;  // de cada fila de imprimeSinErrores

    static prueba::Ejecucion ejecutar(const QStringList& argumentos, const QString& volcado = {}) {
        return prueba::ejecutarOrden(argumentos, volcado, 300000);
    }

    // Huella de las tablas que la 129 tocaría al imprimir el balance.
    QByteArray huellaTotales() {
        return prueba::huella(libros_, {QStringLiteral("Cuenta"), QStringLiteral("Estructura")});
    }

    // Lanza una operación sobre los libros de ejemplo hasta el PDF 'base'.pdf y lee su volcado.
    prueba::Ejecucion informe(const QString& operacion, int empresa, const QStringList& controles,
                              bool pesetas, const QString& base, const QString& libros = {}) {
        QStringList args{operacion,
                         "--contabilidad",
                         libros.isEmpty() ? libros_ : libros,
                         "--empresa",
                         QString::number(empresa),
                         "--ruta",
                         dir_.filePath(QStringLiteral("app")),
                         "--archivo",
                         base + ".pdf"};
        if (pesetas) args << QStringLiteral("--pesetas");
        for (const QString& c : controles) args << QStringLiteral("--control") << c;
        return ejecutar(args, base + QStringLiteral(".json"));
    }

    // Cada informe con sus opciones, en euros y en pesetas.
    static void filasInformes() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QStringList>("controles");
        QTest::addColumn<bool>("pesetas");
        for (const prueba::Peticion& p : prueba::peticionesEjemplo())
            for (const bool pesetas : {false, true})
                QTest::addRow("%s %s", p.operacion, pesetas ? "pesetas" : "euros")
                    << QString::fromLatin1(p.operacion) << p.empresa << p.controles << pesetas;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        libros_ = dir_.filePath(QStringLiteral("ejemplo.db"));
        const prueba::Ejecucion s = ejecutar({QStringLiteral("ejemplo"), libros_});
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        // La misma orden no pisa los libros que ya existen.
        QCOMPARE(ejecutar({QStringLiteral("ejemplo"), libros_}).codigo, 1);
        QCOMPARE(ejecutar({QStringLiteral("ejemplo")}).codigo, 2);
        if (!prueba::uriServidorPruebas().isEmpty()) {
            servidor_ = prueba::baseNuevaEnServidor(QStringLiteral("orvo_ejemplo"));
            const prueba::Ejecucion e = ejecutar({QStringLiteral("ejemplo"), servidor_});
            QVERIFY2(e.codigo == 0, qPrintable(e.error));
            QCOMPARE(ejecutar({QStringLiteral("ejemplo"), servidor_}).codigo, 1);
        }
    }

    void imprimeSinErrores_data() { filasInformes(); }
    void imprimeSinErrores() {
        QFETCH(QString, operacion);
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        QFETCH(bool, pesetas);
        const QString base =
            dir_.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
        const prueba::Ejecucion s = informe(operacion, empresa, controles, pesetas, base);
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        const QJsonObject& volcado = s.volcado;
        volcados_.insert(QString::fromLatin1(QTest::currentDataTag()), volcado);
        QVERIFY2(volcado[QStringLiteral("mensajes")].toArray().isEmpty(),
                 qPrintable(QJsonDocument(volcado[QStringLiteral("mensajes")].toArray()).toJson()));
        QVERIFY(volcado[QStringLiteral("filas")].toArray().size() > 3);
        QFile pdf(base + QStringLiteral(".pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));

        // Los niveles pedidos en la lista de seleccionados son los de las filas, y solo ellos.
        for (const QString& c : controles) {
            if (!c.startsWith(u"lst") || !c.contains(QStringLiteral("(0)="))) continue;
            QSet<QString> pedidos, vistos;
            for (const QString& n : c.section(u'=', 1).split(u',')) pedidos << n;
            for (const QJsonValue& f : volcado[QStringLiteral("filas")].toArray())
                vistos << QString::number(f[QStringLiteral("Codigo")].toString().size());
            QCOMPARE(vistos, pedidos);
        }

        // Los importes de la tabla van en la moneda pedida.
        const QString moneda = formula(volcado, QStringLiteral("TrabajarConPts"));
        if (!moneda.isEmpty())
            QCOMPARE(moneda, pesetas ? QStringLiteral("1") : QStringLiteral("0"));
    }

    // Los mismos libros en el servidor: las mismas filas de la tabla de trabajo, en el mismo
    // orden, y las mismas fórmulas.
    void mismoInformeEnElServidor_data() {
        ORVO_SALTAR_SIN_SERVIDOR();
        filasInformes();
    }
    void mismoInformeEnElServidor() {
        QFETCH(QString, operacion);
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        QFETCH(bool, pesetas);
        const QString etiqueta = QString::fromLatin1(QTest::currentDataTag());
        const QString base =
            dir_.filePath(QStringLiteral("servidor_") + etiqueta).replace(u' ', u'_');
        const prueba::Ejecucion s =
            informe(operacion, empresa, controles, pesetas, base, servidor_);
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        const QJsonObject archivo = volcados_.value(etiqueta);
        QVERIFY(!archivo.isEmpty());
        const QJsonArray filas = s.volcado[QStringLiteral("filas")].toArray();
        const QJsonArray esperadas = archivo[QStringLiteral("filas")].toArray();
        QCOMPARE(filas.size(), esperadas.size());
        for (qsizetype i = 0; i < filas.size(); ++i)
            QCOMPARE(QJsonDocument(filas[i].toObject()).toJson(QJsonDocument::Compact),
                     QJsonDocument(esperadas[i].toObject()).toJson(QJsonDocument::Compact));
        const auto formulas = [](const QJsonObject& v) {
            return v[QStringLiteral("informe")][QStringLiteral("formulas")];
        };
        QCOMPARE(formulas(s.volcado), formulas(archivo));
        QCOMPARE(s.volcado[QStringLiteral("mensajes")], archivo[QStringLiteral("mensajes")]);
    }

    // Los balances cuadran: con el resultado del periodo en la 129 (que los libros no
    // guardan), el activo es igual al patrimonio neto y pasivo; en sumas y saldos, el debe es
    // el haber.
    void balancesCuadran_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QStringList>("controles");
        QTest::addColumn<bool>("pesetas");
        const QString situacion = QStringLiteral("ImprimirBalanceSituacion"),
                      sumas = QStringLiteral("ImprimirBalanceSumasySaldos");
        QTest::newRow("2023 euros") << situacion << 1 << QStringList() << false;
        QTest::newRow("2024 pesetas") << situacion << 2 << QStringList() << true;
        QTest::newRow("2024 hasta mayo")
            << situacion << 2 << QStringList{"dtpBalance(1)=2024-05-31"} << false;
        QTest::newRow("julio a junio") << situacion << 3 << QStringList() << false;
        QTest::newRow("julio a octubre")
            << situacion << 3 << QStringList{"dtpBalance(1)=2023-10-31", "chkBalance(4)=1"} << true;
        for (int e = 1; e <= 3; ++e)
            for (const bool pesetas : {false, true})
                QTest::addRow("sumas empresa %d %s", e, pesetas ? "pesetas" : "euros")
                    << sumas << e << QStringList() << pesetas;
    }
    void balancesCuadran() {
        QFETCH(QString, operacion);
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        QFETCH(bool, pesetas);
        const QByteArray antes = huellaTotales();
        const prueba::Ejecucion s = informe(operacion, empresa, controles, pesetas,
                                            dir_.filePath(QStringLiteral("cuadra")));
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        const QJsonObject& v = s.volcado;
        QCOMPARE(huellaTotales(), antes);
        if (operacion.endsWith(u"Situacion")) {
            const QString activo = totalDeFila(v, QStringLiteral("AT"));
            QCOMPARE(totalDeFila(v, QStringLiteral("PT")), activo);
            QVERIFY(importe(activo) > Moneda::deEntero(10000));
            QVERIFY(!totalDeFila(v, QStringLiteral("PA.1.7")).isEmpty());
            return;
        }
        const QString debe = formula(v, QStringLiteral("TotalDebe"));
        QVERIFY(importe(debe) > Moneda::deEntero(100000));
        QCOMPARE(formula(v, QStringLiteral("TotalHaber")), debe);
        QCOMPARE(importe(formula(v, QStringLiteral("TotalSaldo"))), Moneda());
    }
};

QTEST_GUILESS_MAIN(PruebaInformesEjemplo)
#include "prueba_informes_ejemplo.moc"
