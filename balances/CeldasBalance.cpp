#include "CeldasBalance.h"

namespace orvo {

std::array<Celda, 3> celdasImportes(const LineaBalance& l) {
    switch (l.importes) {
        case LineaBalance::Importes::Error: {
            const QString error = QStringLiteral("ERROR");
            return {error, error, error};
        }
        case LineaBalance::Importes::EnBlanco:
            return {};
        case LineaBalance::Importes::Numeros:
            break;
    }
    if (!l.conPresupuesto) return {l.total, {}, {}};
    return {l.total, l.presupuesto, Porcentaje{porcentajeDe(l.total, l.presupuesto)}};
}

}  // namespace orvo
