#include "LibrosEjemplo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <map>

#include "Asentar.h"
#include "Conexion.h"
#include "DiarioEjemplo.h"
#include "ErrorOrvo.h"
#include "EscritorTabla.h"
#include "Esquemas.h"
#include "FechaLibros.h"
#include "Plan.h"

namespace orvo::LibrosEjemplo {

namespace {

using namespace ejemplo;

QString mes(int indice) {
    return QStringLiteral("%1").arg(indice + 1, 2, 10, QLatin1Char('0'));
}
QString pts(Moneda m) {
    return m.formatear(false);
}
QString eur(Moneda m) {
    return m.formatear(true);
}

// INSERT con la lista de columnas y sus valores enlazados.
void insertar(Conexion& con, const QString& tabla, const QStringList& columnas,
              const Parametros& valores) {
    con.Execute(sqlInsertar(tabla, columnas), valores);
}

class Escritor {
  public:
    explicit Escritor(Conexion& con) : con_(con) {}

    void empresa(const EmpresaEjemplo& e) {
        insertar(con_, "Empresa",
                 {"IDEmpresa", "Abreviatura", "Nombre", "AñoEjercicio", "FechaIni", "FechaFin",
                  "DesgloseSubCuentas", "CodEmpresaAnterior", "NIF"},
                 {qint64(e.id), e.abreviatura, e.nombre, e.ano, FechaLibros(e.inicio).texto(),
                  FechaLibros(e.fin).texto(), 7, qint64(e.anterior), e.nif});

        std::map<QString, qint64> cuentas;
        std::map<QString, QString> descripciones = cuentasPadre(e.subcuentas), dni;
        for (const auto& [codigo, nombre] : descripciones) cuentas[codigo] = 0;
        for (const SubcuentaPlan& s : e.subcuentas) {
            cuentas[s.codigo] = 0;
            descripciones[s.codigo] = s.descripcion;
            dni[s.codigo] = s.dniCif;
        }
        for (auto& [codigo, id] : cuentas) id = ++ultimaCuenta_;

        for (const auto& [codigo, id] : cuentas) {
            const bool subcuenta = codigo.size() == 7;
            QStringList columnas{"IDCuenta",    "CodEmpresa", "CodTipo_Cuenta", "Codigo",
                                 "Descripcion", "Nivel",      "Desglosar",      "DNI_CIF"};
            Parametros valores{id,
                               qint64(e.id),
                               subcuenta ? 2 : 1,
                               codigo,
                               descripciones[codigo],
                               qint64(codigo.size()),
                               cuentasDesglosadas().contains(codigo) ? -1 : 0,
                               dni[codigo]};
            // El presupuesto de las subcuentas es un dato; lo demás lo pone la rutina de asientos.
            const auto presupuesto = e.presupuesto.find(codigo);
            if (presupuesto != e.presupuesto.end())
                for (int m = 0; m < 12; ++m) {
                    columnas << QStringLiteral("Presupuesto") + mes(m)
                             << QStringLiteral("Presupuesto") + mes(m) + QStringLiteral("Euros");
                    valores << pts(pesetasDeEuros(presupuesto->second[m]))
                            << eur(presupuesto->second[m]);
                }
            insertar(con_, "Cuenta", columnas, valores);
        }

        Plan::cargarEstados(con_, e.id, Plan::Modelo::Pymes);

        qint64 numero = 0;
        for (const AsientoEjemplo& a : e.asientos) {
            const qint64 idAsiento = ++ultimoAsiento_;
            insertar(con_, "Asiento", {"IDAsiento", "CodEmpresa", "Numero", "Fecha"},
                     {idAsiento, qint64(e.id), ++numero, FechaLibros(a.fecha).texto()});
            for (const ApunteEjemplo& ap : a.apuntes) {
                const auto cuenta = cuentas.find(ap.subcuenta);
                if (cuenta == cuentas.end())
                    throw ErrorOrvo(Causa::ArgumentoNoValido,
                                    QStringLiteral("La subcuenta %1 no está en el cuadro de %2")
                                        .arg(ap.subcuenta, e.abreviatura));
                insertar(con_, "Apunte",
                         {"CodAsiento", "CodCuenta", "Concepto", "CtdadDebe", "CtdadHaber",
                          "CtdadDebeEuros", "CtdadHaberEuros", "Factura", "Contrapartida",
                          "PorcentajeIVA", "PorcentajeRecargo", "BaseImp", "BaseImpEuros"},
                         {idAsiento, cuenta->second, ap.concepto, pts(ap.debePts), pts(ap.haberPts),
                          eur(ap.debe), eur(ap.haber), ap.factura, ap.contrapartida, ap.iva,
                          ap.recargo, ap.basePts ? QVariant(pts(*ap.basePts)) : QVariant(),
                          ap.base ? QVariant(eur(*ap.base)) : QVariant()});
            }
        }
        Asientos::asentar(con_, e.id);
    }

  private:
    Conexion& con_;
    qint64 ultimaCuenta_ = 0, ultimoAsiento_ = 0;
};

}  // namespace

namespace {
// El esquema y los libros en una sola transacción: un fallo no deja nada escrito.
void escribir(Conexion& con) {
    Transaccion t(con);
    Esquemas::crearContabilidad(con);
    Plan::crearTablasFijas(con);
    Escritor escritor(con);
    for (const EmpresaEjemplo& e : empresasEjemplo()) escritor.empresa(e);
    // Las claves se han puesto a mano: las que se numeren solas seguirán desde la mayor.
    con.ajustarNumeraciones();
    t.confirmar();
}
}  // namespace

void crear(const QString& ruta) {
    if (Conexion::esServidor(ruta)) {
        auto con = Conexion::abrir(ruta);
        if (con->existeTabla(QStringLiteral("Empresa")))
            throw ErrorOrvo(Causa::ArchivoYaExiste,
                            QStringLiteral("La base de datos %1 ya tiene libros. Los libros de "
                                           "ejemplo se escriben en una base vacía.")
                                .arg(con->ruta()));
        escribir(*con);
        return;
    }
    if (QFileInfo::exists(ruta))
        throw ErrorOrvo(Causa::ArchivoYaExiste,
                        QStringLiteral("El archivo ya existe: %1. Los libros de ejemplo se "
                                       "escriben en un archivo nuevo.")
                            .arg(ruta));
    const QFileInfo destino(ruta);
    if (!destino.absoluteDir().exists())
        throw ErrorOrvo(Causa::CarpetaNoEncontrada,
                        QStringLiteral("No existe la carpeta %1").arg(destino.absolutePath()));
    // Se escribe aparte y se renombra al final: un fallo no deja un archivo a medias.
    const QString parcial = ruta + QStringLiteral(".parcial");
    QFile::remove(parcial);
    try {
        escribir(*Conexion::abrir(parcial, true));
        if (!QFile::rename(parcial, ruta))
            throw ErrorOrvo(Causa::AccesoAlArchivo,
                            QStringLiteral("No se puede escribir %1").arg(ruta));
    } catch (...) {
        QFile::remove(parcial);
        throw;
    }
}

int orden(const QStringList& argumentos, QTextStream& err) {
    if (argumentos.size() != 1 || argumentos.first().startsWith(u'-')) {
        err << "Uso: orvo-informes ejemplo FILE|URI\n"
               "Escribe los libros de contabilidad de ejemplo en FILE, que no debe existir, o en\n"
               "la base vacía de un servidor (URI postgresql://usuario@servidor:puerto/base).\n";
        return 2;
    }
    try {
        crear(argumentos.first());
    } catch (const std::exception& e) {
        err << descripcionError(e) << "\n";
        return 1;
    }
    err << "Libros de ejemplo escritos en " << Conexion::sinContrasena(argumentos.first()) << "\n";
    return 0;
}

}  // namespace orvo::LibrosEjemplo
