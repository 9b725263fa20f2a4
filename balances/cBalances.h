#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <utility>

#include "LineasBalance.h"
#include "Moneda.h"

namespace orvo {

class Conexion;
class cGeneral;

// Un término de una fórmula de epígrafes: el operador que lo precede ("+" o "-") y el código.
struct TerminoFormula {
    QString operador;
    QString codigo;
};

// Cuenta de pérdidas y ganancias y fórmulas de epígrafes. Sin estado: cada operación recibe la
// conexión a la contabilidad y el código de empresa.
class cBalances {
  public:
    // ¿Hay una cuenta 129 asignada a un epígrafe del balance de situación? Si no, avisa con el
    // nombre corto y el año de la empresa.
    bool ExisteCtaPyG(Conexion& con, long empresa, cGeneral& general);
    // Saldo de las subcuentas de gastos e ingresos (grupos 6 y 7) de los meses dados (1..12,
    // el primero mayor que el último cruza el fin de año): {debe, haber}; solo uno no es cero.
    std::pair<Moneda, Moneda> ObtenerTotalesGrupos6y7(Conexion& con, long empresa, Divisa divisa,
                                                      int mesInicial, int mesFinal);
    static int ObtieneNumEpigrafes(const QString& formula);
    // Término n (desde 1) de la fórmula.
    static TerminoFormula ObtieneEpigrafe(const QString& formula, int n);
};

// El resultado del periodo (si no es cero) donde el balance de situación lo muestra: en el mes
// del último día, en la subcuenta 129 (o la que falta), en sus cuentas padre y en los epígrafes
// que alimentan y los padres de estos. Solo lee.
ResultadoPeriodo ResultadoDelPeriodo(Conexion& con, long empresa, Divisa divisa, const QDate& desde,
                                     const QDate& hasta);

}  // namespace orvo
