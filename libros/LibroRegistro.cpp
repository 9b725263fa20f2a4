#include "LibroRegistro.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"

namespace orvo {

namespace {

// Valores del caso corriente que los libros no guardan (ver el README): actividad empresarial
// del IAE sin epígrafe, factura completa (rectificativa si la cuota es negativa), régimen
// general, sujeta y no exenta, sin criterio de caja, NIF español. Lo que no se sabe va vacío.
enum class Dato {
    Vacio,
    Ejercicio,
    Periodo,
    ActividadTipo,
    ActividadSubtipo,
    TipoFactura,
    Fecha,
    Numero,
    Factura,
    NumeroRecepcion,
    Nif,
    Nombre,
    ClaveRegimen,
    Calificacion,
    No,
    Total,
    Base,
    TipoIva,
    CuotaIva,
    TipoRecargo,
    CuotaRecargo
};

// Una columna del libro: su cabecera y el dato de la línea de IVA que lleva.
struct ColumnaRegistro {
    const char* cabecera;
    Dato dato = Dato::Vacio;
};

const ColumnaRegistro kComienzo[] = {{"Autoliquidación Ejercicio", Dato::Ejercicio},
                                     {"Autoliquidación Periodo", Dato::Periodo},
                                     {"Actividad Tipo", Dato::ActividadTipo},
                                     {"Actividad Subtipo", Dato::ActividadSubtipo},
                                     {"Actividad Epígrafe IAE"},
                                     {"Tipo de Factura", Dato::TipoFactura}};
const ColumnaRegistro kEmitidas[] = {{"Fecha Expedición", Dato::Fecha},
                                     {"Fecha Operación"},
                                     {"Identificación Factura Serie"},
                                     {"Identificación Factura Número", Dato::Numero},
                                     {"Identificación Factura Número-Final"},
                                     {"NIF Destinatario Tipo"},
                                     {"NIF Destinatario Código País"},
                                     {"NIF Destinatario Identificación", Dato::Nif},
                                     {"Nombre Destinatario", Dato::Nombre},
                                     {"Clave de Operación", Dato::ClaveRegimen},
                                     {"Calificación de la Operación", Dato::Calificacion},
                                     {"Operación Exenta"},
                                     {"Total Factura", Dato::Total},
                                     {"Base Imponible", Dato::Base},
                                     {"Tipo de IVA", Dato::TipoIva},
                                     {"Cuota IVA Repercutida", Dato::CuotaIva},
                                     {"Tipo de Recargo eq.", Dato::TipoRecargo},
                                     {"Cuota Recargo eq.", Dato::CuotaRecargo},
                                     {"Cobro Fecha"},
                                     {"Cobro Importe"},
                                     {"Cobro Medio Utilizado"},
                                     {"Cobro Identificación Medio Utilizado"}};
const ColumnaRegistro kRecibidas[] = {{"Fecha Expedición", Dato::Fecha},
                                      {"Fecha Operación"},
                                      {"Fecha Recepción", Dato::Fecha},
                                      {"Identificación Factura Serie"},
                                      {"Identificación Factura Número", Dato::Factura},
                                      {"Identificación Factura Número-Final"},
                                      {"Número Recepción", Dato::NumeroRecepcion},
                                      {"Número Recepción Final"},
                                      {"NIF Expedidor Tipo"},
                                      {"NIF Expedidor Código País"},
                                      {"NIF Expedidor Identificación", Dato::Nif},
                                      {"Nombre Expedidor", Dato::Nombre},
                                      {"Clave de Operación", Dato::ClaveRegimen},
                                      {"Bien de Inversión", Dato::No},
                                      {"Inversión del Sujeto Pasivo", Dato::No},
                                      {"Deducible en Periodo Posterior", Dato::No},
                                      {"Periodo Deducción Ejercicio"},
                                      {"Periodo Deducción Periodo"},
                                      {"Total Factura", Dato::Total},
                                      {"Base Imponible", Dato::Base},
                                      {"Tipo de IVA", Dato::TipoIva},
                                      {"Cuota IVA Soportada", Dato::CuotaIva},
                                      {"Cuota Deducible", Dato::CuotaIva},  // toda, sin prorrata
                                      {"Tipo de Recargo eq.", Dato::TipoRecargo},
                                      {"Cuota Recargo eq.", Dato::CuotaRecargo},
                                      {"Pago Fecha"},
                                      {"Pago Importe"},
                                      {"Pago Medio Utilizado"},
                                      {"Pago Identificación Medio Utilizado"}};
const ColumnaRegistro kFinal[] = {{"Tipo Retención IRPF"},           {"Importe Retenido IRPF"},
                                  {"Registro Acuerdo Facturación"},  {"Inmueble Situación"},
                                  {"Inmueble Referencia Catastral"}, {"Referencia Externa"}};

// Las columnas del libro, en su orden.
std::vector<ColumnaRegistro> columnas(bool emitidas) {
    std::vector<ColumnaRegistro> c(std::begin(kComienzo), std::end(kComienzo));
    if (emitidas)
        c.insert(c.end(), std::begin(kEmitidas), std::end(kEmitidas));
    else
        c.insert(c.end(), std::begin(kRecibidas), std::end(kRecibidas));
    c.insert(c.end(), std::begin(kFinal), std::end(kFinal));
    return c;
}

CeldaRegistro texto(const QString& t) {
    return {t, false, Moneda()};
}
CeldaRegistro importe(Moneda m) {
    return {QString(), true, m};
}

// 'numeroRecepcion': el número de la numeración automática va en "Número Recepción".
CeldaRegistro celda(Dato dato, const FilaIVA& f, bool numeroRecepcion) {
    switch (dato) {
        case Dato::Vacio:
            return {};
        case Dato::Ejercicio:
            return texto(f.fecha.left(4));
        case Dato::Periodo:
            return texto(QString::number((f.fecha.mid(4, 2).toInt() + 2) / 3) + u'T');
        case Dato::ActividadTipo:
            return texto(QStringLiteral("A"));
        case Dato::ActividadSubtipo:
            return texto(QStringLiteral("03"));
        case Dato::TipoFactura:
            return texto(f.cuotaIva < Moneda() ? QStringLiteral("R4") : QStringLiteral("F1"));
        case Dato::Fecha:
            return texto(f.fecha.right(2) + u'/' + f.fecha.mid(4, 2) + u'/' + f.fecha.left(4));
        case Dato::Numero:
            return texto(f.numero);
        case Dato::Factura:
            return texto(f.factura);
        case Dato::NumeroRecepcion:
            return texto(numeroRecepcion ? f.numero : QString());
        // Contrapartida que no es de la empresa: sin identificación, no con el rótulo del libro.
        case Dato::Nif:
            return texto(f.nif == QLatin1String("No existe") ? QString() : f.nif.trimmed());
        case Dato::Nombre:
            return texto(f.nombre);
        case Dato::ClaveRegimen:
            return texto(QStringLiteral("01"));
        case Dato::Calificacion:
            return texto(QStringLiteral("S1"));
        case Dato::No:
            return texto(QStringLiteral("N"));
        case Dato::Total:
            return importe(f.total);
        case Dato::Base:
            return importe(f.base);
        // Los tipos se leen como se anotaron ("21", "5,2"); el libro los lleva con dos decimales.
        case Dato::TipoIva:
            return importe(Moneda::deColumna(f.tipoIva));
        case Dato::CuotaIva:
            return importe(f.cuotaIva);
        case Dato::TipoRecargo:
            return importe(Moneda::deColumna(f.tipoRecargo));
        case Dato::CuotaRecargo:
            return importe(f.cuotaRecargo);
    }
    return {};
}

QString celdaCsv(QString t) {
    if (t.contains(u';') || t.contains(u'"') || t.contains(u'\n') || t.contains(u'\r'))
        t = u'"' + t.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return t;
}

[[noreturn]] void noSeEscribe(const QString& archivo, const QString& motivo) {
    throw ErrorOrvo(
        Causa::AccesoAlArchivo,
        QStringLiteral("No se puede escribir el libro registro %1: %2").arg(archivo, motivo));
}

void escribirCsv(const QString& archivo, const QStringList& cabeceras,
                 const std::vector<FilaRegistro>& filas) {
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly)) noSeEscribe(archivo, f.errorString());
    QByteArray datos;
    QStringList linea;
    for (const QString& c : cabeceras) linea << celdaCsv(c);
    datos += linea.join(u';').toUtf8() + "\r\n";
    for (const FilaRegistro& fila : filas) {
        linea.clear();
        for (const CeldaRegistro& c : fila) linea << celdaCsv(textoCsv(c));
        datos += linea.join(u';').toUtf8() + "\r\n";
    }
    f.write(datos);
    if (!f.commit()) noSeEscribe(archivo, f.errorString());
}

void escribirXlsx(const QString& archivo, const QString& hoja, const QStringList& cabeceras,
                  const std::vector<FilaRegistro>& filas) {
    // Se escribe al lado y se cambia por el definitivo solo si ha salido entero.
    QTemporaryFile temporal(archivo + QStringLiteral(".XXXXXX"));
    if (!temporal.open()) noSeEscribe(archivo, temporal.errorString());
    temporal.close();
    lxw_workbook* libro = workbook_new(QFile::encodeName(temporal.fileName()).constData());
    if (!libro) noSeEscribe(archivo, QStringLiteral("no se puede crear el libro de cálculo"));
    lxw_worksheet* h = workbook_add_worksheet(libro, hoja.toUtf8().constData());
    lxw_format* negrita = workbook_add_format(libro);
    format_set_bold(negrita);
    lxw_format* euros = workbook_add_format(libro);
    format_set_num_format(euros, "#,##0.00");
    for (int c = 0; c < cabeceras.size(); ++c)
        worksheet_write_string(h, 0, static_cast<lxw_col_t>(c), cabeceras[c].toUtf8().constData(),
                               negrita);
    lxw_row_t r = 1;
    for (const FilaRegistro& fila : filas) {
        for (std::size_t c = 0; c < fila.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            if (fila[c].esImporte)
                worksheet_write_number(h, r, col, fila[c].importe.aDouble(), euros);
            else if (!fila[c].texto.isEmpty())
                worksheet_write_string(h, r, col, fila[c].texto.toUtf8().constData(), nullptr);
        }
        ++r;
    }
    const lxw_error e = workbook_close(libro);
    if (e != LXW_NO_ERROR) noSeEscribe(archivo, QString::fromUtf8(lxw_strerror(e)));
    if (QFile::exists(archivo) && !QFile::remove(archivo))
        noSeEscribe(archivo, QStringLiteral("no se puede reemplazar el archivo que ya existe"));
    if (!QFile::rename(temporal.fileName(), archivo))
        noSeEscribe(archivo, QStringLiteral("no se puede dar al archivo su nombre"));
    temporal.setAutoRemove(false);
    // El temporal nace solo para su dueño; el libro se lee como cualquier otro archivo.
    QFile::setPermissions(archivo, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

}  // namespace

QString nombreLibroRegistro(int ejercicio, const QString& nif, bool emitidas, const QString& nombre,
                            FormatoRegistro formato) {
    QString limpio;
    for (const QChar c : nombre.trimmed())
        limpio += QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32 ? u'_' : c;
    while (limpio.endsWith(u'.') || limpio.endsWith(u' ')) limpio.chop(1);
    return QString::number(ejercicio) + nif + (emitidas ? u'E' : u'R') + limpio +
           (formato == FormatoRegistro::Csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx"));
}

QStringList cabecerasLibroRegistro(bool emitidas) {
    QStringList cabeceras;
    for (const ColumnaRegistro& c : columnas(emitidas)) cabeceras << QString::fromUtf8(c.cabecera);
    return cabeceras;
}

std::vector<FilaRegistro> filasLibroRegistro(Conexion& contabilidad, OpcionesLibrosIVA o) {
    o.euros = true;  // el formato pide euros, sea cual sea la moneda del libro impreso
    const std::vector<ColumnaRegistro> cs = columnas(o.emitidas);
    std::vector<FilaRegistro> filas;
    recorrerLibroIVA(contabilidad, o, nullptr, [&](const FilaIVA& f) {
        FilaRegistro& fila = filas.emplace_back();
        for (const ColumnaRegistro& c : cs)
            fila.push_back(celda(c.dato, f, o.numeracionAutomatica));
    });
    return filas;
}

QString textoCsv(const CeldaRegistro& celda) {
    return celda.esImporte ? celda.importe.formatearFijo() : celda.texto;
}

QString exportarLibroRegistro(Conexion& contabilidad, const OpcionesLibrosIVA& o,
                              FormatoRegistro formato, const QString& carpeta) {
    const QString nif = DatosEmpresa::nif(contabilidad, o.empresa);
    if (nif.isEmpty())
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("La empresa no tiene NIF y el libro registro lo lleva "
                                       "en su nombre: póngalo en Archivo > NIF de la "
                                       "empresa."));
    const DatosEmpresa empresa = DatosEmpresa::existente(contabilidad, o.empresa);
    const QString archivo = QDir(carpeta).filePath(
        nombreLibroRegistro(empresa.ejercicio.toInt(), nif, o.emitidas, empresa.nombre, formato));
    if (!QDir(carpeta).exists()) noSeEscribe(archivo, QStringLiteral("no existe la carpeta"));
    const auto filas = filasLibroRegistro(contabilidad, o);
    const QStringList cabeceras = cabecerasLibroRegistro(o.emitidas);
    if (formato == FormatoRegistro::Csv)
        escribirCsv(archivo, cabeceras, filas);
    else
        escribirXlsx(archivo,
                     o.emitidas ? QStringLiteral("EXPEDIDAS") : QStringLiteral("RECIBIDAS"),
                     cabeceras, filas);
    return archivo;
}

}  // namespace orvo
