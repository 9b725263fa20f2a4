// Libro Diario: orden de los asientos, meses enteros, filtros, apuntes ordenados, importes y el
// diálogo recorrido como lo haría una persona.
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include "ErrorOrvo.h"
#include "LibroDiario.h"
#include "LibroPrueba.h"
#include "frmInfLibroDiario.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

OpcionesLibroDiario opcionesTodo(long empresa) {
    OpcionesLibroDiario o;
    o.empresa = empresa;
    o.textoEmpresa = QStringLiteral("<PRU> Pruebas, S.L.");
    o.subcuentaDesde = QStringLiteral("0000000");
    o.subcuentaHasta = QStringLiteral("9999999");
    o.asientoDesde = QStringLiteral("0");
    o.asientoHasta = QStringLiteral("9999999");
    o.desde = QDate(2026, 1, 1);
    o.hasta = QDate(2026, 12, 31);
    return o;
}

FormulasInforme construir(LibroPrueba& libro, const OpcionesLibroDiario& o) {
    ProgresoNulo progreso;
    ContextoInforme contexto{libro.conta(), libro.inf(), progreso};
    return construirLibroDiario(contexto, o);
}

// Un asiento de tres apuntes anotados en el orden haber B, debe A, haber C (códigos A < B < C).
struct AsientoDesordenado {
    explicit AsientoDesordenado(LibroPrueba& libro) {
        empresa = libro.empresa();
        const qint64 a =
            libro.cuenta(empresa, QStringLiteral("4300001"), QStringLiteral("Cliente"));
        const qint64 b = libro.cuenta(empresa, QStringLiteral("5720001"), QStringLiteral("Banco"));
        const qint64 c = libro.cuenta(empresa, QStringLiteral("7000001"), QStringLiteral("Ventas"));
        const qint64 as = libro.asiento(empresa, 1, QStringLiteral("20260210"));
        libro.apunte(as, b, QStringLiteral("0"), QStringLiteral("60"));
        libro.apunte(as, a, QStringLiteral("100"), QStringLiteral("0"));
        libro.apunte(as, c, QStringLiteral("0"), QStringLiteral("40"));
    }
    long empresa;
};

}  // namespace

class PruebaLibroDiario : public QObject {
    Q_OBJECT

  private slots:
    void asientosEnOrdenNumerico_data() {
        QTest::addColumn<bool>("comoTexto");
        QTest::newRow("números guardados como texto") << true;
        QTest::newRow("números guardados como enteros") << false;
    }
    void asientosEnOrdenNumerico() {
        QFETCH(bool, comoTexto);
        LibroPrueba libro;
        const long e = libro.empresa();
        const qint64 cta = libro.cuenta(e, QStringLiteral("5720001"), QStringLiteral("Banco"));
        // Anotados desordenados; en orden de texto saldrían 10, 11, 9.
        for (int n : {11, 100, 9, 2, 10}) {
            const qint64 as =
                libro.asiento(e, comoTexto ? QVariant(QString::number(n)) : QVariant(n),
                              QStringLiteral("20260105"));
            libro.apunte(as, cta, QString::number(n), QStringLiteral("0"));
        }
        OpcionesLibroDiario o = opcionesTodo(e);
        o.asientoDesde = QStringLiteral("9");
        o.asientoHasta = QStringLiteral("11");
        construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Debe")),
                 QStringList({"9,00", "10,00", "11,00"}));
        QCOMPARE(numeroMaximoAsiento(libro.conta(), e), QStringLiteral("100"));
    }

    void filaCompletaConTextosConComillas() {
        LibroPrueba libro;
        const long e = libro.empresa();
        const qint64 cta =
            libro.cuenta(e, QStringLiteral("4300001"), QStringLiteral("Cliente \"Ñandú\""));
        const qint64 as = libro.asiento(e, 15, QStringLiteral("20260315"));
        libro.apunte(as, cta, QStringLiteral("1.234,5"), QStringLiteral("0"),
                     QStringLiteral("Cobro de O'Brien \"urgente\""), QStringLiteral("7,42"),
                     QStringLiteral("0"));
        OpcionesLibroDiario o = opcionesTodo(e);
        o.euros = false;
        construir(libro, o);
        const QString clave = QString::number(as);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"),
                             QStringLiteral("Asiento, Fecha, Descripcion, Concepto, Debe, Haber")),
                 QStringList{QStringLiteral("15 (%1)|15/03/2026|4300001 - Cliente \"Ñandú\"|"
                                            "Cobro de O'Brien \"urgente\"|1.235|0")
                                 .arg(clave)});
        libro.inf().Execute(QStringLiteral("DELETE FROM Libro_Diario"));
        o.euros = true;
        construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Debe, Haber")),
                 QStringList{"7,42|0,00"});
    }

    void periodoDeMesesEnteros() {
        LibroPrueba libro;
        const long e = libro.empresa();
        const qint64 cta = libro.cuenta(e, QStringLiteral("5720001"), QStringLiteral("Banco"));
        int n = 0;
        for (const char* fecha : {"20260228", "20260301", "20260415", "20260430", "20260501"}) {
            const qint64 as = libro.asiento(e, ++n, QString::fromLatin1(fecha));
            libro.apunte(as, cta, QStringLiteral("1"), QStringLiteral("0"));
        }
        OpcionesLibroDiario o = opcionesTodo(e);
        o.desde = QDate(2026, 3, 15);
        o.hasta = QDate(2026, 4, 20);
        const FormulasInforme f = construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Fecha")),
                 QStringList({"01/03/2026", "15/04/2026", "30/04/2026"}));
        QCOMPARE(f.at(2), QStringLiteral("Periodo= \"Periodo:  marzo/2026 ~ abril/2026\""));
        QCOMPARE(f.at(1), QStringLiteral("Empresa= \"<PRU> Pruebas, S.L.\""));
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '0'"));
    }

    void asientoFueraDelRangoDeSubcuentasNoAporta() {
        LibroPrueba libro;
        const long e = libro.empresa();
        const qint64 cliente =
            libro.cuenta(e, QStringLiteral("4300001"), QStringLiteral("Cliente"));
        const qint64 banco = libro.cuenta(e, QStringLiteral("5720001"), QStringLiteral("Banco"));
        const qint64 ventas = libro.cuenta(e, QStringLiteral("7000001"), QStringLiteral("Ventas"));
        const qint64 fuera = libro.asiento(e, 1, QStringLiteral("20260110"));
        libro.apunte(fuera, banco, QStringLiteral("50"), QStringLiteral("0"));
        libro.apunte(fuera, ventas, QStringLiteral("0"), QStringLiteral("50"));
        const qint64 dentro = libro.asiento(e, 2, QStringLiteral("20260111"));
        libro.apunte(dentro, cliente, QStringLiteral("70"), QStringLiteral("0"));
        libro.apunte(dentro, ventas, QStringLiteral("0"), QStringLiteral("70"));
        OpcionesLibroDiario o = opcionesTodo(e);
        o.subcuentaDesde = QStringLiteral("4000000");
        o.subcuentaHasta = QStringLiteral("4999999");
        construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Asiento, Debe")),
                 QStringList{QStringLiteral("2 (%1)|70,00").arg(dentro)});
    }

    void apuntesOrdenados_data() {
        QTest::addColumn<bool>("ordenados");
        QTest::addColumn<QStringList>("codigos");
        QTest::newRow("como se anotaron") << false << QStringList{"5720001", "4300001", "7000001"};
        QTest::newRow("debe y después haber, por código")
            << true << QStringList{"4300001", "5720001", "7000001"};
    }
    void apuntesOrdenados() {
        QFETCH(bool, ordenados);
        QFETCH(QStringList, codigos);
        LibroPrueba libro;
        AsientoDesordenado asiento(libro);
        OpcionesLibroDiario o = opcionesTodo(asiento.empresa);
        o.apuntesOrdenados = ordenados;
        construir(libro, o);
        QStringList leidos;
        for (const QString& d :
             libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Descripcion")))
            leidos << d.left(7);
        QCOMPARE(leidos, codigos);
    }

    void ordenadosMiranLasPesetas() {
        // Un apunte a cero en pesetas no sale aunque tenga euros; uno con debe y haber sale dos
        // veces, primero con el debe.
        LibroPrueba libro;
        const long e = libro.empresa();
        const qint64 a = libro.cuenta(e, QStringLiteral("1000001"), QStringLiteral("A"));
        const qint64 b = libro.cuenta(e, QStringLiteral("2000001"), QStringLiteral("B"));
        const qint64 as = libro.asiento(e, 1, QStringLiteral("20260110"));
        libro.apunte(as, b, QStringLiteral("10"), QStringLiteral("5"), QStringLiteral("doble"));
        libro.apunte(as, a, QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("cero"),
                     QStringLiteral("3"), QStringLiteral("0"));
        OpcionesLibroDiario o = opcionesTodo(e);
        o.apuntesOrdenados = true;
        construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Concepto")),
                 QStringList({"doble", "doble"}));
        o.apuntesOrdenados = false;
        libro.inf().Execute(QStringLiteral("DELETE FROM Libro_Diario"));
        construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Concepto")),
                 QStringList({"doble", "cero"}));
    }

    void soloSubcuentasDeLaEmpresa() {
        // Las cuentas (tipo 1) y los asientos de otra empresa no entran.
        LibroPrueba libro;
        const long e = libro.empresa();
        const long otra = libro.empresa();
        const qint64 grupo =
            libro.cuenta(e, QStringLiteral("43"), QStringLiteral("Clientes"), {}, 1);
        const qint64 sub = libro.cuenta(e, QStringLiteral("4300001"), QStringLiteral("Cliente"));
        const qint64 ajena = libro.cuenta(otra, QStringLiteral("4300001"), QStringLiteral("Otro"));
        const qint64 as = libro.asiento(e, 1, QStringLiteral("20260110"));
        libro.apunte(as, grupo, QStringLiteral("1"), QStringLiteral("0"));
        libro.apunte(as, sub, QStringLiteral("2"), QStringLiteral("0"));
        const qint64 as2 = libro.asiento(otra, 1, QStringLiteral("20260110"));
        libro.apunte(as2, ajena, QStringLiteral("3"), QStringLiteral("0"));
        construir(libro, opcionesTodo(e));
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Debe")),
                 QStringList{"2,00"});
    }

    void numeroDeAsientoNoNumericoEsUnError() {
        LibroPrueba libro;
        const long e = libro.empresa();
        OpcionesLibroDiario o = opcionesTodo(e);
        o.asientoHasta = QStringLiteral("12' OR 1=1");
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, construir(libro, o));
        QCOMPARE(numeroMaximoAsiento(libro.conta(), e), QStringLiteral("0"));
    }

    // --- Diálogo ---------------------------------------------------------------------------

    void dialogoCargaRangosDeLaEmpresa() {
        LibroPrueba libro;
        const long e = libro.empresa(QStringLiteral("20260401"), QStringLiteral("20270331"), 6);
        libro.asiento(e, QStringLiteral("12"), QStringLiteral("20260410"));
        libro.asiento(e, QStringLiteral("9"), QStringLiteral("20260410"));
        Entorno entorno;
        frmInfLibroDiario d(entorno.comp);
        entorno.mostrar<frmInfLibroDiario>(
            d, libro.contaCompartida(), libro.infCompartida(), e, [](frmInfLibroDiario& f) {
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

    void dialogoValidaEnOrden_data() {
        QTest::addColumn<QString>("caja");
        QTest::addColumn<bool>("fechasAlReves");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("subcuenta vacía antes que fechas")
            << "txtLibroDiario1" << true << "¡Debe introducir subcuenta inicial y subcuenta final!";
        QTest::newRow("fechas antes que asientos")
            << "txtLibroDiario3" << true
            << "¡No puede ser mayor la fecha inicial que la fecha final!";
        QTest::newRow("asientos") << "txtLibroDiario2" << false
                                  << "¡Debe introducir número inicial y final de asiento!";
    }
    void dialogoValidaEnOrden() {
        QFETCH(QString, caja);
        QFETCH(bool, fechasAlReves);
        QFETCH(QString, mensaje);
        LibroPrueba libro;
        const long e = libro.empresa();
        Entorno entorno;
        frmInfLibroDiario d(entorno.comp);
        entorno.mostrar<frmInfLibroDiario>(
            d, libro.contaCompartida(), libro.infCompartida(), e, [&](frmInfLibroDiario& f) {
                f.findChild<QLineEdit*>(caja)->setText(QStringLiteral("  "));
                if (fechasAlReves) {
                    f.findChild<QDateEdit*>("dtpLibroDiario0")->setDate(QDate(2026, 5, 1));
                    f.findChild<QDateEdit*>("dtpLibroDiario1")->setDate(QDate(2026, 4, 30));
                }
                f.botonAceptar()->click();
                QVERIFY(f.isVisible());  // sigue abierto para corregir
            });
        QCOMPARE(entorno.textos(), QStringList{mensaje});
        QCOMPARE(entorno.interfaz.mensajes.front().icono, Icono::Exclamacion);
        QCOMPARE(entorno.interfaz.pitidos, 1);
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
        LibroPrueba libro;
        AsientoDesordenado asiento(libro);
        Entorno entorno;
        entorno.config.pesetas = true;
        frmInfLibroDiario d(entorno.comp);
        entorno.mostrar<frmInfLibroDiario>(
            d, libro.contaCompartida(), libro.infCompartida(), asiento.empresa,
            [&](frmInfLibroDiario& f) {
                QVERIFY(!f.findChild<QCheckBox*>("chkLibroDiario")->isChecked());
                f.findChild<QCheckBox*>("chkTipoDiario")->setChecked(sumaYSigue);
                f.findChild<QCheckBox*>("chkApuntesOrdenados")->setChecked(true);
                f.findChild<QDateEdit*>("dtpLibroDiario1")->setDate(QDate(2026, 2, 1));
                f.botonAceptar()->click();
            });
        QVERIFY(entorno.motor.impreso);
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(u'/' + plantilla));
        QCOMPARE(entorno.motor.tituloImpreso, QStringLiteral("Informe de libro Diario"));
        QCOMPARE(entorno.motor.impresas[2],
                 QStringLiteral("Periodo= \"Periodo:  enero/2026 ~ febrero/2026\""));
        QCOMPARE(entorno.motor.impresas[3], QStringLiteral("TrabajarConPts= '1'"));
        QCOMPARE(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Debe, Haber")),
                 QStringList({"100|0", "0|60", "0|40"}));
    }

    void dialogoEmpresaSinAsientos() {
        LibroPrueba libro;
        const long e = libro.empresa();
        Entorno entorno;
        frmInfLibroDiario d(entorno.comp);
        entorno.mostrar<frmInfLibroDiario>(
            d, libro.contaCompartida(), libro.infCompartida(), e, [](frmInfLibroDiario& f) {
                QCOMPARE(f.findChild<QLineEdit*>("txtLibroDiario2")->text(), QStringLiteral("0"));
                QCOMPARE(f.findChild<QLineEdit*>("txtLibroDiario3")->text(), QStringLiteral("0"));
                f.botonAceptar()->click();
            });
        QCOMPARE(entorno.textos(), QStringList{"¡No se ha encontrado ningún registro!"});
        QVERIFY(!entorno.motor.impreso);
    }

    void dialogoErrorDeConstruccionSeInformaYSeDeshace() {
        LibroPrueba libro;
        AsientoDesordenado asiento(libro);
        Entorno entorno;
        frmInfLibroDiario d(entorno.comp);
        entorno.mostrar<frmInfLibroDiario>(
            d, libro.contaCompartida(), libro.infCompartida(), asiento.empresa,
            [](frmInfLibroDiario& f) {
                f.findChild<QLineEdit*>("txtLibroDiario3")->setText(QStringLiteral("diez"));
                f.botonAceptar()->click();
            });
        QCOMPARE(entorno.interfaz.mensajes.size(), 1u);
        const QString texto = entorno.interfaz.mensajes.front().texto;
        QVERIFY2(texto.contains(QStringLiteral("«diez»")), qPrintable(texto));
        QVERIFY(texto.contains(QStringLiteral("RellenarInforme")));
        QVERIFY(texto.contains(QStringLiteral("frmInfLibroDiario")));
        QVERIFY(texto.contains(QStringLiteral("OrvoInfContabilidad")));
        QVERIFY(!entorno.motor.impreso);
        QVERIFY(libro.filas(QStringLiteral("Libro_Diario"), QStringLiteral("Asiento")).isEmpty());
        QCOMPARE(libro.inf().nivelTransaccion(), 0);
    }
};

QTEST_MAIN(PruebaLibroDiario)
#include "prueba_libro_diario.moc"
