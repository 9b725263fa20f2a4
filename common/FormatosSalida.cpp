#include "FormatosSalida.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace orvo {

std::optional<FormatoSalida> formatoDeSalida(const QString& archivo) {
    const QString ext = QFileInfo(archivo).suffix().toLower();
    if (ext == u"pdf") return FormatoSalida::Pdf;
    if (ext == u"csv") return FormatoSalida::Csv;
    if (ext == u"html" || ext == u"htm") return FormatoSalida::Html;
    if (ext == u"xlsx") return FormatoSalida::Xlsx;
    return std::nullopt;
}

QString extensionNoAdmitida(const QString& archivo) {
    return QStringLiteral(
               "No se sabe escribir un informe en %1: el nombre debe acabar en .pdf, "
               ".csv, .html o .xlsx")
        .arg(archivo);
}

QString filtroSalidas() {
    return QStringLiteral(
        "Documento PDF (*.pdf);;Valores separados por comas (*.csv);;Página web (*.html);;"
        "Libro de Excel (*.xlsx)");
}

QString conExtensionDelTipo(const QString& archivo, const QString& tipo) {
    static const QRegularExpression extension(QStringLiteral("\\(\\*\\.(\\w+)"));
    const auto m = extension.match(tipo);
    if (archivo.isEmpty() || !m.hasMatch() || !QFileInfo(archivo).suffix().isEmpty())
        return archivo;
    return (archivo.endsWith(u'.') ? archivo : archivo + u'.') + m.captured(1);
}

}  // namespace orvo
