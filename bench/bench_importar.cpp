// Importación de un CSV de un millón de líneas frente a la orden .import del shell sqlite3.
//
//   bench_importar generar FILE.csv [LINEAS]   escribe el CSV (tres líneas por asiento)
//   bench_importar medir FILE.csv              importa en unos libros nuevos, con el shell y
//                                              con la orden importar, cada uno en su proceso
//
// La importación (la orden entera: sondeo del archivo, lectura, asientos y registro) debe tardar
// como mucho 2 veces el .import en una tabla desnuda y no pasar de 150 MB de memoria.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "ErrorOrvo.h"
#include "Importador.h"
#include "Progreso.h"

using namespace orvo;

namespace {

void generar(const QString& ruta, qint64 lineas) {
    QFile f(ruta);
    if (f.exists() || !f.open(QIODevice::WriteOnly))
        throw ErrorOrvo(Causa::ArchivoYaExiste,
                        QStringLiteral("No se puede escribir un archivo nuevo: %1").arg(ruta));
    QByteArray b = "Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n";
    std::uint32_t azar = 12345;
    const auto siguiente = [&] { return azar = azar * 1103515245u + 12345u; };
    for (qint64 n = 0; n < lineas / 3; ++n) {
        const int mes = 1 + int(n * 12 / (lineas / 3));
        const QByteArray fecha = QByteArray::number(10 + n % 18) + '/' +
                                 QByteArray(mes < 10 ? "0" : "") + QByteArray::number(mes) + "/2026";
        const qint64 a = 1 + siguiente() % 500000, c = 1 + siguiente() % 100000;
        const QByteArray num = QByteArray::number(n + 1);
        const auto importe = [](qint64 centimos) {
            return QByteArray::number(centimos / 100) + ',' +
                   QByteArray::number(centimos % 100).rightJustified(2, '0');
        };
        const QByteArray gasto = QByteArray::number(6000000 + siguiente() % 300);
        const QByteArray cliente = QByteArray::number(4300000 + siguiente() % 300);
        b += fecha + ';' + num + ';' + gasto + ";Factura " + num + ';' + importe(a) + ";\n";
        b += fecha + ';' + num + ";4720001;Factura " + num + ';' + importe(c) + ";\n";
        b += fecha + ';' + num + ';' + cliente + ";Factura " + num + ";;" + importe(a + c) + "\n";
        if (b.size() > (1 << 20)) {
            f.write(b);
            b.clear();
        }
    }
    f.write(b);
}

double segundos(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

// Tiempo de procesador (usuario + sistema) de los hijos ya esperados: en una máquina compartida
// dice más que el reloj, que depende de la carga de los demás.
double cpuHijos() {
    rusage uso{};
    getrusage(RUSAGE_CHILDREN, &uso);
    return double(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
           double(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

long picoKB() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

// Un proceso por medida: el pico de memoria es solo suyo.
int importarAqui(const QString& csv, const QString& libros) {
    Importacion::Opciones o;
    o.entrada = csv;
    o.contabilidad = libros;
    o.empresa = 1;
    ProgresoNulo p;
    QElapsedTimer t;
    t.start();
    const Importacion::Resumen r = Importacion::importar(o, p);
    std::printf("%.3f %ld %s\n", segundos(t), picoKB(), qPrintable(r.texto()));
    return 0;
}

int medir(const QString& csv) {
    QTemporaryDir dir;
    QElapsedTimer t;
    t.start();
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {dir.filePath(QStringLiteral("desnuda.db"))});
    shell.waitForStarted();
    shell.write(QStringLiteral(".mode csv\n.separator ;\n.import %1 t\n").arg(csv).toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const double tShell = segundos(t);
    const double cpuShell = cpuHijos();
    if (shell.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3: %s\n", shell.readAllStandardError().constData());
        return 1;
    }
    QProcess hijo;
    hijo.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("importar"), csv, dir.filePath(QStringLiteral("libros.db"))});
    hijo.waitForFinished(-1);
    const QStringList r = QString::fromUtf8(hijo.readAllStandardOutput()).trimmed().split(u' ');
    if (hijo.exitCode() != 0 || r.size() < 3) {
        std::fprintf(stderr, "%s\n", hijo.readAllStandardError().constData());
        return 1;
    }
    const double tImportar = r[0].toDouble();
    const double cpuImportar = cpuHijos() - cpuShell;
    const double mb = r[1].toDouble() / 1024.0;
    std::printf("sqlite3 .import:   %.2f s (procesador %.2f s)\n", tShell, cpuShell);
    std::printf("orvo importar:     %.2f s (%.2f veces; límite 2; procesador %.2f s, %.2f veces)  "
                "pico %.0f MB (límite 150)\n",
                tImportar, tImportar / tShell, cpuImportar, cpuImportar / cpuShell, mb);
    std::printf("%s\n", qPrintable(r.mid(2).join(u' ')));
    return tImportar <= 2 * tShell && mb < 150 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    try {
        if (a.size() >= 2 && a[0] == u"generar")
            generar(a[1], a.size() > 2 ? a[2].toLongLong() : 1000000);
        else if (a.size() == 2 && a[0] == u"medir")
            return medir(a[1]);
        else if (a.size() == 3 && a[0] == u"importar")
            return importarAqui(a[1], a[2]);
        else {
            std::fprintf(stderr, "Uso: bench_importar generar FILE.csv [LINEAS] | medir FILE.csv\n");
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", qPrintable(descripcionError(e)));
        return 1;
    }
    return 0;
}
