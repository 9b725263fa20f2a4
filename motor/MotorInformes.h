#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <map>

#include "Interfaces.h"

namespace orvo {

// Motor de informes propio: lee la plantilla, la tabla de trabajo de la base de informes y
// las fórmulas, compone las páginas una vez y las lleva a la pantalla, la impresora o un
// archivo. Los fallos se dejan en LastErrorNumber/LastErrorString; nunca lanza.
class MotorInformes : public IMotorInformes {
  public:
    struct Opciones {
        // false: la vista previa se compone fuera de pantalla y se cierra sola (ejecutor de
        // órdenes y pruebas).
        bool vistaPreviaInteractiva = true;
        // Fecha impresa en cada página; nula: la del día.
        QDate fechaImpresion;
        // Para quien no puede esperar a nadie: la vista previa no se queda abierta.
        static Opciones desatendido() { return {false, QDate()}; }
    };
    // 'interfaz' es por donde la vista previa interactiva pide el archivo y avisa de sus
    // fallos; sin ella solo hay salidas desatendidas.
    explicit MotorInformes(Opciones opciones, IInterfaz* interfaz = nullptr);
    ~MotorInformes() override;

    QString Formulas(int indice) const override;
    void setFormulas(int indice, const QString& texto) override;
    QString ReportFileName() const override { return reportFileName_; }
    void setReportFileName(const QString& v) override { reportFileName_ = v; }
    QString Password() const override { return password_; }
    void setPassword(const QString& v) override { password_ = v; }
    QString WindowTitle() const override { return windowTitle_; }
    void setWindowTitle(const QString& v) override { windowTitle_ = v; }
    QString DataFiles(int indice) const override;
    void setDataFiles(int indice, const QString& v) override;
    int WindowState() const override { return windowState_; }
    void setWindowState(int v) override { windowState_ = v; }
    int Destination() const override { return destination_; }
    void setDestination(int v) override { destination_ = v; }
    QString PrintFileName() const override { return printFileName_; }
    void setPrintFileName(const QString& v) override { printFileName_ = v; }
    void PrintReport() override;
    void PageZoom(int zoom) override { pageZoom_ = zoom; }
    int LastErrorNumber() const override { return lastErrorNumber_; }
    void setLastErrorNumber(int v) override { lastErrorNumber_ = v; }
    QString LastErrorString() const override { return lastErrorString_; }
    void setLastErrorString(const QString& v) override { lastErrorString_ = v; }
    void setDesglosador(Desglosador d) override { desglosador_ = std::move(d); }

    // Abre en otra vista previa el desglose de la fila (rowid) del informe en pantalla, y
    // vacía su tabla al cerrarla. Lanza si no se puede construir o mostrar; no hace nada si la
    // fila no lleva a ningún sitio.
    void abrirDesglose(qint64 fila);

  private:
    void generar();

    Opciones opciones_;
    IInterfaz* interfaz_;
    std::array<QString, kMaxFormulas + 1> formulas_;
    std::map<int, QString> dataFiles_;
    QString reportFileName_, password_, windowTitle_, printFileName_;
    int windowState_ = 0;
    int destination_ = 0;
    int pageZoom_ = 100;
    int lastErrorNumber_ = 0;
    QString lastErrorString_;
    Desglosador desglosador_;
};

}  // namespace orvo
