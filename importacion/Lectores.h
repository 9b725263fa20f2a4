#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "ErrorOrvo.h"
#include "Moneda.h"

namespace orvo::Importacion {

// Un apunte tal como viene en el archivo, con los importes en euros.
struct ApunteLeido {
    int linea = 0;
    QString cuenta;     // como la nombra el archivo: el código del CSV o el nombre del diario
    QString subcuenta;  // código que da el propio archivo; un punto se rellena con ceros
    QString nombreCuenta;
    QString nif;
    Moneda debe, haber;
    std::optional<Moneda> base;
    // Los textos que solo se guardan, ya en UTF-8: el lector los convierte en su hilo.
    QByteArray concepto, factura, contrapartida, iva, recargo;
};

// Un asiento del archivo: sus líneas seguidas, con el número si el archivo lo da.
struct AsientoLeido {
    QString archivo;
    int linea = 0;
    std::optional<qint64> numero;
    QDate fecha;
    std::vector<ApunteLeido> apuntes;
};

using Receptor = std::function<void(AsientoLeido&& asiento)>;
using Avance = std::function<void(qint64 bytes)>;

// Error de la entrada: nombra el archivo y la línea (0 si es del archivo entero).
class ErrorEntrada : public ErrorOrvo {
  public:
    ErrorEntrada(const QString& archivo, int linea, const QString& razon)
        : ErrorOrvo(Causa::TiposNoCoinciden, texto(archivo, linea, razon)), razon_(razon) {}
    const QString& razon() const { return razon_; }
    static QString texto(const QString& archivo, int linea, const QString& razon) {
        return linea > 0 ? QStringLiteral("%1, línea %2: %3").arg(archivo).arg(linea).arg(razon)
                         : QStringLiteral("%1: %2").arg(archivo, razon);
    }

  private:
    QString razon_;
};

// Los problemas de una importación, para decirlos todos de una vez: se guardan los primeros
// kMaximo y se cuentan los demás. Nada se importa mientras quede alguno.
class Problemas {
  public:
    static constexpr int kMaximo = 50;
    void anadir(const QString& archivo, int linea, const QString& razon);
    void anadir(const ErrorOrvo& e);
    bool vacio() const { return total_ == 0; }
    // Lanza un ErrorOrvo con una línea por problema y un resumen, si hay alguno.
    void comprobar() const;
    // Pone sus problemas detrás de los de 'destino', en su orden, y queda vacío.
    void traspasar(Problemas& destino);

  private:
    QStringList lineas_;
    int total_ = 0;
};

enum class Codificacion { Utf8, Windows1252 };

// Lo que se sabe de un archivo antes de leerlo: su codificación (UTF-8 si lo es entero, con o
// sin BOM; si no, Windows-1252) y la huella SHA-256 de su contenido. UTF-16 y los bytes nulos
// son un ErrorEntrada con su línea.
struct Sondeo {
    Codificacion codificacion = Codificacion::Utf8;
    QByteArray huella;  // SHA-256 en hexadecimal
    qint64 tamano = 0;
};
Sondeo sondear(const QString& ruta);
QString nombreCodificacion(Codificacion c);

// Texto de unos bytes del archivo; nullopt si tienen un byte que Windows-1252 no define.
std::optional<QString> decodificar(QByteArrayView bytes, Codificacion c);

// Los importes de un archivo. Cada uno se lee por sí mismo: con coma y punto, el último es el
// decimal; un separador repetido, o seguido de algo distinto de tres cifras, dice cuál es el
// formato. "1.000" y "1,000" se leen de dos formas: con el formato que ya ha establecido el
// archivo o, si aún no lo hay, con 'supuesto' (',' o '.'; 0: su separador es el decimal). Un
// importe que contradice el formato establecido o supuesto es un error que nombra esa línea.
class FormatoImportes {
  public:
    explicit FormatoImportes(char supuesto) : supuesto_(supuesto) {}
    // Fija el formato (directiva decimal-mark o commodity del diario).
    void fijar(char decimal, int linea);
    // Importe en euros de 'texto' en la línea dada; ErrorEntrada si no es un importe (sin
    // archivo: el llamante lo nombra) o contradice el formato.
    Moneda leer(QStringView texto, const QString& archivo, int linea);
    Moneda leer(QByteArrayView texto, const QString& archivo, int linea);

  private:
    template <class Vista>
    Moneda leerVista(Vista texto, const QString& archivo, int linea);
    char supuesto_;
    char decimal_ = 0;  // ',' o '.' establecido o supuesto; 0 sin decidir
    bool establecido_ = false;
    int linea_ = 0;
};

// Cómo se leen las columnas de un CSV: los nombres de la cabecera (o de --columnas) se
// reconocen por una tabla de sinónimos.
struct Columnas {
    QStringList nombres;  // vacío: los de la cabecera del archivo
};

// Lo que se ve de un archivo antes de importarlo: su codificación, las columnas reconocidas (o
// el formato de diario) y sus primeras líneas tal como se leen.
struct Muestra {
    Codificacion codificacion = Codificacion::Utf8;
    bool diario = false;
    QStringList columnas;  // "Fecha ← F. contable", … en el orden del archivo
    QStringList lineas;
};
Muestra muestrear(const QString& ruta, const Columnas& columnas, int lineas);

// ¿Se lee como diario de texto? (.journal, .ledger, .hledger, .dat)
bool esDiario(const QString& ruta);

// CSV separado por ';' con cabecera (Fecha;Asiento;Cuenta;Concepto;Debe;Haber y, si se quiere,
// Descripcion;NIF;Factura;Contrapartida;Base;IVA;Recargo, o sus sinónimos). Entrega cada tanda
// de líneas seguidas con el mismo Asiento; las líneas con problemas van a 'problemas' y su
// asiento no se entrega.
void leerCsv(const QString& ruta, Codificacion codificacion, const Columnas& columnas,
             const Receptor& receptor, Problemas& problemas, const Avance& avance = {});

// Lo mismo con la lectura en otro hilo, unos lotes por delante: 'receptor' y 'avance' se llaman
// en el hilo de quien llama, en el mismo orden y con los mismos problemas que leerCsv. Si
// 'receptor' lanza, la lectura se detiene y la excepción sale tal cual.
void leerCsvEnParalelo(const QString& ruta, Codificacion codificacion, const Columnas& columnas,
                       const Receptor& receptor, Problemas& problemas, const Avance& avance = {});

// Diario de texto. Sigue los include; lo que no sabe leer es un problema con su línea; los
// asientos periódicos (y los automáticos de hledger, que no los aplica sin pedirlo) se anotan
// en 'avisos'. Las aserciones de saldo se comprueban al final, en orden de fecha.
// 'subcuentas' recibe las cuentas que declaran su subcuenta (directiva account con la etiqueta
// subcuenta:).
void leerDiario(const QString& ruta, const Receptor& receptor, Problemas& problemas,
                QStringList& avisos, QHash<QString, QString>& subcuentas,
                const Avance& avance = {});

// Campos de una línea separada por ';', ya decodificados; para los archivos pequeños (mapa y
// presupuesto).
QStringList camposDeLinea(const QString& linea);

}  // namespace orvo::Importacion
