#include "DatosEmpresa.h"

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "cGeneral.h"

namespace orvo::DatosEmpresa {

namespace {
const QString kEmpresa = QStringLiteral("Empresa");
const QString kNif = QStringLiteral("NIF");
}  // namespace

void asegurarColumnaNif(Conexion& con) {
    if (!con.existeColumna(kEmpresa, kNif))
        con.Execute(QStringLiteral("ALTER TABLE Empresa ADD COLUMN NIF TEXT NOT NULL DEFAULT ''"));
}

QString nif(Conexion& con, long empresa) {
    if (!con.existeColumna(kEmpresa, kNif)) return {};
    return cGeneral::QuitarNulo(
               con.valor(QStringLiteral("SELECT NIF FROM Empresa WHERE IDEmpresa = ?"),
                         {static_cast<qlonglong>(empresa)}))
        .trimmed();
}

QString normalizarNif(const QString& texto) {
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

void guardarNif(Conexion& con, long empresa, const QString& texto) {
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

}  // namespace orvo::DatosEmpresa
