// Libro Mayor y desglose de subcuenta: saldo acumulado, saldo anterior, filtros y diálogos.
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "LibroMayor.h"
#include "LibroPrueba.h"
#include "frmInfLibroMayor.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

OpcionesLibroMayor opcionesAno(long empresa) {
    OpcionesLibroMayor o;
    o.empresa = empresa;
    o.textoEmpresa = QStringLiteral("<PRU> Pruebas, S.L.");
    o.subcuentaDesde = QStringLiteral("0000000");
    o.subcuentaHasta = QStringLiteral("9999999");
    o.desde = QDate(2026, 1, 1);
    o.hasta = QDate(2026, 12, 31);
    o.inicioEjercicio = QDate(2026, 1, 1);
    return o;
}

FormulasInforme construir(LibroPrueba& libro, const OpcionesLibroMayor& o) {
    ProgresoNulo progreso;
    ContextoInforme contexto{libro.conta(), libro.inf(), progreso};
    return construirLibroMayor(contexto, o);
}

// Banco: 40 de saldo en febrero; en marzo y abril debe 100, haber 30, debe 50. Caja: 5 en
// enero y nada más. Clientes: un apunte en abril.
struct LibroConSaldos {
    explicit LibroConSaldos(LibroPrueba& libro) {
        empresa = libro.empresa();
        caja = libro.cuenta(empresa, QStringLiteral("5700001"), QStringLiteral("Caja"));
        banco = libro.cuenta(empresa, QStringLiteral("5720001"), QStringLiteral("Banco"));
        clientes = libro.cuenta(empresa, QStringLiteral("4300001"), QStringLiteral("Clientes"));
        auto anota = [&](int numero, const char* fecha, qint64 cuenta, const char* debe,
                         const char* haber) {
            const qint64 as = libro.asiento(empresa, numero, QString::fromLatin1(fecha));
            libro.apunte(as, cuenta, QString::fromLatin1(debe), QString::fromLatin1(haber),
                         QStringLiteral("Asiento %1").arg(numero));
            return as;
        };
        anota(1, "20260115", caja, "5", "0");
        anota(2, "20260210", banco, "60", "0");
        anota(3, "20260220", banco, "0", "20");
        // Números fuera del orden de fechas: el Mayor va por número de asiento.
        anota(10, "20260405", banco, "0", "30");
        anota(9, "20260301", banco, "100", "0");
        anota(11, "20260420", banco, "50", "0");
        anota(12, "20260425", clientes, "7", "0");
    }
    long empresa;
    qint64 caja, banco, clientes;
};

}  // namespace

class PruebaLibroMayor : public QObject {
    Q_OBJECT

  private slots:
    void saldoAcumuladoPorSubcuenta() {
        LibroPrueba libro;
        LibroConSaldos l(libro);
        OpcionesLibroMayor o = opcionesAno(l.empresa);
        o.desde = QDate(2026, 3, 1);
        o.hasta = QDate(2026, 4, 30);
        o.subcuentaDesde = QStringLiteral("5720001");
        o.subcuentaHasta = QStringLiteral("5720001");
        const FormulasInforme f = construir(libro, o);
        QCOMPARE(
            libro
                .filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Asiento, Debe, Haber, Saldo"))
                .size(),
            3);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Saldo")),
                 QStringList({"100,00", "70,00", "120,00"}));
        QCOMPARE(libro
                     .filas(QStringLiteral("Libro_Mayor"),
                            QStringLiteral("Codigo, Descripcion, Fecha, Concepto"))
                     .first(),
                 QStringLiteral("5720001|Banco|01/03/2026|Asiento 9"));
        QCOMPARE(f.at(2), QStringLiteral("Periodo= \"Periodo:  marzo/2026 ~ abril/2026\""));
    }

    void saldoAnteriorAcumulado() {
        LibroPrueba libro;
        LibroConSaldos l(libro);
        OpcionesLibroMayor o = opcionesAno(l.empresa);
        o.desde = QDate(2026, 3, 1);
        o.hasta = QDate(2026, 4, 30);
        o.saldoAnterior = true;
        construir(libro, o);
        // Caja solo tiene movimientos antes del periodo: no aparece, ni su saldo anterior.
        QCOMPARE(
            libro.filas(QStringLiteral("Libro_Mayor"),
                        QStringLiteral("Codigo, Asiento, Fecha, Concepto, Debe, Haber, Saldo")),
            QStringList(
                {"4300001|||Saldo anterior acumulado|0,00|0,00|0,00",
                 QStringLiteral("4300001|12 (7)|25/04/2026|Asiento 12|7,00|0,00|7,00"),
                 "5720001|||Saldo anterior acumulado|60,00|20,00|40,00",
                 QStringLiteral("5720001|9 (5)|01/03/2026|Asiento 9|100,00|0,00|140,00"),
                 QStringLiteral("5720001|10 (4)|05/04/2026|Asiento 10|0,00|30,00|110,00"),
                 QStringLiteral("5720001|11 (6)|20/04/2026|Asiento 11|50,00|0,00|160,00")}));
    }

    void saldoAnteriorEnElPrimerMesEsCero() {
        LibroPrueba libro;
        LibroConSaldos l(libro);
        OpcionesLibroMayor o = opcionesAno(l.empresa);
        o.hasta = QDate(2026, 2, 28);
        o.saldoAnterior = true;
        construir(libro, o);
        QCOMPARE(
            libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Codigo, Concepto, Saldo")),
            QStringList({"5700001|Saldo anterior acumulado|0,00", "5700001|Asiento 1|5,00",
                         "5720001|Saldo anterior acumulado|0,00", "5720001|Asiento 2|60,00",
                         "5720001|Asiento 3|40,00"}));
    }

    void reglaDelSaldo_data() {
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("haber");
        QTest::addColumn<QString>("saldo");
        QTest::newRow("debe positivo suma") << "25"
                                            << "0"
                                            << "125,00";
        QTest::newRow("haber resta") << "0"
                                     << "25"
                                     << "75,00";
        QTest::newRow("a cero no cambia") << "0"
                                          << "0"
                                          << "100,00";
        QTest::newRow("debe negativo cuenta como haber") << "-30"
                                                         << "10"
                                                         << "90,00";
        QTest::newRow("con debe positivo se ignora el haber") << "5"
                                                              << "99"
                                                              << "105,00";
    }
    void reglaDelSaldo() {
        QFETCH(QString, debe);
        QFETCH(QString, haber);
        QFETCH(QString, saldo);
        LibroPrueba libro;
        const long e = libro.empresa();
        const qint64 cta = libro.cuenta(e, QStringLiteral("5720001"), QStringLiteral("Banco"));
        libro.apunte(libro.asiento(e, 1, QStringLiteral("20260105")), cta, QStringLiteral("100"),
                     QStringLiteral("0"));
        libro.apunte(libro.asiento(e, 2, QStringLiteral("20260106")), cta, debe, haber);
        construir(libro, opcionesAno(e));
        QCOMPARE(libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Saldo")).last(), saldo);
    }

    void pesetasSinDecimales() {
        LibroPrueba libro;
        const long e = libro.empresa();
        const qint64 cta = libro.cuenta(e, QStringLiteral("5720001"), QStringLiteral("Banco"));
        libro.apunte(libro.asiento(e, 1, QStringLiteral("20260105")), cta,
                     QStringLiteral("1.234,5"), QStringLiteral("0"), QStringLiteral("x"),
                     QStringLiteral("7,42"), QStringLiteral("0"));
        OpcionesLibroMayor o = opcionesAno(e);
        o.euros = false;
        const FormulasInforme f = construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Debe, Haber, Saldo")),
                 QStringList{"1.235|0|1.235"});
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '1'"));
    }

    void desgloseDeUnaSubcuenta() {
        LibroPrueba libro;
        LibroConSaldos l(libro);
        OpcionesLibroMayor o = opcionesAno(l.empresa);
        o.subcuentaUnica = QStringLiteral("4300001");
        construir(libro, o);
        QCOMPARE(libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Codigo, Saldo")),
                 QStringList{"4300001|7,00"});
        libro.inf().Execute(QStringLiteral("DELETE FROM Libro_Mayor"));
        o.subcuentaUnica = QString();  // nada elegido
        construir(libro, o);
        QVERIFY(libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Codigo")).isEmpty());
    }

    // --- Diálogos --------------------------------------------------------------------------

    void dialogoMayorCuentaPorHoja_data() {
        QTest::addColumn<bool>("porHoja");
        QTest::addColumn<QString>("plantilla");
        QTest::newRow("seguido") << false << "infCONT_LibroMayor.rpt";
        QTest::newRow("una cuenta por hoja") << true << "infCONT_LibroMayor_2.rpt";
    }
    void dialogoMayorCuentaPorHoja() {
        QFETCH(bool, porHoja);
        QFETCH(QString, plantilla);
        LibroPrueba libro;
        LibroConSaldos l(libro);
        Entorno entorno;
        frmInfLibroMayor d(entorno.comp);
        entorno.mostrar<frmInfLibroMayor>(
            d, libro.contaCompartida(), libro.infCompartida(), l.empresa, [&](frmInfLibroMayor& f) {
                QCOMPARE(f.windowTitle(), QStringLiteral("Informe de libro Mayor"));
                f.findChild<QCheckBox*>("chkCuentaPorHoja")->setChecked(porHoja);
                f.findChild<QCheckBox*>("chkAcumulados")->setChecked(true);
                f.findChild<QDateEdit*>("dtpLibroMayor0")->setDate(QDate(2026, 3, 1));
                f.findChild<QLineEdit*>("txtLibroMayor0")->setText(QStringLiteral("5720001"));
                f.botonAceptar()->click();
            });
        QVERIFY(entorno.motor.impreso);
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(u'/' + plantilla));
        QCOMPARE(entorno.motor.tituloImpreso, QStringLiteral("Informe de libro Mayor"));
        QCOMPARE(libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Saldo")),
                 QStringList({"40,00", "140,00", "110,00", "160,00"}));
    }

    void dialogoMayorFechasAlRevesAvisaConInformacion() {
        LibroPrueba libro;
        LibroConSaldos l(libro);
        Entorno entorno;
        frmInfLibroMayor d(entorno.comp);
        entorno.mostrar<frmInfLibroMayor>(
            d, libro.contaCompartida(), libro.infCompartida(), l.empresa, [](frmInfLibroMayor& f) {
                f.findChild<QDateEdit*>("dtpLibroMayor0")->setDate(QDate(2026, 6, 1));
                f.findChild<QDateEdit*>("dtpLibroMayor1")->setDate(QDate(2026, 5, 31));
                f.botonAceptar()->click();
            });
        QCOMPARE(entorno.textos(),
                 QStringList{"¡No puede ser mayor la fecha inicial que la fecha final!"});
        QCOMPARE(entorno.interfaz.mensajes.front().icono, Icono::Informacion);
        QVERIFY(!entorno.motor.impreso);
    }

    void dialogoDesgloseImprimeLaSubcuentaElegida() {
        LibroPrueba libro;
        LibroConSaldos l(libro);
        libro.cuenta(l.empresa, QStringLiteral("43"), QStringLiteral("Clientes (cuenta)"), {}, 1);
        Entorno entorno;
        frmInfDesgloseSubCuenta d(entorno.comp);
        entorno.mostrar<frmInfDesgloseSubCuenta>(
            d, libro.contaCompartida(), libro.infCompartida(), l.empresa,
            [&](frmInfDesgloseSubCuenta& f) {
                QCOMPARE(f.windowTitle(), QStringLiteral("Informe desglose de Subcuenta"));
                QCOMPARE(f.botonAceptar()->text(), QStringLiteral("IMPRIMIR"));
                auto* lista = f.findChild<QListWidget*>("lstInfSubCuentas");
                QStringList codigos;
                for (int i = 0; i < lista->count(); ++i) codigos << lista->item(i)->text();
                QCOMPARE(codigos, QStringList({"4300001", "5700001", "5720001"}));
                QCOMPARE(lista->item(2)->data(Qt::UserRole).toLongLong(), l.banco);
                QVERIFY(!f.findChild<QLineEdit*>("txtLibroMayor0")->isVisible());
                lista->setCurrentRow(2);
                f.findChild<QCheckBox*>("chkCuentaPorHoja")->setChecked(true);  // sin efecto aquí
                f.botonAceptar()->click();
            });
        QVERIFY(entorno.motor.impreso);
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(
            QStringLiteral("/infCONT_DesgloseSubCuentas.rpt")));
        QCOMPARE(entorno.motor.tituloImpreso, QStringLiteral("Informe de libro Mayor"));
        QCOMPARE(libro.filas(QStringLiteral("Libro_Mayor"), QStringLiteral("Codigo, Saldo")),
                 QStringList({"5720001|60,00", "5720001|40,00", "5720001|140,00", "5720001|110,00",
                              "5720001|160,00"}));
    }

    void dialogoDesgloseSinElegirNoEncuentraNada() {
        LibroPrueba libro;
        LibroConSaldos l(libro);
        Entorno entorno;
        frmInfDesgloseSubCuenta d(entorno.comp);
        entorno.mostrar<frmInfDesgloseSubCuenta>(
            d, libro.contaCompartida(), libro.infCompartida(), l.empresa,
            [](frmInfDesgloseSubCuenta& f) { f.botonAceptar()->click(); });
        QCOMPARE(entorno.textos(), QStringList{"¡No se ha encontrado ningún registro!"});
        QVERIFY(!entorno.motor.impreso);
    }
};

QTEST_MAIN(PruebaLibroMayor)
#include "prueba_libro_mayor.moc"
