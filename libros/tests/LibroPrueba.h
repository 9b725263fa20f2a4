#pragma once

// Libros de contabilidad pequeños, hechos a medida en cada prueba; los diálogos se recorren con
// los dobles de DoblesPrueba.h.
#include <QTemporaryDir>
#include <QtTest>

#include "Conexion.h"
#include "DoblesPrueba.h"

namespace orvo::prueba {

class LibroPrueba {
  public:
    LibroPrueba() {
        static int n = 0;
        ++n;
        conta_ = baseContabilidad(dir_.filePath(QStringLiteral("conta%1.db").arg(n)));
        inf_ = baseInformes(dir_.filePath(QStringLiteral("Informes.mdb")));
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
    // Un asiento con una línea de IVA en 'cuenta'.
    qint64 factura(long empresa, int numero, const QString& fecha, qint64 cuenta,
                   const LineaIVA& l) {
        const qint64 as = asiento(empresa, numero, fecha);
        apunteIVA(as, cuenta, l);
        return as;
    }
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
        return filasDe(*inf_, tabla, columnas);
    }

  private:
    QTemporaryDir dir_;
    std::shared_ptr<Conexion> conta_, inf_;
};

// Muestra el diálogo sobre estos libros con el entorno dado; 'manejar' fija sus controles y pulsa.
template <class Dialogo>
void mostrar(Entorno& entorno, LibroPrueba& libro, long empresa,
             const std::function<void(Dialogo&)>& manejar) {
    Dialogo d(entorno.comp);
    entorno.mostrar<Dialogo>(d, libro.contaCompartida(), libro.infCompartida(), empresa, manejar);
}

}  // namespace orvo::prueba
