#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "LibrosIVA.h"

namespace orvo {

// Libros registro del IVA de una persona jurídica en el formato electrónico común de la Agencia
// Tributaria: los dos libros de un año natural en un XLSX (letra C, hojas EXPEDIDAS y
// RECIBIDAS), con las dos filas de cabecera del diseño y los datos desde la tercera; o un libro
// en CSV (letras E y R) con las mismas columnas.
enum class FormatoRegistro { Csv, Xlsx };

// Tipo de dato de una columna del diseño.
enum class TipoColumna { Entero, Texto, Fecha, Importe, Porcentaje };

struct ColumnaRegistro {
    QString grupo;   // primera fila de cabecera (el título si la columna va sola)
    QString titulo;  // segunda fila; vacío si la columna va sola
    TipoColumna tipo;
    int longitud;  // de los textos
    // Como lo escribe el diseño: "Alfanumérico (20)", "Decimal(12,2)", "Fecha(dd/mm/yyyy)".
    QString tipoDisenyo() const;
};

// Las 36 columnas de las expedidas o las 42 de las recibidas, en el orden del diseño.
const std::vector<ColumnaRegistro>& columnasLibroRegistro(bool emitidas);

// Celda de un libro: vacía, texto, número (importe o tipo, con dos decimales), entero
// (ejercicio) o fecha.
struct CeldaRegistro {
    enum Clase { Vacia, Texto, Numero, Entero, Fecha } clase = Vacia;
    QString texto;
    Moneda numero;
    QDate fecha;
    // Como va en el CSV: importes con coma decimal y sin miles, fechas dd/mm/aaaa.
    QString comoTexto() const;
};
using FilaRegistro = std::vector<CeldaRegistro>;

// Los dos libros de un año natural, con lo que impide escribirlos y lo que solo se avisa.
struct LibrosRegistroAnuales {
    int ano = 0;
    std::vector<FilaRegistro> expedidas, recibidas;
    // "Asiento 9 (1377): …" de cada libro: mientras haya alguno no se escribe nada.
    QStringList erroresExpedidas, erroresRecibidas;
    QStringList avisos;  // NIF de contrapartidas que no pasan su control
    QStringList errores() const { return erroresExpedidas + erroresRecibidas; }
};

// Las líneas de IVA de cada año natural que tocan las fechas de 'o', del 1 de enero a la fecha
// final (o al 31 de diciembre), de la empresa y de las encadenadas por CodEmpresaAnterior para
// los días fuera de su ejercicio; siempre en euros. 'o.emitidas' no cuenta.
std::vector<LibrosRegistroAnuales> librosRegistro(Conexion& contabilidad,
                                                  const OpcionesLibrosIVA& o);

// Año, NIF, letra y nombre de la empresa con la extensión; los caracteres que un sistema de
// archivos no admite se cambian por "_".
QString nombreLibroRegistro(int ano, const QString& nif, QChar letra, const QString& nombre,
                            FormatoRegistro formato);

// El tamaño que admite el servicio Pre303 de la Agencia.
constexpr qint64 kMaximoPre303 = 4 * 1024 * 1024;

struct ExportacionRegistro {
    QStringList archivos;
    QStringList avisos;
    // Los archivos escritos y los avisos, para el mensaje final.
    QString texto() const;
};

// Escribe en 'carpeta' un XLSX por año natural con los dos libros, o el CSV del libro de 'o'
// (entonces solo cuentan las validaciones de ese libro).
// Cada archivo se escribe entero o no se toca. Lanza ErrorOrvo si la empresa no tiene un NIF
// válido, si alguna línea no cumple las validaciones del diseño (las lista), si un archivo del
// Pre303 (del 1 de enero al final de un trimestre) pasa de 4 MB o si no se puede escribir.
ExportacionRegistro exportarLibroRegistro(Conexion& contabilidad, const OpcionesLibrosIVA& o,
                                          FormatoRegistro formato, const QString& carpeta,
                                          qint64 maximoPre303 = kMaximoPre303);

}  // namespace orvo
