// Construye el balance de situación de la empresa 1 de unos libros (o su comparativo consigo
// misma) y muere (SIGKILL) en cuanto avanza la barra de progreso, es decir, con el resultado ya
// puesto en la 129.
// Uso: matar_balance CONTABILIDAD INFORMES [comparativo]
#include <QCoreApplication>
#include <csignal>

#include "Balance.h"
#include "BalanceComparativo.h"
#include "Esquemas.h"

using namespace orvo;

namespace {

class ProgresoMortal : public IProgreso {
  public:
    void Iniciar(qint64, const QString&, int) override {}
    void setValor(qint64) override { std::raise(SIGKILL); }
    void Terminar() override {}
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args.size() > 4) return 2;
    auto conta = Conexion::abrir(args[1]);
    auto inf = Conexion::abrir(args[2], true);
    Esquemas::crearInformes(*inf);
    ProgresoMortal progreso;
    ContextoInforme contexto{*conta, *inf, progreso};
    Transaccion t(*inf);
    if (args.size() == 4) {
        OpcionesComparativo o;
        o.empresaA = o.empresaB = 1;
        o.desde = QDate(2001, 1, 1);
        o.hasta = QDate(2001, 12, 31);
        construirComparativo(contexto, o);
    } else {
        OpcionesBalance o;
        o.empresa = 1;
        o.desde = QDate(2001, 1, 1);
        o.hasta = QDate(2001, 12, 31);
        construirBalance(contexto, o);
    }
    return 1;  // no debería llegar aquí
}
