// Los libros legalizados, leídos con pdftotext: folios seguidos de 1 a N en cada libro, las
// cuatro sumas y saldos con los totales del informe a cada fin de trimestre, las cuentas
// anuales con los importes del balance y de la cuenta de pérdidas y ganancias, las huellas de
// los archivos, los anexos debajo de sus folios y las negativas, que no escriben nada.
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include "Balance.h"
#include "Cierre.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Importador.h"
#include "Legalizacion.h"
#include "LibrosPrueba.h"
#include "SumasYSaldos.h"

using namespace orvo;

namespace {

// Un año con asientos en cada trimestre; el cierre abre el siguiente.
QByteArray diario() {
    QByteArray d =
        "Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n"
        "01/01/2026;1;5720001;Apertura;20.000,00;\n"
        "01/01/2026;1;1000001;Apertura;;20.000,00\n";
    int n = 1;
    for (int mes = 1; mes <= 12; ++mes)
        for (int dia : {5, 12, 19, 26}) {
            const QByteArray fecha = QStringLiteral("%1/%2/2026")
                                         .arg(dia, 2, 10, QChar(u'0'))
                                         .arg(mes, 2, 10, QChar(u'0'))
                                         .toLatin1();
            const QByteArray cliente = "43000" + QByteArray::number(10 + dia);
            const QByteArray base = QByteArray::number(100 * mes + dia) + ",00";
            const QByteArray iva = QByteArray::number((100 * mes + dia) * 21 / 100) + ",00";
            const QByteArray total =
                QByteArray::number((100 * mes + dia) + (100 * mes + dia) * 21 / 100) + ",00";
            const QByteArray gasto = QByteArray::number(30 + dia) + ",00";
            QByteArray asiento = fecha + ";" + QByteArray::number(++n) + ";";
            d += asiento + cliente + ";Venta;" + total + ";\n" + asiento + "7000001;Venta;;" + base +
                 "\n" + asiento + "4770001;Venta;;" + iva + "\n";
            asiento = fecha + ";" + QByteArray::number(++n) + ";";
            d += asiento + "6290001;Gasto;" + gasto + ";\n" + asiento + "5720001;Gasto;;" + gasto + "\n";
        }
    return d;
}

// Páginas del PDF según pdftotext (separadas por salto de página), con la disposición.
QStringList paginas(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) return {};
    QStringList hojas = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!hojas.isEmpty() && hojas.last().trimmed().isEmpty()) hojas.removeLast();
    return hojas;
}

// El valor de una fórmula "Nombre= 'valor'" del informe.
QString valorFormula(const FormulasInforme& f, const QString& nombre) {
    for (const auto& [i, texto] : f)
        if (texto.section(u'=', 0, 0).trimmed() == nombre)
            return texto.section(u'=', 1).trimmed().remove(u'\'').remove(u'"');
    return {};
}

// Un PDF de 'n' páginas con un texto reconocible, como los anexos que da el usuario.
void anexo(const QString& ruta, int n) {
    QPdfWriter pdf(ruta);
    QPainter p(&pdf);
    for (int i = 1; i <= n; ++i) {
        if (i > 1) pdf.newPage();
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
        p.drawText(QRectF(0, 0, pdf.width(), pdf.height() / 2), Qt::AlignCenter,
                   QStringLiteral("MEMORIA DE PRUEBA %1").arg(i));
    }
}

}  // namespace

class PruebaLegalizacion : public QObject {
    Q_OBJECT
    std::unique_ptr<prueba::LibrosPrueba> libros_;
    QTemporaryDir salida_;
    Legalizacion::Resultado r_;
    QStringList diario_, inventarios_;

    Legalizacion::Opciones opciones(const QString& carpeta) const {
        Legalizacion::Opciones o;
        o.empresa = 1;
        o.carpeta = carpeta;
        o.plantillas = QStringLiteral(ORVO_PLANTILLAS_DIR);
        o.fechaImpresion = QDate(2027, 3, 1);
        return o;
    }

    // Las páginas del libro de inventarios cuyo título empieza por 'titulo'.
    QString seccion(const QString& titulo) const {
        QString texto;
        for (const QString& p : inventarios_)
            if (p.contains(titulo)) texto += p;
        return texto;
    }

  private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("Falta pdftotext (apt-get install poppler-utils)");
        libros_ = std::make_unique<prueba::LibrosPrueba>();
        const QString csv = libros_->carpeta() + QStringLiteral("/diario.csv");
        QVERIFY(prueba::escribirArchivo(csv, diario()));
        Importacion::Opciones o;
        o.entrada = csv;
        o.contabilidad = libros_->carpeta() + QStringLiteral("/conta.db");
        o.empresa = 1;
        o.nombre = QStringLiteral("Pruebas, S.L.");
        o.abreviatura = QStringLiteral("PRU");
        ProgresoNulo progreso;
        Importacion::importar(o, progreso);
        DatosEmpresa::guardarNif(libros_->conta(), 1, QStringLiteral("B12345678"));
        Cierre::cerrar(libros_->conta(), 1);
        r_ = Legalizacion::legalizar(libros_->conta(), opciones(salida_.path()), progreso);
        diario_ = paginas(r_.diario.archivo);
        inventarios_ = paginas(r_.inventarios.archivo);
    }

    void archivosYHuellas() {
        QCOMPARE(QFileInfo(r_.diario.archivo).fileName(),
                 QStringLiteral("2026_B12345678_LibroDiario.pdf"));
        QCOMPARE(QFileInfo(r_.inventarios.archivo).fileName(),
                 QStringLiteral("2026_B12345678_LibroInventariosCuentasAnuales.pdf"));
        // Solo los tres archivos: ningún temporal se queda en la carpeta.
        QCOMPARE(QDir(salida_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{"2026_B12345678_LibroDiario.pdf",
                              "2026_B12345678_LibroInventariosCuentasAnuales.pdf", "huellas.txt"}));
        // sha256sum, un programa ajeno, comprueba las huellas.
        QProcess sha;
        sha.setWorkingDirectory(salida_.path());
        sha.start(QStringLiteral("sha256sum"),
                  {QStringLiteral("-c"), QStringLiteral("huellas.txt")});
        QVERIFY(sha.waitForFinished());
        const QString comprobado = QString::fromUtf8(sha.readAllStandardOutput());
        QVERIFY2(sha.exitCode() == 0, qPrintable(comprobado));
        QCOMPARE(comprobado.count(QStringLiteral(": OK")), 2);
    }

    // Cada libro numera sus folios de 1 a N sin huecos, y N es lo que dice la portada.
    void folios_data() {
        QTest::addColumn<int>("libro");
        QTest::newRow("Libro Diario") << 0;
        QTest::newRow("Libro de Inventarios y Cuentas Anuales") << 1;
    }
    void folios() {
        QFETCH(int, libro);
        const QStringList& hojas = libro == 0 ? diario_ : inventarios_;
        const int n = libro == 0 ? r_.diario.folios : r_.inventarios.folios;
        QCOMPARE(hojas.size(), n);
        for (int i = 0; i < n; ++i) {
            const QString folio = QStringLiteral("Folio %1 de %2").arg(i + 1).arg(n);
            QVERIFY2(hojas[i].contains(folio), qPrintable(folio + u'\n' + hojas[i]));
            QVERIFY(hojas[i].contains(u"NIF B12345678"));
            QVERIFY(hojas[i].contains(u"Ejercicio 2026"));
        }
        QVERIFY(hojas[0].contains(QStringLiteral("Consta de %1 folios").arg(n)));
    }

    // El blanco de un folio se tacha: en la portada, la diagonal cruza el centro del hueco
    // bajo el texto (pdftoppm la pinta; una letra no cae ahí).
    void blancoTachado() {
        QTemporaryDir dir;
        QProcess p;
        p.start(QStringLiteral("pdftoppm"), {"-gray", "-r", "72", "-f", "1", "-l", "1",
                                             r_.diario.archivo, dir.filePath(QStringLiteral("p"))});
        QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);
        const QStringList pgm = QDir(dir.path()).entryList({QStringLiteral("p*.pgm")});
        QCOMPARE(pgm.size(), 1);
        QImage hoja(dir.filePath(pgm.first()));
        QVERIFY(!hoja.isNull());
        const auto oscuro = [&](double xMm, double yMm) {
            const int x = qRound(xMm * 72 / 25.4), y = qRound(yMm * 72 / 25.4);
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    if (qGray(hoja.pixel(x + dx, y + dy)) < 160) return true;
            return false;
        };
        // Portada de A4: el hueco va de 155 a 279 mm de alto y de 12 a 198 mm de ancho.
        QVERIFY(oscuro(105, 217));
        QVERIFY(!oscuro(60, 217));
        QVERIFY(!oscuro(150, 217));
    }

    // El Diario va de la apertura al cierre: empieza por el asiento 1 y acaba con el cierre.
    void diarioCompleto() {
        QVERIFY(diario_.size() > 2);
        QVERIFY(diario_[1].contains(u"Asiento nº 1 ("));
        QVERIFY(diario_.last().contains(u"Cierre del ejercicio 2026"));
        QVERIFY(diario_[1].contains(u"Suma y sigue"));
        QVERIFY(diario_.join(QString()).contains(u"Regularización del ejercicio 2026"));
    }

    // Las cuatro sumas y saldos, acumuladas desde el principio del ejercicio, con los totales
    // del informe de sumas y saldos a cada fin de trimestre (con otros niveles: los totales
    // son los de las subcuentas).
    void sumasYSaldosTrimestrales_data() {
        QTest::addColumn<int>("trimestre");
        QTest::addColumn<QDate>("hasta");
        QTest::newRow("primero") << 1 << QDate(2026, 3, 31);
        QTest::newRow("segundo") << 2 << QDate(2026, 6, 30);
        QTest::newRow("tercero") << 3 << QDate(2026, 9, 30);
        QTest::newRow("cuarto") << 4 << QDate(2026, 12, 31);
    }
    void sumasYSaldosTrimestrales() {
        QFETCH(int, trimestre);
        QFETCH(QDate, hasta);
        OpcionesSumasYSaldos s;
        s.empresa = 1;
        s.subcuentaDesde = QStringLiteral("0000000");
        s.subcuentaHasta = QStringLiteral("9999999");
        s.desde = QDate(2026, 1, 1);
        s.hasta = hasta;
        s.niveles = {3, 7};
        const FormulasInforme f = libros_->construir(construirSumasYSaldos, s);
        libros_->inf().Execute(QStringLiteral("DELETE FROM BalanceSumasySaldos"));
        const QString texto =
            seccion(QStringLiteral("Balance de sumas y saldos del %1.º trimestre, al %2")
                        .arg(trimestre)
                        .arg(hasta.toString(QStringLiteral("dd/MM/yyyy"))));
        QVERIFY(!texto.isEmpty());
        const QRegularExpression totales(
            QStringLiteral("Totales\\s+%1\\s+%2\\s+%3\\s+%4")
                .arg(QRegularExpression::escape(valorFormula(f, QStringLiteral("TotalSaldoApe"))),
                     QRegularExpression::escape(valorFormula(f, QStringLiteral("TotalDebe"))),
                     QRegularExpression::escape(valorFormula(f, QStringLiteral("TotalHaber"))),
                     QRegularExpression::escape(valorFormula(f, QStringLiteral("TotalSaldo")))));
        QVERIFY2(totales.match(texto).hasMatch(),
                 qPrintable(totales.pattern() + u'\n' + texto.right(600)));
        // La apertura va aparte: el primer trimestre la muestra en su columna.
        QVERIFY(valorFormula(f, QStringLiteral("TotalSaldoApe")) == u"0,00" ||
                texto.contains(u"Saldo apertura"));
    }

    // Balance de situación y pérdidas y ganancias: los importes del informe de la empresa, en
    // el mismo orden (sin ejercicio anterior, sin columna de comparación).
    void cuentasAnuales_data() {
        QTest::addColumn<int>("documento");
        QTest::addColumn<QString>("titulo");
        // clang-format off
        QTest::newRow("balance de situación") << 1 << "Balance de situación al 31/12/2026";
        QTest::newRow("pérdidas y ganancias") << 2 << "Cuenta de pérdidas y ganancias del ejercicio 2026";
        // clang-format on
    }
    void cuentasAnuales() {
        QFETCH(int, documento);
        QFETCH(QString, titulo);
        OpcionesBalance b;
        b.empresa = 1;
        b.documento = documento;
        b.desde = QDate(2026, 1, 1);
        b.hasta = QDate(2026, 12, 31);
        libros_->construir(construirBalance, b);
        const QStringList totales =
            libros_->filas(QStringLiteral("Balances"), QStringLiteral("Total"));
        libros_->inf().Execute(QStringLiteral("DELETE FROM Balances"));
        QString texto = seccion(titulo);
        QVERIFY(totales.size() > 5);
        qsizetype desde = 0;
        for (const QString& t : totales) {
            if (t.isEmpty()) continue;
            const qsizetype en = texto.indexOf(t, desde);
            QVERIFY2(en >= 0, qPrintable(t + QStringLiteral(" no está tras la posición ") +
                                         QString::number(desde)));
            desde = en + t.size();
        }
    }

    // El inventario de cierre detalla cada subcuenta con saldo bajo los epígrafes del balance.
    void inventario() {
        const QString texto = seccion(QStringLiteral("Inventario de cierre al 31/12/2026"));
        for (const char* subcuenta : {"5720001", "4300015", "4770001", "1000001"})
            QVERIFY2(texto.contains(QLatin1String(subcuenta)), subcuenta);
        QVERIFY(seccion(QStringLiteral("Balance de apertura detallado")).contains(u"20.000,00"));
    }

    // Con ejercicio anterior, las cuentas anuales llevan su columna; los anexos van detrás,
    // cada página bajo su folio.
    void ejercicioSiguienteConAnexos() {
        ProgresoNulo progreso;
        Cierre::cerrar(libros_->conta(), 2);
        QTemporaryDir carpeta;
        const QString memoria = carpeta.filePath(QStringLiteral("memoria.pdf"));
        anexo(memoria, 2);
        QTemporaryDir destino;
        Legalizacion::Opciones o = opciones(destino.path());
        o.empresa = 2;
        o.anexos = {memoria};
        const Legalizacion::Resultado r = Legalizacion::legalizar(libros_->conta(), o, progreso);
        const QStringList hojas = paginas(r.inventarios.archivo);
        QCOMPARE(hojas.size(), r.inventarios.folios);
        const int n = int(hojas.size());
        for (int i : {1, 2}) {
            const QString& hoja = hojas[n - 3 + i];
            QVERIFY2(hoja.contains(QStringLiteral("MEMORIA DE PRUEBA %1").arg(i)),
                     qPrintable(hoja));
            QVERIFY(hoja.contains(QStringLiteral("Folio %1 de %2").arg(n - 2 + i).arg(n)));
        }
        QString cuentas;
        for (const QString& h : hojas)
            if (h.contains(u"Balance de situación al 31/12/2027")) cuentas += h;
        QVERIFY(cuentas.contains(u"Ejercicio 2027"));
        QVERIFY(cuentas.contains(u"Ejercicio 2026"));
    }

    // Lo que se rechaza no deja nada en la carpeta.
    void rechazos_data() {
        QTest::addColumn<long>("empresa");
        QTest::addColumn<QString>("anexo");
        QTest::addColumn<QString>("mensaje");
        // clang-format off
        QTest::newRow("ejercicio sin cerrar") << 3L << QString() << "no está cerrado";
        QTest::newRow("anexo que no es un PDF") << 1L << "diario.csv" << "no es un PDF";
        QTest::newRow("empresa que no existe") << 9L << QString() << "No existe la empresa 9";
        // clang-format on
    }
    void rechazos() {
        QFETCH(long, empresa);
        QFETCH(QString, anexo);
        QFETCH(QString, mensaje);
        QTemporaryDir carpeta;
        Legalizacion::Opciones o = opciones(carpeta.path());
        o.empresa = empresa;
        if (!anexo.isEmpty()) o.anexos = {libros_->carpeta() + u'/' + anexo};
        ProgresoNulo progreso;
        try {
            Legalizacion::legalizar(libros_->conta(), o, progreso);
            QFAIL("debía rechazarse");
        } catch (const ErrorOrvo& e) {
            QVERIFY2(e.descripcion().contains(mensaje), qPrintable(e.descripcion()));
        }
        QVERIFY(QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    // Las opciones que comparten las órdenes sobre unos libros las prueba la del cierre.
    void orden_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        // clang-format off
        QTest::newRow("sin carpeta") << QStringList{"--empresa", "1"} << 2;
        QTest::newRow("carpeta que no existe") << QStringList{"--empresa", "1", "--archivo", "/no/existe"} << 1;
        // clang-format on
    }
    void orden() {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        QString texto;
        QTextStream err(&texto);
        const QStringList libros{"--contabilidad", libros_->carpeta() + QStringLiteral("/conta.db")};
        QCOMPARE(Legalizacion::orden(libros + argumentos, err, QStringLiteral(ORVO_PLANTILLAS_DIR)),
                 codigo);
    }
};

QTEST_MAIN(PruebaLegalizacion)
#include "prueba_legalizacion.moc"
