#pragma once

#include <cstdint>

namespace orvo {

// Códigos de origen: dicen a un diálogo que sirve dos informes cuál ha de construir.
class cCOrigen {
  public:
    static constexpr std::uint8_t BALANCESITUACION = 0;
    static constexpr std::uint8_t BALANCEPYG = 1;
    static constexpr std::uint8_t Presupuesto = 2;
    static constexpr std::uint8_t PRESUPUESTOANUAL = 3;
    static constexpr std::uint8_t FACTURARECIBIDA = 4;
    static constexpr std::uint8_t FACTURAEMITIDA = 5;
};

}  // namespace orvo
