#pragma once

#include <QBoxLayout>
#include <QDialog>
#include <QGroupBox>
#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <variant>

#include "BarraProgreso.h"
#include "Conexion.h"
#include "ContextoInforme.h"
#include "Interfaces.h"
#include "cCMensajes.h"
#include "cGeneralControles.h"
#include "cIListas.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLayout;
class QLineEdit;
class QPushButton;

namespace orvo {

class frmImprimir;

// Nombre de objeto de un control de una matriz: "chkBalance" + 4 -> "chkBalance4".
QString nombreControl(const QString& raiz, int indice);

// Comportamiento común de los diálogos de informe: carga, lista de empresas fija, cajas de
// subcuenta con sus reglas de teclado, ACEPTAR/CANCELAR, el marco de construcción en una
// transacción y el paso al diálogo de opciones de impresión. Cada diálogo compone su pantalla con
// las piezas comunes y las suyas (enColumna) y escribe sus pasos propios en los métodos virtuales.
class FormularioInforme : public QDialog {
    Q_OBJECT
  public:
    // 'raiz' da los nombres de los controles comunes: "cbo" + raíz, "txt" + raíz + índice...
    FormularioInforme(Componente& componente, const QString& nombreModulo, const QString& raiz,
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
    const QString& raiz() const { return raiz_; }
    const ControlesComunes& comunes() const { return c_; }
    ControlesComunes& comunes() { return c_; }

    // Piezas de pantalla que repiten los diálogos, con los nombres de control de cada uno ("cbo" +
    // raíz, "dtp" + raíz + índice...); cada pieza deja sus controles en comunes().
    // Fila "EMPRESA:" con la lista; la etiqueta se llama 'nombreRotulo', si se da.
    QBoxLayout* filaEmpresa(const QString& nombreRotulo = QString());
    // Fila con un rótulo y el control que se alarga tras él.
    QBoxLayout* filaConRotulo(const QString& texto, QWidget* control,
                              const QString& nombreRotulo = QString());
    // Marco "PERIODO" con los dos selectores; 'formato', si se da, es el de QDateEdit. Sin él,
    // dd/mm/aaaa, el de todos los diálogos cuyo formato no está fijado.
    QGroupBox* periodo(const QString& formato = QString(),
                       const QStringList& rotulos = {QStringLiteral("DESDE:"),
                                                     QStringLiteral("HASTA:")});
    // Marco "SUBCUENTAS" con las cajas de la subcuenta inicial y la final.
    QGroupBox* subcuentas(const QStringList& rotulos = {QStringLiteral("SUBCUENTA INICIAL:"),
                                                        QStringLiteral("SUBCUENTA FINAL:")});
    // Caja de subcuenta "txt" + raíz + índice con su rango inicial ("0000000" o "9999999"); la
    // longitud de la empresa se pone al cargar.
    QLineEdit* cajaSubcuenta(int indice, QWidget* padre);
    // Casilla "Importes en euros" ("chk" + raíz si no se da otro nombre) con la etiqueta lblEuro.
    QBoxLayout* euros(const QString& nombre = QString(),
                      const QString& simbolo = QStringLiteral("€"));
    QCheckBox* casilla(const QString& texto, const QString& nombre, QWidget* padre = nullptr);
    // Marco con dos controles (desde/hasta, inicial/final), cada uno tras su rótulo, en una fila;
    // 'crear' hace el control de un índice dentro del marco que recibe.
    QGroupBox* marcoDeDos(const QString& titulo, const QStringList& rotulos,
                          const std::function<QWidget*(int, QWidget*)>& crear);

    // Un control o una fila de controles, para apilarlos.
    using Pieza = std::variant<QWidget*, QLayout*>;
    static QBoxLayout* apilar(QBoxLayout* capa, std::initializer_list<Pieza> piezas);
    // La pantalla entera: las piezas, la barra de progreso y ACEPTAR (o el texto que se dé) y
    // CANCELAR, "cmd" + raíz + índice, en columna; conecta los controles comunes con su
    // comportamiento.
    void enColumna(std::initializer_list<Pieza> piezas, const QString& nombreBarra,
                   const QString& aceptar = QStringLiteral("ACEPTAR"));

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
    // A dónde lleva un doble clic en una fila de la tabla de trabajo (columna -> texto); nada si
    // a ninguna parte. Se construye con mayorDeCuenta o diarioDeAsiento.
    virtual std::optional<Desglose> desglosar(const QHash<QString, QString>& /*fila*/) {
        return std::nullopt;
    }
    // El mayor de la cuenta y de sus subcuentas, o el diario de un asiento, de la empresa del
    // diálogo en el periodo (sin fechas, su ejercicio) y la moneda dados.
    Desglose mayorDeCuenta(const QString& codigo, const QDate& desde, const QDate& hasta,
                           Divisa divisa);
    Desglose diarioDeAsiento(const QString& numero, const QDate& desde, const QDate& hasta,
                             Divisa divisa);

    // Marco de RellenarInforme: deshabilita, abre una lectura de una sola versión de los libros
    // y la transacción en la base de informes, ejecuta la construcción, confirma, comprueba que la
    // tabla tiene filas y pone las fórmulas. Un error pasa por VerError, deshace la transacción y
    // devuelve false.
    bool construirEnTransaccion(const QString& tabla, const QString& campo,
                                const std::function<FormulasInforme(ContextoInforme&)>& construir,
                                const QString& procedimiento = QStringLiteral("RellenarInforme"),
                                const QString& complemento = QStringLiteral("OrvoContabilidadInf"));
    // Lo mismo para una construcción de la forma construirX(contexto, opciones).
    template <class Opciones>
    bool construirEnTransaccion(
        const QString& tabla, const QString& campo,
        FormulasInforme (*construir)(ContextoInforme&, const Opciones&), const Opciones& o,
        const QString& procedimiento = QStringLiteral("RellenarInforme"),
        const QString& complemento = QStringLiteral("OrvoContabilidadInf")) {
        return construirEnTransaccion(
            tabla, campo, [&](ContextoInforme& contexto) { return construir(contexto, o); },
            procedimiento, complemento);
    }
    // Comprueba que el periodo no acaba antes de empezar; si no, avisa con fechaInicialMayor y pone
    // el foco en 'foco' o, si no se da, en la primera fecha.
    bool periodoCorrecto(QWidget* foco = nullptr, Icono icono = Icono::Exclamacion);
    // Informa un error con VerError con el módulo de este diálogo.
    void verError(const std::exception& e, const QString& procedimiento,
                  const QString& complemento = QStringLiteral("OrvoContabilidadInf"));
    // Pitido, mensaje (de entrada con el icono de exclamación) y el foco en el control a corregir.
    void avisar(const QString& texto, QWidget* foco, Icono icono = Icono::Exclamacion);

    // Euros si la casilla de euros está y marcada; pesetas si no.
    Divisa divisaMarcada() const;
    QDate fecha(int indice) const;        // selector de periodo 0 o 1
    QString subcuenta(int indice) const;  // caja de subcuenta 0 o 1
    // Unas opciones con lo que dicen los controles comunes que el informe tiene: empresa,
    // moneda, periodo (desde/hasta) e intervalo de subcuentas (subcuentaDesde/Hasta).
    template <class Opciones>
    Opciones opcionesComunes() const {
        Opciones o;
        o.empresa = empresa();
        if constexpr (requires { o.divisa; }) o.divisa = divisaMarcada();
        if constexpr (requires { o.desde = QDate(); }) o.desde = fecha(0), o.hasta = fecha(1);
        if constexpr (requires { o.subcuentaDesde; })
            o.subcuentaDesde = subcuenta(0), o.subcuentaHasta = subcuenta(1);
        return o;
    }

    cGeneralControles& general() { return general_; }
    const cCMensajes& mensajes() const { return mensajes_; }
    cIListas& listas() { return listas_; }
    Componente& componente() { return comp_; }
    Conexion& contabilidad() { return *conContabilidad_; }
    Conexion& informes() { return *conInformes_; }
    IProgreso& progreso();

    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    std::optional<Desglose> desglosarFila(qint64 rowid);
    void conectarComunes();
    void Form_Load();
    void empresaClick();
    void fillDesgloses(const QString& codigo);
    void EstablecerLongitudSubcuentas();
    bool CompruebaTextBox();
    void botonClick(int indice);
    bool teclaSubcuenta(QLineEdit* caja, const QString& texto);

    Componente& comp_;
    QString modulo_;
    QString raiz_;
    ControlesComunes c_;
    std::shared_ptr<Conexion> conContabilidad_;
    std::shared_ptr<Conexion> conInformes_;
    long lngCodEmpresa_ = 0;
    std::uint8_t bytOrigen_ = 0;
    cGeneralControles general_;
    cCMensajes mensajes_;
    cIListas listas_;
    ProgresoNulo progresoNulo_;
    QString tablaTrabajo_;  // la de la última construcción
};

}  // namespace orvo
