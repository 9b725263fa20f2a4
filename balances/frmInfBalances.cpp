#include "frmInfBalances.h"

#include <QCheckBox>
#include <QRegularExpression>

#include "cBalances.h"
#include "cCOrigen.h"
#include "cGeneral.h"

namespace orvo {

frmInfBalances::frmInfBalances(Componente& componente, QWidget* padre)
    : FormularioBalance(componente, QStringLiteral("frmInfBalances"), padre) {
    registrar(anadirListaEmpresas(QStringLiteral("cboBalance"), QStringLiteral("EMPRESA:"), 0),
              QStringLiteral("cmdBalance_Click"));
}

void frmInfBalances::cargarPropio() {
    setWindowTitle(origen() == cCOrigen::BALANCEPYG ? mensajes().tituloPerdidasYGanancias()
                                                    : mensajes().tituloBalanceSituacion());
}

bool frmInfBalances::comprobarPropio() {
    return periodoCorrecto();
}

OpcionesBalance frmInfBalances::opciones() {
    OpcionesBalance o;
    leerOpcionesEstado(o);
    o.empresa = empresa();
    o.presupuesto = opcion(4);
    return o;
}

bool frmInfBalances::RellenarInforme() {
    if (origen() != cCOrigen::BALANCESITUACION && origen() != cCOrigen::BALANCEPYG) return false;
    const OpcionesBalance o = opciones();
    if (o.documento == 1 && !cBalances().ExisteCtaPyG(contabilidad(), o.empresa, general()))
        return false;
    // Con presupuesto o sin él la construcción es la misma; solo cambian sus columnas y el
    // nombre con que se informan los errores.
    return construirEnTransaccion(QStringLiteral("Balances"), QStringLiteral("IDBalance"),
                                  construirBalance, o,
                                  o.presupuesto ? QStringLiteral("BalanceConPresupuesto")
                                                : QStringLiteral("BalanceSinPresupuesto"));
}

std::optional<Desglose> frmInfBalances::desglosar(const QHash<QString, QString>& fila) {
    // Las líneas de cuenta llevan el código "-"; el de la cuenta va delante de su descripción
    // con «Mostrar números de cuentas» y, si no, se busca por la descripción.
    if (fila.value(QStringLiteral("Codigo")) != u"-") return std::nullopt;
    const QString descripcion = fila.value(QStringLiteral("Descripcion"));
    static const QRegularExpression conNumero(QStringLiteral("^(\\d+)  "));
    QString codigo = conNumero.match(descripcion).captured(1);
    if (codigo.isEmpty()) {
        Recordset rs = contabilidad().Execute(
            QStringLiteral("SELECT Codigo FROM Cuenta WHERE CodEmpresa = ? AND Descripcion = ? "
                           "ORDER BY LENGTH(Codigo)"),
            {qlonglong(empresa()), descripcion});
        if (rs.Eof()) return std::nullopt;
        codigo = cGeneral::QuitarNulo(rs.Fields(0));
    }
    const OpcionesBalance o = opciones();
    return mayorDeCuenta(codigo, o.desde, o.hasta, o.divisa);
}

}  // namespace orvo
