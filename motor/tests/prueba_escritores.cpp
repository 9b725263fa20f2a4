// Los escritores de archivos ante un fallo: del disco o de libxlsxwriter, llega a quien escribe
// como FalloEscritura, y el archivo que había sigue igual, byte a byte, sin temporales al lado.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

#include "DiscoLleno.h"
#include "DoblesPrueba.h"
#include "Escritores.h"

using namespace orvo;
using orvo::prueba::DiscoLleno;

namespace {

// Dos mil filas: más de lo que deja el disco lleno.
void filasCsv(ArchivoCsv& csv) {
    for (int i = 0; i < 2000; ++i)
        csv.fila({QString::number(i), QStringLiteral("Cliente; %1").arg(i), QStringLiteral("1,5")});
}

void filasXlsx(LibroXlsx& x) {
    x.hoja(QStringLiteral("EXPEDIDAS"));
    const auto fecha = x.estilo({"dd/mm/yyyy"});
    for (int i = 0; i < 2000; ++i) {
        x.texto(i, 0, QStringLiteral("Cliente %1").arg(i));
        x.numero(i, 1, i * 1.25);
        x.fecha(i, 2, QDate(2026, 1, 1).addDays(i % 365), fecha);
    }
}

}  // namespace

class PruebaEscritores : public QObject {
    Q_OBJECT

  private slots:
    void unFalloDejaElArchivoComoEstaba_data() {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("motivo");
        const QString lleno = QString::fromLocal8Bit(std::strerror(EFBIG));
        // clang-format off
        QTest::newRow("CSV, disco lleno") << "libro.csv" << "lleno" << lleno;
        QTest::newRow("XLSX en memoria, disco lleno") << "libro.xlsx" << "lleno" << "";
        QTest::newRow("XLSX en memoria constante, disco lleno")
            << "libro.xlsx" << "lleno constante" << "";
        QTest::newRow("texto más largo que una celda")
            << "libro.xlsx" << "texto largo" << "32,767";
        QTest::newRow("nombre de hoja no válido") << "libro.xlsx" << "hoja [1]" << "hoja";
        QTest::newRow("hoja repetida") << "libro.xlsx" << "hoja repetida" << "hoja";
        QTest::newRow("fila fuera de la hoja") << "libro.xlsx" << "fila fuera" << "out of range";
        QTest::newRow("celda sin hoja") << "libro.xlsx" << "sin hoja" << "no hay ninguna hoja";
        QTest::newRow("HTML o PDF, disco lleno") << "libro.html" << "lleno" << lleno;
        // clang-format on
    }
    void unFalloDejaElArchivoComoEstaba() {
        QFETCH(QString, nombre);
        QFETCH(QString, caso);
        QFETCH(QString, motivo);
        QTemporaryDir carpeta;
        const QString ruta = carpeta.filePath(nombre);
        const QByteArray anterior = "el libro bueno de ayer";
        QVERIFY(prueba::escribirArchivo(ruta, anterior));
        try {
            if (nombre.endsWith(u".csv")) {
                DiscoLleno disco(1024);
                ArchivoCsv csv(ruta, true);
                filasCsv(csv);
                csv.confirmar();
            } else if (nombre.endsWith(u".html")) {
                DiscoLleno disco(1024);
                escribirEntero(ruta, [](ArchivoEntero& f) {
                    for (int i = 0; i < 2000; ++i)
                        f.dispositivo().write("<tr><td>fila</td></tr>\n");
                });
            } else if (caso.startsWith(u"lleno")) {
                DiscoLleno disco(1024);
                LibroXlsx x(ruta, caso.endsWith(u"constante"));
                filasXlsx(x);
                x.confirmar();
            } else {
                LibroXlsx x(ruta, false);
                if (caso != u"sin hoja") x.hoja(QStringLiteral("EXPEDIDAS"));
                if (caso == u"texto largo")
                    x.texto(0, 0, QString(32768, u'x'));
                else if (caso == u"hoja [1]")
                    x.hoja(QStringLiteral("RECIBIDAS [1]"));
                else if (caso == u"hoja repetida")
                    x.hoja(QStringLiteral("EXPEDIDAS"));
                else if (caso == u"fila fuera")
                    x.numero(LibroXlsx::kFilasMaximas, 0, 1.0);
                else
                    x.texto(0, 0, QStringLiteral("Ejercicio"));
                x.confirmar();
            }
            QFAIL("se ha escrito");
        } catch (const FalloEscritura& e) {
            QCOMPARE(e.archivo(), ruta);
            QVERIFY2(!e.motivo().isEmpty() && e.motivo().contains(motivo), qPrintable(e.motivo()));
            QCOMPARE(e.numero(), long(Causa::AccesoAlArchivo));
        }
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), anterior);
        QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden), QStringList{nombre});
    }
};

QTEST_GUILESS_MAIN(PruebaEscritores)
#include "prueba_escritores.moc"
