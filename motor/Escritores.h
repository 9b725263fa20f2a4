#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "ArchivoEntero.h"
#include "ErrorOrvo.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace orvo {

// Los escritores de todos los archivos de salida (informes y libros registro): cada archivo se
// escribe entero o no se toca, y cualquier fallo del sistema o de libxlsxwriter llega como
// FalloEscritura, que quien escribe convierte en su mensaje para la persona.
class FalloEscritura : public ErrorOrvo {
  public:
    FalloEscritura(const QString& archivo, const QString& motivo);
    const QString& archivo() const { return archivo_; }
    const QString& motivo() const { return motivo_; }

  private:
    QString archivo_;
    QString motivo_;
};

// 'escribir' escribe en el temporal (por su dispositivo o por su ruta) y, si no lanza, el
// temporal pasa a ser 'archivo'. Lanza FalloEscritura si no se puede crear, escribir o poner en
// su sitio; lo que lance 'escribir' sale tal cual, y el archivo sigue como estaba.
void escribirEntero(const QString& archivo, const std::function<void(ArchivoEntero&)>& escribir);

// CSV en UTF-8 con ";" entre campos y CRLF al final de cada línea; entre comillas (y dobladas
// las de dentro) los campos con ";", comillas o saltos de línea.
class ArchivoCsv {
  public:
    // Con 'marcaOrden', el archivo empieza por la marca UTF-8, para que una hoja de cálculo
    // lo abra sin preguntar la codificación.
    ArchivoCsv(const QString& archivo, bool marcaOrden);
    void fila(const QStringList& campos);
    // Pone el archivo en su sitio; sin llamarlo, el archivo que hubiera sigue como estaba.
    void confirmar();

  private:
    QString archivo_;
    ArchivoEntero salida_;
};

// Libro XLSX de libxlsxwriter: hojas con nombre, celdas con tipo (texto, número, fecha) y
// estilos; comprueba cada código de la biblioteca.
class LibroXlsx {
  public:
    // Cómo se ve una celda. 'numero' es el código de formato de la hoja ("#,##0.00",
    // "dd/mm/yyyy"), que cada programa muestra con los separadores de su idioma.
    struct Estilo {
        const char* numero = nullptr;
        bool negrita = false;
        bool cabecera = false;  // centrada en las dos direcciones, con ajuste de línea y borde
    };
    // Índice de un estilo de estilo(); kSinEstilo es el de la hoja.
    using IdEstilo = int;
    static constexpr IdEstilo kSinEstilo = -1;
    // Filas que caben en una hoja, cabeceras incluidas.
    static const int kFilasMaximas;

    // Con 'memoriaConstante' cada fila va a un temporal según se escribe y la memoria no crece,
    // pero las filas se escriben en orden y sin volver atrás.
    LibroXlsx(const QString& archivo, bool memoriaConstante);
    ~LibroXlsx();
    LibroXlsx(const LibroXlsx&) = delete;
    LibroXlsx& operator=(const LibroXlsx&) = delete;

    IdEstilo estilo(const Estilo& e);
    // Añade una hoja; las celdas que siguen van a ella.
    void hoja(const QString& nombre);
    void texto(int fila, int columna, const QString& t, IdEstilo e = kSinEstilo);
    void numero(int fila, int columna, double n, IdEstilo e = kSinEstilo);
    void fecha(int fila, int columna, const QDate& d, IdEstilo e);
    // Una celda sobre el rectángulo de (fila, columna) a (hastaFila, hastaColumna).
    void unir(int fila, int columna, int hastaFila, int hastaColumna, const QString& t, IdEstilo e);
    void anchoColumna(int columna, double ancho);
    void altoFila(int fila, double alto);
    // Las primeras 'filas' quedan fijas al desplazarse.
    void fijarFilas(int filas);
    // Escribe el libro en el temporal y dice cuántos bytes ocupa, para quien tenga un límite.
    qint64 cerrar();
    // Cierra si hace falta y pone el archivo en su sitio; sin llamarlo, el que hubiera sigue.
    void confirmar();

  private:
    [[noreturn]] void fallar(const QString& motivo) const;
    void comprobar(int codigo) const;  // un lxw_error
    lxw_worksheet* hojaActual() const;
    lxw_format* formato(IdEstilo e) const;
    const char* utf8(const QString& t);

    QString archivo_;
    ArchivoEntero salida_;
    lxw_workbook* libro_ = nullptr;
    lxw_worksheet* hoja_ = nullptr;
    std::vector<lxw_format*> estilos_;
    QByteArray texto_;
    bool cerrado_ = false;
};

}  // namespace orvo
