#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "Balance.h"
#include "ContextoInforme.h"
#include "cBalanceComparativo.h"

namespace orvo {

// Opciones del comparativo de dos empresas (A, la del anfitrión, y B, con la que se compara).
struct OpcionesComparativo : OpcionesEstado {
    long empresaA = 0;
    long empresaB = 0;
};

// Las líneas de una empresa ("A" o "B"), calculadas como las del balance de una empresa con
// los meses del periodo que caen en su propio ejercicio, y con la ruta de sus antepasados.
// En el balance de situación el resultado del periodo se pone en la 129 solo mientras se
// leen, en una transacción de la contabilidad que siempre se deshace.
ColeccionBalance CargaColeccionEmpresa(ContextoInforme& contexto, const OpcionesComparativo& o,
                                       long empresa, const QString& lado);

// Carga las dos empresas, las funde en BalancesComparativo, evalúa las fórmulas de cada lado y
// devuelve las fórmulas del informe (las dos empresas, el periodo, la columna de códigos).
FormulasInforme construirComparativo(ContextoInforme& contexto, const OpcionesComparativo& o);

}  // namespace orvo
