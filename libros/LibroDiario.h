#pragma once

#include <QDate>
#include <QString>

#include "ContextoInforme.h"
#include "FilaLibro.h"

namespace orvo {

// Lo que el diálogo del libro Diario pide; la construcción no conoce los controles.
struct OpcionesLibroDiario {
    long empresa = 0;
    Divisa divisa = Divisa::Euros;
    // Por omisión, todas las subcuentas y todos los asientos.
    QString subcuentaDesde = QStringLiteral("0000000"), subcuentaHasta = QStringLiteral("9999999");
    QString asientoDesde = QStringLiteral("0");  // como se han tecleado
    QString asientoHasta = QStringLiteral("9999999");
    QDate desde, hasta;                  // se toman los meses enteros
    bool apuntesOrdenados = false;       // primero el debe y después el haber, por código
};

// Las filas del Diario, una por apunte, asiento a asiento en orden numérico, y al final las
// líneas de la regularización y del cierre de un ejercicio cerrado; 'progreso' puede ser nulo.
// Lanza ErrorOrvo/ErrorBD.
void recorrerLibroDiario(Conexion& contabilidad, const OpcionesLibroDiario& o, IProgreso* progreso,
                         const std::function<void(const ApunteLibro&)>& porFila);

// Escribe las filas del Diario en Libro_Diario y devuelve las fórmulas del informe.
FormulasInforme construirLibroDiario(ContextoInforme& contexto, const OpcionesLibroDiario& o);

// Mayor número de asiento de la empresa, como número, o "0" si no tiene asientos.
QString numeroMaximoAsiento(Conexion& contabilidad, long empresa);

}  // namespace orvo
