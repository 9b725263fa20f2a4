#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace orvo {

class Conexion;
class IProgreso;

// Los dos libros que una empresa legaliza en el registro mercantil al acabar el ejercicio: el
// Libro Diario y el Libro de Inventarios y Cuentas Anuales, cada uno un PDF con portada y sus
// folios numerados seguidos, hechos con los mismos informes que se imprimen sueltos.
namespace Legalizacion {

struct Opciones {
    long empresa = 0;
    QString carpeta;       // donde se escriben los libros y huellas.txt
    QStringList anexos;    // PDF que cierran el libro de inventarios (memoria, patrimonio neto)
    QString plantillas;    // carpeta de las plantillas infCONT_*.rpt
    QDate fechaImpresion;  // nula: la del día
};

struct Libro {
    QString archivo;  // ruta del PDF escrito
    int folios = 0;   // portada incluida
    QString sha256;   // en hexadecimal
};

struct Resultado {
    Libro diario, inventarios;
    QString huellas;  // ruta de huellas.txt
    QString texto() const;
};

// Nombre del archivo de un libro: "2023_B12345678_LibroDiario.pdf".
QString nombreArchivo(const QString& ejercicio, const QString& nif, const QString& libro);

// Escribe en la carpeta los dos libros y huellas.txt (el SHA-256 de cada uno, como lo lee
// sha256sum -c). Cada archivo se escribe entero o nada: todos van a temporales de la misma
// carpeta y se renombran al final. Lanza ErrorOrvo, sin escribir nada, si el ejercicio no está
// cerrado, si la empresa no tiene NIF o si un anexo no es un PDF legible.
Resultado legalizar(Conexion& contabilidad, const Opciones& opciones, IProgreso& progreso);

// Orden "orvo-informes legalizar --contabilidad F --empresa N --archivo DIR [--anexo F.pdf …]":
// 0 escritos, 1 rechazado, 2 uso incorrecto.
int orden(const QStringList& argumentos, QTextStream& err, const QString& plantillas);

}  // namespace Legalizacion

}  // namespace orvo
