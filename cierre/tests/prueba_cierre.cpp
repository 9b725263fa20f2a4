// El cierre de un ejercicio importado: la apertura del siguiente frente a los saldos de cierre
// calculados a mano, los informes del ejercicio cerrado sin cambios, los asientos finales en el
// Diario y el Mayor, y las negativas (cerrar dos veces, deshacer con asientos, grupo 8 sin
// cuenta del subgrupo 13), que no cambian nada.
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include "Balance.h"
#include "Cierre.h"
#include "Comprobar.h"
#include "ErrorOrvo.h"
#include "Importador.h"
#include "Lectores.h"
#include "LibroDiario.h"
#include "LibroMayor.h"
#include "LibrosPrueba.h"
#include "Registro.h"
#include "SumasYSaldos.h"

using namespace orvo;

namespace {

const QByteArray kCabecera = "Fecha;Asiento;Cuenta;Concepto;Debe;Haber\n";

// Beneficio de 500: ventas de 1.000, compras de 500.
const QByteArray kBeneficio = kCabecera +
                              "01/01/2026;1;5720001;Apertura;10.000,00;\n"
                              "01/01/2026;1;1000001;Apertura;;10.000,00\n"
                              "15/03/2026;2;4300001;Venta;1.210,00;\n"
                              "15/03/2026;2;7000001;Venta;;1.000,00\n"
                              "15/03/2026;2;4770001;Venta;;210,00\n"
                              "10/04/2026;3;6000001;Compra;500,00;\n"
                              "10/04/2026;3;4720001;Compra;105,00;\n"
                              "10/04/2026;3;4000001;Compra;;605,00\n"
                              "01/12/2026;4;5720001;Cobro;1.210,00;\n"
                              "01/12/2026;4;4300001;Cobro;;1.210,00\n";

// Pérdida de 800 y ajustes de valor imputados al patrimonio neto (grupos 8 y 9 a la 133).
const QByteArray kPerdida = kCabecera +
                            "01/01/2026;1;5720001;Apertura;5.000,00;\n"
                            "01/01/2026;1;1000001;Apertura;;5.000,00\n"
                            "20/02/2026;2;6290001;Servicios;800,00;\n"
                            "20/02/2026;2;5720001;Servicios;;800,00\n"
                            "30/06/2026;3;2500001;Ajuste;300,00;\n"
                            "30/06/2026;3;9000001;Ajuste;;300,00\n"
                            "30/09/2026;4;8000001;Ajuste;100,00;\n"
                            "30/09/2026;4;2500001;Ajuste;;100,00\n";

// Ejercicio de marzo a febrero de un año bisiesto: el siguiente acaba el 28.
const QByteArray kBisiesto = kCabecera +
                             "01/03/2023;1;5720001;Apertura;100,00;\n"
                             "01/03/2023;1;1000001;Apertura;;100,00\n"
                             "29/02/2024;2;5720001;Venta;50,00;\n"
                             "29/02/2024;2;7050001;Venta;;50,00\n";

// Céntimos: las pesetas de los apuntes (redondeadas una a una) no suman las de los saldos.
const QByteArray kCentimos = kCabecera +
                             "01/01/2026;1;5720001;Apertura;0,10;\n"
                             "01/01/2026;1;1000001;Apertura;;0,10\n"
                             "02/01/2026;2;6290001;Gasto;0,01;\n"
                             "02/01/2026;2;5720001;Gasto;;0,01\n"
                             "03/01/2026;3;6290001;Gasto;0,01;\n"
                             "03/01/2026;3;5720001;Gasto;;0,01\n"
                             "04/01/2026;4;6290001;Gasto;0,01;\n"
                             "04/01/2026;4;5720001;Gasto;;0,01\n";

// Todo saldado dentro del año: el ejercicio siguiente no tiene nada que abrir.
const QByteArray kSaldado = kCabecera +
                            "01/01/2026;1;5720001;Aportación;100,00;\n"
                            "01/01/2026;1;1000001;Aportación;;100,00\n"
                            "30/12/2026;2;1000001;Devolución;100,00;\n"
                            "30/12/2026;2;5720001;Devolución;;100,00\n";

// Un ajuste del impuesto imputado al patrimonio neto: su cuenta del subgrupo 13 depende de qué
// lo originó, así que el cierre no la adivina.
const QByteArray kImpuesto = kCabecera +
                             "01/01/2026;1;8301001;Impuesto;25,00;\n"
                             "01/01/2026;1;4740001;Impuesto;;25,00\n";

// Escribe 'texto' en 'ruta'; false si no se puede.
bool escribir(const QString& ruta, const QByteArray& texto) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(texto) == texto.size();
}

// Un número leído de los libros, como el de un SELECT COUNT(*).
int cuantos(Conexion& con, const QString& sql, const Parametros& params = {}) {
    return con.valor(sql, params).toInt();
}

// Las filas ('columnas') de la tabla de trabajo del informe construido, que se deja vacía.
template <class Opciones>
QStringList leer(prueba::LibrosPrueba& l,
                 FormulasInforme (*construccion)(ContextoInforme&, const Opciones&),
                 const Opciones& o, const QString& tabla, const QString& columnas) {
    l.construir(construccion, o);
    const QStringList filas = l.filas(tabla, columnas);
    l.inf().Execute(QStringLiteral("DELETE FROM ") + tabla);
    return filas;
}

}  // namespace

class PruebaCierre : public QObject {
    Q_OBJECT

    // Libros con una empresa importada de 'diario' (la 1); 'desde' y 'hasta' fijan el ejercicio.
    std::unique_ptr<prueba::LibrosPrueba> importar(const QByteArray& diario,
                                                   const QDate& desde = {},
                                                   const QDate& hasta = {}) {
        auto libros = std::make_unique<prueba::LibrosPrueba>();
        const QString csv = libros->carpeta() + QStringLiteral("/diario.csv");
        if (!escribir(csv, diario)) return nullptr;
        Importacion::Opciones o;
        o.entrada = csv;
        o.contabilidad = libros->carpeta() + QStringLiteral("/conta.db");
        o.empresa = 1;
        o.nombre = QStringLiteral("Pruebas, S.L.");
        o.abreviatura = QStringLiteral("PRU");
        o.desde = desde;
        o.hasta = hasta;
        ProgresoNulo progreso;
        Importacion::importar(o, progreso);
        return libros;
    }

    // "código debe haber" de cada apunte de la empresa, en euros, por código.
    static QStringList apuntes(Conexion& con, long empresa) {
        QStringList lineas;
        Recordset rs = con.Execute(
            QStringLiteral("SELECT Cuenta.Codigo, Apunte.CtdadDebeEuros, Apunte.CtdadHaberEuros, "
                           "Apunte.Concepto FROM Asiento, Apunte, Cuenta WHERE Apunte.CodAsiento "
                           "= Asiento.IDAsiento AND Apunte.CodCuenta = Cuenta.IDCuenta AND "
                           "Asiento.CodEmpresa = ? ORDER BY Cuenta.Codigo"),
            {qlonglong(empresa)});
        for (; !rs.Eof(); rs.MoveNext())
            lineas << QStringLiteral("%1 %2 %3")
                          .arg(rs.Fields(0).toString(), rs.Fields(1).toString(),
                               rs.Fields(2).toString());
        return lineas;
    }

    // Los informes del ejercicio entero de la empresa 1: balance de situación, pérdidas y
    // ganancias, sumas y saldos de todos los niveles; sus filas, en orden.
    static QStringList informes(prueba::LibrosPrueba& l, const QDate& desde, const QDate& hasta) {
        QStringList filas;
        for (int documento : {1, 2}) {
            OpcionesBalance b;
            b.empresa = 1;
            b.documento = documento;
            b.desde = desde;
            b.hasta = hasta;
            b.numerosCuenta = true;
            filas += leer(l, construirBalance, b, QStringLiteral("Balances"),
                          QStringLiteral("Nivel, Descripcion, Codigo, Total"));
        }
        OpcionesSumasYSaldos s;
        s.empresa = 1;
        s.subcuentaDesde = QStringLiteral("0000000");
        s.subcuentaHasta = QStringLiteral("9999999");
        s.desde = desde;
        s.hasta = hasta;
        s.niveles = {1, 2, 3, 4, 7};
        return filas + leer(l, construirSumasYSaldos, s, QStringLiteral("BalanceSumasySaldos"),
                            QStringLiteral("Codigo, Debe, Haber, Saldo, SaldoApertura"));
    }

  private slots:
    void apertura_data() {
        QTest::addColumn<QByteArray>("diario");
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QStringList>("apertura");  // del ejercicio siguiente
        QTest::addColumn<QString>("fechas");        // FechaIni-FechaFin del siguiente
        QTest::addColumn<QString>("resultado");

        const QString y2027 = QStringLiteral("20270101-20271231");
        // clang-format off
        QTest::newRow("beneficio a la 129") << kBeneficio << QDate() << QDate() << QStringList{"1000001 0,00 10.000,00", "1290000 0,00 500,00", "4000001 0,00 605,00", "4720001 105,00 0,00", "4770001 0,00 210,00", "5720001 11.210,00 0,00"} << y2027 << "500,00";
        QTest::newRow("pérdida; grupos 8 y 9 a la 133") << kPerdida << QDate() << QDate() << QStringList{"1000001 0,00 5.000,00", "1290000 800,00 0,00", "1330000 0,00 200,00", "2500001 200,00 0,00", "5720001 4.200,00 0,00"} << y2027 << "-800,00";
        QTest::newRow("pesetas de la apertura según sus euros") << kCentimos << QDate() << QDate() << QStringList{"1000001 0,00 0,10", "1290000 0,03 0,00", "5720001 0,07 0,00"} << y2027 << "-0,03";
        QTest::newRow("sin saldos, sin asiento de apertura") << kSaldado << QDate() << QDate() << QStringList{} << y2027 << "0,00";
        QTest::newRow("ejercicio que acaba un 29 de febrero") << kBisiesto << QDate(2023, 3, 1) << QDate(2024, 2, 29) << QStringList{"1000001 0,00 100,00", "1290000 0,00 50,00", "5720001 150,00 0,00"} << "20240301-20250228" << "50,00";
        // clang-format on
    }
    void apertura() {
        QFETCH(QByteArray, diario);
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        QFETCH(QStringList, apertura);
        QFETCH(QString, fechas);
        QFETCH(QString, resultado);
        auto l = importar(diario, desde, hasta);
        QVERIFY(l);
        const Cierre::Resultado r = Cierre::cerrar(l->conta(), 1);
        QCOMPARE(r.siguiente, 2L);
        QCOMPARE(r.resultado.formatear(true), resultado);
        QCOMPARE(apuntes(l->conta(), 2), apertura);
        QCOMPARE(r.lineasApertura, qint64(apertura.size()));
        QCOMPARE(cuantos(l->conta(),
                         QStringLiteral("SELECT COUNT(*) FROM Asiento WHERE CodEmpresa = 2")),
                 apertura.isEmpty() ? 0 : 1);

        // La empresa nueva: lo copiado, el año siguiente y la cerrada como anterior.
        QCOMPARE(l->conta()
                     .valor(QStringLiteral(
                         "SELECT Nombre || '|' || Abreviatura || '|' || AñoEjercicio || '|' || "
                         "FechaIni || '-' || FechaFin || '|' || DesgloseSubCuentas || '|' || "
                         "CodEmpresaAnterior FROM Empresa WHERE IDEmpresa = 2"))
                     .toString(),
                 QStringLiteral("Pruebas, S.L.|PRU|%1|%2|7|1").arg(fechas.left(4), fechas));
        // El mismo cuadro (más lo que la apertura necesitaba) y los mismos epígrafes.
        const QString epigrafes =
            QStringLiteral("SELECT COUNT(*) FROM Estructura WHERE CodEmpresa = ?");
        QCOMPARE(cuantos(l->conta(), epigrafes, {2}), cuantos(l->conta(), epigrafes, {1}));
        const QString relaciones = QStringLiteral(
            "SELECT COUNT(*) FROM Rel_Estructura_Cuenta, Estructura WHERE CodEstructura = "
            "IDEstructura AND CodEmpresa = ?");
        QVERIFY(cuantos(l->conta(), relaciones, {2}) >= cuantos(l->conta(), relaciones, {1}));
        // Cuadra en las dos monedas y las columnas mensuales son las de sus apuntes.
        ProgresoNulo progreso;
        const auto comprobado = Comprobacion::comprobar(l->conta(), 2, false, progreso);
        QVERIFY2(comprobado.problemas.isEmpty(), qPrintable(comprobado.problemas.join(u'\n')));
    }

    // Cerrar no cambia ningún informe del ejercicio cerrado: ni el balance de situación ni la
    // cuenta de pérdidas y ganancias a fin de año quedan a cero, ni cambian las sumas y saldos.
    void informesDelEjercicioCerradoIguales_data() {
        QTest::addColumn<QByteArray>("diario");
        QTest::newRow("beneficio") << kBeneficio;
        QTest::newRow("pérdida y grupos 8 y 9") << kPerdida;
    }
    void informesDelEjercicioCerradoIguales() {
        QFETCH(QByteArray, diario);
        auto l = importar(diario);
        QVERIFY(l);
        const QDate desde(2026, 1, 1), hasta(2026, 12, 31);
        const QStringList antes = informes(*l, desde, hasta);
        QVERIFY(antes.size() > 10);
        Cierre::cerrar(l->conta(), 1);
        QCOMPARE(informes(*l, desde, hasta), antes);
    }

    // El Diario y el Mayor del ejercicio cerrado terminan con la regularización y el cierre,
    // con su concepto; un periodo que no llega a fin de año no los lleva.
    void diarioYMayor() {
        auto l = importar(kBeneficio);
        QVERIFY(l);
        OpcionesLibroDiario d;
        d.empresa = 1;
        d.desde = QDate(2026, 1, 1);
        d.hasta = QDate(2026, 12, 31);
        const QString diario = QStringLiteral("Libro_Diario");
        const QStringList antes = leer(*l, construirLibroDiario, d, diario, "Asiento, Concepto");
        Cierre::cerrar(l->conta(), 1);
        const QStringList despues = leer(*l, construirLibroDiario, d, diario,
                                         "Asiento, Fecha, Descripcion, Concepto, Debe, Haber");
        QCOMPARE(despues.size(), antes.size() + 3 + 6);
        // clang-format off
        QCOMPARE(despues.mid(antes.size()), (QStringList{
            "5|31/12/2026|1290000 - Resultado del ejercicio|Regularización del ejercicio 2026|0,00|500,00",
            "5|31/12/2026|6000001 - |Regularización del ejercicio 2026|0,00|500,00",
            "5|31/12/2026|7000001 - |Regularización del ejercicio 2026|1.000,00|0,00",
            "6|31/12/2026|1000001 - |Cierre del ejercicio 2026|10.000,00|0,00",
            "6|31/12/2026|1290000 - Resultado del ejercicio|Cierre del ejercicio 2026|500,00|0,00",
            "6|31/12/2026|4000001 - |Cierre del ejercicio 2026|605,00|0,00",
            "6|31/12/2026|4720001 - |Cierre del ejercicio 2026|0,00|105,00",
            "6|31/12/2026|4770001 - |Cierre del ejercicio 2026|210,00|0,00",
            "6|31/12/2026|5720001 - |Cierre del ejercicio 2026|0,00|11.210,00"}));
        // clang-format on
        d.hasta = QDate(2026, 11, 30);
        QVERIFY(!leer(*l, construirLibroDiario, d, diario, "Concepto")
                     .join(u' ')
                     .contains(u"ejercicio 2026"));

        // En el Mayor, el saldo de cada subcuenta acaba en cero; la 129, que solo tiene líneas
        // finales, sale en su sitio.
        OpcionesLibroMayor m;
        m.empresa = 1;
        m.desde = QDate(2026, 1, 1);
        m.hasta = QDate(2026, 12, 31);
        m.subcuentaDesde = QStringLiteral("1000000");
        m.subcuentaHasta = QStringLiteral("4000001");
        // clang-format off
        QCOMPARE(leer(*l, construirLibroMayor, m, "Libro_Mayor", "Codigo, Asiento, Concepto, Saldo"),
                 (QStringList{"1000001|1 (1)|Apertura|-10.000,00",
                              "1000001|6|Cierre del ejercicio 2026|0,00",
                              "1290000|5|Regularización del ejercicio 2026|-500,00",
                              "1290000|6|Cierre del ejercicio 2026|0,00",
                              "4000001|3 (3)|Compra|-605,00",
                              "4000001|6|Cierre del ejercicio 2026|0,00"}));
        // clang-format on
    }

    // Lo que se rechaza no cambia los libros.
    void rechazos() {
        auto l = importar(kBeneficio);
        QVERIFY(l);
        Cierre::cerrar(l->conta(), 1);
        const QStringList cerrado = apuntes(l->conta(), 2);
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, Cierre::cerrar(l->conta(), 1));
        QCOMPARE(apuntes(l->conta(), 2), cerrado);
        QCOMPARE(cuantos(l->conta(), QStringLiteral("SELECT COUNT(*) FROM Empresa")), 2);

        // Con un asiento más en el ejercicio siguiente, el cierre no se deshace.
        const qint64 cuenta = l->conta()
                                  .valor(QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE "
                                                        "CodEmpresa = 2 AND Codigo = '5720001'"))
                                  .toLongLong();
        const qint64 as = l->asiento(2, 2, QStringLiteral("20270105"));
        l->apunte(as, cuenta, QStringLiteral("1"), QStringLiteral("0"));
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, Cierre::deshacer(l->conta(), 1));
        QCOMPARE(cuantos(l->conta(), QStringLiteral("SELECT COUNT(*) FROM Empresa")), 2);
        l->conta().Execute(QStringLiteral("DELETE FROM Apunte WHERE CodAsiento = ?"), {as});
        l->conta().Execute(QStringLiteral("DELETE FROM Asiento WHERE IDAsiento = ?"), {as});

        // Deshecho, no queda nada del ejercicio siguiente y se puede volver a cerrar igual.
        QCOMPARE(Cierre::deshacer(l->conta(), 1), 2L);
        for (const char* tabla : {"Cuenta", "Estructura", "Asiento"})
            QCOMPARE(
                cuantos(l->conta(), QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CodEmpresa = 2")
                                        .arg(QLatin1String(tabla))),
                0);
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, Cierre::deshacer(l->conta(), 1));
        QCOMPARE(apuntes(l->conta(), Cierre::cerrar(l->conta(), 1).siguiente), cerrado);

        auto impuesto = importar(kImpuesto);
        QVERIFY(impuesto);
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, Cierre::cerrar(impuesto->conta(), 1));
        QCOMPARE(cuantos(impuesto->conta(), QStringLiteral("SELECT COUNT(*) FROM Empresa")), 1);
    }

    // Un diario de tres años importado de una vez: un ejercicio por año, cada uno abierto con
    // el cierre del anterior. Las sumas y saldos de cada año son las de hledger con lo anterior
    // arrastrado: las cuentas de balance, su saldo acumulado hasta fin de año; las de gastos e
    // ingresos, el del año; la 129, los resultados de los años anteriores.
    void variosEjercicios() {
        const QString hledger = QStandardPaths::findExecutable(QStringLiteral("hledger"));
        if (hledger.isEmpty()) QSKIP("hledger no está instalado (apt-get install hledger)");
        const char* cuentas[] = {
            "1:10:100:1000:1000001 Capital social", "1:17:170:1700:1700001 Préstamo",
            "2:21:217:2170:2170001 Ordenadores",    "4:40:400:4000:4000001 Proveedor",
            "4:43:430:4300:4300001 Cliente",        "5:57:572:5720:5720001 Banco",
            "6:60:600:6000:6000001 Compras",        "6:62:621:6210:6210001 Alquiler",
            "7:70:700:7000:7000001 Ventas",         "7:76:769:7690:7690001 Intereses"};
        QRandomGenerator azar(2026);
        QByteArray diario;
        for (int i = 0; i < 600; ++i) {
            const QDate fecha = QDate(2024, 1, 1).addDays(i * 1096 / 600);
            diario += fecha.toString(Qt::ISODate).toUtf8() + " Asiento\n";
            for (int a = 0; a < 3; ++a) {
                diario += QByteArray("    ") + cuentas[azar.bounded(int(std::size(cuentas)))];
                if (a < 2) {
                    const qint64 centimos = azar.bounded(1, 500000) * (azar.bounded(2) ? 1 : -1);
                    diario += "  " + QByteArray::number(centimos / 100.0, 'f', 2);
                }
                diario += "\n";
            }
            diario += "\n";
        }
        prueba::LibrosPrueba l;
        const QString entrada = l.carpeta() + QStringLiteral("/tres.journal");
        QVERIFY(escribir(entrada, diario));
        Importacion::Opciones o;
        o.entrada = entrada;
        o.contabilidad = l.carpeta() + QStringLiteral("/conta.db");
        o.empresa = 1;
        o.abrirSiguiente = Cierre::abrirSiguiente;
        ProgresoNulo progreso;
        const Importacion::Resumen r = Importacion::importar(o, progreso);
        QCOMPARE(r.asientos, qint64(600));
        QVERIFY2(
            r.texto().endsWith(QStringLiteral("Importación %1, de 3 ejercicios: no se deshace.")
                                   .arg(r.importacion)),
            qPrintable(r.texto()));
        QCOMPARE(l.conta()
                     .valor(QStringLiteral("SELECT group_concat(IDEmpresa || ':' || AñoEjercicio "
                                           "|| ':' || CodEmpresaAnterior, ' ') FROM Empresa"))
                     .toString(),
                 QStringLiteral("1:2024:0 2:2025:1 3:2026:2"));

        const auto saldos = [&](const QStringList& args) {
            QProcess p;
            p.start(hledger, QStringList{"-f", entrada, "bal", "--flat", "--no-total", "--depth",
                                         "5", "-O", "csv"} +
                                 args);
            p.waitForFinished(120000);
            std::map<QString, Moneda> s;
            for (const QByteArray& linea : p.readAllStandardOutput().split('\n').mid(1)) {
                const QStringList c = QString::fromUtf8(linea).remove(u'"').split(u',');
                if (c.size() < 2) continue;
                s[c[0].section(u':', -1).section(u' ', 0, 0)] =
                    Importacion::FormatoImportes('.').leer(QStringView(c[1]), hledger, 0);
            }
            return s;
        };
        for (int ano : {2024, 2025, 2026}) {
            const QString inicio = QStringLiteral("%1-01-01").arg(ano);
            const QString fin = QStringLiteral("%1-01-01").arg(ano + 1);
            std::map<QString, Moneda> suyo;
            Moneda anteriores;  // resultados de los años anteriores, saldo deudor
            for (const auto& [codigo, saldo] : saldos({"-H", "-e", fin}))
                if (codigo.at(0) < u'6') suyo[codigo] = saldo;
            for (const auto& [codigo, saldo] : saldos({"-b", inicio, "-e", fin}))
                if (codigo.at(0) >= u'6') suyo[codigo] = saldo;
            if (ano > 2024)
                for (const auto& [codigo, saldo] : saldos({"-H", "-e", inicio}))
                    if (codigo.at(0) >= u'6') anteriores += saldo;
            if (!anteriores.esCero()) suyo[QStringLiteral("1290000")] = anteriores;
            std::erase_if(suyo, [](const auto& s) { return s.second.esCero(); });
            std::map<QString, Moneda> nuestro;
            Recordset rs = l.conta().Execute(
                QStringLiteral("SELECT Codigo, CCur(DebeTotalEuros) - CCur(HaberTotalEuros) FROM "
                               "Cuenta WHERE CodEmpresa = ? AND CodTipo_Cuenta = 2"),
                {ano - 2023});
            for (; !rs.Eof(); rs.MoveNext())
                if (rs.entero(1) != 0)
                    nuestro[rs.Fields(0).toString()] = Moneda::deDiezmilesimas(rs.entero(1));
            QCOMPARE(nuestro, suyo);
        }
        // Anotada una vez, en la primera empresa: el mismo contenido no entra otra vez, y
        // deshacerla (que dejaría las aperturas sin los saldos que traen) se rechaza sin tocar
        // nada.
        const QString asientos = QStringLiteral("SELECT COUNT(*) FROM Asiento");
        const int antes = cuantos(l.conta(), asientos);
        QCOMPARE(antes, 602);  // y las aperturas de 2025 y 2026
        try {
            Importacion::importar(o, progreso);
            QFAIL("el mismo diario se ha importado dos veces");
        } catch (const ErrorOrvo& e) {
            QVERIFY2(e.descripcion().contains(u"ya se importó"), qPrintable(e.descripcion()));
        }
        try {
            Registro::deshacer(o.contabilidad, 1, r.importacion);
            QFAIL("se ha deshecho a medias una importación de tres ejercicios");
        } catch (const ErrorOrvo& e) {
            QCOMPARE(e.descripcion(),
                     QStringLiteral("La importación %1 abarca varios ejercicios (abrió las "
                                    "empresas 2, 3) y no se deshace: para repetirla, impórtela "
                                    "en una empresa nueva.")
                         .arg(r.importacion));
        }
        QCOMPARE(cuantos(l.conta(), asientos), antes);

        // Sin quien abra el ejercicio siguiente, el archivo se rechaza entero.
        prueba::LibrosPrueba otro;
        o.contabilidad = otro.carpeta() + QStringLiteral("/conta.db");
        o.abrirSiguiente = {};
        QVERIFY_THROWS_EXCEPTION(ErrorOrvo, Importacion::importar(o, progreso));
        QCOMPARE(cuantos(otro.conta(), QStringLiteral("SELECT COUNT(*) FROM Empresa")), 0);
    }

    // La orden: códigos de salida y una línea para quien la lanza.
    void orden_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");
        // clang-format off
        QTest::newRow("cierra") << QStringList{"--empresa", "1"} << 0 << "Ejercicio 2027 abierto como empresa 2";
        QTest::newRow("otra vez") << QStringList{"--empresa", "1"} << 1 << "ya está cerrado";
        QTest::newRow("deshace") << QStringList{"--empresa", "1", "--deshacer"} << 0 << "Cierre deshecho";
        QTest::newRow("nada que deshacer") << QStringList{"--empresa", "1", "--deshacer"} << 1 << "no está cerrado";
        QTest::newRow("empresa que no existe") << QStringList{"--empresa", "9"} << 1 << "No existe la empresa 9";
        QTest::newRow("sin empresa") << QStringList{} << 2 << "Uso:";
        QTest::newRow("opción desconocida") << QStringList{"--empresa", "1", "--todo"} << 2 << "Opción desconocida";
        // clang-format on
    }
    void orden() {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        QFETCH(QString, mensaje);
        static std::unique_ptr<prueba::LibrosPrueba> l = importar(kBeneficio);
        QVERIFY(l);
        QString texto;
        QTextStream err(&texto);
        const int salida = Cierre::orden(
            QStringList{"--contabilidad", l->carpeta() + QStringLiteral("/conta.db")} + argumentos,
            err);
        err.flush();
        QVERIFY2(texto.contains(mensaje), qPrintable(texto));
        QCOMPARE(salida, codigo);
    }
};

QTEST_MAIN(PruebaCierre)
#include "prueba_cierre.moc"
