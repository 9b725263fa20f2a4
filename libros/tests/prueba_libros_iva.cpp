// Libros de IVA: cuota y signo según el libro, base, recargo, total, numeración, contrapartida
// y el diálogo de los dos orígenes.
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "LibroPrueba.h"
#include "LibrosIVA.h"
#include "cCOrigen.h"
#include "frmInfFacturas.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

const QString kColumnas = QStringLiteral(
    "NumFactura, Fecha, CodSubcuenta, DescripcionSubcuenta, NIF, NumAsiento, Concepto, "
    "BaseImponible, IVA, CuotaIVA, Recargo, CuotaRecargo, TotalFactura");
const QString kImportes =
    QStringLiteral("BaseImponible, IVA, CuotaIVA, Recargo, CuotaRecargo, TotalFactura");

// Empresa con sus cuentas de IVA y un cliente y un proveedor dados de alta.
struct LibroIVA {
    explicit LibroIVA(LibroPrueba& l) : libro(l) {
        empresa = libro.empresa();
        repercutido = libro.cuenta(empresa, "4770001", "IVA repercutido", "X");
        soportado = libro.cuenta(empresa, "4720001", "IVA soportado");
        libro.cuenta(empresa, "4300001", "Cliente Uno", "B12345678");
        libro.cuenta(empresa, "4000001", "Proveedor Uno", "A87654321");
    }
    qint64 linea(qint64 cuenta, const char* fecha, LibroPrueba::LineaIVA l, int numero = 1) {
        if (l.contrapartida.isNull())
            l.contrapartida =
                cuenta == repercutido ? QStringLiteral("4300001") : QStringLiteral("4000001");
        if (l.factura.isNull()) l.factura = QStringLiteral("F-1");
        return libro.factura(empresa, numero, fecha, cuenta, l);
    }
    OpcionesLibrosIVA opciones(bool emitidas) const {
        OpcionesLibrosIVA o;
        o.empresa = empresa;
        o.textoEmpresa = QStringLiteral("<PRU> Pruebas, S.L.");
        o.emitidas = emitidas;
        o.desde = QDate(2026, 1, 1);
        o.hasta = QDate(2026, 12, 31);
        return o;
    }
    FormulasInforme construir(const OpcionesLibrosIVA& o) {
        ProgresoNulo progreso;
        ContextoInforme contexto{libro.conta(), libro.inf(), progreso};
        return construirLibrosIVA(contexto, o);
    }
    LibroPrueba& libro;
    long empresa;
    qint64 repercutido, soportado;
};

LibroPrueba::LineaIVA linea(const char* debe, const char* haber, const char* recargo = "0",
                            QVariant base = QStringLiteral("100")) {
    LibroPrueba::LineaIVA l;
    l.debe = QString::fromLatin1(debe);
    l.haber = QString::fromLatin1(haber);
    l.recargo = QString::fromLatin1(recargo);
    l.base = base;
    return l;
}

}  // namespace

class PruebaLibrosIVA : public QObject {
    Q_OBJECT

  private slots:
    void importesDeUnaFactura_data() {
        // clang-format off
        QTest::addColumn<bool>("emitidas");
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("haber");
        QTest::addColumn<QString>("recargo");
        QTest::addColumn<QVariant>("base");
        QTest::addColumn<bool>("euros");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("emitida al 21") << true << "0" << "21"
            << "0" << QVariant("100") << true << "100,00|21|21,00|0|0,00|121,00";
        QTest::newRow("emitida rectificativa") << true << "21" << "0"
            << "0" << QVariant("100") << true << "-100,00|21|-21,00|0|0,00|-121,00";
        QTest::newRow("rectificativa con la base ya negativa") << true << "21" << "0"
            << "0" << QVariant("-100") << true << "-100,00|21|-21,00|0|0,00|-121,00";
        QTest::newRow("recibida con recargo en euros") << false << "21" << "0"
            << "5,2" << QVariant("100") << true << "100,00|21|21,00|5,2|5,20|126,20";
        QTest::newRow("recibida con recargo en pesetas") << false << "21" << "0"
            << "5,2" << QVariant("100") << false << "100|21|21|5,2|5|126";
        QTest::newRow("recibida en el haber es negativa") << false << "0" << "21"
            << "0" << QVariant("100") << true << "-100,00|21|-21,00|0|0,00|-121,00";
        QTest::newRow("base nula") << false << "21" << "0"
                                   << "5,2" << QVariant() << true << "0,00|21|21,00|5,2|0,00|21,00";
        QTest::newRow("base con miles") << true << "0" << "259,26"
            << "0" << QVariant("1.234,56") << true << "1.234,56|21|259,26|0|0,00|1.493,82";
        // clang-format on
    }
    void importesDeUnaFactura() {
        QFETCH(bool, emitidas);
        QFETCH(QString, debe);
        QFETCH(QString, haber);
        QFETCH(QString, recargo);
        QFETCH(QVariant, base);
        QFETCH(bool, euros);
        QFETCH(QString, esperado);
        LibroPrueba libro;
        LibroIVA l(libro);
        l.linea(emitidas ? l.repercutido : l.soportado, "20260310",
                linea(debe.toLatin1(), haber.toLatin1(), recargo.toLatin1(), base));
        OpcionesLibrosIVA o = l.opciones(emitidas);
        o.euros = euros;
        l.construir(o);
        QCOMPARE(libro.filas(QStringLiteral("Libros_IVA"), kImportes), QStringList{esperado});
    }

    void filaCompletaYFormulas() {
        LibroPrueba libro;
        LibroIVA l(libro);
        const qint64 as = l.linea(l.repercutido, "20260310", linea("0", "21"), 15);
        const FormulasInforme f = l.construir(l.opciones(true));
        QCOMPARE(libro.filas(QStringLiteral("Libros_IVA"), kColumnas),
                 QStringList{QStringLiteral("F-1|10/03/2026|4300001|Cliente Uno|B12345678|15 (%1)|"
                                            "Factura|100,00|21|21,00|0|0,00|121,00")
                                 .arg(as)});
        QCOMPARE(f.at(1), QStringLiteral("Empresa= \"<PRU> Pruebas, S.L.\""));
        QCOMPARE(f.at(2), QStringLiteral("TrabajarConPts= '0'"));
        QCOMPARE(f.at(3), QStringLiteral("Periodo= \"Periodo:  01/01/2026 ~ 31/12/2026\""));
    }

    void numeracion_data() {
        QTest::addColumn<bool>("automatica");
        QTest::addColumn<QString>("primero");
        QTest::addColumn<QStringList>("numeros");
        QTest::newRow("existente") << false << "7" << QStringList{"A-2", "A-1", "A-3"};
        QTest::newRow("automática desde 7") << true << "7" << QStringList{"7", "8", "9"};
        QTest::newRow("automática desde 007") << true << "007" << QStringList{"007", "8", "9"};
    }
    void numeracion() {
        QFETCH(bool, automatica);
        QFETCH(QString, primero);
        QFETCH(QStringList, numeros);
        LibroPrueba libro;
        LibroIVA l(libro);
        // Anotadas fuera del orden de fechas: el libro va por fecha.
        const char* fechas[] = {"20260320", "20260105", "20260611"};
        const char* facturas[] = {"A-1", "A-2", "A-3"};
        for (int i = 0; i < 3; ++i) {
            LibroPrueba::LineaIVA li = linea("0", "21");
            li.factura = QString::fromLatin1(facturas[i]);
            l.linea(l.repercutido, fechas[i], li, i + 1);
        }
        OpcionesLibrosIVA o = l.opciones(true);
        o.numeracionAutomatica = automatica;
        o.primerNumero = primero;
        l.construir(o);
        QCOMPARE(libro.filas("Libros_IVA", "NumFactura"), numeros);
    }

    // Líneas "R|S fecha debe haber [factura [contrapartida]]" en el 477 o el 472 ("-": vacía;
    // por omisión F-1 y el cliente o el proveedor); con "+" delante, en el asiento anterior.
    void queLineasSalen_data() {
        QTest::addColumn<bool>("emitidas");
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QStringList>("lineas");
        const QDate ene(2026, 1, 1), dic(2026, 12, 31);
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("esperado");
        // clang-format off
        QTest::newRow("cada libro sus cuentas") << false << ene << dic
            << QStringList{"R 20260310 0 21", "S 20260311 42 0"} << "CuotaIVA" << QStringList{"42,00"};
        QTest::newRow("líneas iguales, una vez") << true << ene << dic
            << QStringList{"R 20260310 0 21", "+R 20260310 0 21"} << "NumFactura" << QStringList{"F-1"};
        QTest::newRow("sin factura o sin contrapartida no sale") << true << ene << dic
            << QStringList{"R 20260310 0 21 -", "R 20260311 0 21 F-1 -"} << "NumFactura" << QStringList{};
        // Existe en otra empresa, no en esta.
        QTest::newRow("contrapartida desconocida") << true << ene << dic << QStringList{"R 20260310 0 21 F-1 4300099"}
            << "CodSubcuenta, DescripcionSubcuenta, NIF, TotalFactura"
            << QStringList{"4300099|No existe|No existe|121,00"};
        QTest::newRow("los días cuentan") << true << QDate(2026, 3, 10) << QDate(2026, 3, 20)
            << QStringList{"R 20260309 0 1", "R 20260310 0 2", "R 20260320 0 3", "R 20260321 0 4"}
            << "CuotaIVA" << QStringList{"2,00", "3,00"};
        // clang-format on
    }
    void queLineasSalen() {
        QFETCH(bool, emitidas);
        QFETCH(QStringList, lineas);
        QFETCH(QString, columnas);
        LibroPrueba libro;
        LibroIVA l(libro);
        libro.cuenta(libro.empresa(), "4300099", "Ajeno", "Z");
        qint64 as = 0;
        for (QString t : lineas) {
            const bool mismo = t.startsWith(u'+');
            const QStringList p = t.remove(u'+').split(u' ');
            const qint64 cuenta = p[0] == u"R" ? l.repercutido : l.soportado;
            const auto valor = [&p](int i, const char* omision) {
                const QString v = p.value(i, omision);
                return v == u"-" ? QStringLiteral("") : v;
            };
            LibroPrueba::LineaIVA li =
                linea(p[2].toLatin1().constData(), p[3].toLatin1().constData());
            li.factura = valor(4, "F-1");
            li.contrapartida = valor(5, cuenta == l.repercutido ? "4300001" : "4000001");
            if (mismo)
                libro.apunteIVA(as, cuenta, li);
            else
                as = l.linea(cuenta, p[1].toLatin1().constData(), li);
        }
        OpcionesLibrosIVA o = l.opciones(emitidas);
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        o.desde = desde;
        o.hasta = hasta;
        l.construir(o);
        QTEST(libro.filas("Libros_IVA", columnas), "esperado");
    }

    // --- Diálogo ---------------------------------------------------------------------------

    void dialogoDeCadaOrigen_data() {
        QTest::addColumn<int>("origen");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("tituloInforme");
        QTest::newRow("emitidas") << int(cCOrigen::FACTURAEMITIDA)
                                  << "Libro de IVA (facturas emitidas)"
                                  << "infCONT_FacturasEmitidas.rpt"
                                  << "Informe del libro de facturas emitidas";
        QTest::newRow("recibidas")
            << int(cCOrigen::FACTURARECIBIDA) << "Libro de IVA (facturas recibidas)"
            << "infCONT_FacturasRecibidas.rpt"
            << "Informe del libro de facturas recibidas";
    }
    void dialogoDeCadaOrigen() {
        QFETCH(int, origen);
        QFETCH(QString, titulo);
        QFETCH(QString, plantilla);
        QFETCH(QString, tituloInforme);
        LibroPrueba libro;
        LibroIVA l(libro);
        l.linea(l.repercutido, "20260310", linea("0", "21"));
        l.linea(l.soportado, "20260311", linea("21", "0", "5,2"));
        Entorno entorno;
        entorno.config.pesetas = true;
        frmInfFacturas d(entorno.comp);
        d.setBytOrigen(static_cast<std::uint8_t>(origen));
        entorno.mostrar<frmInfFacturas>(
            d, libro.contaCompartida(), libro.infCompartida(), l.empresa, [&](frmInfFacturas& f) {
                QCOMPARE(f.windowTitle(), titulo);
                auto* numero = f.findChild<QLineEdit*>("txtFacturas");
                QVERIFY(f.findChild<QRadioButton*>("optFacturas0")->isChecked());
                QVERIFY(!numero->isEnabled());
                f.findChild<QRadioButton*>("optFacturas1")->setChecked(true);
                QVERIFY(numero->isEnabled());
                QVERIFY(f.findChild<QLabel*>("lblFacturas0")->isEnabled());
                numero->setFocus();
                numero->selectAll();
                QTest::keyClicks(numero,
                                 QStringLiteral("4x2"));  // la letra se descarta con un pitido
                QCOMPARE(numero->text(), QStringLiteral("42"));
                f.botonAceptar()->click();
            });
        QCOMPARE(entorno.interfaz.pitidos, 1);
        QVERIFY(entorno.motor.impreso);
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(u'/' + plantilla));
        QCOMPARE(entorno.motor.tituloImpreso, tituloInforme);
        QCOMPARE(entorno.motor.impresas[2], QStringLiteral("TrabajarConPts= '1'"));
        QCOMPARE(libro.filas("Libros_IVA", "NumFactura, TotalFactura"),
                 QStringList{origen == cCOrigen::FACTURAEMITIDA ? "42|121" : "42|126"});
    }

    void dialogoPrimerNumeroVacioVuelveAUno() {
        LibroPrueba libro;
        LibroIVA l(libro);
        Entorno entorno;
        frmInfFacturas d(entorno.comp);
        d.setBytOrigen(cCOrigen::FACTURAEMITIDA);
        entorno.mostrar<frmInfFacturas>(
            d, libro.contaCompartida(), libro.infCompartida(), l.empresa, [](frmInfFacturas& f) {
                auto* numero = f.findChild<QLineEdit*>("txtFacturas");
                f.findChild<QRadioButton*>("optFacturas1")->setChecked(true);
                numero->setText(QStringLiteral("  "));
                QFocusEvent salir(QEvent::FocusOut);
                QApplication::sendEvent(numero, &salir);
                QCOMPARE(numero->text(), QStringLiteral("1"));
                f.botonAceptar()->click();
            });
        // Sin líneas de IVA en el periodo no hay libro.
        QCOMPARE(entorno.textos(), QStringList{"¡No se ha encontrado ningún registro!"});
        QVERIFY(!entorno.motor.impreso);
    }
};

QTEST_MAIN(PruebaLibrosIVA)
#include "prueba_libros_iva.moc"
