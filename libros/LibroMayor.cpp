#include "LibroMayor.h"

#include <QHash>
#include <array>
#include <utility>

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
        : con_(contabilidad), euros_(o.euros) {
        const QDate primerDia(o.desde.year(), o.desde.month(), 1);
        // Empezando el periodo en el primer mes del ejercicio no hay nada antes.
        hayAnterior_ = o.inicioEjercicio.isValid() && primerDia > o.inicioEjercicio;
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
            .arg(columnaDebe(euros_), columnaHaber(euros_));
    }

    Conexion& con_;
    bool euros_;
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
                       "Asiento.Fecha, Cuenta.Descripcion, Apunte.Concepto, ") +
            importesApunte(o.euros) + u' ' + uniones +
            QStringLiteral("ORDER BY Cuenta.Codigo, Val(Asiento.Numero), Asiento.Fecha, "
                           "Asiento.IDAsiento, Apunte.IDApunte"),
        params);
    if (total > 0) {
        contexto.progreso.Iniciar(total, QStringLiteral("Procesando ..."), 0);
        Instruccion insertar = contexto.informes.preparar(QStringLiteral(
            "INSERT INTO Libro_Mayor (Codigo, Descripcion, Asiento, Fecha, Concepto, Debe, Haber, "
            "Saldo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        SaldoAnterior anterior(contexto.contabilidad, o);
        const int cIdCuenta = rs.indice(QStringLiteral("IDCuenta"));
        const int cCodigo = rs.indice(QStringLiteral("Codigo"));
        const int cDescripcion = rs.indice(QStringLiteral("Descripcion"));
        const int cNumero = rs.indice(QStringLiteral("Numero"));
        const int cId = rs.indice(QStringLiteral("IDAsiento"));
        const int cFecha = rs.indice(QStringLiteral("Fecha"));
        const int cConcepto = rs.indice(QStringLiteral("Concepto"));
        const int cDebe = rs.indice(QStringLiteral("Debe"));
        const int cHaber = rs.indice(QStringLiteral("Haber"));
        FilaLibro::AsientoYFecha asiento;
        std::string codigoAnterior, debe, haber, saldoTexto;
        bool primera = true;
        Moneda saldo;
        qint64 filas = 0;
        auto importe = [&o](std::string& destino, Moneda m) {
            FilaLibro::ponerImporte(destino, m, o.euros);
        };
        // Una fila con los importes que haya en 'debe', 'haber' y 'saldoTexto'.
        auto escribir = [&](QByteArrayView codigo, QByteArrayView descripcion,
                            QByteArrayView numero, QByteArrayView fecha, QByteArrayView concepto) {
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
        for (; !rs.Eof(); rs.MoveNext()) {
            const QByteArrayView codigo = rs.textoUtf8(cCodigo);
            if (primera || codigo != QByteArrayView(codigoAnterior.data(), codigoAnterior.size())) {
                primera = false;
                codigoAnterior.assign(codigo.data() ? codigo.data() : "", codigo.size());
                saldo = Moneda();
                if (o.saldoAnterior) {
                    const auto [d, h, s] = anterior.de(rs.entero(cIdCuenta));
                    importe(debe, d);
                    importe(haber, h);
                    importe(saldoTexto, s);
                    escribir(codigo, rs.textoUtf8(cDescripcion), QByteArrayView(), QByteArrayView(),
                             kSaldoAnterior);
                    saldo = s;
                }
            }
            const Moneda d = Moneda::deDiezmilesimas(rs.entero(cDebe));
            const Moneda h = Moneda::deDiezmilesimas(rs.entero(cHaber));
            // Un debe positivo suma; si no, se resta el haber (un debe negativo no cuenta).
            saldo = d > Moneda() ? saldo + d : saldo - h;
            asiento.leer(rs.textoUtf8(cNumero), rs.entero(cId), rs.textoUtf8(cFecha));
            importe(debe, d);
            importe(haber, h);
            importe(saldoTexto, saldo);
            escribir(codigo, rs.textoUtf8(cDescripcion), asiento.asiento(), asiento.fecha(),
                     rs.textoUtf8(cConcepto));
            if (filas < total) contexto.progreso.setValor(++filas);
        }
        contexto.progreso.Terminar();
    }
    rs.Close();
    return formulasLibroPorMeses(o.textoEmpresa, o.desde, o.hasta, o.euros);
}

}  // namespace orvo
