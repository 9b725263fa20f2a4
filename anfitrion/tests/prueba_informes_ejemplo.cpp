// Los catorce informes sobre los libros de ejemplo, en euros y en pesetas, por el mismo camino
// que la línea de órdenes: orvo-informes ejemplo, y después cada operación hasta el PDF. Con
// los mismos libros en un servidor, cada informe da las mismas filas y fórmulas.
#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include "Conexion.h"
#include "Moneda.h"
#include "OrdenPrueba.h"
#include "ServidorPruebas.h"

using namespace orvo;

namespace {

Moneda importe(const QJsonValue& v) {
    return Moneda::deTexto(v.toString()).value_or(Moneda());
}

// Valor de una fórmula "Nombre = 'valor'" del informe.
QString formula(const QJsonObject& volcado, const QString& nombre) {
    const QJsonObject formulas =
        volcado[QStringLiteral("informe")][QStringLiteral("formulas")].toObject();
    for (const QJsonValue& f : formulas) {
        const QString t = f.toString();
        if (t.section(u'=', 0, 0).trimmed() == nombre)
            return t.section(u'=', 1).trimmed().remove(u'\'').remove(u'"');
    }
    return {};
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

    // Huella de las columnas que la 129 toca al imprimir el balance: Cuenta y Estructura.
    QByteArray huellaTotales() {
        auto con = Conexion::abrir(libros_);
        QCryptographicHash h(QCryptographicHash::Sha256);
        for (const char* tabla : {"Cuenta", "Estructura"}) {
            Recordset rs = con->Execute(
                QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(tabla)));
            for (; !rs.Eof(); rs.MoveNext())
                for (int c = 0; c < rs.columnas(); ++c)
                    h.addData(rs.Fields(c).toString().toUtf8() + '|');
        }
        return h.result().toHex();
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

    // Los catorce informes con las opciones de cada uno, en euros y en pesetas.
    static void filasInformes() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QStringList>("controles");
        QTest::addColumn<bool>("pesetas");
        struct Fila {
            const char* operacion;
            int empresa;
            QStringList controles;
        };
        const Fila filas[] = {
            {"ImprimirEpigrafes", 1, {"chkDocumento(1)=1"}},
            {"ImprimirSubcuentas", 3, {"chkSubcuentas=1"}},
            {"ImprimirLibroDiario", 1, {"dtpLibroDiario(1)=2023-03-01"}},
            {"ImprimirLibroMayor", 2, {"txtLibroMayor(0)=4300001", "txtLibroMayor(1)=4300005"}},
            {"ImprimirDesgloseSubCuenta", 1, {"lstInfSubCuentas=5720001"}},
            {"ImprimirBalanceSituacion", 1, {"chkBalance(1)=1"}},
            {"ImprimirBalanceSituacionComp", 2, {}},
            {"ImprimirFacturasRecibidas", 3, {}},
            {"ImprimirFacturasEmitidas", 1, {"optFacturas(1)=1", "txtFacturas=100"}},
            {"ImprimirBalancePYG", 3, {"chkBalance(4)=1"}},
            {"ImprimirBalancePYGComp", 2, {"chkBalance(5)=1"}},
            {"ImprimirBalanceSumasySaldos",
             1,
             {"lstBalance(0)=3,7", "chkBalance(1)=1", "chkBalance(2)=1"}},
            {"ImprimirPresupuestoAnual", 1, {"lstPresupuesto(0)=3,7"}},
            {"ImprimirPresupuesto", 3, {"txtPresupuesto(0)=6000000", "txtPresupuesto(1)=7999999"}},
        };
        for (const Fila& f : filas)
            for (const bool pesetas : {false, true})
                QTest::addRow("%s %s", f.operacion, pesetas ? "pesetas" : "euros")
                    << QString::fromLatin1(f.operacion) << f.empresa << f.controles << pesetas;
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
            QVERIFY2(
                filas[i] == esperadas[i],
                qPrintable(
                    QStringLiteral("fila %1: %2 en vez de %3")
                        .arg(i)
                        .arg(QString::fromUtf8(QJsonDocument(filas[i].toObject()).toJson()),
                             QString::fromUtf8(QJsonDocument(esperadas[i].toObject()).toJson()))));
        const auto formulas = [](const QJsonObject& v) {
            return v[QStringLiteral("informe")][QStringLiteral("formulas")];
        };
        QCOMPARE(formulas(s.volcado), formulas(archivo));
        QCOMPARE(s.volcado[QStringLiteral("mensajes")], archivo[QStringLiteral("mensajes")]);
    }

    // Con el resultado del periodo en la 129, el activo es igual al patrimonio neto y pasivo.
    void balanceDeSituacionCuadra_data() {
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QStringList>("controles");
        QTest::addColumn<bool>("pesetas");
        QTest::newRow("2023 euros") << 1 << QStringList() << false;
        QTest::newRow("2024 pesetas") << 2 << QStringList() << true;
        QTest::newRow("2024 hasta mayo") << 2 << QStringList{"dtpBalance(1)=2024-05-31"} << false;
        QTest::newRow("julio a junio") << 3 << QStringList() << false;
        QTest::newRow("julio a octubre")
            << 3 << QStringList{"dtpBalance(1)=2023-10-31", "chkBalance(4)=1"} << true;
    }
    void balanceDeSituacionCuadra() {
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        QFETCH(bool, pesetas);
        const QByteArray antes = huellaTotales();
        const prueba::Ejecucion s =
            informe(QStringLiteral("ImprimirBalanceSituacion"), empresa, controles, pesetas,
                    dir_.filePath(QStringLiteral("balance")));
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        const QJsonObject& v = s.volcado;
        const QString activo = totalDeFila(v, QStringLiteral("AT"));
        const QString pasivo = totalDeFila(v, QStringLiteral("PT"));
        QVERIFY(!activo.isEmpty());
        QCOMPARE(pasivo, activo);
        QVERIFY(importe(activo) > Moneda::deEntero(10000));
        // La 129 del informe lleva el resultado, pero los libros quedan como estaban.
        QVERIFY(!totalDeFila(v, QStringLiteral("PA.1.7")).isEmpty());
        QCOMPARE(huellaTotales(), antes);
    }

    // Sumas y saldos: el total del debe es el del haber.
    void sumasYSaldosCuadra_data() {
        QTest::addColumn<int>("empresa");
        QTest::addColumn<bool>("pesetas");
        for (int e = 1; e <= 3; ++e) {
            QTest::addRow("empresa %d euros", e) << e << false;
            QTest::addRow("empresa %d pesetas", e) << e << true;
        }
    }
    void sumasYSaldosCuadra() {
        QFETCH(int, empresa);
        QFETCH(bool, pesetas);
        const prueba::Ejecucion s = informe(QStringLiteral("ImprimirBalanceSumasySaldos"), empresa,
                                            {}, pesetas, dir_.filePath(QStringLiteral("sumas")));
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        const QJsonObject& v = s.volcado;
        const QString debe = formula(v, QStringLiteral("TotalDebe"));
        QVERIFY(importe(debe) > Moneda::deEntero(100000));
        QCOMPARE(formula(v, QStringLiteral("TotalHaber")), debe);
        QCOMPARE(importe(formula(v, QStringLiteral("TotalSaldo"))), Moneda());
    }
};

QTEST_GUILESS_MAIN(PruebaInformesEjemplo)
#include "prueba_informes_ejemplo.moc"
