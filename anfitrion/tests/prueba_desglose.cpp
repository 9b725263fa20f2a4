// Del informe a sus apuntes con la orden orvo-informes y --desde-fila: una cuenta del balance de
// sumas y saldos, del balance o del presupuesto lleva a su mayor del mismo periodo y moneda, cuyo
// saldo final es el de la fila; un apunte del mayor o una factura, a su asiento en el diario. Y
// las descripciones: una subcuenta sin la suya se imprime con la de su cuenta.
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "Conexion.h"
#include "Moneda.h"
#include "OrdenPrueba.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

Moneda importe(const QJsonObject& fila, const char* columna) {
    return Moneda::deTexto(fila.value(QLatin1String(columna)).toString()).value_or(Moneda());
}

// Posición (desde 1) de la primera fila cuya columna vale 'valor'; 0 si no hay ninguna.
int numeroDeFila(const Ejecucion& e, const QString& columna, const QString& valor) {
    const QJsonArray filas = e.volcado.value(QStringLiteral("filas")).toArray();
    for (int i = 0; i < filas.size(); ++i)
        if (filas[i].toObject().value(columna).toString().trimmed() == valor) return i + 1;
    return 0;
}

}  // namespace

class PruebaDesglose : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString libros_;

    // El informe sobre los libros de ejemplo, o sobre 'libros', sin imprimir nada.
    Ejecucion ejecutar(QStringList args, const QString& libros = {}) {
        args << "--contabilidad" << (libros.isEmpty() ? libros_ : libros) << "--ruta" << dir_.filePath(QStringLiteral("app"))
             << "--cancelar-impresion";
        return ejecutarOrden(args, dir_.filePath(QStringLiteral("volcado.json")));
    }

  private slots:
    void initTestCase() {
        libros_ = dir_.filePath(QStringLiteral("LibrosEjemplo.db"));
        QCOMPARE(ejecutarOrden({QStringLiteral("ejemplo"), libros_}).codigo, 0);
    }

    // El saldo final del mayor (el último de cada subcuenta, sumados) es el saldo de la fila, y
    // tiene las subcuentas que el mismo balance lista bajo la cuenta.
    void deUnaCuentaASuMayor_data() {
        QTest::addColumn<QStringList>("informe");  // operación y controles
        QTest::addColumn<QString>("codigo");
        const QStringList sumas{"ImprimirBalanceSumasySaldos", "--empresa", "1"};
        // clang-format off
        QTest::newRow("banco, todo el ejercicio") << (sumas + QStringList{"--control", "lstBalance(0)=7"}) << "5720001";
        QTest::newRow("cliente, un trimestre") << (sumas + QStringList{"--control", "lstBalance(0)=7", "--control", "dtpBalance(0)=2023-04-01", "--control", "dtpBalance(1)=2023-06-30"}) << "4300001";
        QTest::newRow("cuenta de tres cifras, sus subcuentas") << (sumas + QStringList{"--control", "lstBalance(0)=3,7"}) << "430";
        QTest::newRow("en pesetas") << (sumas + QStringList{"--pesetas", "--control", "lstBalance(0)=7"}) << "5720001";
        QTest::newRow("otro ejercicio") << QStringList{"ImprimirBalanceSumasySaldos", "--empresa", "3", "--control", "lstBalance(0)=7"} << "5720001";
        // clang-format on
    }
    void deUnaCuentaASuMayor() {
        QFETCH(QStringList, informe);
        QFETCH(QString, codigo);
        const Ejecucion antes = ejecutar(informe);
        QCOMPARE(antes.codigo, 1);  // --cancelar-impresion
        const int n = numeroDeFila(antes, QStringLiteral("Codigo"), codigo);
        QVERIFY2(n > 0, qPrintable(codigo));
        const QJsonObject fila = antes.volcado.value("filas").toArray()[n - 1].toObject();

        const Ejecucion s = ejecutar(informe + QStringList{"--desde-fila", QString::number(n)});
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.error.isEmpty(), qPrintable(s.error));
        QCOMPARE(s.volcado.value("tabla").toString(), QStringLiteral("Libro_Mayor"));
        QCOMPARE(s.volcado.value("desdeFila").toInt(), n);
        const QJsonArray mayor = s.volcado.value("filas").toArray();
        QVERIFY(!mayor.isEmpty());
        // Saldo final de cada subcuenta: el de su última línea.
        QMap<QString, Moneda> finales;
        for (const QJsonValue& v : mayor) {
            const QJsonObject l = v.toObject();
            QVERIFY(l.value("Codigo").toString().startsWith(codigo));
            finales[l.value("Codigo").toString()] = importe(l, "Saldo");
        }
        QStringList subcuentas;
        for (const QJsonValue& v : antes.volcado.value("filas").toArray()) {
            const QString c = v.toObject().value("Codigo").toString();
            if (c.startsWith(codigo) && c.size() == 7) subcuentas << c;
        }
        QCOMPARE(QStringList(finales.keys()), subcuentas);
        Moneda total;
        for (const Moneda& m : finales) total += m;
        QCOMPARE(total.formatear(true), importe(fila, "Saldo").formatear(true));
        // La misma moneda: sin decimales en pesetas.
        const bool pesetas = informe.contains(QStringLiteral("--pesetas"));
        QCOMPARE(mayor.first().toObject().value("Saldo").toString().contains(u','), !pesetas);
    }

    // Un apunte del mayor y una factura del libro de IVA llevan a su asiento, entero.
    void deUnApunteASuAsiento_data() {
        QTest::addColumn<QStringList>("informe");
        QTest::addColumn<QString>("columnaAsiento");
        // clang-format off
        QTest::newRow("mayor") << QStringList{"ImprimirLibroMayor", "--empresa", "1", "--control", "txtLibroMayor(0)=5720001", "--control", "txtLibroMayor(1)=5720001"} << "Asiento";
        QTest::newRow("facturas emitidas") << QStringList{"ImprimirFacturasEmitidas", "--empresa", "1"} << "NumAsiento";
        QTest::newRow("facturas recibidas") << QStringList{"ImprimirFacturasRecibidas", "--empresa", "3"} << "NumAsiento";
        // clang-format on
    }
    void deUnApunteASuAsiento() {
        QFETCH(QStringList, informe);
        QFETCH(QString, columnaAsiento);
        const Ejecucion antes = ejecutar(informe);
        const QJsonArray filas = antes.volcado.value("filas").toArray();
        QVERIFY(filas.size() > 3);
        const int n = 3;
        const QString asiento = filas[n - 1].toObject().value(columnaAsiento).toString().trimmed();
        QVERIFY(!asiento.isEmpty());
        const Ejecucion s = ejecutar(informe + QStringList{"--desde-fila", QString::number(n)});
        QVERIFY2(s.error.isEmpty(), qPrintable(s.error));
        QCOMPARE(s.volcado.value("tabla").toString(), QStringLiteral("Libro_Diario"));
        const QJsonArray diario = s.volcado.value("filas").toArray();
        QVERIFY(diario.size() >= 2);
        Moneda debe, haber;
        for (const QJsonValue& v : diario) {
            QCOMPARE(v.toObject().value("Asiento").toString().trimmed(), asiento);
            debe += importe(v.toObject(), "Debe");
            haber += importe(v.toObject(), "Haber");
        }
        QCOMPARE(debe.formatear(true), haber.formatear(true));  // el asiento entero cuadra
    }

    // Lo que no lleva a ninguna parte lo dice en una línea, sin imprimir nada; una fila que no
    // es un número es un error de uso (2).
    void filasSinDesglose_data() {
        QTest::addColumn<QStringList>("informe");
        QTest::addColumn<QString>("fila");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");
        const QStringList subcuentas{"ImprimirSubcuentas", "--empresa", "1"},
            sumas{"ImprimirBalanceSumasySaldos", "--empresa", "1"};
        const QString ninguno = QStringLiteral("La fila 1 del informe no lleva a ningún otro"),
                      uso = QStringLiteral("--desde-fila necesita un número de fila");
        // clang-format off
        QTest::newRow("fuera de la tabla") << subcuentas << "100000" << 1 << "El informe no tiene la fila 100000: tiene ";
        QTest::newRow("un listado") << subcuentas << "1" << 1 << ninguno;
        QTest::newRow("el diario") << QStringList{"ImprimirLibroDiario", "--empresa", "1"} << "1" << 1 << ninguno;
        // clang-format on
        QTest::newRow("cero") << sumas << "0" << 2 << uso;
        QTest::newRow("texto") << sumas << "primera" << 2 << uso;
    }
    void filasSinDesglose() {
        QFETCH(QStringList, informe);
        QFETCH(QString, fila);
        QFETCH(QString, mensaje);
        const Ejecucion s = ejecutar(informe + QStringList{"--desde-fila", fila});
        QTEST(s.codigo, "codigo");
        QVERIFY2(s.error.startsWith(mensaje), qPrintable(s.error));
        QVERIFY(!s.volcado.value("informe").isObject());
    }

    // Una subcuenta dada de alta sin descripción sale con la de su cuenta en el balance de
    // sumas y saldos, el diario y el mayor.
    void subcuentaSinDescripcion_data() {
        QTest::addColumn<QStringList>("informe");
        QTest::addColumn<QString>("columnaCodigo");
        QTest::addColumn<QString>("descripcion");
        // clang-format off
        QTest::newRow("sumas y saldos") << QStringList{"ImprimirBalanceSumasySaldos", "--empresa", "1", "--control", "lstBalance(0)=7"} << "Codigo" << "";
        QTest::newRow("mayor") << QStringList{"ImprimirLibroMayor", "--empresa", "1", "--control", "txtLibroMayor(0)=4300001", "--control", "txtLibroMayor(1)=4300001"} << "Codigo" << "";
        QTest::newRow("diario") << QStringList{"ImprimirLibroDiario", "--empresa", "1"} << "Descripcion" << "4300001 - ";
        // clang-format on
    }
    void subcuentaSinDescripcion() {
        QFETCH(QStringList, informe);
        QFETCH(QString, columnaCodigo);
        QFETCH(QString, descripcion);
        const QString copia = dir_.filePath(QStringLiteral("sin-descripcion.db"));
        QFile::remove(copia);
        QVERIFY(QFile::copy(libros_, copia));
        {
            auto con = Conexion::abrir(copia);
            con->Execute(
                QStringLiteral("UPDATE Cuenta SET Descripcion = '' WHERE CodEmpresa = 1 "
                               "AND Codigo = '4300001'"));
            const QString cuenta =
                con->valor(QStringLiteral("SELECT Descripcion FROM Cuenta WHERE CodEmpresa = 1 "
                                          "AND Codigo = '4300'"))
                    .toString();
            QVERIFY(!cuenta.isEmpty());
            descripcion += cuenta;
        }
        const Ejecucion s = ejecutar(informe, copia);
        bool vista = false;
        for (const QJsonValue& v : s.volcado.value("filas").toArray()) {
            const QJsonObject f = v.toObject();
            if (columnaCodigo == u"Codigo" && f.value("Codigo").toString() != u"4300001") continue;
            if (columnaCodigo == u"Descripcion" &&
                !f.value("Descripcion").toString().startsWith(u"4300001 "))
                continue;
            QCOMPARE(f.value("Descripcion").toString(), descripcion);
            vista = true;
        }
        QVERIFY(vista);
    }
};

QTEST_MAIN(PruebaDesglose)
#include "prueba_desglose.moc"
