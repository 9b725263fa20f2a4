#pragma once

#include <QDate>
#include <QString>
#include <functional>

#include "ArchivoEntero.h"
#include "Maquetador.h"

namespace orvo {

// Escribe 'archivo' entero o no lo toca: 'escribir' escribe en el temporal (por su dispositivo
// o por su ruta) y, si no lanza, el temporal pasa a ser 'archivo'. Lanza FalloMotor si no se
// puede crear, escribir o poner en su sitio.
void escribirEntero(const QString& archivo, const std::function<void(ArchivoEntero&)>& escribir);
// El fallo del motor para un archivo de salida que no se puede escribir, con el motivo.
[[noreturn]] void salidaNoEscribible(const QString& archivo, const QString& motivo);

// Salidas de datos del informe. CSV y XLSX llevan una fila por fila de la tabla de trabajo con
// los importes como números (para que una hoja de cálculo pueda sumarlos); HTML reproduce el
// informe compuesto en una sola tabla continua. Lanzan FalloMotor si no pueden escribir.
void exportarCsv(Maquetador& m, const QString& archivo);
void exportarHtml(Maquetador& m, const QString& titulo, const QDate& fecha, const QString& archivo);
void exportarXlsx(Maquetador& m, const QString& archivo);

}  // namespace orvo
