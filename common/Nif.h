#pragma once

#include <QString>

namespace orvo {

class Conexion;

// Identificadores fiscales: el NIF español (DNI, NIE, CIF y los de letra K, L y M) con su
// dígito de control, y los de fuera (NIF-IVA de la Unión Europea y otros), con el tipo de
// identificación y el código de país que piden los libros registro.
namespace nif {

// Sin espacios, puntos, guiones ni barras, en mayúsculas.
QString normalizar(const QString& texto);

enum class Clase {
    Vacio,
    Nif,     // español con forma de DNI, NIE, CIF o K/L/M
    NifIva,  // NIF-IVA de otro Estado de la Unión: prefijo de país y número
    Otro,    // ni lo uno ni lo otro
};

struct Identificacion {
    Clase clase = Clase::Vacio;
    QString numero;              // normalizado; el NIF español sin el prefijo "ES"
    QString tipo;                // "" para el NIF español, "02" para el NIF-IVA
    QString pais;                // código ISO 3166-1 del NIF-IVA ("GR" para "EL")
    bool controlValido = false;  // del NIF español: su letra o dígito de control cuadra
};

Identificacion identificar(const QString& texto);

// El NIF español (ya normalizado) pasa su dígito de control.
bool controlValido(const QString& numero);

// Normaliza el NIF propio de una empresa y exige que sea español y pase su control; el vacío
// se queda vacío. Lanza ErrorOrvo con el texto tecleado y qué hacer.
QString exigirPropio(const QString& texto);

}  // namespace nif

// Datos fiscales opcionales de la empresa que solo usan las salidas para la Agencia
// Tributaria: el grupo o epígrafe del IAE de su actividad.
namespace iae {

// Cuatro letras o cifras como mucho; lanza ErrorOrvo si no. El vacío se queda vacío.
QString normalizar(const QString& texto);
// El de la empresa, vacío si no lo tiene o si los libros no tienen la columna.
QString leer(Conexion& con, long empresa);
// Guarda el epígrafe ya normalizado, creando la columna si falta.
void guardar(Conexion& con, long empresa, const QString& texto);

}  // namespace iae

}  // namespace orvo
