#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "ContextoInforme.h"
#include "Moneda.h"
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
    Divisa divisa = Divisa::Euros;
    std::vector<int> niveles;  // solo filtran; el orden no importa
};

// Tabla de trabajo de cada informe: "Presupuesto" o "PresupuestoAnual".
QString tablaPresupuesto(std::uint8_t origen);

// El año (posición 0) o un mes del ejercicio de una cuenta.
struct ColumnaPresupuesto {
    QString presupuesto;  // tal como está guardado en los libros: se escribe sin formato
    // Solo en el informe anual: saldo (debe - haber), presupuesto - saldo y porcentaje del
    // presupuesto alcanzado, que no hay sin presupuesto.
    Moneda saldo;
    Moneda diferencia;
    std::optional<double> media;
    bool operator==(const ColumnaPresupuesto&) const = default;
};

struct FilaPresupuesto {
    QString codigo;
    QString descripcion;
    // El año y cada mes del ejercicio por posición (el primero es el primer mes del
    // ejercicio); un ejercicio más corto tiene menos.
    std::vector<ColumnaPresupuesto> columnas;
    bool operator==(const FilaPresupuesto&) const = default;
};

// Las cifras de un informe de presupuestos: una fila por cuenta con presupuesto del ejercicio.
struct Presupuestos {
    QString empresa;         // cabecera de la empresa
    QDate inicio, fin;       // el ejercicio
    std::vector<int> meses;  // mes natural de cada posición
    std::vector<FilaPresupuesto> filas;
};

// Calcula un informe de presupuestos sin escribir nada.
Presupuestos calcularPresupuesto(Conexion& contabilidad, const OpcionesPresupuesto& op);

// Escribe las filas en la tabla del informe. Las columnas de mes van por posición en el
// ejercicio (PresupuestoEnero es el primer mes del ejercicio, sea cual sea); las fórmulas
// TituloMes01… dicen qué mes es cada una. Devuelve también la 13 (empresa) y la 14 (periodo).
FormulasInforme construirPresupuesto(ContextoInforme& contexto, const OpcionesPresupuesto& op);

}  // namespace orvo
