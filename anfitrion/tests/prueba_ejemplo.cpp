// Los libros de ejemplo son unos libros de verdad: asientos cuadrados, columnas mensuales
// iguales a lo que dicen los apuntes, pesetas y euros al cambio, cada cuenta en el epígrafe que
// le da el modelo de pymes de 2007 y balances que cuadran. Se crean e imprimen por el mismo
// camino que la línea de órdenes (orvo-informes ejemplo, y cada informe hasta el PDF, en euros y
// en pesetas), y el volcado de cada informe es, fila a fila, el que está guardado en volcados/
// (ORVO_REESCRIBIR_VOLCADOS=1 los reescribe a propósito, cuando un cambio de los informes o de
// los libros los cambia); los mismos libros en un servidor dan los mismos volcados. En el
// servidor, además, los de un despacho: ocho informes a la vez mientras otro proceso asienta,
// un usuario que solo puede leer, importar y comprobar, y las conexiones que fallan.
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "Asentar.h"
#include "BarraProgreso.h"
#include "Comprobar.h"
#include "Conexion.h"
#include "DoblesPrueba.h"
#include "ErrorOrvo.h"
#include "LibrosEjemplo.h"
#include "Moneda.h"
#include "OrdenPrueba.h"
#include "PeticionesEjemplo.h"
#include "ServidorPruebas.h"

using namespace orvo;

namespace {

Moneda importe(const QString& texto) {
    return Moneda::deTexto(texto).value_or(Moneda());
}

QString totalDeFila(const QJsonObject& volcado, const QString& codigo) {
    for (const QJsonValue& f : volcado[QStringLiteral("filas")].toArray())
        if (f[QStringLiteral("Codigo")].toString() == codigo)
            return f[QStringLiteral("Total")].toString();
    return {};
}

// Dónde pone el modelo de balance y de pérdidas y ganancias de pymes del plan de 2007 cada
// cuenta de tres cifras de los libros de ejemplo: documento, las cuentas (separadas por
// espacios) y la ruta de rótulos del epígrafe, de la masa al epígrafe, como los publica el modelo.
struct CuentasEnElModelo {
    int documento;
    const char* cuentas;
    QString epigrafe;
};
const QList<CuentasEnElModelo>& cuentasEnElModelo() {
    const QString fondos = QStringLiteral("A) PATRIMONIO NETO > A-1) Fondos propios. > ");
    const QString noCorriente = QStringLiteral("A) ACTIVO NO CORRIENTE > ");
    const QString deudores = QStringLiteral(
        "B) ACTIVO CORRIENTE > II. Deudores comerciales y otras cuentas a cobrar. > ");
    const QString acreedores = QStringLiteral(
        "C) PASIVO CORRIENTE > IV. Acreedores comerciales y otras cuentas a pagar. > ");
    // clang-format off
    static const QList<CuentasEnElModelo> t{
        {1, "100", fondos + "I. Capital. > 1. Capital escriturado."},
        {1, "112 113", fondos + "III. Reservas."},
        {1, "129", fondos + "VII. Resultado del ejercicio."},
        {1, "170", "B) PASIVO NO CORRIENTE > II. Deudas a largo plazo. > 1. Deudas con entidades de crédito."},
        {1, "206 280", noCorriente + "I. Inmovilizado intangible."},
        {1, "216 217 218 281", noCorriente + "II. Inmovilizado material."},
        {1, "300", "B) ACTIVO CORRIENTE > I. Existencias."},
        {1, "400", acreedores + "1. Proveedores."},
        {1, "410 465 475 476 477", acreedores + "2. Otros acreedores."},
        {1, "430", deudores + "1. Clientes por ventas y prestaciones de servicios."},
        {1, "470 472 473", deudores + "3. Otros deudores."},
        {1, "523", "C) PASIVO CORRIENTE > II. Deudas a corto plazo. > 3. Otras deudas a corto plazo."},
        {1, "570 572", "B) ACTIVO CORRIENTE > VI. Efectivo y otros activos líquidos equivalentes."},
        {2, "600 602 610", "4. Aprovisionamientos."},
        {2, "621 622 623 625 626 628 629 631", "7. Otros gastos de explotación."},
        {2, "640 642", "6. Gastos de personal."},
        {2, "662", "13. Gastos financieros."},
        {2, "680 681", "8. Amortización del inmovilizado."},
        {2, "700 705", "1. Importe neto de la cifra de negocios."},
        {2, "769", "12. Ingresos financieros."},
    };
    // clang-format on
    return t;
}

// El volcado de un informe como se guarda en volcados/: la cabecera (diálogo, mensajes, tabla
// y lo que llegó al motor, con la carpeta de la ejecución 'ruta' como "<ruta>") en la primera
// línea y una fila de la tabla de trabajo por línea, así una diferencia se ve fila a fila.
QStringList lineasVolcado(QJsonObject volcado, const QString& ruta) {
    const QJsonArray filas = volcado.take(QStringLiteral("filas")).toArray();
    const auto compacto = [](const QJsonObject& o) {
        return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    };
    QStringList lineas{compacto(volcado).replace(ruta, QStringLiteral("<ruta>"))};
    for (const QJsonValue& f : filas) lineas << compacto(f.toObject());
    return lineas;
}

QString archivoVolcado(const QString& etiqueta) {
    return QStringLiteral(ORVO_VOLCADOS_DIR "/") + QString(etiqueta).replace(u' ', u'.') +
           QStringLiteral(".jsonl");
}

// Compara el volcado con el guardado para la fila de datos en curso, línea a línea; con
// ORVO_REESCRIBIR_VOLCADOS=1 lo guarda en su lugar.
void compararConGuardado(const QJsonObject& volcado, const QString& ruta) {
    const QStringList lineas = lineasVolcado(volcado, ruta);
    QFile f(archivoVolcado(QString::fromLatin1(QTest::currentDataTag())));
    if (qEnvironmentVariableIntValue("ORVO_REESCRIBIR_VOLCADOS") == 1) {
        QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(f.fileName()));
        f.write((lineas.join(u'\n') + u'\n').toUtf8());
        return;
    }
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    const QStringList guardadas = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::min(lineas.size(), guardadas.size()); ++i)
        QVERIFY2(lineas[i] == guardadas[i],
                 qPrintable(QStringLiteral("%1, línea %2:\n  sale:      %3\n  guardada:  %4")
                                .arg(f.fileName())
                                .arg(i + 1)
                                .arg(lineas[i], guardadas[i])));
    QCOMPARE(lineas.size(), guardadas.size());
}

// La URI de los libros con otro usuario y su contraseña.
QString uriCon(const QString& base, const QString& usuario, const QString& clave) {
    QUrl u(base);
    u.setUserName(usuario);
    u.setPassword(clave);
    return u.toString();
}

// Valor de la fórmula "Nombre = 'valor'" del informe volcado, sin comillas.
QString formula(const QJsonObject& volcado, const QString& nombre) {
    for (const QJsonValue& f :
         volcado[QStringLiteral("informe")][QStringLiteral("formulas")].toObject())
        if (f.toString().section(u'=', 0, 0).trimmed() == nombre)
            return f.toString().section(u'=', 1).trimmed().remove(u'\'').remove(u'"');
    return {};
}

}  // namespace

class PruebaEjemplo : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString libros_;
    std::shared_ptr<Conexion> con_;
    QString servidor_;                      // los mismos libros en el servidor, si lo hay
    int n_ = 0;

    static prueba::Ejecucion ejecutar(const QStringList& argumentos, const QString& volcado = {}) {
        return prueba::ejecutarOrden(argumentos, volcado, 300000);
    }

    // Huella de las tablas que la 129 tocaría al imprimir el balance.
    QByteArray huellaTotales() {
        return prueba::huellaTablas(*con_, {QStringLiteral("Cuenta"), QStringLiteral("Estructura")});
    }

    // Lanza el informe con sus controles, en euros o en pesetas, hasta el PDF, y lee su volcado.
    prueba::Ejecucion informe(const QString& libros, const QString& operacion, int empresa,
                              const QStringList& controles, bool pesetas) {
        QStringList extra;
        if (pesetas) extra << QStringLiteral("--pesetas");
        for (const QString& c : controles) extra << QStringLiteral("--control") << c;
        const QStringList a = argumentos(libros, operacion, empresa, extra);
        return ejecutar(a, json(a));
    }
    // Carpeta de la aplicación (--ruta) del último informe; su PDF es la carpeta con ".pdf".
    QString ultimaRuta() const { return dir_.filePath(QString::number(n_)); }

    // Las columnas de una tabla de informes: qué se pide, a qué empresa, con qué controles.
    static void columnasInforme() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<int>("empresa");
        QTest::addColumn<QStringList>("controles");
        QTest::addColumn<bool>("pesetas");
    }
    // Cada informe con sus opciones, en euros y en pesetas.
    static void filasInformes() {
        columnasInforme();
        for (const prueba::Peticion& p : prueba::peticionesEjemplo())
            for (const bool pesetas : {false, true})
                QTest::addRow("%s %s", p.operacion, pesetas ? "pesetas" : "euros")
                    << QString::fromLatin1(p.operacion) << p.empresa << p.controles << pesetas;
    }

    // Argumentos de un informe al archivo n.pdf, cada uno con su carpeta de la aplicación (su
    // Informes.mdb), como cada puesto de un despacho; su volcado, en n.json.
    QStringList argumentos(const QString& libros, const QString& operacion, int empresa,
                           const QStringList& extra = {}) {
        const QString base = dir_.filePath(QString::number(++n_));
        return QStringList{operacion, "--contabilidad", libros, "--empresa", QString::number(empresa),
                           "--ruta", base, "--archivo", base + ".pdf"} + extra;
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
        QVERIFY(dir_.isValid());
        libros_ = dir_.filePath(QStringLiteral("ejemplo.db"));
        const prueba::Ejecucion s = ejecutar({QStringLiteral("ejemplo"), libros_});
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        // La misma orden no pisa los libros que ya existen.
        QCOMPARE(ejecutar({QStringLiteral("ejemplo"), libros_}).codigo, 1);
        QCOMPARE(ejecutar({QStringLiteral("ejemplo")}).codigo, 2);
        con_ = Conexion::abrir(libros_);
        if (!prueba::uriServidorPruebas().isEmpty()) {
            servidor_ = prueba::baseNuevaEnServidor(QStringLiteral("orvo_ejemplo"));
            const prueba::Ejecucion e = ejecutar({QStringLiteral("ejemplo"), servidor_});
            QVERIFY2(e.codigo == 0, qPrintable(e.error));
            QCOMPARE(ejecutar({QStringLiteral("ejemplo"), servidor_}).codigo, 1);
            Conexion::abrir(servidor_)->ejecutarScript(QStringLiteral(
                "DROP ROLE IF EXISTS orvo_lector; DROP ROLE IF EXISTS orvo_sin_permiso; "
                "CREATE ROLE orvo_lector LOGIN PASSWORD 'lee'; "
                "GRANT SELECT ON ALL TABLES IN SCHEMA public TO orvo_lector; "
                "CREATE ROLE orvo_sin_permiso LOGIN PASSWORD 'nada';"));
        }
    }

    // Consultas sobre los libros y lo que deben dar: "0" es que ninguna fila incumple la regla.
    void consultas_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("esperado");
        const auto fila = [](const QByteArray& nombre, const QString& sql,
                             const char* esperado = "0") {
            QTest::newRow(nombre.constData()) << sql << QString::fromUtf8(esperado);
        };
        fila("cada ejercicio abre el primer día con el asiento 1",
             "SELECT COUNT(*) FROM Asiento a JOIN Empresa e ON e.IDEmpresa = a.CodEmpresa "
             "WHERE a.Numero = 1 AND a.Fecha = e.FechaIni",
             "3");
        fila("nivel = cifras", "SELECT COUNT(*) FROM Cuenta WHERE Nivel <> length(Codigo)");
        fila("subcuentas de 7 cifras",
             "SELECT COUNT(*) FROM Cuenta WHERE (CodTipo_Cuenta = 2) <> (Nivel = 7)");
        fila("cuentas padre de una a cuatro cifras",
             "SELECT COUNT(*) FROM Cuenta s, (SELECT 1 AS n UNION SELECT 2 UNION SELECT 3 UNION "
             "SELECT 4) l WHERE s.CodTipo_Cuenta = 2 AND NOT EXISTS (SELECT 1 FROM Cuenta p WHERE "
             "p.CodEmpresa = s.CodEmpresa AND p.Codigo = substr(s.Codigo, 1, l.n))");
        fila("alguna cuenta desglosada", "SELECT COUNT(*) = 0 FROM Cuenta WHERE Desglosar <> 0");
        fila("la 1290000 en cada empresa", "SELECT COUNT(*) FROM Cuenta WHERE Codigo = '1290000'",
             "3");
        // Lo que se guarda es texto con el formato de la rutina de asientos.
        fila("importes como los guarda la rutina",
             "SELECT COUNT(*) FROM Cuenta WHERE Debe01 LIKE '%,%' OR Debe01Euros NOT LIKE '%,__'");
        fila("totales como texto", "SELECT COUNT(*) FROM Estructura WHERE typeof(Total) <> 'text'");
        fila("presupuesto solo en gastos e ingresos",
             "SELECT COUNT(*) FROM Cuenta WHERE Codigo < '6' AND PresupuestoTotal <> '0'");
        fila("presupuesto de ventas",
             "SELECT COUNT(*) >= 3 FROM Cuenta WHERE CodTipo_Cuenta = 2 AND Codigo LIKE '7%' AND "
             "PresupuestoTotal <> '0'",
             "1");
        // El segundo ejercicio abre con el cierre del primero (resultado, 8.151,04, como dice el
        // volcado del balance) ya repartido entre la reserva legal (10 %) y las voluntarias, y
        // nada en la 1290000.
        fila("apertura de 2024: líneas, de balance, iguales al cierre",
             "SELECT (COUNT(*) > 20) || ' ' || SUM(c.Codigo >= '6') || ' ' || SUM(CCur("
             "p.CtdadDebeEuros) - CCur(p.CtdadHaberEuros) <> COALESCE(CCur(c1.DebeTotalEuros) - "
             "CCur(c1.HaberTotalEuros), 0) + CASE c.Codigo WHEN '1120000' THEN -8151000 WHEN "
             "'1130000' THEN -73359400 ELSE 0 END) FROM Apunte p JOIN Asiento a ON a.IDAsiento = "
             "p.CodAsiento JOIN Cuenta c ON c.IDCuenta = p.CodCuenta LEFT JOIN Cuenta c1 ON "
             "c1.CodEmpresa = 1 AND c1.Codigo = c.Codigo WHERE a.CodEmpresa = 2 AND a.Numero = 1",
             "1 0 0");
        fila("nada en la 1290000",
             "SELECT COUNT(*) FROM Apunte p JOIN Cuenta c ON c.IDCuenta = p.CodCuenta WHERE "
             "c.Codigo = '1290000'");
        // Los apuntes de IVA llevan factura y contrapartida existente; la cuota es la base por el
        // tipo. Se ven: más de cien facturas, las que incumplen, los tipos y los recargos.
        const auto iva = [&](const char* nombre, const char* raiz, const char* cuota,
                             const char* esperado) {
            fila(nombre,
                 QStringLiteral(
                     "WITH f AS (SELECT p.PorcentajeIVA AS Iva, p.PorcentajeRecargo AS Recargo, "
                     "CCur(p.%1) - CCur(p.BaseImpEuros) * CAST(p.PorcentajeIVA AS INTEGER) / 100 "
                     "AS Diferencia, (SELECT COUNT(*) FROM Cuenta x WHERE x.CodEmpresa = "
                     "a.CodEmpresa AND x.Codigo = p.Contrapartida) AS Existe FROM Apunte p JOIN "
                     "Asiento a ON a.IDAsiento = p.CodAsiento JOIN Cuenta c ON c.IDCuenta = "
                     "p.CodCuenta WHERE c.Codigo LIKE '%2%' AND p.Factura <> '') SELECT (SELECT "
                     "COUNT(*) > 100 FROM f) || ' ' || (SELECT COUNT(*) FROM f WHERE Existe <> 1 "
                     "OR abs(Diferencia) > 50) || ' ' || (SELECT group_concat(Iva, '/') FROM "
                     "(SELECT DISTINCT Iva FROM f ORDER BY 1)) || ' ' || (SELECT "
                     "group_concat(Recargo, '/') FROM (SELECT DISTINCT Recargo FROM f ORDER BY 1))")
                     .arg(QLatin1String(cuota), QLatin1String(raiz)),
                 esperado);
        };
        iva("facturas emitidas", "477", "CtdadHaberEuros", "1 0 10/21/4 0/0,5/1,4/5,2");
        iva("facturas recibidas", "472", "CtdadDebeEuros", "1 0 10/21/4 0");
        // Las emitidas van numeradas por fecha, sin huecos, en una serie por año.
        fila("facturas emitidas correlativas",
             "SELECT (COUNT(*) > 200) || ' ' || SUM(CAST(substr(Factura, 5) AS INTEGER) <> n OR "
             "substr(Factura, 2, 2) <> substr(Fecha, 3, 2)) FROM (SELECT *, row_number() OVER "
             "(PARTITION BY CodEmpresa, substr(Factura, 1, 3) ORDER BY Fecha, Primero) AS n FROM "
             "(SELECT a.CodEmpresa, p.Factura, MIN(a.Fecha) AS Fecha, MIN(a.IDAsiento) AS Primero "
             "FROM Apunte p JOIN Asiento a ON a.IDAsiento = p.CodAsiento JOIN Cuenta c ON "
             "c.IDCuenta = p.CodCuenta WHERE c.Codigo LIKE '477%' AND p.Factura <> '' "
             "GROUP BY a.CodEmpresa, p.Factura))",
             "1 0");
    }
    void consultas() {
        QFETCH(QString, sql);
        QTEST(con_->valor(sql).toString(), "esperado");
    }

    // Cada cuenta de tres cifras de cada empresa alimenta, en cada estado, solo el epígrafe que
    // le da el modelo (cuentasEnElModelo), y todas las de los libros están en esa tabla.
    void cuentasEnSuEpigrafe_data() {
        QTest::addColumn<int>("documento");
        QTest::addColumn<QString>("cuenta");
        QTest::addColumn<QString>("epigrafe");
        for (const CuentasEnElModelo& c : cuentasEnElModelo())
            for (const QByteArray& cuenta : QByteArray(c.cuentas).split(' '))
                QTest::addRow("%d %s", c.documento, cuenta.constData())
                    << c.documento << QString::fromLatin1(cuenta) << c.epigrafe;
    }
    void cuentasEnSuEpigrafe() {
        QFETCH(int, documento);
        QFETCH(QString, cuenta);
        // Rótulos del epígrafe y de sus padres (los códigos que empiezan el suyo), por empresa.
        const QString sql = QStringLiteral(
            "SELECT c.CodEmpresa, (SELECT group_concat(Descripcion, ' > ') FROM (SELECT "
            "p.Descripcion FROM Estructura p WHERE p.CodEmpresa = e.CodEmpresa AND "
            "p.CodDocumento = e.CodDocumento AND e.CodigoEpigrafe LIKE p.CodigoEpigrafe || '%' "
            "ORDER BY length(p.CodigoEpigrafe))) FROM Cuenta c JOIN Rel_Estructura_Cuenta r ON "
            "r.CodCuenta = c.IDCuenta JOIN Estructura e ON e.IDEstructura = r.CodEstructura "
            "WHERE c.Codigo = ? AND e.CodDocumento = ? ORDER BY c.CodEmpresa");
        QStringList vistos;
        for (Recordset rs = con_->Execute(sql, {cuenta, documento}); !rs.Eof(); rs.MoveNext())
            vistos << rs.Fields(0).toString() + u' ' + rs.Fields(1).toString();
        QFETCH(QString, epigrafe);
        QCOMPARE(vistos,
                 (QStringList{QStringLiteral("1 ") + epigrafe, QStringLiteral("2 ") + epigrafe,
                              QStringLiteral("3 ") + epigrafe}));
    }
    void todasLasCuentasEnElModelo() {
        QSet<QString> tabla;
        for (const CuentasEnElModelo& c : cuentasEnElModelo())
            for (const QString& cuenta : QString::fromLatin1(c.cuentas).split(u' ')) tabla << cuenta;
        QStringList fuera;
        for (Recordset rs = con_->Execute(QStringLiteral(
                 "SELECT DISTINCT Codigo FROM Cuenta WHERE Nivel = 3 ORDER BY Codigo"));
             !rs.Eof(); rs.MoveNext())
            if (!tabla.contains(rs.Fields(0).toString())) fuera << rs.Fields(0).toString();
        QVERIFY2(fuera.isEmpty(), qPrintable(fuera.join(u' ')));
    }

    // La comprobación de los libros: asientos que cuadran en las dos monedas, pesetas al
    // cambio, columnas mensuales de cuentas, epígrafes y presupuestos iguales a los apuntes,
    // asientos dentro del ejercicio.
    void pasanLaComprobacion() {
        ProgresoNulo progreso;
        for (long empresa = 1; empresa <= 3; ++empresa) {
            const Comprobacion::Informe informe =
                Comprobacion::comprobar(*con_, empresa, false, progreso);
            QVERIFY2(informe.problemas.isEmpty(), qPrintable(informe.problemas.join(u'\n')));
            QVERIFY(informe.apuntes > 900);
        }
    }

    void siempreLosMismosLibros() {
        const QString otra = dir_.filePath(QStringLiteral("otra.db"));
        LibrosEjemplo::crear(otra);
        const QStringList tablas{"Empresa", "Cuenta", "Estructura", "Asiento", "Apunte"};
        QCOMPARE(prueba::huellaTablas(*Conexion::abrir(otra), tablas),
                 prueba::huellaTablas(*con_, tablas));
    }

    void noSobrescribeNada() {
        const QString ruta = dir_.filePath(QStringLiteral("mio.db"));
        {
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("mis datos");
        }
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, LibrosEjemplo::crear(ruta));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("mis datos"));

        QString texto;
        QTextStream err(&texto);
        QCOMPARE(LibrosEjemplo::orden({dir_.filePath(QStringLiteral("no/hay/carpeta.db"))}, err),
                 1);
        QVERIFY(texto.contains(QStringLiteral("No existe la carpeta")));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("no/hay/carpeta.db.parcial"))));
    }
    // Cada informe se imprime hasta el PDF y vuelca lo guardado en volcados/.
    void comoSuVolcado_data() { filasInformes(); }
    void comoSuVolcado() {
        QFETCH(QString, operacion);
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        QFETCH(bool, pesetas);
        const prueba::Ejecucion s = informe(libros_, operacion, empresa, controles, pesetas);
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        QFile pdf(ultimaRuta() + QStringLiteral(".pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        compararConGuardado(s.volcado, ultimaRuta());
    }

    // Los mismos libros en el servidor dan los mismos volcados.
    void mismoVolcadoEnElServidor_data() {
        ORVO_SALTAR_SIN_SERVIDOR();
        filasInformes();
    }
    void mismoVolcadoEnElServidor() {
        QFETCH(QString, operacion);
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        QFETCH(bool, pesetas);
        if (qEnvironmentVariableIntValue("ORVO_REESCRIBIR_VOLCADOS") == 1)
            QSKIP("los volcados se reescriben de los libros en un archivo");
        const prueba::Ejecucion s = informe(servidor_, operacion, empresa, controles, pesetas);
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        compararConGuardado(s.volcado, ultimaRuta());
    }

    // Los balances cuadran: con el resultado del periodo en la 129 (que los libros no
    // guardan), el activo es igual al patrimonio neto y pasivo; en sumas y saldos, el debe es
    // el haber.
    void balancesCuadran_data() {
        columnasInforme();
        const QString situacion = QStringLiteral("ImprimirBalanceSituacion"),
                      sumas = QStringLiteral("ImprimirBalanceSumasySaldos");
        QTest::newRow("2024 pesetas") << situacion << 2 << QStringList() << true;
        // clang-format off
        QTest::newRow("2024 hasta mayo") << situacion << 2 << QStringList{"dtpBalance(1)=2024-05-31"} << false;
        QTest::newRow("julio a octubre") << situacion << 3 << QStringList{"dtpBalance(1)=2023-10-31", "chkBalance(4)=1"} << true;
        // clang-format on
        for (int e = 1; e <= 3; ++e)
            for (const bool pesetas : {false, true})
                QTest::addRow("sumas empresa %d %s", e, pesetas ? "pesetas" : "euros")
                    << sumas << e << QStringList() << pesetas;
    }
    void balancesCuadran() {
        QFETCH(QString, operacion);
        QFETCH(int, empresa);
        QFETCH(QStringList, controles);
        QFETCH(bool, pesetas);
        const QByteArray antes = huellaTotales();
        const prueba::Ejecucion s = informe(libros_, operacion, empresa, controles, pesetas);
        QVERIFY2(s.codigo == 0, qPrintable(s.error));
        const QJsonObject& v = s.volcado;
        QCOMPARE(huellaTotales(), antes);
        if (operacion.endsWith(u"Situacion")) {
            const QString activo = totalDeFila(v, QStringLiteral("AT"));
            QCOMPARE(totalDeFila(v, QStringLiteral("PT")), activo);
            QVERIFY(importe(activo) > Moneda::deEntero(10000));
            QVERIFY(!totalDeFila(v, QStringLiteral("PA.1.7")).isEmpty());
            return;
        }
        const QString debe = formula(v, QStringLiteral("TotalDebe"));
        QVERIFY(importe(debe) > Moneda::deEntero(100000));
        QCOMPARE(formula(v, QStringLiteral("TotalHaber")), debe);
        QCOMPARE(importe(formula(v, QStringLiteral("TotalSaldo"))), Moneda());
    }
    // El restaurante cierra su ejercicio con pérdidas (la cuenta de pérdidas y ganancias, en su
    // volcado): el balance de situación pone el resultado, ingresos menos gastos de los libros,
    // con su signo en «VII. Resultado del ejercicio» y cuadra.
    void perdidaDelRestaurante() {
        const Moneda resultado = Moneda::deDiezmilesimas(
            con_->valor(QStringLiteral("SELECT SUM(CCur(HaberTotalEuros) - CCur(DebeTotalEuros)) "
                                       "FROM Cuenta WHERE CodEmpresa = 3 AND CodTipo_Cuenta = 2 "
                                       "AND substr(Codigo, 1, 1) IN ('6', '7')"))
                .toLongLong());
        QVERIFY(resultado < Moneda());
        const prueba::Ejecucion situacion =
            informe(libros_, QStringLiteral("ImprimirBalanceSituacion"), 3, {}, false);
        QVERIFY2(situacion.codigo == 0, qPrintable(situacion.error));
        QCOMPARE(importe(totalDeFila(situacion.volcado, QStringLiteral("PA.1.7"))), resultado);
        QCOMPARE(totalDeFila(situacion.volcado, QStringLiteral("PT")),
                 totalDeFila(situacion.volcado, QStringLiteral("AT")));
    }
    // Lo que sigue cambia los libros del servidor: va después de compararlos.
    // Ocho informes a la vez y un noveno proceso (este) que asienta mientras tanto: todos
    // imprimen, cada sumas y saldos cuadra en su instantánea y nadie espera a un cerrojo.
    void ochoInformesMientrasSeAsienta() {
        ORVO_SALTAR_SIN_SERVIDOR();
        const QString sumas = QStringLiteral("ImprimirBalanceSumasySaldos");
        const QList<QStringList> pedidos{
            argumentos(servidor_, sumas, 1),
            argumentos(servidor_, sumas, 1, {QStringLiteral("--pesetas")}),
            argumentos(servidor_, sumas, 2),
            argumentos(servidor_, sumas, 3),
            argumentos(servidor_, QStringLiteral("ImprimirBalanceSituacion"), 1),
            argumentos(servidor_, QStringLiteral("ImprimirBalancePYGComp"), 2),
            argumentos(servidor_, QStringLiteral("ImprimirLibroDiario"), 1),
            argumentos(servidor_, QStringLiteral("ImprimirLibroMayor"), 1)};
        std::vector<std::unique_ptr<QProcess>> procesos;
        for (const QStringList& a : pedidos) {
            procesos.push_back(std::make_unique<QProcess>());
            procesos.back()->start(QStringLiteral(ORVO_INFORMES_EXE),
                                   a + QStringList{QStringLiteral("--volcado"), json(a)});
        }
        auto con = Conexion::abrir(servidor_);
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
                const QString debe = formula(v, QStringLiteral("TotalDebe"));
                QVERIFY(!debe.isEmpty());
                QCOMPARE(formula(v, QStringLiteral("TotalHaber")), debe);
            }
        }
        qInfo("%d asientos mientras se imprimían los informes", asientos);
    }

    // Un usuario que solo puede leer imprime los balances, los de situación con el resultado
    // del periodo en la 129 (que no se puede escribir en los libros).
    void usuarioDeSoloLectura() {
        ORVO_SALTAR_SIN_SERVIDOR();
        const QString lector =
            uriCon(servidor_, QStringLiteral("orvo_lector"), QStringLiteral("lee"));
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
        ORVO_SALTAR_SIN_SERVIDOR();
        const QString base = prueba::baseNuevaEnServidor(QStringLiteral("orvo_importada"));
        const QString ruta = dir_.filePath(QStringLiteral("diario.csv"));
        const auto importar = [&](const QByteArray& csv) {
            prueba::escribirArchivo(ruta, "Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n" + csv);
            return prueba::ejecutarOrden({"importar", ruta, "--contabilidad", base, "--empresa", "7"})
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
        QCOMPARE(prueba::ejecutarOrden({"comprobar", "--contabilidad", base, "--empresa", "7"}).codigo,
                 0);
    }

    // Una conexión que no vale: un mensaje en español, salida 1, pronto y sin escribir nada.
    void conexionesQueFallan_data() {
        ORVO_SALTAR_SIN_SERVIDOR();
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("mensaje");
        QUrl parado(servidor_);
        parado.setQuery(QStringLiteral("host=") + dir_.filePath(QStringLiteral("sin-servidor")));
        QUrl otraBase(servidor_);
        otraBase.setPath(QStringLiteral("/orvo_no_existe"));
        QTest::newRow("contraseña mala")
            << uriCon(servidor_, QStringLiteral("orvo_lector"), QStringLiteral("mala"))
            << "el servidor no acepta el usuario o la contraseña";
        QTest::newRow("servidor parado") << parado.toString() << "el servidor no está disponible";
        QTest::newRow("base que no existe")
            << otraBase.toString() << "no existe esa base de datos en el servidor";
        QTest::newRow("base sin libros")
            << prueba::baseNuevaEnServidor(QStringLiteral("orvo_vacia"))
            << "no es una base de contabilidad";
        QTest::newRow("usuario sin permiso")
            << uriCon(servidor_, QStringLiteral("orvo_sin_permiso"), QStringLiteral("nada"))
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
            {"ImprimirBalanceSituacion", "--contabilidad", uri, "--empresa", "1", "--ruta", app,
             "--volcado", volcado},
            {}, 15000);
        QVERIFY(reloj.elapsed() < 10000);
        prueba::fallaEnUnaLinea(e.codigo, e.error, mensaje);
        QVERIFY2(!e.error.contains(QStringLiteral("mala")) && !e.error.contains(QStringLiteral(":nada@")),
                 "la contraseña no se muestra");
        QVERIFY(!QFile::exists(app));
        QVERIFY(!QFile::exists(volcado));
    }
};

QTEST_GUILESS_MAIN(PruebaEjemplo)
#include "prueba_ejemplo.moc"
