// Cuenta de pérdidas y ganancias y fórmulas: dónde cae el resultado del periodo, y el análisis
// de las fórmulas.
#include <QTemporaryDir>
#include <QtTest>

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

    void totalesGrupos6y7_data() {
        // clang-format off
        QTest::addColumn<bool>("euros");
        QTest::addColumn<int>("primero");
        QTest::addColumn<int>("ultimo");
        QTest::addColumn<QString>("debe");
        QTest::addColumn<QString>("haber");
        QTest::newRow("año: beneficio") << true << 1 << 12 << "0,00" << "1.500,00";
        QTest::newRow("febrero: pérdida") << true << 2 << 2 << "2.000,00" << "0,00";
        QTest::newRow("en pesetas") << false << 1 << 12 << "0" << "150.000";
        QTest::newRow("de marzo a febrero cruza el año") << true << 3 << 2 << "0,00" << "1.500,00";
        QTest::newRow("mayo: nada") << true << 5 << 5 << "0,00" << "0,00";
        // clang-format on
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

    // Dónde cae el resultado, leído sin escribir: en el mes del último día, en la 129 y sus
    // epígrafes (los padres por código, aunque sean hermanos como A.II de A.III); la 1290000 que
    // falta se nombra. Ingresos iguales a gastos: nada.
    void resultadoDelPeriodo_data() {
        QTest::addColumn<QString>("libro");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("beneficio del año, sin 1290000")
            << "básico" << QDate(2001, 12, 31) << "12|0,00|1.500,00|129|1290000|P1=1 P=1";
        QTest::newRow("hasta junio")
            << "básico" << QDate(2001, 6, 30) << "06|0,00|1.500,00|129|1290000|P1=1 P=1";
        QTest::newRow("ingresos iguales a gastos") << "empate" << QDate(2001, 12, 31) << "|||||";
        QTest::newRow("padres por código")
            << "A.III" << QDate(2001, 3, 31)
            << "03|0,00|10,00|1290000||A.=1 A.I=1 A.II=1 A.III=1 A=1";
    }
    void resultadoDelPeriodo() {
        QFETCH(QString, libro);
        QFETCH(QDate, hasta);
        QFETCH(QString, esperado);
        LibroPrueba& l = *libro_;
        if (libro == u"A.III") {
            l.empresa(1, "EJ", 2001, "20010101", "20011231");
            for (const char* c : {"A", "A.", "A.I", "A.II", "B"})
                l.epigrafe(1, 1, QString::fromUtf8(c), QString::fromUtf8(c), LibroPrueba::Pasivo,
                           1);
            l.enlazar(l.epigrafe(1, 1, "A.III", "A.III", LibroPrueba::Pasivo, 2),
                      l.cuenta(1, "1290000", "PyG", 2));
            l.cuenta(1, "7000001", "Ventas", 2);
            l.apunte(1, "7000001", 3, QString(), "10");
        } else {
            prueba::libroBasico(l);
            if (libro == u"empate") l.apunte(1, "6000001", 3, "1.500", QString());
        }
        l.con().Execute(QStringLiteral("PRAGMA query_only = 1"));
        const ResultadoPeriodo r = ResultadoDelPeriodo(l.con(), 1, true, QDate(2001, 1, 1), hasta);
        QStringList cuentas, epigrafes;
        for (const qlonglong c : r.cuentas)
            cuentas << valor(QStringLiteral("SELECT Codigo FROM Cuenta WHERE IDCuenta = ?"), {c});
        for (auto it = r.epigrafes.cbegin(); it != r.epigrafes.cend(); ++it)
            epigrafes << valor(QStringLiteral("SELECT CodigoEpigrafe FROM Estructura "
                                              "WHERE IDEstructura = ?"),
                               {it.key()}) +
                             u'=' + QString::number(it.value());
        cuentas.sort();
        epigrafes.sort();
        const bool hay = !r.mes.isEmpty();
        QCOMPARE(QStringList({r.mes, hay ? r.debe.formatear(true) : QString(),
                              hay ? r.haber.formatear(true) : QString(), cuentas.join(u' '),
                              r.subcuentaQueFalta, epigrafes.join(u' ')})
                     .join(u'|'),
                 esperado);
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
