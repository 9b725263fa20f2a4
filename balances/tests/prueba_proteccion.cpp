// El proceso muere en mitad de un balance de situación (o de su comparativo), con el resultado ya
// puesto en la 129 (y la 1290000 recién creada): al volver a abrir los libros, todo está como
// antes.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "LibroPrueba.h"

using namespace orvo;
using prueba::LibroPrueba;

class PruebaProteccion : public QObject {
    Q_OBJECT
  private slots:
    void procesoMuertoTrasElAsiento_data() {
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("balance de situación") << QStringList();
        QTest::newRow("comparativo") << QStringList{QStringLiteral("comparativo")};
    }
    void procesoMuertoTrasElAsiento() {
        QFETCH(QStringList, extra);
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("libros.db"));
        QString antes;
        {
            LibroPrueba libro(ruta);
            prueba::libroBasico(libro);
            antes = libro.instantanea();
        }
        QProcess hijo;
        hijo.start(QStringLiteral(ORVO_MATAR_BALANCE),
                   QStringList{ruta, dir.filePath(QStringLiteral("Informes.mdb"))} + extra);
        QVERIFY(hijo.waitForFinished(60000));
        QCOMPARE(hijo.exitStatus(), QProcess::CrashExit);
        // Murió con cambios sin confirmar: el diario de SQLite sigue ahí.
        QVERIFY(QFile::exists(ruta + QStringLiteral("-journal")));
        LibroPrueba reabierto(ruta, false);
        QCOMPARE(reabierto.instantanea(), antes);
    }
};

QTEST_MAIN(PruebaProteccion)
#include "prueba_proteccion.moc"
