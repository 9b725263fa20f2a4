#include "cBalances.h"

#include "Conexion.h"
#include "ContextoInforme.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "cCMensajes.h"
#include "cGeneral.h"

namespace orvo {

namespace {

bool esOperador(QChar c) {
    return c == u'+' || c == u'-';
}

qlonglong id(long v) {
    return static_cast<qlonglong>(v);
}

}  // namespace

bool cBalances::ExisteCtaPyG(Conexion& con, long empresa, cGeneral& general) {
    Recordset rs = con.Execute(
        QStringLiteral("SELECT Cuenta.IDCuenta, Cuenta.codigo, Cuenta.Descripcion "
                       "FROM Rel_Estructura_Cuenta, Estructura, Cuenta "
                       "WHERE Rel_Estructura_Cuenta.codEstructura = Estructura.IDEstructura "
                       "AND Rel_Estructura_Cuenta.codCuenta = Cuenta.IDCuenta "
                       "AND Estructura.codEmpresa = ? AND Cuenta.codEmpresa = ? "
                       "AND Estructura.codDocumento = 1 AND Cuenta.Codigo LIKE '129%'"),
        {id(empresa), id(empresa)});
    if (!rs.Eof()) return true;
    const auto datos = DatosEmpresa::leer(con, empresa);
    const QString empresaTexto = datos ? datos->abreviatura + u'-' + datos->ejercicio : QString();
    const cCMensajes msj;
    general.mensaje(msj.perdidasYGananciasSinEpigrafe() + empresaTexto + msj.cierreNombre(),
                    Icono::Exclamacion);
    return false;
}

std::pair<Moneda, Moneda> cBalances::ObtenerTotalesGrupos6y7(Conexion& con, long empresa,
                                                             Divisa divisa, int mesInicial,
                                                             int mesFinal) {
    const int ano = QDate::currentDate().year();
    const QDate desde(ano, mesInicial, 1);
    const QDate hasta(mesInicial > mesFinal ? ano + 1 : ano, mesFinal, 1);
    const QStringList meses = mesesPeriodo(desde, hasta);
    Recordset rs =
        con.Execute(QStringLiteral("SELECT SUM(%1) AS Debe, SUM(%2) AS Haber FROM Cuenta "
                                   "WHERE CodEmpresa = ? AND codTipo_Cuenta = 2 "
                                   "AND (Codigo LIKE '6%' OR Codigo LIKE '7%')")
                        .arg(sumaMeses(QStringLiteral("Debe"), meses, divisa),
                             sumaMeses(QStringLiteral("Haber"), meses, divisa)),
                    {id(empresa)});
    Moneda saldo;
    if (!rs.Eof())
        saldo = Moneda::deCCur(rs.Fields(QStringLiteral("Debe"))) -
                Moneda::deCCur(rs.Fields(QStringLiteral("Haber")));
    // Saldo deudor: pérdida, al debe de la 129; saldo acreedor: beneficio, al haber.
    if (saldo >= Moneda()) return {saldo, Moneda()};
    return {Moneda(), -saldo};
}

int cBalances::ObtieneNumEpigrafes(const QString& formula) {
    int n = 1;
    for (QChar c : formula)
        if (esOperador(c)) ++n;
    return n;
}

TerminoFormula cBalances::ObtieneEpigrafe(const QString& formula, int n) {
    qsizetype inicio = 0;
    QString operador = QStringLiteral("+");
    if (n > 1) {
        int contador = 1;
        inicio = -1;
        for (qsizetype i = 0; i < formula.size(); ++i) {
            if (esOperador(formula[i]) && ++contador == n) {
                operador = formula[i];
                inicio = i + 1;
                break;
            }
        }
        if (inicio < 0) return {operador, QString()};
    }
    qsizetype fin = inicio;
    while (fin < formula.size() && !esOperador(formula[fin])) ++fin;
    return {operador, formula.mid(inicio, fin - inicio)};
}

ResultadoPeriodo ResultadoDelPeriodo(Conexion& con, long empresa, Divisa divisa, const QDate& desde,
                                     const QDate& hasta) {
    ResultadoPeriodo r;
    std::tie(r.debe, r.haber) =
        cBalances().ObtenerTotalesGrupos6y7(con, empresa, divisa, desde.month(), hasta.month());
    if (r.debe.esCero() && r.haber.esCero()) return r;
    r.mes = cGeneral::LlenaIzquierda(QString::number(hasta.month()), QStringLiteral("0"), 2);

    // Sin la empresa o sin su desglose, la subcuenta de siete cifras.
    const auto datos = DatosEmpresa::leer(con, empresa);
    const int desglose = datos && datos->desgloseSubcuentas > 0 ? datos->desgloseSubcuentas : 7;
    QString codigo = QStringLiteral("129") + QString(qMax(0, desglose - 3), u'0');
    // Con códigos repetidos cuenta el primero, en los dos motores igual.
    const QVariant subcuenta = con.valor(QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE "
                                                        "CodEmpresa = ? AND Codigo = ? "
                                                        "ORDER BY IDCuenta"),
                                         {id(empresa), codigo});
    if (subcuenta.isNull())
        r.subcuentaQueFalta = codigo;
    else
        r.cuentas.insert(subcuenta.toLongLong());
    while (codigo.size() > 1) {
        codigo.chop(1);
        const QVariant padre = con.valor(QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE "
                                                        "CodEmpresa = ? AND Codigo = ? "
                                                        "ORDER BY IDCuenta"),
                                         {id(empresa), codigo});
        if (!padre.isNull()) r.cuentas.insert(padre.toLongLong());
    }

    // Cada epígrafe de esas cuentas, y los padres de cada uno (su código con uno, dos…
    // caracteres menos), reciben el resultado una vez por cada camino que llega a ellos.
    for (const qlonglong cuenta : std::as_const(r.cuentas)) {
        Recordset e = con.Execute(
            QStringLiteral("SELECT Estructura.IDEstructura, CodigoEpigrafe "
                           "FROM Estructura, Rel_Estructura_Cuenta "
                           "WHERE Rel_Estructura_Cuenta.CodEstructura = Estructura.IDEstructura "
                           "AND Rel_Estructura_Cuenta.CodCuenta = ? AND Estructura.CodEmpresa = ?"),
            {cuenta, id(empresa)});
        for (; !e.Eof(); e.MoveNext()) {
            ++r.epigrafes[e.Fields(0).toLongLong()];
            QString epigrafe = cGeneral::QuitarNulo(e.Fields(1));
            while (epigrafe.size() > 1) {
                epigrafe.chop(1);
                const QVariant padre = con.valor(
                    QStringLiteral("SELECT IDEstructura FROM Estructura WHERE CodEmpresa = ? "
                                   "AND CodigoEpigrafe = ? ORDER BY IDEstructura"),
                    {id(empresa), epigrafe.trimmed()});
                if (!padre.isNull()) ++r.epigrafes[padre.toLongLong()];
            }
        }
    }
    return r;
}

}  // namespace orvo
