#pragma once

#include "FormularioNiveles.h"
#include "Presupuestos.h"

namespace orvo {

// Diálogo de los dos informes de presupuestos; el código de origen dice cuál.
class frmInfPresupuesto : public FormularioNiveles {
    Q_OBJECT
  public:
    explicit frmInfPresupuesto(Componente& componente, QWidget* padre = nullptr);

    OpcionesPresupuesto opciones() const;

  protected:
    void cargarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override;
    QString tituloInforme() const override;
    // Una cuenta lleva a su mayor (el de sus subcuentas) del ejercicio, en la misma moneda.
    std::optional<Desglose> desglosar(const QHash<QString, QString>& fila) override;

  private:
    bool esPresupuesto() const { return origen() == cCOrigen::Presupuesto; }
};

}  // namespace orvo
