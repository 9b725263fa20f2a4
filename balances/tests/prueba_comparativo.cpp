// Comparativo de dos empresas: la fusión de las líneas, los meses de cada ejercicio y el
// camino completo desde el diálogo.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "BalanceComparativo.h"
#include "ConfiguracionAnfitrion.h"
#include "DoblesPrueba.h"
#include "Esquemas.h"
#include "InterfazQt.h"
#include "LibroPrueba.h"
#include "OrdenPrueba.h"
#include "PruebaBalances.h"
#include "cInformes.h"
#include "frmImprimir.h"

using namespace orvo;
using prueba::filasDe;
using prueba::LibroPrueba;
using prueba::MotorAnotador;

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

}  // namespace

class PruebaComparativo : public prueba::PruebaBalances {
    Q_OBJECT

    void construir(const OpcionesComparativo& o) {
        Transaccion t(*inf_);
        ContextoInforme c{libro_->con(), *inf_, progreso_};
        construirComparativo(c, o);
        t.confirmar();
    }

    OpcionesComparativo opciones(int documento, long b) {
        OpcionesComparativo o;
        o.empresaA = 1;
        o.empresaB = b;
        o.documento = documento;
        o.desde = QDate(2001, 1, 1);
        o.hasta = QDate(2001, 12, 31);
        return o;
    }

    // Lanza la operación; "b" es la empresa B que se elige (0: la que venga elegida).
    QStringList lanzar(const QString& operacion, long b, const QList<int>& casillas = {0}) {
        return lanzarOperacion(operacion, casillas, QStringLiteral("BalancesComparativo"),
                               QStringLiteral("Descripcion, TotalA, TotalB"), [b](QDialog& d) {
                                   auto* listaB =
                                       d.findChild<QComboBox*>(QStringLiteral("cboBalance1"));
                                   if (b) listaB->setCurrentIndex(listaB->findData(qlonglong(b)));
                               });
    }

  private slots:
    void init() { nuevoCaso(); }

    void rutaDeAntepasados() {
        const ColeccionBalance c =
            coleccion({"1 ACTIVO", "2 Inmov", "3 Cta", "2 Circ", "1 PASIVO", "3 Suelta"});
        QStringList rutas;
        for (const auto& l : c) rutas << l.epigrafePadre;
        // "Suelta" (nivel 3) hereda el nivel 2 que quedó de antes: la ruta es la de la cadena
        // de líneas anteriores más cercanas de cada nivel.
        QCOMPARE(rutas, (QStringList{"", "ACTIVO", "ACTIVOInmov", "ACTIVO", "", "PASIVOCirc"}));
    }

    // Filas "descripción|códigoA|códigoB" ("" cuando falta el lado).
    void fusion_data() {
        QTest::addColumn<QStringList>("a");
        QTest::addColumn<QStringList>("b");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("estructuras iguales") << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Cta"}
                                             << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Cta"}
                                             << QStringList{"ACTIVO|A|A", "Inmov|A1|A1", "Cta|-|-"};
        QTest::newRow("epígrafe solo en B, en su sitio y con sus cuentas")
            << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Cta"}
            << QStringList{"1 ACTIVO A", "2 Nuevo A0", "3 CtaNueva", "2 Inmov A1", "3 Cta"}
            << QStringList{"ACTIVO|A|A", "Nuevo||A0", "CtaNueva||-", "Inmov|A1|A1", "Cta|-|-"};
        QTest::newRow("epígrafe solo en A, con todo lo suyo, sin saltar B")
            << QStringList{"1 ACTIVO A", "2 Viejo A0", "3 CtaVieja", "4 Sub", "2 Inmov A1"}
            << QStringList{"1 ACTIVO A", "2 Inmov A1"}
            << QStringList{"ACTIVO|A|A", "Viejo|A0|", "CtaVieja|-|", "Sub|-|", "Inmov|A1|A1"};
        QTest::newRow("misma descripción bajo padres distintos")
            << QStringList{"1 ACTIVO A", "2 Otros A9"}
            << QStringList{"1 CIRCULANTE C", "2 Otros C9"}
            << QStringList{"ACTIVO|A|", "Otros|A9|", "CIRCULANTE||C", "Otros||C9"};
        QTest::newRow("B más hondo que A se escribe antes")
            << QStringList{"1 ACTIVO A", "2 Inmov A1", "1 PASIVO P"}
            << QStringList{"1 ACTIVO A", "2 Inmov A1", "3 Solo", "1 PASIVO P"}
            << QStringList{"ACTIVO|A|A", "Inmov|A1|A1", "Solo||-", "PASIVO|P|P"};
        QTest::newRow("la misma cuenta con otra descripción sale dos veces")
            << QStringList{"1 ACTIVO A", "2 Bancos"} << QStringList{"1 ACTIVO A", "2 Banco"}
            << QStringList{"ACTIVO|A|A", "Bancos|-|", "Banco||-"};
        QTest::newRow("B vacío") << QStringList{"1 ACTIVO A"} << QStringList{}
                                 << QStringList{"ACTIVO|A|"};
    }
    void fusion() {
        QFETCH(QStringList, a);
        QFETCH(QStringList, b);
        QFETCH(QStringList, esperado);
        Transaccion t(*inf_);
        GrabarFilasComparativo(cIFusionarCol().FusionarColecciones(coleccion(a), coleccion(b)),
                               true, *inf_);
        QCOMPARE(filasDe(*inf_, QStringLiteral("BalancesComparativo"),
                         QStringLiteral("Descripcion, CodigoA, CodigoB")),
                 esperado);
        const QStringList orden =
            filasDe(*inf_, QStringLiteral("BalancesComparativo"), QStringLiteral("Orden"));
        for (int i = 0; i < orden.size(); ++i) QCOMPARE(orden[i], QString::number(i + 1));
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
        GrabarFilasComparativo(filas, true, *inf_);
        QCOMPARE(filasDe(*inf_, QStringLiteral("BalancesComparativo"),
                         QStringLiteral("Descripcion, TotalA, MediaA, FormulaA, TotalB, FormulaB")),
                 (QStringList{"Ingresos|100,00|||50,00|", "En los dos||||50,00|",
                              "Solo A con hijos|||||", "Cuenta|10,00||||",
                              "Circular|ERROR|ERROR|E|5,00|", "Negativa|0,00||||"}));
    }

    // B tiene un epígrafe H de otros ingresos que A no tiene: sale entre G e I, como en B,
    // con su cuenta y el lado A vacío. Las fórmulas de cada lado se resuelven con su lado.
    void epigrafeSoloEnB() {
        prueba::libroBasico(*libro_);
        prueba::libroBasico(*libro_, 2, QStringLiteral("EJ0"), 2000);
        LibroPrueba& l = *libro_;
        l.enlazar(l.epigrafe(2, 2, "H", "Otros ingresos", LibroPrueba::Haber, 1),
                  l.cuenta(2, "759", "Ingresos varios"));
        l.cuenta(2, "7590001", "Comisiones", 2);
        l.apunte(2, "7590001", 6, QString(), "300");
        for (long e : {1L, 2L})
            l.epigrafe(e, 2, "R", "Resultado", LibroPrueba::Haber, 1,
                       e == 1 ? QStringLiteral("I-G") : "I+H-G");
        OpcionesComparativo o = opciones(2, 2);
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("BalancesComparativo"),
                         QStringLiteral("Nivel, Descripcion, TotalA, TotalB, FormulaA, FormulaB")),
                 (QStringList{"1|Gastos|2.000,00|2.000,00||", "2|Compras|2.000,00|2.000,00||",
                              "1|Otros ingresos||300,00||", "2|Ingresos varios||300,00||",
                              "1|Ingresos|3.500,00|3.500,00||", "2|Ventas|3.500,00|3.500,00||",
                              "1|Resultado|1.500,00|1.800,00||"}));
    }

    // B cuyo ejercicio (octubre a febrero) no cubre ningún mes de mayo a agosto: no suma
    // nada, aunque tenga movimientos en esas columnas, y sus líneas se quedan vacías.
    void empresaSinMesesDelPeriodo() {
        prueba::libroBasico(*libro_);
        prueba::libroBasico(*libro_, 2, QStringLiteral("EJ0"), 2000);
        libro_->con().Execute(QStringLiteral(
            "UPDATE Empresa SET FechaIni = '20001001', FechaFin = '20010228' WHERE IDEmpresa = 2"));
        for (long e : {1L, 2L}) libro_->apunte(e, "7000001", 6, QString(), "100");
        OpcionesComparativo o = opciones(2, 2);
        o.desde = QDate(2001, 5, 1);
        o.hasta = QDate(2001, 8, 31);
        construir(o);
        QCOMPARE(filasDe(*inf_, QStringLiteral("BalancesComparativo"),
                         QStringLiteral("Descripcion, TotalA, CodigoB, TotalB")),
                 (QStringList{"Ingresos|100,00||", "Ventas|100,00||"}));
    }

    // La misma empresa en A y en B: cada línea una vez, con los dos lados iguales y el
    // resultado en los dos, de unos libros que solo se leen.
    void mismaEmpresaEnLosDosLados() {
        prueba::libroBasico(*libro_);
        libro_->con().Execute(QStringLiteral("PRAGMA query_only = 1"));
        const QStringList filas = lanzar(QStringLiteral("ImprimirBalanceSituacionComp"), 1);
        QCOMPARE(filas.size(), 11);
        for (const QString& f : filas) {
            const QStringList c = f.split(u'|');
            QVERIFY2(!c[1].isEmpty() && c[1] == c[2], qPrintable(f));
        }
        QVERIFY(filas.contains(QStringLiteral("Resultados|1.500,00|1.500,00")));
        QCOMPARE(QFileInfo(motor_.plantilla).fileName(),
                 QStringLiteral("infCONT_SituacionComparativo.rpt"));
        QCOMPARE(motor_.titulo, QStringLiteral("Informe de balance de Situación comparativo"));
        QCOMPARE(motor_.impresas.value(1), QStringLiteral("Empresa A= \"<EJ-2001>\""));
        QCOMPARE(motor_.impresas.value(2), QStringLiteral("Empresa B= \"<EJ-2001>\""));
        QCOMPARE(motor_.impresas.value(3),
                 QStringLiteral("Periodo= \"Periodo contable:  enero/2001 ~ diciembre/2001\""));
        QCOMPARE(motor_.impresas.value(4), QStringLiteral("MostrarColumnaCodigo = 0"));
    }

    // B (la del ejercicio anterior, elegida de entrada) sin 129 en su balance: aviso con su
    // nombre corto y su año, y nada escrito.
    void empresaBSinCuentaDePerdidasYGanancias() {
        prueba::libroBasico(*libro_, 1, QStringLiteral("EJ"), 2001, 2);
        prueba::libroBasico(*libro_, 2, QStringLiteral("EJ0"), 2000);
        libro_->con().Execute(QStringLiteral(
            "DELETE FROM Rel_Estructura_Cuenta WHERE CodCuenta IN "
            "(SELECT IDCuenta FROM Cuenta WHERE Codigo = '129' AND CodEmpresa = 2)"));
        const QStringList filas = lanzar(QStringLiteral("ImprimirBalanceSituacionComp"), 0);
        QCOMPARE(interfaz_.mensajes.size(), std::size_t(1));
        QVERIFY(interfaz_.mensajes[0].texto.endsWith(QStringLiteral("de la empresa 'EJ0-2000'!")));
        QVERIFY(filas.isEmpty());
        QVERIFY(motor_.plantilla.isEmpty());
        // La cuenta de pérdidas y ganancias comparativa no la necesita.
        interfaz_.mensajes.clear();
        QCOMPARE(lanzar(QStringLiteral("ImprimirBalancePYGComp"), 0, {0, 4}).size(), 4);
        QVERIFY(interfaz_.mensajes.empty());
        QCOMPARE(QFileInfo(motor_.plantilla).fileName(),
                 QStringLiteral("infCONT_PerdidasyGananciasComparativoPresupuesto.rpt"));
        QCOMPARE(motor_.titulo,
                 QStringLiteral(
                     "Informe de balance de Pérdidas y Ganancias comparativo presupuestario"));
        QCOMPARE(motor_.impresas.value(2), QStringLiteral("Empresa B= \"<EJ0-2000>\""));
    }

    // Desde el ejecutor de órdenes, eligiendo la empresa B por su código.
    void ejecutorDeOrdenes() {
        prueba::libroBasico(*libro_);
        prueba::libroBasico(*libro_, 2, QStringLiteral("EJ0"), 2000);
        const prueba::Ejecucion e =
            prueba::ejecutarOrden({"ImprimirBalancePYGComp", "--contabilidad", libro_->con().ruta(),
                                   "--empresa", "1", "--ruta", dir_.filePath(QStringLiteral("app")),
                                   "--control", "cboBalance(1)=2", "--cancelar-impresion"},
                                  dir_.filePath(QStringLiteral("volcado.json")));
        QCOMPARE(e.codigo, 1);  // cerrado sin imprimir
        QCOMPARE(e.volcado.value("dialogo").toObject().value("titulo").toString(),
                 QStringLiteral("Informe de balance de Pérdidas y Ganancias comparativo"));
        QCOMPARE(e.filas("Descripcion,TotalB"),
                 (QStringList{"Gastos|2.000,00", "Compras|2.000,00", "Ingresos|3.500,00",
                              "Ventas|3.500,00"}));
    }

    // Un importe ilegible en los libros de B: el error nombra el paso que leía la empresa y no
    // queda nada escrito ni impreso.
    void errorAlCargarUnaEmpresa() {
        prueba::libroBasico(*libro_, 1, QStringLiteral("EJ"), 2001, 2);
        prueba::libroBasico(*libro_, 2, QStringLiteral("EJ0"), 2000);
        libro_->con().Execute(
            QStringLiteral("UPDATE Cuenta SET Haber03Euros = 'tres mil' WHERE CodEmpresa = 2 AND "
                           "Codigo LIKE '7%'"));
        const QStringList filas = lanzar(QStringLiteral("ImprimirBalancePYGComp"), 0);
        QCOMPARE(interfaz_.mensajes.size(), std::size_t(1));
        const QString& texto = interfaz_.mensajes[0].texto;
        QVERIFY2(texto.contains(QStringLiteral("tres mil")), qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("\rProcedimiento: CargaColeccionEmpresa\rMódulo: "
                                               "frmInfBalancesComp\rComplemento: "
                                               "OrvoContabilidadInf")),
                 qPrintable(texto));
        QVERIFY(filas.isEmpty());
        QVERIFY(!motor_.impreso);
    }

    // Sin empresa anterior, la lista B no tiene nada elegido y ACEPTAR lo pide.
    void sinEmpresaB() {
        prueba::libroBasico(*libro_);
        const QStringList filas = lanzar(QStringLiteral("ImprimirBalancePYGComp"), 0);
        QCOMPARE(interfaz_.mensajes.size(), std::size_t(1));
        QCOMPARE(interfaz_.mensajes[0].texto,
                 QStringLiteral("¡Debe seleccionar una empresa de destino de la lista!"));
        QCOMPARE(interfaz_.pitidos, 1);
        QVERIFY(filas.isEmpty());
    }
};

QTEST_MAIN(PruebaComparativo)
#include "prueba_comparativo.moc"
