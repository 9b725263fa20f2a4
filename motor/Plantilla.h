#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "ErrorOrvo.h"
#include "Moneda.h"

namespace orvo {

// Números de error que el motor deja en LastErrorNumber.
namespace ErrorMotor {
inline constexpr int kPlantillaNoEncontrada = 20504;
inline constexpr int kPlantillaNoValida = 20505;
inline constexpr int kDatosNoEncontrados = 20507;
inline constexpr int kDatosNoValidos = 20508;
inline constexpr int kFormulaNoValida = 20510;
inline constexpr int kSalidaNoEscribible = 20520;
inline constexpr int kSinImpresora = 20530;
inline constexpr int kDestinoNoValido = 20540;
}  // namespace ErrorMotor

// Fallo del motor con su número (ErrorMotor) y un texto en español para LastErrorString.
class FalloMotor : public ErrorOrvo {
  public:
    FalloMotor(int numero, const QString& texto) : ErrorOrvo(numero, texto) {}
    int numero() const { return static_cast<int>(ErrorOrvo::numero()); }
    const QString& texto() const { return descripcion(); }
};

enum class Alineacion { Izquierda, Centro, Derecha };
enum class TipoColumna { Texto, Importe, Porcentaje };
// Qué deja una columna en los pies de grupo, el suma y sigue y el total final.
enum class Resumen { Ninguno, Suma, Ultimo };

// Una celda de la tabla de trabajo, el valor de una fórmula o el de una condición: el texto
// que se imprime y, si se lee como número o como fecha, ese valor.
struct Celda {
    enum class Tipo { Texto, Numero, Fecha };
    QString texto;
    std::optional<Moneda> numero;  // "-1.234,56"; "25,00 %" vale 25
    QDate fecha;                   // "31/12/2024"
    // El único sitio del motor donde un texto pasa a número o a fecha; si no lo es, la celda
    // queda solo con su texto.
    static Celda leer(const QString& texto, Tipo tipo);
};

// "Nombre op valor": el nombre es una columna de la tabla o, si no lo es, una fórmula.
struct Comparacion {
    QString nombre;
    QString operador;  // =, <>, <, <=, >, >=
    Celda valor;       // leído como número: si los dos lados lo son, se comparan como números
};

// Una o varias comparaciones unidas por " y ": se cumple si se cumplen todas.
struct Condicion {
    std::vector<Comparacion> terminos;
    bool vacia() const { return terminos.empty(); }
    static Condicion leer(const QString& texto);  // lanza FalloMotor si no se entiende
};

struct Columna {
    QString campo;           // columna de la tabla de trabajo (puede faltar si hay líneas)
    QString titulo;          // admite {Fórmula}
    QString tituloSuperior;  // rótulo que abarca las columnas contiguas que lo repiten
    double ancho = 20;       // milímetros relativos: se reparten a lo ancho de la página
    Alineacion alineacion = Alineacion::Izquierda;
    TipoColumna tipo = TipoColumna::Texto;
    Resumen resumen = Resumen::Ninguno;
    QString total;         // texto del total final ({Fórmula}); sustituye a la suma
    Condicion visible;     // vacía: siempre visible
    bool sangria = false;  // se sangra según el nivel de la fila
    bool ajustar = false;  // el texto que no cabe sigue en otras líneas y la fila crece
    QString ocultar;       // valor que se imprime en blanco ("-" en los códigos de cuenta)
};

// Una línea impresa por cada fila de la tabla: una celda por columna, que es un campo, un
// texto entre comillas o nada.
struct LineaDetalle {
    QStringList celdas;
};

struct Grupo {
    QString campo;
    QString titulo;    // cabecera de la columna al exportar
    QString cabecera;  // texto con {Campo} y {Fórmula}; vacío: sin línea de cabecera
    QString pie;       // rótulo del pie con los resúmenes; vacío: sin pie
    bool nuevaPagina = false;
    bool repetir = true;  // repetir la cabecera "(continuación)" al cambiar de página
};

struct Plantilla {
    QString nombre;
    QString tabla;
    bool horizontal = false;
    QString empresa = QStringLiteral("{Empresa}");
    QString periodo;
    QString moneda;  // fórmula que vale '1' en pesetas y '0' en euros
    QString campoNivel;
    QString campoFecha;  // la fecha de la fila, que las hojas de cálculo reciben como fecha
    int nivelBase = 1;
    Condicion negrita;
    Condicion cursiva;
    bool sumaYSigue = false;
    QString tituloTotal;
    double letra = 8;  // puntos del cuerpo
    std::vector<Columna> columnas;
    std::vector<Grupo> grupos;
    std::vector<LineaDetalle> lineas;  // si no hay, una línea con el campo de cada columna

    // Lanza FalloMotor (plantilla no encontrada o no válida, con la línea del fallo).
    static Plantilla leer(const QString& ruta);
    static Plantilla deTexto(const QString& texto, const QString& nombre);

    bool tieneTotal() const;
    bool ajustaTexto() const;  // alguna columna con ajustar
    // Campos de la tabla que usa la plantilla, sin repetir, en orden de aparición.
    QStringList campos() const;
};

// Una celda de línea es un texto literal si va entre comillas dobles.
bool esLiteral(const QString& celda);
QString textoLiteral(const QString& celda);

}  // namespace orvo
