// Lo común a todos los archivos de entrada: su codificación y su huella, los importes y la
// lista de problemas.
#include <openssl/evp.h>

#include <QFile>
#include <cstring>
#include <memory>

#include "Lectores.h"

namespace orvo::Importacion {

// --- Problemas ---------------------------------------------------------------------------------

void Problemas::anadir(const QString& archivo, int linea, const QString& razon) {
    if (++total_ <= kMaximo) lineas_ << ErrorEntrada::texto(archivo, linea, razon);
}

void Problemas::anadir(const ErrorOrvo& e) {
    if (++total_ <= kMaximo) lineas_ << e.descripcion();
}

void Problemas::comprobar() const {
    if (total_ == 0) return;
    if (total_ == 1) throw ErrorOrvo(Causa::TiposNoCoinciden, lineas_.front());
    QStringList texto = lineas_;
    texto << (total_ > kMaximo
                  ? QStringLiteral("%1 problemas (se muestran los %2 primeros): no se ha "
                                   "importado nada; corríjalos y vuelva a importar.")
                        .arg(total_)
                        .arg(kMaximo)
                  : QStringLiteral("%1 problemas: no se ha importado nada; corríjalos y vuelva "
                                   "a importar.")
                        .arg(total_));
    throw ErrorOrvo(Causa::TiposNoCoinciden, texto.join(u'\n'));
}

void Problemas::traspasar(Problemas& destino) {
    for (const QString& l : std::as_const(lineas_))
        if (destino.lineas_.size() < kMaximo) destino.lineas_ << l;
    destino.total_ += total_;
    lineas_.clear();
    total_ = 0;
}

// --- Codificación ------------------------------------------------------------------------------

namespace {

// Valida UTF-8 a trozos: un carácter puede quedar partido entre dos lecturas.
class ValidadorUtf8 {
  public:
    void anadir(const unsigned char* p, qsizetype n) {
        for (qsizetype i = 0; valido_ && i < n;) {
            if (pendientes_ == 0) {
                // Casi todo es ASCII: de ocho en ocho bytes mientras ninguno pase de 0x7F.
                while (i + 8 <= n) {
                    std::uint64_t v;
                    std::memcpy(&v, p + i, 8);
                    if (v & 0x8080808080808080ULL) break;
                    i += 8;
                }
                if (i >= n) break;
            }
            const unsigned char c = p[i++];
            if (pendientes_ > 0) {
                if (c < minimo_ || c > maximo_) valido_ = false;
                minimo_ = 0x80;
                maximo_ = 0xBF;
                --pendientes_;
            } else if (c >= 0x80) {
                empezar(c);
            }
        }
    }
    bool valido() const { return valido_ && pendientes_ == 0; }

  private:
    // Primer byte de una secuencia: cuántos le siguen y, para los que admiten formas largas o
    // suplentes, el rango del segundo.
    void empezar(unsigned char c) {
        if (c >= 0xC2 && c <= 0xDF) pendientes_ = 1;
        else if (c == 0xE0) pendientes_ = 2, minimo_ = 0xA0;
        else if (c == 0xED) pendientes_ = 2, maximo_ = 0x9F;
        else if (c >= 0xE1 && c <= 0xEF) pendientes_ = 2;
        else if (c == 0xF0) pendientes_ = 3, minimo_ = 0x90;
        else if (c >= 0xF1 && c <= 0xF3) pendientes_ = 3;
        else if (c == 0xF4) pendientes_ = 3, maximo_ = 0x8F;
        else valido_ = false;
    }
    int pendientes_ = 0;
    unsigned char minimo_ = 0x80, maximo_ = 0xBF;
    bool valido_ = true;
};

// Windows-1252 de 0x80 a 0x9F (0: el byte no es un carácter); el resto coincide con Latin-1.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int lineaDe(const QString& ruta, qint64 posicion) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray antes = f.read(posicion);
    return int(antes.count('\n')) + 1;
}

}  // namespace

Sondeo sondear(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
    Sondeo s;
    // SHA-256 de OpenSSL, que usa las instrucciones del procesador: la de Qt costaba casi un
    // tercio de la importación de un millón de líneas.
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> sha(EVP_MD_CTX_new(),
                                                                        &EVP_MD_CTX_free);
    const auto falloHuella = [&] {
        return ErrorEntrada(ruta, 0, QStringLiteral("no se puede calcular la huella del archivo"));
    };
    if (!sha || EVP_DigestInit_ex(sha.get(), EVP_sha256(), nullptr) != 1) throw falloHuella();
    ValidadorUtf8 utf8;
    QByteArray trozo(1 << 20, Qt::Uninitialized);
    for (qint64 leido; (leido = f.read(trozo.data(), trozo.size())) > 0;) {
        const auto* p = reinterpret_cast<const unsigned char*>(trozo.constData());
        if (s.tamano == 0 && leido >= 2 &&
            ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF)))
            throw ErrorEntrada(ruta, 1, QStringLiteral("el archivo está en UTF-16: guárdelo en "
                                                       "UTF-8 (o Windows-1252) y vuelva a "
                                                       "importarlo"));
        if (const void* nulo = std::memchr(p, 0, std::size_t(leido)))
            throw ErrorEntrada(
                ruta, lineaDe(ruta, s.tamano + (static_cast<const unsigned char*>(nulo) - p)),
                QStringLiteral("byte nulo: el archivo no es de texto o está en UTF-16; guárdelo "
                               "en UTF-8"));
        if (EVP_DigestUpdate(sha.get(), trozo.constData(), std::size_t(leido)) != 1)
            throw falloHuella();
        utf8.anadir(p, leido);
        s.tamano += leido;
    }
    s.codificacion = utf8.valido() ? Codificacion::Utf8 : Codificacion::Windows1252;
    unsigned char huella[EVP_MAX_MD_SIZE];
    unsigned int largo = 0;
    if (EVP_DigestFinal_ex(sha.get(), huella, &largo) != 1) throw falloHuella();
    s.huella = QByteArray(reinterpret_cast<const char*>(huella), int(largo)).toHex();
    return s;
}

QString nombreCodificacion(Codificacion c) {
    return c == Codificacion::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
}

std::optional<QString> decodificar(QByteArrayView bytes, Codificacion c) {
    if (c == Codificacion::Utf8) return QString::fromUtf8(bytes);
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* d = s.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u < 0xA0) {
            if (kWindows1252[u - 0x80] == 0) return std::nullopt;
            *d++ = QChar(kWindows1252[u - 0x80]);
        } else {
            *d++ = QChar(u);
        }
    }
    return s;
}

// --- Importes ----------------------------------------------------------------------------------

void FormatoImportes::fijar(char decimal, int linea) {
    decimal_ = decimal;
    establecido_ = true;
    linea_ = linea;
}

Moneda FormatoImportes::leer(QStringView texto, const QString& archivo, int linea) {
    return leerVista(texto, archivo, linea);
}
Moneda FormatoImportes::leer(QByteArrayView texto, const QString& archivo, int linea) {
    return leerVista(texto, archivo, linea);
}

namespace {

int cifra(QChar c) {
    return c.unicode() - u'0';
}
int cifra(char c) {
    return c - '0';
}
QChar caracter(QChar c) {
    return c;
}
QChar caracter(char c) {
    return QChar(static_cast<unsigned char>(c));
}

QString nombreDecimal(char decimal) {
    return decimal == ',' ? QStringLiteral("coma decimal") : QStringLiteral("punto decimal");
}

}  // namespace

template <class Vista>
Moneda FormatoImportes::leerVista(Vista t, const QString& archivo, int linea) {
    t = t.trimmed();
    const auto comoTexto = [&] {
        QString texto;
        for (auto c : t) texto += caracter(c);
        return texto;
    };
    const auto noValido = [&] {
        return ErrorEntrada(archivo, linea,
                            QStringLiteral("importe no válido: %1").arg(comoTexto()));
    };
    qsizetype i = 0;
    bool negativo = false;
    if (!t.isEmpty() && (t[0] == '-' || t[0] == '+')) {
        negativo = t[0] == '-';
        ++i;
    }
    // Dónde están los separadores, y cuántos de cada uno.
    qsizetype comas = 0, puntos = 0, ultimaComa = -1, ultimoPunto = -1;
    for (qsizetype k = i; k < t.size(); ++k) {
        const auto c = t[k];
        if (c == ',') ++comas, ultimaComa = k;
        else if (c == '.') ++puntos, ultimoPunto = k;
        else if (c < '0' || c > '9') throw noValido();
    }
    if (i == t.size()) throw noValido();
    char marca = 0;  // el separador decimal que el propio importe dice, o 0
    bool ambiguo = false;
    if (comas > 0 && puntos > 0) {
        marca = ultimaComa > ultimoPunto ? ',' : '.';
    } else if (comas + puntos > 1) {
        marca = comas > 0 ? '.' : ',';  // un separador repetido es el de miles
    } else if (comas + puntos == 1) {
        const qsizetype pos = comas ? ultimaComa : ultimoPunto;
        marca = comas ? ',' : '.';
        ambiguo = t.size() - pos - 1 == 3;
    }
    if (marca != 0 && ambiguo && decimal_ == 0) {
        decimal_ = supuesto_ ? supuesto_ : marca;
        linea_ = linea;
    } else if (marca != 0 && !ambiguo) {
        if (decimal_ == 0) {
            fijar(marca, linea);
        } else if (decimal_ != marca) {
            throw ErrorEntrada(
                archivo, linea,
                QStringLiteral("el importe %1 lleva %2, pero el de la línea %3 se leyó con %4: "
                               "use un solo formato de importes en todo el archivo")
                    .arg(comoTexto(), nombreDecimal(marca))
                    .arg(linea_)
                    .arg(nombreDecimal(decimal_)));
        } else if (!establecido_) {
            fijar(marca, linea);
        }
    }
    const char decimal = decimal_ ? decimal_ : ',';
    const char miles = decimal == ',' ? '.' : ',';

    // Cifras: los separadores de miles, cada tres cifras y antes del decimal; los decimales de
    // más, solo si son ceros.
    std::int64_t entero = 0, fraccion = 0;
    int cifrasFraccion = 0, grupo = 0;
    bool enFraccion = false, conMiles = false;
    for (; i < t.size(); ++i) {
        const auto c = t[i];
        if (c == miles) {
            if (enFraccion || grupo == 0 || (conMiles ? grupo != 3 : grupo > 3)) throw noValido();
            conMiles = true;
            grupo = 0;
        } else if (c == decimal) {
            if (enFraccion || (conMiles && grupo != 3)) throw noValido();
            enFraccion = true;
        } else if (enFraccion) {
            const int d = cifra(c);
            if (cifrasFraccion < 2) fraccion = fraccion * 10 + d;
            else if (d != 0)
                throw ErrorEntrada(archivo, linea,
                                   QStringLiteral("importe con más de dos decimales: %1")
                                       .arg(comoTexto()));
            ++cifrasFraccion;
        } else {
            if (entero > 100'000'000'000'000LL) throw noValido();
            entero = entero * 10 + cifra(c);
            ++grupo;
        }
    }
    if (conMiles && !enFraccion && grupo != 3) throw noValido();
    if (cifrasFraccion == 1) fraccion *= 10;
    const auto v = Moneda::deDiezmilesimas(entero * Moneda::kEscala + fraccion * 100);
    return negativo ? -v : v;
}

}  // namespace orvo::Importacion
