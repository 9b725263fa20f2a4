#pragma once

#include <vector>

#include "LineasBalance.h"

namespace orvo {

class Conexion;
class Instruccion;

// Una línea de una empresa en el comparativo: la misma línea que el balance de una empresa,
// con la ruta de sus antepasados (EpigrafePadre) para emparejarla con la de la otra.
using cBalanceComparativo = LineaBalance;
using ColeccionBalance = std::vector<cBalanceComparativo>;

// Pone a cada línea la concatenación de las descripciones de sus antepasados: la línea
// anterior más cercana de cada nivel menos profundo.
void GrabarPadresColeccion(ColeccionBalance& coleccion);

// Funde las líneas de dos empresas en BalancesComparativo: una línea que está en las dos se
// escribe una vez con los dos lados; la que está en una sola, con todo lo que cuelga de ella,
// se escribe en su sitio con el otro lado vacío.
class cIFusionarCol {
  public:
    void FusionarColecciones(const ColeccionBalance& a, const ColeccionBalance& b,
                             Conexion& informes);

  private:
    static bool LineasIguales(const cBalanceComparativo& a, const cBalanceComparativo& b);
    void GrabarLineaComparativa(const cBalanceComparativo* a, const cBalanceComparativo* b);

    Instruccion* insertar_ = nullptr;
    qint64 orden_ = 0;
};

}  // namespace orvo
