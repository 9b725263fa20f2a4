#include "Exportadores.h"

#include <QFile>
#include <QTextStream>

#include "Zip.h"

namespace orvo {

namespace {

[[noreturn]] void noEscribible(const QFile& f) {
    throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                     QStringLiteral("No se puede escribir el archivo %1: %2")
                         .arg(f.fileName(), f.errorString()));
}

void abrir(QFile& f) {
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) noEscribible(f);
}

void cerrar(QFile& f) {
    f.flush();
    if (f.error() != QFileDevice::NoError) noEscribible(f);
    f.close();
}

QString campoCsv(const QString& s) {
    if (!s.contains(u';') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    QString t = s;
    t.replace(u'"', QStringLiteral("\"\""));
    return u'"' + t + u'"';
}

QString xml(const QString& s) {
    return s.toHtmlEscaped();
}

// Filas de una hoja XLSX, la de títulos incluida.
constexpr qint64 kFilasPorHoja = 1048576;

// Nombre de columna de hoja de cálculo: 0 -> A, 26 -> AA.
QString letraColumna(int i) {
    QString r;
    for (++i; i > 0; i = (i - 1) / 26) r.prepend(QChar(u'A' + (i - 1) % 26));
    return r;
}

}  // namespace

QString numeroParaHoja(const QString& celda) {
    const auto v = importeDeCelda(celda);
    return v ? v->aTextoExacto() : QString();
}

void exportarCsv(Maquetador& m, const QString& archivo) {
    QFile f(archivo);
    abrir(f);
    QTextStream s(&f);
    s.setEncoding(QStringConverter::Utf8);
    s.setGenerateByteOrderMark(true);
    const auto campos = m.camposDatos();
    QStringList cab;
    for (const auto& c : campos) cab << campoCsv(c.titulo);
    s << cab.join(u';') << "\r\n";
    m.recorrerFilas([&](const std::vector<QString>& fila) {
        for (size_t i = 0; i < fila.size(); ++i) {
            if (i) s << ';';
            QString n;
            if (campos[i].tipo != TipoColumna::Texto) n = numeroParaHoja(fila[i]);
            if (!n.isEmpty())
                s << QString(n).replace(u'.', u',');
            else
                s << campoCsv(fila[i]);
        }
        s << "\r\n";
        if (s.status() != QTextStream::Ok) noEscribible(f);
    });
    s.flush();
    cerrar(f);
}

void exportarHtml(Maquetador& m, const QString& titulo, const QDate& fecha,
                  const QString& archivo) {
    QFile f(archivo);
    abrir(f);
    QTextStream s(&f);
    s.setEncoding(QStringConverter::Utf8);
    const Plantilla& p = m.plantilla();
    const auto& vis = m.visibles();
    s << "<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\"><title>" << xml(titulo)
      << "</"
         "title>\n<style>body{font-family:sans-serif;font-size:10pt}table{border-collapse:collapse;"
         "width:100%}th{border-bottom:1px solid #000;text-align:left}td,th{padding:1px 6px}"
         ".d{text-align:right;white-space:nowrap}.g td{background:#e8ecf2;font-weight:bold}"
         ".t td{font-weight:bold;border-top:1px solid "
         "#000}.n{font-weight:bold}.c{font-style:italic}"
         "</style></head><body>\n";
    s << "<p><b>" << xml(m.expandir(p.empresa))
      << "</b><br>Fecha de impresión: " << fecha.toString(QStringLiteral("dd/MM/yyyy"))
      << "</p>\n<h1>" << xml(titulo) << "</h1>\n<p>" << xml(m.expandir(p.periodo))
      << "</p>\n<table>\n<thead><tr>";
    for (int c : vis) {
        const Columna& col = p.columnas[c];
        s << "<th" << (col.tipo != TipoColumna::Texto ? " class=\"d\"" : "") << '>'
          << xml(m.expandir(col.titulo)) << "</th>";
    }
    s << "</tr></thead>\n<tbody>\n";
    m.recorrerContinuo([&](const LineaPagina& l) {
        using Tipo = LineaPagina::Tipo;
        if (l.tipo == Tipo::CabeceraGrupo) {
            s << "<tr class=\"g\"><td colspan=\"" << vis.size() << "\">" << xml(l.texto)
              << "</td></tr>\n";
            return;
        }
        QStringList clases;
        if (l.tipo != Tipo::Detalle) clases << QStringLiteral("t");
        if (l.negrita && l.tipo == Tipo::Detalle) clases << QStringLiteral("n");
        if (l.cursiva) clases << QStringLiteral("c");
        s << "<tr"
          << (clases.isEmpty() ? QString() : QStringLiteral(" class=\"%1\"").arg(clases.join(u' ')))
          << '>';
        bool rotuloPuesto = l.tipo == Tipo::Detalle;
        for (int c : vis) {
            const Columna& col = p.columnas[c];
            QString texto = l.celdas[c];
            if (!rotuloPuesto && texto.isEmpty()) {
                texto = l.texto;
                rotuloPuesto = true;
            }
            s << "<td";
            if (col.tipo != TipoColumna::Texto)
                s << " class=\"d\"";
            else if (col.sangria && l.sangria > 0)
                s << " style=\"padding-left:" << l.sangria * 14 + 6 << "px\"";
            s << '>' << xml(texto) << "</td>";
        }
        s << "</tr>\n";
        if (s.status() != QTextStream::Ok) noEscribible(f);
    });
    s << "</tbody></table>\n</body></html>\n";
    s.flush();
    cerrar(f);
}

void exportarXlsx(Maquetador& m, const QString& archivo) {
    EscritorZip zip(archivo);
    auto entrada = [&zip](const QString& nombre, const QString& texto) {
        zip.abrirEntrada(nombre);
        zip.escribir(texto.toUtf8());
        zip.cerrarEntrada();
    };
    entrada(QStringLiteral("[Content_Types].xml"),
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                "<Default Extension=\"rels\" "
                "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                "<Override PartName=\"/xl/workbook.xml\" "
                "ContentType=\"application/"
                "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
                "ContentType=\"application/"
                "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                "<Override PartName=\"/xl/styles.xml\" "
                "ContentType=\"application/"
                "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                "</Types>"));
    entrada(
        QStringLiteral("_rels/.rels"),
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "officeDocument\" Target=\"xl/workbook.xml\"/>"
            "</Relationships>"));
    entrada(
        QStringLiteral("xl/workbook.xml"),
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
            "<sheets><sheet name=\"Informe\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"));
    entrada(
        QStringLiteral("xl/_rels/workbook.xml.rels"),
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
            "<Relationship Id=\"rId2\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
            "Target=\"styles.xml\"/>"
            "</Relationships>"));
    // Estilos: 1 cabecera en negrita, 2 importe con decimales, 3 importe entero, 4 porcentaje.
    entrada(QStringLiteral("xl/styles.xml"),
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00&quot; "
                "%&quot;\"/></numFmts>"
                "<fonts count=\"2\"><font><sz val=\"10\"/><name val=\"Arial\"/></font>"
                "<font><b/><sz val=\"10\"/><name val=\"Arial\"/></font></fonts>"
                "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
                "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
                "<borders "
                "count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
                "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
                "borderId=\"0\"/></cellStyleXfs>"
                "<cellXfs count=\"5\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
                "xfId=\"0\"/>"
                "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
                "applyFont=\"1\"/>"
                "<xf numFmtId=\"4\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
                "applyNumberFormat=\"1\"/>"
                "<xf numFmtId=\"3\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
                "applyNumberFormat=\"1\"/>"
                "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
                "applyNumberFormat=\"1\"/>"
                "</cellXfs></styleSheet>"));

    const auto campos = m.camposDatos();
    zip.abrirEntrada(QStringLiteral("xl/worksheets/sheet1.xml"));
    QString cab = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" "
        "state=\"frozen\"/>"
        "</sheetView></sheetViews><cols>");
    for (size_t i = 0; i < campos.size(); ++i)
        cab += QStringLiteral("<col min=\"%1\" max=\"%1\" width=\"%2\" customWidth=\"1\"/>")
                   .arg(i + 1)
                   .arg(campos[i].tipo == TipoColumna::Texto ? 30 : 16);
    cab += QStringLiteral("</cols><sheetData><row r=\"1\">");
    for (size_t i = 0; i < campos.size(); ++i)
        cab += QStringLiteral("<c r=\"") + letraColumna(int(i)) +
               QStringLiteral("1\" t=\"inlineStr\" s=\"1\"><is><t>") + xml(campos[i].titulo) +
               QStringLiteral("</t></is></c>");
    cab += QStringLiteral("</row>");
    zip.escribir(cab.toUtf8());
    std::vector<QString> letras;
    for (size_t i = 0; i < campos.size(); ++i) letras.push_back(letraColumna(int(i)));
    qint64 numero = 1;
    QString fila;
    m.recorrerFilas([&](const std::vector<QString>& valores) {
        if (++numero > kFilasPorHoja)
            throw FalloMotor(
                ErrorMotor::kSalidaNoEscribible,
                QStringLiteral("El informe tiene más filas de las que caben en una hoja "
                               "de cálculo (%1); elija PDF o CSV")
                    .arg(agruparMiles(kFilasPorHoja - 1)));
        const QString n = QString::number(numero);
        fila = QStringLiteral("<row r=\"") + n + QStringLiteral("\">");
        for (size_t i = 0; i < valores.size(); ++i) {
            const QString ref = letras[i] + n;
            const QString num =
                campos[i].tipo != TipoColumna::Texto ? numeroParaHoja(valores[i]) : QString();
            if (!num.isEmpty()) {
                const char* estilo = campos[i].tipo == TipoColumna::Porcentaje ? "4"
                                     : valores[i].contains(u',')               ? "2"
                                                                               : "3";
                fila += QStringLiteral("<c r=\"") + ref + QStringLiteral("\" s=\"") +
                        QLatin1String(estilo) + QStringLiteral("\"><v>") + num +
                        QStringLiteral("</v></c>");
            } else if (!valores[i].isEmpty()) {
                fila += QStringLiteral("<c r=\"") + ref +
                        QStringLiteral("\" t=\"inlineStr\"><is><t xml:space=\"preserve\">") +
                        xml(valores[i]) + QStringLiteral("</t></is></c>");
            }
        }
        fila += QStringLiteral("</row>");
        zip.escribir(fila.toUtf8());
    });
    zip.escribir(QByteArrayLiteral("</sheetData></worksheet>"));
    zip.cerrarEntrada();
    zip.terminar();
}

}  // namespace orvo
