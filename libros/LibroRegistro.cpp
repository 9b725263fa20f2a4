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

CeldaRegistro texto(const QString& t) {
    return {t, false, Moneda()};
}
CeldaRegistro importe(Moneda m) {
    return {QString(), true, m};
}
// Los tipos se leen como se anotaron ("21", "5,2"); el libro los lleva con dos decimales.
CeldaRegistro tipo(const QString& t) {
    return importe(Moneda::deColumna(t));
}

QString fechaRegistro(const QString& yyyymmdd) {
    return yyyymmdd.right(2) + u'/' + yyyymmdd.mid(4, 2) + u'/' + yyyymmdd.left(4);
}
QString periodo(const QString& yyyymmdd) {
    return QString::number((yyyymmdd.mid(4, 2).toInt() + 2) / 3) + u'T';
}
// Contrapartida que no es de la empresa: sin identificación, no con el rótulo del libro.
QString nifTercero(const FilaIVA& f) {
    return f.nif == QLatin1String("No existe") ? QString() : f.nif.trimmed();
}

// Valores del caso corriente que los libros no guardan (ver el README): actividad empresarial
// del IAE sin epígrafe, factura completa (rectificativa si la cuota es negativa), régimen
// general, sujeta y no exenta, sin criterio de caja, NIF español.
const QString kActividadTipo = QStringLiteral("A");
const QString kActividadSubtipo = QStringLiteral("03");
const QString kClaveRegimenGeneral = QStringLiteral("01");
const QString kSujetaNoExenta = QStringLiteral("S1");

QString tipoFactura(const FilaIVA& f) {
    return f.cuotaIva < Moneda() ? QStringLiteral("R4") : QStringLiteral("F1");
}

FilaRegistro filaEmitida(const FilaIVA& f) {
    return {texto(f.fecha.left(4)),
            texto(periodo(f.fecha)),
            texto(kActividadTipo),
            texto(kActividadSubtipo),
            texto(QString()),
            texto(tipoFactura(f)),
            texto(fechaRegistro(f.fecha)),
            texto(QString()),  // fecha de operación
            texto(QString()),
            texto(f.numero),
            texto(QString()),  // serie, número, final
            texto(QString()),
            texto(QString()),
            texto(nifTercero(f)),  // tipo, país, NIF
            texto(f.nombre),
            texto(kClaveRegimenGeneral),
            texto(kSujetaNoExenta),
            texto(QString()),  // operación exenta
            importe(f.total),
            importe(f.base),
            tipo(f.tipoIva),
            importe(f.cuotaIva),
            tipo(f.tipoRecargo),
            importe(f.cuotaRecargo),
            texto(QString()),
            texto(QString()),
            texto(QString()),
            texto(QString()),  // cobro
            texto(QString()),
            texto(QString()),  // retención
            texto(QString()),
            texto(QString()),
            texto(QString()),
            texto(QString())};
}

FilaRegistro filaRecibida(const FilaIVA& f, bool numeroRecepcion) {
    return {texto(f.fecha.left(4)),
            texto(periodo(f.fecha)),
            texto(kActividadTipo),
            texto(kActividadSubtipo),
            texto(QString()),
            texto(tipoFactura(f)),
            texto(fechaRegistro(f.fecha)),
            texto(QString()),
            texto(fechaRegistro(f.fecha)),
            texto(QString()),
            texto(f.factura),
            texto(QString()),  // serie, número, final
            texto(numeroRecepcion ? f.numero : QString()),
            texto(QString()),
            texto(QString()),
            texto(QString()),
            texto(nifTercero(f)),
            texto(f.nombre),
            texto(kClaveRegimenGeneral),
            texto(QStringLiteral("N")),  // bien de inversión
            texto(QStringLiteral("N")),  // inversión sujeto pasivo
            texto(QStringLiteral("N")),
            texto(QString()),
            texto(QString()),  // periodo posterior
            importe(f.total),
            importe(f.base),
            tipo(f.tipoIva),
            importe(f.cuotaIva),
            importe(f.cuotaIva),  // cuota deducible: toda, sin prorrata
            tipo(f.tipoRecargo),
            importe(f.cuotaRecargo),
            texto(QString()),
            texto(QString()),
            texto(QString()),
            texto(QString()),  // pago
            texto(QString()),
            texto(QString()),  // retención
            texto(QString()),
            texto(QString()),
            texto(QString()),
            texto(QString())};
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
    const QStringList comienzo{QStringLiteral("Autoliquidación Ejercicio"),
                               QStringLiteral("Autoliquidación Periodo"),
                               QStringLiteral("Actividad Tipo"),
                               QStringLiteral("Actividad Subtipo"),
                               QStringLiteral("Actividad Epígrafe IAE"),
                               QStringLiteral("Tipo de Factura")};
    const QStringList final{
        QStringLiteral("Tipo Retención IRPF"),           QStringLiteral("Importe Retenido IRPF"),
        QStringLiteral("Registro Acuerdo Facturación"),  QStringLiteral("Inmueble Situación"),
        QStringLiteral("Inmueble Referencia Catastral"), QStringLiteral("Referencia Externa")};
    if (emitidas)
        return comienzo +
               QStringList{QStringLiteral("Fecha Expedición"),
                           QStringLiteral("Fecha Operación"),
                           QStringLiteral("Identificación Factura Serie"),
                           QStringLiteral("Identificación Factura Número"),
                           QStringLiteral("Identificación Factura Número-Final"),
                           QStringLiteral("NIF Destinatario Tipo"),
                           QStringLiteral("NIF Destinatario Código País"),
                           QStringLiteral("NIF Destinatario Identificación"),
                           QStringLiteral("Nombre Destinatario"),
                           QStringLiteral("Clave de Operación"),
                           QStringLiteral("Calificación de la Operación"),
                           QStringLiteral("Operación Exenta"),
                           QStringLiteral("Total Factura"),
                           QStringLiteral("Base Imponible"),
                           QStringLiteral("Tipo de IVA"),
                           QStringLiteral("Cuota IVA Repercutida"),
                           QStringLiteral("Tipo de Recargo eq."),
                           QStringLiteral("Cuota Recargo eq."),
                           QStringLiteral("Cobro Fecha"),
                           QStringLiteral("Cobro Importe"),
                           QStringLiteral("Cobro Medio Utilizado"),
                           QStringLiteral("Cobro Identificación Medio Utilizado")} +
               final;
    return comienzo +
           QStringList{QStringLiteral("Fecha Expedición"),
                       QStringLiteral("Fecha Operación"),
                       QStringLiteral("Fecha Recepción"),
                       QStringLiteral("Identificación Factura Serie"),
                       QStringLiteral("Identificación Factura Número"),
                       QStringLiteral("Identificación Factura Número-Final"),
                       QStringLiteral("Número Recepción"),
                       QStringLiteral("Número Recepción Final"),
                       QStringLiteral("NIF Expedidor Tipo"),
                       QStringLiteral("NIF Expedidor Código País"),
                       QStringLiteral("NIF Expedidor Identificación"),
                       QStringLiteral("Nombre Expedidor"),
                       QStringLiteral("Clave de Operación"),
                       QStringLiteral("Bien de Inversión"),
                       QStringLiteral("Inversión del Sujeto Pasivo"),
                       QStringLiteral("Deducible en Periodo Posterior"),
                       QStringLiteral("Periodo Deducción Ejercicio"),
                       QStringLiteral("Periodo Deducción Periodo"),
                       QStringLiteral("Total Factura"),
                       QStringLiteral("Base Imponible"),
                       QStringLiteral("Tipo de IVA"),
                       QStringLiteral("Cuota IVA Soportada"),
                       QStringLiteral("Cuota Deducible"),
                       QStringLiteral("Tipo de Recargo eq."),
                       QStringLiteral("Cuota Recargo eq."),
                       QStringLiteral("Pago Fecha"),
                       QStringLiteral("Pago Importe"),
                       QStringLiteral("Pago Medio Utilizado"),
                       QStringLiteral("Pago Identificación Medio Utilizado")} +
           final;
}

std::vector<FilaRegistro> filasLibroRegistro(Conexion& contabilidad, OpcionesLibrosIVA o) {
    o.euros = true;  // el formato pide euros, sea cual sea la moneda del libro impreso
    std::vector<FilaRegistro> filas;
    recorrerLibroIVA(contabilidad, o, nullptr, [&](const FilaIVA& f) {
        filas.push_back(o.emitidas ? filaEmitida(f) : filaRecibida(f, o.numeracionAutomatica));
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
