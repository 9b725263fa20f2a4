#include "LineasBalance.h"

#include <QSet>

#include "Conexion.h"
#include "ContextoInforme.h"
#include "Progreso.h"
#include "cGeneral.h"

namespace orvo {

namespace {

qlonglong id(long v) {
    return static_cast<qlonglong>(v);
}

QString expresionMeses(const QString& raiz, const QStringList& meses, Divisa divisa,
                       const QString& alias) {
    return sumaMeses(raiz, meses, divisa) + QStringLiteral(" AS ") + alias;
}

bool verdadero(const QVariant& v) {
    const QString t = v.toString().trimmed();
    return !t.isEmpty() && t != u"0" && t.compare(u"false", Qt::CaseInsensitive) != 0;
}

// Un presupuesto se guarda en positivo, del lado en que la cuenta lleva su saldo: un gasto
// (grupo 6) al debe y un ingreso (grupo 7) al haber, salvo los descuentos, devoluciones y
// rappels que los minoran (606, 608, 609 al haber; 706, 708, 709 al debe); las demás cuentas,
// al lado de su epígrafe. Como saldo, debe menos haber, toma el signo de la naturaleza igual
// que el total.
Moneda saldoPresupuestado(Moneda presupuesto, const QString& cuenta, const QString& naturaleza) {
    const QString c = cuenta.trimmed();
    if (!c.startsWith(u'6') && !c.startsWith(u'7')) return AplicarSigno(presupuesto, naturaleza);
    const QString subgrupo = c.mid(1, 2);
    const bool minora = subgrupo == u"06" || subgrupo == u"08" || subgrupo == u"09";
    return c.startsWith(u'6') != minora ? presupuesto : -presupuesto;
}

class Calculo {
  public:
    Calculo(Conexion& con, IProgreso& progreso, const PeticionLineas& p)
        : con_(con),
          progreso_(progreso),
          p_(p),
          expresionEpigrafe_(ExpresionEpigrafe(p.meses, p.divisa)),
          expresionCuenta_(ExpresionCuenta(p.meses, p.divisa)),
          // Los libros sin la columna son de estados a dos lados: sus sumas negativas valen 0.
          columnaSigno_(
              con.existeColumna(QStringLiteral("Estructura"), QStringLiteral("SumaConSigno"))
                  ? QStringLiteral("SumaConSigno")
                  : QStringLiteral("0 AS SumaConSigno")),
          vecesResultado_(p.resultado.mes.isEmpty() ? 0 : p.meses.count(p.resultado.mes)) {}

    std::vector<LineaBalance> ejecutar() {
        leerCuentasCompartidas();
        if (p_.presupuesto && columnaSigno_ == u"SumaConSigno") leerPresupuestosConSigno();
        Recordset epigrafes = con_.Execute(
            QStringLiteral(
                "SELECT IDEstructura, CodigoEpigrafe, Estructura.Descripcion AS "
                "DescEpigrafe, Naturaleza.Descripcion AS DescNaturaleza, OrdenEpigrafe, "
                "Formula, %1, %2 FROM Estructura, Documento, Naturaleza "
                "WHERE CodEmpresa = ? AND Estructura.codDocumento = Documento.IDDocumento "
                "AND IDNaturaleza = CodNaturaleza AND Documento.IDDocumento = ? "
                "ORDER BY codNaturaleza, CodigoEpigrafe")
                .arg(columnaSigno_, expresionEpigrafe_),
            {id(p_.empresa), p_.documento});
        if (!epigrafes.Eof()) {
            const qint64 total = epigrafes.RecordCount();
            progreso_.Iniciar(total, p_.rotulo, 3);
            qint64 hechos = 0;
            for (; !epigrafes.Eof(); epigrafes.MoveNext()) {
                epigrafe(epigrafes);
                if (hechos < total) progreso_.setValor(++hechos);
            }
            progreso_.Terminar();
        }
        quitarEpigrafesVacios();
        return std::move(lineas_);
    }

  private:
    // Cuentas que alimentan más de un epígrafe del mismo estado (una consulta para todas).
    void leerCuentasCompartidas() {
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT Rel_Estructura_Cuenta.CodCuenta FROM Rel_Estructura_Cuenta "
                           "INNER JOIN Estructura ON Rel_Estructura_Cuenta.CodEstructura = "
                           "Estructura.IDEstructura WHERE Estructura.CodDocumento = ? "
                           "GROUP BY Rel_Estructura_Cuenta.CodCuenta HAVING COUNT(*) > 1"),
            {p_.documento});
        for (; !rs.Eof(); rs.MoveNext()) compartidas_.insert(rs.Fields(0).toLongLong());
    }

    // Presupuesto de cada epígrafe como saldo: el de sus cuentas y el de los epígrafes cuyo
    // código alarga el suyo, como se llevan sus columnas mensuales. Las guardadas suman gastos e
    // ingresos en positivo: en un estado con signo no valen.
    void leerPresupuestosConSigno() {
        Recordset rs = con_.Execute(
            QStringLiteral(
                "SELECT IDEstructura, CodigoEpigrafe, Naturaleza.Descripcion AS DescNaturaleza, "
                "Cuenta.Codigo AS Codigo, %1 FROM Estructura, Naturaleza, Rel_Estructura_Cuenta, "
                "Cuenta WHERE Estructura.CodEmpresa = ? AND IDNaturaleza = CodNaturaleza "
                "AND Rel_Estructura_Cuenta.CodEstructura = IDEstructura "
                "AND Rel_Estructura_Cuenta.CodCuenta = Cuenta.IDCuenta AND Cuenta.CodEmpresa = ?")
                .arg(expresionMeses(QStringLiteral("Cuenta.Presupuesto"), p_.meses, p_.divisa,
                                    QStringLiteral("Presupuesto"))),
            {id(p_.empresa), id(p_.empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const Moneda saldo = saldoPresupuestado(
                Moneda::deCCur(rs.Fields(QStringLiteral("Presupuesto"))),
                cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Codigo"))),
                cGeneral::QuitarNulo(rs.Fields(QStringLiteral("DescNaturaleza"))));
            presupuestoPropio_[rs.Fields(QStringLiteral("IDEstructura")).toLongLong()] += saldo;
            const QString codigo =
                cGeneral::QuitarNulo(rs.Fields(QStringLiteral("CodigoEpigrafe"))).trimmed();
            for (qsizetype largo = 1; largo < codigo.size(); ++largo)
                presupuestoDeHijos_[codigo.left(largo)] += saldo;
        }
    }
    Moneda saldoPresupuestadoEpigrafe(const Recordset& epigrafe) const {
        return presupuestoPropio_.value(
                   epigrafe.Fields(QStringLiteral("IDEstructura")).toLongLong()) +
               presupuestoDeHijos_.value(
                   cGeneral::QuitarNulo(epigrafe.Fields(QStringLiteral("CodigoEpigrafe")))
                       .trimmed());
    }

    void epigrafe(Recordset& rs) {
        LineaBalance l;
        l.codigo = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("CodigoEpigrafe")));
        if (l.codigo.trimmed().isEmpty()) l.codigo = QStringLiteral("-");
        l.nivel = rs.Fields(QStringLiteral("OrdenEpigrafe")).toInt();
        l.descripcion = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("DescEpigrafe")));
        l.naturaleza = cGeneral::QuitarNulo(rs.Fields(QStringLiteral("DescNaturaleza")));
        const QString formula =
            cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Formula"))).trimmed();
        Moneda total =
            Moneda::deCCur(rs.Fields(QStringLiteral("Total"))) +
            (p_.resultado.debe - p_.resultado.haber) *
                (vecesResultado_ * p_.resultado.epigrafes.value(
                                       rs.Fields(QStringLiteral("IDEstructura")).toLongLong()));
        l.sumaConSigno = verdadero(rs.Fields(QStringLiteral("SumaConSigno")));
        signoEpigrafe_ = l.sumaConSigno;
        Moneda presupuesto = l.sumaConSigno
                                 ? AplicarSigno(saldoPresupuestadoEpigrafe(rs), l.naturaleza)
                                 : Moneda::deCCur(rs.Fields(QStringLiteral("Presupuesto")));
        if (!formula.isEmpty()) {
            // Su valor sale de la fórmula, más adelante.
            total = presupuesto = Moneda();
            l.formula = formula;
        }
        l.total = AplicarSigno(total, l.naturaleza);
        l.conPresupuesto = p_.presupuesto;
        if (p_.presupuesto) l.presupuesto = presupuesto;
        const int nivelEpigrafe = l.nivel;
        const QString naturaleza = l.naturaleza;
        anadir(std::move(l));

        // CROSS JOIN fija el orden: primero las cuentas del epígrafe, por su clave. Si no, el
        // ORDER BY lleva a SQLite a recorrer todas las cuentas de la empresa en cada epígrafe.
        Recordset cuentas = con_.Execute(
            QStringLiteral("SELECT Codigo, Cuenta.Descripcion AS Descripcion, IDCuenta, Nivel, "
                           "Desglosar, %1 FROM Rel_Estructura_Cuenta CROSS JOIN Cuenta "
                           "WHERE CodEstructura = ? AND Rel_Estructura_Cuenta.CodCuenta = "
                           "Cuenta.IDCuenta AND Cuenta.CodEmpresa = ? ORDER BY Codigo")
                .arg(expresionCuenta_),
            {rs.Fields(QStringLiteral("IDEstructura")), id(p_.empresa)});
        if (cuentas.Eof()) return;
        const bool conNivel =
            !cGeneral::QuitarNulo(cuentas.Fields(QStringLiteral("Nivel"))).trimmed().isEmpty();
        const int nivelCuenta = conNivel ? nivelEpigrafe + 1 : nivelEpigrafe;
        for (; !cuentas.Eof(); cuentas.MoveNext()) {
            const Movimientos m = movimientos(cuentas);
            if (!MostrarCuenta(m)) continue;
            LineaBalance c = lineaCuenta(m, naturaleza, nivelCuenta);
            if (compartidas_.contains(cuentas.Fields(QStringLiteral("IDCuenta")).toLongLong()) &&
                c.total < Moneda()) {
                descontarDeAntepasados(c);
                continue;
            }
            anadir(std::move(c));
            if (p_.todasLasSubcuentas || verdadero(cuentas.Fields(QStringLiteral("Desglosar"))))
                subcuentas(cGeneral::QuitarNulo(cuentas.Fields(QStringLiteral("Codigo"))),
                           naturaleza, nivelCuenta + 1);
        }
    }

    void subcuentas(const QString& cuenta, const QString& naturaleza, int nivel) {
        // Los códigos son dígitos: el intervalo [cuenta, cuenta + U+FFFF) son los que empiezan
        // por ella, y así la consulta usa el índice.
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT Codigo, Cuenta.Descripcion AS Descripcion, IDCuenta, %1 "
                           "FROM Cuenta, Tipo_Cuenta WHERE CodTipo_Cuenta = 2 "
                           "AND CodTipo_Cuenta = IDTipo_Cuenta AND CodEmpresa = ? "
                           "AND Codigo >= ? AND Codigo < ? ORDER BY Codigo")
                .arg(expresionCuenta_),
            {id(p_.empresa), cuenta, cuenta + QChar(0xFFFF)});
        // La subcuenta 129 que los libros no tienen sale, con el resultado, en su sitio.
        const QString& queFalta = p_.resultado.subcuentaQueFalta;
        bool pendiente = vecesResultado_ > 0 && !queFalta.isEmpty() && queFalta.startsWith(cuenta);
        for (; !rs.Eof(); rs.MoveNext()) {
            if (pendiente && cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Codigo"))) > queFalta) {
                subcuentaQueFalta(naturaleza, nivel);
                pendiente = false;
            }
            const Movimientos m = movimientos(rs);
            if (MostrarCuenta(m)) anadir(lineaCuenta(m, naturaleza, nivel));
        }
        if (pendiente) subcuentaQueFalta(naturaleza, nivel);
    }

    struct Movimientos {
        Moneda debe, haber, presupuesto;
        QString codigo, descripcion;
    };

    // Debe y haber del periodo, con el resultado si la cuenta lo recibe.
    Movimientos movimientos(const Recordset& rs) const {
        Movimientos m{Moneda::deCCur(rs.Fields(QStringLiteral("Debe"))),
                      Moneda::deCCur(rs.Fields(QStringLiteral("Haber"))),
                      Moneda::deCCur(rs.Fields(QStringLiteral("Presupuesto"))),
                      cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Codigo"))),
                      cGeneral::QuitarNulo(rs.Fields(QStringLiteral("Descripcion")))};
        if (vecesResultado_ > 0 &&
            p_.resultado.cuentas.contains(rs.Fields(QStringLiteral("IDCuenta")).toLongLong())) {
            m.debe += p_.resultado.debe * vecesResultado_;
            m.haber += p_.resultado.haber * vecesResultado_;
        }
        return m;
    }

    void subcuentaQueFalta(const QString& naturaleza, int nivel) {
        const Movimientos m{p_.resultado.debe * vecesResultado_,
                            p_.resultado.haber * vecesResultado_, Moneda(),
                            p_.resultado.subcuentaQueFalta, QStringLiteral("Pérdidas y ganancias")};
        if (MostrarCuenta(m)) anadir(lineaCuenta(m, naturaleza, nivel));
    }

    bool MostrarCuenta(const Movimientos& m) const {
        if (!(m.debe - m.haber).esCero()) return true;
        return p_.saldoCero && (!m.debe.esCero() || !m.haber.esCero());
    }

    LineaBalance lineaCuenta(const Movimientos& m, const QString& naturaleza, int nivel) const {
        LineaBalance l;
        l.naturaleza = naturaleza;
        l.nivel = nivel;
        l.codigo = QStringLiteral("-");
        l.descripcion =
            p_.numerosCuenta ? m.codigo + QStringLiteral("  ") + m.descripcion : m.descripcion;
        l.total = AplicarSigno(m.debe - m.haber, naturaleza);
        l.conPresupuesto = p_.presupuesto;
        if (p_.presupuesto)
            l.presupuesto =
                signoEpigrafe_
                    ? AplicarSigno(saldoPresupuestado(m.presupuesto, m.codigo, naturaleza),
                                   naturaleza)
                    : m.presupuesto;
        return l;
    }

    // La pila guarda la cadena de antepasados de la última línea (niveles crecientes): los
    // que recorrería una búsqueda hacia atrás de niveles cada vez menores, sin recorrer todo.
    void anadir(LineaBalance l) {
        l.orden = ++contador_;
        while (!abiertas_.empty() && lineas_[abiertas_.back()].nivel >= l.nivel)
            abiertas_.pop_back();
        abiertas_.push_back(lineas_.size());
        lineas_.push_back(std::move(l));
    }

    // Una cuenta compartida con saldo en contra se muestra en el otro epígrafe: aquí se quita
    // su importe del epígrafe y de cada antepasado.
    void descontarDeAntepasados(const LineaBalance& cuenta) {
        int nivel = cuenta.nivel;
        for (auto it = abiertas_.rbegin(); it != abiertas_.rend(); ++it) {
            LineaBalance& l = lineas_[*it];
            if (l.nivel >= nivel) continue;
            l.total -= cuenta.total;
            l.presupuesto -= cuenta.presupuesto;
            nivel = l.nivel;
        }
    }

    // Un epígrafe a cero, con código y sin fórmula, se quita si bajo él (las líneas siguientes
    // más profundas) no hay ninguna línea "-". En una pasada desde el final.
    void quitarEpigrafesVacios() {
        const auto n = lineas_.size();
        std::vector<std::size_t> guiones(n + 1, 0);  // líneas "-" antes de cada posición
        for (std::size_t i = 0; i < n; ++i)
            guiones[i + 1] = guiones[i] + (lineas_[i].codigo == u"-" ? 1 : 0);
        std::vector<bool> quitar(n, false);
        std::vector<std::size_t> pila;  // siguientes líneas no más profundas
        for (std::size_t i = n; i-- > 0;) {
            while (!pila.empty() && lineas_[pila.back()].nivel > lineas_[i].nivel) pila.pop_back();
            const std::size_t fin = pila.empty() ? n : pila.back();
            pila.push_back(i);
            const LineaBalance& l = lineas_[i];
            if (l.codigo == u"-" || !l.formula.trimmed().isEmpty() || !l.total.esCero())
                continue;
            quitar[i] = guiones[fin] == guiones[i + 1];
        }
        std::vector<LineaBalance> quedan;
        quedan.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            if (!quitar[i]) quedan.push_back(std::move(lineas_[i]));
        lineas_ = std::move(quedan);
    }

    Conexion& con_;
    IProgreso& progreso_;
    const PeticionLineas& p_;
    QString expresionEpigrafe_;
    QString expresionCuenta_;
    QString columnaSigno_;
    qsizetype
        vecesResultado_;  // el mes del resultado puede repetirse en un periodo de más de un año
    bool signoEpigrafe_ = false;  // el epígrafe que se recorre, y sus cuentas, llevan signo
    QHash<qlonglong, Moneda> presupuestoPropio_;  // epígrafe -> saldo presupuestado de sus cuentas
    QHash<QString, Moneda> presupuestoDeHijos_;   // código -> el de los epígrafes que lo alargan
    QSet<qlonglong> compartidas_;
    std::vector<LineaBalance> lineas_;
    std::vector<std::size_t> abiertas_;
    qint64 contador_ = 0;
};

}  // namespace

std::vector<LineaBalance> calcularLineasBalance(Conexion& contabilidad, IProgreso& progreso,
                                                const PeticionLineas& peticion) {
    return Calculo(contabilidad, progreso, peticion).ejecutar();
}

QString ExpresionTotal(const QStringList& meses, Divisa divisa) {
    return expresionMeses(QStringLiteral("Total"), meses, divisa, QStringLiteral("Total"));
}

QString ExpresionPresupuesto(const QStringList& meses, Divisa divisa) {
    return expresionMeses(QStringLiteral("Presupuesto"), meses, divisa,
                          QStringLiteral("Presupuesto"));
}

QString ExpresionEpigrafe(const QStringList& meses, Divisa divisa) {
    return ExpresionTotal(meses, divisa) + QStringLiteral(", ") +
           ExpresionPresupuesto(meses, divisa);
}

QString ExpresionCuenta(const QStringList& meses, Divisa divisa) {
    return expresionMeses(QStringLiteral("Debe"), meses, divisa, QStringLiteral("Debe")) +
           QStringLiteral(", ") +
           expresionMeses(QStringLiteral("Haber"), meses, divisa, QStringLiteral("Haber")) +
           QStringLiteral(", ") +
           expresionMeses(QStringLiteral("Cuenta.Presupuesto"), meses, divisa,
                          QStringLiteral("Presupuesto"));
}

Moneda AplicarSigno(Moneda importe, const QString& naturaleza) {
    const QString n = naturaleza.trimmed();
    return n == u"Pasivo" || n == u"Haber" ? -importe : importe;
}

}  // namespace orvo
