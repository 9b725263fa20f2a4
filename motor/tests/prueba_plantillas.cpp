// Las plantillas del producto, de la tabla de trabajo al archivo: PDF legible con la empresa y
// la paginación, exportaciones de datos y los errores que el motor devuelve.
#include <QDir>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "Apoyo.h"
#include "Maquetador.h"
#include "Moneda.h"
#include "Pintor.h"
#include "Salidas.h"

using namespace orvo;
using namespace orvo::prueba;

namespace {

const QString kEmpresa = QStringLiteral("Comercial Ñandú, S.L. <CÑ-2024>");

// Valor de muestra de una columna de tabla de trabajo según su nombre, para la fila i.
QVariant muestra(const QString& columna, int i) {
    static const QRegularExpression importe(
        QStringLiteral("^(Debe|Haber|Saldo|Total|Presupuesto|Diferencia|BaseImponible|Cuota)"));
    if (columna == u"Nivel") return i % 3 + 1;
    if (columna.startsWith(u"Media")) return QStringLiteral("%1,50 %").arg(i % 120);
    if (columna == u"IVA") return QStringLiteral("21");
    if (columna == u"Recargo") return QStringLiteral("5,2");
    if (importe.match(columna).hasMatch()) {
        const Moneda m =
            Moneda::deDiezmilesimas((i * 7919LL % 100000) * 1234 * (i % 5 == 0 ? -1 : 1));
        return m.formatear(true);
    }
    if (columna.startsWith(u"Codigo") || columna == u"CodSubcuenta")
        return i % 3 == 0 ? QStringLiteral("-") : QStringLiteral("%1").arg(4300000 + i / 4);
    if (columna == u"Naturaleza")
        return i < 20 ? QStringLiteral("ACTIVO") : QStringLiteral("PASIVO");
    if (columna == u"Asiento" || columna == u"NumAsiento")
        return QStringLiteral("%1 (%2)").arg(i / 3 + 1).arg(i / 3 + 2000);
    if (columna == u"Fecha")
        return QStringLiteral("%1/03/2024").arg(i % 28 + 1, 2, 10, QChar(u'0'));
    if (columna == u"Empresa") return QStringLiteral("1");
    if (i % 7 == 0)
        return QStringLiteral(
                   "Descripción muy larga de la línea %1 que no cabe en su columna y debe "
                   "acortarse sin invadir los importes de la derecha")
            .arg(i);
    return QStringLiteral("%1 línea %2").arg(columna).arg(i);
}

void rellenar(Conexion& con, const QString& tabla, int filas) {
    QStringList columnas;
    Recordset rs =
        con.Execute(QStringLiteral("SELECT name, pk FROM pragma_table_info(?)"), {tabla});
    for (; !rs.Eof(); rs.MoveNext())
        if (rs.Fields(1).toInt() == 0) columnas << rs.Fields(0).toString();
    Transaccion t(con);
    for (int i = 0; i < filas; ++i) {
        QVariantList valores;
        for (const QString& c : columnas) valores << muestra(c, i);
        insertar(con, tabla, columnas, valores);
    }
    t.confirmar();
}

// Fórmulas que dejan los informes; el motor ignora las que su plantilla no usa.
void formulasDeMuestra(MotorInformes& m) {
    const QStringList f{QStringLiteral("Empresa= \"%1\"").arg(kEmpresa),
                        QStringLiteral("Periodo= \"Periodo:  enero/2024 ~ diciembre/2024\""),
                        QStringLiteral("MostrarColumnaCodigo = 1"),
                        QStringLiteral("TrabajarConPts= '0'"),
                        QStringLiteral("TotalDebe = '1.000,00'"),
                        QStringLiteral("TotalHaber = '2.000,00'"),
                        QStringLiteral("TotalSaldo = '-1.000,00'"),
                        QStringLiteral("TotalSaldoApe = '0,00'"),
                        QStringLiteral("TotalPresupuesto = '4.000,00'"),
                        QStringLiteral("TotalMedia = '-25,00 %'"),
                        QStringLiteral("Empresa A= \"%1\"").arg(kEmpresa),
                        QStringLiteral("Empresa B= \"<CÑ-2023>\"")};
    int i = 1;
    for (const QString& t : f) m.setFormulas(i++, t);
    const char* meses[] = {"ENE", "FEB", "MAR", "ABR", "MAY", "JUN",
                           "JUL", "AGO", "SEP", "OCT", "NOV", "DIC"};
    for (int k = 0; k < 12; ++k)
        m.setFormulas(
            i++,
            QStringLiteral("TituloMes%1= \"%2\"").arg(k + 1, 2, 10, QChar(u'0')).arg(meses[k]));
}

QString tablaDe(const QString& plantilla) {
    return Plantilla::leer(prueba::plantilla(plantilla)).tabla;
}

}  // namespace

class PruebaPlantillas : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString base_;

    MotorInformes motorA(const QString& plantilla, const QString& salida) {
        MotorInformes m(MotorInformes::Opciones{false, QDate(2024, 12, 31)});
        formulasDeMuestra(m);
        m.setReportFileName(prueba::plantilla(plantilla));
        m.setPassword(QStringLiteral("\nclave"));
        m.setWindowTitle(QStringLiteral("Informe de prueba"));
        m.setDataFiles(0, base_);
        m.setWindowState(2);
        m.setPrintFileName(salida);
        m.setDestination(2);
        return m;
    }
    // Imprime la plantilla en 'archivo' (en la carpeta de la prueba) y devuelve el texto de sus
    // páginas, o el error del motor como única página.
    QStringList imprimir(const QString& plantilla, const QString& archivo, int formula = 0,
                         const QString& texto = {}) {
        const QString ruta = dir_.filePath(archivo);
        MotorInformes m = motorA(plantilla, ruta);
        if (formula) m.setFormulas(formula, texto);
        m.PrintReport();
        if (m.LastErrorNumber() != 0)
            return {
                QStringLiteral("error %1: %2").arg(m.LastErrorNumber()).arg(m.LastErrorString())};
        return archivo.endsWith(u".pdf") ? textoPdf(ruta) : QStringList{};
    }
    void mayor(const QList<QVariantList>& filas) {
        auto con = Conexion::abrir(base_);
        for (const QVariantList& f : filas)
            insertar(
                *con, QStringLiteral("Libro_Mayor"),
                {"Codigo", "Descripcion", "Asiento", "Fecha", "Concepto", "Debe", "Haber", "Saldo"},
                f);
    }

  private slots:
    void initTestCase() {
        if (!hayPdftotext()) QSKIP("pdftotext no está instalado");
    }
    void init() {
        base_ = dir_.filePath(QStringLiteral("Informes-%1.mdb").arg(QTest::currentTestFunction()));
        QFile::remove(base_);
        baseInformes(base_);
    }

    void cadaPlantillaGeneraUnPdfLegible_data() {
        QTest::addColumn<QString>("plantilla");
        const QStringList todas =
            QDir(QStringLiteral(ORVO_PLANTILLAS_DIR))
                .entryList({QStringLiteral("infCONT_*.rpt")}, QDir::Files, QDir::Name);
        QCOMPARE(todas.size(), 22);
        for (const QString& p : todas) QTest::newRow(qPrintable(p)) << p;
    }
    void cadaPlantillaGeneraUnPdfLegible() {
        QFETCH(QString, plantilla);
        rellenar(*Conexion::abrir(base_), tablaDe(plantilla), 150);
        const QStringList paginas = imprimir(plantilla, plantilla + QStringLiteral(".pdf"));
        QVERIFY2(paginas.size() >= 2, qPrintable(paginas.join(u'\n')));
        for (int i = 0; i < paginas.size(); ++i) {
            const QString& t = paginas[i];
            QVERIFY2(
                t.contains(kEmpresa) && t.contains(QStringLiteral("Informe de prueba")) &&
                    t.contains(QStringLiteral("Fecha de impresión: 31/12/2024")) &&
                    t.contains(QStringLiteral("Página %1 de %2").arg(i + 1).arg(paginas.size())),
                qPrintable(t));
            if (!plantilla.contains(u"Subcuentas.rpt") && !plantilla.contains(u"Epigrafes"))
                QVERIFY(t.contains(QStringLiteral("enero/2024 ~ diciembre/2024")));
        }
    }

    // Los títulos que vienen de fórmulas: meses del ejercicio, empresas A y B, totales; y la
    // columna de código, que solo se imprime si su fórmula lo pide.
    void lasFormulasLleganAlPapel_data() {
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("codigo");  // valor de MostrarColumnaCodigo
        QTest::addColumn<QStringList>("textos");
        QTest::addColumn<QString>("ausente");
        // clang-format off
        QTest::newRow("presupuesto") << "infCONT_Presupuesto.rpt" << "1" << QStringList{"ENE", "JUN", "DIC"} << "";
        QTest::newRow("anual") << "infCONT_PresupuestoAnual.rpt" << "1"
                               << QStringList{"ENE", "DIC", "Realizado", "Diferencia", "% realizado"} << "";
        QTest::newRow("comparativo") << "infCONT_SituacionComparativo.rpt" << "1" << QStringList{"<CÑ-2023>"} << "";
        QTest::newRow("sumas") << "infCONT_SumasySaldos.rpt" << "1"
                               << QStringList{"Totales", "1.000,00", "2.000,00", "-1.000,00", "Importes en euros"} << "";
        QTest::newRow("sumas con presupuesto") << "infCONT_SumasySaldosPresupuesto.rpt" << "1"
                                               << QStringList{"4.000,00", "-25,00 %"} << "";
        QTest::newRow("con código") << "infCONT_Situacion.rpt" << "1" << QStringList{"4300001"} << "";
        QTest::newRow("sin código") << "infCONT_Situacion.rpt" << "0" << QStringList{"ACTIVO"} << "4300001";
        // clang-format on
    }
    void lasFormulasLleganAlPapel() {
        QFETCH(QString, plantilla);
        QFETCH(QString, codigo);
        QFETCH(QStringList, textos);
        QFETCH(QString, ausente);
        rellenar(*Conexion::abrir(base_), tablaDe(plantilla), 10);
        const QString texto = imprimir(plantilla, QStringLiteral("f.pdf"), 3,
                                       QStringLiteral("MostrarColumnaCodigo = %1").arg(codigo))
                                  .join(u'\n');
        for (const QString& t : textos) QVERIFY2(texto.contains(t), qPrintable(t + u'\n' + texto));
        if (!ausente.isEmpty()) QVERIFY(!texto.contains(ausente));
    }

    // 3.000 apuntes: cada página salvo la última termina en "Suma y sigue" con lo impreso hasta
    // ella; la siguiente empieza con "Suma anterior" por el mismo importe.
    void diarioConSumaYSigue() {
        auto con = Conexion::abrir(base_);
        {
            Transaccion t(*con);
            for (int i = 0; i < 3000; ++i) {
                const QString importe =
                    Moneda::deDiezmilesimas((i % 97 + 1) * 10000 + 2500).formatear(true);
                insertar(*con, QStringLiteral("Libro_Diario"),
                         {"Asiento", "Fecha", "Descripcion", "Concepto", "Debe", "Haber"},
                         {QStringLiteral("%1 (%2)").arg(i / 2 + 1).arg(i / 2 + 500), "02/01/2024",
                          "5720001 - Banco", QStringLiteral("Apunte %1").arg(i),
                          i % 2 ? "0,00" : importe, i % 2 ? importe : "0,00"});
            }
            t.confirmar();
        }
        const QStringList paginas =
            imprimir(QStringLiteral("infCONT_LibroDiario_2.rpt"), QStringLiteral("diario.pdf"));
        QVERIFY(paginas.size() > 20);
        // Debe de cada apunte impreso: en las líneas "Apunte N", el penúltimo importe.
        static const QRegularExpression apunte(
            QStringLiteral("Apunte (\\d+)\\s+(\\S+)\\s+(\\S+)\\s*$"),
            QRegularExpression::MultilineOption);
        static const QRegularExpression suma(QStringLiteral("Suma y sigue\\s+(\\S+)\\s+(\\S+)"));
        static const QRegularExpression anterior(QStringLiteral("Suma anterior\\s+(\\S+)"));
        Moneda debe, haber;
        int apuntes = 0;
        for (int p = 0; p < paginas.size(); ++p) {
            if (p > 0) QCOMPARE(anterior.match(paginas[p]).captured(1), debe.formatear(true));
            for (const auto& l : apunte.globalMatch(paginas[p])) {
                debe += *Moneda::deTexto(l.captured(2));
                haber += *Moneda::deTexto(l.captured(3));
                ++apuntes;
            }
            const auto s = suma.match(paginas[p]);
            QCOMPARE(s.hasMatch(), p + 1 < paginas.size());
            if (s.hasMatch()) {
                QCOMPARE(s.captured(1), debe.formatear(true));
                QCOMPARE(s.captured(2), haber.formatear(true));
            }
        }
        QVERIFY(paginas.last().contains(QStringLiteral("Total del diario")));
        QCOMPARE(apuntes, 3000);
    }

    void unaSubcuentaPorHoja() {
        for (const char* c : {"4300001", "4300002", "4300003"})
            mayor({{c, "Cliente", "", "", "Saldo anterior acumulado", "100,00", "0,00", "100,00"},
                   {c, "Cliente", "7 (70)", "05/01/2024", "Factura", "50,00", "0,00", "150,00"},
                   {c, "Cliente", "9 (90)", "09/01/2024", "Cobro", "0,00", "170,00", "-20,00"}});
        const QStringList paginas =
            imprimir(QStringLiteral("infCONT_LibroMayor_2.rpt"), QStringLiteral("mayor.pdf"));
        QCOMPARE(paginas.size(), 3);
        static const QRegularExpression pie(
            QStringLiteral("Total subcuenta\\s+150,00\\s+170,00\\s+-20,00"));
        for (int p = 0; p < 3; ++p) {
            QVERIFY(paginas[p].contains(QStringLiteral("Subcuenta 430000%1").arg(p + 1)));
            QVERIFY(paginas[p].contains(QStringLiteral("Saldo anterior acumulado")));
            QVERIFY2(pie.match(paginas[p]).hasMatch(), qPrintable(paginas[p]));
        }
        QVERIFY(paginas[2].contains(
            QRegularExpression(QStringLiteral("Total general\\s+450,00\\s+510,00"))));
    }

    // Una descripción que no cabe se acorta con "…" y no pisa los importes; un importe que no
    // cabe se escribe entero con letra más pequeña.
    void textosLargosEImportesAnchos() {
        const QString larga = QStringLiteral(
            "Regularización de existencias finales de mercaderías del "
            "almacén central y de las tiendas de la zona norte y sur");
        mayor({{"3000000", "Mercaderías", "1 (1)", "31/12/2024", larga, "1.234,56",
                "-987.654.321.098,76", "-1,00"}});
        const QString texto =
            imprimir(QStringLiteral("infCONT_LibroMayor.rpt"), QStringLiteral("largo.pdf"))
                .join(u'\n');
        QVERIFY(!texto.contains(larga));
        static const QRegularExpression linea(QStringLiteral(
            "31/12/2024\\s+1 \\(1\\)\\s+Regularización de existencias[^\\n]*…\\s+1\\.234,56\\s+"
            "-987\\.654\\.321\\.098,76\\s+-1,00"));
        QVERIFY2(linea.match(texto).hasMatch(), qPrintable(texto));
    }

    void exportaCsvConNumeros() {
        auto con = Conexion::abrir(base_);
        const QStringList cols{"NumFactura",  "Fecha",      "CodSubcuenta", "DescripcionSubcuenta",
                               "NIF",         "NumAsiento", "Concepto",     "BaseImponible",
                               "IVA",         "CuotaIVA",   "Recargo",      "CuotaRecargo",
                               "TotalFactura"};
        insertar(*con, "Libros_IVA", cols,
                 {"F-1", "02/01/2024", "4300001", "Pérez; Hijos \"SA\"", "B1", "1 (10)", "Venta",
                  "1.000,00", "21", "210,00", "0", "0,00", "1.210,00"});
        insertar(*con, "Libros_IVA", cols,
                 {"F-2", "03/01/2024", "4300002", "Abono", "B2", "2 (11)", "Abono", "-100,50", "21",
                  "-21,11", "0", "0,00", "-121,61"});
        QCOMPARE(imprimir(QStringLiteral("infCONT_FacturasEmitidas.rpt"), "iva.csv"),
                 QStringList());
        QFile f(dir_.filePath(QStringLiteral("iva.csv")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lineas =
            QString::fromUtf8(f.readAll()).remove(QChar(0xfeff)).split(QStringLiteral("\r\n"));
        QCOMPARE(lineas.mid(0, 3),
                 (QStringList{"Fecha;Nº factura;Asiento;Subcuenta;Cliente;NIF;Concepto;"
                              "Base imponible;% IVA;Cuota IVA;% Rec.;Cuota recargo;Total factura",
                              "02/01/2024;F-1;1 (10);4300001;\"Pérez; Hijos \"\"SA\"\"\";B1;Venta;"
                              "1000;21;210;0;0;1210",
                              "03/01/2024;F-2;2 (11);4300002;Abono;B2;Abono;-100,5;21;-21,11;0;0;"
                              "-121,61"}));
        // Una hoja de cálculo en español (coma decimal, punto de miles) lee los mismos importes.
        const QLocale es(QLocale::Spanish, QLocale::Spain);
        const QStringList campos = lineas.value(2).split(u';').mid(7);
        const QList<double> importes{-100.5, 21, -21.11, 0, 0, -121.61};
        for (int i = 0; i < importes.size(); ++i) {
            bool ok = false;
            QCOMPARE(es.toDouble(campos.value(i), &ok), importes[i]);
            QVERIFY(ok);
        }
    }

    void exportaXlsxYHtml() {
        mayor({{"5720001", "Banco & Caja <1>", "1 (1)", "01/01/2024", "Apertura", "1.234,56",
                "0,00", "1.234,56"},
               {"5720001", "Banco & Caja <1>", "2 (2)", "02/01/2024", "Pago", "0", "2.000",
                "ERROR"}});
        const QString rpt = QStringLiteral("infCONT_LibroMayor.rpt");
        QCOMPARE(imprimir(rpt, QStringLiteral("mayor.xlsx")), QStringList());
        const HojaXlsx hoja = leerXlsx(dir_.filePath(QStringLiteral("mayor.xlsx")));
        QVERIFY(hoja.cabeceraFija);
        using C = HojaXlsx::Celda;
        const QList<std::pair<const char*, C>> esperadas{
            {"A1", C{false, "Subcuenta", ""}},
            {"B2", C{false, "Banco & Caja <1>", ""}},
            {"C2", C{true, "45292", "dd/mm/yyyy"}},  // 01/01/2024
            {"F2", C{true, "1234.56", "#,##0.00"}},
            {"G3", C{true, "2000", "#,##0"}},  // pesetas, sin decimales
            {"H3", C{false, "ERROR", ""}}};
        for (const auto& [ref, e] : esperadas) {
            const C c = hoja.celdas.value(ref);
            QVERIFY2(c.numero == e.numero && c.valor == e.valor && c.formato == e.formato, ref);
        }
        QVERIFY(hoja.anchos.value(1) >= QStringLiteral("Banco & Caja <1>").size());
        QCOMPARE(imprimir(rpt, QStringLiteral("mayor.html")), QStringList());
        QFile f(dir_.filePath(QStringLiteral("mayor.html")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(f.readAll());
        QVERIFY(texto.contains(QStringLiteral("Subcuenta 5720001  Banco &amp; Caja &lt;1&gt;")));
        QVERIFY(texto.contains(QStringLiteral("Total subcuenta")));
        QVERIFY(texto.contains(
            QStringLiteral("<td class=\"d\">1.234,56</td><td class=\"d\">2.000,00</td>"
                           "<td class=\"d\">ERROR</td>")));
    }

    void erroresEnEspanolSinExcepciones_data() {
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QString>("datos");
        QTest::addColumn<QString>("salida");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("texto");
        const QString sub = QStringLiteral("infCONT_Subcuentas.rpt");
        const QString escribir = QStringLiteral("No se puede escribir el archivo");
        // clang-format off
        QTest::newRow("sin plantilla") << "infCONT_NoExiste.rpt" << "" << "x.pdf"
            << ErrorMotor::kPlantillaNoEncontrada << "No se encuentra la plantilla del informe";
        QTest::newRow("plantilla rota") << "[informe]\ntabla = Subcuentas\nanchura = 3" << "" << "x.pdf"
            << ErrorMotor::kPlantillaNoValida << "no es válida (línea 3): clave desconocida «anchura»";
        QTest::newRow("sin datos") << sub << "/no/existe/Informes.mdb" << "x.pdf"
            << ErrorMotor::kDatosNoEncontrados << "No se encuentra el archivo de datos";
        QTest::newRow("tabla ajena") << "[informe]\ntabla = NoHay\n[columna]\ncampo = A" << "" << "x.pdf"
            << ErrorMotor::kDatosNoValidos << "La base de datos del informe no tiene la tabla NoHay";
        QTest::newRow("columna ajena") << "[informe]\ntabla = Subcuentas\n[columna]\ncampo = Importe" << ""
            << "x.pdf" << ErrorMotor::kDatosNoValidos << "La tabla Subcuentas no tiene la columna Importe";
        QTest::newRow("pdf no escribible") << sub << "" << "/no/existe/x.pdf" << ErrorMotor::kSalidaNoEscribible << escribir;
        QTest::newRow("csv no escribible") << sub << "" << "/no/existe/x.csv" << ErrorMotor::kSalidaNoEscribible << escribir;
        QTest::newRow("xlsx no escribible") << sub << "" << "/no/existe/x.xlsx" << ErrorMotor::kSalidaNoEscribible << escribir;
        QTest::newRow("sin nombre de archivo") << sub << "" << "" << ErrorMotor::kSalidaNoEscribible
            << "No se ha indicado el archivo de salida";
        QTest::newRow("fórmula sin igual") << sub << "" << "x.pdf" << ErrorMotor::kFormulaNoValida << "";
        // clang-format on
    }
    void erroresEnEspanolSinExcepciones() {
        QFETCH(QString, plantilla);
        QFETCH(QString, datos);
        QFETCH(QString, salida);
        QFETCH(int, numero);
        QFETCH(QString, texto);
        QString ruta = prueba::plantilla(plantilla);
        if (!plantilla.endsWith(u".rpt")) {  // el texto de una plantilla propia
            ruta = dir_.filePath(QStringLiteral("propia.rpt"));
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(plantilla.toUtf8());
        }
        MotorInformes m =
            motorA(plantilla,
                   salida.startsWith(u'/') || salida.isEmpty() ? salida : dir_.filePath(salida));
        m.setReportFileName(ruta);
        if (!datos.isEmpty()) m.setDataFiles(0, datos);
        if (numero == ErrorMotor::kFormulaNoValida)
            m.setFormulas(30, QStringLiteral("Empresa \"sin igual\""));
        m.PrintReport();
        QCOMPARE(m.LastErrorNumber(), numero);
        QVERIFY2(m.LastErrorString().contains(texto), qPrintable(m.LastErrorString()));
    }

    void vistaPreviaNavegaYAmplia() {
        rellenar(*Conexion::abrir(base_), QStringLiteral("Libro_Mayor"), 400);
        auto con = Conexion::abrir(base_);
        ValoresFormulas f;
        f.anadir(QStringLiteral("Empresa= \"X\""));
        Maquetador m(Plantilla::leer(prueba::plantilla(QStringLiteral("infCONT_LibroMayor.rpt"))),
                     *con, f);
        Pintor pintor(m, QStringLiteral("Informe de libro Mayor"), QDate(2024, 1, 1));
        InterfazGrabadora interfaz;
        VistaPrevia v(m, pintor, QStringLiteral("Informe de libro Mayor"), QDate(2024, 1, 1), 150,
                      interfaz);
        const int total = m.numeroPaginas();
        QVERIFY(total > 3);
        auto* rotulo = v.findChild<QLabel*>(QStringLiteral("lblPagina"));
        auto pulsar = [&v](const char* boton) {
            v.findChild<QPushButton*>(QLatin1String(boton))->click();
        };
        QCOMPARE(rotulo->text(), QStringLiteral("Página 1 de %1").arg(total));
        pulsar("cmdAnterior");
        QCOMPARE(v.paginaActual(), 1);
        pulsar("cmdSiguiente");
        QCOMPARE(rotulo->text(), QStringLiteral("Página 2 de %1").arg(total));
        pulsar("cmdUltima");
        pulsar("cmdSiguiente");
        QCOMPARE(v.paginaActual(), total);
        pulsar("cmdPrimera");
        QCOMPARE(v.paginaActual(), 1);
        QCOMPARE(v.zoom(), 150);
        const QImage grande = v.imagen();
        QCOMPARE(grande.width(), int(210 * 1.5 * 96 / 25.4));
        v.findChild<QSpinBox*>(QStringLiteral("spnZoom"))->setValue(100);
        QCOMPARE(v.imagen().width(), int(210 * 96 / 25.4));
        int oscuros = 0;
        for (int y = 0; y < grande.height(); y += 2)
            for (int x = 0; x < grande.width(); x += 2) oscuros += qGray(grande.pixel(x, y)) < 128;
        QVERIFY(oscuros > 2000);  // la página lleva texto, no solo blanco
    }

    void destinosPantallaEImpresora() {
        rellenar(*Conexion::abrir(base_), QStringLiteral("Subcuentas"), 5);
        MotorInformes m = motorA(QStringLiteral("infCONT_Subcuentas.rpt"), QString());
        m.setDestination(0);
        m.PrintReport();
        QCOMPARE(m.LastErrorNumber(), 0);
        m.setDestination(7);
        m.PrintReport();
        QCOMPARE(m.LastErrorNumber(), ErrorMotor::kDestinoNoValido);
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("hay impresora predeterminada");
        m.setDestination(1);
        m.PrintReport();
        QCOMPARE(m.LastErrorNumber(), ErrorMotor::kSinImpresora);
        QCOMPARE(m.LastErrorString(),
                 QStringLiteral("No hay ninguna impresora predeterminada en el sistema"));
    }
};

QTEST_MAIN(PruebaPlantillas)
#include "prueba_plantillas.moc"
