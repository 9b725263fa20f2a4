#include "Exportadores.h"

#include <QFile>
#include <QTextStream>

namespace orvo {

namespace {

QString xml(const QString& s) {
    return s.toHtmlEscaped();
}

void escribirCsv(Maquetador& m, const QString& archivo) {
    ArchivoCsv csv(archivo, true);
    const auto campos = m.camposDatos();
    QStringList campo;
    for (const auto& c : campos) campo << c.titulo;
    csv.fila(campo);
    m.recorrerFilas([&](const Fila& fila) {
        campo.clear();
        for (size_t i = 0; i < fila.size(); ++i) {
            if (campos[i].tipo != TipoColumna::Texto && fila[i].numero)
                campo << fila[i].numero->aTextoExacto().replace(u'.', u',');
            else
                campo << fila[i].texto;
        }
        csv.fila(campo);
    });
    csv.confirmar();
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
        if (s.status() != QTextStream::Ok) throw FalloEscritura(archivo, f.errorString());
    });
    s << "</tbody></table>\n</body></html>\n";
}

void escribirXlsx(Maquetador& m, const QString& archivo) {
    LibroXlsx libro(archivo, true);
    libro.hoja(QStringLiteral("Informe"));
    const auto cabecera = libro.estilo({nullptr, true});
    const auto conDecimales = libro.estilo({"#,##0.00"});
    const auto sinDecimales = libro.estilo({"#,##0"});
    const auto porcentaje = libro.estilo({"#,##0.00%"});
    const auto fecha = libro.estilo({"dd/mm/yyyy"});

    const auto campos = m.camposDatos();
    std::vector<qsizetype> ancho(campos.size());  // caracteres de lo más largo de cada columna
    for (size_t i = 0; i < campos.size(); ++i) {
        libro.texto(0, int(i), campos[i].titulo, cabecera);
        ancho[i] = campos[i].titulo.size();
    }
    int fila = 0;
    m.recorrerFilas([&](const Fila& valores) {
        if (++fila >= LibroXlsx::kFilasMaximas)
            throw FalloMotor(
                ErrorMotor::kSalidaNoEscribible,
                QStringLiteral("El informe tiene más filas de las que caben en una hoja "
                               "de cálculo (%1); elija PDF o CSV")
                    .arg(agruparMiles(LibroXlsx::kFilasMaximas - 1)));
        for (size_t i = 0; i < valores.size(); ++i) {
            const QString& v = valores[i].texto;
            if (v.isEmpty()) continue;
            ancho[i] = std::max(ancho[i], v.size());
            const int col = int(i);
            const std::optional<Moneda> importe =
                campos[i].tipo != TipoColumna::Texto ? valores[i].numero : std::nullopt;
            if (importe && campos[i].tipo == TipoColumna::Porcentaje)
                libro.numero(fila, col, importe->aDouble() / 100, porcentaje);
            else if (importe)
                // Se imprime sin decimales en pesetas: la hoja lo muestra igual.
                libro.numero(fila, col, importe->aDouble(),
                             v.contains(u',') ? conDecimales : sinDecimales);
            else if (const QDate& d = valores[i].fecha; d.isValid())
                libro.fecha(fila, col, d, fecha);
            else
                libro.texto(fila, col, v);
        }
    });
    libro.fijarFilas(1);
    for (size_t i = 0; i < campos.size(); ++i)
        libro.anchoColumna(int(i), double(std::min<qsizetype>(ancho[i], 60) + 2));
    libro.confirmar();
}

}  // namespace

void exportarCsv(Maquetador& m, const QString& archivo) {
    escribirCsv(m, archivo);
}

void exportarHtml(Maquetador& m, const QString& titulo, const QDate& fecha,
                  const QString& archivo) {
    escribirEntero(archivo, [&](ArchivoEntero& f) {
        escribirHtml(m, titulo, fecha, f.dispositivo(), archivo);
    });
}

void exportarXlsx(Maquetador& m, const QString& archivo) {
    escribirXlsx(m, archivo);
}

}  // namespace orvo
