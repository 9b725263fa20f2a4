#pragma once

#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>
#include <optional>

namespace orvo {

// La moneda en que se presenta un informe: los libros guardan cada importe en las dos, y las
// pesetas se escriben sin decimales.
enum class Divisa { Euros, Pesetas };
constexpr bool conDecimales(Divisa d) { return d == Divisa::Euros; }

// Importe de moneda en punto fijo con cuatro decimales, como el tipo Currency que guardan los
// libros. Nunca pasa por coma flotante salvo que se pida expresamente (porcentajes).
class Moneda {
  public:
    static constexpr std::int64_t kEscala = 10000;

    constexpr Moneda() = default;
    static constexpr Moneda deDiezmilesimas(std::int64_t v) { return Moneda(v); }
    static constexpr Moneda deEntero(std::int64_t unidades) { return Moneda(unidades * kEscala); }
    // Redondea a cuatro decimales, mitad al par, como la conversión a Currency.
    static Moneda deDouble(double v);
    // Texto con convenciones españolas ("-1.234,56"); nullopt si no es un número.
    static std::optional<Moneda> deTexto(const QString& texto);
    // Valor guardado en una columna de importe: número o texto español. Null y el texto
    // vacío valen 0; un texto que no es un número lanza ErrorOrvo.
    static Moneda deColumna(const QVariant& v);
    // Valor devuelto por la función SQL CCur (entero en diezmilésimas); Null vale 0.
    static Moneda deCCur(const QVariant& v);

    constexpr std::int64_t diezmilesimas() const { return valor_; }
    double aDouble() const { return static_cast<double>(valor_) / kEscala; }
    // Trunca hacia cero a unidades enteras.
    constexpr std::int64_t truncado() const { return valor_ / kEscala; }
    // El importe tal como se imprime: a céntimos o, sin decimales, a unidades; mitad lejos de
    // cero, como formatear. Para las reglas que operan con lo impreso.
    Moneda redondeado(bool conDecimales = true) const;

    // "##,##0.00" o "##,##0" con separadores españoles; redondeo mitad lejos de cero.
    QString formatear(bool conDecimales = true) const;
    // Lo mismo escrito en 'destino' (UTF-8, sin reservar memoria) para los bucles de millones
    // de filas; devuelve cuántos bytes ha escrito, nunca más de kLargoFormateado.
    static constexpr int kLargoFormateado = 32;
    int formatearEn(char* destino, bool conDecimales = true) const;
    // Dos decimales sin separador de miles ("1234,50"), el formato "fixed".
    QString formatearFijo() const;
    // Representación sin pérdida para guardar en SQL o comparar en pruebas ("-1234.5").
    QString aTextoExacto() const;

    constexpr Moneda operator-() const { return Moneda(-valor_); }
    constexpr Moneda operator+(Moneda o) const { return Moneda(valor_ + o.valor_); }
    constexpr Moneda operator-(Moneda o) const { return Moneda(valor_ - o.valor_); }
    constexpr Moneda operator*(std::int64_t n) const { return Moneda(valor_ * n); }
    Moneda& operator+=(Moneda o) {
        valor_ += o.valor_;
        return *this;
    }
    Moneda& operator-=(Moneda o) {
        valor_ -= o.valor_;
        return *this;
    }
    constexpr auto operator<=>(const Moneda&) const = default;
    constexpr bool esCero() const { return valor_ == 0; }

  private:
    constexpr explicit Moneda(std::int64_t v) : valor_(v) {}
    std::int64_t valor_ = 0;
};

// Agrupa los miles de un entero no negativo con puntos: 1234567 -> "1.234.567".
QString agruparMiles(std::uint64_t entero);

// Pesetas de un importe en euros (x 166,386) redondeadas a la unidad, mitad al par.
Moneda pesetasDeEuros(Moneda euros);

// Porcentaje de 'parte' sobre 'total' (parte x 100 / total, en coma flotante como manda la
// regla); 0 si alguno de los dos es cero.
double porcentajeDe(Moneda parte, Moneda total);
// "12,50 %": dos decimales y el signo de porcentaje.
QString formatearPorcentaje(double porcentaje);

}  // namespace orvo
