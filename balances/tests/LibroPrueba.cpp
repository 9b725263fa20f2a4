#include "LibroPrueba.h"

#include "Esquemas.h"
#include "Moneda.h"
#include "cGeneral.h"

namespace orvo::prueba {

namespace {

QString mm(int mes) {
    return QStringLiteral("%1").arg(mes, 2, 10, QChar(u'0'));
}

Moneda euros(const QString& texto) {
    return Moneda::deTexto(texto).value_or(Moneda());
}

// Suma a una columna de importe (texto) de una fila: euros con decimales, pesetas sin ellos.
void sumar(Conexion& con, const QString& tabla, const QString& clave, qlonglong id,
           const QString& columna, Moneda importe, bool decimales) {
    const QString col = identificador(columna);
    const Moneda actual = Moneda::deColumna(
        con.valor(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(col, tabla, clave), {id}));
    con.Execute(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(tabla, col, clave),
                {(actual + importe).formatear(decimales), id});
}

}  // namespace

LibroPrueba::LibroPrueba(const QString& ruta, bool nuevo) : con_(Conexion::abrir(ruta, nuevo)) {
    // Las pruebas escriben mucho y no temen un apagón; la caída de un proceso sigue sin
    // dañar nada, que el diario se escribe igual.
    con_->Execute(QStringLiteral("PRAGMA synchronous = OFF"));
    if (!nuevo) return;
    Esquemas::crearContabilidad(*con_);
    con_->ejecutarScript(QStringLiteral(
        "INSERT INTO Tipo_Cuenta VALUES (1, 'Cuenta'), (2, 'Subcuenta'), (3, 'Cuenta creada');"
        "INSERT INTO Documento VALUES (1, 'Balance de situación'), (2, 'Pérdidas y Ganancias');"
        "INSERT INTO Naturaleza VALUES (1, 'Activo'), (2, 'Pasivo'), (3, 'Debe'), (4, 'Haber');"));
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

void LibroPrueba::sumarAEpigrafes(long empresa, long cuenta, const QString& columna,
                                  qint64 diezmilesimas) {
    const Moneda eur = Moneda::deDiezmilesimas(diezmilesimas);
    Recordset rs = con_->Execute(
        QStringLiteral("SELECT CodigoEpigrafe FROM Estructura JOIN Rel_Estructura_Cuenta ON "
                       "CodEstructura = IDEstructura WHERE CodCuenta = ?"),
        {qlonglong(cuenta)});
    QStringList codigos;
    for (; !rs.Eof(); rs.MoveNext()) codigos << rs.Fields(0).toString();
    rs.Close();
    for (QString codigo : codigos) {
        // El epígrafe y los que tienen por código su código con caracteres de menos.
        for (; !codigo.isEmpty(); codigo.chop(1)) {
            const QVariant id = con_->valor(
                QStringLiteral("SELECT IDEstructura FROM Estructura WHERE CodEmpresa = ? AND "
                               "CodigoEpigrafe = ?"),
                {qlonglong(empresa), codigo});
            if (id.isNull()) continue;
            sumar(*con_, QStringLiteral("Estructura"), QStringLiteral("IDEstructura"),
                  id.toLongLong(), columna + QStringLiteral("Euros"), eur, true);
            sumar(*con_, QStringLiteral("Estructura"), QStringLiteral("IDEstructura"),
                  id.toLongLong(), columna, eur * 100, false);
        }
    }
}

void LibroPrueba::apunte(long empresa, const QString& subcuenta, int mes, const QString& debe,
                         const QString& haber) {
    const Moneda d = euros(debe), h = euros(haber);
    for (QString codigo = subcuenta; !codigo.isEmpty(); codigo.chop(1)) {
        const QVariant id = con_->valor(
            QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE CodEmpresa = ? AND Codigo = ?"),
            {qlonglong(empresa), codigo});
        if (id.isNull()) continue;
        const qlonglong c = id.toLongLong();
        const QString t = QStringLiteral("Cuenta"), k = QStringLiteral("IDCuenta");
        sumar(*con_, t, k, c, QStringLiteral("Debe") + mm(mes) + QStringLiteral("Euros"), d, true);
        sumar(*con_, t, k, c, QStringLiteral("Haber") + mm(mes) + QStringLiteral("Euros"), h, true);
        sumar(*con_, t, k, c, QStringLiteral("Debe") + mm(mes), d * 100, false);
        sumar(*con_, t, k, c, QStringLiteral("Haber") + mm(mes), h * 100, false);
        sumarAEpigrafes(empresa, static_cast<long>(c), QStringLiteral("Total") + mm(mes),
                        (d - h).diezmilesimas());
    }
}

void LibroPrueba::presupuesto(long empresa, const QString& subcuenta, int mes,
                              const QString& importe) {
    const Moneda p = euros(importe);
    for (QString codigo = subcuenta; !codigo.isEmpty(); codigo.chop(1)) {
        const QVariant id = con_->valor(
            QStringLiteral("SELECT IDCuenta FROM Cuenta WHERE CodEmpresa = ? AND Codigo = ?"),
            {qlonglong(empresa), codigo});
        if (id.isNull()) continue;
        const QString col = QStringLiteral("Presupuesto") + mm(mes);
        sumar(*con_, QStringLiteral("Cuenta"), QStringLiteral("IDCuenta"), id.toLongLong(),
              col + QStringLiteral("Euros"), p, true);
        sumar(*con_, QStringLiteral("Cuenta"), QStringLiteral("IDCuenta"), id.toLongLong(), col,
              p * 100, false);
        sumarAEpigrafes(empresa, static_cast<long>(id.toLongLong()), col, p.diezmilesimas());
    }
}

void LibroPrueba::totalEpigrafe(long epigrafe, int mes, const QString& importe) {
    const Moneda e = euros(importe);
    con_->Execute(QStringLiteral("UPDATE Estructura SET Total%1Euros = ?, Total%1 = ? "
                                 "WHERE IDEstructura = ?")
                      .arg(mm(mes)),
                  {e.formatear(true), (e * 100).formatear(false), qlonglong(epigrafe)});
}

QString LibroPrueba::instantanea() {
    QString texto;
    for (const QString& tabla : {QStringLiteral("Cuenta"), QStringLiteral("Estructura")}) {
        Recordset rs = con_->Execute(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(tabla));
        for (; !rs.Eof(); rs.MoveNext()) {
            for (int i = 0; i < rs.columnas(); ++i) texto += rs.Fields(i).toString() + u'|';
            texto += u'\n';
        }
    }
    return texto;
}

void libroBasico(LibroPrueba& l, long e, const QString& abreviatura, int ano, long anterior) {
    l.empresa(e, abreviatura, ano, QString::number(ano) + QStringLiteral("0101"),
              QString::number(ano) + QStringLiteral("1231"), anterior);
    l.epigrafe(e, 1, QStringLiteral("A"), QStringLiteral("ACTIVO"), LibroPrueba::Activo, 1);
    const long a1 = l.epigrafe(e, 1, QStringLiteral("A1"), QStringLiteral("Inmovilizado"),
                               LibroPrueba::Activo, 2);
    const long a2 = l.epigrafe(e, 1, QStringLiteral("A2"), QStringLiteral("Deudores y tesorería"),
                               LibroPrueba::Activo, 2);
    l.epigrafe(e, 1, QStringLiteral("P"), QStringLiteral("PASIVO"), LibroPrueba::Pasivo, 1);
    const long p1 = l.epigrafe(e, 1, QStringLiteral("P1"), QStringLiteral("Fondos propios"),
                               LibroPrueba::Pasivo, 2);
    const long p2 = l.epigrafe(e, 1, QStringLiteral("P2"), QStringLiteral("Deudas con bancos"),
                               LibroPrueba::Pasivo, 2);
    const long g =
        l.epigrafe(e, 2, QStringLiteral("G"), QStringLiteral("Gastos"), LibroPrueba::Debe, 1);
    const long i =
        l.epigrafe(e, 2, QStringLiteral("I"), QStringLiteral("Ingresos"), LibroPrueba::Haber, 1);
    l.enlazar(a1, l.cuenta(e, QStringLiteral("210"), QStringLiteral("Construcciones"), 1, true));
    l.enlazar(a2, l.cuenta(e, QStringLiteral("430"), QStringLiteral("Clientes")));
    const long bancos = l.cuenta(e, QStringLiteral("572"), QStringLiteral("Bancos"));
    l.enlazar(a2, bancos);
    l.enlazar(p2, bancos);
    l.enlazar(p1, l.cuenta(e, QStringLiteral("100"), QStringLiteral("Capital")));
    l.enlazar(p1, l.cuenta(e, QStringLiteral("129"), QStringLiteral("Resultados")));
    l.enlazar(g, l.cuenta(e, QStringLiteral("600"), QStringLiteral("Compras")));
    l.enlazar(i, l.cuenta(e, QStringLiteral("700"), QStringLiteral("Ventas")));
    for (const char* s :
         {"2100001 Nave", "4300001 Cliente uno", "5720001 Banco uno", "1000001 Capital social",
          "6000001 Mercaderías", "7000001 Ventas tienda"}) {
        const QString t = QString::fromUtf8(s);
        l.cuenta(e, t.left(7), t.mid(8), 2);
    }
    l.apunte(e, QStringLiteral("1000001"), 1, QString(), QStringLiteral("10.000"));
    l.apunte(e, QStringLiteral("5720001"), 1, QStringLiteral("10.000"), QString());
    l.apunte(e, QStringLiteral("6000001"), 2, QStringLiteral("2.000"), QString());
    l.apunte(e, QStringLiteral("5720001"), 2, QString(), QStringLiteral("2.000"));
    l.apunte(e, QStringLiteral("7000001"), 3, QString(), QStringLiteral("3.500"));
    l.apunte(e, QStringLiteral("4300001"), 3, QStringLiteral("3.500"), QString());
    l.apunte(e, QStringLiteral("2100001"), 4, QStringLiteral("4.000"), QString());
    l.apunte(e, QStringLiteral("5720001"), 4, QString(), QStringLiteral("4.000"));
}

}  // namespace orvo::prueba
