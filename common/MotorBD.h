#pragma once

// Adaptadores de los dos motores de la contabilidad (un archivo SQLite o un servidor
// PostgreSQL). Solo Conexion los usa: el resto del programa no sabe qué motor tiene delante.
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace orvo::motorbd {

using Parametros = QVariantList;

// Filas de una consulta, leídas hacia delante.
class Filas {
  public:
    virtual ~Filas() = default;
    virtual bool avanzar() = 0;  // a la fila siguiente; false al acabar
    virtual int columnas() const = 0;
    virtual QString nombre(int columna) const = 0;
    virtual QVariant valor(int columna) const = 0;        // nulo para NULL
    virtual QByteArrayView texto(int columna) const = 0;  // UTF-8, vale hasta avanzar()
    virtual qint64 entero(int columna) const = 0;         // NULL vale 0
};

// Instrucción sin filas preparada para ejecutarse muchas veces (índices desde 1).
class Sentencia {
  public:
    virtual ~Sentencia() = default;
    virtual int parametros() const = 0;
    virtual void enlazar(int indice, const QVariant& valor) = 0;
    virtual void enlazarTexto(int indice, QByteArrayView utf8) = 0;
    // Sin copiarlos, si el motor sabe: los bytes deben seguir vivos hasta ejecutar().
    virtual void enlazarTextoFijo(int indice, QByteArrayView utf8) { enlazarTexto(indice, utf8); }
    virtual void enlazarEntero(int indice, qint64 valor) = 0;
    virtual void ejecutar() = 0;
};

enum class Paso { Empezar, EmpezarLectura, Confirmar, Deshacer, Guardar, Liberar, VolverA };

class Motor {
  public:
    virtual ~Motor() = default;
    // Una consulta devuelve sus filas antes de la primera; las demás instrucciones se ejecutan
    // y devuelven nullptr. Lanza ErrorBD.
    virtual std::unique_ptr<Filas> ejecutar(const QString& sql, const Parametros& params) = 0;
    virtual std::unique_ptr<Sentencia> preparar(const QString& sql) = 0;
    virtual void script(const QString& sql) = 0;
    // 'nivel' numera los puntos de guardado de las transacciones anidadas.
    virtual void transaccion(Paso paso, int nivel) = 0;
    virtual bool existeTabla(const QString& tabla) = 0;
    // Ver Conexion::reservarEscritura y Conexion::ajustarNumeraciones.
    virtual void reservarEscritura() = 0;
    virtual void ajustarNumeraciones() = 0;
    virtual qint64 filasAfectadas() const = 0;
    // Nombre para mostrar: la ruta del archivo o la URI sin contraseña.
    virtual QString nombre() const = 0;

  protected:
    // El SQL de los puntos de guardado es el mismo en los dos motores.
    static QString sqlPaso(Paso paso, int nivel);
};

// Cuánto se espera, en segundos: a que otra sesión suelte unos libros bloqueados
// (ORVO_ESPERA_CERROJOS, 30 por omisión) y a que acabe una instrucción (ORVO_ESPERA_INSTRUCCION,
// 600 por omisión). Variables de entorno para que un despacho, o una prueba, las cambie.
struct Plazos {
    int cerrojos;
    int instruccion;
};
Plazos plazos();

// Lo que se dice a la persona cuando otra sesión tiene los libros bloqueados.
QString librosBloqueados();
// Para un fallo que la persona no puede arreglar sola: dónde están los detalles.
QString detallesEnBitacora();

std::unique_ptr<Motor> abrirSqlite(const QString& ruta, bool crear);
std::unique_ptr<Motor> abrirPostgres(const QString& uri);

}  // namespace orvo::motorbd
