#include "FilaLibro.h"

#include <cmath>

#include "ErrorOrvo.h"
#include "EscritorTabla.h"
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

LectorApuntes::LectorApuntes(const Recordset& rs)
    : cNumero_(rs.indice(QStringLiteral("Numero"))),
      cId_(rs.indice(QStringLiteral("IDAsiento"))),
      cFecha_(rs.indice(QStringLiteral("Fecha"))),
      cCodigo_(rs.indice(QStringLiteral("Codigo"))),
      cDescripcion_(rs.indice(QStringLiteral("Descripcion"))),
      cConcepto_(rs.indice(QStringLiteral("Concepto"))),
      cDebe_(rs.indice(QStringLiteral("Debe"))),
      cHaber_(rs.indice(QStringLiteral("Haber"))) {}

const ApunteLibro& LectorApuntes::leer(const Recordset& rs) {
    apunte_.numero = rs.textoUtf8(cNumero_);
    apunte_.idAsiento = rs.entero(cId_);
    const QByteArrayView fecha = rs.textoUtf8(cFecha_);
    if (!fecha.trimmed().isEmpty())
        fecha_.assign(fecha.data(), static_cast<std::size_t>(fecha.size()));
    apunte_.fecha = vista(fecha_);
    apunte_.codigo = rs.textoUtf8(cCodigo_);
    apunte_.descripcion = rs.textoUtf8(cDescripcion_);
    apunte_.concepto = rs.textoUtf8(cConcepto_);
    apunte_.debe = Moneda::deDiezmilesimas(rs.entero(cDebe_));
    apunte_.haber = Moneda::deDiezmilesimas(rs.entero(cHaber_));
    return apunte_;
}

}  // namespace FilaLibro

EscritorLibro::EscritorLibro(Conexion& informes, const QString& tabla, const QStringList& columnas,
                             Divisa divisa)
    : insertar_(informes.preparar(sqlInsertar(tabla, columnas))),
      decimales_(conDecimales(divisa)) {}

EscritorLibro& EscritorLibro::poner() {
    insertar_.enlazarTexto(++columna_, FilaLibro::vista(pieza_));
    pieza_.clear();
    return *this;
}

EscritorLibro& EscritorLibro::texto(QByteArrayView utf8) {
    FilaLibro::anadir(pieza_, utf8);
    return poner();
}

EscritorLibro& EscritorLibro::importe(Moneda importe) {
    FilaLibro::anadirImporte(pieza_, importe, decimales_);
    return poner();
}

EscritorLibro& EscritorLibro::asiento(QByteArrayView numero, std::optional<qint64> idAsiento) {
    if (idAsiento)
        FilaLibro::anadirAsiento(pieza_, numero, *idAsiento);
    else
        FilaLibro::anadir(pieza_, numero);
    return poner();
}

EscritorLibro& EscritorLibro::fecha(QByteArrayView yyyymmdd) {
    FilaLibro::anadirFecha(pieza_, yyyymmdd);
    return poner();
}

EscritorLibro& EscritorLibro::cuenta(QByteArrayView codigo, QByteArrayView descripcion) {
    FilaLibro::anadir(pieza_, codigo);
    pieza_ += " - ";
    FilaLibro::anadir(pieza_, descripcion);
    return poner();
}

void EscritorLibro::escribir() {
    insertar_.ejecutar();
    columna_ = 0;
}

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
