#pragma once

#include <QString>

#include "FormularioInforme.h"

class QBoxLayout;
class QGroupBox;

namespace orvo {

// Base de los diálogos de los libros: las piezas de pantalla que todos repiten, con los nombres
// de control de cada uno ("cbo" + raíz, "dtp" + raíz + índice, "cmd" + raíz + índice). Cada
// pieza deja sus controles en 'c', que el diálogo registra después.
class FormularioLibro : public FormularioInforme {
    Q_OBJECT
  public:
    using FormularioInforme::FormularioInforme;

  protected:
    // Fila "EMPRESA:" con la lista de empresas.
    QBoxLayout* filaEmpresa(const QString& raiz, ControlesComunes& c);
    // Marco "PERIODO" con "DESDE:" y "HASTA:"; 'formato' es el de QDateEdit.
    QGroupBox* periodo(const QString& raiz, const QString& formato, ControlesComunes& c);
    // Marco "SUBCUENTAS" con la subcuenta inicial y la final.
    QGroupBox* subcuentas(const QString& raiz, ControlesComunes& c);
    // Casilla "Importes en euros" con la etiqueta lblEuro a su lado.
    QBoxLayout* euros(const QString& raiz, ControlesComunes& c);
    BarraProgreso* barra(const QString& nombre, ControlesComunes& c);
    // ACEPTAR (o el texto que se dé) y CANCELAR, a la derecha.
    QBoxLayout* botones(const QString& raiz, const QString& aceptar, ControlesComunes& c);
};

}  // namespace orvo
