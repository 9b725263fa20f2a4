#include "ResumenIVA.h"

#include <map>
#include <set>

#include "EscritorTabla.h"
#include "FilaLibro.h"
#include "LibrosIVA.h"
#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

namespace {

// Porcentaje de una base, redondeado (mitad lejos de cero) al céntimo o a la peseta.
Moneda cuotaDelTipo(Moneda base, Moneda tipo, Divisa divisa) {
    const __int128 producto = static_cast<__int128>(base.diezmilesimas()) * tipo.diezmilesimas();
    // producto está en (1/10000)², y el tipo en tantos por cien.
    const __int128 unidad = static_cast<__int128>(Moneda::kEscala) * 100 *
                            (conDecimales(divisa) ? Moneda::kEscala / 100 : Moneda::kEscala);
    const __int128 signo = producto < 0 ? -1 : 1;
    const __int128 redondeado = (producto * signo + unidad / 2) / unidad * signo;
    return Moneda::deDiezmilesimas(static_cast<std::int64_t>(
        redondeado * (conDecimales(divisa) ? Moneda::kEscala / 100 : Moneda::kEscala)));
}

void acumular(std::map<std::int64_t, LineaTipoIVA>& porTipo, Moneda tipo, Moneda base,
              Moneda cuota) {
    LineaTipoIVA& l = porTipo[tipo.diezmilesimas()];
    l.tipo = tipo;
    l.base += base;
    l.cuota += cuota;
}

std::vector<LineaTipoIVA> deMayorAMenor(const std::map<std::int64_t, LineaTipoIVA>& porTipo) {
    std::vector<LineaTipoIVA> v;
    for (auto it = porTipo.rbegin(); it != porTipo.rend(); ++it) v.push_back(it->second);
    return v;
}

QString textoAsiento(const QString& numero, const QString& id) {
    return numero + QStringLiteral(" (") + id + u')';
}

// Recorre un libro de IVA: suma por tipos y anota las cuotas que no son su tipo por la base.
void leerLibro(Conexion& con, const OpcionesResumenIVA& o, bool emitidas,
               std::map<std::int64_t, LineaTipoIVA>& porTipo,
               std::map<std::int64_t, LineaTipoIVA>* recargo, Moneda& total, CuadreIVA& cuadre) {
    OpcionesLibrosIVA l;
    l.empresa = o.empresa;
    l.emitidas = emitidas;
    l.divisa = o.divisa;
    l.desde = o.desde;
    l.hasta = o.hasta;
    const Moneda umbral =
        conDecimales(o.divisa) ? Moneda::deDiezmilesimas(100) : Moneda::deEntero(1);
    recorrerLibroIVA(con, l, nullptr, [&](const FilaIVA& f) {
        const Moneda tipo = Moneda::deColumna(f.tipoIva);
        acumular(porTipo, tipo, f.base, f.cuotaIva);
        total += f.cuotaIva;
        const Moneda tipoRecargo = Moneda::deColumna(f.tipoRecargo);
        if (recargo && !tipoRecargo.esCero()) {
            acumular(*recargo, tipoRecargo, f.base, f.cuotaRecargo);
            total += f.cuotaRecargo;
        }
        cuadre.libro += f.cuotaIva + (recargo ? f.cuotaRecargo : Moneda());
        const Moneda calculada = cuotaDelTipo(f.base, tipo, o.divisa);
        Moneda exceso = f.cuotaIva - calculada;
        if ((exceso < Moneda() ? -exceso : exceso) > umbral)
            cuadre.diferencias.push_back(
                {DiferenciaIVA::CuotaDistintaDelTipo, f.textoAsiento(),
                 QStringLiteral("factura %1: el %2 % de %3 es %4, la cuota anotada %5")
                     .arg(f.numero, tipo.formatear(true),
                          cGeneral::FormatearCurrency(f.base, conDecimales(o.divisa)),
                          cGeneral::FormatearCurrency(calculada, conDecimales(o.divisa)),
                          cGeneral::FormatearCurrency(f.cuotaIva, conDecimales(o.divisa))),
                 exceso});
    });
}

// Movimiento de las subcuentas del grupo sin las liquidaciones, y las líneas de IVA que no
// llegan al libro (sin factura o sin contrapartida) en asientos que no son de una factura.
void cuadrarCuentas(Conexion& con, const OpcionesResumenIVA& o, bool repercutido,
                    CuadreIVA& cuadre) {
    const QString desde = cGeneral::DateString(o.desde), hasta = cGeneral::DateString(o.hasta);
    const qlonglong empresa = o.empresa;
    std::set<qlonglong> liquidaciones;
    {
        Recordset rs = con.Execute(
            QStringLiteral("SELECT DISTINCT Asiento.IDAsiento FROM Asiento "
                           "INNER JOIN Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
                           "INNER JOIN Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta "
                           "WHERE Cuenta.CodEmpresa = ? AND Asiento.Fecha >= ? "
                           "AND Asiento.Fecha <= ? "
                           "AND (Cuenta.Codigo LIKE '4700%' OR Cuenta.Codigo LIKE '4750%')"),
            {empresa, desde, hasta});
        for (; !rs.Eof(); rs.MoveNext()) liquidaciones.insert(rs.Fields(0).toLongLong());
    }
    const QString importes = columnaDebe(o.divisa) + QStringLiteral(", ") + columnaHaber(o.divisa);
    Recordset rs = con.Execute(
        QStringLiteral("SELECT Asiento.IDAsiento, Asiento.Numero, Cuenta.Codigo, Apunte.Factura, "
                       "Apunte.Contrapartida, Apunte.Concepto, ") +
            importes +
            QStringLiteral(" FROM Asiento "
                           "INNER JOIN Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
                           "INNER JOIN Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta "
                           "WHERE Cuenta.CodEmpresa = ? AND Asiento.Fecha >= ? "
                           "AND Asiento.Fecha <= ? AND Cuenta.Codigo LIKE ? "
                           "ORDER BY Asiento.Fecha, Asiento.IDAsiento, Apunte.IDApunte"),
        {empresa, desde, hasta, repercutido ? QStringLiteral("477%") : QStringLiteral("472%")});
    struct Linea {
        qlonglong id;
        QString asiento, codigo, concepto;
        bool conFactura;
        Moneda importe;
    };
    std::vector<Linea> lineas;
    std::set<qlonglong> deFactura;
    for (; !rs.Eof(); rs.MoveNext()) {
        Linea l;
        l.id = rs.Fields(0).toLongLong();
        if (liquidaciones.count(l.id)) continue;
        l.asiento = textoAsiento(cGeneral::QuitarNulo(rs.Fields(1)), QString::number(l.id));
        l.codigo = cGeneral::QuitarNulo(rs.Fields(2));
        l.conFactura = !cGeneral::QuitarNulo(rs.Fields(3)).isEmpty() &&
                       !cGeneral::QuitarNulo(rs.Fields(4)).isEmpty();
        l.concepto = cGeneral::QuitarNulo(rs.Fields(5));
        const Moneda debe = Moneda::deColumna(rs.Fields(6));
        const Moneda haber = Moneda::deColumna(rs.Fields(7));
        l.importe = repercutido ? haber - debe : debe - haber;
        cuadre.cuentas += l.importe;
        if (l.conFactura) deFactura.insert(l.id);
        lineas.push_back(l);
    }
    rs.Close();
    // Una línea sin factura en el asiento de una factura es su recargo: va con ella.
    for (const Linea& l : lineas)
        if (!l.conFactura && !deFactura.count(l.id))
            cuadre.diferencias.push_back(
                {DiferenciaIVA::ApunteSinFactura, l.asiento,
                 QStringLiteral("apunte de IVA sin factura en %1: %2").arg(l.codigo, l.concepto),
                 l.importe});
}

// Facturas anotadas en asientos sin ninguna línea de IVA (una sola vez, en la conciliación de
// las emitidas si la contrapartida es de clientes y en la de recibidas si no).
void facturasSinApunte(Conexion& con, const OpcionesResumenIVA& o, CuadreIVA& repercutido,
                       CuadreIVA& soportado) {
    const QString importes = columnaDebe(o.divisa) + QStringLiteral(", ") + columnaHaber(o.divisa);
    Recordset rs = con.Execute(
        QStringLiteral(
            "SELECT Asiento.IDAsiento, Asiento.Numero, Cuenta.Codigo, Apunte.Factura, ") +
            importes +
            QStringLiteral(
                " FROM Asiento INNER JOIN Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
                "INNER JOIN Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta "
                "WHERE Cuenta.CodEmpresa = ? AND Asiento.Fecha >= ? AND Asiento.Fecha <= ? "
                "AND Apunte.Factura <> '' AND Cuenta.Codigo NOT LIKE '477%' "
                "AND Cuenta.Codigo NOT LIKE '472%' AND NOT EXISTS (SELECT 1 FROM Apunte Iva "
                "INNER JOIN Cuenta CuentaIva ON CuentaIva.IDCuenta = Iva.CodCuenta "
                "WHERE Iva.CodAsiento = Asiento.IDAsiento AND (CuentaIva.Codigo LIKE '477%' "
                "OR CuentaIva.Codigo LIKE '472%')) "
                "ORDER BY Asiento.Fecha, Asiento.IDAsiento, Apunte.IDApunte"),
        {static_cast<qlonglong>(o.empresa), cGeneral::DateString(o.desde),
         cGeneral::DateString(o.hasta)});
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString codigo = cGeneral::QuitarNulo(rs.Fields(2));
        const Moneda importe = Moneda::deColumna(rs.Fields(4)) - Moneda::deColumna(rs.Fields(5));
        const bool cliente = codigo.startsWith(QStringLiteral("43"));
        (cliente ? repercutido : soportado)
            .diferencias.push_back({DiferenciaIVA::FacturaSinApunte,
                                    textoAsiento(cGeneral::QuitarNulo(rs.Fields(1)),
                                                 cGeneral::QuitarNulo(rs.Fields(0))),
                                    QStringLiteral("factura %1 sin apunte de IVA, en %2")
                                        .arg(cGeneral::QuitarNulo(rs.Fields(3)), codigo),
                                    importe});
    }
}

// Columnas de los libros registro que lee el modelo 303.
namespace expedida {
constexpr int kTipoFactura = 5, kFecha = 8, kExenta = 19, kBase = 21, kTipo = 22, kCuota = 23,
              kTipoRecargo = 24, kCuotaRecargo = 25;
}
namespace recibida {
constexpr int kTipoFactura = 5, kFecha = 8, kBase = 26, kDeducible = 29;
}

// Casillas de base y cuota de cada tipo del régimen general y del recargo de equivalencia.
struct CasillasTipo {
    const char* tipo;
    int base, cuota;
};
const CasillasTipo kDevengado[] = {{"0", 150, 152}, {"4", 1, 3}, {"10", 4, 6}, {"21", 7, 9}};
const CasillasTipo kRecargo[] = {
    {"1,75", 156, 158}, {"0,5", 168, 170}, {"1,4", 19, 21}, {"5,2", 22, 24}};
// Las cuotas que suman la cuota devengada (27) y la deducible (45).
const int kCuotasDevengadas[] = {152, 3, 6, 9, 15, 158, 170, 21, 24, 26};
const int kCuotasDeducibles[] = {29, 41};

// Rectificativa para el modelo: tipo R, o factura ordinaria con cuota negativa.
bool modifica(const std::vector<CeldaRegistro>& fila, Moneda cuota) {
    return fila[expedida::kTipoFactura].texto.startsWith(u'R') || cuota < Moneda();
}

// Suma base y cuota a las casillas de su tipo, o a las de modificación; las cuotas nulas no van.
void anotar(std::map<int, Moneda>& c, const CasillasTipo* tabla, std::size_t n, bool modificacion,
            int baseModificada, int cuotaModificada, Moneda tipo, Moneda base, Moneda cuota) {
    if (modificacion) {
        if (cuota.esCero()) return;
        c[baseModificada] += base;
        c[cuotaModificada] += cuota;
        return;
    }
    for (std::size_t i = 0; i < n; ++i)
        if (*Moneda::deTexto(QString::fromLatin1(tabla[i].tipo)) == tipo &&
            (cuota > Moneda() || (tipo.esCero() && cuota.esCero()))) {
            c[tabla[i].base] += base;
            c[tabla[i].cuota] += cuota;
        }
}

bool enPeriodo(const CeldaRegistro& fecha, const QDate& desde, const QDate& hasta) {
    return fecha.fecha >= desde && fecha.fecha <= hasta;
}

}  // namespace

std::map<int, Moneda> casillas303(const std::vector<std::vector<CeldaRegistro>>& expedidas,
                                  const std::vector<std::vector<CeldaRegistro>>& recibidas,
                                  const QDate& desde, const QDate& hasta) {
    std::map<int, Moneda> c;
    for (const auto& f : expedidas) {
        if (!enPeriodo(f[expedida::kFecha], desde, hasta)) continue;
        // Las entregas intracomunitarias exentas van a la información adicional (59).
        if (f[expedida::kExenta].texto == u"E5") {
            c[59] += f[expedida::kBase].numero;
            continue;
        }
        const Moneda cuota = f[expedida::kCuota].numero;
        anotar(c, kDevengado, std::size(kDevengado), modifica(f, cuota), 14, 15,
               f[expedida::kTipo].numero, f[expedida::kBase].numero, cuota);
        if (f[expedida::kTipoRecargo].clase == CeldaRegistro::Numero) {
            const Moneda recargo = f[expedida::kCuotaRecargo].numero;
            anotar(c, kRecargo, std::size(kRecargo), modifica(f, recargo), 25, 26,
                   f[expedida::kTipoRecargo].numero, f[expedida::kBase].numero, recargo);
        }
    }
    for (const auto& f : recibidas) {
        if (!enPeriodo(f[recibida::kFecha], desde, hasta)) continue;
        const Moneda deducible = f[recibida::kDeducible].numero;
        if (deducible.esCero()) continue;
        const bool rectificacion =
            f[recibida::kTipoFactura].texto.startsWith(u'R') || deducible < Moneda();
        c[rectificacion ? 40 : 28] += f[recibida::kBase].numero;
        c[rectificacion ? 41 : 29] += deducible;
    }
    for (const int k : kCuotasDevengadas)
        if (c.count(k)) c[27] += c[k];
    for (const int k : kCuotasDeducibles)
        if (c.count(k)) c[45] += c[k];
    c[46] = c[27] - c[45];
    return c;
}

ResumenIVA calcularResumenIVA(Conexion& contabilidad, const OpcionesResumenIVA& o) {
    ResumenIVA r;
    std::map<std::int64_t, LineaTipoIVA> devengado, recargo, deducible;
    leerLibro(contabilidad, o, true, devengado, &recargo, r.totalDevengado, r.repercutido);
    leerLibro(contabilidad, o, false, deducible, nullptr, r.totalDeducible, r.soportado);
    r.devengado = deMayorAMenor(devengado);
    r.recargo = deMayorAMenor(recargo);
    r.deducible = deMayorAMenor(deducible);
    // Las diferencias de tipo se anotaron al leer los libros; las de las cuentas van delante.
    for (const bool repercutido : {true, false}) {
        CuadreIVA* cuadre = repercutido ? &r.repercutido : &r.soportado;
        CuadreIVA cuentas;
        cuadrarCuentas(contabilidad, o, repercutido, cuentas);
        cuadre->cuentas = cuentas.cuentas;
        cuentas.diferencias.insert(cuentas.diferencias.end(), cuadre->diferencias.begin(),
                                   cuadre->diferencias.end());
        cuadre->diferencias = std::move(cuentas.diferencias);
    }
    facturasSinApunte(contabilidad, o, r.repercutido, r.soportado);
    OpcionesLibrosIVA l;
    l.empresa = o.empresa;
    l.desde = o.desde;
    l.hasta = o.hasta;
    for (const LibrosRegistroAnuales& a : librosRegistro(contabilidad, l))
        for (const auto& [casilla, importe] :
             casillas303(a.expedidas, a.recibidas, o.desde, o.hasta))
            r.casillas[casilla] += importe;
    // Los totales de cada año ya están en las casillas sumadas; el resultado, del total.
    r.casillas[46] = r.casillas[27] - r.casillas[45];
    return r;
}

std::vector<FilaResumenIVA> filasResumenIVA(const ResumenIVA& r, Divisa divisa) {
    std::vector<FilaResumenIVA> filas;
    const auto tipo = [](Moneda t) { return t.formatear(true); };
    QString seccion;
    const auto fila = [&](const QString& concepto, std::optional<Moneda> t,
                          std::optional<Moneda> base, std::optional<Moneda> cuota,
                          bool destacado = false) {
        FilaResumenIVA f;
        f.seccion = seccion;
        f.concepto = concepto;
        f.tipo = t;
        f.base = base;
        f.cuota = cuota;
        f.destacado = destacado;
        filas.push_back(std::move(f));
    };
    seccion = QStringLiteral("IVA DEVENGADO (FACTURAS EMITIDAS)");
    for (const LineaTipoIVA& l : r.devengado)
        fila(QStringLiteral("Régimen general al %1 %").arg(tipo(l.tipo)), l.tipo, l.base, l.cuota);
    for (const LineaTipoIVA& l : r.recargo)
        fila(QStringLiteral("Recargo de equivalencia al %1 %").arg(tipo(l.tipo)), l.tipo, l.base,
             l.cuota);
    fila(QStringLiteral("Total cuota devengada"), {}, {}, r.totalDevengado, true);

    seccion = QStringLiteral("IVA DEDUCIBLE (FACTURAS RECIBIDAS)");
    for (const LineaTipoIVA& l : r.deducible)
        fila(QStringLiteral("Cuotas soportadas al %1 %").arg(tipo(l.tipo)), l.tipo, l.base,
             l.cuota);
    fila(QStringLiteral("Total a deducir"), {}, {}, r.totalDeducible, true);

    seccion = QStringLiteral("RESULTADO");
    fila(QStringLiteral("Cuota devengada"), {}, {}, r.totalDevengado);
    fila(QStringLiteral("Cuota a deducir"), {}, {}, r.totalDeducible);
    const Moneda resultado = r.resultado();
    fila(resultado < Moneda() ? QStringLiteral("Resultado: a compensar")
                              : QStringLiteral("Resultado: a ingresar"),
         {}, {}, resultado < Moneda() ? -resultado : resultado, true);

    if (divisa == Divisa::Euros) {
        seccion = QStringLiteral("MODELO 303: CASILLAS");
        const auto casilla = [&r](int n) {
            const auto it = r.casillas.find(n);
            return it == r.casillas.end() ? Moneda() : it->second;
        };
        const auto par = [&](int base, int cuota, const QString& texto) {
            if (!r.casillas.count(base) && !r.casillas.count(cuota)) return;
            fila(QStringLiteral("[%1] [%2] %3")
                     .arg(base, 2, 10, QChar(u'0'))
                     .arg(cuota, 2, 10, QChar(u'0'))
                     .arg(texto),
                 {}, casilla(base), casilla(cuota));
        };
        for (const CasillasTipo& c : kDevengado)
            par(c.base, c.cuota,
                QStringLiteral("Régimen general al %1 %").arg(QString::fromLatin1(c.tipo)));
        par(14, 15, QStringLiteral("Modificación de bases y cuotas"));
        for (const CasillasTipo& c : kRecargo)
            par(c.base, c.cuota,
                QStringLiteral("Recargo de equivalencia al %1 %").arg(QString::fromLatin1(c.tipo)));
        par(25, 26, QStringLiteral("Modificación de bases y cuotas del recargo de equivalencia"));
        fila(QStringLiteral("[27] Total cuota devengada"), {}, {}, casilla(27), true);
        par(28, 29, QStringLiteral("Cuotas soportadas en operaciones interiores corrientes"));
        par(40, 41, QStringLiteral("Rectificación de deducciones"));
        fila(QStringLiteral("[45] Total a deducir"), {}, {}, casilla(45), true);
        fila(QStringLiteral("[46] Resultado del régimen general"), {}, {}, casilla(46), true);
        if (r.casillas.count(59))
            fila(QStringLiteral("[59] Entregas intracomunitarias exentas"), {}, casilla(59), {});
    }

    const struct {
        const char* titulo;
        const char* cuentas;
        const char* libro;
        const CuadreIVA& cuadre;
    } cuadres[] = {
        {"CONCILIACIÓN CON LAS CUENTAS 477 (IVA REPERCUTIDO)",
         "Subcuentas 477: movimiento del periodo sin liquidaciones",
         "Cuota devengada de las facturas emitidas", r.repercutido},
        {"CONCILIACIÓN CON LAS CUENTAS 472 (IVA SOPORTADO)",
         "Subcuentas 472: movimiento del periodo sin liquidaciones",
         "Cuota soportada de las facturas recibidas", r.soportado},
    };
    for (const auto& c : cuadres) {
        seccion = QString::fromUtf8(c.titulo);
        fila(QString::fromUtf8(c.cuentas), {}, {}, c.cuadre.cuentas);
        fila(QString::fromUtf8(c.libro), {}, {}, c.cuadre.libro);
        fila(QStringLiteral("Diferencia"), {}, {}, c.cuadre.diferencia(), true);
        if (c.cuadre.diferencias.empty())
            fila(QStringLiteral("Sin apuntes que revisar"), {}, {}, {});
        for (const DiferenciaIVA& d : c.cuadre.diferencias)
            fila(QStringLiteral("Asiento %1: %2").arg(d.asiento, d.texto), {}, {}, d.importe);
    }
    return filas;
}

FormulasInforme construirResumenIVA(ContextoInforme& contexto, const OpcionesResumenIVA& o) {
    const ResumenIVA r = calcularResumenIVA(contexto.contabilidad, o);
    const auto opcional = [](const std::optional<Moneda>& m) { return m ? Celda(*m) : Celda(); };
    EscritorTabla::escribirTodas(
        contexto, QStringLiteral("ResumenIVA"),
        {QStringLiteral("Seccion"), QStringLiteral("Concepto"), QStringLiteral("Tipo"),
         QStringLiteral("BaseImponible"), QStringLiteral("Cuota"), QStringLiteral("Destacado")},
        o.divisa, filasResumenIVA(r, o.divisa), [&](const FilaResumenIVA& f) {
            // El tipo se muestra con sus decimales también en pesetas.
            return std::vector<Celda>{f.seccion,
                                      f.concepto,
                                      f.tipo ? Celda(f.tipo->formatear(true)) : Celda(),
                                      opcional(f.base),
                                      opcional(f.cuota),
                                      qint64{f.destacado}};
        });
    return {{1, formulaEmpresa(contexto.contabilidad, o.empresa)},
            {2, formulaMoneda(o.divisa)},
            {3, formulaPeriodo(Regional::fechaCorta(o.desde), Regional::fechaCorta(o.hasta))}};
}

}  // namespace orvo
