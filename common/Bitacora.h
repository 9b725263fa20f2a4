#pragma once

// Bitácora de fallos: la persona lee una línea en español; el texto del motor de base de datos y
// la instrucción que falló quedan aquí, para quien tenga que averiguar qué pasó.
#include <QJsonArray>
#include <QString>

namespace orvo::Bitacora {

// Anota un fallo: el mensaje que se dio, el texto del motor y la instrucción (pueden ir vacíos).
// Nunca lanza: si el archivo no se puede escribir, la anotación queda solo en memoria.
void anotar(const QString& mensaje, const QString& motor, const QString& sql);

// El archivo: el de ORVO_BITACORA si está definida; si no, orvo.log en
// $XDG_STATE_HOME/OrvoContabilidad (~/.local/state/OrvoContabilidad) o, si esa carpeta no se
// puede crear, en la carpeta de la aplicación.
QString ruta();
void usarCarpetaAplicacion(const QString& carpeta);

// Lo anotado por este proceso, para el volcado de la orden.
QJsonArray anotaciones();

}  // namespace orvo::Bitacora
