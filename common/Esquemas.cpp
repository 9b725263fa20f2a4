#include "Esquemas.h"

#include "Conexion.h"
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

}  // namespace orvo::Esquemas
