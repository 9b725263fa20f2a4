// Los libros de un despacho en un servidor: ocho informes a la vez mientras otro proceso asienta,
// un usuario que solo puede leer, importar y comprobar, y las conexiones que fallan.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "Asentar.h"
#include "Conexion.h"
#include "Moneda.h"
#include "OrdenPrueba.h"
#include "PeticionesEjemplo.h"
#include "ServidorPruebas.h"

using namespace orvo;

namespace {

// La URI de los libros con otro usuario y su contraseña.
QString uriCon(const QString& base, const QString& usuario, const QString& clave) {
    QUrl u(base);
    u.setUserName(usuario);
    u.setPassword(clave);
    return u.toString();
}

}  // namespace

class PruebaServidor : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString libros_;
    int n_ = 0;

    // Argumentos de un informe al archivo n.pdf; su volcado, en n.json.
    QStringList argumentos(const QString& libros, const QString& operacion, int empresa,
                           const QStringList& extra = {}) {
        const QString base = dir_.filePath(QString::number(++n_));
        return QStringList{operacion,
                           QStringLiteral("--contabilidad"),
                           libros,
                           QStringLiteral("--empresa"),
                           QString::number(empresa),
                           QStringLiteral("--ruta"),  // cada puesto con su Informes.mdb
                           base,
                           QStringLiteral("--archivo"),
                           base + QStringLiteral(".pdf")} +
               extra;
    }
    static QString json(const QStringList& args) {
        return args[args.indexOf(QStringLiteral("--ruta")) + 1] + QStringLiteral(".json");
    }

    // Un asiento de 'unidades' euros del banco a ventas en marzo, pasado a las sumas por la
    // rutina de asientos, en una transacción: quien lea ve todo o nada.
    static void asentar(Conexion& con, int unidades) {
        const QString euros = Moneda::deEntero(unidades).formatear(true);
        const QString pesetas = Moneda::deEntero(qRound64(unidades * 166.386)).formatear(false);
        Transaccion t(con);
        const QVariant asiento =
            con.valor(QStringLiteral("SELECT MAX(IDAsiento) + 1 FROM Asiento"));
        con.Execute(QStringLiteral("INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) "
                                   "VALUES (?, 1, ?, '20230315')"),
                    {asiento, asiento});
        for (const bool debe : {true, false})
            con.Execute(
                QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, "
                               "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros) SELECT ?, IDCuenta, "
                               "'Venta al contado', ?, ?, ?, ? FROM Cuenta WHERE CodEmpresa = 1 "
                               "AND Codigo = ?"),
                {asiento, debe ? pesetas : QStringLiteral("0"),
                 debe ? QStringLiteral("0") : pesetas, debe ? euros : QStringLiteral("0,00"),
                 debe ? QStringLiteral("0,00") : euros,
                 debe ? QStringLiteral("5720001") : QStringLiteral("7000000")});
        Asientos::asentar(con, 1);
        t.confirmar();
    }

  private slots:
    void initTestCase() {
        ORVO_SALTAR_SIN_SERVIDOR();
        libros_ = prueba::baseNuevaEnServidor(QStringLiteral("orvo_despacho"));
        const prueba::Ejecucion e = prueba::ejecutarOrden({QStringLiteral("ejemplo"), libros_});
        QVERIFY2(e.codigo == 0, qPrintable(e.error));
        Conexion::abrir(libros_)->ejecutarScript(
            QStringLiteral("DROP ROLE IF EXISTS orvo_lector; DROP ROLE IF EXISTS orvo_sin_permiso; "
                           "CREATE ROLE orvo_lector LOGIN PASSWORD 'lee'; "
                           "GRANT SELECT ON ALL TABLES IN SCHEMA public TO orvo_lector; "
                           "CREATE ROLE orvo_sin_permiso LOGIN PASSWORD 'nada';"));
    }

    // Ocho informes a la vez y un noveno proceso (este) que asienta mientras tanto: todos
    // imprimen, cada sumas y saldos cuadra en su instantánea y nadie espera a un cerrojo.
    void ochoInformesMientrasSeAsienta() {
        const QString sumas = QStringLiteral("ImprimirBalanceSumasySaldos");
        const QList<QStringList> pedidos{
            argumentos(libros_, sumas, 1),
            argumentos(libros_, sumas, 1, {QStringLiteral("--pesetas")}),
            argumentos(libros_, sumas, 2),
            argumentos(libros_, sumas, 3),
            argumentos(libros_, QStringLiteral("ImprimirBalanceSituacion"), 1),
            argumentos(libros_, QStringLiteral("ImprimirBalancePYGComp"), 2),
            argumentos(libros_, QStringLiteral("ImprimirLibroDiario"), 1),
            argumentos(libros_, QStringLiteral("ImprimirLibroMayor"), 1)};
        std::vector<std::unique_ptr<QProcess>> procesos;
        for (const QStringList& a : pedidos) {
            procesos.push_back(std::make_unique<QProcess>());
            procesos.back()->start(QStringLiteral(ORVO_INFORMES_EXE),
                                   a + QStringList{QStringLiteral("--volcado"), json(a)});
        }
        auto con = Conexion::abrir(libros_);
        int asientos = 0, esperas = 0;
        const auto quedan = [&] {
            for (const auto& p : procesos)
                if (p->state() != QProcess::NotRunning) return true;
            return false;
        };
        QElapsedTimer reloj;
        reloj.start();
        while ((quedan() || asientos < 3) && reloj.elapsed() < 300000) {
            asentar(*con, 100 + asientos++);
            // Solo esta base: otras pruebas usan el mismo servidor a la vez.
            esperas += con->valor(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE "
                                                 "datname = current_database() AND "
                                                 "wait_event_type = 'Lock'"))
                           .toInt();
            for (const auto& p : procesos) p->waitForFinished(20);
        }
        QCOMPARE(esperas, 0);
        for (qsizetype i = 0; i < pedidos.size(); ++i) {
            QProcess& p = *procesos[i];
            QVERIFY2(p.state() == QProcess::NotRunning && p.exitStatus() == QProcess::NormalExit &&
                         p.exitCode() == 0,
                     p.readAllStandardError().constData());
            QFile f(json(pedidos[i]));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QJsonObject v = QJsonDocument::fromJson(f.readAll()).object();
            QVERIFY(v[QStringLiteral("filas")].toArray().size() > 3);
            if (pedidos[i].first() == sumas) {
                const QString debe = prueba::formula(v, QStringLiteral("TotalDebe"));
                QVERIFY(!debe.isEmpty());
                QCOMPARE(prueba::formula(v, QStringLiteral("TotalHaber")), debe);
            }
        }
        qInfo("%d asientos mientras se imprimían los informes", asientos);
    }

    // Un usuario que solo puede leer imprime los balances, los de situación con el resultado
    // del periodo en la 129 (que no se puede escribir en los libros).
    void usuarioDeSoloLectura() {
        const QString lector =
            uriCon(libros_, QStringLiteral("orvo_lector"), QStringLiteral("lee"));
        for (const char* op : {"ImprimirBalanceSituacion", "ImprimirBalancePYG",
                               "ImprimirBalanceSituacionComp", "ImprimirBalancePYGComp"}) {
            const QStringList a = argumentos(lector, QString::fromLatin1(op), 2);
            const prueba::Ejecucion e = prueba::ejecutarOrden(a, json(a));
            QVERIFY2(e.codigo == 0, qPrintable(e.error));
            const QStringList codigos = e.filas(QStringLiteral("Codigo,CodigoA"));
            QVERIFY2(codigos.size() > 3, op);
            if (!QByteArray(op).contains("PYG"))
                QVERIFY2(codigos.contains(QStringLiteral("PA.1.7|")) ||
                             codigos.contains(QStringLiteral("|PA.1.7")),
                         op);
        }
    }

    // Importar y comprobar sobre una base del servidor: una importación rechazada no deja nada,
    // ni las tablas; la buena deja unos libros que comprobar da por buenos.
    void importarYComprobar() {
        const QString base = prueba::baseNuevaEnServidor(QStringLiteral("orvo_importada"));
        const QString ruta = dir_.filePath(QStringLiteral("diario.csv"));
        const auto importar = [&](const QByteArray& csv) {
            QFile f(ruta);
            f.open(QIODevice::WriteOnly);
            f.write("Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n" + csv);
            f.close();
            return prueba::ejecutarOrden({QStringLiteral("importar"), ruta,
                                          QStringLiteral("--contabilidad"), base,
                                          QStringLiteral("--empresa"), QStringLiteral("7")})
                .codigo;
        };
        const QByteArray bueno =
            "02/01/2024;1;5720001;Capital;3.000,00;\n02/01/2024;1;1000001;Capital;;3.000,00\n";
        QCOMPARE(importar(bueno + "03/01/2024;2;6290001;Gasto;100,00;\n"
                                  "03/01/2024;2;5720001;Gasto;;90,00\n"),
                 1);
        auto con = Conexion::abrir(base);
        QCOMPARE(con->valor(QStringLiteral("SELECT count(*) FROM information_schema.tables "
                                           "WHERE table_schema = 'public'"))
                     .toInt(),
                 0);
        QCOMPARE(importar(bueno), 0);
        QCOMPARE(con->valor(QStringLiteral("SELECT count(*) FROM Apunte")).toInt(), 2);
        QCOMPARE(
            prueba::ejecutarOrden({QStringLiteral("comprobar"), QStringLiteral("--contabilidad"),
                                   base, QStringLiteral("--empresa"), QStringLiteral("7")})
                .codigo,
            0);
    }

    // Una conexión que no vale: un mensaje en español, salida 1, pronto y sin escribir nada.
    void conexionesQueFallan_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("mensaje");
        QUrl parado(libros_);
        parado.setQuery(QStringLiteral("host=") + dir_.filePath(QStringLiteral("sin-servidor")));
        QUrl otraBase(libros_);
        otraBase.setPath(QStringLiteral("/orvo_no_existe"));
        QTest::newRow("contraseña mala")
            << uriCon(libros_, QStringLiteral("orvo_lector"), QStringLiteral("mala"))
            << "el servidor no acepta el usuario o la contraseña";
        QTest::newRow("servidor parado") << parado.toString() << "el servidor no está disponible";
        QTest::newRow("base que no existe")
            << otraBase.toString() << "no existe esa base de datos en el servidor";
        QTest::newRow("base sin libros")
            << prueba::baseNuevaEnServidor(QStringLiteral("orvo_vacia"))
            << "no es una base de contabilidad";
        QTest::newRow("usuario sin permiso")
            << uriCon(libros_, QStringLiteral("orvo_sin_permiso"), QStringLiteral("nada"))
            << "El usuario del servidor no tiene permiso para leer los libros";
    }
    void conexionesQueFallan() {
        QFETCH(QString, uri);
        QFETCH(QString, mensaje);
        QTemporaryDir aqui;
        const QString app = aqui.filePath(QStringLiteral("app"));
        const QString volcado = aqui.filePath(QStringLiteral("v.json"));
        QElapsedTimer reloj;
        reloj.start();
        const prueba::Ejecucion e = prueba::ejecutarOrden(
            {QStringLiteral("ImprimirBalanceSituacion"), QStringLiteral("--contabilidad"), uri,
             QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--ruta"), app,
             QStringLiteral("--volcado"), volcado},
            {}, 15000);
        QVERIFY(reloj.elapsed() < 10000);
        QCOMPARE(e.codigo, 1);
        const QStringList lineas = e.error.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lineas.size(), 1);
        QVERIFY2(lineas[0].contains(mensaje), qPrintable(lineas[0]));
        QVERIFY2(!lineas[0].contains(QStringLiteral("mala")) &&
                     !lineas[0].contains(QStringLiteral(":nada@")),
                 "la contraseña no se muestra");
        QVERIFY(!QFile::exists(app));
        QVERIFY(!QFile::exists(volcado));
    }
};

QTEST_GUILESS_MAIN(PruebaServidor)
#include "prueba_servidor.moc"
