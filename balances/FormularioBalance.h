#pragma once

#include <array>

#include "FormularioInforme.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;

namespace orvo {

struct OpcionesEstado;

// Lo que comparten los dos diálogos de balances: el periodo, las seis opciones, la barra de
// progreso y los botones. Cada diálogo pone encima sus listas de empresas.
class FormularioBalance : public FormularioInforme {
    Q_OBJECT
  protected:
    FormularioBalance(Componente& componente, const QString& nombreModulo, QWidget* padre);
    // Añade una lista de empresas con su etiqueta en la fila dada de la cabecera.
    QComboBox* anadirListaEmpresas(const QString& nombre, const QString& etiqueta, int fila);
    // Compone la pantalla y registra los controles comunes; la lista de empresas solo si la
    // maneja la base. Los errores de los botones se informan con el nombre dado o, si no, con el
    // de la matriz.
    void registrar(QComboBox* empresa, const QString& procedimientoBotones = QString());

    bool opcion(int indice) const;
    // El estado según el informe, el periodo y las opciones comunes a los dos diálogos.
    void leerOpcionesEstado(OpcionesEstado& o) const;

    // Plantilla y título según el informe, "comparativo" o no, y el presupuesto.
    QString plantillaBalance(bool comparativo) const;
    QString tituloBalance(bool comparativo) const;

  private:
    QGroupBox* marcoOpciones();

    std::array<QCheckBox*, 6> opciones_{};
    QGridLayout* cabecera_;
    QGroupBox* fraPeriodo_;
    QGroupBox* fraOpciones_;
};

}  // namespace orvo
