#pragma once

#include <QDate>
#include <QString>
#include <compare>

namespace orvo {

// Una fecha tal como la guardan los libros: texto "yyyymmdd" (Asiento.Fecha, Empresa.FechaIni…).
// Lee y escribe ese texto en un solo sitio; un texto que no es una fecha da una no válida.
class FechaLibros {
  public:
    FechaLibros() = default;
    explicit FechaLibros(const QDate& fecha) : fecha_(fecha) {}
    static FechaLibros deTexto(QStringView aaaammdd);

    bool esValida() const { return fecha_.isValid(); }
    const QDate& fecha() const { return fecha_; }
    // "yyyymmdd" para guardar o comparar en SQL; vacío si no es válida.
    QString texto() const;
    // "dd/mm/yyyy", como se imprime; vacío si no es válida.
    QString impresa() const;

    auto operator<=>(const FechaLibros& o) const { return fecha_.toJulianDay() <=> o.fecha_.toJulianDay(); }
    bool operator==(const FechaLibros& o) const { return fecha_ == o.fecha_; }

  private:
    QDate fecha_;
};

}  // namespace orvo
