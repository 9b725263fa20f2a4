// Resumen trimestral de IVA: cuotas por tipo iguales a las de los dos libros de IVA, resultado,
// y la conciliación con las subcuentas 477 y 472 que encuentra cada diferencia sembrada.
#include "LibroPrueba.h"
#include "LibrosIVA.h"
#include "ResumenIVA.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

// Primer trimestre: emitidas al 21 % (y su rectificativa) y al 10 % con recargo del 1,4 % en
// su subcuenta sin factura; recibidas al 21 % y al 4 %.
struct Trimestre {
    Trimestre() {
        empresa = libro.empresa();
        repercutido = cuenta("4770001");
        recargo = cuenta("4779000");
        soportado = cuenta("4720001");
        hacienda = cuenta("4750000");
        cliente = libro.cuenta(empresa, "4300001", "Cliente", "B12345678");
        libro.cuenta(empresa, "4000001", "Proveedor");
        factura(repercutido, "20260110", "F-1", "0", "21", "21", "0", "100");
        const qint64 f2 = factura(repercutido, "20260210", "F-2", "0", "20", "10", "1,4", "200");
        libro.apunte(f2, recargo, "0", "2,80");
        factura(repercutido, "20260315", "R-1", "21", "0", "21", "0", "100");
        factura(soportado, "20260120", "P-1", "10,50", "0", "21", "0", "50");
        factura(soportado, "20260220", "P-2", "4", "0", "4", "0", "100");
    }
    qint64 cuenta(const char* codigo) {
        return libro.cuenta(empresa, QString::fromLatin1(codigo), "IVA");
    }
    qint64 factura(qint64 cuentaIva, const char* fecha, const char* numero, const char* debe,
                   const char* haber, const char* iva, const char* recargoTipo, const char* base) {
        return libro.factura(empresa, ++numeroAsiento, fecha, cuentaIva,
                             {debe, haber, numero, cuentaIva == soportado ? "4000001" : "4300001",
                              iva, recargoTipo, base});
    }
    OpcionesResumenIVA opciones() const {
        OpcionesResumenIVA o;
        o.empresa = empresa;
        o.desde = QDate(2026, 1, 1);
        o.hasta = QDate(2026, 3, 31);
        return o;
    }
    // Suma de unas columnas del libro de IVA impreso para el mismo periodo.
    Moneda totalLibro(bool emitidas, const QStringList& columnas) {
        OpcionesLibrosIVA o;
        o.empresa = empresa;
        o.emitidas = emitidas;
        o.desde = opciones().desde;
        o.hasta = opciones().hasta;
        libro.inf().Execute(QStringLiteral("DELETE FROM Libros_IVA"));
        ProgresoNulo progreso;
        ContextoInforme contexto{libro.conta(), libro.inf(), progreso};
        construirLibrosIVA(contexto, o);
        Moneda total;
        for (const QString& fila : libro.filas(QStringLiteral("Libros_IVA"), columnas.join(u',')))
            for (const QString& celda : fila.split(u'|')) total += *Moneda::deTexto(celda);
        return total;
    }
    QString tipos(const std::vector<LineaTipoIVA>& v) {
        QStringList t;
        for (const LineaTipoIVA& l : v)
            t << l.tipo.formatear() + u':' + l.base.formatear() + u':' + l.cuota.formatear();
        return t.join(u' ');
    }
    LibroPrueba libro;
    long empresa = 0;
    int numeroAsiento = 0;
    qint64 repercutido, recargo, soportado, hacienda, cliente;
};

Moneda euros(const char* texto) {
    return *Moneda::deTexto(QString::fromLatin1(texto));
}

}  // namespace

class PruebaResumenIVA : public QObject {
    Q_OBJECT

  private slots:
    void totalesComoLosLibros() {
        Trimestre t;
        const ResumenIVA r = calcularResumenIVA(t.libro.conta(), t.opciones());
        QCOMPARE(t.tipos(r.devengado), QStringLiteral("21,00:0,00:0,00 10,00:200,00:20,00"));
        QCOMPARE(t.tipos(r.recargo), QStringLiteral("1,40:200,00:2,80"));
        QCOMPARE(t.tipos(r.deducible), QStringLiteral("21,00:50,00:10,50 4,00:100,00:4,00"));
        QCOMPARE(r.totalDevengado, t.totalLibro(true, {"CuotaIVA", "CuotaRecargo"}));
        QCOMPARE(r.totalDeducible, t.totalLibro(false, {"CuotaIVA"}));
        QCOMPARE(r.resultado(), euros("8,30"));
        // Sin nada sembrado las cuentas cuadran: el recargo sin factura va con su factura.
        QCOMPARE(r.repercutido.cuentas, euros("22,80"));
        QCOMPARE(r.soportado.cuentas, euros("14,50"));
        QVERIFY(r.repercutido.diferencias.empty());
        QVERIFY(r.soportado.diferencias.empty());
    }

    void diferenciaSembrada_data() {
        // clang-format off
        QTest::addColumn<int>("caso");
        QTest::addColumn<bool>("enRepercutido");
        QTest::addColumn<int>("clase");
        QTest::addColumn<QString>("importe");
        QTest::addColumn<QString>("diferencia");  // de las cuentas frente al libro
        QTest::newRow("apunte de IVA sin factura")
            << 0 << false << int(DiferenciaIVA::ApunteSinFactura) << "5,00" << "5,00";
        QTest::newRow("factura sin apunte de IVA")
            << 1 << true << int(DiferenciaIVA::FacturaSinApunte) << "121,00" << "0,00";
        QTest::newRow("cuota que no es el tipo por la base")
            << 2 << true << int(DiferenciaIVA::CuotaDistintaDelTipo) << "4,00" << "0,00";
        QTest::newRow("liquidación: no es diferencia") << 3 << true << -1 << "" << "0,00";
        // clang-format on
    }
    void diferenciaSembrada() {
        QFETCH(int, caso);
        QFETCH(bool, enRepercutido);
        QFETCH(int, clase);
        QFETCH(QString, importe);
        QFETCH(QString, diferencia);
        Trimestre t;
        const qint64 as = t.libro.asiento(t.empresa, 77, "20260325");
        if (caso == 0) {
            t.libro.apunte(as, t.soportado, "5", "0");
        } else if (caso == 1) {
            t.libro.apunteIVA(as, t.cliente, {"121", "0", "F-9", "7000001"});
        } else if (caso == 2) {
            t.factura(t.repercutido, "20260325", "F-3", "0", "25", "21", "0", "100");
        } else {
            t.libro.apunte(as, t.repercutido, "22,80", "0");
            t.libro.apunte(as, t.soportado, "0", "14,50");
            t.libro.apunte(as, t.hacienda, "0", "8,30");
        }
        const ResumenIVA r = calcularResumenIVA(t.libro.conta(), t.opciones());
        const CuadreIVA& c = enRepercutido ? r.repercutido : r.soportado;
        const CuadreIVA& otro = enRepercutido ? r.soportado : r.repercutido;
        QVERIFY(otro.diferencias.empty());
        QCOMPARE(c.diferencia(), *Moneda::deTexto(diferencia));
        if (clase < 0) {
            QVERIFY(c.diferencias.empty());
            return;
        }
        QCOMPARE(c.diferencias.size(), size_t(1));
        QCOMPARE(int(c.diferencias[0].clase), clase);
        QCOMPARE(c.diferencias[0].importe, *Moneda::deTexto(importe));
        const QString numero = caso == 2 ? QString::number(t.numeroAsiento) : QStringLiteral("77");
        QVERIFY2(c.diferencias[0].asiento.startsWith(numero + QStringLiteral(" (")),
                 qPrintable(c.diferencias[0].asiento));
    }

    // La tabla de trabajo: secciones en orden, la línea sembrada con su asiento, en pesetas.
    void filasDelInforme() {
        Trimestre t;
        t.libro.apunte(t.libro.asiento(t.empresa, 77, "20260325"), t.soportado, "832", "0",
                       "Suelto", "5", "0");
        OpcionesResumenIVA o = t.opciones();
        o.euros = false;
        ProgresoNulo progreso;
        ContextoInforme contexto{t.libro.conta(), t.libro.inf(), progreso};
        const FormulasInforme f = construirResumenIVA(contexto, o);
        QCOMPARE(f.at(2), QStringLiteral("TrabajarConPts= '1'"));
        const QStringList filas = t.libro.filas("ResumenIVA", "Seccion, Concepto, Cuota");
        QStringList secciones;
        for (const QString& fila : filas)
            if (!secciones.contains(fila.section(u'|', 0, 0)))
                secciones << fila.section(u'|', 0, 0);
        QCOMPARE(secciones.size(), 5);
        QVERIFY(filas.contains(QStringLiteral("CONCILIACIÓN CON LAS CUENTAS 472 (IVA "
                                              "SOPORTADO)|Asiento 77 (%1): apunte de IVA sin "
                                              "factura en 4720001: Suelto|832")
                                   .arg(t.libro.conta()
                                            .valor(QStringLiteral("SELECT max(IDAsiento) FROM "
                                                                  "Asiento"))
                                            .toString())));
    }
};

QTEST_GUILESS_MAIN(PruebaResumenIVA)
#include "prueba_resumen_iva.moc"
