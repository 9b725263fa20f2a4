#include "cBalances.h"

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "cCMensajes.h"
#include "cGeneral.h"

namespace orvo {

namespace {

bool esOperador(QChar c) {
    return c == u'+' || c == u'-';
}

// Suma SQL de una columna mensual sobre una lista de meses: "cCur(Debe01) + cCur(Debe02)".
// Los nombres de columna son del programa; ningún dato entra en el texto.
QString sumaMeses(const QString& raiz, const QStringList& meses, const QString& sufijo) {
    QStringList terminos;
    for (const QString& mes : meses)
        terminos << QStringLiteral("cCur(%1%2%3)").arg(raiz, mes, sufijo);
    return terminos.join(QStringLiteral(" + "));
}

qlonglong id(long v) {
    return static_cast<qlonglong>(v);
}

}  // namespace

QStringList mesesDelPeriodo(const QDate& desde, const QDate& hasta) {
    QStringList meses;
    const auto mesesHasta = [&](const QDate& d) {
        return (hasta.year() - d.year()) * 12 + hasta.month() - d.month();
    };
    for (QDate d = desde; d.isValid() && mesesHasta(d) >= 0; d = d.addMonths(1))
        meses << cGeneral::LlenaIzquierda(QString::number(d.month()), QStringLiteral("0"), 2);
    return meses;
}

bool cBalances::ExisteCtaPyG(Conexion& con, long empresa, cGeneral& general) {
    Recordset rsEmpresa = con.Execute(
        QStringLiteral("SELECT Abreviatura, AñoEjercicio, DesgloseSubcuentas FROM Empresa "
                       "WHERE IDEmpresa = ?"),
        {id(empresa)});
    Recordset rs = con.Execute(
        QStringLiteral("SELECT Cuenta.IDCuenta, Cuenta.codigo, Cuenta.Descripcion "
                       "FROM Rel_Estructura_Cuenta, Estructura, Cuenta "
                       "WHERE Rel_Estructura_Cuenta.codEstructura = Estructura.IDEstructura "
                       "AND Rel_Estructura_Cuenta.codCuenta = Cuenta.IDCuenta "
                       "AND Estructura.codEmpresa = ? AND Cuenta.codEmpresa = ? "
                       "AND Estructura.codDocumento = 1 AND Cuenta.Codigo LIKE '129%'"),
        {id(empresa), id(empresa)});
    if (!rs.Eof()) return true;
    QString empresaTexto;
    if (!rsEmpresa.Eof())
        empresaTexto = cGeneral::QuitarNulo(rsEmpresa.Fields(QStringLiteral("Abreviatura"))) +
                       u'-' +
                       cGeneral::QuitarNulo(rsEmpresa.Fields(QStringLiteral("AñoEjercicio")));
    const cCMensajes msj;
    general.mensaje(msj.Mensaje27() + empresaTexto + msj.Mensaje35(), Icono::Exclamacion);
    return false;
}

std::pair<Moneda, Moneda> cBalances::ObtenerTotalesGrupos6y7(Conexion& con, long empresa,
                                                             bool euros, int mesInicial,
                                                             int mesFinal) {
    const int ano = QDate::currentDate().year();
    const QDate desde(ano, mesInicial, 1);
    const QDate hasta(mesInicial > mesFinal ? ano + 1 : ano, mesFinal, 1);
    const QStringList meses = mesesDelPeriodo(desde, hasta);
    const QString sufijo = euros ? QStringLiteral("Euros") : QString();
    Recordset rs =
        con.Execute(QStringLiteral("SELECT SUM(%1) AS Debe, SUM(%2) AS Haber FROM Cuenta "
                                   "WHERE CodEmpresa = ? AND codTipo_Cuenta = 2 "
                                   "AND (Codigo LIKE '6%' OR Codigo LIKE '7%')")
                        .arg(sumaMeses(QStringLiteral("Debe"), meses, sufijo),
                             sumaMeses(QStringLiteral("Haber"), meses, sufijo)),
                    {id(empresa)});
    Moneda saldo;
    if (!rs.Eof())
        saldo = Moneda::deCCur(rs.Fields(QStringLiteral("Debe"))) -
                Moneda::deCCur(rs.Fields(QStringLiteral("Haber")));
    // Saldo deudor: pérdida, al debe de la 129; saldo acreedor: beneficio, al haber.
    if (saldo >= Moneda()) return {saldo, Moneda()};
    return {Moneda(), -saldo};
}

void cBalances::ModificarDatosPyG(Conexion& con, long empresa, bool euros, const QString& fecha,
                                  Moneda debe, Moneda haber) {
    const long cuenta = ObtenerCuentaPyG(con, empresa);
    QString codigo = cGeneral::QuitarNulo(
        con.valor(QStringLiteral("SELECT Codigo FROM Cuenta WHERE IDCuenta = ?"), {id(cuenta)}));
    const Importes importes = euros ? Importes{Moneda(), debe, Moneda(), haber}
                                    : Importes{debe, Moneda(), haber, Moneda()};
    ActualizarCuentas(con, empresa, cuenta, fecha, importes);
    while (codigo.size() > 1) {
        codigo.chop(1);
        const QVariant padre = con.valor(
            QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE CodEmpresa = ? AND Codigo = ?"),
            {id(empresa), codigo});
        if (!padre.isNull())
            ActualizarCuentas(con, empresa, static_cast<long>(padre.toLongLong()), fecha, importes);
    }
}

long cBalances::ObtenerCuentaPyG(Conexion& con, long empresa) {
    const QVariant desglose =
        con.valor(QStringLiteral("SELECT DesgloseSubcuentas FROM Empresa WHERE IDEmpresa = ?"),
                  {id(empresa)});
    const int digitos = desglose.isNull() ? 7 : desglose.toInt();
    const QString codigo = QStringLiteral("129") + QString(qMax(0, digitos - 3), u'0');
    const auto buscar = [&](const QString& c) {
        return con.valor(
            QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE codEmpresa = ? AND Codigo = ?"),
            {id(empresa), c});
    };
    if (const QVariant existente = buscar(codigo); !existente.isNull())
        return static_cast<long>(existente.toLongLong());
    const long nueva = CrearCuenta(con, empresa, 2, codigo, QStringLiteral("Pérdidas y ganancias"));
    for (qsizetype largo = codigo.size() - 1; largo >= 1; --largo) {
        const QString prefijo = codigo.left(largo);
        if (!buscar(prefijo).isNull()) break;
        CrearCuenta(con, empresa, 3, prefijo, QString());
    }
    return nueva;
}

long cBalances::CrearCuenta(Conexion& con, long empresa, int tipo, const QString& codigo,
                            const QString& descripcion) {
    const QString c = codigo.trimmed();
    con.Execute(QStringLiteral("INSERT INTO Cuenta (CodEmpresa, codTipo_Cuenta, Codigo, "
                               "Descripcion, Nivel) VALUES (?, ?, ?, ?, ?)"),
                {id(empresa), tipo, c, descripcion.trimmed(), static_cast<int>(c.size())});
    return static_cast<long>(con.valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong());
}

void cBalances::ActualizarCuentas(Conexion& con, long empresa, long idCuenta, const QString& fecha,
                                  const Importes& nuevos) {
    const int mes = fecha.mid(4, 2).toInt();
    if (mes < 1 || mes > 12)
        throw ErrorOrvo(999,
                        QStringLiteral("El mes no es válido. Procedimiento 'Actualizar Cuentas'"));
    const QString mm = QStringLiteral("010203040506070809101112").mid(2 * mes - 2, 2);

    Recordset rs = con.Execute(
        QStringLiteral("SELECT Debe%1 AS DebePts, Debe%1Euros AS DebeEur, Haber%1 AS HaberPts, "
                       "Haber%1Euros AS HaberEur, DebeTotal, DebeTotalEuros, HaberTotal, "
                       "HaberTotalEuros FROM Cuenta WHERE IDCuenta = ?")
            .arg(mm),
        {id(idCuenta)});
    if (!rs.Eof()) {
        const auto campo = [&](const char* nombre, Moneda suma, bool decimales) {
            return FormatearImporte(Moneda::deColumna(rs.Fields(QLatin1String(nombre))) + suma,
                                    decimales);
        };
        const Parametros valores{campo("DebePts", nuevos.debePts, false),
                                 campo("DebeEur", nuevos.debeEur, true),
                                 campo("HaberPts", nuevos.haberPts, false),
                                 campo("HaberEur", nuevos.haberEur, true),
                                 campo("DebeTotal", nuevos.debePts, false),
                                 campo("DebeTotalEuros", nuevos.debeEur, true),
                                 campo("HaberTotal", nuevos.haberPts, false),
                                 campo("HaberTotalEuros", nuevos.haberEur, true),
                                 id(idCuenta)};
        rs.Close();
        con.Execute(QStringLiteral("UPDATE Cuenta SET Debe%1 = ?, Debe%1Euros = ?, Haber%1 = ?, "
                                   "Haber%1Euros = ?, DebeTotal = ?, DebeTotalEuros = ?, "
                                   "HaberTotal = ?, HaberTotalEuros = ? WHERE IDCuenta = ?")
                        .arg(mm),
                    valores);
    }

    const Moneda difPts = nuevos.debePts - nuevos.haberPts;
    const Moneda difEur = nuevos.debeEur - nuevos.haberEur;
    const QString columnas =
        QStringLiteral(
            "Estructura.IDEstructura, CodigoEpigrafe AS Codigo, Total AS TotalPts, "
            "TotalEuros AS TotalEur, Total%1 AS TotalMesPts, Total%1Euros AS TotalMesEur ")
            .arg(mm);
    const auto actualizarEpigrafe = [&](Recordset& e) {
        const auto suma = [&](const char* nombre, Moneda dif, bool decimales) {
            return FormatearImporte(Moneda::deColumna(e.Fields(QLatin1String(nombre))) + dif,
                                    decimales);
        };
        const Parametros valores{suma("TotalPts", difPts, false), suma("TotalEur", difEur, true),
                                 suma("TotalMesPts", difPts, false),
                                 suma("TotalMesEur", difEur, true),
                                 e.Fields(QStringLiteral("IDEstructura"))};
        con.Execute(QStringLiteral("UPDATE Estructura SET Total = ?, TotalEuros = ?, "
                                   "Total%1 = ?, Total%1Euros = ? WHERE IDEstructura = ?")
                        .arg(mm),
                    valores);
    };

    // Se leen todos antes de escribir: cada uno arrastra a sus epígrafes padre.
    QStringList codigos;
    QVariantList claves;
    {
        Recordset e = con.Execute(
            QStringLiteral("SELECT %1 FROM Estructura, Rel_Estructura_Cuenta "
                           "WHERE Rel_Estructura_Cuenta.CodEstructura = Estructura.IDEstructura "
                           "AND Rel_Estructura_Cuenta.CodCuenta = ? AND Estructura.CodEmpresa = ?")
                .arg(columnas),
            {id(idCuenta), id(empresa)});
        for (; !e.Eof(); e.MoveNext()) {
            codigos << cGeneral::QuitarNulo(e.Fields(QStringLiteral("Codigo")));
            claves << e.Fields(QStringLiteral("IDEstructura"));
        }
    }
    for (qsizetype i = 0; i < claves.size(); ++i) {
        {
            Recordset e = con.Execute(
                QStringLiteral("SELECT %1 FROM Estructura WHERE IDEstructura = ?").arg(columnas),
                {claves[i]});
            if (!e.Eof()) actualizarEpigrafe(e);
        }
        // Los padres de un epígrafe son su código con uno, dos… caracteres menos.
        QString codigo = codigos[i];
        while (codigo.size() > 1) {
            codigo.chop(1);
            Recordset padre =
                con.Execute(QStringLiteral("SELECT %1 FROM Estructura WHERE CodEmpresa = ? "
                                           "AND CodigoEpigrafe = ?")
                                .arg(columnas),
                            {id(empresa), codigo.trimmed()});
            if (!padre.Eof()) actualizarEpigrafe(padre);
        }
    }
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

QString cBalances::FormatearImporte(Moneda importe, bool decimales) {
    const QString entero = importe.formatear(false);
    if (entero.size() > 14) {
        // Importes desbordados: se quedan con los 14 primeros caracteres de su forma sin puntos.
        QString simple = entero;
        simple.remove(u'.');
        importe = Moneda::deTexto(simple.left(14)).value_or(Moneda());
    }
    return importe.formatear(decimales);
}

void contabilizarResultadoProvisional(Conexion& con, long empresa, bool euros, const QDate& desde,
                                      const QDate& hasta) {
    cBalances balances;
    const auto [debe, haber] =
        balances.ObtenerTotalesGrupos6y7(con, empresa, euros, desde.month(), hasta.month());
    if (debe.esCero() && haber.esCero()) return;
    balances.ModificarDatosPyG(con, empresa, euros, cGeneral::DateString(hasta), debe, haber);
}

}  // namespace orvo
