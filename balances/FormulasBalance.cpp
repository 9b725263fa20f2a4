#include "FormulasBalance.h"

#include <QHash>

#include "Progreso.h"
#include "cBalances.h"

namespace orvo {

namespace {

class Evaluacion {
  public:
    Evaluacion(std::vector<FilaBalance>& filas, bool ladoA) : filas_(filas), ladoA_(ladoA) {
        for (std::size_t i = 0; i < filas_.size(); ++i) {
            const LineaBalance* l = linea(i);
            if (!l) continue;
            // Un código que se repite remite a su primera fila.
            if (!porCodigo_.contains(l->codigo)) porCodigo_.insert(l->codigo, i);
            if (!l->formula.isEmpty()) conFormula_.push_back(i);
        }
    }

    void ejecutar(IProgreso& progreso, const QString& rotulo) {
        if (conFormula_.empty()) return;
        const auto maximo = static_cast<qint64>(conFormula_.size());
        progreso.Iniciar(maximo, rotulo, 3);
        qint64 valor = 0;
        const auto avanzar = [&] {
            if (valor < maximo) progreso.setValor(++valor);
        };

        // Cada pasada ve los valores resueltos antes en la misma pasada.
        for (bool resuelta = true; resuelta;) {
            resuelta = false;
            for (std::size_t i : conFormula_) {
                LineaBalance& l = *linea(i);
                if (l.formula.isEmpty() || !ValorFormula(l)) continue;
                resuelta = true;
                avanzar();
            }
        }
        for (std::size_t i : conFormula_) {
            LineaBalance& l = *linea(i);
            if (l.formula.isEmpty()) continue;
            l.importes = LineaBalance::Importes::Error;
            avanzar();
        }
        quitarCeros();
        progreso.Terminar();
    }

  private:
    // La línea de este lado en la fila i; nula si la fila está borrada o no tiene este lado.
    LineaBalance* linea(std::size_t i) { return lado(i, ladoA_); }
    LineaBalance* lado(std::size_t i, bool a) {
        FilaBalance& f = filas_[i];
        std::optional<LineaBalance>& l = a ? f.a : f.b;
        return f.borrada || !l ? nullptr : &*l;
    }

    bool ValorFormula(LineaBalance& l) {
        Moneda total, presupuesto;
        const int terminos = cBalances::ObtieneNumEpigrafes(l.formula);
        for (int n = 1; n <= terminos; ++n) {
            const TerminoFormula t = cBalances::ObtieneEpigrafe(l.formula, n);
            const auto it = porCodigo_.constFind(t.codigo.trimmed());
            if (it == porCodigo_.constEnd()) continue;
            const LineaBalance& ref = *linea(*it);
            if (!ref.formula.isEmpty()) return false;
            const bool suma = t.operador == u"+";
            total += suma ? ref.total : -ref.total;
            presupuesto += suma ? ref.presupuesto : -ref.presupuesto;
        }
        l.total = l.sumaConSigno ? total : std::max(total, Moneda());
        l.presupuesto = l.sumaConSigno ? presupuesto : std::max(presupuesto, Moneda());
        l.conPresupuesto = true;  // una fórmula resuelta muestra presupuesto y porcentaje
        l.formula.clear();
        return true;
    }

    // Nivel de la primera fila posterior de la misma naturaleza, 0 si no la hay, para cada
    // fila. Solo se borran filas ya tratadas, así que se calcula de una vez para todas.
    std::vector<int> NivelSiguiente() {
        std::vector<int> nivel(filas_.size(), 0);
        QHash<QString, int> siguientePorNaturaleza;
        for (std::size_t i = filas_.size(); i-- > 0;) {
            const LineaBalance* l = lado(i, true);
            if (!l) l = lado(i, false);
            if (!l) continue;
            nivel[i] = siguientePorNaturaleza.value(l->naturaleza, 0);
            siguientePorNaturaleza.insert(l->naturaleza, l->nivel);
        }
        return nivel;
    }

    // Una línea de fórmula a cero se borra si el otro lado no muestra importes y no tiene debajo
    // una línea más profunda de su naturaleza; si no, su lado se queda en blanco.
    void quitarCeros() {
        const std::vector<int> siguiente = NivelSiguiente();
        for (std::size_t i : conFormula_) {
            LineaBalance& l = *linea(i);
            if (l.importes != LineaBalance::Importes::Numeros || !l.total.esCero()) continue;
            const LineaBalance* otra = lado(i, !ladoA_);
            const bool soloEsteLado = !otra || otra->importes == LineaBalance::Importes::EnBlanco;
            if (soloEsteLado && l.nivel >= siguiente[i])
                filas_[i].borrada = true;
            else
                l.importes = LineaBalance::Importes::EnBlanco;
        }
    }

    std::vector<FilaBalance>& filas_;
    bool ladoA_;
    std::vector<std::size_t> conFormula_;
    QHash<QString, std::size_t> porCodigo_;
};

}  // namespace

void CalcularFormulas(std::vector<FilaBalance>& filas, bool ladoA, IProgreso& progreso,
                      const QString& rotulo) {
    Evaluacion(filas, ladoA).ejecutar(progreso, rotulo);
}

}  // namespace orvo
