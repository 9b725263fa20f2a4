#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "Conexion.h"
#include "Moneda.h"
#include "Plantilla.h"

namespace orvo {

// Valores de las fórmulas del informe, leídos de los textos "Nombre= valor" (el valor puede ir
// entre comillas dobles o apóstrofos, o sin comillas). Los nombres no distinguen mayúsculas.
class ValoresFormulas {
  public:
    void anadir(const QString& texto);  // lanza FalloMotor si no tiene "="
    // El valor leído como número, para las condiciones; vacío si no se ha fijado.
    Celda celda(const QString& nombre) const { return valores_.value(nombre.toLower()); }
    QString valor(const QString& nombre) const { return celda(nombre).texto; }
    bool contiene(const QString& nombre) const { return valores_.contains(nombre.toLower()); }

  private:
    QHash<QString, Celda> valores_;
};

// Una fila de la tabla de trabajo leída según la plantilla, una celda por campo.
using Fila = std::vector<Celda>;

// Medidas de la página en milímetros.
struct Geometria {
    double ancho = 210, alto = 297;
    double margenIzquierdo = 12, margenDerecho = 12, margenSuperior = 10, margenInferior = 10;
    double altoCabecera = 0;  // bandas de empresa, título, periodo y títulos de columna
    double altoPie = 7;
    double altoDetalle = 4, altoGrupo = 5.5, altoTotal = 5.5;
    double sangria = 3.5;  // por nivel, en las columnas que se sangran
    double relleno = 1.0;  // separación del texto con el borde de su columna
    double anchoUtil() const { return ancho - margenIzquierdo - margenDerecho; }
    double altoCuerpo() const {
        return alto - margenSuperior - margenInferior - altoCabecera - altoPie;
    }
    static Geometria para(const Plantilla& p, bool conTituloSuperior);
};

struct LineaPagina {
    enum class Tipo { Detalle, CabeceraGrupo, PieGrupo, SumaAnterior, SumaYSigue, Total };
    Tipo tipo = Tipo::Detalle;
    std::vector<QString> celdas;  // una por columna de la plantilla
    QString texto;                // cabecera de grupo o rótulo de un total
    int sangria = 0;              // niveles de sangría
    bool negrita = false;
    bool cursiva = false;
    bool primeraDeFila = true;  // en informes de varias líneas por fila
    double alto = 0;
    qint64 fila = 0;  // rowid de la fila de la tabla de trabajo de una línea de detalle
};

struct Pagina {
    int numero = 0;
    std::vector<LineaPagina> lineas;
};

// Compone las páginas del informe a partir de la tabla de trabajo. Un primer recorrido solo
// mide y guarda dónde empieza cada página (fila y estado de grupos y sumas); luego cada página
// se compone de nuevo leyendo sus filas. La memoria no crece con el número de filas.
class Maquetador {
  public:
    // Lanza FalloMotor si la tabla o alguna columna de la plantilla no existe.
    Maquetador(const Plantilla& plantilla, Conexion& datos, const ValoresFormulas& formulas);
    ~Maquetador();

    const Plantilla& plantilla() const { return plantilla_; }
    const Geometria& geometria() const { return geo_; }
    const ValoresFormulas& formulas() const { return formulas_; }
    // Columnas visibles según sus condiciones, con su ancho real en milímetros.
    const std::vector<int>& visibles() const { return visibles_; }
    double anchoColumna(int columna) const { return anchos_[columna]; }
    bool hayTituloSuperior() const { return tituloSuperior_; }
    // Un texto de la columna dado en las partes, una por línea, que el pintor escribe una debajo
    // de otra: partido por palabras al ancho de la columna (menos la sangría del nivel) si la
    // columna se ajusta y no cabe; si no, entero. Mide con la letra del cuerpo, como el PDF.
    QStringList partir(const QString& texto, int columna, int sangria, bool negrita,
                       bool cursiva) const;

    int numeroPaginas();
    Pagina pagina(int numero);  // desde 1
    // Recorre todas las páginas en orden leyendo la tabla una sola vez, sin contarlas antes.
    void recorrer(const std::function<void(const Pagina&)>& alPintar);
    // Todas las líneas seguidas, sin saltos de página (exportación HTML).
    void recorrerContinuo(const std::function<void(const LineaPagina&)>& alEscribir);

    // Sustituye {Nombre} por la fórmula de ese nombre (vacía si no la hay).
    QString expandir(const QString& texto) const;
    bool cumple(const Condicion& c) const;  // condición sobre fórmulas

    // Lectura directa de las filas para los exportadores de datos.
    struct CampoDatos {
        QString campo, titulo;
        TipoColumna tipo;
    };
    std::vector<CampoDatos> camposDatos() const;
    // Una fila por fila de la tabla, con las celdas de camposDatos().
    void recorrerFilas(const std::function<void(const Fila&)>& alLeer);

  private:
    struct Estado;
    class Compositor;
    class Medidas;
    Estado estadoInicial() const;
    Recordset abrirFilas(qint64 despuesDeRowid, const std::vector<int>& posiciones);
    // Pasa al compositor las filas posteriores a 'despuesDeRowid' hasta que termine o se detenga.
    void alimentar(Compositor& c, qint64 despuesDeRowid, const std::vector<int>& posiciones);
    // Lee la fila actual de 'rs' (la columna 0 es el rowid) en las posiciones dadas de 'fila'.
    qint64 leerFila(const Recordset& rs, const std::vector<int>& posiciones, Fila& fila) const;
    QString expandirFila(const QString& texto, const Fila* fila) const;
    bool cumpleFila(const Condicion& c, const Fila* fila) const;

    Plantilla plantilla_;
    Conexion& datos_;
    const ValoresFormulas& formulas_;
    Geometria geo_;
    QStringList campos_;              // columnas leídas de la tabla, en orden de la SELECT
    QHash<QString, int> indice_;      // campo en minúsculas -> posición en la fila
    std::vector<Celda::Tipo> tipos_;  // cómo se lee cada campo
    std::vector<int> visibles_;
    std::vector<double> anchos_;
    bool tituloSuperior_ = false;
    bool ajusta_ = false;  // alguna columna ajusta su texto: el alto de cada fila depende de él
    mutable std::unique_ptr<Medidas> medidas_;  // se crean al primer texto que hay que medir
    // Estado al empezar las páginas 1, 1 + kPaginasPorMarca...: la memoria apenas crece con el
    // número de páginas y una página suelta se compone desde la marca anterior.
    static constexpr int kPaginasPorMarca = 16;
    std::vector<Estado> inicios_;
    int totalPaginas_ = 0;
    std::vector<int> posicionesTodas_;   // columnas que se leen para componer
    std::vector<int> posicionesMedida_;  // las que bastan para medir
};

}  // namespace orvo
