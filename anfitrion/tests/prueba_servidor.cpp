// Los libros de un despacho en un servidor: ocho informes a la vez mientras otro proceso asienta,
// un usuario que solo puede leer, importar y comprobar, y las conexiones que fallan.
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "Conexion.h"
#include "Moneda.h"
#include "ServidorPruebas.h"

using namespace orvo;

namespace {

// La URI de los libros con otro usuario o en otra base.
QString uriCon(const QString& base, const QString& usuario = {}, const QString& clave = {}) {
    QUrl u(base);
    if (!usuario.isEmpty()) u.setUserName(usuario);
    if (!clave.isEmpty()) u.setPassword(clave);
    return u.toString();
}

QString formula(const QJsonObject& volcado, const QString& nombre) {
    for (const QJsonValue& f :
         volcado[QStringLiteral("informe")][QStringLiteral("formulas")].toObject())
        if (f.toString().section(u'=', 0, 0).trimmed() == nombre)
            return f.toString().section(u'=', 1).trimmed().remove(u'"');
    return {};
}

QString totalDeFila(const QJsonObject& volcado, const QString& columnaCodigo, const QString& codigo,
                    const QString& columnaTotal) {
    for (const QJsonValue& f : volcado[QStringLiteral("filas")].toArray())
        if (f[columnaCodigo].toString() == codigo) return f[columnaTotal].toString();
    return {};
}

}  // namespace

class PruebaServidor : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString libros_;
    int n_ = 0;

    // Argumentos de un informe al archivo n.pdf, con su volcado n.json.
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
                           base + QStringLiteral(".pdf"),
                           QStringLiteral("--volcado"),
                           base + QStringLiteral(".json")} +
               extra;
    }
    static QJsonObject volcado(const QStringList& args) {
        QFile f(args.at(args.indexOf(QStringLiteral("--volcado")) + 1));
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                           : QJsonObject();
    }

    // Un asiento de 'euros' del banco a ventas en marzo, con las sumas de las cuentas y sus
    // padres, en una transacción: quien lea ve todo o nada.
    static void asentar(Conexion& con, int unidades) {
        const Moneda euros = Moneda::deEntero(unidades);
        const Moneda pesetas = Moneda::deEntero(qRound64(unidades * 166.386));
        Transaccion t(con);
        const QVariant asiento =
            con.valor(QStringLiteral("SELECT MAX(IDAsiento) + 1 FROM Asiento"));
        con.Execute(QStringLiteral("INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) "
                                   "VALUES (?, 1, ?, '20230315')"),
                    {asiento, asiento});
        for (const auto& [subcuenta, lado] :
             {std::pair{QStringLiteral("5720001"), QStringLiteral("Debe")},
              std::pair{QStringLiteral("7000000"), QStringLiteral("Haber")}}) {
            for (QString codigo = subcuenta; !codigo.isEmpty(); codigo.chop(1)) {
                const QStringList c{lado + QStringLiteral("03Euros"), lado + QStringLiteral("03"),
                                    lado + QStringLiteral("TotalEuros"),
                                    lado + QStringLiteral("Total")};
                Recordset rs = con.Execute(
                    QStringLiteral("SELECT IDCuenta, %1 FROM Cuenta WHERE CodEmpresa = 1 AND "
                                   "Codigo = ?")
                        .arg(c.join(u',')),
                    {codigo});
                if (rs.Eof()) continue;
                const auto mas = [&](int c, Moneda m, bool decimales) {
                    return (Moneda::deColumna(rs.Fields(c)) + m).formatear(decimales);
                };
                con.Execute(QStringLiteral("UPDATE Cuenta SET %1 = ? WHERE IDCuenta = ?")
                                .arg(c.join(QStringLiteral(" = ?, "))),
                            {mas(1, euros, true), mas(2, pesetas, false), mas(3, euros, true),
                             mas(4, pesetas, false), rs.Fields(0)});
            }
            const bool debe = lado == u"Debe";
            con.Execute(
                QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, "
                               "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros) SELECT ?, IDCuenta, "
                               "'Venta al contado', ?, ?, ?, ? FROM Cuenta WHERE CodEmpresa = 1 "
                               "AND Codigo = ?"),
                {asiento, debe ? pesetas.formatear(false) : QStringLiteral("0"),
                 debe ? QStringLiteral("0") : pesetas.formatear(false),
                 debe ? euros.formatear(true) : QStringLiteral("0,00"),
                 debe ? QStringLiteral("0,00") : euros.formatear(true), subcuenta});
        }
        t.confirmar();
    }

  private slots:
    void initTestCase() {
        ORVO_SALTAR_SIN_SERVIDOR();
        libros_ = prueba::baseNuevaEnServidor(QStringLiteral("orvo_despacho"));
        QProcess p;
        p.start(QStringLiteral(ORVO_INFORMES_EXE), {QStringLiteral("ejemplo"), libros_});
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        auto con = Conexion::abrir(libros_);
        con->ejecutarScript(
            QStringLiteral("DROP ROLE IF EXISTS orvo_lector; DROP ROLE IF EXISTS orvo_sin_permiso; "
                           "CREATE ROLE orvo_lector LOGIN PASSWORD 'lee'; "
                           "GRANT SELECT ON ALL TABLES IN SCHEMA public TO orvo_lector; "
                           "CREATE ROLE orvo_sin_permiso LOGIN PASSWORD 'nada';"));
    }

    // Ocho informes a la vez y un noveno proceso (este) que asienta mientras tanto: todos
    // imprimen, cada sumas y saldos cuadra en su instantánea y nadie espera a un cerrojo.
    void ochoInformesMientrasSeAsienta() {
        const QList<QStringList> pedidos{
            argumentos(libros_, QStringLiteral("ImprimirBalanceSumasySaldos"), 1),
            argumentos(libros_, QStringLiteral("ImprimirBalanceSumasySaldos"), 1,
                       {QStringLiteral("--pesetas")}),
            argumentos(libros_, QStringLiteral("ImprimirBalanceSumasySaldos"), 2),
            argumentos(libros_, QStringLiteral("ImprimirBalanceSumasySaldos"), 3),
            argumentos(libros_, QStringLiteral("ImprimirBalanceSituacion"), 1),
            argumentos(libros_, QStringLiteral("ImprimirBalancePYGComp"), 2),
            argumentos(libros_, QStringLiteral("ImprimirLibroDiario"), 1),
            argumentos(libros_, QStringLiteral("ImprimirLibroMayor"), 1)};
        std::vector<std::unique_ptr<QProcess>> procesos;
        for (const QStringList& a : pedidos) {
            procesos.push_back(std::make_unique<QProcess>());
            procesos.back()->start(QStringLiteral(ORVO_INFORMES_EXE), a);
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
            asentar(*con, 100 + asientos);
            ++asientos;
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
            QCOMPARE(p.state(), QProcess::NotRunning);
            QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
                     p.readAllStandardError().constData());
            const QJsonObject v = volcado(pedidos[i]);
            QVERIFY(v[QStringLiteral("filas")].toArray().size() > 3);
            if (pedidos[i].first() == u"ImprimirBalanceSumasySaldos") {
                const QString debe = formula(v, QStringLiteral("TotalDebe"));
                QVERIFY(!debe.isEmpty());
                QCOMPARE(formula(v, QStringLiteral("TotalHaber")), debe);
            }
        }
        qInfo("%d asientos mientras se imprimían los informes", asientos);
    }

    // Un usuario que solo puede leer imprime los balances con el resultado del periodo.
    void usuarioDeSoloLectura_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("columnaCodigo");
        QTest::addColumn<QString>("columnaTotal");
        QTest::newRow("situación") << "ImprimirBalanceSituacion"
                                   << "Codigo"
                                   << "Total";
        QTest::newRow("pérdidas y ganancias") << "ImprimirBalancePYG"
                                              << ""
                                              << "";
        QTest::newRow("situación comparativo") << "ImprimirBalanceSituacionComp"
                                               << "CodigoA"
                                               << "TotalA";
        QTest::newRow("pérdidas y ganancias comparativo") << "ImprimirBalancePYGComp"
                                                          << ""
                                                          << "";
    }
    void usuarioDeSoloLectura() {
        QFETCH(QString, operacion);
        QFETCH(QString, columnaCodigo);
        QFETCH(QString, columnaTotal);
        const QStringList a = argumentos(
            uriCon(libros_, QStringLiteral("orvo_lector"), QStringLiteral("lee")), operacion, 2);
        QProcess p;
        p.start(QStringLiteral(ORVO_INFORMES_EXE), a);
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QJsonObject v = volcado(a);
        QVERIFY(v[QStringLiteral("filas")].toArray().size() > 3);
        if (!columnaCodigo.isEmpty()) {
            // La 129 lleva el resultado del periodo, y el activo cuadra con el pasivo.
            QVERIFY(!totalDeFila(v, columnaCodigo, QStringLiteral("PA.1.7"), columnaTotal).isEmpty());
            QCOMPARE(totalDeFila(v, columnaCodigo, QStringLiteral("PT"), columnaTotal),
                     totalDeFila(v, columnaCodigo, QStringLiteral("AT"), columnaTotal));
        }
    }

    // Importar y comprobar sobre una base del servidor: una importación rechazada no deja nada,
    // ni las tablas; la buena deja unos libros que comprobar da por buenos.
    void importarYComprobar() {
        const QString base = prueba::baseNuevaEnServidor(QStringLiteral("orvo_importada"));
        const auto orden = [&](const QStringList& a) {
            QProcess p;
            p.start(QStringLiteral(ORVO_INFORMES_EXE), a);
            p.waitForFinished(120000);
            return p.exitCode();
        };
        const auto importar = [&](const QByteArray& csv) {
            const QString ruta = dir_.filePath(QStringLiteral("diario.csv"));
            QFile f(ruta);
            f.open(QIODevice::WriteOnly);
            f.write("Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n" + csv);
            f.close();
            return orden({QStringLiteral("importar"), ruta, QStringLiteral("--contabilidad"), base,
                          QStringLiteral("--empresa"), QStringLiteral("7")});
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
        QCOMPARE(orden({QStringLiteral("comprobar"), QStringLiteral("--contabilidad"), base,
                        QStringLiteral("--empresa"), QStringLiteral("7")}),
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
        const QString json = aqui.filePath(QStringLiteral("v.json"));
        QProcess p;
        QElapsedTimer reloj;
        reloj.start();
        p.start(QStringLiteral(ORVO_INFORMES_EXE),
                {QStringLiteral("ImprimirBalanceSituacion"), QStringLiteral("--contabilidad"), uri,
                 QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--ruta"), app,
                 QStringLiteral("--volcado"), json});
        QVERIFY(p.waitForFinished(15000));
        QVERIFY(reloj.elapsed() < 10000);
        QCOMPARE(p.exitCode(), 1);
        const QStringList lineas =
            QString::fromUtf8(p.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lineas.size(), 1);
        QVERIFY2(lineas[0].contains(mensaje), qPrintable(lineas[0]));
        QVERIFY2(!lineas[0].contains(QStringLiteral("mala")) &&
                     !lineas[0].contains(QStringLiteral(":nada@")),
                 "la contraseña no se muestra");
        QVERIFY(!QFile::exists(app));
        QVERIFY(!QFile::exists(json));
    }
};

QTEST_GUILESS_MAIN(PruebaServidor)
#include "prueba_servidor.moc"
