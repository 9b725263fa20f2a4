// Filas del libro Diario (orden de los asientos, meses enteros, filtros, apuntes ordenados,
// importes) y del libro Mayor y desglose de subcuenta (saldo acumulado, saldo anterior,
// filtros), y sus diálogos recorridos como lo haría una persona. Los volcados de los libros de
// ejemplo miran las tablas de trabajo enteras.
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "ErrorOrvo.h"
#include "LibroDiario.h"
#include "LibroMayor.h"
#include "LibrosPrueba.h"
#include "ServidorPruebas.h"
#include "frmInfLibroDiario.h"
#include "frmInfLibroMayor.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

Moneda m(const char* texto) {
    return *Moneda::deTexto(QString::fromUtf8(texto));
}

// Un apunte del Diario o del Mayor con sus textos copiados, para compararlo.
struct Apunte {
    QString numero, fecha, codigo, concepto;
    Moneda debe, haber, saldo;  // el saldo, en el Mayor
    bool operator==(const Apunte&) const = default;
};
using Apuntes = QList<Apunte>;

Apunte a(const char* numero, const char* fecha, const char* codigo, const char* concepto,
         const char* debe, const char* haber, const char* saldo = "0") {
    return {QString::fromUtf8(numero),
            QString::fromUtf8(fecha),
            QString::fromUtf8(codigo),
            QString::fromUtf8(concepto),
            m(debe),
            m(haber),
            m(saldo)};
}

Apunte copia(const ApunteLibro& l, Moneda saldo = {}) {
    return {QString::fromUtf8(l.numero),
            QString::fromUtf8(l.fecha),
            QString::fromUtf8(l.codigo),
            QString::fromUtf8(l.concepto),
            l.debe,
            l.haber,
            saldo};
}

Apuntes filasDiario(Conexion& contabilidad, const OpcionesLibroDiario& o) {
    Apuntes v;
    recorrerLibroDiario(contabilidad, o, nullptr, [&](const ApunteLibro& l) { v << copia(l); });
    return v;
}

Apuntes filasMayor(Conexion& contabilidad, const OpcionesLibroMayor& o) {
    Apuntes v;
    recorrerLibroMayor(contabilidad, o, nullptr,
                       [&](const FilaMayor& f) { v << copia(f.apunte, f.saldo); });
    return v;
}

OpcionesLibroDiario opcionesTodo(long empresa) {
    OpcionesLibroDiario o;
    o.empresa = empresa;
    o.desde = QDate(2026, 1, 1);
    o.hasta = QDate(2026, 12, 31);
    return o;
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

// Libros con los asientos 1 a 12 de la empresa 1 en una columna Numero declarada 'tipo' (sin
// tipo, cada valor guarda el suyo), anotados en desorden y enlazados uno como texto y otro como
// entero: en orden de texto saldrían 1, 10, 11, 12, 2… El debe de cada asiento es su número.
void librosConNumeros(Conexion& con, const QString& tipo) {
    Esquemas::crearContabilidad(con);
    Plan::crearTablasFijas(con);
    con.ejecutarScript(
        QStringLiteral("DROP INDEX ixAsientoEmpresaNumero; ALTER TABLE Asiento DROP COLUMN Numero; "
                       "ALTER TABLE Asiento ADD COLUMN Numero %1; "
                       "CREATE INDEX ixAsientoEmpresaNumero ON Asiento (CodEmpresa, Numero);")
            .arg(tipo));
    con.Execute(QStringLiteral(
        "INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, FechaIni, FechaFin, "
        "DesgloseSubCuentas) VALUES (1, 'PRU', 'Pruebas, S.L.', 2026, '20260101', '20261231', 7)"));
    con.Execute(
        QStringLiteral("INSERT INTO Cuenta (IDCuenta, CodEmpresa, CodTipo_Cuenta, Codigo, "
                       "Descripcion, Nivel) VALUES (1, 1, 2, '5720001', 'Banco', 7)"));
    int id = 0;
    for (int n : {11, 2, 9, 12, 1, 10, 3, 8, 4, 7, 5, 6}) {
        ++id;
        con.Execute(QStringLiteral("INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) "
                                   "VALUES (?, 1, ?, '20260105')"),
                    {id, n % 2 ? QVariant(QString::number(n)) : QVariant(n)});
        con.Execute(
            QStringLiteral("INSERT INTO Apunte (IDApunte, CodAsiento, CodCuenta, CtdadDebe, "
                           "CtdadDebeEuros) VALUES (?, ?, 1, ?, ?)"),
            {id, id, QString::number(n), QString::number(n)});
    }
}

OpcionesLibroMayor opcionesAno(long empresa) {
    OpcionesLibroMayor o;
    o.empresa = empresa;
    o.desde = QDate(2026, 1, 1);
    o.hasta = QDate(2026, 12, 31);
    o.inicioEjercicio = QDate(2026, 1, 1);
    return o;
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

class PruebaLibros : public QObject {
    Q_OBJECT

  private slots:
    void diario_data() {
        QTest::addColumn<QString>("asientos");    // "desde-hasta"
        QTest::addColumn<QString>("subcuentas");  // "desde-hasta"
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<Divisa>("divisa");
        QTest::addColumn<bool>("ordenados");
        QTest::addColumn<Apuntes>("esperado");
        const QString todas = QStringLiteral("0000000-9999999");
        const QDate ene(2026, 1, 1), dic(2026, 12, 31);
        const char* cobro = "Cobro de O'Brien \"urgente\"";
        // clang-format off
        QTest::newRow("en pesetas") << "15-15" << todas << ene << dic << Divisa::Pesetas << false
            << Apuntes{a("15", "20260615", "4300001", cobro, "1.234,5", "0")};
        QTest::newRow("meses enteros") << "20-29" << todas << QDate(2026, 3, 15) << QDate(2026, 4, 20)
            << Divisa::Euros << false
            << Apuntes{a("22", "20260301", "5720001", "Apunte", "1", "0"),
                       a("23", "20260415", "5720001", "Apunte", "1", "0"),
                       a("24", "20260430", "5720001", "Apunte", "1", "0")};
        // Solo los apuntes de las subcuentas del rango, y de esta empresa.
        QTest::newRow("subcuentas del 4") << "0-9999999" << "4000000-4999999" << ene << dic << Divisa::Euros << false
            << Apuntes{a("15", "20260615", "4300001", cobro, "7,42", "0"),
                       a("31", "20260111", "4300001", "Apunte", "70", "0"),
                       a("40", "20260210", "4300001", "Apunte", "100", "0"),
                       a("60", "20260110", "4300001", "Apunte", "2", "0")};
        QTest::newRow("apuntes ordenados: debe y haber, por código") << "40-40" << todas << ene << dic
            << Divisa::Euros << true
            << Apuntes{a("40", "20260210", "4300001", "Apunte", "100", "0"),
                       a("40", "20260210", "5720001", "Apunte", "0", "60"),
                       a("40", "20260210", "7000001", "Apunte", "0", "40")};
        // Ordenados, un apunte a cero en pesetas no sale aunque tenga euros, y uno con debe y
        // haber sale dos veces, primero con el debe.
        QTest::newRow("ordenados miran las pesetas") << "50-50" << todas << ene << dic << Divisa::Euros << true
            << Apuntes{a("50", "20260110", "2000001", "doble", "10", "5"),
                       a("50", "20260110", "2000001", "doble", "10", "5")};
        QTest::newRow("sin ordenar salen todos") << "50-50" << todas << ene << dic << Divisa::Euros << false
            << Apuntes{a("50", "20260110", "2000001", "doble", "10", "5"),
                       a("50", "20260110", "1000001", "cero", "3", "0")};
        // clang-format on
    }
    void diario() {
        QFETCH(QString, asientos);
        QFETCH(QString, subcuentas);
        LibrosPrueba libro;
        LibroDiarioVario l(libro);
        OpcionesLibroDiario o = opcionesTodo(l.empresa);
        o.asientoDesde = asientos.section(u'-', 0, 0);
        o.asientoHasta = asientos.section(u'-', 1);
        o.subcuentaDesde = subcuentas.section(u'-', 0, 0);
        o.subcuentaHasta = subcuentas.section(u'-', 1);
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(Divisa, divisa);
        QFETCH(bool, ordenados);
        o.desde = desde;
        o.hasta = hasta;
        o.divisa = divisa;
        o.apuntesOrdenados = ordenados;
        QTEST(filasDiario(libro.conta(), o), "esperado");
        QCOMPARE(numeroMaximoAsiento(libro.conta(), l.empresa), QStringLiteral("100"));
    }

    // El mismo Diario sea cual sea el tipo de la columna Numero y el motor de los libros: en
    // orden numérico, y el rango de asientos comparado como número.
    void diarioConNumerosDeCualquierTipo_data() {
        QTest::addColumn<bool>("servidor");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("asientos");        // "desde-hasta", como se teclean
        QTest::addColumn<QList<Moneda>>("esperado");  // el debe de cada asiento es su número
        QList<Moneda> todos;
        for (int n = 1; n <= 12; ++n) todos << Moneda::deEntero(n);
        const QList<std::tuple<const char*, QString, QList<Moneda>>> rangos{
            {"todos", QStringLiteral("0-9999999"), todos},
            {"de 9 a 11", QStringLiteral("9-11"), todos.mid(8, 3)},
            {"límites con decimales", QStringLiteral("8.5-10.5"), todos.mid(8, 2)}};
        const QList<std::pair<bool, const char*>> columnas{
            {false, "INTEGER"}, {false, "TEXT"}, {false, "NUMERIC"}, {false, ""},
            {true, "INTEGER"},  {true, "TEXT"},  {true, "NUMERIC"}};
        for (const auto& [servidor, tipo] : columnas)
            for (const auto& [nombre, asientos, esperado] : rangos)
                QTest::addRow("%s, %s, %s", servidor ? "servidor" : "SQLite",
                              *tipo ? tipo : "sin tipo", nombre)
                    << servidor << QString::fromLatin1(tipo) << asientos << esperado;
    }
    void diarioConNumerosDeCualquierTipo() {
        QFETCH(bool, servidor);
        QFETCH(QString, tipo);
        QFETCH(QString, asientos);
        if (servidor) ORVO_SALTAR_SIN_SERVIDOR();
        QTemporaryDir dir;
        const std::shared_ptr<Conexion> conta =
            servidor ? Conexion::abrir(baseNuevaEnServidor(QStringLiteral("orvo_diario_numeros")))
                     : baseContabilidad(dir.filePath(QStringLiteral("conta.db")));
        librosConNumeros(*conta, tipo);
        OpcionesLibroDiario o = opcionesTodo(1);
        o.asientoDesde = asientos.section(u'-', 0, 0);
        o.asientoHasta = asientos.section(u'-', 1);
        QList<Moneda> debe;
        for (const Apunte& x : filasDiario(*conta, o)) debe << x.debe;
        QTEST(debe, "esperado");
        QCOMPARE(numeroMaximoAsiento(*conta, 1), QStringLiteral("12"));
    }

    void numeroDeAsientoNoNumericoEsUnError() {
        LibrosPrueba libro;
        const long e = libro.empresa();
        OpcionesLibroDiario o = opcionesTodo(e);
        o.asientoHasta = QStringLiteral("12' OR 1=1");
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, filasDiario(libro.conta(), o));
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
            QStringList cajas;
            for (int i = 0; i < 4; ++i)
                cajas << f.findChild<QLineEdit*>(nombreControl("txtLibroDiario", i))->text();
            QCOMPARE(cajas, (QStringList{"000000", "999999", "0", "12"}));
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
        // clang-format off
        QTest::newRow("subcuenta vacía antes que fechas") << "txtLibroDiario1" << "  " << true << QStringList{"¡Debe introducir subcuenta inicial y subcuenta final!"} << true;
        QTest::newRow("fechas antes que asientos") << "txtLibroDiario3" << "  " << true << QStringList{"¡No puede ser mayor la fecha inicial que la fecha final!"} << true;
        QTest::newRow("asientos") << "txtLibroDiario2" << "  " << false << QStringList{"¡Debe introducir número inicial y final de asiento!"} << true;
        QTest::newRow("ningún asiento en el rango") << "txtLibroDiario2" << "101" << false << QStringList{"¡No se ha encontrado ningún registro!"} << false;
        QTest::newRow("error de construcción, deshecho") << "txtLibroDiario3" << "diez" << false << QStringList{"«diez»", "RellenarInforme", "frmInfLibroDiario", "OrvoInfContabilidad"} << false;
        // clang-format on
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

    // Con suma y sigue, su plantilla; el Diario sin ella, su título y sus fórmulas los ven los
    // volcados de los libros de ejemplo.
    void dialogoImprimeConSumaYSigue() {
        LibrosPrueba libro;
        LibroDiarioVario l(libro);
        Entorno entorno;
        entorno.config.pesetas = true;
        mostrar<frmInfLibroDiario>(entorno, libro, l.empresa, [&](frmInfLibroDiario& f) {
            QVERIFY(!f.findChild<QCheckBox*>("chkLibroDiario")->isChecked());
            f.findChild<QCheckBox*>("chkTipoDiario")->setChecked(true);
            f.findChild<QCheckBox*>("chkApuntesOrdenados")->setChecked(true);
            f.findChild<QLineEdit*>("txtLibroDiario2")->setText(QStringLiteral("40"));
            f.findChild<QLineEdit*>("txtLibroDiario3")->setText(QStringLiteral("40"));
            f.findChild<QDateEdit*>("dtpLibroDiario1")->setDate(QDate(2026, 2, 1));
            f.botonAceptar()->click();
        });
        QVERIFY(entorno.motor.impreso);
        QVERIFY(entorno.motor.plantillaImpresa.endsWith(u"/infCONT_LibroDiario_2.rpt"));
        QCOMPARE(entorno.motor.impresas[2],
                 QStringLiteral("Periodo= \"Periodo:  enero/2026 ~ febrero/2026\""));
        QCOMPARE(libro.filas("Libro_Diario", "Debe, Haber"),
                 QStringList({"100|0", "0|60", "0|40"}));
    }

    // --- Mayor y desglose ---------------------------------------------------------------------

    // Sobre LibroConSaldos; "unica" es la subcuenta del desglose ("-": no es un desglose).
    void mayor_data() {
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("subcuentas");  // "desde-hasta"
        QTest::addColumn<bool>("saldoAnterior");
        QTest::addColumn<QString>("unica");
        QTest::addColumn<Apuntes>("esperado");
        const QDate marzo(2026, 3, 1), abril(2026, 4, 30);
        const QString todas = QStringLiteral("0000000-9999999");
        const char* anterior = "Saldo anterior acumulado";
        const QDate ene(2026, 1, 1), dic(2026, 12, 31);
        // clang-format off
        // Caja solo tiene movimientos antes del periodo: no aparece, ni su saldo anterior.
        QTest::newRow("saldo anterior acumulado") << marzo << abril << todas << true << "-"
            << Apuntes{a("", "", "4300001", anterior, "0", "0", "0"),
                       a("12", "20260425", "4300001", "Asiento 12", "7", "0", "7"),
                       a("", "", "5720001", anterior, "60", "20", "40"),
                       a("9", "20260301", "5720001", "Asiento 9", "100", "0", "140"),
                       a("10", "20260405", "5720001", "Asiento 10", "0", "30", "110"),
                       a("11", "20260420", "5720001", "Asiento 11", "50", "0", "160")};
        QTest::newRow("saldo anterior en el primer mes es cero") << ene << QDate(2026, 2, 28) << todas << true << "-"
            << Apuntes{a("", "", "5700001", anterior, "0", "0", "0"),
                       a("1", "20260115", "5700001", "Asiento 1", "5", "0", "5"),
                       a("", "", "5720001", anterior, "0", "0", "0"),
                       a("2", "20260210", "5720001", "Asiento 2", "60", "0", "60"),
                       a("3", "20260220", "5720001", "Asiento 3", "0", "20", "40")};
        QTest::newRow("desglose de una subcuenta, sin mirar el rango") << ene << dic << "5700001-5700001" << false << "4300001"
            << Apuntes{a("12", "20260425", "4300001", "Asiento 12", "7", "0", "7")};
        QTest::newRow("desglose sin subcuenta elegida") << ene << dic << todas << false << "" << Apuntes{};
        // clang-format on
    }
    void mayor() {
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(QString, subcuentas);
        QFETCH(QString, unica);
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
        QTEST(filasMayor(libro.conta(), o), "esperado");
    }

    // Tras un primer apunte de 100, el debe y el saldo del segundo.
    void reglaDelSaldo_data() {
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("haber");
        QTest::addColumn<Divisa>("divisa");
        QTest::addColumn<Moneda>("debeLeido");
        QTest::addColumn<Moneda>("saldo");
        // clang-format off
        QTest::newRow("a cero no cambia") << "0" << "0" << Divisa::Euros << m("0") << m("100");
        QTest::newRow("debe negativo cuenta como haber") << "-30" << "10" << Divisa::Euros << m("-30") << m("90");
        QTest::newRow("con debe positivo se ignora el haber") << "5" << "99" << Divisa::Euros << m("5") << m("105");
        // Con otros euros, para ver que se leen las pesetas.
        QTest::newRow("pesetas") << "1.234,5" << "0" << Divisa::Pesetas << m("1.234,5") << m("1.334,5");
        // clang-format on
    }
    void reglaDelSaldo() {
        QFETCH(QString, debe);
        QFETCH(QString, haber);
        QFETCH(Divisa, divisa);
        LibrosPrueba libro;
        const long e = libro.empresa();
        const qint64 cta = libro.cuenta(e, "5720001", "Banco");
        libro.apunte(libro.asiento(e, 1, "20260105"), cta, "100", "0");
        libro.apunte(libro.asiento(e, 2, "20260106"), cta, debe, haber, "x",
                     divisa == Divisa::Euros ? debe : QStringLiteral("7,42"));
        OpcionesLibroMayor o = opcionesAno(e);
        o.divisa = divisa;
        const Apunte ultimo = filasMayor(libro.conta(), o).last();
        QTEST(ultimo.debe, "debeLeido");
        QTEST(ultimo.saldo, "saldo");
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
        // clang-format off
        QTest::newRow("mayor, una cuenta por hoja") << false << "hoja" << "infCONT_LibroMayor_2.rpt" << "" << QStringList{"40,00", "140,00", "110,00", "160,00"};
        QTest::newRow("mayor con fechas al revés") << false << "fechas" << "" << "¡No puede ser mayor la fecha inicial que la fecha final!" << QStringList{};
        // Por hoja no cambia nada en el desglose.
        QTest::newRow("desglose de la subcuenta elegida") << true << "elegir hoja" << "infCONT_DesgloseSubCuentas.rpt" << "" << QStringList{"60,00", "40,00", "140,00", "110,00", "160,00"};
        QTest::newRow("desglose sin elegir") << true << "" << "" << "¡No se ha encontrado ningún registro!" << QStringList{};
        // clang-format on
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
                f.findChild<QCheckBox*>("chkAcumulados")->setChecked(true);
                f.findChild<QDateEdit*>("dtpLibroMayor0")
                    ->setDate({2026, caso == u"fechas" ? 6 : 3, 1});
                f.findChild<QDateEdit*>("dtpLibroMayor1")->setDate({2026, 5, 31});
                f.findChild<QLineEdit*>("txtLibroMayor0")->setText(QStringLiteral("5720001"));
            }
            f.botonAceptar()->click();
        };
        if (!desglose) {
            mostrar<frmInfLibroMayor>(entorno, libro, l.empresa, manejar);
        } else {
            mostrar<frmInfDesgloseSubCuenta>(entorno, libro, l.empresa, [&](FormularioInforme& f) {
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
        QCOMPARE(libro.filas("Libro_Mayor", "Codigo").filter(QStringLiteral("5720001")).size(),
                 libro.filas("Libro_Mayor", "Codigo").size());
    }
};

QTEST_MAIN(PruebaLibros)
#include "prueba_libros.moc"
