#include <libpq-fe.h>
#include <poll.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <cerrno>
#include <vector>

#include "Bitacora.h"
#include "Conexion.h"
#include "ErrorOrvo.h"
#include "MotorBD.h"

namespace orvo::motorbd {

namespace {

// Filas que se traen de una vez de un cursor: pocas idas y vueltas sin guardarlo todo.
constexpr int kLote = 1000;

// Tipos de columna del servidor (pg_type.oid) que se leen como números.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

// --- Traducción del SQL ---------------------------------------------------------------------
// El SQL de los informes está escrito para SQLite con las funciones del programa. Aquí se
// pasa a PostgreSQL sin crear nada en el servidor (un usuario de solo lectura puede imprimir):
// los '?' pasan a $1, $2…; CCur, Val, Right, Left, Mid y typeof pasan a expresiones con
// funciones del propio servidor que dan lo mismo sobre los textos que guardan los libros; LIKE
// no distingue mayúsculas, como en SQLite; CROSS JOIN … ON pasa a INNER JOIN; y los
// identificadores entre comillas, que en el servidor se crearon sin ellas, van en minúsculas.

bool letra(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

class Traductor {
  public:
    explicit Traductor(const QString& sql) : s_(sql) {}

    QString traducir(int* parametros) {
        QString r = trozo(0, s_.size());
        *parametros = n_;
        return r;
    }

  private:
    QString trozo(qsizetype desde, qsizetype hasta) {
        QString out;
        qsizetype i = desde;
        while (i < hasta) {
            const QChar c = s_[i];
            if (c == u'\'') {
                const qsizetype fin = finComillas(i, u'\'');
                out += s_.mid(i, fin - i);
                i = fin;
            } else if (c == u'-' && i + 1 < hasta && s_[i + 1] == u'-') {
                qsizetype fin = s_.indexOf(u'\n', i);
                if (fin < 0 || fin > hasta) fin = hasta;
                out += s_.mid(i, fin - i);
                i = fin;
            } else if (c == u'?') {
                out += u'$' + QString::number(++n_);
                ++i;
            } else if (c == u'"' || (letra(c) && !c.isDigit())) {
                const bool comillas = c == u'"';
                const qsizetype fin = comillas ? finComillas(i, u'"') : finPalabra(i);
                const QString palabra =
                    comillas ? s_.mid(i + 1, fin - i - 2)
                                   .replace(QStringLiteral("\"\""), QStringLiteral("\""))
                             : s_.mid(i, fin - i);
                qsizetype abre = fin;
                while (abre < hasta && s_[abre].isSpace()) ++abre;
                QString clave = palabra.toLower();
                if (abre < hasta && s_[abre] == u'(' && esFuncion(clave)) {
                    const qsizetype cierra = parentesis(abre);
                    out += funcion(clave, argumentos(abre + 1, cierra));
                    i = cierra + 1;
                } else if (!comillas && clave == u"like") {
                    out += QStringLiteral("ILIKE");
                    i = fin;
                } else if (!comillas && clave == u"cross" && conOn(fin)) {
                    out += QStringLiteral("INNER");
                    i = fin;
                } else if (comillas) {
                    out += u'"' + clave.replace(u'"', QStringLiteral("\"\"")) + u'"';
                    i = fin;
                } else {
                    out += palabra;
                    i = fin;
                }
            } else if (letra(c)) {  // número o palabra que empieza por cifra
                const qsizetype fin = finPalabra(i);
                out += s_.mid(i, fin - i);
                i = fin;
            } else {
                out += c;
                ++i;
            }
        }
        return out;
    }

    // ¿Sigue a CROSS una unión con ON? En SQLite fija el orden de las tablas; en PostgreSQL,
    // que no admite ON tras CROSS JOIN, es una unión interna.
    bool conOn(qsizetype i) const {
        static const QRegularExpression unionConOn(
            QStringLiteral("\\s+JOIN\\s+[\\w.\"]+\\s+ON\\b"),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::UseUnicodePropertiesOption);
        return unionConOn
            .match(s_, i, QRegularExpression::NormalMatch,
                   QRegularExpression::AnchorAtOffsetMatchOption)
            .hasMatch();
    }

    static bool esFuncion(const QString& clave) {
        return clave == u"ccur" || clave == u"val" || clave == u"right" || clave == u"left" ||
               clave == u"mid" || clave == u"typeof";
    }

    // Posición tras las comillas que cierran las que abren en 'i' (dobladas, se escapan).
    qsizetype finComillas(qsizetype i, QChar q) const {
        qsizetype j = i + 1;
        while (j < s_.size()) {
            if (s_[j] == q) {
                if (j + 1 < s_.size() && s_[j + 1] == q) {
                    j += 2;
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        return s_.size();
    }

    qsizetype finPalabra(qsizetype i) const {
        while (i < s_.size() && letra(s_[i])) ++i;
        return i;
    }

    // Posición del paréntesis que cierra el que abre en 'abre'.
    qsizetype parentesis(qsizetype abre) const {
        int profundidad = 0;
        for (qsizetype j = abre; j < s_.size();) {
            const QChar c = s_[j];
            if (c == u'\'' || c == u'"') {
                j = finComillas(j, c);
                continue;
            }
            if (c == u'(') ++profundidad;
            if (c == u')' && --profundidad == 0) return j;
            ++j;
        }
        return s_.size() - 1;
    }

    // Los argumentos, ya traducidos, separados por las comas de primer nivel.
    QStringList argumentos(qsizetype desde, qsizetype hasta) {
        QStringList args;
        int profundidad = 0;
        qsizetype inicio = desde;
        for (qsizetype j = desde; j < hasta;) {
            const QChar c = s_[j];
            if (c == u'\'' || c == u'"') {
                j = finComillas(j, c);
                continue;
            }
            if (c == u'(') ++profundidad;
            if (c == u')') --profundidad;
            if (c == u',' && profundidad == 0) {
                args << trozo(inicio, j);
                inicio = j + 1;
            }
            ++j;
        }
        args << trozo(inicio, hasta);
        return args;
    }

    static QString funcion(const QString& clave, const QStringList& a) {
        const QString texto = QStringLiteral("CAST((%1) AS text)").arg(a.value(0));
        if (clave == u"ccur")
            // Texto con formato español ("1.234,56"): fuera los puntos de miles, la coma a
            // punto; en diezmilésimas enteras, como la función de SQLite, para sumar exacto.
            // numeric ya admite blancos alrededor y su paso a bigint redondea como round(): sin
            // trim ni round, un millón de importes se leen casi medio segundo antes.
            return QStringLiteral(
                       "CAST(CAST(replace(replace(%1, '.', ''), ',', '.') AS numeric) * 10000 "
                       "AS bigint)")
                .arg(texto);
        if (clave == u"val") {
            // El número con que empieza el texto, saltando blancos; 0 si no empieza por uno.
            const QString deTexto = QStringLiteral(
                                        "COALESCE(CAST(substring(replace(%1, ' ', '') FROM "
                                        "'^[-+]?[0-9]*\\.?[0-9]+') AS numeric), 0)")
                                        .arg(texto);
            // De una columna entera (el número de asiento), el número tal cual: buscarlo en
            // su texto con una expresión regular costaba un segundo por millón de filas al
            // ordenar el Mayor. Solo con columnas: un parámetro no tiene tipo que preguntar.
            static const QRegularExpression columna(QStringLiteral("^\\s*[A-Za-z_][\\w.\"]*\\s*$"));
            if (columna.match(a.value(0)).hasMatch())
                return QStringLiteral(
                           "(CASE WHEN pg_typeof(%1) IN (CAST('integer' AS regtype), "
                           "CAST('bigint' AS regtype), CAST('smallint' AS regtype)) THEN "
                           "CAST(%1 AS numeric) WHEN (%1) IS NULL THEN NULL ELSE %2 END)")
                    .arg(a.value(0), deTexto);
            return QStringLiteral("(CASE WHEN (%1) IS NULL THEN NULL ELSE %2 END)")
                .arg(a.value(0), deTexto);
        }
        if (clave == u"typeof")
            // El tipo con el nombre que le da SQLite. Allí es el de cada valor; aquí, el de la
            // columna: un número en una columna de texto es texto.
            return QStringLiteral(
                       "(CASE WHEN (%1) IS NULL THEN 'null' WHEN pg_typeof(%1) IN ('smallint'::"
                       "regtype, 'integer'::regtype, 'bigint'::regtype) THEN 'integer' WHEN "
                       "pg_typeof(%1) IN ('real'::regtype, 'double precision'::regtype, "
                       "'numeric'::regtype) THEN 'real' WHEN pg_typeof(%1) = 'bytea'::regtype "
                       "THEN 'blob' ELSE 'text' END)")
                .arg(a.value(0));
        if (clave == u"right" || clave == u"left")
            return QStringLiteral("%1(%2, %3)").arg(clave, texto, a.value(1));
        return a.size() > 2 ? QStringLiteral("substr(%1, %2, %3)").arg(texto, a[1], a[2])
                            : QStringLiteral("substr(%1, %2)").arg(texto, a.value(1));
    }

    const QString s_;
    int n_ = 0;
};

// El esquema de los libros, escrito para SQLite: las claves enteras se numeran solas y los
// textos se ordenan y comparan por bytes, como en SQLite, sea cual sea el idioma del servidor.
// CREATE INDEX IF NOT EXISTS bloquea la tabla contra escrituras hasta el final de la
// transacción aunque el índice ya exista: solo se pide si falta, para que una importación no
// haga esperar a quien asienta otra empresa.
QString esquemaParaServidor(QString sql) {
    sql.replace(QStringLiteral("INTEGER PRIMARY KEY"),
                QStringLiteral("INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"));
    sql.replace(QRegularExpression(QStringLiteral("\\bTEXT\\b")),
                QStringLiteral("TEXT COLLATE \"C\""));
    static const QRegularExpression indice(
        QStringLiteral("CREATE (UNIQUE )?INDEX IF NOT EXISTS (\\w+)(\\s+ON\\s[^;]+);"));
    sql.replace(indice, QStringLiteral("DO $$ BEGIN IF to_regclass('\\2') IS NULL THEN CREATE "
                                       "\\1INDEX \\2\\3; END IF; END $$;"));
    return sql;
}

// Valores enlazados como texto y de tipo por deducir: el servidor les da el tipo que pide su
// sitio en la instrucción, como hace SQLite al comparar con una columna.
struct Valores {
    std::vector<QByteArray> textos;
    std::vector<const char*> punteros;

    std::size_t reservar(int indice) {
        const auto i = static_cast<std::size_t>(indice - 1);
        if (textos.size() <= i) {
            textos.resize(i + 1);
            punteros.resize(i + 1, nullptr);
        }
        return i;
    }
    void poner(int indice, const QVariant& v) {
        const std::size_t i = reservar(indice);
        if (v.isNull()) {
            punteros[i] = nullptr;
            return;
        }
        switch (v.typeId()) {
            case QMetaType::Bool:
                textos[i] = v.toBool() ? "1" : "0";
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                textos[i] = QByteArray::number(v.toDouble(), 'g', 17);
                break;
            default:
                textos[i] = v.toString().toUtf8();
        }
        punteros[i] = textos[i].constData();
    }
    void ponerTexto(int indice, QByteArrayView t) {
        const std::size_t i = reservar(indice);
        textos[i] = t.toByteArray();
        punteros[i] = textos[i].constData();
    }
};

Valores valoresDe(const Parametros& params) {
    Valores v;
    for (int i = 0; i < params.size(); ++i) v.poner(i + 1, params[i]);
    return v;
}

// Lo que se espera de más, sobre el plazo de una instrucción, antes de dar por perdido un
// servidor que no contesta: el servidor cancela la instrucción al llegar a su plazo y tarda un
// poco en decirlo.
constexpr int kMargenServidor = 5;
// Silencio tras el que se pregunta si el servidor sigue ahí (milisegundos).
constexpr qint64 kSilencioMs = 10000;

// Clave del cerrojo consultivo de los escritores (pg_advisory_xact_lock): un número fijo, el
// mismo para todos los programas que escriben en los libros.
constexpr qint64 kCerrojoEscritura = 0x4f52564f;  // "ORVO"

QString conexionPerdida() {
    return QStringLiteral(
        "Se ha perdido la conexión con el servidor de contabilidad; compruebe "
        "que sigue en marcha y vuelva a intentarlo");
}

// ¿Escribe la instrucción? Para decir qué permiso falta: el de leer o el de escribir.
bool escribe(const QString& sql) {
    static const QRegularExpression escritura(
        QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|CREATE|DROP|ALTER|TRUNCATE|GRANT)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return escritura.match(sql).hasMatch();
}

// Lo que se le dice a la persona, en una línea en español y sin SQL. El estado (SQLSTATE) dice
// qué pasó; el texto del servidor, en inglés, va a la bitácora.
QString explicar(const QString& estado, const QString& servidor, const QString& tabla,
                 const QString& sql) {
    static const QRegularExpression deTabla(
        QStringLiteral("(?:for (?:table|relation|sequence) |relation \"?)(\\w+)"));
    const QString t = tabla.isEmpty() ? deTabla.match(servidor).captured(1) : tabla;
    const QString enTabla = t.isEmpty() ? QString() : QStringLiteral(" (tabla %1)").arg(t);
    if (estado == u"42501") {
        const bool escritura = escribe(sql) || servidor.contains(QLatin1String("sequence"));
        return QStringLiteral(
                   "El usuario del servidor no tiene permiso para %1 los libros%2; "
                   "pida ese permiso a quien administra el servidor")
            .arg(escritura ? QStringLiteral("escribir en") : QStringLiteral("leer"), enTabla);
    }
    if (estado == u"42P01")
        return QStringLiteral(
                   "A la base de datos del servidor le faltan tablas de los libros%1; "
                   "compruebe que es la base de la contabilidad")
            .arg(enTabla);
    if (estado == u"55P03") return librosBloqueados();
    if (estado == u"57014")
        return QStringLiteral(
                   "El servidor de contabilidad ha tardado más de %1 s en una "
                   "instrucción y la ha cancelado; pruebe más tarde")
            .arg(plazos().instruccion);
    if (estado == u"40P01" || estado == u"40001")
        return QStringLiteral(
            "Otra sesión cambiaba los mismos libros a la vez y no se ha "
            "guardado nada; vuelva a intentarlo");
    if (estado == u"23505")
        return QStringLiteral(
                   "Los libros ya tienen un registro con la misma clave%1; no se ha "
                   "guardado nada")
            .arg(enTabla);
    if (estado.startsWith(u"23"))
        return QStringLiteral(
                   "Un dato no cumple las reglas de los libros%1; no se ha guardado "
                   "nada")
            .arg(enTabla);
    if (estado == u"25006")
        return QStringLiteral(
            "Estos libros son de solo lectura (una réplica del servidor); para "
            "escribir, use la URI del servidor principal");
    if (estado == u"53100")
        return QStringLiteral(
            "El disco del servidor de contabilidad está lleno y no se ha "
            "guardado nada; avise a quien administra el servidor");
    if (estado.startsWith(u"08") || estado.startsWith(u"57P") || estado.isEmpty())
        return conexionPerdida();
    if (estado.startsWith(u"22"))
        return QStringLiteral(
                   "Un dato de los libros no tiene la forma esperada; compruébelos con "
                   "«orvo-informes comprobar» (%1)")
            .arg(detallesEnBitacora());
    return QStringLiteral("El servidor de contabilidad no acepta una instrucción del programa; %1")
        .arg(detallesEnBitacora());
}

}  // namespace

// --- Motor ----------------------------------------------------------------------------------

class MotorPostgres : public Motor {
  public:
    MotorPostgres(PGconn* con, QByteArray uri, QString nombre)
        : con_(con), uri_(std::move(uri)), nombre_(std::move(nombre)) {}
    ~MotorPostgres() override { PQfinish(con_); }

    std::unique_ptr<Filas> ejecutar(const QString& sql, const Parametros& params) override;
    std::unique_ptr<Sentencia> preparar(const QString& sql) override;

    void script(const QString& sql) override {
        const QByteArray texto = esquemaParaServidor(sql).toUtf8();
        PQclear(comprobar(esperar(con_ && PQsendQuery(con_, texto.constData()), sql), sql));
    }

    void transaccion(Paso paso, int nivel) override {
        if (paso == Paso::EmpezarLectura) {
            // Una instantánea de los libros para todo el informe, sin cerrojos: quien asienta
            // no espera, y el informe no ve asientos a medias ni llegados mientras lee.
            orden(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
        } else {
            orden(sqlPaso(paso, nivel));
        }
        // Los cursores abiertos dentro de lo que se cierra o deshace ya no existen.
        if (paso != Paso::Empezar && paso != Paso::EmpezarLectura && paso != Paso::Guardar)
            ++generacion_;
    }

    bool existeTabla(const QString& tabla) override {
        auto filas =
            ejecutar(QStringLiteral("SELECT CASE WHEN to_regclass(?) IS NULL THEN 0 ELSE 1 END"),
                     {tabla.toLower()});
        return filas->avanzar() && filas->entero(0) != 0;
    }

    void reservarEscritura() override {
        // Una réplica no admite escrituras ni este cerrojo: se dice antes de intentarlo.
        const QString sql = QStringLiteral(
                                "SELECT CASE WHEN pg_is_in_recovery() THEN -1 WHEN "
                                "pg_try_advisory_xact_lock(%1) THEN 1 ELSE 0 END")
                                .arg(kCerrojoEscritura);
        const qint64 reserva = entero(sql);
        if (reserva < 0)
            throw ErrorBD(Causa::Servidor, explicar(QStringLiteral("25006"), {}, {}, sql), sql,
                          QStringLiteral("pg_is_in_recovery()"));
        if (reserva == 1) return;
        // Se dice quién escribe antes de esperar: si el plazo se acaba, la transacción ya no
        // admite más consultas.
        const QString quien = escritorActual();
        try {
            orden(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kCerrojoEscritura));
        } catch (const ErrorBD& e) {
            if (!e.descripcion().startsWith(librosBloqueados())) throw;
            throw ErrorBD(Causa::Servidor,
                          QStringLiteral("Los libros están ocupados por otra escritura%1; pruebe "
                                         "más tarde")
                              .arg(quien),
                          e.sql(), e.mensajeMotor());
        }
    }

    // Las secuencias de las columnas de identidad no saben de las claves puestas a mano. Nunca
    // retroceden: otra sesión puede tener ya un número que aún no ha confirmado.
    void ajustarNumeraciones() override {
        std::vector<std::pair<QString, QString>> columnas;
        {
            auto filas = ejecutar(
                QStringLiteral("SELECT c.relname, a.attname FROM pg_attribute a JOIN pg_class c ON "
                               "c.oid = a.attrelid WHERE a.attidentity <> '' AND NOT "
                               "a.attisdropped AND c.relnamespace = "
                               "CAST(current_schema() AS regnamespace) ORDER BY 1"),
                {});
            while (filas->avanzar())
                columnas.emplace_back(filas->valor(0).toString(), filas->valor(1).toString());
        }
        for (const auto& [tabla, columna] : columnas) {
            const Valores v = valoresDe({identificador(tabla), columna});
            const QString sql =
                QStringLiteral(
                    "SELECT setval(CAST(s AS regclass), GREATEST((SELECT "
                    "COALESCE(MAX(%1), 0) FROM %2) + 1, nextval(CAST(s AS regclass))), "
                    "false) FROM pg_get_serial_sequence($1, $2) AS s")
                    .arg(identificador(columna), identificador(tabla));
            PQclear(exec(sql.toUtf8(), 2, &v, sql));
        }
    }

    qint64 filasAfectadas() const override { return afectadas_; }
    QString nombre() const override { return nombre_; }

    // Ejecuta con los valores; lanza ErrorBD con el SQL original si falla.
    PGresult* exec(const QByteArray& texto, int n, const Valores* v, const QString& sql) {
        const bool enviado =
            con_ && PQsendQueryParams(con_, texto.constData(), n, nullptr,
                                      v && n ? v->punteros.data() : nullptr, nullptr, nullptr, 0);
        return comprobar(esperar(enviado, sql), sql);
    }
    void orden(const QString& sql) { PQclear(exec(sql.toUtf8(), 0, nullptr, sql)); }
    qint64 entero(const QString& sql) {
        PGresult* r = exec(sql.toUtf8(), 0, nullptr, sql);
        const qint64 n = PQntuples(r) ? QByteArray(PQgetvalue(r, 0, 0)).toLongLong() : 0;
        PQclear(r);
        return n;
    }

    // El resultado de lo enviado ('enviado' dice si se pudo enviar), sin esperar más que el
    // plazo de la instrucción y un margen: un servidor caído sin que el sistema lo sepa (por un
    // socket local no hay keepalives) se da por perdido, y la conexión se cierra para que ni
    // deshacer la transacción vuelva a esperarlo. Tras cada rato de silencio se pregunta al
    // servidor por otra conexión: si está detenido entero, no se espera al plazo.
    PGresult* esperar(bool enviado, const QString& sql) {
        if (!enviado) return nullptr;
        const int segundos = plazos().instruccion + kMargenServidor;
        const QDeadlineTimer plazo{std::chrono::seconds(segundos)};
        const qint64 silencio = std::min(kSilencioMs, plazos().instruccion * qint64(1000));
        PGresult* resultado = nullptr;
        for (;;) {
            while (PQisBusy(con_)) {
                pollfd p{PQsocket(con_), POLLIN, 0};
                const int n = poll(&p, 1, int(std::min(plazo.remainingTime(), silencio)));
                if (n < 0 && errno == EINTR) continue;
                if (n == 0 && !plazo.hasExpired() && servidorVivo()) continue;
                if (n == 0) {
                    PQclear(resultado);
                    cortar();
                    throw ErrorBD(Causa::Servidor,
                                  QStringLiteral("El servidor de contabilidad no contesta; "
                                                 "compruebe que sigue en marcha y vuelva a "
                                                 "intentarlo"),
                                  sql,
                                  plazo.hasExpired()
                                      ? QStringLiteral("sin respuesta en %1 s").arg(segundos)
                                      : QStringLiteral("el servidor no acepta conexiones"));
                }
                if (!PQconsumeInput(con_)) break;
            }
            PGresult* r = PQgetResult(con_);
            if (!r) break;
            // Como PQexec: el último resultado, salvo que uno anterior sea un error.
            const ExecStatusType e = resultado ? PQresultStatus(resultado) : PGRES_COMMAND_OK;
            if (e == PGRES_FATAL_ERROR || e == PGRES_NONFATAL_ERROR) {
                PQclear(r);
            } else {
                PQclear(resultado);
                resultado = r;
            }
            if (PQstatus(con_) == CONNECTION_BAD) break;
        }
        return resultado;
    }

    // Devuelve 'r' si la instrucción fue bien; si no, lanza ErrorBD.
    PGresult* comprobar(PGresult* r, const QString& sql) {
        const ExecStatusType e = PQresultStatus(r);
        if (r && (e == PGRES_COMMAND_OK || e == PGRES_TUPLES_OK)) {
            afectadas_ = QByteArray(PQcmdTuples(r)).toLongLong();
            return r;
        }
        const auto campo = [r](int c) {
            return QString::fromUtf8(r ? PQresultErrorField(r, c) : nullptr);
        };
        const QString estado = campo(PG_DIAG_SQLSTATE);
        const QString servidor = r ? QString::fromUtf8(PQresultErrorMessage(r)).trimmed()
                                   : (con_ ? QString::fromUtf8(PQerrorMessage(con_)).trimmed()
                                           : QStringLiteral("conexión cerrada"));
        const QString tabla = campo(PG_DIAG_TABLE_NAME);
        PQclear(r);
        throw ErrorBD(Causa::Servidor, explicar(estado, servidor, tabla, sql), sql,
                      estado.isEmpty() ? servidor : estado + QStringLiteral(": ") + servidor);
    }

    bool enTransaccion() const { return PQtransactionStatus(con_) == PQTRANS_INTRANS; }
    quint64 generacion() const { return generacion_; }
    QByteArray nuevoNombre(const char* raiz) { return raiz + QByteArray::number(++nombres_); }
    PGconn* con() const { return con_; }

  private:
    // Quién tiene el cerrojo de los escritores, para decirlo: " (usuario, programa, desde hora)".
    QString escritorActual() {
        auto filas = ejecutar(
            QStringLiteral("SELECT a.usename, a.application_name, to_char(a.xact_start, "
                           "'HH24:MI:SS') FROM pg_locks l JOIN pg_stat_activity a ON a.pid = "
                           "l.pid WHERE l.locktype = 'advisory' AND l.granted AND l.objid = ? "
                           "AND l.database = (SELECT oid FROM pg_database WHERE datname = "
                           "current_database())"),
            {kCerrojoEscritura});
        if (!filas->avanzar()) return {};
        QStringList partes;
        for (int c = 0; c < 2; ++c)
            if (!filas->valor(c).toString().isEmpty()) partes << filas->valor(c).toString();
        if (!filas->valor(2).toString().isEmpty())
            partes << QStringLiteral("desde las %1").arg(filas->valor(2).toString());
        return partes.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(partes.join(u", "));
    }

    void cortar() {
        PQfinish(con_);
        con_ = nullptr;
    }

    // ¿Atiende el servidor una conexión nueva? (PQping no entra: solo pregunta.)
    bool servidorVivo() const {
        const char* claves[] = {"connect_timeout", "dbname", nullptr};
        const char* valores[] = {"5", uri_.constData(), nullptr};
        const PGPing r = PQpingParams(claves, valores, 1);
        return r == PQPING_OK || r == PQPING_REJECT;
    }

    PGconn* con_;
    QByteArray uri_;  // para preguntar si el servidor sigue ahí
    QString nombre_;
    qint64 afectadas_ = 0;
    quint64 generacion_ = 0;
    quint64 nombres_ = 0;
};

// --- Filas ----------------------------------------------------------------------------------

// Dentro de una transacción, las filas llegan por lotes de un cursor del servidor, que permite
// otras consultas mientras se leen; fuera de ella (consultas sueltas y pequeñas), de una vez.
class FilasPostgres : public Filas {
  public:
    FilasPostgres(MotorPostgres& m, QByteArray texto, int n, Valores valores, QString sql)
        : m_(m),
          texto_(std::move(texto)),
          n_(n),
          valores_(std::move(valores)),
          sql_(std::move(sql)) {
        abrir();
    }
    ~FilasPostgres() override {
        try {
            cerrarCursor();
        } catch (...) {
            // Un destructor no puede lanzar; si la conexión falla, lo dirá la siguiente orden.
        }
        PQclear(lote_);
    }

    bool avanzar() override {
        if (++fila_ < PQntuples(lote_)) return true;
        if (agotado_) {
            fila_ = PQntuples(lote_);
            return false;
        }
        traer();
        return ++fila_ < PQntuples(lote_);
    }
    int columnas() const override { return PQnfields(lote_); }
    QString nombre(int i) const override { return QString::fromUtf8(PQfname(lote_, i)); }
    QVariant valor(int i) const override {
        if (PQgetisnull(lote_, fila_, i)) return {};
        const char* t = PQgetvalue(lote_, fila_, i);
        switch (PQftype(lote_, i)) {
            case kBool:
                return QVariant(qlonglong(t[0] == 't' ? 1 : 0));
            case kInt2:
            case kInt4:
            case kInt8:
            case kOid:
                return QVariant(QByteArray(t).toLongLong());
            case kFloat4:
            case kFloat8:
                return QVariant(QByteArray(t).toDouble());
            case kNumeric: {
                // Una suma de enteros es numeric en el servidor y entera en SQLite.
                const QByteArray b(t);
                bool ok = false;
                const qlonglong n = b.toLongLong(&ok);
                return ok ? QVariant(n) : QVariant(b.toDouble());
            }
            default:
                return QString::fromUtf8(t, PQgetlength(lote_, fila_, i));
        }
    }
    QByteArrayView texto(int i) const override {
        if (PQgetisnull(lote_, fila_, i)) return {};
        return QByteArrayView(PQgetvalue(lote_, fila_, i), PQgetlength(lote_, fila_, i));
    }
    qint64 entero(int i) const override {
        if (PQgetisnull(lote_, fila_, i)) return 0;
        return QByteArrayView(PQgetvalue(lote_, fila_, i)).toLongLong();
    }

  private:
    void abrir() {
        PQclear(lote_);
        lote_ = nullptr;
        fila_ = -1;
        if (!m_.enTransaccion()) {
            lote_ = m_.exec(texto_, n_, &valores_, sql_);
            agotado_ = true;
            return;
        }
        if (cursor_.isEmpty()) cursor_ = m_.nuevoNombre("orvo_c");
        PQclear(
            m_.exec("DECLARE " + cursor_ + " NO SCROLL CURSOR FOR " + texto_, n_, &valores_, sql_));
        abierto_ = true;
        generacion_ = m_.generacion();
        agotado_ = false;
        traer();
    }

    void traer() {
        PQclear(lote_);
        lote_ = nullptr;
        fila_ = -1;
        lote_ = m_.exec("FETCH FORWARD " + QByteArray::number(kLote) + " FROM " + cursor_, 0,
                        nullptr, sql_);
        if (PQntuples(lote_) < kLote) {
            agotado_ = true;
            cerrarCursor();
        }
    }

    void cerrarCursor() {
        if (!abierto_) return;
        abierto_ = false;
        // Si la transacción ya acabó (o está fallida), el servidor lo ha cerrado él.
        if (generacion_ == m_.generacion() && m_.enTransaccion())
            PQclear(m_.exec("CLOSE " + cursor_, 0, nullptr, sql_));
    }

    MotorPostgres& m_;
    QByteArray texto_;
    int n_;
    Valores valores_;
    QString sql_;
    QByteArray cursor_;
    PGresult* lote_ = nullptr;
    int fila_ = -1;
    bool agotado_ = true;
    bool abierto_ = false;
    quint64 generacion_ = 0;
};

// --- Sentencia ------------------------------------------------------------------------------

class SentenciaPostgres : public Sentencia {
  public:
    SentenciaPostgres(MotorPostgres& m, const QString& sql) : m_(m), sql_(sql) {
        const QByteArray texto = Traductor(sql).traducir(&n_).toUtf8();
        nombre_ = m_.nuevoNombre("orvo_s");
        PGconn* con = m_.con();
        PQclear(m_.comprobar(m_.esperar(con && PQsendPrepare(con, nombre_.constData(),
                                                             texto.constData(), n_, nullptr),
                                        sql_),
                             sql_));
        for (int i = 1; i <= n_; ++i) valores_.poner(i, QVariant());
    }
    ~SentenciaPostgres() override {
        // Una transacción fallida no admite ni esto, ni una conexión cortada; el nombre no se
        // repite.
        const PGTransactionStatusType t = PQtransactionStatus(m_.con());
        if (t != PQTRANS_INERROR && t != PQTRANS_UNKNOWN) {
            try {
                m_.orden(QStringLiteral("DEALLOCATE ") + QString::fromLatin1(nombre_));
            } catch (...) {
                // Un destructor no puede lanzar; si la conexión falla, lo dirá la siguiente orden.
            }
        }
    }
    int parametros() const override { return n_; }
    void enlazar(int indice, const QVariant& v) override { valores_.poner(indice, v); }
    void enlazarTexto(int indice, QByteArrayView utf8) override {
        valores_.ponerTexto(indice, utf8);
    }
    void enlazarEntero(int indice, qint64 v) override { valores_.poner(indice, QVariant(v)); }
    void ejecutar() override {
        PGconn* con = m_.con();
        PQclear(m_.comprobar(
            m_.esperar(con && PQsendQueryPrepared(con, nombre_.constData(), n_,
                                                  n_ ? valores_.punteros.data() : nullptr, nullptr,
                                                  nullptr, 0),
                       sql_),
            sql_));
    }

  private:
    MotorPostgres& m_;
    QString sql_;
    QByteArray nombre_;
    int n_ = 0;
    Valores valores_;
};

std::unique_ptr<Filas> MotorPostgres::ejecutar(const QString& sql, const Parametros& params) {
    int n = 0;
    const QByteArray texto = Traductor(sql).traducir(&n).toUtf8();
    if (n != params.size())
        throw ErrorBD(Causa::ParametrosNoCoinciden,
                      QStringLiteral("La instrucción espera %1 parámetros y recibe %2")
                          .arg(n)
                          .arg(params.size()),
                      sql);
    // Las consultas empiezan así; lo demás no devuelve filas.
    static const QRegularExpression consulta(QStringLiteral("^\\s*(SELECT|WITH|VALUES)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (consulta.match(sql).hasMatch())
        return std::make_unique<FilasPostgres>(*this, texto, n, valoresDe(params), sql);
    const Valores v = valoresDe(params);
    PQclear(exec(texto, n, &v, sql));
    return nullptr;
}

std::unique_ptr<Sentencia> MotorPostgres::preparar(const QString& sql) {
    return std::make_unique<SentenciaPostgres>(*this, sql);
}

// --- Conexión -------------------------------------------------------------------------------

namespace {

QString motivoConexion(const QString& libpq) {
    if (libpq.contains(QLatin1String("password")) ||
        libpq.contains(QLatin1String("authentication failed")))
        return QStringLiteral("el servidor no acepta el usuario o la contraseña");
    if (libpq.contains(QLatin1String("database")) &&
        libpq.contains(QLatin1String("does not exist")))
        return QStringLiteral("no existe esa base de datos en el servidor");
    if (libpq.contains(QLatin1String("role")) && libpq.contains(QLatin1String("does not exist")))
        return QStringLiteral("no existe ese usuario en el servidor");
    if (libpq.contains(QLatin1String("timeout"))) return QStringLiteral("el servidor no responde");
    return QStringLiteral("el servidor no está disponible");
}

// Nombre de la sesión en el servidor (pg_stat_activity), que se dice a quien espera a otra
// escritura: el programa y su orden ("orvo-informes importar").
QByteArray nombreSesion() {
    QString nombre = QStringLiteral("orvo");
    if (QCoreApplication::instance()) {
        const QStringList a = QCoreApplication::arguments();
        nombre = QCoreApplication::applicationName();
        static const QRegularExpression orden(QStringLiteral("^[A-Za-z]+$"));
        if (a.size() > 1 && orden.match(a[1]).hasMatch()) nombre += u' ' + a[1];
    }
    return nombre.toUtf8().left(63);
}

}  // namespace

std::unique_ptr<Motor> abrirPostgres(const QString& uri) {
    const QByteArray u = uri.toUtf8();
    const QByteArray sesion = nombreSesion();
    const Plazos p = plazos();
    // Primero el plazo y las opciones, para que la URI pueda cambiarlos; después la codificación,
    // que no. Un informe lee todas las filas de su cursor: con la fracción de 0,1 que el servidor
    // supone para un cursor, el Mayor de un millón de apuntes iba por índices, apunte a apunte, en
    // vez de juntar las tablas de una vez; y su orden cabe en memoria en vez de ir a disco. Nadie
    // espera para siempre: a un cerrojo, lock_timeout; a una instrucción, statement_timeout; a un
    // servidor caído al otro lado de la red, los keepalives de TCP y tcp_user_timeout (un minuto).
    const QByteArray opciones =
        QStringLiteral(
            "-c cursor_tuple_fraction=1 -c work_mem=64MB -c lock_timeout=%1s "
            "-c statement_timeout=%2s")
            .arg(p.cerrojos)
            .arg(p.instruccion)
            .toUtf8();
    const char* claves[] = {"connect_timeout",
                            "application_name",
                            "options",
                            "keepalives",
                            "keepalives_idle",
                            "keepalives_interval",
                            "keepalives_count",
                            "tcp_user_timeout",
                            "dbname",
                            "client_encoding",
                            nullptr};
    const char* valores[] = {"5",
                             sesion.constData(),
                             opciones.constData(),
                             "1",
                             "20",
                             "10",
                             "3",
                             "60000",
                             u.constData(),
                             "UTF8",
                             nullptr};
    PGconn* con = PQconnectdbParams(claves, valores, 1);
    const QString nombre = Conexion::sinContrasena(uri);
    if (!con || PQstatus(con) != CONNECTION_OK) {
        const QString libpq =
            QString::fromUtf8(con ? PQerrorMessage(con) : "sin memoria").trimmed();
        PQfinish(con);
        const QString mensaje = QStringLiteral("No se puede conectar con %1: %2")
                                    .arg(nombre, motivoConexion(libpq.section(u'\n', 0, 0)));
        Bitacora::anotar(mensaje, libpq, {});
        throw ErrorOrvo(Causa::Servidor, mensaje);
    }
    // Los avisos del servidor ("NOTICE: …") no son para el usuario: los errores sí llegan.
    PQsetNoticeProcessor(
        con, [](void*, const char*) {}, nullptr);
    return std::make_unique<MotorPostgres>(con, u, nombre);
}

}  // namespace orvo::motorbd
