// Libro Mayor y desglose de subcuenta: saldo acumulado, saldo anterior, filtros y diálogos.
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "LibroMayor.h"
#include "LibrosPrueba.h"
#include "frmInfLibroMayor.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

OpcionesLibroMayor opcionesAno(long empresa) {
    OpcionesLibroMayor o;
    o.empresa = empresa;
    o.textoEmpresa = QStringLiteral("<PRU> Pruebas, S.L.");
    o.desde = QDate(2026, 1, 1);
    o.hasta = QDate(2026, 12, 31);
    o.inicioEjercicio = QDate(2026, 1, 1);
    return o;
}

FormulasInforme construir(LibrosPrueba& libro, const OpcionesLibroMayor& o) {
    ProgresoNulo progreso;
    ContextoInforme contexto{libro.conta(), libro.inf(), progreso};
    return construirLibroMayor(contexto, o);
}

// Banco: 40 de saldo en febrero; en marzo y abril debe 100, haber 30, debe 50. Caja: 5 en
// enero y nada más. Clientes: un apunte en abril.
struct LibroConSaldos {
    explicit LibroConSaldos(LibrosPrueba& libro) {
        empresa = libro.empresa();
        caja = libro.cuenta(empresa, "5700001", "Caja");
        banco = libro.cuenta(empresa, "5720001", "Banco");
        clientes = libro.cuenta(empresa, "4300001", "Clientes");
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
    // Sobre LibroConSaldos; "unica" es la subcuenta del desglose ("-": no es un desglose).
    void construccion_data() {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("subcuentas");  // "desde-hasta"
        QTest::addColumn<bool>("saldoAnterior");
        QTest::addColumn<QString>("unica");
        QTest::addColumn<QString>("columnas");
        QTest::addColumn<QStringList>("esperado");
        const QDate marzo(2026, 3, 1), abril(2026, 4, 30);
        const QString todas = QStringLiteral("0000000-9999999");
        QTest::newRow("saldo acumulado de una subcuenta")
            << marzo << abril << "5720001-5720001" << false << "-"
            << "Codigo, Descripcion, Fecha, Concepto, Saldo"
            << QStringList{"5720001|Banco|01/03/2026|Asiento 9|100,00",
                           "5720001|Banco|05/04/2026|Asiento 10|70,00",
                           "5720001|Banco|20/04/2026|Asiento 11|120,00"};
        // Caja solo tiene movimientos antes del periodo: no aparece, ni su saldo anterior.
        QTest::newRow("saldo anterior acumulado")
            << marzo << abril << todas << true << "-"
            << "Codigo, Asiento, Fecha, Concepto, Debe, Haber, Saldo"
            << QStringList{"4300001|||Saldo anterior acumulado|0,00|0,00|0,00",
                           "4300001|12 (7)|25/04/2026|Asiento 12|7,00|0,00|7,00",
                           "5720001|||Saldo anterior acumulado|60,00|20,00|40,00",
                           "5720001|9 (5)|01/03/2026|Asiento 9|100,00|0,00|140,00",
                           "5720001|10 (4)|05/04/2026|Asiento 10|0,00|30,00|110,00",
                           "5720001|11 (6)|20/04/2026|Asiento 11|50,00|0,00|160,00"};
        QTest::newRow("saldo anterior en el primer mes es cero")
            << QDate(2026, 1, 1) << QDate(2026, 2, 28) << todas << true << "-"
            << "Codigo, Concepto, Saldo"
            << QStringList{"5700001|Saldo anterior acumulado|0,00", "5700001|Asiento 1|5,00",
                           "5720001|Saldo anterior acumulado|0,00", "5720001|Asiento 2|60,00",
                           "5720001|Asiento 3|40,00"};
        QTest::newRow("desglose de una subcuenta, sin mirar el rango")
            << QDate(2026, 1, 1) << QDate(2026, 12, 31) << "5700001-5700001" << false << "4300001"
            << "Codigo, Saldo" << QStringList{"4300001|7,00"};
        QTest::newRow("desglose sin subcuenta elegida")
            << QDate(2026, 1, 1) << QDate(2026, 12, 31) << todas << false << ""
            << "Codigo" << QStringList{};
    }
    void construccion() {
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(QString, subcuentas);
        QFETCH(QString, unica);
        QFETCH(QString, columnas);
        LibrosPrueba libro;
        LibroConSaldos l(libro);
        OpcionesLibroMayor o = opcionesAno(l.empresa);
        o.desde = desde;
        o.hasta = hasta;
        o.subcuentaDesde = subcuentas.section(u'-', 0, 0);
        o.subcuentaHasta = subcuentas.section(u'-', 1);
        QFETCH(bool, saldoAnterior);
        o.saldoAnterior = saldoAnterior;
        if (unica != u"-") o.subcuentaUnica = unica;
        const FormulasInforme f = construir(libro, o);
        QTEST(libro.filas("Libro_Mayor", columnas), "esperado");
        QCOMPARE(f.at(2), QStringLiteral("Periodo= \"Periodo:  %1/2026 ~ %2/2026\"")
                              .arg(QLocale(QLocale::Spanish).monthName(desde.month()),
                                   QLocale(QLocale::Spanish).monthName(hasta.month())));
    }

    // Tras un primer apunte de 100, el debe y el saldo del segundo.
    void reglaDelSaldo_data() {
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("haber");
        QTest::addColumn<bool>("euros");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("debe positivo suma") << "25" << "0" << true << "25,00|125,00";
        QTest::newRow("haber resta") << "0" << "25" << true << "0,00|75,00";
        QTest::newRow("a cero no cambia") << "0" << "0" << true << "0,00|100,00";
        QTest::newRow("debe negativo cuenta como haber") << "-30" << "10" << true << "-30,00|90,00";
        QTest::newRow("con debe positivo se ignora el haber") << "5" << "99" << true << "5,00|105,00";
        // Con otros euros, para ver que se leen las pesetas.
        QTest::newRow("pesetas sin decimales") << "1.234,5" << "0" << false << "1.235|1.335";
    }
    void reglaDelSaldo() {
        QFETCH(QString, debe);
        QFETCH(QString, haber);
        QFETCH(bool, euros);
        LibrosPrueba libro;
        const long e = libro.empresa();
        const qint64 cta = libro.cuenta(e, "5720001", "Banco");
        libro.apunte(libro.asiento(e, 1, "20260105"), cta, "100", "0");
        libro.apunte(libro.asiento(e, 2, "20260106"), cta, debe, haber, "x",
                     euros ? debe : QStringLiteral("7,42"));
        OpcionesLibroMayor o = opcionesAno(e);
        o.euros = euros;
        const FormulasInforme f = construir(libro, o);
        QTEST(libro.filas("Libro_Mayor", "Debe, Saldo").last(), "esperado");
        QCOMPARE(f.at(3), QStringLiteral("TrabajarConPts= '%1'").arg(euros ? 0 : 1));
    }

    // --- Diálogos --------------------------------------------------------------------------

    // El Mayor del banco desde marzo con saldo anterior (con "hoja", una cuenta por hoja) o el
    // desglose del año de una subcuenta ("elegir" la del banco); "fechas" al revés avisa.
    void dialogos_data() {
        QTest::addColumn<bool>("desglose");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("plantilla");  // vacía: no se imprime y sale 'mensaje'
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QStringList>("saldos");
        QTest::newRow("mayor seguido") << false << "" << "infCONT_LibroMayor.rpt" << ""
                                       << QStringList{"40,00", "140,00", "110,00", "160,00"};
        QTest::newRow("mayor, una cuenta por hoja")
            << false << "hoja" << "infCONT_LibroMayor_2.rpt" << ""
            << QStringList{"40,00", "140,00", "110,00", "160,00"};
        QTest::newRow("mayor con fechas al revés")
            << false << "fechas" << "" << "¡No puede ser mayor la fecha inicial que la fecha final!"
            << QStringList{};
        // Por hoja no cambia nada en el desglose.
        QTest::newRow("desglose de la subcuenta elegida")
            << true << "elegir hoja" << "infCONT_DesgloseSubCuentas.rpt" << ""
            << QStringList{"60,00", "40,00", "140,00", "110,00", "160,00"};
        QTest::newRow("desglose sin elegir") << true << "" << ""
                                             << "¡No se ha encontrado ningún registro!"
                                             << QStringList{};
    }
    void dialogos() {
        QFETCH(bool, desglose);
        QFETCH(QString, caso);
        QFETCH(QString, plantilla);
        QFETCH(QString, mensaje);
        LibrosPrueba libro;
        LibroConSaldos l(libro);
        libro.cuenta(l.empresa, "43", "Clientes (cuenta)");  // no es subcuenta
        Entorno entorno;
        const auto manejar = [&](FormularioInforme& f) {
            f.findChild<QCheckBox*>("chkCuentaPorHoja")->setChecked(caso.contains(u"hoja"));
            if (!desglose) {
                QCOMPARE(f.windowTitle(), QStringLiteral("Informe de libro Mayor"));
                f.findChild<QCheckBox*>("chkAcumulados")->setChecked(true);
                f.findChild<QDateEdit*>("dtpLibroMayor0")->setDate({2026, caso == u"fechas" ? 6 : 3, 1});
                f.findChild<QDateEdit*>("dtpLibroMayor1")->setDate({2026, 5, 31});
                f.findChild<QLineEdit*>("txtLibroMayor0")->setText(QStringLiteral("5720001"));
            }
            f.botonAceptar()->click();
        };
        if (!desglose) {
            mostrar<frmInfLibroMayor>(entorno, libro, l.empresa, manejar);
        } else {
            mostrar<frmInfDesgloseSubCuenta>(entorno, libro, l.empresa, [&](FormularioInforme& f) {
                QCOMPARE(f.windowTitle(), QStringLiteral("Informe desglose de Subcuenta"));
                QCOMPARE(f.botonAceptar()->text(), QStringLiteral("IMPRIMIR"));
                auto* lista = f.findChild<QListWidget*>("lstInfSubCuentas");
                QStringList codigos;
                for (int i = 0; i < lista->count(); ++i) codigos << lista->item(i)->text();
                QCOMPARE(codigos, QStringList({"4300001", "5700001", "5720001"}));
                QCOMPARE(lista->item(2)->data(Qt::UserRole).toLongLong(), l.banco);
                QVERIFY(!f.findChild<QLineEdit*>("txtLibroMayor0")->isVisible());
                if (caso.contains(u"elegir")) lista->setCurrentRow(2);
                manejar(f);
            });
        }
        QTEST(libro.filas("Libro_Mayor", "Saldo"), "saldos");
        QCOMPARE(entorno.motor.impreso, !plantilla.isEmpty());
        if (plantilla.isEmpty()) {
            QCOMPARE(entorno.textos(), QStringList{mensaje});
            if (caso == u"fechas")  // el Mayor informa; no es una exclamación
                QCOMPARE(entorno.interfaz.mensajes.front().icono, Icono::Informacion);
            return;
        }
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(u'/' + plantilla));
        QCOMPARE(entorno.motor.tituloImpreso, QStringLiteral("Informe de libro Mayor"));
        QCOMPARE(libro.filas("Libro_Mayor", "Codigo").filter(QStringLiteral("5720001")).size(),
                 libro.filas("Libro_Mayor", "Codigo").size());
    }
};

QTEST_MAIN(PruebaLibroMayor)
#include "prueba_libro_mayor.moc"
