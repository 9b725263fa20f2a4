#include "FormulasBalance.h"

#include <QHash>
#include <vector>

#include "BarraProgreso.h"
#include "Conexion.h"
#include "LineasBalance.h"
#include "cBalances.h"
#include "cGeneral.h"

namespace orvo {

ColumnasFormulas ColumnasFormulas::balance() {
    ColumnasFormulas c;
    c.tabla = QStringLiteral("Balances");
    c.clave = QStringLiteral("IDBalance");
    c.codigo = QStringLiteral("Codigo");
    c.total = QStringLiteral("Total");
    c.presupuesto = QStringLiteral("Presupuesto");
    c.media = QStringLiteral("Media");
    c.formula = QStringLiteral("Formula");
    return c;
}

ColumnasFormulas ColumnasFormulas::comparativo(bool ladoA) {
    const QString lado = ladoA ? QStringLiteral("A") : QStringLiteral("B");
    const QString otro = ladoA ? QStringLiteral("B") : QStringLiteral("A");
    ColumnasFormulas c;
    c.tabla = QStringLiteral("BalancesComparativo");
    c.clave = QStringLiteral("IDBalanceComp");
    c.codigo = QStringLiteral("Codigo") + lado;
    c.total = QStringLiteral("Total") + lado;
    c.presupuesto = QStringLiteral("Presupuesto") + lado;
    c.media = QStringLiteral("Media") + lado;
    c.formula = QStringLiteral("Formula") + lado;
    c.totalOtro = QStringLiteral("Total") + otro;
    c.presupuestoOtro = QStringLiteral("Presupuesto") + otro;
    c.mediaOtro = QStringLiteral("Media") + otro;
    c.rotulo = QStringLiteral("Calculando fórmulas empresa %1 ...").arg(lado);
    return c;
}

namespace {

struct Fila {
    QVariant clave;
    QString codigo, total, presupuesto, media, formula, naturaleza, totalOtro;
    int nivel = 0;
    bool cambiada = false;
    bool borrada = false;
    bool blanquearOtro = false;
};

class Evaluacion {
  public:
    Evaluacion(Conexion& con, IProgreso& progreso, bool euros, const ColumnasFormulas& c)
        : con_(con), progreso_(progreso), euros_(euros), c_(c) {}

    void ejecutar() {
        cargar();
        std::vector<std::size_t> conFormula;
        for (std::size_t i = 0; i < filas_.size(); ++i)
            if (!filas_[i].formula.isEmpty()) conFormula.push_back(i);
        if (conFormula.empty()) return;
        const auto maximo = static_cast<qint64>(conFormula.size());
        progreso_.Iniciar(maximo, c_.rotulo, 3);
        qint64 valor = 0;
        const auto avanzar = [&] {
            if (valor < maximo) progreso_.setValor(++valor);
        };

        // Cada pasada ve los valores resueltos antes en la misma pasada.
        for (bool resuelta = true; resuelta;) {
            resuelta = false;
            for (std::size_t i : conFormula) {
                if (filas_[i].formula.isEmpty() || !ValorFormula(filas_[i])) continue;
                resuelta = true;
                avanzar();
            }
        }
        for (std::size_t i : conFormula) {
            Fila& f = filas_[i];
            if (f.formula.isEmpty()) continue;
            f.total = f.presupuesto = f.media = QStringLiteral("ERROR");
            f.cambiada = true;
            avanzar();
        }
        quitarCeros(conFormula);
        guardar();
        progreso_.Terminar();
    }

  private:
    void cargar() {
        const QString otro =
            c_.totalOtro.isEmpty() ? QStringLiteral("''") : identificador(c_.totalOtro);
        Recordset rs = con_.Execute(
            QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, Naturaleza, Nivel, %7 AS TotalOtro "
                           "FROM %8 ORDER BY %1")
                .arg(identificador(c_.clave), identificador(c_.codigo), identificador(c_.total),
                     identificador(c_.presupuesto), identificador(c_.media),
                     identificador(c_.formula), otro, identificador(c_.tabla)));
        for (; !rs.Eof(); rs.MoveNext()) {
            Fila f;
            f.clave = rs.Fields(0);
            f.codigo = cGeneral::QuitarNulo(rs.Fields(1));
            f.total = cGeneral::QuitarNulo(rs.Fields(2));
            f.presupuesto = cGeneral::QuitarNulo(rs.Fields(3));
            f.media = cGeneral::QuitarNulo(rs.Fields(4));
            f.formula = cGeneral::QuitarNulo(rs.Fields(5));
            f.naturaleza = cGeneral::QuitarNulo(rs.Fields(6));
            f.nivel = rs.Fields(7).toInt();
            f.totalOtro = cGeneral::QuitarNulo(rs.Fields(8));
            // Un código que se repite remite a su primera fila, la que da la consulta.
            if (!porCodigo_.contains(f.codigo)) porCodigo_.insert(f.codigo, filas_.size());
            filas_.push_back(std::move(f));
        }
    }

    bool ValorFormula(Fila& fila) {
        Moneda total, presupuesto;
        const int terminos = cBalances::ObtieneNumEpigrafes(fila.formula);
        for (int n = 1; n <= terminos; ++n) {
            const TerminoFormula t = cBalances::ObtieneEpigrafe(fila.formula, n);
            const auto it = porCodigo_.constFind(t.codigo.trimmed());
            if (it == porCodigo_.constEnd()) continue;
            const Fila& ref = filas_[*it];
            if (!ref.formula.trimmed().isEmpty()) return false;
            const bool suma = t.operador == u"+";
            total += suma ? importeDeTexto(ref.total) : -importeDeTexto(ref.total);
            presupuesto +=
                suma ? importeDeTexto(ref.presupuesto) : -importeDeTexto(ref.presupuesto);
        }
        if (total < Moneda()) total = Moneda();
        if (presupuesto < Moneda()) presupuesto = Moneda();
        fila.total = cGeneral::FormatearCurrency(total, euros_);
        fila.presupuesto = cGeneral::FormatearCurrency(presupuesto, euros_);
        fila.media = calcularMedia(fila.total, fila.presupuesto);
        fila.formula.clear();
        fila.cambiada = true;
        return true;
    }

    static bool ceroNumerico(const QString& texto) {
        const auto v = Moneda::deTexto(texto.trimmed());
        return !texto.trimmed().isEmpty() && v && v->esCero();
    }

    // Nivel de la primera fila posterior de la misma naturaleza, 0 si no la hay, para cada
    // fila. Las filas se tratan en orden de clave y solo se borran filas ya tratadas, así que
    // se puede calcular de una vez para todas.
    std::vector<int> NivelSiguiente() const {
        std::vector<int> nivel(filas_.size(), 0);
        QHash<QString, int> siguientePorNaturaleza;
        for (std::size_t i = filas_.size(); i-- > 0;) {
            nivel[i] = siguientePorNaturaleza.value(filas_[i].naturaleza, 0);
            siguientePorNaturaleza.insert(filas_[i].naturaleza, filas_[i].nivel);
        }
        return nivel;
    }

    // Una línea de fórmula a cero se borra si no tiene debajo una línea más profunda de su
    // naturaleza; si la tiene, se queda con los importes en blanco.
    void quitarCeros(const std::vector<std::size_t>& conFormula) {
        const std::vector<int> siguiente = NivelSiguiente();
        const bool comparativo = !c_.totalOtro.isEmpty();
        for (std::size_t i : conFormula) {
            Fila& f = filas_[i];
            if (!ceroNumerico(f.total)) continue;
            const bool soloEsteLado = !comparativo || f.totalOtro.trimmed().isEmpty();
            if (soloEsteLado && f.nivel >= siguiente[i]) {
                f.borrada = true;
                continue;
            }
            f.total.clear();
            f.presupuesto.clear();
            f.media.clear();
            f.blanquearOtro = comparativo && soloEsteLado;
            f.cambiada = true;
        }
    }

    void guardar() {
        const QString actualizar =
            QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, %4 = ?, %5 = ? WHERE %6 = ?")
                .arg(identificador(c_.tabla), identificador(c_.total),
                     identificador(c_.presupuesto), identificador(c_.media),
                     identificador(c_.formula), identificador(c_.clave));
        for (const Fila& f : filas_) {
            if (f.borrada) {
                con_.Execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                 .arg(identificador(c_.tabla), identificador(c_.clave)),
                             {f.clave});
                continue;
            }
            if (!f.cambiada) continue;
            con_.Execute(actualizar, {f.total, f.presupuesto, f.media, f.formula, f.clave});
            if (f.blanquearOtro)
                con_.Execute(QStringLiteral("UPDATE %1 SET %2 = '', %3 = '', %4 = '' WHERE %5 = ?")
                                 .arg(identificador(c_.tabla), identificador(c_.totalOtro),
                                      identificador(c_.presupuestoOtro),
                                      identificador(c_.mediaOtro), identificador(c_.clave)),
                             {f.clave});
        }
    }

    Conexion& con_;
    IProgreso& progreso_;
    bool euros_;
    const ColumnasFormulas& c_;
    std::vector<Fila> filas_;
    QHash<QString, std::size_t> porCodigo_;
};

}  // namespace

void CalcularFormulas(Conexion& informes, IProgreso& progreso, bool euros,
                      const ColumnasFormulas& columnas) {
    Evaluacion(informes, progreso, euros, columnas).ejecutar();
}

}  // namespace orvo
