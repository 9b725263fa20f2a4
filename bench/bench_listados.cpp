// Listados sobre un plan grande: 200.000 cuentas y subcuentas con todas las cuentas (el nivel de
// cada subcuenta sale de la cuenta anterior) y 20.000 epígrafes de los dos documentos. Mide el
// tiempo de cada construcción y el pico de memoria, que crece con las filas: se leen todas
// antes de escribirlas.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include "Conexion.h"
#include "Esquemas.h"
#include "Listados.h"
#include "Progreso.h"

using namespace orvo;

namespace {

constexpr int kSubcuentasPorCuenta = 222;  // en cada una de las 900 cuentas de tres cifras
constexpr int kEpigrafes = 20000;

long picoMemoriaKb() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

qint64 escribirLibro(Conexion& con) {
    Transaccion t(con);
    con.Execute(QStringLiteral(
        "INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, FechaIni, FechaFin) "
        "VALUES (1, 'BEN', 'Banco de pruebas', 2001, '20010101', '20011231')"));
    Instruccion cuenta = con.preparar(QStringLiteral(
        "INSERT INTO Cuenta (CodEmpresa, CodTipo_Cuenta, Codigo, Descripcion, Nivel) "
        "VALUES (1, ?, ?, ?, ?)"));
    qint64 filas = 0;
    auto alta = [&](int tipo, const QString& codigo, int nivel) {
        cuenta.ejecutar(
            {tipo, codigo, QStringLiteral("Cuenta \"%1\" d'ejemplo").arg(codigo), nivel});
        ++filas;
    };
    for (int c = 100; c <= 999; ++c) {
        const QString tres = QString::number(c);
        if (c % 100 == 0) alta(1, tres.left(1), 1);
        if (c % 10 == 0) alta(1, tres.left(2), 2);
        alta(1, tres, 3);
        for (int s = 0; s < kSubcuentasPorCuenta; ++s)
            alta(2, tres + QStringLiteral("%1").arg(s, 4, 10, QChar(u'0')), 0);
    }
    con.ejecutarScript(QStringLiteral(
        "INSERT INTO Documento VALUES (1, 'Balance de situación'), (2, 'Pérdidas y Ganancias');"
        "INSERT INTO Naturaleza VALUES (1, 'Activo'), (2, 'Pasivo'), (3, 'Debe'), (4, 'Haber');"));
    Instruccion epigrafe = con.preparar(QStringLiteral(
        "INSERT INTO Estructura (CodEmpresa, CodDocumento, CodigoEpigrafe, Descripcion, "
        "CodNaturaleza, OrdenEpigrafe, Formula) VALUES (1, ?, ?, ?, ?, ?, ?)"));
    for (int e = 0; e < kEpigrafes; ++e)
        epigrafe.ejecutar({1 + e % 2, QStringLiteral("E%1").arg(e, 5, 10, QChar(u'0')),
                           QStringLiteral("Epígrafe %1").arg(e), 1 + e % 4, 1 + e % 3,
                           e % 3 == 0 ? QStringLiteral("E00001+E00002") : QString()});
    t.confirmar();
    return filas;
}

template <typename F>
qint64 medir(Conexion& informes, const QString& tabla, F construir) {
    informes.Execute(QStringLiteral("DELETE FROM ") + tabla);
    QElapsedTimer reloj;
    reloj.start();
    Transaccion t(informes);
    construir();
    t.confirmar();
    return reloj.elapsed();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    auto conta = Conexion::abrir(dir.filePath(QStringLiteral("conta.db")), true);
    auto inf = Conexion::abrir(dir.filePath(QStringLiteral("Informes.mdb")), true);
    Esquemas::crearContabilidad(*conta);
    Esquemas::crearInformes(*inf);
    const qint64 cuentas = escribirLibro(*conta);
    const long memoriaInicial = picoMemoriaKb();
    ProgresoNulo progreso;
    ContextoInforme contexto{*conta, *inf, progreso};

    const qint64 msTodas = medir(*inf, QStringLiteral("Subcuentas"), [&] {
        construirSubcuentas(contexto, {1, QStringLiteral("0"), QStringLiteral("9999999"), true});
    });
    const qint64 filasTodas =
        inf->valor(QStringLiteral("SELECT count(*) FROM Subcuentas")).toLongLong();
    const qint64 msSolo = medir(*inf, QStringLiteral("Subcuentas"), [&] {
        construirSubcuentas(contexto, {1, QStringLiteral("0"), QStringLiteral("9999999"), false});
    });
    const qint64 filasSolo =
        inf->valor(QStringLiteral("SELECT count(*) FROM Subcuentas")).toLongLong();
    const qint64 msEpigrafes = medir(*inf, QStringLiteral("Epigrafes"), [&] {
        construirEpigrafes(contexto, {1, true, true});
    });
    const qint64 filasEpigrafes =
        inf->valor(QStringLiteral("SELECT count(*) FROM Epigrafes")).toLongLong();

    out << "Plan de " << cuentas << " cuentas y subcuentas\n";
    out << "Subcuentas con las cuentas: " << filasTodas << " filas en " << msTodas << " ms\n";
    out << "Solo subcuentas:            " << filasSolo << " filas en " << msSolo << " ms\n";
    out << "Epígrafes de los dos documentos: " << filasEpigrafes << " filas en " << msEpigrafes
        << " ms\n";
    out << "Pico de memoria: " << memoriaInicial / 1024 << " MB antes de construir, "
        << picoMemoriaKb() / 1024 << " MB al final\n";
    return 0;
}
