#include "LibroDiario.h"

#include <algorithm>
#include <cmath>

#include "AsientosFinales.h"
#include "FilaLibro.h"

namespace orvo {

namespace {

// Con los números de asiento de la empresa guardados como enteros y sin repetir, que es lo
// corriente, su orden numérico es el del índice Asiento(CodEmpresa, Numero) y la fecha no llega
// a desempatar: la consulta sigue el índice en el orden de impresión y no hay que ordenar un
// millón de filas. Guardados como texto ("10" va antes que "9"), con decimales o repetidos, hay
// que ordenar y filtrar por Val(Numero) y fecha. En SQLite el tipo es el de cada valor; en el
// servidor, el de la columna.
bool numerosEnOrdenDeIndice(Conexion& contabilidad, long empresa) {
    return contabilidad
        .valor(QStringLiteral("SELECT NOT EXISTS (SELECT 1 FROM Asiento WHERE CodEmpresa = ? "
                              "GROUP BY Numero "
                              "HAVING count(*) > 1 OR typeof(Numero) <> 'integer')"),
               {static_cast<qlonglong>(empresa)})
        .toBool();
}

// Contra una columna entera, el límite tecleado con decimales pasa al entero de dentro del
// rango («De: 8.5» empieza en el 9): da los mismos asientos y el servidor no tiene que leer
// "8.5" como entero.
QVariant limiteEntero(const QVariant& limite, bool inferior) {
    if (limite.typeId() != QMetaType::Double) return limite;
    const double d = inferior ? std::ceil(limite.toDouble()) : std::floor(limite.toDouble());
    return static_cast<qlonglong>(std::clamp(d, -9.0e18, 9.0e18));
}

// Columnas y condiciones comunes a la consulta normal y a las dos pasadas de la ordenada.
// CROSS JOIN fija el orden de la unión (asientos del periodo, sus apuntes, la cuenta de cada
// uno): sin estadísticas, SQLite empezaría por las subcuentas y recorrería los asientos del
// periodo una vez por subcuenta. 'numero' es la expresión que filtra y ordena los asientos.
QString consultaApuntes(Divisa divisa, const QString& numero, const QString& condicionExtra,
                        int pasada) {
    return QStringLiteral(
               "SELECT Asiento.Numero, Asiento.IDAsiento, Asiento.Fecha, Cuenta.Codigo, "
               "%4 AS Descripcion, Apunte.Concepto, %1, "
               "%3 AS NumeroValor, Apunte.IDApunte, %2 AS Pasada "
               "FROM Asiento CROSS JOIN Apunte ON Asiento.IDAsiento = Apunte.CodAsiento "
               "CROSS JOIN Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta "
               "WHERE Asiento.CodEmpresa = ? AND Cuenta.CodEmpresa = ? "
               "AND Cuenta.CodTipo_Cuenta = 2 "
               "AND %3 >= ? AND %3 <= ? "
               "AND Cuenta.Codigo >= ? AND Cuenta.Codigo <= ? "
               "AND Asiento.Fecha >= ? AND Asiento.Fecha <= ? ")
               .arg(importesApunte(divisa), QString::number(pasada), numero,
                    descripcionCuenta(QStringLiteral("Cuenta"))) +
           condicionExtra;
}

// Las líneas de la regularización y del cierre de un ejercicio cerrado, que no están en los
// libros, al final: detrás del último asiento, si el periodo llega al último día del ejercicio
// y los rangos de asientos y subcuentas las abarcan. Cada una lleva el concepto de su asiento.
void asientosFinales(Conexion& contabilidad, const OpcionesLibroDiario& o,
                     const std::function<void(const ApunteLibro&)>& porFila) {
    const AsientosFinales::Asientos finales =
        AsientosFinales::deEjercicioCerrado(contabilidad, o.empresa);
    const double desde = numeroDeAsiento(o.asientoDesde).toDouble();
    const double hasta = numeroDeAsiento(o.asientoHasta).toDouble();
    for (const AsientosFinales::Asiento* a : {&finales.regularizacion, &finales.cierre}) {
        if (a->lineas.empty() || a->fecha < primerDiaDelMes(o.desde) ||
            a->fecha > ultimoDiaDelMes(o.hasta) || a->numero.toDouble() < desde ||
            a->numero.toDouble() > hasta)
            continue;
        std::vector<AsientosFinales::Linea> lineas;
        for (const AsientosFinales::Linea& l : a->lineas)
            if (l.codigo >= o.subcuentaDesde && l.codigo <= o.subcuentaHasta) lineas.push_back(l);
        // Ordenados: primero el debe y luego el haber, cada grupo por código (ya lo está).
        if (o.apuntesOrdenados)
            std::stable_partition(lineas.begin(), lineas.end(), [&](const auto& l) {
                return !(o.divisa == Divisa::Euros ? l.debe : l.debePesetas).esCero();
            });
        const QByteArray numero = a->numero.toUtf8(), fecha = a->fecha.toUtf8(),
                         concepto = a->concepto.toUtf8();
        for (const AsientosFinales::Linea& l : lineas) {
            const QByteArray codigo = l.codigo.toUtf8(), descripcion = l.descripcion.toUtf8();
            ApunteLibro f;
            f.numero = numero;
            f.fecha = fecha;
            f.codigo = codigo;
            f.descripcion = descripcion;
            f.concepto = concepto;
            f.debe = o.divisa == Divisa::Euros ? l.debe : l.debePesetas;
            f.haber = o.divisa == Divisa::Euros ? l.haber : l.haberPesetas;
            porFila(f);
        }
    }
}

}  // namespace

QString numeroMaximoAsiento(Conexion& contabilidad, long empresa) {
    const QVariant maximo = contabilidad.valor(
        QStringLiteral("SELECT MAX(Val(Numero)) AS NumeroMaximo FROM Asiento WHERE CodEmpresa = ?"),
        {static_cast<qlonglong>(empresa)});
    if (maximo.isNull()) return QStringLiteral("0");
    if (maximo.typeId() == QMetaType::Double) return QString::number(maximo.toDouble(), 'g', 15);
    return QString::number(maximo.toLongLong());
}

void recorrerLibroDiario(Conexion& contabilidad, const OpcionesLibroDiario& o, IProgreso* progreso,
                         const std::function<void(const ApunteLibro&)>& porFila) {
    const bool porIndice = numerosEnOrdenDeIndice(contabilidad, o.empresa);
    const QVariant asientoDesde = numeroDeAsiento(o.asientoDesde),
                   asientoHasta = numeroDeAsiento(o.asientoHasta);
    const Parametros filtros{static_cast<qlonglong>(o.empresa),
                             static_cast<qlonglong>(o.empresa),
                             porIndice ? limiteEntero(asientoDesde, true) : asientoDesde,
                             porIndice ? limiteEntero(asientoHasta, false) : asientoHasta,
                             o.subcuentaDesde,
                             o.subcuentaHasta,
                             primerDiaDelMes(o.desde),
                             ultimoDiaDelMes(o.hasta)};
    // Una sola consulta en el orden de impresión: asientos por número (como número), fecha y
    // clave; dentro de cada asiento, los apuntes como se anotaron o, si se piden ordenados,
    // primero los del debe y luego los del haber, cada grupo por código de subcuenta. Las
    // pasadas miran las columnas en pesetas sea cual sea la moneda: un apunte con las dos
    // a cero no sale y uno con las dos distintas de cero sale dos veces.
    const QString numero =
        porIndice ? QStringLiteral("Asiento.Numero") : QStringLiteral("Val(Asiento.Numero)");
    // Dentro de un asiento los apuntes llegan por el índice de Apunte(CodAsiento) en el orden
    // de su clave, así que con el índice no queda nada que ordenar.
    const QString orden =
        QStringLiteral(" ORDER BY NumeroValor, %1%2%3IDApunte")
            .arg(porIndice ? QString() : QStringLiteral("Fecha, "),
                 QStringLiteral("IDAsiento, "),
                 o.apuntesOrdenados ? QStringLiteral("Pasada, Codigo, ") : QString());
    QString apuntes;
    Parametros params = filtros;
    if (o.apuntesOrdenados) {
        apuntes = consultaApuntes(o.divisa, numero,
                                  QStringLiteral("AND CCur(NULLIF(Apunte.CtdadDebe, '')) <> 0"),
                                  0) +
                  QStringLiteral(" UNION ALL ") +
                  consultaApuntes(o.divisa, numero,
                                  QStringLiteral("AND CCur(NULLIF(Apunte.CtdadHaber, '')) <> 0"),
                                  1);
        params += filtros;
    } else {
        apuntes = consultaApuntes(o.divisa, numero, QString(), 0);
    }
    // El recuento para la barra de progreso no necesita el orden: así no se ordena dos veces.
    const qint64 total = progreso ? contabilidad
                                        .valor(QStringLiteral("SELECT count(*) FROM (") + apuntes +
                                                   QStringLiteral(") AS apuntes"),
                                               params)
                                        .toLongLong()
                                  : 0;
    Recordset rs = contabilidad.Execute(apuntes + orden, params);
    FilaLibro::LectorApuntes lector(rs);
    FilaLibro::recorrerFilas(rs, progreso, total, [&] { porFila(lector.leer(rs)); });
    asientosFinales(contabilidad, o, porFila);
}

FormulasInforme construirLibroDiario(ContextoInforme& contexto, const OpcionesLibroDiario& o) {
    EscritorLibro escritor(
        contexto.informes, QStringLiteral("Libro_Diario"),
        {QStringLiteral("Asiento"), QStringLiteral("Fecha"), QStringLiteral("Descripcion"),
         QStringLiteral("Concepto"), QStringLiteral("Debe"), QStringLiteral("Haber")},
        o.divisa);
    recorrerLibroDiario(contexto.contabilidad, o, &contexto.progreso, [&](const ApunteLibro& a) {
        escritor.asiento(a.numero, a.idAsiento)
            .fecha(a.fecha)
            .cuenta(a.codigo, a.descripcion)
            .texto(a.concepto)
            .importe(a.debe)
            .importe(a.haber)
            .escribir();
    });
    return formulasLibroPorMeses(contexto.contabilidad, o.empresa, o.desde, o.hasta, o.divisa);
}

}  // namespace orvo
