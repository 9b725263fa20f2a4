#include <sqlite3.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

#include "ErrorOrvo.h"
#include "Moneda.h"
#include "MotorBD.h"

namespace orvo::motorbd {

namespace {

QString textoDe(sqlite3_value* v) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                             sqlite3_value_bytes(v));
}

void resultadoTexto(sqlite3_context* ctx, const QString& s) {
    const QByteArray u = s.toUtf8();
    sqlite3_result_text64(ctx, u.constData(), static_cast<sqlite3_uint64>(u.size()),
                          SQLITE_TRANSIENT, SQLITE_UTF8);
}

// CCur: importe con cuatro decimales, devuelto como entero en diezmilésimas para que las
// sumas en SQL sean exactas. Acepta números y textos con convenciones españolas.
void funcionCCur(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_value* v = argv[0];
    switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            sqlite3_result_null(ctx);
            return;
        case SQLITE_INTEGER:
            sqlite3_result_int64(ctx, sqlite3_value_int64(v) * Moneda::kEscala);
            return;
        case SQLITE_FLOAT:
            sqlite3_result_int64(ctx, Moneda::deDouble(sqlite3_value_double(v)).diezmilesimas());
            return;
        default: {
            const QString s = textoDe(v);
            if (auto m = Moneda::deTexto(s)) {
                sqlite3_result_int64(ctx, m->diezmilesimas());
            } else {
                const QByteArray e =
                    QStringLiteral("CCur: no coinciden los tipos ('%1' no es un importe)")
                        .arg(s)
                        .toUtf8();
                sqlite3_result_error(ctx, e.constData(), -1);  // acaba en nulo
                // Un dato de los libros, no un fallo del programa: el mensaje es para la persona.
                sqlite3_result_error_code(ctx, SQLITE_MISMATCH);
            }
        }
    }
}

// Val: el número con que empieza el texto, saltando blancos, como la función clásica.
void funcionVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_value* v = argv[0];
    const int tipo = sqlite3_value_type(v);
    if (tipo == SQLITE_NULL) return sqlite3_result_null(ctx);
    if (tipo == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(v));
    if (tipo == SQLITE_FLOAT) return sqlite3_result_double(ctx, sqlite3_value_double(v));
    const QString s = textoDe(v);
    QString num;
    bool punto = false, exponente = false, cifras = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
        if ((c == u'-' || c == u'+') && (num.isEmpty() || num.endsWith(u'e'))) {
            num += c;
        } else if (c.isDigit()) {
            num += c;
            cifras = true;
        } else if (c == u'.' && !punto && !exponente) {
            num += c;
            punto = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && cifras && !exponente) {
            num += u'e';
            exponente = true;
        } else {
            break;
        }
    }
    while (!num.isEmpty() && !num.back().isDigit() && num.back() != u'.') num.chop(1);
    if (!cifras) return sqlite3_result_int64(ctx, 0);
    if (!punto && !exponente) {
        bool ok = false;
        const qlonglong n = num.toLongLong(&ok);
        if (ok) return sqlite3_result_int64(ctx, n);
    }
    sqlite3_result_double(ctx, num.toDouble());
}

void funcionRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString s = textoDe(argv[0]);
    const int n = std::max(0, sqlite3_value_int(argv[1]));
    resultadoTexto(ctx, s.right(n));
}

void funcionLeft(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString s = textoDe(argv[0]);
    resultadoTexto(ctx, s.left(std::max(0, sqlite3_value_int(argv[1]))));
}

void funcionMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString s = textoDe(argv[0]);
    const int inicio = std::max(1, sqlite3_value_int(argv[1]));
    const int largo = argc > 2 ? std::max(0, sqlite3_value_int(argv[2])) : -1;
    resultadoTexto(ctx, s.mid(inicio - 1, largo));
}

int enlazarValor(sqlite3_stmt* stmt, int n, const QVariant& p) {
    if (p.isNull()) return sqlite3_bind_null(stmt, n);
    switch (p.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
            return sqlite3_bind_int64(stmt, n, p.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return sqlite3_bind_double(stmt, n, p.toDouble());
        case QMetaType::QByteArray: {
            const QByteArray b = p.toByteArray();
            return sqlite3_bind_blob64(stmt, n, b.constData(), b.size(), SQLITE_TRANSIENT);
        }
        default: {
            const QByteArray t = p.toString().toUtf8();
            return sqlite3_bind_text64(stmt, n, t.constData(), t.size(), SQLITE_TRANSIENT,
                                       SQLITE_UTF8);
        }
    }
}

// Registra las funciones que usan las consultas de los informes; devuelve el primer código
// de SQLite que no sea SQLITE_OK.
int registrarFunciones(sqlite3* db) {
    using Funcion = void (*)(sqlite3_context*, int, sqlite3_value**);
    const struct {
        const char* nombre;
        int argumentos;
        Funcion funcion;
    } funciones[] = {{"CCur", 1, funcionCCur}, {"Val", 1, funcionVal}, {"Right", 2, funcionRight},
                     {"Left", 2, funcionLeft}, {"Mid", 2, funcionMid}, {"Mid", 3, funcionMid}};
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    for (const auto& f : funciones) {
        const int rc = sqlite3_create_function_v2(db, f.nombre, f.argumentos, flags, nullptr,
                                                  f.funcion, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

// La línea para la persona según el código de SQLite; el texto de SQLite va a la bitácora.
QString explicar(int rc, const QString& motor, const QString& archivo) {
    static const QRegularExpression tablaDeRegla(QStringLiteral("failed: (\\w+)\\.")),
        falta(QStringLiteral("^no such (table|column): (\\S+)"));
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return librosBloqueados();
        case SQLITE_READONLY:
            return QStringLiteral(
                       "No se puede escribir en %1: el archivo es de solo lectura; pida "
                       "permiso de escritura sobre el archivo y su carpeta")
                .arg(archivo);
        case SQLITE_FULL:
            return QStringLiteral(
                       "El disco de %1 está lleno y no se ha guardado nada; libere "
                       "espacio y vuelva a intentarlo")
                .arg(archivo);
        case SQLITE_IOERR:
            return QStringLiteral(
                       "No se puede leer o escribir %1 en el disco; compruebe el disco "
                       "y vuelva a intentarlo")
                .arg(archivo);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral(
                       "%1 no es una base de datos o está dañado; use una copia de "
                       "seguridad")
                .arg(archivo);
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral(
                       "No se puede abrir %1; compruebe la ruta y que tiene permiso "
                       "para leerlo")
                .arg(archivo);
        case SQLITE_NOMEM:
            return QStringLiteral("No queda memoria; cierre otros programas y vuelva a intentarlo");
        case SQLITE_CONSTRAINT: {
            // El mensaje de un disparador (RAISE) lo escribió quien lo puso, para la persona.
            if (rc == SQLITE_CONSTRAINT_TRIGGER) return motor;
            const QString tabla = tablaDeRegla.match(motor).captured(1);
            const QString enTabla =
                tabla.isEmpty() ? QString() : QStringLiteral(" (tabla %1)").arg(tabla);
            if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
                return QStringLiteral(
                           "Los libros ya tienen un registro con la misma clave%1; no se ha "
                           "guardado nada")
                    .arg(enTabla);
            return QStringLiteral(
                       "Un dato no cumple las reglas de los libros%1; no se ha guardado nada")
                .arg(enTabla);
        }
        case SQLITE_MISMATCH:
            return motor;  // de las funciones del programa, ya en español
        default:
            if (const auto m = falta.match(motor); m.hasMatch())
                return QStringLiteral("A %1 le falta la %2 %3 de los libros")
                    .arg(archivo,
                         m.captured(1) == u"table" ? QStringLiteral("tabla")
                                                   : QStringLiteral("columna"),
                         m.captured(2));
            return QStringLiteral("La base de datos %1 no acepta una instrucción del programa; %2")
                .arg(archivo, detallesEnBitacora());
    }
}

ErrorBD fallo(sqlite3* db, int rc, const QString& sql) {
    const QString motor = QString::fromUtf8(sqlite3_errmsg(db));
    const char* archivo = sqlite3_db_filename(db, "main");
    return ErrorBD(rc, explicar(rc, motor, QString::fromUtf8(archivo ? archivo : "")), sql,
                   QStringLiteral("%1 (código %2)").arg(motor).arg(rc));
}

}  // namespace

class FilasSqlite : public Filas {
  public:
    FilasSqlite(sqlite3* db, sqlite3_stmt* stmt, QString sql)
        : db_(db), stmt_(stmt), sql_(std::move(sql)) {}
    // finalize repite el código del último paso, que avanzar() ya ha comprobado.
    ~FilasSqlite() override { sqlite3_finalize(stmt_); }
    bool avanzar() override {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) throw fallo(db_, rc, sql_);
        return false;
    }
    int columnas() const override { return sqlite3_column_count(stmt_); }
    QString nombre(int i) const override {
        return QString::fromUtf8(sqlite3_column_name(stmt_, i));
    }
    QVariant valor(int i) const override {
        switch (sqlite3_column_type(stmt_, i)) {
            case SQLITE_NULL:
                return {};
            case SQLITE_INTEGER:
                return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt_, i)));
            case SQLITE_FLOAT:
                return QVariant(sqlite3_column_double(stmt_, i));
            case SQLITE_BLOB:
                return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, i)),
                                  sqlite3_column_bytes(stmt_, i));
            default:
                return QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)),
                    sqlite3_column_bytes(stmt_, i));
        }
    }
    QByteArrayView texto(int i) const override {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
        return t ? QByteArrayView(t, sqlite3_column_bytes(stmt_, i)) : QByteArrayView();
    }
    qint64 entero(int i) const override { return sqlite3_column_int64(stmt_, i); }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
    QString sql_;
};

class SentenciaSqlite : public Sentencia {
  public:
    SentenciaSqlite(sqlite3* db, sqlite3_stmt* stmt, QString sql)
        : db_(db), stmt_(stmt), sql_(std::move(sql)) {}
    // finalize repite el código del último paso, que ejecutar() ya ha comprobado.
    ~SentenciaSqlite() override { sqlite3_finalize(stmt_); }
    void soltar() { stmt_ = nullptr; }  // la instrucción pasa a otro dueño
    int parametros() const override { return sqlite3_bind_parameter_count(stmt_); }
    void enlazar(int indice, const QVariant& v) override {
        comprobar(enlazarValor(stmt_, indice, v));
    }
    void enlazarTexto(int indice, QByteArrayView utf8) override {
        comprobar(sqlite3_bind_text64(stmt_, indice, utf8.data() ? utf8.data() : "", utf8.size(),
                                      SQLITE_TRANSIENT, SQLITE_UTF8));
    }
    void enlazarTextoFijo(int indice, QByteArrayView utf8) override {
        comprobar(sqlite3_bind_text64(stmt_, indice, utf8.data() ? utf8.data() : "", utf8.size(),
                                      SQLITE_STATIC, SQLITE_UTF8));
    }
    void enlazarEntero(int indice, qint64 valor) override {
        comprobar(sqlite3_bind_int64(stmt_, indice, valor));
    }
    void ejecutar() override {
        int rc;
        while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
        }
        // reset devuelve el código del paso fallido, que ya está en rc.
        sqlite3_reset(stmt_);
        if (rc != SQLITE_DONE) comprobar(rc);
    }

  private:
    void comprobar(int rc) const {
        if (rc != SQLITE_OK) throw fallo(db_, rc, sql_);
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_;
    QString sql_;
};

class MotorSqlite : public Motor {
  public:
    MotorSqlite(sqlite3* db, QString ruta) : db_(db), ruta_(std::move(ruta)) {}
    // close_v2 no falla por instrucciones abiertas: las cierra cuando se liberan.
    ~MotorSqlite() override { sqlite3_close_v2(db_); }

    std::unique_ptr<Filas> ejecutar(const QString& sql, const Parametros& params) override {
        sqlite3_stmt* stmt = compilar(sql);
        SentenciaSqlite sentencia(db_, stmt, sql);  // la libera si algo falla
        if (sqlite3_bind_parameter_count(stmt) != params.size())
            throw ErrorBD(SQLITE_RANGE,
                          QStringLiteral("La instrucción espera %1 parámetros y recibe %2")
                              .arg(sqlite3_bind_parameter_count(stmt))
                              .arg(params.size()),
                          sql);
        for (int i = 0; i < params.size(); ++i) sentencia.enlazar(i + 1, params[i]);
        if (sqlite3_column_count(stmt) == 0) {
            sentencia.ejecutar();
            return nullptr;
        }
        sentencia.soltar();
        return std::make_unique<FilasSqlite>(db_, stmt, sql);
    }

    std::unique_ptr<Sentencia> preparar(const QString& sql) override {
        sqlite3_stmt* stmt = compilar(sql);
        if (!stmt) throw ErrorBD(SQLITE_MISUSE, QStringLiteral("La instrucción está vacía"), sql);
        return std::make_unique<SentenciaSqlite>(db_, stmt, sql);
    }

    void script(const QString& sql) override {
        // El mensaje del fallo lo da sqlite3_errmsg, como en los demás.
        const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) throw fallo(db_, rc, sql);
    }

    void transaccion(Paso paso, int nivel) override {
        switch (paso) {
            case Paso::Empezar:
                // El cerrojo de escritura desde el principio: nadie escribe entre medias.
                return script(QStringLiteral("BEGIN IMMEDIATE"));
            case Paso::EmpezarLectura:
                // Una transacción diferida lee una sola versión del archivo.
                return script(QStringLiteral("BEGIN DEFERRED"));
            case Paso::Deshacer:
                // Si SQLite ya deshizo la transacción por un error grave, no queda nada.
                if (sqlite3_get_autocommit(db_)) return;
                [[fallthrough]];
            default:
                script(sqlPaso(paso, nivel));
        }
    }

    bool existeTabla(const QString& tabla) override {
        auto filas = ejecutar(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN "
                                             "('table','view') AND name = ? COLLATE NOCASE"),
                              {tabla});
        return filas->avanzar();
    }

    // BEGIN IMMEDIATE ya es el cerrojo de escritura de todo el archivo.
    void reservarEscritura() override {}
    // Una clave INTEGER PRIMARY KEY nueva ya es la mayor más uno.
    void ajustarNumeraciones() override {}

    qint64 filasAfectadas() const override { return sqlite3_changes64(db_); }
    QString nombre() const override { return ruta_; }

  private:
    sqlite3_stmt* compilar(const QString& sql) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray u = sql.toUtf8();
        // Un texto SQL del programa, muy lejos de los 2 GiB que caben en un int.
        const int rc =
            sqlite3_prepare_v2(db_, u.constData(), static_cast<int>(u.size()), &stmt, nullptr);
        if (rc != SQLITE_OK) throw fallo(db_, rc, sql);
        return stmt;
    }

    sqlite3* db_;
    QString ruta_;
};

std::unique_ptr<Motor> abrirSqlite(const QString& ruta, bool crear) {
    if (!crear && !QFileInfo::exists(ruta))
        throw ErrorBD(SQLITE_CANTOPEN, QStringLiteral("No existe el archivo %1").arg(ruta), {});
    // SQLite lleva la cuenta de su memoria con un cerrojo global en cada reserva, y aquí nadie
    // la lee: sin ella, un libro de un millón de líneas se lee un poco más deprisa. Solo vale
    // antes de que SQLite se inicie; si ya se inició, se queda como estaba.
    static const int sinEstadisticas = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(sinEstadisticas);
    sqlite3* db = nullptr;
    // Cada conexión se usa desde un solo hilo (el de la interfaz): sin el cerrojo de SQLite en
    // cada llamada, que en los libros de un millón de líneas se nota.
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (crear ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(ruta.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        throw ErrorBD(rc, explicar(rc, msg, ruta), {}, msg);
    }
    // Quien espera a que otra sesión suelte el archivo, espera lo mismo que en un servidor.
    int preparada = sqlite3_extended_result_codes(db, 1);
    if (preparada == SQLITE_OK) preparada = sqlite3_busy_timeout(db, plazos().cerrojos * 1000);
    if (preparada == SQLITE_OK) preparada = registrarFunciones(db);
    if (preparada != SQLITE_OK) {
        const ErrorBD e = fallo(db, preparada, {});
        sqlite3_close_v2(db);
        throw e;
    }
    // Al ordenar muchas filas (el Mayor entero), SQLite reparte el trabajo con un hilo más;
    // devuelve el límite anterior, no un código.
    sqlite3_limit(db, SQLITE_LIMIT_WORKER_THREADS, 1);
    auto motor = std::make_unique<MotorSqlite>(db, ruta);
    // Comprueba que el archivo es de verdad una base de datos antes de devolverlo.
    motor->ejecutar(QStringLiteral("SELECT count(*) FROM sqlite_master"), {})->avanzar();
    return motor;
}

}  // namespace orvo::motorbd
