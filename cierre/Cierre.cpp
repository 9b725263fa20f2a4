#include "Cierre.h"

#include <QDate>

#include "Asentar.h"
#include "AsientosFinales.h"
#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "FechaLibros.h"
#include "OrdenLibros.h"
#include "Plan.h"

namespace orvo::Cierre {

namespace {

qlonglong id(long v) {
    return qlonglong(v);
}

// "yyyymmdd" un año después; el último día de un mes sigue siendo el último (29 de febrero).
QString unAnoDespues(const QString& fecha) {
    const QDate d = FechaLibros::deTexto(fecha).fecha();
    if (!d.isValid())
        throw ErrorOrvo(
            Causa::TiposNoCoinciden,
            QStringLiteral("La fecha %1 del ejercicio no es una fecha válida").arg(fecha));
    QDate n = d.addYears(1);
    if (d.day() == d.daysInMonth()) n = QDate(n.year(), n.month(), n.daysInMonth());
    return FechaLibros(n).texto();
}

QString nombreEjercicio(const DatosEmpresa& e) {
    return QStringLiteral("%1 de %2").arg(e.ejercicio, e.abreviatura);
}

qint64 mayorClave(Conexion& con, const QString& tabla) {
    return con
        .valor(QStringLiteral("SELECT MAX(%1) FROM %2")
                   .arg(identificador(QStringLiteral("ID") + tabla), identificador(tabla)))
        .toLongLong();
}

// Copia el cuadro de cuentas y los epígrafes de 'origen' en 'destino', sin importes: las claves
// nuevas son las viejas más la mayor que hay, así las relaciones se copian con una suma.
void copiarCuadroYEstados(Conexion& con, long origen, long destino) {
    const qint64 masCuenta = mayorClave(con, QStringLiteral("Cuenta"));
    const qint64 masEstructura = mayorClave(con, QStringLiteral("Estructura"));
    con.Execute(QStringLiteral("INSERT INTO Cuenta (IDCuenta, CodEmpresa, CodTipo_Cuenta, Codigo, "
                               "Descripcion, Nivel, Desglosar, DNI_CIF) SELECT IDCuenta + ?, ?, "
                               "CodTipo_Cuenta, Codigo, Descripcion, Nivel, Desglosar, DNI_CIF "
                               "FROM Cuenta WHERE CodEmpresa = ?"),
                {masCuenta, id(destino), id(origen)});
    con.Execute(
        QStringLiteral("INSERT INTO Estructura (IDEstructura, CodEmpresa, CodDocumento, "
                       "CodigoEpigrafe, Descripcion, CodNaturaleza, OrdenEpigrafe, Formula) "
                       "SELECT IDEstructura + ?, ?, CodDocumento, CodigoEpigrafe, "
                       "Descripcion, CodNaturaleza, OrdenEpigrafe, Formula "
                       "FROM Estructura WHERE CodEmpresa = ?"),
        {masEstructura, id(destino), id(origen)});
    con.Execute(
        QStringLiteral("INSERT INTO Rel_Estructura_Cuenta (CodEstructura, CodCuenta) "
                       "SELECT Rel_Estructura_Cuenta.CodEstructura + ?, "
                       "Rel_Estructura_Cuenta.CodCuenta + ? "
                       "FROM Rel_Estructura_Cuenta, Estructura, Cuenta "
                       "WHERE Rel_Estructura_Cuenta.CodEstructura = Estructura.IDEstructura "
                       "AND Rel_Estructura_Cuenta.CodCuenta = Cuenta.IDCuenta "
                       "AND Estructura.CodEmpresa = ? AND Cuenta.CodEmpresa = ?"),
        {masEstructura, masCuenta, id(origen), id(origen)});
}

// Clave de la subcuenta 'codigo' de la empresa; si falta, la crea con sus cuentas padre de una
// a cuatro cifras, con los nombres del cuadro, como las crea la importación.
qint64 subcuenta(Conexion& con, long empresa, const QString& codigo, const QString& descripcion) {
    const auto buscar = [&](const QString& c) {
        return con.valor(QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE CodEmpresa = ? AND "
                                        "Codigo = ? ORDER BY IDCuenta"),
                         {id(empresa), c});
    };
    if (const QVariant v = buscar(codigo); !v.isNull()) return v.toLongLong();
    const auto crear = [&](const QString& c, int tipo, const QString& nombre) {
        const qint64 nuevo = mayorClave(con, QStringLiteral("Cuenta")) + 1;
        con.Execute(QStringLiteral("INSERT INTO Cuenta (IDCuenta, CodEmpresa, CodTipo_Cuenta, "
                                   "Codigo, Descripcion, Nivel) VALUES (?, ?, ?, ?, ?, ?)"),
                    {nuevo, id(empresa), tipo, c, nombre, qlonglong(c.size())});
        return nuevo;
    };
    for (int largo = 1; largo <= 4 && largo < codigo.size(); ++largo)
        if (buscar(codigo.left(largo)).isNull())
            crear(codigo.left(largo), 1, Plan::nombreCuenta(codigo.left(largo)));
    return crear(codigo, 2,
                 descripcion.isEmpty() ? Plan::nombreCuenta(codigo.left(3)) : descripcion);
}

}  // namespace

QString Resultado::texto() const {
    return QStringLiteral(
               "Ejercicio %1 abierto como empresa %2: asiento de apertura de %3 apuntes; "
               "%4 del ejercicio cerrado: %5 euros")
        .arg(ejercicio)
        .arg(siguiente)
        .arg(lineasApertura)
        .arg(resultado < Moneda() ? QStringLiteral("pérdida") : QStringLiteral("beneficio"))
        .arg((resultado < Moneda() ? -resultado : resultado).formatear(true));
}

Resultado cerrar(Conexion& con, long empresa) {
    // Reservada la escritura antes de mirar si ya está cerrado: dos cierres a la vez no abren
    // dos ejercicios siguientes, y las claves mayores no cambian hasta confirmar.
    Transaccion t(con);
    con.reservarEscritura();
    const DatosEmpresa datos = DatosEmpresa::existente(con, empresa);
    if (const long siguiente = AsientosFinales::ejercicioSiguiente(con, empresa))
        throw ErrorOrvo(
            Causa::ArgumentoNoValido,
            QStringLiteral("El ejercicio %1 ya está cerrado: su siguiente es la empresa "
                           "%2 (cerrar --deshacer lo vuelve a abrir)")
                .arg(nombreEjercicio(datos))
                .arg(siguiente));
    const AsientosFinales::Asientos finales = AsientosFinales::calcular(con, empresa);

    Resultado r;
    r.resultado = finales.resultado;
    r.siguiente = long(mayorClave(con, QStringLiteral("Empresa")) + 1);
    const QString inicio = unAnoDespues(datos.fechaIni);
    r.ejercicio = QString::number(datos.ejercicio.toInt() + 1);
    const bool conNif = con.existeColumna(QStringLiteral("Empresa"), QStringLiteral("NIF"));
    con.Execute(
        QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, "
                       "FechaIni, FechaFin, DesgloseSubCuentas, CodEmpresaAnterior%1) "
                       "SELECT ?, Abreviatura, Nombre, ?, ?, ?, DesgloseSubCuentas, "
                       "IDEmpresa%1 FROM Empresa WHERE IDEmpresa = ?")
            .arg(conNif ? QStringLiteral(", NIF") : QString()),
        {id(r.siguiente), r.ejercicio.toInt(), inicio, unAnoDespues(datos.fechaFin), id(empresa)});
    copiarCuadroYEstados(con, empresa, r.siguiente);

    // La apertura: cada línea del cierre, al revés, en la subcuenta del mismo código. Las
    // pesetas salen de los euros, como en cualquier asiento nuevo (no arrastran los redondeos
    // del año), repartidas para que el asiento cuadre también en pesetas.
    std::vector<AsientosFinales::Linea> lineas;
    std::vector<Moneda> debes, haberes;
    for (const AsientosFinales::Linea& l : finales.cierre.lineas) {
        if (l.debe.esCero() && l.haber.esCero()) continue;
        lineas.push_back(l);
        debes.push_back(l.haber);
        haberes.push_back(l.debe);
    }
    std::vector<std::int64_t> debePts, haberPts;
    std::vector<std::pair<std::int64_t, std::size_t>> restos;
    Asientos::repartirPesetas(debes, debePts, restos);
    Asientos::repartirPesetas(haberes, haberPts, restos);
    // Sin saldos que abrir (todo saldado antes del cierre), no hay asiento de apertura.
    const qint64 asiento = mayorClave(con, QStringLiteral("Asiento")) + 1;
    if (!lineas.empty())
        con.Execute(
            QStringLiteral(
                "INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) VALUES (?, ?, ?, ?)"),
            {asiento, id(r.siguiente), qlonglong(1), inicio});
    Instruccion apunte = con.preparar(QStringLiteral(
        "INSERT INTO Apunte (IDApunte, CodAsiento, CodCuenta, Concepto, CtdadDebe, CtdadHaber, "
        "CtdadDebeEuros, CtdadHaberEuros) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    qint64 clave = mayorClave(con, QStringLiteral("Apunte"));
    const QString concepto = QStringLiteral("Asiento de apertura");
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        const qint64 cuenta = subcuenta(con, r.siguiente, lineas[i].codigo, lineas[i].descripcion);
        apunte.ejecutar({++clave, asiento, cuenta, concepto,
                         Moneda::deEntero(debePts[i]).formatear(false),
                         Moneda::deEntero(haberPts[i]).formatear(false), debes[i].formatear(true),
                         haberes[i].formatear(true)});
        ++r.lineasApertura;
    }
    // Las cuentas de tres cifras nuevas (la 129, las del subgrupo 13) van a su epígrafe.
    Plan::asignarCuentas(con, r.siguiente, Plan::modeloDeEmpresa(con, r.siguiente));
    Asientos::asentar(con, r.siguiente);
    con.ajustarNumeraciones();
    t.confirmar();
    return r;
}

long deshacer(Conexion& con, long empresa) {
    Transaccion t(con);
    con.reservarEscritura();
    const DatosEmpresa datos = DatosEmpresa::existente(con, empresa);
    const long siguiente = AsientosFinales::ejercicioSiguiente(con, empresa);
    if (siguiente == 0)
        throw ErrorOrvo(
            Causa::ArgumentoNoValido,
            QStringLiteral("El ejercicio %1 no está cerrado: no hay cierre que deshacer")
                .arg(nombreEjercicio(datos)));
    const DatosEmpresa nuevo = DatosEmpresa::existente(con, siguiente);
    const qint64 asientos =
        con.valor(QStringLiteral("SELECT COUNT(*) FROM Asiento WHERE CodEmpresa = ?"),
                  {id(siguiente)})
            .toLongLong();
    if (asientos > 1 || AsientosFinales::ejercicioSiguiente(con, siguiente) != 0)
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("El ejercicio %1 (empresa %2) tiene algo más que su asiento "
                                       "de apertura: bórrelo antes de deshacer el cierre")
                            .arg(nombreEjercicio(nuevo))
                            .arg(siguiente));
    const Parametros p{id(siguiente)};
    con.Execute(QStringLiteral("DELETE FROM Apunte WHERE CodAsiento IN "
                               "(SELECT IDAsiento FROM Asiento WHERE CodEmpresa = ?)"),
                p);
    con.Execute(QStringLiteral("DELETE FROM Asiento WHERE CodEmpresa = ?"), p);
    con.Execute(QStringLiteral("DELETE FROM Rel_Estructura_Cuenta WHERE CodEstructura IN "
                               "(SELECT IDEstructura FROM Estructura WHERE CodEmpresa = ?)"),
                p);
    con.Execute(QStringLiteral("DELETE FROM Estructura WHERE CodEmpresa = ?"), p);
    con.Execute(QStringLiteral("DELETE FROM Cuenta WHERE CodEmpresa = ?"), p);
    con.Execute(QStringLiteral("DELETE FROM Empresa WHERE IDEmpresa = ?"), p);
    t.confirmar();
    return siguiente;
}

int orden(const QStringList& a, QTextStream& err) {
    bool deshacerCierre = false;
    OrdenLibros orden;
    orden.uso = QStringLiteral(
        "Uso: orvo-informes cerrar --contabilidad "
        "FILE|postgresql://... --empresa N [--deshacer]\n");
    orden.marcas[QStringLiteral("--deshacer")] = &deshacerCierre;
    if (!orden.leer(a, err)) return 2;
    return orden.ejecutar(err, [&](Conexion& con) {
        if (deshacerCierre)
            err << QStringLiteral("Cierre deshecho: borrado el ejercicio siguiente (empresa %1)\n")
                       .arg(deshacer(con, orden.empresa));
        else
            err << cerrar(con, orden.empresa).texto() << "\n";
        return 0;
    });
}

}  // namespace orvo::Cierre
