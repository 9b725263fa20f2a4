#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace orvo {

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
    void enlazarEntero(int indice, qint64 valor);
    void ejecutar();

  private:
    friend class Conexion;
    Instruccion(Conexion* con, sqlite3_stmt* stmt, QString sql);
    void comprobar(int rc);

    Conexion* con_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    QString sql_;
};

// Resultado de Execute, leído hacia delante sobre la instrucción preparada: no guarda las
// filas en memoria. RecordCount es exacto (se cuenta con una consulta aparte la primera vez).
// Eof/Bof llevan ese nombre porque EOF es una macro de C.
class Recordset {
  public:
    Recordset() = default;
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset();

    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    qint64 RecordCount();
    void MoveFirst();
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
    int State() const { return stmt_ ? 1 : 0; }
    void Close();

  private:
    friend class Conexion;
    Recordset(Conexion* con, sqlite3_stmt* stmt, QString sql, Parametros params);
    void paso();

    Conexion* con_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    QString sql_;
    Parametros params_;
    QHash<QString, int> indices_;  // nombre de columna en minúsculas -> índice
    bool eof_ = true;
    bool bof_ = true;
    qint64 cuenta_ = -1;
};

// Conexión a un archivo SQLite con las funciones CCur, Val, Right, Left y Mid registradas.
// RIGHT y LEFT son palabras reservadas de SQLite (uniones): en el SQL se escriben entre
// comillas dobles, "Right"(Codigo, 2).
class Conexion {
  public:
    // Abre (o crea, si 'crear') el archivo. Lanza ErrorBD si no se puede.
    static std::shared_ptr<Conexion> abrir(const QString& ruta, bool crear = false);
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
    void CommitTrans();
    void RollbackTrans();
    int nivelTransaccion() const { return nivel_; }

    bool existeTabla(const QString& tabla);
    // Por los nombres de columna de una consulta sin filas, no por el catálogo de un motor.
    bool existeColumna(const QString& tabla, const QString& columna);
    QString ruta() const { return ruta_; }
    qint64 filasAfectadas() const;
    sqlite3* manejador() const { return db_; }

  private:
    friend class Recordset;
    friend class Instruccion;
    Conexion(sqlite3* db, QString ruta);
    sqlite3_stmt* preparar(const QString& sql, const Parametros& params);
    [[noreturn]] void fallo(int rc, const QString& sql) const;

    sqlite3* db_;
    QString ruta_;
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

// Escribe un identificador de tabla o columna entre comillas dobles (los valores nunca
// se escriben en el texto: van enlazados).
QString identificador(const QString& nombre);

}  // namespace orvo
