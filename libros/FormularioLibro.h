#pragma once

#include <QString>

#include "FormularioInforme.h"

class QBoxLayout;
class QGroupBox;

namespace orvo {

// Base de los diálogos de los libros: las piezas de pantalla que solo ellos repiten, con los
// nombres de control de cada uno ("dtp" + raíz + índice, "txt" + raíz + índice, "chk" + raíz).
// Cada pieza deja sus controles en 'c', que el diálogo registra después.
class FormularioLibro : public FormularioInforme {
    Q_OBJECT
  public:
    using FormularioInforme::FormularioInforme;

  protected:
    // Marco "PERIODO" con "DESDE:" y "HASTA:"; 'formato' es el de QDateEdit.
    QGroupBox* periodo(const QString& raiz, const QString& formato, ControlesComunes& c);
    // Marco "SUBCUENTAS" con la subcuenta inicial y la final.
    QGroupBox* subcuentas(const QString& raiz, ControlesComunes& c);
    // Casilla "Importes en euros" con la etiqueta lblEuro a su lado.
    QBoxLayout* euros(const QString& raiz, ControlesComunes& c);
};

}  // namespace orvo
