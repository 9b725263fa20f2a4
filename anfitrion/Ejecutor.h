#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>
#include <optional>

#include "Interfaces.h"

namespace orvo {

class Conexion;
class FormularioInforme;

// Envuelve el motor para anotar lo que le llega al lanzar el informe (el ejecutor lo vuelca;
// las pruebas comparan informes lanzados uno tras otro).
class MotorGrabador : public IMotorInformes {
  public:
    explicit MotorGrabador(IMotorInformes& motor) : m_(motor) {}
    QString Formulas(int i) const override { return m_.Formulas(i); }
    void setFormulas(int i, const QString& t) override { m_.setFormulas(i, t); }
    QString ReportFileName() const override { return m_.ReportFileName(); }
    void setReportFileName(const QString& v) override { m_.setReportFileName(v); }
    QString Password() const override { return m_.Password(); }
    void setPassword(const QString& v) override { m_.setPassword(v); }
    QString WindowTitle() const override { return m_.WindowTitle(); }
    void setWindowTitle(const QString& v) override { m_.setWindowTitle(v); }
    QString DataFiles(int i) const override { return m_.DataFiles(i); }
    void setDataFiles(int i, const QString& v) override { m_.setDataFiles(i, v); }
    int WindowState() const override { return m_.WindowState(); }
    void setWindowState(int v) override { m_.setWindowState(v); }
    int Destination() const override { return m_.Destination(); }
    void setDestination(int v) override { m_.setDestination(v); }
    QString PrintFileName() const override { return m_.PrintFileName(); }
    void setPrintFileName(const QString& v) override { m_.setPrintFileName(v); }
    void PrintReport() override;
    void PageZoom(int z) override { m_.PageZoom(z); }
    int LastErrorNumber() const override { return m_.LastErrorNumber(); }
    void setLastErrorNumber(int v) override { m_.setLastErrorNumber(v); }
    QString LastErrorString() const override { return m_.LastErrorString(); }
    void setLastErrorString(const QString& v) override { m_.setLastErrorString(v); }
    void setDesglosador(Desglosador d) override {
        desglosador = d;
        m_.setDesglosador(std::move(d));
    }

    std::optional<QJsonObject> informe;
    int errorMotor = 0;
    Desglosador desglosador;  // el que puso el componente para el informe en curso

  private:
    IMotorInformes& m_;
};

// Fija un control del diálogo por el nombre con que lo conoce: "chkBalance(4)", "txtFacturas".
// Devuelve el error en español, o vacío.
QString fijarControl(FormularioInforme& dialogo, const QString& nombre, const QString& valor);
// Filas de una tabla de trabajo, en el orden en que se escribieron.
QJsonArray leerFilas(Conexion& con, const QString& tabla);

// Ejecutor de órdenes: lanza una operación del componente sin que nadie tenga que mirar.
// Rellena los controles del diálogo por su nombre, pulsa ACEPTAR, contesta las opciones de
// impresión y anota mensajes, pitidos, filas y fórmulas. Devuelve 0 si el informe llegó al
// motor sin error, 1 si el diálogo terminó sin imprimir, 2 si las órdenes son incorrectas.
class Ejecutor {
  public:
    // Órdenes que no son operaciones del componente ("ejemplo", "benchmark"…): nombre ->
    // función que recibe el resto de argumentos y devuelve el código de salida.
    using Suborden = std::function<int(const QStringList& argumentos, QTextStream& err)>;
    void registrarSuborden(const QString& nombre, Suborden s) {
        subordenes_[nombre] = std::move(s);
    }

    int ejecutar(const QStringList& argumentos, QTextStream& salida, QTextStream& err);
    static QString uso();

  private:
    std::map<QString, Suborden> subordenes_;
};

}  // namespace orvo
