#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <string>

#include "ContextoInforme.h"
#include "Moneda.h"

namespace orvo {

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
// Sustituye el importe que tenía 'destino' de la fila anterior.
inline void ponerImporte(std::string& destino, Moneda importe, bool conDecimales) {
    destino.clear();
    anadirImporte(destino, importe, conDecimales);
}

// Asiento y fecha de la fila en curso. Una línea sin fecha conserva la de la anterior.
class AsientoYFecha {
  public:
    void leer(QByteArrayView numero, qint64 idAsiento, QByteArrayView yyyymmdd) {
        asiento_.clear();
        anadirAsiento(asiento_, numero, idAsiento);
        if (!yyyymmdd.trimmed().isEmpty()) {
            fecha_.clear();
            anadirFecha(fecha_, yyyymmdd);
        }
    }
    QByteArrayView asiento() const { return vista(asiento_); }
    QByteArrayView fecha() const { return vista(fecha_); }

  private:
    std::string asiento_, fecha_;
};

// Un apunte de la consulta del Diario o del Mayor, fila a fila. Las columnas (Numero,
// IDAsiento, Fecha, Codigo, Descripcion, Concepto, Debe y Haber en diezmilésimas) se buscan por
// nombre una vez; los textos valen hasta que la consulta pasa a la fila siguiente.
class Apunte {
  public:
    explicit Apunte(const Recordset& rs);
    void leer(const Recordset& rs);  // la fila en curso

    AsientoYFecha asiento;
    QByteArrayView codigo, descripcion, concepto;
    Moneda debe, haber;

  private:
    int cNumero_, cId_, cFecha_, cCodigo_, cDescripcion_, cConcepto_, cDebe_, cHaber_;
};

// Escribe las filas de 'rs' en la base de informes: si hay alguna ('total', contadas aparte),
// prepara 'insercion' y llama a 'escribir' con ella fila a fila, con la barra de progreso, que
// nunca pasa de su máximo. Cierra la consulta.
template <class Escribir>
void escribirFilas(ContextoInforme& contexto, Recordset& rs, qint64 total, const QString& insercion,
                   Escribir escribir) {
    if (total > 0) {
        contexto.progreso.Iniciar(total, QStringLiteral("Procesando ..."), 0);
        Instruccion insertar = contexto.informes.preparar(insercion);
        for (qint64 filas = 0; !rs.Eof(); rs.MoveNext()) {
            escribir(insertar);
            if (filas < total) contexto.progreso.setValor(++filas);
        }
        contexto.progreso.Terminar();
    }
    rs.Close();
}
}  // namespace FilaLibro

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
