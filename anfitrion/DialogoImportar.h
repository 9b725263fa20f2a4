#pragma once

#include <QDialog>

#include "Importador.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;

namespace orvo {

class Conexion;

// Archivo > Importar…: el archivo de entrada, los libros (los abiertos o unos nuevos), la
// empresa (una de los libros o una nueva, con su nombre, abreviatura, ejercicio, plan y cifras
// de subcuenta), el mapa de cuentas y las columnas, y una muestra de las primeras líneas tal
// como se leen (codificación y columnas reconocidas). Solo traduce controles a opciones: la
// importación la hace quien lo abre.
class DialogoImportar : public QDialog {
    Q_OBJECT
  public:
    // 'abiertos': los libros abiertos en la ventana (puede no haberlos); 'carpeta', donde se
    // empieza a buscar archivos.
    DialogoImportar(Conexion* abiertos, const QString& carpeta, QWidget* padre = nullptr);

    // Las opciones que dicen los controles.
    Importacion::Opciones opciones() const;
    // ¿Se crean libros nuevos (y hay que abrirlos después)?
    bool librosNuevos() const;
    // Rellena la muestra con las primeras líneas del archivo de entrada.
    void actualizarMuestra();

  private:
    void elegir(QLineEdit* destino, const QString& titulo, const QString& filtro, bool guardar);
    void actualizarEmpresa();

    Conexion* abiertos_;
    QString carpeta_;
    QLineEdit* txtEntrada_;
    QRadioButton* optAbiertos_;
    QRadioButton* optNuevos_;
    QLineEdit* txtLibros_;
    QComboBox* cboEmpresa_;
    QSpinBox* spnEmpresa_;
    QLineEdit* txtNombre_;
    QLineEdit* txtAbreviatura_;
    QCheckBox* chkEjercicio_;
    QDateEdit* dtpDesde_;
    QDateEdit* dtpHasta_;
    QComboBox* cboPlan_;
    QSpinBox* spnDigitos_;
    QLineEdit* txtMapa_;
    QLineEdit* txtColumnas_;
    QLabel* lblMuestra_;
    QPlainTextEdit* txtMuestra_;
};

}  // namespace orvo
