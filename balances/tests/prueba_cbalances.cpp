// Cuenta de pérdidas y ganancias y fórmulas: el asiento del resultado, la creación de la 129
// y sus padres, los epígrafes que arrastra, y el análisis de las fórmulas.
#include <QTemporaryDir>
#include <QtTest>

#include "ErrorOrvo.h"
#include "InterfazQt.h"
#include "LibroPrueba.h"
#include "cBalances.h"
#include "cGeneral.h"

using namespace orvo;
using prueba::LibroPrueba;

class PruebaCBalances : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<LibroPrueba> libro_;

    QString valor(const QString& sql, const Parametros& p = {}) {
        return libro_->con().valor(sql, p).toString();
    }
    QString cuenta(const QString& codigo, const QString& columnas) {
        Recordset rs = libro_->con().Execute(
            QStringLiteral("SELECT %1 FROM Cuenta WHERE Codigo = ?").arg(columnas), {codigo});
        if (rs.Eof()) return QStringLiteral("(no existe)");
        QStringList v;
        for (int i = 0; i < rs.columnas(); ++i) v << rs.Fields(i).toString();
        return v.join(u'|');
    }
    QString epigrafe(const QString& codigo, const QString& columnas) {
        Recordset rs = libro_->con().Execute(
            QStringLiteral("SELECT %1 FROM Estructura WHERE CodigoEpigrafe = ?").arg(columnas),
            {codigo});
        QStringList v;
        for (int i = 0; i < rs.columnas(); ++i) v << rs.Fields(i).toString();
        return v.join(u'|');
    }

  private slots:
    void init() {
        static int n = 0;
        libro_ = std::make_unique<LibroPrueba>(dir_.filePath(QStringLiteral("c%1.db").arg(++n)));
    }

    void terminosDeFormula_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("terminos");
        QTest::newRow("tres términos") << "A+B-C" << QStringList{"+A", "+B", "-C"};
        QTest::newRow("blancos alrededor") << " A.I + A.II " << QStringList{"+ A.I ", "+ A.II "};
        QTest::newRow("un solo código") << "R" << QStringList{"+R"};
        QTest::newRow("empieza por menos") << "-X+Y" << QStringList{"+", "-X", "+Y"};
        QTest::newRow("operador al final") << "A-" << QStringList{"+A", "-"};
        QTest::newRow("vacía") << "" << QStringList{"+"};
    }
    void terminosDeFormula() {
        QFETCH(QString, formula);
        QFETCH(QStringList, terminos);
        QCOMPARE(cBalances::ObtieneNumEpigrafes(formula), terminos.size());
        QStringList leidos;
        for (int n = 1; n <= cBalances::ObtieneNumEpigrafes(formula); ++n) {
            const TerminoFormula t = cBalances::ObtieneEpigrafe(formula, n);
            leidos << t.operador + t.codigo;
        }
        QCOMPARE(leidos, terminos);
    }

    void formatearImporte_data() {
        QTest::addColumn<QString>("importe");
        QTest::addColumn<bool>("decimales");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("euros") << "1234,567" << true << "1.234,57";
        QTest::newRow("pesetas") << "-1234,5" << false << "-1.235";
        QTest::newRow("catorce caracteres caben") << "12345678901" << false << "12.345.678.901";
        // Más de 14 caracteres con puntos, pero sin ellos cabe: no cambia.
        QTest::newRow("desbordado") << "1234567890123" << false << "1.234.567.890.123";
        QTest::newRow("desbordado de verdad")
            << "123456789012345" << true << "12.345.678.901.234,00";
    }
    void formatearImporte() {
        QFETCH(QString, importe);
        QFETCH(bool, decimales);
        QFETCH(QString, esperado);
        QCOMPARE(cBalances::FormatearImporte(*Moneda::deTexto(importe), decimales), esperado);
    }

    void totalesGrupos6y7_data() {
        QTest::addColumn<bool>("euros");
        QTest::addColumn<int>("primero");
        QTest::addColumn<int>("ultimo");
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("haber");
        QTest::newRow("año: beneficio") << true << 1 << 12 << "0,00"
                                        << "1.500,00";
        QTest::newRow("febrero: pérdida") << true << 2 << 2 << "2.000,00"
                                          << "0,00";
        QTest::newRow("en pesetas") << false << 1 << 12 << "0"
                                    << "150.000";
        QTest::newRow("de marzo a febrero cruza el año") << true << 3 << 2 << "0,00"
                                                         << "1.500,00";
        QTest::newRow("mayo: nada") << true << 5 << 5 << "0,00"
                                    << "0,00";
    }
    void totalesGrupos6y7() {
        QFETCH(bool, euros);
        QFETCH(int, primero);
        QFETCH(int, ultimo);
        QFETCH(QString, debe);
        QFETCH(QString, haber);
        prueba::libroBasico(*libro_);
        const auto [d, h] =
            cBalances().ObtenerTotalesGrupos6y7(libro_->con(), 1, euros, primero, ultimo);
        QCOMPARE(d.formatear(euros), debe);
        QCOMPARE(h.formatear(euros), haber);
    }

    // Sin 1290000: se crea con sus padres que faltan (hasta la 129, que existe) y el haber
    // llega a ella, a la 129 y al epígrafe de la 129 y su padre; en euros, las pesetas no
    // cambian.
    void asientoDelResultado() {
        prueba::libroBasico(*libro_);
        cBalances().ModificarDatosPyG(libro_->con(), 1, true, QStringLiteral("20011231"), Moneda(),
                                      *Moneda::deTexto(QStringLiteral("1500")));
        const QString columnas = QStringLiteral(
            "CodTipo_Cuenta, Descripcion, Nivel, Haber12Euros, Haber12, HaberTotalEuros");
        QCOMPARE(cuenta(QStringLiteral("1290000"), columnas),
                 QStringLiteral("2|Pérdidas y ganancias|7|1.500,00|0|1.500,00"));
        QCOMPARE(cuenta(QStringLiteral("129000"), columnas),
                 QStringLiteral("3||6|1.500,00|0|1.500,00"));
        QCOMPARE(cuenta(QStringLiteral("12900"), columnas),
                 QStringLiteral("3||5|1.500,00|0|1.500,00"));
        QCOMPARE(cuenta(QStringLiteral("1290"), columnas),
                 QStringLiteral("3||4|1.500,00|0|1.500,00"));
        QCOMPARE(cuenta(QStringLiteral("129"), columnas),
                 QStringLiteral("1|Resultados|3|1.500,00|0|1.500,00"));
        QCOMPARE(cuenta(QStringLiteral("12"), columnas), QStringLiteral("(no existe)"));
        QCOMPARE(valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE Codigo LIKE '1%'")),
                 QStringLiteral("7"));
        // P1 tenía -10.000 en enero; el resultado va a diciembre.
        const QString totales = QStringLiteral("Total12Euros, TotalEuros, Total12, Total01Euros");
        QCOMPARE(epigrafe(QStringLiteral("P1"), totales),
                 QStringLiteral("-1.500,00|-1.500,00|0|-10.000,00"));
        QCOMPARE(epigrafe(QStringLiteral("P"), totales),
                 QStringLiteral("-1.500,00|-1.500,00|0|0,00"));
        QCOMPARE(epigrafe(QStringLiteral("A2"), totales), QStringLiteral("0|0|0|10.000,00"));

        // Un segundo asiento encuentra la 1290000 y no crea nada; en pesetas, los euros quedan.
        cBalances().ModificarDatosPyG(libro_->con(), 1, false, QStringLiteral("20011215"),
                                      *Moneda::deTexto(QStringLiteral("100")), Moneda());
        QCOMPARE(valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE Codigo LIKE '1%'")),
                 QStringLiteral("7"));
        QCOMPARE(
            cuenta(QStringLiteral("1290000"), QStringLiteral("Debe12, Debe12Euros, Haber12Euros")),
            QStringLiteral("100|0,00|1.500,00"));
    }

    // Los "padres" de A.III son A.II, A.I, A. y A: todos los que existen se actualizan.
    void epigrafesPadrePorCodigo() {
        LibroPrueba& l = *libro_;
        l.empresa(1, QStringLiteral("EJ"), 2001, QStringLiteral("20010101"),
                  QStringLiteral("20011231"));
        for (const char* c : {"A", "A.", "A.I", "A.II", "B"})
            l.epigrafe(1, 1, QString::fromUtf8(c), QString::fromUtf8(c), LibroPrueba::Pasivo, 1);
        l.enlazar(l.epigrafe(1, 1, QStringLiteral("A.III"), QStringLiteral("A.III"),
                             LibroPrueba::Pasivo, 2),
                  l.cuenta(1, QStringLiteral("1290000"), QStringLiteral("PyG"), 2));
        cBalances().ModificarDatosPyG(l.con(), 1, true, QStringLiteral("20010331"), Moneda(),
                                      *Moneda::deTexto(QStringLiteral("10")));
        QStringList totales;
        Recordset rs = l.con().Execute(QStringLiteral(
            "SELECT CodigoEpigrafe, Total03Euros FROM Estructura ORDER BY IDEstructura"));
        for (; !rs.Eof(); rs.MoveNext())
            totales << rs.Fields(0).toString() + u'=' + rs.Fields(1).toString();
        QCOMPARE(totales, (QStringList{"A=-10,00", "A.=-10,00", "A.I=-10,00", "A.II=-10,00", "B=0",
                                       "A.III=-10,00"}));
    }

    // Ingresos iguales a gastos: no hay nada que poner y no se crea la 1290000; con beneficio,
    // va al haber del mes del último día del periodo.
    void resultadoProvisional() {
        prueba::libroBasico(*libro_);
        libro_->apunte(1, QStringLiteral("6000001"), 3, QStringLiteral("1.500"), QString());
        contabilizarResultadoProvisional(libro_->con(), 1, true, QDate(2001, 1, 1),
                                         QDate(2001, 12, 31));
        QCOMPARE(cuenta(QStringLiteral("1290000"), QStringLiteral("Codigo")),
                 QStringLiteral("(no existe)"));
        contabilizarResultadoProvisional(libro_->con(), 1, true, QDate(2001, 3, 1),
                                         QDate(2001, 6, 30));
        QCOMPARE(cuenta(QStringLiteral("1290000"), QStringLiteral("Haber06Euros, Debe06Euros")),
                 QStringLiteral("2.000,00|0,00"));
    }

    void mesNoValido() {
        prueba::libroBasico(*libro_);
        try {
            cBalances().ModificarDatosPyG(libro_->con(), 1, true, QStringLiteral("20011301"),
                                          Moneda(), Moneda::deEntero(1));
            QFAIL("debía fallar");
        } catch (const ErrorOrvo& e) {
            QCOMPARE(e.numero(), 999L);
            QCOMPARE(e.descripcion(),
                     QStringLiteral("El mes no es válido. Procedimiento 'Actualizar Cuentas'"));
        }
    }

    void existeCuentaDePerdidasYGanancias() {
        prueba::libroBasico(*libro_);
        InterfazGrabadora interfaz;
        RegistroObjetos registro;
        Componente comp(interfaz, registro);
        cGeneral general(comp);
        QVERIFY(cBalances().ExisteCtaPyG(libro_->con(), 1, general));
        QVERIFY(interfaz.mensajes.empty());
        // Asignada solo a pérdidas y ganancias no cuenta.
        libro_->con().Execute(
            QStringLiteral("UPDATE Estructura SET CodDocumento = 2 WHERE CodigoEpigrafe = 'P1'"));
        QVERIFY(!cBalances().ExisteCtaPyG(libro_->con(), 1, general));
        QCOMPARE(interfaz.mensajes.size(), std::size_t(1));
        QVERIFY(interfaz.mensajes[0].texto.endsWith(QStringLiteral("de la empresa 'EJ-2001'!")));
    }
};

QTEST_MAIN(PruebaCBalances)
#include "prueba_cbalances.moc"
