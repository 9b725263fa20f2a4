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
#include "DiscoLleno.h"
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

// La vista previa de una plantilla con 'filas' filas de muestra en su tabla, como la abre el
// motor: maquetador, pintor e interfaz que anota.
struct Vista {
    Vista(const QString& base, const QString& rpt, int filas, const QString& titulo, int zoom,
          const QString& formula = {})
        : con(Conexion::abrir(base)),
          formulas((rellenar(*con, tablaDe(rpt), filas), valores(formula))),
          m(Plantilla::leer(prueba::plantilla(rpt)), *con, formulas),
          pintor(m, titulo, QDate(2024, 1, 1)),
          v(m, pintor, titulo, QDate(2024, 1, 1), zoom, interfaz) {}
    static ValoresFormulas valores(const QString& formula) {
        ValoresFormulas f;
        if (!formula.isEmpty()) f.anadir(formula);
        return f;
    }

    std::shared_ptr<Conexion> con;
    ValoresFormulas formulas;
    Maquetador m;
    Pintor pintor;
    InterfazGrabadora interfaz;
    VistaPrevia v;
};

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
    QStringList imprimir(const QString& plantilla, const QString& archivo) {
        const QString ruta = dir_.filePath(archivo);
        MotorInformes m = motorA(plantilla, ruta);
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
    void init() {
        base_ = dir_.filePath(QStringLiteral("Informes-%1.mdb").arg(QTest::currentTestFunction()));
        QFile::remove(base_);
        baseInformes(base_);
    }

    void cadaPlantillaGeneraUnPdfLegible_data() {
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QStringList>("textos");  // de fórmulas: meses, empresas, totales
        // clang-format off
        const QHash<QString, QStringList> textos{
            {"infCONT_Presupuesto.rpt", {"ENE", "JUN", "DIC"}},
            {"infCONT_PresupuestoAnual.rpt", {"ENE", "DIC", "Realizado", "% realizado"}},
            {"infCONT_SituacionComparativo.rpt", {"<CÑ-2023>"}},
            {"infCONT_SumasySaldos.rpt", {"Totales", "1.000,00", "2.000,00", "-1.000,00", "Importes en euros"}},
            {"infCONT_SumasySaldosPresupuesto.rpt", {"4.000,00", "-25,00 %"}}};
        // clang-format on
        const QStringList todas =
            QDir(QStringLiteral(ORVO_PLANTILLAS_DIR))
                .entryList({QStringLiteral("infCONT_*.rpt")}, QDir::Files, QDir::Name);
        QCOMPARE(todas.size(), 22);
        for (const QString& p : todas) QTest::newRow(qPrintable(p)) << p << textos.value(p);
    }
    void cadaPlantillaGeneraUnPdfLegible() {
        QFETCH(QString, plantilla);
        QFETCH(QStringList, textos);
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
        for (const QString& t : textos) QVERIFY2(paginas.join(u'\n').contains(t), qPrintable(t));
    }

    // Una descripción que no cabe sigue entera en las líneas de debajo, dentro de su columna, y
    // no pisa los importes, que van en la primera; un importe que no cabe se escribe entero con
    // letra más pequeña.
    void textosLargosEImportesAnchos() {
        const QString larga = QStringLiteral(
            "Regularización de existencias finales de mercaderías del "
            "almacén central y de las tiendas de la zona norte y sur");
        mayor({{"3000000", "Mercaderías", "1 (1)", "31/12/2024", larga, "1.234,56",
                "-987.654.321.098,76", "-1,00"}});
        const QString texto =
            imprimir(QStringLiteral("infCONT_LibroMayor.rpt"), QStringLiteral("largo.pdf"))
                .join(u'\n')
                .replace(QChar(0xFB01), QStringLiteral("fi"));  // sin la ligadura
        QVERIFY(!texto.contains(u'…'));
        static const QRegularExpression lineas(QStringLiteral(
            "31/12/2024\\s+1 \\(1\\)\\s+(Regularización de existencias[^\\n]*?)\\s+1\\.234,56\\s+"
            "-987\\.654\\.321\\.098,76\\s+-1,00\\n\\s+([^\\n]+)\\n\\s+([^\\n]+)\\n"));
        const auto m = lineas.match(texto);
        QVERIFY2(m.hasMatch(), qPrintable(texto));
        QCOMPARE(m.captured(1) + u' ' + m.captured(2).trimmed() + u' ' + m.captured(3).trimmed(),
                 larga);
    }

    // Las mismas filas en CSV, XLSX y HTML: importes como números, textos con separadores.
    void exportaciones() {
        const QString cliente = QStringLiteral("Pérez; Hijos \"SA\" <1>");
        mayor({{"4300001", cliente, "1 (1)", "01/01/2024", "Apertura", "1.234,56", "0,00",
                "1.234,56"},
               {"4300001", cliente, "2 (2)", "02/01/2024", "Abono", "0", "-2.000", "ERROR"}});
        const QString rpt = QStringLiteral("infCONT_LibroMayor.rpt");
        for (const char* ext : {"csv", "xlsx", "html"})
            QCOMPARE(imprimir(rpt, QStringLiteral("mayor.") + ext), QStringList());
        QFile csv(dir_.filePath(QStringLiteral("mayor.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(
            csv.readAll(),
            "\xEF\xBB\xBF" +
                QStringLiteral("Subcuenta;Descripcion;Fecha;Asiento;Concepto;Debe;Haber;Saldo\r\n"
                               "4300001;\"Pérez; Hijos \"\"SA\"\" <1>\";01/01/2024;1 (1);Apertura;"
                               "1234,56;0;1234,56\r\n"
                               "4300001;\"Pérez; Hijos \"\"SA\"\" <1>\";02/01/2024;2 (2);Abono;0;"
                               "-2000;ERROR\r\n")
                    .toUtf8());
        const HojaXlsx hoja = leerXlsx(dir_.filePath(QStringLiteral("mayor.xlsx")));
        QVERIFY(hoja.cabeceraFija);
        using C = HojaXlsx::Celda;
        const QList<std::pair<const char*, C>> esperadas{
            {"A1", C{false, "Subcuenta", ""}},
            {"B2", C{false, cliente, ""}},
            {"C2", C{true, "45292", "dd/mm/yyyy"}},  // 01/01/2024
            {"F2", C{true, "1234.56", "#,##0.00"}},
            {"G3", C{true, "-2000", "#,##0"}},  // pesetas, sin decimales
            {"H3", C{false, "ERROR", ""}}};
        for (const auto& [ref, e] : esperadas) {
            const C c = hoja.celdas.value(ref);
            QVERIFY2(c.numero == e.numero && c.valor == e.valor && c.formato == e.formato, ref);
        }
        QVERIFY(hoja.anchos.value(1) >= cliente.size());
        insertar(*Conexion::abrir(base_), "ResumenIVA", {"Seccion", "Concepto", "Tipo"},
                 {"IVA devengado", "General", "21,00 %"});
        QCOMPARE(imprimir(QStringLiteral("infCONT_ResumenIVA.rpt"), "iva.xlsx"), QStringList());
        const auto tipo = leerXlsx(dir_.filePath(QStringLiteral("iva.xlsx"))).celdas.value("C2");
        QVERIFY(tipo.numero && tipo.valor == u"0.21" && tipo.formato == u"#,##0.00%");
        QFile html(dir_.filePath(QStringLiteral("mayor.html")));
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(html.readAll());
        QVERIFY(texto.contains(
            QStringLiteral("Subcuenta 4300001  Pérez; Hijos &quot;SA&quot; &lt;1&gt;")));
        QVERIFY(texto.contains(QStringLiteral("Total subcuenta")));
        QVERIFY(texto.contains(
            QStringLiteral("<td class=\"d\">1.234,56</td><td class=\"d\">-2.000,00</td>"
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
        const int rota = ErrorMotor::kPlantillaNoValida;
        QTest::newRow("clave rara") << "[informe]\ntabla = Subcuentas\nanchura = 3" << "" << "x.pdf" << rota
            << "La plantilla propia.rpt no es válida (línea 3): clave desconocida «anchura»";
        QTest::newRow("sin sección") << "tabla = X" << "" << "x.pdf" << rota << "(línea 1): falta la sección [informe]";
        QTest::newRow("sección rara") << "[informe]\ntabla = X\n[pie]" << "" << "x.pdf" << rota << "(línea 3): sección desconocida [pie]";
        QTest::newRow("sin igual") << "[informe]\ntabla X" << "" << "x.pdf" << rota << "(línea 2): se esperaba «clave = valor»";
        QTest::newRow("ancho") << "[informe]\ntabla = X\n[columna]\nancho = a" << "" << "x.pdf" << rota << "(línea 4): número no válido";
        QTest::newRow("tipo") << "[informe]\ntabla = X\n[columna]\ntipo = fecha" << "" << "x.pdf" << rota << "tipo texto, importe o porcentaje";
        QTest::newRow("si o no") << "[informe]\ntabla = X\nsuma_y_sigue = a veces" << "" << "x.pdf" << rota << "(línea 3): se esperaba si o no";
        QTest::newRow("condición") << "[informe]\ntabla = X\nnegrita = Nivel" << "" << "x.pdf" << rota << "condición no válida";
        QTest::newRow("sin tabla") << "[informe]\n[columna]\ncampo = A" << "" << "x.pdf" << rota << "falta la tabla";
        QTest::newRow("sin columnas") << "[informe]\ntabla = X" << "" << "x.pdf" << rota << "no hay columnas";
        QTest::newRow("línea corta") << "[informe]\ntabla = X\n[columna]\ncampo = A\n[columna]\ncampo = B\n[linea]\nceldas = A"
            << "" << "x.pdf" << rota << "una línea tiene 1 celdas y hay 2 columnas";
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
        const QString extensiones = QStringLiteral("el nombre debe acabar en .pdf, .csv, .html o .xlsx");
        QTest::newRow("extensión que no se escribe") << sub << "" << "x.txt" << ErrorMotor::kSalidaNoEscribible
            << extensiones;
        QTest::newRow("sin extensión") << sub << "" << "x" << ErrorMotor::kSalidaNoEscribible << extensiones;
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

    // Un archivo se escribe entero o no se escribe: si falla a medias (el disco se llena), el
    // que había con ese nombre sigue igual, byte a byte, y no queda ningún temporal; la
    // siguiente impresión lo sustituye con sus mismos permisos.
    void unFalloDejaElArchivoComoEstaba_data() {
        QTest::addColumn<QString>("extension");
        for (const char* e : {"pdf", "csv", "html", "xlsx"})
            QTest::newRow(e) << QString::fromLatin1(e);
    }
    void unFalloDejaElArchivoComoEstaba() {
        QFETCH(QString, extension);
        rellenar(*Conexion::abrir(base_), QStringLiteral("Libro_Mayor"), 2000);
        QTemporaryDir carpeta;
        const QString nombre = QStringLiteral("mayor.") + extension;
        const QString ruta = carpeta.filePath(nombre);
        const QByteArray anterior = "el informe bueno de ayer";
        QVERIFY(escribirArchivo(ruta, anterior));
        QVERIFY(
            QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const QFile::Permissions permisos = QFileInfo(ruta).permissions();
        const auto soloElArchivo = [&] {
            return QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden) ==
                   QStringList{nombre};
        };
        MotorInformes m = motorA(QStringLiteral("infCONT_LibroMayor.rpt"), ruta);
        // Menos que cualquier hoja de cálculo: la biblioteca de XLSX no ve los fallos al escribir
        // en sus propios temporales (deja una hoja cortada), solo los del archivo que compone.
        constexpr rlim_t kLleno = 1024;
        {
            DiscoLleno lleno(kLleno);
            m.PrintReport();
        }
        QCOMPARE(m.LastErrorNumber(), ErrorMotor::kSalidaNoEscribible);
        QVERIFY2(m.LastErrorString().contains(ruta), qPrintable(m.LastErrorString()));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), anterior);
        f.close();
        QVERIFY(soloElArchivo());
        m.PrintReport();
        QCOMPARE(m.LastErrorNumber(), 0);
        QVERIFY(QFileInfo(ruta).size() > qint64(kLleno));
        QCOMPARE(QFileInfo(ruta).permissions(), permisos);
        QVERIFY(soloElArchivo());
    }

    // Un doble clic en una línea de detalle de la vista previa pide el desglose de su fila; en
    // la cabecera, nada.
    void vistaPreviaDesglosaLaFila() {
        Vista vista(base_, QStringLiteral("infCONT_LibroMayor.rpt"), 30, QStringLiteral("Mayor"), 100);
        VistaPrevia& v = vista.v;
        QList<qint64> pedidas;
        v.setDesglose([&](qint64 fila) {
            pedidas << fila;
            if (fila == 3)
                throw ErrorOrvo(Causa::RegistroNoEncontrado, QStringLiteral("Sin apuntes"));
        });
        // Recorriendo la página de arriba abajo salen las filas en orden, cada una una vez.
        QList<qint64> filas;
        QPoint enFila3;
        for (int y = 0; y < v.imagen().height(); ++y) {
            const qint64 fila = v.filaEn(QPoint(200, y));
            if (fila > 0 && (filas.isEmpty() || filas.last() != fila)) filas << fila;
            if (fila == 3 && enFila3.isNull()) enFila3 = QPoint(200, y + 2);
        }
        QVERIFY(filas.size() >= 10);
        for (int i = 0; i < filas.size(); ++i) QCOMPARE(filas[i], qint64(i + 1));
        QCOMPARE(v.filaEn(QPoint(200, 5)), qint64(0));
        auto* hoja = v.findChild<QLabel*>(QStringLiteral("lblHoja"));
        QTest::mouseDClick(hoja, Qt::LeftButton, {}, QPoint(200, 5));
        QVERIFY(pedidas.isEmpty());
        QTest::mouseDClick(hoja, Qt::LeftButton, {}, enFila3);
        QCOMPARE(pedidas, QList<qint64>{3});
        // Un desglose que no se puede abrir se dice en un mensaje, sin cerrar la vista previa.
        QCOMPARE(vista.interfaz.mensajes.size(), size_t(1));
        QCOMPARE(vista.interfaz.mensajes.back().texto, QStringLiteral("Sin apuntes"));
    }

    void vistaPreviaNavegaYAmplia() {
        Vista vista(base_, QStringLiteral("infCONT_LibroMayor.rpt"), 400,
                    QStringLiteral("Informe de libro Mayor"), 150, QStringLiteral("Empresa= \"X\""));
        VistaPrevia& v = vista.v;
        const int total = vista.m.numeroPaginas();
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
        QCOMPARE(v.imagen().width(), int(210 * 1.5 * 96 / 25.4));
        v.findChild<QSpinBox*>(QStringLiteral("spnZoom"))->setValue(100);
        QCOMPARE(v.imagen().width(), int(210 * 96 / 25.4));
    }

    // Guardar desde la vista previa con un nombre sin extensión escribe el tipo elegido.
    void guardarDesdeLaVistaPrevia() {
        Vista vista(base_, QStringLiteral("infCONT_Subcuentas.rpt"), 5, QStringLiteral("Subcuentas"), 100);
        vista.interfaz.respuestasGuardar = {dir_.filePath(QStringLiteral("vista"))};
        vista.interfaz.tipoGuardar = QStringLiteral("Valores separados por comas (*.csv)");
        vista.v.findChild<QPushButton*>(QStringLiteral("cmdGuardar"))->click();
        QVERIFY(vista.interfaz.mensajes.empty());
        QVERIFY(QFileInfo(dir_.filePath(QStringLiteral("vista.csv"))).size() > 0);
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
        QVERIFY(m.LastErrorString().startsWith(
            QStringLiteral("No hay ninguna impresora predeterminada en el sistema. Instale")));
    }
};

QTEST_MAIN(PruebaPlantillas)
#include "prueba_plantillas.moc"
