#pragma once

#include <QDate>
#include <QString>

namespace orvo {

// Convenciones españolas con tabla propia, para no depender de la configuración regional del
// sistema: nombres y abreviaturas de los meses.
namespace Regional {
QString nombreMes(int mes);       // 1..12 -> "enero"…"diciembre"
QString abreviaturaMes(int mes);  // 1..12 -> "ene"…"dic" ("sep" para septiembre)
// "dd/mm/yyyy"
QString fechaCorta(const QDate& fecha);
// "enero/2001", el mes de los periodos de las cabeceras
QString mesBarraAno(const QDate& fecha);
// Un entero con punto de millares: 180000 -> "180.000".
QString entero(qint64 n);
// Un número de cosas con su nombre en singular o en plural: "1 problema", "180.000 apuntes".
QString cantidad(qint64 n, const QString& singular, const QString& plural);
}  // namespace Regional

}  // namespace orvo
