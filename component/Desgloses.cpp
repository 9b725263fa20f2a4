#include "Desgloses.h"

#include "ContextoInforme.h"
#include "ErrorOrvo.h"
#include "LibroDiario.h"
#include "LibroMayor.h"
#include "Progreso.h"
#include "cGeneral.h"

namespace orvo {

InformeDesglose construirDesglose(const Desglose& d, std::shared_ptr<Conexion> contabilidad,
                                  std::shared_ptr<Conexion> informes) {
    const bool mayor = d.libro == Desglose::Libro::Mayor;
    InformeDesglose r;
    r.tabla = mayor ? QStringLiteral("Libro_Mayor") : QStringLiteral("Libro_Diario");
    r.plantilla = mayor ? QStringLiteral("infCONT_LibroMayor.rpt")
                        : QStringLiteral("infCONT_LibroDiario.rpt");
    r.titulo = mayor ? QStringLiteral("Informe de libro Mayor")
                     : QStringLiteral("Informe de libro Diario");
    {
        ProgresoNulo progreso;
        const Lectura lectura(*contabilidad);
        Transaccion transaccion(*informes);
        // La tabla es de este desglose: lo que quedara de otro no se mezcla con él.
        informes->Execute(QStringLiteral("DELETE FROM ") + r.tabla);
        ContextoInforme contexto{*contabilidad, *informes, progreso};
        if (mayor) {
            OpcionesLibroMayor o;
            o.empresa = d.empresa;
            o.divisa = d.divisa;
            o.subcuentaDesde = d.subcuentaDesde;
            o.subcuentaHasta = d.subcuentaHasta;
            o.desde = d.desde;
            o.hasta = d.hasta;
            o.inicioEjercicio = d.inicioEjercicio;
            o.asientosFinales = false;
            r.formulas = construirLibroMayor(contexto, o);
        } else {
            OpcionesLibroDiario o;
            o.empresa = d.empresa;
            o.divisa = d.divisa;
            o.asientoDesde = o.asientoHasta = d.asiento;
            o.desde = d.desde;
            o.hasta = d.hasta;
            r.formulas = construirLibroDiario(contexto, o);
        }
        transaccion.confirmar();
    }
    if (informes->valor(QStringLiteral("SELECT COUNT(*) FROM ") + r.tabla).toLongLong() == 0)
        throw ErrorOrvo(
            Causa::RegistroNoEncontrado,
            mayor ? QStringLiteral("La cuenta %1 no tiene apuntes en el periodo del "
                                   "informe.")
                        .arg(d.subcuentaDesde == d.subcuentaHasta
                                 ? d.subcuentaDesde
                                 : d.subcuentaDesde + QStringLiteral(" a ") + d.subcuentaHasta)
                  : QStringLiteral("El asiento %1 no está en el periodo del informe.")
                        .arg(d.asiento));
    const QString tabla = r.tabla;
    r.alCerrar = [informes, tabla] { informes->Execute(QStringLiteral("DELETE FROM ") + tabla); };
    if (mayor)
        r.siguiente = [d, contabilidad, informes](qint64 fila) -> std::optional<InformeDesglose> {
            const QString asiento =
                cGeneral::QuitarNulo(
                    informes->valor(
                        QStringLiteral("SELECT Asiento FROM Libro_Mayor WHERE rowid = ?"), {fila}))
                    .trimmed();
            if (asiento.isEmpty()) return std::nullopt;
            Desglose diario = Desglose::diario(asiento);
            diario.empresa = d.empresa;
            diario.divisa = d.divisa;
            diario.desde = d.desde;
            diario.hasta = d.hasta;
            diario.inicioEjercicio = d.inicioEjercicio;
            return construirDesglose(diario, contabilidad, informes);
        };
    return r;
}

}  // namespace orvo
