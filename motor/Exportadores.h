#pragma once

#include <QDate>
#include <QString>

#include "Escritores.h"
#include "Maquetador.h"

namespace orvo {

// Salidas de datos del informe. CSV y XLSX llevan una fila por fila de la tabla de trabajo con
// los importes como números (para que una hoja de cálculo pueda sumarlos); HTML reproduce el
// informe compuesto en una sola tabla continua. Lanzan FalloEscritura si no pueden escribir, y
// FalloMotor si el informe no cabe en una hoja de cálculo.
void exportarCsv(Maquetador& m, const QString& archivo);
void exportarHtml(Maquetador& m, const QString& titulo, const QDate& fecha, const QString& archivo);
void exportarXlsx(Maquetador& m, const QString& archivo);

}  // namespace orvo
