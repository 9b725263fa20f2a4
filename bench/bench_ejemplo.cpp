// Tiempos de punta a punta sobre los libros de ejemplo: crear los libros y, para cada una de
// las catorce operaciones, en euros y en pesetas, diálogo + construcción + PDF, como lo hace
// orvo-informes. Uso: bench_ejemplo [CARPETA]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "Ejecutor.h"
#include "LibrosEjemplo.h"
#include "cInformes.h"

namespace {

// Controles que hacen falta para que el informe tenga algo que imprimir.
QStringList controlesDe(const QString& operacion) {
    if (operacion == u"ImprimirDesgloseSubCuenta")
        return {QStringLiteral("--control"), QStringLiteral("lstInfSubCuentas=5720001")};
    return {};
}

// Los comparativos comparan 2024 con 2023; los demás, el primer ejercicio.
QString empresaDe(const QString& operacion) {
    return operacion.endsWith(u"Comp") ? QStringLiteral("2") : QStringLiteral("1");
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir temporal;
    const QString carpeta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporal.path();
    const QString libros = carpeta + QStringLiteral("/bench_ejemplo.db");
    QFile::remove(libros);

    QElapsedTimer reloj;
    reloj.start();
    orvo::LibrosEjemplo::crear(libros);
    out << "crear libros de ejemplo: " << reloj.elapsed() << " ms\n";

    int fallos = 0;
    for (const QString& op : orvo::cInformes::operaciones()) {
        for (const bool pesetas : {false, true}) {
            QStringList args{op,
                             QStringLiteral("--contabilidad"),
                             libros,
                             QStringLiteral("--empresa"),
                             empresaDe(op),
                             QStringLiteral("--ruta"),
                             carpeta + QStringLiteral("/app"),
                             QStringLiteral("--archivo"),
                             carpeta + QStringLiteral("/bench.pdf")};
            if (pesetas) args << QStringLiteral("--pesetas");
            args << controlesDe(op);
            QString avisos, salida;
            QTextStream err(&avisos), so(&salida);
            orvo::Ejecutor ejecutor;
            reloj.restart();
            const int codigo = ejecutor.ejecutar(args, so, err);
            const qint64 ms = reloj.elapsed();
            if (codigo != 0) ++fallos;
            out << QStringLiteral("%1 %2: %3 ms%4\n")
                       .arg(op, -30)
                       .arg(pesetas ? QStringLiteral("pesetas") : QStringLiteral("euros  "))
                       .arg(ms, 6)
                       .arg(codigo == 0 ? QString() : QStringLiteral("  (salida %1)").arg(codigo));
            out.flush();
        }
    }
    return fallos == 0 ? 0 : 1;
}
