// Libros registro para la Agencia Tributaria: nombre del archivo, columnas de un juego de
// facturas hecho a mano y sumas iguales a las del libro de IVA impreso.
#include <QDir>
#include <QFile>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "LibroPrueba.h"
#include "LibroRegistro.h"
#include "LibrosIVA.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

// Tres facturas emitidas (21 %, 10 % con recargo del 1,4 % y una rectificativa) y una recibida.
struct Facturas {
    Facturas() {
        empresa = libro.empresa();
        DatosEmpresa::guardarNif(libro.conta(), empresa, QStringLiteral("B50123456"));
        const qint64 repercutido = libro.cuenta(empresa, "4770001", "IVA repercutido");
        const qint64 soportado = libro.cuenta(empresa, "4720001", "IVA soportado");
        libro.cuenta(empresa, "4300001", "Cliente Uno", "B12345678");
        libro.cuenta(empresa, "4000001", "Proveedor Uno", "A87654321");
        linea(repercutido, "20260210", "F-1", "0", "21", "21", "0");
        linea(repercutido, "20260503", "F-2", "0", "10", "10", "1,4");
        linea(repercutido, "20260630", "R-1", "21", "0", "21", "0");
        linea(soportado, "20260301", "P-1", "4", "0", "4", "0");
    }
    void linea(qint64 cuenta, const char* fecha, const char* factura, const char* debe,
               const char* haber, const char* iva, const char* recargo) {
        libro.factura(
            empresa, ++numero, fecha, cuenta,
            {debe, haber, factura, factura[0] == 'P' ? "4000001" : "4300001", iva, recargo});
    }
    OpcionesLibrosIVA opciones(bool emitidas) const {
        OpcionesLibrosIVA o;
        o.empresa = empresa;
        o.emitidas = emitidas;
        o.euros = false;  // el libro registro sale en euros aunque se pida en pesetas
        o.desde = QDate(2026, 1, 1);
        o.hasta = QDate(2026, 12, 31);
        return o;
    }
    QStringList lineas(const QString& archivo) {
        QFile f(archivo);
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList l = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        if (l.last().isEmpty()) l.removeLast();
        return l;
    }
    LibroPrueba libro;
    long empresa = 0;
    int numero = 0;
};

const QString kDiezVacias(10, u';');

}  // namespace

class PruebaLibroRegistro : public QObject {
    Q_OBJECT

  private slots:
    void nombreDelArchivo_data() {
        QTest::addColumn<bool>("emitidas");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("csv");
        QTest::addColumn<QString>("archivo");
        QTest::newRow("emitidas csv")
            << true << "Pruebas, S.L." << true << "2026B50123456EPruebas, S.L.csv";
        QTest::newRow("recibidas xlsx")
            << false << "Pruebas" << false << "2026B50123456RPruebas.xlsx";
        QTest::newRow("barra y comillas")
            << true << " A/B \"C\" " << true << "2026B50123456EA_B _C_.csv";
    }
    void nombreDelArchivo() {
        QFETCH(bool, emitidas);
        QFETCH(QString, nombre);
        QFETCH(bool, csv);
        QFETCH(QString, archivo);
        QCOMPARE(nombreLibroRegistro(2026, QStringLiteral("B50123456"), emitidas, nombre,
                                     csv ? FormatoRegistro::Csv : FormatoRegistro::Xlsx),
                 archivo);
    }

    void columnasDeLasFacturas_data() {
        // clang-format off
        QTest::addColumn<bool>("emitidas");
        QTest::addColumn<QStringList>("filas");
        QTest::newRow("emitidas") << true << QStringList{
                   "2026;1T;A;03;;F1;10/02/2026;;;F-1;;;;B12345678;Cliente Uno;01;S1;;121,00;"
                   "100,00;21,00;21,00;0,00;0,00" +
                       kDiezVacias,
                   "2026;2T;A;03;;F1;03/05/2026;;;F-2;;;;B12345678;Cliente Uno;01;S1;;111,40;"
                   "100,00;10,00;10,00;1,40;1,40" +
                       kDiezVacias,
                   "2026;2T;A;03;;R4;30/06/2026;;;R-1;;;;B12345678;Cliente Uno;01;S1;;-121,00;"
                   "-100,00;21,00;-21,00;0,00;0,00" +
                       kDiezVacias};
        QTest::newRow("recibidas") << false << QStringList{
                   "2026;1T;A;03;;F1;01/03/2026;;01/03/2026;;P-1;;;;;;A87654321;"
                   "Proveedor Uno;01;N;N;N;;;104,00;100,00;4,00;4,00;4,00;0,00;0,00" +
                   kDiezVacias};
        // clang-format on
    }
    // El archivo CSV: nombre prescrito, una cabecera, ";" y las filas calculadas a mano.
    void columnasDeLasFacturas() {
        QFETCH(bool, emitidas);
        QFETCH(QStringList, filas);
        Facturas f;
        const QString archivo = exportarLibroRegistro(f.libro.conta(), f.opciones(emitidas),
                                                      FormatoRegistro::Csv, f.libro.carpeta());
        QCOMPARE(
            QFileInfo(archivo).fileName(),
            QStringLiteral("2026B50123456%1Pruebas, S.L.csv").arg(QChar(emitidas ? u'E' : u'R')));
        const QStringList lineas = f.lineas(archivo);
        QCOMPARE(lineas.first(), cabecerasLibroRegistro(emitidas).join(u';'));
        QCOMPARE(lineas.mid(1), filas);
    }

    // Base, cuota y total del libro registro suman lo mismo que el libro de IVA en euros.
    void sumasComoElLibroDeIVA() {
        Facturas f;
        for (const bool emitidas : {true, false}) {
            OpcionesLibrosIVA o = f.opciones(emitidas);
            o.euros = true;
            ProgresoNulo progreso;
            ContextoInforme contexto{f.libro.conta(), f.libro.inf(), progreso};
            f.libro.inf().Execute(QStringLiteral("DELETE FROM Libros_IVA"));
            construirLibrosIVA(contexto, o);
            Moneda libro[3];
            for (const QString& fila :
                 f.libro.filas("Libros_IVA", "BaseImponible, CuotaIVA, TotalFactura"))
                for (int i = 0; i < 3; ++i) libro[i] += *Moneda::deTexto(fila.section(u'|', i, i));
            const QStringList cabeceras = cabecerasLibroRegistro(emitidas);
            const int columnas[3] = {
                static_cast<int>(cabeceras.indexOf(QStringLiteral("Base Imponible"))),
                static_cast<int>(cabeceras.indexOf(emitidas
                                                       ? QStringLiteral("Cuota IVA Repercutida")
                                                       : QStringLiteral("Cuota IVA Soportada"))),
                static_cast<int>(cabeceras.indexOf(QStringLiteral("Total Factura")))};
            Moneda registro[3];
            for (const FilaRegistro& fila : filasLibroRegistro(f.libro.conta(), o)) {
                QCOMPARE(fila.size(), static_cast<std::size_t>(cabeceras.size()));
                for (int i = 0; i < 3; ++i) registro[i] += fila[columnas[i]].importe;
            }
            for (int i = 0; i < 3; ++i) QCOMPARE(registro[i], libro[i]);
        }
    }

    void xlsxConSuNombre() {
        Facturas f;
        const QString archivo = exportarLibroRegistro(f.libro.conta(), f.opciones(false),
                                                      FormatoRegistro::Xlsx, f.libro.carpeta());
        QCOMPARE(QFileInfo(archivo).fileName(), QStringLiteral("2026B50123456RPruebas, S.L.xlsx"));
        QFile x(archivo);
        QVERIFY(x.open(QIODevice::ReadOnly));
        QCOMPARE(x.read(2), QByteArray("PK"));  // un libro de cálculo es un zip
        QCOMPARE(QDir(f.libro.carpeta()).entryList({QStringLiteral("*.xlsx.*")}), QStringList());
    }

    // Sin NIF no hay nombre que dar al archivo: error y ningún archivo a medias.
    void sinNifNoEscribeNada() {
        Facturas f;
        DatosEmpresa::guardarNif(f.libro.conta(), f.empresa, QString());
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo,
                                 exportarLibroRegistro(f.libro.conta(), f.opciones(true),
                                                       FormatoRegistro::Csv, f.libro.carpeta()));
        QCOMPARE(QDir(f.libro.carpeta()).entryList({QStringLiteral("*.csv")}), QStringList());
    }
};

QTEST_GUILESS_MAIN(PruebaLibroRegistro)
#include "prueba_libro_registro.moc"
