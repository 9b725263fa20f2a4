#include "cInformes.h"

#include <array>
#include <optional>

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

struct DatosOperacion {
    const char* nombre;
    const char* tabla;
};

// En el orden de la interfaz: el número es el de la operación.
constexpr std::array<DatosOperacion, 15> kOperaciones = {{
    {"ImprimirEpigrafes", "Epigrafes"},
    {"ImprimirSubcuentas", "Subcuentas"},
    {"ImprimirLibroDiario", "Libro_Diario"},
    {"ImprimirLibroMayor", "Libro_Mayor"},
    {"ImprimirDesgloseSubCuenta", "Libro_Mayor"},
    {"ImprimirBalanceSituacion", "Balances"},
    {"ImprimirBalanceSituacionComp", "BalancesComparativo"},
    {"ImprimirFacturasRecibidas", "Libros_IVA"},
    {"ImprimirFacturasEmitidas", "Libros_IVA"},
    {"ImprimirBalancePYG", "Balances"},
    {"ImprimirBalancePYGComp", "BalancesComparativo"},
    {"ImprimirBalanceSumasySaldos", "BalanceSumasySaldos"},
    {"ImprimirPresupuestoAnual", "PresupuestoAnual"},
    {"ImprimirPresupuesto", "Presupuesto"},
    {"ImprimirResumenIVA", "ResumenIVA"},
}};

// Código de origen que recibe el diálogo de cada operación, si lo recibe.
std::optional<std::uint8_t> origenDe(int numero) {
    switch (numero) {
        case 5:
        case 6:
            return cCOrigen::BALANCESITUACION;
        case 9:
        case 10:
            return cCOrigen::BALANCEPYG;
        case 7:
            return cCOrigen::FACTURARECIBIDA;
        case 8:
            return cCOrigen::FACTURAEMITIDA;
        case 12:
            return cCOrigen::PRESUPUESTOANUAL;
        case 13:
            return cCOrigen::Presupuesto;
        default:
            return std::nullopt;
    }
}

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
    const int numero = operaciones().indexOf(nombre);
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
    {
        cGeneral general(comp_);
        if (!general.ComprobarEmpresaInf(codEmpresa, *conContabilidad)) return;
    }
    if (auto dialogo = crearDialogo(numero)) {
        dialogo->setConContabilidad(conContabilidad);
        dialogo->setConInformes(conInformes);
        const auto origen = origenDe(numero);
        // El diálogo de presupuestos recibe el origen antes que la empresa.
        const bool origenPrimero = numero == 12 || numero == 13;
        if (origen && origenPrimero) dialogo->setBytOrigen(*origen);
        dialogo->setLngCodEmpresa(codEmpresa);
        if (origen && !origenPrimero) dialogo->setBytOrigen(*origen);
        dialogo->mostrar();
    }
    const QString tabla = QString::fromLatin1(kOperaciones[numero].tabla);
    if (comp_.antesDeVaciar) comp_.antesDeVaciar(tabla);
    conInformes->Execute(QStringLiteral("DELETE FROM ") + tabla);
}

std::unique_ptr<FormularioInforme> cInformes::crearDialogo(int numero) {
    switch (numero) {
        case 0:
            return std::make_unique<frmInfEpigrafes>(comp_);
        case 1:
            return std::make_unique<frmInfSubcuentas>(comp_);
        case 2:
            return std::make_unique<frmInfLibroDiario>(comp_);
        case 3:
            return std::make_unique<frmInfLibroMayor>(comp_);
        case 4:
            return std::make_unique<frmInfDesgloseSubCuenta>(comp_);
        case 5:
        case 9:
            return std::make_unique<frmInfBalances>(comp_);
        case 6:
        case 10:
            return std::make_unique<frmInfBalancesComp>(comp_);
        case 7:
        case 8:
            return std::make_unique<frmInfFacturas>(comp_);
        case 11:
            return std::make_unique<frmInfBalanceSaldos>(comp_);
        case 12:
        case 13:
            return std::make_unique<frmInfPresupuesto>(comp_);
        case 14:
            return std::make_unique<frmInfResumenIVA>(comp_);
        default:
            return nullptr;
    }
}

#define ORVO_OPERACION(nombre, numero)                                            \
    void cInformes::nombre(IMotorInformes* objCrystal, IConfiguracion* objConfig, \
                           Con conBaseContabilidad, Con conBaseInformes,          \
                           long CodEmpresaSeleccionada) {                         \
        operacion(numero, objCrystal, objConfig, std::move(conBaseContabilidad),  \
                  std::move(conBaseInformes), CodEmpresaSeleccionada);            \
    }
ORVO_OPERACION(ImprimirEpigrafes, 0)
ORVO_OPERACION(ImprimirSubcuentas, 1)
ORVO_OPERACION(ImprimirLibroDiario, 2)
ORVO_OPERACION(ImprimirLibroMayor, 3)
ORVO_OPERACION(ImprimirDesgloseSubCuenta, 4)
ORVO_OPERACION(ImprimirBalanceSituacion, 5)
ORVO_OPERACION(ImprimirBalanceSituacionComp, 6)
ORVO_OPERACION(ImprimirFacturasRecibidas, 7)
ORVO_OPERACION(ImprimirFacturasEmitidas, 8)
ORVO_OPERACION(ImprimirBalancePYG, 9)
ORVO_OPERACION(ImprimirBalancePYGComp, 10)
ORVO_OPERACION(ImprimirBalanceSumasySaldos, 11)
ORVO_OPERACION(ImprimirPresupuestoAnual, 12)
ORVO_OPERACION(ImprimirPresupuesto, 13)
ORVO_OPERACION(ImprimirResumenIVA, 14)
#undef ORVO_OPERACION

}  // namespace orvo
