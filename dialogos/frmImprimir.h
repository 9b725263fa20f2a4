#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "Interfaces.h"
#include "cCMensajes.h"
#include "cGeneral.h"

class QComboBox;
class QRadioButton;
class QPushButton;

namespace orvo {

// Salida que un informe añade a las de siempre (los libros de IVA, el libro registro para la
// Agencia Tributaria): no pasa por el motor, escribe en una carpeta en uno de sus formatos.
struct SalidaPropia {
    QString rotulo;
    QStringList formatos;  // rótulos de la lista de formatos, en el orden de su índice
    // Escribe en la carpeta con el formato elegido y devuelve el archivo; lanza si no puede.
    std::function<QString(const QString& carpeta, int formato)> escribir;
};

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
    // Añade la opción 3 con su lista de formatos; antes de mostrarlo.
    void setSalidaPropia(SalidaPropia salida);
    // Carga y muestra modal.
    void mostrar();

    // Nulo el índice 3 si el informe no tiene salida propia.
    QRadioButton* opcion(int indice) const { return opciones_[indice]; }
    QComboBox* formatoPropio() const { return cboImprimir_; }
    // Archivo que ha escrito la salida propia; vacío si no se ha usado.
    QString archivoPropio() const { return archivoPropio_; }
    QPushButton* boton(int indice) const { return botones_[indice]; }

  private:
    void cmdImprimir_Click(int indice);

    Componente& comp_;
    cCMensajes mensajes_;
    cGeneral general_;
    QString archivoDatos_;
    QString nombreInforme_;
    QString tituloInforme_;
    QRadioButton* opciones_[4] = {};
    QComboBox* cboImprimir_ = nullptr;
    SalidaPropia salidaPropia_;
    QString archivoPropio_;
    QPushButton* botones_[2];
};

// Ruta de un archivo de la carpeta de la aplicación ("/" como separador).
QString rutaEnAplicacion(const QString& appPath, const QString& archivo);

}  // namespace orvo
