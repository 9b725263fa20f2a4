#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "LineasBalance.h"

namespace orvo {

class IProgreso;

// Una fila de la tabla de trabajo de un balance mientras se calcula, antes de escribirla: en el
// balance de una empresa solo tiene el lado A; en el comparativo, los dos, y le puede faltar uno.
struct FilaBalance {
    std::optional<LineaBalance> a, b;
    bool borrada = false;
};

// Sustituye cada fórmula de un lado por su valor (pasadas hasta que ninguna se resuelve; las que
// se quedan sin resolver, referencias circulares, valen "ERROR"). Una suma negativa vale 0, salvo
// en los epígrafes con suma con signo (los modelos de 2007, donde una pérdida es negativa).
// Una fórmula que vale cero deja su lado en blanco, o borra la fila si el otro lado no muestra
// importes y no la sigue una línea más honda de su naturaleza. Los códigos se resuelven por
// tabla hash: no crece con el cuadrado de las filas.
void CalcularFormulas(std::vector<FilaBalance>& filas, bool ladoA, IProgreso& progreso,
                      const QString& rotulo);

}  // namespace orvo
