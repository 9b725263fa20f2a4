#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "Conexion.h"
#include "Interfaces.h"

namespace orvo {

class FormularioInforme;

// Clase pública del componente. Cada operación comprueba la empresa, abre el diálogo de su
// informe y, al cerrarse este, vacía la tabla de trabajo. El motor y la configuración de la
// última llamada quedan como referencias de todo el componente.
class cInformes {
  public:
    // La interfaz (mensajes, diálogos) y el registro de objetos los pone el anfitrión.
    cInformes(IInterfaz& interfaz, const RegistroObjetos& registro);
    ~cInformes();
    cInformes(const cInformes&) = delete;
    cInformes& operator=(const cInformes&) = delete;

    using Con = std::shared_ptr<Conexion>;
#define ORVO_OPERACION(nombre)                                                                  \
    void nombre(IMotorInformes* objCrystal, IConfiguracion* objConfig, Con conBaseContabilidad, \
                Con conBaseInformes, long CodEmpresaSeleccionada)
    ORVO_OPERACION(ImprimirEpigrafes);
    ORVO_OPERACION(ImprimirSubcuentas);
    ORVO_OPERACION(ImprimirLibroDiario);
    ORVO_OPERACION(ImprimirLibroMayor);
    ORVO_OPERACION(ImprimirDesgloseSubCuenta);
    ORVO_OPERACION(ImprimirBalanceSituacion);
    ORVO_OPERACION(ImprimirBalanceSituacionComp);
    ORVO_OPERACION(ImprimirFacturasRecibidas);
    ORVO_OPERACION(ImprimirFacturasEmitidas);
    ORVO_OPERACION(ImprimirBalancePYG);
    ORVO_OPERACION(ImprimirBalancePYGComp);
    ORVO_OPERACION(ImprimirBalanceSumasySaldos);
    ORVO_OPERACION(ImprimirPresupuestoAnual);
    ORVO_OPERACION(ImprimirPresupuesto);
    ORVO_OPERACION(ImprimirResumenIVA);
#undef ORVO_OPERACION

    // Las operaciones por su nombre, en el orden de la interfaz.
    static QStringList operaciones();
    // Llama a la operación por su nombre; false si el nombre no es de ninguna.
    bool ejecutar(const QString& operacion, IMotorInformes* objCrystal, IConfiguracion* objConfig,
                  Con conBaseContabilidad, Con conBaseInformes, long CodEmpresaSeleccionada);
    // Tabla de trabajo que vacía una operación.
    static QString tablaDe(const QString& operacion);

    Componente& componente() {
        return comp_;
    }

  private:
    void operacion(int numero, IMotorInformes* objCrystal, IConfiguracion* objConfig,
                   Con conContabilidad, Con conInformes, long codEmpresa);
    void EstablecerConfiguracion(IConfiguracion* objConfig);

    Componente comp_;
};

}  // namespace orvo
