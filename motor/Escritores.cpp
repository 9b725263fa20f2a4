#include "Escritores.h"

#include <xlsxwriter.h>

#include <QFileInfo>

namespace orvo {

FalloEscritura::FalloEscritura(const QString& archivo, const QString& motivo)
    : ErrorOrvo(Causa::AccesoAlArchivo,
                QStringLiteral("No se puede escribir el archivo %1: %2").arg(archivo, motivo)),
      archivo_(archivo),
      motivo_(motivo) {}

void escribirEntero(const QString& archivo, const std::function<void(ArchivoEntero&)>& escribir) {
    ArchivoEntero f(archivo);
    if (!f.abrir()) throw FalloEscritura(archivo, f.error());
    escribir(f);
    if (!f.confirmar()) throw FalloEscritura(archivo, f.error());
}

ArchivoCsv::ArchivoCsv(const QString& archivo, bool marcaOrden)
    : archivo_(archivo), salida_(archivo) {
    if (!salida_.abrir()) throw FalloEscritura(archivo_, salida_.error());
    if (marcaOrden) salida_.dispositivo().write("\xEF\xBB\xBF");
}

void ArchivoCsv::fila(const QStringList& campos) {
    QString linea;
    for (qsizetype i = 0; i < campos.size(); ++i) {
        if (i) linea += u';';
        const QString& c = campos[i];
        if (c.contains(u';') || c.contains(u'"') || c.contains(u'\n') || c.contains(u'\r'))
            linea += u'"' + QString(c).replace(u'"', QStringLiteral("\"\"")) + u'"';
        else
            linea += c;
    }
    linea += QStringLiteral("\r\n");
    const QByteArray datos = linea.toUtf8();
    // Sin espacio no se sigue: un informe de un millón de filas no espera al final para fallar.
    if (salida_.dispositivo().write(datos) != datos.size() || !salida_.falloEscritura().isEmpty())
        throw FalloEscritura(archivo_, salida_.falloEscritura().isEmpty()
                                           ? salida_.dispositivo().errorString()
                                           : salida_.falloEscritura());
}

void ArchivoCsv::confirmar() {
    if (!salida_.confirmar()) throw FalloEscritura(archivo_, salida_.error());
}

const int LibroXlsx::kFilasMaximas = LXW_ROW_MAX;

LibroXlsx::LibroXlsx(const QString& archivo, bool memoriaConstante)
    : archivo_(archivo), salida_(archivo) {
    if (!salida_.abrir()) fallar(salida_.error());
    lxw_workbook_options opciones{};
    opciones.constant_memory = memoriaConstante ? LXW_TRUE : LXW_FALSE;
    libro_ = workbook_new_opt(QFile::encodeName(salida_.rutaTemporal()).constData(), &opciones);
    if (!libro_) fallar(QStringLiteral("no se puede preparar el libro de cálculo"));
}

LibroXlsx::~LibroXlsx() {
    // Solo si algo ha fallado: libera el libro sin escribirlo; ArchivoEntero borra el temporal.
    if (libro_ && !cerrado_) lxw_workbook_free(libro_);
}

void LibroXlsx::fallar(const QString& motivo) const {
    throw FalloEscritura(archivo_, motivo);
}

void LibroXlsx::comprobar(int codigo) const {
    if (codigo != LXW_NO_ERROR)
        fallar(QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(codigo))));
}

lxw_worksheet* LibroXlsx::hojaActual() const {
    if (!hoja_) fallar(QStringLiteral("no hay ninguna hoja"));
    return hoja_;
}

lxw_format* LibroXlsx::formato(IdEstilo e) const {
    return e == kSinEstilo ? nullptr : estilos_.at(static_cast<size_t>(e));
}

const char* LibroXlsx::utf8(const QString& t) {
    texto_ = t.toUtf8();
    return texto_.constData();
}

LibroXlsx::IdEstilo LibroXlsx::estilo(const Estilo& e) {
    lxw_format* f = workbook_add_format(libro_);
    if (!f) fallar(QStringLiteral("no queda memoria para los formatos"));
    if (e.numero) format_set_num_format(f, e.numero);
    if (e.negrita) format_set_bold(f);
    if (e.cabecera) {
        format_set_text_wrap(f);
        format_set_align(f, LXW_ALIGN_CENTER);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(f, LXW_BORDER_THIN);
    }
    estilos_.push_back(f);
    return static_cast<IdEstilo>(estilos_.size() - 1);
}

void LibroXlsx::hoja(const QString& nombre) {
    hoja_ = workbook_add_worksheet(libro_, utf8(nombre));
    if (!hoja_) fallar(QStringLiteral("no se puede añadir la hoja «%1»").arg(nombre));
}

void LibroXlsx::texto(int fila, int columna, const QString& t, IdEstilo e) {
    comprobar(worksheet_write_string(hojaActual(), static_cast<lxw_row_t>(fila),
                                     static_cast<lxw_col_t>(columna), utf8(t), formato(e)));
}

void LibroXlsx::numero(int fila, int columna, double n, IdEstilo e) {
    comprobar(worksheet_write_number(hojaActual(), static_cast<lxw_row_t>(fila),
                                     static_cast<lxw_col_t>(columna), n, formato(e)));
}

void LibroXlsx::fecha(int fila, int columna, const QDate& d, IdEstilo e) {
    lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
    comprobar(worksheet_write_datetime(hojaActual(), static_cast<lxw_row_t>(fila),
                                       static_cast<lxw_col_t>(columna), &dt, formato(e)));
}

void LibroXlsx::unir(int fila, int columna, int hastaFila, int hastaColumna, const QString& t,
                     IdEstilo e) {
    comprobar(worksheet_merge_range(hojaActual(), static_cast<lxw_row_t>(fila),
                                    static_cast<lxw_col_t>(columna),
                                    static_cast<lxw_row_t>(hastaFila),
                                    static_cast<lxw_col_t>(hastaColumna), utf8(t), formato(e)));
}

void LibroXlsx::anchoColumna(int columna, double ancho) {
    const auto c = static_cast<lxw_col_t>(columna);
    comprobar(worksheet_set_column(hojaActual(), c, c, ancho, nullptr));
}

void LibroXlsx::altoFila(int fila, double alto) {
    comprobar(worksheet_set_row(hojaActual(), static_cast<lxw_row_t>(fila), alto, nullptr));
}

void LibroXlsx::fijarFilas(int filas) {
    worksheet_freeze_panes(hojaActual(), static_cast<lxw_row_t>(filas), 0);
}

qint64 LibroXlsx::cerrar() {
    if (!cerrado_) {
        cerrado_ = true;  // workbook_close libera el libro aunque falle
        comprobar(workbook_close(libro_));
    }
    return QFileInfo(salida_.rutaTemporal()).size();
}

void LibroXlsx::confirmar() {
    cerrar();
    if (!salida_.confirmar()) fallar(salida_.error());
}

}  // namespace orvo
