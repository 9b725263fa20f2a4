#include "DatosEmpresa.h"

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "cGeneral.h"

namespace orvo {

namespace {
const QString kEmpresa = QStringLiteral("Empresa");
const QString kNif = QStringLiteral("NIF");
}  // namespace

QString DatosEmpresa::cabecera() const {
    return u'<' + abreviatura + QStringLiteral("> ") + nombre;
}

namespace {
const QString kColumnas = QStringLiteral(
    "SELECT IDEmpresa, Abreviatura, Nombre, AñoEjercicio, FechaIni, FechaFin, "
    "DesgloseSubCuentas, CodEmpresaAnterior FROM Empresa ");

DatosEmpresa deFila(const Recordset& rs) {
    DatosEmpresa e;
    e.id = static_cast<long>(rs.Fields(0).toLongLong());
    e.abreviatura = cGeneral::QuitarNulo(rs.Fields(1));
    e.nombre = cGeneral::QuitarNulo(rs.Fields(2));
    e.ejercicio = cGeneral::QuitarNulo(rs.Fields(3));
    e.fechaIni = cGeneral::QuitarNulo(rs.Fields(4));
    e.fechaFin = cGeneral::QuitarNulo(rs.Fields(5));
    e.desgloseSubcuentas = rs.Fields(6).toInt();
    e.anterior = static_cast<long>(rs.Fields(7).toLongLong());
    return e;
}
}  // namespace

std::optional<DatosEmpresa> DatosEmpresa::leer(Conexion& con, long empresa) {
    Recordset rs = con.Execute(kColumnas + QStringLiteral("WHERE IDEmpresa = ?"),
                               {static_cast<qlonglong>(empresa)});
    if (rs.Eof()) return std::nullopt;
    return deFila(rs);
}

std::vector<DatosEmpresa> DatosEmpresa::todas(Conexion& con) {
    std::vector<DatosEmpresa> empresas;
    for (Recordset rs = con.Execute(kColumnas + QStringLiteral("ORDER BY Nombre, AñoEjercicio"));
         !rs.Eof(); rs.MoveNext())
        empresas.push_back(deFila(rs));
    return empresas;
}

DatosEmpresa DatosEmpresa::existente(Conexion& con, long empresa) {
    auto e = leer(con, empresa);
    if (!e)
        throw ErrorOrvo(
            Causa::RegistroNoEncontrado,
            QStringLiteral("No existe la empresa %1 en la base de contabilidad").arg(empresa));
    return *e;
}

void DatosEmpresa::asegurarColumnaNif(Conexion& con) {
    if (!con.existeColumna(kEmpresa, kNif))
        con.Execute(QStringLiteral("ALTER TABLE Empresa ADD COLUMN NIF TEXT NOT NULL DEFAULT ''"));
}

QString DatosEmpresa::nif(Conexion& con, long empresa) {
    if (!con.existeColumna(kEmpresa, kNif)) return {};
    return cGeneral::QuitarNulo(
               con.valor(QStringLiteral("SELECT NIF FROM Empresa WHERE IDEmpresa = ?"),
                         {static_cast<qlonglong>(empresa)}))
        .trimmed();
}

QString DatosEmpresa::normalizarNif(const QString& texto) {
    QString n;
    for (const QChar c : texto)
        if (!c.isSpace() && c != u'.' && c != u'-') n += c.toUpper();
    if (n.isEmpty()) return n;
    bool forma = n.size() == 9;
    for (const QChar c : n) forma = forma && ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'));
    if (!forma)
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("«%1» no es un NIF: son nueve letras o cifras, como "
                                       "B50123456")
                            .arg(texto.trimmed()));
    return n;
}

void DatosEmpresa::guardarNif(Conexion& con, long empresa, const QString& texto) {
    const QString n = normalizarNif(texto);
    if (con.valor(QStringLiteral("SELECT IDEmpresa FROM Empresa WHERE IDEmpresa = ?"),
                  {static_cast<qlonglong>(empresa)})
            .isNull())
        throw ErrorOrvo(Causa::RegistroNoEncontrado,
                        QStringLiteral("No existe la empresa %1").arg(empresa));
    Transaccion t(con);
    asegurarColumnaNif(con);
    con.Execute(QStringLiteral("UPDATE Empresa SET NIF = ? WHERE IDEmpresa = ?"),
                {n, static_cast<qlonglong>(empresa)});
    t.confirmar();
}

}  // namespace orvo
