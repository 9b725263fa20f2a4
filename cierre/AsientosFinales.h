#pragma once

#include <QString>
#include <vector>

#include "Moneda.h"

namespace orvo {

class Conexion;

// Los asientos con que termina un ejercicio cerrado: la regularización (los grupos 6 y 7 a la
// 129; los grupos 8 y 9 a su cuenta del subgrupo 13) y el cierre de las cuentas de balance. No
// se guardan en los libros: se calculan de los apuntes cada vez, y así ningún informe del
// ejercicio cerrado cambia al cerrarlo (el balance de situación y la cuenta de pérdidas y
// ganancias a 31 de diciembre no quedan a cero). El Diario y el Mayor los muestran al final.
namespace AsientosFinales {

struct Linea {
    qint64 idCuenta = 0;  // 0: la subcuenta no está en los libros (la 129 o una del subgrupo 13)
    QString codigo, descripcion;
    Moneda debe, haber;                // euros
    Moneda debePesetas, haberPesetas;  // pesetas
};

struct Asiento {
    QString numero;    // detrás del mayor número de asiento de la empresa
    QString fecha;     // "yyyymmdd": el último día del ejercicio
    QString concepto;  // «Regularización del ejercicio 2023», «Cierre del ejercicio 2023»
    std::vector<Linea> lineas;  // por código de subcuenta; vacío si no hay nada que saldar
};

struct Asientos {
    Asiento regularizacion, cierre;
    Moneda resultado, resultadoPesetas;  // de los grupos 6 y 7: positivo, beneficio
};

// Los dos asientos del ejercicio de 'empresa', tenga o no ejercicio siguiente. Lanza ErrorOrvo
// si una subcuenta de los grupos 8 o 9 no tiene cuenta del subgrupo 13 donde regularizarse.
Asientos calcular(Conexion& con, long empresa);

// El ejercicio siguiente de la empresa (la que la nombra en CodEmpresaAnterior), o 0. Un
// ejercicio con siguiente está cerrado: el siguiente abrió con su cierre.
long ejercicioSiguiente(Conexion& con, long empresa);

// Los asientos finales si el ejercicio de 'empresa' está cerrado; sin líneas si no lo está.
Asientos deEjercicioCerrado(Conexion& con, long empresa);

}  // namespace AsientosFinales

}  // namespace orvo
