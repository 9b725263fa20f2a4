#pragma once

#include <QString>
#include <vector>

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

// Un código del plan con su nivel en el listado.
struct FilaSubcuenta {
    QString codigo;
    QString descripcion;
    qint64 nivel = 1;
    bool operator==(const FilaSubcuenta&) const = default;
};

struct ListadoSubcuentas {
    QString empresa;                   // cabecera de la empresa
    std::vector<FilaSubcuenta> filas;  // en orden de código
};

// Lee el listado sin escribir nada.
ListadoSubcuentas calcularSubcuentas(Conexion& contabilidad, const OpcionesSubcuentas& opciones);

// Escribe una fila de "Subcuentas" por código listado y devuelve la fórmula de la empresa.
FormulasInforme construirSubcuentas(ContextoInforme& contexto, const OpcionesSubcuentas& opciones);

// Listado de los epígrafes de los documentos de la empresa (1 balance de situación, 2 cuenta
// de pérdidas y ganancias).
struct OpcionesEpigrafes {
    long empresa = 0;
    bool balanceSituacion = true;
    bool perdidasYGanancias = false;
};

struct FilaEpigrafe {
    QString codigo;
    QString descripcion;
    QString naturaleza;
    QString formula;
    qint64 nivel = 0;
    bool operator==(const FilaEpigrafe&) const = default;
};

struct ListadoEpigrafes {
    QString empresa;                  // cabecera de la empresa
    std::vector<FilaEpigrafe> filas;  // una por epígrafe distinto, en orden de código
};

// Lee el listado sin escribir nada.
ListadoEpigrafes calcularEpigrafes(Conexion& contabilidad, const OpcionesEpigrafes& opciones);

// Escribe una fila de "Epigrafes" por epígrafe y devuelve la fórmula de la empresa.
FormulasInforme construirEpigrafes(ContextoInforme& contexto, const OpcionesEpigrafes& opciones);

}  // namespace orvo
