#include "ContextoInforme.h"

#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

QStringList mesesPeriodo(const QDate& desde, const QDate& hasta) {
    QStringList meses;
    if (!desde.isValid() || !hasta.isValid()) return meses;
    const int ultimo = hasta.year() * 12 + hasta.month();
    for (QDate mes = desde; mes.year() * 12 + mes.month() <= ultimo; mes = mes.addMonths(1))
        meses << QStringLiteral("%1").arg(mes.month(), 2, 10, QLatin1Char('0'));
    return meses;
}

QString sumaMeses(const QString& raiz, const QStringList& meses, Divisa divisa) {
    if (meses.isEmpty()) return QStringLiteral("0");
    const QString sufijo = sufijoColumna(divisa);
    QStringList sumandos;
    for (const QString& mes : meses)
        sumandos << QStringLiteral("CCur(%1%2%3)").arg(raiz, mes, sufijo);
    return u'(' + sumandos.join(QStringLiteral(" + ")) + u')';
}

QString sufijoColumna(Divisa divisa) {
    return divisa == Divisa::Euros ? QStringLiteral("Euros") : QString();
}

QString descripcionCuenta(const QString& tabla) {
    // COALESCE no evalúa la subconsulta de las cuentas que tienen descripción.
    return QStringLiteral(
               "COALESCE(NULLIF(TRIM(%1.Descripcion), ''), "
               "(SELECT Padre.Descripcion FROM Cuenta AS Padre "
               "WHERE Padre.CodEmpresa = %1.CodEmpresa "
               "AND LENGTH(Padre.Codigo) < LENGTH(%1.Codigo) "
               "AND SUBSTR(%1.Codigo, 1, LENGTH(Padre.Codigo)) = Padre.Codigo "
               "AND TRIM(Padre.Descripcion) <> '' "
               "ORDER BY LENGTH(Padre.Codigo) DESC LIMIT 1), '')")
        .arg(tabla);
}

QString formulaEmpresa(const QString& textoEmpresa) {
    return QStringLiteral("Empresa= \"") + textoEmpresa + u'"';
}

QString formulaEmpresa(Conexion& contabilidad, long empresa) {
    return formulaEmpresa(cGeneral::ObtenerEmpresa(empresa, contabilidad));
}

QString formulaPeriodo(const QString& desde, const QString& hasta) {
    return QStringLiteral("Periodo= \"Periodo:  ") + desde + QStringLiteral(" ~ ") + hasta + u'"';
}

QString formulaMoneda(Divisa divisa) {
    return QStringLiteral("TrabajarConPts= '") + (divisa == Divisa::Euros ? u'0' : u'1') + u'\'';
}

QString textoPeriodo(const QDate& desde, const QDate& hasta) {
    return Regional::mesBarraAno(desde) + QStringLiteral(" ~ ") + Regional::mesBarraAno(hasta);
}

}  // namespace orvo
