#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace orvo {

class Conexion;

// El plan contable de 2007 como datos: los nombres del cuadro de cuentas y los epígrafes del
// balance y de la cuenta de pérdidas y ganancias de los modelos de pymes y abreviado.
namespace Plan {

enum class Modelo { Ninguno, Pymes, Abreviado };
// "pymes", "abreviado" o "ninguno"; nullopt para cualquier otro texto.
std::optional<Modelo> modeloDeNombre(const QString& nombre);

struct Epigrafe {
    int documento = 0;   // 1 balance de situación, 2 cuenta de pérdidas y ganancias
    int naturaleza = 0;  // Naturaleza.IDNaturaleza
    QString codigo;
    int orden = 1;
    QString descripcion;
    QString formula;
    QStringList cuentas;  // prefijos de las cuentas de tres cifras que lo alimentan
};
const std::vector<Epigrafe>& epigrafes(Modelo modelo);

// Nombre de una cuenta de una a cuatro cifras en el cuadro; la de cuatro sin nombre propio toma
// el de su cuenta de tres. Vacío si el cuadro no la tiene.
QString nombreCuenta(const QString& codigo);

// Filas fijas de Tipo_Cuenta, Documento y Naturaleza que falten.
void crearTablasFijas(Conexion& con);

// Carga los epígrafes del modelo en la empresa (que no debe tener ninguno), con sus fórmulas de
// suma con signo, crea la cuenta 129 y sus padres si faltan y asigna las cuentas de tres cifras.
// Ninguno no hace nada.
void cargarEstados(Conexion& con, long empresa, Modelo modelo);

// Modelo cuyos epígrafes tiene la empresa, o Ninguno.
Modelo modeloDeEmpresa(Conexion& con, long empresa);

// Asigna cada cuenta de tres cifras de la empresa que aún no alimenta ningún epígrafe de un
// estado al epígrafe de ese estado cuyo prefijo de cuenta es el más largo que la contiene.
void asignarCuentas(Conexion& con, long empresa, Modelo modelo);

}  // namespace Plan

}  // namespace orvo
