// Un servidor que se comparte: quien escribe lo deja como estaba (la numeración de las claves),
// dos importaciones se turnan, nadie espera para siempre (a un cerrojo o a un servidor detenido),
// una importación no frena los informes de las demás empresas, y los informes se pueden sacar de
// una réplica. Todo por la línea de órdenes, como un despacho; sin servidor de pruebas
// (ORVO_PRUEBAS_POSTGRESQL) se salta, y lo de la réplica sin ORVO_PRUEBAS_REPLICA.
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "Conexion.h"
#include "OrdenPrueba.h"
#include "PeticionesEjemplo.h"
#include "ServidorPruebas.h"

using namespace orvo;

namespace {

// Clave del cerrojo de los escritores en el servidor (la de MotorPostgres).
constexpr qint64 kCerrojoEscritura = 0x4f52564f;

// Un diario CSV de 'asientos' asientos de dos líneas en el año 2024.
void escribirDiario(const QString& ruta, int asientos) {
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n");
    QByteArray b;
    for (int n = 1; n <= asientos; ++n) {
        const QByteArray fecha =
            QDate(2024, 1, 1).addDays(n % 365).toString("dd/MM/yyyy").toLatin1();
        const QByteArray importe = QByteArray::number(100 + n % 900) + ",25";
        const QByteArray cuenta = "62900" + QByteArray::number(10 + n % 80);
        b += fecha + ';' + QByteArray::number(n) + ';' + cuenta + ";Gasto del dia;" + importe +
             ";\n" + fecha + ';' + QByteArray::number(n) + ";5720001;Pago del gasto;;" + importe +
             '\n';
        if (b.size() > (1 << 20)) {
            f.write(b);
            b.clear();
        }
    }
    f.write(b);
}

// Variable de entorno que rige mientras vive el objeto (los procesos lanzados la heredan).
class Entorno {
  public:
    Entorno(const char* nombre, const QByteArray& valor) : nombre_(nombre) {
        qputenv(nombre, valor);
    }
    ~Entorno() { qunsetenv(nombre_); }

  private:
    const char* nombre_;
};

}  // namespace

class PruebaServidor : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString base_;  // los libros de ejemplo en el servidor
    int n_ = 0;

    static QStringList argumentosImportar(const QString& base, const QString& diario, int empresa) {
        return {"importar", diario, "--contabilidad", base, "--empresa", QString::number(empresa)};
    }
    static prueba::Ejecucion importar(const QString& base, const QString& diario, int empresa) {
        return prueba::ejecutarOrden(argumentosImportar(base, diario, empresa), {}, 600000);
    }
    // Un informe a un PDF, con su carpeta de la aplicación; su volcado, leído.
    QStringList argumentosInforme(const QString& libros, const QString& operacion, int empresa,
                                  const QStringList& controles = {}) {
        const QString carpeta = dir_.filePath(QString::number(++n_));
        QStringList a{operacion, "--contabilidad", libros, "--empresa", QString::number(empresa),
                      "--ruta", carpeta, "--archivo", carpeta + ".pdf"};
        for (const QString& c : controles) a << QStringLiteral("--control") << c;
        return a;
    }
    prueba::Ejecucion informe(const QString& libros, const QString& operacion, int empresa,
                              const QStringList& controles = {}) {
        const QStringList a = argumentosInforme(libros, operacion, empresa, controles);
        return prueba::ejecutarOrden(a, a[6] + QStringLiteral(".json"), 300000);
    }

    // Cada tabla numera sus claves nuevas por encima de la mayor: lo que da nextval, comparado
    // con la mayor clave de cada columna de identidad.
    static QStringList numeracionesAtrasadas(const QString& base) {
        auto con = Conexion::abrir(base);
        QList<QPair<QString, QString>> columnas;
        for (Recordset rs = con->Execute(QStringLiteral(
                 "SELECT c.relname, a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = "
                 "a.attrelid WHERE a.attidentity <> '' AND c.relnamespace = "
                 "CAST(current_schema() AS regnamespace)"));
             !rs.Eof(); rs.MoveNext())
            columnas.append({rs.Fields(0).toString(), rs.Fields(1).toString()});
        QStringList atrasadas;
        for (const auto& [tabla, columna] : columnas) {
            const QVariant bien = con->valor(
                QStringLiteral("SELECT nextval(pg_get_serial_sequence(?, ?)) > COALESCE(MAX(%1), "
                               "0) FROM %2")
                    .arg(identificador(columna), identificador(tabla)),
                {tabla, columna});
            if (!bien.toBool()) atrasadas << tabla;
        }
        return atrasadas;
    }

    // Espera a que la réplica haya repetido todo lo escrito hasta ahora en el servidor.
    static bool replicaAlDia(const QString& principal, const QString& replica) {
        const QVariant lsn =
            Conexion::abrir(principal)->valor(QStringLiteral("SELECT pg_current_wal_lsn()"));
        auto r = Conexion::abrir(replica);
        QElapsedTimer reloj;
        reloj.start();
        while (reloj.elapsed() < 60000) {
            if (r->valor(QStringLiteral("SELECT pg_last_wal_replay_lsn() >= CAST(? AS pg_lsn)"),
                         {lsn})
                    .toBool())
                return true;
            QThread::msleep(100);
        }
        return false;
    }

  private slots:
    void initTestCase() {
        ORVO_SALTAR_SIN_SERVIDOR();
        QVERIFY(dir_.isValid());
        qputenv("ORVO_BITACORA", dir_.filePath(QStringLiteral("orvo.log")).toUtf8());
        base_ = prueba::baseNuevaEnServidor(QStringLiteral("orvo_oficina"));
        const prueba::Ejecucion e = prueba::ejecutarOrden({QStringLiteral("ejemplo"), base_});
        QVERIFY2(e.codigo == 0, qPrintable(e.error));
    }

    // Tras cada escritor, todas las tablas siguen numerando por encima de su mayor clave: otro
    // programa inserta sin dar la clave, y la siguiente importación también.
    void escritoresDejanLaNumeracion() {
        QCOMPARE(numeracionesAtrasadas(base_), QStringList());

        const QString base = prueba::baseNuevaEnServidor(QStringLiteral("orvo_numeracion"));
        const QString diario = dir_.filePath(QStringLiteral("numeracion.csv"));
        escribirDiario(diario, 20);
        for (int empresa : {1, 2}) {
            const prueba::Ejecucion e = importar(base, diario, empresa);
            QVERIFY2(e.codigo == 0, qPrintable(e.error));
            QCOMPARE(numeracionesAtrasadas(base), QStringList());
        }
        auto con = Conexion::abrir(base);
        con->Execute(
            QStringLiteral("INSERT INTO Asiento (CodEmpresa, Numero, Fecha) VALUES "
                           "(2, 999, '20240601')"));

        // Unos libros con la numeración atrasada (de antes): comprobar --reparar la pone bien.
        con->Execute(
            QStringLiteral("SELECT setval(pg_get_serial_sequence('cuenta', 'idcuenta'), "
                           "1, false)"));
        QCOMPARE(numeracionesAtrasadas(base), QStringList{QStringLiteral("cuenta")});
        const prueba::Ejecucion c =
            prueba::ejecutarOrden({"comprobar", "--contabilidad", base, "--empresa", "1", "--reparar"});
        QVERIFY2(c.codigo == 0, qPrintable(c.error));
        QCOMPARE(numeracionesAtrasadas(base), QStringList());
    }

    // Dos importaciones a la vez en la misma base se turnan: las dos acaban bien, sin claves
    // repetidas ni interbloqueos; una tercera entra mientras se imprime un informe.
    void importacionesSeTurnan() {
        // La segunda espera su turno: con una máquina cargada, la primera puede tardar más que
        // el plazo de los cerrojos por omisión.
        const Entorno plazo("ORVO_ESPERA_CERROJOS", "300");
        const QString base = prueba::baseNuevaEnServidor(QStringLiteral("orvo_turnos"));
        const QString diario = dir_.filePath(QStringLiteral("turnos.csv"));
        escribirDiario(diario, 3000);
        std::vector<std::unique_ptr<QProcess>> procesos;
        for (int empresa : {11, 12}) {
            procesos.push_back(std::make_unique<QProcess>());
            procesos.back()->start(QStringLiteral(ORVO_INFORMES_EXE),
                                   argumentosImportar(base, diario, empresa));
        }
        for (auto& p : procesos) {
            QVERIFY(p->waitForFinished(300000));
            const QString error = QString::fromUtf8(p->readAllStandardError());
            QVERIFY2(p->exitCode() == 0, qPrintable(error));
        }
        QProcess tercera;
        tercera.start(QStringLiteral(ORVO_INFORMES_EXE), argumentosImportar(base, diario, 13));
        const prueba::Ejecucion i =
            informe(base, QStringLiteral("ImprimirBalanceSumasySaldos"), 11);
        QVERIFY2(i.codigo == 0, qPrintable(i.error));
        QVERIFY(tercera.waitForFinished(300000));
        QVERIFY2(tercera.exitCode() == 0, tercera.readAllStandardError().constData());
        QCOMPARE(
            Conexion::abrir(base)->valor(QStringLiteral("SELECT count(*) FROM Apunte")).toInt(),
            3 * 2 * 3000);
    }

    // Si otra escritura tiene los libros más allá del plazo, la importación lo dice (y quién),
    // en una línea, y sale con 1 sin tocar nada.
    void importacionOcupadaDiceQuien() {
        const Entorno plazo("ORVO_ESPERA_CERROJOS", "2");
        const QString diario = dir_.filePath(QStringLiteral("ocupada.csv"));
        escribirDiario(diario, 5);
        auto otra = Conexion::abrir(base_);
        otra->valor(QStringLiteral("SELECT pg_advisory_lock(?)"), {kCerrojoEscritura});
        QElapsedTimer reloj;
        reloj.start();
        const prueba::Ejecucion e = importar(base_, diario, 31);
        otra->valor(QStringLiteral("SELECT pg_advisory_unlock(?)"), {kCerrojoEscritura});
        QVERIFY(reloj.elapsed() < 2000 + 5000);
        prueba::fallaEnUnaLinea(e.codigo, e.error,
                        QStringLiteral("ocupados por otra escritura (postgres, prueba_servidor"));
        QCOMPARE(otra->valor(QStringLiteral("SELECT count(*) FROM Empresa WHERE IDEmpresa = 31"))
                     .toInt(),
                 0);
    }

    // Con Apunte bloqueado por otra sesión, un informe se rinde pasado el plazo de los cerrojos:
    // una línea en español, salida 1.
    void informeConLosLibrosBloqueados() {
        const Entorno plazo("ORVO_ESPERA_CERROJOS", "3");
        auto otra = Conexion::abrir(base_);
        Transaccion t(*otra);
        otra->Execute(QStringLiteral("LOCK TABLE Apunte IN ACCESS EXCLUSIVE MODE"));
        QElapsedTimer reloj;
        reloj.start();
        const prueba::Ejecucion e =
            informe(base_, QStringLiteral("ImprimirBalanceSumasySaldos"), 1);
        QVERIFY2(reloj.elapsed() < 3000 + 5000, qPrintable(QString::number(reloj.elapsed())));
        prueba::fallaEnUnaLinea(e.codigo, e.error,
                        QStringLiteral("bloqueados por otra sesión; pruebe más tarde"));
    }

    // Un servidor que deja de contestar (aquí, el proceso que atiende al informe, detenido) no
    // deja al informe esperando: pasado el plazo de la instrucción y un margen, lo da por perdido,
    // aunque el servidor siga aceptando conexiones nuevas cada vez que se le pregunta.
    void servidorDetenido() {
        const Entorno cerrojos("ORVO_ESPERA_CERROJOS", "120");
        const Entorno instruccion("ORVO_ESPERA_INSTRUCCION", "4");
        auto otra = Conexion::abrir(base_);
        Transaccion t(*otra);
        otra->Execute(QStringLiteral("LOCK TABLE Apunte IN ACCESS EXCLUSIVE MODE"));
        QProcess p;
        QElapsedTimer reloj;
        reloj.start();
        p.start(QStringLiteral(ORVO_INFORMES_EXE),
                argumentosInforme(base_, QStringLiteral("ImprimirBalanceSumasySaldos"), 1));
        auto vigia = Conexion::abrir(base_);
        qint64 pid = 0;
        while (!pid && reloj.elapsed() < 3000) {
            pid = vigia
                      ->valor(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = "
                                             "current_database() AND wait_event_type = 'Lock' "
                                             "AND application_name LIKE 'orvo-informes%'"))
                      .toLongLong();
            if (!pid) QThread::msleep(50);
        }
        if (!pid) {
            p.kill();
            p.waitForFinished();
            QSKIP("El informe no llegó a esperar al cerrojo a tiempo; la máquina va muy cargada");
        }
        if (kill(pid_t(pid), SIGSTOP) != 0) {
            p.kill();
            p.waitForFinished();
            QSKIP("Esta prueba no puede detener los procesos del servidor (otro usuario)");
        }
        const bool acabo = p.waitForFinished(20000);
        const qint64 tardo = reloj.elapsed();
        kill(pid_t(pid), SIGCONT);
        QVERIFY(acabo);
        QVERIFY2(tardo < 4000 + 5000 + 3000, qPrintable(QString::number(tardo)));
        prueba::fallaEnUnaLinea(p.exitCode(), QString::fromUtf8(p.readAllStandardError()),
                        QStringLiteral("no contesta"));
    }

    // Una importación grande de otra empresa no frena los informes ni a quien asienta: nada de
    // quitar índices ni de pedir otra vez los que ya hay (las dos cosas bloquean la tabla) en
    // una base que comparten varias empresas.
    void informeDuranteOtraImportacion() {
        const QString diario = dir_.filePath(QStringLiteral("grande.csv"));
        escribirDiario(diario, 100000);  // más de 8 MB
        QVERIFY(QFileInfo(diario).size() > (8 << 20));
        const QString sumas = QStringLiteral("ImprimirBalanceSumasySaldos");
        QElapsedTimer reloj;
        reloj.start();
        QVERIFY(informe(base_, sumas, 1).codigo == 0);
        const qint64 solo = reloj.elapsed();

        QProcess importacion;
        importacion.start(QStringLiteral(ORVO_INFORMES_EXE), argumentosImportar(base_, diario, 41));
        // Espera a que la importación escriba: tiene la reserva de los escritores.
        auto vigia = Conexion::abrir(base_);
        while (importacion.state() != QProcess::NotRunning &&
               vigia->valor(QStringLiteral("SELECT count(*) FROM pg_locks WHERE locktype = "
                                           "'advisory' AND granted AND objid = ?"),
                            {kCerrojoEscritura})
                       .toInt() == 0)
            QThread::msleep(50);
        QThread::msleep(1000);
        reloj.restart();
        const prueba::Ejecucion durante = informe(base_, sumas, 1);
        const qint64 tardo = reloj.elapsed();
        // Quien asienta otra empresa tampoco espera a que acabe la importación.
        const auto asentarOtra = [&] {
            const Entorno plazo("ORVO_ESPERA_CERROJOS", "5");
            auto otra = Conexion::abrir(base_);
            Transaccion t(*otra);
            otra->Execute(QStringLiteral(
                "UPDATE Asiento SET Fecha = Fecha WHERE CodEmpresa = 1 AND Numero = 1"));
            t.confirmar();
        };
        QVERIFY_THROWS_NO_EXCEPTION(asentarOtra());
        const bool importaba = importacion.state() != QProcess::NotRunning;
        QVERIFY(importacion.waitForFinished(600000));
        QVERIFY2(importacion.exitCode() == 0, importacion.readAllStandardError().constData());
        QVERIFY2(durante.codigo == 0, qPrintable(durante.error));
        QVERIFY2(importaba, "la importación acabó antes: no se ha medido nada");
        // En libros pequeños casi todo es arrancar el proceso: el mínimo, un segundo.
        QVERIFY2(
            tardo <= 2 * std::max<qint64>(solo, 1000),
            qPrintable(
                QStringLiteral("solo %1 ms, durante la importación %2 ms").arg(solo).arg(tardo)));
        qInfo("Sumas y saldos: solo %lld ms, durante la importación %lld ms", solo, tardo);
    }

    // Los informes de una réplica en espera activa son los del servidor principal una vez que
    // la réplica ha repetido lo escrito; una réplica no admite escrituras, así que un informe
    // que acaba bien en ella no ha escrito nada. Importar en ella lo dice en una línea.
    void informesEnLaReplica_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QStringList>("controles");
        for (const prueba::Peticion& p : prueba::peticionesEjemplo())
            QTest::newRow(p.operacion) << QString::fromLatin1(p.operacion) << p.empresa << p.controles;
    }
    void informesEnLaReplica() {
        QFETCH(QString, operacion);
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        ORVO_SALTAR_SIN_REPLICA();
        const QString enReplica = prueba::enReplicaPruebas(base_);
        QVERIFY(replicaAlDia(base_, enReplica));
        const prueba::Ejecucion principal = informe(base_, operacion, empresa, controles);
        const prueba::Ejecucion copia = informe(enReplica, operacion, empresa, controles);
        QVERIFY2(principal.codigo == 0, qPrintable(principal.error));
        QVERIFY2(copia.codigo == 0, qPrintable(copia.error));
        const QJsonArray filas = copia.volcado[QStringLiteral("filas")].toArray();
        QVERIFY(!filas.isEmpty());
        QVERIFY(filas == principal.volcado[QStringLiteral("filas")].toArray());
        QCOMPARE(copia.volcado[QStringLiteral("informe")][QStringLiteral("formulas")],
                 principal.volcado[QStringLiteral("informe")][QStringLiteral("formulas")]);
    }
    void replicaNoAdmiteEscrituras() {
        ORVO_SALTAR_SIN_REPLICA();
        const QString diario = dir_.filePath(QStringLiteral("replica.csv"));
        escribirDiario(diario, 5);
        const prueba::Ejecucion e = importar(prueba::enReplicaPruebas(base_), diario, 51);
        prueba::fallaEnUnaLinea(e.codigo, e.error, QStringLiteral("solo lectura"));
    }
};

QTEST_GUILESS_MAIN(PruebaServidor)
#include "prueba_servidor.moc"
