#include "Registro.h"

#include <QDateTime>
#include <QStringList>

#include "Asentar.h"
#include "Conexion.h"
#include "ErrorOrvo.h"

namespace orvo::Registro {

void crearTabla(Conexion& con) {
    con.ejecutarScript(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS Importacion (\n"
        "    IDImportacion INTEGER PRIMARY KEY,\n"
        "    CodEmpresa INTEGER NOT NULL,\n"
        "    Archivo TEXT NOT NULL DEFAULT '',\n"
        "    Huella TEXT NOT NULL,\n"
        "    Fecha TEXT NOT NULL,\n"
        "    Asientos INTEGER NOT NULL DEFAULT 0,\n"
        "    Apuntes INTEGER NOT NULL DEFAULT 0,\n"
        "    PrimerAsiento INTEGER NOT NULL,\n"
        "    UltimoAsiento INTEGER NOT NULL\n"
        ");\n"));
}

namespace {

QString mostrar(const QString& fecha) {
    return QDateTime::fromString(fecha, QStringLiteral("yyyyMMddHHmmss"))
        .toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

}  // namespace

std::optional<Importacion> buscar(Conexion& con, long empresa, const QByteArray& huella) {
    Recordset rs = con.Execute(
        QStringLiteral("SELECT IDImportacion, Archivo, Fecha, Asientos FROM Importacion "
                       "WHERE CodEmpresa = ? AND Huella = ? ORDER BY IDImportacion"),
        {qint64(empresa), QString::fromLatin1(huella)});
    if (rs.Eof()) return std::nullopt;
    return Importacion{rs.entero(0), rs.Fields(1).toString(), mostrar(rs.Fields(2).toString()),
                       rs.entero(3)};
}

qint64 anotar(Conexion& con, long empresa, const QString& archivo, const QByteArray& huella,
              qint64 asientos, qint64 apuntes, qint64 primero, qint64 ultimo) {
    const qint64 numero =
        con.valor(QStringLiteral("SELECT MAX(IDImportacion) FROM Importacion")).toLongLong() + 1;
    con.Execute(QStringLiteral("INSERT INTO Importacion (IDImportacion, CodEmpresa, Archivo, "
                               "Huella, Fecha, Asientos, Apuntes, PrimerAsiento, UltimoAsiento) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {numero, qint64(empresa), archivo, QString::fromLatin1(huella),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")),
                 asientos, apuntes, primero, ultimo});
    return numero;
}

Importacion deshacer(const QString& contabilidad, long empresa, qint64 numero) {
    auto con = Conexion::abrir(contabilidad);
    Transaccion t(*con);
    crearTabla(*con);
    Recordset rs = con->Execute(
        QStringLiteral("SELECT Archivo, Fecha, Asientos, PrimerAsiento, UltimoAsiento FROM "
                       "Importacion WHERE IDImportacion = ? AND CodEmpresa = ?"),
        {numero, qint64(empresa)});
    if (rs.Eof())
        throw ErrorOrvo(Causa::RegistroNoEncontrado,
                        QStringLiteral("La empresa %1 no tiene la importación %2: nada que "
                                       "deshacer.")
                            .arg(empresa)
                            .arg(numero));
    const Importacion hecha{numero, rs.Fields(0).toString(), mostrar(rs.Fields(1).toString()),
                            rs.entero(2)};
    const qint64 primero = rs.entero(3), ultimo = rs.entero(4);
    rs.Close();
    const Parametros rango{qint64(empresa), primero, ultimo};
    // Una importación de varios ejercicios abrió los siguientes (empresas nuevas, con sus
    // aperturas, entre sus claves): borrar solo los asientos del primero dejaría esas aperturas
    // con saldos que ya no existen.
    QStringList siguientes;
    Recordset otras = con->Execute(
        QStringLiteral("SELECT DISTINCT CodEmpresa FROM Asiento WHERE CodEmpresa <> ? AND "
                       "IDAsiento BETWEEN ? AND ? ORDER BY CodEmpresa"),
        rango);
    for (; !otras.Eof(); otras.MoveNext()) siguientes << QString::number(otras.entero(0));
    otras.Close();
    if (!siguientes.isEmpty())
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("La importación %1 abarca varios ejercicios (abrió las "
                                       "empresas %2) y no se deshace: para repetirla, impórtela "
                                       "en una empresa nueva.")
                            .arg(numero)
                            .arg(siguientes.join(QStringLiteral(", "))));
    con->Execute(QStringLiteral("DELETE FROM Apunte WHERE CodAsiento IN (SELECT IDAsiento FROM "
                                "Asiento WHERE CodEmpresa = ? AND IDAsiento BETWEEN ? AND ?)"),
                 rango);
    con->Execute(QStringLiteral("DELETE FROM Asiento WHERE CodEmpresa = ? AND IDAsiento BETWEEN "
                                "? AND ?"),
                 rango);
    con->Execute(QStringLiteral("DELETE FROM Importacion WHERE IDImportacion = ?"), {numero});
    Asientos::asentar(*con, empresa, true);
    t.confirmar();
    return hecha;
}

}  // namespace orvo::Registro
