#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "BarraProgreso.h"
#include "Conexion.h"
#include "ContextoInforme.h"
#include "Interfaces.h"
#include "cCMensajes.h"
#include "cGeneral.h"
#include "cIListas.h"

class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace orvo {

class frmImprimir;

// Nombre de objeto de un control de una matriz: "chkBalance" + 4 -> "chkBalance4".
QString nombreControl(const QString& raiz, int indice);

// Comportamiento común de los diálogos de informe: carga, lista de empresas fija, cajas de
// subcuenta con sus reglas de teclado, ACEPTAR/CANCELAR, el marco de construcción en una
// transacción y el paso al diálogo de opciones de impresión. Cada diálogo crea sus controles,
// los registra con registrarComunes() y escribe sus pasos propios en los métodos virtuales.
class FormularioInforme : public QDialog {
    Q_OBJECT
  public:
    FormularioInforme(Componente& componente, const QString& nombreModulo,
                      QWidget* padre = nullptr);
    ~FormularioInforme() override;

    // Valores que fija la operación de cInformes antes de mostrarlo.
    void setConContabilidad(std::shared_ptr<Conexion> con) { conContabilidad_ = std::move(con); }
    void setConInformes(std::shared_ptr<Conexion> con) { conInformes_ = std::move(con); }
    void setLngCodEmpresa(long codigo) { lngCodEmpresa_ = codigo; }
    void setBytOrigen(std::uint8_t origen) { bytOrigen_ = origen; }

    // Carga el diálogo (Form_Load) y lo muestra modal; vuelve cuando se ha cerrado.
    void mostrar();

    QAbstractButton* botonAceptar() const;
    QAbstractButton* botonCancelar() const;
    // Para el ejecutor de órdenes: fija un control que el diálogo maneja a su manera (listas
    // de niveles, lista de subcuentas). Devuelve false si no es uno de ellos.
    virtual bool fijarControlPropio(const QString& nombre, const QString& valor, QString* error);

    long empresa() const { return lngCodEmpresa_; }
    std::uint8_t origen() const { return bytOrigen_; }

  protected:
    struct ControlesComunes {
        QComboBox* empresa = nullptr;
        QLineEdit* subcuentas[2] = {nullptr, nullptr};
        QDateEdit* fechas[2] = {nullptr, nullptr};
        QCheckBox* euros = nullptr;
        QPushButton* botones[2] = {nullptr, nullptr};
        QString nombreBotones;  // "cmdSubcuentas", para los informes de error
        BarraProgreso* progreso = nullptr;
    };
    // Conecta los controles comunes con su comportamiento. Se llama al final del constructor.
    void registrarComunes(const ControlesComunes& controles);
    const ControlesComunes& comunes() const { return c_; }

    // Piezas de pantalla que repiten los diálogos, con los nombres de control de cada uno; cada
    // pieza deja sus controles en 'c'.
    // Fila "EMPRESA:" con la lista "cbo" + raíz; la etiqueta se llama 'nombreRotulo', si se da.
    QBoxLayout* filaEmpresa(const QString& raiz, ControlesComunes& c,
                            const QString& nombreRotulo = QString());
    BarraProgreso* barra(const QString& nombre, ControlesComunes& c);
    // Caja de subcuenta "txt" + raíz + índice con su rango inicial ("0000000" o "9999999"); la
    // longitud de la empresa se pone al cargar.
    QLineEdit* cajaSubcuenta(const QString& raiz, int indice, QWidget* padre);
    // ACEPTAR (o el texto que se dé) y CANCELAR, "cmd" + raíz + índice, a la derecha.
    QBoxLayout* botones(const QString& raiz, const QString& aceptar, ControlesComunes& c);

    // Pasos propios de cada diálogo.
    virtual void cargarPropio() {}              // preparación propia dentro de Form_Load
    virtual void empresaElegidaPropio(long) {}  // tras el clic en la lista de empresas
    // Comprobaciones propias de CompruebaTextBox: las previas van tras la de la empresa y antes
    // de las cajas de subcuenta; las demás, al final.
    virtual bool comprobarPrevio() { return true; }
    virtual bool comprobarPropio() { return true; }
    virtual bool RellenarInforme() = 0;
    virtual QString nombrePlantilla() const = 0;
    virtual QString tituloInforme() const = 0;
    // Salidas que el informe añade a las opciones de impresión, antes de mostrarlas.
    virtual void prepararImpresion(frmImprimir&) {}

    // Marco de RellenarInforme: deshabilita, abre una lectura de una sola versión de los libros
    // y la transacción en la base de informes, ejecuta la construcción, confirma, comprueba que la tabla tiene filas y pone las
    // fórmulas. Un error pasa por VerError, deshace la transacción y devuelve false.
    bool construirEnTransaccion(const QString& tabla, const QString& campo,
                                const std::function<FormulasInforme(ContextoInforme&)>& construir,
                                const QString& procedimiento = QStringLiteral("RellenarInforme"),
                                const QString& complemento = QStringLiteral("OrvoContabilidadInf"));
    // Informa un error con VerError con el módulo de este diálogo.
    void verError(const std::exception& e, const QString& procedimiento,
                  const QString& complemento = QStringLiteral("OrvoContabilidadInf"));
    // Pitido, mensaje con el icono de exclamación y el foco en el control a corregir.
    void avisar(const QString& texto, QWidget* foco);

    bool eurosMarcado() const;
    QString textoEmpresa();  // ObtenerEmpresa de la empresa elegida

    cGeneral& general() { return general_; }
    const cCMensajes& mensajes() const { return mensajes_; }
    cIListas& listas() { return listas_; }
    Componente& componente() { return comp_; }
    Conexion& contabilidad() { return *conContabilidad_; }
    Conexion& informes() { return *conInformes_; }
    IProgreso& progreso();

    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void Form_Load();
    void empresaClick();
    void fillDesgloses(const QString& codigo);
    void EstablecerLongitudSubcuentas();
    bool CompruebaTextBox();
    void botonClick(int indice);
    bool teclaSubcuenta(QLineEdit* caja, const QString& texto);

    Componente& comp_;
    QString modulo_;
    ControlesComunes c_;
    std::shared_ptr<Conexion> conContabilidad_;
    std::shared_ptr<Conexion> conInformes_;
    long lngCodEmpresa_ = 0;
    std::uint8_t bytOrigen_ = 0;
    cGeneral general_;
    cCMensajes mensajes_;
    cIListas listas_;
    ProgresoNulo progresoNulo_;
};

}  // namespace orvo
