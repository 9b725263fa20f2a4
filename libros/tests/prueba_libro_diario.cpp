// Libro Diario: orden de los asientos, meses enteros, filtros, apuntes ordenados, importes y el
// diálogo recorrido como lo haría una persona.
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include "ErrorOrvo.h"
#include "LibroDiario.h"
#include "LibrosPrueba.h"
#include "frmInfLibroDiario.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

OpcionesLibroDiario opcionesTodo(long empresa) {
    OpcionesLibroDiario o;
    o.empresa = empresa;
    o.textoEmpresa = QStringLiteral("<PRU> Pruebas, S.L.");
    o.desde = QDate(2026, 1, 1);
    o.hasta = QDate(2026, 12, 31);
    return o;
}

FormulasInforme construir(LibrosPrueba& libro, const OpcionesLibroDiario& o) {
    ProgresoNulo progreso;
    ContextoInforme contexto{libro.conta(), libro.inf(), progreso};
    return construirLibroDiario(contexto, o);
}

// Libros con un asiento para cada regla, en este orden (el asiento 15 es el IDAsiento 1):
// 15: 4300001 de 1.234,5 pesetas o 7,42 euros, con comillas en la cuenta y el concepto.
// 11, 100, 9, 2 y 10, en enero, con el número guardado como texto o como entero y el debe
//     igual al número: en orden de texto saldrían 10, 11, 9.
// 21 a 25: una peseta en el Banco el 28/2, 1/3, 15/4, 30/4 y 1/5.
// 30: Banco a Ventas (sin cuentas del 4); 31: Cliente a Ventas por 70.
// 40: tres apuntes anotados como haber Banco, debe Cliente, haber Ventas.
// 50: B con debe y haber ("doble") y A a cero en pesetas con 3 euros ("cero").
// 60: la cuenta 43 (no es subcuenta) y la subcuenta 4300001 por 2; y un asiento de otra empresa.
struct LibroDiarioVario {
    explicit LibroDiarioVario(LibrosPrueba& libro) {
        empresa = libro.empresa();
        const long otra = libro.empresa();
        const qint64 cliente = libro.cuenta(empresa, "4300001", "Cliente \"Ñandú\"");
        const qint64 banco = libro.cuenta(empresa, "5720001", "Banco");
        const qint64 ventas = libro.cuenta(empresa, "7000001", "Ventas");
        const qint64 a = libro.cuenta(empresa, "1000001", "A"),
                     b = libro.cuenta(empresa, "2000001", "B");
        libro.apunte(libro.asiento(empresa, 15, "20260615"), cliente, "1.234,5", "0",
                     "Cobro de O'Brien \"urgente\"", "7,42", "0");
        for (int n : {11, 100, 9, 2, 10})
            libro.apunte(
                libro.asiento(empresa,
                              n == 10 || n == 100 ? QVariant(n) : QVariant(QString::number(n)),
                              "20260105"),
                banco, QString::number(n), "0");
        int n = 20;
        for (const char* fecha : {"20260228", "20260301", "20260415", "20260430", "20260501"})
            libro.apunte(libro.asiento(empresa, ++n, fecha), banco, "1", "0");
        const qint64 as30 = libro.asiento(empresa, 30, "20260110");
        libro.apunte(as30, banco, "50", "0");
        libro.apunte(as30, ventas, "0", "50");
        const qint64 as31 = libro.asiento(empresa, 31, "20260111");
        libro.apunte(as31, cliente, "70", "0");
        libro.apunte(as31, ventas, "0", "70");
        const qint64 as40 = libro.asiento(empresa, 40, "20260210");
        libro.apunte(as40, banco, "0", "60");
        libro.apunte(as40, cliente, "100", "0");
        libro.apunte(as40, ventas, "0", "40");
        const qint64 as50 = libro.asiento(empresa, 50, "20260110");
        libro.apunte(as50, b, "10", "5", "doble");
        libro.apunte(as50, a, "0", "0", "cero", "3", "0");
        const qint64 as60 = libro.asiento(empresa, 60, "20260110");
        libro.apunte(as60, libro.cuenta(empresa, "43", "Clientes"), "1", "0");
        libro.apunte(as60, cliente, "2", "0");
        libro.apunte(libro.asiento(otra, 60, "20260110"), libro.cuenta(otra, "4300001", "Otro"),
                     "3", "0");
    }
    long empresa;
};

}  // namespace

class PruebaLibroDiario : public QObject {
    Q_OBJECT

  private slots:
    void construccion_data() {
        QTest::addColumn<QString>("asientos");    // "desde-hasta"
        QTest::addColumn<QString>("subcuentas");  // "desde-hasta"
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<bool>("euros");
        QTest::addColumn<bool>("ordenados");
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("esperado");
        const QString todas = QStringLiteral("0000000-9999999");
        const QDate ene(2026, 1, 1), dic(2026, 12, 31);
        // clang-format off
        QTest::newRow("orden numérico de los asientos") << "9-11" << todas << ene << dic << true << false
            << "Debe" << QStringList{"9,00", "10,00", "11,00"};
        QTest::newRow("fila completa en pesetas") << "15-15" << todas << ene << dic << false << false
            << "Asiento, Fecha, Descripcion, Concepto, Debe, Haber"
            << QStringList{"15 (1)|15/06/2026|4300001 - Cliente \"Ñandú\"|Cobro de O'Brien \"urgente\"|1.235|0"};
        QTest::newRow("en euros") << "15-15" << todas << ene << dic << true << false << "Debe, Haber"
            << QStringList{"7,42|0,00"};
        QTest::newRow("meses enteros") << "20-29" << todas << QDate(2026, 3, 15) << QDate(2026, 4, 20) << true
            << false << "Fecha" << QStringList{"01/03/2026", "15/04/2026", "30/04/2026"};
        // Solo los apuntes de las subcuentas del rango, y de esta empresa.
        QTest::newRow("subcuentas del 4") << "0-9999999" << "4000000-4999999" << ene << dic << true << false
            << "Asiento, Debe" << QStringList{"15 (1)|7,42", "31 (13)|70,00", "40 (14)|100,00", "60 (16)|2,00"};
        QTest::newRow("apuntes como se anotaron") << "40-40" << todas << ene << dic << true << false
            << "Descripcion" << QStringList{"5720001 - Banco", "4300001 - Cliente \"Ñandú\"", "7000001 - Ventas"};
        QTest::newRow("apuntes ordenados: debe y haber, por código") << "40-40" << todas << ene << dic << true
            << true << "Descripcion" << QStringList{"4300001 - Cliente \"Ñandú\"", "5720001 - Banco", "7000001 - Ventas"};
        // Ordenados, un apunte a cero en pesetas no sale aunque tenga euros, y uno con debe y
        // haber sale dos veces, primero con el debe.
        QTest::newRow("ordenados miran las pesetas") << "50-50" << todas << ene << dic << true << true
            << "Concepto" << QStringList{"doble", "doble"};
        QTest::newRow("sin ordenar salen todos") << "50-50" << todas << ene << dic << true << false
            << "Concepto" << QStringList{"doble", "cero"};
        // clang-format on
    }
    void construccion() {
        QFETCH(QString, asientos);
        QFETCH(QString, subcuentas);
        QFETCH(QString, columnas);
        LibrosPrueba libro;
        LibroDiarioVario l(libro);
        OpcionesLibroDiario o = opcionesTodo(l.empresa);
        o.asientoDesde = asientos.section(u'-', 0, 0);
        o.asientoHasta = asientos.section(u'-', 1);
        o.subcuentaDesde = subcuentas.section(u'-', 0, 0);
        o.subcuentaHasta = subcuentas.section(u'-', 1);
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(bool, euros);
        QFETCH(bool, ordenados);
        o.desde = desde;
        o.hasta = hasta;
        o.euros = euros;
        o.apuntesOrdenados = ordenados;
        const FormulasInforme f = construir(libro, o);
        QTEST(libro.filas("Libro_Diario", columnas), "esperado");
        QCOMPARE(numeroMaximoAsiento(libro.conta(), l.empresa), QStringLiteral("100"));
        QCOMPARE(f.at(1), QStringLiteral("Empresa= \"<PRU> Pruebas, S.L.\""));
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '%1'").arg(euros ? 0 : 1));
        if (desde.month() == 3)
            QCOMPARE(f.at(2), QStringLiteral("Periodo= \"Periodo:  marzo/2026 ~ abril/2026\""));
    }

    void numeroDeAsientoNoNumericoEsUnError() {
        LibrosPrueba libro;
        const long e = libro.empresa();
        OpcionesLibroDiario o = opcionesTodo(e);
        o.asientoHasta = QStringLiteral("12' OR 1=1");
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, construir(libro, o));
        QCOMPARE(numeroMaximoAsiento(libro.conta(), e), QStringLiteral("0"));
    }

    // --- Diálogo ---------------------------------------------------------------------------

    void dialogoCargaRangosDeLaEmpresa() {
        LibrosPrueba libro;
        const long e = libro.empresa(QStringLiteral("20260401"), "20270331", 6);
        libro.asiento(e, "12", "20260410");
        libro.asiento(e, "9", "20260410");
        Entorno entorno;
        mostrar<frmInfLibroDiario>(entorno, libro, e, [](frmInfLibroDiario& f) {
            auto caja = [&f](int i) {
                return f.findChild<QLineEdit*>(nombreControl("txtLibroDiario", i));
            };
            QCOMPARE(caja(0)->text(), QStringLiteral("000000"));
            QCOMPARE(caja(1)->text(), QStringLiteral("999999"));
            QCOMPARE(caja(2)->text(), QStringLiteral("0"));
            QCOMPARE(caja(3)->text(), QStringLiteral("12"));
            QCOMPARE(f.findChild<QDateEdit*>("dtpLibroDiario0")->date(), QDate(2026, 4, 1));
            QCOMPARE(f.findChild<QDateEdit*>("dtpLibroDiario1")->date(), QDate(2027, 3, 31));
            f.botonCancelar()->click();
        });
        QVERIFY(entorno.interfaz.mensajes.empty());
        QVERIFY(!entorno.motor.impreso);
    }

    // Lo que el diálogo rechaza, con un mensaje y un pitido: lo que falta por teclear deja el
    // diálogo abierto para corregirlo; sin nada que imprimir o con un error en la construcción
    // se cierra. Nada impreso y la tabla de trabajo vacía.
    void dialogoRechaza_data() {
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("fechasAlReves");
        QTest::addColumn<QStringList>("mensaje");  // trozos del único mensaje
        QTest::addColumn<bool>("abierto");
        QTest::newRow("subcuenta vacía antes que fechas")
            << "txtLibroDiario1" << "  " << true
            << QStringList{"¡Debe introducir subcuenta inicial y subcuenta final!"} << true;
        QTest::newRow("fechas antes que asientos")
            << "txtLibroDiario3" << "  " << true
            << QStringList{"¡No puede ser mayor la fecha inicial que la fecha final!"} << true;
        QTest::newRow("asientos")
            << "txtLibroDiario2" << "  " << false
            << QStringList{"¡Debe introducir número inicial y final de asiento!"} << true;
        QTest::newRow("ningún asiento en el rango")
            << "txtLibroDiario2" << "101" << false
            << QStringList{"¡No se ha encontrado ningún registro!"} << false;
        QTest::newRow("error de construcción, deshecho")
            << "txtLibroDiario3" << "diez" << false
            << QStringList{"«diez»", "RellenarInforme", "frmInfLibroDiario", "OrvoInfContabilidad"}
            << false;
    }
    void dialogoRechaza() {
        QFETCH(QString, caja);
        QFETCH(QString, texto);
        QFETCH(bool, fechasAlReves);
        QFETCH(QStringList, mensaje);
        LibrosPrueba libro;
        LibroDiarioVario l(libro);
        Entorno entorno;
        mostrar<frmInfLibroDiario>(entorno, libro, l.empresa, [&](frmInfLibroDiario& f) {
            f.findChild<QLineEdit*>(caja)->setText(texto);
            if (fechasAlReves) {
                f.findChild<QDateEdit*>("dtpLibroDiario0")->setDate(QDate(2026, 5, 1));
                f.findChild<QDateEdit*>("dtpLibroDiario1")->setDate(QDate(2026, 4, 30));
            }
            f.botonAceptar()->click();
            QTEST(f.isVisible(), "abierto");
        });
        QCOMPARE(entorno.textos().size(), 1);
        for (const QString& trozo : mensaje)
            QVERIFY2(entorno.textos()[0].contains(trozo), qPrintable(entorno.textos()[0]));
        QCOMPARE(entorno.interfaz.pitidos, 1);
        QVERIFY(!entorno.motor.impreso);
        QVERIFY(libro.filas("Libro_Diario", "Asiento").isEmpty());
        QCOMPARE(libro.inf().nivelTransaccion(), 0);
    }

    void dialogoImprimeConSumaYSigue_data() {
        QTest::addColumn<bool>("sumaYSigue");
        QTest::addColumn<QString>("plantilla");
        QTest::newRow("sin suma y sigue") << false << "infCONT_LibroDiario.rpt";
        QTest::newRow("con suma y sigue") << true << "infCONT_LibroDiario_2.rpt";
    }
    void dialogoImprimeConSumaYSigue() {
        QFETCH(bool, sumaYSigue);
        QFETCH(QString, plantilla);
        LibrosPrueba libro;
        LibroDiarioVario l(libro);
        Entorno entorno;
        entorno.config.pesetas = true;
        mostrar<frmInfLibroDiario>(entorno, libro, l.empresa, [&](frmInfLibroDiario& f) {
            QVERIFY(!f.findChild<QCheckBox*>("chkLibroDiario")->isChecked());
            f.findChild<QCheckBox*>("chkTipoDiario")->setChecked(sumaYSigue);
            f.findChild<QCheckBox*>("chkApuntesOrdenados")->setChecked(true);
            f.findChild<QLineEdit*>("txtLibroDiario2")->setText(QStringLiteral("40"));
            f.findChild<QLineEdit*>("txtLibroDiario3")->setText(QStringLiteral("40"));
            f.findChild<QDateEdit*>("dtpLibroDiario1")->setDate(QDate(2026, 2, 1));
            f.botonAceptar()->click();
        });
        QVERIFY(entorno.motor.impreso);
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(u'/' + plantilla));
        QCOMPARE(entorno.motor.tituloImpreso, QStringLiteral("Informe de libro Diario"));
        QCOMPARE(entorno.motor.impresas[2],
                 QStringLiteral("Periodo= \"Periodo:  enero/2026 ~ febrero/2026\""));
        QCOMPARE(entorno.motor.impresas[3], QStringLiteral("TrabajarConPts= '1'"));
        QCOMPARE(libro.filas("Libro_Diario", "Debe, Haber"),
                 QStringList({"100|0", "0|60", "0|40"}));
    }
};

QTEST_MAIN(PruebaLibroDiario)
#include "prueba_libro_diario.moc"
