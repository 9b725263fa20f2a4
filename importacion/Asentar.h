#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "Moneda.h"

namespace orvo {

class Conexion;

// La rutina de asientos: la única que escribe las columnas mensuales de Cuenta y Estructura.
namespace Asientos {

// Una columna que no valía lo que dicen los apuntes (o el presupuesto de las subcuentas).
struct Diferencia {
    QString tabla;    // "Cuenta" o "Estructura"
    QString codigo;   // código de la cuenta o del epígrafe
    QString columna;  // "Debe03Euros", "Total", …
    QString antes;    // texto guardado
    Moneda despues;   // lo que debe valer
    Divisa divisa = Divisa::Pesetas;
};

// Apuntes de una empresa sumados por subcuenta (IDCuenta) y mes: para cada mes (0 a 11), debe
// en pesetas, debe en euros, haber en pesetas y haber en euros.
using SumasApuntes = QHash<qint64, std::array<Moneda, 48>>;

// Deja cada columna mensual de las cuentas de la empresa (DebeMM, HaberMM, sus gemelas en
// euros y los totales) igual a la suma de los apuntes de las subcuentas cuyo código empieza por
// el de la cuenta; el presupuesto de cada cuenta, igual a la suma del de sus subcuentas; y los
// totales y presupuestos de cada epígrafe, igual al debe menos haber (y al presupuesto) de sus
// cuentas y de las de los epígrafes cuyo código empieza por el suyo. Suma los apuntes en una
// consulta agrupada por subcuenta y mes. Con 'escribir' en falso solo compara. Devuelve las
// columnas que no coincidían (con 'escribir', las que ha cambiado); las que tienen el importe
// bien escrito de otra forma ("0" en euros) se reescriben sin contarse. Quien acaba de escribir
// todos los apuntes de la empresa puede dar sus sumas en 'sumas' y ahorrar la consulta.
std::vector<Diferencia> asentar(Conexion& con, long empresa, bool escribir = true,
                                const SumasApuntes* sumas = nullptr);

// Un euro son 166,386 pesetas: las pesetas de un importe en céntimos, en cienmilésimas.
std::int64_t pesetasExactas(Moneda euros);
// Cienmilésimas de peseta redondeadas a pesetas, la mitad hacia fuera del cero.
std::int64_t redondear(std::int64_t exactas);
// Pesetas de cada importe de un lado del asiento: cada una redondeada a la unidad, y los
// redondeos repartidos de modo que el lado sume lo mismo que su total redondeado (así un asiento
// que cuadra en euros cuadra en pesetas). Ninguna se aparta más de una peseta de su valor exacto.
// Escribe en 'v'; 'restos' es espacio de trabajo: los dos se reutilizan de un asiento a otro para
// no pedir memoria en cada uno.
void repartirPesetas(const std::vector<Moneda>& importes, std::vector<std::int64_t>& v,
                     std::vector<std::pair<std::int64_t, std::size_t>>& restos);

// "Cuenta 5720001: Debe03Euros valía 10,00 y debe valer 12,00".
QString describir(const Diferencia& d);

}  // namespace Asientos

}  // namespace orvo
