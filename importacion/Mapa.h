#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "Lectores.h"

namespace orvo::Importacion {

// Subcuenta de los libros que corresponde a una cuenta del archivo de entrada.
struct CuentaMapa {
    QString subcuenta;
    QString descripcion;  // nombre de la subcuenta si se crea; vacío: el que dé la entrada
};
using Mapa = QHash<QString, CuentaMapa>;

// Mapa Cuenta;Subcuenta[;Descripción] (cabecera obligatoria; UTF-8 o Windows-1252). Las filas
// con la subcuenta vacía (un mapa a medio rellenar) no cuentan; las malas van a 'problemas'.
Mapa leerMapa(const QString& ruta, Problemas& problemas);

// Ruta del mapa para rellenar que se escribe junto a la entrada: "diario.mapa.csv".
QString rutaMapaPendiente(const QString& entrada);

// Escribe (o, si es el mapa en uso, amplía) el mapa para rellenar con las cuentas dadas y su
// nombre propuesto. Devuelve falso, sin tocar nada, si ya existe otro archivo con ese nombre;
// lanza FalloEscritura, sin tocar nada, si no puede escribirlo.
bool escribirMapaPendiente(const QString& ruta, const QString& mapaEnUso,
                           const QList<std::pair<QString, QString>>& cuentas);

}  // namespace orvo::Importacion
