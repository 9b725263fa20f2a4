#include "Exportadores.h"

#include <xlsxwriter.h>

#include <QFile>
#include <QTextStream>
#include <memory>

namespace orvo {

namespace {

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

void escribirCsv(Maquetador& m, QFile& f, const QString& archivo) {
    QTextStream s(&f);
    s.setEncoding(QStringConverter::Utf8);
    s.setGenerateByteOrderMark(true);
    const auto campos = m.camposDatos();
    QStringList cab;
    for (const auto& c : campos) cab << campoCsv(c.titulo);
    s << cab.join(u';') << "\r\n";
    m.recorrerFilas([&](const Fila& fila) {
        for (size_t i = 0; i < fila.size(); ++i) {
            if (i) s << ';';
            if (campos[i].tipo != TipoColumna::Texto && fila[i].numero)
                s << fila[i].numero->aTextoExacto().replace(u'.', u',');
            else
                s << campoCsv(fila[i].texto);
        }
        s << "\r\n";
        if (s.status() != QTextStream::Ok) salidaNoEscribible(archivo, f.errorString());
    });
}

void escribirHtml(Maquetador& m, const QString& titulo, const QDate& fecha, QFile& f,
                  const QString& archivo) {
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
        if (s.status() != QTextStream::Ok) salidaNoEscribible(archivo, f.errorString());
    });
    s << "</tbody></table>\n</body></html>\n";
}

// La biblioteca escribe por nombre, en 'ruta'; 'archivo' es el nombre para los mensajes.
void escribirXlsx(Maquetador& m, const QString& ruta, const QString& archivo) {
    lxw_workbook_options opciones{};
    opciones.constant_memory = LXW_TRUE;  // cada fila va a un temporal: la memoria no crece
    std::unique_ptr<lxw_workbook, decltype(&lxw_workbook_free)> libro(
        workbook_new_opt(QFile::encodeName(ruta).constData(), &opciones), lxw_workbook_free);
    if (!libro)
        throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                         QStringLiteral("No se puede preparar la hoja de cálculo %1").arg(archivo));
    lxw_worksheet* hoja = workbook_add_worksheet(libro.get(), "Informe");
    auto formato = [&](const char* numero, bool negrita = false) {
        lxw_format* f = workbook_add_format(libro.get());
        if (numero) format_set_num_format(f, numero);
        if (negrita) format_set_bold(f);
        return f;
    };
    // El código de formato es el de la hoja; cada programa lo muestra con los separadores de su
    // idioma ("1.234,56" en español).
    lxw_format* const cabecera = formato(nullptr, true);
    lxw_format* const conDecimales = formato("#,##0.00");
    lxw_format* const sinDecimales = formato("#,##0");
    lxw_format* const porcentaje = formato("#,##0.00%");
    lxw_format* const fecha = formato("dd/mm/yyyy");
    auto comprobar = [&](lxw_error e) {
        if (e != LXW_NO_ERROR)
            throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                             QStringLiteral("No se puede escribir la hoja de cálculo %1: %2")
                                 .arg(archivo, QString::fromUtf8(lxw_strerror(e))));
    };

    const auto campos = m.camposDatos();
    std::vector<qsizetype> ancho(campos.size());  // caracteres de lo más largo de cada columna
    for (size_t i = 0; i < campos.size(); ++i) {
        comprobar(worksheet_write_string(hoja, 0, lxw_col_t(i),
                                         campos[i].titulo.toUtf8().constData(), cabecera));
        ancho[i] = campos[i].titulo.size();
    }
    lxw_row_t fila = 0;
    m.recorrerFilas([&](const Fila& valores) {
        if (++fila >= LXW_ROW_MAX)
            throw FalloMotor(
                ErrorMotor::kSalidaNoEscribible,
                QStringLiteral("El informe tiene más filas de las que caben en una hoja "
                               "de cálculo (%1); elija PDF o CSV")
                    .arg(agruparMiles(LXW_ROW_MAX - 1)));
        for (size_t i = 0; i < valores.size(); ++i) {
            const QString& v = valores[i].texto;
            if (v.isEmpty()) continue;
            ancho[i] = std::max(ancho[i], v.size());
            const lxw_col_t col = lxw_col_t(i);
            const std::optional<Moneda> importe =
                campos[i].tipo != TipoColumna::Texto ? valores[i].numero : std::nullopt;
            if (importe && campos[i].tipo == TipoColumna::Porcentaje) {
                comprobar(
                    worksheet_write_number(hoja, fila, col, importe->aDouble() / 100, porcentaje));
            } else if (importe) {
                // Se imprime sin decimales en pesetas: la hoja lo muestra igual.
                comprobar(worksheet_write_number(hoja, fila, col, importe->aDouble(),
                                                 v.contains(u',') ? conDecimales : sinDecimales));
            } else if (const QDate& d = valores[i].fecha; d.isValid()) {
                lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
                comprobar(worksheet_write_datetime(hoja, fila, col, &dt, fecha));
            } else {
                comprobar(worksheet_write_string(hoja, fila, col, v.toUtf8().constData(), nullptr));
            }
        }
    });
    worksheet_freeze_panes(hoja, 1, 0);
    for (size_t i = 0; i < campos.size(); ++i)
        comprobar(worksheet_set_column(hoja, lxw_col_t(i), lxw_col_t(i),
                                       double(std::min<qsizetype>(ancho[i], 60) + 2), nullptr));
    const lxw_error e = workbook_close(libro.release());  // libera el libro aunque falle
    if (e != LXW_NO_ERROR) salidaNoEscribible(archivo, QString::fromUtf8(lxw_strerror(e)));
}

}  // namespace

void salidaNoEscribible(const QString& archivo, const QString& motivo) {
    throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                     QStringLiteral("No se puede escribir el archivo %1: %2").arg(archivo, motivo));
}

void escribirEntero(const QString& archivo, const std::function<void(ArchivoEntero&)>& escribir) {
    ArchivoEntero f(archivo);
    if (!f.abrir()) salidaNoEscribible(archivo, f.error());
    escribir(f);
    if (!f.confirmar()) salidaNoEscribible(archivo, f.error());
}

void exportarCsv(Maquetador& m, const QString& archivo) {
    escribirEntero(archivo, [&](ArchivoEntero& f) { escribirCsv(m, f.dispositivo(), archivo); });
}

void exportarHtml(Maquetador& m, const QString& titulo, const QDate& fecha,
                  const QString& archivo) {
    escribirEntero(archivo, [&](ArchivoEntero& f) {
        escribirHtml(m, titulo, fecha, f.dispositivo(), archivo);
    });
}

void exportarXlsx(Maquetador& m, const QString& archivo) {
    escribirEntero(archivo, [&](ArchivoEntero& f) { escribirXlsx(m, f.rutaTemporal(), archivo); });
}

}  // namespace orvo
