// Los libros por el ejecutor de órdenes, como los pide el anfitrión: la memoria del Diario y el
// libro registro a una carpeta. Las filas de punta a punta las miran los volcados de los libros
// de ejemplo.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QDir>
#include <QTemporaryDir>

#include "DatosEmpresa.h"
#include "LibrosPrueba.h"
#include "OrdenPrueba.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

// Libros con las plantillas en su carpeta de aplicación: en enero y febrero, el Banco con 40 y
// 100 y un Cliente con 5; el 1 y el 2 de marzo, dos facturas recibidas al 21 % con recargo del
// 5,2 %.
struct Escenario {
    Escenario() {
        empresa = libro.empresa();
        DatosEmpresa::guardarNif(libro.conta(), empresa, QStringLiteral("B50123454"));
        for (const QString& p :
             QDir(QStringLiteral(ORVO_PLANTILLAS_DIR)).entryList({QStringLiteral("infCONT_*.rpt")}))
            QFile::copy(QStringLiteral(ORVO_PLANTILLAS_DIR "/") + p, libro.carpeta() + u'/' + p);
        const qint64 banco = libro.cuenta(empresa, "5720001", "Banco");
        const qint64 clientes = libro.cuenta(empresa, "4300001", "Cliente Uno", "B12345678");
        libro.cuenta(empresa, "7000001", "Ventas");
        const qint64 iva = libro.cuenta(empresa, "4720001", "IVA soportado");
        libro.cuenta(empresa, "4000001", "Proveedor");
        libro.apunte(libro.asiento(empresa, 1, "20260110"), banco, "40", "0");
        libro.apunte(libro.asiento(empresa, 2, "20260210"), banco, "100", "0");
        libro.apunte(libro.asiento(empresa, 3, "20260211"), clientes, "5", "0");
        for (const char* fecha : {"20260301", "20260302"})
            libro.factura(empresa, 4, fecha, iva, {"21", "0", "P-1", "4000001", "21", "5,2"});
    }
    // La operación con esos controles (y otras opciones) hasta x.pdf, con su volcado.
    Ejecucion ejecutar(const QString& operacion, const QStringList& controles,
                       const QStringList& otras = {}) {
        QStringList a{"--contabilidad", libro.conta().ruta(), "--empresa",
                      QString::number(empresa), "--ruta", libro.carpeta(), "--destino", "archivo",
                      "--archivo", libro.carpeta() + "/x.pdf"};
        for (const QString& c : controles) a << QStringLiteral("--control") << c;
        return ejecutarOrden(QStringList{operacion} + a + otras,
                             libro.carpeta() + QStringLiteral("/volcado.json"));
    }
    LibrosPrueba libro;
    long empresa;
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
    // Sin --volcado el ejecutor no guarda las filas: el Diario de 150.000 líneas ocupa lo mismo
    // que el de 300 (con la copia de las filas eran decenas de megas más).
    void memoriaPlanaSinVolcado() {
#ifdef __SANITIZE_ADDRESS__
        // AddressSanitizer retiene la memoria liberada en cuarentena: el pico no dice nada.
        QSKIP("el pico de memoria no se mide con AddressSanitizer");
#endif
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

    // El libro registro va a la carpeta dada con su nombre; un informe sin esa salida lo dice.
    void libroRegistroEnUnaCarpeta() {
        Escenario e;
        QTemporaryDir carpeta;
        const QStringList salida{"--formato", "aeat-xlsx", "--archivo", carpeta.path()};
        const Ejecucion r = e.ejecutar(QStringLiteral("ImprimirFacturasRecibidas"), {}, salida);
        QVERIFY2(r.codigo == 0, qPrintable(QString::number(r.codigo) + u' ' + r.error));
        QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("2026B50123454CPruebas, S.L.xlsx")});
        QCOMPARE(e.ejecutar(QStringLiteral("ImprimirLibroDiario"), {}, salida).codigo, 2);
    }
};

QTEST_GUILESS_MAIN(PruebaEjecutorLibros)
#include "prueba_ejecutor_libros.moc"
