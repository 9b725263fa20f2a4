#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "ContextoInforme.h"
#include "cCOrigen.h"

namespace orvo {

// Lo que el diálogo de presupuestos elige. El periodo es siempre el ejercicio entero.
struct OpcionesPresupuesto {
    long empresa = 0;
    // cCOrigen::Presupuesto: presupuestos del año y de cada mes; cualquier otro: además el
    // saldo, el porcentaje alcanzado y la diferencia (presupuesto anual).
    std::uint8_t origen = cCOrigen::Presupuesto;
    QString subcuentaDesde;
    QString subcuentaHasta;
    bool euros = false;
    std::vector<int> niveles;  // solo filtran; el orden no importa
};

// Tabla de trabajo de cada informe: "Presupuesto" o "PresupuestoAnual".
QString tablaPresupuesto(std::uint8_t origen);

// Escribe una fila por cuenta con presupuesto del ejercicio en la tabla del informe. Las
// columnas de mes van por posición en el ejercicio (PresupuestoEnero es el primer mes del
// ejercicio, sea cual sea); las fórmulas TituloMes01… dicen qué mes es cada una. Devuelve
// también la 13 (empresa) y la 14 (periodo).
FormulasInforme construirPresupuesto(ContextoInforme& contexto, const OpcionesPresupuesto& op);

}  // namespace orvo
