// Rendimiento de los libros Diario y Mayor sobre una empresa de un millón de apuntes.
//
//   bench_libros generar FILE [APUNTES]   escribe los libros grandes (333.333 asientos por
//                                          millón de apuntes, tres apuntes por asiento)
//   bench_libros medir FILE               mide, cada cosa en un proceso aparte para que el pico
//                                          de memoria sea solo suyo, un INSERT ... SELECT que
//                                          escribe las mismas filas y la construcción del libro
//
// La construcción del Diario debe tardar como mucho 1,5 veces el INSERT ... SELECT, la del
// Mayor 2 veces, y ninguna pasar de 150 MB de memoria.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <cstdio>
#include <ctime>

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "LibroDiario.h"
#include "LibroMayor.h"

using namespace orvo;

namespace {

constexpr long kEmpresa = 1;
constexpr int kSubcuentas = 400;

void generar(const QString& ruta, qint64 apuntes) {
    if (QFile::exists(ruta))
        throw ErrorOrvo(58, QStringLiteral("El archivo ya existe: %1").arg(ruta));
    auto con = Conexion::abrir(ruta, true);
    con->Execute(QStringLiteral("PRAGMA journal_mode = OFF"));
    con->Execute(QStringLiteral("PRAGMA synchronous = OFF"));
    Esquemas::crearContabilidad(*con);
    Transaccion t(*con);
    con->Execute(
        QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, "
                       "FechaIni, FechaFin, DesgloseSubCuentas) VALUES "
                       "(?, 'GRANDE', 'Libros Grandes, S.A.', 2026, '20260101', '20261231', 7)"),
        {static_cast<qlonglong>(kEmpresa)});
    Instruccion cuenta = con->preparar(QStringLiteral(
        "INSERT INTO Cuenta (IDCuenta, CodEmpresa, CodTipo_Cuenta, Codigo, Descripcion, "
        "Nivel) VALUES (?, ?, 2, ?, ?, 5)"));
    for (int i = 1; i <= kSubcuentas; ++i) {
        const QString codigo =
            QStringLiteral("%1%2").arg(1 + i % 7).arg(i, 6, 10, QLatin1Char('0'));
        cuenta.ejecutar({i, static_cast<qlonglong>(kEmpresa), codigo,
                         QStringLiteral("Subcuenta número %1").arg(i)});
    }
    Instruccion asiento = con->preparar(QStringLiteral(
        "INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) VALUES (?, ?, ?, ?)"));
    Instruccion apunte =
        con->preparar(QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, "
                                     "CtdadDebe, CtdadHaber, CtdadDebeEuros, "
                                     "CtdadHaberEuros) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    const qint64 asientos = apuntes / 3;
    quint32 semilla = 12345;
    auto azar = [&semilla](quint32 n) {
        semilla = semilla * 1103515245u + 12345u;
        return (semilla >> 8) % n;
    };
    qint64 escritos = 0;
    for (qint64 a = 1; a <= asientos; ++a) {
        // Fechas crecientes a lo largo del año; los números van en el orden de las fechas.
        const QDate fecha = QDate(2026, 1, 1).addDays(static_cast<int>(a * 365 / (asientos + 1)));
        asiento.ejecutar(
            {a, static_cast<qlonglong>(kEmpresa), a, fecha.toString(QStringLiteral("yyyyMMdd"))});
        const int lineas = a == asientos ? static_cast<int>(apuntes - escritos) : 3;
        const Moneda total = Moneda::deDiezmilesimas((1 + azar(500000)) * 100);
        for (int l = 0; l < lineas; ++l) {
            // Un apunte al debe por el total y el resto al haber, repartido.
            const bool debe = l == 0;
            const Moneda importe =
                debe ? total : Moneda::deDiezmilesimas(total.diezmilesimas() / (lineas - 1));
            const QString texto = importe.formatear(true);
            const QString pesetas = importe.formatear(false);
            apunte.ejecutar(
                {a, 1 + azar(kSubcuentas),
                 QStringLiteral("Concepto del apunte %1 del asiento %2").arg(l + 1).arg(a),
                 debe ? pesetas : QStringLiteral("0"), debe ? QStringLiteral("0") : pesetas,
                 debe ? texto : QStringLiteral("0"), debe ? QStringLiteral("0") : texto});
            ++escritos;
        }
    }
    t.confirmar();
}

// Tiempo de CPU del proceso (usuario y sistema), en segundos.
double segundosDeProceso() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Medida {
    double segundos = 0;
    double cpu = 0;
    long picoKB = 0;
    qint64 filas = 0;
};

// Lo que hace cada proceso hijo: una sola medida sobre una base de informes nueva.
Medida medirUna(const QString& que, const QString& contabilidad, const QString& informes) {
    QFile::remove(informes);
    auto conta = Conexion::abrir(contabilidad);
    auto inf = Conexion::abrir(informes, true);
    Esquemas::crearInformes(*inf);
    ProgresoNulo progreso;
    ContextoInforme contexto{*conta, *inf, progreso};
    const QDate desde(2026, 1, 1), hasta(2026, 12, 31);
    const QString tabla = que.endsWith(QStringLiteral("diario")) ? QStringLiteral("Libro_Diario")
                                                                 : QStringLiteral("Libro_Mayor");
    QElapsedTimer reloj;
    reloj.start();
    const double cpu0 = segundosDeProceso();
    {
        Transaccion t(*inf);
        if (que == u"base-diario" || que == u"base-mayor") {
            // La misma consulta (con el mismo orden de uniones), las mismas filas y la misma
            // tabla, sin pasar por C++.
            inf->Execute(QStringLiteral("ATTACH DATABASE ? AS c"), {contabilidad});
            const bool diario = que == u"base-diario";
            const QString columnas =
                diario ? QStringLiteral(
                             "Libro_Diario (Asiento, Fecha, Descripcion, Concepto, Debe, Haber) "
                             "SELECT Numero || ' (' || IDAsiento || ')', ")
                       : QStringLiteral(
                             "Libro_Mayor (Codigo, Descripcion, Asiento, Fecha, Concepto, Debe, "
                             "Haber, Saldo) SELECT Codigo, Cuenta.Descripcion, "
                             "Numero || ' (' || IDAsiento || ')', ");
            inf->Execute(
                QStringLiteral("INSERT INTO ") + columnas +
                    QStringLiteral("substr(Fecha, 7, 2) || '/' || substr(Fecha, 5, 2) || '/' || "
                                   "substr(Fecha, 1, 4), ") +
                    (diario ? QStringLiteral("Codigo || ' - ' || Cuenta.Descripcion, Concepto, "
                                             "CtdadDebeEuros, CtdadHaberEuros ")
                            : QStringLiteral(
                                  "Concepto, CtdadDebeEuros, CtdadHaberEuros, CtdadDebeEuros ")) +
                    QStringLiteral("FROM ") +
                    (diario
                         ? QStringLiteral(
                               "c.Asiento CROSS JOIN c.Apunte ON Asiento.IDAsiento = "
                               "Apunte.CodAsiento "
                               "CROSS JOIN c.Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta ")
                         : QStringLiteral(
                               "c.Cuenta CROSS JOIN c.Apunte ON Apunte.CodCuenta = Cuenta.IDCuenta "
                               "CROSS JOIN c.Asiento ON Asiento.IDAsiento = Apunte.CodAsiento ")) +
                    QStringLiteral(
                        "WHERE Asiento.CodEmpresa = ? AND Cuenta.CodEmpresa = ? AND CodTipo_Cuenta "
                        "= 2 "
                        "AND Codigo >= ? AND Codigo <= ? AND Fecha >= ? AND Fecha <= ? ORDER BY ") +
                    (diario ? QStringLiteral("Val(Numero), Fecha, IDAsiento, IDApunte")
                            : QStringLiteral("Codigo, Val(Numero), Fecha, IDAsiento, IDApunte")),
                {static_cast<qlonglong>(kEmpresa), static_cast<qlonglong>(kEmpresa),
                 QStringLiteral("0000000"), QStringLiteral("9999999"),
                 diario ? QStringLiteral("20260101") : QStringLiteral("20260201"),
                 QStringLiteral("20261231")});
        } else if (que == u"diario") {
            OpcionesLibroDiario o;
            o.empresa = kEmpresa;
            o.subcuentaDesde = QStringLiteral("0000000");
            o.subcuentaHasta = QStringLiteral("9999999");
            o.asientoDesde = QStringLiteral("0");
            o.asientoHasta = QStringLiteral("9999999");
            o.desde = desde;
            o.hasta = hasta;
            construirLibroDiario(contexto, o);
        } else if (que == u"mayor") {
            OpcionesLibroMayor o;
            o.empresa = kEmpresa;
            o.subcuentaDesde = QStringLiteral("0000000");
            o.subcuentaHasta = QStringLiteral("9999999");
            o.desde = QDate(2026, 2, 1);  // con saldo anterior: una consulta más por subcuenta
            o.hasta = hasta;
            o.inicioEjercicio = desde;
            o.saldoAnterior = true;
            construirLibroMayor(contexto, o);
        } else {
            throw ErrorOrvo(5, QStringLiteral("Medida desconocida: %1").arg(que));
        }
        t.confirmar();
    }
    Medida m;
    m.segundos = reloj.nsecsElapsed() / 1e9;
    m.cpu = segundosDeProceso() - cpu0;
    m.filas = inf->valor(QStringLiteral("SELECT count(*) FROM ") + tabla).toLongLong();
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    m.picoKB = uso.ru_maxrss;
    return m;
}

Medida enOtroProceso(const QString& que, const QString& contabilidad) {
    QProcess p;
    const QString informes = QDir::temp().filePath(QStringLiteral("bench_libros_%1.mdb").arg(que));
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("una"), que, contabilidad, informes});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        throw ErrorOrvo(5, QStringLiteral("Falló la medida %1: %2")
                               .arg(que, QString::fromLocal8Bit(p.readAllStandardError())));
    const QStringList partes = QString::fromLatin1(p.readAllStandardOutput()).split(u' ');
    QFile::remove(informes);
    return {partes.value(0).toDouble(), partes.value(1).toDouble(), partes.value(2).toLong(),
            partes.value(3).toLongLong()};
}

int uso() {
    std::fputs("Uso: bench_libros generar FILE [APUNTES] | bench_libros medir FILE\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    QTextStream out(stdout);
    try {
        if (a.size() >= 2 && a[0] == u"generar") {
            const qint64 apuntes = a.size() > 2 ? a[2].toLongLong() : 1000000;
            if (apuntes < 3) return uso();
            QElapsedTimer reloj;
            reloj.start();
            generar(a[1], apuntes);
            out << "Generados " << apuntes << " apuntes en " << apuntes / 3 << " asientos en "
                << reloj.elapsed() / 1000.0 << " s\n";
            return 0;
        }
        if (a.size() == 4 && a[0] == u"una") {
            const Medida m = medirUna(a[1], a[2], a[3]);
            out << m.segundos << ' ' << m.cpu << ' ' << m.picoKB << ' ' << m.filas;
            return 0;
        }
        if (a.size() == 2 && a[0] == u"medir") {
            if (!QFile::exists(a[1])) throw ErrorOrvo(53, QStringLiteral("No existe %1").arg(a[1]));
            const double limites[2] = {1.5, 2.0};
            const char* nombres[2] = {"diario", "mayor"};
            bool bien = true;
            for (int i = 0; i < 2; ++i) {
                const QString libro = QString::fromLatin1(nombres[i]);
                const Medida base = enOtroProceso(QStringLiteral("base-") + libro, a[1]);
                const Medida m = enOtroProceso(libro, a[1]);
                // La máquina de medida puede estar compartida: la razón que decide es la del
                // tiempo de CPU; la del reloj se muestra al lado.
                const double razon = m.cpu / base.cpu;
                const bool cumple = razon <= limites[i] && m.picoKB < 150 * 1024;
                bien = bien && cumple;
                out << QStringLiteral(
                           "%1: INSERT ... SELECT %2 s de CPU (%3 s de reloj, %4 filas); "
                           "construcción %5 s de CPU (%6 s de reloj, %7 filas, pico %8 MB); "
                           "razón %9 (reloj %10; límite %11) %12\n")
                           .arg(libro)
                           .arg(base.cpu, 0, 'f', 2)
                           .arg(base.segundos, 0, 'f', 2)
                           .arg(base.filas)
                           .arg(m.cpu, 0, 'f', 2)
                           .arg(m.segundos, 0, 'f', 2)
                           .arg(m.filas)
                           .arg(m.picoKB / 1024.0, 0, 'f', 1)
                           .arg(razon, 0, 'f', 2)
                           .arg(m.segundos / base.segundos, 0, 'f', 2)
                           .arg(limites[i])
                           .arg(cumple ? QStringLiteral("cumple") : QStringLiteral("NO CUMPLE"));
                out.flush();
            }
            return bien ? 0 : 1;
        }
    } catch (const std::exception& e) {
        QTextStream(stderr) << descripcionError(e) << "\n";
        return 1;
    }
    return uso();
}
