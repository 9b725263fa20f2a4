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

// Meses naturales del periodo, de dos cifras y en orden ("11", "12", "01"): de mes en mes
// desde 'desde' mientras no se pase del mes de 'hasta'. Los días no cuentan.
QStringList mesesPeriodo(const QDate& desde, const QDate& hasta);

// "marzo/2001", el formato "mmmm/yyyy" de las cabeceras de periodo.
QString mesBarraAno(const QDate& fecha);

// Fecha de un texto "yyyymmdd" de los libros; lanza ErrorOrvo con 'que' si no es válida.
QDate fechaLibros(const QString& texto, const QString& que);

}  // namespace orvo
