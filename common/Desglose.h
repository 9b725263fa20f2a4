#pragma once

#include <QDate>
#include <QString>

#include "Moneda.h"

namespace orvo {

// A dónde lleva un doble clic en una fila de un informe en pantalla: el libro mayor de unas
// subcuentas (la cuenta de la fila o, si tiene menos cifras, todas sus subcuentas) o el libro
// diario de un asiento, de la misma empresa, en la misma moneda y del periodo del informe.
struct Desglose {
    enum class Libro { Mayor, Diario };
    Libro libro = Libro::Mayor;
    long empresa = 0;
    Divisa divisa = Divisa::Euros;
    QDate desde, hasta;
    QDate inicioEjercicio;
    QString subcuentaDesde, subcuentaHasta;  // el mayor
    QString asiento;                         // el diario: su número

    // El mayor de la cuenta 'codigo' y de todas las que empiezan por ella, con subcuentas de
    // 'cifras' cifras.
    static Desglose mayor(const QString& codigo, int cifras);
    // El diario del asiento de número 'numero' ("12", o "12 (345)" como lo escriben los libros,
    // con su clave).
    static Desglose diario(const QString& numero);
};

}  // namespace orvo
