#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace orvo {

namespace motorbd {
class Motor;
class Filas;
class Sentencia;
}  // namespace motorbd

using Parametros = QVariantList;  // valores enlazados a los '?' de la instrucción, en orden

class Conexion;

// Instrucción preparada una sola vez y ejecutada muchas con valores distintos: los bucles que
// escriben una fila por línea no vuelven a analizar el SQL en cada vuelta.
class Instruccion {
  public:
    Instruccion(Instruccion&&) noexcept;
    Instruccion& operator=(Instruccion&&) noexcept;
    Instruccion(const Instruccion&) = delete;
    Instruccion& operator=(const Instruccion&) = delete;
    ~Instruccion();

    // Enlaza los valores (tantos como '?') y la ejecuta hasta el final.
    void ejecutar(const Parametros& params);
    // Enlace directo, sin QVariant (índices desde 1); después, ejecutar() sin argumentos.
    void enlazarTexto(int indice, QByteArrayView utf8);
    // Sin copia (los bytes deben seguir vivos hasta ejecutar()): para los lotes de muchas filas.
    void enlazarTextoFijo(int indice, QByteArrayView utf8);
    void enlazarEntero(int indice, qint64 valor);
    void ejecutar();

  private:
    friend class Conexion;
    Instruccion(std::unique_ptr<motorbd::Sentencia> sentencia, QString sql);

    std::unique_ptr<motorbd::Sentencia> sentencia_;
    QString sql_;
};

// Resultado de Execute, leído hacia delante sobre la instrucción preparada: no guarda las
// filas en memoria. RecordCount es exacto (se cuenta con una consulta aparte la primera vez).
// Eof lleva ese nombre porque EOF es una macro de C.
class Recordset {
  public:
    Recordset() = default;
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset();

    bool Eof() const { return eof_; }
    qint64 RecordCount();
    void MoveNext();
    // Valor de la columna o alias de la fila actual; QVariant nulo para NULL. Un nombre que
    // la consulta no tiene lanza ErrorBD.
    QVariant Fields(const QString& nombre) const;
    QVariant Fields(int indice) const;
    // Lectura sin QVariant para los recorridos largos. El texto (UTF-8; vacío para NULL) vale
    // hasta el siguiente MoveNext; un número se lee como su texto.
    QByteArrayView textoUtf8(int indice) const;
    qint64 entero(int indice) const;          // NULL vale 0
    int indice(const QString& nombre) const;  // lanza ErrorBD si la consulta no lo tiene
    int columnas() const;
    QString nombreColumna(int indice) const;
    void Close();

  private:
    friend class Conexion;
    Recordset(Conexion* con, std::unique_ptr<motorbd::Filas> filas, QString sql, Parametros params);
    void paso();
    void comprobarFila() const;

    Conexion* con_ = nullptr;
    std::unique_ptr<motorbd::Filas> filas_;
    QString sql_;
    Parametros params_;
    QHash<QString, int> indices_;  // nombre de columna en minúsculas -> índice
    bool eof_ = true;
    qint64 cuenta_ = -1;
};

// Conexión a unos libros o a una base de informes: un archivo SQLite o, con una URI
// "postgresql://usuario@servidor:puerto/base", un servidor PostgreSQL. El SQL es el mismo en
// los dos: puede usar CCur, Val, Right, Left y Mid. RIGHT y LEFT son palabras reservadas de
// SQLite (uniones): en el SQL se escriben entre comillas dobles, "Right"(Codigo, 2).
class Conexion {
  public:
    // Abre (o crea, si 'crear') el archivo, o conecta con el servidor si 'ruta' es una URI
    // (la contraseña, de la URI, de PGPASSWORD o de ~/.pgpass). Lanza ErrorBD si no se puede.
    static std::shared_ptr<Conexion> abrir(const QString& ruta, bool crear = false);
    // ¿Nombra 'ruta' una base en un servidor?
    static bool esServidor(const QString& ruta);
    // La ruta para mostrarla: a la URI de un servidor se le quita la contraseña.
    static QString sinContrasena(const QString& ruta);
    ~Conexion();
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    // Ejecuta una instrucción con sus parámetros enlazados. Una consulta devuelve el
    // resultado en su primera fila; las demás instrucciones terminan antes de volver.
    Recordset Execute(const QString& sql, const Parametros& params = {});
    // Prepara una instrucción que no devuelve filas para ejecutarla muchas veces.
    Instruccion preparar(const QString& sql);
    // Ejecuta varias instrucciones sin parámetros (esquemas).
    void ejecutarScript(const QString& sql);
    // Valor de la primera columna de la primera fila, o nulo si no hay filas.
    QVariant valor(const QString& sql, const Parametros& params = {});

    // Las transacciones se anidan: la exterior es BEGIN/COMMIT, las interiores SAVEPOINT.
    void BeginTrans();
    // Transacción de solo lectura que ve los libros como estaban al empezar, sin cerrojos que
    // hagan esperar a quien escribe (en un archivo SQLite, lo que permita su diario). Dentro
    // de otra transacción no hace falta y no abre ninguna: devuelve false.
    bool empezarLectura();
    void CommitTrans();
    void RollbackTrans();
    int nivelTransaccion() const { return nivel_; }

    bool existeTabla(const QString& tabla);
    // Por los nombres de columna de una consulta sin filas, no por el catálogo de un motor.
    bool existeColumna(const QString& tabla, const QString& columna);
    // Quien escribe en los libros lo hace solo, hasta el final de su transacción: llamada al
    // empezarla, espera a que termine otra escritura en la misma base (importar, comprobar
    // --reparar) o, pasado el plazo de los cerrojos, lanza ErrorBD diciendo quién la tiene.
    // Las claves se numeran como la mayor de la tabla más uno: por eso la reserva es de la base
    // entera y no de una empresa.
    void reservarEscritura();
    // Al final de una transacción que ha escrito claves a mano: todas las tablas siguen
    // numerando desde la mayor clave, también para quien inserte sin dar la clave.
    void ajustarNumeraciones();
    // La ruta del archivo, o la URI del servidor sin contraseña: para mostrar.
    QString ruta() const;
    qint64 filasAfectadas() const;

  private:
    explicit Conexion(std::unique_ptr<motorbd::Motor> motor);

    std::unique_ptr<motorbd::Motor> motor_;
    int nivel_ = 0;
};

// Transacción que se deshace al destruirse salvo que se confirme.
class Transaccion {
  public:
    explicit Transaccion(Conexion& con) : con_(con) { con_.BeginTrans(); }
    ~Transaccion();
    void confirmar();
    void deshacer();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;

  private:
    Conexion& con_;
    bool abierta_ = true;
};

// Lectura de una sola versión de los libros mientras vive (Conexion::empezarLectura).
class Lectura {
  public:
    explicit Lectura(Conexion& con) : con_(con), abierta_(con.empezarLectura()) {}
    ~Lectura();
    Lectura(const Lectura&) = delete;
    Lectura& operator=(const Lectura&) = delete;

  private:
    Conexion& con_;
    bool abierta_;
};

// Escribe un identificador de tabla o columna entre comillas dobles (los valores nunca
// se escriben en el texto: van enlazados).
QString identificador(const QString& nombre);

}  // namespace orvo
