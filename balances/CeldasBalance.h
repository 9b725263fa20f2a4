#pragma once

#include <array>

#include "EscritorTabla.h"
#include "LineasBalance.h"

// Aparte de LineasBalance.h: el motor tiene su propia Celda, y quien lo incluye también incluye
// los balances.

namespace orvo {

// Celdas del total, el presupuesto y el porcentaje alcanzado ("Media") de una línea: los
// importes, "ERROR" en las tres o las tres vacías; sin presupuesto, las dos últimas vacías.
std::array<Celda, 3> celdasImportes(const LineaBalance& linea);

}  // namespace orvo
