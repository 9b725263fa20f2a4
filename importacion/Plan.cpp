#include "Plan.h"

#include <QHash>
#include <QSet>

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "PlanDatos.h"

namespace orvo::Plan {

namespace {

// Líneas con datos de un archivo del plan: sin comentarios ni líneas en blanco.
QList<QStringList> lineas(const char* texto, int campos) {
    QList<QStringList> v;
    for (const QString& l : QString::fromUtf8(texto).split(u'\n')) {
        if (l.trimmed().isEmpty() || l.startsWith(u'#')) continue;
        QStringList f = l.split(u';');
        while (f.size() < campos) f << QString();
        v << f;
    }
    return v;
}

const QStringList kNaturalezas{QStringLiteral("Activo"), QStringLiteral("Pasivo"),
                               QStringLiteral("Debe"), QStringLiteral("Haber")};

std::vector<Epigrafe> leerEstados(const char* texto) {
    std::vector<Epigrafe> v;
    for (const QStringList& f : lineas(texto, 7)) {
        Epigrafe e;
        e.documento = f[0].toInt();
        e.naturaleza = int(kNaturalezas.indexOf(f[1])) + 1;
        e.codigo = f[2];
        e.orden = f[3].toInt();
        e.descripcion = f[4];
        e.formula = f[5];
        e.cuentas = f[6].split(u',', Qt::SkipEmptyParts);
        v.push_back(std::move(e));
    }
    return v;
}

QString codigoPyG() {
    return QStringLiteral("129");
}

}  // namespace

std::optional<Modelo> modeloDeNombre(const QString& nombre) {
    if (nombre == u"pymes") return Modelo::Pymes;
    if (nombre == u"abreviado") return Modelo::Abreviado;
    if (nombre == u"ninguno") return Modelo::Ninguno;
    return std::nullopt;
}

const std::vector<Epigrafe>& epigrafes(Modelo modelo) {
    static const std::vector<Epigrafe> pymes = leerEstados(kPymes);
    static const std::vector<Epigrafe> abreviado = leerEstados(kAbreviado);
    static const std::vector<Epigrafe> ninguno;
    switch (modelo) {
        case Modelo::Pymes: return pymes;
        case Modelo::Abreviado: return abreviado;
        case Modelo::Ninguno: break;
    }
    return ninguno;
}

QString nombreCuenta(const QString& codigo) {
    static const QHash<QString, QString> cuadro = [] {
        QHash<QString, QString> h;
        for (const QStringList& f : lineas(kCuadro, 2)) h.insert(f[0], f[1]);
        return h;
    }();
    const QString nombre = cuadro.value(codigo);
    if (nombre.isEmpty() && codigo.size() == 4) return cuadro.value(codigo.left(3));
    return nombre;
}

void crearTablasFijas(Conexion& con) {
    const auto fila = [&](const QString& tabla, qint64 id, const QString& descripcion) {
        const QString clave = QStringLiteral("ID") + tabla;
        if (con.valor(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(tabla, clave),
                      {id})
                .toLongLong() == 0)
            con.Execute(QStringLiteral("INSERT INTO %1 (%2, Descripcion) VALUES (?, ?)")
                            .arg(tabla, clave),
                        {id, descripcion});
    };
    fila(QStringLiteral("Tipo_Cuenta"), 1, QStringLiteral("Cuenta"));
    fila(QStringLiteral("Tipo_Cuenta"), 2, QStringLiteral("Subcuenta"));
    fila(QStringLiteral("Tipo_Cuenta"), 3, QStringLiteral("Cuenta creada"));
    fila(QStringLiteral("Documento"), 1, QStringLiteral("Balance de situación"));
    fila(QStringLiteral("Documento"), 2, QStringLiteral("Cuenta de PyG"));
    for (int i = 0; i < kNaturalezas.size(); ++i)
        fila(QStringLiteral("Naturaleza"), i + 1, kNaturalezas[i]);
}

void cargarEstados(Conexion& con, long empresa, Modelo modelo) {
    if (modelo == Modelo::Ninguno) return;
    if (con.valor(QStringLiteral("SELECT COUNT(*) FROM Estructura WHERE CodEmpresa = ?"),
                  {qint64(empresa)})
            .toLongLong() > 0)
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("La empresa %1 ya tiene epígrafes").arg(empresa));
    // Los modelos de 2007 tienen una columna con signo por año: sus fórmulas dan una pérdida
    // negativa. Unos libros de antes, sin la columna, la reciben aquí.
    if (!con.existeColumna(QStringLiteral("Estructura"), QStringLiteral("SumaConSigno")))
        con.Execute(QStringLiteral(
            "ALTER TABLE Estructura ADD COLUMN SumaConSigno INTEGER NOT NULL DEFAULT 0"));
    Instruccion insertar = con.preparar(QStringLiteral(
        "INSERT INTO Estructura (CodEmpresa, CodDocumento, CodigoEpigrafe, Descripcion, "
        "CodNaturaleza, OrdenEpigrafe, Formula, SumaConSigno) VALUES (?, ?, ?, ?, ?, ?, ?, -1)"));
    for (const Epigrafe& e : epigrafes(modelo))
        insertar.ejecutar({qint64(empresa), e.documento, e.codigo, e.descripcion, e.naturaleza,
                           e.orden, e.formula});
    // El balance necesita la cuenta 129 asignada para mostrar el resultado del periodo.
    const QString pyg = codigoPyG();
    for (int largo = 1; largo <= pyg.size(); ++largo) {
        const QString codigo = pyg.left(largo);
        if (con.valor(QStringLiteral("SELECT COUNT(*) FROM Cuenta WHERE CodEmpresa = ? AND "
                                     "Codigo = ?"),
                      {qint64(empresa), codigo})
                .toLongLong() == 0)
            con.Execute(QStringLiteral("INSERT INTO Cuenta (CodEmpresa, CodTipo_Cuenta, Codigo, "
                                       "Descripcion, Nivel) VALUES (?, 1, ?, ?, ?)"),
                        {qint64(empresa), codigo, nombreCuenta(codigo), largo});
    }
    asignarCuentas(con, empresa, modelo);
}

Modelo modeloDeEmpresa(Conexion& con, long empresa) {
    QSet<QString> codigos;
    Recordset rs = con.Execute(
        QStringLiteral("SELECT CodigoEpigrafe FROM Estructura WHERE CodEmpresa = ?"),
        {qint64(empresa)});
    for (; !rs.Eof(); rs.MoveNext()) codigos.insert(rs.Fields(0).toString().trimmed());
    for (Modelo m : {Modelo::Abreviado, Modelo::Pymes}) {
        bool todos = true;
        for (const Epigrafe& e : epigrafes(m)) todos = todos && codigos.contains(e.codigo);
        if (todos) return m;
    }
    return Modelo::Ninguno;
}

void asignarCuentas(Conexion& con, long empresa, Modelo modelo) {
    if (modelo == Modelo::Ninguno) return;
    // Epígrafe de cada prefijo de cuenta, por estado; y la clave de cada código de epígrafe.
    QHash<QString, QString> epigrafeDe[3];
    for (const Epigrafe& e : epigrafes(modelo))
        for (const QString& c : e.cuentas) epigrafeDe[e.documento].insert(c, e.codigo);
    QHash<QString, qint64> clave[3];
    {
        Recordset rs = con.Execute(QStringLiteral("SELECT IDEstructura, CodDocumento, "
                                                  "CodigoEpigrafe FROM Estructura WHERE "
                                                  "CodEmpresa = ?"),
                                   {qint64(empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const int documento = int(rs.entero(1));
            if (documento == 1 || documento == 2)
                clave[documento].insert(rs.Fields(2).toString().trimmed(), rs.entero(0));
        }
    }
    Recordset rs = con.Execute(
        QStringLiteral(
            "SELECT IDCuenta, Codigo, (SELECT COUNT(*) FROM Rel_Estructura_Cuenta, Estructura "
            "WHERE Rel_Estructura_Cuenta.CodCuenta = Cuenta.IDCuenta AND "
            "Rel_Estructura_Cuenta.CodEstructura = Estructura.IDEstructura AND "
            "Estructura.CodDocumento = 1), (SELECT COUNT(*) FROM Rel_Estructura_Cuenta, "
            "Estructura WHERE Rel_Estructura_Cuenta.CodCuenta = Cuenta.IDCuenta AND "
            "Rel_Estructura_Cuenta.CodEstructura = Estructura.IDEstructura AND "
            "Estructura.CodDocumento = 2) FROM Cuenta WHERE CodEmpresa = ? AND Nivel = 3"),
        {qint64(empresa)});
    std::vector<std::pair<qint64, qint64>> nuevas;  // epígrafe, cuenta
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString codigo = QString::fromUtf8(rs.textoUtf8(1)).trimmed();
        for (int documento : {1, 2}) {
            if (rs.entero(1 + documento) > 0) continue;
            for (qsizetype largo = codigo.size(); largo >= 1; --largo) {
                const auto e = epigrafeDe[documento].constFind(codigo.left(largo));
                if (e == epigrafeDe[documento].constEnd()) continue;
                if (clave[documento].contains(*e))
                    nuevas.emplace_back(clave[documento].value(*e), rs.entero(0));
                break;
            }
        }
    }
    rs.Close();
    Instruccion insertar = con.preparar(QStringLiteral(
        "INSERT INTO Rel_Estructura_Cuenta (CodEstructura, CodCuenta) VALUES (?, ?)"));
    for (const auto& [epigrafe, cuenta] : nuevas) insertar.ejecutar({epigrafe, cuenta});
}

}  // namespace orvo::Plan
