// Libros de IVA (cuota y signo según el libro, base, recargo, total, numeración, contrapartida,
// cada línea aunque se repita, y el diálogo de los dos orígenes) y el resumen trimestral con la
// conciliación que encuentra cada diferencia sembrada.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "LibroIVAPrueba.h"
#include "LibrosIVA.h"
#include "ResumenIVA.h"
#include "cCOrigen.h"
#include "frmInfFacturas.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

// Lo que se compara de una fila del libro de IVA.
struct Linea {
    QString numero, contrapartida, nombre;
    Moneda base, cuota, recargo, total;
    bool operator==(const Linea&) const = default;
};
using Lineas = QList<Linea>;

// Una línea de "F-1" del cliente o del proveedor.
Linea cliente(const char* base, const char* cuota, const char* recargo, const char* total) {
    return {"F-1",        "4300001",      "Cliente Uno", euros(base),
            euros(cuota), euros(recargo), euros(total)};
}
Linea proveedor(const char* base, const char* cuota, const char* recargo, const char* total) {
    return {"F-1",        "4000001",      "Proveedor Uno", euros(base),
            euros(cuota), euros(recargo), euros(total)};
}

// Opciones del libro por texto: "recibidas", "pesetas", "desde=aaaammdd", "hasta=aaaammdd",
// "numeracion=primero".
OpcionesLibrosIVA opcionesDe(const LibroIVA& l, const QString& opciones) {
    OpcionesLibrosIVA o = l.opciones(!opciones.contains(u"recibidas"));
    o.divisa = opciones.contains(u"pesetas") ? Divisa::Pesetas : Divisa::Euros;
    for (const QString& op : opciones.split(u' ')) {
        const QString valor = op.section(u'=', 1);
        if (op.startsWith(u"desde=")) o.desde = QDate::fromString(valor, u"yyyyMMdd");
        if (op.startsWith(u"hasta=")) o.hasta = QDate::fromString(valor, u"yyyyMMdd");
        if (op.startsWith(u"numeracion=")) {
            o.numeracionAutomatica = true;
            o.primerNumero = valor;
        }
    }
    return o;
}

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
    OpcionesResumenIVA resumen() const { return {e, Divisa::Euros, {2026, 1, 1}, {2026, 3, 31}}; }
    static QString tipos(const std::vector<LineaTipoIVA>& v) {
        QStringList t;
        for (const LineaTipoIVA& l : v)
            t << l.tipo.formatear() + u':' + l.base.formatear() + u':' + l.cuota.formatear();
        return t.join(u' ');
    }
};

}  // namespace

class PruebaIVA : public QObject {
    Q_OBJECT

  private slots:
    // Líneas de IVA (LibroIVA::factura) y opciones (opcionesDe).
    void libro_data() {
        QTest::addColumn<QString>("opciones");
        QTest::addColumn<QStringList>("lineas");
        QTest::addColumn<Lineas>("esperado");
        // clang-format off
        QTest::newRow("emitida al 21") << "" << QStringList{"R 20260310 0 21"} << Lineas{cliente("100", "21", "0", "121")};
        QTest::newRow("emitida rectificativa") << "" << QStringList{"R 20260310 21 0"} << Lineas{cliente("-100", "-21", "0", "-121")};
        QTest::newRow("rectificativa con la base ya negativa") << "" << QStringList{"R 20260310 21 0 F-1 21 0 -100"} << Lineas{cliente("-100", "-21", "0", "-121")};
        QTest::newRow("recibida con recargo en euros") << "recibidas" << QStringList{"S 20260310 21 0 F-1 21 5,2"} << Lineas{proveedor("100", "21", "5,20", "126,20")};
        // El recargo ya redondeado a pesetas, como lo suma el total.
        QTest::newRow("recibida con recargo en pesetas") << "recibidas pesetas" << QStringList{"S 20260310 21 0 F-1 21 5,2"} << Lineas{proveedor("100", "21", "5", "126")};
        QTest::newRow("recibida en el haber es negativa") << "recibidas" << QStringList{"S 20260310 0 21"} << Lineas{proveedor("-100", "-21", "0", "-121")};
        QTest::newRow("base nula") << "recibidas" << QStringList{"S 20260310 21 0 F-1 21 5,2 ~"} << Lineas{proveedor("0", "21", "0", "21")};
        QTest::newRow("base con miles") << "" << QStringList{"R 20260310 0 259,26 F-1 21 0 1.234,56"} << Lineas{cliente("1.234,56", "259,26", "0", "1.493,82")};
        QTest::newRow("cada libro sus cuentas") << "recibidas" << QStringList{"R 20260310 0 21", "S 20260311 42 0"} << Lineas{proveedor("100", "42", "0", "142")};
        QTest::newRow("líneas iguales, las dos") << "" << QStringList{"R 20260310 0 21", "+R 20260310 0 21"} << Lineas{cliente("100", "21", "0", "121"), cliente("100", "21", "0", "121")};
        QTest::newRow("sin factura o sin contrapartida no sale") << "" << QStringList{"R 20260310 0 21 -", "R 20260311 0 21 F-1 21 0 100 -"} << Lineas{};
        // Existe en otra empresa, no en esta.
        QTest::newRow("contrapartida desconocida") << "" << QStringList{"R 20260310 0 21 F-1 21 0 100 4300099"} << Lineas{{"F-1", "4300099", "No existe", euros("100"), euros("21"), euros("0"), euros("121")}};
        QTest::newRow("los días cuentan") << "desde=20260310 hasta=20260320" << QStringList{"R 20260309 0 1", "R 20260310 0 2", "R 20260320 0 3", "R 20260321 0 4"} << Lineas{cliente("100", "2", "0", "102"), cliente("100", "3", "0", "103")};
        // clang-format on
    }
    void libro() {
        QFETCH(QString, opciones);
        QFETCH(QStringList, lineas);
        LibroIVA l;
        l.cuenta(l.empresa(), "4300099", "Ajeno", "Z");  // de otra empresa
        for (const QString& linea : lineas) l.factura(linea);
        Lineas filas;
        for (const FilaIVA& f : l.filasIVA(opcionesDe(l, opciones)))
            filas << Linea{f.numero,   f.contrapartida, f.nombre, f.base,
                           f.cuotaIva, f.cuotaRecargo,  f.total};
        QTEST(filas, "esperado");
    }

    // Anotadas fuera del orden de fechas: el libro va por fecha.
    void numeracion_data() {
        QTest::addColumn<QString>("opciones");
        QTest::addColumn<QStringList>("lineas");
        QTest::addColumn<QStringList>("numeros");
        // clang-format off
        const QStringList desordenadas{"R 20260320 0 21 A-1", "R 20260105 0 21 A-2", "R 20260611 0 21 A-3"};
        QTest::newRow("existente") << "" << desordenadas << QStringList{"A-2", "A-1", "A-3"};
        QTest::newRow("automática: un número por factura") << "numeracion=7" << QStringList{"R 20260310 0 21 A-1", "+R 20260310 0 10 A-1 10", "R 20260311 0 21 A-2"} << QStringList{"7", "7", "8"};
        QTest::newRow("automática desde 007") << "numeracion=007" << desordenadas << QStringList{"007", "8", "9"};
        // clang-format on
    }
    void numeracion() {
        QFETCH(QString, opciones);
        QFETCH(QStringList, lineas);
        LibroIVA l;
        for (const QString& linea : lineas) l.factura(linea);
        QStringList numeros;
        for (const FilaIVA& f : l.filasIVA(opcionesDe(l, opciones))) numeros << f.numero;
        QTEST(numeros, "numeros");
    }

    // La numeración desde el número tecleado, en el libro de cada origen. Título, plantilla y
    // fórmulas de cada uno los ven los volcados de los libros de ejemplo.
    void dialogoDeCadaOrigen_data() {
        QTest::addColumn<int>("origen");
        QTest::addColumn<QString>("fila");
        QTest::newRow("emitidas") << int(cCOrigen::FACTURAEMITIDA) << "42|121";
        QTest::newRow("recibidas") << int(cCOrigen::FACTURARECIBIDA) << "42|126";
    }
    void dialogoDeCadaOrigen() {
        QFETCH(int, origen);
        LibroIVA l;
        l.factura("R 20260310 0 21");
        l.factura("S 20260311 21 0 F-1 21 5,2");
        Entorno entorno;
        entorno.config.pesetas = true;
        frmInfFacturas d(entorno.comp);
        d.setBytOrigen(static_cast<std::uint8_t>(origen));
        entorno.mostrar<frmInfFacturas>(
            d, l.contaCompartida(), l.infCompartida(), l.e, [&](frmInfFacturas& f) {
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
        QCOMPARE(r.totalDevengado, t.suma(o, {&FilaIVA::cuotaIva, &FilaIVA::cuotaRecargo}));
        o.emitidas = false;
        QCOMPARE(r.totalDeducible, t.suma(o, {&FilaIVA::cuotaIva}));
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
        // clang-format off
        QTest::newRow("apunte de IVA sin factura") << 0 << false << int(DiferenciaIVA::ApunteSinFactura) << "5,00" << "5,00";
        QTest::newRow("factura sin apunte de IVA") << 1 << true << int(DiferenciaIVA::FacturaSinApunte) << "121,00" << "0,00";
        QTest::newRow("cuota que no es el tipo por la base") << 2 << true << int(DiferenciaIVA::CuotaDistintaDelTipo) << "4,00" << "0,00";
        QTest::newRow("liquidación: no es diferencia") << 3 << true << -1 << "" << "0,00";
        // clang-format on
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

    // Las filas en pesetas: cinco secciones sin el 303, la línea sembrada con su asiento.
    void filasDelResumen() {
        Trimestre t;
        const qint64 as = t.asiento(t.e, 77, "20260325");
        t.apunte(as, t.soportado, "832", "0", "Suelto", "5", "0");
        OpcionesResumenIVA o = t.resumen();
        o.divisa = Divisa::Pesetas;
        const std::vector<FilaResumenIVA> filas =
            filasResumenIVA(calcularResumenIVA(t.conta(), o), Divisa::Pesetas);
        QStringList secciones;
        for (const FilaResumenIVA& f : filas)
            if (!secciones.contains(f.seccion)) secciones << f.seccion;
        QCOMPARE(secciones.size(), 5);
        FilaResumenIVA suelto;
        suelto.seccion = QStringLiteral("CONCILIACIÓN CON LAS CUENTAS 472 (IVA SOPORTADO)");
        suelto.concepto =
            QStringLiteral("Asiento 77 (%1): apunte de IVA sin factura en 4720001: Suelto").arg(as);
        suelto.cuota = euros("832");
        QVERIFY(std::find(filas.begin(), filas.end(), suelto) != filas.end());
    }
};

QTEST_MAIN(PruebaIVA)
#include "prueba_iva.moc"
