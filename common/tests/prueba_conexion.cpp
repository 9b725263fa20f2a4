// Capa de datos: transacciones, recuento exacto, funciones SQL y parámetros enlazados.
#include <QTemporaryDir>
#include <QtTest>

#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "Moneda.h"

using namespace orvo;

class PruebaConexion : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<Conexion> nueva() {
        static int n = 0;
        return Conexion::abrir(dir_.filePath(QStringLiteral("b%1.db").arg(++n)), true);
    }

  private slots:
    void transaccionDeshechaNoDejaNada() {
        auto con = nueva();
        con->Execute(QStringLiteral("CREATE TABLE t (a TEXT)"));
        {
            Transaccion t(*con);
            con->Execute(QStringLiteral("INSERT INTO t VALUES (?)"), {QStringLiteral("x")});
            // sin confirmar: el destructor deshace
        }
        QCOMPARE(con->valor(QStringLiteral("SELECT count(*) FROM t")).toInt(), 0);
        {
            Transaccion t(*con);
            con->Execute(QStringLiteral("INSERT INTO t VALUES (?)"), {QStringLiteral("y")});
            {
                Transaccion interior(*con);
                con->Execute(QStringLiteral("INSERT INTO t VALUES (?)"), {QStringLiteral("z")});
            }
            t.confirmar();
        }
        QCOMPARE(con->valor(QStringLiteral("SELECT group_concat(a) FROM t")).toString(),
                 QStringLiteral("y"));
        QCOMPARE(con->nivelTransaccion(), 0);
    }

    void recordCountExacto() {
        auto con = nueva();
        con->Execute(QStringLiteral("CREATE TABLE t (n INTEGER)"));
        Instruccion ins = con->preparar(QStringLiteral("INSERT INTO t VALUES (?)"));
        for (int i = 0; i < 250; ++i) ins.ejecutar({i});
        Recordset rs =
            con->Execute(QStringLiteral("SELECT n FROM t WHERE n >= ? ORDER BY n"), {200});
        QCOMPARE(rs.RecordCount(), 50);
        int leidas = 0;
        for (; !rs.Eof(); rs.MoveNext()) ++leidas;
        QCOMPARE(leidas, 50);
        Recordset vacio = con->Execute(QStringLiteral("SELECT n FROM t WHERE n < 0"));
        QVERIFY(vacio.Eof());
        QCOMPARE(vacio.RecordCount(), 0);
    }

    // Las funciones del dialecto de los informes: CCur da diezmilésimas exactas de textos
    // españoles (un texto no numérico es error), Val lee el número del principio del texto.
    void funcionesSql_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("parametro");
        QTest::addColumn<QVariant>("valor");  // inválido: la consulta falla
        const QString ccur = QStringLiteral("SELECT CCur(?)"),
                      val = QStringLiteral("SELECT Val(?)");
        const QVariant falla;
        // clang-format off
        QTest::newRow("CCur miles y decimales") << ccur << QVariant("1.234,56") << QVariant(12345600LL);
        QTest::newRow("CCur negativo") << ccur << QVariant("-0,5") << QVariant(-5000LL);
        QTest::newRow("CCur entero") << ccur << QVariant("166.386") << QVariant(1663860000LL);
        QTest::newRow("CCur número") << ccur << QVariant(12) << QVariant(120000LL);
        QTest::newRow("CCur real") << ccur << QVariant(0.125) << QVariant(1250LL);
        QTest::newRow("CCur cinco decimales al par") << ccur << QVariant("0,00005") << QVariant(0LL);
        QTest::newRow("CCur cinco decimales arriba") << ccur << QVariant("0,00015") << QVariant(2LL);
        QTest::newRow("CCur no numérico") << ccur << QVariant("abc") << falla;
        QTest::newRow("CCur vacío") << ccur << QVariant("") << falla;
        QTest::newRow("CCur nulo") << ccur << QVariant() << QVariant::fromValue(nullptr);
        QTest::newRow("suma de CCur exacta") << QStringLiteral("SELECT SUM(CCur(?)) FROM (VALUES "
            "(1),(2),(3),(4),(5),(6),(7),(8),(9),(10))") << QVariant("0,1") << QVariant(10000LL);
        QTest::newRow("Val número") << val << QVariant("  12 3abc") << QVariant(123LL);
        QTest::newRow("Val decimal") << val << QVariant("1.5x") << QVariant(1.5);
        QTest::newRow("Val sin número") << val << QVariant("abc") << QVariant(0LL);
        QTest::newRow("Val con ceros") << val << QVariant("007") << QVariant(7LL);
        QTest::newRow("Val negativo") << val << QVariant("-42") << QVariant(-42LL);
        QTest::newRow("Right") << QStringLiteral(R"(SELECT "Right"(?, 3))") << QVariant("0000123")
            << QVariant("123");
        // clang-format on
    }
    void funcionesSql() {
        QFETCH(QString, sql);
        QFETCH(QVariant, parametro);
        QFETCH(QVariant, valor);
        auto con = nueva();
        if (!valor.isValid()) {
            QVERIFY_THROWS_EXCEPTION(ErrorBD, con->valor(sql, {parametro}));
            return;
        }
        const QVariant leido = con->valor(sql, {parametro});
        QCOMPARE(leido.isNull(), valor.isNull());
        if (valor.isNull()) return;
        QCOMPARE(leido, valor);
        QCOMPARE(leido.typeId(), valor.typeId());  // Val da números, que se ordenan como tales
    }

    // Un archivo que no existe no se crea al abrirlo. Los esquemas se pueden crear dos veces;
    // las columnas de importes de la tabla de trabajo son texto vacío de entrada.
    void esquemas() {
        QVERIFY_THROWS_EXCEPTION(ErrorBD, Conexion::abrir(dir_.filePath(QStringLiteral("no.db"))));
        auto conta = nueva();
        Esquemas::crearContabilidad(*conta);
        Esquemas::crearContabilidad(*conta);
        auto inf = nueva();
        Esquemas::crearInformes(*inf);
        inf->Execute(QStringLiteral("INSERT INTO Balances (Nivel) VALUES (1)"));
        inf->Execute(QStringLiteral("INSERT INTO Balances (Nivel) VALUES (2)"));
        QCOMPARE(inf->valor(QStringLiteral("SELECT Presupuesto FROM Balances WHERE IDBalance = 2")),
                 QVariant(QString()));
        QCOMPARE(inf->valor(QStringLiteral("SELECT MAX(IDBalance) FROM Balances")).toInt(), 2);
    }

    // Libros de antes, sin la columna: se leen sin NIF, un NIF malo (corto, con una letra no
    // latina) o de una empresa que no está no los toca, y uno bueno crea la columna y se guarda
    // sin separadores y en mayúsculas; en blanco, quita el NIF.
    void nifEnLibrosSinColumna() {
        auto con = nueva();
        con->ejecutarScript(
            QStringLiteral("CREATE TABLE Empresa (IDEmpresa INTEGER PRIMARY KEY, Nombre TEXT);"
                           "INSERT INTO Empresa VALUES (1, 'A');"));
        QCOMPARE(DatosEmpresa::nif(*con, 1), QString());
        for (const char* malo : {"X1", "B5012345Ñ"})
            QVERIFY_THROWS_EXCEPTION(ErrorOrvo,
                                     DatosEmpresa::guardarNif(*con, 1, QString::fromUtf8(malo)));
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo,
                                 DatosEmpresa::guardarNif(*con, 2, QStringLiteral("B50123456")));
        QVERIFY(!con->existeColumna(QStringLiteral("Empresa"), QStringLiteral("NIF")));
        DatosEmpresa::guardarNif(*con, 1, QStringLiteral(" b-50.123.456 "));
        QVERIFY(con->existeColumna(QStringLiteral("empresa"), QStringLiteral("nif")));
        QCOMPARE(DatosEmpresa::nif(*con, 1), QStringLiteral("B50123456"));
        DatosEmpresa::guardarNif(*con, 1, QStringLiteral("  "));
        QCOMPARE(DatosEmpresa::nif(*con, 1), QString());
    }

    void instruccionPreparadaSeReutiliza() {
        auto con = nueva();
        con->Execute(QStringLiteral("CREATE TABLE t (a TEXT, n INTEGER)"));
        Instruccion ins = con->preparar(QStringLiteral("INSERT INTO t VALUES (?, ?)"));
        ins.ejecutar({QStringLiteral("O'Donnell \"el\" de Cádiz"), 1});
        ins.enlazarTexto(1, "ñu");
        ins.enlazarEntero(2, 2);
        ins.ejecutar();
        ins.ejecutar({QVariant(), 3});
        Recordset rs = con->Execute(QStringLiteral("SELECT a, n FROM t ORDER BY n"));
        QCOMPARE(rs.Fields(0).toString(), QStringLiteral("O'Donnell \"el\" de Cádiz"));
        rs.MoveNext();
        QCOMPARE(QString::fromUtf8(rs.textoUtf8(0)), QStringLiteral("ñu"));
        QCOMPARE(rs.entero(rs.indice(QStringLiteral("N"))), 2);
        rs.MoveNext();
        QVERIFY(rs.Fields(0).isNull());
        QVERIFY(rs.textoUtf8(0).isEmpty());
        QVERIFY_THROWS_EXCEPTION(ErrorBD, rs.Fields(QStringLiteral("z")));
        QVERIFY_THROWS_EXCEPTION(ErrorBD, ins.ejecutar({1}));  // faltan valores
    }

    // Una instrucción que falla lleva su SQL y el mensaje de la base (para la bitácora; la
    // descripción, para la persona, dice lo que falta); la preparada sigue sirviendo.
    void instruccionQueFallaLlevaElSql() {
        auto con = nueva();
        try {
            con->Execute(QStringLiteral("SELECT * FROM NoExiste"));
            QFAIL("debía fallar");
        } catch (const ErrorBD& e) {
            QVERIFY(e.sql().contains(QStringLiteral("NoExiste")));
            QVERIFY(e.mensajeMotor().contains(QStringLiteral("no such table")));
            QVERIFY(e.descripcion().contains(QStringLiteral("le falta la tabla NoExiste")));
            QVERIFY(!e.descripcion().contains(QStringLiteral("SELECT")));
        }
        con->Execute(QStringLiteral("CREATE TABLE t (a TEXT NOT NULL)"));
        Instruccion ins = con->preparar(QStringLiteral("INSERT INTO t VALUES (?)"));
        try {
            ins.ejecutar({QVariant()});
            QFAIL("debía fallar");
        } catch (const ErrorBD& e) {
            QVERIFY(e.sql().contains(QStringLiteral("INSERT INTO t")));
        }
        ins.ejecutar({QStringLiteral("sigue sirviendo")});
        QCOMPARE(con->valor(QStringLiteral("SELECT count(*) FROM t")).toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(ErrorBD,
                                 con->preparar(QStringLiteral("INSERT INTO nada VALUES (1)")));
    }

    void formatearEnCoincideConFormatear_data() {
        QTest::addColumn<qlonglong>("diezmilesimas");
        QTest::newRow("cero") << 0LL;
        QTest::newRow("media peseta") << 5000LL;
        QTest::newRow("millones") << 12345678912345LL;
        QTest::newRow("negativo") << -12345005LL;
        QTest::newRow("casi cero negativo") << -49LL;
        QTest::newRow("mayor posible") << std::numeric_limits<qint64>::max();
        QTest::newRow("menor posible") << -std::numeric_limits<qint64>::max();
    }
    void formatearEnCoincideConFormatear() {
        QFETCH(qlonglong, diezmilesimas);
        const Moneda m = Moneda::deDiezmilesimas(diezmilesimas);
        for (bool decimales : {true, false}) {
            char b[Moneda::kLargoFormateado];
            const int n = m.formatearEn(b, decimales);
            QVERIFY(n <= Moneda::kLargoFormateado);
            QCOMPARE(QString::fromLatin1(b, n), m.formatear(decimales));
        }
    }
};

QTEST_GUILESS_MAIN(PruebaConexion)
#include "prueba_conexion.moc"
