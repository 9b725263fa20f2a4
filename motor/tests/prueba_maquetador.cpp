// El modelo de páginas: fórmulas, plantillas, filas por página, grupos y sumas arrastradas,
// comprobados sobre las líneas compuestas y no sobre píxeles.
#include <QDir>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "Apoyo.h"
#include "Maquetador.h"
#include "Pintor.h"
#include "Salidas.h"

using namespace orvo;
using namespace orvo::prueba;
using Tipo = LineaPagina::Tipo;

namespace {

// Cuerpo de una página A4 vertical: 297 - 10 - 10 de márgenes, 25 de cabecera y 7 de pie.
constexpr int kLineasPorPaginaVertical = 61;  // 245 mm / 4 mm

Plantilla plantillaMayor(const char* nombre = "infCONT_LibroMayor.rpt") {
    return Plantilla::leer(plantilla(QString::fromLatin1(nombre)));
}

// Las palabras de un PDF con su caja, como las lee poppler (pdftotext -bbox), y lo que dijo
// al leerlo: un PDF mal formado (tablas, longitudes, letras) deja avisos en la salida de error.
struct PalabrasPdf {
    struct Palabra {
        QString texto;
        QRectF caja;  // en puntos
    };
    QList<QList<Palabra>> paginas;
    QList<QSizeF> tamanos;
    QString avisos;
};

PalabrasPdf palabrasPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    PalabrasPdf r;
    r.avisos = QString::fromUtf8(p.readAllStandardError());
    static const QRegularExpression pagina(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">"));
    static const QRegularExpression palabra(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
        "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (const QString& linea : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        if (const auto m = pagina.match(linea); m.hasMatch()) {
            r.paginas.append(QList<PalabrasPdf::Palabra>());
            r.tamanos.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
        } else if (const auto w = palabra.match(linea); w.hasMatch() && !r.paginas.isEmpty()) {
            const double x0 = w.captured(1).toDouble(), y0 = w.captured(2).toDouble();
            r.paginas.last().append(
                {w.captured(5),
                 QRectF(x0, y0, w.captured(3).toDouble() - x0, w.captured(4).toDouble() - y0)});
        }
    }
    return r;
}

}  // namespace

class PruebaMaquetador : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<Conexion> con_;
    ValoresFormulas formulas_;

    void mayor(const QString& codigo, const QStringList& importes) {
        for (int i = 0; i < importes.size(); i += 3)
            insertar(*con_, QStringLiteral("Libro_Mayor"),
                     {"Codigo", "Descripcion", "Concepto", "Debe", "Haber", "Saldo"},
                     {codigo, "Cuenta " + codigo, QStringLiteral("Línea %1").arg(i / 3),
                      importes[i], importes[i + 1], importes[i + 2]});
    }

  private slots:
    void init() {
        const QString ruta =
            dir_.filePath(QStringLiteral("%1.mdb").arg(QTest::currentTestFunction()));
        QFile::remove(ruta);
        con_ = baseInformes(ruta);
        formulas_ = ValoresFormulas();
    }

    void formulas_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("valor");
        // clang-format off
        QTest::newRow("comillas dobles") << "Empresa= \"Pérez, S.L. <P-2024>\"" << "Empresa" << "Pérez, S.L. <P-2024>";
        QTest::newRow("apóstrofos") << "TotalDebe = '1.234,00'" << "totaldebe" << "1.234,00";
        QTest::newRow("sin comillas") << "MostrarColumnaCodigo = 1" << "MOSTRARCOLUMNACODIGO" << "1";
        QTest::newRow("igual en el valor") << "Formula= \"A=B+C\"" << "Formula" << "A=B+C";
        QTest::newRow("apóstrofo dentro") << "Empresa= \"L'Hospitalet\"" << "Empresa" << "L'Hospitalet";
        QTest::newRow("vacío") << "TrabajarConPts= ''" << "TrabajarConPts" << "";
        QTest::newRow("nombre con espacio") << "Empresa A= \"<A-2024>\"" << "Empresa A" << "<A-2024>";
        // clang-format on
    }
    void formulas() {
        QFETCH(QString, texto);
        QFETCH(QString, nombre);
        QFETCH(QString, valor);
        ValoresFormulas f;
        f.anadir(texto);
        QVERIFY(f.contiene(nombre));
        QCOMPARE(f.valor(nombre), valor);
    }

    // Cada celda se lee una vez, como lo que la plantilla dice de su columna.
    void celdas_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<Celda::Tipo>("tipo");
        QTest::addColumn<QString>("valor");  // diezmilésimas o fecha; vacío si no es ninguna
        const auto N = Celda::Tipo::Numero, F = Celda::Tipo::Fecha;
        // clang-format off
        QTest::newRow("euros") << "1.234,56" << N << "12345600";
        QTest::newRow("pesetas negativas") << "-12.000" << N << "-120000000";
        QTest::newRow("porcentaje") << "25,50 %" << N << "255000";
        QTest::newRow("error") << "ERROR" << N << "";
        QTest::newRow("vacía") << "" << N << "";
        QTest::newRow("fecha") << "29/02/2024" << F << "2024-02-29";
        QTest::newRow("fecha imposible") << "30/02/2024" << F << "";
        QTest::newRow("texto") << "4300001" << Celda::Tipo::Texto << "";
        // clang-format on
    }
    void celdas() {
        QFETCH(QString, texto);
        QFETCH(Celda::Tipo, tipo);
        QFETCH(QString, valor);
        const Celda c = Celda::leer(texto, tipo);
        QCOMPARE(c.texto, texto);
        QCOMPARE(
            c.numero ? QString::number(c.numero->diezmilesimas()) : c.fecha.toString(Qt::ISODate),
            valor);
    }

    // Como números si los dos lados lo son, en una columna de la fila y en una fórmula.
    void condiciones_data() {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("condicion");
        QTest::addColumn<bool>("cumple");
        // clang-format off
        QTest::newRow("números") << "10" << "X <= 9" << false;  // como textos, "10" < "9"
        QTest::newRow("decimales") << "1,0" << "X = 1" << true;
        QTest::newRow("porcentaje") << "25,00 %" << "X > 3" << true;
        QTest::newRow("textos") << "Saldo anterior" << "X = saldo ANTERIOR" << true;
        QTest::newRow("guion") << "-" << "X <> -" << false;
        QTest::newRow("las dos") << "7" << "X > 5 y X < 8" << true;
        QTest::newRow("una de dos") << "9" << "X > 5 y X < 8" << false;
        // clang-format on
    }
    void condiciones() {
        QFETCH(QString, valor);
        QFETCH(QString, condicion);
        QFETCH(bool, cumple);
        insertar(*con_, "Subcuentas", {"Codigo", "Descripcion"}, {valor, "Cuenta"});
        formulas_.anadir("X= '" + valor + "'");
        const QString enFila = QString(condicion).replace(u'X', QStringLiteral("Codigo"));
        Maquetador m(Plantilla::deTexto("[informe]\ntabla = Subcuentas\nnegrita = " + enFila +
                                            "\n[columna]\ncampo = Codigo",
                                        "s.rpt"),
                     *con_, formulas_);
        QCOMPARE(m.pagina(1).lineas[0].negrita, cumple);
        QCOMPARE(m.cumple(Condicion::leer(condicion)), cumple);
    }

    void filasPorPagina_data() {
        QTest::addColumn<int>("filas");
        QTest::addColumn<QList<int>>("porPagina");
        const int n = kLineasPorPaginaVertical;
        QTest::newRow("vacía") << 0 << QList<int>{0};
        QTest::newRow("una") << 1 << QList<int>{1};
        QTest::newRow("página justa") << n << QList<int>{n};
        QTest::newRow("una de más") << n + 1 << QList<int>{n, 1};
        QTest::newRow("tres páginas") << 2 * n + 8 << QList<int>{n, n, 8};
    }
    void filasPorPagina() {
        QFETCH(int, filas);
        QFETCH(QList<int>, porPagina);
        for (int i = 0; i < filas; ++i)
            insertar(*con_, "Subcuentas", {"Codigo", "Descripcion"},
                     {QString::number(i), "Cuenta"});
        const Plantilla p =
            Plantilla::deTexto("[informe]\ntabla = Subcuentas\n[columna]\ncampo = Codigo", "s.rpt");
        Maquetador m(p, *con_, formulas_);
        QCOMPARE(m.numeroPaginas(), porPagina.size());
        for (int i = 0; i < porPagina.size(); ++i) {
            const Pagina pg = m.pagina(i + 1);
            QCOMPARE(pg.numero, i + 1);
            QCOMPARE(int(pg.lineas.size()), porPagina[i]);
        }
    }

    // Pies de grupo con la suma y el último saldo y total general; con nueva_pagina, un grupo
    // por página.
    void gruposConSusPies() {
        mayor("4300001", {"100,00", "0,00", "100,00", "0,00", "30,50", "69,50"});
        mayor("4300002", {"0", "12", "-12"});
        formulas_.anadir(QStringLiteral("TrabajarConPts= '1'"));
        Maquetador m(plantillaMayor(), *con_, formulas_);
        QCOMPARE(m.numeroPaginas(), 1);
        const Pagina pg = m.pagina(1);
        QList<Tipo> tipos;
        for (const LineaPagina& l : pg.lineas) tipos << l.tipo;
        QCOMPARE(tipos,
                 (QList<Tipo>{Tipo::CabeceraGrupo, Tipo::Detalle, Tipo::Detalle, Tipo::PieGrupo,
                              Tipo::CabeceraGrupo, Tipo::Detalle, Tipo::PieGrupo, Tipo::Total}));
        QCOMPARE(pg.lineas[0].texto, QStringLiteral("Subcuenta 4300001  Cuenta 4300001"));
        // en pesetas las sumas van sin decimales
        QCOMPARE(pg.lineas[3].celdas, (std::vector<QString>{"", "", "", "100", "31", "69,50"}));
        QCOMPARE(pg.lineas[6].celdas, (std::vector<QString>{"", "", "", "0", "12", "-12"}));
        QCOMPARE(pg.lineas[7].texto, QStringLiteral("Total general"));
        QCOMPARE(pg.lineas[7].celdas, (std::vector<QString>{"", "", "", "100", "43", ""}));
        Maquetador porHoja(plantillaMayor("infCONT_LibroMayor_2.rpt"), *con_, formulas_);
        QCOMPARE(porHoja.numeroPaginas(), 2);
        QCOMPARE(porHoja.pagina(2).lineas.front().texto, pg.lineas[4].texto);
    }

    // Cada página salvo la última acaba en "Suma y sigue" con la suma de todo lo impreso hasta
    // ella, y la siguiente empieza con la misma cifra como "Suma anterior".
    void sumaYSigue() {
        Moneda total;
        {
            Transaccion t(*con_);
            for (int i = 0; i < 3000; ++i) {
                const Moneda v = Moneda::deDiezmilesimas(((i % 13) * 1234 + 1) * 100);
                insertar(*con_, "Libro_Diario", {"Asiento", "Descripcion", "Debe", "Haber"},
                         {QString::number(i / 3 + 1), "Cuenta", v.formatear(), "0,00"});
                total += v;
            }
            t.confirmar();
        }
        Maquetador m(Plantilla::leer(plantilla(QStringLiteral("infCONT_LibroDiario_2.rpt"))), *con_,
                     formulas_);
        QVERIFY(m.numeroPaginas() > 20);
        Moneda debe;
        int detalles = 0;
        for (int n = 1; n <= m.numeroPaginas(); ++n) {
            const Pagina p = m.pagina(n);
            QCOMPARE(p.lineas.front().tipo == Tipo::SumaAnterior, n > 1);
            if (n > 1) QCOMPARE(p.lineas.front().celdas[2], debe.formatear());
            for (const LineaPagina& l : p.lineas) {
                if (l.tipo != Tipo::Detalle) continue;
                debe += *Moneda::deTexto(l.celdas[2]);
                ++detalles;
            }
            const bool ultima = n == m.numeroPaginas();
            QCOMPARE(p.lineas.back().tipo, ultima ? Tipo::Total : Tipo::SumaYSigue);
            QCOMPARE(p.lineas.back().celdas[2], debe.formatear());
        }
        QCOMPARE(detalles, 3000);
        QCOMPARE(debe, total);
    }

    // Un grupo que cruza la página repite su cabecera; las páginas compuestas sueltas (vista
    // previa) son las mismas que en el recorrido seguido.
    void paginaSueltaIgualQueEnOrden() {
        QStringList importes;
        for (int i = 0; i < 700; ++i)
            importes << "1,25" << "0" << "1,25";
        mayor("1", importes);
        mayor("2", importes);
        Maquetador m(plantillaMayor(), *con_, formulas_);
        std::vector<Pagina> seguidas;
        m.recorrer([&](const Pagina& p) { seguidas.push_back(p); });
        QCOMPARE(int(seguidas.size()), m.numeroPaginas());
        QVERIFY(m.numeroPaginas() > 20);  // más de una marca de página guardada
        QCOMPARE(seguidas[1].lineas.front().texto,
                 QStringLiteral("Subcuenta 1  Cuenta 1 (continuación)"));
        for (int n = m.numeroPaginas(); n >= 1; --n) {
            const Pagina p = m.pagina(n);
            QCOMPARE(p.lineas.size(), seguidas[n - 1].lineas.size());
            for (size_t i = 0; i < p.lineas.size(); ++i) {
                QCOMPARE(p.lineas[i].texto, seguidas[n - 1].lineas[i].texto);
                QCOMPARE(p.lineas[i].celdas, seguidas[n - 1].lineas[i].celdas);
                if (p.lineas[i].tipo == Tipo::PieGrupo)
                    QCOMPARE(p.lineas[i].celdas,
                             (std::vector<QString>{"", "", "", "875,00", "0,00", "1,25"}));
            }
            // la cabecera de un grupo nunca queda sola al pie de una página
            QVERIFY(p.lineas.back().tipo != Tipo::CabeceraGrupo);
        }
    }

    // Las cuatro líneas de una cuenta del presupuesto anual van siempre juntas.
    void filaDeVariasLineasNoSeParte() {
        for (int i = 0; i < 40; ++i)
            insertar(*con_, "PresupuestoAnual",
                     {"Codigo", "Descripcion", "PresupuestoTotal", "SaldoTotal"},
                     {QString::number(600 + i), "Gasto", "1.000,00", "250,00"});
        Maquetador m(Plantilla::leer(plantilla(QStringLiteral("infCONT_PresupuestoAnual.rpt"))),
                     *con_, formulas_);
        int cuentas = 0;
        for (int n = 1; n <= m.numeroPaginas(); ++n) {
            const Pagina p = m.pagina(n);
            QCOMPARE(p.lineas.size() % 4, size_t(0));
            for (size_t i = 0; i < p.lineas.size(); i += 4) {
                QVERIFY(p.lineas[i].primeraDeFila);
                QCOMPARE(p.lineas[i].celdas[2], QStringLiteral("Presupuesto"));
                QCOMPARE(p.lineas[i + 1].celdas[0], QString());
                QCOMPARE(p.lineas[i + 1].celdas[3], QStringLiteral("250,00"));
                ++cuentas;
            }
        }
        QCOMPARE(cuentas, 40);
        QVERIFY(m.numeroPaginas() > 1);
    }

    // El PDF propio dice lo mismo y en el mismo sitio que el de QPdfWriter con la misma página
    // pintada por QPainter: las mismas páginas y de igual tamaño, las mismas palabras y cada una
    // a menos de medio punto; y poppler lo lee sin avisar de nada. Con acentos, signos fuera de
    // Latin-1, descripciones que se ajustan, importes que se reducen y textos que se acortan.
    void pdfPropioComoElDeQPainter_data() {
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QStringList>("campos");
        QTest::addColumn<QStringList>("valores");
        QTest::addColumn<int>("filas");
        // clang-format off
        QTest::newRow("diario vertical, varias páginas")
            << "infCONT_LibroDiario.rpt" << "Libro_Diario"
            << QStringList{"Asiento", "Fecha", "Descripcion", "Concepto", "Debe", "Haber"}
            << QStringList{"%1 (7)", "02/01/2024", "4300001 - Peñíscola Ñandú, S.L. — «€»",
                           "Factura Ωmega nº %1 de la ciudad de Zaragoza con un concepto largo",
                           "1.234.567.890,12", "0,00"}
            << 180;
        QTest::newRow("IVA horizontal, textos que se acortan")
            << "infCONT_FacturasEmitidas.rpt" << "Libros_IVA"
            << QStringList{"Fecha", "NumFactura", "NumAsiento", "CodSubcuenta", "NIF", "Concepto",
                           "BaseImponible", "IVA", "CuotaIVA", "TotalFactura"}
            << QStringList{"31/12/2024", "FE-2024/%1-ABCDEFGHIJ", "%1", "4300000001",
                           "B12345678ZZZZZZZZ", "Venta", "999.999.999,99", "21,00 %",
                           "209.999.999,99", "1.209.999.999,98"}
            << 40;
        QTest::newRow("mayor, una página")
            << "infCONT_LibroMayor.rpt" << "Libro_Mayor"
            << QStringList{"Codigo", "Descripcion", "Concepto", "Debe", "Haber", "Saldo"}
            << QStringList{"5720001", "Banco «Ibercaja» c/c", "Transferencia %1 fi ffi",
                           "10,00", "0,00", "-1.000,00"}
            << 12;
        // clang-format on
    }
    void pdfPropioComoElDeQPainter() {
        QFETCH(QString, plantilla);
        QFETCH(QString, tabla);
        QFETCH(QStringList, campos);
        QFETCH(QStringList, valores);
        QFETCH(int, filas);
        for (int i = 1; i <= filas; ++i) {
            QVariantList fila;
            for (const QString& v : valores)
                fila << (v.contains(u"%1") ? v.arg(i) : v);
            insertar(*con_, tabla, campos, fila);
        }
        formulas_.anadir(QStringLiteral("Empresa= \"Pérez e Hijos, S.L.\""));
        formulas_.anadir(QStringLiteral("Periodo= \"Periodo: enero ~ diciembre 2024\""));
        Maquetador m(Plantilla::leer(prueba::plantilla(plantilla)), *con_, formulas_);
        Pintor pintor(m, QStringLiteral("Informe de prueba"), QDate(2024, 1, 1));
        const QString qt = dir_.filePath(QStringLiteral("qt.pdf"));
        const QString propio = dir_.filePath(QStringLiteral("propio.pdf"));
        {
            QPdfWriter w(qt);
            w.setResolution(600);
            w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                        m.plantilla().horizontal ? QPageLayout::Landscape
                                                                 : QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0)));
            imprimirEn(w, m, pintor);
        }
        escribirPdf(m, pintor, QStringLiteral("Informe de prueba"), propio);
        const PalabrasPdf a = palabrasPdf(qt), b = palabrasPdf(propio);
        QCOMPARE(b.avisos, QString());
        QCOMPARE(b.paginas.size(), m.numeroPaginas());
        QCOMPARE(b.tamanos, a.tamanos);
        for (qsizetype n = 0; n < a.paginas.size(); ++n) {
            QCOMPARE(b.paginas[n].size(), a.paginas[n].size());
            for (qsizetype i = 0; i < a.paginas[n].size(); ++i) {
                const auto &x = a.paginas[n][i], &y = b.paginas[n][i];
                // Qt escribe "fi" con la ligadura; el propio, con sus dos letras, que es lo que
                // se busca.
                QString esperado = x.texto;
                esperado.replace(QChar(0xFB01), QStringLiteral("fi"))
                    .replace(QChar(0xFB03), QStringLiteral("ffi"));
                QCOMPARE(y.texto, esperado);
                const QPointF d = y.caja.topLeft() - x.caja.topLeft();
                QVERIFY2(qAbs(d.x()) < 0.5 && qAbs(d.y()) < 0.5 &&
                             qAbs(y.caja.width() - x.caja.width()) < 0.5,
                         qPrintable(QStringLiteral("página %1, «%2»: (%3, %4) en lugar de (%5, %6)")
                                        .arg(n + 1)
                                        .arg(y.texto)
                                        .arg(y.caja.x())
                                        .arg(y.caja.y())
                                        .arg(x.caja.x())
                                        .arg(x.caja.y())));
            }
        }
    }

    // Cada plantilla que imprime descripciones las ajusta a su columna: en el PDF cada una está
    // entera (pdftotext la da en varias líneas; sin los blancos es la misma), también una
    // palabra más ancha que la columna.
    void descripcionesEnteras_data() {
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("campo");
        const QString dir = QStringLiteral(ORVO_PLANTILLAS_DIR);
        for (const QString& archivo : QDir(dir).entryList({QStringLiteral("*.rpt")})) {
            const Plantilla p = Plantilla::leer(dir + u'/' + archivo);
            for (const Columna& c : p.columnas)
                if (c.ajustar)
                    QTest::newRow(qPrintable(archivo + u' ' + c.campo))
                        << archivo << p.tabla << c.campo;
        }
    }
    void descripcionesEnteras() {
        QFETCH(QString, plantilla);
        QFETCH(QString, tabla);
        QFETCH(QString, campo);
        const QStringList textos{
            QStringLiteral("Caja, euros"),
            QStringLiteral("Amortización acumulada del inmovilizado intangible por desarrollo, "
                           "aplicaciones informáticas y propiedad industrial de la empresa"),
            QStringLiteral("Amortización acumulada del inmovilizado material por construcciones, "
                           "maquinaria y utillaje"),
            QStringLiteral("Proveedores") + QString(90, u'X') + QStringLiteral(" de Zaragoza")};
        for (const QString& t : textos) insertar(*con_, tabla, {campo}, {t});
        Maquetador m(Plantilla::leer(prueba::plantilla(plantilla)), *con_, formulas_);
        Pintor pintor(m, QStringLiteral("Prueba"), QDate(2024, 1, 1));
        const QString pdf = dir_.filePath(QStringLiteral("ajuste.pdf"));
        escribirPdf(m, pintor, QStringLiteral("Prueba"), pdf);
        // En el orden en que se escriben (-raw), no por columnas: los trozos de cada descripción
        // van seguidos.
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(60000));
        static const QRegularExpression blancos(QStringLiteral("\\s+"));
        const QString texto = QString::fromUtf8(pdftotext.readAllStandardOutput()).remove(blancos);
        for (const QString& t : textos)
            QVERIFY2(texto.contains(QString(t).remove(blancos)), qPrintable(t));
        // La fila de una descripción larga ocupa varias líneas de detalle; la corta, una.
        double minimo = 1e9, maximo = 0;
        for (const LineaPagina& l : m.pagina(1).lineas) {
            if (l.tipo != Tipo::Detalle || !l.primeraDeFila) continue;
            minimo = std::min(minimo, l.alto);
            maximo = std::max(maximo, l.alto);
        }
        QCOMPARE(minimo, m.geometria().altoDetalle);
        QVERIFY(maximo >= 2 * m.geometria().altoDetalle);
    }

    // Con filas que crecen, cada página cabe en su cuerpo, ninguna fila se pierde ni se repite,
    // y una página suelta es la misma que compuesta en orden.
    void filasAjustadasPaginan() {
        const int filas = 150;
        for (int i = 0; i < filas; ++i)
            insertar(*con_, "BalanceSumasySaldos", {"Codigo", "Descripcion", "Nivel", "Saldo"},
                     {QString::number(4300000 + i),
                      QStringLiteral("Cliente número %1 ").arg(i) +
                          QStringLiteral("con una razón social muy larga ").repeated(i % 4),
                      1 + i % 3, "1,00"});
        Maquetador m(Plantilla::leer(plantilla(QStringLiteral("infCONT_SumasySaldos.rpt"))), *con_,
                     formulas_);
        QList<qint64> vistas;
        int n = 0;
        m.recorrer([&](const Pagina& p) {
            ++n;
            double alto = 0;
            for (const LineaPagina& l : p.lineas) {
                alto += l.alto;
                if (l.tipo == Tipo::Detalle) vistas << l.fila;
            }
            QVERIFY(alto <= m.geometria().altoCuerpo() + 1e-6);
            const Pagina suelta = m.pagina(p.numero);
            QCOMPARE(suelta.lineas.size(), p.lineas.size());
            for (size_t i = 0; i < p.lineas.size(); ++i)
                QCOMPARE(suelta.lineas[i].alto, p.lineas[i].alto);
        });
        QCOMPARE(n, m.numeroPaginas());
        QCOMPARE(vistas.size(), filas);
        for (int i = 0; i < filas; ++i) QCOMPARE(vistas[i], qint64(i + 1));
        QVERIFY(n > filas / kLineasPorPaginaVertical + 1);  // las filas altas piden más páginas
    }

    // Columna de código según la fórmula, sangría por nivel.
    void columnasVisiblesYNiveles() {
        insertar(*con_, "Balances", {"Nivel", "Descripcion", "Codigo", "Total", "Naturaleza"},
                 {1, "Activo", "A", "10,00", "ACTIVO"});
        insertar(*con_, "Balances", {"Nivel", "Descripcion", "Codigo", "Total", "Naturaleza"},
                 {3, "Caja", "-", "10,00", "ACTIVO"});
        const Plantilla p = Plantilla::leer(plantilla(QStringLiteral("infCONT_Situacion.rpt")));
        for (const char* valor : {"0", "1"}) {
            ValoresFormulas f;
            f.anadir(QStringLiteral("MostrarColumnaCodigo = %1").arg(valor));
            Maquetador m(p, *con_, f);
            QCOMPARE(m.visibles().size(), size_t(valor[0] == '1' ? 3 : 2));
            double ancho = 0;
            for (int c : m.visibles()) ancho += m.anchoColumna(c);
            QCOMPARE(qRound(ancho * 10), qRound(m.geometria().anchoUtil() * 10));
            const Pagina pg = m.pagina(1);
            QCOMPARE(pg.lineas[0].texto, QStringLiteral("ACTIVO"));
            QCOMPARE(pg.lineas[1].sangria, 0);
            QCOMPARE(pg.lineas[2].sangria, 2);
            QCOMPARE(pg.lineas[1].celdas[0], QStringLiteral("A"));
            QCOMPARE(pg.lineas[2].celdas[0], QString());  // el "-" de las cuentas no se imprime
        }
    }
};

QTEST_MAIN(PruebaMaquetador)
#include "prueba_maquetador.moc"
