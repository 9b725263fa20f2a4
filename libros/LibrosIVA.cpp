#include "LibrosIVA.h"

#include "ErrorOrvo.h"
#include "EscritorTabla.h"
#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

namespace {

const QString kNoExiste = QStringLiteral("No existe");

// Porcentaje leído de los libros ("5,2" o 5.2), en coma flotante como manda la regla del
// recargo; un texto que no es un número es un error, no un cero.
double porcentaje(const QVariant& v) {
    return Moneda::deColumna(v).aDouble();
}

// Numeración automática: el número siguiente como número, sin los ceros de la izquierda.
QString siguienteNumero(const QString& numero) {
    bool ok = false;
    const double n = numero.trimmed().toDouble(&ok);
    if (!ok)
        throw ErrorOrvo(
            Causa::TiposNoCoinciden,
            QStringLiteral("El primer número de factura «%1» no es un número").arg(numero));
    return QString::number(n + 1, 'g', 15);
}

}  // namespace

QString ObtenerConsultaFacturas(const OpcionesLibrosIVA& o, Parametros& params) {
    const QString importes =
        QStringLiteral("CtdadDebe%1, CtdadHaber%1, BaseImp%1").arg(sufijoColumna(o.divisa));
    const QStringList alias = importes.split(QStringLiteral(", "));
    params = {static_cast<qlonglong>(o.empresa),
              o.emitidas ? QStringLiteral("477%") : QStringLiteral("472%"),
              cGeneral::DateString(o.desde), cGeneral::DateString(o.hasta)};
    const QString columnas = QStringLiteral(
        "Factura, Fecha, Contrapartida, DNI_CIF, IDAsiento, Numero, Concepto, PorcentajeIVA, "
        "PorcentajeRecargo, ");
    // Cada línea de IVA es una fila, también las que coinciden en todo con otra de la misma
    // factura; las de una factura salen juntas y en el orden del asiento en los dos motores.
    return QStringLiteral("SELECT ") + columnas +
           QStringLiteral("%1 AS Debe, %2 AS Haber, %3 AS BaseImponible")
               .arg(alias.value(0), alias.value(1), alias.value(2)) +
           QStringLiteral(
               " FROM Asiento, Apunte, Cuenta "
               "WHERE Cuenta.IDCuenta = Apunte.CodCuenta AND Apunte.CodAsiento = Asiento.IDAsiento "
               "AND Cuenta.CodEmpresa = ? AND Codigo LIKE ? "
               "AND Fecha >= ? AND Fecha <= ? AND Factura <> '' AND Contrapartida <> '' "
               "ORDER BY Fecha, IDAsiento, Factura, Contrapartida, IDApunte");
}

void recorrerLibroIVA(Conexion& contabilidad, const OpcionesLibrosIVA& o, IProgreso* progreso,
                      const std::function<void(const FilaIVA&)>& porFila) {
    Parametros params;
    const QString sql = ObtenerConsultaFacturas(o, params);
    Recordset rs = contabilidad.Execute(sql, params);
    if (rs.Eof()) return;
    const qint64 total = rs.RecordCount();
    if (progreso) progreso->Iniciar(total, QStringLiteral("Procesando ..."), 0);
    QString numero = o.primerNumero.trimmed();
    QString facturaAnterior;  // asiento, factura y contrapartida de la fila anterior
    qint64 filas = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        FilaIVA f;
        f.factura = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Factura")));
        f.contrapartida = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Contrapartida")));
        f.idAsiento = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("IDAsiento")));
        // La numeración automática da un número a cada factura, no a cada línea de IVA.
        const QString estaFactura = f.idAsiento + u'\n' + f.factura + u'\n' + f.contrapartida;
        f.primeraLinea = estaFactura != facturaAnterior;
        if (o.numeracionAutomatica && f.primeraLinea && !facturaAnterior.isEmpty())
            numero = siguienteNumero(numero);
        facturaAnterior = estaFactura;
        if (!o.numeracionAutomatica) numero = f.factura;
        f.numero = numero;
        f.nombre = f.nif = kNoExiste;
        {
            Recordset cuenta =
                contabilidad.Execute(QStringLiteral("SELECT Descripcion, DNI_CIF FROM Cuenta "
                                                    "WHERE Codigo = ? AND CodEmpresa = ?"),
                                     {f.contrapartida, static_cast<qlonglong>(o.empresa)});
            if (!cuenta.Eof()) {
                f.nombre = cGeneral::QuitarNulo(cuenta.Fields(0));
                f.nif = cGeneral::QuitarNulo(cuenta.Fields(1));
            }
        }
        const Moneda debe = Moneda::deColumna(rs.Fields(QStringLiteral("Debe")));
        const Moneda haber = Moneda::deColumna(rs.Fields(QStringLiteral("Haber")));
        f.cuotaIva = o.emitidas ? haber - debe : debe - haber;
        const QVariant rateIva = rs.Fields(QStringLiteral("PorcentajeIVA"));
        const QVariant rateRecargo = rs.Fields(QStringLiteral("PorcentajeRecargo"));
        // Una cuota negativa (factura rectificativa) hace negativa la base; una base ya
        // negativa no cambia de signo dos veces.
        f.base = Moneda::deColumna(rs.Fields(QStringLiteral("BaseImponible")));
        if (f.cuotaIva < Moneda() && f.base > Moneda()) f.base = -f.base;
        // Recargo: porcentaje por base en coma flotante, a moneda, entre cien; la cuota es la
        // que se imprime (a céntimos, o a pesetas enteras), y esa suma el total.
        const Moneda cien = Moneda::deDouble(porcentaje(rateRecargo) * f.base.aDouble());
        f.cuotaRecargo =
            Moneda::deDouble(static_cast<double>(cien.diezmilesimas()) / 100.0 / Moneda::kEscala)
                .redondeado(conDecimales(o.divisa));
        f.total = f.base + f.cuotaIva + f.cuotaRecargo;
        f.fecha = FechaLibros::deTexto(cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Fecha"))));
        f.asiento = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Numero")));
        f.concepto = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Concepto")));
        f.tipoIva = cGeneral::QuitarNulo(rateIva);
        f.tipoRecargo = cGeneral::QuitarNulo(rateRecargo);
        porFila(f);
        if (progreso && filas < total) progreso->setValor(++filas);
    }
    if (progreso) progreso->Terminar();
}

FormulasInforme construirLibrosIVA(ContextoInforme& contexto, const OpcionesLibrosIVA& o) {
    EscritorTabla escritor(
        contexto.informes, QStringLiteral("Libros_IVA"),
        {QStringLiteral("NumFactura"), QStringLiteral("Fecha"), QStringLiteral("CodSubcuenta"),
         QStringLiteral("DescripcionSubcuenta"), QStringLiteral("NIF"),
         QStringLiteral("NumAsiento"), QStringLiteral("Concepto"), QStringLiteral("BaseImponible"),
         QStringLiteral("IVA"), QStringLiteral("CuotaIVA"), QStringLiteral("Recargo"),
         QStringLiteral("CuotaRecargo"), QStringLiteral("TotalFactura")},
        o.divisa);
    recorrerLibroIVA(contexto.contabilidad, o, &contexto.progreso, [&](const FilaIVA& f) {
        escritor.escribir({f.numero, f.fecha.impresa(), f.contrapartida, f.nombre, f.nif,
                           f.textoAsiento(), f.concepto, f.base, f.tipoIva, f.cuotaIva,
                           f.tipoRecargo, f.cuotaRecargo, f.total});
    });
    return {{1, formulaEmpresa(contexto.contabilidad, o.empresa)},
            {2, formulaMoneda(o.divisa)},
            {3, formulaPeriodo(Regional::fechaCorta(o.desde), Regional::fechaCorta(o.hasta))}};
}

}  // namespace orvo
