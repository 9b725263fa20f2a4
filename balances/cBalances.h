#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <utility>

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
    std::pair<Moneda, Moneda> ObtenerTotalesGrupos6y7(Conexion& con, long empresa, bool euros,
                                                      int mesInicial, int mesFinal);
    // Suma el debe y el haber, en el mes de la fecha "yyyymmdd", a la subcuenta de pérdidas y
    // ganancias (que se crea si falta), a sus cuentas padre y a los epígrafes que alimentan.
    void ModificarDatosPyG(Conexion& con, long empresa, bool euros, const QString& fecha,
                           Moneda debe, Moneda haber);

    static int ObtieneNumEpigrafes(const QString& formula);
    // Término n (desde 1) de la fórmula.
    static TerminoFormula ObtieneEpigrafe(const QString& formula, int n);
    // "##,##0.00" o "##,##0", como se guardan los importes en los libros.
    static QString FormatearImporte(Moneda importe, bool decimales = true);

  private:
    long ObtenerCuentaPyG(Conexion& con, long empresa);
    long CrearCuenta(Conexion& con, long empresa, int tipo, const QString& codigo,
                     const QString& descripcion);
    // Nuevos importes: debe en pesetas, debe en euros, haber en pesetas, haber en euros.
    struct Importes {
        Moneda debePts, debeEur, haberPts, haberEur;
    };
    void ActualizarCuentas(Conexion& con, long empresa, long idCuenta, const QString& fecha,
                           const Importes& nuevos);
};

// Lista de meses ("01".."12") de un periodo, mes a mes desde el primero hasta el último; un
// periodo de más de doce meses repite meses.
QStringList mesesDelPeriodo(const QDate& desde, const QDate& hasta);

// Pone en la contabilidad el resultado del periodo en la cuenta 129 (si no es cero), para que
// el balance de situación lo muestre. La llamada debe estar dentro de una transacción de la
// contabilidad que luego se deshace: así los libros quedan como estaban pase lo que pase.
void contabilizarResultadoProvisional(Conexion& con, long empresa, bool euros, const QDate& desde,
                                      const QDate& hasta);

}  // namespace orvo
