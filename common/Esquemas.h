#pragma once

#include <QStringList>
#include <memory>

namespace orvo {

class Conexion;

// Esquemas que el proyecto entrega: los libros de contabilidad y las tablas de trabajo.
namespace Esquemas {
QString contabilidadSql();
QString informesSql();
// Crea las tablas que falten; no toca las que ya existen.
void crearContabilidad(Conexion& con);
void crearInformes(Conexion& con);
// Nombres de las tablas de trabajo.
QStringList tablasInformes();
// Abre unos libros, un archivo o una base de un servidor, y comprueba que se pueden leer: que
// tienen sus tablas y que el usuario tiene permiso. Lanza ErrorOrvo con un mensaje en español
// que nombra los libros (sin la contraseña).
std::shared_ptr<Conexion> abrirContabilidad(const QString& ruta);
}  // namespace Esquemas

}  // namespace orvo
