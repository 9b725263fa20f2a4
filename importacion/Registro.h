#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace orvo {

class Conexion;

// Las importaciones hechas en los libros, en su propia tabla: para no importar dos veces el
// mismo contenido y para poder deshacer una.
namespace Registro {

struct Importacion {
    qint64 numero = 0;
    QString archivo;
    QString fecha;  // "dd/mm/aaaa hh:mm"
    qint64 asientos = 0;
};

// Crea la tabla si falta.
void crearTabla(Conexion& con);

// La importación de la empresa con esa huella de contenido, si la hay.
std::optional<Importacion> buscar(Conexion& con, long empresa, const QByteArray& huella);

// Anota una importación (sus asientos son los de IDAsiento entre 'primero' y 'ultimo') y
// devuelve su número.
qint64 anotar(Conexion& con, long empresa, const QString& archivo, const QByteArray& huella,
              qint64 asientos, qint64 apuntes, qint64 primero, qint64 ultimo);

// Borra los asientos de la importación 'numero' de la empresa, rehace las sumas de sus cuentas
// y olvida la importación, todo en una transacción. ErrorOrvo si no es de esa empresa.
Importacion deshacer(const QString& contabilidad, long empresa, qint64 numero);

}  // namespace Registro

}  // namespace orvo
