#pragma once

#include <QIcon>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "Desglose.h"

class QDialog;
class QWidget;

namespace orvo {

enum class Icono { Exclamacion, Informacion };

// Puntero del ratón, con los valores de siempre.
inline constexpr int kPunteroPredeterminado = 0;
inline constexpr int kRelojDeArena = 11;

// Todo lo que el componente enseña o pide a la persona pasa por aquí: cuadros de mensaje,
// pitido, puntero del ratón, diálogos modales y el cuadro de guardar archivo. La versión Qt
// los muestra; la grabadora de las pruebas y del ejecutor de órdenes los anota y contesta.
class IInterfaz {
  public:
    virtual ~IInterfaz() = default;
    virtual void Beep() = 0;
    virtual void MsgBox(const QString& texto, Icono icono, const QString& titulo) = 0;
    virtual void setMousePointer(int puntero) = 0;
    virtual int MousePointer() const = 0;
    // Muestra el diálogo de forma modal y vuelve cuando se ha cerrado.
    virtual int mostrarModal(QDialog& dialogo) = 0;
    // Cuadro de guardar archivo; texto vacío si la persona cancela. En 'tipo', si se pide, el
    // tipo de archivo elegido de los de 'filtro' (vacío si no se eligió ninguno).
    virtual QString archivoGuardar(QWidget* padre, const QString& titulo, const QString& filtro,
                                   QString* tipo = nullptr) = 0;
    // Cuadro de elegir carpeta; texto vacío si la persona cancela.
    virtual QString carpeta(QWidget* padre, const QString& titulo) = 0;
};

struct InformeDesglose;
// Recibe el rowid de una fila de la tabla de trabajo del informe en pantalla y construye su
// desglose; nada si la fila no lleva a ningún otro informe. Lanza si la construcción falla.
using Desglosador = std::function<std::optional<InformeDesglose>(qint64 fila)>;

// Un informe ya escrito en su tabla de trabajo de la base de informes, que el motor abre en
// otra vista previa: el desglose de una fila del informe en pantalla.
struct InformeDesglose {
    QString plantilla;  // "infCONT_LibroMayor.rpt", en la carpeta de la plantilla del informe
    QString titulo;
    std::map<int, QString> formulas;  // índice del motor (desde 1) -> "Nombre= valor"
    QString tabla;
    std::function<void()> alCerrar;  // vacía la tabla de trabajo cuando ya no se ve
    Desglosador siguiente;           // a dónde llevan a su vez sus filas
};

// Motor de informes, con los miembros que el componente usa y nada más.
class IMotorInformes {
  public:
    virtual ~IMotorInformes() = default;
    static constexpr int kMaxFormulas = 100;
    virtual QString Formulas(int indice) const = 0;  // desde 1
    virtual void setFormulas(int indice, const QString& texto) = 0;
    virtual QString ReportFileName() const = 0;
    virtual void setReportFileName(const QString& v) = 0;
    virtual QString Password() const = 0;
    virtual void setPassword(const QString& v) = 0;
    virtual QString WindowTitle() const = 0;
    virtual void setWindowTitle(const QString& v) = 0;
    virtual QString DataFiles(int indice) const = 0;  // desde 0
    virtual void setDataFiles(int indice, const QString& v) = 0;
    virtual int WindowState() const = 0;
    virtual void setWindowState(int v) = 0;
    virtual int Destination() const = 0;  // 0 pantalla, 1 impresora, 2 archivo
    virtual void setDestination(int v) = 0;
    virtual QString PrintFileName() const = 0;
    virtual void setPrintFileName(const QString& v) = 0;
    virtual void PrintReport() = 0;
    virtual void PageZoom(int zoom) = 0;
    virtual int LastErrorNumber() const = 0;
    virtual void setLastErrorNumber(int v) = 0;
    virtual QString LastErrorString() const = 0;
    virtual void setLastErrorString(const QString& v) = 0;
    // Lo que hace un doble clic en una fila de la vista previa; los motores sin vista previa
    // interactiva lo ignoran.
    virtual void setDesglosador(Desglosador) {}
};

// Deja el motor sin fórmulas ni archivo de salida: cada informe empieza con valores propios,
// y nada de uno anterior (una fórmula tras un hueco, un nombre repetido) llega al siguiente.
void valoresNuevos(IMotorInformes& motor);

// Objeto de configuración del anfitrión; el componente solo lo lee.
class IConfiguracion {
  public:
    virtual ~IConfiguracion() = default;
    virtual QString AppTitle() const = 0;
    virtual QString HelpPath() const = 0;
    virtual QString AppPath() const = 0;  // sin barra final
    virtual QVariant Aplicacion() const = 0;
    virtual QIcon Icono() const = 0;
    virtual bool TrabajarConPesetas() const = 0;
};

// Componente del anfitrión que da la contraseña de la base de datos de informes.
class ICContabilidad {
  public:
    virtual ~ICContabilidad() = default;
    virtual QString ObtenerPasswordInformes(const QVariant& aplicacion) = 0;
};

// Objetos que se crean por su identificador ("OrvoContabilidad.cContabilidad"); los da de
// alta el anfitrión.
class RegistroObjetos {
  public:
    using Fabrica = std::function<std::unique_ptr<ICContabilidad>()>;
    void registrar(const QString& identificador, Fabrica fabrica) {
        fabricas_[identificador.toLower()] = std::move(fabrica);
    }
    // Lanza ErrorOrvo 429 si el identificador no está registrado.
    std::unique_ptr<ICContabilidad> CreateObject(const QString& identificador) const;

  private:
    std::map<QString, Fabrica> fabricas_;
};

// Referencias de todo el componente: las fija cada operación de cInformes y las leen los
// diálogos. Es el único estado compartido.
struct Componente {
    Componente(IInterfaz& i, const RegistroObjetos& r) : interfaz(i), registro(r) {}
    IInterfaz& interfaz;
    const RegistroObjetos& registro;
    IMotorInformes* motor = nullptr;
    IConfiguracion* config = nullptr;
    QString tituloAplicacion;  // título de los cuadros de mensaje
    QString archivoAyuda;
    // Avisa justo antes de vaciar la tabla de trabajo (el ejecutor de órdenes la vuelca).
    std::function<void(const QString& tabla)> antesDeVaciar;
    // Mientras el informe del diálogo abierto está en las opciones de impresión o en pantalla:
    // a dónde lleva una fila de su tabla de trabajo (por su rowid).
    std::function<std::optional<Desglose>(qint64 fila)> desglose;
};

}  // namespace orvo
