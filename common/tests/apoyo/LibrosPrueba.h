#pragma once

// Libros de contabilidad pequeños, hechos a medida en cada prueba, con una base de informes
// vacía al lado. Las columnas mensuales de cuentas y epígrafes las escribe la rutina de
// asientos a partir de los apuntes y de los presupuestos de las subcuentas, como en los libros
// de verdad.
#include <QTemporaryDir>
#include <QtTest>

#include "Asentar.h"
#include "ContextoInforme.h"
#include "DoblesPrueba.h"
#include "Plan.h"
#include "Progreso.h"

namespace orvo::prueba {

class LibrosPrueba {
  public:
    LibrosPrueba() {
        conta_ = baseContabilidad(dir_.filePath(QStringLiteral("conta.db")));
        inf_ = baseInformes(dir_.filePath(QStringLiteral("Informes.mdb")));
        Plan::crearTablasFijas(*conta_);
    }
    Conexion& conta() { return *conta_; }
    Conexion& inf() { return *inf_; }
    std::shared_ptr<Conexion> contaCompartida() { return conta_; }
    std::shared_ptr<Conexion> infCompartida() { return inf_; }
    QString carpeta() const { return dir_.path(); }

    // "<PRU> Pruebas, S.L." u otra abreviatura; las subcuentas tienen 'desglose' cifras.
    long empresa(const QString& inicio = QStringLiteral("20260101"),
                 const QString& fin = QStringLiteral("20261231"), int desglose = 7,
                 const QString& abreviatura = QStringLiteral("PRU")) {
        conta_->Execute(QStringLiteral("INSERT INTO Empresa (Abreviatura, Nombre, AñoEjercicio, "
                                       "FechaIni, FechaFin, DesgloseSubCuentas) "
                                       "VALUES (?, 'Pruebas, S.L.', ?, ?, ?, ?)"),
                        {abreviatura, inicio.left(4).toInt(), inicio, fin, desglose});
        const long id = static_cast<long>(ultimo());
        desglose_[id] = desglose;
        return id;
    }
    // Subcuenta si tiene las cifras del desglose; nivel, el número de cifras.
    qint64 cuenta(long empresa, const QString& codigo, const QString& nombre = {},
                  const QString& nif = {}) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Cuenta (CodEmpresa, CodTipo_Cuenta, Codigo, Descripcion, "
                           "Nivel, DNI_CIF) VALUES (?, ?, ?, ?, ?, ?)"),
            {qlonglong(empresa), codigo.size() == desglose_.value(empresa) ? 2 : 1, codigo,
             nombre.isNull() ? QStringLiteral("Cuenta ") + codigo : nombre, int(codigo.size()),
             nif});
        return ultimo();
    }
    // Varias cuentas, cada una "código nombre".
    void cuentas(long empresa, std::initializer_list<const char*> lineas) {
        for (const char* l : lineas) {
            const QString t = QString::fromUtf8(l);
            cuenta(empresa, t.section(u' ', 0, 0), t.section(u' ', 1));
        }
    }
    // 'numero' se guarda tal cual: entero o texto, para probar las dos formas.
    qint64 asiento(long empresa, const QVariant& numero, const QString& fecha) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Asiento (CodEmpresa, Numero, Fecha) VALUES (?, ?, ?)"),
            {qlonglong(empresa), numero, fecha});
        return ultimo();
    }
    // Importes como los guarda la contabilidad; en euros, los mismos salvo que se den otros.
    qint64 apunte(qint64 asiento, qint64 cuenta, const QString& debe, const QString& haber,
                  const QString& concepto = QStringLiteral("Apunte"), const QString& debeEuros = {},
                  const QString& haberEuros = {}) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, "
                           "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros) VALUES (?,?,?,?,?,?,?)"),
            {asiento, cuenta, concepto, debe, haber, debeEuros.isNull() ? debe : debeEuros,
             haberEuros.isNull() ? haber : haberEuros});
        return ultimo();
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
    void apunteIVA(qint64 asiento, qint64 cuenta, const LineaIVA& l) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, Concepto, CtdadDebe, "
                           "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros, Factura, Contrapartida, "
                           "PorcentajeIVA, PorcentajeRecargo, BaseImp, BaseImpEuros) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {asiento, cuenta, l.concepto, l.debe, l.haber, l.debe, l.haber, l.factura,
             l.contrapartida, l.iva, l.recargo, l.base, l.base});
    }
    // Epígrafe de un estado (documento 1 balance de situación, 2 pérdidas y ganancias; naturaleza
    // 1 activo, 2 pasivo, 3 debe, 4 haber) que alimentan las cuentas de códigos 'cuentas'.
    qint64 epigrafe(long empresa, int documento, const QString& codigo, const QString& descripcion,
                    int naturaleza, int orden = 1, const QString& formula = {},
                    const QStringList& cuentas = {}) {
        conta_->Execute(
            QStringLiteral("INSERT INTO Estructura (CodEmpresa, CodDocumento, CodigoEpigrafe, "
                           "Descripcion, CodNaturaleza, OrdenEpigrafe, Formula) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {qlonglong(empresa), documento, codigo, descripcion, naturaleza, orden, formula});
        const qint64 id = ultimo();
        for (const QString& c : cuentas)
            conta_->Execute(QStringLiteral("INSERT INTO Rel_Estructura_Cuenta SELECT ?, IDCuenta "
                                           "FROM Cuenta WHERE CodEmpresa = ? AND Codigo = ?"),
                            {id, qlonglong(empresa), c});
        return id;
    }
    // Apuntes y presupuestos en texto, llevados a las columnas mensuales por la rutina de
    // asientos. Cada línea es "fecha código debe haber [debeEuros haberEuros]" (un asiento por
    // fecha, numerados desde 1) o "P código mes pesetas [euros]", el presupuesto de una
    // subcuenta; las cuentas que falten se crean.
    void asentar(long empresa, const QStringList& lineas = {}) {
        QMap<QString, qint64> asientos;
        for (const QString& linea : lineas) {
            const QStringList p = linea.split(u' ', Qt::SkipEmptyParts);
            const QVariant id = conta_->valor(
                QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE CodEmpresa = ? AND Codigo = ?"),
                {qlonglong(empresa), p[1]});
            const qint64 c = id.isNull() ? cuenta(empresa, p[1]) : id.toLongLong();
            if (p[0] == u"P") {
                conta_->Execute(QStringLiteral("UPDATE Cuenta SET Presupuesto%1 = ?, "
                                               "Presupuesto%1Euros = ? WHERE IDCuenta = ?")
                                    .arg(p[2].toInt(), 2, 10, QChar(u'0')),
                                {p[3], p.value(4, p[3]), c});
                continue;
            }
            qint64& as = asientos[p[0]];
            if (!as) as = asiento(empresa, int(asientos.size()), p[0]);
            apunte(as, c, p[2], p[3], QStringLiteral("Apunte"), p.value(4, p[2]), p.value(5, p[3]));
        }
        Asientos::asentar(*conta_, empresa);
    }

    // Un informe construido sobre estos libros, sin barra de progreso.
    template <class Opciones>
    FormulasInforme construir(FormulasInforme (*construccion)(ContextoInforme&, const Opciones&),
                              const Opciones& opciones) {
        ProgresoNulo progreso;
        ContextoInforme contexto{*conta_, *inf_, progreso};
        return construccion(contexto, opciones);
    }
    // Filas de una tabla de trabajo en orden de inserción, columnas separadas por "|".
    QStringList filas(const QString& tabla, const QString& columnas) {
        return filasDe(*inf_, tabla, columnas);
    }

  private:
    qint64 ultimo() {
        return conta_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }
    QTemporaryDir dir_;
    std::shared_ptr<Conexion> conta_, inf_;
    QHash<long, int> desglose_;
};

// Muestra el diálogo sobre estos libros con el entorno dado; 'manejar' fija sus controles y pulsa.
template <class Dialogo>
void mostrar(Entorno& entorno, LibrosPrueba& libros, long empresa,
             const std::function<void(Dialogo&)>& manejar) {
    Dialogo d(entorno.comp);
    entorno.mostrar<Dialogo>(d, libros.contaCompartida(), libros.infCompartida(), empresa, manejar);
}

}  // namespace orvo::prueba
