#include "Esquemas.h"

#include <QFileInfo>

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "EsquemasSql.h"

namespace orvo::Esquemas {

QString contabilidadSql() {
    return QString::fromUtf8(kContabilidadSql);
}
QString informesSql() {
    return QString::fromUtf8(kInformesSql);
}

void crearContabilidad(Conexion& con) {
    con.ejecutarScript(contabilidadSql());
}
void crearInformes(Conexion& con) {
    con.ejecutarScript(informesSql());
}

QStringList tablasInformes() {
    return {QStringLiteral("Balances"),
            QStringLiteral("BalancesComparativo"),
            QStringLiteral("BalanceSumasySaldos"),
            QStringLiteral("Presupuesto"),
            QStringLiteral("PresupuestoAnual"),
            QStringLiteral("Libro_Diario"),
            QStringLiteral("Libro_Mayor"),
            QStringLiteral("Libros_IVA"),
            QStringLiteral("ResumenIVA"),
            QStringLiteral("Subcuentas"),
            QStringLiteral("Epigrafes")};
}

std::shared_ptr<Conexion> abrirContabilidad(const QString& ruta) {
    if (!Conexion::esServidor(ruta) && !QFileInfo(ruta).isFile())
        throw ErrorOrvo(Causa::ArchivoNoEncontrado,
                        QStringLiteral("No existe el archivo %1").arg(ruta));
    std::shared_ptr<Conexion> con;
    try {
        con = Conexion::abrir(ruta);
    } catch (const std::exception& e) {
        // El error del servidor ya dice con quién no se ha podido conectar.
        if (Conexion::esServidor(ruta)) throw;
        throw ErrorOrvo::conDescripcion(
            e, QStringLiteral("No se puede abrir %1: %2").arg(ruta, descripcionError(e)));
    }
    const QStringList tablas{"Empresa",   "Cuenta",     "Apunte",
                             "Asiento",   "Estructura", "Rel_Estructura_Cuenta",
                             "Documento", "Naturaleza", "Tipo_Cuenta"};
    for (const QString& t : tablas)
        if (!con->existeTabla(t))
            throw ErrorOrvo(Causa::TablaNoEncontrada,
                            QStringLiteral("%1 no es una base de contabilidad: le falta la "
                                           "tabla %2.")
                                .arg(con->ruta(), t));
    // Un usuario sin permiso lo sabe aquí, antes de pedir ningún informe.
    for (const QString& t : tablas) {
        try {
            con->Execute(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(t));
        } catch (const ErrorBD& e) {
            throw ErrorOrvo::conDescripcion(e,
                                            QStringLiteral("No se pueden leer los libros de %1: %2")
                                                .arg(con->ruta(), e.descripcion()));
        }
    }
    return con;
}

}  // namespace orvo::Esquemas
