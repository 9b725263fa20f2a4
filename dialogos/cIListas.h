#pragma once

class QComboBox;
class QListWidget;

namespace orvo {

class Conexion;
class cGeneral;

// Rellena las listas de empresas: "<ABR - AÑO> Nombre", con el IDEmpresa como dato.
class cIListas {
  public:
    explicit cIListas(cGeneral& general) : general_(general) {}
    void fillEmpresas(Conexion& conBaseDatos, QComboBox* objLista, long lngselItem);
    void fillEmpresas(Conexion& conBaseDatos, QListWidget* objLista, long lngselItem);

  private:
    cGeneral& general_;
};

}  // namespace orvo
