#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "ContextoInforme.h"
#include "Moneda.h"

namespace orvo {

// Un apunte del Diario o del Mayor, de los libros o de los asientos finales de un ejercicio
// cerrado. Los textos son UTF-8 y valen mientras dura la llamada que lo recibe: un libro de un
// millón de líneas se recorre sin guardar ninguno.
struct ApunteLibro {
    QByteArrayView numero;            // del asiento, como se guarda
    std::optional<qint64> idAsiento;  // sin clave: un asiento que no está en los libros
    QByteArrayView fecha;             // "yyyymmdd"
    QByteArrayView codigo, descripcion, concepto;
    Moneda debe, haber;  // en la moneda del informe
};

// Piezas de texto de las filas de los libros, escritas en UTF-8 sobre un búfer que se reutiliza
// fila tras fila: un libro de un millón de líneas no reserva memoria por cada una.
namespace FilaLibro {
// "15 (2034)": número del asiento, un blanco y la clave entre paréntesis.
void anadirAsiento(std::string& destino, QByteArrayView numero, qint64 idAsiento);
// "yyyymmdd" -> "dd/mm/yyyy", las mismas piezas que StringDate.
void anadirFecha(std::string& destino, QByteArrayView yyyymmdd);
void anadirImporte(std::string& destino, Moneda importe, bool conDecimales);
inline void anadir(std::string& destino, QByteArrayView texto) {
    destino.append(texto.data() ? texto.data() : "", static_cast<std::size_t>(texto.size()));
}
inline QByteArrayView vista(const std::string& texto) {
    return QByteArrayView(texto.data(), static_cast<qsizetype>(texto.size()));
}

// Lee los apuntes de la consulta del Diario o del Mayor, fila a fila. Las columnas (Numero,
// IDAsiento, Fecha, Codigo, Descripcion, Concepto, Debe y Haber en diezmilésimas) se buscan por
// nombre una vez; los textos valen hasta que la consulta pasa a la fila siguiente. Una línea
// sin fecha lleva la de la anterior.
class LectorApuntes {
  public:
    explicit LectorApuntes(const Recordset& rs);
    const ApunteLibro& leer(const Recordset& rs);  // la fila en curso

  private:
    int cNumero_, cId_, cFecha_, cCodigo_, cDescripcion_, cConcepto_, cDebe_, cHaber_;
    ApunteLibro apunte_;
    std::string fecha_;
};

// Recorre 'rs' hasta el final llamando a 'porFila' con la barra de progreso, si la hay, hasta
// 'total' filas contadas aparte (nunca pasa de su máximo); cierra la consulta.
template <class PorFila>
void recorrerFilas(Recordset& rs, IProgreso* progreso, qint64 total, PorFila porFila) {
    if (progreso && total > 0) progreso->Iniciar(total, QStringLiteral("Procesando ..."), 0);
    for (qint64 filas = 0; !rs.Eof(); rs.MoveNext()) {
        porFila();
        if (progreso && filas < total) progreso->setValor(++filas);
    }
    if (progreso && total > 0) progreso->Terminar();
    rs.Close();
}
}  // namespace FilaLibro

// Pone filas del Diario o del Mayor en su tabla de trabajo en la moneda elegida, columna a
// columna y en UTF-8: el camino de un millón de filas no pasa por QString ni por una celda
// genérica como el de EscritorTabla, que haría una reserva de memoria por cada una.
class EscritorLibro {
  public:
    EscritorLibro(Conexion& informes, const QString& tabla, const QStringList& columnas,
                  Divisa divisa);
    // Cada una llena la columna siguiente.
    EscritorLibro& texto(QByteArrayView utf8);
    EscritorLibro& importe(Moneda importe);
    // "15 (2034)", o el número solo si el asiento no tiene clave.
    EscritorLibro& asiento(QByteArrayView numero, std::optional<qint64> idAsiento);
    EscritorLibro& fecha(QByteArrayView yyyymmdd);  // "dd/mm/yyyy"
    // "4300001 - Clientes"
    EscritorLibro& cuenta(QByteArrayView codigo, QByteArrayView descripcion);
    // Inserta la fila y vuelve a la primera columna.
    void escribir();

  private:
    EscritorLibro& poner();  // enlaza pieza_ en la columna siguiente

    Instruccion insertar_;
    bool decimales_;
    int columna_ = 0;
    std::string pieza_;  // se reutiliza: el enlace copia el texto
};

// Columnas de los importes del apunte en la moneda del informe.
QString columnaDebe(Divisa divisa);
QString columnaHaber(Divisa divisa);
// Debe y Haber del apunte leídos con CCur (entero en diezmilésimas), para no analizar texto en
// C++; un importe vacío cuenta como nulo.
QString importesApunte(Divisa divisa);

// Número de asiento tecleado en una caja de rango: entero o decimal, sin más. Lanza ErrorOrvo
// con un texto claro si no lo es (la consulta no se llega a lanzar).
QVariant numeroDeAsiento(const QString& tecleado);

// Primer día del mes de 'desde' y día 31 del mes de 'hasta', "yyyymmdd": los libros por meses
// comparan textos, así que el periodo cubre siempre meses enteros.
QString primerDiaDelMes(const QDate& desde);
QString ultimoDiaDelMes(const QDate& hasta);

// Fórmulas del Diario, del Mayor y del desglose: empresa, periodo por meses y moneda.
FormulasInforme formulasLibroPorMeses(Conexion& contabilidad, long empresa, const QDate& desde,
                                      const QDate& hasta, Divisa divisa);

}  // namespace orvo
