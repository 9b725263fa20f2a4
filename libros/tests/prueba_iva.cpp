// Libros de IVA (cuota y signo según el libro, base, recargo, total, numeración, contrapartida
// y el diálogo de los dos orígenes), el resumen trimestral con la conciliación que encuentra
// cada diferencia sembrada, y los libros registro para la Agencia Tributaria.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "LibroRegistro.h"
#include "LibrosIVA.h"
#include "LibrosPrueba.h"
#include "ResumenIVA.h"
#include "cCOrigen.h"
#include "frmInfFacturas.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

const QString kImportes =
    QStringLiteral("BaseImponible, IVA, CuotaIVA, Recargo, CuotaRecargo, TotalFactura");
const QString kDiezVacias(10, u';');

Moneda euros(const QString& texto) {
    return *Moneda::deTexto(texto);
}

// Empresa con NIF, sus subcuentas de IVA repercutido (y de su recargo), soportado y Hacienda, un
// cliente y un proveedor.
struct LibroIVA : LibrosPrueba {
    LibroIVA() {
        e = empresa();
        DatosEmpresa::guardarNif(conta(), e, QStringLiteral("B50123456"));
        repercutido = cuenta(e, "4770001", "IVA repercutido", "X");
        recargo = cuenta(e, "4779000");
        soportado = cuenta(e, "4720001", "IVA soportado");
        hacienda = cuenta(e, "4750000");
        cliente = cuenta(e, "4300001", "Cliente Uno", "B12345678");
        cuenta(e, "4000001", "Proveedor Uno", "A87654321");
    }
    // Línea "R|S fecha debe haber [factura [iva [recargo [base [contrapartida]]]]]" en el 477 o
    // el 472, en un asiento nuevo (numerados desde 11) o, con "+" delante, en el anterior. Por
    // omisión F-1, 21 %, sin recargo, base 100 y el cliente o el proveedor; "-" deja el campo
    // vacío y "~" la base nula. Devuelve el asiento.
    qint64 factura(QString linea) {
        const bool mismo = linea.startsWith(u'+');
        const QStringList p = linea.remove(u'+').split(u' ');
        const bool r = p[0] == u"R";
        const auto campo = [&p](int i, const char* omision) {
            const QString v = p.value(i, QString::fromUtf8(omision));
            return v == u"-" ? QStringLiteral("") : v;
        };
        const QString base = campo(7, "100");
        const LineaIVA l{p[2],         p[3], campo(4, "F-1"), campo(8, r ? "4300001" : "4000001"),
                         campo(5, "21"), campo(6, "0"), base == u"~" ? QVariant() : base};
        if (!mismo) ultimo = asiento(e, ++numero, p[1]);
        apunteIVA(ultimo, r ? repercutido : soportado, l);
        return ultimo;
    }
    OpcionesLibrosIVA opciones(bool emitidas) const {
        OpcionesLibrosIVA o;
        o.empresa = e;
        o.emitidas = emitidas;
        o.desde = QDate(2026, 1, 1);
        o.hasta = QDate(2026, 12, 31);
        return o;
    }
    // El libro de IVA sobre una tabla de trabajo vacía.
    FormulasInforme libroIVA(const OpcionesLibrosIVA& o) {
        inf().Execute(QStringLiteral("DELETE FROM Libros_IVA"));
        return construir(construirLibrosIVA, o);
    }
    // Suma de las celdas de unas columnas del libro de IVA construido.
    Moneda suma(const QString& columnas) {
        Moneda total;
        for (const QString& fila : filas(QStringLiteral("Libros_IVA"), columnas))
            for (const QString& celda : fila.split(u'|')) total += euros(celda);
        return total;
    }
    long e = 0;
    int numero = 10;
    qint64 ultimo = 0, repercutido, recargo, soportado, hacienda, cliente;
};

// Primer trimestre: emitidas al 21 % (y su rectificativa) y al 10 % con recargo del 1,4 % en
// su subcuenta sin factura; recibidas al 21 % y al 4 %.
struct Trimestre : LibroIVA {
    Trimestre() {
        factura("R 20260110 0 21 F-1 21 0 100");
        apunte(factura("R 20260210 0 20 F-2 10 1,4 200"), recargo, "0", "2,80");
        factura("R 20260315 21 0 R-1 21 0 100");
        factura("S 20260120 10,50 0 P-1 21 0 50");
        factura("S 20260220 4 0 P-2 4 0 100");
    }
    OpcionesResumenIVA resumen() const { return {e, true, {2026, 1, 1}, {2026, 3, 31}}; }
    static QString tipos(const std::vector<LineaTipoIVA>& v) {
        QStringList t;
        for (const LineaTipoIVA& l : v)
            t << l.tipo.formatear() + u':' + l.base.formatear() + u':' + l.cuota.formatear();
        return t.join(u' ');
    }
};

// Del año, para los libros registro: emitidas al 21 %, al 10 % con recargo del 1,4 % y una
// rectificativa; una recibida al 4 %.
struct FacturasDelAno : LibroIVA {
    FacturasDelAno() {
        for (const char* f : {"R 20260210 0 21 F-1", "R 20260503 0 10 F-2 10 1,4",
                              "R 20260630 21 0 R-1", "S 20260301 4 0 P-1 4"})
            factura(QString::fromLatin1(f));
    }
    OpcionesLibrosIVA opciones(bool emitidas) const {
        OpcionesLibrosIVA o = LibroIVA::opciones(emitidas);
        o.euros = false;  // el libro registro sale en euros aunque se pida en pesetas
        return o;
    }
    QStringList lineas(const QString& archivo) {
        QFile f(archivo);
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList l = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        if (l.last().isEmpty()) l.removeLast();
        return l;
    }
};

}  // namespace

class PruebaIVA : public QObject {
    Q_OBJECT

  private slots:
    // Líneas de IVA (LibroIVA::factura) y opciones: "recibidas", "pesetas", "desde=aaaammdd",
    // "hasta=aaaammdd", "numeracion=primero".
    void libro_data() {
        QTest::addColumn<QString>("opciones");
        QTest::addColumn<QStringList>("lineas");
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("fila completa")
            << "" << QStringList{"R 20260310 0 21"}
            << "NumFactura, Fecha, CodSubcuenta, DescripcionSubcuenta, NIF, NumAsiento, Concepto, "
               "BaseImponible, IVA, CuotaIVA, Recargo, CuotaRecargo, TotalFactura"
            << QStringList{"F-1|10/03/2026|4300001|Cliente Uno|B12345678|11 (1)|Factura|100,00|21|"
                           "21,00|0|0,00|121,00"};
        QTest::newRow("emitida al 21") << "" << QStringList{"R 20260310 0 21"} << kImportes
                                       << QStringList{"100,00|21|21,00|0|0,00|121,00"};
        QTest::newRow("emitida rectificativa") << "" << QStringList{"R 20260310 21 0"} << kImportes
                                               << QStringList{"-100,00|21|-21,00|0|0,00|-121,00"};
        QTest::newRow("rectificativa con la base ya negativa")
            << "" << QStringList{"R 20260310 21 0 F-1 21 0 -100"} << kImportes
            << QStringList{"-100,00|21|-21,00|0|0,00|-121,00"};
        QTest::newRow("recibida con recargo en euros")
            << "recibidas" << QStringList{"S 20260310 21 0 F-1 21 5,2"} << kImportes
            << QStringList{"100,00|21|21,00|5,2|5,20|126,20"};
        QTest::newRow("recibida con recargo en pesetas")
            << "recibidas pesetas" << QStringList{"S 20260310 21 0 F-1 21 5,2"} << kImportes
            << QStringList{"100|21|21|5,2|5|126"};
        QTest::newRow("recibida en el haber es negativa")
            << "recibidas" << QStringList{"S 20260310 0 21"} << kImportes
            << QStringList{"-100,00|21|-21,00|0|0,00|-121,00"};
        QTest::newRow("base nula") << "recibidas" << QStringList{"S 20260310 21 0 F-1 21 5,2 ~"}
                                   << kImportes << QStringList{"0,00|21|21,00|5,2|0,00|21,00"};
        QTest::newRow("base con miles")
            << "" << QStringList{"R 20260310 0 259,26 F-1 21 0 1.234,56"} << kImportes
            << QStringList{"1.234,56|21|259,26|0|0,00|1.493,82"};
        QTest::newRow("cada libro sus cuentas")
            << "recibidas" << QStringList{"R 20260310 0 21", "S 20260311 42 0"} << "CuotaIVA"
            << QStringList{"42,00"};
        QTest::newRow("líneas iguales, una vez")
            << "" << QStringList{"R 20260310 0 21", "+R 20260310 0 21"} << "NumFactura"
            << QStringList{"F-1"};
        QTest::newRow("sin factura o sin contrapartida no sale")
            << "" << QStringList{"R 20260310 0 21 -", "R 20260311 0 21 F-1 21 0 100 -"}
            << "NumFactura" << QStringList{};
        // Existe en otra empresa, no en esta.
        QTest::newRow("contrapartida desconocida")
            << "" << QStringList{"R 20260310 0 21 F-1 21 0 100 4300099"}
            << "CodSubcuenta, DescripcionSubcuenta, NIF, TotalFactura"
            << QStringList{"4300099|No existe|No existe|121,00"};
        QTest::newRow("los días cuentan")
            << "desde=20260310 hasta=20260320"
            << QStringList{"R 20260309 0 1", "R 20260310 0 2", "R 20260320 0 3", "R 20260321 0 4"}
            << "CuotaIVA" << QStringList{"2,00", "3,00"};
        // Anotadas fuera del orden de fechas: el libro va por fecha.
        const QStringList desordenadas{"R 20260320 0 21 A-1", "R 20260105 0 21 A-2",
                                       "R 20260611 0 21 A-3"};
        QTest::newRow("numeración existente")
            << "" << desordenadas << "NumFactura" << QStringList{"A-2", "A-1", "A-3"};
        QTest::newRow("numeración automática desde 7")
            << "numeracion=7" << desordenadas << "NumFactura" << QStringList{"7", "8", "9"};
        QTest::newRow("numeración automática desde 007")
            << "numeracion=007" << desordenadas << "NumFactura" << QStringList{"007", "8", "9"};
    }
    void libro() {
        QFETCH(QString, opciones);
        QFETCH(QStringList, lineas);
        QFETCH(QString, columnas);
        LibroIVA l;
        l.cuenta(l.empresa(), "4300099", "Ajeno", "Z");  // de otra empresa
        for (const QString& linea : lineas) l.factura(linea);
        OpcionesLibrosIVA o = l.opciones(!opciones.contains(u"recibidas"));
        o.euros = !opciones.contains(u"pesetas");
        for (const QString& op : opciones.split(u' ')) {
            const QString valor = op.section(u'=', 1);
            if (op.startsWith(u"desde=")) o.desde = QDate::fromString(valor, u"yyyyMMdd");
            if (op.startsWith(u"hasta=")) o.hasta = QDate::fromString(valor, u"yyyyMMdd");
            if (op.startsWith(u"numeracion=")) {
                o.numeracionAutomatica = true;
                o.primerNumero = valor;
            }
        }
        const FormulasInforme f = l.libroIVA(o);
        QTEST(l.filas("Libros_IVA", columnas), "esperado");
        QCOMPARE(f.at(1), QStringLiteral("Empresa= \"<PRU> Pruebas, S.L.\""));
        QCOMPARE(f.at(2), QStringLiteral("TrabajarConPts= '%1'").arg(o.euros ? 0 : 1));
        QCOMPARE(f.at(3), QStringLiteral("Periodo= \"Periodo:  %1 ~ %2\"")
                              .arg(o.desde.toString(u"dd/MM/yyyy"), o.hasta.toString(u"dd/MM/yyyy")));
    }

    void dialogoDeCadaOrigen_data() {
        QTest::addColumn<int>("origen");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("tituloInforme");
        QTest::addColumn<QString>("fila");
        QTest::newRow("emitidas")
            << int(cCOrigen::FACTURAEMITIDA) << "Libro de IVA (facturas emitidas)"
            << "infCONT_FacturasEmitidas.rpt" << "Informe del libro de facturas emitidas"
            << "42|121";
        QTest::newRow("recibidas")
            << int(cCOrigen::FACTURARECIBIDA) << "Libro de IVA (facturas recibidas)"
            << "infCONT_FacturasRecibidas.rpt" << "Informe del libro de facturas recibidas"
            << "42|126";
    }
    void dialogoDeCadaOrigen() {
        QFETCH(int, origen);
        QFETCH(QString, titulo);
        QFETCH(QString, plantilla);
        LibroIVA l;
        l.factura("R 20260310 0 21");
        l.factura("S 20260311 21 0 F-1 21 5,2");
        Entorno entorno;
        entorno.config.pesetas = true;
        frmInfFacturas d(entorno.comp);
        d.setBytOrigen(static_cast<std::uint8_t>(origen));
        entorno.mostrar<frmInfFacturas>(
            d, l.contaCompartida(), l.infCompartida(), l.e, [&](frmInfFacturas& f) {
                QCOMPARE(f.windowTitle(), titulo);
                auto* numero = f.findChild<QLineEdit*>("txtFacturas");
                QVERIFY(f.findChild<QRadioButton*>("optFacturas0")->isChecked());
                QVERIFY(!numero->isEnabled());
                f.findChild<QRadioButton*>("optFacturas1")->setChecked(true);
                QVERIFY(numero->isEnabled());
                QVERIFY(f.findChild<QLabel*>("lblFacturas0")->isEnabled());
                numero->setFocus();
                numero->selectAll();
                QTest::keyClicks(numero, QStringLiteral("4x2"));  // la letra pita y no entra
                QCOMPARE(numero->text(), QStringLiteral("42"));
                f.botonAceptar()->click();
            });
        QCOMPARE(entorno.interfaz.pitidos, 1);
        QVERIFY(entorno.motor.impreso);
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(u'/' + plantilla));
        QTEST(entorno.motor.tituloImpreso, "tituloInforme");
        QCOMPARE(entorno.motor.impresas[2], QStringLiteral("TrabajarConPts= '1'"));
        QTEST(l.filas("Libros_IVA", "NumFactura, TotalFactura").value(0), "fila");
    }

    void dialogoPrimerNumeroVacioVuelveAUno() {
        LibroIVA l;
        Entorno entorno;
        frmInfFacturas d(entorno.comp);
        d.setBytOrigen(cCOrigen::FACTURAEMITIDA);
        entorno.mostrar<frmInfFacturas>(
            d, l.contaCompartida(), l.infCompartida(), l.e, [](frmInfFacturas& f) {
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

    // --- Resumen trimestral ------------------------------------------------------------------

    void resumenComoLosLibros() {
        Trimestre t;
        const ResumenIVA r = calcularResumenIVA(t.conta(), t.resumen());
        QCOMPARE(t.tipos(r.devengado), QStringLiteral("21,00:0,00:0,00 10,00:200,00:20,00"));
        QCOMPARE(t.tipos(r.recargo), QStringLiteral("1,40:200,00:2,80"));
        QCOMPARE(t.tipos(r.deducible), QStringLiteral("21,00:50,00:10,50 4,00:100,00:4,00"));
        OpcionesLibrosIVA o = t.opciones(true);
        o.hasta = t.resumen().hasta;
        t.libroIVA(o);
        QCOMPARE(r.totalDevengado, t.suma(QStringLiteral("CuotaIVA, CuotaRecargo")));
        o.emitidas = false;
        t.libroIVA(o);
        QCOMPARE(r.totalDeducible, t.suma(QStringLiteral("CuotaIVA")));
        QCOMPARE(r.resultado(), euros("8,30"));
        // Sin nada sembrado las cuentas cuadran: el recargo sin factura va con su factura.
        QCOMPARE(r.repercutido.cuentas, euros("22,80"));
        QCOMPARE(r.soportado.cuentas, euros("14,50"));
        QVERIFY(r.repercutido.diferencias.empty());
        QVERIFY(r.soportado.diferencias.empty());
    }

    void diferenciaSembrada_data() {
        QTest::addColumn<int>("caso");
        QTest::addColumn<bool>("enRepercutido");
        QTest::addColumn<int>("clase");
        QTest::addColumn<QString>("importe");
        QTest::addColumn<QString>("diferencia");  // de las cuentas frente al libro
        QTest::newRow("apunte de IVA sin factura")
            << 0 << false << int(DiferenciaIVA::ApunteSinFactura) << "5,00" << "5,00";
        QTest::newRow("factura sin apunte de IVA")
            << 1 << true << int(DiferenciaIVA::FacturaSinApunte) << "121,00" << "0,00";
        QTest::newRow("cuota que no es el tipo por la base")
            << 2 << true << int(DiferenciaIVA::CuotaDistintaDelTipo) << "4,00" << "0,00";
        QTest::newRow("liquidación: no es diferencia") << 3 << true << -1 << "" << "0,00";
    }
    void diferenciaSembrada() {
        QFETCH(int, caso);
        QFETCH(bool, enRepercutido);
        QFETCH(int, clase);
        QFETCH(QString, diferencia);
        Trimestre t;
        const qint64 as = t.asiento(t.e, 77, "20260325");
        if (caso == 0) {
            t.apunte(as, t.soportado, "5", "0");
        } else if (caso == 1) {
            t.apunteIVA(as, t.cliente, {"121", "0", "F-9", "7000001"});
        } else if (caso == 2) {
            t.factura("R 20260325 0 25 F-3 21 0 100");
        } else {
            t.apunte(as, t.repercutido, "22,80", "0");
            t.apunte(as, t.soportado, "0", "14,50");
            t.apunte(as, t.hacienda, "0", "8,30");
        }
        const ResumenIVA r = calcularResumenIVA(t.conta(), t.resumen());
        const CuadreIVA& c = enRepercutido ? r.repercutido : r.soportado;
        QVERIFY((enRepercutido ? r.soportado : r.repercutido).diferencias.empty());
        QCOMPARE(c.diferencia(), euros(diferencia));
        QCOMPARE(c.diferencias.size(), size_t(clase < 0 ? 0 : 1));
        if (clase < 0) return;
        QCOMPARE(int(c.diferencias[0].clase), clase);
        QTEST(c.diferencias[0].importe.formatear(), "importe");
        const QString numero = QString::number(caso == 2 ? t.numero : 77);
        QVERIFY2(c.diferencias[0].asiento.startsWith(numero + QStringLiteral(" (")),
                 qPrintable(c.diferencias[0].asiento));
    }

    // La tabla de trabajo: secciones en orden, la línea sembrada con su asiento, en pesetas.
    void filasDelResumen() {
        Trimestre t;
        const qint64 as = t.asiento(t.e, 77, "20260325");
        t.apunte(as, t.soportado, "832", "0", "Suelto", "5", "0");
        OpcionesResumenIVA o = t.resumen();
        o.euros = false;
        const FormulasInforme f = t.construir(construirResumenIVA, o);
        QCOMPARE(f.at(2), QStringLiteral("TrabajarConPts= '1'"));
        const QStringList filas = t.filas("ResumenIVA", "Seccion, Concepto, Cuota");
        QStringList secciones;
        for (const QString& fila : filas)
            if (!secciones.contains(fila.section(u'|', 0, 0))) secciones << fila.section(u'|', 0, 0);
        QCOMPARE(secciones.size(), 5);
        QVERIFY(filas.contains(QStringLiteral("CONCILIACIÓN CON LAS CUENTAS 472 (IVA SOPORTADO)|"
                                              "Asiento 77 (%1): apunte de IVA sin factura en "
                                              "4720001: Suelto|832")
                                   .arg(as)));
    }

    // --- Libros registro ---------------------------------------------------------------------

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
        QTEST(nombreLibroRegistro(2026, QStringLiteral("B50123456"), emitidas, nombre,
                                  csv ? FormatoRegistro::Csv : FormatoRegistro::Xlsx),
              "archivo");
    }

    void registroDeLasFacturas_data() {
        QTest::addColumn<bool>("emitidas");
        QTest::addColumn<QStringList>("filas");
        QTest::newRow("emitidas") << true << QStringList{
            "2026;1T;A;03;;F1;10/02/2026;;;F-1;;;;B12345678;Cliente Uno;01;S1;;121,00;100,00;"
            "21,00;21,00;0,00;0,00" + kDiezVacias,
            "2026;2T;A;03;;F1;03/05/2026;;;F-2;;;;B12345678;Cliente Uno;01;S1;;111,40;100,00;"
            "10,00;10,00;1,40;1,40" + kDiezVacias,
            "2026;2T;A;03;;R4;30/06/2026;;;R-1;;;;B12345678;Cliente Uno;01;S1;;-121,00;-100,00;"
            "21,00;-21,00;0,00;0,00" + kDiezVacias};
        QTest::newRow("recibidas") << false << QStringList{
            "2026;1T;A;03;;F1;01/03/2026;;01/03/2026;;P-1;;;;;;A87654321;Proveedor Uno;01;N;N;N;;;"
            "104,00;100,00;4,00;4,00;4,00;0,00;0,00" + kDiezVacias};
    }
    // El archivo CSV: nombre prescrito, una cabecera, ";" y las filas calculadas a mano; base,
    // cuota y total suman lo mismo que el libro de IVA en euros.
    void registroDeLasFacturas() {
        QFETCH(bool, emitidas);
        FacturasDelAno f;
        const QString archivo = exportarLibroRegistro(f.conta(), f.opciones(emitidas),
                                                      FormatoRegistro::Csv, f.carpeta());
        QCOMPARE(QFileInfo(archivo).fileName(),
                 QStringLiteral("2026B50123456%1Pruebas, S.L.csv").arg(QChar(emitidas ? u'E' : u'R')));
        const QStringList lineas = f.lineas(archivo);
        const QStringList cabeceras = cabecerasLibroRegistro(emitidas);
        QCOMPARE(lineas.first(), cabeceras.join(u';'));
        QTEST(lineas.mid(1), "filas");

        f.libroIVA(f.LibroIVA::opciones(emitidas));
        const QString columnas[] = {"BaseImponible", "CuotaIVA", "TotalFactura"};
        const QString titulos[] = {"Base Imponible",
                                   emitidas ? "Cuota IVA Repercutida" : "Cuota IVA Soportada",
                                   "Total Factura"};
        for (int i = 0; i < 3; ++i) {
            const qsizetype columna = cabeceras.indexOf(titulos[i]);
            Moneda registro;
            for (const FilaRegistro& fila : filasLibroRegistro(f.conta(), f.opciones(emitidas)))
                registro += fila[columna].importe;
            QCOMPARE(registro, f.suma(columnas[i]));
        }
    }

    void registroEnXlsx() {
        FacturasDelAno f;
        const QString archivo = exportarLibroRegistro(f.conta(), f.opciones(false),
                                                      FormatoRegistro::Xlsx, f.carpeta());
        QCOMPARE(QFileInfo(archivo).fileName(), QStringLiteral("2026B50123456RPruebas, S.L.xlsx"));
        QFile x(archivo);
        QVERIFY(x.open(QIODevice::ReadOnly));
        QCOMPARE(x.read(2), QByteArray("PK"));  // un libro de cálculo es un zip
        QCOMPARE(QDir(f.carpeta()).entryList({QStringLiteral("*.xlsx.*")}), QStringList());
    }

    // Sin NIF no hay nombre que dar al archivo: error y ningún archivo a medias.
    void registroSinNifNoEscribeNada() {
        FacturasDelAno f;
        DatosEmpresa::guardarNif(f.conta(), f.e, QString());
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, exportarLibroRegistro(f.conta(), f.opciones(true),
                                                                  FormatoRegistro::Csv, f.carpeta()));
        QCOMPARE(QDir(f.carpeta()).entryList({QStringLiteral("*.csv")}), QStringList());
    }
};

QTEST_MAIN(PruebaIVA)
#include "prueba_iva.moc"
