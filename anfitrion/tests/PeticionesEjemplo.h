#pragma once

// Lo que comparten las pruebas sobre los libros de ejemplo: cada informe con su empresa y sus
// controles, la lectura de las fórmulas de un volcado y la huella de unas tablas.
#include <QCryptographicHash>
#include <QJsonObject>
#include <QList>
#include <QStringList>

#include "Conexion.h"

namespace orvo::prueba {

struct Peticion {
    const char* operacion;
    int empresa;
    QStringList controles;  // "control=valor", como --control de la orden
};

inline const QList<Peticion>& peticionesEjemplo() {
    static const QList<Peticion> p{
        {"ImprimirEpigrafes", 1, {"chkDocumento(1)=1"}},
        {"ImprimirSubcuentas", 3, {"chkSubcuentas=1"}},
        {"ImprimirLibroDiario", 1, {"dtpLibroDiario(1)=2023-01-31"}},
        {"ImprimirLibroMayor", 2, {"txtLibroMayor(0)=4300001", "txtLibroMayor(1)=4300005"}},
        {"ImprimirDesgloseSubCuenta", 1, {"lstInfSubCuentas=5720001"}},
        {"ImprimirBalanceSituacion", 1, {"chkBalance(1)=1"}},
        {"ImprimirBalanceSituacionComp", 2, {}},
        {"ImprimirFacturasRecibidas", 3, {}},
        {"ImprimirFacturasEmitidas", 1, {"optFacturas(1)=1", "txtFacturas=100"}},
        {"ImprimirBalancePYG", 3, {"chkBalance(4)=1"}},
        {"ImprimirBalancePYGComp", 2, {"chkBalance(5)=1"}},
        {"ImprimirBalanceSumasySaldos",
         1,
         {"lstBalance(0)=3,7", "chkBalance(1)=1", "chkBalance(2)=1"}},
        {"ImprimirPresupuestoAnual", 1, {"lstPresupuesto(0)=3,7"}},
        {"ImprimirPresupuesto", 3, {"txtPresupuesto(0)=6000000", "txtPresupuesto(1)=7999999"}},
        {"ImprimirResumenIVA", 1, {}},
    };
    return p;
}

// Valor de la fórmula "Nombre = 'valor'" del informe volcado, sin comillas.
inline QString formula(const QJsonObject& volcado, const QString& nombre) {
    for (const QJsonValue& f :
         volcado[QStringLiteral("informe")][QStringLiteral("formulas")].toObject())
        if (f.toString().section(u'=', 0, 0).trimmed() == nombre)
            return f.toString().section(u'=', 1).trimmed().remove(u'\'').remove(u'"');
    return {};
}

// Huella de todas las filas de las tablas (de unos libros SQLite), para ver que nada cambia.
inline QByteArray huella(const QString& libros, const QStringList& tablas) {
    auto con = Conexion::abrir(libros);
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const QString& tabla : tablas)
        for (Recordset rs =
                 con->Execute(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(tabla));
             !rs.Eof(); rs.MoveNext())
            for (int c = 0; c < rs.columnas(); ++c)
                h.addData(rs.Fields(c).toString().toUtf8() + '|');
    return h.result().toHex();
}

}  // namespace orvo::prueba
