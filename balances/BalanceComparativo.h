#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "Balance.h"
#include "ContextoInforme.h"
#include "cBalanceComparativo.h"

namespace orvo {

// Opciones del comparativo de dos empresas (A, la del anfitrión, y B, con la que se compara).
struct OpcionesComparativo : OpcionesEstado {
    long empresaA = 0;
    long empresaB = 0;
};

// Una fila del comparativo tal como se escribe: los dos lados (le puede faltar uno) y su
// número entre las filas fundidas, contadas también las que no se escriben.
struct FilaComparativo {
    std::optional<LineaBalance> a, b;
    qint64 orden = 0;
};

// Las cifras del comparativo, en la moneda elegida, con las fórmulas de cada lado resueltas.
struct EstadoComparativo {
    QString empresaA, empresaB;  // "<abreviatura-ejercicio>" de cada una
    Divisa divisa = Divisa::Euros;
    std::vector<FilaComparativo> filas;
};

// Carga las líneas de las dos empresas, cada una como las del balance de una empresa con los
// meses del periodo que caen en su propio ejercicio; las funde y evalúa las fórmulas de cada
// lado. No escribe nada.
EstadoComparativo calcularComparativo(Conexion& contabilidad, IProgreso& progreso,
                                      const OpcionesComparativo& opciones);

// Escribe BalancesComparativo con las filas de calcularComparativo y devuelve las fórmulas del
// informe (las dos empresas, el periodo, la columna de códigos).
FormulasInforme construirComparativo(ContextoInforme& contexto, const OpcionesComparativo& o);

}  // namespace orvo
