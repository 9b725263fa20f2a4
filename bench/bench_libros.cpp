// El Diario y el Mayor de un millón de apuntes como los ve quien los pide: órdenes enteras de
// orvo-informes medidas con el reloj de pared y su pico de memoria (wait4), frente a lo que
// tarda SQLite en escribir las mismas filas con un INSERT ... SELECT y frente a `ledger reg`
// sobre los mismos libros escritos como diario de ledger, todo en la misma ejecución.
//
//   bench_libros [CARPETA]   (por omisión /tmp/orvo-bench-libros; los libros se escriben la
//                             primera vez y se reutilizan después)
//
// Libros: 333.333 asientos de tres apuntes, 2.000 subcuentas, cada apunte en una subcuenta al
// azar, y solo los índices Apunte(CodAsiento), Apunte(CodCuenta), Asiento(CodEmpresa, Numero) y
// Cuenta(CodEmpresa, Codigo). Sale con 1 si algo no cumple: Diario <= 1,5 y Mayor <= 2 veces el
// INSERT ... SELECT, el PDF del Diario en dos tercios (0,67) de lo que tarda `ledger reg`, y
// todo por debajo de 150 MB.
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "Moneda.h"

extern char** environ;

using namespace orvo;

namespace {

constexpr int kAsientos = 333333;
constexpr int kLineas = 3;
constexpr int kSubcuentas = 2000;
constexpr long kLimiteKB = 150 * 1024;

QString codigoSubcuenta(int i) {
    return QStringLiteral("%1%2").arg(1 + i % 7).arg(i, 6, 10, QLatin1Char('0'));
}

// Escribe los libros en SQLite y, a la vez, el mismo diario en el formato de ledger.
void generar(const QString& libros, const QString& diarioLedger) {
    const QString provisional = libros + QStringLiteral(".parcial");
    QFile::remove(provisional);
    QFile texto(diarioLedger);
    if (!texto.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ErrorOrvo(Causa::AccesoAlArchivo,
                        QStringLiteral("No se puede escribir %1").arg(diarioLedger));
    QTextStream ledger(&texto);
    {
        auto con = Conexion::abrir(provisional, true);
        con->ejecutarScript(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"));
        Esquemas::crearContabilidad(*con);
        // Solo los índices de unos libros corrientes: nada hecho a la medida de los informes.
        QStringList indices;
        for (Recordset rs = con->Execute(QStringLiteral(
                 "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
             !rs.Eof(); rs.MoveNext())
            indices << rs.Fields(0).toString();
        for (const QString& i : indices)
            con->Execute(QStringLiteral("DROP INDEX ") + identificador(i));
        con->ejecutarScript(QStringLiteral(
            "CREATE INDEX ixApunteAsiento ON Apunte (CodAsiento);"
            "CREATE INDEX ixApunteCuenta ON Apunte (CodCuenta);"
            "CREATE INDEX ixAsientoEmpresaNumero ON Asiento (CodEmpresa, Numero);"
            "CREATE UNIQUE INDEX ixCuentaEmpresaCodigo ON Cuenta (CodEmpresa, Codigo);"));
        Transaccion t(*con);
        con->ejecutarScript(QStringLiteral(
            "INSERT INTO Tipo_Cuenta VALUES (1, 'Cuenta'), (2, 'Subcuenta'), (3, 'Cuenta creada');"
            "INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, FechaIni, "
            "FechaFin, DesgloseSubCuentas) VALUES "
            "(1, 'GRANDE', 'Libros Grandes, S.A.', 2026, '20260101', '20261231', 7);"));
        Instruccion cuenta = con->preparar(QStringLiteral(
            "INSERT INTO Cuenta (IDCuenta, CodEmpresa, CodTipo_Cuenta, Codigo, Descripcion, "
            "Nivel) VALUES (?, 1, 2, ?, ?, 7)"));
        QStringList nombres;
        for (int i = 1; i <= kSubcuentas; ++i) {
            nombres << QStringLiteral("Subcuenta número %1").arg(i);
            cuenta.ejecutar({i, codigoSubcuenta(i), nombres.last()});
        }
        Instruccion asiento = con->preparar(QStringLiteral(
            "INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) VALUES (?, 1, ?, ?)"));
        Instruccion apunte = con->preparar(QStringLiteral(
            "INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, CtdadHaber, "
            "CtdadDebeEuros, CtdadHaberEuros) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        quint32 semilla = 12345;
        auto azar = [&semilla](quint32 n) {
            semilla = semilla * 1103515245u + 12345u;
            return (semilla >> 8) % n;
        };
        const QString cero = QStringLiteral("0");
        for (int a = 1; a <= kAsientos; ++a) {
            // Fechas crecientes a lo largo del año; los números siguen a las fechas.
            const QDate fecha = QDate(2026, 1, 1).addDays(a * 365LL / (kAsientos + 1));
            asiento.ejecutar({a, a, fecha.toString(QStringLiteral("yyyyMMdd"))});
            ledger << fecha.toString(QStringLiteral("yyyy/MM/dd")) << " Asiento " << a << '\n';
            // Un cargo por el total y dos abonos que lo reparten: el asiento cuadra al céntimo.
            const qint64 abonos[2] = {1 + azar(200000), 1 + azar(200000)};
            for (int l = 0; l < kLineas; ++l) {
                const qint64 centimos = l == 0 ? abonos[0] + abonos[1] : abonos[l - 1];
                const Moneda euros = Moneda::deDiezmilesimas(centimos * 100);
                const Moneda pesetas = Moneda::deDiezmilesimas(centimos * 166386 / 100 * 100);
                const int sub = 1 + static_cast<int>(azar(kSubcuentas));
                const QString concepto =
                    QStringLiteral("Factura %1 línea %2").arg(a).arg(l + 1);
                const bool debe = l == 0;
                apunte.ejecutar({a, sub, concepto, debe ? pesetas.formatear(false) : cero,
                                 debe ? cero : pesetas.formatear(false),
                                 debe ? euros.formatear(true) : cero,
                                 debe ? cero : euros.formatear(true)});
                ledger << "    " << codigoSubcuenta(sub) << ' ' << nombres[sub - 1] << "  EUR "
                       << (debe ? "" : "-") << centimos / 100 << '.'
                       << QStringLiteral("%1").arg(centimos % 100, 2, 10, QLatin1Char('0'))
                       << "  ; " << concepto << '\n';
            }
            ledger << '\n';
        }
        t.confirmar();
    }
    if (!QFile::rename(provisional, libros))
        throw ErrorOrvo(Causa::AccesoAlArchivo,
                        QStringLiteral("No se puede renombrar %1").arg(provisional));
}

// La base: las filas del Diario escritas por SQLite solo, con sus propias funciones.
int baseSqlite(const QString& libros, const QString& informes) {
    sqlite3* db = nullptr;
    if (sqlite3_open(informes.toUtf8().constData(), &db) != SQLITE_OK) return 1;
    const QByteArray sql =
        QByteArrayLiteral("ATTACH DATABASE '") + libros.toUtf8() +
        QByteArrayLiteral(
            "' AS c; BEGIN; "
            "INSERT INTO Libro_Diario (Asiento, Fecha, Descripcion, Concepto, Debe, Haber) "
            "SELECT Numero || ' (' || IDAsiento || ')', "
            "substr(Fecha, 7, 2) || '/' || substr(Fecha, 5, 2) || '/' || substr(Fecha, 1, 4), "
            "Codigo || ' - ' || Cuenta.Descripcion, Concepto, CtdadDebeEuros, CtdadHaberEuros "
            "FROM c.Asiento JOIN c.Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
            "JOIN c.Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta "
            "WHERE Asiento.CodEmpresa = 1 AND Cuenta.CodEmpresa = 1 AND CodTipo_Cuenta = 2 "
            "AND Fecha >= '20260101' AND Fecha <= '20261231' "
            "ORDER BY CAST(Numero AS INTEGER), Fecha, IDAsiento, IDApunte; COMMIT;");
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) std::fprintf(stderr, "%s\n", error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : 1;
}

struct Medida {
    double segundos = 0;
    long picoKB = 0;
    int codigo = 0;
};

// Una orden entera, de arrancar a terminar, con su salida estándar a 'salida'.
Medida medir(const QStringList& orden, const QString& salida) {
    std::vector<QByteArray> textos;
    for (const QString& a : orden) textos.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& t : textos) argv.push_back(t.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addopen(&acciones, 1, salida.toLocal8Bit().constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QElapsedTimer reloj;
    reloj.start();
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &acciones, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acciones);
    if (rc != 0)
        throw ErrorOrvo(Causa::ArchivoNoEncontrado,
                        QStringLiteral("No se puede lanzar %1").arg(orden.first()));
    int estado = 0;
    rusage uso{};
    wait4(pid, &estado, 0, &uso);
    Medida m;
    m.segundos = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    m.picoKB = uso.ru_maxrss;
    m.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
    return m;
}

QString segundos(double s) {
    return QString::number(s, 'f', 2).replace(u'.', u',') + QStringLiteral(" s");
}
QString megas(long kb) {
    return QString::number(static_cast<double>(kb) / 1024.0, 'f', 0) + QStringLiteral(" MB");
}

// Los libros legalizados frente al Diario solo a PDF, los dos sobre una copia de los libros con
// el ejercicio cerrado (el Diario lleva entonces la regularización y el cierre). La copia se
// cierra con la orden de siempre, que también se mide.
bool legalizacion(QTextStream& out, const QDir& dir, const QString& libros,
                  const std::function<QString(const QString&)>& informes, const QString& app) {
    const QString cerrados = dir.filePath(QStringLiteral("cerrados.db"));
    QFile::remove(cerrados);
    if (!QFile::copy(libros, cerrados))
        throw ErrorOrvo(Causa::AccesoAlArchivo,
                        QStringLiteral("No se puede copiar %1").arg(libros));
    DatosEmpresa::guardarNif(*Conexion::abrir(cerrados), 1, QStringLiteral("A50000001"));
    const QString exe = QStringLiteral(ORVO_INFORMES_EXE);
    const QString nula = QStringLiteral("/dev/null");
    const Medida cierre =
        medir({exe, "cerrar", "--contabilidad", cerrados, "--empresa", "1"}, nula);
    const QString pdf = dir.filePath(QStringLiteral("diario-cerrado.pdf"));
    const Medida diarioPdf =
        medir({exe, "ImprimirLibroDiario", "--contabilidad", cerrados, "--empresa", "1", "--ruta",
               app, "--informes", informes(QStringLiteral("cerrado")), "--control",
               "chkTipoDiario=1", "--destino", "archivo", "--archivo", pdf},
              nula);
    const QString carpeta = dir.filePath(QStringLiteral("legalizados"));
    QDir(carpeta).removeRecursively();
    QDir().mkpath(carpeta);
    const Medida legalizar = medir(
        {exe, "legalizar", "--contabilidad", cerrados, "--empresa", "1", "--archivo", carpeta},
        nula);
    qint64 megasLibros = 0;
    for (const QFileInfo& f : QDir(carpeta).entryInfoList({QStringLiteral("*.pdf")}))
        megasLibros += f.size();
    const double razon = legalizar.segundos / diarioPdf.segundos;
    const bool bien = cierre.codigo == 0 && diarioPdf.codigo == 0 && legalizar.codigo == 0 &&
                      razon <= 1.5 && legalizar.picoKB < kLimiteKB;
    out << QStringLiteral("Cerrar el ejercicio").leftJustified(44)
        << segundos(cierre.segundos).rightJustified(9) << megas(cierre.picoKB).rightJustified(9)
        << '\n';
    out << QStringLiteral("Diario a PDF, ejercicio cerrado (%1 MB)")
               .arg(QFileInfo(pdf).size() / (1024 * 1024))
               .leftJustified(44)
        << segundos(diarioPdf.segundos).rightJustified(9)
        << megas(diarioPdf.picoKB).rightJustified(9) << '\n';
    out << QStringLiteral("Legalizar, los dos libros (%1 MB)")
               .arg(megasLibros / (1024 * 1024))
               .leftJustified(44)
        << segundos(legalizar.segundos).rightJustified(9)
        << megas(legalizar.picoKB).rightJustified(9)
        << QStringLiteral("   %1 × (límite 1,5)%2")
               .arg(QString::number(razon, 'f', 2).replace(u'.', u','))
               .arg(bien ? QString() : QStringLiteral(" NO CUMPLE"))
        << '\n';
    return bien;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    if (a.size() == 3 && a[0] == u"base") return baseSqlite(a[1], a[2]);
    QTextStream out(stdout);
    try {
        const QDir dir(a.value(0, QDir::temp().filePath(QStringLiteral("orvo-bench-libros"))));
        if (!QDir().mkpath(dir.path()))
            throw ErrorOrvo(Causa::AccesoAlArchivo,
                            QStringLiteral("No se puede crear %1").arg(dir.path()));
        const QString libros = dir.filePath(QStringLiteral("libros.db"));
        const QString diarioLedger = dir.filePath(QStringLiteral("libros.ledger"));
        if (!QFile::exists(libros) || !QFile::exists(diarioLedger)) {
            out << "Escribiendo los libros en " << dir.path() << " ..." << Qt::endl;
            generar(libros, diarioLedger);
        }
        out << "Libros: " << kAsientos * kLineas << " apuntes, " << kAsientos << " asientos, "
            << kSubcuentas << " subcuentas (" << QFileInfo(libros).size() / (1024 * 1024)
            << " MB)\n";

        const QString app_ = dir.filePath(QStringLiteral("app"));
        QDir().mkpath(app_);
        const QString nula = QStringLiteral("/dev/null");
        auto informes = [&](const QString& nombre) {
            const QString ruta = dir.filePath(nombre + QStringLiteral(".informes.db"));
            QFile::remove(ruta);
            Esquemas::crearInformes(*Conexion::abrir(ruta, true));
            return ruta;
        };
        auto orden = [&](const QString& operacion, const QString& nombre,
                         const QStringList& destino) {
            return QStringList{QStringLiteral(ORVO_INFORMES_EXE), operacion, "--contabilidad",
                               libros, "--empresa", "1", "--ruta", app_, "--informes",
                               informes(nombre)} +
                   destino;
        };
        // "bench_libros CARPETA legalizar": solo la comparación de los libros legalizados.
        if (a.value(1) == u"legalizar") {
            out << QStringLiteral("Orden entera").leftJustified(44) << "    Reloj     Pico\n";
            const bool bien = legalizacion(out, dir, libros, informes, app_);
            out << (bien ? "Cumple\n" : "NO CUMPLE\n");
            return bien ? 0 : 1;
        }
        const QStringList cancelar{QStringLiteral("--cancelar-impresion")};
        const QString pdf = dir.filePath(QStringLiteral("diario.pdf"));

        const Medida base = medir({QCoreApplication::applicationFilePath(), "base", libros,
                                   informes(QStringLiteral("base"))},
                                  nula);
        const Medida diario = medir(orden("ImprimirLibroDiario", "diario", cancelar), nula);
        const Medida mayor = medir(orden("ImprimirLibroMayor", "mayor", cancelar), nula);
        const Medida diarioPdf = medir(
            orden("ImprimirLibroDiario", "pdf", {"--destino", "archivo", "--archivo", pdf}), nula);
        std::optional<Medida> ledger;
        if (!QStandardPaths::findExecutable(QStringLiteral("ledger")).isEmpty())
            ledger = medir({"ledger", "-f", diarioLedger, "reg"},
                           dir.filePath(QStringLiteral("ledger-reg.txt")));

        bool bien = base.codigo == 0 && diario.codigo == 1 && mayor.codigo == 1 &&
                    diarioPdf.codigo == 0 && (!ledger || ledger->codigo == 0);
        // El límite de memoria es para las órdenes propias; la de ledger se muestra sin más.
        auto fila = [&](const QString& que, const Medida& m, const QString& razon = {},
                        bool propia = true) {
            const bool memoria = !propia || m.picoKB < kLimiteKB;
            bien = bien && memoria;
            out << que.leftJustified(44) << segundos(m.segundos).rightJustified(9)
                << megas(m.picoKB).rightJustified(9) << (memoria ? "" : " (> 150 MB)") << razon
                << '\n';
        };
        auto razon = [&](const Medida& m, const Medida& frente, double limite) {
            const double r = m.segundos / frente.segundos;
            bien = bien && r <= limite;
            return QStringLiteral("   %1 × (límite %2)%3")
                .arg(QString::number(r, 'f', 2).replace(u'.', u','))
                .arg(QString::number(limite, 'f', std::round(limite * 10) == limite * 10 ? 1 : 2)
                         .replace(u'.', u','))
                .arg(r <= limite ? QString() : QStringLiteral(" NO CUMPLE"));
        };
        out << QStringLiteral("Orden entera").leftJustified(44) << "    Reloj     Pico\n";
        fila(QStringLiteral("Base: INSERT ... SELECT del Diario (SQLite)"), base);
        fila(QStringLiteral("Diario, --cancelar-impresion"), diario, razon(diario, base, 1.5));
        fila(QStringLiteral("Mayor, --cancelar-impresion"), mayor, razon(mayor, base, 2.0));
        fila(QStringLiteral("Diario a PDF (%1 MB)").arg(QFileInfo(pdf).size() / (1024 * 1024)),
             diarioPdf, ledger ? razon(diarioPdf, *ledger, 0.67) : QString());
        if (ledger)
            fila(QStringLiteral("ledger reg"), *ledger, {}, false);
        else
            out << "ledger no está instalado (apt-get install ledger): sin comparación\n";
        bien = legalizacion(out, dir, libros, informes, app_) && bien;
        out << (bien ? "Cumple\n" : "NO CUMPLE\n");
        return bien ? 0 : 1;
    } catch (const std::exception& e) {
        QTextStream(stderr) << descripcionError(e) << "\n";
        return 1;
    }
}
