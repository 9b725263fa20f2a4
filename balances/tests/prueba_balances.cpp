// Los balances de situación y de pérdidas y ganancias, de una empresa y comparativos: sus
// líneas calculadas sobre libros pequeños construidos en cada prueba, comparadas con cifras
// hechas a mano; el análisis de las fórmulas y el resultado del periodo; y el camino del usuario
// desde el diálogo. Cómo se escriben las tablas lo ven los volcados de los libros de ejemplo.
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <tuple>

#include "Balance.h"
#include "BalanceComparativo.h"
#include "CeldasBalance.h"
#include "ConfiguracionAnfitrion.h"
#include "DoblesPrueba.h"
#include "Ejecutor.h"
#include "FormularioInforme.h"
#include "InterfazQt.h"
#include "LibrosPrueba.h"
#include "LineasBalance.h"
#include "cBalances.h"
#include "cInformes.h"
#include "frmImprimir.h"

using namespace orvo;
using prueba::filasDe;

namespace {

// Colección a mano: "nivel descripción [código]" por línea; código "-" por omisión.
ColeccionBalance coleccion(const QStringList& lineas) {
    ColeccionBalance c;
    for (const QString& texto : lineas) {
        const QStringList p = texto.split(u' ');
        cBalanceComparativo l;
        l.naturaleza = QStringLiteral("Activo");
        l.nivel = p.value(0).toInt();
        l.descripcion = p.value(1);
        l.codigo = p.value(2, QStringLiteral("-"));
        l.total = Moneda::deEntero(1);
        c.push_back(l);
    }
    GrabarPadresColeccion(c);
    return c;
}

// Un importe escrito como en los libros: "1.500,5".
Moneda m(const char* texto) {
    return *Moneda::deTexto(QString::fromUtf8(texto));
}

// Nivel, descripción, código y total de una línea.
using Linea = std::tuple<int, QString, QString, Moneda>;
QList<Linea> lineas(const std::vector<LineaBalance>& ls) {
    QList<Linea> r;
    for (const LineaBalance& l : ls) r.push_back({l.nivel, l.descripcion, l.codigo, l.total});
    return r;
}

// Código, total y presupuesto de una línea.
using TotalYPresupuesto = std::tuple<QString, Moneda, Moneda>;
QList<TotalYPresupuesto> importes(const std::vector<LineaBalance>& ls) {
    QList<TotalYPresupuesto> r;
    for (const LineaBalance& l : ls) r.push_back({l.codigo, l.total, l.presupuesto});
    return r;
}

// Un lado de una fila del comparativo, si está: lo que muestran sus importes y su total.
using Lado = std::optional<std::pair<LineaBalance::Importes, Moneda>>;
Lado lado(const std::optional<LineaBalance>& l) {
    if (!l) return std::nullopt;
    return std::pair{l->importes, l->total};
}
Lado numeros(const char* total) {
    return std::pair{LineaBalance::Importes::Numeros, m(total)};
}
const Lado kEnBlanco = std::pair{LineaBalance::Importes::EnBlanco, Moneda()};
const Lado kError = std::pair{LineaBalance::Importes::Error, Moneda()};

// Descripción y los dos lados de una fila del comparativo.
using FilaLados = std::tuple<QString, Lado, Lado>;
QList<FilaLados> lados(const std::vector<FilaComparativo>& filas) {
    QList<FilaLados> r;
    for (const FilaComparativo& f : filas)
        r.push_back({(f.a ? *f.a : *f.b).descripcion, lado(f.a), lado(f.b)});
    return r;
}

}  // namespace

namespace orvo {
// Para que QCOMPARE muestre los importes que no coinciden.
char* toString(const Moneda& m) {
    return qstrdup(qPrintable(m.aTextoExacto()));
}
}  // namespace orvo

class PruebaBalances : public QObject {
    Q_OBJECT
    std::unique_ptr<prueba::LibrosPrueba> l_;
    ProgresoNulo progreso_;
    InterfazGrabadora interfaz_;
    RegistroObjetos registro_;
    ConfiguracionAnfitrion config_;
    prueba::MotorAnotador motor_;

    // Empresa de un año: capital 10.000 al banco en enero, compras 2.000 en febrero, ventas
    // 3.500 a un cliente en marzo, una nave de 4.000 en abril; beneficio 1.500. Balance: A
    // (A1 inmovilizado, A2 deudores y tesorería), P (P1 fondos propios con la 129, P2 deudas con
    // bancos); el banco alimenta A2 y P2. Pérdidas y ganancias: G gastos, I ingresos. Las
    // pesetas de estos libros son los euros por cien.
    void libroBasico(int ano = 2001, const QString& abreviatura = QStringLiteral("PRU")) {
        prueba::LibrosPrueba& l = *l_;
        const QString a = QString::number(ano);
        const long e = l.empresa(a + "0101", a + "1231", 7, abreviatura);
        l.cuentas(e, {"210 Construcciones", "430 Clientes", "572 Bancos", "100 Capital",
                      "129 Resultados", "600 Compras", "700 Ventas", "2100001 Nave",
                      "4300001 Cliente uno", "5720001 Banco uno", "1000001 Capital social",
                      "6000001 Mercaderías", "7000001 Ventas tienda"});
        l.conta().Execute(QStringLiteral("UPDATE Cuenta SET Desglosar = -1 WHERE Codigo = '210'"));
        l.epigrafe(e, 1, "A", "ACTIVO", 1);
        l.epigrafe(e, 1, "A1", "Inmovilizado", 1, 2, {}, {"210"});
        l.epigrafe(e, 1, "A2", "Deudores y tesorería", 1, 2, {}, {"430", "572"});
        l.epigrafe(e, 1, "P", "PASIVO", 2);
        l.epigrafe(e, 1, "P1", "Fondos propios", 2, 2, {}, {"100", "129"});
        l.epigrafe(e, 1, "P2", "Deudas con bancos", 2, 2, {}, {"572"});
        l.epigrafe(e, 2, "G", "Gastos", 3, 1, {}, {"600"});
        l.epigrafe(e, 2, "I", "Ingresos", 4, 1, {}, {"700"});
        l.asentar(e,
                  {a + "0115 1000001 0 1.000.000 0 10.000", a + "0115 5720001 1.000.000 0 10.000 0",
                   a + "0215 6000001 200.000 0 2.000 0", a + "0215 5720001 0 200.000 0 2.000",
                   a + "0315 7000001 0 350.000 0 3.500", a + "0315 4300001 350.000 0 3.500 0",
                   a + "0415 2100001 400.000 0 4.000 0", a + "0415 5720001 0 400.000 0 4.000"});
    }
    // La empresa 1 de 2001 y la 2 de 2000; con 'anterior', la 2 es la del ejercicio anterior.
    void dosEmpresas(bool anterior = false) {
        libroBasico();
        libroBasico(2000, QStringLiteral("EJ0"));
        if (anterior)
            l_->conta().Execute("UPDATE Empresa SET CodEmpresaAnterior = 2 WHERE IDEmpresa = 1");
    }
    // Total de un mes puesto a mano en un epígrafe (estructuras sin cuentas propias); el
    // siguiente asiento lo vuelve a calcular.
    void totalEpigrafe(const QString& codigo, int mes, const QString& euros) {
        const Moneda e = *Moneda::deTexto(euros);
        l_->conta().Execute(QStringLiteral("UPDATE Estructura SET Total%1Euros = ?, Total%1 = ? "
                                           "WHERE CodigoEpigrafe = ?")
                                .arg(mes, 2, 10, QChar(u'0')),
                            {e.formatear(true), (e * 100).formatear(false), codigo});
    }
    // La columna SumaConSigno de los epígrafes a "-1" o "0"; vacía, los libros no la tienen.
    void sumaConSigno(const QString& columna) {
        if (columna.isEmpty())
            l_->conta().Execute(QStringLiteral("ALTER TABLE Estructura DROP COLUMN SumaConSigno"));
        else
            l_->conta().Execute(QStringLiteral("UPDATE Estructura SET SumaConSigno = ?"),
                                {columna.toInt()});
    }
    // Todos los importes y filas de Cuenta y Estructura, para ver que nada ha cambiado.
    QString instantanea() {
        return (filasDe(l_->conta(), QStringLiteral("Cuenta"), QStringLiteral("*")) +
                filasDe(l_->conta(), QStringLiteral("Estructura"), QStringLiteral("*")))
            .join(u'\n');
    }

    OpcionesBalance opciones(int documento, QDate desde = QDate(2001, 1, 1),
                             QDate hasta = QDate(2001, 12, 31)) {
        OpcionesBalance o;
        o.empresa = 1;
        o.documento = documento;
        o.desde = desde;
        o.hasta = hasta;
        return o;
    }
    OpcionesComparativo opcionesComp(int documento, long b) {
        OpcionesComparativo o;
        o.empresaA = 1;
        o.empresaB = b;
        o.documento = documento;
        o.desde = QDate(2001, 1, 1);
        o.hasta = QDate(2001, 12, 31);
        return o;
    }
    std::vector<LineaBalance> calcular(const OpcionesBalance& o) {
        return calcularBalance(l_->conta(), progreso_, o).lineas;
    }
    std::vector<FilaComparativo> calcular(const OpcionesComparativo& o) {
        return calcularComparativo(l_->conta(), progreso_, o).filas;
    }

    // Lanza la operación con las casillas chkBalance dadas marcadas y los 'controles'
    // ("control=valor") fijados, ACEPTA y, si sale el diálogo de impresión, imprime en
    // pantalla. Devuelve las filas ('columnas') que tenía la tabla justo antes de vaciarse.
    QStringList lanzar(const QString& operacion, const QList<int>& casillas,
                       const QStringList& controles = {},
                       const QString& columnas = QStringLiteral("Descripcion")) {
        QStringList vaciadas;
        cInformes informes(interfaz_, registro_);
        interfaz_.guion = [&](QDialog& d) {
            if (auto* imp = qobject_cast<frmImprimir*>(&d)) {
                imp->opcion(0)->setChecked(true);
                imp->boton(0)->click();
                return;
            }
            auto& f = static_cast<FormularioInforme&>(d);
            for (int i = 0; i < 6; ++i)
                QVERIFY(
                    fijarControl(f, QStringLiteral("chkBalance(%1)").arg(i),
                                 casillas.contains(i) ? QStringLiteral("1") : QStringLiteral("0"))
                        .isEmpty());
            for (const QString& c : controles)
                QVERIFY(fijarControl(f, c.section(u'=', 0, 0), c.section(u'=', 1)).isEmpty());
            ventana_ = d.windowTitle();
            f.botonAceptar()->click();
        };
        informes.componente().antesDeVaciar = [&](const QString& tabla) {
            vaciadas = l_->filas(tabla, columnas);
        };
        informes.ejecutar(operacion, &motor_, &config_, l_->contaCompartida(), l_->infCompartida(),
                          1);
        return vaciadas;
    }
    QString ventana_;  // título del último diálogo lanzado

  private slots:
    void initTestCase() {
        registrarObjetosAnfitrion(registro_);
        config_.appTitle = QStringLiteral("Prueba");
    }
    // Libros y base de informes vacíos, sin mensajes ni nada impreso.
    void init() {
        l_ = std::make_unique<prueba::LibrosPrueba>();
        config_.appPath = l_->carpeta();
        prueba::olvidar(interfaz_);
        motor_ = prueba::MotorAnotador();
    }

    // Las celdas de los importes de una línea: los números (con presupuesto, también el
    // porcentaje), "ERROR" en las tres o las tres vacías.
    void celdas_data() {
        QTest::addColumn<int>("importes");
        QTest::addColumn<bool>("conPresupuesto");
        QTest::addColumn<QStringList>("esperado");
        using I = LineaBalance::Importes;
        // clang-format off
        QTest::newRow("sin presupuesto") << int(I::Numeros) << false << QStringList{"1.500,50", "", ""};
        QTest::newRow("con presupuesto") << int(I::Numeros) << true << QStringList{"1.500,50", "3.001,00", "50,00 %"};
        QTest::newRow("error") << int(I::Error) << false << QStringList{"ERROR", "ERROR", "ERROR"};
        QTest::newRow("en blanco") << int(I::EnBlanco) << true << QStringList{"", "", ""};
        // clang-format on
    }
    void celdas() {
        QFETCH(int, importes);
        LineaBalance l;
        l.total = m("1500,5");
        l.presupuesto = m("3001");
        QFETCH(bool, conPresupuesto);
        l.conPresupuesto = conPresupuesto;
        l.importes = static_cast<LineaBalance::Importes>(importes);
        QStringList textos;
        for (const Celda& c : celdasImportes(l)) textos << textoCelda(c, Divisa::Euros);
        QTEST(textos, "esperado");
    }

    // El balance de situación del año: el beneficio (1.500) aparece en la 129 (y, desglosada,
    // en la 1290000 que los libros no tienen) sin escribir en los libros, y el banco se muestra
    // solo en el activo; o solo los epígrafes. Las pesetas, los números de cuenta y las fórmulas
    // del informe los ven los volcados de los libros de ejemplo.
    void balanceDeSituacion_data() {
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<QList<Linea>>("esperado");
        // clang-format off
        const QList<Linea> euros{
            {1, "ACTIVO", "A", m("11.500")},
            {2, "Inmovilizado", "A1", m("4.000")},
            {3, "Construcciones", "-", m("4.000")},
            {4, "Nave \"A\" d'Or", "-", m("4.000")},
            {2, "Deudores y tesorería", "A2", m("7.500")},
            {3, "Clientes", "-", m("3.500")},
            {3, "Bancos", "-", m("4.000")},
            {1, "PASIVO", "P", m("11.500")},
            {2, "Fondos propios", "P1", m("11.500")},
            {3, "Capital", "-", m("10.000")},
            {3, "Resultados", "-", m("1.500")}};
        QTest::newRow("el año") << "" << euros;
        QTest::newRow("129 desglosada") << "desglosar" << euros + QList<Linea>{{4, "Pérdidas y ganancias", "-", m("1.500")}};
        // El banco en descubierto sale en el pasivo y se descuenta del activo y de su padre.
        QTest::newRow("banco en descubierto") << "descubierto"
            << QList<Linea>{{1, "ACTIVO", "A", m("12.500")}, euros[1], euros[2], euros[3],
                            {2, "Deudores y tesorería", "A2", m("8.500")}, {3, "Clientes", "-", m("8.500")},
                            {1, "PASIVO", "P", m("12.500")}, euros[8], euros[9], euros[10],
                            {2, "Deudas con bancos", "P2", m("1.000")}, {3, "Bancos", "-", m("1.000")}};
        // clang-format on
        QList<Linea> epigrafes;
        for (const Linea& l : euros)
            if (std::get<2>(l) != u"-") epigrafes << l;
        QTest::newRow("solo epígrafes") << "epígrafes" << epigrafes;
    }
    void balanceDeSituacion() {
        QFETCH(QString, opcion);
        libroBasico();
        Conexion& c = l_->conta();
        if (opcion == u"descubierto")
            l_->asentar(
                1, {"20010515 4300001 500.000 0 5.000 0", "20010515 5720001 0 500.000 0 5.000"});
        if (opcion == u"desglosar")
            c.Execute(QStringLiteral("UPDATE Cuenta SET Desglosar = 1 WHERE Codigo = '129'"));
        c.Execute(QStringLiteral(
            "UPDATE Cuenta SET Descripcion = 'Nave \"A\" d''Or' WHERE Codigo = '2100001'"));
        // Un informe solo lee: cualquier escritura en los libros haría fallar el cálculo.
        c.Execute(QStringLiteral("PRAGMA query_only = 1"));
        OpcionesBalance o = opciones(1);
        o.mostrarCodigos = true;
        o.soloEpigrafes = opcion == u"epígrafes";
        const EstadoBalance r = calcularBalance(c, progreso_, o);
        QTEST(lineas(r.lineas), "esperado");
        if (!opcion.isEmpty()) return;
        // Orden conserva el número de línea: el epígrafe vacío P2 (12) se ha quitado.
        QList<qint64> orden;
        for (const LineaBalance& l : r.lineas) {
            orden << l.orden;
            QVERIFY(!l.conPresupuesto);
        }
        QCOMPARE(orden, (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    }

    // Una cuenta con movimientos pero saldo cero solo sale con "Mostrar cuentas con saldo
    // cero"; una sin movimientos no sale nunca.
    void cuentasConSaldoCero() {
        libroBasico();
        l_->asentar(1,
                    {"20010515 4300001 0 350.000 0 3.500", "20010615 7000001 350.000 0 3.500 0"});
        OpcionesBalance o = opciones(2, QDate(2001, 3, 1), QDate(2001, 6, 30));
        QVERIFY(calcular(o).empty());
        o = opciones(1, QDate(2001, 3, 1), QDate(2001, 5, 31));
        o.saldoCero = true;
        const QList<Linea> r = lineas(calcular(o));
        QVERIFY(r.contains(Linea{3, "Clientes", "-", Moneda()}));
        QVERIFY(!r.contains(Linea{3, "Capital", "-", Moneda()}));  // sin movimientos en el periodo
    }

    // Las pesetas se suman exactas: dos epígrafes de 0,4 pesetas suman 0,8, que se imprime 1;
    // redondeados antes de sumar darían 0.
    void pesetasSumadasExactas() {
        prueba::LibrosPrueba& l = *l_;
        l.empresa(QStringLiteral("20010101"), QStringLiteral("20011231"));
        for (const char* c : {"X", "Y"})
            l.conta().Execute("UPDATE Estructura SET Total01 = '-0,4' WHERE IDEstructura = ?",
                              {l.epigrafe(1, 2, c, c, 4)});
        l.epigrafe(1, 2, "R", "Resultado", 4, 1, "X+Y");
        OpcionesBalance o = opciones(2, QDate(2001, 1, 1), QDate(2001, 1, 31));
        o.divisa = Divisa::Pesetas;
        QCOMPARE(importes(calcular(o)), (QList<TotalYPresupuesto>{{"R", m("0,8"), Moneda()},
                                                                  {"X", m("0,4"), Moneda()},
                                                                  {"Y", m("0,4"), Moneda()}}));
    }

    // Epígrafes vacíos: G vale cero aunque sus hijos no (se anulan) y no tiene cuentas: se
    // quita; H vale cero pero tiene debajo una cuenta: se queda.
    void epigrafesVacios() {
        prueba::LibrosPrueba& l = *l_;
        l.empresa(QStringLiteral("20010101"), QStringLiteral("20011231"));
        l.cuenta(1, "6290001", "Otros");
        l.epigrafe(1, 2, "G", "Gastos", 3);
        l.epigrafe(1, 2, "G1", "Compras", 3, 2);
        l.epigrafe(1, 2, "G2", "Devoluciones", 3, 2);
        l.epigrafe(1, 2, "H", "Varios", 3, 1, {}, {"6290001"});
        l.asentar(1, {"20010115 6290001 1.000 1.000 10 10"});
        totalEpigrafe("G1", 1, "500");
        totalEpigrafe("G2", 1, "-500");
        OpcionesBalance o = opciones(2);
        o.saldoCero = true;
        QCOMPARE(lineas(calcular(o)), (QList<Linea>{{2, "Compras", "G1", m("500")},
                                                    {2, "Devoluciones", "G2", m("-500")},
                                                    {1, "Varios", "H", Moneda()},
                                                    {2, "Otros", "-", Moneda()}}));
    }

    // Fórmulas: una cadena de tres, dos que se citan entre sí, una suma negativa, una a cero
    // con una línea más honda detrás y un epígrafe sin código; con el presupuesto de las
    // ventas.
    void formulas() {
        libroBasico();
        l_->asentar(1, {"P 7000001 3 700.000 7.000"});  // antes de los totales puestos a mano
        const auto f = [&](const char* codigo, const char* formula, int orden = 1) {
            l_->epigrafe(1, 2, codigo, codigo, 4, orden, QString::fromUtf8(formula));
            return QString::fromUtf8(codigo);
        };
        f("R1", " R2 ");
        f("R2", "R3");
        f("R3", "I - G");
        f("X1", "X2");
        f("X2", "X1+I");
        f("N", "G-I");
        f("B", "Z9");
        totalEpigrafe(f("B1", "", 2), 5, "-50");
        totalEpigrafe(f("", ""), 5, "-75");
        OpcionesBalance o = opciones(2);
        o.presupuesto = true;
        // Código, lo que muestran los importes, total, presupuesto y la fórmula que queda.
        using I = LineaBalance::Importes;
        using Fila = std::tuple<QString, I, Moneda, Moneda, QString>;
        QList<Fila> filas;
        for (const LineaBalance& l : calcular(o))
            filas.push_back({l.codigo, l.importes, l.total, l.presupuesto, l.formula});
        const Moneda cero;
        QCOMPARE(filas, (QList<Fila>{{"G", I::Numeros, m("2.000"), cero, ""},
                                     {"-", I::Numeros, m("2.000"), cero, ""},
                                     {"-", I::Numeros, m("75"), cero, ""},
                                     {"B", I::EnBlanco, cero, cero, ""},
                                     {"B1", I::Numeros, m("50"), cero, ""},
                                     {"I", I::Numeros, m("3.500"), m("7.000"), ""},
                                     {"-", I::Numeros, m("3.500"), m("7.000"), ""},
                                     {"R1", I::Numeros, m("1.500"), m("7.000"), ""},
                                     {"R2", I::Numeros, m("1.500"), m("7.000"), ""},
                                     {"R3", I::Numeros, m("1.500"), m("7.000"), ""},
                                     {"X1", I::Error, cero, cero, "X2"},
                                     {"X2", I::Error, cero, cero, "X1+I"}}));
    }

    // Una fórmula de suma negativa (gastos menos ingresos, N): en los estados de los modelos de
    // 2007 (SumaConSigno) sale con su signo, en el balance de una empresa y en los dos lados del
    // comparativo, y con ella el presupuesto; en los de dos lados, y en los libros que no tienen
    // la columna, vale 0 y se quita. Una suma positiva (R) sale igual en todos.
    void sumaConSigno_data() {
        QTest::addColumn<QString>("columna");  // "-1", "0" o vacía: los libros no la tienen
        QTest::addColumn<QList<TotalYPresupuesto>>("balance");
        QTest::addColumn<QList<FilaLados>>("comparativo");
        QTest::addColumn<QList<qint64>>("orden");  // de las filas del comparativo
        // clang-format off
        const QList<TotalYPresupuesto> dosLados{{"G", m("2.000"), m("100")}, {"I", m("3.500"), m("300")}, {"R", m("1.500"), m("200")}};
        const FilaLados gastos{"Gastos", numeros("2.000"), numeros("2.000")},
                        ingresos{"Ingresos", numeros("3.500"), numeros("3.500")},
                        resultado{"Ingresos menos gastos", numeros("1.500"), numeros("1.500")};
        // Las cuentas, que no se escriben, y N, que se quita, cuentan en el orden.
        QTest::newRow("modelo de 2007") << "-1"
            << QList<TotalYPresupuesto>{dosLados[0], dosLados[1], {"N", m("-1.500"), m("-200")}, dosLados[2]}
            << QList<FilaLados>{gastos, ingresos, {"Gastos menos ingresos", numeros("-1.500"), numeros("-1.500")}, resultado}
            << QList<qint64>{1, 3, 5, 6};
        QTest::newRow("dos lados") << "0" << dosLados << QList<FilaLados>{gastos, ingresos, resultado} << QList<qint64>{1, 3, 6};
        QTest::newRow("libros sin la columna") << "" << dosLados << QList<FilaLados>{gastos, ingresos, resultado} << QList<qint64>{1, 3, 6};
        // clang-format on
    }
    void sumaConSigno() {
        QFETCH(QString, columna);
        dosEmpresas();
        l_->asentar(1, {"P 6000001 5 10.000 100", "P 7000001 5 30.000 300"});
        for (long e : {1L, 2L}) {
            l_->epigrafe(e, 2, "N", "Gastos menos ingresos", 4, 1, QStringLiteral("G-I"));
            l_->epigrafe(e, 2, "R", "Ingresos menos gastos", 4, 1, QStringLiteral("I-G"));
        }
        sumaConSigno(columna);
        OpcionesBalance o = opciones(2);
        o.presupuesto = o.soloEpigrafes = true;
        QTEST(importes(calcular(o)), "balance");
        OpcionesComparativo c = opcionesComp(2, 2);
        c.soloEpigrafes = true;
        const std::vector<FilaComparativo> filas = calcular(c);
        QTEST(lados(filas), "comparativo");
        QList<qint64> orden;
        for (const FilaComparativo& f : filas) orden << f.orden;
        QTEST(orden, "orden");
    }

    // El presupuesto de unas pérdidas y ganancias como las del modelo de 2007, todos sus
    // epígrafes «Haber»: ventas (R1), compras con sus rappels, que las minoran (R2, que suma
    // R2.1 y R2.2 por su código), y el resultado (RA = R1+R2). Los presupuestos se guardan en
    // positivo; con signo, el de un gasto es negativo como su total. En los estados de dos lados
    // y en los libros sin la columna, como siempre.
    void presupuestoConSigno_data() {
        QTest::addColumn<QString>("columna");  // "-1", "0" o vacía: los libros no la tienen
        QTest::addColumn<QList<TotalYPresupuesto>>("esperado");
        // clang-format off
        const QList<TotalYPresupuesto> dosLados{
            {"R1", m("3.500"), m("4.000")}, {"-", m("3.500"), m("4.000")}, {"R2", m("-1.700"), m("2.700")}, {"R2.1", m("-2.000"), m("2.500")},
            {"-", m("-2.000"), m("2.500")}, {"R2.2", m("300"), m("200")}, {"-", m("300"), m("200")}, {"RA", m("1.800"), m("6.700")}};
        QTest::newRow("modelo de 2007") << "-1" << QList<TotalYPresupuesto>{
            {"R1", m("3.500"), m("4.000")}, {"-", m("3.500"), m("4.000")}, {"R2", m("-1.700"), m("-2.300")}, {"R2.1", m("-2.000"), m("-2.500")},
            {"-", m("-2.000"), m("-2.500")}, {"R2.2", m("300"), m("200")}, {"-", m("300"), m("200")}, {"RA", m("1.800"), m("1.700")}};
        // clang-format on
        QTest::newRow("dos lados") << "0" << dosLados;
        QTest::newRow("libros sin la columna") << "" << dosLados;
    }
    void presupuestoConSigno() {
        QFETCH(QString, columna);
        const long e = l_->empresa("20010101", "20011231");
        l_->cuentas(e, {"600 Compras", "609 Rappels por compras", "700 Ventas"});
        l_->epigrafe(e, 2, "R1", "Ventas", 4, 1, {}, {"700"});
        l_->epigrafe(e, 2, "R2", "Compras netas", 4);
        l_->epigrafe(e, 2, "R2.1", "Compras", 4, 2, {}, {"600"});
        l_->epigrafe(e, 2, "R2.2", "Rappels", 4, 2, {}, {"609"});
        l_->epigrafe(e, 2, "RA", "Resultado", 4, 1, QStringLiteral("R1+R2"));
        l_->asentar(e, {"20010215 6000001 200.000 0 2.000 0", "20010215 5720001 0 200.000 0 2.000",
                        "20010315 7000001 0 350.000 0 3.500", "20010315 5720001 350.000 0 3.500 0",
                        "20010615 6090001 0 30.000 0 300", "20010615 5720001 30.000 0 300 0",
                        "P 7000001 3 400.000 4.000", "P 6000001 2 250.000 2.500",
                        "P 6090001 6 20.000 200"});
        sumaConSigno(columna);
        OpcionesBalance o = opciones(2);
        o.presupuesto = true;
        QTEST(importes(calcular(o)), "esperado");
    }

    void terminosDeFormula_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("terminos");
        // clang-format off
        QTest::newRow("tres términos") << "A+B-C" << QStringList{"+A", "+B", "-C"};
        QTest::newRow("blancos alrededor") << " A.I + A.II " << QStringList{"+ A.I ", "+ A.II "};
        QTest::newRow("un solo código") << "R" << QStringList{"+R"};
        QTest::newRow("empieza por menos") << "-X+Y" << QStringList{"+", "-X", "+Y"};
        QTest::newRow("operador al final") << "A-" << QStringList{"+A", "-"};
        QTest::newRow("vacía") << "" << QStringList{"+"};
        // clang-format on
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

    // Dónde cae el resultado, leído sin escribir: en el mes del último día, con la suma de los
    // grupos 6 y 7 de los meses del periodo (que puede cruzar el año), en la 129 y sus epígrafes
    // (los padres por código, aunque sean hermanos como A.II de A.III); la 1290000 que falta se
    // nombra. Sin resultado: nada.
    void resultadoDelPeriodo_data() {
        QTest::addColumn<QString>("libro");
        QTest::addColumn<QDate>("desde");
        QTest::addColumn<QDate>("hasta");
        QTest::addColumn<QString>("mes");
        QTest::addColumn<Moneda>("debe");
        QTest::addColumn<Moneda>("haber");
        QTest::addColumn<QString>("lugares");  // cuentas|subcuenta que falta|epígrafes
        const QDate enero(2001, 1, 1);
        const QString pyg = QStringLiteral("129|1290000|P1=1 P=1");
        const Moneda cero;
        // clang-format off
        QTest::newRow("beneficio del año, sin 1290000") << "básico" << enero << QDate(2001, 12, 31) << "12" << cero << m("1.500") << pyg;
        QTest::newRow("pérdida de febrero") << "básico" << QDate(2001, 2, 1) << QDate(2001, 2, 28) << "02" << m("2.000") << cero << pyg;
        QTest::newRow("de marzo a febrero cruza el año") << "básico" << QDate(2001, 3, 1) << QDate(2002, 2, 28) << "02" << cero << m("1.500") << pyg;
        QTest::newRow("mayo sin movimientos") << "básico" << QDate(2001, 5, 1) << QDate(2001, 5, 31) << "" << cero << cero << "||";
        QTest::newRow("ingresos iguales a gastos") << "empate" << enero << QDate(2001, 12, 31) << "" << cero << cero << "||";
        QTest::newRow("padres por código") << "A.III" << enero << QDate(2001, 3, 31)
            << "03" << cero << m("10") << "1290000||A.=1 A.I=1 A.II=1 A.III=1 A=1";
        // clang-format on
    }
    void resultadoDelPeriodo() {
        QFETCH(QString, libro);
        QFETCH(QDate, desde);
        QFETCH(QDate, hasta);
        Conexion& c = l_->conta();
        if (libro == u"A.III") {
            l_->empresa(QStringLiteral("20010101"), QStringLiteral("20011231"));
            l_->cuenta(1, "1290000", "PyG");
            for (const char* e : {"A", "A.", "A.I", "A.II", "B"}) l_->epigrafe(1, 1, e, e, 2);
            l_->epigrafe(1, 1, "A.III", "A.III", 2, 2, {}, {"1290000"});
            l_->asentar(1, {"20010315 7000001 0 1.000 0 10"});
        } else {
            libroBasico();
            if (libro == u"empate") l_->asentar(1, {"20010315 6000001 150.000 0 1.500 0"});
        }
        c.Execute(QStringLiteral("PRAGMA query_only = 1"));
        const ResultadoPeriodo r = ResultadoDelPeriodo(c, 1, Divisa::Euros, desde, hasta);
        QStringList cuentas, epigrafes;
        for (const qlonglong id : r.cuentas)
            cuentas << c.valor(QStringLiteral("SELECT Codigo FROM Cuenta WHERE IDCuenta = ?"), {id})
                           .toString();
        for (auto it = r.epigrafes.cbegin(); it != r.epigrafes.cend(); ++it)
            epigrafes << c.valor(QStringLiteral("SELECT CodigoEpigrafe FROM Estructura "
                                                "WHERE IDEstructura = ?"),
                                 {it.key()})
                                 .toString() +
                             u'=' + QString::number(it.value());
        cuentas.sort();
        epigrafes.sort();
        QTEST(r.mes, "mes");
        if (!r.mes.isEmpty()) {
            QTEST(r.debe, "debe");
            QTEST(r.haber, "haber");
        }
        QTEST(
            QStringList({cuentas.join(u' '), r.subcuentaQueFalta, epigrafes.join(u' ')}).join(u'|'),
            "lugares");
    }

    // Filas "descripción|códigoA|códigoB" ("" cuando falta el lado).
    void fusion_data() {
        QTest::addColumn<QStringList>("a");
        QTest::addColumn<QStringList>("b");
        QTest::addColumn<QStringList>("esperado");
        // clang-format off
        QTest::newRow("estructuras iguales") << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Cta"} << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Cta"} << QStringList{"ACTIVO|A|A", "Inmov|A1|A1", "Cta|-|-"};
        QTest::newRow("epígrafe solo en B, en su sitio y con sus cuentas") << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Cta"} << QStringList{"1 ACTIVO A", "2 Nuevo A0", "3 CtaNueva", "2 Inmov A1", "3 Cta"} << QStringList{"ACTIVO|A|A", "Nuevo||A0", "CtaNueva||-", "Inmov|A1|A1", "Cta|-|-"};
        QTest::newRow("epígrafe solo en A, con todo lo suyo, sin saltar B") << QStringList{"1 ACTIVO A", "2 Viejo A0", "3 CtaVieja", "4 Sub", "2 Inmov A1"} << QStringList{"1 ACTIVO A", "2 Inmov A1"} << QStringList{"ACTIVO|A|A", "Viejo|A0|", "CtaVieja|-|", "Sub|-|", "Inmov|A1|A1"};
        QTest::newRow("misma descripción bajo padres distintos") << QStringList{"1 ACTIVO A", "2 Otros A9"} << QStringList{"1 CIRCULANTE C", "2 Otros C9"} << QStringList{"ACTIVO|A|", "Otros|A9|", "CIRCULANTE||C", "Otros||C9"};
        QTest::newRow("B más hondo que A se escribe antes") << QStringList{"1 ACTIVO A", "2 Inmov A1", "1 PASIVO P"} << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Solo", "1 PASIVO P"} << QStringList{"ACTIVO|A|A", "Inmov|A1|A1", "Solo||-", "PASIVO|P|P"};
        QTest::newRow("la misma cuenta con otra descripción sale dos veces") << QStringList{"1 ACTIVO A", "2 Bancos"} << QStringList{"1 ACTIVO A", "2 Banco"} << QStringList{"ACTIVO|A|A", "Bancos|-|", "Banco||-"};
        QTest::newRow("B vacío") << QStringList{"1 ACTIVO A"} << QStringList{} << QStringList{"ACTIVO|A|"};
        // clang-format on
    }
    void fusion() {
        QFETCH(QStringList, a);
        QFETCH(QStringList, b);
        QFETCH(QStringList, esperado);
        QStringList filas;
        for (const FilaBalance& f : cIFusionarCol().FusionarColecciones(coleccion(a), coleccion(b)))
            filas << QStringList{(f.a ? *f.a : *f.b).descripcion, f.a ? f.a->codigo : QString(),
                                 f.b ? f.b->codigo : QString()}
                         .join(u'|');
        QCOMPARE(filas, esperado);
    }

    // Las fórmulas de cada lado se resuelven con los códigos de su lado; una línea a cero que
    // solo está en ese lado se borra (o se deja en blanco si tiene debajo una más honda), y la
    // que está en los dos solo pierde los importes de su lado.
    void formulasPorLado() {
        // Nivel, descripción y, de cada lado, código, total y fórmula; sin código falta el lado.
        const QList<QStringList> datos{{"1", "Ingresos", "I", "100", "", "I", "50", ""},
                                       {"1", "Solo A", "Z1", "0", "I-I", "", "", ""},
                                       {"1", "En los dos", "Z2", "0", "I - I", "Z2", "0", "I"},
                                       {"1", "Solo A con hijos", "Z3", "0", "Z9", "", "", ""},
                                       {"2", "Cuenta", "-", "10", "", "", "", ""},
                                       {"1", "Circular", "E", "0", "E", "E", "5", ""},
                                       {"1", "Negativa", "N", "0", "", "N", "0", "I-Z2-Z2-I"}};
        std::vector<FilaBalance> filas;
        for (const QStringList& d : datos) {
            FilaBalance f;
            for (int k : {2, 5}) {
                if (d[k].isEmpty()) continue;
                LineaBalance l;
                l.naturaleza = QStringLiteral("Haber");
                l.nivel = d[0].toInt();
                l.descripcion = d[1];
                l.codigo = d[k];
                l.total = *Moneda::deTexto(d[k + 1]);
                l.formula = d[k + 2].trimmed();
                (k == 2 ? f.a : f.b) = l;
            }
            filas.push_back(f);
        }
        CalcularFormulas(filas, true, progreso_, QString());
        CalcularFormulas(filas, false, progreso_, QString());
        QList<FilaLados> quedan;
        for (const FilaBalance& f : filas)
            if (!f.borrada)
                quedan.push_back({(f.a ? *f.a : *f.b).descripcion, lado(f.a), lado(f.b)});
        QCOMPARE(quedan, (QList<FilaLados>{{"Ingresos", numeros("100"), numeros("50")},
                                           {"En los dos", kEnBlanco, numeros("50")},
                                           {"Solo A con hijos", kEnBlanco, std::nullopt},
                                           {"Cuenta", numeros("10"), std::nullopt},
                                           {"Circular", kError, numeros("5")},
                                           {"Negativa", numeros("0"), kEnBlanco}}));
        QCOMPARE(filas[5].a->formula, QStringLiteral("E"));  // la que no se resuelve se queda
    }

    // B tiene un epígrafe H de otros ingresos que A no tiene: sale entre G e I, como en B,
    // con su cuenta y el lado A vacío. Las fórmulas de cada lado se resuelven con su lado.
    void epigrafeSoloEnB() {
        dosEmpresas();
        prueba::LibrosPrueba& l = *l_;
        l.cuenta(2, "759", "Ingresos varios");
        l.epigrafe(2, 2, "H", "Otros ingresos", 4, 1, {}, {"759"});
        l.asentar(2, {"20000615 7590001 0 30.000 0 300"});
        for (long e : {1L, 2L})
            l.epigrafe(e, 2, "R", "Resultado", 4, 1, e == 1 ? QStringLiteral("I-G") : "I+H-G");
        const EstadoComparativo r = calcularComparativo(l.conta(), progreso_, opcionesComp(2, 2));
        QCOMPARE(lados(r.filas),
                 (QList<FilaLados>{{"Gastos", numeros("2.000"), numeros("2.000")},
                                   {"Compras", numeros("2.000"), numeros("2.000")},
                                   {"Otros ingresos", std::nullopt, numeros("300")},
                                   {"Ingresos varios", std::nullopt, numeros("300")},
                                   {"Ingresos", numeros("3.500"), numeros("3.500")},
                                   {"Ventas", numeros("3.500"), numeros("3.500")},
                                   {"Resultado", numeros("1.500"), numeros("1.800")}}));
        QCOMPARE(r.empresaA, QStringLiteral("<PRU-2001>"));
        QCOMPARE(r.empresaB, QStringLiteral("<EJ0-2000>"));
    }

    // B cuyo ejercicio (octubre a febrero) no cubre ningún mes de mayo a agosto: no suma
    // nada, aunque tenga movimientos en esas columnas, y sus líneas se quedan vacías.
    void empresaSinMesesDelPeriodo() {
        dosEmpresas();
        l_->conta().Execute(QStringLiteral(
            "UPDATE Empresa SET FechaIni = '20001001', FechaFin = '20010228' WHERE IDEmpresa = 2"));
        for (long e : {1L, 2L}) l_->asentar(e, {"20010615 7000001 0 10.000 0 100"});
        OpcionesComparativo o = opcionesComp(2, 2);
        o.desde = QDate(2001, 5, 1);
        o.hasta = QDate(2001, 8, 31);
        QCOMPARE(lados(calcular(o)), (QList<FilaLados>{{"Ingresos", numeros("100"), std::nullopt},
                                                       {"Ventas", numeros("100"), std::nullopt}}));
    }

    // La misma empresa en A y en B, elegida por su código (otra va antes en la lista): cada
    // línea una vez, con los dos lados iguales y el resultado en los dos, de unos libros que
    // solo se leen.
    void mismaEmpresaEnLosDosLados() {
        libroBasico();
        libroBasico(2000, QStringLiteral("AAA"));
        l_->conta().Execute(QStringLiteral("PRAGMA query_only = 1"));
        const QStringList filas = lanzar(QStringLiteral("ImprimirBalanceSituacionComp"), {0},
                                         {QStringLiteral("cboBalance(1)=1")},
                                         QStringLiteral("Descripcion, TotalA, TotalB"));
        QCOMPARE(filas.size(), 11);
        for (const QString& f : filas) {
            const QStringList c = f.split(u'|');
            QVERIFY2(!c[1].isEmpty() && c[1] == c[2], qPrintable(f));
        }
        QVERIFY(filas.contains(QStringLiteral("Resultados|1.500,00|1.500,00")));
        QCOMPARE(motor_.impresas.value(1), QStringLiteral("Empresa A= \"<PRU-2001>\""));
        QCOMPARE(motor_.impresas.value(2), QStringLiteral("Empresa B= \"<PRU-2001>\""));
    }

    // Por el camino del usuario: título del diálogo, plantilla y título del informe según el
    // informe y el presupuesto, de unos libros que no cambian. B es de entrada la empresa del
    // ejercicio anterior. Las de pérdidas y ganancias no necesitan la 129.
    void dialogo_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<bool>("presupuesto");
        QTest::addColumn<QString>("ventana");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("titulo");
        const QString s = QStringLiteral("Informe de balance de Situación"),
                      p = QStringLiteral("Informe de balance de Pérdidas y Ganancias"),
                      pc = p + QStringLiteral(" comparativo");
        // Los demás casos, con sus plantillas y títulos, los ven los volcados.
        // clang-format off
        QTest::newRow("situación con presupuesto") << "ImprimirBalanceSituacion" << true << s
            << "infCONT_SituacionPresupuesto.rpt" << s + " presupuestario";
        QTest::newRow("pérdidas y ganancias") << "ImprimirBalancePYG" << false << p
            << "infCONT_PerdidasyGanancias.rpt" << p;
        QTest::newRow("pérdidas y ganancias comparativo con presupuesto") << "ImprimirBalancePYGComp"
            << true << pc << "infCONT_PerdidasyGananciasComparativoPresupuesto.rpt"
            << pc + " presupuestario";
        // clang-format on
    }
    void dialogo() {
        QFETCH(QString, operacion);
        QFETCH(bool, presupuesto);
        QFETCH(QString, ventana);
        QFETCH(QString, plantilla);
        QFETCH(QString, titulo);
        dosEmpresas(true);
        if (operacion.contains(u"PYG"))
            l_->conta().Execute(
                QStringLiteral("DELETE FROM Rel_Estructura_Cuenta WHERE CodCuenta IN "
                               "(SELECT IDCuenta FROM Cuenta WHERE Codigo = '129')"));
        const QString antes = instantanea();
        QList<int> casillas{0};
        if (presupuesto) casillas << 4;
        QVERIFY(!lanzar(operacion, casillas).isEmpty());
        QVERIFY(interfaz_.mensajes.empty());
        QCOMPARE(ventana_, ventana);
        QVERIFY(motor_.impreso);
        QCOMPARE(QFileInfo(motor_.plantilla).fileName(), plantilla);
        QCOMPARE(motor_.titulo, titulo);
        QCOMPARE(motor_.impresas.value(operacion.endsWith(u"Comp") ? 4 : 3),
                 QStringLiteral("MostrarColumnaCodigo = 0"));
        if (operacion.endsWith(u"Comp"))
            QCOMPARE(motor_.impresas.value(2), QStringLiteral("Empresa B= \"<EJ0-2000>\""));
        QCOMPARE(instantanea(), antes);
        QCOMPARE(l_->filas(cInformes::tablaDe(operacion), QStringLiteral("Descripcion")),
                 QStringList());  // la operación la vacía
    }

    // Lo que impide el informe: un aviso o un error que nombra el paso, un solo mensaje con su
    // pitido, y nada escrito ni impreso, con los libros como estaban.
    void avisos_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("sql");  // lo que se cambia en los libros de las dos empresas
        QTest::addColumn<QStringList>("controles");
        QTest::addColumn<QStringList>("mensaje");  // partes del mensaje
        const QString situacion = QStringLiteral("ImprimirBalanceSituacion"),
                      pyg = QStringLiteral("ImprimirBalancePYG"),
                      pygComp = QStringLiteral("ImprimirBalancePYGComp"),
                      sinEnlace = QStringLiteral(
                          "DELETE FROM Rel_Estructura_Cuenta WHERE CodCuenta IN (SELECT IDCuenta "
                          "FROM Cuenta WHERE Codigo = '129' AND CodEmpresa = %1)"),
                      sin129 = QStringLiteral(
                          "¡La cuenta de pérdidas y ganancias no existe o bien no está asignada a "
                          "ningún epígrafe del balance de situación de la empresa ");
        const QStringList ninguno;
        // clang-format off
        QTest::newRow("sin la 129") << situacion << sinEnlace.arg(1) << ninguno << QStringList{sin129 + "'PRU-2001'!"};
        QTest::newRow("la 129 solo en pérdidas y ganancias") << situacion << "UPDATE Estructura SET CodDocumento = 2 WHERE CodigoEpigrafe = 'P1' AND CodEmpresa = 1" << ninguno << QStringList{sin129 + "'PRU-2001'!"};
        QTest::newRow("B sin la 129") << QStringLiteral("ImprimirBalanceSituacionComp") << sinEnlace.arg(2) << ninguno << QStringList{sin129 + "'EJ0-2000'!"};
        QTest::newRow("importe ilegible") << situacion << "UPDATE Cuenta SET Debe05Euros = 'mil' WHERE Codigo = '430' AND CodEmpresa = 1" << ninguno << QStringList{"mil", "\rProcedimiento: BalanceSinPresupuesto\rMódulo: frmInfBalances\r"};
        QTest::newRow("importe ilegible en B") << pygComp << "UPDATE Cuenta SET Haber03Euros = 'tres mil' WHERE CodEmpresa = 2 AND Codigo LIKE '7%'" << ninguno << QStringList{"tres mil", "\rProcedimiento: CargaColeccionEmpresa\rMódulo: frmInfBalancesComp\rComplemento: OrvoContabilidadInf"};
        QTest::newRow("periodo al revés") << pyg << QString() << QStringList{"dtpBalance(0)=2001-06-01", "dtpBalance(1)=2001-05-01"} << QStringList{"¡No puede ser mayor la fecha inicial que la fecha final!"};
        QTest::newRow("sin empresa B") << pygComp << "UPDATE Empresa SET CodEmpresaAnterior = 0" << ninguno << QStringList{"¡Debe seleccionar una empresa de destino de la lista!"};
        // clang-format on
    }
    void avisos() {
        QFETCH(QString, operacion);
        QFETCH(QString, sql);
        QFETCH(QStringList, controles);
        QFETCH(QStringList, mensaje);
        dosEmpresas(true);
        if (!sql.isEmpty()) l_->conta().Execute(sql);
        const QString antes = instantanea();
        const QStringList vaciadas = lanzar(operacion, {0}, controles);
        QCOMPARE(interfaz_.mensajes.size(), std::size_t(1));
        for (const QString& parte : mensaje)
            QVERIFY2(interfaz_.mensajes[0].texto.contains(parte),
                     qPrintable(interfaz_.mensajes[0].texto));
        QCOMPARE(interfaz_.mensajes[0].icono, Icono::Exclamacion);
        QCOMPARE(interfaz_.pitidos, 1);
        QVERIFY(vaciadas.isEmpty());
        QVERIFY(!motor_.impreso);
        QCOMPARE(instantanea(), antes);
    }
};

QTEST_MAIN(PruebaBalances)
#include "prueba_balances.moc"
