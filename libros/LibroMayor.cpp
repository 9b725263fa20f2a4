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
void recorrerLibroMayor(Conexion& contabilidad, const OpcionesLibroMayor& o, IProgreso* progreso,
                        const std::function<void(const FilaMayor&)>& porFila) {
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
        (pocasSubcuentas(contabilidad, o)
             ? QStringLiteral("FROM Cuenta CROSS JOIN Apunte ON Apunte.CodCuenta = Cuenta.IDCuenta "
                              "CROSS JOIN Asiento ON Asiento.IDAsiento = Apunte.CodAsiento ")
             : QStringLiteral(
                   "FROM Asiento CROSS JOIN Apunte ON Apunte.CodAsiento = Asiento.IDAsiento "
                   "CROSS JOIN Cuenta ON Cuenta.IDCuenta = Apunte.CodCuenta ")) +
        QStringLiteral(
            "WHERE Asiento.CodEmpresa = ? AND Cuenta.CodEmpresa = ? "
            "AND Cuenta.CodTipo_Cuenta = 2 ") +
        filtroSubcuenta + QStringLiteral("AND Asiento.Fecha >= ? AND Asiento.Fecha <= ? ");
    // El recuento para la barra de progreso, sin columnas ni orden que no necesita.
    const qint64 total =
        progreso
            ? contabilidad.valor(QStringLiteral("SELECT count(*) ") + uniones, params).toLongLong()
            : 0;
    Recordset rs = contabilidad.Execute(
        QStringLiteral("SELECT Cuenta.IDCuenta, Cuenta.Codigo, Asiento.IDAsiento, Asiento.Numero, "
                       "Asiento.Fecha, ") +
            descripcionCuenta(QStringLiteral("Cuenta")) +
            QStringLiteral(" AS Descripcion, Apunte.Concepto, ") + importesApunte(o.divisa) + u' ' +
            uniones +
            QStringLiteral("ORDER BY Cuenta.Codigo, Val(Asiento.Numero), Asiento.Fecha, "
                           "Asiento.IDAsiento, Apunte.IDApunte"),
        params);
    SaldoAnterior anterior(contabilidad, o);
    const AsientosFinales::Asientos finales =
        AsientosFinales::deEjercicioCerrado(contabilidad, o.empresa);
    std::map<QString, std::vector<LineaFinal>> pendientes;
    if (o.asientosFinales) pendientes = lineasFinales(finales, o);
    const int cIdCuenta = rs.indice(QStringLiteral("IDCuenta"));
    FilaLibro::LectorApuntes lector(rs);
    std::string codigoAnterior, descripcionAnterior;
    bool primera = true;
    FilaMayor fila;
    // La fila del saldo anterior de una subcuenta, que empieza con él su saldo.
    auto saldoAnterior = [&](QByteArrayView codigo, QByteArrayView descripcion, qint64 idCuenta) {
        const auto [d, h, s] = anterior.de(idCuenta);
        FilaMayor f;
        f.apunte.codigo = codigo;
        f.apunte.descripcion = descripcion;
        f.apunte.concepto = kSaldoAnterior;
        f.apunte.debe = d;
        f.apunte.haber = h;
        f.saldo = s;
        porFila(f);
        return s;
    };
    // Las líneas finales de una subcuenta, detrás de sus apuntes, siguiendo su saldo.
    auto finalesDe = [&](const std::vector<LineaFinal>& lineas, QByteArrayView codigo,
                         QByteArrayView descripcion, Moneda saldo) {
        for (const LineaFinal& l : lineas) {
            const QByteArray numero = l.asiento->numero.toUtf8(), fecha = l.asiento->fecha.toUtf8(),
                             concepto = l.asiento->concepto.toUtf8();
            FilaMayor f;
            f.apunte.numero = numero;
            f.apunte.fecha = fecha;
            f.apunte.codigo = codigo;
            f.apunte.descripcion = descripcion;
            f.apunte.concepto = concepto;
            f.apunte.debe = o.divisa == Divisa::Euros ? l.linea.debe : l.linea.debePesetas;
            f.apunte.haber = o.divisa == Divisa::Euros ? l.linea.haber : l.linea.haberPesetas;
            saldo = f.apunte.debe > Moneda() ? saldo + f.apunte.debe : saldo - f.apunte.haber;
            f.saldo = saldo;
            porFila(f);
        }
    };
    // Tras los apuntes de la subcuenta anterior, sus líneas finales.
    auto terminarSubcuenta = [&] {
        const auto it = pendientes.find(QString::fromStdString(codigoAnterior));
        if (it == pendientes.end()) return;
        finalesDe(it->second, FilaLibro::vista(codigoAnterior),
                  FilaLibro::vista(descripcionAnterior), fila.saldo);
        pendientes.erase(it);
    };
    // Las subcuentas que solo tienen líneas finales en el periodo, hasta la de 'limite'.
    auto subcuentasSinApuntes = [&](const std::optional<QString>& limite) {
        while (!pendientes.empty() && (!limite || pendientes.begin()->first < *limite)) {
            const auto& [codigo, lineas] = *pendientes.begin();
            const AsientosFinales::Linea& l = lineas.front().linea;
            const QByteArray cod = codigo.toUtf8(), descripcion = l.descripcion.toUtf8();
            const Moneda saldo =
                o.saldoAnterior ? saldoAnterior(cod, descripcion, l.idCuenta) : Moneda();
            finalesDe(lineas, cod, descripcion, saldo);
            pendientes.erase(pendientes.begin());
        }
    };
    FilaLibro::recorrerFilas(rs, progreso, total, [&] {
        fila.apunte = lector.leer(rs);
        const QByteArrayView codigo = fila.apunte.codigo;
        if (primera || codigo != FilaLibro::vista(codigoAnterior)) {
            if (!primera) terminarSubcuenta();
            subcuentasSinApuntes(QString::fromUtf8(codigo));
            primera = false;
            codigoAnterior.assign(codigo.data() ? codigo.data() : "",
                                  static_cast<std::size_t>(codigo.size()));
            const QByteArrayView descripcion = fila.apunte.descripcion;
            descripcionAnterior.assign(descripcion.data() ? descripcion.data() : "",
                                       static_cast<std::size_t>(descripcion.size()));
            fila.saldo = o.saldoAnterior ? saldoAnterior(codigo, descripcion, rs.entero(cIdCuenta))
                                         : Moneda();
        }
        // Un debe positivo suma; si no, se resta el haber (un debe negativo no cuenta).
        const ApunteLibro& a = fila.apunte;
        fila.saldo = a.debe > Moneda() ? fila.saldo + a.debe : fila.saldo - a.haber;
        porFila(fila);
    });
    if (!primera) terminarSubcuenta();
    subcuentasSinApuntes(std::nullopt);
}

FormulasInforme construirLibroMayor(ContextoInforme& contexto, const OpcionesLibroMayor& o) {
    EscritorLibro escritor(
        contexto.informes, QStringLiteral("Libro_Mayor"),
        {QStringLiteral("Codigo"), QStringLiteral("Descripcion"), QStringLiteral("Asiento"),
         QStringLiteral("Fecha"), QStringLiteral("Concepto"), QStringLiteral("Debe"),
         QStringLiteral("Haber"), QStringLiteral("Saldo")},
        o.divisa);
    recorrerLibroMayor(contexto.contabilidad, o, &contexto.progreso, [&](const FilaMayor& f) {
        const ApunteLibro& a = f.apunte;
        escritor.texto(a.codigo)
            .texto(a.descripcion)
            .asiento(a.numero, a.idAsiento)
            .fecha(a.fecha)
            .texto(a.concepto)
            .importe(a.debe)
            .importe(a.haber)
            .importe(f.saldo)
            .escribir();
    });
    return formulasLibroPorMeses(contexto.contabilidad, o.empresa, o.desde, o.hasta, o.divisa);
}

}  // namespace orvo
