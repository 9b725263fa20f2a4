#pragma once

#include <QStringList>

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
}  // namespace Esquemas

}  // namespace orvo
