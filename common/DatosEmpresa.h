#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace orvo {

class Conexion;

// Una empresa de los libros y su ejercicio: la única lectura de la tabla Empresa que hacen los
// informes y sus diálogos.
struct DatosEmpresa {
    long id = 0;
    QString abreviatura;
    QString nombre;
    QString ejercicio;  // AñoEjercicio, como texto
    QString fechaIni;   // "yyyymmdd", como en los libros
    QString fechaFin;
    int desgloseSubcuentas = 0;
    long anterior = 0;  // CodEmpresaAnterior

    // "<ABR> Nombre", la cabecera de los informes.
    QString cabecera() const;

    // La empresa, o nada si no está en los libros.
    static std::optional<DatosEmpresa> leer(Conexion& con, long empresa);
    // La empresa; ErrorOrvo (RegistroNoEncontrado) si no está en los libros.
    static DatosEmpresa existente(Conexion& con, long empresa);
    // Todas las empresas de los libros, por nombre y, con el mismo nombre, por ejercicio.
    static std::vector<DatosEmpresa> todas(Conexion& con);

    // El NIF, que los informes no necesitan pero sí las salidas para la Agencia Tributaria. Los
    // libros de antes no tienen la columna; ningún informe la exige.
    // Añade la columna NIF a Empresa si los libros no la tienen.
    static void asegurarColumnaNif(Conexion& con);
    // NIF de la empresa; vacío si no lo tiene o si los libros no tienen la columna.
    static QString nif(Conexion& con, long empresa);
    // Sin espacios, puntos ni guiones y en mayúsculas; lanza ErrorOrvo si no son nueve letras o
    // cifras. El texto vacío se queda vacío (la empresa deja de tener NIF).
    static QString normalizarNif(const QString& texto);
    // Guarda el NIF ya normalizado, creando la columna si falta; nada cambia si el texto no vale
    // o la empresa no existe (lanza ErrorOrvo).
    static void guardarNif(Conexion& con, long empresa, const QString& texto);
};

}  // namespace orvo
