#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <map>

#include "Conexion.h"
#include "Moneda.h"
#include "Progreso.h"

namespace orvo {

// Fórmulas que deja una construcción: índice del motor (desde 1) -> texto "Nombre= valor".
using FormulasInforme = std::map<int, QString>;

// Lo que una construcción recibe además de sus opciones.
struct ContextoInforme {
    Conexion& contabilidad;
    Conexion& informes;
    IProgreso& progreso;
};

// Meses naturales del periodo, de dos cifras y en orden ("11", "12", "01"): de mes en mes
// desde 'desde' mientras no se pase del mes de 'hasta'. Los días no cuentan; un periodo de más
// de doce meses repite meses.
QStringList mesesPeriodo(const QDate& desde, const QDate& hasta);

// Suma SQL de una columna mensual de los libros sobre unos meses:
// "(CCur(Debe03Euros) + CCur(Debe04Euros))", o "0" sin meses. Los nombres de columna son del
// programa; ningún dato entra en el texto.
QString sumaMeses(const QString& raiz, const QStringList& meses, Divisa divisa);

// Sufijo de las columnas de importe de los libros en la moneda dada: "Euros" (CtdadDebeEuros,
// Debe03Euros) o nada en pesetas, que son las columnas sin sufijo.
QString sufijoColumna(Divisa divisa);

// Expresión SQL de la descripción de una cuenta ('tabla' es el nombre o alias de Cuenta en la
// consulta): la suya o, si la tiene en blanco, la de su cuenta padre más cercana que la tenga
// (una subcuenta dada de alta sin descripción se imprime con la de su cuenta).
QString descripcionCuenta(const QString& tabla);

// Fórmulas de cabecera: "Empresa= "<texto>"", "Periodo= "Periodo:  <desde> ~ <hasta>"" y
// "TrabajarConPts= '0'" en euros o "'1'" en pesetas.
QString formulaEmpresa(const QString& textoEmpresa);
// La misma con la cabecera de la empresa de los libros (ObtenerEmpresa).
QString formulaEmpresa(Conexion& contabilidad, long empresa);
QString formulaPeriodo(const QString& desde, const QString& hasta);
QString formulaMoneda(Divisa divisa);
// "enero/2001 ~ junio/2001", el periodo de meses de las cabeceras.
QString textoPeriodo(const QDate& desde, const QDate& hasta);

}  // namespace orvo
