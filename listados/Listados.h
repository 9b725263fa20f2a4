#pragma once

#include <QString>

#include "ContextoInforme.h"

namespace orvo {

// Listado del plan de cuentas de una empresa entre dos códigos (ambos incluidos, comparados
// como texto).
struct OpcionesSubcuentas {
    long empresa = 0;
    QString desde;
    QString hasta;
    // Con las cuentas además de las subcuentas, sangradas por nivel; si no, solo subcuentas
    // y todas al nivel 1.
    bool todasLasCuentas = false;
};

// Escribe una fila de "Subcuentas" por código listado, en orden de código.
FormulasInforme construirSubcuentas(ContextoInforme& contexto, const OpcionesSubcuentas& opciones);

// Listado de los epígrafes de los documentos de la empresa (1 balance de situación, 2 cuenta
// de pérdidas y ganancias).
struct OpcionesEpigrafes {
    long empresa = 0;
    bool balanceSituacion = true;
    bool perdidasYGanancias = false;
};

// Escribe una fila de "Epigrafes" por epígrafe distinto, en orden de código de epígrafe.
FormulasInforme construirEpigrafes(ContextoInforme& contexto, const OpcionesEpigrafes& opciones);

}  // namespace orvo
