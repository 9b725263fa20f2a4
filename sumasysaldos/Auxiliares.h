#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "Conexion.h"

namespace orvo {

// Piezas que comparten el balance de sumas y saldos y los informes de presupuestos.

// Texto de un nivel en las listas de desgloses: "Desglose nivel 3".
QString textoNivel(int nivel);
// Nivel de un elemento de esas listas: sus dos últimos caracteres, sin blancos.
int nivelDeTexto(const QString& texto);

// "Nivel IN (?, ?)" con los niveles añadidos a los parámetros. Lanza ErrorOrvo si no hay
// ninguno: un informe por niveles sin niveles no tiene filas que pedir.
QString condicionNiveles(const std::vector<int>& niveles, Parametros& parametros);

// Fecha de un texto "yyyymmdd" de los libros; lanza ErrorOrvo con 'que' si no es válida.
QDate fechaLibros(const QString& texto, const QString& que);

}  // namespace orvo
