#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "BarraProgreso.h"
#include "Conexion.h"
#include "ConfiguracionAnfitrion.h"
#include "Importador.h"
#include "cInformes.h"

class QAction;
class QLabel;
class QRadioButton;
class QTableWidget;

namespace orvo {

class VentanaManual;

// Ventana del anfitrión: abre una base de contabilidad, lista sus empresas, deja elegir la
// empresa y la moneda de trabajo y ofrece los catorce informes en el menú "Informes". Es
// dueña de las conexiones y de cInformes; el motor, la interfaz y la configuración los presta
// quien la crea (el programa, o una prueba con la interfaz grabadora).
class VentanaPrincipal : public QMainWindow {
    Q_OBJECT
  public:
    // Abre (o crea) Informes.mdb en la carpeta de la aplicación; lanza ErrorOrvo si no puede.
    VentanaPrincipal(IInterfaz& interfaz, IMotorInformes& motor, ConfiguracionAnfitrion& config,
                     QWidget* padre = nullptr);
    ~VentanaPrincipal() override;

    // Abre la base de contabilidad y lista sus empresas. Si no se puede, lo dice en un
    // mensaje, deja abierta la que hubiera y devuelve false.
    bool abrirContabilidad(const QString& ruta);
    // Crea los libros de ejemplo en 'ruta' y los abre.
    bool crearEjemplo(const QString& ruta);
    // Importa un CSV o un diario de texto en la empresa dada (creada si falta, con el modelo de
    // pymes) de la base abierta, con la barra de progreso; dice el resultado en un mensaje.
    bool importar(const QString& entrada, long empresa);
    // Importa con las opciones del diálogo de importación; abre los libros si son otros.
    bool importar(Importacion::Opciones opciones);
    // Archivo > Importar…: el diálogo de importación y, si se acepta, la importación.
    void elegirArchivoImportar();
    // Comprueba los libros de la empresa elegida. Sin problemas, lo dice en un mensaje; con
    // ellos, los lista en la ventana de la comprobación, desde donde se puede pedir reparar.
    // 'reparar' pregunta antes y rehace las columnas mensuales. True si quedan limpios.
    bool comprobarLibros(bool reparar);
    // Archivo > Cerrar el ejercicio: tras confirmarlo, cierra el de la empresa elegida y abre el
    // siguiente (con 'deshacer', lo borra y deja el ejercicio abierto). True si se hizo.
    bool cerrarEjercicio(bool deshacer);
    // Archivo > Legalizar los libros: pide la carpeta y los anexos y escribe en ella los dos
    // libros y sus huellas, con la barra de progreso. True si se escribieron.
    bool legalizarLibros();
    // Ayuda > Manual: el manual en una ventana propia (la misma si ya estaba abierta).
    void mostrarManual();
    VentanaManual* ventanaManual() const { return manual_; }
    QString rutaContabilidad() const;

    long empresaSeleccionada() const;
    bool seleccionarEmpresa(long idEmpresa);
    void setTrabajarConPesetas(bool pesetas);

    // Acción del menú de una operación de cInformes ("ImprimirLibroDiario").
    QAction* accionInforme(const QString& operacion) const;
    // Lo que hace el menú: llama a la operación con la empresa y la moneda elegidas.
    void lanzarInforme(const QString& operacion);
    // Archivo > NIF de la empresa: pide el NIF de la empresa elegida y lo guarda en los libros.
    void editarNif();
    cInformes& informes() { return informes_; }

  private:
    void crearMenus();
    void crearCentro();
    void llenarEmpresas();
    void actualizarEstado();
    void elegirArchivo();
    void elegirArchivoEjemplo();
    void acercaDe();
    bool confirmarReparacion();
    // La empresa elegida en unos libros abiertos; sin ellos, 0 después de decir que se elijan.
    long empresaParaOperar();
    // Dice un error en su mensaje, con el pitido.
    void decirError(const std::exception& e);

    IInterfaz& interfaz_;
    IMotorInformes& motor_;
    ConfiguracionAnfitrion& config_;
    RegistroObjetos registro_;
    cInformes informes_;
    std::shared_ptr<Conexion> contabilidad_;
    std::shared_ptr<Conexion> baseInformes_;
    QTableWidget* empresas_ = nullptr;
    QRadioButton* optEuros_ = nullptr;
    QRadioButton* optPesetas_ = nullptr;
    QLabel* lblArchivo_ = nullptr;
    BarraProgreso* barra_ = nullptr;
    QList<QAction*> accionesInforme_;
    QAction* accionNif_ = nullptr;
    VentanaManual* manual_ = nullptr;
};

}  // namespace orvo
