#pragma once

#include <QString>
#include <optional>

namespace orvo {

// Los archivos que escribe el motor de informes (Destination 2): el formato lo da la extensión.
// El cuadro de guardar, el motor y el ejecutor de órdenes los toman de aquí.
enum class FormatoSalida { Pdf, Csv, Html, Xlsx };

// El formato de 'archivo' por su extensión, sin distinguir mayúsculas; ninguno si el motor no
// la escribe.
std::optional<FormatoSalida> formatoDeSalida(const QString& archivo);
// Por qué no se escribe 'archivo', en una línea que dice qué extensiones sirven.
QString extensionNoAdmitida(const QString& archivo);
// Filtro de los cuadros de guardar, un tipo por formato; el primero, PDF.
QString filtroSalidas();
// 'archivo' con la extensión del tipo elegido en el cuadro de guardar ('tipo', uno de los del
// filtro) si el nombre tecleado no trae ninguna.
QString conExtensionDelTipo(const QString& archivo, const QString& tipo);

}  // namespace orvo
