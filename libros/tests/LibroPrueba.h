#pragma once

// Libros de contabilidad pequeños, hechos a medida en cada prueba, y los dobles del motor y de
// la configuración con los que se recorren los diálogos como lo haría una persona.
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "Conexion.h"
#include "Esquemas.h"
#include "FormularioInforme.h"
#include "InterfazQt.h"

namespace orvo::prueba {

class LibroPrueba {
  public:
    LibroPrueba() {
        static int n = 0;
        ++n;
        conta_ = Conexion::abrir(dir_.filePath(QStringLiteral("conta%1.db").arg(n)), true);
        inf_ = Conexion::abrir(dir_.filePath(QStringLiteral("Informes.mdb")), true);
        // Libros de usar y tirar: sin esperar a que cada escritura llegue al disco.
        for (Conexion* c : {conta_.get(), inf_.get()})
            c->Execute(QStringLiteral("PRAGMA synchronous = OFF"));
        Esquemas::crearContabilidad(*conta_);
        Esquemas::crearInformes(*inf_);
    }
    Conexion& conta() { return *conta_; }
    Conexion& inf() { return *inf_; }
    std::shared_ptr<Conexion> contaCompartida() { return conta_; }
    std::shared_ptr<Conexion> infCompartida() { return inf_; }
    QString carpeta() const { return dir_.path(); }

    long empresa(const QString& ini = QStringLiteral("20260101"),
                 const QString& fin = QStringLiteral("20261231"), int desglose = 7) {
        conta_->Execute(QStringLiteral("INSERT INTO Empresa (Abreviatura, Nombre, AñoEjercicio, "
                                       "FechaIni, FechaFin, DesgloseSubCuentas) "
                                       "VALUES ('PRU', 'Pruebas, S.L.', ?, ?, ?, ?)"),
                        {ini.left(4).toInt(), ini, fin, desglose});
        return static_cast<long>(
            conta_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong());
    }
    qint64 cuenta(long empresa, const QString& codigo, const QString& nombre,
                  const QString& nif = QString(), int tipo = 2) {
        conta_->Execute(QStringLiteral("INSERT INTO Cuenta (CodEmpresa, CodTipo_Cuenta, Codigo, "
                                       "Descripcion, Nivel, DNI_CIF) VALUES (?, ?, ?, ?, 5, ?)"),
                        {static_cast<qlonglong>(empresa), tipo, codigo, nombre, nif});
        return conta_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }
    // 'numero' se guarda tal cual: entero o texto, para probar las dos formas.
    qint64 asiento(long empresa, const QVariant& numero, const QString& fecha) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Asiento (CodEmpresa, Numero, Fecha) VALUES (?, ?, ?)"),
            {static_cast<qlonglong>(empresa), numero, fecha});
        return conta_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }
    // Importes como los guarda la contabilidad; en euros, los mismos salvo que se den otros.
    qint64 apunte(qint64 asiento, qint64 cuenta, const QString& debe, const QString& haber,
                  const QString& concepto = QStringLiteral("Apunte"),
                  const QString& debeEuros = QString(), const QString& haberEuros = QString()) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, "
                           "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros) VALUES (?,?,?,?,?,?,?)"),
            {asiento, cuenta, concepto, debe, haber, debeEuros.isNull() ? debe : debeEuros,
             haberEuros.isNull() ? haber : haberEuros});
        return conta_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }
    struct LineaIVA {
        QString debe = QStringLiteral("0"), haber = QStringLiteral("0");
        QString factura, contrapartida;
        QString iva = QStringLiteral("21"), recargo = QStringLiteral("0");
        QVariant base = QStringLiteral("100");
        QString concepto = QStringLiteral("Factura");
    };
    qint64 apunteIVA(qint64 asiento, qint64 cuenta, const LineaIVA& l) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, "
                           "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros, Factura, Contrapartida, "
                           "PorcentajeIVA, PorcentajeRecargo, BaseImp, BaseImpEuros) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {asiento, cuenta, l.concepto, l.debe, l.haber, l.debe, l.haber, l.factura,
             l.contrapartida, l.iva, l.recargo, l.base, l.base});
        return conta_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }

    // Filas de una tabla de trabajo en orden de inserción, columnas separadas por "|".
    QStringList filas(const QString& tabla, const QString& columnas) {
        QStringList r;
        Recordset rs = inf_->Execute(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columnas, identificador(tabla)));
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList f;
            for (int i = 0; i < rs.columnas(); ++i) f << rs.Fields(i).toString();
            r << f.join(u'|');
        }
        return r;
    }

  private:
    QTemporaryDir dir_;
    std::shared_ptr<Conexion> conta_, inf_;
};

// Motor que anota lo que recibe al lanzar el informe.
class MotorPrueba : public IMotorInformes {
  public:
    QString Formulas(int i) const override {
        auto it = formulas_.find(i);
        return it == formulas_.end() ? QString() : it->second;
    }
    void setFormulas(int i, const QString& t) override { formulas_[i] = t; }
    QString ReportFileName() const override { return plantilla_; }
    void setReportFileName(const QString& v) override { plantilla_ = v; }
    QString Password() const override { return {}; }
    void setPassword(const QString&) override {}
    QString WindowTitle() const override { return titulo_; }
    void setWindowTitle(const QString& v) override { titulo_ = v; }
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
        plantillaImpresa = plantilla_;
        tituloImpreso = titulo_;
        formulasImpresas = formulas_;
    }
    void PageZoom(int) override {}
    int LastErrorNumber() const override { return 0; }
    void setLastErrorNumber(int) override {}
    QString LastErrorString() const override { return {}; }
    void setLastErrorString(const QString&) override {}

    bool impreso = false;
    QString plantillaImpresa, tituloImpreso;
    std::map<int, QString> formulasImpresas;

  private:
    std::map<int, QString> formulas_;
    QString plantilla_, titulo_;
};

class ConfigPrueba : public IConfiguracion {
  public:
    QString AppTitle() const override { return QStringLiteral("Prueba"); }
    QString HelpPath() const override { return {}; }
    QString AppPath() const override { return carpeta; }
    QVariant Aplicacion() const override { return 1; }
    QIcon Icono() const override { return {}; }
    bool TrabajarConPesetas() const override { return pesetas; }
    QString carpeta;
    bool pesetas = false;
};

class ContabilidadPrueba : public ICContabilidad {
  public:
    QString ObtenerPasswordInformes(const QVariant&) override { return QStringLiteral("x"); }
};

// Todo lo que un diálogo necesita alrededor: interfaz grabadora, motor y configuración.
struct Entorno {
    Entorno() {
        registro.registrar(QStringLiteral("OrvoContabilidad.cContabilidad"),
                           [] { return std::make_unique<ContabilidadPrueba>(); });
        comp.motor = &motor;
        comp.config = &config;
        comp.tituloAplicacion = config.AppTitle();
    }
    // Muestra el diálogo; 'manejar' fija sus controles y pulsa; el de impresión se acepta.
    template <class Dialogo>
    void mostrar(Dialogo& d, LibroPrueba& libro, long empresa,
                 const std::function<void(Dialogo&)>& manejar) {
        config.carpeta = libro.carpeta();
        d.setConContabilidad(libro.contaCompartida());
        d.setConInformes(libro.infCompartida());
        d.setLngCodEmpresa(empresa);
        interfaz.guion = [&d, &manejar](QDialog& mostrado) {
            if (&mostrado == &d)
                manejar(d);
            else if (auto* b = mostrado.findChild<QAbstractButton*>(QStringLiteral("cmdImprimir0")))
                b->click();
        };
        d.mostrar();
    }
    QStringList textos() const {
        QStringList r;
        for (const auto& m : interfaz.mensajes) r << m.texto;
        return r;
    }

    InterfazGrabadora interfaz;
    RegistroObjetos registro;
    Componente comp{interfaz, registro};
    MotorPrueba motor;
    ConfigPrueba config;
};

}  // namespace orvo::prueba
