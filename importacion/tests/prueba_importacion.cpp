// La importación de CSV y de diarios de texto: una tabla de entradas buenas y malas por formato,
// y la aceptación frente a un programa de contabilidad de texto independiente (hledger).
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "Comprobar.h"
#include "Conexion.h"
#include "DoblesPrueba.h"
#include "Importador.h"
#include "Lectores.h"
#include "Mapa.h"
#include "OrdenPrueba.h"
#include "Progreso.h"

using namespace orvo;

namespace {

std::pair<int, QString> importar(const QStringList& argumentos) {
    QString texto;
    QTextStream err(&texto);
    const int codigo = Importacion::orden(argumentos, err);
    err.flush();
    return {codigo, texto};
}

void escribir(const QString& ruta, const QByteArray& contenido) {
    QVERIFY(prueba::escribirArchivo(ruta, contenido));
}

// Todo lo que hay en los libros, para ver que una importación rechazada no cambia nada.
QByteArray huella(const QString& ruta) {
    return prueba::huellaTablas(*Conexion::abrir(ruta), {"Empresa", "Cuenta", "Estructura",
                                                         "Rel_Estructura_Cuenta", "Asiento", "Apunte"});
}

// Filas de una consulta, una por línea y con los campos separados por '|'.
QString filas(const QString& libros, const QString& consulta) {
    auto con = Conexion::abrir(libros);
    QStringList r;
    Recordset rs = con->Execute(consulta);
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList f;
        for (int c = 0; c < rs.columnas(); ++c) f << rs.Fields(c).toString().trimmed();
        r << f.join(u'|');
    }
    return r.join(u'\n');
}

// Saldos de las cuentas con movimientos: el balance de sumas y saldos de la empresa.
QString sumasYSaldos(const QString& libros) {
    return filas(libros, QStringLiteral("SELECT Codigo, DebeTotalEuros, HaberTotalEuros FROM Cuenta "
                                        "WHERE CodEmpresa = 1 AND (CCur(DebeTotalEuros) <> 0 OR "
                                        "CCur(HaberTotalEuros) <> 0) ORDER BY Codigo"));
}

Moneda importeDe(const QString& t) {
    Importacion::FormatoImportes formato('.');
    return formato.leer(QStringView(t), {}, 0);
}

const QByteArray kCabecera = "Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n";

// Filas de un informe de hledger en CSV, sin la cabecera ni las comillas.
QList<QStringList> hledgerCsv(const QString& hledger, const QString& diario, const QStringList& args) {
    QProcess p;
    p.start(hledger, QStringList{"-f", diario} + args + QStringList{"-O", "csv"});
    p.waitForFinished(120000);
    QList<QStringList> r;
    for (const QByteArray& l : p.readAllStandardOutput().split('\n').mid(1))
        if (!l.isEmpty()) r << QString::fromUtf8(l).remove(u'"').split(u',');
    return r;
}

// Saldo acumulado apunte a apunte de una subcuenta, en el orden del mayor.
QList<Moneda> mayor(Conexion& con, const QString& subcuenta) {
    Recordset rs = con.Execute(
        QStringLiteral("SELECT CCur(CtdadDebeEuros) - CCur(CtdadHaberEuros) FROM Apunte, "
                       "Asiento, Cuenta WHERE Apunte.CodAsiento = Asiento.IDAsiento AND "
                       "Apunte.CodCuenta = Cuenta.IDCuenta AND Cuenta.Codigo = ? "
                       "ORDER BY Asiento.Fecha, Asiento.Numero, Apunte.IDApunte"),
        {subcuenta});
    QList<Moneda> r;
    Moneda saldo;
    for (; !rs.Eof(); rs.MoveNext()) r << (saldo += Moneda::deDiezmilesimas(rs.entero(0)));
    return r;
}

// Saldo (debe menos haber) de cada cuenta del nivel que lo tiene, como lo da el balance de hledger.
std::map<QString, Moneda> saldosDelNivel(Conexion& con, int nivel) {
    std::map<QString, Moneda> r;
    Recordset rs = con.Execute(QStringLiteral("SELECT Codigo, CCur(DebeTotalEuros) - CCur(HaberTotalEuros) "
                                              "FROM Cuenta WHERE CodEmpresa = 1 AND Nivel = ?"),
                               {nivel});
    for (; !rs.Eof(); rs.MoveNext())
        if (rs.entero(1) != 0) r[rs.Fields(0).toString()] = Moneda::deDiezmilesimas(rs.entero(1));
    return r;
}

}  // namespace

class PruebaImportacion : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString base_;

    QString ruta(const QString& nombre) const { return dir_.filePath(nombre); }

    // Total de cada fila, por su código, de los balances de la empresa 1 de 'libros'.
    void totales(const QString& libros, const QStringList& operaciones, QMap<QString, QString>& total) {
        for (const QString& operacion : operaciones) {
            const prueba::Ejecucion e = prueba::ejecutarOrden(
                {operacion, "--contabilidad", libros, "--empresa", "1", "--ruta", ruta(QStringLiteral("app")),
                 "--archivo", ruta(QStringLiteral("balance.pdf"))},
                ruta(QStringLiteral("balance.json")), 300000);
            QVERIFY2(e.codigo == 0, qPrintable(e.error));
            for (const QString& f : e.filas("Codigo,Total")) total[f.section(u'|', 0, 0)] = f.section(u'|', 1);
        }
    }

  private slots:
    // Libros de partida: la empresa 1 de 2024 con los asientos 1 y 2.
    void initTestCase() {
        QVERIFY(dir_.isValid());
        base_ = ruta(QStringLiteral("base.db"));
        escribir(ruta(QStringLiteral("base.csv")), kCabecera +
                                                       "02/01/2024;1;5720001;Capital;3.000,00;\n"
                                                       "02/01/2024;1;1000001;Capital;;3.000,00\n"
                                                       "03/01/2024;2;6000001;Compra;100,00;\n"
                                                       "03/01/2024;2;5720001;Compra;;100,00\n");
        const auto [codigo, texto] =
            importar({ruta(QStringLiteral("base.csv")), "--contabilidad", base_, "--empresa", "1"});
        QVERIFY2(codigo == 0, qPrintable(texto));
        QVERIFY2(texto.contains(u"2 asientos y 4 apuntes importados; 17 cuentas creadas; "
                                u"empresa creada."),
                 qPrintable(texto));
    }

    void entradas_data() {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");  // %1: la ruta del archivo
        QTest::addColumn<QStringList>("opciones");  // %1: la carpeta de la prueba
        QTest::addColumn<QString>("consulta");      // filas que deja en los libros
        QTest::addColumn<QString>("esperadas");
        const auto fila = [](const char* nombre, const char* archivo, const QByteArray& contenido,
                             int codigo, const char* mensaje, const QStringList& opciones = {},
                             const char* consulta = "", const char* esperadas = "") {
            QTest::newRow(nombre) << QString::fromLatin1(archivo) << contenido << codigo
                                  << QString::fromUtf8(mensaje) << opciones
                                  << QString::fromUtf8(consulta) << QString::fromUtf8(esperadas);
        };
        // Un mapa de nombres de cuenta a subcuentas, para las filas que lo usan.
        const QStringList conMapa{"--mapa", "%1/mapa.csv"};
        const char* saldos = "SELECT Codigo, Descripcion, DebeTotalEuros, HaberTotalEuros FROM "
                             "Cuenta WHERE CodEmpresa = 1 AND Nivel = 7 AND Codigo NOT IN "
                             "('1000001', '5720001', '6000001') ORDER BY Codigo";
        // clang-format off
        // CSV
        fila("csv español", "a.csv", kCabecera + "05/01/2024;3;4300001;Venta;1.210,50;\n05/01/2024;3;7000001;Venta;;1.210,50\n", 0, "1 asiento y 2 apuntes importados; 10 cuentas creadas.");
        fila("csv simple, columnas opcionales y código con punto", "a.csv",
             "Asiento;Fecha;Cuenta;Concepto;Debe;Haber;Descripcion;NIF\n"
             "3;2024-01-05;430.7;Venta;1210.5;0;Cliente Siete;B12345678\n"
             "3;2024-01-05;7000001;Venta;0;1210.50;;\n",
             0, "1 asiento y 2 apuntes importados; 10 cuentas creadas.");
        fila("csv con un número de asiento en dos sitios", "a.csv",
             kCabecera +
                 "05/01/2024;3;5720001;a;10,00;\n06/01/2024;4;5720001;b;1,00;\n"
                 "06/01/2024;4;1000001;b;;1,00\n05/01/2024;3;1000001;a;;10,00\n",
             1, "%1, línea 5: el asiento 3 ya apareció en la línea 2");
        fila("csv que no cuadra", "a.csv", kCabecera + "05/01/2024;17;5720001;a;100,00;\n05/01/2024;17;1000001;a;;90,00\n", 1, "%1, línea 2: el asiento 17 no cuadra: debe 100,00, haber 90,00");
        fila("csv con fecha imposible", "a.csv", kCabecera + "05/01/2024;3;5720001;a;1,00;\n31/02/2024;4;1000001;a;;1,00\n", 1, "%1, línea 3: fecha imposible: 31/02/2024");
        fila("csv sin columna Haber", "a.csv", "Fecha;Asiento;Cuenta;Concepto;Debe\n", 1, "%1, línea 1: falta la columna Haber");
        fila("csv con tres decimales", "a.csv", kCabecera + "05/01/2024;3;5720001;a;1,005;\n", 1, "%1, línea 2: importe con más de dos decimales: 1,005 (columna Debe)");
        fila("csv fuera del ejercicio", "a.csv", kCabecera + "05/01/2025;3;5720001;a;1,00;\n05/01/2025;3;1000001;a;;1,00\n", 1, "%1, línea 2: la fecha 05/01/2025 está fuera del ejercicio (01/01/2024 a 31/12/2024)");
        fila("csv con número que ya existe", "a.csv", kCabecera + "05/01/2024;2;5720001;a;1,00;\n05/01/2024;2;1000001;a;;1,00\n", 1, "%1, línea 2: el asiento 2 ya existe en la empresa");
        fila("csv con cuenta corta", "a.csv", kCabecera + "05/01/2024;3;57200;a;1,00;\n05/01/2024;3;1000001;a;;1,00\n", 1, "%1, línea 2: la cuenta 57200 no es una subcuenta: las de la empresa tienen 7 cifras");
        fila("csv con cuenta padre del plan", "a.csv",
             kCabecera + "05/01/2024;3;572;a;1,00;\n05/01/2024;3;129;a;;1,00\n", 1,
             "%1, línea 2: la cuenta 572 no es una subcuenta: las de la empresa tienen 7 cifras\n"
             "%1, línea 3: la cuenta 129 no es una subcuenta: las de la empresa tienen 7 cifras\n"
             "2 problemas: no se ha importado nada");
        fila("csv en Windows-1252", "a.csv",
             "Fecha;Asiento;Cuenta;Concepto;Debe;Haber;Descripci\xF3n\n"
             "05/01/2024;3;4300009;Caf\xE9 y \x80;12,50;;Se\xF1or Pe\xF1" "a\n"
             "05/01/2024;3;7000001;Caf\xE9 y \x80;;12,50;Ventas\n",
             0, "1 asiento y 2 apuntes importados; 10 cuentas creadas; leído como Windows-1252.", {},
             "SELECT Codigo, Descripcion, Concepto FROM Cuenta, Apunte WHERE CodCuenta = IDCuenta "
             "AND Codigo = '4300009'",
             "4300009|Señor Peña|Café y €");
        fila("csv en UTF-8 con BOM y sinónimos de cabecera", "a.csv",
             "\xEF\xBB\xBF" "F. contable;N\xC2\xBA asiento;Subcuenta;Texto;Cargo;Abono;Nombre cuenta\n"
             "05/01/2024;3;4300009;Caf\xC3\xA9;12,50;;Se\xC3\xB1or\n"
             "05/01/2024;3;7000001;Caf\xC3\xA9;;12,50;\n",
             0, "1 asiento y 2 apuntes importados; 10 cuentas creadas.", {},
             "SELECT Codigo, Descripcion, Concepto FROM Cuenta, Apunte WHERE CodCuenta = IDCuenta "
             "AND Codigo = '4300009'",
             "4300009|Señor|Café");
        fila("csv con un byte que no es un carácter", "a.csv", kCabecera + "05/01/2024;3;4300009;Caf\xE9;12,50;\n05/01/2024;3;7000001;x\x81;;12,50\n", 1, "%1, línea 3: la columna Concepto tiene un byte que no es un carácter");
        fila("diario en Windows-1252", "a.journal", "2024-01-07 Caf\xE9\n    Activo:5700001 Caja \xF1  10 \x80\n    7000001\n",
             0, "1 asiento y 2 apuntes importados", {}, "SELECT Concepto, Descripcion FROM Apunte, Cuenta WHERE CodCuenta = IDCuenta AND Codigo = '5700001'", "Café|Caja ñ");
        fila("--digitos en una empresa que ya tiene otras", "a.csv", kCabecera + "05/01/2024;3;4300001;a;5,00;\n05/01/2024;3;7000001;a;;5,00\n",
             1, "La empresa 1 tiene subcuentas de 7 cifras: --digitos solo vale para una empresa nueva.", {"--digitos", "8"});
        fila("csv con una línea más larga que el búfer de lectura", "a.csv", kCabecera + "05/01/2024;3;4300001;" + QByteArray(10000, 'x') + ";5,00;\r\n05/01/2024;3;7000001;b;;5,00",
             0, "1 asiento y 2 apuntes importados", {}, "SELECT length(Concepto) FROM Apunte WHERE CodAsiento = (SELECT MAX(IDAsiento) FROM Asiento) ORDER BY IDApunte", "10000\n1");
        fila("csv en UTF-16", "a.csv", QByteArray("\xFF\xFE" "F\0e\0", 6), 1, "%1, línea 1: el archivo está en UTF-16");
        fila("csv con --columnas", "a.csv", "a;b;c;d;e;f;g\n05/01/2024;x;3;4300001;Venta;1.210,50;\n05/01/2024;x;3;7000001;Venta;;1.210,50\n",
             0, "1 asiento y 2 apuntes importados", {"--columnas", "fecha,-,numero,subcuenta,concepto,debe,haber"}, "SELECT DebeTotalEuros FROM Cuenta WHERE Codigo = '4300001'", "1.210,50");
        fila("csv con punto decimal y luego coma", "a.csv",
             kCabecera +
                 "05/01/2024;3;5720001;a;100.50;\n05/01/2024;3;1000001;a;;100.50\n"
                 "06/01/2024;4;5720001;b;12,50;\n06/01/2024;4;1000001;b;;12,50\n",
             1,
             "%1, línea 4: el importe 12,50 lleva coma decimal, pero el de la línea 2 se leyó con "
             "punto decimal");
        fila("csv con mil en español y luego punto decimal", "a.csv",
             kCabecera +
                 "05/01/2024;3;5720001;a;1.000;\n05/01/2024;3;1000001;a;;1.000\n"
                 "06/01/2024;4;5720001;b;1234.56;\n06/01/2024;4;1000001;b;;1234.56\n",
             1,
             "%1, línea 4: el importe 1234.56 lleva punto decimal, pero el de la línea 2 se leyó "
             "con coma decimal");
        fila("csv con mil y coma decimal", "a.csv", kCabecera + "05/01/2024;3;5720001;a;1.000;\n05/01/2024;3;1000001;a;;1.000\n06/01/2024;4;5720001;b;12,50;\n06/01/2024;4;1000001;b;;12,50\n",
             0, "2 asientos y 4 apuntes importados", {}, "SELECT DebeTotalEuros FROM Cuenta WHERE Codigo = '5720001'", "4.012,50");
        fila("csv con mil en formato simple", "a.csv", kCabecera + "05/01/2024;3;5720001;a;12.5;\n05/01/2024;3;1000001;a;;12.50\n06/01/2024;4;5720001;b;1,000;\n06/01/2024;4;1000001;b;;1,000.00\n",
             0, "2 asientos y 4 apuntes importados", {}, "SELECT DebeTotalEuros FROM Cuenta WHERE Codigo = '5720001'", "4.012,50");
        fila("csv con varios problemas", "a.csv",
             kCabecera + "31/02/2024;3;5720001;a;1,00;\n05/01/2024;4;5720001;a;1,00;\n"
                         "05/01/2024;4;1000001;a;;2,00\n05/01/2024;5;5720001;a;x;\n",
             1,
             "%1, línea 2: fecha imposible: 31/02/2024\n"
             "%1, línea 3: el asiento 4 no cuadra: debe 1,00, haber 2,00\n"
             "%1, línea 5: importe no válido: x (columna Debe)\n"
             "3 problemas: no se ha importado nada");
        fila("csv de cuentas con nombre y mapa", "a.csv", kCabecera + "05/01/2024;3;Clientes;a;5,00;\n05/01/2024;3;Ventas;a;;5,00\n",
             0, "1 asiento y 2 apuntes importados", conMapa, saldos, "4300002|Cliente dos|5,00|0,00\n7000002|Ventas|0,00|5,00");
        fila("csv de cuentas con nombre sin mapa", "a.csv", kCabecera + "05/01/2024;3;Clientes;a;5,00;\n05/01/2024;3;Caja;a;;5,00\n06/01/2024;4;Caja;a;5,00;\n06/01/2024;4;Bancos;a;;5,00\n",
             1, "%1, línea 5: la cuenta «Bancos» no tiene subcuenta: ni es un código, ni está en el mapa, ni la declara una directiva account\n%1, línea 3: la cuenta «Caja» no tiene subcuenta");
        fila("csv con subcuentas de 10 cifras en una empresa nueva", "a.csv",
             "Fecha;Numero_asiento;Subcuenta;Concepto;Debe;Haber\n"
             "05/01/2025;1;4300000001;a;5,00;\n05/01/2025;1;7000000001;a;;5,00\n",
             0, "1 asiento y 2 apuntes importados;",
             {"--empresa", "2", "--digitos", "10"},
             "SELECT Codigo, Nivel FROM Cuenta WHERE CodEmpresa = 2 AND Nivel > 4 UNION ALL "
             "SELECT 'Desglose', DesgloseSubCuentas FROM Empresa WHERE IDEmpresa = 2",
             "4300000001|10\n7000000001|10\nDesglose|10");
        fila("csv con subcuentas de 10 cifras en una empresa de 7", "a.csv", kCabecera + "05/01/2024;3;4300000001;a;5,00;\n05/01/2024;3;7000000001;a;;5,00\n",
             1, "%1, línea 2: la cuenta 4300000001 no es una subcuenta: las de la empresa tienen 7 cifras");
        fila("csv con columnas de menos", "a.csv", kCabecera + "05/01/2024;3;5720001\n", 1, "%1, línea 2: faltan columnas: hay 3 y se esperan 6");
        // Diario de texto
        fila("diario", "a.journal",
             "; comentario\n"
             "2024-01-07 (9) Venta al contado  ; nota\n"
             "    Activo:Caja:5700001 Caja central   121,00 €\n"
             "    Ingresos:7:70:700:7000001\n"
             "\n"
             "~ monthly\n"
             "    6000001  1\n"
             "    5700001\n"
             "\n"
             "2024/01/08 * Cobro\n"
             "    ; comentario del apunte\n"
             "    5720001 Banco  EUR 50,5\n"
             "    5700001  -50,50\n",
             0, "2 asientos y 4 apuntes importados; 8 cuentas creadas.");
        fila("diario con otra moneda", "a.ledger", "2024-01-07 Venta\n    5700001  10 USD\n    7000001\n", 1, "%1, línea 2: moneda desconocida en 10 USD: solo se importan euros");
        fila("diario con fecha imposible", "a.hledger", "2024-02-30 Venta\n    5700001  10\n    7000001\n", 1, "%1, línea 1: fecha imposible: 2024-02-30");
        fila("diario que no cuadra", "a.journal", "2024-01-07 Venta\n    5700001  10\n    7000001  -9\n", 1, "%1, línea 1: el asiento de esta línea no cuadra: debe 10,00, haber 9,00");
        fila("diario con dos apuntes sin importe", "a.journal", "2024-01-07 Venta\n    5700001\n    7000001\n", 1, "%1, línea 3: dos apuntes sin importe en un asiento");
        fila("diario con precio", "a.journal", "2024-01-07 Venta\n    5700001  10 € @ 1.1 USD\n    7000001\n", 1, "%1, línea 2: precio o cambio de moneda: solo se importan euros");
        fila("diario sin código de cuenta", "a.journal", "2024-01-07 Venta\n    Activo:Caja  10\n    7000001\n", 1, "%1, línea 2: la cuenta «Activo:Caja» no tiene subcuenta");
        fila("diario con una errata en una cabecera", "a.journal", "2024-01-07 Venta\n    5700001  10\n    7000001\n\nO2024-01-16 * Venta\n    5700001  10\n    7000001\n",
             1, "%1, línea 5: línea que no se entiende: «O2024-01-16 * Venta»");
        fila("diario con cuentas padre", "a.journal", "2024-01-07 Venta\n    Activo:572  10\n    Capital:129\n",
             1, "%1, línea 2: la cuenta 572 no es una subcuenta: las de la empresa tienen 7 cifras\n%1, línea 3: la cuenta 129 no es una subcuenta");
        fila("diario con mapa y directivas account", "a.journal",
             "account Activo:Caja  ; subcuenta: 5700002\n"
             "account Ingresos:Otros\n    ; subcuenta:7590001\n"
             "2024-01-07 Venta\n    Ventas  -5\n    Clientes\n"
             "2024-01-08 Cobro\n    Activo:Caja  5\n    Clientes\n"
             "2024-01-09 Otro\n    Activo:Caja  1\n    Ingresos:Otros\n",
             0, "3 asientos y 6 apuntes importados", conMapa, saldos,
             "4300002|Cliente dos|5,00|5,00\n5700002|Caja|6,00|0,00\n7000002|Ventas|0,00|5,00\n"
             "7590001|Otros|0,00|1,00");
        fila("diario con aserciones de saldo con y sin subcuentas", "a.ledger",
             "account Activo:Caja  ; subcuenta: 5700009\n"
             "2024-01-07 Venta\n    Activo:Caja:5700001  10\n    Ingresos:7000001\n"
             "2024-01-08 Venta\n    Activo:Caja:5700002  1\n    Ingresos:7000001  -1 == -11\n"
             "2024-01-09 Control\n    Activo:Caja  0 =* 11\n    Activo:Caja  0 = 0\n",
             0, "3 asientos y 6 apuntes importados");
        fila("diario con una aserción que falla", "a.journal", "2024-01-07 Venta\n    5700001  10 = 10\n    7000001\n2024-01-08 Venta\n    5700001  10 = 15\n    7000001\n",
             1, "%1, línea 5: la aserción de saldo de 5700001 falla: se afirma 15,00 y el saldo es 20,00");
        fila("diario con alias y fechas de apunte", "a.dat",
             "alias Caja = Activo:5700001 Caja\n"
             "alias /^ventas?$/ = Ingresos:7000001\n"
             "2024-01-07 (1234) Venta\n    Caja  10 = 15\n    VENTA\n"
             "2024-01-05 Anterior\n    Caja  5 = 5\n    Ventas\n"
             "2024-01-08 Cobro\n    5720001  7  ; date:2024-01-10\n    Caja  -7 = 8\n",
             0, "4 asientos y 8 apuntes importados", {},
             "SELECT Numero, Fecha, Codigo, Concepto, CtdadDebeEuros, CtdadHaberEuros FROM "
             "Asiento, Apunte, Cuenta WHERE CodAsiento = IDAsiento AND CodCuenta = IDCuenta AND "
             "Numero > 2 ORDER BY Numero, IDApunte",
             "3|20240105|5700001|Anterior|5,00|0,00\n"
             "3|20240105|7000001|Anterior|0,00|5,00\n"
             "4|20240107|5700001|(1234) Venta|10,00|0,00\n"
             "4|20240107|7000001|(1234) Venta|0,00|10,00\n"
             "5|20240108|5700001|Cobro|0,00|7,00\n"
             "5|20240108|5550001|Cobro|7,00|0,00\n"
             "6|20240110|5720001|Cobro|7,00|0,00\n"
             "6|20240110|5550001|Cobro|0,00|7,00");
        fila("diario con apply account, decimal-mark, commodity, P, end aliases y periódico",
             "a.journal",
             "decimal-mark ,\ncommodity 1.000,00 €\nP 2024-01-01 USD 0,9 €\n"
             "apply account Activo\n2024-01-07 Venta\n    5700001 Caja  1.000\n"
             "    Ingresos:7000001  -1.000\nend apply account\n"
             "alias x = Otra:5700001\nend aliases\n"
             "~ monthly\n    6000001  1\n    5700001\n\n"
             "2024-01-08 Otra\n    x:5720001  2,5\n    7000001\n",
             0, "1 precios de mercado (P) no intervienen en los importes importados", {},
             "SELECT Codigo, DebeTotalEuros, HaberTotalEuros FROM Cuenta WHERE Codigo IN "
             "('5700001', '5720001', '7000001') ORDER BY Codigo",
             "5700001|1.000,00|0,00\n5720001|3.002,50|100,00\n7000001|0,00|1.002,50");
        fila("diario con directivas que no se toman", "a.ledger",
             "bucket Activo:Caja\nD $1,000.00\n2024-01-07 Venta\n    5700001  10\n    7000001\n"
             "= /Caja/\n    6000001  1\n",
             1,
             "%1, línea 1: línea que no se entiende: «bucket Activo:Caja»\n"
             "%1, línea 2: moneda por omisión $1,000.00: solo se importan euros\n"
             "%1, línea 6: asiento automático: ledger lo aplica");
        fila("diario que incluye dos veces un archivo", "a.journal", "include b.journal\ninclude b.journal\n", 1, "%1, línea 2: b.journal ya se incluyó en %1, línea 1: se importaría dos veces");
        // clang-format on
    }
    void entradas() {
        QFETCH(QString, archivo);
        QFETCH(QByteArray, contenido);
        QFETCH(int, codigo);
        QFETCH(QString, mensaje);
        QFETCH(QStringList, opciones);
        QFETCH(QString, consulta);
        QFETCH(QString, esperadas);
        const QString libros = ruta(QStringLiteral("caso.db"));
        QFile::remove(libros);
        QVERIFY(QFile::copy(base_, libros));
        const QString entrada = ruta(archivo);
        escribir(entrada, contenido);
        escribir(ruta(QStringLiteral("b.journal")), "2024-01-07 Venta\n    5700001  10\n    7000001\n");
        escribir(ruta(QStringLiteral("mapa.csv")),
                 "Cuenta;Subcuenta;Descripción\nClientes;430.2;Cliente dos\nVentas;7000002;\n"
                 "Caja;;\n");
        QFile::remove(Importacion::rutaMapaPendiente(entrada));
        QStringList argumentos{entrada, "--contabilidad", libros};
        if (!opciones.contains(QStringLiteral("--empresa"))) argumentos << "--empresa" << "1";
        for (const QString& o : opciones) argumentos << (o.contains(u"%1") ? o.arg(dir_.path()) : o);
        const auto [obtenido, texto] = importar(argumentos);
        QVERIFY2(texto.contains(mensaje.contains(u"%1") ? mensaje.arg(entrada) : mensaje),
                 qPrintable(texto));
        QCOMPARE(obtenido, codigo);
        if (codigo != 0) {
            QCOMPARE(huella(libros), huella(base_));
        } else {
            auto con = Conexion::abrir(libros);
            ProgresoNulo p;
            const long empresa = argumentos[argumentos.indexOf(QStringLiteral("--empresa")) + 1].toLong();
            const auto informe = Comprobacion::comprobar(*con, empresa, false, p);
            QVERIFY2(informe.problemas.isEmpty(), qPrintable(informe.problemas.join(u'\n')));
        }
        if (!consulta.isEmpty()) QCOMPARE(filas(libros, consulta), esperadas);
    }

    // Un archivo de libros nuevo no queda a medias si la entrada es mala; y el uso incorrecto.
    void rechazoSinArchivoYUso() {
        const QString entrada = ruta(QStringLiteral("malo.csv"));
        escribir(entrada, kCabecera + "05/01/2024;1;5720001;a;1,00;\n");
        const QString libros = ruta(QStringLiteral("nuevo.db"));
        QCOMPARE(importar({entrada, "--contabilidad", libros, "--empresa", "1"}).first, 1);
        QVERIFY(!QFile::exists(libros));
        QCOMPARE(importar({entrada, "--contabilidad", libros}).first, 2);
        QCOMPARE(
            importar({entrada, "--contabilidad", libros, "--empresa", "1", "--plan", "x"}).first,
            2);
    }

    // Un CSV largo se lee en otro hilo, por lotes: los problemas salen en el orden de sus líneas
    // aunque caigan en lotes distintos, y se cuentan todos.
    void problemasDeMuchosLotes() {
        QByteArray csv = kCabecera;
        for (int n = 1; n <= 3000; ++n) {
            const QByteArray num = QByteArray::number(n + 2);  // los libros ya tienen el 1 y el 2
            // Uno de cada veinte asientos, con una fecha imposible en su segunda línea.
            csv += "05/01/2024;" + num + ";5720001;a;1,00;\n" +
                   (n % 20 ? "05/01/2024;" : "32/01/2024;") + num + ";1000001;a;;1,00\n";
        }
        const QString entrada = ruta(QStringLiteral("largo.csv"));
        escribir(entrada, csv);
        const QString libros = ruta(QStringLiteral("largo.db"));
        QVERIFY(QFile::copy(base_, libros));
        const auto [codigo, texto] = importar({entrada, "--contabilidad", libros, "--empresa", "1"});
        QCOMPARE(codigo, 1);
        const QStringList lineas = texto.trimmed().split(u'\n');
        QCOMPARE(lineas.size(), 51);
        for (int k = 0; k < 50; ++k)
            QCOMPARE(lineas[k], QStringLiteral("%1, línea %2: fecha imposible: 32/01/2024")
                                    .arg(entrada)
                                    .arg(2 * 20 * (k + 1) + 1));
        QVERIFY2(lineas[50].startsWith(u"150 problemas (se muestran los 50 primeros)"),
                 qPrintable(lineas[50]));
        QCOMPARE(huella(libros), huella(base_));
    }

    // Un problema antes del cierre del ejercicio para la importación mientras el lector sigue
    // leyendo el año siguiente: termina sin esperar al final y sin tocar los libros.
    void problemaAntesDelCierre() {
        QByteArray csv = kCabecera + "05/01/2024;3;5720001;a;x;\n05/01/2024;3;1000001;a;;1,00\n";
        for (int n = 4; n <= 5000; ++n)
            csv += "05/01/2025;" + QByteArray::number(n) + ";5720001;a;1,00;\n05/01/2025;" +
                   QByteArray::number(n) + ";1000001;a;;1,00\n";
        const QString entrada = ruta(QStringLiteral("cierre.csv"));
        escribir(entrada, csv);
        const QString libros = ruta(QStringLiteral("cierre.db"));
        QVERIFY(QFile::copy(base_, libros));
        QString texto;
        QTextStream err(&texto);
        bool abierto = false;
        const int codigo = Importacion::orden({entrada, "--contabilidad", libros, "--empresa", "1"},
                                              err, [&](Conexion&, long) {
                                                  abierto = true;
                                                  return 2L;
                                              });
        err.flush();
        QCOMPARE(codigo, 1);
        QVERIFY(!abierto);
        QCOMPARE(texto.trimmed(),
                 QStringLiteral("%1, línea 2: importe no válido: x (columna Debe)").arg(entrada));
        QCOMPARE(huella(libros), huella(base_));
    }

    // El mapa en uso que se amplía con las cuentas que faltan: sus filas siguen, con sus
    // acentos, aunque estuviera en Windows-1252, y el archivo entero queda en UTF-8.
    void mapaEnUsoAmpliado() {
        const QString entrada = ruta(QStringLiteral("ampliar.csv"));
        escribir(entrada, kCabecera + "05/01/2024;3;Caja;a;5,00;\n05/01/2024;3;Cañas;a;;5,00\n");
        const QString mapa = Importacion::rutaMapaPendiente(entrada);
        escribir(mapa, "Cuenta;Subcuenta;Descripci\xF3n\r\nCaja;5700001;Caja peque\xF1" "a\r\n");
        const QString libros = ruta(QStringLiteral("ampliar.db"));
        QVERIFY(QFile::copy(base_, libros));
        const auto [codigo, texto] =
            importar({entrada, "--contabilidad", libros, "--empresa", "1", "--mapa", mapa});
        QCOMPARE(codigo, 1);
        QVERIFY2(texto.contains(u"escrito con las 1 cuentas sin subcuenta"), qPrintable(texto));
        QFile f(mapa);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\xEF\xBB\xBF"
                                         "Cuenta;Subcuenta;Descripción\r\n"
                                         "Caja;5700001;Caja pequeña\r\n"
                                         "Cañas;;Cañas\r\n"));
        QCOMPARE(huella(libros), huella(base_));
    }

    // El presupuesto llena la columna del mes de la subcuenta y de sus cuentas padre.
    // Unos libros de antes, sin la columna SumaConSigno: la empresa que se importa con un modelo
    // la recibe con sus epígrafes con signo, y la que ya estaba sigue como estaba (0).
    void librosSinLaColumnaDelSigno() {
        const QString libros = ruta(QStringLiteral("antiguos.db"));
        QVERIFY(QFile::copy(base_, libros));
        Conexion::abrir(libros)->Execute(
            QStringLiteral("ALTER TABLE Estructura DROP COLUMN SumaConSigno"));
        const auto [codigo, texto] = importar({ruta(QStringLiteral("base.csv")), "--contabilidad",
                                               libros, "--empresa", "2", "--plan", "pymes"});
        QVERIFY2(codigo == 0, qPrintable(texto));
        QCOMPARE(Conexion::abrir(libros)
                     ->valor(QStringLiteral(
                         "SELECT group_concat(CodEmpresa || ':' || SumaConSigno || ':' || n) FROM "
                         "(SELECT CodEmpresa, SumaConSigno, COUNT(*) AS n FROM Estructura GROUP "
                         "BY CodEmpresa, SumaConSigno ORDER BY CodEmpresa)"))
                     .toString(),
                 QStringLiteral("1:0:73,2:-1:73"));
    }

    void presupuesto() {
        const QString libros = ruta(QStringLiteral("presupuesto.db"));
        QVERIFY(QFile::copy(base_, libros));
        const QString entrada = ruta(QStringLiteral("vacio.csv"));
        escribir(entrada, kCabecera);
        escribir(ruta(QStringLiteral("p.csv")), "Cuenta;Mes;Importe\n6000001;3;1.000,00\n");
        const auto [codigo, texto] = importar({entrada, "--contabilidad", libros, "--empresa", "1",
                                               "--presupuesto", ruta(QStringLiteral("p.csv"))});
        QVERIFY2(codigo == 0, qPrintable(texto));
        auto con = Conexion::abrir(libros);
        QCOMPARE(
            con->valor(QStringLiteral("SELECT Presupuesto03Euros || '/' || Presupuesto03 || '/' "
                                      "|| PresupuestoTotalEuros FROM Cuenta WHERE Codigo = '60'"))
                .toString(),
            QStringLiteral("1.000,00/166.386/1.000,00"));
    }

    // Un año con pérdidas importado con el modelo de pymes: capital 10.000 al banco, compras
    // 6.500, ventas 4.000 e intereses 300. Pérdidas y ganancias: explotación -2.500, financiero
    // -300 y resultado -2.800, con su signo; el balance pone la pérdida en «VII. Resultado del
    // ejercicio» y cuadra, 7.200 a cada lado.
    void perdidaConElModeloDePymes() {
        const QString libros = ruta(QStringLiteral("perdida.db"));
        const QString entrada = ruta(QStringLiteral("perdida.csv"));
        escribir(entrada, kCabecera +
                              "02/01/2024;1;5720001;Capital;10.000,00;\n"
                              "02/01/2024;1;1000001;Capital;;10.000,00\n"
                              "10/03/2024;2;6000001;Compras;6.500,00;\n"
                              "10/03/2024;2;5720001;Compras;;6.500,00\n"
                              "20/06/2024;3;5720001;Ventas;4.000,00;\n"
                              "20/06/2024;3;7000001;Ventas;;4.000,00\n"
                              "30/12/2024;4;6620001;Intereses;300,00;\n"
                              "30/12/2024;4;5720001;Intereses;;300,00\n");
        const auto [codigo, texto] =
            importar({entrada, "--contabilidad", libros, "--empresa", "1", "--plan", "pymes"});
        QVERIFY2(codigo == 0, qPrintable(texto));
        QMap<QString, QString> total;
        totales(libros, {"ImprimirBalancePYG", "ImprimirBalanceSituacion"}, total);
        const QStringList esperado{"R1.01 4.000,00", "R1.04 -6.500,00",  "R1.A -2.500,00",
                                   "R2.13 -300,00",  "R2.B -300,00",     "R3.C -2.800,00",
                                   "R4.D -2.800,00", "PA.1.7 -2.800,00", "AT 7.200,00",
                                   "PT 7.200,00"};
        QStringList visto;
        for (const QString& e : esperado)
            visto << e.section(u' ', 0, 0) + u' ' + total.value(e.section(u' ', 0, 0));
        QCOMPARE(visto, esperado);
    }

    // El mismo contenido no entra dos veces; --deshacer deja el balance como estaba y deja
    // volver a importarlo.
    void repetidaYDeshecha() {
        const QString libros = ruta(QStringLiteral("repetida.db"));
        QVERIFY(QFile::copy(base_, libros));
        const QString antes = sumasYSaldos(libros);
        const QByteArray csv = kCabecera + "05/01/2024;3;4300001;Venta;121,00;\n"
                                           "05/01/2024;3;7000001;Venta;;121,00\n";
        escribir(ruta(QStringLiteral("r.csv")), csv);
        escribir(ruta(QStringLiteral("otro nombre.csv")), csv);
        const QStringList destino{"--contabilidad", libros, "--empresa", "1"};
        auto [codigo, texto] = importar(QStringList{ruta(QStringLiteral("r.csv"))} + destino);
        QVERIFY2(codigo == 0, qPrintable(texto));
        QVERIFY2(texto.contains(u"Importación 2 (se deshace con --deshacer 2)."), qPrintable(texto));
        const QString importada = sumasYSaldos(libros);
        QVERIFY(importada != antes);

        const QByteArray despues = huella(libros);
        std::tie(codigo, texto) = importar(QStringList{ruta(QStringLiteral("otro nombre.csv"))} + destino);
        QCOMPARE(codigo, 1);
        QVERIFY2(texto.contains(QStringLiteral("este contenido ya se importó el %1")
                                    .arg(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))),
                 qPrintable(texto));
        QVERIFY2(texto.contains(u"(importación 2, r.csv)"), qPrintable(texto));
        QCOMPARE(huella(libros), despues);

        std::tie(codigo, texto) = importar(QStringList{"--deshacer", "2"} + destino);
        QVERIFY2(codigo == 0, qPrintable(texto));
        QVERIFY2(texto.contains(u"Deshecha la importación 2 (r.csv, del "), qPrintable(texto));
        QCOMPARE(sumasYSaldos(libros), antes);
        QCOMPARE(filas(libros, QStringLiteral("SELECT COUNT(*) FROM Asiento")), QStringLiteral("2"));
        {
            auto con = Conexion::abrir(libros);
            ProgresoNulo p;
            QVERIFY(Comprobacion::comprobar(*con, 1, false, p).problemas.isEmpty());
        }
        QCOMPARE(importar(QStringList{"--deshacer", "2"} + destino).first, 1);
        std::tie(codigo, texto) = importar(QStringList{ruta(QStringLiteral("otro nombre.csv"))} + destino);
        QVERIFY2(codigo == 0, qPrintable(texto));
        QCOMPARE(sumasYSaldos(libros), importada);
    }

    // Aceptación: un diario de cuentas con nombre (con un alias, una directiva account con su
    // subcuenta y aserciones de saldo) se importa tras rellenar el mapa que pide la primera vez,
    // y da, cuenta a cuenta y apunte a apunte, lo mismo que hledger.
    void conNombresComoElProgramaDeTexto() {
        const QString hledger = QStandardPaths::findExecutable(QStringLiteral("hledger"));
        if (hledger.isEmpty()) QSKIP("hledger no está instalado");
        const std::pair<const char*, const char*> cuentas[] = {
            {"Assets:Bank:Checking", "5720001"},   {"Assets:Cash", "5700001"},
            {"Assets:Receivable:Cliente Uno", "4300001"}, {"Liabilities:Payable:Proveedor", "4000001"},
            {"Equity:Capital", "1000001"},         {"Expenses:Supplies", "6020001"},
            {"Expenses:Rent", "6210001"},          {"Income:Sales", "7000001"},
            {"Income:Interest", "7690001"}};
        QRandomGenerator azar(25);
        QByteArray diario = "account Assets:Cash  ; subcuenta: 5700001\n"
                            "alias checking = Assets:Bank:Checking\n\n";
        Moneda banco;
        for (int i = 0; i < 600; ++i) {
            const QDate fecha = QDate(2024, 1, 1).addDays(i * 366 / 600);
            diario += fecha.toString(Qt::ISODate).toUtf8() + " Asiento " + QByteArray::number(i) + "\n";
            // El último apunte va sin importe: el diario lo deduce.
            const int apuntes = 2 + azar.bounded(2);
            qint64 suma = 0;
            for (int a = 0; a < apuntes; ++a) {
                const int c = azar.bounded(int(std::size(cuentas)));
                const bool esBanco = c == 0;
                diario += QByteArray("    ") + (esBanco && i % 2 ? "checking" : cuentas[c].first);
                const qint64 centimos = a + 1 < apuntes
                                            ? azar.bounded(1, 500000) * (azar.bounded(2) ? 1 : -1)
                                            : -suma;
                suma += centimos;
                if (a + 1 < apuntes) diario += "  " + QByteArray::number(centimos / 100.0, 'f', 2);
                if (esBanco) {
                    banco += Moneda::deDiezmilesimas(centimos * 100);
                    if (i % 7 == 0 && a + 1 < apuntes)
                        diario += " = " + banco.formatear(true).remove(u'.').replace(u',', u'.').toUtf8();
                }
                diario += "\n";
            }
            diario += "\n";
        }
        const QString entrada = ruta(QStringLiteral("nombres.journal"));
        escribir(entrada, diario);
        const QString libros = ruta(QStringLiteral("nombres.db"));
        const QString mapa = Importacion::rutaMapaPendiente(entrada);
        QFile::remove(mapa);
        auto [codigo, texto] = importar({entrada, "--contabilidad", libros, "--empresa", "1"});
        QCOMPARE(codigo, 1);
        QVERIFY2(texto.contains(u"la cuenta «Income:Sales» no tiene subcuenta"), qPrintable(texto));
        QVERIFY(!QFile::exists(libros));

        // Se rellena el mapa escrito: todas las cuentas sin subcuenta, y ninguna más.
        QFile f(mapa);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList lineas = QString::fromUtf8(f.readAll()).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        f.close();
        QCOMPARE(lineas.size(), int(std::size(cuentas)));  // la cabecera y todas menos la caja
        for (qsizetype i = 1; i < lineas.size(); ++i) {
            QStringList campos = lineas[i].split(u';');
            for (const auto& [nombre, sub] : cuentas)
                if (campos[0] == QString::fromUtf8(nombre)) campos[1] = QString::fromLatin1(sub);
            QVERIFY2(!campos[1].isEmpty(), qPrintable(lineas[i]));
            lineas[i] = campos.join(u';');
        }
        escribir(mapa, lineas.join(QStringLiteral("\r\n")).toUtf8());
        std::tie(codigo, texto) =
            importar({entrada, "--contabilidad", libros, "--empresa", "1", "--mapa", mapa});
        QVERIFY2(codigo == 0, qPrintable(texto));

        auto con = Conexion::abrir(libros);
        std::map<QString, Moneda> suyo;
        for (const QStringList& fila : hledgerCsv(hledger, entrada, {"bal", "--flat", "--no-total"}))
            for (const auto& [nombre, sub] : cuentas)
                if (fila[0] == QString::fromUtf8(nombre)) suyo[QString::fromLatin1(sub)] = importeDe(fila[1]);
        QCOMPARE(saldosDelNivel(*con, 7), suyo);
        for (const auto& [nombre, sub] : {cuentas[0], cuentas[1], cuentas[7]}) {
            QList<Moneda> suyos;
            for (const QStringList& fila :
                 hledgerCsv(hledger, entrada, {"reg", QStringLiteral("^%1$").arg(QString::fromUtf8(nombre))}))
                suyos << importeDe(fila.last());
            QCOMPARE(mayor(*con, QString::fromLatin1(sub)), suyos);
        }
    }

    // Aceptación: un diario de 3.000 asientos al azar da, en cada nivel de cuentas y en el saldo
    // acumulado de las subcuentas, lo mismo que hledger; el balance de pymes cuadra.
    void comoElProgramaDeTexto() {
        const QString hledger = QStandardPaths::findExecutable(QStringLiteral("hledger"));
        if (hledger.isEmpty()) QSKIP("hledger no está instalado");
        const char* cuentas[] = {
            "1:10:100:1000:1000001 Capital social", "1:17:170:1700:1700001 Préstamo",
            "2:21:217:2170:2170001 Ordenadores",    "2:28:281:2817:2817001 Amortización",
            "3:30:300:3000:3000001 Mercaderías",    "4:40:400:4000:4000001 Proveedor uno",
            "4:40:400:4000:4000002 Proveedor dos",  "4:43:430:4300:4300001 Cliente uno",
            "4:47:472:4720:4720001 IVA soportado",  "4:47:477:4770:4770001 IVA repercutido",
            "5:57:570:5700:5700001 Caja",           "5:57:572:5720:5720001 Banco uno",
            "5:57:572:5720:5720002 Banco dos",      "6:60:600:6000:6000001 Compras",
            "6:62:621:6210:6210001 Alquiler",       "6:64:640:6400:6400001 Sueldos",
            "6:68:681:6810:6810001 Amortización",   "7:70:700:7000:7000001 Ventas",
            "7:76:769:7690:7690001 Intereses"};
        QRandomGenerator azar(2024);
        QByteArray diario;
        for (int i = 0; i < 3000; ++i) {
            const QDate fecha = QDate(2024, 1, 1).addDays(azar.bounded(366));
            diario +=
                fecha.toString(Qt::ISODate).toUtf8() + " Asiento " + QByteArray::number(i) + "\n";
            const int apuntes = 2 + azar.bounded(3);
            for (int a = 0; a < apuntes; ++a) {
                diario += QByteArray("    ") + cuentas[azar.bounded(int(std::size(cuentas)))];
                if (a + 1 < apuntes) {
                    const qint64 centimos = azar.bounded(1, 500000) * (azar.bounded(2) ? 1 : -1);
                    diario += "  " + QByteArray::number(centimos / 100.0, 'f', 2);
                }
                diario += "\n";
            }
            diario += "\n";
        }
        const QString entrada = ruta(QStringLiteral("azar.journal"));
        escribir(entrada, diario);
        const QString libros = ruta(QStringLiteral("azar.db"));
        const auto [codigo, texto] =
            importar({entrada, "--contabilidad", libros, "--empresa", "1"});
        QVERIFY2(codigo == 0, qPrintable(texto));
        auto con = Conexion::abrir(libros);

        const auto correr = [&](const QStringList& args) { return hledgerCsv(hledger, entrada, args); };
        const auto importe = importeDe;
        // Sumas y saldos: cada nivel de la 1 a la 4 y las subcuentas (quinto tramo del nombre).
        for (int nivel : {1, 2, 3, 4, 7}) {
            std::map<QString, Moneda> suyo;
            for (const QStringList& f : correr({"bal", "--flat", "--no-total", "--depth",
                                                QString::number(nivel == 7 ? 5 : nivel)}))
                suyo[f[0].section(u':', -1).section(u' ', 0, 0)] = importe(f[1]);
            QCOMPARE(saldosDelNivel(*con, nivel), suyo);
        }
        // Saldo acumulado apunte a apunte de tres subcuentas, en el orden del mayor.
        for (const char* subcuenta : {"5720001", "4300001", "7000001"}) {
            QList<Moneda> suyo;
            for (const QStringList& f : correr({"reg", QStringLiteral("%1 ").arg(subcuenta)}))
                suyo << importe(f.last());
            QCOMPARE(mayor(*con, QString::fromLatin1(subcuenta)), suyo);
        }
        ProgresoNulo p;
        QVERIFY(Comprobacion::comprobar(*con, 1, false, p).problemas.isEmpty());
        con.reset();

        // El balance de situación del modelo de pymes cuadra con el resultado en la 129.
        QMap<QString, QString> total;
        totales(libros, {"ImprimirBalanceSituacion"}, total);
        // Con signos al azar el activo puede salir negativo: el modelo lo imprime con su signo.
        QVERIFY(!total.value(QStringLiteral("AT")).isEmpty());
        QCOMPARE(total.value(QStringLiteral("PT")), total.value(QStringLiteral("AT")));
        QVERIFY(!total.value(QStringLiteral("PA.1.7")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(PruebaImportacion)
#include "prueba_importacion.moc"
