// Libros pequeños hechos a medida de cada prueba y un motor de informes que solo anota.
#pragma once

#include <QDir>
#include <QMap>
#include <QStringList>
#include <memory>

#include "Conexion.h"
#include "Esquemas.h"
#include "Interfaces.h"

namespace orvo::prueba {

// Una empresa con su plan y sus asientos en una base nueva, y una base de informes vacía.
class LibroPrueba {
  public:
    LibroPrueba(const QString& carpeta, int desglose = 7, const QString& inicio = "20010101",
                const QString& fin = "20011231") {
        static int n = 0;
        ++n;
        conta = Conexion::abrir(QDir(carpeta).filePath(QStringLiteral("conta%1.db").arg(n)), true);
        // Libros de usar y tirar: sin esperar al disco en cada instrucción.
        conta->Execute(QStringLiteral("PRAGMA synchronous = OFF"));
        Esquemas::crearContabilidad(*conta);
        inf = Conexion::abrir(QDir(carpeta).filePath(QStringLiteral("inf%1.db").arg(n)), true);
        inf->Execute(QStringLiteral("PRAGMA synchronous = OFF"));
        Esquemas::crearInformes(*inf);
        conta->Execute(
            QStringLiteral("INSERT INTO Tipo_Cuenta (IDTipo_Cuenta, Descripcion) "
                           "VALUES (1, 'Cuenta'), (2, 'Subcuenta')"));
        conta->Execute(
            QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, "
                           "FechaIni, FechaFin, DesgloseSubCuentas) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {kEmpresa, QStringLiteral("ORV"), QStringLiteral("Orvo Pruebas, S.L."),
             inicio.left(4).toInt(), inicio, fin, desglose});
        desglose_ = desglose;
    }

    static constexpr int kEmpresa = 1;

    // Da de alta una cuenta con los importes dados ("Debe03" -> "1.000,50"); su nivel es el
    // número de cifras del código.
    qint64 cuenta(const QString& codigo, const QMap<QString, QString>& importes = {},
                  const QString& descripcion = {}) {
        QStringList columnas{QStringLiteral("CodEmpresa"), QStringLiteral("CodTipo_Cuenta"),
                             QStringLiteral("Codigo"), QStringLiteral("Descripcion"),
                             QStringLiteral("Nivel")};
        Parametros valores{kEmpresa, codigo.size() == desglose_ ? 2 : 1, codigo,
                           descripcion.isEmpty() ? QStringLiteral("Cuenta ") + codigo : descripcion,
                           static_cast<int>(codigo.size())};
        QStringList marcas(columnas.size(), QStringLiteral("?"));
        for (auto i = importes.begin(); i != importes.end(); ++i) {
            columnas << i.key();
            marcas << QStringLiteral("?");
            valores << i.value();
        }
        conta->Execute(QStringLiteral("INSERT INTO Cuenta (%1) VALUES (%2)")
                           .arg(columnas.join(u','), marcas.join(u',')),
                       valores);
        return conta->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }

    qint64 asiento(int numero, const QString& fecha) {
        conta->Execute(
            QStringLiteral("INSERT INTO Asiento (CodEmpresa, Numero, Fecha) VALUES (?, ?, ?)"),
            {kEmpresa, numero, fecha});
        return conta->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }

    // Una línea en pesetas y en euros (los euros, el texto que se dé o el mismo importe).
    void apunte(qint64 asiento, qint64 cuenta, const QString& debe, const QString& haber,
                const QString& debeEuros = {}, const QString& haberEuros = {}) {
        conta->Execute(QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, CtdadDebe, "
                                      "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros) "
                                      "VALUES (?, ?, ?, ?, ?, ?)"),
                       {asiento, cuenta, debe, haber, debeEuros.isEmpty() ? debe : debeEuros,
                        haberEuros.isEmpty() ? haber : haberEuros});
    }

    // Filas de una tabla de trabajo, columna -> texto, en el orden en que se escribieron.
    QList<QMap<QString, QString>> filas(const QString& tabla) const {
        QList<QMap<QString, QString>> r;
        Recordset rs = inf->Execute(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(tabla));
        for (; !rs.Eof(); rs.MoveNext()) {
            QMap<QString, QString> fila;
            for (int c = 0; c < rs.columnas(); ++c)
                fila[rs.nombreColumna(c)] = rs.Fields(c).toString();
            r << fila;
        }
        return r;
    }
    QStringList columna(const QString& tabla, const QString& nombre) const {
        QStringList r;
        for (const auto& f : filas(tabla)) r << f.value(nombre);
        return r;
    }

    std::shared_ptr<Conexion> conta;
    std::shared_ptr<Conexion> inf;

  private:
    int desglose_;
};

// Motor que anota fórmulas y propiedades y no imprime nada.
class MotorAnotador : public IMotorInformes {
  public:
    QString Formulas(int i) const override { return formulas.value(i); }
    void setFormulas(int i, const QString& t) override { formulas[i] = t; }
    QString ReportFileName() const override { return archivo; }
    void setReportFileName(const QString& v) override { archivo = v; }
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
    // El diálogo de impresión borra las fórmulas después: se guardan las que llegan aquí.
    void PrintReport() override {
        ++impresiones;
        impresas = formulas;
    }
    void PageZoom(int) override {}
    int LastErrorNumber() const override { return 0; }
    void setLastErrorNumber(int) override {}
    QString LastErrorString() const override { return {}; }
    void setLastErrorString(const QString&) override {}

    QMap<int, QString> formulas;
    QMap<int, QString> impresas;
    QString archivo;
    QString titulo;
    int impresiones = 0;
};

}  // namespace orvo::prueba
