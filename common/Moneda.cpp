#include "Moneda.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ErrorOrvo.h"

namespace orvo {

Moneda Moneda::deDouble(double v) {
    return Moneda(static_cast<std::int64_t>(std::nearbyint(v * kEscala)));
}

std::optional<Moneda> Moneda::deTexto(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty()) return std::nullopt;
    int i = 0;
    bool negativo = false;
    if (t[i] == u'-' || t[i] == u'+') {
        negativo = t[i] == u'-';
        ++i;
    }
    std::int64_t entero = 0;
    std::int64_t fraccion = 0;  // en diezmilésimas
    int cifrasFraccion = 0;
    bool enFraccion = false;
    bool alguna = false;
    int resto = 0;  // quinta cifra decimal y siguientes, para redondear
    bool restoMasQueMitad = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit()) {
            alguna = true;
            const int d = c.digitValue();
            if (!enFraccion) {
                if (entero > (INT64_MAX / kEscala) / 10) return std::nullopt;
                entero = entero * 10 + d;
            } else if (cifrasFraccion < 4) {
                fraccion = fraccion * 10 + d;
                ++cifrasFraccion;
            } else if (cifrasFraccion == 4) {
                resto = d;
                ++cifrasFraccion;
            } else if (d != 0) {
                restoMasQueMitad = true;
            }
        } else if (c == u'.' && !enFraccion) {
            continue;  // separador de miles
        } else if (c == u',' && !enFraccion) {
            enFraccion = true;
        } else {
            return std::nullopt;
        }
    }
    if (!alguna) return std::nullopt;
    for (int k = std::min(cifrasFraccion, 4); k < 4; ++k) fraccion *= 10;
    std::int64_t v = entero * kEscala + fraccion;
    // Mitad al par, como al asignar a Currency.
    if (resto > 5 || (resto == 5 && (restoMasQueMitad || (v % 2) != 0))) ++v;
    return Moneda(negativo ? -v : v);
}

Moneda Moneda::deColumna(const QVariant& v) {
    if (v.isNull()) return {};
    switch (v.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::ULongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            return Moneda(v.toLongLong() * kEscala);
        case QMetaType::Double:
            return deDouble(v.toDouble());
        default:
            break;
    }
    const QString s = v.toString();
    if (s.trimmed().isEmpty()) return {};
    if (auto m = deTexto(s)) return *m;
    throw ErrorOrvo(Causa::TiposNoCoinciden,
                    QStringLiteral("No coinciden los tipos: '%1' no es un importe").arg(s));
}

Moneda Moneda::deCCur(const QVariant& v) {
    if (v.isNull()) return {};
    if (v.typeId() == QMetaType::Double) return deDouble(v.toDouble() / kEscala);
    return Moneda(v.toLongLong());
}

QString agruparMiles(std::uint64_t entero) {
    QString digitos = QString::number(entero);
    for (qsizetype pos = digitos.size() - 3; pos > 0; pos -= 3) digitos.insert(pos, u'.');
    return digitos;
}

namespace {
// Redondea |valor| a 'decimales' (0 o 2) con la mitad lejos de cero; devuelve entero y fracción.
std::pair<std::uint64_t, std::uint64_t> redondear(std::int64_t valor, int decimales) {
    const std::uint64_t abs = valor < 0 ? static_cast<std::uint64_t>(-valor) : valor;
    const std::uint64_t paso = decimales == 2 ? 100 : static_cast<std::uint64_t>(Moneda::kEscala);
    const std::uint64_t unidades = (abs + paso / 2) / paso;  // en centésimas o unidades
    if (decimales == 2) return {unidades / 100, unidades % 100};
    return {unidades, 0};
}
}  // namespace

Moneda Moneda::redondeado(bool conDecimales) const {
    const auto [entero, cent] = redondear(valor_, conDecimales ? 2 : 0);
    const auto v = static_cast<std::int64_t>(entero * kEscala + cent * 100);
    return Moneda(valor_ < 0 ? -v : v);
}

Moneda pesetasDeEuros(Moneda euros) {
    // En diezmillonésimas de peseta: diezmilésimas de euro x 166386, sin coma flotante.
    const __int128 escalado = static_cast<__int128>(euros.diezmilesimas()) * 166386;
    const __int128 unidad = 10000000;  // 10^4 de la moneda x 10^3 del factor
    __int128 cociente = escalado / unidad;
    __int128 resto = escalado % unidad;
    if (resto < 0) resto = -resto;
    if (resto * 2 > unidad || (resto * 2 == unidad && (cociente % 2) != 0))
        cociente += escalado < 0 ? -1 : 1;
    return Moneda::deEntero(static_cast<std::int64_t>(cociente));
}

double porcentajeDe(Moneda parte, Moneda total) {
    if (parte.esCero() || total.esCero()) return 0;
    return (parte * 100).aDouble() / total.aDouble();
}

QString formatearPorcentaje(double porcentaje) {
    return Moneda::deDouble(porcentaje).formatear(true) + QStringLiteral(" %");
}

int Moneda::formatearEn(char* destino, bool conDecimales) const {
    const auto [entero, cent] = redondear(valor_, conDecimales ? 2 : 0);
    // Se escribe de derecha a izquierda en un búfer local y se copia al destino.
    char tmp[kLargoFormateado];
    int i = kLargoFormateado;
    if (conDecimales) {
        tmp[--i] = static_cast<char>('0' + cent % 10);
        tmp[--i] = static_cast<char>('0' + cent / 10);
        tmp[--i] = ',';
    }
    std::uint64_t resto = entero;
    int cifras = 0;
    do {
        if (cifras > 0 && cifras % 3 == 0) tmp[--i] = '.';
        tmp[--i] = static_cast<char>('0' + resto % 10);
        resto /= 10;
        ++cifras;
    } while (resto > 0);
    if (valor_ < 0 && (entero != 0 || cent != 0)) tmp[--i] = '-';
    const int largo = kLargoFormateado - i;
    std::copy(tmp + i, tmp + kLargoFormateado, destino);
    return largo;
}

QString Moneda::formatear(bool conDecimales) const {
    char texto[kLargoFormateado];
    return QString::fromLatin1(texto, formatearEn(texto, conDecimales));
}

QString Moneda::formatearFijo() const {
    const auto [entero, cent] = redondear(valor_, 2);
    const bool negativo = valor_ < 0 && (entero != 0 || cent != 0);
    return (negativo ? QStringLiteral("-") : QString()) + QString::number(entero) + u',' +
           QStringLiteral("%1").arg(cent, 2, 10, QLatin1Char('0'));
}

QString Moneda::aTextoExacto() const {
    const std::uint64_t abs = valor_ < 0 ? static_cast<std::uint64_t>(-valor_) : valor_;
    QString s = QString::number(abs / kEscala);
    std::uint64_t frac = abs % kEscala;
    if (frac) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(u'0')) f.chop(1);
        s += u'.' + f;
    }
    return valor_ < 0 ? u'-' + s : s;
}

}  // namespace orvo
