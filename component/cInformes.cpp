#include "cInformes.h"

#include <optional>

#include "Desgloses.h"
#include "FormularioInforme.h"
#include "cCOrigen.h"
#include "cGeneral.h"
#include "frmInfBalanceSaldos.h"
#include "frmInfBalances.h"
#include "frmInfBalancesComp.h"
#include "frmInfEpigrafes.h"
#include "frmInfFacturas.h"
#include "frmInfLibroDiario.h"
#include "frmInfLibroMayor.h"
#include "frmInfPresupuesto.h"
#include "frmInfResumenIVA.h"
#include "frmInfSubcuentas.h"

namespace orvo {

namespace {

template <class Dialogo>
std::unique_ptr<FormularioInforme> dialogo(Componente& comp) {
    return std::make_unique<Dialogo>(comp);
}

// Cada operación: su nombre, la tabla de trabajo que vacía al terminar, el origen que recibe su
// diálogo (los diálogos que sirven a dos informes) y el diálogo. En el orden de la interfaz.
struct DatosOperacion {
    const char* nombre;
    const char* tabla;
    std::optional<std::uint8_t> origen;
    std::unique_ptr<FormularioInforme> (*crearDialogo)(Componente&);
};
const DatosOperacion kOperaciones[] = {
    {"ImprimirEpigrafes", "Epigrafes", {}, dialogo<frmInfEpigrafes>},
    {"ImprimirSubcuentas", "Subcuentas", {}, dialogo<frmInfSubcuentas>},
    {"ImprimirLibroDiario", "Libro_Diario", {}, dialogo<frmInfLibroDiario>},
    {"ImprimirLibroMayor", "Libro_Mayor", {}, dialogo<frmInfLibroMayor>},
    {"ImprimirDesgloseSubCuenta", "Libro_Mayor", {}, dialogo<frmInfDesgloseSubCuenta>},
    {"ImprimirBalanceSituacion", "Balances", cCOrigen::BALANCESITUACION, dialogo<frmInfBalances>},
    {"ImprimirBalanceSituacionComp", "BalancesComparativo", cCOrigen::BALANCESITUACION,
     dialogo<frmInfBalancesComp>},
    {"ImprimirFacturasRecibidas", "Libros_IVA", cCOrigen::FACTURARECIBIDA, dialogo<frmInfFacturas>},
    {"ImprimirFacturasEmitidas", "Libros_IVA", cCOrigen::FACTURAEMITIDA, dialogo<frmInfFacturas>},
    {"ImprimirBalancePYG", "Balances", cCOrigen::BALANCEPYG, dialogo<frmInfBalances>},
    {"ImprimirBalancePYGComp", "BalancesComparativo", cCOrigen::BALANCEPYG,
     dialogo<frmInfBalancesComp>},
    {"ImprimirBalanceSumasySaldos", "BalanceSumasySaldos", {}, dialogo<frmInfBalanceSaldos>},
    {"ImprimirPresupuestoAnual", "PresupuestoAnual", cCOrigen::PRESUPUESTOANUAL,
     dialogo<frmInfPresupuesto>},
    {"ImprimirPresupuesto", "Presupuesto", cCOrigen::Presupuesto, dialogo<frmInfPresupuesto>},
    {"ImprimirResumenIVA", "ResumenIVA", {}, dialogo<frmInfResumenIVA>},
};

}  // namespace

cInformes::cInformes(IInterfaz& interfaz, const RegistroObjetos& registro)
    : comp_{interfaz, registro} {}

cInformes::~cInformes() {
    comp_.motor = nullptr;
    comp_.config = nullptr;
}

QStringList cInformes::operaciones() {
    QStringList nombres;
    for (const auto& o : kOperaciones) nombres << QString::fromLatin1(o.nombre);
    return nombres;
}

QString cInformes::tablaDe(const QString& operacion) {
    for (const auto& o : kOperaciones)
        if (operacion == QLatin1String(o.nombre)) return QString::fromLatin1(o.tabla);
    return {};
}

bool cInformes::ejecutar(const QString& nombre, IMotorInformes* objCrystal,
                         IConfiguracion* objConfig, Con conBaseContabilidad, Con conBaseInformes,
                         long CodEmpresaSeleccionada) {
    // Una de las pocas operaciones con nombre: cabe en un int.
    const int numero = static_cast<int>(operaciones().indexOf(nombre));
    if (numero < 0) return false;
    operacion(numero, objCrystal, objConfig, std::move(conBaseContabilidad),
              std::move(conBaseInformes), CodEmpresaSeleccionada);
    return true;
}

void cInformes::EstablecerConfiguracion(IConfiguracion* objConfig) {
    comp_.tituloAplicacion = objConfig ? objConfig->AppTitle() : QString();
    comp_.archivoAyuda = objConfig ? objConfig->HelpPath() : QString();
    comp_.config = objConfig;
}

void cInformes::operacion(int numero, IMotorInformes* objCrystal, IConfiguracion* objConfig,
                          Con conContabilidad, Con conInformes, long codEmpresa) {
    EstablecerConfiguracion(objConfig);
    comp_.motor = objCrystal;
    if (objCrystal) valoresNuevos(*objCrystal);
    {
        cGeneral general(comp_);
        if (!general.ComprobarEmpresaInf(codEmpresa, *conContabilidad)) return;
    }
    const DatosOperacion& op = kOperaciones[numero];
    // Un doble clic en una fila del informe en pantalla abre su desglose, mientras el diálogo
    // que lo construyó sabe a dónde lleva cada fila.
    if (objCrystal)
        objCrystal->setDesglosador([this, conContabilidad,
                                    conInformes](qint64 fila) -> std::optional<InformeDesglose> {
            const std::optional<Desglose> d = comp_.desglose ? comp_.desglose(fila) : std::nullopt;
            if (!d) return std::nullopt;
            return construirDesglose(*d, conContabilidad, conInformes);
        });
    {
        const auto dialogo = op.crearDialogo(comp_);
        dialogo->setConContabilidad(conContabilidad);
        dialogo->setConInformes(conInformes);
        dialogo->setLngCodEmpresa(codEmpresa);
        if (op.origen) dialogo->setBytOrigen(*op.origen);
        dialogo->mostrar();
    }
    if (objCrystal) objCrystal->setDesglosador(nullptr);
    const QString tabla = QString::fromLatin1(op.tabla);
    if (comp_.antesDeVaciar) comp_.antesDeVaciar(tabla);
    conInformes->Execute(QStringLiteral("DELETE FROM ") + tabla);
}

#define ORVO_OPERACION(nombre)                                                                   \
    void cInformes::nombre(IMotorInformes* objCrystal, IConfiguracion* objConfig,                \
                           Con conBaseContabilidad, Con conBaseInformes,                         \
                           long CodEmpresaSeleccionada) {                                        \
        ejecutar(QStringLiteral(#nombre), objCrystal, objConfig, std::move(conBaseContabilidad), \
                 std::move(conBaseInformes), CodEmpresaSeleccionada);                            \
    }
ORVO_OPERACION(ImprimirEpigrafes)
ORVO_OPERACION(ImprimirSubcuentas)
ORVO_OPERACION(ImprimirLibroDiario)
ORVO_OPERACION(ImprimirLibroMayor)
ORVO_OPERACION(ImprimirDesgloseSubCuenta)
ORVO_OPERACION(ImprimirBalanceSituacion)
ORVO_OPERACION(ImprimirBalanceSituacionComp)
ORVO_OPERACION(ImprimirFacturasRecibidas)
ORVO_OPERACION(ImprimirFacturasEmitidas)
ORVO_OPERACION(ImprimirBalancePYG)
ORVO_OPERACION(ImprimirBalancePYGComp)
ORVO_OPERACION(ImprimirBalanceSumasySaldos)
ORVO_OPERACION(ImprimirPresupuestoAnual)
ORVO_OPERACION(ImprimirPresupuesto)
ORVO_OPERACION(ImprimirResumenIVA)
#undef ORVO_OPERACION

}  // namespace orvo
