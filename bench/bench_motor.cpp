// Rendimiento del motor de informes: un libro mayor de N filas a PDF con el motor y, aparte,
// un bucle desnudo de QPdfWriter + QPainter que dibuja las mismas filas con la misma
// disposición de página. Cada medida corre en su propio proceso para que el pico de memoria
// (VmHWM) sea solo suyo.
//
//   bench_motor                      100.000 filas (motor y bucle) y 1.000.000 (motor)
//   bench_motor motor|bucle N BASE   una medida suelta (la usa el propio programa)
#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "Conexion.h"
#include "Esquemas.h"
#include "MotorInformes.h"

using namespace orvo;

namespace {

long picoMemoriaKb() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

// Tiempo de CPU del proceso: la máquina se comparte y el reloj de pared depende de la carga.
double segundosCpu() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
           static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

// Libro_Mayor con N líneas en subcuentas de 500 líneas, generado dentro de SQLite.
void generar(const QString& ruta, qint64 filas) {
    QFile::remove(ruta);
    auto con = Conexion::abrir(ruta, true);
    Esquemas::crearInformes(*con);
    con->Execute(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
            "INSERT INTO Libro_Mayor (Codigo, Descripcion, Asiento, Fecha, Concepto, Debe, Haber, "
            "Saldo) "
            "SELECT printf('43%05d', i / 500), 'Cliente número ' || (i / 500), "
            "(i / 3 + 1) || ' (' || (i / 3 + 1000) || ')', printf('%02d/03/2024', i % 28 + 1), "
            "'Factura de venta número ' || i || ' según pedido', "
            "CASE WHEN i % 2 = 0 THEN printf('%d,%02d', i % 997, i % 100) ELSE '0,00' END, "
            "CASE WHEN i % 2 = 1 THEN printf('%d,%02d', i % 991, i % 89) ELSE '0,00' END, "
            "printf('-%d,%02d', i % 983, i % 71) FROM n"),
        {filas});
}

struct Medida {
    double segundos = 0;  // CPU
    int paginas = 0;
    long picoKb = 0;
};

Medida medirMotor(const QString& base, const QString& pdf) {
    MotorInformes m(MotorInformes::Opciones::desatendido());
    m.setFormulas(1, QStringLiteral("Empresa= \"Comercial Ñandú, S.L. <CÑ-2024>\""));
    m.setFormulas(2, QStringLiteral("Periodo= \"Periodo:  enero/2024 ~ diciembre/2024\""));
    m.setFormulas(3, QStringLiteral("TrabajarConPts= '0'"));
    m.setReportFileName(QStringLiteral(ORVO_PLANTILLAS_DIR "/infCONT_LibroMayor.rpt"));
    m.setWindowTitle(QStringLiteral("Informe de libro Mayor"));
    m.setDataFiles(0, base);
    m.setPrintFileName(pdf);
    m.setDestination(2);
    const double inicio = segundosCpu();
    m.PrintReport();
    Medida r;
    r.segundos = segundosCpu() - inicio;
    if (m.LastErrorNumber() != 0) {
        std::fprintf(stderr, "error %d: %s\n", m.LastErrorNumber(),
                     qPrintable(m.LastErrorString()));
        std::exit(1);
    }
    // Cada página del PDF es un objeto "/Type /Page" (sin la s de /Pages); se lee a trozos
    // para no sumar el archivo al pico de memoria.
    QFile f(pdf);
    f.open(QIODevice::ReadOnly);
    const QByteArray marca("/Type /Page");
    QByteArray cola;
    while (!f.atEnd()) {
        const QByteArray datos = cola + f.read(1 << 20);
        for (qsizetype i = datos.indexOf(marca); i >= 0 && i + marca.size() < datos.size();
             i = datos.indexOf(marca, i + 1))
            if (datos.at(i + marca.size()) != 's') ++r.paginas;
        cola = datos.right(marca.size());
    }
    return r;
}

// Lo mismo a mano: cabecera, títulos, 61 líneas de 6 columnas por página y pie.
Medida medirBucle(const QString& base, const QString& pdf) {
    const double inicio = segundosCpu();
    auto con = Conexion::abrir(base);
    QPdfWriter w(pdf);
    w.setResolution(600);
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter p(&w);
    const double px = w.logicalDpiX() / 25.4;
    auto mm = [px](double x, double y, double a, double h) {
        return QRectF(x * px, y * px, a * px, h * px);
    };
    QFont normal(QStringLiteral("DejaVu Sans"));
    normal.setStretch(QFont::SemiCondensed);
    normal.setPointSizeF(8);
    QFont negrita = normal;
    negrita.setBold(true);
    QFont titulo = negrita;
    titulo.setPointSizeF(13);
    const double anchos[] = {18, 22, 70, 24, 24, 25};
    const double escala = 186.0 / 183.0;
    const Qt::Alignment alin[] = {Qt::AlignLeft,  Qt::AlignLeft,  Qt::AlignLeft,
                                  Qt::AlignRight, Qt::AlignRight, Qt::AlignRight};
    const char* campos[] = {"Fecha", "Asiento", "Concepto", "Debe", "Haber", "Saldo"};
    const qint64 filas =
        con->valor(QStringLiteral("SELECT COUNT(*) FROM Libro_Mayor")).toLongLong();
    const int total = int((filas + 60) / 61);
    Recordset rs = con->Execute(QStringLiteral(
        "SELECT Fecha, Asiento, Concepto, Debe, Haber, Saldo FROM Libro_Mayor ORDER BY rowid"));
    int pagina = 0;
    while (!rs.Eof()) {
        if (pagina++) w.newPage();
        p.setFont(negrita);
        p.drawText(mm(12, 10, 150, 5), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Comercial Ñandú, S.L. <CÑ-2024>"));
        p.setFont(normal);
        p.drawText(mm(12, 10, 186, 5), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Fecha de impresión: 31/12/2024"));
        p.setFont(titulo);
        p.drawText(mm(12, 15, 186, 7), Qt::AlignCenter, QStringLiteral("Informe de libro Mayor"));
        p.setFont(normal);
        p.drawText(mm(12, 22, 150, 5), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Periodo:  enero/2024 ~ diciembre/2024"));
        p.setFont(negrita);
        double x = 12;
        for (int c = 0; c < 6; ++c) {
            p.drawText(mm(x + 1, 29, anchos[c] * escala - 2, 6), alin[c] | Qt::AlignVCenter,
                       QString::fromLatin1(campos[c]));
            x += anchos[c] * escala;
        }
        p.drawLine(QPointF(12 * px, 35 * px), QPointF(198 * px, 35 * px));
        p.setFont(normal);
        double y = 35;
        for (int l = 0; l < 61 && !rs.Eof(); ++l, rs.MoveNext()) {
            x = 12;
            for (int c = 0; c < 6; ++c) {
                p.drawText(mm(x + 1, y, anchos[c] * escala - 2, 4), alin[c] | Qt::AlignVCenter,
                           rs.Fields(c).toString());
                x += anchos[c] * escala;
            }
            y += 4;
        }
        p.drawText(mm(12, 282, 186, 5), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Página %1 de %2").arg(pagina).arg(total));
    }
    p.end();
    Medida r;
    r.segundos = segundosCpu() - inicio;
    r.paginas = pagina;
    return r;
}

Medida hija(const QString& modo, qint64 filas, const QString& base, const QString& pdf) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {modo, QString::number(filas), base, pdf});
    p.waitForFinished(-1);
    const QStringList v =
        QString::fromUtf8(p.readAllStandardOutput()).split(u' ', Qt::SkipEmptyParts);
    if (p.exitCode() != 0 || v.size() != 3) {
        std::fprintf(stderr, "la medida %s ha fallado\n", qPrintable(modo));
        std::exit(1);
    }
    return {v[0].toDouble(), v[1].toInt(), v[2].toLong()};
}

void informar(const char* que, qint64 filas, const Medida& m) {
    std::printf("%-7s %9lld filas %6d páginas %8.2f s de CPU %8.1f páginas/s  pico %6.1f MB\n", que,
                static_cast<long long>(filas), m.paginas, m.segundos, m.paginas / m.segundos,
                static_cast<double>(m.picoKb) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5) {
        const Medida m =
            args[1] == u"motor" ? medirMotor(args[3], args[4]) : medirBucle(args[3], args[4]);
        std::printf("%f %d %ld\n", m.segundos, m.paginas, picoMemoriaKb());
        return 0;
    }
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("Informes.mdb"));
    const QString pdf = dir.filePath(QStringLiteral("mayor.pdf"));
    generar(base, 100000);
    const Medida motor = hija(QStringLiteral("motor"), 100000, base, pdf);
    const Medida bucle = hija(QStringLiteral("bucle"), 100000, base, pdf);
    informar("motor", 100000, motor);
    informar("bucle", 100000, bucle);
    std::printf("motor / bucle: %.0f %% de las páginas por segundo (objetivo >= 80 %%)\n",
                100.0 * (motor.paginas / motor.segundos) / (bucle.paginas / bucle.segundos));
    generar(base, 1000000);
    const Medida millon = hija(QStringLiteral("motor"), 1000000, base, pdf);
    informar("motor", 1000000, millon);
    std::printf("pico con 1.000.000 filas: %.1f MB (objetivo < 60 MB)\n",
                static_cast<double>(millon.picoKb) / 1024.0);
    return 0;
}
