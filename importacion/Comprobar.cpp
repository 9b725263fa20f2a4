#include "Comprobar.h"

#include <QHash>
#include <QSet>
#include <functional>

#include "Asentar.h"
#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Moneda.h"
#include "Nif.h"
#include "OrdenLibros.h"
#include "Progreso.h"
#include "Regional.h"
#include "cBalances.h"
#include "cGeneral.h"

namespace orvo::Comprobacion {

namespace {

QString eur(Moneda m) {
    return m.formatear(true);
}

class Comprobador {
  public:
    Comprobador(Conexion& con, long empresa, Informe& inf)
        : con_(con), e_(qint64(empresa)), inf_(inf) {}

    void cuadre() {
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT Asiento.Numero, SUM(CCur(CtdadDebeEuros)), "
                           "SUM(CCur(CtdadHaberEuros)), SUM(CCur(CtdadDebe)), "
                           "SUM(CCur(CtdadHaber)), COUNT(*) FROM Asiento, Apunte "
                           "WHERE Apunte.CodAsiento = Asiento.IDAsiento AND Asiento.CodEmpresa = ? "
                           "GROUP BY Asiento.IDAsiento, Asiento.Numero ORDER BY Asiento.Numero"),
            {e_});
        for (; !rs.Eof(); rs.MoveNext()) {
            ++inf_.asientos;
            inf_.apuntes += rs.entero(5);
            const Moneda de = Moneda::deCCur(rs.Fields(1)), he = Moneda::deCCur(rs.Fields(2));
            const Moneda dp = Moneda::deCCur(rs.Fields(3)), hp = Moneda::deCCur(rs.Fields(4));
            if (de != he)
                problema(QStringLiteral("El asiento %1 no cuadra en euros: debe %2, haber %3")
                             .arg(rs.entero(0))
                             .arg(eur(de), eur(he)));
            else if (dp != hp)
                problema(QStringLiteral("El asiento %1 no cuadra en pesetas: debe %2, haber %3")
                             .arg(rs.entero(0))
                             .arg(dp.formatear(false), hp.formatear(false)));
        }
    }

    // Cada importe en pesetas, a lo sumo una peseta del cambio de sus euros redondeado: lo que
    // se mueve al cuadrar en pesetas un asiento que cuadra en euros.
    void pesetas() {
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT Asiento.Numero, Apunte.IDApunte, CCur(CtdadDebe), "
                           "CCur(CtdadDebeEuros), CCur(CtdadHaber), CCur(CtdadHaberEuros) "
                           "FROM Asiento, Apunte WHERE Apunte.CodAsiento = Asiento.IDAsiento "
                           "AND Asiento.CodEmpresa = ? ORDER BY Asiento.Numero, Apunte.IDApunte"),
            {e_});
        for (; !rs.Eof(); rs.MoveNext()) {
            for (int c : {2, 4}) {
                const std::int64_t pts = Moneda::deCCur(rs.Fields(c)).diezmilesimas();
                const std::int64_t cambio =
                    Moneda::deCCur(rs.Fields(c + 1)).diezmilesimas() * 166386 / 1000;
                const std::int64_t unidades = (std::abs(cambio) + Moneda::kEscala / 2) /
                                              Moneda::kEscala;
                const std::int64_t redondeado =
                    (cambio < 0 ? -unidades : unidades) * Moneda::kEscala;
                if (std::abs(pts - redondeado) > Moneda::kEscala)
                    problema(QStringLiteral("El apunte %1 del asiento %2: %3 pesetas no "
                                            "corresponden a %4 euros")
                                 .arg(rs.entero(1))
                                 .arg(rs.entero(0))
                                 .arg(Moneda::deCCur(rs.Fields(c)).formatear(false),
                                      eur(Moneda::deCCur(rs.Fields(c + 1)))));
            }
        }
    }

    void subcuentas() {
        Recordset rs = con_.Execute(
            QStringLiteral(
                "SELECT Asiento.Numero, Apunte.IDApunte FROM Asiento, Apunte "
                "WHERE Apunte.CodAsiento = Asiento.IDAsiento AND Asiento.CodEmpresa = ? AND NOT "
                "EXISTS (SELECT 1 FROM Cuenta WHERE Cuenta.IDCuenta = Apunte.CodCuenta AND "
                "Cuenta.CodEmpresa = Asiento.CodEmpresa AND Cuenta.CodTipo_Cuenta = 2) "
                "ORDER BY Asiento.Numero, Apunte.IDApunte"),
            {e_});
        for (; !rs.Eof(); rs.MoveNext())
            problema(QStringLiteral("El apunte %1 del asiento %2 no está en una subcuenta de la "
                                    "empresa")
                         .arg(rs.entero(1))
                         .arg(rs.entero(0)));
    }

    void fechas() {
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT Asiento.Numero, Asiento.Fecha FROM Asiento, Empresa "
                           "WHERE Asiento.CodEmpresa = Empresa.IDEmpresa AND Empresa.IDEmpresa = ? "
                           "AND (Asiento.Fecha < Empresa.FechaIni OR Asiento.Fecha > "
                           "Empresa.FechaFin) ORDER BY Asiento.Numero"),
            {e_});
        for (; !rs.Eof(); rs.MoveNext())
            problema(QStringLiteral("El asiento %1 tiene fecha %2, fuera del ejercicio")
                         .arg(rs.entero(0))
                         .arg(rs.Fields(1).toString()));
    }

    void numeros() {
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT Numero, COUNT(*) FROM Asiento WHERE CodEmpresa = ? "
                           "GROUP BY Numero HAVING COUNT(*) > 1 ORDER BY Numero"),
            {e_});
        for (; !rs.Eof(); rs.MoveNext())
            problema(QStringLiteral("El número de asiento %1 se repite %2 veces")
                         .arg(rs.entero(0))
                         .arg(rs.entero(1)));
    }

    void formulas() {
        // Por estado: código -> fórmula.
        QHash<qint64, QHash<QString, QString>> estados;
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT CodDocumento, CodigoEpigrafe, Formula FROM Estructura "
                           "WHERE CodEmpresa = ? ORDER BY CodDocumento, CodigoEpigrafe"),
            {e_});
        for (; !rs.Eof(); rs.MoveNext())
            estados[rs.entero(0)].insert(rs.Fields(1).toString().trimmed(),
                                         rs.Fields(2).toString().trimmed());
        rs.Close();
        for (auto est = estados.cbegin(); est != estados.cend(); ++est) {
            const QHash<QString, QString>& f = est.value();
            QHash<QString, QStringList> terminos;
            QStringList codigos = f.keys();
            codigos.sort();
            for (const QString& codigo : codigos) {
                const QString& formula = f.value(codigo);
                if (formula.isEmpty()) continue;
                for (int n = 1; n <= cBalances::ObtieneNumEpigrafes(formula); ++n) {
                    const QString t = cBalances::ObtieneEpigrafe(formula, n).codigo.trimmed();
                    if (!f.contains(t))
                        problema(QStringLiteral("La fórmula del epígrafe %1 (%2) nombra el "
                                                "epígrafe %3, que no existe")
                                     .arg(codigo, formula, t));
                    else
                        terminos[codigo] << t;
                }
            }
            // Ciclos: recorrido en profundidad; 1 en curso, 2 terminado.
            QHash<QString, int> estado;
            std::function<bool(const QString&)> ciclo = [&](const QString& c) {
                if (estado.value(c) == 2) return false;
                if (estado.value(c) == 1) return true;
                estado[c] = 1;
                for (const QString& t : terminos.value(c))
                    if (ciclo(t)) return true;
                estado[c] = 2;
                return false;
            };
            for (const QString& codigo : codigos) {
                if (!terminos.contains(codigo) || estado.value(codigo) == 2) continue;
                estado.clear();
                if (ciclo(codigo))
                    problema(QStringLiteral("La fórmula del epígrafe %1 (%2) depende de sí misma")
                                 .arg(codigo, f.value(codigo)));
            }
        }
    }

  private:
    void problema(const QString& p) { inf_.problemas << p; }

    Conexion& con_;
    qint64 e_;
    Informe& inf_;
};

}  // namespace

QString Informe::resumen() const {
    return QStringLiteral("Comprobados %1 y %2: %3%4%5.")
        .arg(Regional::cantidad(asientos, QStringLiteral("asiento"), QStringLiteral("asientos")),
             Regional::cantidad(apuntes, QStringLiteral("apunte"), QStringLiteral("apuntes")),
             problemas.isEmpty() ? QStringLiteral("sin problemas")
                                 : Regional::cantidad(problemas.size(), QStringLiteral("problema"),
                                                      QStringLiteral("problemas")),
             reparados.isEmpty()
                 ? QString()
                 : QStringLiteral("; ") + Regional::cantidad(reparados.size(),
                                                             QStringLiteral("columna reparada"),
                                                             QStringLiteral("columnas reparadas")),
             avisos.isEmpty()
                 ? QString()
                 : QStringLiteral("; aviso: %1 (revíselos)")
                       .arg(Regional::cantidad(
                           avisos.size(), QStringLiteral("NIF de subcuenta no cuadra con su control"),
                           QStringLiteral("NIF de subcuentas no cuadran con su control"))));
}

Informe comprobar(Conexion& con, long empresa, bool reparar, IProgreso& progreso) {
    if (!DatosEmpresa::leer(con, empresa))
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("No existe la empresa %1").arg(empresa));
    Informe inf;
    Comprobador c(con, empresa, inf);
    const std::function<void()> pasos[] = {
        [&] { c.cuadre(); },     [&] { c.pesetas(); }, [&] { c.subcuentas(); },
        [&] { c.fechas(); },     [&] { c.numeros(); }, [&] { c.formulas(); }};
    progreso.Iniciar(std::size(pasos) + 1, QStringLiteral("Comprobando libros ..."), 3);
    qint64 hechos = 0;
    for (const auto& paso : pasos) {
        paso();
        progreso.setValor(++hechos);
    }
    // Un NIF que no cuadra se avisa y no es un problema: puede ser el que consta en la factura.
    for (Recordset rs = con.Execute(QStringLiteral("SELECT Codigo, Descripcion, DNI_CIF FROM Cuenta "
                                                   "WHERE CodEmpresa = ? AND DNI_CIF <> '' "
                                                   "ORDER BY Codigo"),
                                    {qlonglong(empresa)});
         !rs.Eof(); rs.MoveNext()) {
        const nif::Identificacion id = nif::identificar(cGeneral::QuitarNulo(rs.Fields(2)));
        if (id.clase == nif::Clase::Nif && !id.controlValido)
            inf.avisos << QStringLiteral("Subcuenta %1 (%2): el NIF %3 no cuadra con su control")
                              .arg(cGeneral::QuitarNulo(rs.Fields(0)),
                                   cGeneral::QuitarNulo(rs.Fields(1)), id.numero);
    }
    Transaccion t(con);
    if (reparar) con.reservarEscritura();
    for (const Asientos::Diferencia& d : Asientos::asentar(con, empresa, reparar))
        (reparar ? inf.reparados : inf.problemas) << Asientos::describir(d);
    // Reparar deja también la numeración de las claves como debe estar.
    if (reparar) con.ajustarNumeraciones();
    t.confirmar();
    progreso.Terminar();
    return inf;
}

int orden(const QStringList& a, QTextStream& err) {
    bool reparar = false;
    OrdenLibros orden;
    orden.uso = QStringLiteral(
        "Uso: orvo-informes comprobar --contabilidad "
        "FILE|postgresql://... --empresa N [--reparar]\n");
    orden.marcas[QStringLiteral("--reparar")] = &reparar;
    if (!orden.leer(a, err)) return 2;
    return orden.ejecutar(err, [&](Conexion& con) {
        ProgresoNulo progreso;
        const Informe inf = comprobar(con, orden.empresa, reparar, progreso);
        for (const QString& p : inf.problemas) err << p << "\n";
        for (const QString& r : inf.reparados) err << "Reparado: " << r << "\n";
        for (const QString& aviso : inf.avisos) err << "Aviso: " << aviso << "\n";
        err << inf.resumen() << "\n";
        return inf.problemas.isEmpty() ? 0 : 1;
    });
}

}  // namespace orvo::Comprobacion
