#include "LibroPrueba.h"

#include "Moneda.h"
#include "Plan.h"

namespace orvo::prueba {

namespace {

QString mm(int mes) {
    return QStringLiteral("%1").arg(mes, 2, 10, QChar(u'0'));
}

Moneda euros(const QString& texto) {
    return Moneda::deTexto(texto).value_or(Moneda());
}

}  // namespace

LibroPrueba::LibroPrueba(const QString& ruta) : con_(baseContabilidad(ruta)) {
    Plan::crearTablasFijas(*con_);
}

void LibroPrueba::empresa(long id, const QString& abreviatura, int ano, const QString& inicio,
                          const QString& fin, long anterior) {
    con_->Execute(
        QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, "
                       "FechaIni, FechaFin, DesgloseSubCuentas, CodEmpresaAnterior) "
                       "VALUES (?, ?, ?, ?, ?, ?, 7, ?)"),
        {qlonglong(id), abreviatura, QStringLiteral("Empresa ") + abreviatura, ano, inicio, fin,
         qlonglong(anterior)});
}

long LibroPrueba::epigrafe(long empresa, int documento, const QString& codigo,
                           const QString& descripcion, Naturaleza naturaleza, int orden,
                           const QString& formula) {
    con_->Execute(
        QStringLiteral("INSERT INTO Estructura (CodEmpresa, CodDocumento, CodigoEpigrafe, "
                       "Descripcion, CodNaturaleza, OrdenEpigrafe, Formula) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {qlonglong(empresa), documento, codigo, descripcion, int(naturaleza), orden, formula});
    return static_cast<long>(
        con_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong());
}

long LibroPrueba::cuenta(long empresa, const QString& codigo, const QString& descripcion, int tipo,
                         bool desglosar) {
    con_->Execute(
        QStringLiteral("INSERT INTO Cuenta (CodEmpresa, CodTipo_Cuenta, Codigo, Descripcion, "
                       "Nivel, Desglosar) VALUES (?, ?, ?, ?, ?, ?)"),
        {qlonglong(empresa), tipo, codigo, descripcion, int(codigo.size()), desglosar ? -1 : 0});
    return static_cast<long>(
        con_->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong());
}

void LibroPrueba::enlazar(long epigrafe, long cuenta) {
    con_->Execute(QStringLiteral("INSERT INTO Rel_Estructura_Cuenta VALUES (?, ?)"),
                  {qlonglong(epigrafe), qlonglong(cuenta)});
}

qint64 LibroPrueba::subcuenta(long empresa, const QString& codigo) {
    return con_
        ->valor(QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE CodEmpresa = ? AND Codigo = ?"),
                {qlonglong(empresa), codigo})
        .toLongLong();
}

void LibroPrueba::apunte(long empresa, const QString& codigo, int mes, const QString& debe,
                         const QString& haber) {
    const Moneda d = euros(debe), h = euros(haber);
    auto& suma = sumas_[empresa][subcuenta(empresa, codigo)];
    const int i = (mes - 1) * 4;  // debe en pesetas y en euros, haber en pesetas y en euros
    suma[i] += d * 100;
    suma[i + 1] += d;
    suma[i + 2] += h * 100;
    suma[i + 3] += h;
    Asientos::asentar(*con_, empresa, true, &sumas_[empresa]);
}

void LibroPrueba::presupuesto(long empresa, const QString& codigo, int mes,
                              const QString& importe) {
    const Moneda p = euros(importe);
    con_->Execute(QStringLiteral("UPDATE Cuenta SET Presupuesto%1Euros = ?, Presupuesto%1 = ? "
                                 "WHERE IDCuenta = ?")
                      .arg(mm(mes)),
                  {p.formatear(true), (p * 100).formatear(false), subcuenta(empresa, codigo)});
    Asientos::asentar(*con_, empresa, true, &sumas_[empresa]);
}

void LibroPrueba::totalEpigrafe(long epigrafe, int mes, const QString& importe) {
    const Moneda e = euros(importe);
    con_->Execute(QStringLiteral("UPDATE Estructura SET Total%1Euros = ?, Total%1 = ? "
                                 "WHERE IDEstructura = ?")
                      .arg(mm(mes)),
                  {e.formatear(true), (e * 100).formatear(false), qlonglong(epigrafe)});
}

QString LibroPrueba::instantanea() {
    return (filasDe(*con_, QStringLiteral("Cuenta"), QStringLiteral("*")) +
            filasDe(*con_, QStringLiteral("Estructura"), QStringLiteral("*")))
        .join(u'\n');
}

void libroBasico(LibroPrueba& l, long e, const QString& abreviatura, int ano, long anterior) {
    l.empresa(e, abreviatura, ano, QString::number(ano) + "0101", QString::number(ano) + "1231",
              anterior);
    l.epigrafe(e, 1, "A", "ACTIVO", LibroPrueba::Activo, 1);
    const long a1 = l.epigrafe(e, 1, "A1", "Inmovilizado", LibroPrueba::Activo, 2);
    const long a2 = l.epigrafe(e, 1, "A2", "Deudores y tesorería", LibroPrueba::Activo, 2);
    l.epigrafe(e, 1, "P", "PASIVO", LibroPrueba::Pasivo, 1);
    const long p1 = l.epigrafe(e, 1, "P1", "Fondos propios", LibroPrueba::Pasivo, 2);
    const long p2 = l.epigrafe(e, 1, "P2", "Deudas con bancos", LibroPrueba::Pasivo, 2);
    const long g = l.epigrafe(e, 2, "G", "Gastos", LibroPrueba::Debe, 1);
    const long i = l.epigrafe(e, 2, "I", "Ingresos", LibroPrueba::Haber, 1);
    l.enlazar(a1, l.cuenta(e, "210", "Construcciones", 1, true));
    l.enlazar(a2, l.cuenta(e, "430", "Clientes"));
    const long bancos = l.cuenta(e, "572", "Bancos");
    l.enlazar(a2, bancos);
    l.enlazar(p2, bancos);
    l.enlazar(p1, l.cuenta(e, "100", "Capital"));
    l.enlazar(p1, l.cuenta(e, "129", "Resultados"));
    l.enlazar(g, l.cuenta(e, "600", "Compras"));
    l.enlazar(i, l.cuenta(e, "700", "Ventas"));
    for (const char* s :
         {"2100001 Nave", "4300001 Cliente uno", "5720001 Banco uno", "1000001 Capital social",
          "6000001 Mercaderías", "7000001 Ventas tienda"}) {
        const QString t = QString::fromUtf8(s);
        l.cuenta(e, t.left(7), t.mid(8), 2);
    }
    l.apunte(e, "1000001", 1, QString(), "10.000");
    l.apunte(e, "5720001", 1, "10.000", QString());
    l.apunte(e, "6000001", 2, "2.000", QString());
    l.apunte(e, "5720001", 2, QString(), "2.000");
    l.apunte(e, "7000001", 3, QString(), "3.500");
    l.apunte(e, "4300001", 3, "3.500", QString());
    l.apunte(e, "2100001", 4, "4.000", QString());
    l.apunte(e, "5720001", 4, QString(), "4.000");
}

}  // namespace orvo::prueba
