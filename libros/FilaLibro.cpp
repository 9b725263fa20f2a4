#include "FilaLibro.h"

#include <cmath>

#include "ErrorOrvo.h"
#include "Regional.h"

namespace orvo {

namespace FilaLibro {

void anadirAsiento(std::string& destino, QByteArrayView numero, qint64 idAsiento) {
    anadir(destino, numero);
    destino += " (";
    destino += std::to_string(idAsiento);
    destino += ')';
}

void anadirFecha(std::string& destino, QByteArrayView f) {
    // Un texto vacío no da fecha; uno corto da las piezas que tenga, como Mid y Left.
    if (f.trimmed().isEmpty()) return;
    auto trozo = [&f](qsizetype desde, qsizetype largo) {
        return desde < f.size() ? f.sliced(desde, std::min(largo, f.size() - desde))
                                : QByteArrayView();
    };
    anadir(destino, trozo(6, 2));
    destino += '/';
    anadir(destino, trozo(4, 2));
    destino += '/';
    anadir(destino, trozo(0, 4));
}

void anadirImporte(std::string& destino, Moneda importe, bool conDecimales) {
    char texto[Moneda::kLargoFormateado];
    destino.append(texto, static_cast<std::size_t>(importe.formatearEn(texto, conDecimales)));
}

Apunte::Apunte(const Recordset& rs)
    : cNumero_(rs.indice(QStringLiteral("Numero"))),
      cId_(rs.indice(QStringLiteral("IDAsiento"))),
      cFecha_(rs.indice(QStringLiteral("Fecha"))),
      cCodigo_(rs.indice(QStringLiteral("Codigo"))),
      cDescripcion_(rs.indice(QStringLiteral("Descripcion"))),
      cConcepto_(rs.indice(QStringLiteral("Concepto"))),
      cDebe_(rs.indice(QStringLiteral("Debe"))),
      cHaber_(rs.indice(QStringLiteral("Haber"))) {}

void Apunte::leer(const Recordset& rs) {
    asiento.leer(rs.textoUtf8(cNumero_), rs.entero(cId_), rs.textoUtf8(cFecha_));
    codigo = rs.textoUtf8(cCodigo_);
    descripcion = rs.textoUtf8(cDescripcion_);
    concepto = rs.textoUtf8(cConcepto_);
    debe = Moneda::deDiezmilesimas(rs.entero(cDebe_));
    haber = Moneda::deDiezmilesimas(rs.entero(cHaber_));
}

}  // namespace FilaLibro

QString columnaDebe(Divisa divisa) {
    return QStringLiteral("CtdadDebe") + sufijoColumna(divisa);
}
QString columnaHaber(Divisa divisa) {
    return QStringLiteral("CtdadHaber") + sufijoColumna(divisa);
}
QString importesApunte(Divisa divisa) {
    return QStringLiteral(
               "CCur(NULLIF(Apunte.%1, '')) AS Debe, CCur(NULLIF(Apunte.%2, '')) AS Haber")
        .arg(columnaDebe(divisa), columnaHaber(divisa));
}

QVariant numeroDeAsiento(const QString& tecleado) {
    const QString t = tecleado.trimmed();
    bool ok = false;
    const qlonglong entero = t.toLongLong(&ok);
    if (ok) return entero;
    const double decimal = t.toDouble(&ok);
    if (ok && std::isfinite(decimal)) return decimal;
    throw ErrorOrvo(Causa::ExpresionNoValida,
                    QStringLiteral("El número de asiento «%1» no es un número").arg(tecleado));
}

QString primerDiaDelMes(const QDate& desde) {
    return desde.toString(QStringLiteral("yyyyMM")) + QStringLiteral("01");
}

QString ultimoDiaDelMes(const QDate& hasta) {
    return hasta.toString(QStringLiteral("yyyyMM")) + QStringLiteral("31");
}

FormulasInforme formulasLibroPorMeses(Conexion& contabilidad, long empresa, const QDate& desde,
                                      const QDate& hasta, Divisa divisa) {
    return {{1, formulaEmpresa(contabilidad, empresa)},
            {2, formulaPeriodo(Regional::mesBarraAno(desde), Regional::mesBarraAno(hasta))},
            {3, formulaMoneda(divisa)}};
}

}  // namespace orvo
