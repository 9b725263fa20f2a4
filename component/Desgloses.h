#pragma once

#include <memory>

#include "Conexion.h"
#include "Desglose.h"
#include "Interfaces.h"

namespace orvo {

// Construye el desglose pedido (el mayor de unas subcuentas o el diario de un asiento) en su
// tabla de trabajo, en una transacción y leyendo una sola versión de los libros, y dice con
// qué plantilla, título y fórmulas se muestra. Las filas del mayor llevan a su vez al diario de
// su asiento. Lanza ErrorOrvo si no hay apuntes que mostrar (la tabla queda vacía).
InformeDesglose construirDesglose(const Desglose& d, std::shared_ptr<Conexion> contabilidad,
                                  std::shared_ptr<Conexion> informes);

}  // namespace orvo
