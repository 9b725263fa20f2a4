#pragma once

#include "cGeneral.h"

class QDateEdit;
class QObject;

namespace orvo {

// Los servicios de cGeneral que reciben controles: van con los diálogos, para que cGeneral sirva a
// las construcciones sin la biblioteca de controles.
class cGeneralControles : public cGeneral {
  public:
    using cGeneral::cGeneral;
    using cGeneral::PeriodoFechaCorrecto;

    void SelText(QObject* textoBox);
    // Los diálogos avisan con avisar; VerFalta sigue por ser de los servicios que el componente
    // ofrece a sus diálogos.
    void VerFalta(QObject* lblLabel, QObject* mstPestana);
    void PeriodoEjercicioDTP(QDateEdit* dtpINI, QDateEdit* dtpFIN, long lngIDEmpresa,
                             Conexion& con);
    static bool PeriodoFechaCorrecto(QDateEdit* dtpINI, QDateEdit* dtpFIN);
};

}  // namespace orvo
