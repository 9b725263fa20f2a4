// Cada fallo de la base de datos llega a la persona en una línea en español que dice qué ha
// pasado y qué hacer, sin SQL; la instrucción y el texto del motor quedan en la bitácora. En los
// dos motores: un archivo SQLite y, si lo hay, el servidor PostgreSQL de las pruebas.
#include <QFile>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "Bitacora.h"
#include "Conexion.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "ServidorPruebas.h"

using namespace orvo;

namespace {

using Provocar = std::function<void()>;

// Palabras del SQL que una línea para la persona nunca lleva (en mayúsculas, como se escriben).
const QRegularExpression kSql(QStringLiteral(
    "\\b(SELECT|INSERT|UPDATE|DELETE|FROM|WHERE|VALUES|LOCK|BEGIN|DECLARE|FETCH)\\b"));

}  // namespace

Q_DECLARE_METATYPE(Provocar)

class PruebaFallos : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString servidor_;                   // una base con el esquema de los libros, si hay servidor
    std::shared_ptr<Conexion> bloqueo_;  // la otra sesión, que tiene los libros bloqueados

    std::shared_ptr<Conexion> archivo(const QString& nombre) {
        auto con = Conexion::abrir(dir_.filePath(nombre), true);
        Esquemas::crearContabilidad(*con);
        return con;
    }
    QString comoUsuario(const QString& usuario) const {
        QUrl u(servidor_);
        u.setUserName(usuario);
        u.setPassword(QStringLiteral("clave"));
        return u.toString();
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("ORVO_BITACORA", dir_.filePath(QStringLiteral("orvo.log")).toUtf8());
        qputenv("ORVO_ESPERA_CERROJOS", "1");
        if (prueba::uriServidorPruebas().isEmpty()) return;
        servidor_ = prueba::baseNuevaEnServidor(QStringLiteral("orvo_fallos"));
        auto con = Conexion::abrir(servidor_);
        Esquemas::crearContabilidad(*con);
        con->ejecutarScript(QStringLiteral(
            "DROP ROLE IF EXISTS orvo_fallos_lee; DROP ROLE IF EXISTS orvo_fallos_nada; "
            "CREATE ROLE orvo_fallos_lee LOGIN PASSWORD 'clave'; "
            "CREATE ROLE orvo_fallos_nada LOGIN PASSWORD 'clave'; "
            "GRANT SELECT ON ALL TABLES IN SCHEMA public TO orvo_fallos_lee; "
            "INSERT INTO Tipo_Cuenta (IDTipo_Cuenta, Descripcion) VALUES (1, 'Cuenta')"));
    }

    void unaLineaSinSql_data() {
        QTest::addColumn<bool>("enServidor");
        QTest::addColumn<Provocar>("provocar");
        QTest::addColumn<QString>("dice");
        // clang-format off
        QTest::newRow("archivo de solo lectura") << false << Provocar([this] {
            auto con = archivo(QStringLiteral("lectura.db"));
            con->Execute(QStringLiteral("PRAGMA query_only = ON"));
            con->Execute(QStringLiteral("INSERT INTO Tipo_Cuenta (Descripcion) VALUES ('x')"));
        }) << "es de solo lectura; pida permiso de escritura";
        QTest::newRow("disco lleno") << false << Provocar([this] {
            auto con = archivo(QStringLiteral("lleno.db"));
            con->Execute(QStringLiteral("PRAGMA max_page_count = 40"));
            con->Execute(QStringLiteral("INSERT INTO Tipo_Cuenta (Descripcion) VALUES "
                                        "(CAST(zeroblob(1000000) AS TEXT))"));
        }) << "está lleno y no se ha guardado nada";
        QTest::newRow("archivo bloqueado") << false << Provocar([this] {
            auto una = archivo(QStringLiteral("bloqueado.db"));
            Transaccion t(*una);
            auto otra = Conexion::abrir(dir_.filePath(QStringLiteral("bloqueado.db")));
            Transaccion espera(*otra);
        }) << "Los libros están bloqueados por otra sesión; pruebe más tarde";
        QTest::newRow("clave repetida en el archivo") << false << Provocar([this] {
            auto con = archivo(QStringLiteral("repetida.db"));
            for (int i = 0; i < 2; ++i)
                con->Execute(QStringLiteral("INSERT INTO Tipo_Cuenta VALUES (1, 'x')"));
        }) << "ya tienen un registro con la misma clave (tabla Tipo_Cuenta)";
        QTest::newRow("tabla que falta") << false << Provocar([this] {
            archivo(QStringLiteral("falta.db"))->Execute(QStringLiteral("SELECT * FROM Diario"));
        }) << "le falta la tabla Diario";
        QTest::newRow("sin permiso para leer") << true << Provocar([this] {
            Conexion::abrir(comoUsuario(QStringLiteral("orvo_fallos_nada")))
                ->Execute(QStringLiteral("SELECT * FROM Apunte"));
        }) << "no tiene permiso para leer los libros (tabla apunte)";
        QTest::newRow("sin permiso para escribir") << true << Provocar([this] {
            Conexion::abrir(comoUsuario(QStringLiteral("orvo_fallos_lee")))
                ->Execute(QStringLiteral("UPDATE Asiento SET Numero = 1"));
        }) << "no tiene permiso para escribir en los libros (tabla asiento)";
        QTest::newRow("servidor bloqueado") << true << Provocar([this] {
            bloqueo_ = Conexion::abrir(servidor_);
            bloqueo_->BeginTrans();
            bloqueo_->Execute(QStringLiteral("LOCK TABLE Apunte IN ACCESS EXCLUSIVE MODE"));
            Conexion::abrir(servidor_)->Execute(QStringLiteral("SELECT count(*) FROM Apunte"));
        }) << "Los libros están bloqueados por otra sesión; pruebe más tarde";
        QTest::newRow("clave repetida en el servidor") << true << Provocar([this] {
            Conexion::abrir(servidor_)->Execute(
                QStringLiteral("INSERT INTO Tipo_Cuenta (IDTipo_Cuenta) VALUES (1)"));
        }) << "ya tienen un registro con la misma clave (tabla tipo_cuenta)";
        QTest::newRow("conexión perdida") << true << Provocar([this] {
            auto con = Conexion::abrir(servidor_);
            const QVariant pid = con->valor(QStringLiteral("SELECT pg_backend_pid()"));
            Conexion::abrir(servidor_)->valor(QStringLiteral("SELECT pg_terminate_backend(?)"),
                                              {pid});
            con->valor(QStringLiteral("SELECT count(*) FROM Cuenta"));
        }) << "Se ha perdido la conexión con el servidor de contabilidad";
        // clang-format on
    }
    void unaLineaSinSql() {
        QFETCH(bool, enServidor);
        QFETCH(Provocar, provocar);
        QFETCH(QString, dice);
        if (enServidor) ORVO_SALTAR_SIN_SERVIDOR();
        QFile bitacora(qEnvironmentVariable("ORVO_BITACORA"));
        const qint64 antes = bitacora.exists() ? bitacora.size() : 0;
        try {
            provocar();
            bloqueo_.reset();
            QFAIL("debía fallar");
        } catch (const ErrorBD& e) {
            bloqueo_.reset();
            const QString linea = e.descripcion();
            QVERIFY2(linea.contains(dice), qPrintable(linea));
            QVERIFY2(!linea.contains(u'\n') && !kSql.match(linea).hasMatch(), qPrintable(linea));
            QVERIFY(!e.sql().isEmpty() && !e.mensajeMotor().isEmpty());
            // La bitácora guarda lo que la línea no dice: la instrucción y el texto del motor.
            QVERIFY(bitacora.open(QIODevice::ReadOnly));
            bitacora.seek(antes);
            const QString anotado = QString::fromUtf8(bitacora.readAll());
            QVERIFY2(anotado.contains(linea) && anotado.contains(e.sql().simplified()) &&
                         anotado.contains(e.mensajeMotor().section(u'\n', 0, 0)),
                     qPrintable(anotado));
            // Y lo mismo para el volcado de la orden.
            const QJsonObject ultima = Bitacora::anotaciones().last().toObject();
            QCOMPARE(ultima[QStringLiteral("mensaje")].toString(), linea);
            QCOMPARE(ultima[QStringLiteral("instruccion")].toString(), e.sql());
            QCOMPARE(ultima[QStringLiteral("motor")].toString(), e.mensajeMotor());
        }
    }
};

QTEST_GUILESS_MAIN(PruebaFallos)
#include "prueba_fallos.moc"
