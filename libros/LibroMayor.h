#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "ContextoInforme.h"
#include "FilaLibro.h"

namespace orvo {

// Lo que piden el libro Mayor y el desglose de una subcuenta, que comparten construcción.
struct OpcionesLibroMayor {
    long empresa = 0;
    Divisa divisa = Divisa::Euros;
    QString subcuentaDesde = QStringLiteral("0000000"), subcuentaHasta = QStringLiteral("9999999");
    // El desglose imprime solo esta subcuenta y no mira el rango.
    std::optional<QString> subcuentaUnica;
    QDate desde, hasta;          // se toman los meses enteros
    QDate inicioEjercicio;       // primer día del ejercicio, comienzo del saldo anterior
    bool saldoAnterior = false;  // fila "Saldo anterior acumulado" por subcuenta
    // La regularización y el cierre de un ejercicio cerrado al final; sin ellos, los saldos son
    // los de los informes del ejercicio, que no los cuentan (el desglose de una de sus filas).
    bool asientosFinales = true;
};

// Una fila del Mayor: un apunte, o el saldo anterior de su subcuenta (sin asiento ni fecha), con
// el saldo acumulado de la subcuenta tras él.
struct FilaMayor {
    ApunteLibro apunte;
    Moneda saldo;
};

// Las filas del Mayor subcuenta por subcuenta: la del saldo anterior (si se pide) y una por
// apunte; 'progreso' puede ser nulo. Lanza ErrorOrvo/ErrorBD.
void recorrerLibroMayor(Conexion& contabilidad, const OpcionesLibroMayor& o, IProgreso* progreso,
                        const std::function<void(const FilaMayor&)>& porFila);

// Escribe las filas del Mayor en Libro_Mayor y devuelve las fórmulas.
FormulasInforme construirLibroMayor(ContextoInforme& contexto, const OpcionesLibroMayor& o);

}  // namespace orvo
