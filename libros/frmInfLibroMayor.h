#pragma once

#include "FormularioInforme.h"
#include "LibroMayor.h"

class QCheckBox;
class QGroupBox;
class QListWidget;

namespace orvo {

// Diálogo del libro Mayor: meses, intervalo de subcuentas, saldo anterior y una cuenta por hoja.
class frmInfLibroMayor : public FormularioInforme {
    Q_OBJECT
  public:
    explicit frmInfLibroMayor(Componente& componente, QWidget* padre = nullptr);

    virtual OpcionesLibroMayor opciones() const;

  protected:
    // Para el desglose, que es este mismo diálogo con otro módulo y otro rótulo en el botón.
    frmInfLibroMayor(Componente& componente, const QString& modulo, const QString& aceptar,
                     QWidget* padre);
    bool comprobarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override;
    QString tituloInforme() const override { return QStringLiteral("Informe de libro Mayor"); }
    // Un apunte lleva a su asiento en el diario.
    std::optional<Desglose> desglosar(const QHash<QString, QString>& fila) override;

    QGroupBox* fraSubcuentas_;
    QCheckBox* chkAcumulados_;
    QCheckBox* chkCuentaPorHoja_;
};

// Desglose de una subcuenta: el Mayor de la subcuenta elegida en la lista.
class frmInfDesgloseSubCuenta : public frmInfLibroMayor {
    Q_OBJECT
  public:
    explicit frmInfDesgloseSubCuenta(Componente& componente, QWidget* padre = nullptr);

    OpcionesLibroMayor opciones() const override;

  protected:
    void cargarPropio() override;
    QString nombrePlantilla() const override;

  private:
    // Llena la lista con las subcuentas de la empresa del anfitrión, una sola vez.
    void CargarSubcuentas();

    QListWidget* lstInfSubCuentas_;
};

}  // namespace orvo
