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
    QString entrada;       // .csv, .journal, .ledger o .hledger
    QString contabilidad;  // se crea con el esquema de los libros si no existe
    long empresa = 0;
    QString nombre, abreviatura;  // de la empresa que se crea
    QDate desde, hasta;           // ejercicio de la empresa que se crea
    Plan::Modelo plan = Plan::Modelo::Pymes;
    QString presupuesto;  // CSV Cuenta;Mes;Importe, opcional
    // Cierra el ejercicio de una empresa y abre el siguiente (el cierre del ejercicio), y
    // devuelve la empresa nueva: con ella, un asiento posterior al ejercicio cierra este y sigue
    // en el siguiente; sin ella, se rechaza.
    std::function<long(Conexion&, long)> abrirSiguiente;
};

struct Resumen {
    qint64 asientos = 0, apuntes = 0, cuentasCreadas = 0, presupuestos = 0;
    bool empresaCreada = false;
    QStringList avisos;  // lo que no se importó sin ser un error
    QString texto() const;
};

// Importa todo o nada, en una transacción: un error en cualquier línea lanza ErrorOrvo con el
// archivo, la línea y la razón, y deja los libros como estaban (un archivo de contabilidad
// recién creado se borra). Termina con la rutina de asientos sobre la empresa.
Resumen importar(const Opciones& opciones, IProgreso& progreso);

// Orden "orvo-informes importar ENTRADA …": 0 importado, 1 rechazado, 2 uso incorrecto.
int orden(const QStringList& argumentos, QTextStream& err,
          const std::function<long(Conexion&, long)>& abrirSiguiente = {});

}  // namespace Importacion

}  // namespace orvo
