#include "LibrosEjemplo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <map>

#include "Conexion.h"
#include "DiarioEjemplo.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"

namespace orvo::LibrosEjemplo {

namespace {

using namespace ejemplo;

// Importes de un mes en las dos monedas.
struct Importe {
    Moneda pesetas, euros;
    Importe& operator+=(const Importe& o) {
        pesetas += o.pesetas;
        euros += o.euros;
        return *this;
    }
};
using Meses = std::array<Importe, 12>;  // índice: mes del calendario - 1

struct Movimientos {
    Meses debe, haber, presupuesto;
};

QString mes(int indice) {
    return QStringLiteral("%1").arg(indice + 1, 2, 10, QLatin1Char('0'));
}
QString pts(Moneda m) {
    return m.formatear(false);
}
QString eur(Moneda m) {
    return m.formatear(true);
}

Importe suma(const Meses& meses) {
    Importe total;
    for (const Importe& i : meses) total += i;
    return total;
}

// Lo que la rutina de asientos deja en Cuenta y Estructura: cada apunte suma en su subcuenta y
// en las cuentas padre que existen (el código sin sus últimas cifras); cada cuenta suma debe
// menos haber en sus epígrafes y en los epígrafes padre (el código sin sus últimos caracteres).
class Acumulador {
  public:
    Acumulador(const EmpresaEjemplo& e, const std::map<QString, qint64>& cuentas,
               const std::map<QString, qint64>& epigrafes,
               const std::multimap<QString, QString>& enlaces)
        : cuentas_(cuentas), epigrafes_(epigrafes), enlaces_(enlaces) {
        for (const AsientoEjemplo& a : e.asientos) {
            const int m = a.fecha.month() - 1;
            for (const ApunteEjemplo& ap : a.apuntes) {
                for (const QString& c : conPadres(ap.subcuenta)) {
                    cuenta_[c].debe[m] += {ap.debePts, ap.debe};
                    cuenta_[c].haber[m] += {ap.haberPts, ap.haber};
                }
            }
        }
        for (const auto& [subcuenta, meses] : e.presupuesto)
            for (const QString& c : conPadres(subcuenta))
                for (int m = 0; m < 12; ++m)
                    cuenta_[c].presupuesto[m] += {aPesetas(meses[m]), meses[m]};
        for (const auto& [codigo, mov] : cuenta_) {
            const auto [desde, hasta] = enlaces_.equal_range(codigo);
            for (auto it = desde; it != hasta; ++it)
                for (const QString& ep : epigrafeConPadres(it->second))
                    for (int m = 0; m < 12; ++m) {
                        epigrafe_[ep].debe[m] += {mov.debe[m].pesetas - mov.haber[m].pesetas,
                                                  mov.debe[m].euros - mov.haber[m].euros};
                        epigrafe_[ep].presupuesto[m] += mov.presupuesto[m];
                    }
        }
    }
    const Movimientos& cuenta(const QString& codigo) const { return buscar(cuenta_, codigo); }
    // En 'debe' el total del epígrafe (debe menos haber) y en 'presupuesto' su presupuesto.
    const Movimientos& epigrafe(const QString& codigo) const { return buscar(epigrafe_, codigo); }

  private:
    QStringList conPadres(const QString& codigo) const {
        QStringList v;
        for (int largo = codigo.size(); largo >= 1; --largo)
            if (cuentas_.count(codigo.left(largo))) v << codigo.left(largo);
        return v;
    }
    QStringList epigrafeConPadres(const QString& codigo) const {
        QStringList v;
        for (int largo = codigo.size(); largo >= 1; --largo)
            if (epigrafes_.count(codigo.left(largo))) v << codigo.left(largo);
        return v;
    }
    static const Movimientos& buscar(const std::map<QString, Movimientos>& m, const QString& c) {
        static const Movimientos vacio{};
        const auto it = m.find(c);
        return it == m.end() ? vacio : it->second;
    }

    const std::map<QString, qint64>& cuentas_;
    const std::map<QString, qint64>& epigrafes_;
    const std::multimap<QString, QString>& enlaces_;  // cuenta -> epígrafe
    std::map<QString, Movimientos> cuenta_, epigrafe_;
};

// INSERT con la lista de columnas y sus valores enlazados.
void insertar(Conexion& con, const QString& tabla, const QStringList& columnas,
              const Parametros& valores) {
    QStringList marcas;
    for (qsizetype i = 0; i < columnas.size(); ++i) marcas << QStringLiteral("?");
    con.Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(tabla, columnas.join(u','), marcas.join(u',')),
                valores);
}

class Escritor {
  public:
    explicit Escritor(Conexion& con) : con_(con) {}

    void tablasFijas() {
        const std::pair<int, const char*> tipos[] = {
            {1, "Cuenta"}, {2, "Subcuenta"}, {3, "Cuenta creada"}};
        for (const auto& [id, d] : tipos)
            insertar(con_, "Tipo_Cuenta", {"IDTipo_Cuenta", "Descripcion"},
                     {id, QString::fromUtf8(d)});
        insertar(con_, "Documento", {"IDDocumento", "Descripcion"},
                 {int(kBalanceSituacion), QStringLiteral("Balance de situación")});
        insertar(con_, "Documento", {"IDDocumento", "Descripcion"},
                 {int(kCuentaPyG), QStringLiteral("Cuenta de PyG")});
        const std::pair<int, const char*> naturalezas[] = {
            {kActivo, "Activo"}, {kPasivo, "Pasivo"}, {kDebe, "Debe"}, {kHaber, "Haber"}};
        for (const auto& [id, d] : naturalezas)
            insertar(con_, "Naturaleza", {"IDNaturaleza", "Descripcion"},
                     {id, QString::fromUtf8(d)});
    }

    void empresa(const EmpresaEjemplo& e) {
        insertar(con_, "Empresa",
                 {"IDEmpresa", "Abreviatura", "Nombre", "AñoEjercicio", "FechaIni", "FechaFin",
                  "DesgloseSubCuentas", "CodEmpresaAnterior"},
                 {qint64(e.id), e.abreviatura, e.nombre, e.ano,
                  e.inicio.toString(QStringLiteral("yyyyMMdd")),
                  e.fin.toString(QStringLiteral("yyyyMMdd")), 7, qint64(e.anterior)});

        std::map<QString, qint64> cuentas;
        std::map<QString, QString> descripciones, dni;
        for (const CuentaPlan& c : cuentasPlan()) {
            cuentas[c.codigo] = 0;
            descripciones[c.codigo] = c.descripcion;
        }
        for (const SubcuentaPlan& s : e.subcuentas) {
            cuentas[s.codigo] = 0;
            descripciones[s.codigo] = s.descripcion;
            dni[s.codigo] = s.dniCif;
        }
        for (auto& [codigo, id] : cuentas) id = ++ultimaCuenta_;

        std::map<QString, qint64> epigrafes;
        std::multimap<QString, QString> enlaces;
        for (const EpigrafePlan& ep : epigrafesPlan()) {
            epigrafes[ep.codigo] = ++ultimoEpigrafe_;
            for (const QString& c : ep.cuentas) enlaces.insert({c, ep.codigo});
        }

        const Acumulador acumulado(e, cuentas, epigrafes, enlaces);
        for (const auto& [codigo, id] : cuentas) {
            const bool subcuenta = codigo.size() == 7;
            const Movimientos& mov = acumulado.cuenta(codigo);
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
            const std::pair<const char*, const Meses*> series[] = {
                {"Debe", &mov.debe}, {"Haber", &mov.haber}, {"Presupuesto", &mov.presupuesto}};
            for (const auto& [raiz, meses] : series) {
                const QString r = QString::fromLatin1(raiz);
                for (int m = 0; m < 12; ++m) {
                    columnas << r + mes(m) << r + mes(m) + QStringLiteral("Euros");
                    valores << pts((*meses)[m].pesetas) << eur((*meses)[m].euros);
                }
                const Importe total = suma(*meses);
                columnas << r + QStringLiteral("Total") << r + QStringLiteral("TotalEuros");
                valores << pts(total.pesetas) << eur(total.euros);
            }
            insertar(con_, "Cuenta", columnas, valores);
        }

        for (const EpigrafePlan& ep : epigrafesPlan()) {
            const Movimientos& mov = acumulado.epigrafe(ep.codigo);
            QStringList columnas{"IDEstructura", "CodEmpresa",    "CodDocumento",  "CodigoEpigrafe",
                                 "Descripcion",  "CodNaturaleza", "OrdenEpigrafe", "Formula"};
            Parametros valores{
                epigrafes[ep.codigo], qint64(e.id),       int(ep.documento), ep.codigo,
                ep.descripcion,       int(ep.naturaleza), ep.orden,          ep.formula};
            for (int m = 0; m < 12; ++m) {
                columnas << QStringLiteral("Total") + mes(m)
                         << QStringLiteral("Total") + mes(m) + "Euros"
                         << QStringLiteral("Presupuesto") + mes(m)
                         << QStringLiteral("Presupuesto") + mes(m) + "Euros";
                valores << pts(mov.debe[m].pesetas) << eur(mov.debe[m].euros)
                        << pts(mov.presupuesto[m].pesetas) << eur(mov.presupuesto[m].euros);
            }
            const Importe total = suma(mov.debe);
            columnas << "Total"
                     << "TotalEuros";
            valores << pts(total.pesetas) << eur(total.euros);
            insertar(con_, "Estructura", columnas, valores);
            for (const QString& c : ep.cuentas)
                insertar(con_, "Rel_Estructura_Cuenta", {"CodEstructura", "CodCuenta"},
                         {epigrafes[ep.codigo], cuentas.at(c)});
        }

        qint64 numero = 0;
        for (const AsientoEjemplo& a : e.asientos) {
            const qint64 idAsiento = ++ultimoAsiento_;
            insertar(
                con_, "Asiento", {"IDAsiento", "CodEmpresa", "Numero", "Fecha"},
                {idAsiento, qint64(e.id), ++numero, a.fecha.toString(QStringLiteral("yyyyMMdd"))});
            for (const ApunteEjemplo& ap : a.apuntes) {
                const auto cuenta = cuentas.find(ap.subcuenta);
                if (cuenta == cuentas.end())
                    throw ErrorOrvo(5, QStringLiteral("La subcuenta %1 no está en el cuadro de %2")
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
    }

  private:
    Conexion& con_;
    qint64 ultimaCuenta_ = 0, ultimoEpigrafe_ = 0, ultimoAsiento_ = 0;
};

}  // namespace

void crear(const QString& ruta) {
    if (QFileInfo::exists(ruta))
        throw ErrorOrvo(58, QStringLiteral("El archivo ya existe: %1. Los libros de ejemplo se "
                                           "escriben en un archivo nuevo.")
                                .arg(ruta));
    const QFileInfo destino(ruta);
    if (!destino.absoluteDir().exists())
        throw ErrorOrvo(76, QStringLiteral("No existe la carpeta %1").arg(destino.absolutePath()));
    // Se escribe aparte y se renombra al final: un fallo no deja un archivo a medias.
    const QString parcial = ruta + QStringLiteral(".parcial");
    QFile::remove(parcial);
    try {
        {
            auto con = Conexion::abrir(parcial, true);
            Esquemas::crearContabilidad(*con);
            Transaccion t(*con);
            Escritor escritor(*con);
            escritor.tablasFijas();
            for (const EmpresaEjemplo& e : empresasEjemplo()) escritor.empresa(e);
            t.confirmar();
        }
        if (!QFile::rename(parcial, ruta))
            throw ErrorOrvo(75, QStringLiteral("No se puede escribir %1").arg(ruta));
    } catch (...) {
        QFile::remove(parcial);
        throw;
    }
}

int orden(const QStringList& argumentos, QTextStream& err) {
    if (argumentos.size() != 1 || argumentos.first().startsWith(u'-')) {
        err << "Uso: orvo-informes ejemplo FILE\n"
               "Escribe en FILE (que no debe existir) los libros de contabilidad de ejemplo.\n";
        return 2;
    }
    try {
        crear(argumentos.first());
    } catch (const std::exception& e) {
        err << descripcionError(e) << "\n";
        return 1;
    }
    err << "Libros de ejemplo escritos en " << argumentos.first() << "\n";
    return 0;
}

}  // namespace orvo::LibrosEjemplo
