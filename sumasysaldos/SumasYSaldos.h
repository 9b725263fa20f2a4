#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "ContextoInforme.h"
#include "Moneda.h"

namespace orvo {

// Lo que el diálogo del balance de sumas y saldos elige.
struct OpcionesSumasYSaldos {
    long empresa = 0;
    QString subcuentaDesde;
    QString subcuentaHasta;
    QDate desde;
    QDate hasta;
    Divisa divisa = Divisa::Euros;
    bool saldoCero = false;    // mostrar cuentas con saldo cero que tuvieron movimiento
    bool presupuesto = false;  // columnas de presupuesto y porcentaje, orden por texto
    std::vector<int> niveles;  // en el orden de la lista: el primero es el nivel superior
};

// Una cuenta del balance. Debe y haber son los del periodo sin la apertura; el saldo, debe
// menos haber con ella.
struct FilaSumasYSaldos {
    QString codigo;
    QString descripcion;
    int nivel = 0;  // 1 es el primer nivel elegido
    Moneda debe, haber, saldo, apertura;
    Moneda presupuesto;  // con presupuesto
    double media = 0;    // porcentaje del presupuesto alcanzado, con presupuesto
    bool operator==(const FilaSumasYSaldos&) const = default;
};

// Las cifras del balance en la moneda elegida. Los totales suman solo las filas del nivel más
// profundo elegido; su porcentaje sale de los totales como se imprimen (redondeados).
struct SumasYSaldos {
    QString empresa;  // cabecera de la empresa
    std::vector<FilaSumasYSaldos> filas;
    Moneda totalDebe, totalHaber, totalSaldo, totalApertura, totalPresupuesto;
    double totalMedia = 0;
};

// Calcula el balance de sumas y saldos sin escribir nada.
SumasYSaldos calcularSumasYSaldos(Conexion& contabilidad, const OpcionesSumasYSaldos& op);

// Escribe las filas de BalanceSumasySaldos y devuelve las fórmulas 1 a 7 (cabecera, periodo,
// moneda y totales).
FormulasInforme construirSumasYSaldos(ContextoInforme& contexto, const OpcionesSumasYSaldos& op);

// Importes del asiento de apertura por prefijo de código: una cuenta recibe lo de todas las
// cuentas cuyo código empieza por el suyo, como LIKE 'codigo%'. Se lee el asiento una sola
// vez; cada consulta es una búsqueda binaria sobre sumas acumuladas.
class SaldosApertura {
  public:
    struct Importes {
        Moneda debe;
        Moneda haber;
    };
    SaldosApertura() = default;
    // Lee las líneas del asiento (0: ninguno) en pesetas o, con sufijo "Euros", en euros.
    static SaldosApertura leer(Conexion& contabilidad, qint64 idAsiento, const QString& sufijo);
    Importes dePrefijo(const QString& codigo) const;

  private:
    std::vector<QString> codigos_;      // ordenados
    std::vector<Importes> acumulados_;  // acumulados_[i]: suma de codigos_[0..i)
};

}  // namespace orvo
