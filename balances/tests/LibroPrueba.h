#pragma once

#include <QHash>
#include <QString>
#include <memory>

#include "Asentar.h"
#include "Conexion.h"
#include "DoblesPrueba.h"
#include "Moneda.h"

namespace orvo::prueba {

// Libros de contabilidad pequeños construidos por cada prueba. Los apuntes se llevan con la
// rutina de asientos a las columnas mensuales de las cuentas y los epígrafes. En pesetas se
// apunta el importe en euros por cien, para que las dos monedas se comprueben a mano.
class LibroPrueba {
  public:
    enum Naturaleza { Activo = 1, Pasivo = 2, Debe = 3, Haber = 4 };

    explicit LibroPrueba(const QString& ruta);
    Conexion& con() { return *con_; }
    std::shared_ptr<Conexion> conexion() { return con_; }

    void empresa(long id, const QString& abreviatura, int ano, const QString& inicio,
                 const QString& fin, long anterior = 0);
    long epigrafe(long empresa, int documento, const QString& codigo, const QString& descripcion,
                  Naturaleza naturaleza, int orden, const QString& formula = QString());
    // Nivel = longitud del código; tipo 2 las subcuentas.
    long cuenta(long empresa, const QString& codigo, const QString& descripcion, int tipo = 1,
                bool desglosar = false);
    void enlazar(long epigrafe, long cuenta);
    // Importes en euros como texto español ("1.500,25").
    void apunte(long empresa, const QString& subcuenta, int mes, const QString& debe,
                const QString& haber);
    void presupuesto(long empresa, const QString& subcuenta, int mes, const QString& importe);
    // Total de un mes puesto a mano en un epígrafe (estructuras sin cuentas propias); el
    // apunte siguiente lo vuelve a calcular.
    void totalEpigrafe(long epigrafe, int mes, const QString& euros);

    // Todos los importes y filas de Cuenta y Estructura, para ver que nada ha cambiado.
    QString instantanea();

  private:
    qint64 subcuenta(long empresa, const QString& codigo);
    std::shared_ptr<Conexion> con_;
    QHash<long, Asientos::SumasApuntes> sumas_;  // por empresa
};

// Empresa 1 "EJ" de 2001: capital 10.000 al banco en enero, compras 2.000 en febrero, ventas
// 3.500 a un cliente en marzo, una nave de 4.000 en abril; beneficio 1.500. Balance: A
// (A1 inmovilizado, A2 deudores y tesorería), P (P1 fondos propios con la 129, P2 deudas con
// bancos); el banco alimenta A2 y P2. Pérdidas y ganancias: G gastos, I ingresos.
// Lo mismo para otra empresa y otro año, con su empresa del ejercicio anterior.
void libroBasico(LibroPrueba& libro, long empresa = 1,
                 const QString& abreviatura = QStringLiteral("EJ"), int ano = 2001,
                 long anterior = 0);

}  // namespace orvo::prueba
