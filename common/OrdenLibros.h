#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>

namespace orvo {

class Conexion;

// Lo que comparten las órdenes de orvo-informes sobre unos libros (comprobar, cerrar,
// legalizar): --contabilidad FILE|postgresql://… y --empresa N, más las marcas sin valor y las
// opciones con valor que cada orden añade.
struct OrdenLibros {
    QString uso;                      // la línea de uso, que se dice si las órdenes no valen
    std::map<QString, bool*> marcas;  // "--reparar" → dónde se apunta
    std::map<QString, std::function<void(const QString&)>> valores;  // "--archivo" → qué hace
    QString ruta;
    long empresa = 0;

    // Lee las órdenes; falso (con el uso dicho en 'err') si no valen.
    bool leer(const QStringList& a, QTextStream& err);
    // Abre los libros y hace el trabajo: su código de salida, o 1 con el error en una línea.
    int ejecutar(QTextStream& err, const std::function<int(Conexion&)>& trabajo) const;
};

}  // namespace orvo
