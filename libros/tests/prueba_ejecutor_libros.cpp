// Los libros de punta a punta por el ejecutor de órdenes, como los pide el anfitrión: el mismo
// binario, los mismos controles por su nombre y el volcado de filas y fórmulas.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QDir>
#include <QTemporaryDir>

#include "DatosEmpresa.h"
#include "LibroPrueba.h"
#include "OrdenPrueba.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

// Libro de pruebas con las plantillas de los libros en su carpeta de aplicación.
struct Escenario {
    Escenario() {
        empresa = libro.empresa();
        for (const QString& p :
             QDir(QStringLiteral(ORVO_PLANTILLAS_DIR)).entryList({QStringLiteral("infCONT_*.rpt")}))
            QFile::copy(QStringLiteral(ORVO_PLANTILLAS_DIR "/") + p, libro.carpeta() + u'/' + p);
        banco = libro.cuenta(empresa, "5720001", "Banco");
        clientes = libro.cuenta(empresa, "4300001", "Cliente Uno", "B12345678");
        ventas = libro.cuenta(empresa, "7000001", "Ventas");
        iva = libro.cuenta(empresa, "4720001", "IVA soportado");
        proveedor = libro.cuenta(empresa, "4000001", "Proveedor");
    }
    // La operación con esos controles (y otras opciones) hasta x.pdf, con su volcado.
    Ejecucion ejecutar(const QString& operacion, const QStringList& controles,
                       const QStringList& otras = {}) {
        QStringList a{operacion,
                      "--contabilidad",
                      libro.conta().ruta(),
                      "--empresa",
                      QString::number(empresa),
                      "--ruta",
                      libro.carpeta(),
                      "--destino",
                      "archivo",
                      "--archivo",
                      libro.carpeta() + "/x.pdf"};
        for (const QString& c : controles) a << QStringLiteral("--control") << c;
        return ejecutarOrden(a + otras, libro.carpeta() + QStringLiteral("/volcado.json"));
    }
    LibroPrueba libro;
    long empresa;
    qint64 banco, clientes, ventas, iva, proveedor;
};

// Pico de memoria residente, en KB, de una orden de orvo-informes (-1 si no termina bien).
long picoDeMemoria(const QStringList& argumentos) {
    std::vector<QByteArray> textos{QByteArrayLiteral(ORVO_INFORMES_EXE)};
    for (const QString& a : argumentos) textos.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& t : textos) argv.push_back(t.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int estado = 0;
    rusage uso{};
    if (wait4(pid, &estado, 0, &uso) != pid || !WIFEXITED(estado)) return -1;
    return uso.ru_maxrss;
}

}  // namespace

class PruebaEjecutorLibros : public QObject {
    Q_OBJECT

  private slots:
    void diarioConApuntesOrdenados() {
        Escenario e;
        for (int n : {12, 10, 9, 11, 8}) {
            const qint64 as = e.libro.asiento(e.empresa, QString::number(n), "20260320");
            e.libro.apunte(as, e.ventas, "0", "40");
            e.libro.apunte(as, e.clientes, "100", "0");
            e.libro.apunte(as, e.banco, "0", "60");
        }
        const Ejecucion r =
            e.ejecutar(QStringLiteral("ImprimirLibroDiario"),
                       {"txtLibroDiario(2)=9", "txtLibroDiario(3)=11", "chkApuntesOrdenados=1",
                        "dtpLibroDiario(0)=2026-03-15", "dtpLibroDiario(1)=2026-04-20"});
        QVERIFY2(r.codigo == 0, qPrintable(QString::number(r.codigo) + u' ' + r.error));
        QStringList asientos;
        for (const QString& a : r.filas("Asiento")) asientos << a.section(u' ', 0, 0);
        QCOMPARE(asientos, QStringList({"9", "9", "9", "10", "10", "10", "11", "11", "11"}));
        QCOMPARE(r.filas("Descripcion").mid(0, 3),
                 QStringList({"4300001 - Cliente Uno", "5720001 - Banco", "7000001 - Ventas"}));
        QVERIFY(r.plantilla().endsWith(QStringLiteral("/infCONT_LibroDiario.rpt")));
        QCOMPARE(r.formula(2), QStringLiteral("Periodo= \"Periodo:  marzo/2026 ~ abril/2026\""));
        QVERIFY(QFile::exists(e.libro.carpeta() + QStringLiteral("/x.pdf")));
    }

    // Sin --volcado el ejecutor no guarda las filas: el Diario de 150.000 líneas ocupa lo mismo
    // que el de 300 (con la copia de las filas eran decenas de megas más).
    void memoriaPlanaSinVolcado() {
        Escenario e;
        e.libro.conta().Execute(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 50000) INSERT INTO Asiento (CodEmpresa, Numero, Fecha) "
                           "SELECT ?, i, '20260315' FROM n"),
            {static_cast<qlonglong>(e.empresa)});
        e.libro.conta().Execute(QStringLiteral(
            "INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, CtdadHaber, "
            "CtdadDebeEuros, CtdadHaberEuros) SELECT IDAsiento, IDCuenta, "
            "'Factura número ' || IDAsiento, '1.234,56', '0', '1.234,56', '0' FROM Asiento, "
            "(SELECT IDCuenta FROM Cuenta LIMIT 3)"));
        auto pico = [&](const QString& hasta) {
            return picoDeMemoria({"ImprimirLibroDiario", "--contabilidad", e.libro.conta().ruta(),
                                  "--empresa", QString::number(e.empresa), "--ruta",
                                  e.libro.carpeta(), "--control", "txtLibroDiario(3)=" + hasta,
                                  "--cancelar-impresion"});
        };
        const long pocas = pico(QStringLiteral("100"));
        const long muchas = pico(QStringLiteral("50000"));
        QVERIFY(pocas > 0 && muchas > 0);
        QVERIFY2(muchas - pocas < 20 * 1024,
                 qPrintable(QStringLiteral("%1 KB frente a %2 KB").arg(muchas).arg(pocas)));
    }

    void desgloseConSaldoAnterior() {
        Escenario e;
        e.libro.apunte(e.libro.asiento(e.empresa, 1, "20260110"), e.banco, "40", "0");
        e.libro.apunte(e.libro.asiento(e.empresa, 2, "20260210"), e.banco, "100", "0");
        e.libro.apunte(e.libro.asiento(e.empresa, 3, "20260211"), e.clientes, "5", "0");
        const Ejecucion r = e.ejecutar(
            QStringLiteral("ImprimirDesgloseSubCuenta"),
            {"lstInfSubCuentas=5720001", "chkAcumulados=1", "dtpLibroMayor(0)=2026-02-01"});
        QVERIFY2(r.codigo == 0, qPrintable(QString::number(r.codigo) + u' ' + r.error));
        QCOMPARE(r.volcado.value("dialogo").toObject().value("titulo").toString(),
                 QStringLiteral("Informe desglose de Subcuenta"));
        QCOMPARE(r.filas("Concepto").first(), QStringLiteral("Saldo anterior acumulado"));
        QCOMPARE(r.filas("Saldo"), QStringList({"40,00", "140,00"}));
        QVERIFY(r.plantilla().endsWith(QStringLiteral("/infCONT_DesgloseSubCuentas.rpt")));
    }

    void facturasRecibidasNumeradasEnPesetas() {
        Escenario e;
        for (const char* fecha : {"20260301", "20260302"}) {
            e.libro.factura(e.empresa, 1, fecha, e.iva, {"21", "0", "P-1", "4000001", "21", "5,2"});
        }
        const Ejecucion r = e.ejecutar(QStringLiteral("ImprimirFacturasRecibidas"),
                                       {"optFacturas(1)=1", "txtFacturas=007"}, {"--pesetas"});
        QVERIFY2(r.codigo == 0, qPrintable(QString::number(r.codigo) + u' ' + r.error));
        QCOMPARE(r.filas("NumFactura"), QStringList({"007", "8"}));
        QCOMPARE(r.filas("TotalFactura"), QStringList({"126", "126"}));
        QCOMPARE(r.formula(2), QStringLiteral("TrabajarConPts= '1'"));
        QVERIFY(r.plantilla().endsWith(QStringLiteral("/infCONT_FacturasRecibidas.rpt")));
    }

    // El libro registro va a la carpeta dada con su nombre; un informe sin esa salida lo dice.
    void libroRegistroEnUnaCarpeta() {
        Escenario e;
        DatosEmpresa::guardarNif(e.libro.conta(), e.empresa, QStringLiteral("B50123456"));
        e.libro.factura(e.empresa, 1, "20260301", e.iva, {"21", "0", "P-1", "4000001"});
        QTemporaryDir carpeta;
        const QStringList salida{"--formato", "aeat-xlsx", "--archivo", carpeta.path()};
        const Ejecucion r = e.ejecutar(QStringLiteral("ImprimirFacturasRecibidas"), {}, salida);
        QVERIFY2(r.codigo == 0, qPrintable(QString::number(r.codigo) + u' ' + r.error));
        QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("2026B50123456RPruebas, S.L.xlsx")});
        QCOMPARE(e.ejecutar(QStringLiteral("ImprimirLibroDiario"), {}, salida).codigo, 2);
    }
};

QTEST_GUILESS_MAIN(PruebaEjecutorLibros)
#include "prueba_ejecutor_libros.moc"
