#include "Conexion.h"

#include <QUrl>

#include "Bitacora.h"
#include "ErrorOrvo.h"
#include "MotorBD.h"

namespace orvo {

namespace motorbd {
QString Motor::sqlPaso(Paso paso, int nivel) {
    switch (paso) {
        case Paso::Empezar:
        case Paso::EmpezarLectura:
            return QStringLiteral("BEGIN");
        case Paso::Confirmar:
            return QStringLiteral("COMMIT");
        case Paso::Deshacer:
            return QStringLiteral("ROLLBACK");
        case Paso::Guardar:
            return QStringLiteral("SAVEPOINT orvo%1").arg(nivel);
        case Paso::Liberar:
            return QStringLiteral("RELEASE orvo%1").arg(nivel);
        case Paso::VolverA:
            return QStringLiteral("ROLLBACK TO orvo%1").arg(nivel);
    }
    return {};
}

namespace {
int segundos(const char* variable, int porOmision) {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(variable, &ok);
    return ok && n > 0 ? n : porOmision;
}
}  // namespace

Plazos plazos() {
    return {segundos("ORVO_ESPERA_CERROJOS", 30), segundos("ORVO_ESPERA_INSTRUCCION", 600)};
}

QString librosBloqueados() {
    return QStringLiteral("Los libros están bloqueados por otra sesión; pruebe más tarde");
}

QString detallesEnBitacora() {
    const QString ruta = Bitacora::ruta();
    return ruta.isEmpty() ? QStringLiteral("avise a quien administra el programa")
                          : QStringLiteral("los detalles están en %1").arg(ruta);
}
}  // namespace motorbd

// --- Conexion -------------------------------------------------------------------------------

Conexion::Conexion(std::unique_ptr<motorbd::Motor> motor) : motor_(std::move(motor)) {}

Conexion::~Conexion() = default;

bool Conexion::esServidor(const QString& ruta) {
    return ruta.startsWith(QLatin1String("postgresql://")) ||
           ruta.startsWith(QLatin1String("postgres://"));
}

QString Conexion::sinContrasena(const QString& ruta) {
    if (!esServidor(ruta)) return ruta;
    QUrl u(ruta);
    if (!u.isValid()) return ruta.section(u'@', -1);
    u.setPassword(QString());
    return u.toString();
}

std::shared_ptr<Conexion> Conexion::abrir(const QString& ruta, bool crear) {
    return std::shared_ptr<Conexion>(new Conexion(
        esServidor(ruta) ? motorbd::abrirPostgres(ruta) : motorbd::abrirSqlite(ruta, crear)));
}

QString Conexion::ruta() const {
    return motor_->nombre();
}

Recordset Conexion::Execute(const QString& sql, const Parametros& params) {
    std::unique_ptr<motorbd::Filas> filas = motor_->ejecutar(sql, params);
    if (!filas) return {};
    Recordset rs(this, std::move(filas), sql, params);
    rs.paso();
    return rs;
}

Instruccion Conexion::preparar(const QString& sql) {
    return Instruccion(motor_->preparar(sql), sql);
}

void Conexion::ejecutarScript(const QString& sql) {
    motor_->script(sql);
}

QVariant Conexion::valor(const QString& sql, const Parametros& params) {
    Recordset rs = Execute(sql, params);
    return rs.Eof() ? QVariant() : rs.Fields(0);
}

void Conexion::BeginTrans() {
    if (nivel_ == 0)
        motor_->transaccion(motorbd::Paso::Empezar, 0);
    else
        motor_->transaccion(motorbd::Paso::Guardar, nivel_);
    ++nivel_;
}

bool Conexion::empezarLectura() {
    if (nivel_ > 0) return false;
    motor_->transaccion(motorbd::Paso::EmpezarLectura, 0);
    ++nivel_;
    return true;
}

void Conexion::CommitTrans() {
    if (nivel_ == 0)
        throw ErrorBD(Causa::SinTransaccion, QStringLiteral("No hay ninguna transacción abierta"),
                      QStringLiteral("COMMIT"));
    if (nivel_ == 1)
        motor_->transaccion(motorbd::Paso::Confirmar, 0);
    else
        motor_->transaccion(motorbd::Paso::Liberar, nivel_ - 1);
    --nivel_;
}

void Conexion::RollbackTrans() {
    if (nivel_ == 0)
        throw ErrorBD(Causa::SinTransaccion, QStringLiteral("No hay ninguna transacción abierta"),
                      QStringLiteral("ROLLBACK"));
    --nivel_;
    if (nivel_ == 0) {
        motor_->transaccion(motorbd::Paso::Deshacer, 0);
    } else {
        motor_->transaccion(motorbd::Paso::VolverA, nivel_);
        motor_->transaccion(motorbd::Paso::Liberar, nivel_);
    }
}

bool Conexion::existeTabla(const QString& tabla) {
    return motor_->existeTabla(tabla);
}

void Conexion::reservarEscritura() {
    if (nivel_ == 0)
        throw ErrorBD(Causa::SinTransaccion,
                      QStringLiteral("Los libros se reservan dentro de una transacción"), {});
    motor_->reservarEscritura();
}

void Conexion::ajustarNumeraciones() {
    motor_->ajustarNumeraciones();
}

bool Conexion::existeColumna(const QString& tabla, const QString& columna) {
    Recordset rs =
        Execute(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(identificador(tabla)));
    for (int c = 0; c < rs.columnas(); ++c)
        if (rs.nombreColumna(c).compare(columna, Qt::CaseInsensitive) == 0) return true;
    return false;
}

qint64 Conexion::filasAfectadas() const {
    return motor_->filasAfectadas();
}

// --- Transaccion y Lectura ------------------------------------------------------------------

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

Lectura::~Lectura() {
    if (abierta_) {
        try {
            // Solo se ha leído: deshacer y confirmar dan lo mismo.
            con_.RollbackTrans();
        } catch (...) {
            // Un destructor no puede lanzar; un fallo de la conexión ya se habrá informado.
        }
    }
}

// --- Instruccion ----------------------------------------------------------------------------

Instruccion::Instruccion(std::unique_ptr<motorbd::Sentencia> sentencia, QString sql)
    : sentencia_(std::move(sentencia)), sql_(std::move(sql)) {}

Instruccion::Instruccion(Instruccion&& o) noexcept = default;
Instruccion& Instruccion::operator=(Instruccion&& o) noexcept = default;
Instruccion::~Instruccion() = default;

void Instruccion::ejecutar(const Parametros& params) {
    if (!sentencia_)
        throw ErrorBD(Causa::ConjuntoCerrado, QStringLiteral("Instrucción cerrada"), sql_);
    if (sentencia_->parametros() != params.size())
        throw ErrorBD(Causa::ParametrosNoCoinciden,
                      QStringLiteral("La instrucción espera %1 parámetros y recibe %2")
                          .arg(sentencia_->parametros())
                          .arg(params.size()),
                      sql_);
    for (int i = 0; i < params.size(); ++i) sentencia_->enlazar(i + 1, params[i]);
    ejecutar();
}

void Instruccion::enlazarTexto(int indice, QByteArrayView utf8) {
    sentencia_->enlazarTexto(indice, utf8);
}

void Instruccion::enlazarTextoFijo(int indice, QByteArrayView utf8) {
    sentencia_->enlazarTextoFijo(indice, utf8);
}

void Instruccion::enlazarEntero(int indice, qint64 valor) {
    sentencia_->enlazarEntero(indice, valor);
}

void Instruccion::ejecutar() {
    if (!sentencia_)
        throw ErrorBD(Causa::ConjuntoCerrado, QStringLiteral("Instrucción cerrada"), sql_);
    sentencia_->ejecutar();
}

// --- Recordset ------------------------------------------------------------------------------

Recordset::Recordset(Conexion* con, std::unique_ptr<motorbd::Filas> filas, QString sql,
                     Parametros params)
    : con_(con), filas_(std::move(filas)), sql_(std::move(sql)), params_(std::move(params)) {
    const int n = filas_->columnas();
    for (int i = 0; i < n; ++i) {
        const QString nombre = filas_->nombre(i).toLower();
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
        filas_ = std::move(o.filas_);
        sql_ = std::move(o.sql_);
        params_ = std::move(o.params_);
        indices_ = std::move(o.indices_);
        eof_ = o.eof_;
        cuenta_ = o.cuenta_;
        o.eof_ = true;
    }
    return *this;
}

Recordset::~Recordset() {
    Close();
}

void Recordset::Close() {
    filas_.reset();
    eof_ = true;
}

void Recordset::paso() {
    eof_ = true;
    eof_ = !filas_->avanzar();
}

void Recordset::comprobarFila() const {
    if (!filas_ || eof_)
        throw ErrorBD(Causa::RegistroNoEncontrado, QStringLiteral("No hay ningún registro actual"),
                      sql_);
}

void Recordset::MoveNext() {
    comprobarFila();
    paso();
}

qint64 Recordset::RecordCount() {
    if (!filas_) return 0;
    if (cuenta_ < 0) {
        // Se cuenta aparte para no tener que guardar las filas.
        Recordset c = con_->Execute(
            QStringLiteral("SELECT count(*) FROM (") + sql_ + QStringLiteral("\n) AS cuenta"),
            params_);
        cuenta_ = c.Fields(0).toLongLong();
    }
    return cuenta_;
}

int Recordset::columnas() const {
    return filas_ ? filas_->columnas() : 0;
}

QString Recordset::nombreColumna(int indice) const {
    return filas_ ? filas_->nombre(indice) : QString();
}

QVariant Recordset::Fields(int i) const {
    comprobarFila();
    return filas_->valor(i);
}

int Recordset::indice(const QString& nombre) const {
    const auto it = indices_.constFind(nombre.toLower());
    if (it == indices_.constEnd())
        throw ErrorBD(Causa::ColumnaNoEncontrada,
                      QStringLiteral("No se encontró el elemento '%1' en la colección").arg(nombre),
                      sql_);
    return it.value();
}

QVariant Recordset::Fields(const QString& nombre) const {
    return Fields(indice(nombre));
}

QByteArrayView Recordset::textoUtf8(int i) const {
    comprobarFila();
    return filas_->texto(i);
}

qint64 Recordset::entero(int i) const {
    comprobarFila();
    return filas_->entero(i);
}

QString identificador(const QString& nombre) {
    QString n = nombre;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

}  // namespace orvo
