#include "Lectores.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <deque>

namespace orvo::Importacion {

namespace {

int cifra(QChar c) {
    return c.unicode() - u'0';
}
int cifra(char c) {
    return c - '0';
}

template <class Vista>
std::optional<Moneda> leerImporte(Vista t, char decimal, char miles) {
    t = t.trimmed();
    if (t.isEmpty()) return std::nullopt;
    qsizetype i = 0;
    bool negativo = false;
    if (t[0] == '-' || t[0] == '+') {
        negativo = t[0] == '-';
        ++i;
    }
    std::int64_t entero = 0, fraccion = 0;
    int cifrasFraccion = 0;
    bool enFraccion = false, cifras = false;
    for (; i < t.size(); ++i) {
        const auto c = t[i];
        if (c >= '0' && c <= '9') {
            cifras = true;
            const int d = cifra(c);
            if (enFraccion) {
                if (cifrasFraccion == 2) return std::nullopt;
                fraccion = fraccion * 10 + d;
                ++cifrasFraccion;
            } else {
                if (entero > 100'000'000'000'000LL) return std::nullopt;
                entero = entero * 10 + d;
            }
        } else if (c == miles && !enFraccion) {
            continue;
        } else if (c == decimal && !enFraccion) {
            enFraccion = true;
        } else {
            return std::nullopt;
        }
    }
    if (!cifras) return std::nullopt;
    if (cifrasFraccion == 1) fraccion *= 10;
    const auto v = Moneda::deDiezmilesimas(entero * Moneda::kEscala + fraccion * 100);
    return negativo ? -v : v;
}

template <class Vista>
QDate leerFecha(Vista t) {
    t = t.trimmed();
    const auto numero = [&](qsizetype desde, qsizetype largo) {
        int n = 0;
        for (qsizetype i = desde; i < desde + largo; ++i) {
            if (i >= t.size() || t[i] < '0' || t[i] > '9') return -1;
            n = n * 10 + cifra(t[i]);
        }
        return n;
    };
    if (t.size() == 10 && t[2] == '/' && t[5] == '/')
        return QDate(numero(6, 4), numero(3, 2), numero(0, 2));
    if (t.size() == 10 && (t[4] == '-' || t[4] == '/' || t[4] == '.') && t[7] == t[4])
        return QDate(numero(0, 4), numero(5, 2), numero(8, 2));
    return QDate();
}

// Nombre de columna sin acentos y en minúsculas: "Descripción" y "descripcion" son la misma.
QString normalizar(QString s) {
    s = s.trimmed().toLower();
    const QString con = QStringLiteral("áéíóú"), sin = QStringLiteral("aeiou");
    for (int i = 0; i < con.size(); ++i) s.replace(con[i], sin[i]);
    return s;
}

// Campos de una línea CSV separados por ';', con comillas dobles opcionales. Los campos sin
// comillas son vistas de la línea; los entrecomillados se copian sin las comillas a 'copias'.
void partir(const QByteArray& linea, std::vector<QByteArrayView>& campos,
            std::deque<QByteArray>& copias) {
    campos.clear();
    copias.clear();
    qsizetype i = 0;
    const qsizetype n = linea.size();
    while (true) {
        if (i < n && linea[i] == '"') {
            QByteArray campo;
            ++i;
            while (i < n) {
                if (linea[i] == '"') {
                    if (i + 1 < n && linea[i + 1] == '"') {
                        campo += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                campo += linea[i++];
            }
            while (i < n && linea[i] != ';') ++i;
            // Un deque no mueve sus elementos al crecer: la vista sigue valiendo.
            copias.push_back(std::move(campo));
            campos.push_back(QByteArrayView(copias.back()));
        } else {
            const qsizetype fin = linea.indexOf(';', i);
            const qsizetype hasta = fin < 0 ? n : fin;
            campos.push_back(QByteArrayView(linea.constData() + i, hasta - i));
            i = hasta;
        }
        if (i >= n) break;
        ++i;  // el ';'
        if (i == n) {
            campos.push_back(QByteArrayView());
            break;
        }
    }
}

QByteArray sinFinDeLinea(QByteArray l) {
    while (!l.isEmpty() && (l.endsWith('\n') || l.endsWith('\r'))) l.chop(1);
    return l;
}

enum Columna { kFecha, kAsiento, kCuenta, kConcepto, kDebe, kHaber, kDescripcion, kNif, kFactura,
               kContrapartida, kBase, kIva, kRecargo, kColumnas };
const char* const kNombres[kColumnas] = {"Fecha",       "Asiento", "Cuenta",  "Concepto",
                                         "Debe",        "Haber",   "Descripcion", "NIF",
                                         "Factura",     "Contrapartida", "Base", "IVA", "Recargo"};
constexpr int kObligatorias = kDescripcion;

}  // namespace

std::optional<Moneda> importeEuros(QStringView texto, bool espanol) {
    return espanol ? leerImporte(texto, ',', '.') : leerImporte(texto, '.', ',');
}

QDate fechaDeTexto(QStringView texto) {
    return leerFecha(texto);
}

void leerCsv(const QString& ruta, const Receptor& receptor,
             const std::function<void(qint64)>& avance) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
    std::vector<QByteArrayView> campos;
    std::deque<QByteArray> copias;
    QByteArray cabecera = sinFinDeLinea(f.readLine());
    if (cabecera.startsWith("\xEF\xBB\xBF")) cabecera.remove(0, 3);
    partir(cabecera, campos, copias);
    int posicion[kColumnas];
    std::fill(std::begin(posicion), std::end(posicion), -1);
    for (std::size_t i = 0; i < campos.size(); ++i) {
        const QString nombre = normalizar(QString::fromUtf8(campos[i]));
        for (int c = 0; c < kColumnas; ++c)
            if (nombre == normalizar(QString::fromLatin1(kNombres[c]))) posicion[c] = int(i);
    }
    int necesarios = 0;
    for (int c = 0; c < kColumnas; ++c) {
        if (c < kObligatorias && posicion[c] < 0)
            throw ErrorEntrada(ruta, 1, QStringLiteral("falta la columna %1")
                                            .arg(QString::fromLatin1(kNombres[c])));
        necesarios = std::max(necesarios, posicion[c] + 1);
    }
    const qint64 inicioDatos = f.pos();

    // Formato de los importes, decidido una vez: español si algún importe lleva coma decimal
    // o un punto que no separa miles; simple en cuanto uno lleva punto decimal.
    bool espanol = true;
    for (bool decidido = false; !decidido && !f.atEnd();) {
        const QByteArray l = sinFinDeLinea(f.readLine());
        partir(l, campos, copias);
        for (int c : {kDebe, kHaber, kBase}) {
            if (posicion[c] < 0 || std::size_t(posicion[c]) >= campos.size()) continue;
            const QByteArrayView t = campos[posicion[c]];
            const qsizetype coma = t.lastIndexOf(','), punto = t.lastIndexOf('.');
            if (coma < 0 && punto < 0) continue;
            decidido = true;
            espanol = coma > punto || (coma < 0 && t.trimmed().size() - punto - 1 == 3);
            break;
        }
    }
    f.seek(inicioDatos);

    AsientoLeido actual;
    bool hayActual = false;
    int linea = 1;
    const auto campo = [&](int c) -> QByteArrayView {
        return posicion[c] < 0 ? QByteArrayView() : campos[posicion[c]].trimmed();
    };
    const auto texto = [&](int c) { return QString::fromUtf8(campo(c)); };
    const auto importe = [&](int c) {
        const QByteArrayView t = campo(c);
        if (t.isEmpty()) return Moneda();
        const auto m = espanol ? leerImporte(t, ',', '.') : leerImporte(t, '.', ',');
        if (!m)
            throw ErrorEntrada(ruta, linea,
                               QStringLiteral("importe no válido en %1: %2")
                                   .arg(QString::fromLatin1(kNombres[c]), QString::fromUtf8(t)));
        return *m;
    };
    qint64 leidos = inicioDatos;
    while (!f.atEnd()) {
        const QByteArray bruta = f.readLine();
        ++linea;
        leidos += bruta.size();
        if (avance && linea % 4096 == 0) avance(leidos);
        const QByteArray l = sinFinDeLinea(bruta);
        if (l.trimmed().isEmpty()) continue;
        partir(l, campos, copias);
        if (int(campos.size()) < necesarios)
            throw ErrorEntrada(ruta, linea, QStringLiteral("faltan columnas: hay %1 y se esperan %2")
                                                .arg(campos.size())
                                                .arg(necesarios));
        const QDate fecha = leerFecha(campo(kFecha));
        if (!fecha.isValid())
            throw ErrorEntrada(ruta, linea, QStringLiteral("fecha imposible: %1").arg(texto(kFecha)));
        bool ok = false;
        const qint64 numero = campo(kAsiento).toLongLong(&ok);
        if (!ok || numero <= 0)
            throw ErrorEntrada(ruta, linea, QStringLiteral("número de asiento no válido: %1")
                                                .arg(texto(kAsiento)));
        if (hayActual && actual.numero != numero) {
            receptor(std::move(actual));
            hayActual = false;
        }
        if (!hayActual) {
            actual = AsientoLeido{ruta, linea, numero, fecha, {}};
            hayActual = true;
        } else if (actual.fecha != fecha) {
            throw ErrorEntrada(ruta, linea, QStringLiteral("el asiento %1 tiene otra fecha en la línea %2")
                                                .arg(numero)
                                                .arg(actual.linea));
        }
        ApunteLeido a;
        a.linea = linea;
        a.subcuenta = texto(kCuenta);
        a.concepto = texto(kConcepto);
        a.debe = importe(kDebe);
        a.haber = importe(kHaber);
        a.nombreCuenta = texto(kDescripcion);
        a.nif = texto(kNif);
        a.factura = texto(kFactura);
        a.contrapartida = texto(kContrapartida);
        if (!campo(kBase).isEmpty()) a.base = importe(kBase);
        a.iva = texto(kIva);
        a.recargo = texto(kRecargo);
        actual.apuntes.push_back(std::move(a));
    }
    if (hayActual) receptor(std::move(actual));
}

// --- Diario de texto ---------------------------------------------------------------------------

namespace {

class LectorDiario {
  public:
    LectorDiario(const Receptor& receptor, QStringList& avisos,
                 const std::function<void(qint64)>& avance)
        : receptor_(receptor), avisos_(avisos), avance_(avance) {}

    void leer(const QString& ruta, int profundidad) {
        if (profundidad > 20)
            throw ErrorEntrada(ruta, 0, QStringLiteral("demasiados include anidados"));
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly))
            throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
        ruta_ = ruta;
        int linea = 0;
        bool omitir = false, bloqueComentario = false;
        while (!f.atEnd()) {
            const QByteArray bruta = f.readLine();
            ++linea;
            leidos_ += bruta.size();
            if (avance_ && linea % 4096 == 0) avance_(leidos_);
            linea_ = linea;
            const QString l = QString::fromUtf8(sinFinDeLinea(bruta));
            const QString t = l.trimmed();
            if (bloqueComentario) {
                if (t == u"end comment") bloqueComentario = false;
                continue;
            }
            if (t.isEmpty()) {
                terminar();
                omitir = false;
                continue;
            }
            const QChar c = l[0];
            if (c == u' ' || c == u'\t') {
                if (omitir || t.startsWith(u';') || t.startsWith(u'#')) continue;
                if (!hay_) throw error(QStringLiteral("apunte fuera de un asiento"));
                apunte(t);
                continue;
            }
            terminar();
            omitir = false;
            if (QStringLiteral(";#*%|").contains(c)) continue;
            if (c.isDigit()) {
                cabecera(t);
            } else if (c == u'~' || c == u'=') {
                avisos_ << QStringLiteral("%1, línea %2: asiento %3, no se importa")
                               .arg(ruta)
                               .arg(linea)
                               .arg(c == u'~' ? QStringLiteral("periódico")
                                              : QStringLiteral("automático"));
                omitir = true;
            } else if (t.startsWith(QLatin1String("include "))) {
                const QString destino = QFileInfo(ruta).dir().filePath(t.mid(8).trimmed());
                leer(destino, profundidad + 1);
                ruta_ = ruta;
            } else if (t == u"comment") {
                bloqueComentario = true;
            } else if (t.startsWith(QLatin1String("decimal-mark "))) {
                coma_ = t.mid(13).trimmed() == u",";
                decimalFijado_ = true;
            } else if (t.startsWith(QLatin1String("Y ")) || t.startsWith(QLatin1String("year "))) {
                ano_ = t.section(u' ', 1, 1).toInt();
            } else {
                omitir = true;  // otras directivas (account, commodity, P…) y sus líneas
            }
        }
        terminar();
    }

  private:
    ErrorEntrada error(const QString& razon) const { return ErrorEntrada(ruta_, linea_, razon); }

    void cabecera(const QString& t) {
        qsizetype fin = 0;
        while (fin < t.size() && !t[fin].isSpace()) ++fin;
        QString fecha = t.left(fin).section(u'=', 0, 0);
        if (fecha.size() <= 5 && ano_ > 0) fecha = QString::number(ano_) + u'-' + fecha;
        fecha.replace(u'/', u'-').replace(u'.', u'-');
        // Meses y días de una cifra ("2024-1-5") también valen en estos diarios.
        const QStringList partes = fecha.split(u'-');
        QDate d;
        if (partes.size() == 3)
            d = QDate(partes[0].toInt(), partes[1].toInt(), partes[2].toInt());
        if (partes.size() != 3 || partes[0].size() != 4 || !d.isValid())
            throw error(QStringLiteral("fecha imposible: %1").arg(t.left(fin)));
        actual_ = AsientoLeido{ruta_, linea_, std::nullopt, d, {}};
        hay_ = true;
        sinImporte_ = -1;
        QString resto = t.mid(fin).trimmed();
        if (resto.startsWith(u'*') || resto.startsWith(u'!')) resto = resto.mid(1).trimmed();
        if (resto.startsWith(u'(')) {
            const qsizetype cierre = resto.indexOf(u')');
            if (cierre < 0) throw error(QStringLiteral("falta el ')' del código"));
            bool ok = false;
            const qint64 n = resto.mid(1, cierre - 1).trimmed().toLongLong(&ok);
            if (!ok || n <= 0)
                throw error(QStringLiteral("el código %1 no es un número de asiento")
                                .arg(resto.left(cierre + 1)));
            actual_.numero = n;
            resto = resto.mid(cierre + 1).trimmed();
        }
        const qsizetype comentario = resto.indexOf(u';');
        concepto_ = (comentario < 0 ? resto : resto.left(comentario)).trimmed();
    }

    void apunte(QString t) {
        const qsizetype comentario = t.indexOf(u';');
        if (comentario >= 0) t = t.left(comentario).trimmed();
        if (t.startsWith(u'*') || t.startsWith(u'!')) t = t.mid(1).trimmed();
        qsizetype corte = t.indexOf(QLatin1String("  "));
        const qsizetype tab = t.indexOf(u'\t');
        if (tab >= 0 && (corte < 0 || tab < corte)) corte = tab;
        const QString cuenta = (corte < 0 ? t : t.left(corte)).trimmed();
        QString importe = corte < 0 ? QString() : t.mid(corte).trimmed();
        if (cuenta.startsWith(u'(') || cuenta.startsWith(u'['))
            throw error(QStringLiteral("apunte virtual %1: no se importa").arg(cuenta));
        const qsizetype aserto = importe.indexOf(u'=');
        if (aserto >= 0) importe = importe.left(aserto).trimmed();
        if (importe.contains(u'@'))
            throw error(QStringLiteral("precio o cambio de moneda: solo se importan euros"));

        ApunteLeido a;
        a.linea = linea_;
        a.concepto = concepto_;
        const QString segmento = cuenta.section(u':', -1).trimmed();
        qsizetype cifras = 0;
        while (cifras < segmento.size() && segmento[cifras].isDigit()) ++cifras;
        if (cifras == 0)
            throw error(QStringLiteral("la cuenta %1 no empieza su último tramo por un código")
                            .arg(cuenta));
        a.subcuenta = segmento.left(cifras);
        a.nombreCuenta = segmento.mid(cifras).trimmed();
        if (importe.isEmpty()) {
            if (sinImporte_ >= 0) throw error(QStringLiteral("dos apuntes sin importe en un asiento"));
            sinImporte_ = qsizetype(actual_.apuntes.size());
        } else {
            const Moneda m = euros(importe);
            (m < Moneda() ? a.haber : a.debe) = m < Moneda() ? -m : m;
        }
        actual_.apuntes.push_back(std::move(a));
    }

    // Importe sin moneda, con € o con EUR delante o detrás; cualquier otra moneda es un error.
    Moneda euros(QString t) const {
        QString signo;
        if (t.startsWith(u'-')) {
            signo = QStringLiteral("-");
            t = t.mid(1).trimmed();
        }
        for (const QString& moneda : {QStringLiteral("EUR"), QStringLiteral("€")}) {
            if (t.startsWith(moneda)) t = t.mid(moneda.size()).trimmed();
            else if (t.endsWith(moneda)) t = t.chopped(moneda.size()).trimmed();
        }
        for (QChar c : t)
            if (!c.isDigit() && c != u'.' && c != u',' && c != u'-' && c != u'+')
                throw error(QStringLiteral("moneda desconocida en %1: solo se importan euros")
                                .arg(t));
        // Sin directiva decimal-mark, como en estos diarios: con punto y coma, el último es el
        // decimal; un separador que aparece una sola vez, también.
        bool coma = coma_;
        if (!decimalFijado_) {
            const qsizetype ultimaComa = t.lastIndexOf(u','), ultimoPunto = t.lastIndexOf(u'.');
            coma = ultimaComa > ultimoPunto && (ultimoPunto >= 0 || t.count(u',') == 1);
        }
        const auto m = coma ? leerImporte(QStringView(signo + t), ',', '.')
                            : leerImporte(QStringView(signo + t), '.', ',');
        if (!m) throw error(QStringLiteral("importe no válido: %1").arg(signo + t));
        return *m;
    }

    void terminar() {
        if (!hay_) return;
        hay_ = false;
        if (sinImporte_ >= 0) {
            Moneda saldo;
            for (const ApunteLeido& a : actual_.apuntes) saldo += a.debe - a.haber;
            ApunteLeido& a = actual_.apuntes[std::size_t(sinImporte_)];
            (saldo > Moneda() ? a.haber : a.debe) = saldo > Moneda() ? saldo : -saldo;
        }
        receptor_(std::move(actual_));
    }

    const Receptor& receptor_;
    QStringList& avisos_;
    const std::function<void(qint64)>& avance_;
    QString ruta_;
    int linea_ = 0;
    qint64 leidos_ = 0;
    bool coma_ = false, decimalFijado_ = false;
    int ano_ = 0;
    AsientoLeido actual_;
    bool hay_ = false;
    qsizetype sinImporte_ = -1;
    QString concepto_;
};

}  // namespace

void leerDiario(const QString& ruta, const Receptor& receptor, QStringList& avisos,
                const std::function<void(qint64)>& avance) {
    LectorDiario(receptor, avisos, avance).leer(ruta, 0);
}

}  // namespace orvo::Importacion
