#include "AsientosFinales.h"

#include <QHash>
#include <algorithm>
#include <map>

#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"

namespace orvo::AsientosFinales {

namespace {

struct Subcuenta {
    qint64 id = 0;
    QString descripcion;
};

// Saldo deudor (debe - haber) de una subcuenta en las dos monedas.
struct Saldo {
    Moneda euros, pesetas;
    bool esCero() const { return euros.esCero() && pesetas.esCero(); }
    Saldo& operator+=(const Saldo& o) {
        euros += o.euros;
        pesetas += o.pesetas;
        return *this;
    }
    Saldo operator-() const { return {-euros, -pesetas}; }
};

// Cuenta del subgrupo 13 a que van los gastos y los ingresos imputados al patrimonio neto,
// por las dos primeras cifras de su subcuenta. El impuesto sobre beneficios imputado (83) y las
// demás cuentas dependen de qué partida lo originó: ese saldo lo lleva a mano quien cierra.
QString cuentaDelSubgrupo13(const QString& codigo) {
    static const QHash<QString, QString> destino{{QStringLiteral("80"), QStringLiteral("133")},
                                                 {QStringLiteral("90"), QStringLiteral("133")},
                                                 {QStringLiteral("81"), QStringLiteral("134")},
                                                 {QStringLiteral("91"), QStringLiteral("134")},
                                                 {QStringLiteral("82"), QStringLiteral("135")},
                                                 {QStringLiteral("92"), QStringLiteral("135")},
                                                 {QStringLiteral("84"), QStringLiteral("130")},
                                                 {QStringLiteral("94"), QStringLiteral("130")},
                                                 {QStringLiteral("86"), QStringLiteral("136")},
                                                 {QStringLiteral("96"), QStringLiteral("136")}};
    return destino.value(codigo.left(2));
}

class Calculo {
  public:
    Calculo(Conexion& con, long empresa)
        : con_(con), empresa_(empresa), datos_(DatosEmpresa::existente(con, empresa)) {
        Recordset rs = con.Execute(
            QStringLiteral("SELECT IDCuenta, Codigo, Descripcion FROM Cuenta WHERE CodEmpresa = ?"),
            {qlonglong(empresa)});
        for (; !rs.Eof(); rs.MoveNext())
            cuentas_.insert(QString::fromUtf8(rs.textoUtf8(1)).trimmed(),
                            {rs.entero(0), QString::fromUtf8(rs.textoUtf8(2))});
    }

    Asientos calcular() {
        const std::map<QString, Saldo> saldos = leerSaldos();
        Asientos a;
        std::map<QString, Saldo> regularizados;  // lo que la regularización lleva a cada cuenta
        Saldo resultado;
        for (const auto& [codigo, saldo] : saldos) {
            const QChar grupo = codigo.at(0);
            if (grupo == u'6' || grupo == u'7') {
                regularizados[codigo] += -saldo;
                resultado += -saldo;
            } else if (grupo == u'8' || grupo == u'9') {
                const QString destino = cuentaDelSubgrupo13(codigo);
                if (destino.isEmpty())
                    throw ErrorOrvo(
                        Causa::ArgumentoNoValido,
                        QStringLiteral("La subcuenta %1 no tiene cuenta del subgrupo 13 "
                                       "donde regularizarse: lleve su saldo con un "
                                       "asiento a la que corresponda y vuelva a cerrar")
                            .arg(codigo));
                regularizados[codigo] += -saldo;
                regularizados[subcuentaDe(destino)] += saldo;
            }
        }
        a.resultado = resultado.euros;
        a.resultadoPesetas = resultado.pesetas;
        if (!regularizados.empty()) regularizados[subcuentaDe(QStringLiteral("129"))] += -resultado;

        // Las cuentas de balance, con lo que les llega de la regularización, se saldan.
        std::map<QString, Saldo> balance;
        for (const auto& [codigo, saldo] : saldos)
            if (codigo.at(0) >= u'1' && codigo.at(0) <= u'5') balance[codigo] += saldo;
        for (const auto& [codigo, importe] : regularizados)
            if (codigo.at(0) == u'1') balance[codigo] += importe;
        std::map<QString, Saldo> cierre;
        for (const auto& [codigo, saldo] : balance) cierre[codigo] = -saldo;

        qint64 numero = mayorNumero();
        const QString ejercicio = datos_.ejercicio;
        a.regularizacion =
            asiento(regularizados, numero,
                    QStringLiteral("Regularización del ejercicio %1").arg(ejercicio));
        a.cierre =
            asiento(cierre, numero, QStringLiteral("Cierre del ejercicio %1").arg(ejercicio));
        return a;
    }

  private:
    // Saldo de cada subcuenta con apuntes del ejercicio, por código.
    std::map<QString, Saldo> leerSaldos() {
        std::map<QString, Saldo> saldos;
        Recordset rs = con_.Execute(
            QStringLiteral(
                "SELECT Cuenta.Codigo, SUM(CCur(NULLIF(Apunte.CtdadDebeEuros, ''))), "
                "SUM(CCur(NULLIF(Apunte.CtdadHaberEuros, ''))), "
                "SUM(CCur(NULLIF(Apunte.CtdadDebe, ''))), SUM(CCur(NULLIF(Apunte.CtdadHaber, ''))) "
                "FROM Asiento CROSS JOIN Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
                "CROSS JOIN Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta "
                "WHERE Asiento.CodEmpresa = ? AND Cuenta.CodEmpresa = ? "
                "AND Cuenta.CodTipo_Cuenta = 2 AND Asiento.Fecha >= ? AND Asiento.Fecha <= ? "
                "GROUP BY Cuenta.Codigo"),
            {qlonglong(empresa_), qlonglong(empresa_), datos_.fechaIni, datos_.fechaFin});
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString codigo = QString::fromUtf8(rs.textoUtf8(0)).trimmed();
            if (codigo.isEmpty()) continue;
            saldos[codigo] += Saldo{Moneda::deDiezmilesimas(rs.entero(1) - rs.entero(2)),
                                    Moneda::deDiezmilesimas(rs.entero(3) - rs.entero(4))};
        }
        return saldos;
    }

    // La subcuenta de una cuenta de tres cifras: su código seguido de ceros, como la 129 del
    // balance de situación.
    QString subcuentaDe(const QString& cuenta) const {
        const int desglose = datos_.desgloseSubcuentas > 0 ? datos_.desgloseSubcuentas : 7;
        return cuenta + QString(qMax(0, desglose - int(cuenta.size())), u'0');
    }

    qint64 mayorNumero() {
        return qint64(con_.valor(QStringLiteral("SELECT MAX(Val(Numero)) FROM Asiento "
                                                "WHERE CodEmpresa = ?"),
                                 {qlonglong(empresa_)})
                          .toDouble());
    }

    // Una línea por importe que no es cero: lo deudor al debe, lo acreedor al haber, en cada
    // moneda por separado.
    Asiento asiento(const std::map<QString, Saldo>& importes, qint64& numero,
                    const QString& concepto) {
        Asiento a;
        a.fecha = datos_.fechaFin;
        a.concepto = concepto;
        for (const auto& [codigo, importe] : importes) {
            if (importe.esCero()) continue;
            Linea l;
            l.codigo = codigo;
            const auto it = cuentas_.constFind(codigo);
            if (it != cuentas_.constEnd()) {
                l.idCuenta = it->id;
                l.descripcion = it->descripcion;
            } else {
                // Una subcuenta que falta toma el nombre de su cuenta más cercana.
                for (qsizetype largo = codigo.size() - 1; largo > 0 && l.descripcion.isEmpty();
                     --largo)
                    l.descripcion = cuentas_.value(codigo.left(largo)).descripcion;
            }
            (importe.euros > Moneda() ? l.debe : l.haber) =
                importe.euros > Moneda() ? importe.euros : -importe.euros;
            (importe.pesetas > Moneda() ? l.debePesetas : l.haberPesetas) =
                importe.pesetas > Moneda() ? importe.pesetas : -importe.pesetas;
            a.lineas.push_back(l);
        }
        if (!a.lineas.empty()) a.numero = QString::number(++numero);
        return a;
    }

    Conexion& con_;
    long empresa_;
    DatosEmpresa datos_;
    QHash<QString, Subcuenta> cuentas_;
};

}  // namespace

Asientos calcular(Conexion& con, long empresa) {
    return Calculo(con, empresa).calcular();
}

long ejercicioSiguiente(Conexion& con, long empresa) {
    return long(con.valor(QStringLiteral("SELECT IDEmpresa FROM Empresa WHERE CodEmpresaAnterior "
                                         "= ? AND IDEmpresa <> ? ORDER BY IDEmpresa"),
                          {qlonglong(empresa), qlonglong(empresa)})
                    .toLongLong());
}

Asientos deEjercicioCerrado(Conexion& con, long empresa) {
    if (ejercicioSiguiente(con, empresa) == 0) return {};
    return calcular(con, empresa);
}

}  // namespace orvo::AsientosFinales
