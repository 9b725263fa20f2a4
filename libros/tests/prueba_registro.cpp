// Libros registro del IVA para la Agencia Tributaria: las columnas y cabeceras frente al libro de
// diseño de la Agencia, las filas de un juego de facturas calculado a mano, las validaciones que
// impiden escribir, los años naturales de una empresa de julio a junio y las casillas del modelo
// 303 recalculadas del XLSX con la tabla de la Agencia.
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "Comprobar.h"
#include "DiscoLleno.h"
#include "ErrorOrvo.h"
#include "LectorXlsx.h"
#include "LibroIVAPrueba.h"
#include "LibroRegistro.h"
#include "Nif.h"
#include "OrdenPrueba.h"
#include "ResumenIVA.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

const QString kAeat = QStringLiteral(ORVO_AEAT_DIR);

// Un título del diseño sin las llamadas a sus validaciones, "(11)", ni saltos de línea.
QString titulo(QString t) {
    static const QRegularExpression llamadas(QStringLiteral("\\(\\d+\\)"));
    return t.remove(llamadas).simplified();
}
QString sinBlancos(QString t) {
    return t.remove(QRegularExpression(QStringLiteral("\\s")));
}

// Las columnas pedidas de unas filas, como en el CSV, separadas por ";".
QStringList columnas(const std::vector<FilaRegistro>& filas, const QList<int>& cs) {
    QStringList r;
    for (const FilaRegistro& f : filas) {
        QStringList l;
        for (int c : cs) l << f[c].comoTexto();
        r << l.join(u';');
    }
    return r;
}

// Tipo de factura, número, NIF (tipo, país, identificación), nombre, total, base, tipo, cuota,
// tipo y cuota del recargo.
const QList<int> kVistaExpedidas{5, 11, 13, 14, 15, 16, 20, 21, 22, 23, 24, 25};
// Tipo de factura, serie-número, número de recepción, NIF, nombre, total, base, tipo, cuota,
// cuota deducible, tipo y cuota del recargo.
const QList<int> kVistaRecibidas{5, 10, 13, 15, 16, 17, 18, 25, 26, 27, 28, 29, 30, 31};

// Un cliente francés, los tiques de caja sin NIF, uno de nombre largo y uno con forma de NIF
// que no cuadra con su control.
struct Facturas : LibroIVA {
    Facturas() {
        cuenta(e, "4300002", "Client Lyon SARL", "FR 40 303 265 045");
        cuenta(e, "4300003", "Clientes de contado (tiques)", "");
        cuenta(e, "4300004", "Distribuciones y Representaciones Comerciales del Ebro, S.L.",
               "b-50.123.454");
        cuenta(e, "4300005", "Cliente Descuadrado", "B50123456");
        cuenta(e, "4300006", "Cliente Sin Forma", "ABCDEFGHI");
        cuenta(empresa(), "4300099", "De otra empresa", "B50123454");
    }
    OpcionesLibrosIVA todoElAno() const { return LibroIVA::opciones(true); }
    LibrosRegistroAnuales ano() { return librosRegistro(conta(), todoElAno()).at(0); }
    ExportacionRegistro exportar(FormatoRegistro formato = FormatoRegistro::Xlsx) {
        return exportarLibroRegistro(conta(), todoElAno(), formato, carpeta());
    }
    // El mensaje con el que se niega a escribir; vacío si ha escrito.
    QString rechazo(const OpcionesLibrosIVA& o, FormatoRegistro formato, const QString& destino,
                    qint64 maximo = kMaximoPre303) {
        try {
            exportarLibroRegistro(conta(), o, formato, destino, maximo);
        } catch (const ErrorOrvo& error) {
            return error.descripcion();
        }
        return {};
    }
    QString rechazo() { return rechazo(todoElAno(), FormatoRegistro::Xlsx, carpeta()); }
    QStringList xlsx() const { return QDir(carpeta()).entryList({QStringLiteral("*.xlsx*")}); }
};

}  // namespace

class PruebaRegistro : public QObject {
    Q_OBJECT

  private slots:
    // Cabeceras (dos filas), número, orden y tipo de las columnas frente al libro de diseño.
    void comoElDisenyo_data() {
        QTest::addColumn<bool>("emitidas");
        QTest::addColumn<QString>("hojaDisenyo");
        QTest::addColumn<QString>("hoja");
        QTest::addColumn<int>("numero");
        QTest::newRow("expedidas") << true << "EXPEDIDAS_INGRESOS"
                                   << "EXPEDIDAS" << 36;
        QTest::newRow("recibidas") << false << "RECIBIDAS_GASTOS"
                                   << "RECIBIDAS" << 42;
    }
    void comoElDisenyo() {
        QFETCH(bool, emitidas);
        QFETCH(QString, hojaDisenyo);
        QFETCH(QString, hoja);
        QFETCH(int, numero);
        const QString disenyo = kAeat + QStringLiteral("/disenyo-personas-juridicas-LSIJ.xlsx");
        if (!QFileInfo::exists(disenyo))
            QSKIP(qPrintable(QStringLiteral("No están los documentos de la Agencia en %1: la "
                                            "comparación con el diseño no se hace en este clon")
                                 .arg(kAeat)));
        // En el diseño, la fila 7 lleva los grupos, la 8 los títulos y la 9 los tipos.
        const HojaLeida d = leerLibroXlsx(disenyo).value(hojaDisenyo);
        int ultima = 0;
        while (!d.texto(8, ultima).isEmpty()) ++ultima;
        QCOMPARE(ultima, numero);
        const auto& cs = columnasLibroRegistro(emitidas);
        QCOMPARE(int(cs.size()), numero);

        Facturas f;
        f.factura(emitidas ? "R 20260210 0 21 F-1" : "S 20260210 21 0 P-1");
        const ExportacionRegistro r = f.exportar();
        const QHash<QString, HojaLeida> libro = leerLibroXlsx(r.archivos.value(0));
        QCOMPARE(QStringList(libro.keys()).size(), 2);
        const HojaLeida nuestra = libro.value(hoja);
        // Grupo, título y tipo de cada columna; si difieren, QCOMPARE dice de qué columna.
        QStringList nuestras, suyas;
        for (int c = 0; c < numero; ++c) {
            nuestras << titulo(nuestra.texto(0, c)) + u'|' + titulo(nuestra.texto(1, c)) + u'|' +
                            sinBlancos(cs[c].tipoDisenyo());
            suyas << titulo(d.texto(6, c)) + u'|' + titulo(d.texto(7, c)) + u'|' +
                         sinBlancos(d.texto(8, c));
            // Los datos, desde la fila 3, con el tipo de celda de su columna.
            const CeldaXlsx celda = nuestra.celda(2, c);
            if (celda.valor.isEmpty()) continue;
            const CeldaXlsx::Clase esperada = cs[c].tipo == TipoColumna::Texto ? CeldaXlsx::Texto
                                              : cs[c].tipo == TipoColumna::Fecha
                                                  ? CeldaXlsx::Fecha
                                                  : CeldaXlsx::Numero;
            QCOMPARE(int(celda.clase), int(esperada));
        }
        QCOMPARE(nuestras, suyas);
        QCOMPARE(nuestra.celda(2, 8).valor, QStringLiteral("46063"));  // 10/02/2026
    }

    // Filas calculadas a mano: "R|S fecha debe haber factura iva recargo base contrapartida".
    void facturasAMano_data() {
        QTest::addColumn<bool>("emitidas");
        QTest::addColumn<QStringList>("lineas");
        QTest::addColumn<QStringList>("filas");
        // clang-format off
        QTest::newRow("sin recargo: sus celdas vacías") << true << QStringList{"R 20260210 0 21 F-1"} << QStringList{"F1;F-1;;;B12345678;Cliente Uno;121,00;100,00;21,00;21,00;;"};
        QTest::newRow("con recargo") << true << QStringList{"R 20260503 0 10 F-2 10 1,4"} << QStringList{"F1;F-2;;;B12345678;Cliente Uno;111,40;100,00;10,00;10,00;1,40;1,40"};
        QTest::newRow("rectificativa") << true << QStringList{"R 20260630 21 0 R-1"} << QStringList{"R1;R-1;;;B12345678;Cliente Uno;-121,00;-100,00;21,00;-21,00;;"};
        QTest::newRow("cliente francés") << true << QStringList{"R 20260301 0 21 F-3 21 0 100 4300002"} << QStringList{"F1;F-3;02;FR;FR40303265045;Client Lyon SARL;121,00;100,00;21,00;21,00;;"};
        QTest::newRow("tique sin NIF") << true << QStringList{"R 20260302 0 2,10 T-1 21 0 10 4300003"} << QStringList{"F2;T-1;;;;VENTAS A CONSUMIDOR FINAL;12,10;10,00;21,00;2,10;;"};
        QTest::newRow("resumen de tiques de más de 3.000 €") << true << QStringList{"R 20260304 0 840 T-3 21 0 4000 4300003"} << QStringList{"F4;T-3;;;;VENTAS A CONSUMIDOR FINAL;4840,00;4000,00;21,00;840,00;;"};
        QTest::newRow("tique devuelto") << true << QStringList{"R 20260303 2,10 0 T-2 21 0 10 4300003"} << QStringList{"R5;T-2;;;;VENTAS A CONSUMIDOR FINAL;-12,10;-10,00;21,00;-2,10;;"};
        QTest::newRow("nombre largo y NIF con separadores") << true << QStringList{"R 20260411 0 21 F-6 21 0 100 4300004"} << QStringList{"F1;F-6;;;B50123454;Distribuciones y Representaciones Comerc;121,00;100,00;21,00;21,00;;"};
        QTest::newRow("recibida con recargo: no deduce") << false << QStringList{"S 20260301 21 0 P-1 21 5,2"} << QStringList{"F1;P-1;1;;;A87654321;Proveedor Uno;126,20;100,00;21,00;21,00;0,00;5,20;5,20"};
        QTest::newRow("recibidas: un número de recepción por factura") << false
            << QStringList{"S 20260301 21 0 P-1", "+S 20260301 10 0 P-1 10", "S 20260302 4 0 P-2 4"}
            << QStringList{"F1;P-1;1;;;A87654321;Proveedor Uno;121,00;100,00;21,00;21,00;21,00;;",
                           "F1;P-1;1;;;A87654321;Proveedor Uno;110,00;100,00;10,00;10,00;10,00;;",
                           "F1;P-2;2;;;A87654321;Proveedor Uno;104,00;100,00;4,00;4,00;4,00;;"};
        // clang-format on
    }
    void facturasAMano() {
        QFETCH(bool, emitidas);
        QFETCH(QStringList, lineas);
        Facturas f;
        for (const QString& l : lineas) f.factura(l);
        const LibrosRegistroAnuales a = f.ano();
        QCOMPARE(a.errores(), QStringList());
        QTEST(emitidas ? columnas(a.expedidas, kVistaExpedidas)
                       : columnas(a.recibidas, kVistaRecibidas),
              "filas");
        // Lo común de la factura: ejercicio y periodo de su fecha, actividad, clave y
        // calificación.
        const FilaRegistro& p = emitidas ? a.expedidas.at(0) : a.recibidas.at(0);
        QCOMPARE(p[0].comoTexto(), QStringLiteral("2026"));
        QCOMPARE(p[2].texto + p[3].texto + p[4].texto, QStringLiteral("A03"));
        // Con el epígrafe del IAE de la empresa, en todas sus líneas.
        iae::guardar(f.conta(), f.e, QStringLiteral("6423"));
        const LibrosRegistroAnuales conIae = f.ano();
        for (const FilaRegistro& fila : emitidas ? conIae.expedidas : conIae.recibidas)
            QCOMPARE(fila[4].texto, QStringLiteral("6423"));
    }

    // Al 0 % a un cliente con NIF-IVA de la Unión: entrega intracomunitaria exenta (E5), sin
    // calificación, tipo ni cuota, y en la casilla 59 del resumen, no en la 150.
    void entregaIntracomunitaria() {
        Facturas f;
        f.factura(QStringLiteral("R 20260305 0 0 F-7 0 0 500 4300002"));
        const LibrosRegistroAnuales a = f.ano();
        QCOMPARE(a.errores(), QStringList());
        QCOMPARE(columnas(a.expedidas, {5, 13, 14, 17, 18, 19, 20, 21, 22, 23}),
                 QStringList{"F1;02;FR;01;;E5;500,00;500,00;;"});
        const ResumenIVA r =
            calcularResumenIVA(f.conta(), {f.e, Divisa::Euros, {2026, 1, 1}, {2026, 3, 31}});
        QCOMPARE(r.casillas.at(59), euros("500"));
        QVERIFY(!r.casillas.count(150));
    }

    // Lo que incumple el diseño se lista con su asiento y no se escribe nada.
    void validaciones_data() {
        QTest::addColumn<QString>("linea");
        QTest::addColumn<QString>("motivo");
        // clang-format off
        QTest::newRow("cuota que no es el tipo por la base") << "R 20260310 0 25 F-1 21 0 100" << "la cuota 25,00 no es el 21,00 % de la base 100,00";
        QTest::newRow("contrapartida de otra empresa") << "R 20260310 0 21 F-1 21 0 100 4300099" << "no es una subcuenta de la empresa";
        QTest::newRow("devolución de tiques de más de 3.000 €") << "R 20260310 840 0 T-1 21 0 4000 4300003" << "pasa de 3.000 €";
        QTest::newRow("número de más de 20") << "R 20260310 0 21 F-1234567890123456789012" << "pasa de 20 caracteres";
        QTest::newRow("identificación sin forma") << "R 20260310 0 21 F-1 21 0 100 4300006" << "no es un NIF ni un NIF-IVA";
        QTest::newRow("tipo del 5 % en 2026") << "R 20260310 0 5 F-1 5 0 100" << "no es de los admitidos";
        QTest::newRow("recargo que no es el del tipo") << "R 20260310 0 21 F-1 21 1,4 100" << "no corresponde al IVA del 21,00 %";
        // clang-format on
    }
    void validaciones() {
        QFETCH(QString, linea);
        QFETCH(QString, motivo);
        Facturas f;
        f.factura(QStringLiteral("R 20260105 0 21 F-0"));
        const qint64 asiento = f.factura(linea);
        const QStringList lineas = f.rechazo().split(u'\n');
        QCOMPARE(lineas.size(), 2);
        QVERIFY2(lineas[1].startsWith(QStringLiteral("Asiento 12 (%1): ").arg(asiento)),
                 qPrintable(lineas[1]));
        QVERIFY2(lineas[1].contains(motivo), qPrintable(lineas[1]));
        QCOMPARE(f.xlsx(), QStringList());
    }

    // Sin NIF propio válido o sin carpeta no se escribe nada, y el mensaje dice qué hacer.
    void noSeEscribe_data() {
        QTest::addColumn<QString>("nif");
        QTest::addColumn<QString>("carpeta");
        QTest::addColumn<QString>("mensaje");
        // clang-format off
        QTest::newRow("sin NIF") << "" << "" << "póngalo en Archivo > NIF de la empresa";
        QTest::newRow("NIF que no cuadra") << "B50123456" << "" << "no cuadra con su letra";
        QTest::newRow("carpeta que no existe") << "B50123454" << "no-existe" << "no existe la carpeta";
        // clang-format on
    }
    void noSeEscribe() {
        QFETCH(QString, nif);
        QFETCH(QString, carpeta);
        QFETCH(QString, mensaje);
        Facturas f;
        f.factura(QStringLiteral("R 20260210 0 21 F-1"));
        f.conta().Execute(QStringLiteral("UPDATE Empresa SET NIF = ?"), {nif});
        for (const FormatoRegistro formato : {FormatoRegistro::Csv, FormatoRegistro::Xlsx}) {
            const QString e =
                f.rechazo(f.todoElAno(), formato, QDir(f.carpeta()).filePath(carpeta));
            QVERIFY2(!e.isEmpty() && e.contains(mensaje), qPrintable(e));
        }
        QCOMPARE(QDir(f.carpeta()).entryList(QDir::Files).filter(QStringLiteral("Pruebas")),
                 QStringList());
    }

    // El archivo del Pre303 (del 1 de enero al final de un trimestre) que pasa del máximo no
    // se escribe; con otra fecha final no es del Pre303 y se escribe.
    void pre303DemasiadoGrande() {
        Facturas f;
        f.factura(QStringLiteral("R 20260210 0 21 F-1"));
        OpcionesLibrosIVA o = f.todoElAno();
        o.hasta = QDate(2026, 3, 31);
        const QString e = f.rechazo(o, FormatoRegistro::Xlsx, f.carpeta(), 1024);
        QVERIFY2(e.contains(u"el servicio Pre303 de la Agencia admite 1 KB como mucho"),
                 qPrintable(e));
        QCOMPARE(f.xlsx(), QStringList());
        o.hasta = QDate(2026, 3, 30);
        QCOMPARE(f.rechazo(o, FormatoRegistro::Xlsx, f.carpeta(), 1024), QString());
        QCOMPARE(f.xlsx().size(), 1);
    }

    // Una línea mal en las recibidas no impide el CSV de las emitidas, sí el XLSX.
    void csvSoloConSuLibro() {
        Facturas f;
        f.factura(QStringLiteral("R 20260210 0 21 F-1"));
        f.factura(QStringLiteral("S 20260211 30 0 P-1"));
        QCOMPARE(f.exportar(FormatoRegistro::Csv).archivos.size(), 1);
        QVERIFY(!f.rechazo().isEmpty());
    }

    // Un libro que no cabe en el disco no deja nada a medias: el del mismo nombre sigue igual,
    // byte a byte, sin temporales al lado, y el mensaje dice qué hacer.
    void unDiscoLlenoDejaElLibroComoEstaba_data() {
        QTest::addColumn<bool>("xlsx");
        QTest::newRow("CSV") << false;
        QTest::newRow("XLSX") << true;
    }
    void unDiscoLlenoDejaElLibroComoEstaba() {
        QFETCH(bool, xlsx);
        const FormatoRegistro formato = xlsx ? FormatoRegistro::Xlsx : FormatoRegistro::Csv;
        Facturas f;
        f.factura(QStringLiteral("R 20260210 0 21 F-1"));
        const QString archivo = f.exportar(formato).archivos.at(0);
        const QByteArray anterior = "el libro bueno de ayer";
        {
            QFile a(archivo);
            QVERIFY(a.open(QIODevice::WriteOnly | QIODevice::Truncate));
            a.write(anterior);
        }
        const QDir carpeta(f.carpeta());
        const QStringList antes = carpeta.entryList(QDir::Files | QDir::Hidden);
        try {
            prueba::DiscoLleno lleno(256);  // menos que las dos filas de cabecera
            exportarLibroRegistro(f.conta(), f.todoElAno(), formato, f.carpeta());
            QFAIL("se ha escrito");
        } catch (const ErrorOrvo& e) {
            QCOMPARE(e.numero(), long(Causa::AccesoAlArchivo));
            QVERIFY2(
                e.descripcion().startsWith(
                    QStringLiteral("No se puede escribir el libro registro %1: ").arg(archivo)),
                qPrintable(e.descripcion()));
            QVERIFY2(e.descripcion().endsWith(u"compruebe la carpeta y el espacio libre"),
                     qPrintable(e.descripcion()));
        }
        QFile a(archivo);
        QVERIFY(a.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), anterior);
        QCOMPARE(carpeta.entryList(QDir::Files | QDir::Hidden), antes);
    }

    // El NIF de una contrapartida que no cuadra se avisa y se escribe igual; el propio no.
    void nifQueNoCuadra() {
        Facturas f;
        f.factura(QStringLiteral("R 20260310 0 21 F-1 21 0 100 4300005"));
        const ExportacionRegistro r = f.exportar();
        QCOMPARE(r.archivos.size(), 1);
        QCOMPARE(r.avisos.size(), 1);
        QVERIFY2(r.avisos[0].contains(QStringLiteral("el NIF B50123456 de Cliente Descuadrado")),
                 qPrintable(r.avisos[0]));
        QVERIFY(r.texto().contains(r.avisos[0]));

        f.conta().Execute(QStringLiteral("UPDATE Empresa SET NIF = 'B50123456'"));
        QVERIFY(QFile::remove(r.archivos[0]));
        QVERIFY(!f.rechazo().isEmpty());
        QCOMPARE(f.xlsx(), QStringList());
    }

    // Un XLSX por año con las dos hojas; base y cuota suman lo que los libros de IVA, líneas
    // repetidas incluidas; el CSV, el libro del diálogo con las mismas columnas.
    void archivos() {
        Facturas f;
        for (const char* l : {"R 20260210 0 21 F-1", "+R 20260210 0 21 F-1",
                              "R 20260503 0 10 F-2 10 1,4", "S 20260301 4 0 P-1 4"})
            f.factura(QString::fromLatin1(l));
        const ExportacionRegistro x = f.exportar();
        QCOMPARE(QFileInfo(x.archivos.value(0)).fileName(),
                 QStringLiteral("2026B50123454CPruebas, S.L.xlsx"));
        const auto libro = leerLibroXlsx(x.archivos[0]);
        for (const bool emitidas : {true, false}) {
            const HojaLeida h =
                libro.value(emitidas ? QStringLiteral("EXPEDIDAS") : QStringLiteral("RECIBIDAS"));
            const int base = emitidas ? 21 : 26;
            Moneda sumaBase, sumaCuota;
            for (int fila = 2; h.filas.contains(fila); ++fila) {
                sumaBase += *Moneda::deTexto(h.texto(fila, base).replace(u'.', u','));
                sumaCuota += *Moneda::deTexto(h.texto(fila, base + 2).replace(u'.', u','));
            }
            QCOMPARE(sumaBase, f.suma(f.LibroIVA::opciones(emitidas), {&FilaIVA::base}));
            QCOMPARE(sumaCuota, f.suma(f.LibroIVA::opciones(emitidas), {&FilaIVA::cuotaIva}));
        }
        QCOMPARE(QDir(f.carpeta()).entryList({QStringLiteral("*.xlsx.*")}), QStringList());

        OpcionesLibrosIVA o = f.todoElAno();
        o.emitidas = false;
        const ExportacionRegistro c =
            exportarLibroRegistro(f.conta(), o, FormatoRegistro::Csv, f.carpeta());
        QCOMPARE(QFileInfo(c.archivos.value(0)).fileName(),
                 QStringLiteral("2026B50123454RPruebas, S.L.csv"));
        QFile csv(c.archivos[0]);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lineas = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lineas.size(), 4);  // dos cabeceras, una línea y el final
        for (int i = 0; i < 3; ++i) QCOMPARE(lineas[i].count(u';'), 41);
        QVERIFY(lineas[1].startsWith(QStringLiteral("Ejercicio;Periodo;Código;Tipo;")));
    }

    // Una empresa de julio a junio: cada línea va al año natural de su fecha y la empresa
    // anterior de la cadena llena el resto del año.
    void empresaDeJulioAJunio() {
        LibrosPrueba l;
        const long anterior = l.empresa(QStringLiteral("20250701"), QStringLiteral("20260630"));
        const long empresa = l.empresa(QStringLiteral("20260701"), QStringLiteral("20270630"));
        l.conta().Execute(
            QStringLiteral("UPDATE Empresa SET CodEmpresaAnterior = ? WHERE IDEmpresa = ?"),
            {qlonglong(anterior), qlonglong(empresa)});
        DatosEmpresa::guardarNif(l.conta(), empresa, QStringLiteral("B50123454"));
        int numero = 0;
        for (const long e : {anterior, empresa}) {
            const qint64 iva = l.cuenta(e, "4770001", "IVA repercutido");
            l.cuenta(e, "4300001", "Cliente Uno", "B12345678");
            const QStringList fechas = e == anterior ? QStringList{"20250915", "20260315"}
                                                     : QStringList{"20260915", "20270115"};
            for (const QString& fecha : fechas) {
                ++numero;
                l.factura(e, numero, fecha, iva,
                          {"0", "21", QStringLiteral("F-%1").arg(numero), "4300001"});
            }
        }
        OpcionesLibrosIVA o;
        o.empresa = empresa;
        o.desde = QDate(2026, 7, 1);
        o.hasta = QDate(2027, 6, 30);
        const auto anos = librosRegistro(l.conta(), o);
        QCOMPARE(int(anos.size()), 2);
        QCOMPARE(anos[0].ano, 2026);
        QCOMPARE(columnas(anos[0].expedidas, {0, 1, 11}),
                 (QStringList{"2026;1T;F-2", "2026;3T;F-3"}));
        QCOMPARE(columnas(anos[1].expedidas, {0, 1, 11}), QStringList{"2027;1T;F-4"});
        const ExportacionRegistro r =
            exportarLibroRegistro(l.conta(), o, FormatoRegistro::Xlsx, l.carpeta());
        QStringList nombres;
        for (const QString& a : r.archivos) nombres << QFileInfo(a).fileName();
        QCOMPARE(nombres, (QStringList{"2026B50123454CPruebas, S.L.xlsx",
                                       "2027B50123454CPruebas, S.L.xlsx"}));
    }

    // La comprobación de los libros avisa del NIF que no cuadra sin contarlo como problema.
    void comprobarAvisaDelNif() {
        Facturas f;
        ProgresoNulo progreso;
        const Comprobacion::Informe inf = Comprobacion::comprobar(f.conta(), f.e, false, progreso);
        QCOMPARE(inf.problemas, QStringList());
        // Los del cliente y el proveedor de los libros de prueba tampoco cuadran.
        QCOMPARE(inf.avisos,
                 (QStringList{"Subcuenta 4000001 (Proveedor Uno): el NIF A87654321 no cuadra "
                              "con su control",
                              "Subcuenta 4300001 (Cliente Uno): el NIF B12345678 no cuadra con "
                              "su control",
                              "Subcuenta 4300005 (Cliente Descuadrado): el NIF B50123456 no "
                              "cuadra con su control"}));
        QVERIFY(inf.resumen().contains(QStringLiteral("aviso: 3 NIF")));
    }

    // Las casillas del 303 del segundo trimestre de los libros de ejemplo: el resumen de IVA
    // frente a la tabla de la Agencia aplicada al XLSX exportado del 1 de enero al 30 de junio.
    void casillasDelSegundoTrimestre();
};

// --- La tabla de la Agencia -------------------------------------------------------------------

namespace {

// Una regla de la tabla: libro, columna que suma, condiciones y casilla.
struct Regla {
    bool emitidas;
    QString columna;       // "Base Imponible", "Cuota IVA Repercutida", …
    QString calificacion;  // "S1", "NO ISP", "SI ISP", "NO", "SI/NO"
    QString tipo;          // número, o "NC"
    QString cuota;         // "0", "> 0", "<0", ">/<", o la forma R…F… de las recibidas
    QStringList facturas, claves;
    QString bienInversion;  // "S" o vacío
    int casilla;
};

QStringList lista(const QString& t) {
    return t.simplified().split(u' ', Qt::SkipEmptyParts);
}

// Lee las dos hojas de cálculo de casillas; una fila sin casilla continúa la regla anterior
// con otras condiciones. Las del criterio de caja (clave 07) no se leen: no las llevamos.
std::vector<Regla> reglas(const QString& archivo) {
    std::vector<Regla> r;
    const auto hojas = leerLibroXlsx(archivo);
    for (const bool devengado : {true, false}) {
        const HojaLeida h =
            hojas.value(devengado ? QStringLiteral("Cálculo casillas IVADevengado")
                                  : QStringLiteral("Cálculo casillas IVADeducible"));
        // Columnas de cada hoja: calificación, tipo, cuota, facturas, claves, bien, casilla.
        const int cCal = 2, cTipo = devengado ? 3 : -1, cCuota = devengado ? 4 : 3,
                  cFact = devengado ? 5 : 4, cClave = devengado ? 6 : 5,
                  cBien = devengado ? -1 : 10, cCasilla = 11;
        QString libro, columna;
        int casilla = 0;
        for (int fila = 2; fila < 200; ++fila) {
            if (!h.texto(fila, 0).isEmpty()) libro = h.texto(fila, 0);
            if (!h.texto(fila, 1).isEmpty()) columna = h.texto(fila, 1).simplified();
            if (!h.texto(fila, cCasilla).isEmpty()) casilla = h.texto(fila, cCasilla).toInt();
            if (h.texto(fila, cCal).isEmpty() || casilla == 0) continue;
            if (lista(h.texto(fila, cClave)) == QStringList{"07"}) continue;
            Regla g;
            g.emitidas = libro.startsWith(QStringLiteral("LRFE"));
            g.columna = columna;
            g.calificacion = h.texto(fila, cCal).simplified();
            g.tipo = cTipo < 0 ? QStringLiteral("NC") : h.texto(fila, cTipo).simplified();
            g.cuota = h.texto(fila, cCuota).simplified();
            g.facturas = lista(h.texto(fila, cFact));
            g.claves = lista(h.texto(fila, cClave));
            g.bienInversion = cBien < 0 ? QString() : h.texto(fila, cBien).simplified();
            g.casilla = casilla;
            r.push_back(g);
        }
    }
    return r;
}

Moneda numero(const HojaLeida& h, int fila, int columna) {
    return Moneda::deTexto(h.texto(fila, columna).replace(u'.', u',')).value_or(Moneda());
}

bool cumpleCuota(const QString& condicion, Moneda cuota, bool rectificativa) {
    if (condicion.startsWith(u'R')) return rectificativa ? !cuota.esCero() : cuota < Moneda();
    if (condicion == u"0") return cuota.esCero();
    if (condicion == u"> 0" || condicion == u">0") return cuota > Moneda();
    if (condicion == u"<0" || condicion == u"< 0") return cuota < Moneda();
    if (condicion == u">/<") return !cuota.esCero();
    return false;
}

// Las casillas de las filas del periodo, regla por regla; las columnas se buscan por su título.
std::map<int, Moneda> aplicar(const std::vector<Regla>& reglas, const HojaLeida& h, bool emitidas,
                              const QString& periodo) {
    const auto& cs = columnasLibroRegistro(emitidas);
    const auto indice = [&](const QString& nombre) {
        for (int i = 0; i < int(cs.size()); ++i)
            if (cs[i].grupo == nombre) return i;
        return -1;
    };
    const int cFactura = indice(QStringLiteral("Tipo de Factura"));
    const int cClave = indice(QStringLiteral("Clave de Operación"));
    // En las expedidas, la calificación; en las recibidas, la inversión del sujeto pasivo.
    const int cCalificacion = indice(emitidas ? QStringLiteral("Calificación de la Operación")
                                              : QStringLiteral("Inversión del Sujeto Pasivo"));
    const int cBien = indice(QStringLiteral("Bien de Inversión"));
    const int cTipoIva = indice(QStringLiteral("Tipo de IVA"));
    const int cCuotaIva = indice(emitidas ? QStringLiteral("Cuota IVA Repercutida")
                                          : QStringLiteral("Cuota Deducible"));
    const int cTipoRecargo = indice(QStringLiteral("Tipo de Recargo Eq."));
    const int cCuotaRecargo = indice(QStringLiteral("Cuota Recargo Eq."));
    const QStringList tiposRecargo{"1.75", "0.5", "1.4", "5.2", "TipoRecargo"};
    std::map<int, Moneda> c;
    for (const Regla& g : reglas) {
        if (g.emitidas != emitidas) continue;
        QString nombre = QString(g.columna).remove(QStringLiteral("(salvo G25)")).simplified();
        if (nombre == u"Cuota Recargo Equiv") nombre = QStringLiteral("Cuota Recargo Eq.");
        if (nombre == u"Cuota IVA Deducible") nombre = QStringLiteral("Cuota Deducible");
        const int columna = indice(nombre);
        if (columna < 0) continue;
        const bool recargo = nombre == u"Cuota Recargo Eq." || tiposRecargo.contains(g.tipo);
        const int cTipo = recargo ? cTipoRecargo : cTipoIva;
        const int cCuota = recargo ? cCuotaRecargo : cCuotaIva;
        const bool cualquierTipo =
            g.tipo.startsWith(QStringLiteral("NC")) || g.tipo == u"TipoRecargo";
        for (int fila = 2; h.filas.contains(fila); ++fila) {
            if (h.texto(fila, 1) != periodo) continue;
            const QString factura = h.texto(fila, cFactura);
            if (!g.facturas.contains(factura) || !g.claves.contains(h.texto(fila, cClave)))
                continue;
            const QString cal = h.texto(fila, cCalificacion);
            if (emitidas ? g.calificacion != cal
                         : !(g.calificacion == u"SI/NO" ||
                             (g.calificacion.startsWith(u"NO") && cal == u"N")))
                continue;
            if (g.bienInversion == u"S" && h.texto(fila, cBien) != u"S") continue;
            if (recargo && h.texto(fila, cTipo).isEmpty()) continue;
            if (!cualquierTipo &&
                numero(h, fila, cTipo) != Moneda::deTexto(QString(g.tipo).replace(u'.', u',')))
                continue;
            if (!cumpleCuota(g.cuota, numero(h, fila, cCuota), factura.startsWith(u'R'))) continue;
            c[g.casilla] += numero(h, fila, columna);
        }
    }
    return c;
}

}  // namespace

void PruebaRegistro::casillasDelSegundoTrimestre() {
    const QString tabla = kAeat + QStringLiteral("/casillas-303-desde-libros.xlsx");
    if (!QFileInfo::exists(tabla))
        QSKIP(qPrintable(QStringLiteral("No están los documentos de la Agencia en %1: las "
                                        "casillas no se comparan en este clon")
                             .arg(kAeat)));
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("ejemplo.db"));
    const Ejecucion e = ejecutarOrden({QStringLiteral("ejemplo"), base});
    QVERIFY2(e.codigo == 0, qPrintable(e.error));
    auto con = Conexion::abrir(base, false);
    const DatosEmpresa empresa = DatosEmpresa::existente(*con, 1);
    const int ano = empresa.ejercicio.toInt();
    OpcionesLibrosIVA o;
    o.empresa = 1;
    o.desde = QDate(ano, 1, 1);
    o.hasta = QDate(ano, 6, 30);
    const ExportacionRegistro r = exportarLibroRegistro(*con, o, FormatoRegistro::Xlsx, dir.path());
    const auto libro = leerLibroXlsx(r.archivos.value(0));
    const std::vector<Regla> g = reglas(tabla);
    QVERIFY(g.size() > 20);
    std::map<int, Moneda> agencia =
        aplicar(g, libro.value(QStringLiteral("EXPEDIDAS")), true, "2T");
    for (const auto& [casilla, importe] :
         aplicar(g, libro.value(QStringLiteral("RECIBIDAS")), false, "2T"))
        agencia[casilla] += importe;
    const ResumenIVA resumen =
        calcularResumenIVA(*con, {1, Divisa::Euros, QDate(ano, 4, 1), QDate(ano, 6, 30)});
    std::map<int, Moneda> nuestras = resumen.casillas;
    for (const int total : {27, 45, 46}) nuestras.erase(total);
    QStringList vistas;
    for (const auto& [casilla, importe] : agencia)
        vistas << QStringLiteral("%1=%2").arg(casilla).arg(importe.formatear());
    QStringList propias;
    for (const auto& [casilla, importe] : nuestras)
        propias << QStringLiteral("%1=%2").arg(casilla).arg(importe.formatear());
    qInfo().noquote() << "Casillas del 303, segundo trimestre:" << propias.join(u' ');
    QCOMPARE(propias, vistas);
    QVERIFY(!nuestras.empty());
}

QTEST_MAIN(PruebaRegistro)
#include "prueba_registro.moc"
