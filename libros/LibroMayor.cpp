#include "LibroMayor.h"

#include <QHash>
#include <array>
#include <map>
#include <utility>

#include "AsientosFinales.h"
#include "FilaLibro.h"
#include "cGeneral.h"

namespace orvo {

namespace {

constexpr char kSaldoAnterior[] = "Saldo anterior acumulado";

// Sumas del debe y del haber de cada subcuenta desde el comienzo del ejercicio hasta el día
// anterior al primero del periodo.
class SaldoAnterior {
  public:
    SaldoAnterior(Conexion& contabilidad, const OpcionesLibroMayor& o)
        : con_(contabilidad), divisa_(o.divisa) {
        const QDate primerDia(o.desde.year(), o.desde.month(), 1);
        // Empezando el periodo en el primer mes del ejercicio no hay nada antes.
        hayAnterior_ =
            o.saldoAnterior && o.inicioEjercicio.isValid() && primerDia > o.inicioEjercicio;
        desde_ = cGeneral::DateString(o.inicioEjercicio);
        hasta_ = cGeneral::DateString(primerDia.addDays(-1));
        // Para un intervalo, una sola consulta agrupada que solo recorre los asientos
        // anteriores al periodo; una consulta por subcuenta recorrería por el índice de cuenta
        // todos sus apuntes del año. Para una subcuenta sola, en cambio, la suya basta.
        if (hayAnterior_ && !o.subcuentaUnica) {
            Recordset rs = con_.Execute(
                QStringLiteral("SELECT Apunte.CodCuenta, ") + sumas() +
                    QStringLiteral(
                        " FROM Asiento CROSS JOIN Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
                        "WHERE Asiento.CodEmpresa = ? AND Asiento.Fecha >= ? "
                        "AND Asiento.Fecha <= ? GROUP BY Apunte.CodCuenta"),
                {static_cast<qlonglong>(o.empresa), desde_, hasta_});
            for (; !rs.Eof(); rs.MoveNext())
                porCuenta_.insert(rs.entero(0), {Moneda::deDiezmilesimas(rs.entero(1)),
                                                 Moneda::deDiezmilesimas(rs.entero(2))});
            agrupado_ = true;
        }
    }

    // Debe, haber y saldo (debe - haber) de la subcuenta de clave 'idCuenta'.
    std::array<Moneda, 3> de(qint64 idCuenta) {
        if (!hayAnterior_) return {};
        std::pair<Moneda, Moneda> s;
        if (agrupado_) {
            s = porCuenta_.value(idCuenta);
        } else {
            Recordset rs = con_.Execute(
                QStringLiteral("SELECT ") + sumas() +
                    QStringLiteral(
                        " FROM Apunte CROSS JOIN Asiento ON Apunte.CodAsiento = Asiento.IDAsiento "
                        "WHERE Apunte.CodCuenta = ? AND Asiento.Fecha >= ? "
                        "AND Asiento.Fecha <= ?"),
                {idCuenta, desde_, hasta_});
            s = {Moneda::deDiezmilesimas(rs.entero(0)), Moneda::deDiezmilesimas(rs.entero(1))};
        }
        return {s.first, s.second, s.first - s.second};
    }

  private:
    QString sumas() const {
        return QStringLiteral(
                   "SUM(CCur(NULLIF(Apunte.%1, ''))) AS Debe, "
                   "SUM(CCur(NULLIF(Apunte.%2, ''))) AS Haber")
            .arg(columnaDebe(divisa_), columnaHaber(divisa_));
    }

    Conexion& con_;
    Divisa divisa_;
    bool hayAnterior_;
    bool agrupado_ = false;
    QString desde_, hasta_;
    QHash<qint64, std::pair<Moneda, Moneda>> porCuenta_;
};

// ¿Abarca el intervalo pocas subcuentas de la empresa? Entonces conviene ir de cada subcuenta a
// sus apuntes por el índice de Apunte(CodCuenta). Si abarca muchas, ese camino salta por todo el
// archivo (una lectura por apunte, que en un millón de líneas es casi todo el tiempo) y sale más
// barato recorrer los asientos una vez, en el orden en que están guardados, y que SQLite ordene.
bool pocasSubcuentas(Conexion& contabilidad, const OpcionesLibroMayor& o) {
    if (o.subcuentaUnica) return true;
    Recordset rs = contabilidad.Execute(
        QStringLiteral("SELECT count(*), "
                       "COALESCE(SUM(CASE WHEN Codigo >= ? AND Codigo <= ? THEN 1 ELSE 0 END), 0) "
                       "FROM Cuenta WHERE CodEmpresa = ? AND CodTipo_Cuenta = 2"),
        {o.subcuentaDesde, o.subcuentaHasta, static_cast<qlonglong>(o.empresa)});
    return rs.entero(1) * 4 < rs.entero(0);
}

// Una línea de la regularización o del cierre de un ejercicio cerrado, con su asiento.
struct LineaFinal {
    const AsientosFinales::Asiento* asiento;
    AsientosFinales::Linea linea;
};

// Las líneas finales de cada subcuenta del rango, si el periodo llega al último día del
// ejercicio y este está cerrado; en el orden de los asientos.
std::map<QString, std::vector<LineaFinal>> lineasFinales(const AsientosFinales::Asientos& finales,
                                                         const OpcionesLibroMayor& o) {
    std::map<QString, std::vector<LineaFinal>> porSubcuenta;
    for (const AsientosFinales::Asiento* a : {&finales.regularizacion, &finales.cierre}) {
        if (a->fecha < primerDiaDelMes(o.desde) || a->fecha > ultimoDiaDelMes(o.hasta)) continue;
        for (const AsientosFinales::Linea& l : a->lineas) {
            const bool enRango = o.subcuentaUnica
                                     ? l.codigo == *o.subcuentaUnica
                                     : l.codigo >= o.subcuentaDesde && l.codigo <= o.subcuentaHasta;
            if (enRango) porSubcuenta[l.codigo].push_back({a, l});
        }
    }
    return porSubcuenta;
}

}  // namespace

// Las uniones van en orden fijo (CROSS JOIN), el que pocasSubcuentas() elige: sin estadísticas,
// SQLite no sabría cuál de los dos recorridos le conviene.
FormulasInforme construirLibroMayor(ContextoInforme& contexto, const OpcionesLibroMayor& o) {
    Parametros params{static_cast<qlonglong>(o.empresa), static_cast<qlonglong>(o.empresa)};
    QString filtroSubcuenta;
    if (o.subcuentaUnica) {
        filtroSubcuenta = QStringLiteral("AND Cuenta.Codigo = ? ");
        params << *o.subcuentaUnica;
    } else {
        filtroSubcuenta = QStringLiteral("AND Cuenta.Codigo >= ? AND Cuenta.Codigo <= ? ");
        params << o.subcuentaDesde << o.subcuentaHasta;
    }
    params << primerDiaDelMes(o.desde) << ultimoDiaDelMes(o.hasta);
    const QString uniones =
        (pocasSubcuentas(contexto.contabilidad, o)
             ? QStringLiteral("FROM Cuenta CROSS JOIN Apunte ON Apunte.CodCuenta = Cuenta.IDCuenta "
                              "CROSS JOIN Asiento ON Asiento.IDAsiento = Apunte.CodAsiento ")
             : QStringLiteral(
                   "FROM Asiento CROSS JOIN Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
                   "CROSS JOIN Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta ")) +
        QStringLiteral("WHERE Asiento.CodEmpresa = ? AND Cuenta.CodEmpresa = ? "
                       "AND Cuenta.CodTipo_Cuenta = 2 ") +
        filtroSubcuenta + QStringLiteral("AND Asiento.Fecha >= ? AND Asiento.Fecha <= ? ");
    // El recuento para la barra de progreso, sin columnas ni orden que no necesita.
    const qint64 total =
        contexto.contabilidad.valor(QStringLiteral("SELECT count(*) ") + uniones, params)
            .toLongLong();
    Recordset rs = contexto.contabilidad.Execute(
        QStringLiteral("SELECT Cuenta.IDCuenta, Cuenta.Codigo, Asiento.IDAsiento, Asiento.Numero, "
                       "Asiento.Fecha, ") +
            descripcionCuenta(QStringLiteral("Cuenta")) +
            QStringLiteral(" AS Descripcion, Apunte.Concepto, ") + importesApunte(o.divisa) + u' ' +
            uniones +
            QStringLiteral("ORDER BY Cuenta.Codigo, Val(Asiento.Numero), Asiento.Fecha, "
                           "Asiento.IDAsiento, Apunte.IDApunte"),
        params);
    SaldoAnterior anterior(contexto.contabilidad, o);
    const AsientosFinales::Asientos finales =
        AsientosFinales::deEjercicioCerrado(contexto.contabilidad, o.empresa);
    std::map<QString, std::vector<LineaFinal>> pendientes;
    if (o.asientosFinales) pendientes = lineasFinales(finales, o);
    const int cIdCuenta = rs.indice(QStringLiteral("IDCuenta"));
    FilaLibro::Apunte apunte(rs);
    std::string codigoAnterior, descripcionAnterior, debe, haber, saldoTexto;
    bool primera = true;
    Moneda saldo;
    const QString insercion = QStringLiteral(
        "INSERT INTO Libro_Mayor (Codigo, Descripcion, Asiento, Fecha, Concepto, "
        "Debe, Haber, Saldo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    // Una fila con los importes dados.
    auto escribir = [&](Instruccion& insertar, QByteArrayView codigo, QByteArrayView descripcion,
                        QByteArrayView numero, QByteArrayView fecha, QByteArrayView concepto,
                        Moneda d, Moneda h) {
        FilaLibro::ponerImporte(debe, d, conDecimales(o.divisa));
        FilaLibro::ponerImporte(haber, h, conDecimales(o.divisa));
        FilaLibro::ponerImporte(saldoTexto, saldo, conDecimales(o.divisa));
        insertar.enlazarTexto(1, codigo);
        insertar.enlazarTexto(2, descripcion);
        insertar.enlazarTexto(3, numero);
        insertar.enlazarTexto(4, fecha);
        insertar.enlazarTexto(5, concepto);
        insertar.enlazarTexto(6, FilaLibro::vista(debe));
        insertar.enlazarTexto(7, FilaLibro::vista(haber));
        insertar.enlazarTexto(8, FilaLibro::vista(saldoTexto));
        insertar.ejecutar();
    };
    // Las líneas finales de una subcuenta, detrás de sus apuntes, siguiendo su saldo.
    std::optional<Instruccion> insertarFinal;
    auto escribirFinales = [&](const std::vector<LineaFinal>& lineas, QByteArrayView codigo,
                               QByteArrayView descripcion) {
        if (!insertarFinal) insertarFinal.emplace(contexto.informes.preparar(insercion));
        for (const LineaFinal& f : lineas) {
            const Moneda d = o.divisa == Divisa::Euros ? f.linea.debe : f.linea.debePesetas;
            const Moneda h = o.divisa == Divisa::Euros ? f.linea.haber : f.linea.haberPesetas;
            saldo = d > Moneda() ? saldo + d : saldo - h;
            std::string fecha;
            FilaLibro::anadirFecha(fecha, f.asiento->fecha.toUtf8());
            escribir(*insertarFinal, codigo, descripcion, f.asiento->numero.toUtf8(),
                     FilaLibro::vista(fecha), f.asiento->concepto.toUtf8(), d, h);
        }
    };
    // Tras los apuntes de la subcuenta anterior, sus líneas finales.
    auto terminarSubcuenta = [&] {
        const auto it = pendientes.find(QString::fromStdString(codigoAnterior));
        if (it == pendientes.end()) return;
        escribirFinales(it->second, FilaLibro::vista(codigoAnterior),
                        FilaLibro::vista(descripcionAnterior));
        pendientes.erase(it);
    };
    // Las subcuentas que solo tienen líneas finales en el periodo, hasta la de 'limite'.
    auto subcuentasSinApuntes = [&](const std::optional<QString>& limite) {
        while (!pendientes.empty() && (!limite || pendientes.begin()->first < *limite)) {
            const auto& [codigo, lineas] = *pendientes.begin();
            const AsientosFinales::Linea& l = lineas.front().linea;
            const QByteArray cod = codigo.toUtf8(), descripcion = l.descripcion.toUtf8();
            saldo = Moneda();
            if (o.saldoAnterior) {
                const auto [d, h, s] = anterior.de(l.idCuenta);
                saldo = s;
                if (!insertarFinal) insertarFinal.emplace(contexto.informes.preparar(insercion));
                escribir(*insertarFinal, cod, descripcion, QByteArrayView(), QByteArrayView(),
                         kSaldoAnterior, d, h);
            }
            escribirFinales(lineas, cod, descripcion);
            pendientes.erase(pendientes.begin());
        }
    };
    FilaLibro::escribirFilas(contexto, rs, total, insercion, [&](Instruccion& insertar) {
        apunte.leer(rs);
        const QByteArrayView codigo = apunte.codigo;
        if (primera || codigo != QByteArrayView(codigoAnterior.data(), codigoAnterior.size())) {
            if (!primera) terminarSubcuenta();
            subcuentasSinApuntes(QString::fromUtf8(codigo));
            primera = false;
            codigoAnterior.assign(codigo.data() ? codigo.data() : "", codigo.size());
            descripcionAnterior.assign(apunte.descripcion.data() ? apunte.descripcion.data() : "",
                                       apunte.descripcion.size());
            saldo = Moneda();
            if (o.saldoAnterior) {
                const auto [d, h, s] = anterior.de(rs.entero(cIdCuenta));
                saldo = s;
                escribir(insertar, apunte.codigo, apunte.descripcion, QByteArrayView(),
                         QByteArrayView(), kSaldoAnterior, d, h);
            }
        }
        // Un debe positivo suma; si no, se resta el haber (un debe negativo no cuenta).
        saldo = apunte.debe > Moneda() ? saldo + apunte.debe : saldo - apunte.haber;
        escribir(insertar, apunte.codigo, apunte.descripcion, apunte.asiento.asiento(),
                 apunte.asiento.fecha(), apunte.concepto, apunte.debe, apunte.haber);
    });
    if (!primera) terminarSubcuenta();
    subcuentasSinApuntes(std::nullopt);
    return formulasLibroPorMeses(contexto.contabilidad, o.empresa, o.desde, o.hasta, o.divisa);
}

}  // namespace orvo
