#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "LibrosIVA.h"

namespace orvo {

// Libros registro de facturas emitidas ("E") y recibidas ("R") en el formato electrónico que
// la Agencia Tributaria publica para atender sus requerimientos: una fila de cabecera y una
// por línea del libro de IVA, en CSV separado por ";" o en XLSX, importes en euros.
enum class FormatoRegistro { Csv, Xlsx };

// Ejercicio, NIF, letra del libro y nombre de la empresa, con la extensión del formato; los
// caracteres que un sistema de archivos no admite se cambian por "_".
QString nombreLibroRegistro(int ejercicio, const QString& nif, bool emitidas, const QString& nombre,
                            FormatoRegistro formato);

// Celda del libro: texto, o importe (que la hoja recibe como número).
struct CeldaRegistro {
    QString texto;
    bool esImporte = false;
    Moneda importe;
};
using FilaRegistro = std::vector<CeldaRegistro>;

QStringList cabecerasLibroRegistro(bool emitidas);
// Las filas del libro para las opciones dadas, siempre en euros.
std::vector<FilaRegistro> filasLibroRegistro(Conexion& contabilidad, OpcionesLibrosIVA o);
// Texto de una celda en el CSV: importes con coma decimal y sin separador de miles.
QString textoCsv(const CeldaRegistro& celda);

// Escribe el libro de la empresa y el periodo de 'o' en 'carpeta' con el nombre prescrito y
// devuelve la ruta. Un archivo que ya existe se reemplaza entero o no se toca. Lanza ErrorOrvo
// si la empresa no tiene NIF o no se puede escribir.
QString exportarLibroRegistro(Conexion& contabilidad, const OpcionesLibrosIVA& o,
                              FormatoRegistro formato, const QString& carpeta);

}  // namespace orvo
