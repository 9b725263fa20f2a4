#pragma once

#include <vector>

#include "FormulasBalance.h"
#include "LineasBalance.h"

namespace orvo {

// Una línea de una empresa en el comparativo: la misma línea que el balance de una empresa,
// con la ruta de sus antepasados (EpigrafePadre) para emparejarla con la de la otra.
using cBalanceComparativo = LineaBalance;
using ColeccionBalance = std::vector<cBalanceComparativo>;

// Pone a cada línea la concatenación de las descripciones de sus antepasados: la línea
// anterior más cercana de cada nivel menos profundo.
void GrabarPadresColeccion(ColeccionBalance& coleccion);

// Funde las líneas de dos empresas en las filas de BalancesComparativo: una línea que está en
// las dos va en una fila con los dos lados; la que está en una sola, con todo lo que cuelga de
// ella, va en su sitio con el otro lado vacío.
class cIFusionarCol {
  public:
    std::vector<FilaBalance> FusionarColecciones(const ColeccionBalance& a,
                                                 const ColeccionBalance& b);

  private:
    static bool LineasIguales(const cBalanceComparativo& a, const cBalanceComparativo& b);
    void GrabarLineaComparativa(const cBalanceComparativo* a, const cBalanceComparativo* b);

    std::vector<FilaBalance> filas_;
};

}  // namespace orvo
