#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

#include "Plan.h"

namespace orvo {

class IProgreso;

namespace Importacion {

struct Opciones {
    QString entrada;       // .csv, .journal, .ledger, .hledger o .dat
    QString contabilidad;  // se crea con el esquema de los libros si no existe
    long empresa = 0;
    QString nombre, abreviatura;  // de la empresa que se crea
    QDate desde, hasta;           // ejercicio de la empresa que se crea
    int digitos = 0;              // de las subcuentas de la empresa que se crea (5 a 10); 0: 7
    Plan::Modelo plan = Plan::Modelo::Pymes;
    QString mapa;          // CSV Cuenta;Subcuenta[;Descripción], opcional
    QStringList columnas;  // nombres de las columnas del CSV en orden, si no valen los suyos
    QString presupuesto;   // CSV Cuenta;Mes;Importe, opcional
    // Cierra el ejercicio de una empresa y abre el siguiente (el cierre del ejercicio), y
    // devuelve la empresa nueva: con ella, un asiento posterior al ejercicio cierra este y sigue
    // en el siguiente; sin ella, se rechaza.
    std::function<long(Conexion&, long)> abrirSiguiente;
};

struct Resumen {
    qint64 asientos = 0, apuntes = 0, cuentasCreadas = 0, presupuestos = 0;
    bool empresaCreada = false;
    qint64 importacion = 0;      // número con que se deshace
    int ejerciciosAbiertos = 0;  // los siguientes que abrió: con alguno, no se deshace
    QString codificacion;        // de la entrada, si no es UTF-8
    QStringList avisos;          // lo que no se importó sin ser un error
    QString texto() const;
};

// Importa todo o nada, en una transacción: los problemas de la entrada (hasta 50, cada uno con
// archivo, línea y razón) se dicen juntos en un ErrorOrvo, y los libros quedan como estaban (un
// archivo de contabilidad recién creado se borra). Un contenido ya importado en la empresa se
// rechaza. Termina con la rutina de asientos sobre la empresa y anota la importación.
Resumen importar(const Opciones& opciones, IProgreso& progreso);

// Orden "orvo-informes importar ENTRADA …" (o "importar --deshacer N …"): 0 hecho, 1 rechazado,
// 2 uso incorrecto.
int orden(const QStringList& argumentos, QTextStream& err,
          const std::function<long(Conexion&, long)>& abrirSiguiente = {});

}  // namespace Importacion

}  // namespace orvo
