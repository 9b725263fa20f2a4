#pragma once

#include <QString>

namespace orvo {

class Conexion;

// Datos de la empresa que los informes no necesitan pero sí las salidas para la Agencia
// Tributaria: el NIF. Los libros de antes no tienen la columna; ningún informe la exige.
namespace DatosEmpresa {
// Añade la columna NIF a Empresa si los libros no la tienen.
void asegurarColumnaNif(Conexion& con);
// NIF de la empresa; vacío si no lo tiene o si los libros no tienen la columna.
QString nif(Conexion& con, long empresa);
// Sin espacios, puntos ni guiones y en mayúsculas; lanza ErrorOrvo si no son nueve letras o
// cifras. El texto vacío se queda vacío (la empresa deja de tener NIF).
QString normalizarNif(const QString& texto);
// Guarda el NIF ya normalizado, creando la columna si falta; nada cambia si el texto no vale
// o la empresa no existe (lanza ErrorOrvo).
void guardarNif(Conexion& con, long empresa, const QString& texto);
}  // namespace DatosEmpresa

}  // namespace orvo
