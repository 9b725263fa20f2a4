#pragma once

#include <QDate>
#include <QString>

#include "Maquetador.h"

namespace orvo {

// Salidas de datos del informe. CSV y XLSX llevan una fila por fila de la tabla de trabajo con
// los importes como números (para que una hoja de cálculo pueda sumarlos); HTML reproduce el
// informe compuesto en una sola tabla continua. Lanzan FalloMotor si no pueden escribir.
void exportarCsv(Maquetador& m, const QString& archivo);
void exportarHtml(Maquetador& m, const QString& titulo, const QDate& fecha, const QString& archivo);
void exportarXlsx(Maquetador& m, const QString& archivo);

// Número de una celda para una hoja de cálculo ("1.234,56" -> "1234.56", "25,00 %" -> "25.00");
// vacío si la celda no es un número.
QString numeroParaHoja(const QString& celda);

}  // namespace orvo
