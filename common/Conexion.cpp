#include "Conexion.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <cmath>

#include "ErrorOrvo.h"
#include "Moneda.h"

namespace orvo {

namespace {

QString textoDe(sqlite3_value* v) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                             sqlite3_value_bytes(v));
}

void resultadoTexto(sqlite3_context* ctx, const QString& s) {
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), u.size(), SQLITE_TRANSIENT);
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
                sqlite3_result_error(ctx, e.constData(), e.size());
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

int enlazar(sqlite3_stmt* stmt, int n, const QVariant& p) {
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

void registrarFunciones(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "CCur", 1, flags, nullptr, funcionCCur, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "Val", 1, flags, nullptr, funcionVal, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "Right", 2, flags, nullptr, funcionRight, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "Left", 2, flags, nullptr, funcionLeft, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "Mid", 2, flags, nullptr, funcionMid, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "Mid", 3, flags, nullptr, funcionMid, nullptr, nullptr, nullptr);
}

}  // namespace

// --- Conexion -------------------------------------------------------------------------------

Conexion::Conexion(sqlite3* db, QString ruta) : db_(db), ruta_(std::move(ruta)) {}

Conexion::~Conexion() {
    sqlite3_close_v2(db_);
}

std::shared_ptr<Conexion> Conexion::abrir(const QString& ruta, bool crear) {
    if (!crear && !QFileInfo::exists(ruta))
        throw ErrorBD(SQLITE_CANTOPEN, QStringLiteral("No existe el archivo de base de datos"),
                      ruta);
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
        throw ErrorBD(rc, QStringLiteral("No se puede abrir la base de datos: %1").arg(msg), ruta);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    // Al ordenar muchas filas (el Mayor entero), SQLite reparte el trabajo con un hilo más.
    sqlite3_limit(db, SQLITE_LIMIT_WORKER_THREADS, 1);
    registrarFunciones(db);
    auto con = std::shared_ptr<Conexion>(new Conexion(db, ruta));
    // Comprueba que el archivo es de verdad una base de datos antes de devolverlo.
    con->Execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return con;
}

void Conexion::fallo(int rc, const QString& sql) const {
    throw ErrorBD(rc, QString::fromUtf8(sqlite3_errmsg(db_)), sql);
}

sqlite3_stmt* Conexion::preparar(const QString& sql, const Parametros& params) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray u = sql.toUtf8();
    int rc = sqlite3_prepare_v2(db_, u.constData(), u.size(), &stmt, nullptr);
    if (rc != SQLITE_OK) fallo(rc, sql);
    if (sqlite3_bind_parameter_count(stmt) != params.size()) {
        sqlite3_finalize(stmt);
        throw ErrorBD(SQLITE_RANGE,
                      QStringLiteral("La instrucción espera %1 parámetros y recibe %2")
                          .arg(sqlite3_bind_parameter_count(stmt))
                          .arg(params.size()),
                      sql);
    }
    for (int i = 0; i < params.size(); ++i) {
        rc = enlazar(stmt, i + 1, params[i]);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(stmt);
            fallo(rc, sql);
        }
    }
    return stmt;
}

Recordset Conexion::Execute(const QString& sql, const Parametros& params) {
    sqlite3_stmt* stmt = preparar(sql, params);
    if (sqlite3_column_count(stmt) == 0) {
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) fallo(rc, sql);
        return {};
    }
    Recordset rs(this, stmt, sql, params);
    rs.paso();
    rs.bof_ = rs.eof_;
    return rs;
}

Instruccion Conexion::preparar(const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray u = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db_, u.constData(), u.size(), &stmt, nullptr);
    if (rc != SQLITE_OK) fallo(rc, sql);
    if (!stmt) throw ErrorBD(SQLITE_MISUSE, QStringLiteral("La instrucción está vacía"), sql);
    return Instruccion(this, stmt, sql);
}

void Conexion::ejecutarScript(const QString& sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString msg = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        throw ErrorBD(rc, msg, sql);
    }
}

QVariant Conexion::valor(const QString& sql, const Parametros& params) {
    Recordset rs = Execute(sql, params);
    return rs.Eof() ? QVariant() : rs.Fields(0);
}

void Conexion::BeginTrans() {
    if (nivel_ == 0)
        Execute(QStringLiteral("BEGIN IMMEDIATE"));
    else
        Execute(QStringLiteral("SAVEPOINT orvo%1").arg(nivel_));
    ++nivel_;
}

void Conexion::CommitTrans() {
    if (nivel_ == 0)
        throw ErrorBD(SQLITE_MISUSE, QStringLiteral("No hay ninguna transacción abierta"),
                      QStringLiteral("COMMIT"));
    if (nivel_ == 1)
        Execute(QStringLiteral("COMMIT"));
    else
        Execute(QStringLiteral("RELEASE orvo%1").arg(nivel_ - 1));
    --nivel_;
}

void Conexion::RollbackTrans() {
    if (nivel_ == 0)
        throw ErrorBD(SQLITE_MISUSE, QStringLiteral("No hay ninguna transacción abierta"),
                      QStringLiteral("ROLLBACK"));
    --nivel_;
    if (nivel_ == 0) {
        // Si SQLite ya deshizo la transacción por un error grave, no queda nada que deshacer.
        if (!sqlite3_get_autocommit(db_)) Execute(QStringLiteral("ROLLBACK"));
    } else {
        Execute(QStringLiteral("ROLLBACK TO orvo%1").arg(nivel_));
        Execute(QStringLiteral("RELEASE orvo%1").arg(nivel_));
    }
}

bool Conexion::existeTabla(const QString& tabla) {
    return !valor(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                                 "AND name = ? COLLATE NOCASE"),
                  {tabla})
                .isNull();
}

bool Conexion::existeColumna(const QString& tabla, const QString& columna) {
    Recordset rs =
        Execute(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(identificador(tabla)));
    for (int c = 0; c < rs.columnas(); ++c)
        if (rs.nombreColumna(c).compare(columna, Qt::CaseInsensitive) == 0) return true;
    return false;
}

qint64 Conexion::filasAfectadas() const {
    return sqlite3_changes64(db_);
}

// --- Transaccion ----------------------------------------------------------------------------

Transaccion::~Transaccion() {
    if (abierta_) {
        try {
            con_.RollbackTrans();
        } catch (...) {
            // Un destructor no puede lanzar; el error que nos trajo aquí es el que se informa.
        }
    }
}

void Transaccion::confirmar() {
    con_.CommitTrans();
    abierta_ = false;
}

void Transaccion::deshacer() {
    abierta_ = false;
    con_.RollbackTrans();
}

// --- Instruccion ----------------------------------------------------------------------------

Instruccion::Instruccion(Conexion* con, sqlite3_stmt* stmt, QString sql)
    : con_(con), stmt_(stmt), sql_(std::move(sql)) {}

Instruccion::Instruccion(Instruccion&& o) noexcept {
    *this = std::move(o);
}

Instruccion& Instruccion::operator=(Instruccion&& o) noexcept {
    if (this != &o) {
        if (stmt_) sqlite3_finalize(stmt_);
        con_ = o.con_;
        stmt_ = o.stmt_;
        sql_ = std::move(o.sql_);
        o.stmt_ = nullptr;
    }
    return *this;
}

Instruccion::~Instruccion() {
    if (stmt_) sqlite3_finalize(stmt_);
}

void Instruccion::comprobar(int rc) {
    if (rc != SQLITE_OK) con_->fallo(rc, sql_);
}

void Instruccion::ejecutar(const Parametros& params) {
    if (!stmt_) throw ErrorBD(SQLITE_MISUSE, QStringLiteral("Instrucción cerrada"), sql_);
    if (sqlite3_bind_parameter_count(stmt_) != params.size())
        throw ErrorBD(SQLITE_RANGE,
                      QStringLiteral("La instrucción espera %1 parámetros y recibe %2")
                          .arg(sqlite3_bind_parameter_count(stmt_))
                          .arg(params.size()),
                      sql_);
    for (int i = 0; i < params.size(); ++i) comprobar(enlazar(stmt_, i + 1, params[i]));
    ejecutar();
}

void Instruccion::enlazarTexto(int indice, QByteArrayView utf8) {
    comprobar(sqlite3_bind_text64(stmt_, indice, utf8.data() ? utf8.data() : "", utf8.size(),
                                  SQLITE_TRANSIENT, SQLITE_UTF8));
}

void Instruccion::enlazarEntero(int indice, qint64 valor) {
    comprobar(sqlite3_bind_int64(stmt_, indice, valor));
}

void Instruccion::ejecutar() {
    if (!stmt_) throw ErrorBD(SQLITE_MISUSE, QStringLiteral("Instrucción cerrada"), sql_);
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE) con_->fallo(rc, sql_);
}

// --- Recordset ------------------------------------------------------------------------------

Recordset::Recordset(Conexion* con, sqlite3_stmt* stmt, QString sql, Parametros params)
    : con_(con), stmt_(stmt), sql_(std::move(sql)), params_(std::move(params)) {
    const int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
        const QString nombre = QString::fromUtf8(sqlite3_column_name(stmt_, i)).toLower();
        if (!indices_.contains(nombre)) indices_.insert(nombre, i);
    }
}

Recordset::Recordset(Recordset&& o) noexcept {
    *this = std::move(o);
}

Recordset& Recordset::operator=(Recordset&& o) noexcept {
    if (this != &o) {
        Close();
        con_ = o.con_;
        stmt_ = o.stmt_;
        sql_ = std::move(o.sql_);
        params_ = std::move(o.params_);
        indices_ = std::move(o.indices_);
        eof_ = o.eof_;
        bof_ = o.bof_;
        cuenta_ = o.cuenta_;
        o.stmt_ = nullptr;
        o.eof_ = o.bof_ = true;
    }
    return *this;
}

Recordset::~Recordset() {
    Close();
}

void Recordset::Close() {
    if (stmt_) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    eof_ = bof_ = true;
}

void Recordset::paso() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        eof_ = false;
    } else if (rc == SQLITE_DONE) {
        eof_ = true;
    } else {
        eof_ = true;
        con_->fallo(rc, sql_);
    }
}

void Recordset::MoveNext() {
    if (!stmt_ || eof_) throw ErrorBD(3021, QStringLiteral("No hay ningún registro actual"), sql_);
    bof_ = false;
    paso();
}

void Recordset::MoveFirst() {
    if (!stmt_) throw ErrorBD(3704, QStringLiteral("El conjunto de registros está cerrado"), sql_);
    sqlite3_reset(stmt_);
    paso();
    bof_ = eof_;
}

qint64 Recordset::RecordCount() {
    if (!stmt_) return 0;
    if (cuenta_ < 0) {
        // Se cuenta aparte para no tener que guardar las filas.
        Recordset c = con_->Execute(
            QStringLiteral("SELECT count(*) FROM (") + sql_ + QStringLiteral("\n)"), params_);
        cuenta_ = c.Fields(0).toLongLong();
    }
    return cuenta_;
}

int Recordset::columnas() const {
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString Recordset::nombreColumna(int indice) const {
    return stmt_ ? QString::fromUtf8(sqlite3_column_name(stmt_, indice)) : QString();
}

QVariant Recordset::Fields(int i) const {
    if (!stmt_ || eof_) throw ErrorBD(3021, QStringLiteral("No hay ningún registro actual"), sql_);
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
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)),
                                     sqlite3_column_bytes(stmt_, i));
    }
}

int Recordset::indice(const QString& nombre) const {
    const auto it = indices_.constFind(nombre.toLower());
    if (it == indices_.constEnd())
        throw ErrorBD(3265,
                      QStringLiteral("No se encontró el elemento '%1' en la colección").arg(nombre),
                      sql_);
    return it.value();
}

QVariant Recordset::Fields(const QString& nombre) const {
    return Fields(indice(nombre));
}

QByteArrayView Recordset::textoUtf8(int i) const {
    if (!stmt_ || eof_) throw ErrorBD(3021, QStringLiteral("No hay ningún registro actual"), sql_);
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return t ? QByteArrayView(t, sqlite3_column_bytes(stmt_, i)) : QByteArrayView();
}

qint64 Recordset::entero(int i) const {
    if (!stmt_ || eof_) throw ErrorBD(3021, QStringLiteral("No hay ningún registro actual"), sql_);
    return sqlite3_column_int64(stmt_, i);
}

QString identificador(const QString& nombre) {
    QString n = nombre;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

}  // namespace orvo
