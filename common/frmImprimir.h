#pragma once

#include <QDialog>

#include "Interfaces.h"
#include "cCMensajes.h"
#include "cGeneral.h"

class QRadioButton;
class QPushButton;

namespace orvo {

// Opciones de impresión: pantalla, impresora predeterminada o archivo. Configura el motor
// con la plantilla, la base de informes y el destino, lanza el informe y limpia las fórmulas.
// 'archivoDatos' es el archivo de la conexión de informes en que se escribieron las filas: el
// motor lee ese, esté donde esté, y no un Informes.mdb supuesto en la carpeta de la aplicación.
class frmImprimir : public QDialog {
    Q_OBJECT
  public:
    frmImprimir(Componente& componente, QString archivoDatos, QWidget* padre = nullptr);
    void setNombreInforme(const QString& nombre) { nombreInforme_ = nombre; }
    void setTituloInforme(const QString& titulo) { tituloInforme_ = titulo; }
    // Carga y muestra modal.
    void mostrar();

    QRadioButton* opcion(int indice) const { return opciones_[indice]; }
    QPushButton* boton(int indice) const { return botones_[indice]; }

  private:
    void cmdImprimir_Click(int indice);

    Componente& comp_;
    cCMensajes mensajes_;
    cGeneral general_;
    QString archivoDatos_;
    QString nombreInforme_;
    QString tituloInforme_;
    QRadioButton* opciones_[3];
    QPushButton* botones_[2];
};

// Ruta de un archivo de la carpeta de la aplicación ("/" como separador).
QString rutaEnAplicacion(const QString& appPath, const QString& archivo);

}  // namespace orvo
