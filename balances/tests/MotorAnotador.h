#pragma once

#include <QMap>

#include "Interfaces.h"

namespace orvo::prueba {

// Motor que solo anota lo que recibe al imprimir.
class MotorAnotador : public IMotorInformes {
  public:
    QString Formulas(int i) const override { return formulas_.value(i); }
    void setFormulas(int i, const QString& t) override { formulas_[i] = t; }
    QString ReportFileName() const override { return plantilla; }
    void setReportFileName(const QString& v) override { plantilla = v; }
    QString Password() const override { return {}; }
    void setPassword(const QString&) override {}
    QString WindowTitle() const override { return titulo; }
    void setWindowTitle(const QString& v) override { titulo = v; }
    QString DataFiles(int) const override { return {}; }
    void setDataFiles(int, const QString&) override {}
    int WindowState() const override { return 0; }
    void setWindowState(int) override {}
    int Destination() const override { return 0; }
    void setDestination(int) override {}
    QString PrintFileName() const override { return {}; }
    void setPrintFileName(const QString&) override {}
    void PrintReport() override {
        impreso = true;
        impresas = formulas_;
    }
    void PageZoom(int) override {}
    int LastErrorNumber() const override { return 0; }
    void setLastErrorNumber(int) override {}
    QString LastErrorString() const override { return {}; }
    void setLastErrorString(const QString&) override {}

    QString plantilla, titulo;
    bool impreso = false;
    QMap<int, QString> impresas;

  private:
    QMap<int, QString> formulas_;
};

}  // namespace orvo::prueba
