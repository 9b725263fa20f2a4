#pragma once

#include <QDate>
#include <QString>

#include "ContextoInforme.h"
#include "LineasBalance.h"

namespace orvo {

// Lo que piden igual el balance de una empresa y el comparativo: el estado, el periodo y cómo
// presentarlo.
struct OpcionesEstado {
    int documento = 1;  // 1 balance de situación, 2 pérdidas y ganancias
    QDate desde;
    QDate hasta;
    Divisa divisa = Divisa::Euros;  // "Importes en euros"
    bool mostrarCodigos = false;  // "Mostrar códigos de epígrafes"
    bool saldoCero = false;       // "Mostrar cuentas con saldo cero"
    bool soloEpigrafes = false;   // "Mostrar sólo epígrafes"
    bool numerosCuenta = false;   // "Mostrar números de cuentas"
};

// Opciones del balance de situación o de la cuenta de pérdidas y ganancias de una empresa.
struct OpcionesBalance : OpcionesEstado {
    long empresa = 0;
    bool presupuesto = false;  // "Mostrar presupuesto"
    bool todasLasSubcuentas = false;  // cada cuenta con sus subcuentas (el inventario)
};

// Las cifras de un estado de una empresa: las líneas que se escriben, en su orden y con las
// fórmulas ya resueltas, en la moneda elegida.
struct EstadoBalance {
    QString empresa;  // cabecera de la empresa
    Divisa divisa = Divisa::Euros;
    std::vector<LineaBalance> lineas;
};

// Calcula el estado sin escribir nada; 'progreso' sigue la lectura y las fórmulas.
EstadoBalance calcularBalance(Conexion& contabilidad, IProgreso& progreso,
                              const OpcionesBalance& opciones);

// Escribe Balances con las líneas de calcularBalance y devuelve las fórmulas del informe
// (empresa, periodo, columna de códigos).
FormulasInforme construirBalance(ContextoInforme& contexto, const OpcionesBalance& opciones);

// Las líneas de un estado de una empresa; en el balance de situación, con el resultado del
// periodo en la cuenta 129 (ResultadoDelPeriodo). Las fórmulas quedan por evaluar.
std::vector<LineaBalance> lineasDelEstado(Conexion& contabilidad, IProgreso& progreso,
                                          PeticionLineas peticion, const QDate& desde,
                                          const QDate& hasta);

QString formulaColumnaCodigo(bool mostrar);

}  // namespace orvo
